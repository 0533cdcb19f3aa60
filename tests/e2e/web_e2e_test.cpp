// kinroll-web through a plain HTTP client, against a server on an
// ephemeral loopback port: the example ward's archive against a direct
// kinroll -c run, recognition of printouts, printouts saved again as UTF-8,
// files refused with their reasons, refused requests, names the browser
// sends, two wards at once, the time limit and the clean end, the address
// kept between starts, what is remembered from month to month.

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "e2e/web_server.h"
#include "web/text.h"

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

/// Runs the console's stake options (701, 720, 730) on the inputs that
/// `files` stand for, as a clerk would, and returns the files they wrote in
/// stakedoc/, by their paths.
std::map<std::string, std::string> stake_run(const std::vector<FormFile>& files,
                                             const std::map<std::string, std::string>& taken) {
  Scratch s;
  for (const FormFile& f : files) {
    auto it = taken.find(f.name);
    if (it != taken.end()) s.write(it->second, f.bytes);
  }
  fs::create_directory(s.dir() / "stakedoc");
  s.run({}, "701\n\n720\n\n730\n\n\nq\n");
  std::map<std::string, std::string> written;
  for (const auto& [name, bytes] : s.files()) {
    if (name.starts_with("stakedoc/")) written[name] = bytes;
  }
  return written;
}

const std::map<std::string, std::string> kExampleTaken = {
    {"mis231.txt", "mis231.txt"},   {"Listing from April.TXT", "mis232.txt"},
    {"MIS239.TXT", "mis239.txt"},   {"mis1313.txt", "mis1313.txt"},
    {"mis1413.txt", "mis1413.txt"}, {"mis121.txt", "mis121.txt"},
    {"units.txt", "wardunits.txt"}, {"orgs.txt", "wardorgs.txt"},   {"smis.txt", "smis.txt"}};

/// A directory printout with no family: enough for a job to run.
const std::string kBareDirectory = "DIRECTORY OF MEMBERS (MIS 231)\n";

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
          {{"--listen", "localhost.example"}, "", 2, "",
           name + "--listen needs a numeric IPv4 or IPv6 address (such as 127.0.0.1 or ::1), "
                  "not localhost.example\n" + try_help},
      });
}

