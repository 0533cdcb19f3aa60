#include "tools/status.h"

#include <cstdarg>
#include <cstdio>

namespace {

const char* g_name = "kinroll";

}  // namespace

void set_tool_name(const char* name) { g_name = name; }

const char* tool_name() { return g_name; }

void tool_error(const char* fmt, ...) {
  std::fprintf(stderr, "%s: ", g_name);
  va_list ap;
  va_start(ap, fmt);
  std::vfprintf(stderr, fmt, ap);
  va_end(ap);
  std::fputc('\n', stderr);
}

bool finish_stdout() {
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    tool_error("cannot write the standard output");
    return false;
  }
  return true;
}
