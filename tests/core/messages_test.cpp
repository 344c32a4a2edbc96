#include <gtest/gtest.h>

#include "core/messages.h"
#include "support/test_support.h"

using namespace core;
using testing_support::TempDir;
using testing_support::WriteCp1250;

TEST(MessageCatalogue, DefaultsOfTheThreeTables) {
  const MessageCatalogue m;
  struct Case {
    int n;
    const char* text;
  };
  for (const Case& c : {Case{1, "Neexistuje subor: <vortane.ini>"},
                        Case{5, "Nastavte správny COMPORT v MENU Služby - Nastavenia programu"}, Case{11, ""},
                        Case{16, " záznamov"}, Case{24, ""}, Case{29, "Nová Karta"}, Case{30, "Uveďte meno pracovníka"},
                        Case{31, "Nesprávny dátum v súbore <sviatky.txt>"}, Case{36, ""}, Case{37, "Adresár "},
                        Case{38, "pre zaznamy neexistuje"}, Case{40, "Pondelok"}, Case{0, ""}, Case{41, ""}}) {
    EXPECT_EQ(m.message(c.n), c.text) << c.n;
  }
  EXPECT_EQ(m.menu(1), "&Súbor");
  EXPECT_EQ(m.menu(16), "Nastavenia programu");
  EXPECT_EQ(m.menu(23), "");
  EXPECT_EQ(m.menu(30), "Kopírovať");
  EXPECT_EQ(m.menu(31), "");
  const char* days[] = {"Ned", "Pon", "Uto", "Str", "Stv", "Pia", "Sob"};
  for (int d = 1; d <= 7; ++d) EXPECT_EQ(m.dayName(d), days[d - 1]);
  EXPECT_EQ(m.dayName(8), "");
}

TEST(MessageCatalogue, LanguageFileReplacesOnlyTheKeysItHas) {
  TempDir dir;
  WriteCp1250(dir / "vortane.lng", "[AMENUS]\r\nLMenu16=Program settings\r\n");
  MessageCatalogue m;
  m.load(dir / "vortane.lng");
  const MessageCatalogue defaults;
  for (int n = 1; n <= MessageCatalogue::kMenus; ++n) {
    if (n == 16)
      EXPECT_EQ(m.menu(n), "Program settings");
    else
      EXPECT_EQ(m.menu(n), defaults.menu(n)) << n;
  }
  for (int n = 1; n <= MessageCatalogue::kMessages; ++n) EXPECT_EQ(m.message(n), defaults.message(n)) << n;
  for (int n = 1; n <= MessageCatalogue::kDays; ++n) EXPECT_EQ(m.dayName(n), defaults.dayName(n)) << n;
}

TEST(MessageCatalogue, EmptyValueEmptiesAndKeysMatchWithoutCase) {
  MessageCatalogue m;
  m.loadFromBytes(
      "[amessages]\r\nLMESS2=\r\nlmess30 =  Enter the name  \r\nLmess41=ignored\r\n"
      "[ACONSTSTR]\r\nLCSTR1=Sun\r\nLCSTR7=Sat\r\n"
      "[AMENUS]\r\nLMenu3=Zoznam \x9A\x9D\r\n");
  EXPECT_EQ(m.message(2), "");
  EXPECT_EQ(m.message(30), "Enter the name");
  EXPECT_EQ(m.message(40), "Pondelok");
  EXPECT_EQ(m.dayName(1), "Sun");
  EXPECT_EQ(m.dayName(2), "Pon");
  EXPECT_EQ(m.dayName(7), "Sat");
  EXPECT_EQ(m.menu(3), "Zoznam šť");  // Windows-1250 in the file
}

TEST(MessageCatalogue, LoadStartsFromDefaultsAndMissingFileKeepsThem) {
  MessageCatalogue m;
  m.loadFromBytes("[AMESSAGES]\r\nLmess1=x\r\n");
  ASSERT_EQ(m.message(1), "x");
  TempDir dir;
  m.load(dir / "vortane.lng");
  EXPECT_EQ(m.message(1), "Neexistuje subor: <vortane.ini>");
}
