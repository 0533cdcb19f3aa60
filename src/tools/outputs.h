#pragma once
// Every file the programs write, as a clerk knows it: its plain name, what
// it is for and what it is used with. The web page's results list the files
// of a job by this table.

#include <string_view>

/// What a file is used for, in the order the results page shows them.
enum class FileUse { kPaper, kHandheld, kSpreadsheet, kPhone, kCheck, kStake };

/// One file, or a family of files whose name `file` holds a '*' (any text).
struct KnownFile {
  const char* file;     ///< "wardph.txt", "stakedoc/*Pos.txt"
  FileUse use;
  const char* name;     ///< "Phone list"
  const char* purpose;  ///< a sentence part: "names and phone numbers of every family"
};

/// The entry for the file `name` (a path relative to the folder the programs
/// wrote in); null when it is none of the programs' files.
const KnownFile* known_file(std::string_view name);

/// The heading of the files of `use` on the results page ("For paper").
const char* use_heading(FileUse use);
