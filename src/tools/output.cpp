#include "tools/output.h"

#include <cerrno>
#include <cstring>

#include "model/outfile.h"
#include "tools/directory.h"
#include "tools/status.h"

bool write_output_whole(const std::string& name, const std::function<void(FILE*)>& body) {
  return write_output_checked(name, [&](FILE* fp) {
    body(fp);
    return true;
  });
}

bool write_output_checked(const std::string& name, const std::function<bool(FILE*)>& body) {
  if (name == "-") {
    bool whole = body(stdout);
    return finish_stdout() && whole;
  }
  OutputFile out;
  errno = 0;
  if (!out.open(name)) {
    const char* why = errno != 0 ? std::strerror(errno) : "cannot be opened";
    tool_error("cannot write %s: %s", name.c_str(), is_folder(name) ? "it is a folder" : why);
    return false;
  }
  // An output not committed is discarded when `out` goes.
  return body(out.get()) && out.commit();
}
