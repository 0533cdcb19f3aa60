// Cards of the contacts file: named by the phone list's rules, a phone only
// when it can be dialled, the address as a structured value, texts escaped
// and made UTF-8, no card for a cross-reference.

#include "contacts/vcard.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "model/arena.h"
#include "support/capture.h"

namespace {

using testsupport::add_family;
using testsupport::capture;

const std::string kKey = "kinroll-contacts test key, not a secret: 0123456789";

class Cards : public testing::Test {
 protected:
  Cards() : scope_(arena_) {}

  static WardMember* add(WardFamily* fam, int type, const char* fname,
                         const char* recno = nullptr) {
    WardMember* mem = create_ward_member();
    mem->type = type;
    mem->fname = Text(fname);
    mem->recno = Text(recno);
    append_member(fam, mem);
    return mem;
  }

  std::string card(const WardFamily* fam, const std::string& category = "Ward") {
    UidMaker uids(kKey);
    return capture([&](FILE* fp) { write_family_vcard(fam, fp, category, uids); });
  }

  Arena arena_;
  ArenaScope scope_;
  WardFamily* list_ = nullptr;
};

TEST_F(Cards, PhonesThatCanBeDialled) {
  EXPECT_TRUE(is_dialable_phone(Text("555-0142")));
  EXPECT_TRUE(is_dialable_phone(Text("(801) 555-0199")));
  EXPECT_TRUE(is_dialable_phone(Text("555-01423")));  // badly formed, still a number
  EXPECT_FALSE(is_dialable_phone(Text("unlisted")));
  EXPECT_FALSE(is_dialable_phone(Text("Unlisted 555-0100")));
  EXPECT_FALSE(is_dialable_phone(Text("N/A")));
  EXPECT_FALSE(is_dialable_phone(Text("none")));
  EXPECT_FALSE(is_dialable_phone(Text("")));
  EXPECT_FALSE(is_dialable_phone(Text()));
}

TEST_F(Cards, GivenNamesFollowThePhoneList) {
  WardFamily* couple = add_family(list_, "ABERNATHY", "Gordon");
  add(couple, 1, "Gordon");
  add(couple, 2, "Linda");
  add(couple, 3, "Sarah");
  EXPECT_EQ(family_given_names(couple), "Gordon & Linda");

  WardFamily* bracketed_head = add_family(list_, "BRANDVOLD", "Marjorie");
  add(bracketed_head, 1, "[Dale]");
  add(bracketed_head, 2, "Marjorie");
  EXPECT_EQ(family_given_names(bracketed_head), "Marjorie");

  WardFamily* bracketed_spouse = add_family(list_, "DUVALL", "Steven");
  add(bracketed_spouse, 1, "Steven");
  add(bracketed_spouse, 2, "[Carla]");
  EXPECT_EQ(family_given_names(bracketed_spouse), "Steven");

  WardFamily* alone = add_family(list_, "KRAMER", "[Hans]");
  add(alone, 1, "[Hans]");
  add(alone, 3, "Greta");
  EXPECT_EQ(family_given_names(alone), "");
}

TEST_F(Cards, AFamilyCard) {
  WardFamily* fam = add_family(list_, "ABERNATHY", "Gordon", "555-0142");
  fam->addr = Text("412 Juniper Lane");
  fam->city = Text("Alder Springs");
  fam->state = Text("UT");
  fam->zip = Text("84990");
  fam->zip2 = Text("3108");
  add(fam, 1, "Gordon", "041-2287-5530");
  add(fam, 2, "Linda", "041-2287-5549");
  add(fam, 3, "Sarah", "052-1190-4471");
  EXPECT_EQ(card(fam, "Alder Springs 2nd Ward"),
            "BEGIN:VCARD\r\n"
            "VERSION:4.0\r\n"
            "UID:urn:uuid:b3371cbd-14dd-839c-a760-2cf5683111ea\r\n"
            "FN:ABERNATHY\\, Gordon & Linda\r\n"
            "N:ABERNATHY;Gordon & Linda;;;\r\n"
            "TEL;TYPE=home:555-0142\r\n"
            "ADR;TYPE=home:;;412 Juniper Lane;Alder Springs;UT;84990-3108;\r\n"
            "CATEGORIES:Alder Springs 2nd Ward\r\n"
            "END:VCARD\r\n");
}

TEST_F(Cards, Latin1TextsEscapedInTheirPlaces) {
  WardFamily* fam = add_family(list_, "M\xdcLLER", "Jos\xe9", "555-0100");
  fam->addr = Text("12 Rue de l'\xc9glise, Bldg 3");
  fam->addr2 = Text("Unit 5\\6");
  fam->city = Text("Saint-R\xe9my");
  fam->state = Text("UT");
  fam->zip = Text("84001");
  add(fam, 1, "Jos\xe9", "101-1111-0001");
  add(fam, 2, "Zo\xeb; Ann");
  EXPECT_EQ(card(fam, "Ward, 2nd"),
            "BEGIN:VCARD\r\n"
            "VERSION:4.0\r\n"
            "UID:urn:uuid:8aa54b29-0f01-8a03-b88e-4c9ce4e20999\r\n"
            "FN:M\xc3\x9cLLER\\, Jos\xc3\xa9 & Zo\xc3\xab; Ann\r\n"
            "N:M\xc3\x9cLLER;Jos\xc3\xa9 & Zo\xc3\xab\\; Ann;;;\r\n"
            "TEL;TYPE=home:555-0100\r\n"
            // 76 octets: the last one goes on a continuation line.
            "ADR;TYPE=home:;;12 Rue de l'\xc3\x89glise\\, Bldg 3,Unit 5\\\\6;Saint-R\xc3\xa9my;UT;"
            "84001\r\n ;\r\n"
            "CATEGORIES:Ward\\, 2nd\r\n"
            "END:VCARD\r\n");
}

TEST_F(Cards, NoPhoneNoAddressAndABracketedHeadAlone) {
  WardFamily* fam = add_family(list_, "BRANDVOLD", "Marjorie", "unlisted");
  add(fam, 1, "[Dale]", "999-9999-0001");
  add(fam, 2, "Marjorie", "060-3315-2215");
  std::string text = card(fam);
  EXPECT_EQ(text,
            "BEGIN:VCARD\r\n"
            "VERSION:4.0\r\n"
            "UID:urn:uuid:7bcaf57e-5d72-8627-b372-84d4f7b1bf5c\r\n"
            "FN:BRANDVOLD\\, Marjorie\r\n"
            "N:BRANDVOLD;Marjorie;;;\r\n"
            "CATEGORIES:Ward\r\n"
            "END:VCARD\r\n");

  WardFamily* solo = add_family(list_, "SOLO", "[Sam]", "N/A");
  solo->city = Text("Orem");
  add(solo, 1, "[Sam]");
  EXPECT_EQ(card(solo),
            "BEGIN:VCARD\r\n"
            "VERSION:4.0\r\n"
            "UID:urn:uuid:6b9551b8-a0e9-8d5a-8432-df25a23c1fdb\r\n"
            "FN:SOLO\r\n"
            "N:SOLO;;;;\r\n"
            "ADR;TYPE=home:;;;Orem;;;\r\n"
            "CATEGORIES:Ward\r\n"
            "END:VCARD\r\n");
}

TEST_F(Cards, AnEmptyUnitNameGivesNoCategory) {
  WardFamily* fam = add_family(list_, "GREENHALGH", "Margaret", "unlisted");
  add(fam, 1, "Margaret", "021-6650-0035");
  std::string text = card(fam, "");
  EXPECT_EQ(text.find("CATEGORIES"), std::string::npos);
  EXPECT_TRUE(text.ends_with("N:GREENHALGH;Margaret;;;\r\nEND:VCARD\r\n")) << text;
}

TEST_F(Cards, CrossReferencesGetNoCardAndTheRestOneEach) {
  WardFamily* a = add_family(list_, "CALLISTER", "Rebecca", "555-0119");
  add(a, 1, "Rebecca", "073-4402-1186");
  WardFamily* see = add_family(list_, "WHITAKER", nullptr);
  see->sname = Text("CALLISTER");
  WardFamily* b = add_family(list_, "YOUNGBERG", "Richard", "555-0125");
  add(b, 1, "Richard", "029-8873-1164");
  EXPECT_EQ(card(see), "");
  UidMaker uids(kKey);
  int cards = 0;
  std::string text = capture([&](FILE* fp) { cards = write_ward_vcards(list_, fp, "Ward", uids); });
  EXPECT_EQ(cards, 2);
  EXPECT_EQ(text, card(a) + card(b));
  EXPECT_EQ(text.find("WHITAKER"), std::string::npos);
}

TEST_F(Cards, NothingPrivateOnACard) {
  WardFamily* fam = add_family(list_, "LUNDQUIST", "Harold", "555-0131");
  WardMember* head = add(fam, 1, "Harold", "017-2256-9940");
  head->stat = Text("Nonmembr");
  std::strcpy(head->bday, "04");
  std::strcpy(head->bmonth, "Apr");
  std::strcpy(head->byear, "50");
  head->age = 74;
  head->birth = Text("04 Apr 50");
  fam->recno = head->recno;
  fam->acode = Text("L02");
  std::string text = card(fam);
  // The UID is hex digits, which may spell anything; it is checked apart.
  size_t uid = text.find("UID:");
  ASSERT_NE(uid, std::string::npos);
  text.erase(uid, text.find("\r\n", uid) - uid);
  for (const char* secret : {"017", "2256", "9940", "Nonmembr", "Apr", "50", "74", "L02"}) {
    EXPECT_EQ(text.find(secret), std::string::npos) << secret;
  }
}

}  // namespace
