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

#include "main_window_installation.h"
#include "ui/main_window.h"
#include "ui/sheet_window.h"

namespace {

TEST(SheetFromMainWindowTest, KartaOpensOneSheetWindowForTodaysMonth) {
  ui_test::MainWindowInstallation inst("Anna Horná\t\t101\t\t0\t0\t100\t0\t\r\n", "3_2025.txt",
                                       "3.3.2025 7:00:00\t101\t0\r\n3.3.2025 15:00:00\t101\t16\r\n",
                                       QDateTime(QDate(2025, 3, 20), QTime(9, 0)));
  ui::ScriptedFileDialogs files;
  inst.options.fileDialogs = &files;
  auto w = inst.window();
  ui::TForm1& main = *w;
  testing_support::ScriptedOperator& op = inst.op;
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

  // Yes with a cancelled save dialog keeps the correction and the program.
  op.yesNoAnswers = {true};
  EXPECT_FALSE(main.close());
  EXPECT_EQ(op.questions.back(), "Vykonávali ste úpravy v tabulke\rZeláte si uložiť do súboru ?");
  EXPECT_TRUE(sheet->isVisible());
  EXPECT_EQ(sheet->grid().cell(4, 4), "=8:00");

  // Closing the program asks about the correction; No loses it on purpose.
  op.yesNoAnswers = {false};
  EXPECT_TRUE(main.close());
  ASSERT_FALSE(op.questions.empty());
  EXPECT_EQ(op.questions.back(), "Vykonávali ste úpravy v tabulke\rZeláte si uložiť do súboru ?");
  EXPECT_FALSE(sheet->isVisible());
}

}  // namespace
