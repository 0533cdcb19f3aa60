#include "menu/prompt.h"

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
  if (n > INT_MAX) return INT_MAX;
  if (n < INT_MIN) return INT_MIN;
  return static_cast<int>(n);
}