TEST(Web, ExampleWardArchiveHoldsWhatABatchRunWrites) {
  WebServer server;
  ASSERT_TRUE(server.started());
  std::vector<FormFile> files = example_ward();
  std::string job;
  std::string page = run_web_job(server, files, "Alder Springs 2nd Ward", &job);
  ASSERT_FALSE(page.empty());
  EXPECT_EQ(job.rfind(server.base() + "/jobs/", 0), 0u);

  const std::string fragments[] = {
      // Which file was taken for which report; what is no report is not used.
      "<tr><td>Listing from April.TXT</td><td class=\"n\">2322 bytes</td>"
      "<td>MIS 232 family listing</td></tr>",
      "<td>notes.txt</td><td class=\"n\">35 bytes</td><td><strong>not used</strong>: "
      "not recognised",
      "<td>smis.txt</td><td class=\"n\">3503 bytes</td><td>stake organisation report</td>",
      // Every group made, and said so first.
      "<p class=\"ok\">Every list these printouts allow was made.</p>",
      "<li class=\"made\"><strong>The stake&#39;s lists</strong>: made: ",
      "<li class=\"notasked\"><strong>Changes since last month</strong>: No directory of last "
      "month was given or kept, so there is no changes report.</li>",
      // Files by use, with their plain names; links name the file.
      "<h3>For spreadsheets</h3>\n<ul class=\"files\">\n<li><a href=\"" + job +
          "/view/wardfam.csv\">Families — wardfam.csv</a>",
      "download>Download wardfam.csv</a></li>",
      // Repeated kinds of message under one heading with their count and
      // what they mean, the lines under a fold; no closing words.
      "<li><p><strong>Phone numbers don&#39;t match for HT/VT family ...</strong> (2 times): "
      "The teaching report gives",
      "<li>Phone numbers don&#39;t match for HT/VT family &#39;KIMBALL, Nathan &amp; "
      "Emily&#39;</li>",
  };
  for (const std::string& fragment : fragments) {
    EXPECT_NE(page.find(fragment), std::string::npos) << fragment;
  }
  EXPECT_EQ(page.find("Program terminating"), std::string::npos);
  // The guide to every file, which the page carries and serves.
  EXPECT_NE(page.find("<a href=\"" + server.base() + "/guide\">the guide to the files</a>"),
            std::string::npos);
  HttpResponse guide = server.get(server.base() + "/guide");
  EXPECT_EQ(guide.status, 200);
  EXPECT_NE(guide.body.find("# What Kinroll writes\n"), std::string::npos);
  EXPECT_NE(guide.body.find("`Alder-Springs-2nd-Ward-2026-12-08.zip`"), std::string::npos);
  EXPECT_EQ(page.find(server.tmp()), std::string::npos);  // no folder of the job named

  HttpResponse zip = fetch_archive(server, job);
  ASSERT_EQ(zip.status, 200);
  EXPECT_EQ(zip.header("content-type"), "application/zip");
  char day[16];
  std::time_t now = std::time(nullptr);
  std::strftime(day, sizeof day, "%Y-%m-%d", std::localtime(&now));
  EXPECT_EQ(zip.header("content-disposition"),
            "attachment; filename=\"Alder-Springs-2nd-Ward-" + std::string(day) + ".zip\"");
  std::map<std::string, std::string> archive = unzip(zip.body);
  std::map<std::string, std::string> expected =
      direct_run(files, kExampleTaken, "Alder Springs 2nd Ward");
  EXPECT_EQ(expected.size(), 18u);  // 16 files, and what kinroll printed
  for (const auto& [name, bytes] : expected) {
    EXPECT_TRUE(archive.count(name) == 1 && archive[name] == bytes) << name;
  }
  // The stake's lists as the console's stake options write them.
  std::map<std::string, std::string> stake = stake_run(files, kExampleTaken);
  EXPECT_EQ(stake.size(), 4u);  // alpha.txt and three units' positions
  for (const auto& [name, bytes] : stake) {
    EXPECT_TRUE(archive.count(name) == 1 && archive[name] == bytes) << name;
  }
  EXPECT_EQ(archive.count("kinroll-stake-messages.txt"), 1u);
  // The error report on the page; the companions' files where they are built.
  EXPECT_NE(page.find("<pre id=\"errors\">" + expected["warderr.txt"]), std::string::npos);
  size_t companions = 0;
#ifdef KINROLL_CONTACTS_BINARY
  EXPECT_EQ(archive.count("wardcontacts.vcf"), 1u);
  EXPECT_EQ(archive.count("wardbirthdays.ics"), 1u);
  EXPECT_EQ(archive.count("kinroll-contacts-messages.txt"), 1u);
  companions += 3;
#endif
#ifdef KINROLL_BOOK_BINARY
  EXPECT_EQ(archive.count("wardbook.pdf"), 1u);
  EXPECT_EQ(archive.count("kinroll-book-messages.txt"), 1u);
  companions += 2;
#endif
  EXPECT_EQ(archive.size(), expected.size() + stake.size() + 1 + companions);

  // A download gives the exact bytes; a view decodes them from Latin-1.
  HttpResponse csv = server.get(job + "/file/wardfam.csv");
  ASSERT_EQ(csv.status, 200);
  EXPECT_EQ(csv.body, expected["wardfam.csv"]);
  EXPECT_NE(csv.body.find("G\xF6rdon"), std::string::npos);
  HttpResponse view = server.get(job + "/view/wardfam.csv");
  ASSERT_EQ(view.status, 200);
  EXPECT_NE(view.body.find("<td>ABERNATHY</td><td>G\xC3\xB6rdon</td><td>412 Juniper Lane</td>"),
            std::string::npos);
  EXPECT_EQ(view.header("content-security-policy").find("default-src 'self'"), 0u);
  EXPECT_EQ(view.header("x-content-type-options"), "nosniff");
  EXPECT_EQ(view.header("cache-control"), "no-store");
  EXPECT_EQ(view.header("referrer-policy"), "no-referrer");
  // The uploads that were taken are inputs now; the rest are gone.
  for (const std::string& name : leftovers(server)) {
    EXPECT_EQ(name.find("/up"), std::string::npos) << name;
  }
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
  // The report names the printouts as the clerk does.
  EXPECT_NE(page.find("<pre id=\"changes\">Changes from b.txt to a.txt\n"), std::string::npos);
  EXPECT_NE(page.find("Families moved in: 1\n  NIELSEN, Erik"), std::string::npos);
  HttpResponse csv = server.get(job + "/file/changes.csv");
  ASSERT_EQ(csv.status, 200);
  EXPECT_EQ(csv.body.rfind("Kind,Family,Member,RecordNo,Old,New\n", 0), 0u);
}

/// `files` as an editor saves them again in UTF-8, with the byte-order mark
/// when `mark` is true.
std::vector<FormFile> resaved_as_utf8(std::vector<FormFile> files, bool mark) {
  for (FormFile& f : files)
    f.bytes = (mark ? "\xEF\xBB\xBF" : "") + utf8_from_latin1(f.bytes, Controls::kKeep);
  return files;
}

