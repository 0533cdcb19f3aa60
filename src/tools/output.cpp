#include "tools/output.h"

#include <cerrno>
#include <cstring>

#include "model/outfile.h"
#include "tools/directory.h"
#include "tools/status.h"

bool write_output_whole(const std::string& name, const std::function<void(FILE*)>& body) {
  if (name == "-") {
    body(stdout);
    return finish_stdout();
  }
  OutputFile out;
  errno = 0;
  if (!out.open(name)) {
    const char* why = errno != 0 ? std::strerror(errno) : "cannot be opened";
    tool_error("cannot write %s: %s", name.c_str(), is_folder(name) ? "it is a folder" : why);
    return false;
  }
  body(out.get());
  return out.commit();
}
