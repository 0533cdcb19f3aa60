#include "tools/about.h"

#include "tools/args.h"
#include "tools/status.h"

void print_version(const char* program) {
  std::printf(
      "%s (Kinroll) %s\n"
      "Copyright (C) 2026 the Kinroll developers\n"
      "License MIT: <https://opensource.org/licenses/MIT>\n"
      "This is free software: you are free to change and redistribute it.\n"
      "There is NO WARRANTY, to the extent permitted by law.\n",
      program, KINROLL_VERSION);
}

int try_help() {
  std::fprintf(stderr, "Try '%s --help' for more information.\n", tool_name());
  return kExitTrouble;
}

int usage_trouble(const char* what) {
  tool_error("%s", what);
  return try_help();
}

bool read_command_line(int argc, char** argv, std::span<const ToolOption> known,
                       void (*help)(FILE*), ToolArgs* args, int* status) {
  std::string error;
  if (!parse_tool_args(argc, argv, known, args, &error)) {
    *status = usage_trouble(error.c_str());
    return false;
  }
  if (args->has("help")) {
    help(stdout);
  } else if (args->has("version")) {
    print_version(tool_name());
  } else {
    return true;
  }
  *status = finish_stdout() ? kExitSame : kExitTrouble;
  return false;
}