TEST(Web, PrintoutsSavedAgainAsUtf8GiveTheOriginalsLists) {
  WebServer server;
  ASSERT_TRUE(server.started());
  std::vector<FormFile> files = example_ward();
  std::map<std::string, std::string> expected = direct_run(files, kExampleTaken, "Ward");
  ASSERT_NE(expected["wardfam.csv"].find("Am\xE9lie"), std::string::npos);
  for (bool mark : {false, true}) {
    std::string job;
    std::string page = run_web_job(server, resaved_as_utf8(files, mark), "Ward", &job);
    EXPECT_NE(page.find("<td>MIS 231 directory of members<br>mis231.txt was saved as UTF-8; it "
                        "was turned back into Latin-1</td>"),
              std::string::npos)
        << page;
    EXPECT_NE(page.find("<p class=\"ok\">Every list these printouts allow was made.</p>"),
              std::string::npos);
    HttpResponse zip = fetch_archive(server, job);
    ASSERT_EQ(zip.status, 200);
    std::map<std::string, std::string> archive = unzip(zip.body);
    for (const auto& [name, bytes] : expected) {
      EXPECT_TRUE(archive.count(name) == 1 && archive[name] == bytes) << name << " mark " << mark;
    }
  }
}

/// A document as a word processor saves it (.docx): a zip archive with
/// word/document.xml, made in `s`.
std::string word_document(const Scratch& s) {
  static const std::string types = "<?xml version=\"1.0\"?><Types/>";
  static const std::string body = "<w:document>DIRECTORY OF MEMBERS (MIS 231)</w:document>";
  const std::string path = s.path("report.docx");
  int error = 0;
  zip_t* zip = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (zip == nullptr) return "";
  for (const auto& [name, text] : {std::pair{"[Content_Types].xml", &types},
                                   std::pair{"word/document.xml", &body}}) {
    zip_file_add(zip, name, zip_source_buffer(zip, text->data(), text->size(), 0), 0);
  }
  zip_close(zip);
  return read_file(path);
}

TEST(Web, WrongFilesAreRefusedWithTheirReasonAndNothingRuns) {
  WebServer server;
  ASSERT_TRUE(server.started());
  Scratch s;
  const fs::path ex = KINROLL_EXAMPLES;
  const std::string listing = read_file(ex / "mis232.txt");
  const std::string docx = word_document(s);
  ASSERT_EQ(docx.rfind("PK\3\4", 0), 0u);
  const struct {
    const char* what;
    std::vector<FormFile> files;
    std::vector<std::string> shown;
  } cases[] = {
      {"a PDF named mis231.txt and a word-processor file",
       {{"printouts", "mis231.txt", "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n1 0 obj\n"},
        {"printouts", "mis232.txt", listing},
        {"printouts", "Directory.docx", docx}},
       {"<li>mis231.txt is a PDF, not a saved printout: save the report as text</li>",
        "<li>Directory.docx is a word-processor file, not a saved printout: save the report as "
        "text</li>",
        "<td>mis232.txt</td><td class=\"n\">2322 bytes</td><td><strong>not used</strong>: it is "
        "the MIS 232 family listing, but no list was made</td>"}},
      {"two directories",
       {{"printouts", "April.txt", read_file(ex / "mis231.txt")},
        {"printouts", "May.txt", read_file(ex / "next-month" / "mis231.txt")}},
       {"<li>Two files were sent for the MIS 231 directory of members, April.txt and May.txt: "
        "choose one of them (last month&#39;s directory has a box of its own)</li>",
        "<td>May.txt</td><td class=\"n\">6853 bytes</td><td><strong>refused</strong>: one of 2 "
        "files for the MIS 231 directory of members</td>"}},
      {"a file named mis231.txt without the directory's title",
       {{"printouts", "mis231.txt", "Bring the printouts on Sunday.\n"}},
       {"<li>mis231.txt is named like the MIS 231 directory of members, but its first line is not "
        "that report&#39;s title: choose the saved printout itself</li>"}},
  };
  for (const auto& c : cases) {
    std::string job;
    std::string page = run_web_job(server, c.files, "Ward", &job);
    // First on the page, with a way back to the form.
    size_t refused = page.find("<div class=\"bad\" id=\"refused\"><p><strong>No list was made"
                               "</strong>: these files cannot be used as they are.</p>");
    EXPECT_LT(refused, page.find("<h2>Files received</h2>")) << c.what;
    EXPECT_NE(page.find("<a href=\"" + server.base() + "/\">Back to the form</a>"),
              std::string::npos)
        << c.what;
    for (const std::string& fragment : c.shown) {
      EXPECT_NE(page.find(fragment), std::string::npos) << c.what << "\n" << fragment;
    }
    EXPECT_EQ(page.find("Every list"), std::string::npos) << c.what;
    EXPECT_EQ(page.find("<h2>Files</h2>"), std::string::npos) << c.what;
    // Nothing is put in place: no program ran.
    std::string id = job.substr(job.rfind('/') + 1);
    for (const std::string& name : leftovers(server)) {
      EXPECT_EQ(name.find(id + "/work/"), std::string::npos) << c.what << ": " << name;
    }
  }
}

