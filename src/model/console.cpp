#include "model/console.h"

#include <cstdio>
#include <cstdlib>

void read_console_line(std::string& line) {
  std::fflush(stdout);
  line.clear();
  bool ended = false;  // a NUL or CR ended the text; the rest of the line is dropped
  bool got = false;
  int c;
  while ((c = std::getchar()) != EOF) {
    got = true;
    if (c == '\n') break;
    if (c == '\0' || c == '\r') ended = true;
    if (!ended) line.push_back(static_cast<char>(c));
  }
  if (!got) end_program();
}

void end_program(int status) {
  std::printf("Program terminating\n");
  std::fflush(stdout);
  std::exit(status);
}
