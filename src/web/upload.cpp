#include "web/upload.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace {

std::string mib(uint64_t bytes) { return std::to_string(bytes >> 20) + " MB"; }

}  // namespace

UploadReceiver::~UploadReceiver() {
  if (file_ != nullptr) std::fclose(file_);
}

bool UploadReceiver::refuse(int status, std::string why) {
  status_ = status;
  why_ = std::move(why);
  return false;
}

bool UploadReceiver::close_file() {
  if (file_ == nullptr) return true;
  bool ok = std::fclose(file_) == 0;
  file_ = nullptr;
  return ok || refuse(500, "An uploaded file could not be saved on this computer.");
}

bool UploadReceiver::piece(std::string_view field, std::string_view filename, uint64_t offset,
                           const char* data, size_t size) {
  // A piece at offset 0 begins a part, but for the bytes that follow an
  // empty first piece of the same part (an empty part may come just before
  // another: a file input or a text field left empty).
  std::string part = std::string(field) + '\0' + std::string(filename);
  bool continued = empty_start_ && size > 0 && part == empty_part_;
  empty_start_ = offset == 0 && size == 0;
  if (empty_start_) empty_part_ = std::move(part);
  if (offset == 0 && !continued && !begin(field, filename)) return false;
  return add(data, size);
}

bool UploadReceiver::begin(std::string_view field, std::string_view filename) {
  if (!close_file()) return false;
  text_ = nullptr;
  if (filename.empty()) {
    // A text field; a file input left empty comes as a part without a name too.
    text_ = field == kUnitField ? &unit_ : field == kKeepField ? &keep_ : &ignored_;
    ignored_.clear();
    return true;
  }
  if (field != kPrintoutsField && field != kUnitsField && field != kOrgsField &&
      field != kLastMonthField) {
    return refuse(400, "The form sent is not this page's form.");
  }
  if (files_.size() >= static_cast<size_t>(kMaxFiles)) {
    return refuse(413, "Too many files: at most " + std::to_string(kMaxFiles) +
                           " can be sent at once.");
  }
  std::string path = job_.folder + "/up/" + std::to_string(files_.size());
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  file_ = fd < 0 ? nullptr : fdopen(fd, "wb");
  if (file_ == nullptr) {
    if (fd >= 0) ::close(fd);
    return refuse(500, "An uploaded file could not be saved on this computer.");
  }
  files_.push_back({std::string(field), std::string(filename), 0});
  return true;
}

bool UploadReceiver::add(const char* data, size_t size) {
  if (text_ != nullptr) {
    if (text_->size() + size > kMaxFieldBytes) {
      return refuse(413, "A text field of the form is too long.");
    }
    text_->append(data, size);
    return true;
  }
  if (file_ == nullptr) return refuse(400, "The form sent is not this page's form.");
  ReceivedFile& part = files_.back();
  part.size += size;
  total_ += size;
  if (part.size > kMaxFileBytes) {
    return refuse(413, "The file " + part.name + " is larger than " + mib(kMaxFileBytes) +
                           ", more than any printout.");
  }
  if (total_ > kMaxJobBytes) {
    return refuse(413, "The files together are larger than " + mib(kMaxJobBytes) + ".");
  }
  if (std::fwrite(data, 1, size, file_) != size) {
    return refuse(500, "An uploaded file could not be saved on this computer.");
  }
  return true;
}

bool UploadReceiver::finish() { return close_file(); }