TEST(Web, APositionsReportChosenAsTheOrganisationTableIsTakenForWhatItIs) {
  WebServer server;
  ASSERT_TRUE(server.started());
  const fs::path ex = KINROLL_EXAMPLES;
  std::vector<FormFile> files = {{"printouts", "mis231.txt", read_file(ex / "mis231.txt")},
                                 {"wardorgs", "wardorgs.txt", read_file(ex / "mis121.txt")}};
  std::string job;
  std::string page = run_web_job(server, files, "Ward", &job);
  EXPECT_NE(page.find("<td>MIS 121 ward positions<br>chosen as the organisation table, it is the "
                      "MIS 121 ward positions by its title</td>"),
            std::string::npos)
      << page;
  // The lists are those of the positions report; no organisation table was
  // read (the direct run has empty configuration files).
  std::map<std::string, std::string> expected =
      direct_run(files, {{"mis231.txt", "mis231.txt"}, {"wardorgs.txt", "mis121.txt"}}, "Ward");
  ASSERT_EQ(expected.count("wardpos.txt"), 1u);
  expected["kinroll-messages.txt"] =
      "Couldn't open wardunits.txt file\nCan't open wardorgs file (wardorgs.txt)\n" +
      expected["kinroll-messages.txt"];
  HttpResponse zip = fetch_archive(server, job);
  ASSERT_EQ(zip.status, 200);
  std::map<std::string, std::string> archive = unzip(zip.body);
  for (const auto& [name, bytes] : expected) {
    EXPECT_TRUE(archive.count(name) == 1 && archive[name] == bytes) << name;
  }
}


/// A request the server must refuse, and the status it must answer.
struct Refused {
  const char* what;
  const char* method;
  std::string path;
  HttpHeaders headers;
  int status;
};

