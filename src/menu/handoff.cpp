#include "menu/handoff.h"

#include <cstdio>

#include "menu/prompt.h"
#include "menu/settings.h"
#include "model/outfile.h"

std::string converter_command(const std::string& app, std::string_view base,
                              std::string_view unit_name, std::string_view title) {
  return app + " " + shell_word(base) + " \"" + shell_dquoted(unit_name) + " " +
         shell_dquoted(title) + "\"";
}

void run_converter(const std::string& base, std::string_view title) {
  if (Instapp.empty()) return;
  std::string cmd = converter_command(Instapp.str(), base, unit, title);
  std::printf("Executing >>%s<<\n", cmd.c_str());
  run_shell_command(cmd);
}

bool write_plain(const std::string& name, const BodyWriter& body) {
  OutputFile out;
  if (!out.open(name)) {
    std::fprintf(stderr, "Can't open output file (%s)\n", name.c_str());
    return false;
  }
  body(out.get());
  return out.commit();
}

void hand_off(const Handheld& list, const BodyWriter& body) {
  std::string base = prompt_name(list.deflt, list.prompt);
  bool written = write_plain(base + ".txt", [&](FILE* fp) {
    if (list.title_fmt != nullptr) std::fprintf(fp, list.title_fmt, unit.c_str(), datestr.c_str());
    body(fp);
    std::fprintf(fp, "<*>\n");
  });
  if (written) run_converter(base, list.list_title);
}
