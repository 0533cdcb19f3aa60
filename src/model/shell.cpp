#include "model/shell.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

std::string shell_word(std::string_view s) {
  static const char kSafe[] = "_./+-,:@%";
  bool safe = !s.empty();
  for (char c : s) {
    bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
              (c != '\0' && std::strchr(kSafe, c) != nullptr);
    if (!ok) {
      safe = false;
      break;
    }
  }
  if (safe) return std::string(s);
  std::string out = "'";
  for (char c : s) {
    if (c == '\'') {
      out += "'\\''";
    } else {
      out += c;
    }
  }
  out += "'";
  return out;
}

std::string shell_dquoted(std::string_view s) {
  std::string out;
  for (char c : s) {
    if (c == '"' || c == '\\' || c == '$' || c == '`') out += '\\';
    out += c;
  }
  return out;
}

void run_shell_command(const std::string& cmd) {
  std::fflush(stdout);
  std::fflush(stderr);
  int status = std::system(cmd.c_str());
  (void)status;
}
