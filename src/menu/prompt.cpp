#include "menu/prompt.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "model/console.h"

std::string prompt_name(const char* deflt, const char* prompt) {
  std::printf(prompt, deflt);
  std::string line;
  read_console_line(line);
  return line.empty() ? std::string(deflt) : line;
}

int leading_number(const std::string& line) {
  long n = std::strtol(line.c_str(), nullptr, 10);
  return static_cast<int>(std::clamp<long>(n, INT_MIN, INT_MAX));
}
