#include "model/infile.h"

#include <sys/stat.h>

InputFile::InputFile(const std::string& name) : fp_(std::fopen(name.c_str(), "r")) {
  struct stat st;
  if (fp_ != nullptr && ::fstat(fileno(fp_), &st) == 0 && S_ISDIR(st.st_mode)) {
    std::fclose(fp_);
    fp_ = nullptr;
    return;
  }
  // Printouts run to megabytes: read them in large pieces.
  if (fp_ != nullptr) std::setvbuf(fp_, nullptr, _IOFBF, 256 * 1024);
}

InputFile::~InputFile() {
  if (fp_ != nullptr) std::fclose(fp_);
}
