#pragma once
// The command line: -c (batch), -i (converter command), -u (unit name), and
// the newcomer's --help and --version.

/// Returned by parse_command_line when the program has answered --help or
/// --version and ends at once with status 0.
inline constexpr int kAnsweredAndDone = -1;

/// Reads the arguments left to right, setting `unit` and `Instapp`; prints
/// "Invalid option ... ignored\n" on the error stream for any other "-"
/// argument. An argument "--help" (not taken as the value of -i or -u)
/// prints the usage, "--version" the version text (print_version), on standard output, and
/// the result is then kAnsweredAndDone. Otherwise returns the first option
/// to carry out: 800 after -c, else 0.
int parse_command_line(int argc, char** argv);

/// Prints the usage that --help shows on standard output.
void print_usage();
