#include "menu/cmdline.h"

#include <cstdio>
#include <cstring>

#include "menu/settings.h"
#include "tools/about.h"

void print_usage() {
  std::printf(
      "Usage: kinroll [-c] [-i converter] [-u unit]\n"
      "       kinroll --help | --version\n"
      "\n"
      "Reads the clerk's membership-report printouts (plain text files) and writes\n"
      "ward lists, teaching lists, position lists, CSV files and an error report.\n"
      "\n"
      "  -c            batch: read every report below from the current folder, write\n"
      "                every output, and end (no menu, no questions)\n"
      "  -i converter  after each handheld list, run: converter BASE \"UNIT TITLE\"\n"
      "                (an empty text means no converter)\n"
      "  -u unit       unit name for titles (default Ward)\n"
      "\n"
      "Without -c a numbered menu asks what to do: 100 ward positions, 200 ward list,\n"
      "300 home teaching, 400 visiting teaching, 700 stake reports, 800 batch; \"?\"\n"
      "shows the miscellaneous options, q quits. Each option asks for a file name\n"
      "and offers a default.\n"
      "\n"
      "Reports read (the batch takes these names):\n"
      "  mis231.txt   directory of members (needed first: the ward list)\n"
      "  mis232.txt   family listing (family codes)\n"
      "  mis239.txt   member record numbers (birth, baptism, confirmation)\n"
      "  mis1313.txt  home teaching       mis1413.txt  visiting teaching\n"
      "  mis121.txt   ward positions      smis.txt     stake positions (menu 700)\n"
      "  wardunits.txt, wardorgs.txt  unit names and organisations, read at start\n"
      "\n"
      "Written by the batch: wardph, wardfull, wardpriv, wardzip, wardht, htdist,\n"
      "htlist, wardvt, vtdist, vtlist, wardpos (.txt handheld lists), warderr.txt,\n"
      "wardfam.csv, wardmem.csv, wardhtvt.csv, wardpos.csv.\n"
      "\n"
      "Exit status: 0, or 1 when the batch could not write an output file.\n"
      "See the manual page kinroll(1).\n");
}

int parse_command_line(int argc, char** argv) {
  int first = 0;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    // The value of -i or -u: the rest of the argument, else the next one.
    auto value = [&]() -> const char* {
      if (arg[2] != '\0') return arg + 2;
      return i + 1 < argc ? argv[++i] : nullptr;
    };
    if (std::strcmp(arg, "--help") == 0) {
      print_usage();
      return kAnsweredAndDone;
    }
    if (std::strcmp(arg, "--version") == 0) {
      print_version("kinroll");
      return kAnsweredAndDone;
    }
    if (arg[0] != '-') continue;
    switch (arg[1]) {
      case 'c':
        first = 800;
        break;
      case 'i':
        Instapp = value();  // absent when none is left
        // An empty command (an unset variable in a script) means none.
        if (Instapp.empty()) Instapp.reset();
        break;
      case 'u': {
        const char* name = value();
        unit = name != nullptr ? name : "Ward";
        break;
      }
      default:
        std::fprintf(stderr, "Invalid option ... ignored\n");
        break;
    }
  }
  return first;
}
