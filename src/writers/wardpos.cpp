#include "writers/wardpos.h"

#include "model/filepart.h"
#include "model/outfile.h"
#include "readers/wardorgs.h"

namespace {

/// Opens "%s/webpos.html" of `dirname` as `out`; says so on the error
/// stream when it cannot.
bool open_toc(OutputFile& out, std::string_view dirname) {
  return open_or_report(out, std::string(dirname) + "/webpos.html",
                        "Can't open output TOC file (%s)\n");
}

/// Writes the table of contents of the organisation table, each entry with
/// an abbreviation as `entry_fmt` (abbreviation, name).
void write_toc(FILE* fp, const char* entry_fmt) {
  std::fprintf(fp, "Ward Position List\n\n");
  std::fprintf(fp, ">WardPosHdr\n");
  std::fprintf(fp, "<ul>\n");
  for (int k = 0; k < wardorgs_count(); ++k) {
    const WardOrgs* ent = wardorgs_get_entry_num(k);
    if (ent == nullptr || ent->abbr.empty()) continue;
    std::fprintf(fp, entry_fmt, web_file_part(ent->abbr.view()).c_str(), str_or_empty(ent->name));
  }
  std::fprintf(fp, "</ul>\n");
  std::fprintf(fp, "\n>WardPosFtr\n");
}

/// The page of one organisation for write_webpos, or its section in the
/// one-page variant when `section`.
void write_org(const WardOrg* org, FILE* fp, bool section) {
  const char* name = str_or_empty(org->org);
  std::fprintf(fp, "%s Positions\n\n", name);
  std::fprintf(fp, ">WardPosHdr\n");
  if (section) {
    std::fprintf(fp, "\n>WardPosGroup\n<a name=\"%s Position\">\n", name);
    std::fprintf(fp, "%s\n</a>\n>WardPosGroupEnd\n", name);
    write_webpos_positions(org, fp);
  } else {
    std::fprintf(fp, "\n>WardPositionGroup|%s Position\n", name);
    for (const WardPos* p = org->pos; p != nullptr; p = p->next) {
      if (p->pos.empty()) continue;
      if (p->per) {
        std::fprintf(fp, ">WardPositionPerson|%s|%s\n", p->pos.c_str(), p->per.c_str());
      } else {
        std::fprintf(fp, ">WardPositionUnassigned|%s\n", p->pos.c_str());
      }
    }
  }
  std::fprintf(fp, "\n>WardPosGroupDone\n");
  std::fprintf(fp, "\n>WardPosFtr\n");
}

}  // namespace

void write_webpos_positions(const WardOrg* org, FILE* fp) {
  for (const WardPos* p = org->pos; p != nullptr; p = p->next) {
    std::fprintf(fp, ">WardPos\n%s\n", str_or_empty(p->pos));
    if (p->per) {
      std::fprintf(fp, ">WardPosPerson\n%s\n>WardPosPersonEnd\n", p->per.c_str());
    } else {
      std::fprintf(fp, ">WardPosUnassigned\n");
    }
    std::fprintf(fp, ">WardPosEnd\n");
  }
}

void create_palm_pos(const WardOrg* org, FILE* fp) {
  int empty = 0;
  for (const WardOrg* o = org; o != nullptr; o = o->next) {
    std::fprintf(fp, "\n*%s\n", str_or_empty(o->org));
    for (const WardPos* p = o->pos; p != nullptr; p = p->next) {
      std::fprintf(fp, "%s\n", str_or_empty(p->pos));
      if (p->per) {
        std::fprintf(fp, "  %s", p->per.c_str());
      } else {
        std::fprintf(fp, ">>Unassigned");
        ++empty;
      }
      if (p->sus) std::fprintf(fp, " [%s]", p->sus.c_str());
      if (p->ph) std::fprintf(fp, " %s", p->ph.c_str());
      std::fprintf(fp, "\n");
    }
  }

  std::fprintf(fp, "\n*%d Empty Positions\n", empty);
  for (const WardOrg* o = org; o != nullptr; o = o->next) {
    bool named = false;
    for (const WardPos* p = o->pos; p != nullptr; p = p->next) {
      if (p->per) continue;
      if (!named) std::fprintf(fp, "%s\n", str_or_empty(o->org));
      named = true;
      std::fprintf(fp, "  %s\n", str_or_empty(p->pos));
    }
  }
}

std::string web_file_part(std::string_view abbr) { return file_part(abbr); }

void write_webpos(const WardOrg* org, std::string_view dirname) {
  OutputFile out;
  if (!open_toc(out, dirname)) return;
  write_toc(out.get(), "<li class=\"orgndx\"><a href=\"%s.html\" class=\"orgndx\">%s</a></li>\n");
  if (!out.commit()) return;

  for (const WardOrg* o = org; o != nullptr; o = o->next) {
    if (o->abbr.empty()) continue;
    const std::string name = std::string(dirname) + "/" + web_file_part(o->abbr.view()) + ".html";
    OutputFile page;
    if (!open_or_report(page, name, "Can't open %s\n")) continue;
    write_org(o, page.get(), false);
    page.commit();
  }
}

void write_webpos_onepage(const WardOrg* org, std::string_view dirname) {
  OutputFile out;
  if (!open_toc(out, dirname)) return;
  write_toc(out.get(), "<a href=\"%s.html\">\n<li>%s</li></a>\n");
  for (const WardOrg* o = org; o != nullptr; o = o->next) write_org(o, out.get(), true);
  out.commit();
}
