#include "web/recognise.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <vector>

#include "model/splitfld.h"

namespace {

constexpr std::string_view kMark = "\xEF\xBB\xBF";  // UTF-8 byte-order mark

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

/// The first line of `text` holding more than blanks, without its line end
/// and its leading blanks and form feeds.
std::string_view first_line(std::string_view text) {
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    size_t start = line.find_first_not_of(" \t\r\f");
    if (start != std::string_view::npos) return line.substr(start);
    at = end + 1;
  }
  return {};
}

/// True when `line` is a line of fields of a configuration file: three
/// fields parted by '|', the first not blank.
bool is_entry(std::string_view line) {
  std::vector<std::string_view> fields;
  return split_flds(line, fields, '|', false, 4) == 3 && !trim_view(fields[0]).empty();
}

}  // namespace

const BatchInput* input_by_title(std::string_view head) {
  head = head.substr(0, kTitleWindow);
  if (head.starts_with(kMark)) head.remove_prefix(kMark.size());
  std::string_view line = first_line(head);
  for (const BatchInput& in : kBatchInputs) {
    for (const char* title : in.titles) {
      if (title != nullptr && line.starts_with(title)) return &in;
    }
  }
  return nullptr;
}

const BatchInput* input_by_name(std::string_view name) {
  size_t slash = name.find_last_of("/\\");
  std::string_view base = slash == std::string_view::npos ? name : name.substr(slash + 1);
  for (const BatchInput& in : kBatchInputs) {
    if (same_letters(base, in.file)) return &in;
  }
  return nullptr;
}

const BatchInput* batch_input(std::string_view file) {
  for (const BatchInput& in : kBatchInputs) {
    if (file == in.file) return &in;
  }
  return nullptr;
}

ConfigFit fit_config(const std::string& path, const BatchInput& config) {
  ConfigFit fit;
  FILE* fp = std::fopen(path.c_str(), "rb");
  if (fp == nullptr) return fit;
  std::string line;
  for (uint64_t number = 1; read_line(line, fp) == 0; ++number) {
    if (number == 1 && line.starts_with(kMark)) line.erase(0, kMark.size());
    if (trim_view(line).empty() || std::strchr(config.comments, line[0]) != nullptr) continue;
    if (!is_entry(line)) {
      fit.bad_line = number;
      fit.bad_text = line;
      break;
    }
    ++fit.entries;
  }
  std::fclose(fp);
  return fit;
}
