#pragma once
// The command line: -c (batch), -i (converter command), -u (unit name).

/// Reads the arguments left to right, setting `unit` and `Instapp`; prints
/// "Invalid option ... ignored\n" on the error stream for any other "-"
/// argument. Returns the first option to carry out: 800 after -c, else 0.
int parse_command_line(int argc, char** argv);
