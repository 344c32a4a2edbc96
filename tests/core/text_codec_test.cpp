#include <gtest/gtest.h>

#include <string>

#include "core/text_codec.h"
#include "core/text_util.h"

using namespace core;

namespace {

std::string byte(int b) { return std::string(1, static_cast<char>(b)); }

// The letters of Slovak and Czech, the euro sign and the typographic marks an
// installation's files actually contain, with their Windows-1250 bytes.
TEST(TextCodec, MapsLettersBothWays) {
  struct Case {
    const char* utf8;
    int cp1250;
  };
  const Case cases[] = {
      {"á", 0xE1}, {"ä", 0xE4}, {"č", 0xE8},      {"ď", 0xEF},      {"é", 0xE9}, {"ě", 0xEC}, {"í", 0xED}, {"ĺ", 0xE5},
      {"ľ", 0xBE}, {"ň", 0xF2}, {"ó", 0xF3},      {"ô", 0xF4},      {"ŕ", 0xE0}, {"ř", 0xF8}, {"š", 0x9A}, {"ť", 0x9D},
      {"ú", 0xFA}, {"ů", 0xF9}, {"ý", 0xFD},      {"ž", 0x9E},      {"Á", 0xC1}, {"Ä", 0xC4}, {"Č", 0xC8}, {"Ď", 0xCF},
      {"É", 0xC9}, {"Ě", 0xCC}, {"Í", 0xCD},      {"Ĺ", 0xC5},      {"Ľ", 0xBC}, {"Ň", 0xD2}, {"Ó", 0xD3}, {"Ô", 0xD4},
      {"Ŕ", 0xC0}, {"Ř", 0xD8}, {"Š", 0x8A},      {"Ť", 0x8D},      {"Ú", 0xDA}, {"Ů", 0xD9}, {"Ý", 0xDD}, {"Ž", 0x8E},
      {"€", 0x80}, {"„", 0x84}, {"“", 0x93},      {"–", 0x96},      {"—", 0x97}, {"™", 0x99}, {"§", 0xA7}, {"°", 0xB0},
      {"ß", 0xDF}, {"˙", 0xFF}, {"\u00A0", 0xA0}, {"\u00AD", 0xAD}, {"ˇ", 0xA1}, {"Ł", 0xA3}, {"ő", 0xF5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.utf8);
    EXPECT_EQ(Cp1250ToUtf8(byte(c.cp1250)), c.utf8);
    bool lossy = true;
    EXPECT_EQ(Utf8ToCp1250(c.utf8, &lossy), byte(c.cp1250));
    EXPECT_FALSE(lossy);
  }
}

TEST(TextCodec, EveryByteRoundTrips) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += byte(b);
  const std::string utf8 = Cp1250ToUtf8(all);
  bool lossy = true;
  EXPECT_EQ(Utf8ToCp1250(utf8, &lossy), all);
  EXPECT_FALSE(lossy);
  // ASCII passes unchanged, and the unassigned bytes become their C1 controls.
  EXPECT_EQ(utf8.substr(0, 128), all.substr(0, 128));
  for (int b : {0x81, 0x83, 0x88, 0x90, 0x98}) {
    SCOPED_TRACE(b);
    const std::string c1 = Cp1250ToUtf8(byte(b));
    ASSERT_EQ(c1.size(), 2u);
    EXPECT_EQ(static_cast<unsigned char>(c1[0]), 0xC2);
    EXPECT_EQ(static_cast<unsigned char>(c1[1]), b);
  }
}

TEST(TextCodec, SentenceRoundTrip) {
  const std::string text = "Nesprávna hodnota v Čase na opravu; Žltý kôň úpäl ďábelské ódy\r\n";
  bool lossy = true;
  const std::string bytes = Utf8ToCp1250(text, &lossy);
  EXPECT_FALSE(lossy);
  EXPECT_EQ(bytes.size(), utf8Length(text));
  EXPECT_EQ(Cp1250ToUtf8(bytes), text);
}

TEST(TextCodec, UnmappableAndMalformedBecomeQuestionMarks) {
  struct Case {
    std::string utf8;
    std::string cp1250;
  };
  const Case cases[] = {
      {"ą≠ß", byte(0xB9) + "?" + byte(0xDF)},         // not in the code page
      {"a😀b", "a?b"},                                 // outside the BMP
      {"ñ", "?"},                                     // Spanish letter has no form here
      {"x" + byte(0x80) + "y", "x?y"},                // stray continuation byte
      {byte(0xC3), "?"},                              // cut sequence at the end
      {byte(0xC0) + byte(0x80), "??"},                // overlong NUL
      {byte(0xED) + byte(0xA0) + byte(0x80), "???"},  // surrogate
      {byte(0xFF) + "a", "?a"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cp1250);
    bool lossy = false;
    EXPECT_EQ(Utf8ToCp1250(c.utf8, &lossy), c.cp1250);
    EXPECT_TRUE(lossy);
  }
  EXPECT_EQ(Utf8ToCp1250("plain"), "plain");  // lossy pointer is optional
}

}  // namespace
