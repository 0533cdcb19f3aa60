// What the pages make of printout bytes and console lines, and the checks
// every request passes (which file is which input: intake_test.cpp).

#include <gtest/gtest.h>

#include "web/guard.h"
#include "web/listen.h"
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

TEST(WebGuard, EveryCheckInOrder) {
  const auto hosts = allowed_hosts("127.0.0.1", true, 8080);
  EXPECT_EQ(hosts, (std::vector<std::string>{"127.0.0.1:8080", "localhost:8080"}));
  EXPECT_EQ(allowed_hosts("::1", true, 80), (std::vector<std::string>{"[::1]:80", "localhost:80"}));
  EXPECT_EQ(allowed_hosts("192.168.1.5", false, 80), std::vector<std::string>{"192.168.1.5:80"});
  struct Case {
    RequestFacts facts;
    Refusal expected;
  } cases[] = {
      {{"127.0.0.1:8080", "", "", false}, Refusal::kAllowed},
      {{"localhost:8080", "", "", false}, Refusal::kAllowed},
      {{"127.0.0.1:8080", "http://127.0.0.1:8080", "same-origin", true}, Refusal::kAllowed},
      {{"127.0.0.1:8080", "http://localhost:8080", "none", true}, Refusal::kAllowed},
      {{"127.0.0.1:8080", "null", "same-origin", true}, Refusal::kAllowed},
      {{"evil.example:8080", "", "", false}, Refusal::kWrongHost},
      {{"", "", "", false}, Refusal::kWrongHost},
      {{"127.0.0.1:8080", "http://evil.example", "", true}, Refusal::kCrossSite},
      {{"127.0.0.1:8080", "https://127.0.0.1:8080", "", true}, Refusal::kCrossSite},
      {{"127.0.0.1:8080", "null", "", true}, Refusal::kCrossSite},
      {{"127.0.0.1:8080", "null", "cross-site", true}, Refusal::kCrossSite},
      {{"127.0.0.1:8080", "", "same-site", true}, Refusal::kCrossSite},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(check_request(c.facts, hosts), c.expected) << c.facts.host << " " << c.facts.origin;
  }
}

TEST(WebGuard, TheAddressIsTheKey) {
  const std::string token(32, 'a');
  struct Case {
    const char* path;
    bool ok;
    const char* rest;
  } cases[] = {
      {"/aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa/", true, "/"},
      {"/aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", true, ""},
      {"/aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa/jobs/x", true, "/jobs/x"},
      {"/aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa/", false, ""},
      {"/aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab/", false, ""},
      {"//aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa/", false, ""},
      {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa/", false, ""},
      {"/", false, ""},
      {"", false, ""},
  };
  for (const Case& c : cases) {
    std::string_view rest = "unset";
    EXPECT_EQ(strip_token(c.path, token, &rest), c.ok) << c.path;
    if (c.ok) {
      EXPECT_EQ(rest, c.rest) << c.path;
    }
  }
}

TEST(WebListen, NumericAddressesOnlyNeverTheAnyAddress) {
  struct Case {
    const char* given;
    const char* text;  // null: refused
    bool loopback;
  } cases[] = {
      {"127.0.0.1", "127.0.0.1", true},
      {"localhost", "127.0.0.1", true},
      {"127.3.4.5", "127.3.4.5", true},
      {"::1", "::1", true},
      {"::ffff:127.0.0.1", "127.0.0.1", true},
      {"192.168.1.5", "192.168.1.5", false},
      {"fe80::1", "fe80::1", false},
      {"0.0.0.0", nullptr, false},
      {"0", nullptr, false},
      {"0x0", nullptr, false},
      {"::", nullptr, false},
      {"::0", nullptr, false},
      {"::ffff:0.0.0.0", nullptr, false},
      {"::0.0.0.0", nullptr, false},
      {"example.org", nullptr, false},
      {"127.0.0.1:80", nullptr, false},
      {"", nullptr, false},
  };
  for (const Case& c : cases) {
    ListenAddress a;
    std::string why;
    EXPECT_EQ(parse_listen_address(c.given, &a, &why), c.text != nullptr) << c.given;
    if (c.text == nullptr) {
      EXPECT_NE(why.find(std::string("not ") + (c.given[0] ? "" : "an empty text")),
                std::string::npos)
          << why;
      continue;
    }
    EXPECT_EQ(a.text, c.text);
    EXPECT_EQ(a.loopback, c.loopback) << c.given;
  }
}

}  // namespace
