#pragma once
// The lists the program writes to files, as the menu options and the batch
// production name them: one table that both use.

#include <cstdio>
#include <string>

#include "menu/loopstate.h"

/// One list written to a file: its default name, its title line, the title
/// its converter command gives it, the batch's message when its file cannot
/// be opened, and the writer of its body.
struct Document {
  int option;                 ///< the menu option that writes it
  const char* base;           ///< default base name
  bool add_txt;               ///< the file is base + ".txt"; else the name as typed
  const char* prompt;         ///< the menu's prompt for the name, "%s" shows the default
  const char* title;          ///< the menu's title line format (unit, date), or null
  const char* batch_title;    ///< the batch's title line format, or null when as `title`
  const char* list_title;     ///< title in the converter command; null for a plain list,
                              ///< which has no trailer and goes to no converter
  const char* batch_failure;  ///< the batch's message when the file cannot be opened, or null
  bool failure_on_stderr;     ///< that message goes to the error stream, else standard output
  void (*body)(const LoopState& lists, FILE* fp);  ///< writes the body from the loop's lists

  /// The file of base name `name`.
  std::string file(const std::string& name) const { return add_txt ? name + ".txt" : name; }

  /// Writes the document into `fp` from `lists`: the title line format
  /// `title_fmt` (unit, date) unless it is null, the body, and for a
  /// handheld list the trailer "<*>\n".
  void write(const LoopState& lists, FILE* fp, const char* title_fmt) const;
};

/// The document that menu option `option` writes; null when it writes none.
const Document* find_document(int option);

/// The document that menu option `option` writes; the program ends with a
/// message on the error stream for an option that writes none (a fault of
/// the caller, never of the input).
const Document& document(int option);
