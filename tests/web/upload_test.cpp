// The form's text fields as the form reader hands them on: a part may
// begin with an empty piece and come again from its start, and an empty
// part may come just before another.

#include <gtest/gtest.h>

#include "web/upload.h"

namespace {

/// A piece: field, its bytes at offset 0.
struct Piece {
  const char* field;
  std::string bytes;
};

TEST(WebUpload, TextFieldsWhateverPiecesTheyComeIn) {
  struct Case {
    const char* what;
    std::vector<Piece> pieces;
    std::string unit;
    bool keep;
  } cases[] = {
      {"each in one piece", {{"unit", "Ward"}, {"keep", "yes"}}, "Ward", true},
      {"an empty first piece, then the part again",
       {{"unit", ""}, {"unit", "Ward"}},
       "Ward",
       false},
      {"an empty unit before the box", {{"unit", ""}, {"keep", "yes"}}, "", true},
      {"an empty file input before the box", {{"lastmonth", ""}, {"keep", "yes"}}, "", true},
      {"the box not ticked", {{"unit", "Ward"}, {"lastmonth", ""}}, "Ward", false},
  };
  for (const Case& c : cases) {
    Job job;
    UploadReceiver up(job);
    for (const Piece& p : c.pieces) {
      EXPECT_TRUE(up.piece(p.field, "", 0, p.bytes.data(), p.bytes.size())) << c.what;
    }
    EXPECT_TRUE(up.finish());
    EXPECT_EQ(up.unit(), c.unit) << c.what;
    EXPECT_EQ(up.keep(), c.keep) << c.what;
  }
}

}  // namespace
