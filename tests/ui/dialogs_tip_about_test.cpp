// The tip window and the about box headless.

#include <QLabel>
#include <QPalette>
#include <QPlainTextEdit>
#include <deque>

#include <gtest/gtest.h>

#include "support/test_support.h"
#include "ui/about_dialog.h"
#include "ui/tip_window.h"

namespace {

using testing_support::TempDir;
using testing_support::WriteCp1250;

// Answers the drawer from a script; 0 when it runs out.
core::TipDrawer::RandomSource Scripted(std::deque<int>& draws) {
  return [&draws](int) {
    if (draws.empty()) return 0;
    const int r = draws.front();
    draws.pop_front();
    return r;
  };
}

TEST(TipWindowTest, ShowsTheDrawnSectionAndKeepsTheTextWhenNothingIsDrawn) {
  TempDir tmp;
  const auto file = tmp / "vortane.tip";
  WriteCp1250(file,
              "úvod\r\n[DAY1]\r\nStlačte F5 pre prenos.\r\nDruhý riadok\r\n[KARTA]\r\nKarta tip\r\n"
              "[DAY2]\r\nZálohujte prac.txt\r\nkoniec [sekcie\r\nuž nie\r\n");
  std::deque<int> draws{1, 0, 2, 2, 1};
  ui::TipWindow tip(Scripted(draws));
  EXPECT_EQ(tip.windowTitle(), "Tip");
  const QColor base = tip.findChild<QPlainTextEdit*>()->palette().color(QPalette::Base);
  EXPECT_GT(base.red(), 200);
  EXPECT_GT(base.green(), 200);
  EXPECT_LT(base.blue(), 200);  // yellow

  // r = 1 differs from the start value 0: the second "[DAY" section, up to the line with "[".
  tip.showTip(file, "[DAY");
  EXPECT_TRUE(tip.isVisible());
  EXPECT_EQ(tip.text(), QString::fromUtf8("Zálohujte prac.txt"));
  // r = 0: the first section.
  tip.showTip(file, "[DAY");
  EXPECT_EQ(tip.text(), QString::fromUtf8("Stlačte F5 pre prenos.\nDruhý riadok"));
  // r = 2 = n: the window keeps its text; the repeated 2 is drawn again, then 1.
  tip.showTip(file, "[DAY");
  EXPECT_EQ(tip.text(), QString::fromUtf8("Stlačte F5 pre prenos.\nDruhý riadok"));
  tip.showTip(file, "[DAY");
  EXPECT_EQ(tip.text(), QString::fromUtf8("Zálohujte prac.txt"));
  // A key without sections changes nothing.
  tip.showTip(file, "[TABDOCH");
  EXPECT_EQ(tip.text(), QString::fromUtf8("Zálohujte prac.txt"));
}

TEST(TipWindowTest, AnEmptyWindowAlwaysGetsATipWhenTheKeyHasOne) {
  TempDir tmp;
  const auto file = tmp / "vortane.tip";
  WriteCp1250(file, "[DAY]\r\nJediný tip\r\n");
  // With one section the first draw must differ from 0, so it is "no tip";
  // the empty window draws again (1 is refused as a repeat, then 0).
  std::deque<int> draws{1, 1, 0, 1};
  ui::TipWindow tip(Scripted(draws));
  tip.showTip(file, "[DAY");
  EXPECT_EQ(tip.text(), QString::fromUtf8("Jediný tip"));
  EXPECT_TRUE(draws.size() == 1u);
  // Now a "no tip" draw keeps the text without drawing again.
  tip.showTip(file, "[DAY");
  EXPECT_EQ(tip.text(), QString::fromUtf8("Jediný tip"));
  EXPECT_TRUE(draws.empty());
  EXPECT_EQ(tip.drawer().lastDraw(), 1);
}

TEST(TipWindowTest, MissingFileShowsItsLine) {
  TempDir tmp;
  ui::TipWindow tip;
  tip.showTip(tmp / "vortane.tip", "[DAY");
  EXPECT_EQ(tip.text(), QString::fromUtf8("Neexistuje súbor tipov: VORTANE.TIP"));
}

TEST(AboutDialogTest, ShowsThePartnerBlockAndOpensTheWebAddress) {
  core::PartnerInfo partner;
  partner.NAME = "Dodávateľ s.r.o.";
  partner.LOCATION = "Hlavná 1, Žilina";
  partner.TEL = "041/123 456";
  partner.EMAIL = "info@dodavatel.sk";
  partner.WWW = "www.dodavatel.sk";
  ui::AboutDialog about(partner);
  auto text = [&](const char* name) { return about.findChild<QLabel*>(name)->text(); };
  EXPECT_EQ(text("LBname"), QString::fromUtf8("Dodávateľ s.r.o."));
  EXPECT_EQ(text("LBlocation"), QString::fromUtf8("Hlavná 1, Žilina"));
  EXPECT_EQ(text("LBtel"), "041/123 456");
  EXPECT_EQ(text("LBemail"), "info@dodavatel.sk");
  EXPECT_TRUE(text("LBwww").contains("www.dodavatel.sk"));

  std::vector<QUrl> opened;
  about.setUrlOpener([&](const QUrl& url) { opened.push_back(url); });
  emit about.findChild<QLabel*>("LBwww")->linkActivated("www");
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].host(), "www.dodavatel.sk");

  // The defaults name nothing to open; markup in the text is shown, not interpreted.
  partner.WWW = "-----";
  about.setPartner(partner);
  EXPECT_FALSE(about.openWww());
  partner.WWW = "<b>x</b>";
  about.setPartner(partner);
  EXPECT_FALSE(text("LBwww").contains("<b>"));
  EXPECT_EQ(opened.size(), 1u);
}

}  // namespace
