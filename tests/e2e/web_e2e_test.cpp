// kinroll-web through cpp-httplib's client, against a server on an
// ephemeral loopback port: the example ward's archive against a direct
// kinroll -c run, recognition of printouts, refused requests, names the
// browser sends, two wards at once, the time limit and the clean end.

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>

#include "e2e/web_server.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

/// The example ward, with a Latin-1 letter in a name, mis232.txt renamed
/// so that only its title tells what it is, and two files that are no input.
std::vector<FormFile> example_ward() {
  const fs::path ex = KINROLL_EXAMPLES;
  std::string directory = read_file(ex / "mis231.txt");
  size_t at = directory.find("Gordon  ");
  directory.replace(at, 7, "G\xF6rdon ");  // same width
  return {{"printouts", "mis231.txt", directory},
          {"printouts", "Listing from April.TXT", read_file(ex / "mis232.txt")},
          {"printouts", "MIS239.TXT", read_file(ex / "mis239.txt")},
          {"printouts", "mis1313.txt", read_file(ex / "mis1313.txt")},
          {"printouts", "mis1413.txt", read_file(ex / "mis1413.txt")},
          {"printouts", "mis121.txt", read_file(ex / "mis121.txt")},
          {"printouts", "smis.txt", read_file(ex / "smis.txt")},
          {"printouts", "notes.txt", "Bring the new printouts on Sunday.\n"},
          {"wardunits", "units.txt", read_file(ex / "wardunits.txt")},
          {"wardorgs", "orgs.txt", read_file(ex / "wardorgs.txt")}};
}

/// Runs kinroll -c -u UNIT on the inputs that `files` stand for, as the
/// server should take them, and returns every file it wrote, with its
/// console output under "kinroll-console.txt".
std::map<std::string, std::string> direct_run(const std::vector<FormFile>& files,
                                              const std::map<std::string, std::string>& taken,
                                              const std::string& unit) {
  Scratch s;
  for (const FormFile& f : files) {
    auto it = taken.find(f.name);
    if (it != taken.end()) s.write(it->second, f.bytes);
  }
  auto before = s.files();
  Outcome r = s.run({"-c", "-u", unit}, "");
  auto written = s.files();
  for (const auto& [name, bytes] : before) written.erase(name);
  written["kinroll-console.txt"] = r.out;
  written["kinroll-messages.txt"] = r.err;
  return written;
}

const std::map<std::string, std::string> kExampleTaken = {
    {"mis231.txt", "mis231.txt"},   {"Listing from April.TXT", "mis232.txt"},
    {"MIS239.TXT", "mis239.txt"},   {"mis1313.txt", "mis1313.txt"},
    {"mis1413.txt", "mis1413.txt"}, {"mis121.txt", "mis121.txt"},
    {"units.txt", "wardunits.txt"}, {"orgs.txt", "wardorgs.txt"}};

/// The files the server made under its temporary folder, as relative names.
std::vector<std::string> leftovers(const WebServer& server) {
  std::vector<std::string> names;
  for (const auto& e : fs::recursive_directory_iterator(server.tmp())) {
    names.push_back(fs::relative(e.path(), server.tmp()).string());
  }
  return names;
}

TEST(Web, OptionTable) {
  Scratch s;
  const std::string name = "kinroll-web: ";
  const std::string try_help = "Try 'kinroll-web --help' for more information.\n";
  const std::string usage =
      "Usage: kinroll-web [--port N] [--listen ADDR] [--kinroll PATH] [--time-limit SECONDS]";
  check_option_table(
      s, KINROLL_WEB_BINARY,
      {
          {{"--help"}, "", 0, usage, ""},
          {{"--port", "1", "-h"}, "", 0, usage, ""},
          {{"--version"}, "", 0, version_line("kinroll-web"), ""},
          {{"--bogus"}, "", 2, "", name + "unknown option --bogus\n" + try_help},
          {{"-p", "80"}, "", 2, "", name + "unknown option -p\n" + try_help},
          {{"--keep", "5", "--port"}, "", 2, "", name + "option --port needs a value\n" + try_help},
          {{"-"}, "", 2, "", name + "unexpected argument -\n" + try_help},
          {{"--port", "x"}, "", 2, "",
           name + "--port needs a port number from 0 to 65535, not x\n" + try_help},
      });
}

