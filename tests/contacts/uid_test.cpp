// UIDs of cards and events: keyed hashes that match HMAC-SHA-256 as Python's
// hmac module computes it, the same for the same input, different for a
// repeated source. (Which text each UID is made from is checked end to end,
// in the expected contact files.)

#include "contacts/uid.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>


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

}  // namespace
