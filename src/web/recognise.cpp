#include "web/recognise.h"

#include <cctype>

namespace {

bool same_letters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

/// The first line of `text` holding more than blanks, without its line end.
std::string_view first_line(std::string_view text) {
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    if (line.find_first_not_of(" \t\r\f") != std::string_view::npos) return line;
    at = end + 1;
  }
  return {};
}

}  // namespace

const BatchInput* recognise_input(std::string_view name, std::string_view head) {
  size_t slash = name.find_last_of("/\\");
  std::string_view base = slash == std::string_view::npos ? name : name.substr(slash + 1);
  for (const BatchInput& in : kBatchInputs) {
    if (same_letters(base, in.file)) return &in;
  }
  std::string_view line = first_line(head.substr(0, kTitleWindow));
  for (const BatchInput& in : kBatchInputs) {
    if (in.title != nullptr && line.find(in.title) != std::string_view::npos) return &in;
  }
  return nullptr;
}

const BatchInput* batch_input(std::string_view file) {
  for (const BatchInput& in : kBatchInputs) {
    if (file == in.file) return &in;
  }
  return nullptr;
}
