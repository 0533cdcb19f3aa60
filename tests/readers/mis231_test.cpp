#include "readers/mis231.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const std::string kSep(60, '-');
const std::string kHeader =
    "DIRECTORY OF MEMBERS (MIS 231)                Page 1\n"
    "Oakvale 1st Ward\n"
    "\n"
    "Name, Address, Phone                     Members\n"
    "\n"
    "\n";
const std::string kFooter = std::string(44, ' ') + "For church use only\n";

// The member part from column 41: first name (a child's indented one column),
// sex at 63, status at 65, birth date at 74, age in 86-87, record number at 95.
std::string mem(const std::string& name, char sex, const std::string& stat, const std::string& birth,
                const std::string& age, const std::string& recno) {
  std::string s(54, ' ');
  s.replace(0, name.size(), name);
  s[22] = sex;
  s.replace(24, stat.size(), stat);
  s.replace(33, birth.size(), birth);
  s.replace(47 - age.size(), age.size(), age);
  if (!recno.empty()) return s + recno;
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

// One printout line: the family part padded to column 41, then the member.
std::string row(std::string left, const std::string& member = "") {
  if (!member.empty()) left.resize(41, ' ');
  return left + member + "\n";
}

WardFamily* read_text(const std::string& text, std::string* out = nullptr) {
  FILE* fp = std::tmpfile();
  std::fputs(text.c_str(), fp);
  std::rewind(fp);
  testing::internal::CaptureStdout();
  WardFamily* list = read_mis231(fp);
  std::string printed = testing::internal::GetCapturedStdout();
  if (out != nullptr) *out = printed;
  std::fclose(fp);
  return list;
}

// Notes in the order they were attached (the chain runs newest first).
std::vector<std::string> notes(const WardErr* err) {
  std::vector<std::string> v;
  for (; err != nullptr; err = err->next) v.insert(v.begin(), err->msg.str());
  return v;
}

std::vector<const WardFamily*> families(const WardFamily* list) {
  std::vector<const WardFamily*> v;
  for (; list != nullptr; list = list->next) v.push_back(list);
  return v;
}

std::vector<const WardMember*> members(const WardFamily* fam) {
  std::vector<const WardMember*> v;
  for (const WardMember* m = fam->members; m != nullptr; m = m->next) v.push_back(m);
  return v;
}

using Notes = std::vector<std::string>;

// A family with the raw left-hand lines as the reader stores them.
WardFamily* raw_family(Text addr, Text addr2, Text city, Text phone = std::nullopt) {
  WardFamily* fam = create_ward_family();
  fam->lname = "HOLT";
  fam->addr = addr;
  fam->addr2 = addr2;
  fam->city = city;
  fam->phone = phone;
  return fam;
}

TEST(Mis231Adjust, StreetCityAndPhoneLines) {
  // Name, address, city line and phone: the city line sits in addr2 and the
  // phone in city until the family is finished.
  WardFamily* fam = raw_family("12 Elm Street", "Oakvale, ID  83401-5521", "555-0142");
  adjust_fam(fam);
  EXPECT_EQ(fam->addr, "12 Elm Street");
  EXPECT_EQ(fam->addr2, std::nullopt);
  EXPECT_EQ(fam->phone, "555-0142");
  EXPECT_EQ(fam->city, "Oakvale");
  EXPECT_EQ(fam->state, "ID");
  EXPECT_EQ(fam->zip, "83401");
  EXPECT_EQ(fam->zip2, "5521");
  EXPECT_EQ(fam->err, nullptr);
}

TEST(Mis231Adjust, LastLineChoosesPhoneOrCity) {
  WardFamily* nophone = raw_family("12 Elm Street", "Oakvale, ID  83401", std::nullopt);
  adjust_fam(nophone);
  EXPECT_EQ(nophone->city, "Oakvale");
  EXPECT_EQ(nophone->phone, std::nullopt);
  EXPECT_EQ(nophone->addr2, std::nullopt);
  EXPECT_EQ(nophone->err, nullptr);

  for (const char* word : {"unlisted", "N/A"}) {
    WardFamily* fam = raw_family("12 Elm Street", "Oakvale, ID  83401", word);
    adjust_fam(fam);
    EXPECT_EQ(fam->phone, word);
    EXPECT_EQ(fam->city, "Oakvale");
    EXPECT_EQ(fam->err, nullptr);
  }

  // Eight digits are no phone: the line stays the city line, the real one
  // stays in addr2.
  WardFamily* eight = raw_family("12 Elm Street", "Oakvale, ID  83401", "555-01423");
  adjust_fam(eight);
  EXPECT_EQ(eight->phone, std::nullopt);
  EXPECT_EQ(eight->addr2, "Oakvale, ID  83401");
  EXPECT_EQ(eight->city, std::nullopt);
  EXPECT_EQ(notes(eight->err), (Notes{"Missing comma after city", "Invalid Zip Code",
                                      "State formatted wrong", "Invalid City"}));

  // A second address line and a ten-digit phone in the fifth line.
  WardFamily* full = raw_family("340 Main Street", "Apt 3", "Oakvale, ID 83401", "208-555-0196");
  adjust_fam(full);
  EXPECT_EQ(full->addr2, "Apt 3");
  EXPECT_EQ(full->phone, "208-555-0196");
  EXPECT_EQ(full->city, "Oakvale");
  EXPECT_EQ(full->err, nullptr);
}

TEST(Mis231Adjust, EachFamilyNote) {
  struct Case {
    Text addr2, city, phone;
    Notes expect;
    Text out_city, out_state, out_zip;
  };
  const Case cases[] = {
      {"83401", "Oakvale, ID", std::nullopt, {"Zipcode on addr2"}, "Oakvale", "ID", "83401"},
      {"Apt 2", "Oakvale, ID  83401", "555-01423", {"Bad Phone Number format"}, "Oakvale", "ID",
       "83401"},
      {"Oakvale, ID", "83401-5521", std::nullopt, {"Zipcode on city line"}, "Oakvale", "ID",
       "83401-5521"},
      {"555-0142", std::nullopt, std::nullopt, {"Missing City"}, std::nullopt, std::nullopt,
       std::nullopt},
      {"Oakvale ID  83401", std::nullopt, std::nullopt, {"Missing comma after city"}, "Oakvale",
       "ID", "83401"},
      {"Oakvale, ID", std::nullopt, std::nullopt, {"Missing zip code"}, "Oakvale", "ID",
       std::nullopt},
      {"Oakvale, ID  8340", std::nullopt, std::nullopt, {"Invalid Zip Code"}, "Oakvale", "ID",
       std::nullopt},
      {"Oakvale, Idaho  83401", std::nullopt, std::nullopt, {"State formatted wrong"}, "Oakvale",
       std::nullopt, "83401"},
      {"Oakvale,ID 83401", std::nullopt, std::nullopt, {"No space between comma and state"},
       "Oakvale", "ID", "83401"},
      {", ID  83401", std::nullopt, std::nullopt, {"Invalid City"}, std::nullopt, "ID", "83401"},
      {"North Oakvale, ID.  83401", std::nullopt, std::nullopt, {}, "North Oakvale", "ID", "83401"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(str_or_null(c.addr2));
    WardFamily* fam = raw_family("12 Elm Street", c.addr2, c.city, c.phone);
    adjust_fam(fam);
    EXPECT_EQ(notes(fam->err), c.expect);
    EXPECT_EQ(fam->city, c.out_city);
    EXPECT_EQ(fam->state, c.out_state);
    EXPECT_EQ(fam->zip, c.out_zip);
  }
}

TEST(Mis231Recognise, PhoneAndZip) {
  EXPECT_EQ(is_phone("unlisted"), 1);
  EXPECT_EQ(is_phone("Unlisted"), 0);
  EXPECT_EQ(is_phone("n/a"), 1);
  EXPECT_EQ(is_phone("NONE"), 1);
  EXPECT_EQ(is_phone("555-0142"), 1);
  EXPECT_EQ(is_phone("(208) 555-0142"), 1);
  EXPECT_EQ(is_phone("555-01423"), 0);
  EXPECT_EQ(is_phone(""), 0);
  EXPECT_EQ(iszip(std::nullopt), 0);
  EXPECT_EQ(iszip(std::string()), 0);
  EXPECT_EQ(iszip(std::string("83401-5521")), 1);
  EXPECT_EQ(iszip(std::string("8340a")), 0);
}

TEST(Mis231Read, PagesCrossReferenceAndTotal) {
  std::string text = kHeader;
  text += row("ALDEN", mem("Gordon", 'M', "", "11Mar72", "52", "041-2287-5530"));
  text += row(" 412 Juniper Lane", mem("Linda", 'F', "", "29Sep74", "49", "041-2287-5549"));
  text += row(" Oakvale, ID  83401", mem(" Peter", 'M', "", "17Jan10", "14", "052-1190-4498"));
  text += "\n" + kFooter;
  text += "\f" + kHeader;
  text += row("ALDEN (Cont.)", mem(" Ruth", 'F', "", "30Sep15", "8", "083-6604-1160"));
  text += row(" 555-0142");
  text += kSep + "\n";
  text += row("WHITAKER (See ALDEN)");
  text += kSep + "\n";
  text += "     Total Families: 2\n";
  text += row("LATE");  // after the end of data
  std::string out;
  WardFamily* list = read_text(text, &out);
  EXPECT_EQ(out, "Inserted 0 pseudo-record numbers\n");

  auto fams = families(list);
  ASSERT_EQ(fams.size(), 2u);
  const WardFamily* alden = fams[0];
  EXPECT_EQ(alden->lname, "ALDEN");
  EXPECT_EQ(alden->fname, "Gordon");
  EXPECT_EQ(alden->recno, "041-2287-5530");
  EXPECT_EQ(alden->addr, "412 Juniper Lane");
  EXPECT_EQ(alden->city, "Oakvale");
  EXPECT_EQ(alden->phone, "555-0142");
  EXPECT_EQ(alden->err, nullptr);
  auto mems = members(alden);
  ASSERT_EQ(mems.size(), 4u);
  EXPECT_EQ(mems[0]->type, 1);
  EXPECT_EQ(mems[1]->type, 2);
  EXPECT_EQ(mems[2]->type, 3);
  EXPECT_EQ(mems[3]->type, 3);
  EXPECT_EQ(mems[3]->fname, "Ruth");
  EXPECT_EQ(mems[3]->lname, "ALDEN");
  EXPECT_EQ(mems[3]->age, 8);
  EXPECT_STREQ(mems[3]->bday, "30");
  EXPECT_STREQ(mems[3]->bmonth, "Sep");
  EXPECT_STREQ(mems[3]->byear, "15");
  EXPECT_EQ(mems[3]->recno, "083-6604-1160");
  EXPECT_EQ(mems[3]->err, nullptr);

  const WardFamily* xref = fams[1];
  EXPECT_EQ(xref->lname, "WHITAKER");
  EXPECT_EQ(xref->sname, "ALDEN");
  EXPECT_EQ(xref->members, nullptr);
  EXPECT_EQ(xref->err, nullptr);
}

TEST(Mis231Read, EmptyPrintoutAndDireName) {
  std::string out;
  EXPECT_EQ(read_text("", &out), nullptr);
  EXPECT_EQ(out, "Inserted 0 pseudo-record numbers\n");
  // A family name beginning with DIRE is taken for a page header.
  EXPECT_EQ(read_text(row("DIREWOLF", mem("Ann", 'F', "", "01Jan80", "44", "")) +
                      " 1 Elm\n Oakvale, ID  83401\n 555-0101\n 555-0102\n 555-0103\n"),
            nullptr);
  // A header cut short by the end of the file ends the read normally.
  EXPECT_EQ(read_text("DIRECTORY OF MEMBERS (MIS 231)\nline\n", &out), nullptr);
  EXPECT_EQ(out, "Inserted 0 pseudo-record numbers\n");
}

TEST(Mis231Read, TotalEndsOnlyBetweenFamilies) {
  // Blanks then Total inside an open block are a data line (the phone line).
  std::string text = row("BAKER", mem("Ann", 'F', "", "01Jan80", "44", "011-1111-1111")) +
                     row(" 1 Elm Street") + row(" Oakvale, ID  83401") + "   Total 1\n" + kSep +
                     "\n" + "Total 1\n" + kSep + "\n";
  auto fams = families(read_text(text));
  ASSERT_EQ(fams.size(), 2u);
  // The Total line was taken for the city line; the real one stays in addr2.
  EXPECT_EQ(fams[0]->addr2, "Oakvale, ID  83401");
  EXPECT_EQ(notes(fams[0]->err), (Notes{"Missing comma after city", "Invalid Zip Code",
                                        "State formatted wrong", "Invalid City"}));
  // Total in column 0 opens a family.
  EXPECT_EQ(fams[1]->lname, "Total 1");
  EXPECT_EQ(notes(fams[1]->err), (Notes{"Last Name formatted wrong"}));
}

TEST(Mis231Read, NameLineNotes) {
  std::string text = row(" LEAD", mem("Ann", 'F', "", "01Jan80", "44", "011-1111-1111")) +
                     row("") + row("") + kSep + "\n" +  // blank address lines, too short
                     row("O'NEIL-SMITH 2nd", mem("Bo", 'M', "", "01Jan80", "44", "011-1111-1112")) +
                     row(" 1 Elm Street") + row("    ") + row(" Oakvale, ID  83401") + kSep +
                     "\n" + row("PARKER (Jr)", mem("Cy", 'M', "", "01Jan80", "44", "011-1111-1113")) +
                     row(" 9 Oak Street") + row(" Oakvale, ID  83401") + kSep + "\n" +
                     row("VALE (Cont.)") + kSep + "\n" +
                     row("QUINN", mem("Al", 'M', "", "01Jan80", "44", "011-1111-1114")) +
                     row("   ", mem("Bea", 'F', "", "01Jan81", "43", "011-1111-1115")) + kSep + "\n";
  auto fams = families(read_text(text));
  ASSERT_EQ(fams.size(), 4u);
  EXPECT_EQ(fams[0]->lname, " LEAD");
  EXPECT_EQ(notes(fams[0]->err), (Notes{"Last Name starts with space"}));
  EXPECT_EQ(fams[1]->lname, "O'NEIL-SMITH 2nd");
  EXPECT_EQ(notes(fams[1]->err), (Notes{"Last Name formatted wrong", "No Addr2"}));
  EXPECT_EQ(fams[1]->city, "Oakvale");
  // A paren without "(See ": the address lines are ignored, nothing finished.
  EXPECT_EQ(fams[2]->lname, "PARKER (Jr");
  EXPECT_EQ(fams[2]->sname, std::nullopt);
  EXPECT_EQ(fams[2]->addr, std::nullopt);
  EXPECT_EQ(notes(fams[2]->err), (Notes{"Last name has paren"}));
  EXPECT_EQ(fams[2]->fname, "Cy");
  EXPECT_EQ(notes(fams[3]->err), (Notes{"No address"}));
}

TEST(Mis231Read, MemberFieldNotes) {
  std::string text = row("RAND", mem("Al", 'M', "", "01Jan80", "44", "011-1111-1111"));
  text += row(" 1 Elm Street", mem("Bea", 'F', "", "", "", "011-1111-1112"));
  text += row(" Oakvale, ID  83401", mem(" Cal", 'X', "", "1xsep", "", "011-1111-1113"));
  text += row("", mem(" Dee", 'F', "", "05Mar1x", "", ""));
  text += row("", mem("Eve", 'F', "Nonmembr", "", "", "x"));
  text += row("", mem("", 'M', "", "01Jan80", "", "011-1111-1114"));  // name columns blank
  text += std::string(41, ' ') + "\n";                               // exactly 41 characters
  text += row("", mem(" Fay", 'F', "", "", "", ""));                 // ends before column 74
  text += kSep + "\n";
  std::string out;
  auto fams = families(read_text(text, &out));
  ASSERT_EQ(fams.size(), 1u);
  auto m = members(fams[0]);
  ASSERT_EQ(m.size(), 8u);
  EXPECT_EQ(m[0]->age, 44);
  EXPECT_EQ(m[0]->stat, " ");
  EXPECT_EQ(notes(m[1]->err), (Notes{"Missing Birthday"}));
  EXPECT_EQ(m[1]->age, 0);
  EXPECT_EQ(notes(m[2]->err), (Notes{"Invalid sex", "Invalid birth day", "Invalid birth month"}));
  EXPECT_EQ(m[2]->sex, 'X');
  EXPECT_STREQ(m[2]->byear, "");  // column 79 is no digit
  EXPECT_EQ(notes(m[3]->err), (Notes{"Invalid birth year"}));
  EXPECT_EQ(m[3]->recno, "999-9999-0001");
  EXPECT_EQ(m[4]->type, 2);
  EXPECT_EQ(m[4]->stat, "Nonmembr");
  EXPECT_EQ(m[4]->recno, "x");
  EXPECT_EQ(m[4]->err, nullptr);
  EXPECT_EQ(m[5]->fname, " ");
  EXPECT_EQ(m[5]->type, 3);
  EXPECT_EQ(m[5]->err, nullptr);
  EXPECT_EQ(m[6]->fname, "");
  EXPECT_EQ(m[6]->type, 2);
  EXPECT_EQ(m[6]->sex, 0);
  EXPECT_EQ(notes(m[6]->err), (Notes{"Missing first name", "Invalid sex"}));
  EXPECT_EQ(m[6]->recno, "999-9999-0002");
  EXPECT_EQ(m[7]->fname, "Fay");
  EXPECT_EQ(m[7]->err, nullptr);
  EXPECT_EQ(out, "Inserted 3 pseudo-record numbers\n");
}

TEST(Mis231Read, AgeTooLongForAnInt) {
  std::string line = row("SHAW", mem("Al", 'M', "", "01Jan80", "44", ""));
  line.pop_back();
  line.replace(86, 2, "99");
  line.resize(86 + 30, '9');
  auto fams = families(read_text(line + "\n"));
  ASSERT_EQ(fams.size(), 1u);
  EXPECT_EQ(fams[0]->members->age, 2147483647);
}

TEST(Mis231Read, BracketedHeadGivesWayToSpouse) {
  std::string text = row("TATE", mem("[Dale]", 'M', "Nonmembr", "22Aug58", "65", "")) +
                     row(" 87 Sage Road", mem("Marjorie", 'F', "", "03Jan60", "64", "060-3315-2215")) +
                     row(" Oakvale, ID  83401") + kSep + "\n" +
                     row("UPTON", mem("[Lee]", 'M', "", "01Jan70", "54", "011-1111-1111")) +
                     row(" 5 Fir Lane", mem(" Kim", 'F', "", "01Jan05", "19", "011-1111-1112")) +
                     row(" Oakvale, ID  83401") + kSep + "\n";
  std::string out;
  auto fams = families(read_text(text, &out));
  EXPECT_EQ(out,
            "Changing head of TATE family from [Dale] to Marjorie\n"
            "Inserted 1 pseudo-record numbers\n");
  ASSERT_EQ(fams.size(), 2u);
  EXPECT_EQ(fams[0]->fname, "Marjorie");
  EXPECT_EQ(fams[0]->members->type, 1);
  EXPECT_EQ(fams[0]->members->fname, "[Dale]");
  EXPECT_EQ(fams[0]->recno, "999-9999-0001");
  EXPECT_EQ(fams[0]->members->recno, "999-9999-0001");
  EXPECT_EQ(fams[1]->fname, "[Lee]");  // a child second changes nothing
}

TEST(Mis231Read, PseudoNumbersAcrossFamilies) {
  std::string text = row("VANCE", mem("Al", 'M', "", "01Jan80", "44", "011-1111-1111")) +
                     row(" 1 Elm Street", mem(" Bo", 'M', "", "01Jan10", "14", "")) +
                     row(" Oakvale, ID  83401") + kSep + "\n" +
                     row("WEBB", mem("Cy", 'M', "", "01Jan70", "54", "")) +
                     row(" 2 Elm Street", mem("Di", 'F', "", "01Jan71", "53", "")) +
                     row(" Oakvale, ID  83401") + kSep + "\n";
  std::string out;
  auto fams = families(read_text(text, &out));
  ASSERT_EQ(fams.size(), 2u);
  EXPECT_EQ(fams[0]->recno, "011-1111-1111");
  EXPECT_EQ(fams[0]->members->next->recno, "999-9999-0001");
  EXPECT_EQ(fams[1]->members->recno, "999-9999-0002");
  EXPECT_EQ(fams[1]->members->next->recno, "999-9999-0003");
  EXPECT_EQ(fams[1]->recno, "999-9999-0002");
  EXPECT_EQ(out, "Inserted 3 pseudo-record numbers\n");
}

TEST(Mis231Read, FamilyFinishedOnce) {
  // A second separator must not take the finished city line apart again,
  // and a lone '-' is too short to close the family.
  std::string text = row("YATES", mem("Al", 'M', "", "01Jan80", "44", "011-1111-1111")) +
                     row(" 1 Elm Street") + "-\n" + row(" North Oakvale, ID  83401") + kSep + "\n" +
                     kSep + "\n";
  auto fams = families(read_text(text));
  ASSERT_EQ(fams.size(), 1u);
  EXPECT_EQ(fams[0]->city, "North Oakvale");
  EXPECT_EQ(fams[0]->state, "ID");
  EXPECT_EQ(fams[0]->zip, "83401");
  EXPECT_EQ(fams[0]->err, nullptr);
}

}  // namespace
