#include <gtest/gtest.h>

#include <deque>

#include "core/text_codec.h"
#include "core/tips.h"
#include "support/test_support.h"

using namespace core;
using testing_support::TempDir;
using testing_support::WriteCp1250;

namespace {

// Answers from a queue and records every n it was asked with.
struct ScriptedRandom {
  std::deque<int> answers;
  std::vector<int> asked;
};

TipDrawer::RandomSource scripted(ScriptedRandom& s) {
  return [&s](int n) {
    s.asked.push_back(n);
    const int r = s.answers.front();
    s.answers.pop_front();
    return r;
  };
}

const std::string kTips =
    "[DAY1]\r\n"
    "Prvý tip dňa.\r\n"
    "Druhý riadok.\r\n"
    "[KARTA]\r\n"
    "Tip karty.\r\n"
    "[DAY12]\r\n"
    "Druhý tip [s hranatou zátvorkou]\r\n"
    "už nie\r\n";

}  // namespace

TEST(TipDrawer, MissingFileShowsOneLine) {
  TempDir dir;
  ScriptedRandom rnd;
  TipDrawer t(scripted(rnd));
  const auto r = t.draw(dir / "vortane.tip", "[DAY");
  EXPECT_EQ(r.kind, TipDrawer::Result::Show);
  EXPECT_EQ(r.lines, std::vector<std::string>{"Neexistuje súbor tipov: VORTANE.TIP"});
  EXPECT_TRUE(rnd.asked.empty());
}

TEST(TipDrawer, DrawsFromZeroToNRedrawingRepeats) {
  TempDir dir;
  WriteCp1250(dir / "vortane.tip", kTips);
  ScriptedRandom rnd;
  // First call: 0 equals the initial previous draw, so it is drawn again; 1 is
  // the second [DAY section. Second call: 1 again is redrawn, 2 == n keeps.
  // Third call: 0 -> first section.
  rnd.answers = {0, 1, 1, 1, 2, 0};
  TipDrawer t(scripted(rnd));

  auto r = t.draw(dir / "vortane.tip", "[DAY");
  EXPECT_EQ(r.kind, TipDrawer::Result::Show);
  // The section ends at the line with "[" even when that line is text.
  EXPECT_TRUE(r.lines.empty());
  EXPECT_EQ(t.lastDraw(), 1);

  r = t.draw(dir / "vortane.tip", "[DAY");
  EXPECT_EQ(r.kind, TipDrawer::Result::Keep);
  EXPECT_EQ(t.lastDraw(), 2);

  r = t.draw(dir / "vortane.tip", "[DAY");
  EXPECT_EQ(r.kind, TipDrawer::Result::Show);
  EXPECT_EQ(r.lines, (std::vector<std::string>{"Prvý tip dňa.", "Druhý riadok."}));
  EXPECT_EQ(rnd.asked, (std::vector<int>{2, 2, 2, 2, 2, 2}));
}

TEST(TipDrawer, PreviousDrawIsSharedByAllKeys) {
  TempDir dir;
  WriteCp1250(dir / "vortane.tip", kTips);
  ScriptedRandom rnd;
  rnd.answers = {1, 1, 0};
  TipDrawer t(scripted(rnd));
  EXPECT_EQ(t.draw(dir / "vortane.tip", "[DAY").kind, TipDrawer::Result::Show);
  // [KARTA has one section: n = 1; the 1 drawn before forces a redraw.
  const auto r = t.draw(dir / "vortane.tip", "[KARTA");
  EXPECT_EQ(r.kind, TipDrawer::Result::Show);
  EXPECT_EQ(r.lines, std::vector<std::string>{"Tip karty."});
  EXPECT_EQ(rnd.asked, (std::vector<int>{2, 1, 1}));
}

TEST(TipDrawer, KeyWithoutSectionDrawsNothing) {
  TempDir dir;
  WriteCp1250(dir / "vortane.tip", kTips);
  ScriptedRandom rnd;
  TipDrawer t(scripted(rnd));
  EXPECT_EQ(t.draw(dir / "vortane.tip", "[TABDOCH").kind, TipDrawer::Result::Keep);
  EXPECT_TRUE(rnd.asked.empty());
  EXPECT_EQ(t.lastDraw(), 0);
}

TEST(TipDrawer, StuckRandomSourceDoesNotHang) {
  TipDrawer t([](int) { return 0; });
  const auto r = t.drawFromBytes(std::string_view("[DAY\r\nA\r\n[DAY\r\nB\r\n"), "[DAY");
  EXPECT_NE(t.lastDraw(), 0);
  EXPECT_EQ(r.kind, TipDrawer::Result::Show);
}

TEST(TipDrawer, ConsecutiveDrawsNeverRepeatWithSystemRandom) {
  TipDrawer t;
  int previous = t.lastDraw();
  int keeps = 0;
  for (int i = 0; i < 200; ++i) {
    const auto r = t.drawFromBytes(std::string_view("[DAY\nA\n[DAY\nB\n"), "[DAY");
    EXPECT_NE(t.lastDraw(), previous);
    EXPECT_GE(t.lastDraw(), 0);
    EXPECT_LE(t.lastDraw(), 2);
    if (r.kind == TipDrawer::Result::Keep) ++keeps;
    previous = t.lastDraw();
  }
  EXPECT_GT(keeps, 0);
}
