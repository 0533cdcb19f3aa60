#include "menu/cmdline.h"

#include <cstdio>

#include "menu/settings.h"

int parse_command_line(int argc, char** argv) {
  int first = 0;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (arg[0] != '-') continue;
    switch (arg[1]) {
      case 'c':
        first = 800;
        break;
      case 'i':
        if (arg[2] != '\0') {
          Instapp = arg + 2;
        } else if (i + 1 < argc) {
          Instapp = argv[++i];
        } else {
          Instapp.reset();
        }
        // An empty command (an unset variable in a script) means none.
        if (Instapp.empty()) Instapp.reset();
        break;
      case 'u':
        if (arg[2] != '\0') {
          unit = arg + 2;
        } else if (i + 1 < argc) {
          unit = argv[++i];
        } else {
          unit = "Ward";
        }
        break;
      default:
        std::fprintf(stderr, "Invalid option ... ignored\n");
        break;
    }
  }
  return first;
}
