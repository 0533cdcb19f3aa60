#pragma once
// Writing a list to a file and handing a handheld document to the converter.

#include <string>
#include <string_view>

#include "menu/loopstate.h"

/// The menu action of the document of option `option` (see find_document()):
/// prompts for its name and writes its file from the lists of `state`: the
/// title line when it has one, the body, and for a handheld document the
/// trailer "<*>\n"; then, when a handheld document was written whole, hands
/// it to the converter (run_converter). A file that cannot be opened ends the
/// action with "Can't open output file (%s)\n" on the error stream; one that
/// failed while written prints "Error writing %s\n" and keeps the old file.
/// Either way no converter runs. Returns false, doing nothing, when `option`
/// writes no document.
bool hand_off(int option, const LoopState& state);

/// Hands the document `base` with the list title `title` to the converter
/// set with -i: prints "Executing >>%s<<\n" with the command and runs it,
/// waiting for it. Does nothing when no converter is set.
void run_converter(std::string_view base, std::string_view title);

/// The converter command "%s %s \"%s %s\"" of `app`, `base`, `unit` and
/// `title`: `app` verbatim, `base` as one shell word, `unit` and `title`
/// escaped for the double quotes.
std::string converter_command(std::string_view app, std::string_view base,
                              std::string_view unit, std::string_view title);
