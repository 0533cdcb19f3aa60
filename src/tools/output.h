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
