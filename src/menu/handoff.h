#pragma once
// Writing a list to a file and handing a handheld document to the converter.

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

#include "model/shell.h"

/// Writes the body of a list to an open stream.
using BodyWriter = std::function<void(FILE*)>;

/// One handheld list as a menu action offers it.
struct Handheld {
  const char* deflt;       ///< default base name
  const char* prompt;      ///< prompt text, "%s" shows the default
  const char* title_fmt;   ///< title line format (unit, date), or null for none
  const char* list_title;  ///< list title in the converter command
};

/// The menu action of a handheld list: prompts for the base name, writes
/// base + ".txt" with the title line, the body and the trailer "<*>\n", and
/// when a converter is set and the file was written whole, prints
/// "Executing >>%s<<\n" and runs the converter command. A file that cannot be
/// opened ends the action with "Can't open output file (%s)\n" on the error
/// stream, and no converter runs.
void hand_off(const Handheld& list, const BodyWriter& body);

/// Writes `body` to the file `name` as a plain file (no title, no trailer, no
/// converter). Returns false when the file cannot be opened ("Can't open
/// output file (%s)\n" printed on the error stream) or when writing failed
/// ("Error writing %s\n" printed, old file kept).
bool write_plain(const std::string& name, const BodyWriter& body);

/// Runs the converter for a written document: prints "Executing >>%s<<\n"
/// with the command and runs it through the system command interpreter,
/// waiting for it. Does nothing when no converter is set.
void run_converter(const std::string& base, std::string_view title);

/// The converter command "%s %s \"%s %s\"" of `app`, `base`, `unit` and
/// `title`: `app` verbatim, `base` as one shell word, `unit` and `title`
/// escaped for the double quotes.
std::string converter_command(const std::string& app, std::string_view base,
                              std::string_view unit, std::string_view title);
