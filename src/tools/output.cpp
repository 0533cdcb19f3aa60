#include "tools/output.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "model/outfile.h"
#include "tools/status.h"

bool write_output_whole(const std::string& name, const std::function<void(FILE*)>& body) {
  if (name == "-") {
    body(stdout);
    return finish_stdout();
  }
  OutputFile out;
  errno = 0;
  if (!out.open(name)) {
    int reason = errno;
    struct stat st;
    bool folder = ::stat(name.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    tool_error("cannot write %s: %s", name.c_str(),
               folder ? "it is a folder" : reason != 0 ? std::strerror(reason) : "cannot be opened");
    return false;
  }
  body(out.get());
  return out.commit();
}
