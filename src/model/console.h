#pragma once
// Console input shared by the menu loop, its prompts and the paged listing.

#include <string>

/// Reads one console line from standard input into `line`, whole however
/// long it is, without its line end; a NUL byte or a carriage return ends the
/// text and the rest of the line is read and dropped. (Only report lines are
/// cut at 511 characters, by read_line.) Standard output is flushed first so
/// that a prompt shows. End of console input at any read ends the program as
/// "q" does: "Program terminating" on standard output and exit status 0; this
/// function then never returns. A last line without a line end is a line.
void read_console_line(std::string& line);

/// Ends the program: prints "Program terminating\n" on standard output and
/// exits with `status`.
[[noreturn]] void end_program(int status = 0);
