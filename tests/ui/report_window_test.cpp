// The combined report window on a small installation: showing, GO and F9,
// stopping, edits with their row totals and undo, the code menu, the cell
// field, the department filter, find, the files written on save and close,
// opening, export, printing, hints and the accessibility walk.

#include <gtest/gtest.h>
#include <QFontMetrics>
#include <fstream>
#include <QStyle>
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "accessibility_walk.h"
#include "core/grid_text_file.h"
#include "report_test_installation.h"
#include "robot/report_files.h"
#include "ui/grid_view.h"
#include "ui/progress_window.h"
#include "ui/report_print_setup.h"
#include "ui/tip_window.h"

namespace {

using report_ui_test::Installation;
namespace rcol = robot::rcol;

constexpr int kDay2 = robot::kReportFirstDayColumn + 1;  // Monday 2 November
constexpr int kDay4 = robot::kReportFirstDayColumn + 3;  // Wednesday 4 November

template <typename T>
T* Child(QWidget* w, const char* name) {
  T* found = w->findChild<T*>(QLatin1String(name));
  EXPECT_NE(found, nullptr) << name;
  return found;
}

QComboBox* Departments(ui::Tfrmzdrep& w) { return Child<QComboBox>(&w, "CMBoddel"); }
bool Enabled(ui::Tfrmzdrep& w, const char* button) { return Child<QToolButton>(&w, button)->isEnabled(); }

class ReportWindowTest : public ::testing::Test {
 protected:
  Installation inst;
};

TEST_F(ReportWindowTest, ShowingBuildsTheTableAndTheDepartmentList) {
  auto w = inst.window();
  EXPECT_EQ(w->windowTitle().toStdString(), "Vykaz " + core::Utf8FromPath(inst.logFile()));
  EXPECT_FALSE(Enabled(*w, "BTsave"));
  EXPECT_TRUE(Enabled(*w, "BTmake"));
  EXPECT_EQ(w->report().dataRows(), 4);
  EXPECT_EQ(w->model().headerData(0, Qt::Vertical).toString(), QStringLiteral("Anna Horná"));
  // One entry per department, in list order, the one-letter "X" left out.
  QStringList items;
  for (int i = 0; i < Departments(*w)->count(); ++i) items << Departments(*w)->itemText(i);
  EXPECT_EQ(items, (QStringList{QStringLiteral("* Všetky"), QStringLiteral("Dielňa"), QStringLiteral("Sklad")}));
  EXPECT_EQ(w->statusPanelText(2), QStringLiteral("PD=21"));
  EXPECT_EQ(w->statusPanelText(3), QStringLiteral("Sviatky=0"));
  EXPECT_TRUE(inst.op.messages.empty());
  EXPECT_TRUE(testing_support::AccessibilityProblems(w.get()).empty())
      << testing_support::AccessibilityProblems(w.get()).front();
}

TEST_F(ReportWindowTest, GoFillsEveryCellAsTheComputationDoes) {
  auto w = inst.window();
  w->BTmakeClick();
  const robot::CombinedReport want = inst.expected();
  ASSERT_EQ(w->report().grid.rowCount(), want.grid.rowCount());
  for (int r = 0; r < want.grid.rowCount(); ++r) {
    for (int c = 0; c < want.grid.columnCount(); ++c) {
      EXPECT_EQ(w->report().grid.cell(c, r), want.grid.cell(c, r)) << c << "," << r;
      EXPECT_EQ(w->report().grid.comment(c, r), want.grid.comment(c, r)) << c << "," << r;
    }
  }
  EXPECT_EQ(w->report().grid.cell(rcol::AtWork, 2), "4:00");
  EXPECT_TRUE(Enabled(*w, "BTsave"));
  EXPECT_EQ(w->statusPanelText(1), QStringLiteral("Riadkov:4"));
  EXPECT_FALSE(w->progressWindow()->isVisible());
  EXPECT_EQ(w->progressWindow()->text(), QStringLiteral("Výpočet riadku:4"));
  // The robot's warning on Wednesday is marked on its cell and in its hint.
  const QModelIndex warned = w->model().indexOf(kDay4, 1);
  EXPECT_TRUE(w->model().data(warned, ui::GridModel::HasCommentRole).toBool());
  EXPECT_TRUE(w->model().data(warned, Qt::ToolTipRole).toString().contains(QStringLiteral("POZOR")));
  w->clearRobotComments();
  EXPECT_FALSE(w->model().data(warned, ui::GridModel::HasCommentRole).toBool());
}

TEST_F(ReportWindowTest, CancelInTheProgressWindowStopsBeforeTheNextRow) {
  auto w = inst.window();
  QTimer::singleShot(0, w.get(), [&] { QTest::keyClick(w->progressWindow(), Qt::Key_Escape); });
  w->BTmakeClick();
  EXPECT_FALSE(w->computing());
  for (int r = 1; r <= 4; ++r) EXPECT_EQ(w->report().grid.cell(kDay2, r), "") << r;
  // Stopped or not, the table was taken over by the computation.
  EXPECT_TRUE(Enabled(*w, "BTsave"));
}

TEST_F(ReportWindowTest, ComputingUnderAFilterComputesEveryRowAndKeepsTheFilter) {
  auto w = inst.window();
  w->selectDepartment(QStringLiteral("Sklad"));
  w->BTmakeClick();
  const robot::CombinedReport want = inst.expected();
  for (int r = 1; r <= 4; ++r) EXPECT_EQ(w->report().grid.cell(kDay2, r), want.grid.cell(kDay2, r)) << r;
  EXPECT_EQ(w->report().grid.cell(rcol::AtWork, 2), "4:00");  // Boris, Sklad
  EXPECT_TRUE(w->view()->isRowHidden(0));
  EXPECT_FALSE(w->view()->isRowHidden(1));
  EXPECT_TRUE(w->view()->isRowHidden(2));
  EXPECT_FALSE(w->view()->isRowHidden(3));
}

TEST_F(ReportWindowTest, AnEditRecalculatesItsRowAndUndoRestoresBoth) {
  auto w = inst.window();
  w->BTmakeClick();
  const std::string before = w->report().grid.cell(kDay2, 2);
  ASSERT_TRUE(w->model().setData(w->model().indexOf(kDay2, 2), QStringLiteral("=8:00")));
  EXPECT_EQ(w->report().grid.cell(rcol::AtWork, 2), "8:00");
  w->undoStack().undo();
  EXPECT_EQ(w->report().grid.cell(kDay2, 2), before);
  EXPECT_EQ(w->report().grid.cell(rcol::AtWork, 2), "4:00");
  w->undoStack().redo();
  EXPECT_EQ(w->report().grid.cell(rcol::AtWork, 2), "8:00");
  // Columns 0 to 2 are not edited in place.
  EXPECT_FALSE(w->model().isEditableCell(rcol::Department, 2));
  w->BTmakeClick();
  EXPECT_FALSE(w->undoStack().canUndo());
}

TEST_F(ReportWindowTest, TheCellFieldFollowsTheSelectionAndTypingIsOneUndoStep) {
  auto w = inst.window();
  auto* edit2 = Child<QLineEdit>(w.get(), "Edit2");
  w->view()->selectCell(rcol::AtWork, 1);
  EXPECT_FALSE(edit2->isEnabled());
  EXPECT_FALSE(w->codeMenuAttached());
  w->view()->selectCell(robot::kReportFirstDayColumn, 1);  // day 1 is a day like any other
  EXPECT_TRUE(edit2->isEnabled());
  EXPECT_TRUE(w->codeMenuAttached());
  w->view()->selectCell(kDay2, 2);
  EXPECT_EQ(w->statusPanelText(0), QStringLiteral("Boris Dolný"));
  EXPECT_TRUE(w->noteText().startsWith(QStringLiteral("Boris Dolný\n2-")));
  edit2->setFocus();
  QTest::keyClicks(edit2, QStringLiteral("D 4:00"));
  EXPECT_EQ(w->report().grid.cell(kDay2, 2), "D 4:00");
  EXPECT_EQ(w->report().grid.cell(rcol::Vacation, 2), "4:00");
  EXPECT_FALSE(Enabled(*w, "BTsave"));
  w->undoStack().undo();
  EXPECT_EQ(w->report().grid.cell(kDay2, 2), "");
  EXPECT_FALSE(w->undoStack().canUndo());
}

TEST_F(ReportWindowTest, TextSetInTheCellFieldWithoutTypingReachesTheCell) {
  // Assistive technology and input methods set the text without key events.
  auto w = inst.window();
  auto* edit2 = Child<QLineEdit>(w.get(), "Edit2");
  w->view()->selectCell(kDay2, 2);
  edit2->setText(QStringLiteral("PN"));
  EXPECT_EQ(w->report().grid.cell(kDay2, 2), "PN");
  EXPECT_FALSE(w->report().grid.cell(rcol::Sick, 2).empty());
  // Moving to another cell fills the field with that cell's text and changes nothing.
  w->view()->selectCell(kDay2, 1);
  EXPECT_EQ(w->report().grid.cell(kDay2, 2), "PN");
  EXPECT_EQ(edit2->text(), QString::fromStdString(w->report().grid.cell(kDay2, 1)));
  EXPECT_EQ(w->undoStack().count(), 1);
}

struct CodeCase {
  int item;
  const char* text;
  int totalColumn;  // a total the item changes, or -1
  const char* total;
};

class ReportCodeMenuTest : public ReportWindowTest, public ::testing::WithParamInterface<CodeCase> {};

TEST_P(ReportCodeMenuTest, ItemWritesItsTextAndTheRowIsRecalculated) {
  const CodeCase& c = GetParam();
  auto w = inst.window();
  w->view()->selectCell(kDay2, 1);  // Anna: norm 8:30, breaks 0:30
  ASSERT_TRUE(w->codeMenuAttached());
  w->model().setData(w->model().indexOf(kDay2, 1), QStringLiteral("8:00"));
  w->writeCodeItem(c.item);
  EXPECT_EQ(w->report().grid.cell(kDay2, 1), c.text);
  if (c.totalColumn >= 0) {
    EXPECT_EQ(w->report().grid.cell(c.totalColumn, 1), c.total);
  }
  w->undoStack().undo();
  EXPECT_EQ(w->report().grid.cell(kDay2, 1), "8:00");
}

INSTANTIATE_TEST_SUITE_P(
    Items, ReportCodeMenuTest,
    ::testing::Values(CodeCase{0, "=9:00", rcol::AtWork, "9:00"}, CodeCase{1, "SC=9:00", rcol::Business, "9:00"},
                      CodeCase{2, "D=8:30", rcol::Vacation, "8:30"}, CodeCase{3, "PN=8:30", rcol::Sick, "8:30"},
                      CodeCase{4, "LK=8:30", rcol::Doctor, "8:30"}, CodeCase{5, "O=8:30", rcol::Obstacles, "8:30"},
                      CodeCase{6, "NV=8:30", -1, ""}, CodeCase{7, "V", rcol::AtWork, ""},
                      CodeCase{8, "A", rcol::AtWork, ""}, CodeCase{9, "Z", -1, ""},
                      CodeCase{10, "ST=8:30", rcol::Obstacles, "8:30"}, CodeCase{11, "SK", -1, ""},
                      CodeCase{12, "", rcol::AtWork, ""}));

TEST_F(ReportWindowTest, PasteIsClippedAtTheEdgeAndLeavesColumnsZeroToTwo) {
  auto w = inst.window();
  QApplication::clipboard()->setText(QStringLiteral("a\tb\tc\r\nd\te\tf\r\n"));
  w->view()->selectCell(robot::kReportColumns - 2, 4);  // two columns from the edge, last row
  w->view()->pasteClipboard();
  EXPECT_EQ(w->report().grid.cell(robot::kReportColumns - 2, 4), "a");
  EXPECT_EQ(w->report().grid.cell(robot::kReportColumns - 1, 4), "b");
  EXPECT_EQ(w->report().grid.rowCount(), 5);
  w->view()->selectCell(rcol::PersonalNumber, 1);
  w->view()->pasteClipboard();
  EXPECT_EQ(w->report().grid.cell(rcol::PersonalNumber, 1), "7");
  EXPECT_EQ(w->report().grid.cell(rcol::Department, 1), "Dielňa");
  // Column 3 took "c", and the row's recalculation wrote its total over it.
  EXPECT_EQ(w->report().grid.cell(rcol::AtWork, 1), "");
  EXPECT_TRUE(w->undoStack().canUndo());
  EXPECT_EQ(w->report().grid.cell(rcol::PersonalNumber, 2), "8");
}

struct FindCase {
  int startCol, startRow;  // 0, 0: nothing selected
  const char* text;
  bool caseSensitive;
  bool found;
  int col, row;
};

class ReportFindTest : public ReportWindowTest, public ::testing::WithParamInterface<FindCase> {};

TEST_P(ReportFindTest, SearchesForwardFromTheCellAfterTheSelection) {
  const FindCase& c = GetParam();
  auto w = inst.window();
  w->view()->clearSelection();
  w->view()->setCurrentIndex({});
  if (c.startRow > 0) w->view()->selectCell(c.startCol, c.startRow);
  EXPECT_EQ(w->findNext(QString::fromUtf8(c.text), c.caseSensitive), c.found);
  if (c.found) {
    EXPECT_EQ(w->selectedCol(), c.col);
    EXPECT_EQ(w->selectedRow(), c.row);
  } else if (c.startRow > 0) {
    EXPECT_EQ(w->selectedCol(), c.startCol);
    EXPECT_EQ(w->selectedRow(), c.startRow);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, ReportFindTest,
                         ::testing::Values(FindCase{0, 0, "sklad", false, true, rcol::Department, 2},
                                           FindCase{0, 0, "sklad", true, false, 0, 0},
                                           FindCase{rcol::Department, 2, "Sklad", true, true, rcol::Department, 4},
                                           // Past the last row the search does not wrap around.
                                           FindCase{rcol::Department, 4, "Sklad", true, false, 0, 0},
                                           FindCase{rcol::PersonalNumber, 2, "dana", false, true, rcol::Name, 4}));

TEST_F(ReportWindowTest, SaveUnderAFilterSaysSoAndWritesEveryRow) {
  auto w = inst.window();
  w->BTmakeClick();
  w->selectDepartment(QStringLiteral("Sklad"));
  inst.files.saveAnswers.push_back(inst.choice("moj"));
  w->A_FileSaveExecute();
  ASSERT_EQ(inst.op.messages.size(), 1u);
  EXPECT_EQ(inst.op.messages[0].rfind("Nie je možné uložit výkaz, ak máte vybrané oddelenie\r", 0), 0u);
  EXPECT_EQ(Departments(*w)->currentIndex(), 0);
  EXPECT_FALSE(w->view()->isRowHidden(0));
  ASSERT_EQ(inst.files.saveRequests.size(), 1u);
  EXPECT_EQ(inst.files.saveRequests[0].filter, QStringLiteral("Združený report (*.zdr)|*.ZDR"));
  core::Grid saved;
  ASSERT_TRUE(robot::ReadReportFile(inst.tmp.path() / "moj.zdr", saved, nullptr));
  EXPECT_EQ(saved.rowCount(), 5);
  EXPECT_EQ(saved.cell(rcol::AtWork, 2), "4:00");
}

TEST_F(ReportWindowTest, ClosingWritesThePeriodFileWhichTheNextShowingOffers) {
  {
    auto w = inst.window();
    w->BTmakeClick();
    w->model().setData(w->model().indexOf(kDay2, 2), QStringLiteral("=6:00"));
    w->selectDepartment(QStringLiteral("Dielňa"));
    EXPECT_TRUE(w->close());
    EXPECT_TRUE(inst.op.questions.empty());
  }
  const auto period = inst.dir.dir / "112026.zdr";
  ASSERT_TRUE(std::filesystem::exists(period));
  inst.op.yesNoAnswers.push_back(true);
  auto again = inst.window(true);
  ASSERT_EQ(inst.op.questions.size(), 1u);
  EXPECT_EQ(inst.op.questions[0], robot::ReopenQuestion(11, 2026));
  EXPECT_EQ(again->report().grid.cell(kDay2, 2), "=6:00");
  EXPECT_EQ(again->report().grid.cell(rcol::AtWork, 2), "6:00");
  // With the reopen choice a computation asks first; No changes nothing.
  inst.op.yesNoAnswers.push_back(false);
  again->BTmakeClick();
  EXPECT_EQ(inst.op.questions.back(), std::string(robot::kReportOverwriteQuestion));
  EXPECT_EQ(again->report().grid.cell(kDay2, 2), "=6:00");
  EXPECT_FALSE(Enabled(*again, "BTsave"));
}

TEST_F(ReportWindowTest, ReopeningWithoutOrWithABrokenPeriodFileKeepsTheNewTable) {
  auto fresh = inst.window(true);
  ASSERT_EQ(inst.op.messages.size(), 1u);
  EXPECT_EQ(inst.op.messages[0], std::string(robot::kPeriodNotComputed));
  fresh.reset();
  // A period file that is not a report at all.
  testing_support::WriteBytes(inst.dir.dir / "112026.zdr", std::string("\0\x01binary", 8));
  inst.op.messages.clear();
  inst.op.yesNoAnswers.push_back(true);
  auto w = inst.window(true);
  ASSERT_EQ(inst.op.messages.size(), 1u);
  EXPECT_EQ(inst.op.messages[0], std::string(robot::kPeriodFileUnreadable));
  EXPECT_EQ(w->report().grid.cell(rcol::Name, 4), "Dana Veľká");
  EXPECT_EQ(w->report().grid.cell(rcol::Norm, 1), "178:30");
}

TEST_F(ReportWindowTest, APeriodFileThatCannotBeWrittenKeepsTheWindowUnlessTheClerkAgrees) {
  // A folder in the file's place: the write fails whatever the permissions.
  std::filesystem::create_directories(inst.dir.dir / "112026.zdr");
  auto w = inst.window();
  ASSERT_TRUE(w->model().setData(w->model().indexOf(kDay2, 1), QStringLiteral("=1:00")));
  inst.op.yesNoAnswers.push_back(false);
  EXPECT_FALSE(w->close());
  EXPECT_TRUE(w->isVisible());
  ASSERT_EQ(inst.op.questions.size(), 1u);
  EXPECT_NE(inst.op.questions[0].find("Zatvoriť výkaz aj tak?"), std::string::npos);
  inst.op.yesNoAnswers.push_back(true);
  EXPECT_TRUE(w->close());
}

TEST_F(ReportWindowTest, OpenDisablesComputingAndABrokenFileChangesNothing) {
  auto w = inst.window();
  testing_support::WriteBytes(inst.tmp.path() / "kus.zdr", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
  inst.files.openAnswers.push_back(inst.choice("kus.zdr"));
  w->BTopenClick();
  EXPECT_EQ(inst.op.messages.size(), 1u);
  EXPECT_TRUE(Enabled(*w, "BTmake"));
  EXPECT_EQ(w->report().grid.cell(rcol::Name, 1), "Anna Horná");

  w->BTmakeClick();
  ASSERT_TRUE(robot::WriteReportFile(inst.tmp.path() / "iny.zdr", w->report().grid));
  inst.files.openAnswers.push_back(inst.choice("iny.zdr"));
  w->BTopenClick();
  EXPECT_FALSE(Enabled(*w, "BTmake"));
  EXPECT_FALSE(Enabled(*w, "BTsave"));
  EXPECT_FALSE(w->findChild<QAction*>(QStringLiteral("a_f9"))->isEnabled());
  EXPECT_EQ(w->windowTitle().toStdString(), "Report" + core::Utf8FromPath(inst.tmp.path() / "iny.zdr"));
  // A report read from a file has no registrations behind its hints yet.
  EXPECT_EQ(w->model().data(w->model().indexOf(kDay2, 1), Qt::ToolTipRole).toString(), QStringLiteral("Anna Horná\n"));
}

TEST_F(ReportWindowTest, ExportWritesAWorkbookWithAnHoursSheetAndCsvByItsExtension) {
  auto w = inst.window();
  w->BTmakeClick();
  inst.files.saveAnswers.push_back(inst.choice("vykaz.csv"));
  w->ExportTabulky();
  const std::string csv = testing_support::ReadBytes(inst.tmp.path() / "vykaz.csv");
  EXPECT_NE(csv.find("Boris Dolný;8;Sklad;4:00;"), std::string::npos);
  inst.files.saveAnswers.push_back(inst.choice("vykaz", 1));
  w->ExportTabulky();
  const auto book = inst.tmp.path() / "vykaz.xlsx";
  ASSERT_TRUE(std::filesystem::exists(book));
  EXPECT_TRUE(inst.op.messages.empty());
  const std::string cmd = "unzip -p '" + core::Utf8FromPath(book) + "' xl/worksheets/sheet2.xml xl/workbook.xml";
  std::string xml;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[4096];
    for (std::size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) xml.append(buf, n);
    pclose(p);
  }
  if (xml.empty()) GTEST_SKIP() << "unzip is not available";
  EXPECT_NE(xml.find("name=\"Hodiny\""), std::string::npos);
  EXPECT_NE(xml.find("<v>4</v>"), std::string::npos);  // Boris's 4:00 as hours
  EXPECT_NE(xml.find("<c r=\"D3\" s=\""), std::string::npos);
}

TEST_F(ReportWindowTest, PrintSetupChoosesPdfAndHiddenRowsAreLeftOut) {
  auto w = inst.window();
  w->BTmakeClick();
  w->selectDepartment(QStringLiteral("Sklad"));
  print::ReportPrintOptions offered;
  w->setPrintSetupRunner([&](const print::ReportPrintOptions& o) {
    offered = o;
    print::ReportPrintOptions chosen = o;
    chosen.headerText = QStringLiteral("Mzdy november");
    return std::make_optional(std::make_pair(static_cast<int>(ui::Tfrmprnsetup::Choice::Pdf), chosen));
  });
  inst.files.saveAnswers.push_back(inst.choice("vykaz.pdf"));
  w->BTprintClick();
  EXPECT_EQ(offered.headerText, QStringLiteral("Výkaz dochádzky 11/2026"));
  EXPECT_EQ(w->printOptions().headerText, QStringLiteral("Mzdy november"));
  const std::vector<bool> hidden = w->hiddenRows();
  EXPECT_EQ(hidden, (std::vector<bool>{false, true, false, true, false}));
  const std::string pdf = testing_support::ReadBytes(inst.tmp.path() / "vykaz.pdf");
  EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
  EXPECT_TRUE(inst.op.messages.empty());
}

TEST_F(ReportWindowTest, HintsNameTheRowAndTheDaysRegistrations) {
  auto w = inst.window();
  w->BTmakeClick();
  const QString tip = w->model().data(w->model().indexOf(kDay2, 1), Qt::ToolTipRole).toString();
  EXPECT_TRUE(tip.startsWith(QStringLiteral("Anna Horná\nPR ")));
  EXPECT_TRUE(tip.contains(QStringLiteral("07:00")));
  EXPECT_EQ(w->model().data(w->model().indexOf(rcol::AtWork, 1), Qt::ToolTipRole).toString(),
            QStringLiteral("Anna Horná"));
  EXPECT_EQ(w->model().headerData(rcol::Overtime - 1, Qt::Horizontal, Qt::ToolTipRole).toString(),
            QStringLiteral("Nadčasy\n= Mesačná norma\n-Čiste\n-Dovolenky\n-PN\n-Lekár\n-Prekážky"));
  const struct {
    int x;
    const char* hint;
  } bar[] = {{0, "Vybrané meno"},
             {149, "Vybrané meno"},
             {150, "Počet pracovníkov"},
             {249, "Počet pracovníkov"},
             {250, "Počet pracovných dní"},
             {299, "Počet pracovných dní"},
             {300, ""}};
  for (const auto& b : bar) EXPECT_EQ(w->statusBarHint(b.x), QString::fromUtf8(b.hint)) << b.x;
}

TEST_F(ReportWindowTest, NameMenuOpensTheEmployeesSheetAndHelpOpensItsTopic) {
  auto w = inst.window();
  w->view()->selectCell(rcol::AtWork, 4);
  w->showEmployeeSheet();
  ASSERT_EQ(inst.sheetsShown.size(), 1u);
  EXPECT_EQ(inst.sheetsShown[0], std::make_tuple(std::string("Dana Veľká"), 11, 2026));
  w->findChild<QAction*>(QStringLiteral("a_help"))->trigger();
  ASSERT_EQ(inst.opened.size(), 1u);
  EXPECT_EQ(inst.opened[0].fragment(), QStringLiteral("vykaz"));
}

TEST_F(ReportWindowTest, PrintSetupIsReadableAndKeepsTheChoices) {
  print::ReportPrintOptions o;
  o.headerText = QStringLiteral("Hlavička");
  o.headerAlignment = print::HeaderAlignment::Right;
  o.pageNumbers = false;
  o.orientation = QPageLayout::Portrait;
  o.fitToWidth = true;
  ui::Tfrmprnsetup setup(o);
  setup.show();
  QApplication::processEvents();
  const auto problems = testing_support::AccessibilityProblems(&setup);
  EXPECT_TRUE(problems.empty()) << problems.front();
  const print::ReportPrintOptions back = setup.options();
  EXPECT_EQ(back.headerText, o.headerText);
  EXPECT_EQ(back.headerAlignment, o.headerAlignment);
  EXPECT_EQ(back.pageNumbers, o.pageNumbers);
  EXPECT_EQ(back.orientation, o.orientation);
  EXPECT_EQ(back.fitToWidth, o.fitToWidth);
  Child<QPushButton>(&setup, "BTpreview")->click();
  EXPECT_EQ(setup.choice(), ui::Tfrmprnsetup::Choice::Preview);
}


// ---------------------------------------------------------------------------
// A department filter hides rows; block commands act on the rows the clerk sees.

// Fills the day-2 cell of every row with a mark of its row, so that any
// command reaching a hidden row shows.
void MarkDay2(ui::Tfrmzdrep& w) {
  for (int r = 1; r <= 4; ++r)
    ASSERT_TRUE(w.model().setData(w.model().indexOf(kDay2, r), QStringLiteral("=%1:00").arg(r)));
}

struct BlockCase {
  const char* what;
  bool wholeTable;  // Ctrl+A, otherwise a Shift+click block from row 2 to row 4
  Qt::Key key;
  Qt::KeyboardModifiers modifiers;
};

void PrintTo(const BlockCase& c, std::ostream* os) { *os << c.what; }

class ReportFilteredBlockTest : public ReportWindowTest, public ::testing::WithParamInterface<BlockCase> {};

TEST_P(ReportFilteredBlockTest, EmptiesVisibleRowsOnly) {
  const BlockCase& c = GetParam();
  auto w = inst.window();
  MarkDay2(*w);
  w->selectDepartment(QStringLiteral("Sklad"));  // Boris (row 2) and Dana (row 4)
  ui::GridView* grid = w->view();
  grid->setFocus();
  if (c.wholeTable) {
    grid->selectCell(kDay2, 2);
    QTest::keyClick(grid, Qt::Key_A, Qt::ControlModifier);
  } else {
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(w->model().indexOf(kDay2, 2)).center());
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                      grid->visualRect(w->model().indexOf(kDay2 + 1, 4)).center());
  }
  QTest::keyClick(grid, c.key, c.modifiers);
  EXPECT_EQ(w->report().grid.cell(kDay2, 1), "=1:00") << c.what;
  EXPECT_EQ(w->report().grid.cell(kDay2, 3), "=3:00") << c.what;
  EXPECT_EQ(w->report().grid.cell(kDay2, 2), "") << c.what;
  EXPECT_EQ(w->report().grid.cell(kDay2, 4), "") << c.what;
  EXPECT_EQ(w->report().grid.cell(rcol::AtWork, 1), "1:00") << c.what;
}