TEST(Web, ExampleWardArchiveHoldsWhatABatchRunWrites) {
  WebServer server;
  ASSERT_TRUE(server.started());
  std::vector<FormFile> files = example_ward();
  std::string job;
  std::string page = run_web_job(server, files, "Alder Springs 2nd Ward", &job);
  ASSERT_FALSE(page.empty());

  const char* const fragments[] = {
      // Which file was taken for which report; what is no report is not used.
      "<tr><td>Listing from April.TXT</td><td class=\"n\">2322 bytes</td>"
      "<td>MIS 232 family listing</td></tr>",
      "<td>notes.txt</td><td class=\"n\">35 bytes</td><td><strong>not used</strong>: "
      "not recognised",
      "<td>smis.txt</td><td class=\"n\">3503 bytes</td><td><strong>not used",
      // Repeated kinds of message under one heading with their count.
      "<summary>Phone numbers don&#39;t match for HT/VT family <strong>(2)</strong></summary>",
      "<li>Phone numbers don&#39;t match for HT/VT family &#39;KIMBALL, Nathan &amp; "
      "Emily&#39;</li>",
  };
  for (const char* fragment : fragments) {
    EXPECT_NE(page.find(fragment), std::string::npos) << fragment;
  }

  httplib::Client cli = server.client();
  auto zip = cli.Get((job + "/archive.zip").c_str());
  ASSERT_TRUE(zip && zip->status == 200);
  EXPECT_EQ(zip->get_header_value("Content-Type"), "application/zip");
  std::map<std::string, std::string> archive = unzip(zip->body);
  std::map<std::string, std::string> expected =
      direct_run(files, kExampleTaken, "Alder Springs 2nd Ward");
  EXPECT_EQ(expected.size(), 18u);  // 16 files, and what kinroll printed
  for (const auto& [name, bytes] : expected) {
    EXPECT_TRUE(archive.count(name) == 1 && archive[name] == bytes) << name;
  }
  // The error report on the page, and the contacts where they are built.
  EXPECT_NE(page.find("<pre id=\"errors\">" + expected["warderr.txt"]), std::string::npos);
#ifdef KINROLL_CONTACTS_BINARY
  EXPECT_EQ(archive.size(), expected.size() + 2);
  EXPECT_EQ(archive.count("wardcontacts.vcf"), 1u);
  EXPECT_EQ(archive.count("wardbirthdays.ics"), 1u);
#else
  EXPECT_EQ(archive.size(), expected.size());
#endif

  // A download gives the exact bytes; a view decodes them from Latin-1.
  auto csv = cli.Get((job + "/file/wardfam.csv").c_str());
  ASSERT_TRUE(csv && csv->status == 200);
  EXPECT_EQ(csv->body, expected["wardfam.csv"]);
  EXPECT_NE(csv->body.find("G\xF6rdon"), std::string::npos);
  auto view = cli.Get((job + "/view/wardfam.csv").c_str());
  ASSERT_TRUE(view && view->status == 200);
  EXPECT_NE(view->body.find("<td>ABERNATHY</td><td>G\xC3\xB6rdon</td><td>412 Juniper Lane</td>"),
            std::string::npos);
  EXPECT_EQ(view->get_header_value("Content-Security-Policy").find("default-src 'self'"), 0u);
  EXPECT_EQ(view->get_header_value("X-Content-Type-Options"), "nosniff");
  EXPECT_EQ(view->get_header_value("Cache-Control"), "no-store");
}

TEST(Web, LastMonthRunsTheChangesReport) {
  WebServer server;
  ASSERT_TRUE(server.started());
  const fs::path ex = KINROLL_EXAMPLES;
  std::string job;
  std::string page = run_web_job(
      server,
      {{"printouts", "a.txt", read_file(ex / "next-month" / "mis231.txt")},
       {"lastmonth", "b.txt", read_file(ex / "mis231.txt")}},
      "Ward", &job);
  EXPECT_NE(page.find("<td>b.txt</td>"), std::string::npos);
  EXPECT_NE(page.find("Families moved in: 1\n  NIELSEN, Erik"), std::string::npos);
  auto csv = server.client().Get((job + "/file/changes.csv").c_str());
  ASSERT_TRUE(csv && csv->status == 200);
  EXPECT_EQ(csv->body.rfind("Kind,Family,Member,RecordNo,Old,New\n", 0), 0u);
}

/// A request the server must refuse, and the status it must answer.
struct Refused {
  const char* what;
  const char* method;
  std::string path;
  httplib::Headers headers;
  bool form_token;  ///< the form carries the right token
  int status;
};

