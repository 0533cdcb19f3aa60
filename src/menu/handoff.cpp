#include "menu/handoff.h"

#include <cstdio>

#include "menu/documents.h"
#include "menu/prompt.h"
#include "menu/settings.h"
#include "model/outfile.h"
#include "model/shell.h"

namespace {

/// "UNIT TITLE" escaped for the double quotes of a converter command.
std::string quoted_title(std::string_view unit_name, std::string_view title) {
  return shell_dquoted(unit_name) + " " + shell_dquoted(title);
}

}  // namespace

std::string converter_command(std::string_view app, std::string_view base,
                              std::string_view unit_name, std::string_view title) {
  return converter_command(app, base, quoted_title(unit_name, title));
}

void run_converter(std::string_view base, std::string_view title) {
  hand_to_converter(Instapp, base, quoted_title(unit, title), "Executing >>%s<<\n");
}

bool hand_off(int option, const LoopState& state) {
  const Document* doc = find_document(option);
  if (doc == nullptr) return false;
  std::string base = prompt_name(doc->base, doc->prompt);
  std::string name = doc->file(base);
  OutputFile out;
  if (!open_or_report(out, name, "Can't open output file (%s)\n")) return true;
  doc->write(state, out.get(), doc->title);
  if (out.commit() && doc->list_title != nullptr) run_converter(base, doc->list_title);
  return true;
}