TEST(Web, RefusedRequests) {
  WebServer server;
  ASSERT_TRUE(server.started());
  const std::string base = server.base();
  const std::string host = "127.0.0.1:" + std::to_string(server.port());
  std::string job;
  ASSERT_FALSE(run_web_job(server, {{"printouts", "mis231.txt", kBareDirectory}},
                           "Ward", &job)
                   .empty());
  std::vector<Refused> table = {
      {"rebound name in Host",
       "GET",
       base + "/",
       {{"Host", "evil.example:" + std::to_string(server.port())}},
       403},
      {"Host with another port", "GET", base + "/", {{"Host", "127.0.0.1:1"}}, 403},
      {"post from another site", "POST", base + "/jobs", {{"Origin", "http://evil.example"}}, 403},
      {"post from another port", "POST", base + "/jobs", {{"Origin", "http://127.0.0.1:1"}}, 403},
      {"post marked cross-site", "POST", base + "/jobs", {{"Sec-Fetch-Site", "cross-site"}}, 403},
      {"post of another kind of form",
       "POST",
       base + "/jobs",
       {{"Content-Type", "application/x-www-form-urlencoded"}},
       400},
      {"unknown job", "GET", base + "/jobs/" + std::string(32, 'f'), {}, 404},
      {"an input is no result", "GET", job + "/file/mis231.txt", {}, 404},
      {"a path out of the folder", "GET", job + "/file/..%2F..%2Fbatch.out", {}, 404},
      {"a path in the name", "GET", job + "/view/../batch.out", {}, 404},
      {"another method", "DELETE", job, {}, 405},
      {"forget from another site",
       "POST",
       base + "/forget/unit",
       {{"Origin", "http://evil.example"}},
       403},
      {"forget by a link", "GET", base + "/forget/unit", {}, 404},
      {"forget what is never kept", "POST", base + "/forget/contacts", {}, 404},
  };
  // A written file gone from the disk is not here either.
  for (const auto& e : fs::recursive_directory_iterator(server.tmp())) {
    if (e.path().filename() == "warderr.txt") fs::remove(e.path());
  }
  table.push_back({"a view of a file gone", "GET", job + "/view/warderr.txt", {}, 404});
  table.push_back({"a download of a file gone", "GET", job + "/file/warderr.txt", {}, 404});
  for (const Refused& r : table) {
    HttpResponse res;
    if (std::string(r.method) == "POST") {
      std::string type;
      std::string body = multipart(form({{"printouts", "mis231.txt", "x"}}, "Ward"), &type);
      HttpHeaders headers = r.headers;
      if (headers.empty() || headers[0].first != "Content-Type")
        headers.emplace_back("Content-Type", type);
      res = http_request(server.port(), "POST", r.path, headers, body);
    } else {
      res = http_request(server.port(), r.method, r.path, r.headers);
    }
    EXPECT_EQ(res.status, r.status) << r.what;
    EXPECT_NE(res.body.find("<h1>"), std::string::npos) << r.what;  // a readable page
  }

  // Beyond the bounds: 413 with a page that says why; nothing kept.
  std::string big((64u << 20) + 1, 'x');
  HttpResponse res = server.post(form({{"printouts", "big.txt", big}}, "Ward"));
  EXPECT_EQ(res.status, 413);
  EXPECT_NE(res.body.find("big.txt is larger than 64 MB"), std::string::npos);
  std::vector<FormFile> many(33, FormFile{"printouts", "p.txt", "x"});
  res = server.post(form(many, "Ward"));
  EXPECT_EQ(res.status, 413);
  EXPECT_NE(res.body.find("at most 32"), std::string::npos);
  res = http_request(server.port(), "POST", base + "/jobs",
                     {{"Content-Type", "multipart/form-data; boundary=x"},
                      {"Content-Length", std::to_string((257u << 20) + 1)}});
  EXPECT_EQ(res.status, 413);

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
  std::string page =
      run_web_job(server,
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
  // Both give every configuration file: neither takes the other's from memory.
  second.push_back({"wardorgs", "wardorgs.txt", data("batch/wardorgs.txt")});
  second.push_back({"wardunits", "wardunits.txt", data("batch/wardunits.txt")});
  second_taken["wardorgs.txt"] = "wardorgs.txt";
  second_taken["wardunits.txt"] = "wardunits.txt";
  std::string job1, job2, page1, page2;
  std::thread t1([&] { page1 = run_web_job(server, first, "First Ward", &job1); });
  std::thread t2([&] { page2 = run_web_job(server, second, "Second Ward", &job2); });
  t1.join();
  t2.join();
  ASSERT_NE(job1, job2);
  EXPECT_NE(page1.find("<h1>Results for First Ward</h1>"), std::string::npos);
  EXPECT_NE(page2.find("<h1>Results for Second Ward</h1>"), std::string::npos);
  auto expected1 = direct_run(first, kExampleTaken, "First Ward");
  auto expected2 = direct_run(second, second_taken, "Second Ward");
  HttpResponse got1 = server.get(job1 + "/file/wardph.txt");
  HttpResponse got2 = server.get(job2 + "/file/wardph.txt");
  EXPECT_EQ(got1.body, expected1["wardph.txt"]);
  EXPECT_EQ(got2.body, expected2["wardph.txt"]);
  EXPECT_NE(got1.body, got2.body);
}

/// Waits (at most 10 s) until process `pid` is gone.
bool gone(pid_t pid) {
  for (int i = 0; i < 1000; ++i) {
    if (kill(pid, 0) != 0 && errno == ESRCH) return true;
    // Ended, but not yet reaped by whoever adopted it.
    std::string stat = read_file("/proc/" + std::to_string(pid) + "/stat");
    if (stat.find(") Z ") != std::string::npos) return true;
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
  std::string page =
      run_web_job(server, {{"printouts", "mis231.txt", kBareDirectory}}, "Ward", &job);
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(10));
  EXPECT_NE(page.find("<li class=\"failed\"><strong>Ward lists</strong>: wardph.txt was not made: "
                      "the program took too long and was stopped.</li>"),
            std::string::npos) << page;
  pid_t first = std::stoi(s.read("pids"));
  EXPECT_TRUE(gone(first));

  EXPECT_EQ(server.stop(), 0);
  EXPECT_EQ(leftovers(server), std::vector<std::string>{});

  // A job still running when the server is told to end.
  WebServer second_server({"--kinroll", s.path("slow")}, {pids});
  ASSERT_TRUE(second_server.started());
  HttpResponse res =
      second_server.post(form({{"printouts", "mis231.txt", kBareDirectory}}, "G\xC3\xB6rdon Ward"));
  EXPECT_EQ(res.status, 303);
  // While it runs its page says so, the unit as typed, and so does its status.
  HttpResponse working = second_server.get(res.header("location"));
  EXPECT_NE(working.body.find("<title>Working on G\xC3\xB6rdon Ward – Kinroll</title>"),
            std::string::npos) << working.body;
  EXPECT_NE(working.body.find("Making the ward&#39;s lists (kinroll -c) for G\xC3\xB6rdon Ward: "),
            std::string::npos) << working.body;
  HttpResponse status = second_server.get(res.header("location") + "/status");
  EXPECT_EQ(status.body.rfind(
                "working\nMaking the ward's lists (kinroll -c) for G\xC3\xB6rdon Ward: ", 0),
            0u)
      << status.body;
  std::string both = s.read("pids");
  for (int i = 0; i < 1000 && both.find('\n') == both.rfind('\n'); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    both = s.read("pids");
  }
  ASSERT_NE(both.find('\n'), both.rfind('\n'));  // the second one has started
  pid_t second = std::stoi(both.substr(both.find('\n') + 1));
  EXPECT_EQ(kill(second, 0), 0);
  EXPECT_EQ(second_server.stop(), 0);
  EXPECT_TRUE(gone(second));
  EXPECT_EQ(leftovers(second_server), std::vector<std::string>{});
}

TEST(Web, FoldersRemovedUnderTheServer) {
  // The private folder removed (a cleaner of /tmp): made again for the next job.
  Scratch s;
  s.write("slow", "#!/bin/sh\ntouch \"$SLOW_MARK\"\nexec sleep 60\n");
  fs::permissions(s.dir() / "slow", fs::perms::owner_all);
  WebServer server({"--kinroll", s.path("slow"), "--time-limit", "1"},
                   {"SLOW_MARK=" + s.path("mark")});
  ASSERT_TRUE(server.started());
  for (const auto& e : fs::directory_iterator(server.tmp())) fs::remove_all(e.path());
  HttpResponse res = server.post(form({{"printouts", "mis231.txt", kBareDirectory}}, "Ward"));
  ASSERT_EQ(res.status, 303) << res.body;
  // Its job's folder removed while it runs: its page says so.
  for (int i = 0; i < 1000 && !s.exists("mark"); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  for (const auto& e : fs::directory_iterator(server.tmp())) fs::remove_all(e.path());
  HttpResponse page;
  for (int i = 0; i < 10 && (page = server.get(res.header("location"))).status == 200; ++i) {
  }
  EXPECT_EQ(page.status, 410);
  EXPECT_NE(page.body.find("were removed from this computer"), std::string::npos) << page.body;
  EXPECT_NE(page.body.find("href=\"" + server.base() + "/\""), std::string::npos);
}

TEST(Web, TheAddressOutlivesARestartUntilANewToken) {
  Scratch s;
  const std::string state = s.path("state");
  std::string first;
  {
    WebServer server({}, {}, state);
    ASSERT_TRUE(server.started());
    first = server.base();
    EXPECT_EQ(server.get(first + "/").status, 200);
  }
  // The bookmarked address works again after a restart, and only it.
  WebServer again({}, {}, state);
  ASSERT_TRUE(again.started());
  EXPECT_EQ(again.base(), first);
  EXPECT_EQ(again.get(first).status, 303);
  EXPECT_EQ(again.get(first).header("location"), first + "/");
  // While it runs no new token can be made.
  setenv("XDG_STATE_HOME", state.c_str(), 1);
  s.use_program(KINROLL_WEB_BINARY);
  Outcome busy = s.run({"--new-token", "--port", "0"}, "");
  EXPECT_EQ(busy.status, 2);
  EXPECT_NE(busy.err.find("kinroll-web is running at http://" + again.host() + first + "/"),
            std::string::npos) << busy.err;
  EXPECT_EQ(again.stop(), 0);

  WebServer renewed({"--new-token"}, {}, state);
  ASSERT_TRUE(renewed.started());
  EXPECT_NE(renewed.base(), first);
  HttpResponse old = renewed.get(first + "/");
  EXPECT_EQ(old.status, 404);
  EXPECT_EQ(old.body, "Not Found\n");
  EXPECT_EQ(renewed.get(renewed.base() + "/").status, 200);
  // The user's alone: the folder 0700, the files 0600.
  EXPECT_EQ(fs::status(state + "/kinroll").permissions(), fs::perms::owner_all);
  EXPECT_EQ(fs::status(state + "/kinroll/web-token").permissions(),
            fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(fs::status(state + "/kinroll/web-server").permissions(),
            fs::perms::owner_read | fs::perms::owner_write);
}

TEST(Web, OpenStartsOneServerAndOpensItsAddress) {
  Scratch s;
  s.use_program(KINROLL_WEB_BINARY);
  s.write("browser", "#!/bin/sh\necho \"$@\" >> \"$(dirname \"$0\")/opened\"\n");
  fs::permissions(s.dir() / "browser", fs::perms::owner_all);
  setenv("XDG_STATE_HOME", s.path("state").c_str(), 1);
  setenv("XDG_CONFIG_HOME", s.path("config").c_str(), 1);
  setenv("TMPDIR", s.path("").c_str(), 1);
  setenv("BROWSER", (s.path("browser") + ":firefox").c_str(), 1);
  Outcome first = s.run({"--open", "--port", "0"}, "");
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(first.err, "");
  const std::string url = first.out.substr(0, first.out.size() - 1);
  EXPECT_EQ(url.rfind("http://127.0.0.1:", 0), 0u) << url;
  EXPECT_EQ(s.read("opened"), url + "\n");
  // A second --open finds the same server.
  Outcome second = s.run({"--open", "--port", "0"}, "");
  EXPECT_EQ(second.out, first.out);
  EXPECT_EQ(s.read("opened"), url + "\n" + url + "\n");

  std::string record = s.read("state/kinroll/web-server");
  pid_t pid = std::stoi(record);
  EXPECT_EQ(record.substr(record.find(' ') + 1), url + "\n");
  int port = std::stoi(url.substr(17));
  EXPECT_EQ(http_request(port, "GET", url.substr(url.find('/', 7))).status, 200);
  kill(pid, SIGTERM);
  EXPECT_TRUE(gone(pid));
  // With no server and no browser: the address is printed all the same.
  setenv("BROWSER", s.path("no-such-browser").c_str(), 1);
  Outcome none = s.run({"--open", "--port", "0"}, "");
  EXPECT_EQ(none.status, 2);
  EXPECT_NE(none.err.find("kinroll-web: cannot open a browser with " + s.path("no-such-browser")),
            std::string::npos) << none.err;
  record = s.read("state/kinroll/web-server");
  kill(std::stoi(record), SIGTERM);
  EXPECT_TRUE(gone(std::stoi(record)));
}

/// Posts the Forget button of `what`; its answer.
HttpResponse forget(const WebServer& server, const std::string& what) {
  return http_request(server.port(), "POST", server.base() + "/forget/" + what);
}

const fs::perms kPrivateFile = fs::perms::owner_read | fs::perms::owner_write;

/// Nothing remembered is in a job folder: no key, no file of the user's
/// folders, and of the inputs only the copies under their standard names.
void expect_nothing_remembered_in_jobs(const WebServer& server) {
  for (const std::string& name : leftovers(server)) {
    std::string file = fs::path(name).filename().string();
    EXPECT_TRUE(file != "contacts.key" && !file.starts_with("web-")) << name;
  }
}

#ifdef KINROLL_CONTACTS_BINARY
TEST(Web, ContactsKeepTheirUidsFromMonthToMonth) {
  Scratch s;
  const std::string state = s.path("state");
  std::string vcf[2], uids[2];
  for (int month = 0; month < 2; ++month) {
    WebServer server({}, {}, state);  // started again for each month
    ASSERT_TRUE(server.started());
    std::string job;
    ASSERT_FALSE(run_web_job(server, example_ward(), "Ward", &job).empty());
    vcf[month] = server.get(job + "/file/wardcontacts.vcf").body;
    std::istringstream ics(server.get(job + "/file/wardbirthdays.ics").body);
    for (std::string line; std::getline(ics, line);) {
      if (line.starts_with("UID:")) uids[month] += line + "\n";
    }
    expect_nothing_remembered_in_jobs(server);
  }
  EXPECT_NE(vcf[0].find("UID:"), std::string::npos);
  EXPECT_EQ(vcf[0], vcf[1]);
  EXPECT_EQ(std::count(uids[0].begin(), uids[0].end(), '\n'), 33);
  EXPECT_EQ(uids[0], uids[1]);
  // kinroll-contacts' own key, the user's alone.
  EXPECT_EQ(fs::status(s.path("config/kinroll")).permissions(), fs::perms::owner_all);
  EXPECT_EQ(fs::status(s.path("config/kinroll/contacts.key")).permissions(), kPrivateFile);
}
#endif

TEST(Web, UnitAndConfigurationFilesRememberedUntilForgotten) {
  // The birthdays' and the booklet's dates fixed, so that two jobs' archives
  // compare whatever second each ran in.
  WebServer server({}, {"SOURCE_DATE_EPOCH=1713052800"});
  ASSERT_TRUE(server.started());
  const std::string home = server.base() + "/";
  EXPECT_EQ(server.get(home).body.find("class=\"kept\""), std::string::npos);
  std::string job1, job2, job3;
  ASSERT_FALSE(run_web_job(server, example_ward(), "Alder Springs 2nd Ward", &job1).empty());
  auto first = unzip(fetch_archive(server, job1).body);

  // The form shows what it keeps, each with its Forget button.
  std::string form = server.get(home).body;
  for (const char* field : {"unit", "wardunits", "wardorgs"}) {
    EXPECT_NE(form.find("<form id=\"forget-" + std::string(field) + "\" method=\"post\" action=\"" +
                        home + "forget/" + field + "\"></form>"),
              std::string::npos) << field;
  }
  EXPECT_NE(form.find("name=\"unit\" value=\"Alder Springs 2nd Ward\""), std::string::npos);
  EXPECT_NE(form.find("Kept on this computer: the wardorgs.txt given on "), std::string::npos);
  EXPECT_EQ(form.find("id=\"kept-lastmonth\""), std::string::npos);  // the box was not ticked
  const fs::path config = fs::path(server.config()) / "kinroll";
  EXPECT_EQ(fs::status(config).permissions(), fs::perms::owner_all);
  for (const char* file : {"web-unit", "web-wardunits.txt", "web-wardorgs.txt"}) {
    EXPECT_EQ(fs::status(config / file).permissions(), kPrivateFile) << file;
  }

  // Next month: the printouts alone, the unit left empty as a browser
  // sends it, with the empty file inputs.
  std::vector<FormFile> printouts = example_ward();
  printouts.resize(8);
  printouts.push_back({"wardunits", "", ""});
  printouts.push_back({"wardorgs", "", ""});
  std::string page = run_web_job(server, printouts, "", &job2);
  EXPECT_NE(page.find("<h1>Results for Alder Springs 2nd Ward</h1>"), std::string::npos);
  EXPECT_NE(page.find("<td>wardorgs.txt (from this computer)</td>"), std::string::npos);
  auto second = unzip(fetch_archive(server, job2).body);
  EXPECT_EQ(second, first);  // the same lists; no configuration file among them
  EXPECT_EQ(second.count("wardorgs.txt"), 0u);

  // A Forget button leads back to the form, without what it forgot.
  for (const char* field : {"unit", "wardunits", "wardorgs"}) {
    HttpResponse res = forget(server, field);
    EXPECT_EQ(res.status, 303) << field;
    EXPECT_EQ(res.header("location"), home) << field;
  }
  form = server.get(home).body;
  EXPECT_EQ(form.find("class=\"kept\""), std::string::npos);
  EXPECT_NE(form.find("name=\"unit\" value=\"\" placeholder=\"Ward\""), std::string::npos);
  page = run_web_job(server, printouts, "", &job3);
  EXPECT_NE(page.find("<h1>Results for Ward</h1>"), std::string::npos);
  auto third = unzip(fetch_archive(server, job3).body);
  EXPECT_NE(third["wardpos.txt"], first["wardpos.txt"]);
  for (const char* file : {"web-unit", "web-wardunits.txt", "web-wardorgs.txt"}) {
    EXPECT_FALSE(fs::exists(config / file)) << file;
  }
  expect_nothing_remembered_in_jobs(server);
}

TEST(Web, ChangesComeByThemselvesFromTheKeptDirectory) {
  WebServer server;
  ASSERT_TRUE(server.started());
  const fs::path ex = KINROLL_EXAMPLES;
  const std::string april = read_file(ex / "mis231.txt");
  const std::string may = read_file(ex / "next-month" / "mis231.txt");
  const FormFile keep{"keep", "", "yes"};
  const FormFile no_last_month{"lastmonth", "", ""};  // a file input left empty
  std::string job;
  std::string page =
      run_web_job(server, {{"printouts", "mis231.txt", april}, no_last_month, keep}, "", &job);
  EXPECT_EQ(page.find("id=\"changes\""), std::string::npos);
  EXPECT_NE(server.get(server.base() + "/").body.find(
                "Kept on this computer: last month&#39;s directory of 14 Apr 2024;"),
            std::string::npos);
  const fs::path kept = fs::path(server.state()) / "kinroll" / "web-last-month.txt";
  EXPECT_EQ(read_file(kept), april);
  EXPECT_EQ(fs::status(kept).permissions(), kPrivateFile);

  // Next month the changes come without last month's being sent.
  page = run_web_job(server, {{"printouts", "May.txt", may}, no_last_month, keep}, "", &job);
  EXPECT_NE(page.find("<pre id=\"changes\">Changes from last month&#39;s directory of 14 Apr 2024 "
                      "to May.txt\n"),
            std::string::npos) << page;
  EXPECT_NE(page.find("Families moved in: 1\n  NIELSEN, Erik"), std::string::npos);
  EXPECT_EQ(server.get(job + "/file/changes.csv").status, 200);
  EXPECT_EQ(read_file(kept), may);

  // Unticked, the kept one stays; a directory sent for last month is used
  // instead of it, both named so that they can be told apart.
  page = run_web_job(server,
                     {{"printouts", "mis231.txt", april}, {"lastmonth", "mis231.txt", may}},
                     "", &job);
  EXPECT_NE(page.find("Changes from last month&#39;s mis231.txt to this month&#39;s mis231.txt\n"),
            std::string::npos);
  EXPECT_EQ(read_file(kept), may);

  // Forgotten, it is used no more.
  EXPECT_EQ(forget(server, "lastmonth").status, 303);
  EXPECT_FALSE(fs::exists(kept));
  page = run_web_job(server, {{"printouts", "mis231.txt", may}}, "", &job);
  EXPECT_EQ(page.find("id=\"changes\""), std::string::npos);
  expect_nothing_remembered_in_jobs(server);
}

}  // namespace
}  // namespace e2e
