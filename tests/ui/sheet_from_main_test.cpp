// The main window's "Karta": one sheet window for the whole run, opened with
// the current month and year chosen, and asked about unsaved corrections
// when the program closes.

// The engine declares a member named like Qt's "emit" keyword: it must be
// read before any Qt header.
#include "engine/terminal.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QComboBox>

#include "core/ini_file.h"
#include "core/path_text.h"
#include "support/test_support.h"
#include "ui/main_window.h"
#include "ui/sheet_window.h"
#include "ui_sim_line.h"

namespace {

TEST(SheetFromMainWindowTest, KartaOpensOneSheetWindowForTodaysMonth) {
  testing_support::TempDir tmp;
  const auto dir = tmp.path() / "inst";
  std::filesystem::create_directories(dir / "Log");
  std::filesystem::create_directories(tmp.path() / "exe");
  ASSERT_TRUE(core::WriteProfileString(dir / "vortane.ini", "GLOBAL", "LOGDIR", core::Utf8FromPath(dir / "Log") + "/"));
  ASSERT_TRUE(core::WriteProfileString(dir / "vortane.ini", "GLOBAL", "PortName", "sim"));
  testing_support::WriteBytes(tmp.path() / "marker", "1");
  ASSERT_TRUE(testing_support::MakeEmployees({{"Anna Horná", 101, ""}}).write(dir / "prac.txt"));
  testing_support::WriteBytes(dir / "Log" / "3_2025.txt", "3.3.2025 7:00:00\t101\t0\r\n3.3.2025 15:00:00\t101\t16\r\n");

  testing_support::ScriptedOperator op;
  auto line = std::make_shared<ui_test::SimLine>(timeclock::Model::Rfid, timeclock::ConnectionType::Rs232);
  ui::ScriptedFileDialogs files;
  ui::MainWindowOptions o;
  o.args = {core::Utf8FromPath(dir) + "/"};
  o.executableDir = tmp.path() / "exe";
  o.transportFactory = ui_test::FactoryFor(line);
  o.firstStartMarker = tmp.path() / "marker";
  o.startTimers = false;
  o.now = [] { return QDateTime(QDate(2025, 3, 20), QTime(9, 0)); };
  o.fileDialogs = &files;
  ui::TForm1 main(op, o);
  ASSERT_TRUE(main.FormCreate());

  auto* karta = main.findChild<QAction*>(QStringLiteral("act_dochkarta"));
  ASSERT_NE(karta, nullptr);
  ASSERT_TRUE(karta->isEnabled());
  karta->trigger();
  ui::Tfrmlist* sheet = main.sheetWindow();
  ASSERT_TRUE(sheet->isVisible());
  EXPECT_FALSE(sheet->isModal());
  EXPECT_EQ(sheet->month(), 3);
  EXPECT_EQ(sheet->year(), 2025);

  // Run, correct a day, and trigger "Karta" again: the same window, nothing lost.
  sheet->findChild<QComboBox*>(QStringLiteral("ComboBox1"))->setCurrentIndex(1);
  sheet->a_robotExecute();
  EXPECT_EQ(sheet->grid().cell(4, 3), "8:00");
  ASSERT_TRUE(sheet->model().setData(sheet->model().indexOf(4, 4), QStringLiteral("=8:00")));
  karta->trigger();
  EXPECT_EQ(main.sheetWindow(), sheet);
  EXPECT_EQ(sheet->grid().cell(4, 4), "=8:00");

  // Closing the program asks about the correction; No loses it on purpose.
  op.yesNoAnswers = {false};
  main.close();
  ASSERT_FALSE(op.questions.empty());
  EXPECT_EQ(op.questions.back(), "Vykonávali ste úpravy v tabulke\rZeláte si uložiť do súboru ?");
  EXPECT_FALSE(sheet->isVisible());
}

}  // namespace