TEST(Web, RefusedRequests) {
  WebServer server;
  ASSERT_TRUE(server.started());
  const std::string cookie = "kinroll_token=" + server.token();
  const std::string wrong = "kinroll_token=" + std::string(32, '0');
  std::string job;
  ASSERT_FALSE(run_web_job(server, {{"printouts", "mis231.txt", "DIRECTORY OF MEMBERS (MIS 231)\n"}},
                           "Ward", &job)
                   .empty());
  const std::vector<Refused> table = {
      {"no token", "GET", "/", {}, true, 403},
      {"no token for results", "GET", job, {}, true, 403},
      {"wrong token in the cookie", "GET", "/", {{"Cookie", wrong}}, true, 403},
      {"wrong token in the address", "GET", "/?token=" + std::string(32, 'a'), {}, true, 403},
      {"token of the wrong length", "GET", "/?token=" + server.token() + "0", {}, true, 403},
      {"rebound name in Host", "GET", "/", {{"Cookie", cookie}, {"Host", "evil.example:" +
                                                                       std::to_string(server.port())}},
       true, 403},
      {"Host with another port", "GET", "/", {{"Cookie", cookie}, {"Host", "127.0.0.1:1"}}, true,
       403},
      {"post from another site", "POST", "/jobs",
       {{"Cookie", cookie}, {"Origin", "http://evil.example"}}, true, 403},
      {"post marked cross-site", "POST", "/jobs",
       {{"Cookie", cookie}, {"Sec-Fetch-Site", "cross-site"}}, true, 403},
      {"post without the form's token", "POST", "/jobs", {{"Cookie", cookie}}, false, 403},
      {"post without the cookie", "POST", "/jobs", {}, true, 403},
      {"unknown job", "GET", "/jobs/" + std::string(32, 'f'), {{"Cookie", cookie}}, true, 404},
      {"an input is no result", "GET", job + "/file/mis231.txt", {{"Cookie", cookie}}, true, 404},
      {"a path out of the folder", "GET", job + "/file/..%2F..%2Fbatch.out", {{"Cookie", cookie}},
       true, 404},
      {"a path in the name", "GET", job + "/view/../batch.out", {{"Cookie", cookie}}, true, 404},
  };
  for (const Refused& r : table) {
    httplib::Client cli("127.0.0.1", server.port());
    auto send = [&]() {
      if (std::string(r.method) == "GET") return cli.Get(r.path.c_str(), r.headers);
      auto items = form({{"printouts", "mis231.txt", "x"}}, "Ward",
                        r.form_token ? server.token() : "");
      if (!r.form_token) items.erase(items.begin());
      return cli.Post(r.path.c_str(), r.headers, items);
    };
    httplib::Result res = send();
    ASSERT_TRUE(res) << r.what;
    EXPECT_EQ(res->status, r.status) << r.what;
    EXPECT_NE(res->body.find("<h1>"), std::string::npos) << r.what;  // a readable page
    EXPECT_EQ(res->get_header_value("Set-Cookie"), "") << r.what;
  }

  // Beyond the bounds: 413 with a page that says why; nothing kept.
  httplib::Client cli = server.client();
  std::string big((64u << 20) + 1, 'x');
  auto res = cli.Post("/jobs", form({{"printouts", "big.txt", big}}, "Ward", server.token()));
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 413);
  EXPECT_NE(res->body.find("big.txt is larger than 64 MB"), std::string::npos);
  std::vector<FormFile> many(33, FormFile{"printouts", "p.txt", "x"});
  res = cli.Post("/jobs", form(many, "Ward", server.token()));
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 413);
  EXPECT_NE(res->body.find("at most 32"), std::string::npos);

  // The first visit with the token sets the cookie and leaves the address.
  res = httplib::Client("127.0.0.1", server.port()).Get(("/?token=" + server.token()).c_str());
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 303);
  EXPECT_EQ(res->get_header_value("Location"), "/");
  EXPECT_EQ(res->get_header_value("Set-Cookie"),
            cookie + "; Path=/; HttpOnly; SameSite=Strict");

  // Only the one job that was allowed has a folder.
  size_t jobs = 0;
  for (const auto& e : fs::directory_iterator(fs::directory_iterator(server.tmp())->path())) {
    jobs += e.is_directory() ? 1 : 0;
  }
  EXPECT_EQ(jobs, 1u);
}

TEST(Web, NamesFromTheBrowserStayInsideTheJobFolder) {
  WebServer server;
  ASSERT_TRUE(server.started());
  const fs::path ex = KINROLL_EXAMPLES;
  std::string job;
  std::string page = run_web_job(server,
                                 {{"printouts", "../../x", "not a report\n"},
                                  {"printouts", "/etc/passwd", "root:x:0:0::/root:/bin/sh\n"},
                                  {"printouts", "../../../mis231.txt", read_file(ex / "mis231.txt")}},
                                 "Ward", &job);
  EXPECT_NE(page.find("<td>../../x</td>"), std::string::npos);
  EXPECT_NE(page.find("<td>/etc/passwd</td>"), std::string::npos);
  EXPECT_NE(page.find("<td>../../../mis231.txt</td><td class=\"n\">6317 bytes</td><td>MIS 231"),
            std::string::npos);
  // Everything is inside the one job folder, under the names the server chose.
  for (const std::string& name : leftovers(server)) {
    for (const auto& part : fs::path(name)) {
      EXPECT_TRUE(part != "x" && part != "etc" && part != "passwd" && part != "..") << name;
    }
  }
  EXPECT_FALSE(fs::exists(fs::path(server.tmp()).parent_path() / "x"));
  EXPECT_NE(read_file("/etc/passwd").find("root:"), std::string::npos);
}

