#pragma once
// Writing an output file of a one-job program.

#include <cstdio>
#include <functional>
#include <string>

/// Writes the file `name` whole: `body` writes the text to the open stream,
/// then the file is put in place (OutputFile: the old file stays until the
/// new one is complete). Returns false when the file cannot be opened
/// (tool_error("cannot write NAME: REASON"), `body` not called) or when a
/// write failed ("Error writing NAME" from OutputFile, old file kept).
/// `name` "-" is standard output, written at once and flushed
/// (finish_stdout).
bool write_output_whole(const std::string& name, const std::function<void(FILE*)>& body);

/// write_output_whole for a `body` that may fail to write the whole text:
/// it returns false, after saying why, when it did; the file is then not
/// put in place (the old one stays) and the call returns false. Standard
/// output keeps what was written to it.
bool write_output_checked(const std::string& name, const std::function<bool(FILE*)>& body);
