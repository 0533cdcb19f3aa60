#include "contacts/vcard.h"

#include <algorithm>

#include "contacts/vtext.h"
#include "model/splitfld.h"
#include "tools/utf8.h"
#include "writers/wardpalm.h"

namespace {

/// A printout text made a vCard text value: UTF-8, blanks trimmed, escaped.
std::string value_of(const Text& t, bool component) {
  return escape_vcard_text(utf8_from_latin1(trim_blanks(t.view())), component);
}

/// The street of the address: the two address lines as a list of values.
std::string street_of(const WardFamily* fam) {
  std::string street;
  for (const Text* line : {&fam->addr, &fam->addr2}) {
    if (trim_blanks(line->view()).empty()) continue;
    if (!street.empty()) street += ',';
    street += value_of(*line, true);
  }
  return street;
}

}  // namespace

bool is_dialable_phone(const Text& phone) {
  std::string upper(phone.view());
  std::ranges::transform(upper, upper.begin(), to_upper);
  return std::ranges::any_of(upper, is_digit) && upper.find("UNLISTED") == std::string::npos;
}

std::string family_given_names(const WardFamily* fam) {
  std::string names = palm_couple_names(fam);
  if (names.starts_with(", ")) names.erase(0, 2);
  return std::string(trim_blanks(names));
}

void write_family_vcard(const WardFamily* fam, FILE* fp, const std::string& category,
                        UidMaker& uids) {
  if (fam->sname) return;
  std::string family = utf8_from_latin1(trim_blanks(fam->lname.view()));
  std::string given = utf8_from_latin1(family_given_names(fam));
  std::string full = given.empty() ? family : family.empty() ? given : family + ", " + given;

  write_content_line(fp, "BEGIN:VCARD");
  write_content_line(fp, "VERSION:4.0");
  write_content_line(fp, "UID:urn:uuid:" + uids.make(family_uid_source(fam)));
  write_content_line(fp, "FN:" + escape_vcard_text(full, false));
  write_content_line(
      fp, "N:" + escape_vcard_text(family, true) + ";" + escape_vcard_text(given, true) + ";;;");
  if (is_dialable_phone(fam->phone)) {
    write_content_line(fp, "TEL;TYPE=home:" + value_of(fam->phone, false));
  }
  std::string zip = value_of(fam->zip, true);
  if (!zip.empty() && !trim_blanks(fam->zip2.view()).empty()) {
    zip += "-" + value_of(fam->zip2, true);
  }
  std::string adr = street_of(fam) + ";" + value_of(fam->city, true) + ";" +
                    value_of(fam->state, true) + ";" + zip;
  // The parts have their semicolons escaped: ";;;" is an address without any.
  if (adr != ";;;") write_content_line(fp, "ADR;TYPE=home:;;" + adr + ";");
  if (!category.empty()) {
    write_content_line(fp, "CATEGORIES:" + escape_vcard_text(category, false));
  }
  write_content_line(fp, "END:VCARD");
}

int write_ward_vcards(const WardFamily* list, FILE* fp, const std::string& category,
                      UidMaker& uids) {
  int cards = 0;
  for (const WardFamily* fam = list; fam != nullptr; fam = fam->next) {
    if (fam->sname) continue;
    write_family_vcard(fam, fp, category, uids);
    ++cards;
  }
  return cards;
}
