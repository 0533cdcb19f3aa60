#include "web/archive.h"

#include <zip.h>

#include <cstdio>

bool write_archive(const std::string& zip_path, const std::vector<ArchiveEntry>& entries,
                   const std::atomic<bool>& cancel, std::string* error) {
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
  zip_register_cancel_callback_with_state(
      zip,
      [](zip_t*, void* flag) {
        return static_cast<const std::atomic<bool>*>(flag)->load() ? 1 : 0;
      },
      nullptr, const_cast<std::atomic<bool>*>(&cancel));
  for (const ArchiveEntry& e : entries) {
    zip_source_t* src = zip_source_file(zip, e.path.c_str(), 0, -1);
    zip_int64_t at = src == nullptr ? -1 : zip_file_add(zip, e.name.c_str(), src, ZIP_FL_ENC_UTF_8);
    if (at < 0 ||
        zip_set_file_compression(zip, static_cast<zip_uint64_t>(at), ZIP_CM_DEFLATE, 1) < 0) {
      if (src != nullptr && at < 0) zip_source_free(src);
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
