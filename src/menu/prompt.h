#pragma once
// Prompting for a name with a default.

#include <string>

/// Prints `prompt` (whose "%s" shows `deflt`) on standard output without a
/// newline and reads one console line; returns the line, or `deflt` when the
/// line is empty. Ends the program at end of input.
std::string prompt_name(const char* deflt, const char* prompt);

/// The leading decimal number of a console line as an option number: blanks
/// skipped, an optional sign, digits up to the first non-digit; 0 when there
/// is no number. Values beyond the int range are clamped.
int leading_number(const std::string& line);
