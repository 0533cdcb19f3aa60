#include "web/archive.h"

#include <zip.h>

#include <cstdio>

bool write_archive(const std::string& zip_path, const std::vector<ArchiveEntry>& entries,
                   std::string* error) {
  const std::string part = zip_path + ".part";
  std::remove(part.c_str());
  int code = 0;
  zip_t* zip = zip_open(part.c_str(), ZIP_CREATE | ZIP_EXCL, &code);
  if (zip == nullptr) {
    zip_error_t err;
    zip_error_init_with_code(&err, code);
    *error = zip_error_strerror(&err);
    zip_error_fini(&err);
    return false;
  }
  for (const ArchiveEntry& e : entries) {
    zip_source_t* src = zip_source_file(zip, e.path.c_str(), 0, -1);
    if (src == nullptr || zip_file_add(zip, e.name.c_str(), src, ZIP_FL_ENC_UTF_8) < 0) {
      if (src != nullptr) zip_source_free(src);
      *error = zip_strerror(zip);
      zip_discard(zip);
      return false;
    }
  }
  if (zip_close(zip) != 0) {
    *error = zip_strerror(zip);
    zip_discard(zip);
    std::remove(part.c_str());
    return false;
  }
  if (std::rename(part.c_str(), zip_path.c_str()) != 0) {
    *error = "cannot put the archive in place";
    std::remove(part.c_str());
    return false;
  }
  return true;
}
