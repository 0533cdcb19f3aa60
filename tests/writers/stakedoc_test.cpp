#include "writers/stakedoc.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/files.h"

namespace {

namespace fs = std::filesystem;
using testsupport::slurp;

fs::path scratch(const std::string& name) { return testsupport::scratch("stakedoc_test_" + name); }

WardOrg* add_org(UnitName& u, Text name) {
  WardOrg* org = create_ward_org();
  org->org = std::move(name);
  WardOrg** at = &u.orgs;
  while (*at != nullptr) at = &(*at)->next;
  *at = org;
  return org;
}

WardPos* add_pos(WardOrg* org, Text title, Text per = Text(), Text sus = Text(), Text ph = Text()) {
  WardPos* pos = create_ward_pos(org);
  pos->pos = std::move(title);
  pos->per = std::move(per);
  pos->sus = std::move(sus);
  pos->ph = std::move(ph);
  WardPos** at = &org->pos;
  while (*at != nullptr) at = &(*at)->next;
  *at = pos;
  return pos;
}

UnitName g_units[3];

/// Two wards and a branch, with a null slot between the wards.
void set_units() {
  free_ptr_prodlist(UnitNames);
  UnitNames = create_ptr_prodlist(4);
  g_units[0] = UnitName{"MAPLE CREEK 1ST WARD", "mc1", "Maple Creek 1st", nullptr};
  g_units[1] = UnitName{"MAPLE CREEK 2ND WARD", "mc2", "Maple \"Creek\" $2nd", nullptr};
  g_units[2] = UnitName{"ROCKY BRANCH", "rb", "Rocky Branch", nullptr};
  add_ptr_prodlist(UnitNames, &g_units[0]);
  add_ptr_prodlist(UnitNames, nullptr);
  add_ptr_prodlist(UnitNames, &g_units[1]);
  add_ptr_prodlist(UnitNames, &g_units[2]);
}

/// The stake after a report: the first ward with two organisations, the
/// second with one, the branch with none.
void fill_stake() {
  set_units();
  WardOrg* bish = add_org(g_units[0], "Bishopric");
  add_pos(bish, "Bishop", "Smith, Adam", "04Jan2", "555-0101");
  add_pos(bish, "Clerk", "smith, lower", Text(), "555-0102");
  add_pos(bish, "Executive Secretary");
  WardOrg* eq = add_org(g_units[0], "Elders Quorum");
  add_pos(eq, "President", "Brown, Carl", "1Mar22");
  add_pos(eq, "Secretary", "SMITH, ADAM");
  WardOrg* rs = add_org(g_units[1], "Relief Society");
  add_pos(rs, "President", "Smith, Adam");
  add_pos(rs, "Teacher", "1st, Counting");
  add_pos(rs, "Pianist", "");
}

TEST(WriteSmisTxt, OneDocumentPerUnit) {
  fill_stake();
  fs::path dir = scratch("txt");
  testing::internal::CaptureStdout();
  write_smis_txt(dir.string(), Text());
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");  // no converter, no command
  // Phone before date; a null slot is passed over.
  const std::string head =
      "=Maple Creek 1st Ward Positions\n^Bishopric\nBishop\n\tSmith, Adam 555-0101 [04Jan2]\n";
  EXPECT_EQ(slurp(dir / "mc1Pos.txt").substr(0, head.size()), head);
  EXPECT_EQ(slurp(dir / "mc2Pos.txt"),
            "=Maple \"Creek\" $2nd Ward Positions\n"
            "^Relief Society\n"
            "President\n\tSmith, Adam\n"
            "Teacher\n\t1st, Counting\n"
            "Pianist\n\t\n"
            "<^>\n");
  EXPECT_EQ(slurp(dir / "rbPos.txt"), "=Rocky Branch Ward Positions\n<^>\n");
}

TEST(WriteSmisTxt, ConverterCommandPerDocumentAndFailures) {
  set_units();
  fs::path dir = scratch("conv");
  fs::create_directories(dir / "mc1Pos.txt");  // cannot be written
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  write_smis_txt(dir.string(), Text("echo"));
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Can't open output file (" + (dir / "mc1Pos.txt").string() + ")\n");
  const std::string d = dir.string();
  EXPECT_EQ(out, "Executing echo " + d + "/mc2Pos \"Maple \\\"Creek\\\" \\$2nd Positions\" ...\n" +
                     d + "/mc2Pos Maple \"Creek\" $2nd Positions\n" +
                     "Executing echo " + d + "/rbPos \"Rocky Branch Positions\" ...\n" + d +
                     "/rbPos Rocky Branch Positions\n");

  // Without units there is nothing to write.
  free_ptr_prodlist(UnitNames);
  UnitNames = nullptr;
  fs::path empty = scratch("none");
  write_smis_txt(empty.string(), Text("echo"));
  EXPECT_TRUE(fs::is_empty(empty));
}

TEST(WriteSmisTxt, AbbreviationsThatClimbStayInTheFolder) {
  free_ptr_prodlist(UnitNames);
  UnitNames = create_ptr_prodlist(2);
  UnitName climber{"CLIMB WARD", "../../up", "Climb", nullptr};
  UnitName rooted{"ROOT WARD", "/tmp/kinroll_stakedoc_rooted", "Root", nullptr};
  add_ptr_prodlist(UnitNames, &climber);
  add_ptr_prodlist(UnitNames, &rooted);
  fs::path dir = scratch("climb") / "a" / "b";
  fs::create_directories(dir);
  testing::internal::CaptureStdout();
  write_smis_txt(dir.string(), Text("echo"));
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(slurp(dir / ".._.._upPos.txt"), "=Climb Ward Positions\n<^>\n");
  EXPECT_TRUE(fs::exists(dir / "_tmp_kinroll_stakedoc_rootedPos.txt"));
  EXPECT_FALSE(fs::exists(dir.parent_path().parent_path() / "upPos.txt"));
  EXPECT_FALSE(fs::exists("/tmp/kinroll_stakedoc_rootedPos.txt"));
  // The converter is handed the document that was written.
  EXPECT_EQ(out.substr(0, out.find('\n')),
            "Executing echo " + dir.string() + "/.._.._upPos \"Climb Positions\" ...");
  free_ptr_prodlist(UnitNames);
  UnitNames = nullptr;
}

/// The names in bucket `letter` of `buckets`, in order.
std::vector<std::string> bucket(const ProdPtrList* buckets, char letter) {
  std::vector<std::string> names;
  for (auto* a = static_cast<const alpha*>(buckets->item[static_cast<size_t>(letter - 'A')]);
       a != nullptr; a = a->next) {
    names.push_back(a->name.str() + "/" + a->pos->pos.str());
  }
  return names;
}

TEST(InsertAlpha, BucketsByInitialInCaseBlindStableOrder) {
  UnitName u{"U", "u", "U", nullptr};
  WardOrg* org = add_org(u, "Org");
  ProdPtrList* buckets = create_alpha_buckets();
  ASSERT_NE(buckets, nullptr);
  EXPECT_EQ(buckets->nitems, 26);
  EXPECT_EQ(buckets->maxitems, 26);

  const char* holders[][2] = {
      {"Smith, Bob", "1"},   {"SMITH, ADAM", "2"}, {"Smith, adam", "3"}, {"smith, zed", "x"},
      {"Smith", "4"},        {"Smith, Adam", "5"}, {"SMITH, ADAMS", "6"}, {"Sm'ith", "7"},
      {"Zeta, Z", "8"},      {"Abel, A", "9"},     {"[Bud]", "x"},       {" Space", "x"},
      {"9 Nine", "x"},       {"Ábel", "x"},        {"SMITH, ADAM", "10"}};
  for (const auto& h : holders) insert_alpha(buckets, &u, org, add_pos(org, h[1], h[0]));
  insert_alpha(buckets, &u, org, add_pos(org, "vacant"));
  insert_alpha(buckets, &u, org, add_pos(org, "empty", ""));
  insert_alpha(buckets, nullptr, org, org->pos);
  insert_alpha(buckets, &u, nullptr, org->pos);
  insert_alpha(buckets, &u, org, nullptr);
  insert_alpha(nullptr, &u, org, org->pos);
  sort_alpha_buckets(buckets);

  EXPECT_EQ(bucket(buckets, 'S'),
            (std::vector<std::string>{"Sm'ith/7", "Smith/4", "SMITH, ADAM/2", "Smith, adam/3",
                                      "Smith, Adam/5", "SMITH, ADAM/10", "SMITH, ADAMS/6",
                                      "Smith, Bob/1"}));
  EXPECT_EQ(bucket(buckets, 'A'), std::vector<std::string>{"Abel, A/9"});
  EXPECT_EQ(bucket(buckets, 'Z'), std::vector<std::string>{"Zeta, Z/8"});
  int filled = 0;
  for (int k = 0; k < 26; ++k) filled += buckets->item[static_cast<size_t>(k)] != nullptr;
  EXPECT_EQ(filled, 3);
  const alpha* first = static_cast<const alpha*>(buckets->item['A' - 'A']);
  EXPECT_EQ(first->uname, &u);
  EXPECT_EQ(first->org, org);
  EXPECT_EQ(first->name, first->pos->per);
  free_ptr_prodlist(buckets);
}

TEST(WriteSmisAlpha, HoldersOfTheWholeStakeByLetter) {
  fill_stake();
  fs::path dir = scratch("alpha");
  testing::internal::CaptureStdout();
  write_smis_alpha(dir.string(), "alpha", Text("echo"));
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(slurp(dir / "alpha.txt"),
            "^B\n"
            "Brown, Carl [mc1]\n\tElders Quorum: President\n"
            "^S\n"
            "Smith, Adam [mc1]\n\tBishopric: Bishop\n"
            "SMITH, ADAM [mc1]\n\tElders Quorum: Secretary\n"
            "Smith, Adam [mc2]\n\tRelief Society: President\n"
            "<^>\n");
  const std::string d = dir.string();
  EXPECT_EQ(out, "Executing echo " + d + "/alpha \"Stake Alphabetical List\" ...\n" + d +
                     "/alpha Stake Alphabetical List\n");

  // A name that needs quoting is passed as one word.
  testing::internal::CaptureStdout();
  write_smis_alpha(dir.string(), "my list", Text("printf '<%s>'"));
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Executing printf '<%s>' '" + d + "/my list' \"Stake Alphabetical List\" ...\n<" + d +
                "/my list><Stake Alphabetical List>");
  EXPECT_EQ(slurp(dir / "my list.txt"), slurp(dir / "alpha.txt"));
}

TEST(WriteSmisAlpha, WithoutReportOrUnitsAndUnwritable) {
  set_units();
  fs::path dir = scratch("alpha_empty");
  write_smis_alpha(dir.string(), "alpha", Text());
  EXPECT_EQ(slurp(dir / "alpha.txt"), "<^>\n");
  write_smis_txt(dir.string(), Text());
  EXPECT_EQ(slurp(dir / "mc1Pos.txt"), "=Maple Creek 1st Ward Positions\n<^>\n");

  free_ptr_prodlist(UnitNames);
  UnitNames = nullptr;
  write_smis_alpha(dir.string(), "none", Text());
  EXPECT_EQ(slurp(dir / "none.txt"), "<^>\n");

  const std::string missing = (dir / "nowhere").string();
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  write_smis_alpha(missing, "alpha", Text("echo"));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Can't open output file (" + missing + "/alpha.txt)\n");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

}  // namespace
