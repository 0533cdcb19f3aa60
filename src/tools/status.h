#pragma once
// Messages and exit statuses of the one-job programs. A program names itself
// once with set_tool_name(); every complaint then goes to the error stream as
// "NAME: message".

/// Exit statuses, as diff(1) has them.
inline constexpr int kExitSame = 0;     ///< done, nothing found
inline constexpr int kExitFound = 1;    ///< done, something found (differences)
inline constexpr int kExitTrouble = 2;  ///< bad arguments, an unreadable input, a failed output

/// Sets the name that prefixes every message; the text must live as long as
/// the program (a literal). Until it is set, messages carry "kinroll".
void set_tool_name(const char* name);

/// The name set by set_tool_name().
const char* tool_name();

/// Prints "NAME: " and the printf-formatted message, then a line end, on the
/// error stream.
void tool_error(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

/// Flushes standard output. Returns false, after tool_error("cannot write
/// the standard output"), when any write to it failed (a full disk, a closed
/// pipe), so that a program never reports success for a report that was lost.
bool finish_stdout();
