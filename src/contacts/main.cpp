// kinroll-contacts: writes the ward's contacts as a vCard file and its
// birthdays as an iCalendar file, for the contacts and calendar of a phone.
// Exit status 0 when both files were written (then a summary line on the
// error stream), 2 on trouble (bad arguments, an output that is one of the
// printouts or the key, a printout or key that cannot be read, a file that
// cannot be written); 1 is not used.

#include <sys/stat.h>

#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "contacts/birthdays.h"
#include "contacts/keyfile.h"
#include "contacts/uid.h"
#include "contacts/vcard.h"
#include "model/arena.h"
#include "tools/about.h"
#include "tools/args.h"
#include "tools/directory.h"
#include "tools/output.h"
#include "tools/samefile.h"
#include "tools/stamp.h"
#include "tools/status.h"
#include "tools/utf8.h"
#include "tools/wardread.h"

namespace {

constexpr ToolOption kOptions[] = {{"vcf", true},         {"ics", true},
                                   {"key", true},         {"unit", true, 'u'},
                                   {"help", false, 'h'}, {"version", false}};

void print_usage(FILE* fp) {
  std::fputs(
      "Usage: kinroll-contacts [--vcf FILE] [--ics FILE] [--key FILE] [-u unit] DIR\n"
      "       kinroll-contacts --help | --version\n"
      "\n"
      "Writes the families of the ward folder DIR (mis231.txt, with mis232.txt and\n"
      "mis239.txt when present) as vCard contacts (DIR/wardcontacts.vcf) and the\n"
      "members' birthdays as an iCalendar file (DIR/wardbirthdays.ics).\n"
      "\n"
      "  --vcf FILE         write the contacts to FILE (- for standard output)\n"
      "  --ics FILE         write the birthdays to FILE (- for standard output)\n"
      "  --key FILE         the secret key of the UIDs (mode 600; default\n"
      "                     ~/.config/kinroll/contacts.key, made on the first run)\n"
      "  -u, --unit unit    the unit name, the contacts' category (default Ward)\n"
      "  -h, --help         show this text and exit\n"
      "      --version      show the version and exit\n"
      "\n"
      "Exit status: 0 both files written, 2 trouble.\n"
      "See the manual page kinroll-contacts(1).\n",
      fp);
}

/// The command line, taken apart.
struct ContactsArgs {
  std::string dir;
  std::string vcf;
  std::string ics;
  std::string key;  ///< key file; empty for the default
  std::string unit = "Ward";
};

/// True when `name` is there and is no regular file or folder (/dev/null, a
/// pipe), which two outputs may share.
bool is_device(const std::string& name) {
  struct stat st;
  return ::stat(name.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
}

/// Reads the command line `args` into `*a`. Returns what is wrong with it;
/// empty when nothing is.
std::string parse_args(const ToolArgs& args, ContactsArgs* a) {
  if (args.positional.size() != 1) {
    return args.positional.empty() ? "no folder named" : "more than one folder named";
  }
  if (args.has("unit")) a->unit = *args.value("unit");
  a->dir = args.positional[0];
  a->vcf = args.has("vcf") ? *args.value("vcf") : path_in_folder(a->dir, "wardcontacts.vcf");
  a->ics = args.has("ics") ? *args.value("ics") : path_in_folder(a->dir, "wardbirthdays.ics");
  if (args.has("key")) a->key = *args.value("key");
  if (a->vcf.empty() || a->ics.empty()) return "an output file needs a name";
  if ((a->vcf == a->ics || is_same_file(a->vcf, a->ics)) && !is_device(a->vcf)) {
    return "--vcf and --ics name the same file " + a->vcf;
  }
  if (args.has("key") && a->key.empty()) return "option --key needs a file name";
  return "";
}

/// `name` as the summary line names an output.
std::string output_name(const std::string& name) {
  return name == "-" ? "standard output" : name;
}

int run(int argc, char** argv) {
  ToolArgs args;
  int status;
  if (!read_command_line(argc, argv, kOptions, print_usage, &args, &status)) return status;
  ContactsArgs a;
  std::string trouble = parse_args(args, &a);
  if (!trouble.empty()) return usage_trouble(trouble.c_str());
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
  if (!load_or_create_key(key_path, &key) || !output_stamp(&stamp)) return kExitTrouble;
  // The key is there now, made by this run when it was missing.
  std::vector<ReadFile> inputs = ward_folder_files(a.dir);
  inputs.push_back({"the key file", key_path});
  if (!output_spares_inputs("--vcf", a.vcf, inputs) ||
      !output_spares_inputs("--ics", a.ics, inputs)) {
    return kExitTrouble;
  }

  Arena arena;
  WardFamily* ward = nullptr;
  if (!read_ward_folder(a.dir, arena, &ward)) return kExitTrouble;

  std::string category = utf8_from_argument(a.unit);
  // Each file is tried, whatever became of the other.
  int cards = 0;
  int birthdays = 0;
  bool cards_ok = write_output_whole(a.vcf, [&](FILE* fp) {
    UidMaker uids(key);
    cards = write_ward_vcards(ward, fp, category, uids);
  });
  bool birthdays_ok = write_output_whole(a.ics, [&](FILE* fp) {
    UidMaker uids(key);
    birthdays = write_ward_birthdays(ward, fp, stamp, uids);
  });
  if (!cards_ok || !birthdays_ok) return kExitTrouble;
  tool_error("%d cards to %s, %d birthdays to %s", cards, output_name(a.vcf).c_str(), birthdays,
             output_name(a.ics).c_str());
  return kExitSame;
}

}  // namespace

int main(int argc, char** argv) {
  set_tool_name("kinroll-contacts");
  return run(argc, argv);
}
