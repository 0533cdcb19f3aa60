#pragma once
// Telling by its first bytes that a file is a document of another program
// (a PDF, a zip archive, a word-processor file), never a saved printout.

#include <cstddef>
#include <string_view>

/// The kinds of file that a first few bytes give away.
enum class FileKind { kText, kPdf, kZip, kWordProcessor };

/// How many leading bytes of a file sniff_kind() needs at most.
inline constexpr size_t kSniffWindow = 64 * 1024;

/// The kind of a file that begins with `head` (its first bytes, up to
/// kSniffWindow): kPdf after "%PDF-"; kWordProcessor for an OLE2 compound
/// file (D0 CF 11 E0 A1 B1 1A E1: .doc and its kin), for RTF ("{\rtf") and
/// for a zip archive whose local file headers within `head` name an entry
/// under word/ (.docx) or content.xml, or begin with the OpenDocument
/// "mimetype" entry (.odt); kZip for any other zip archive ("PK\3\4", or
/// "PK\5\6" for an empty one); kText otherwise, whatever the other bytes.
FileKind sniff_kind(std::string_view head);

/// How a sentence for the clerk names `kind`: "a PDF", "a zip archive", "a
/// word-processor file"; "a text" for kText. A literal.
const char* kind_name(FileKind kind);
