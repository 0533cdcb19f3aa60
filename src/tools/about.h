#pragma once
// What every program of Kinroll says about itself: the version in the GNU
// form, the answer to --help and --version, and the pointer to --help after
// a bad command line.

#include <cstdio>
#include <span>

struct ToolArgs;
struct ToolOption;

/// Prints the version text to standard output: "PROGRAM (Kinroll) VERSION",
/// the copyright line, the licence line and the no-warranty lines.
void print_version(const char* program);

/// Prints "Try 'NAME --help' for more information." on the error stream,
/// after a complaint about the command line. Returns kExitTrouble.
int try_help();

/// Complains "NAME: WHAT" with tool_error(), then try_help(). Returns
/// kExitTrouble.
int usage_trouble(const char* what);

/// Reads the command line into `*args` against the options `known`, and
/// answers "--help" (`help` prints the text to the stream it is given) or
/// else "--version" on standard output. Returns true when the program goes
/// on with `*args`; false, with `*status` its exit status, when it is done
/// already: a bad command line (usage_trouble(), kExitTrouble), or help or
/// version answered (kExitSame, or kExitTrouble when standard output could
/// not be written).
bool read_command_line(int argc, char** argv, std::span<const ToolOption> known,
                       void (*help)(FILE*), ToolArgs* args, int* status);
