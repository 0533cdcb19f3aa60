// The zip-code list sorts its families in one go; the order must be the one
// that inserting them one by one with insert_fam_zip gives.

#include <gtest/gtest.h>

#include <string>

#include "support/capture.h"
#include "support/rng.h"
#include "writers/wardlists.h"

namespace {

using testsupport::pick;
using testsupport::Rng;

TEST(ZipOrder, SortedAsInsertionWouldPlaceThem) {
  Rng r{7};
  const char* const zips[] = {"84001", "8400", "84001-", "84a01", "84002", "84001"};
  WardFamily* list = nullptr;
  WardFam* chain = nullptr;
  std::string expected;
  for (int i = 0; i < 120; ++i) {
    WardFamily* fam = testsupport::add_family(list, Text("F" + std::to_string(i)), "Ann");
    fam->zip = pick(r, zips, 6);
    if (!fam->zip) continue;
    WardFam* node = create_ward_fam();
    node->fam = fam;
    chain = insert_fam_zip(chain, node);
  }
  for (const WardFam* n = chain; n != nullptr; n = n->next) {
    expected += n->fam->zip.str() + " " + n->fam->lname.str() + ", ";
    expected += n->fam->fname.str() + "\n";
  }
  std::string got = testsupport::capture([&](FILE* fp) { create_palm_zip(list, fp); });
  std::string lines;  // the family lines, bookmarks left out
  for (size_t at = 0; at < got.size();) {
    size_t end = got.find('\n', at) + 1;
    if (got[at] != '*') lines += got.substr(at, end - at);
    at = end;
  }
  EXPECT_EQ(lines, expected);
}

}  // namespace
