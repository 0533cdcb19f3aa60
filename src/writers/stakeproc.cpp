#include "writers/stakeproc.h"

#include <string>

#include "lists/unitnames.h"
#include "model/outfile.h"
#include "model/put.h"
#include "readers/mis121.h"
#include "writers/stakedoc.h"
#include "writers/wardcsv.h"
#include "writers/wardpos.h"

namespace {

void write_csv(FILE* fp) {
  Putter out(fp);
  put(out, "Unit,Organization,Position,Person,Sustained,Phone\n");
  each_unit([&](const UnitName* u) {
    for (const WardOrg* org = u->orgs; org != nullptr; org = org->next) {
      for (const WardPos* p = org->pos; p != nullptr; p = p->next) {
        csv_first(out, u->abbr.view());
        csvfld(out, org->org);
        csvfld(out, p->pos);
        csvfld(out, p->per);
        csvfld(out, p->sus);
        csvfld(out, p->ph);
        put(out, '\n');
      }
    }
  });
}

void write_web(FILE* fp) {
  std::fprintf(fp, "Stake Position List\n\n");
  std::fprintf(fp, ">WardPosHdr\n");
  std::fprintf(fp, "<ul>\n");
  each_unit([&](const UnitName* u) {
    std::fprintf(fp, "<a href=\"#%s\">\n<li>%s</li></a>\n", u->abbr.c_str(), u->display.c_str());
  });
  std::fprintf(fp, "</ul>\n");
  std::fprintf(fp, "\n>WardPosFtr\n");
  each_unit([&](const UnitName* u) {
    std::fprintf(fp, "%s Positions\n\n", u->display.c_str());
    std::fprintf(fp, ">WardPosHdr\n");
    std::fprintf(fp, "<a name=\"%s\"></a>\n", u->abbr.c_str());
    for (const WardOrg* org = u->orgs; org != nullptr; org = org->next) {
      std::fprintf(fp, "\n>WardPosGroup\n<a name=\"%s %s Position\">\n", u->abbr.c_str(),
                   org->org.c_str());
      std::fprintf(fp, "%s\n</a>\n>WardPosGroupEnd\n", org->org.c_str());
      write_webpos_positions(org, fp);
      std::fprintf(fp, "\n>WardPosGroupDone\n");
    }
    std::fprintf(fp, "\n>WardPosFtr\n");
  });
}

void write_doc(FILE* fp) {
  std::fprintf(fp, "=Stake Positions\n");
  each_unit([&](const UnitName* u) {
    std::fprintf(fp, "^%s\n", u->display.c_str());
    for (const WardOrg* org = u->orgs; org != nullptr; org = org->next) {
      std::fprintf(fp, "^%s: %s\n", u->abbr.c_str(), org->org.c_str());
      write_stake_positions(org, fp);
    }
  });
  std::fprintf(fp, "<^>\n");
}

}  // namespace

bool read_and_process_smis121(FILE* in, FILE* csv, std::string_view dirname, FILE* doc) {
  read_smis121(in);
  write_csv(csv);
  if (doc != nullptr) write_doc(doc);
  if (dirname.empty()) return true;
  const std::string name = std::string(dirname) + "/stakepos.html";
  OutputFile web;
  if (!open_or_report(web, name, "Can't open output TOC file (%s)\n")) return false;
  write_web(web.get());
  return web.commit();
}