INSTANTIATE_TEST_SUITE_P(Commands, ReportFilteredBlockTest,
                         ::testing::Values(BlockCase{"Ctrl+A, Del", true, Qt::Key_Delete, Qt::NoModifier},
                                           BlockCase{"Ctrl+A, Ctrl+X", true, Qt::Key_X, Qt::ControlModifier},
                                           BlockCase{"Shift+click, Del", false, Qt::Key_Delete, Qt::NoModifier},
                                           BlockCase{"Shift+click, Ctrl+X", false, Qt::Key_X, Qt::ControlModifier}));

TEST_F(ReportWindowTest, VymazatFromTheCodeMenuOverAFilteredBlockLeavesHiddenRows) {
  auto w = inst.window();
  MarkDay2(*w);
  w->selectDepartment(QStringLiteral("Sklad"));
  w->view()->selectCell(kDay2, 2);
  w->view()->selectEverything();
  w->findChild<QAction*>(QStringLiteral("pt_item12"))->trigger();
  EXPECT_EQ(w->report().grid.cell(kDay2, 1), "=1:00");
  EXPECT_EQ(w->report().grid.cell(kDay2, 3), "=3:00");
  EXPECT_EQ(w->report().grid.cell(kDay2, 2), "");
  EXPECT_EQ(w->report().grid.cell(kDay2, 4), "");
}

