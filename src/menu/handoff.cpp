#include "menu/handoff.h"

#include <cstdlib>
#include <cstring>

#include "menu/prompt.h"
#include "menu/settings.h"
#include "model/outfile.h"

std::string shell_word(std::string_view s) {
  static const char kSafe[] = "_./+-,:@%";
  bool safe = !s.empty();
  for (char c : s) {
    bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
              (c != '\0' && std::strchr(kSafe, c) != nullptr);
    if (!ok) {
      safe = false;
      break;
    }
  }
  if (safe) return std::string(s);
  std::string out = "'";
  for (char c : s) {
    if (c == '\'') {
      out += "'\\''";
    } else {
      out += c;
    }
  }
  out += "'";
  return out;
}

std::string shell_dquoted(std::string_view s) {
  std::string out;
  for (char c : s) {
    if (c == '"' || c == '\\' || c == '$' || c == '`') out += '\\';
    out += c;
  }
  return out;
}

std::string converter_command(const std::string& app, std::string_view base,
                              std::string_view unit_name, std::string_view title) {
  return app + " " + shell_word(base) + " \"" + shell_dquoted(unit_name) + " " +
         shell_dquoted(title) + "\"";
}

void run_converter(const std::string& base, std::string_view title) {
  if (Instapp.empty()) return;
  std::string cmd = converter_command(Instapp.str(), base, unit, title);
  std::printf("Executing >>%s<<\n", cmd.c_str());
  std::fflush(stdout);
  std::fflush(stderr);
  int status = std::system(cmd.c_str());
  (void)status;  // the converter's own failure is its business
}

bool write_plain(const std::string& name, const BodyWriter& body) {
  OutputFile out;
  if (!out.open(name)) return false;
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
