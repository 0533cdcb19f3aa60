#pragma once
// Console input shared by the menu loop, its prompts and the paged listing.

#include <string>

/// Reads one console line from standard input into `line`, without its line
/// end; a NUL byte ends the text and an over-long answer is kept as one answer
/// cut to 511 characters. Standard output is flushed first so that a prompt
/// shows. At end of input the program ends as "q" does: "Program terminating"
/// on standard output and exit status 0; this function then never returns.
void read_console_line(std::string& line);

/// Ends the program: prints "Program terminating\n" on standard output and
/// exits with `status`.
[[noreturn]] void end_program(int status = 0);
