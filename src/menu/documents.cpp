#include "menu/documents.h"

#include <algorithm>
#include <cstdlib>

#include "menu/settings.h"
#include "model/listing.h"
#include "writers/htdist.h"
#include "writers/wardht.h"
#include "writers/wardlists.h"
#include "writers/wardpalm.h"
#include "writers/wardpos.h"

namespace {

constexpr const char* kFile = "Enter file name (%s): ";
constexpr const char* kBase = "Enter base file name (%s): ";
constexpr const char* kDir = "Enter directory name (%s): ";
constexpr bool kOut = false;
constexpr bool kErr = true;

// clang-format off
constexpr Document kDocuments[] = {
    // Ward lists.
    {210, "wardfull", true, kFile, "**%s Full List %s\n", "*%s Full List %s\n", "Full List",
     "Can't write to WARDFULL.TXT\n", kOut,
     [](const LoopState& lists, FILE* fp) { create_palm_full(lists.ward, fp, 0); }},
    {212, "wardpriv", true, kFile, "**%s Private List %s\n", "*%s Private List %s\n",
     "Private List", "Can't write to WARDPRIV.TXT\n", kOut,
     [](const LoopState& lists, FILE* fp) { create_palm_full(lists.ward, fp, 1); }},
    {215, "wardaddr", true, kFile, nullptr, nullptr, nullptr, nullptr, kOut,
     [](const LoopState& lists, FILE* fp) { create_palm_addr(lists.ward, fp); }},
    {220, "wardph", true, kBase, "**%s Phone List %s\n", "*%s Phone List %s\n", "Phone List",
     "Can't write to WARDPH.TXT\n", kOut,
     [](const LoopState& lists, FILE* fp) { create_palm_phone(lists.ward, fp, 220); }},
    {225, "warddir", true, kBase, nullptr, nullptr, nullptr, nullptr, kOut,
     [](const LoopState& lists, FILE* fp) { create_palm_phone(lists.ward, fp, 225); }},
    {227, "wardpbk", true, kBase, nullptr, nullptr, nullptr, nullptr, kOut,
     [](const LoopState& lists, FILE* fp) { create_palm_phonebook(lists.ward, fp); }},
    {230, "wardzip", true, kFile, "**%s Zipcode List %s\n", nullptr, "Zipcode List",
     "Can't write to WARDZIP.TXT\n", kOut,
     [](const LoopState& lists, FILE* fp) { create_palm_zip(lists.ward, fp); }},
    {240, "wardnonm", true, kFile, "**%s Non-Member Spouse %s\n", nullptr, "Non-Member List",
     nullptr, kOut,
     [](const LoopState& lists, FILE* fp) { create_palm_nonm(lists.ward, fp); }},
    {290, "warderr.txt", false, kFile, nullptr, nullptr, nullptr,
     "Can't write to WARDERR.TXT\n", kOut,
     [](const LoopState& lists, FILE* fp) { list_fam_errs(lists.ward, fp); }},
    {22, "wardsap", true, kFile, nullptr, nullptr, "Single Adult Parent List", nullptr, kOut,
     [](const LoopState& lists, FILE* fp) { create_palm_sap(lists.ward, fp); }},
    // Positions.
    {110, "wardpos", true, kDir, "**%s Ward Positions %s\n", nullptr, "Positions", nullptr, kOut,
     [](const LoopState& lists, FILE* fp) { create_palm_pos(lists.org, fp); }},
    // Home teaching.
    {310, "wardht", true, kFile, "**%s Family Home Teaching %s\n", nullptr,
     "Family Home Teaching", "Can't open wardht.txt for output!\n", kErr,
     [](const LoopState& lists, FILE* fp) { create_palm_ht(lists.HTList, fp, 310); }},
    {312, "htdist", true, kFile, "**%s Home Teaching Districts %s\n", nullptr,
     "Home Teaching Districts", "Can't open htdist.txt for output!\n", kErr,
     [](const LoopState& lists, FILE* fp) { create_htdist_report(lists.HTList, fp, 312); }},
    {314, "htdpct", true, kFile, nullptr, nullptr, "HT Dist Percentages", nullptr, kOut,
     [](const LoopState& lists, FILE* fp) { create_htdist_htpct(lists.HTList, fp); }},
    {320, "htlist", true, kFile, "**%s Condensed Home Teaching %s\n", nullptr,
     "Condensed Home Teaching List", "Can't open htlist.txt for output!\n", kErr,
     [](const LoopState& lists, FILE* fp) { create_htlist_report(lists.HTList, fp, 320); }},
    // Visiting teaching.
    {410, "wardvt", true, kFile, "**%s Visiting Teaching by Sisters %s\n", nullptr,
     "Visiting Teaching by Sisters", "Can't open wardvt.txt for output!\n", kErr,
     [](const LoopState& lists, FILE* fp) { create_palm_ht(lists.VTList, fp, 410); }},
    {412, "vtdist", true, kFile, "**%s Visiting Teaching Districts %s\n", nullptr,
     "Visiting Teaching Districts", "Can't open vtdist.txt for output!\n", kErr,
     [](const LoopState& lists, FILE* fp) { create_htdist_report(lists.VTList, fp, 412); }},
    {420, "vtlist", true, kFile, "**%s Condensed Visiting Teaching List %s\n", nullptr,
     "Condensed Visiting Teaching List", "Can't open vtlist.txt for output!\n", kErr,
     [](const LoopState& lists, FILE* fp) { create_htlist_report(lists.VTList, fp, 420); }},
};
// clang-format on

}  // namespace

void Document::write(const LoopState& lists, FILE* fp, const char* title_fmt) const {
  if (title_fmt != nullptr) std::fprintf(fp, title_fmt, unit.c_str(), datestr.c_str());
  body(lists, fp);
  if (list_title != nullptr) std::fprintf(fp, "<*>\n");
}

const Document* find_document(int option) {
  auto it = std::ranges::find(kDocuments, option, &Document::option);
  return it != std::ranges::end(kDocuments) ? it : nullptr;
}

const Document& document(int option) {
  if (const Document* d = find_document(option)) return *d;
  std::fprintf(stderr, "No document for option %d\n", option);
  std::abort();
}
