#pragma once
// What every program of Kinroll says about itself: the version in the GNU
// form, the answer to --help and --version, and the pointer to --help after
// a bad command line.

#include <cstdio>

struct ToolArgs;

/// Prints the version text to standard output: "PROGRAM (Kinroll) VERSION",
/// the copyright line, the licence line and the no-warranty lines.
void print_version(const char* program);

/// Prints "Try 'NAME --help' for more information." on the error stream,
/// after a complaint about the command line. Returns kExitTrouble.
int try_help();

/// Complains "NAME: WHAT" with tool_error(), then try_help(). Returns
/// kExitTrouble.
int usage_trouble(const char* what);

/// Answers "--help" (`help` prints the text to the stream it is given) or
/// else "--version" when `args` holds one of them, on standard output.
/// Returns true with `*status` set (kExitSame, or kExitTrouble when standard
/// output could not be written) when it answered; false when neither was
/// given.
bool answer_help_or_version(const ToolArgs& args, void (*help)(FILE*), int* status);