TEST(Web, TwoWardsAtOnceEachGetTheirOwnResults) {
  WebServer server;
  ASSERT_TRUE(server.started());
  std::vector<FormFile> first = example_ward();
  std::vector<FormFile> second;
  std::map<std::string, std::string> second_taken;
  for (const char* name : {"mis231.txt", "mis232.txt", "mis239.txt", "mis121.txt"}) {
    second.push_back({"printouts", name, data(std::string("batch/") + name)});
    second_taken[name] = name;
  }
  second.push_back({"wardorgs", "wardorgs.txt", data("batch/wardorgs.txt")});
  second_taken["wardorgs.txt"] = "wardorgs.txt";
  std::string job1, job2, page1, page2;
  std::thread t1([&] { page1 = run_web_job(server, first, "First Ward", &job1); });
  std::thread t2([&] { page2 = run_web_job(server, second, "Second Ward", &job2); });
  t1.join();
  t2.join();
  ASSERT_NE(job1, job2);
  EXPECT_NE(page1.find("<h1>Results for First Ward</h1>"), std::string::npos);
  EXPECT_NE(page2.find("<h1>Results for Second Ward</h1>"), std::string::npos);
  httplib::Client cli = server.client();
  auto expected1 = direct_run(first, kExampleTaken, "First Ward");
  auto expected2 = direct_run(second, second_taken, "Second Ward");
  auto got1 = cli.Get((job1 + "/file/wardph.txt").c_str());
  auto got2 = cli.Get((job2 + "/file/wardph.txt").c_str());
  ASSERT_TRUE(got1 && got2);
  EXPECT_EQ(got1->body, expected1["wardph.txt"]);
  EXPECT_EQ(got2->body, expected2["wardph.txt"]);
  EXPECT_NE(got1->body, got2->body);
}

/// Waits (at most 10 s) until process `pid` is gone.
bool gone(pid_t pid) {
  for (int i = 0; i < 1000; ++i) {
    if (kill(pid, 0) != 0 && errno == ESRCH) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

TEST(Web, TimeLimitAndTheEndLeaveNoProcessAndNoFolder) {
  // A batch program that hangs: it notes its process number and sleeps.
  Scratch s;
  s.write("slow", "#!/bin/sh\necho $$ >> \"$SLOW_PIDS\"\nexec sleep 60\n");
  fs::permissions(s.dir() / "slow", fs::perms::owner_all);
  std::string pids = "SLOW_PIDS=" + s.path("pids");
  WebServer server({"--kinroll", s.path("slow"), "--time-limit", "1"}, {pids});
  ASSERT_TRUE(server.started());
  auto t0 = std::chrono::steady_clock::now();
  std::string job;
  std::string page = run_web_job(server, {{"printouts", "mis231.txt", "x"}}, "Ward", &job);
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(10));
  EXPECT_NE(page.find("The lists took too long and were stopped"), std::string::npos);
  pid_t first = std::stoi(s.read("pids"));
  EXPECT_TRUE(gone(first));

  EXPECT_EQ(server.stop(), 0);
  EXPECT_EQ(leftovers(server), std::vector<std::string>{});

  // A job still running when the server is told to end.
  WebServer second_server({"--kinroll", s.path("slow")}, {pids});
  ASSERT_TRUE(second_server.started());
  auto res = second_server.client().Post(
      "/jobs", form({{"printouts", "mis231.txt", "x"}}, "Ward", second_server.token()));
  ASSERT_TRUE(res);
  EXPECT_EQ(res->status, 303);
  std::string both = s.read("pids");
  ASSERT_NE(both.find('\n'), both.rfind('\n'));  // the second one has started
  pid_t second = std::stoi(both.substr(both.find('\n') + 1));
  EXPECT_EQ(kill(second, 0), 0);
  EXPECT_EQ(second_server.stop(), 0);
  EXPECT_TRUE(gone(second));
  EXPECT_EQ(leftovers(second_server), std::vector<std::string>{});
}

}  // namespace
}  // namespace e2e
