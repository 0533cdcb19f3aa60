#pragma once
// Keeping an output file of a one-job program off the files it reads: an
// output put in place over a printout or a key would lose it for good (the
// printout replaced by cards, the key by a calendar and every UID with it),
// so such an output is refused before any output file is opened.

#include <span>
#include <string>

/// A file that a program reads, as its messages name it.
struct ReadFile {
  const char* what;  ///< "the old printout", "the key file"; a literal
  std::string path;
};

/// True when `a` and `b` name one existing file: the same device and inode,
/// symbolic links followed, so that a link, a hard link or another spelling
/// of the name counts as the file itself. False when either cannot be looked
/// at, a name that does not exist yet among them.
bool is_same_file(const std::string& a, const std::string& b);

/// True when the output `output`, named by the option `option` ("--csv"), is none of `inputs`;
/// "-" (standard output, or input) is never a file. Else false, after tool_error("OPTION OUTPUT
/// would overwrite WHAT PATH") for the first input it is; nothing is opened.
bool output_spares_inputs(const char* option, const std::string& output,
                          std::span<const ReadFile> inputs);