TEST_F(ReportWindowTest, PasteUnderAFilterGoesIntoTheVisibleRowsFromTheCurrentOne) {
  auto w = inst.window();
  MarkDay2(*w);
  w->selectDepartment(QStringLiteral("Sklad"));
  QApplication::clipboard()->setText(QStringLiteral("D\r\nPN\r\n"));
  w->view()->selectCell(kDay2, 2);
  w->view()->setFocus();
  QTest::keyClick(w->view(), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(w->report().grid.cell(kDay2, 2), "D");
  EXPECT_EQ(w->report().grid.cell(kDay2, 3), "=3:00");
  EXPECT_EQ(w->report().grid.cell(kDay2, 4), "PN");
  // The last visible row is the edge: a third line has nowhere to go.
  QApplication::clipboard()->setText(QStringLiteral("A\r\nA\r\nA\r\n"));
  w->view()->selectCell(kDay2, 4);
  w->findChild<QAction*>(QStringLiteral("a_paste"))->trigger();
  EXPECT_EQ(w->report().grid.cell(kDay2, 4), "A");
  EXPECT_EQ(w->report().grid.cell(kDay2, 3), "=3:00");
  EXPECT_EQ(w->report().grid.cell(kDay2, 1), "=1:00");
}

TEST_F(ReportWindowTest, CopyUnderAFilterTakesTheVisibleRowsOnly) {
  auto w = inst.window();
  MarkDay2(*w);
  w->selectDepartment(QStringLiteral("Sklad"));
  w->view()->setFocus();
  w->view()->selectCell(kDay2, 2);
  QTest::keyClick(w->view(), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(w->view(), Qt::Key_C, Qt::ControlModifier);
  const QString all = QApplication::clipboard()->text();
  EXPECT_TRUE(all.contains(QStringLiteral("Boris Dolný"))) << all.toStdString();
  EXPECT_TRUE(all.contains(QStringLiteral("Dana Veľká")));
  EXPECT_FALSE(all.contains(QStringLiteral("Anna Horná")));
  EXPECT_FALSE(all.contains(QStringLiteral("Cyril Malý")));
  EXPECT_EQ(all.count(QStringLiteral("\r\n")), 3);  // header row and two employees
  // A block from Boris to Dana.
  QTest::mouseClick(w->view()->viewport(), Qt::LeftButton, {},
                    w->view()->visualRect(w->model().indexOf(kDay2, 2)).center());
  QTest::mouseClick(w->view()->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                    w->view()->visualRect(w->model().indexOf(kDay2, 4)).center());
  w->findChild<QAction*>(QStringLiteral("a_clip"))->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("=2:00\r\n=4:00\r\n"));
}


// ---------------------------------------------------------------------------
// A report read with "Otvoriť": its changes, its month.

constexpr std::string_view kSaveOpenedQuestion = "Vykonávali ste úpravy v tabulke\rZeláte si uložiť do súboru ?";

// A table of another period as the window would have built it.
core::Grid TableOf(Installation& inst, int month, int year) {
  robot::CombinedReport r;
  r.month = month;
  r.year = year;
  r.monthLogFile = inst.dir.dir / "Log" / (std::to_string(month) + "_" + std::to_string(year) + ".txt");
  testing_support::ScriptedOperator quiet;
  robot::BuildReportTable(r, robot::ReportEnvironment{inst.settings, inst.employees, inst.messages, quiet,
                                                      inst.dir.holidayFile()});
  return r.grid;
}

struct OpenedChangeCase {
  const char* what;
  bool openAnother;  // otherwise the window closes
  bool answer;       // to the save question
};

void PrintTo(const OpenedChangeCase& c, std::ostream* os) { *os << c.what; }

class ReportOpenedChangesTest : public ReportWindowTest, public ::testing::WithParamInterface<OpenedChangeCase> {};

TEST_P(ReportOpenedChangesTest, AreOfferedBeforeTheyAreLost) {
  const OpenedChangeCase& c = GetParam();
  auto w = inst.window();
  w->BTmakeClick();
  const std::string computed = w->report().grid.cell(kDay2, 2);
  ASSERT_TRUE(robot::WriteReportFile(inst.tmp.path() / "prvy.zdr", w->report().grid));
  ASSERT_TRUE(robot::WriteReportFile(inst.tmp.path() / "druhy.zdr", w->report().grid));
  inst.files.openAnswers.push_back(inst.choice("prvy.zdr"));
  w->BTopenClick();
  EXPECT_FALSE(Enabled(*w, "BTsave"));
  // Unchanged: nothing to ask.
  inst.files.openAnswers.push_back(inst.choice("prvy.zdr"));
  w->BTopenClick();
  EXPECT_TRUE(inst.op.questions.empty());
  ASSERT_TRUE(w->model().setData(w->model().indexOf(kDay2, 2), QStringLiteral("=7:00")));
  EXPECT_TRUE(Enabled(*w, "BTsave"));
  w->undoStack().undo();
  EXPECT_FALSE(Enabled(*w, "BTsave"));
  w->undoStack().redo();
  EXPECT_TRUE(Enabled(*w, "BTsave"));
  inst.op.yesNoAnswers.push_back(c.answer);
  if (c.openAnother) {
    inst.files.openAnswers.push_back(inst.choice("druhy.zdr"));
    w->BTopenClick();
    EXPECT_EQ(w->windowTitle().toStdString(), "Report" + core::Utf8FromPath(inst.tmp.path() / "druhy.zdr")) << c.what;
  } else {
    EXPECT_TRUE(w->close()) << c.what;
  }
  ASSERT_EQ(inst.op.questions.size(), 1u) << c.what;
  EXPECT_EQ(inst.op.questions[0], kSaveOpenedQuestion);
  core::Grid first;
  ASSERT_TRUE(robot::ReadReportFile(inst.tmp.path() / "prvy.zdr", first, nullptr));
  EXPECT_EQ(first.cell(kDay2, 2), c.answer ? "=7:00" : computed) << c.what;
  // The period's own file is not where an opened report goes.
  core::Grid period;
  ASSERT_TRUE(robot::ReadReportFile(inst.dir.dir / "112026.zdr", period, nullptr));
  EXPECT_NE(period.cell(kDay2, 2), "=7:00");
}

INSTANTIATE_TEST_SUITE_P(Cases, ReportOpenedChangesTest,
                         ::testing::Values(OpenedChangeCase{"close, Yes", false, true},
                                           OpenedChangeCase{"close, No", false, false},
                                           OpenedChangeCase{"open another, Yes", true, true},
                                           OpenedChangeCase{"open another, No", true, false}));

TEST_F(ReportWindowTest, SavingAnOpenedReportMakesItUnchanged) {
  auto w = inst.window();
  ASSERT_TRUE(robot::WriteReportFile(inst.tmp.path() / "prvy.zdr", w->report().grid));
  inst.files.openAnswers.push_back(inst.choice("prvy.zdr"));
  w->BTopenClick();
  w->view()->selectCell(kDay2, 1);
  w->writeCodeItem(2);  // "D Dovolenka"
  EXPECT_TRUE(Enabled(*w, "BTsave"));
  inst.files.saveAnswers.push_back(inst.choice("kopia.zdr"));
  w->A_FileSaveExecute();
  EXPECT_FALSE(Enabled(*w, "BTsave"));
  EXPECT_TRUE(w->close());
  EXPECT_TRUE(inst.op.questions.empty());
  core::Grid saved;
  ASSERT_TRUE(robot::ReadReportFile(inst.tmp.path() / "kopia.zdr", saved, nullptr));
  EXPECT_EQ(saved.cell(kDay2, 1), "D=8:30");
}

struct OpenedMonthCase {
  const char* what;
  const char* fileName;
  bool withDayLabels;
  bool known;
};

void PrintTo(const OpenedMonthCase& c, std::ostream* os) { *os << c.what; }

class ReportOpenedMonthTest : public ReportWindowTest, public ::testing::WithParamInterface<OpenedMonthCase> {};

TEST_P(ReportOpenedMonthTest, RecalculatesWithTheFilesOwnDays) {
  const OpenedMonthCase& c = GetParam();
  // January 2026: 31 days, the 3rd and the 31st Saturdays. The window's
  // November 2026 has 30 days and the 3rd is a Tuesday.
  core::Grid january = TableOf(inst, 1, 2026);
  if (!c.withDayLabels)
    for (int col = robot::kReportFirstDayColumn; col < robot::kReportColumns; ++col) january.setCell(col, 0, "");
  const int day3 = robot::kReportFirstDayColumn + 2;
  const int day31 = robot::kReportFirstDayColumn + 30;
  january.setCell(day31, 1, "=8:00");
  ASSERT_TRUE(robot::WriteReportFile(inst.tmp.path() / c.fileName, january));
  auto w = inst.window();
  inst.files.openAnswers.push_back(inst.choice(c.fileName));
  w->BTopenClick();
  ASSERT_EQ(w->report().grid.cell(rcol::Name, 1), "Anna Horná");
  inst.op.messages.clear();
  ASSERT_TRUE(w->model().setData(w->model().indexOf(day3, 1), QStringLiteral("=8:00")));
  EXPECT_EQ(w->report().grid.cell(day3, 1), "=8:00") << c.what;
  if (c.known) {
    EXPECT_TRUE(inst.op.messages.empty()) << c.what;
    EXPECT_EQ(w->report().grid.cell(rcol::AtWork, 1), "16:00") << c.what;
    // Both days are Saturdays of January (the 3rd a Tuesday in November).
    EXPECT_FALSE(w->report().grid.cell(rcol::Saturdays, 1).empty()) << c.what;
    EXPECT_EQ(w->report().grid.cell(rcol::WorkingDays, 1), "") << c.what;
  } else {
    ASSERT_EQ(inst.op.messages.size(), 1u) << c.what;
    EXPECT_EQ(inst.op.messages[0], std::string(robot::kOpenedPeriodUnknown));
    EXPECT_EQ(w->report().grid.cell(rcol::AtWork, 1), "") << c.what;
    // Said once, not at every key.
    ASSERT_TRUE(w->model().setData(w->model().indexOf(day3, 2), QStringLiteral("=1:00")));
    EXPECT_EQ(inst.op.messages.size(), 1u);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, ReportOpenedMonthTest,
                         ::testing::Values(OpenedMonthCase{"period file name", "12026.zdr", true, true},
                                           OpenedMonthCase{"name with separators", "vykaz_1_2026.zdr", false, true},
                                           OpenedMonthCase{"day labels only", "kopia.zdr", true, true},
                                           OpenedMonthCase{"neither", "kopia.zdr", false, false}));

TEST_F(ReportWindowTest, ClosingANewReportUntouchedKeepsThePeriodFilesCorrections) {
  core::Grid earlier = TableOf(inst, 11, 2026);
  earlier.setCell(kDay2, 2, "=6:00");
  ASSERT_TRUE(robot::WriteReportFile(inst.dir.dir / "112026.zdr", earlier));
  {
    auto w = inst.window();  // a new report: the period file is not read
    EXPECT_TRUE(w->close());
  }
  core::Grid period;
  ASSERT_TRUE(robot::ReadReportFile(inst.dir.dir / "112026.zdr", period, nullptr));
  EXPECT_EQ(period.cell(kDay2, 2), "=6:00");
  {
    // An edit undone is no change either; an edit is.
    auto w = inst.window();
    ASSERT_TRUE(w->model().setData(w->model().indexOf(kDay2, 1), QStringLiteral("=1:00")));
    w->undoStack().undo();
    EXPECT_TRUE(w->close());
    ASSERT_TRUE(robot::ReadReportFile(inst.dir.dir / "112026.zdr", period, nullptr));
    EXPECT_EQ(period.cell(kDay2, 2), "=6:00");
  }
  auto w = inst.window();
  ASSERT_TRUE(w->model().setData(w->model().indexOf(kDay2, 1), QStringLiteral("=1:00")));
  EXPECT_TRUE(w->close());
  ASSERT_TRUE(robot::ReadReportFile(inst.dir.dir / "112026.zdr", period, nullptr));
  EXPECT_EQ(period.cell(kDay2, 1), "=1:00");
  EXPECT_EQ(period.cell(kDay2, 2), "");
}


TEST_F(ReportWindowTest, MenuUndoRedoAndPasteWhileTheCellFieldHasTheFocusUpdateIt) {
  auto w = inst.window();
  auto* edit2 = Child<QLineEdit>(w.get(), "Edit2");
  w->view()->selectCell(kDay2, 2);
  edit2->setFocus();
  QTest::keyClicks(edit2, QStringLiteral("D"));
  ASSERT_EQ(w->report().grid.cell(kDay2, 2), "D");
  const auto menu = [&](const char* name) { w->findChild<QAction*>(QLatin1String(name))->trigger(); };
  menu("a_undo");
  EXPECT_EQ(edit2->text(), QString());
  menu("a_redo");
  EXPECT_EQ(edit2->text(), QStringLiteral("D"));
  menu("a_undo");
  QTest::keyClicks(edit2, QStringLiteral("A"));
  EXPECT_EQ(w->report().grid.cell(kDay2, 2), "A");
  QApplication::clipboard()->setText(QStringLiteral("PN"));
  menu("a_paste");
  EXPECT_EQ(edit2->text(), QStringLiteral("PN"));
  QTest::keyClicks(edit2, QStringLiteral("1"));
  EXPECT_EQ(w->report().grid.cell(kDay2, 2), "PN1");
}


TEST_F(ReportWindowTest, CtrlTabLeavesTheGridAndTheCellFieldAndDepartmentsHaveKeys) {
  auto w = inst.window();
  w->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
  ui::GridView* grid = w->view();
  grid->selectCell(kDay2, 2);
  grid->setFocus();
  // Tab keeps moving between cells.
  QTest::keyClick(grid, Qt::Key_Tab);
  EXPECT_TRUE(grid->hasFocus());
  EXPECT_EQ(grid->currentCell(), std::make_optional(std::make_pair(kDay2 + 1, 2)));
  QTest::keyClick(grid, Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_FALSE(grid->hasFocus());
  EXPECT_EQ(grid->currentCell(), std::make_optional(std::make_pair(kDay2 + 1, 2)));
  grid->setFocus();
  QTest::keyClick(grid, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_FALSE(grid->hasFocus());
  EXPECT_EQ(grid->currentCell(), std::make_optional(std::make_pair(kDay2 + 1, 2)));
  grid->setFocus();
  QTest::keyClick(grid, Qt::Key_B, Qt::AltModifier);
  EXPECT_TRUE(Child<QLineEdit>(w.get(), "Edit2")->hasFocus());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_O, Qt::AltModifier);
  EXPECT_TRUE(Departments(*w)->hasFocus());
  const auto problems = testing_support::AccessibilityProblems(w.get());
  EXPECT_TRUE(problems.empty()) << problems.front();
}


TEST_F(ReportWindowTest, TheNameColumnsHeaderIsShownAndNarrowShiftColumnsStayTenPixels) {
  auto w = inst.window();
  ui::GridView* grid = w->view();
  QAbstractButton* corner = grid->findChild<QAbstractButton*>();
  ASSERT_NE(corner, nullptr);
  EXPECT_EQ(corner->text(), QStringLiteral("Meno"));
  EXPECT_EQ(corner->accessibleName(), QStringLiteral("Meno"));
  EXPECT_EQ(corner->toolTip(), QStringLiteral("Meno a Priezvisko"));
  // The caption is drawn: the corner looks different without it.
  const QImage shown = corner->grab().toImage();
  corner->setText(QString());
  const QImage blank = corner->grab().toImage();
  corner->setText(QStringLiteral("Meno"));
  EXPECT_NE(shown, blank);
  for (int col = rcol::DayShift; col <= rcol::NightShift; ++col) EXPECT_EQ(grid->columnWidth(col - 1), 10) << col;
  w->BTmakeClick();
  inst.files.saveAnswers.push_back(inst.choice("sirky.zdr"));
  w->A_FileSaveExecute();
  core::Grid saved;
  ASSERT_TRUE(robot::ReadReportFile(inst.tmp.path() / "sirky.zdr", saved, nullptr));
  for (int col = rcol::DayShift; col <= rcol::NightShift; ++col) EXPECT_EQ(saved.columnWidth(col), 10) << col;
}


TEST_F(ReportWindowTest, TipButtonShowsATipOfTheReportInTheProgramsTipWindow) {
  testing_support::WriteCp1250(inst.dir.dir / "vortane.tip",
                               "[DAY1]\r\nRada dňa\r\n[KARTA1]\r\nRada karty\r\n[TABDOCH1]\r\nRada k výkazu\r\n");
  QWidget home;
  ui::TipWindow tips([](int) { return 0; }, &home);
  tips.setWindowFlag(Qt::Window, true);
  auto ctx = inst.context();
  ctx.tips = &tips;
  auto w = std::make_unique<ui::Tfrmzdrep>(ctx, ui::ReportPeriodChoice{11, 2026, inst.logFile(), false});
  w->show();
  QApplication::processEvents();
  auto* button = Child<QToolButton>(w.get(), "BTtip");
  EXPECT_EQ(button->text(), QStringLiteral("Tip"));
  button->click();
  EXPECT_TRUE(tips.isVisible());
  EXPECT_EQ(tips.parentWidget(), w.get());  // takes input beside the modal report
  EXPECT_EQ(tips.text(), QStringLiteral("Rada k výkazu"));
  EXPECT_TRUE(w->close());
  EXPECT_EQ(tips.parentWidget(), &home);
  EXPECT_FALSE(tips.isVisible());
}


TEST_F(ReportWindowTest, TheEmployeeListOpenedFromTheReportChangesWhatItComputesWith) {
  auto ctx = inst.context();
  int shown = 0;
  // The employee list window as the clerk uses it: Anna renamed, Boris at a
  // full workload with breaks, and a new employee, saved to prac.txt.
  ctx.showEmployeeList = [&](QWidget*) {
    ++shown;
    testing_support::WriteCp1250(inst.dir.employeeFile(),
                                 "Anna Nová\t7\t101\tDielňa\t0\t0\t100\t30\t\r\n"
                                 "Boris Dolný\t8\t102\tSklad\t0\t0\t100\t30\t\r\n"
                                 "Cyril Malý\t9\t103\tX\t0\t0\t100\t30\t\r\n"
                                 "Dana Veľká\t10\t104\tSklad\t0\t0\t100\t30\t\r\n"
                                 "Emil Nový\t11\t105\tSklad\t0\t0\t100\t30\t\r\n");
  };
  auto w = std::make_unique<ui::Tfrmzdrep>(ctx, ui::ReportPeriodChoice{11, 2026, inst.logFile(), false});
  w->show();
  QApplication::processEvents();
  w->BTmakeClick();
  EXPECT_EQ(w->report().grid.cell(rcol::Norm, 2), "89:15");
  w->view()->selectCell(rcol::AtWork, 2);
  w->findChild<QAction*>(QStringLiteral("pm_employees"))->trigger();
  ASSERT_EQ(shown, 1);
  EXPECT_EQ(w->report().grid.cell(rcol::Name, 1), "Anna Nová");
  EXPECT_EQ(w->report().grid.cell(rcol::Norm, 2), "178:30");
  EXPECT_EQ(w->report().dataRows(), 5);
  EXPECT_EQ(w->report().grid.cell(rcol::Name, 5), "Emil Nový");
  // A recalculation and the code menu use the new workload and breaks.
  w->view()->selectCell(kDay2, 2);
  w->writeCodeItem(0);  // "Odpracoval": norm + breaks
  EXPECT_EQ(w->report().grid.cell(kDay2, 2), "=9:00");
  inst.op.messages.clear();
  w->BTmakeClick();
  EXPECT_TRUE(inst.op.messages.empty()) << inst.op.messages.front();
  EXPECT_EQ(w->report().grid.cell(rcol::AtWork, 1), inst.expected().grid.cell(rcol::AtWork, 1));
  EXPECT_EQ(w->report().grid.cell(rcol::Norm, 5), "178:30");
  EXPECT_EQ(w->model().headerData(0, Qt::Vertical).toString(), QStringLiteral("Anna Nová"));
}


struct OutputCase {
  const char* what;
  const char* file;
  bool pdf;  // otherwise the export
  bool cancel;
};

void PrintTo(const OutputCase& c, std::ostream* os) { *os << c.what; }

class ReportOutputProgressTest : public ReportWindowTest, public ::testing::WithParamInterface<OutputCase> {};

TEST_P(ReportOutputProgressTest, ShowsProgressWithZrusit) {
  const OutputCase& c = GetParam();
  auto w = inst.window();
  w->BTmakeClick();
  w->setPrintSetupRunner([](const print::ReportPrintOptions& o) {
    return std::make_optional(std::make_pair(static_cast<int>(ui::Tfrmprnsetup::Choice::Pdf), o));
  });
  bool seen = false;
  QTimer::singleShot(0, w.get(), [&] {
    ui::Tfrminfo* info = w->progressWindow();
    seen = info->isVisible() && info->isModal() && info->findChild<QPushButton*>(QStringLiteral("btnCancel")) != nullptr;
    if (c.cancel) info->findChild<QPushButton*>(QStringLiteral("btnCancel"))->click();
  });
  inst.files.saveAnswers.push_back(inst.choice(c.file));
  if (c.pdf) {
    w->BTprintClick();
  } else {
    w->ExportTabulky();
  }
  EXPECT_TRUE(seen) << c.what;
  EXPECT_FALSE(w->progressWindow()->isVisible()) << c.what;
  EXPECT_TRUE(inst.op.messages.empty()) << c.what;
  EXPECT_EQ(std::filesystem::exists(inst.tmp.path() / c.file), !c.cancel) << c.what;
  // Nothing half written is left beside it.
  for (const auto& entry : std::filesystem::directory_iterator(inst.tmp.path()))
    EXPECT_EQ(entry.path().filename().string().find(".part"), std::string::npos) << entry.path();
}

INSTANTIATE_TEST_SUITE_P(Outputs, ReportOutputProgressTest,
                         ::testing::Values(OutputCase{"PDF", "vykaz.pdf", true, false},
                                           OutputCase{"PDF, Zrušiť", "vykaz.pdf", true, true},
                                           OutputCase{"workbook", "vykaz.xlsx", false, false},
                                           OutputCase{"workbook, Zrušiť", "vykaz.xlsx", false, true},
                                           OutputCase{"CSV, Zrušiť", "vykaz.csv", false, true}));

// On screen a day column reads its longest result whole; what the file
// stores stays the report's own rule.
TEST_F(ReportWindowTest, DayResultsReadWholeOnScreenAndTheStoredWidthsStay) {
  // Anna works shifts: her days read "DS 8:00 PS 1:00" and the like.
  testing_support::WriteCp1250(inst.dir.dir / "prac.txt",
                               ";Zoznam pracovnikov\r\n"
                               "Anna Horná\t7\t101\tDielňa\t1\t0\t100\t30\t\r\n"
                               "Boris Dolný\t8\t102\tSklad\t0\t0\t50\t0\t\r\n");
  std::ofstream(inst.dir.dir / "Log" / "11_2026.txt", std::ios::binary | std::ios::app)
      << "5.11.2026 5:10:00\t101\t0\r\n5.11.2026 15:40:00\t101\t16\r\n";
  inst.employees = core::EmployeeList();
  inst.employees.read(inst.dir.employeeFile(), inst.settings.normaPDminutes);
  ASSERT_EQ(inst.employees.employees().size(), 2u);
  auto w = inst.window();
  w->BTmakeClick();
  const robot::CombinedReport want = inst.expected();
  ui::GridView& view = *w->view();
  const int margin = view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &view) + 1;
  int longTexts = 0;
  for (int c = robot::kReportFirstDayColumn; c < w->report().grid.columnCount(); ++c) {
    for (int r = 1; r < w->report().grid.rowCount(); ++r) {
      const QModelIndex index = w->model().indexOf(c, r);
      const QString text = index.data().toString();
      if (text.size() >= 6) ++longTexts;
      EXPECT_LE(QFontMetrics(view.font()).horizontalAdvance(text) + 2 * margin, view.visualRect(index).width())
          << text.toStdString() << " in day column " << c;
    }
  }
  EXPECT_GT(longTexts, 0);
  view.storeColumnWidths();
  for (int c = robot::kReportFirstDayColumn; c < want.grid.columnCount(); ++c)
    EXPECT_EQ(w->report().grid.columnWidth(c), want.grid.columnWidth(c)) << "day column " << c;
}

}  // namespace
