// What the pages make of printout bytes and console lines, which file is
// which printout, and the checks every request passes.

#include <gtest/gtest.h>

#include "web/guard.h"
#include "web/recognise.h"
#include "web/text.h"

namespace {

TEST(WebText, Latin1DecodedAndEscaped) {
  EXPECT_EQ(utf8_from_latin1("J\xF6rg \xA9 \xFF"), "J\xC3\xB6rg \xC2\xA9 \xC3\xBF");
  EXPECT_EQ(page_text("<b>O'Neil & \"Co\"</b>\xE9"),
            "&lt;b&gt;O&#39;Neil &amp; &quot;Co&quot;&lt;/b&gt;\xC3\xA9");
  // A unit name typed in the page: Latin-1 where it can be, '?' elsewhere.
  EXPECT_EQ(latin1_from_utf8("J\xC3\xB6rg\xE2\x82\xAC\x01\xC3"), "J\xF6rg???");
}

TEST(WebText, CsvRowsAsTheBatchQuotesThem) {
  auto rows = csv_rows("a,\"b, c\",\"say \"\"hi\"\"\"\n,\"two\nlines\"\r\nlast");
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"a", "b, c", "say \"hi\""}));
  EXPECT_EQ(rows[1], (std::vector<std::string>{"", "two\nlines"}));
  EXPECT_EQ(rows[2], std::vector<std::string>{"last"});
  EXPECT_TRUE(csv_rows("").empty());
}

TEST(WebText, MessagesGroupedByKindInOrder) {
  auto groups = group_messages(
      "Phone numbers don't match for HT/VT family 'A, B'\n"
      "Inserted 3 pseudo-record numbers\n\n"
      "Can't find entry in MIS232 (X, Y)\n"
      "Phone numbers don't match for HT/VT family 'C & D'\n");
  ASSERT_EQ(groups.size(), 3u);
  EXPECT_EQ(groups[0].kind, "Phone numbers don't match for HT/VT family");
  EXPECT_EQ(groups[0].lines.size(), 2u);
  EXPECT_EQ(groups[0].lines[1], "Phone numbers don't match for HT/VT family 'C & D'");
  EXPECT_EQ(groups[1].kind, "Inserted 3 pseudo-record numbers");
  EXPECT_EQ(groups[2].kind, "Can't find entry in MIS232");
}

TEST(WebRecognise, ByStandardNameOrByTitle) {
  EXPECT_STREQ(recognise_input("C:\\Reports\\MIS1313.TXT", "")->file, "mis1313.txt");
  EXPECT_STREQ(recognise_input("../wardorgs.txt", "")->file, "wardorgs.txt");
  EXPECT_STREQ(recognise_input("april.txt", "\n\n  MEMBER RECORD NUMBER LIST (MIS 239)   Page 1\n")
                   ->file,
               "mis239.txt");
  // The title must be on the first line that is not blank.
  EXPECT_EQ(recognise_input("a.txt", "Notes\nDIRECTORY OF MEMBERS (MIS 231)\n"), nullptr);
  EXPECT_EQ(recognise_input("smis.txt", "   WARD ORGANIZATION REPORT   Page 1\n"), nullptr);
  EXPECT_EQ(recognise_input("mis231.txt.bak", ""), nullptr);
}

TEST(WebGuard, EveryCheckInOrder) {
  const std::string token(32, 'a');
  const auto hosts = allowed_hosts("127.0.0.1", 8080);
  EXPECT_EQ(hosts, (std::vector<std::string>{"127.0.0.1:8080", "localhost:8080"}));
  EXPECT_EQ(allowed_hosts("::1", 80), (std::vector<std::string>{"[::1]:80", "localhost:80"}));
  EXPECT_EQ(allowed_hosts("192.168.1.5", 80), std::vector<std::string>{"192.168.1.5:80"});
  const std::string cookie = "theme=x; kinroll_token=" + token;
  const std::string longer = "kinroll_token=" + token + "a";
  const std::string other(32, 'b');
  struct Case {
    RequestFacts facts;
    Refusal expected;
  } cases[] = {
      {{"127.0.0.1:8080", token, "", "", "", false}, Refusal::kAllowed},
      {{"localhost:8080", "", cookie, "", "", false}, Refusal::kAllowed},
      {{"127.0.0.1:8080", "", cookie, "http://127.0.0.1:8080", "same-origin", true},
       Refusal::kAllowed},
      {{"evil.example:8080", token, "", "", "", false}, Refusal::kWrongHost},
      {{"", token, "", "", "", false}, Refusal::kWrongHost},
      {{"127.0.0.1:8080", "", "", "", "", false}, Refusal::kNoToken},
      {{"127.0.0.1:8080", other, cookie, "", "", false}, Refusal::kNoToken},
      {{"127.0.0.1:8080", "", longer, "", "", false}, Refusal::kNoToken},
      {{"127.0.0.1:8080", "", cookie, "http://evil.example", "", true}, Refusal::kCrossSite},
      {{"127.0.0.1:8080", "", cookie, "null", "", true}, Refusal::kCrossSite},
      {{"127.0.0.1:8080", "", cookie, "", "same-site", true}, Refusal::kCrossSite},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(check_request(c.facts, hosts, token), c.expected)
        << c.facts.host << " " << c.facts.cookie << " " << c.facts.origin;
  }
}

}  // namespace
