#include "web/text.h"

#include <algorithm>

std::string html_escape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

std::vector<std::vector<std::string>> csv_rows(std::string_view csv) {
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> row;
  std::string field;
  bool quoted = false;
  bool any = false;  // something of the current row was read
  for (size_t i = 0; i < csv.size(); ++i) {
    char c = csv[i];
    if (quoted) {
      if (c != '"') {
        field += c;
      } else if (i + 1 < csv.size() && csv[i + 1] == '"') {
        field += '"';
        ++i;
      } else {
        quoted = false;
      }
      continue;
    }
    any = true;
    if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      row.push_back(std::move(field));
      field.clear();
    } else if (c == '\n') {
      if (!field.empty() && field.back() == '\r') field.pop_back();
      row.push_back(std::move(field));
      field.clear();
      rows.push_back(std::move(row));
      row.clear();
      any = false;
    } else {
      field += c;
    }
  }
  if (any) {
    row.push_back(std::move(field));
    rows.push_back(std::move(row));
  }
  return rows;
}

std::string latin1_from_utf8(std::string_view utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    auto c = static_cast<unsigned char>(utf8[i]);
    size_t len = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 :
                 (c & 0xF8) == 0xF0 ? 4 : 0;
    bool whole = len != 0 && i + len <= utf8.size();
    for (size_t k = 1; whole && k < len; ++k) {
      whole = (static_cast<unsigned char>(utf8[i + k]) & 0xC0) == 0x80;
    }
    if (!whole) {
      out += '?';
      ++i;
      continue;
    }
    unsigned code = len == 1 ? c : len == 2 ? ((c & 0x1Fu) << 6) |
                                                  (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu)
                                            : 0x100;
    out += code < 0x20 || code == 0x7F || (code >= 0x80 && code < 0xA0) || code > 0xFF
               ? '?'
               : static_cast<char>(code);
    i += len;
  }
  return out;
}
