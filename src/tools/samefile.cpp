#include "tools/samefile.h"

#include <sys/stat.h>

#include "tools/status.h"

bool is_same_file(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

bool output_spares_inputs(const char* option, const std::string& output,
                          std::span<const ReadFile> inputs) {
  if (output == "-") return true;
  for (const ReadFile& in : inputs) {
    if (in.path != "-" && is_same_file(output, in.path)) {
      tool_error("%s %s would overwrite %s %s", option, output.c_str(), in.what, in.path.c_str());
      return false;
    }
  }
  return true;
}
