// Inputs that never end or never start (a FIFO without a writer, /dev/zero,
// /dev/urandom, a socket) are files that cannot be opened, in every program;
// lists whose file cannot be opened say so; Ctrl-C during a converter stops
// the program.

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <cctype>
#include <cstring>
#include <functional>

#include "e2e/harness.h"
#include "e2e/printout.h"

namespace e2e {
namespace {

/// Makes in `s` something that is not a regular file, of the kind `kind`, and
/// returns its path: a FIFO that nobody writes, a listening socket, or one of
/// the endless devices.
std::string make_hostile(const Scratch& s, const std::string& kind) {
  if (kind == "fifo") {
    EXPECT_EQ(mkfifo(s.path("fifo").c_str(), 0600), 0);
    return s.path("fifo");
  }
  if (kind == "socket") {
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::string path = s.path("socket");
    std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
    EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    listen(fd, 1);
    close(fd);  // the name stays, a socket nobody answers
    return path;
  }
  return kind;  // /dev/zero, /dev/urandom
}

/// One way a program reads an input: `setup` lays out the scratch folder so
/// that the input named `name` (a link, placed by the test) is read, and
/// `run` runs the program.
struct InputCase {
  const char* what;
  const char* name;  ///< the input, relative to the scratch folder
  std::function<void(const Scratch&)> setup;
  std::function<Outcome(const Scratch&)> run;
};

Outcome menu(const Scratch& s, const std::string& console) { return s.run({}, console); }

const std::vector<InputCase>& input_cases() {
  static const std::vector<InputCase> cases = {
      {"directory (201)", "r.txt", nullptr, [](const Scratch& s) { return menu(s, "201\nr.txt\n"); }},
      {"enriching reports (202, 209)", "r.txt",
       [](const Scratch& s) { s.write("mis231.txt", small_directory()); },
       [](const Scratch& s) { return menu(s, "201\n\n202\nr.txt\n209\nr.txt\n"); }},
      {"teaching reports (301, 401)", "r.txt", nullptr,
       [](const Scratch& s) { return menu(s, "301\nr.txt\n401\nr.txt\n"); }},
      {"positions and stake reports (101, 701, 790)", "r.txt", nullptr,
       [](const Scratch& s) { return menu(s, "101\nr.txt\n701\nr.txt\n790\nr.txt\n"); }},
      {"unit names file", "wardunits.txt", nullptr, [](const Scratch& s) { return menu(s, "q\n"); }},
      {"organisation table", "wardorgs.txt", nullptr, [](const Scratch& s) { return menu(s, "q\n"); }},
      {"batch directory", "mis231.txt", nullptr, [](const Scratch& s) { return s.run({"-c"}, ""); }},
      {"batch teaching report", "mis1313.txt",
       [](const Scratch& s) { s.write("mis231.txt", small_directory()); },
       [](const Scratch& s) { return s.run({"-c"}, ""); }},
      {"changes, older printout", "old/mis231.txt",
       [](const Scratch& s) {
         fs::create_directory(s.dir() / "old");
         s.write("new.txt", directory_page_header() + small_directory());
       },
       [](const Scratch& s) {
         return s.run_binary(KINROLL_CHANGES_BINARY, {"old", "new.txt"}, "");
       }},
      {"changes, newer printout", "ward/mis231.txt",
       [](const Scratch& s) { s.write("old.txt", directory_page_header() + small_directory()); },
       [](const Scratch& s) {
         return s.run_binary(KINROLL_CHANGES_BINARY, {"old.txt", "ward"}, "");
       }},
#ifdef KINROLL_CONTACTS_BINARY
      {"contacts, directory", "ward/mis231.txt", nullptr,
       [](const Scratch& s) {
         return s.run_binary(KINROLL_CONTACTS_BINARY, {"--key", "k", "ward"}, "");
       }},
      {"contacts, family listing", "ward/mis232.txt",
       [](const Scratch& s) {
         s.write("ward/mis231.txt", directory_page_header() + small_directory());
       },
       [](const Scratch& s) {
         return s.run_binary(KINROLL_CONTACTS_BINARY, {"--key", "k", "ward"}, "");
       }},
#endif
  };
  return cases;
}

// Each input, reached through a link, is read as a file that cannot be
// opened: the program says at once just what it says for a folder (and for
// a missing file), and writes just what it writes then.
TEST(HostileInputs, NonRegularInputsAreFilesThatCannotBeOpened) {
  for (const char* kind : {"fifo", "/dev/zero", "/dev/urandom", "socket"}) {
    for (const InputCase& c : input_cases()) {
      SCOPED_TRACE(std::string(kind) + ": " + c.what);
      Outcome expected, got;
      std::map<std::string, std::string> written[2];
      for (bool hostile : {false, true}) {
        Scratch s;
        fs::create_directory(s.dir() / "ward");
        s.write("k", std::string(64, 'k') + "\n");
        chmod(s.path("k").c_str(), 0600);
        if (c.setup) c.setup(s);
        fs::remove(s.path(c.name));
        fs::create_directory(s.dir() / "folder");
        std::string target = hostile ? make_hostile(s, kind) : s.path("folder");
        fs::create_symlink(target, s.path(c.name));
        auto before = s.files();
        Outcome r = c.run(s);
        ASSERT_FALSE(r.timed_out) << "the program did not end";
        (hostile ? got : expected) = r;
        // What the run wrote or changed, the link to the input aside.
        for (const auto& [name, bytes] : s.files()) {
          auto was = before.find(name);
          if (name != c.name && (was == before.end() || was->second != bytes)) {
            written[hostile][name] = bytes;
          }
        }
      }
      // The companion programs give the reason.
      const std::string folder = ": it is a folder\n";
      for (size_t at; (at = expected.err.find(folder)) != std::string::npos;) {
        expected.err.replace(at, folder.size(), ": it is not a regular file\n");
      }
      std::string said = expected.out + expected.err;
      for (char& ch : said) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
      EXPECT_TRUE(said.find("n't open") != std::string::npos ||
                  said.find("cannot ") != std::string::npos)
          << "no message";
      EXPECT_EQ(got.status, expected.status);
      EXPECT_EQ(got.out, expected.out);
      EXPECT_EQ(got.err, expected.err);
      EXPECT_EQ(written[1], written[0]);
    }
  }
}

#ifdef KINROLL_CONTACTS_BINARY
TEST(HostileInputs, NonRegularKeyFileIsRefused) {
  for (const char* kind : {"fifo", "/dev/zero", "/dev/urandom", "socket"}) {
    SCOPED_TRACE(kind);
    Scratch s;
    s.write("mis231.txt", small_directory());
    std::string key = make_hostile(s, kind);
    auto before = s.files();
    Outcome r = s.run_binary(KINROLL_CONTACTS_BINARY, {"--key", key, "."}, "");
    ASSERT_FALSE(r.timed_out) << "the program did not end";
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.rfind("kinroll-contacts: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(key), std::string::npos) << r.err;
    EXPECT_EQ(s.files(), before);
  }
}
#endif

// Every list the menu writes to a file says so when that file cannot be
// opened (a missing folder, a name that is a folder, a name longer than a
// file name may be), writes nothing and hands nothing to the converter.
TEST(HostileInputs, ListsWhoseFileCannotBeOpenedSaySo) {
  Scratch s;
  s.write("mis231.txt", small_directory());
  fs::create_directory(s.dir() / "d");
  fs::create_directory(s.dir() / "d.txt");
  const std::string conv = install_recorder(s);
  const int options[] = {210, 212, 215, 220, 225, 227, 230, 240, 290, 22,
                         110, 310, 312, 314, 320, 410, 412, 420};
  const std::string unopenable[] = {"no/such/x", "d", std::string(300, 'n')};
  std::string console = "201\n\n";
  std::string expected;
  for (const std::string& name : unopenable) {
    for (int opt : options) {
      console += std::to_string(opt) + "\n" + name + "\n";
      expected += "Can't open output file (" + name + (opt == 290 ? "" : ".txt") + ")\n";
    }
  }
  const auto before = s.files();
  Outcome r = s.run({"-i", conv}, console + "q\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, expected);
  EXPECT_EQ(r.out.find("Executing"), std::string::npos);
  EXPECT_EQ(r.out.substr(r.out.size() - kEnd.size()), kEnd);
  EXPECT_EQ(s.files(), before);
}

/// A converter that marks that it runs, then waits for Ctrl-C (or, with
/// `seconds`, ends by itself after that long and logs "done"). The waiting
/// process itself makes the mark: a shell that forks a waiting command can
/// swallow an interrupt that lands between the fork and the exec.
std::string waiting_converter(const Scratch& s, int seconds = 60) {
  s.write("conv.sh", "#!/bin/sh\necho \"$1\" >> converter.log\n"
                     "exec perl -e 'open(M, \">started\"); close(M); sleep " +
                         std::to_string(seconds) +
                         "; open(L, \">>converter.log\"); print L \"done\\n\"'\n");
  fs::permissions(s.dir() / "conv.sh", fs::perms::owner_all);
  return s.path("conv.sh");
}

/// The names of the temporary files that outputs are written through.
std::vector<std::string> temporaries(const Scratch& s) {
  std::vector<std::string> found;
  for (const auto& [name, bytes] : s.files()) {
    if (name.find(".kinroll-") != std::string::npos) found.push_back(name);
  }
  return found;
}

// Ctrl-C while the first converter of the batch runs ends the program by
// SIGINT there: no other converter runs, no temporary file is left, and
// each file already written is whole.
TEST(HostileInputs, InterruptDuringABatchConverterEndsTheBatch) {
  for (bool whole_group : {true, false}) {
    SCOPED_TRACE(whole_group ? "Ctrl-C to the group" : "SIGINT to the program only");
    Scratch s;
    for (const char* name : {"mis231.txt", "mis232.txt", "mis239.txt", "mis1313.txt",
                             "mis1413.txt", "mis121.txt", "wardunits.txt", "wardorgs.txt"}) {
      fs::copy_file(fs::path(KINROLL_EXAMPLES) / name, s.dir() / name,
                    fs::copy_options::overwrite_existing);
    }
    const auto inputs = s.files();
    // What the batch writes when nothing stops it; then last month's files.
    ASSERT_EQ(s.run({"-c"}, "").status, 0);
    std::map<std::string, std::string> whole;
    for (const auto& [name, bytes] : s.files()) {
      if (inputs.count(name) == 0) {
        whole[name] = bytes;
        s.write(name, "last month\n");
      }
    }
    // Told alone, the program takes the signal once the converter has ended
    // by itself.
    const std::string conv = waiting_converter(s, whole_group ? 60 : 1);
    Outcome r = s.run_interrupted({"-c", "-i", conv}, "", "started", SIGINT, whole_group);
    ASSERT_FALSE(r.timed_out) << r.out << r.err << s.read("converter.log");
    EXPECT_EQ(r.signal, SIGINT);
    // Told alone, the program holds the signal until the converter is done.
    EXPECT_EQ(s.read("converter.log"), whole_group ? "wardpos\n" : "wardpos\ndone\n");
    size_t executing = 0;
    for (size_t at = r.out.find("Executing"); at != std::string::npos;
         at = r.out.find("Executing", at + 1)) {
      ++executing;
    }
    EXPECT_EQ(executing, 1u);
    EXPECT_EQ(temporaries(s), std::vector<std::string>{});
    // Every file is either this month's whole or last month's untouched, and
    // the document being converted was put in place first.
    for (const auto& [name, bytes] : whole) {
      std::string now = s.read(name);
      if (now != bytes) {
        EXPECT_EQ(now, "last month\n") << name;
      }
    }
    EXPECT_EQ(s.read("wardpos.txt"), whole.at("wardpos.txt"));
  }
}

// The same in the menu: the program ends at the converter, and the list it
// was handed stays.
TEST(HostileInputs, InterruptDuringAMenuConverterEndsTheProgram) {
  Scratch s;
  s.write("mis231.txt", small_directory());
  const std::string conv = waiting_converter(s);
  Outcome r = s.run_interrupted({"-i", conv}, "201\n\n220\n\n230\n\nq\n", "started", SIGINT);
  ASSERT_FALSE(r.timed_out) << r.out << r.err << s.read("converter.log");
  EXPECT_EQ(r.signal, SIGINT);
  EXPECT_EQ(s.read("converter.log"), "wardph\n");
  EXPECT_TRUE(s.exists("wardph.txt"));
  EXPECT_FALSE(s.exists("wardzip.txt"));
  EXPECT_EQ(r.out.find(kEnd), std::string::npos);
  EXPECT_EQ(temporaries(s), std::vector<std::string>{});
}

}  // namespace
}  // namespace e2e
