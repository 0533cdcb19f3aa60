// UIDs of cards and events: keyed hashes that match HMAC-SHA-256 as Python's
// hmac module computes it, the same for the same input, different for a
// repeated source, and made from names where a record number is made up.

#include "contacts/uid.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "model/arena.h"

namespace {

const std::string kKey = "kinroll-contacts test key, not a secret: 0123456789";

// Expected UUIDs computed with Python: hmac.new(key, source, sha256), first
// 16 bytes, version nibble 8, variant bits 10.
TEST(KeyedUuid, MatchesAnIndependentHmac) {
  EXPECT_EQ(keyed_uuid(kKey, "card\n041-2287-5530"), "b3371cbd-14dd-839c-a760-2cf5683111ea");
  EXPECT_EQ(keyed_uuid(kKey, "birthday\n041-2287-5530"), "1ce08b46-9f7e-8c23-9bee-5966692bbbfe");
  EXPECT_EQ(keyed_uuid(kKey, ""), "f40ca8a3-f1f6-8966-826f-e91779247060");
  // Another key, another UID.
  EXPECT_NE(keyed_uuid(kKey + "x", "card\n041-2287-5530"), "b3371cbd-14dd-839c-a760-2cf5683111ea");
}

TEST(UidMaker, SameSourceAgainGetsItsOccurrenceNumber) {
  UidMaker uids(kKey);
  std::string first = uids.make("card\n041-2287-5530");
  EXPECT_EQ(first, "b3371cbd-14dd-839c-a760-2cf5683111ea");
  EXPECT_EQ(uids.make("card\n041-2287-5530"), "7618f962-c226-8854-8cc1-96765c45e9d9");
  EXPECT_EQ(uids.make("card\n041-2287-5530"), keyed_uuid(kKey, "card\n041-2287-5530\n#3"));
  // A new maker (the next run, the other file) starts afresh.
  UidMaker again(kKey);
  EXPECT_EQ(again.make("card\n041-2287-5530"), first);
  const std::regex shape("[0-9a-f]{8}-[0-9a-f]{4}-8[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}");
  for (const char* s : {"a", "b", "card name\nX\nY", "\xff\xfe"}) {
    EXPECT_TRUE(std::regex_match(again.make(s), shape)) << s;
  }
}

class UidSources : public testing::Test {
 protected:
  UidSources() : scope_(arena_) {}

  WardMember* add(WardFamily* fam, int type, const char* fname, const char* recno) {
    WardMember* mem = create_ward_member();
    mem->type = type;
    mem->fname = Text(fname);
    mem->recno = Text(recno);
    append_member(fam, mem);
    return mem;
  }

  WardFamily* family(const char* lname) {
    WardFamily* fam = create_ward_family();
    fam->lname = Text(lname);
    return fam;
  }

  Arena arena_;
  ArenaScope scope_;
};

TEST_F(UidSources, RealRecordNumbersOrNamesForMadeUpOnes) {
  EXPECT_TRUE(is_pseudo_recno(Text("999-9999-0001")));
  EXPECT_FALSE(is_pseudo_recno(Text("041-2287-5530")));
  EXPECT_FALSE(is_pseudo_recno(Text()));

  WardFamily* abernathy = family("ABERNATHY");
  WardMember* gordon = add(abernathy, 1, "Gordon", "041-2287-5530");
  WardMember* peter = add(abernathy, 3, "Peter", "052-1190-4498");
  EXPECT_EQ(family_uid_source(abernathy), "card\n041-2287-5530");
  EXPECT_EQ(member_uid_source(abernathy, gordon), "birthday\n041-2287-5530");
  EXPECT_EQ(member_uid_source(abernathy, peter), "birthday\n052-1190-4498");

  // A non-member head printed without a number: the number the reader made
  // up changes with every member added before; the names do not.
  WardFamily* brandvold = family("BRANDVOLD");
  WardMember* dale = add(brandvold, 1, "[Dale]", "999-9999-0001");
  WardMember* baby = add(brandvold, 3, "Oliver", nullptr);
  EXPECT_EQ(family_uid_source(brandvold), "card name\nBRANDVOLD\n[Dale]");
  EXPECT_EQ(member_uid_source(brandvold, dale),
            "birthday name\nBRANDVOLD\n[Dale]\nBRANDVOLD\n[Dale]");
  EXPECT_EQ(member_uid_source(brandvold, baby),
            "birthday name\nBRANDVOLD\nOliver\nBRANDVOLD\n[Dale]");

  // No head at all: the family name alone.
  WardFamily* empty = family("WHITAKER");
  EXPECT_EQ(family_uid_source(empty), "card name\nWHITAKER\n");
}

}  // namespace
