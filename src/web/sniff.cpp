#include "web/sniff.h"

#include <cstdint>

namespace {

uint16_t le16(std::string_view bytes, size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(bytes[at]) |
                               static_cast<unsigned char>(bytes[at + 1]) << 8);
}

/// True when a local file header of the zip archive beginning `head` names
/// an entry of a word-processor document. Every entry's header carries its
/// name in the clear, so the headers are looked for by their signature:
/// compressed data or a data descriptor in between does not hide the next.
bool zip_of_document(std::string_view head) {
  constexpr std::string_view kLocal("PK\3\4", 4);
  constexpr size_t kNameAt = 30;  // the name follows the fixed fields
  for (size_t at = head.find(kLocal); at != std::string_view::npos && at + kNameAt <= head.size();
       at = head.find(kLocal, at + 1)) {
    std::string_view rest = head.substr(at + kNameAt);
    std::string_view name = rest.substr(0, le16(head, at + 26));
    if (name.starts_with("word/") || name == "content.xml") return true;
    // An OpenDocument file stores its kind first, unpacked.
    size_t data = name.size() + le16(head, at + 28);
    if (name == "mimetype" && data <= rest.size() &&
        rest.substr(data).starts_with("application/vnd.oasis.opendocument")) {
      return true;
    }
  }
  return false;
}

}  // namespace

FileKind sniff_kind(std::string_view head) {
  head = head.substr(0, kSniffWindow);
  if (head.starts_with("%PDF-")) return FileKind::kPdf;
  if (head.starts_with("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") || head.starts_with("{\\rtf")) {
    return FileKind::kWordProcessor;
  }
  if (head.starts_with(std::string_view("PK\3\4", 4))) {
    return zip_of_document(head) ? FileKind::kWordProcessor : FileKind::kZip;
  }
  if (head.starts_with(std::string_view("PK\5\6", 4))) return FileKind::kZip;
  return FileKind::kText;
}

const char* kind_name(FileKind kind) {
  switch (kind) {
    case FileKind::kPdf: return "a PDF";
    case FileKind::kZip: return "a zip archive";
    case FileKind::kWordProcessor: return "a word-processor file";
    case FileKind::kText: break;
  }
  return "a text";
}
