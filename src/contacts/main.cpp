// kinroll-contacts: writes the ward's contacts as a vCard file and its
// birthdays as an iCalendar file, for the contacts and calendar of a phone.
//
//   kinroll-contacts [--vcf FILE] [--ics FILE] [--key FILE] [-u unit] DIR
//
// Exit status 0 when both files were written, 2 on trouble (bad arguments,
// an output that is one of the printouts or the key, a printout or key that
// cannot be read, a file that cannot be written); 1 is not used.

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "contacts/birthdays.h"
#include "contacts/keyfile.h"
#include "contacts/uid.h"
#include "contacts/vcard.h"
#include "contacts/vtext.h"
#include "contacts/wardread.h"
#include "model/arena.h"
#include "tools/args.h"
#include "tools/output.h"
#include "tools/samefile.h"
#include "tools/status.h"

namespace {

constexpr const char* kUsage =
    "usage: kinroll-contacts [--vcf FILE] [--ics FILE] [--key FILE] [-u unit] DIR\n";

constexpr ToolOption kOptions[] = {{"vcf", true}, {"ics", true}, {"key", true}, {"help", false}};

/// The command line, taken apart.
struct ContactsArgs {
  std::string dir;
  std::string vcf;
  std::string ics;
  std::string key;  ///< key file; empty for the default
  std::string unit = "Ward";
  bool help = false;
};

/// True when `name` is there and is no regular file or folder (/dev/null, a
/// pipe), which two outputs may share.
bool is_device(const std::string& name) {
  struct stat st;
  return ::stat(name.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
}

/// Takes `-u unit` (or `-uunit`) out of the arguments before the long
/// options are parsed; "--" ends the options, and the value of a long
/// option is never taken for `-u`. Returns false after tool_error().
bool take_unit(int argc, char** argv, std::vector<char*>* rest, std::string* unit) {
  rest->push_back(argv[0]);
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (arg == "--") {
      for (; i < argc; ++i) rest->push_back(argv[i]);
      break;
    }
    if (arg == "-u") {
      if (i + 1 >= argc) {
        tool_error("option -u needs a value");
        return false;
      }
      *unit = argv[++i];
    } else if (arg.starts_with("-u")) {
      *unit = std::string(arg.substr(2));
    } else {
      rest->push_back(argv[i]);
      bool takes_value = false;
      for (const ToolOption& opt : kOptions) {
        takes_value = takes_value ||
                      (opt.takes_value && arg.substr(0, 2) == "--" && arg.substr(2) == opt.name);
      }
      if (takes_value && i + 1 < argc) rest->push_back(argv[++i]);
    }
  }
  return true;
}

/// Parses the command line into `*a`. Returns false after tool_error().
bool parse_args(int argc, char** argv, ContactsArgs* a) {
  std::vector<char*> rest;
  if (!take_unit(argc, argv, &rest, &a->unit)) return false;
  ToolArgs args;
  std::string error;
  if (!parse_tool_args(static_cast<int>(rest.size()), rest.data(), kOptions, &args, &error)) {
    tool_error("%s", error.c_str());
    return false;
  }
  a->help = args.has("help");
  if (a->help) return true;
  if (args.positional.size() != 1) {
    tool_error(args.positional.empty() ? "no folder named" : "more than one folder named");
    return false;
  }
  a->dir = args.positional[0];
  std::string sep = a->dir.ends_with('/') ? "" : "/";
  a->vcf = args.has("vcf") ? *args.value("vcf") : a->dir + sep + "wardcontacts.vcf";
  a->ics = args.has("ics") ? *args.value("ics") : a->dir + sep + "wardbirthdays.ics";
  if (args.has("key")) a->key = *args.value("key");
  if (a->vcf.empty() || a->ics.empty()) {
    tool_error("an output file needs a name");
    return false;
  }
  if ((a->vcf == a->ics || is_same_file(a->vcf, a->ics)) && !is_device(a->vcf)) {
    tool_error("--vcf and --ics name the same file %s", a->vcf.c_str());
    return false;
  }
  if (args.has("key") && a->key.empty()) {
    tool_error("option --key needs a file name");
    return false;
  }
  return true;
}

/// The last second libical writes as a DTSTAMP, 31 Dec 3000 23:59:59 UTC.
constexpr long long kLastStamp = 32535215999;

/// The DTSTAMP of the events: SOURCE_DATE_EPOCH when it is set (for output
/// that is the same byte for byte from run to run), else now. Returns false
/// after tool_error() when it is set but is not a number of seconds, or one
/// past the year 3000, which libical cannot write.
bool event_stamp(std::time_t* stamp) {
  const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
  if (epoch == nullptr) {
    *stamp = std::time(nullptr);
    return true;
  }
  errno = 0;
  char* end = nullptr;
  long long seconds = std::strtoll(epoch, &end, 10);
  if (epoch[0] < '0' || epoch[0] > '9' || *end != '\0' || errno != 0) {
    tool_error("SOURCE_DATE_EPOCH is not a number of seconds: %s", epoch);
    return false;
  }
  if (seconds > kLastStamp) {
    tool_error("SOURCE_DATE_EPOCH is past the year 3000: %s", epoch);
    return false;
  }
  *stamp = static_cast<std::time_t>(seconds);
  return true;
}

bool is_folder(const std::string& name) {
  struct stat st;
  return ::stat(name.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int run(int argc, char** argv) {
  ContactsArgs a;
  if (!parse_args(argc, argv, &a)) {
    std::fputs(kUsage, stderr);
    return kExitTrouble;
  }
  if (a.help) {
    std::fputs(kUsage, stdout);
    std::fputs(
        "Writes the families of the ward folder DIR (mis231.txt, with mis232.txt and\n"
        "mis239.txt when present) as vCard contacts (DIR/wardcontacts.vcf) and the\n"
        "members' birthdays as an iCalendar file (DIR/wardbirthdays.ics).\n",
        stdout);
    return finish_stdout() ? kExitSame : kExitTrouble;
  }
  if (!is_folder(a.dir)) {
    tool_error("%s is not a folder", a.dir.c_str());
    return kExitTrouble;
  }
  std::string key_path = a.key.empty() ? default_key_path() : a.key;
  if (key_path.empty()) {
    tool_error("no place for the key file: set HOME or give --key FILE");
    return kExitTrouble;
  }
  std::string key;
  std::time_t stamp = 0;
  if (!load_or_create_key(key_path, &key) || !event_stamp(&stamp)) return kExitTrouble;
  // The key is there now, made by this run when it was missing.
  std::vector<ReadFile> inputs = contacts_ward_files(a.dir);
  inputs.push_back({"the key file", key_path});
  if (!output_spares_inputs("--vcf", a.vcf, inputs) ||
      !output_spares_inputs("--ics", a.ics, inputs)) {
    return kExitTrouble;
  }

  Arena arena;
  WardFamily* ward = nullptr;
  if (!read_contacts_ward(a.dir, arena, &ward)) return kExitTrouble;

  std::string category = utf8_from_argument(a.unit);
  // Each file is tried, whatever became of the other.
  bool cards = write_output_whole(a.vcf, [&](FILE* fp) {
    UidMaker uids(key);
    write_ward_vcards(ward, fp, category, uids);
  });
  bool birthdays = write_output_whole(a.ics, [&](FILE* fp) {
    UidMaker uids(key);
    write_ward_birthdays(ward, fp, stamp, uids);
  });
  bool ok = cards && birthdays;
  return ok ? kExitSame : kExitTrouble;
}

}  // namespace

int main(int argc, char** argv) {
  set_tool_name("kinroll-contacts");
  return run(argc, argv);
}
