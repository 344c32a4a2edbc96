// The presence board: rows, colours, the department list and its filter,
// and reading stav.bin when shown.

#include <gtest/gtest.h>
#include <QApplication>
#include <QComboBox>

#include "core/operator.h"
#include "device/presence.h"
#include "support/test_support.h"
#include "ui/presence_board.h"

namespace {

using testing_support::ScriptedOperator;
using testing_support::TempDir;

core::EmployeeList MakeList(const std::vector<std::tuple<std::string, int, std::string>>& people) {
  return testing_support::MakeEmployees(people);
}

const core::DateTime kMorning = core::DateTime::fromParts(2026, 12, 9, 7, 30);

TEST(PresenceBoard, RowsShowTheLastRecordWithTheirColours) {
  TempDir tmp;
  ScriptedOperator op;
  const auto list = MakeList({{"Anna", 1, "Výroba"}, {"Boris", 2, "Sklad"}, {"Cyril", 3, "Výroba"}});
  device::PresenceStatus presence;
  presence.InitPresence(list, kMorning);
  ui::Tfrmstav board(list, presence, core::ProgramDirectory{tmp.path()}, op);

  struct Case {
    int row;
    int code;  // -1: no record
    const char* state;
    bool yellow;
  };
  const Case cases[] = {
      {0, 0, "PR Normalny", true},      // arrival
      {1, 17, "OD 1 Sluzobne", false},  // departure of type 1
      {2, -1, "", false},               // nothing yet
  };
  for (const auto& c : cases) {
    if (c.code >= 0) presence.UpdatePresence(static_cast<std::uint16_t>(c.row + 1), kMorning, c.code);
  }
  board.refresh_stav();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.row);
    EXPECT_EQ(board.cellText(c.row, 3).toStdString(), c.state);
    EXPECT_EQ(board.rowIsYellow(c.row), c.yellow);
    EXPECT_EQ(board.cellText(c.row, 2).toStdString(), c.code < 0 ? "---" : "9.12.2026 7:30:00");
  }
  EXPECT_TRUE(board.statusText().startsWith(QStringLiteral("Aktualizované:")));

  // A later departure turns the yellow row white.
  presence.UpdatePresence(1, kMorning.addSeconds(3600), 16);
  board.refresh_stav();
  EXPECT_FALSE(board.rowIsYellow(0));
  EXPECT_EQ(board.cellText(0, 3), "OD Normalny");
}

TEST(PresenceBoard, DepartmentListAndFilter) {
  TempDir tmp;
  ScriptedOperator op;
  const auto list = MakeList({{"Anna", 1, "Výroba"},
                              {"Boris", 2, "X"},  // one character: not offered
                              {"Cyril", 3, "Sklad"},
                              {"Dana", 4, "Výroba"},
                              {"Emil", 5, "výroba"}});  // another text
  device::PresenceStatus presence;
  presence.InitPresence(list, kMorning);
  ui::Tfrmstav board(list, presence, core::ProgramDirectory{tmp.path()}, op);
  board.FormShow();
  auto* combo = board.findChild<QComboBox*>(QStringLiteral("cmbOddel"));
  ASSERT_NE(combo, nullptr);
  QStringList items;
  for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
  EXPECT_EQ(items, (QStringList{"* Všetky", "Výroba", "Sklad", "výroba"}));
  EXPECT_EQ(combo->currentIndex(), 0);

  combo->setCurrentIndex(1);  // "Výroba"
  const bool hiddenForVyroba[] = {false, true, true, false, true};
  for (int r = 0; r < 5; ++r) EXPECT_EQ(board.rowHidden(r), hiddenForVyroba[r]) << r;
  combo->setCurrentIndex(0);
  for (int r = 0; r < 5; ++r) EXPECT_FALSE(board.rowHidden(r)) << r;
}

TEST(PresenceBoard, ShowingReadsStavBinAndTwoEmployeesOfOneNameShareTheLaterState) {
  TempDir tmp;
  ScriptedOperator op;
  const auto list = MakeList({{"Anna", 1, ""}, {"Anna", 2, ""}, {"Cyril", 3, ""}});
  device::PresenceStatus written;
  written.InitPresence(list, kMorning);
  written.UpdatePresence(1, kMorning, 0);
  written.UpdatePresence(2, kMorning, 16);
  ASSERT_TRUE(written.SavePresence(tmp.path() / "stav.bin"));
  EXPECT_EQ(testing_support::ReadBytes(tmp.path() / "stav.bin").size(), 72u);

  device::PresenceStatus presence;
  presence.InitPresence(list, kMorning);
  ui::Tfrmstav board(list, presence, core::ProgramDirectory{tmp.path()}, op);
  board.FormShow();
  // Both rows named "Anna" are filled from both employees in list order:
  // the second one, who left, wins.
  EXPECT_EQ(board.cellText(0, 3), "OD Normalny");
  EXPECT_EQ(board.cellText(1, 3), "OD Normalny");
  EXPECT_EQ(board.cellText(2, 2), "---");

  board.ToolButton2Click();
  ASSERT_EQ(op.messages.size(), 1u);
  EXPECT_NE(op.messages[0].find("<stav.bin>"), std::string::npos);
}

}  // namespace
