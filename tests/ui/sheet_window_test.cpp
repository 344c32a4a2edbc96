// The attendance sheet window on a small installation in a temporary folder:
// showing, the robot run with its questions, edits with the totals at once,
// the result column's menu, undo, the files, copy, print and the shortcut
// rule of the result column.

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QPdfWriter>
#include <QScrollBar>
#include <QStyle>
#include <QTest>

#include <fstream>
#include <memory>

#include "accessibility_walk.h"
#include "core/grid_text_file.h"
#include "core/messages.h"
#include "core/path_text.h"
#include "core/program_settings.h"
#include "print/sheet_page.h"
#include "robot/sheet_robot.h"
#include "support/test_support.h"
#include "ui/abbreviations_window.h"
#include "ui/grid_view.h"
#include "ui/sheet_window.h"

namespace {

using testing_support::ReadBytes;
using testing_support::ScriptedOperator;
using testing_support::TempDir;
using testing_support::WriteBytes;

constexpr int kResult = 4;
constexpr int kNote = 5;

// November 2026: the 1st is a Sunday, 21 working days, no holidays.
class SheetWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.dir = tmp.path() / "inst";
    std::filesystem::create_directories(dir.dir / "Log");
    dir.dir /= "";
    WriteBytes(dir.dir / "vortane.ini", "[GLOBAL]\r\nLOGDIR=" + core::Utf8FromPath(dir.dir / "Log") + "/\r\n");
    WriteBytes(dir.dir / "sviatky.txt", "");
    // name, personal number, card, department, shifts, trips, workload, breaks
    testing_support::WriteCp1250(dir.dir / "prac.txt",
                                 ";Zoznam pracovnikov\r\n"
                                 "Anna Horná\t7\t101\tDielňa\t0\t0\t100\t30\t\r\n"
                                 "Boris Dolný\t8\t102\tSklad\t0\t0\t50\t0\t\r\n");
    // Anna: Monday 2nd 7:00-15:30, Tuesday 3rd 6:30-15:00, Wednesday 4th arrival only.
    WriteBytes(dir.dir / "Log" / "11_2026.txt",
               "2.11.2026 7:00:00\t101\t0\r\n"
               "2.11.2026 15:30:00\t101\t16\r\n"
               "3.11.2026 6:30:00\t101\t0\r\n"
               "3.11.2026 15:00:00\t101\t16\r\n"
               "4.11.2026 7:00:00\t101\t0\r\n"
               "2.11.2026 8:00:00\t102\t0\r\n"
               "2.11.2026 12:00:00\t102\t16\r\n");
    settings = core::LoadSettings(dir, messages, op);
    ASSERT_EQ(employees.read(dir.employeeFile(), settings.normaPDminutes), 1);
    op.messages.clear();
  }

  std::unique_ptr<ui::Tfrmlist> makeWindow() {
    ui::SheetWindowContext ctx{settings,
                               employees,
                               dir,
                               messages,
                               op,
                               files,
                               [this](const QUrl& url) { opened.push_back(url); },
                               [] { return QDateTime(QDate(2026, 12, 9), QTime(10, 15)); },
                               {},
                               {},
                               {}};
    auto w = std::make_unique<ui::Tfrmlist>(std::move(ctx));
    w->showForPeriod(11, 2026);
    QApplication::processEvents();
    return w;
  }

  template <typename T>
  static T* child(QWidget* w, const char* name) {
    T* found = w->findChild<T*>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  static QAction* action(QWidget* w, const char* name) { return child<QAction>(w, name); }

  // Chooses the employee and runs the robot.
  void run(ui::Tfrmlist& w, int position) {
    child<QComboBox>(&w, "ComboBox1")->setCurrentIndex(position);
    w.a_robotExecute();
  }
  // Types a text into a cell as the operator does (the edit path of the view).
  static void edit(ui::Tfrmlist& w, int col, int row, const QString& text) {
    ASSERT_TRUE(w.model().setData(w.model().indexOf(col, row), text));
  }
  ui::FileChoice choice(const std::string& name, int filter = 1) {
    return ui::FileChoice{QString::fromStdString(core::Utf8FromPath(tmp.path() / name)), filter};
  }

  TempDir tmp;
  core::ProgramDirectory dir;
  core::MessageCatalogue messages;
  ScriptedOperator op;
  core::ProgramSettings settings;
  core::EmployeeList employees;
  ui::ScriptedFileDialogs files;
  std::vector<QUrl> opened;
};

TEST_F(SheetWindowTest, ShowingClearsTheSheetAndListsTheEmployees) {
  auto w = makeWindow();
  EXPECT_EQ(w->windowTitle(), QStringLiteral("Dochádzkový list"));
  auto* names = child<QComboBox>(w.get(), "ComboBox1");
  ASSERT_EQ(names->count(), 3);
  EXPECT_EQ(names->itemText(0), QStringLiteral("Vyberte Meno"));
  EXPECT_EQ(names->itemText(2), QStringLiteral("Boris Dolný"));
  EXPECT_EQ(w->grid().cell(0, 0), "Údaj");
  EXPECT_EQ(w->grid().cell(5, 0), "Poznámka");
  EXPECT_EQ(w->grid().cell(0, 26), "Prekážky");
  EXPECT_EQ(w->grid().columnWidth(3), 200);
  EXPECT_FALSE(action(w.get(), "A_FileSave")->isEnabled());
  EXPECT_EQ(w->month(), 11);
  EXPECT_EQ(w->year(), 2026);
  // The year list runs to next year and takes only its items.
  auto* years = child<QComboBox>(w.get(), "cmbrok");
  EXPECT_FALSE(years->isEditable());
  EXPECT_EQ(years->itemText(0), QStringLiteral("2000"));
  EXPECT_EQ(years->itemText(years->count() - 1), QStringLiteral("2027"));
  EXPECT_EQ(w->view()->model()->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Dochádzka"));
  EXPECT_TRUE(testing_support::AccessibilityProblems(w.get()).empty())
      << testing_support::AccessibilityProblems(w.get()).front();
}

TEST_F(SheetWindowTest, RobotRunFillsTheMonthAndTheTotals) {
  auto w = makeWindow();
  w->a_robotExecute();
  EXPECT_EQ(op.messages, std::vector<std::string>{"Vyberte pracovníka"});
  op.messages.clear();

  run(*w, 1);
  ASSERT_TRUE(op.messages.empty()) << op.messages.front();
  const core::Grid& g = w->grid();
  EXPECT_EQ(g.cell(1, 1), "Anna Horná");
  EXPECT_EQ(g.cell(1, 7), "21");
  EXPECT_EQ(g.cell(1, 10), "178:30");  // 21 days of 8:30
  EXPECT_EQ(g.cell(2, 2), "2-Pon");
  EXPECT_EQ(g.cell(3, 2), "07:00 PR N - 15:30 OD N - ");
  EXPECT_EQ(g.cell(kResult, 2), "8:30");
  EXPECT_EQ(g.cell(kResult, 3), "8:30");
  EXPECT_EQ(g.cell(1, 8), "2");       // worked days
  EXPECT_EQ(g.cell(1, 11), "17:00");  // at work
  EXPECT_EQ(g.cell(1, 12), "1:00");   // two days of 30 minutes breaks
  EXPECT_EQ(g.cell(1, 13), "16:00");
  EXPECT_EQ(g.cell(1, 14), "-162:30");
  // Saturday and Sunday rows are coloured; after a run on a new sheet the star
  // shows but closing does not ask.
  EXPECT_EQ(w->sheetState().DayColour[7], 0xFFFF00u);
  EXPECT_EQ(w->sheetState().DayColour[1], 0xC0C0C0u);
  EXPECT_EQ(w->windowTitle(), QStringLiteral("Dochádzkový list *"));
  EXPECT_FALSE(w->sheetModified());
  w->close();
  EXPECT_TRUE(op.questions.empty());
}

TEST_F(SheetWindowTest, EditingACellRecomputesTheTotalsAndMarksTheSheet) {
  auto w = makeWindow();
  run(*w, 1);
  edit(*w, kResult, 5, QStringLiteral("D 8:30"));
  EXPECT_EQ(w->grid().cell(1, 22), "8:30");  // vacation
  EXPECT_EQ(w->grid().cell(1, 14), "-154:00");
  EXPECT_TRUE(w->sheetModified());
  EXPECT_TRUE(action(w.get(), "A_FileSave")->isEnabled());
  EXPECT_EQ(w->windowTitle(), QStringLiteral("Dochádzkový list  *"));

  // Undo puts the cell and the totals back; redo again.
  w->undoStack().undo();
  EXPECT_EQ(w->grid().cell(kResult, 5), "");
  EXPECT_EQ(w->grid().cell(1, 22), "");
  EXPECT_EQ(w->grid().cell(1, 14), "-162:30");
  w->undoStack().redo();
  EXPECT_EQ(w->grid().cell(1, 22), "8:30");

  // Closing asks; Yes saves through the dialog.
  op.yesNoAnswers = {true};
  files.saveAnswers = {choice("anna.dok")};
  w->close();
  ASSERT_EQ(op.questions.size(), 1u);
  EXPECT_EQ(op.questions[0], "Vykonávali ste úpravy v tabulke\rZeláte si uložiť do súboru ?");
  core::Grid back;
  std::string error;
  ASSERT_TRUE(core::GridTextFile::Read(tmp.path() / "anna.dok", back, core::GridTextFile::Cells::SingleLine, &error));
  EXPECT_EQ(back.cell(kResult, 5), "D 8:30");
  EXPECT_EQ(back.cell(1, 22), "8:30");
}

TEST_F(SheetWindowTest, ProtectedResultsSurviveARunOnAModifiedSheet) {
  auto w = makeWindow();
  run(*w, 1);
  edit(*w, kResult, 2, QStringLiteral("=7:45"));
  edit(*w, kResult, 3, QStringLiteral("7:45"));
  op.yesNoAnswers = {false};
  run(*w, 1);
  EXPECT_EQ(op.questions.back().rfind("Vykonávali ste úpravy v bunke tabulky\rROBOT prepíše", 0), 0u);
  EXPECT_EQ(w->grid().cell(kResult, 3), "7:45");  // No: nothing ran
  op.yesNoAnswers = {true};
  run(*w, 1);
  EXPECT_EQ(w->grid().cell(kResult, 2), "=7:45");
  EXPECT_EQ(w->grid().cell(kNote, 2), "Rucne pocitane");
  EXPECT_EQ(w->grid().cell(kResult, 3), "8:30");
  // The run is a step of the history like an edit.
  EXPECT_TRUE(w->undoStack().canUndo());
}

struct MenuCase {
  int item;
  int employee;  // combo position
  const char* written;
};

class SheetMenuTest : public SheetWindowTest, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(SheetMenuTest, ResultMenuWritesItsValueAndMarksTheSheet) {
  const MenuCase c = GetParam();
  auto w = makeWindow();
  run(*w, c.employee);
  w->view()->selectCell(kResult, 6);
  EXPECT_EQ(w->resultRow(), 6);
  w->writeResultItem(c.item);
  EXPECT_EQ(w->grid().cell(kResult, 6), c.written);
  // Hand-made results must not vanish on close without a question.
  EXPECT_TRUE(w->sheetModified());
  EXPECT_EQ(w->windowTitle(), QStringLiteral("Dochádzkový list  *"));
}

// Anna: 100 % of 8:30 and 30 minutes of breaks; Boris: 50 % (4:15), no breaks.
INSTANTIATE_TEST_SUITE_P(Items, SheetMenuTest,
                         ::testing::Values(MenuCase{0, 1, "=9:00"}, MenuCase{1, 1, "SC=9:00"}, MenuCase{2, 1, "D=8:30"},
                                           MenuCase{3, 1, "PN=8:30"}, MenuCase{4, 1, "LK=8:30"},
                                           MenuCase{5, 1, "O=8:30"}, MenuCase{6, 1, "DS=9:00"},
                                           MenuCase{7, 1, "PS=9:00"}, MenuCase{8, 1, "NS=9:00"},
                                           MenuCase{2, 2, "D=4:15"}, MenuCase{0, 2, "=4:15"}));

TEST_F(SheetWindowTest, ResultColumnTakesTheSharedKeysOnlyWhileSelected) {
  auto w = makeWindow();
  run(*w, 1);
  w->activateWindow();
  w->view()->setFocus();
  w->view()->selectCell(kResult, 9);
  QTest::keyClick(w->view(), Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(w->grid().cell(kResult, 9), "=9:00");
  EXPECT_TRUE(files.openRequests.empty());
  QTest::keyClick(w->view(), Qt::Key_D, Qt::ControlModifier | Qt::AltModifier);
  EXPECT_EQ(w->grid().cell(kResult, 9), "D=8:30");
  // Away from the result column the same key opens a sheet file.
  w->view()->selectCell(kNote, 9);
  op.yesNoAnswers = {false};
  QTest::keyClick(w->view(), Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(op.questions.back(), "Vykonávali ste úpravy v bunke tabulky\rZeláte si otvorit súbor ?");
  EXPECT_EQ(w->grid().cell(kNote, 9), "");
}

TEST_F(SheetWindowTest, SaveAndOpenKeepTheFileAndOnlyFirstLines) {
  auto w = makeWindow();
  run(*w, 1);
  edit(*w, kNote, 2, QStringLiteral("prvý\r\ndruhý"));
  files.saveAnswers = {choice("anna")};
  w->A_FileSaveExecute();  // no file yet: the dialog, sheet kind, .dok added
  EXPECT_EQ(w->currentSheetFile(), core::Utf8FromPath(tmp.path() / "anna.dok"));
  EXPECT_EQ(w->windowTitle(), QStringLiteral("Dochádzkový list anna.dok"));
  EXPECT_FALSE(action(w.get(), "A_FileSave")->isEnabled());
  const std::string bytes = ReadBytes(tmp.path() / "anna.dok");
  EXPECT_EQ(bytes.substr(0, 6), "6,32\r\n");

  w->a_filenewExecute();
  EXPECT_EQ(w->grid().cell(kResult, 2), "");
  EXPECT_EQ(w->grid().cell(0, 0), "Názov");
  files.openAnswers = {choice("anna.dok")};
  w->A_FileOpenExecute();
  EXPECT_TRUE(w->openedFromFile());
  EXPECT_EQ(w->grid().cell(kNote, 2), "prvý");
  EXPECT_EQ(w->grid().cell(kResult, 2), "8:30");
  EXPECT_EQ(w->windowTitle(), QStringLiteral("Dochádzkový list anna.dok"));

  // A run on an opened sheet asks first; after it the star and the name.
  op.yesNoAnswers = {true};
  run(*w, 1);
  EXPECT_EQ(op.questions.back().rfind("Tabulka bola otvorená zo súboru\r", 0), 0u);
  EXPECT_EQ(w->windowTitle(), QStringLiteral("Dochádzkový list * anna.dok"));
  EXPECT_TRUE(w->sheetModified());
  EXPECT_TRUE(action(w.get(), "A_FileSave")->isEnabled());
}

TEST_F(SheetWindowTest, BadSheetFilesChangeNothing) {
  auto w = makeWindow();
  run(*w, 1);
  const core::Grid before = w->grid();
  const struct {
    const char* name;
    std::string bytes;
    std::string message;
  } cases[] = {
      {"empty.dok", "0,0\r\n", "File contains no data or corrupt file "},
      {"binary.dok", std::string("\x00\x01\xff\xfe garbage", 12), "File contains no data or corrupt file "},
      {"huge.dok", "999999,999999\r\n", "File contains no data or corrupt file "},
      {"missing.dok", "", "File "},
  };
  for (const auto& c : cases) {
    if (!c.bytes.empty()) WriteBytes(tmp.path() / c.name, c.bytes);
    op.messages.clear();
    files.openAnswers = {choice(c.name)};
    w->A_FileOpenExecute();
    ASSERT_EQ(op.messages.size(), 1u) << c.name;
    EXPECT_EQ(op.messages[0].substr(0, c.message.size()), c.message) << c.name;
    EXPECT_NE(op.messages[0].find(c.name), std::string::npos) << c.name;
    EXPECT_EQ(w->grid(), before) << c.name;
    EXPECT_FALSE(w->openedFromFile());
  }
  // A cell line beyond the sheet's columns is passed over.
  WriteBytes(tmp.path() / "wide.dok", "6,32\r\n9,3,x\r\n4,3,=8:00\r\n");
  files.openAnswers = {choice("wide.dok")};
  w->A_FileOpenExecute();
  EXPECT_EQ(w->grid().cell(4, 3), "=8:00");
  EXPECT_EQ(w->grid().columnCount(), 6);
}

TEST_F(SheetWindowTest, AFailedWriteKeepsTheStateAndTheOldFile) {
  auto w = makeWindow();
  run(*w, 1);
  files.saveAnswers = {choice("anna.dok")};
  w->a_saveasExecute();
  const std::string saved = ReadBytes(tmp.path() / "anna.dok");
  edit(*w, kResult, 6, QStringLiteral("=1:00"));
  // The file's folder is gone (a removed network drive): the save is reported.
  const auto gone = tmp.path() / "gone";
  files.saveAnswers = {ui::FileChoice{QString::fromStdString(core::Utf8FromPath(gone / "x.dok")), 1}};
  w->a_saveasExecute();
  ASSERT_EQ(op.messages.size(), 1u);
  EXPECT_TRUE(w->sheetModified());
  EXPECT_EQ(w->currentSheetFile(), core::Utf8FromPath(tmp.path() / "anna.dok"));
  EXPECT_EQ(ReadBytes(tmp.path() / "anna.dok"), saved);
}

TEST_F(SheetWindowTest, ExportsByFilterLeaveTheStateAlone) {
  auto w = makeWindow();
  run(*w, 1);
  files.saveAnswers = {choice("list", 2), choice("list", 3), choice("list", 4)};
  w->a_saveasExecute();
  w->a_saveasExecute();
  w->a_saveasExecute();
  EXPECT_NE(ReadBytes(tmp.path() / "list.html").find("<td>Anna Horná</td>"), std::string::npos);
  EXPECT_EQ(ReadBytes(tmp.path() / "list.xlsx").substr(0, 2), "PK");
  EXPECT_NE(ReadBytes(tmp.path() / "list.csv").find("Meno;Anna Horná;"), std::string::npos);
  EXPECT_TRUE(w->currentSheetFile().empty());
  EXPECT_EQ(w->windowTitle(), QStringLiteral("Dochádzkový list *"));
  ASSERT_EQ(files.saveRequests.size(), 3u);
  EXPECT_EQ(files.saveRequests[0].filter.count(QLatin1Char('|')), 7);
}

TEST_F(SheetWindowTest, CopyPutsTheWholeGridOnTheClipboard) {
  auto w = makeWindow();
  run(*w, 1);
  w->copyGrid();
  const QString text = QApplication::clipboard()->text();
  const QStringList rows = text.split(QStringLiteral("\r\n"));
  ASSERT_EQ(rows.size(), 33);  // 32 rows, each ended by CR LF
  // A fresh run writes the headers of a cleared sheet.
  EXPECT_EQ(rows[0], QStringLiteral("Názov\tÚdaj\tDen\tDochádzka\tVýsledok\tKomentár"));
  EXPECT_TRUE(rows[2].startsWith(QStringLiteral("Mesiac\t11\t2-Pon\t")));
  EXPECT_EQ(op.messages.back(),
            "Obsah tabuľky bol prenesený dos schránky\rV inej aplikácii použite Shift+Insert alebo CTRL+V");
}

TEST_F(SheetWindowTest, HelpOpensTheSheetTopic) {
  auto w = makeWindow();
  action(w.get(), "a_help")->trigger();
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].fragment(), QStringLiteral("karta"));
  EXPECT_TRUE(opened[0].path().endsWith(QStringLiteral("html/index.html")));
}

// Rows of the image that hold any dark pixel, as a band per text line.
int DarkRows(const QImage& image, int y0, int y1, int x0, int x1) {
  int rows = 0;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      if (qGray(image.pixel(x, y)) < 128) {
        ++rows;
        break;
      }
    }
  }
  return rows;
}

TEST_F(SheetWindowTest, PrintedSheetHasItsRowsAndSignatureLines) {
  auto w = makeWindow();
  run(*w, 1);
  QImage page(1000, 1300, QImage::Format_RGB32);
  page.fill(Qt::white);
  {
    QPainter painter(&page);
    print::SheetPrintOptions options;
    options.printedAt = QStringLiteral("9.12.2026 10:15");
    print::printgrid(painter, page.rect(), w->grid(), options);
  }
  const int uy = 1300 / 65;
  // The header frame, the day rows and, below row 32, the signature lines.
  EXPECT_GT(DarkRows(page, uy, 2 * uy, 0, 1000), 0);
  EXPECT_GT(DarkRows(page, 3 * uy, 4 * uy, 260, 320), 0);                // day label of the 2nd
  EXPECT_EQ(DarkRows(page, 33 * uy + 2, 37 * uy, 0, 1000), 0);           // nothing below the grid ...
  EXPECT_GT(DarkRows(page, 38 * uy - 1, 39 * uy + uy / 2, 50, 400), 0);  // ... but the signatures
  // Long registration texts are blanked where the results begin.
  EXPECT_EQ(DarkRows(page, 2 * uy, 32 * uy, 745, 750), 0);
}

TEST_F(SheetWindowTest, PrintAndAllSheetsGoToPdf) {
  if (std::system("command -v pdftotext >/dev/null 2>&1") != 0) GTEST_SKIP() << "pdftotext is not installed";
  auto w = makeWindow();
  run(*w, 1);
  const auto one = tmp.path() / "one.pdf";
  w->setPrintDialogRunner([&](QPrinter& printer) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(core::Utf8FromPath(one)));
    return true;
  });
  w->A_printExecute();
  const auto text = [&](const std::filesystem::path& pdf) {
    const auto out = tmp.path() / "out.txt";
    const std::string cmd = "pdftotext -layout '" + core::Utf8FromPath(pdf) + "' '" + core::Utf8FromPath(out) + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    return ReadBytes(out);
  };
  const std::string printed = text(one);
  EXPECT_LT(printed.find("Anna Horná"), printed.find("11.2026.")) << printed;
  EXPECT_NE(printed.find("Vytlacené:"), std::string::npos);
  EXPECT_NE(printed.find("Podpis pracovníka"), std::string::npos);
  EXPECT_NE(printed.find("Podpis vedúceho"), std::string::npos);

  files.saveAnswers = {choice("all.pdf")};
  w->printAllSheets(ui::Tfrmlist::AllSheetsTarget::Pdf);
  const std::string all = text(tmp.path() / "all.pdf");
  const auto pages = std::count(all.begin(), all.end(), '\f');
  EXPECT_EQ(pages, 2);
  EXPECT_LT(all.find("Anna Horná"), all.find("Boris Dolný"));
  EXPECT_NE(all.find("4:00"), std::string::npos);  // Boris on the 2nd
}

TEST_F(SheetWindowTest, APrinterThatFailsIsReportedAndChangesNothing) {
  auto w = makeWindow();
  run(*w, 1);
  const core::Grid before = w->grid();
  w->setPrintDialogRunner([&](QPrinter& printer) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(core::Utf8FromPath(tmp.path() / "no" / "such" / "x.pdf")));
    return true;
  });
  w->A_printExecute();
  ASSERT_EQ(op.messages.size(), 1u);
  EXPECT_NE(op.messages[0].find("Tlač sa nepodarila"), std::string::npos);
  EXPECT_EQ(w->grid(), before);
  EXPECT_EQ(w->windowTitle(), QStringLiteral("Dochádzkový list *"));
  // A cancelled print dialog prints nothing and says nothing.
  w->setPrintDialogRunner([](QPrinter&) { return false; });
  w->A_printExecute();
  EXPECT_EQ(op.messages.size(), 1u);
}

TEST_F(SheetWindowTest, PreviewPaintsTheSameSheetAndTheJobIsNamed) {
  auto w = makeWindow();
  run(*w, 1);
  files.saveAnswers = {choice("anna.dok")};
  w->a_saveasExecute();
  QString job;
  int pages = 0;
  w->setPreviewRunner([&](QPrinter& printer, const std::function<void(QPrinter*)>& paint) {
    job = printer.docName();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(core::Utf8FromPath(tmp.path() / "preview.pdf")));
    paint(&printer);
    pages = 1;
  });
  child<QAction>(w.get(), "a_preview")->trigger();
  EXPECT_EQ(pages, 1);
  EXPECT_EQ(job, QStringLiteral("Vortane ") + QString::fromStdString(core::Utf8FromPath(tmp.path() / "anna.dok")));
  EXPECT_EQ(ReadBytes(tmp.path() / "preview.pdf").substr(0, 4), "%PDF");
  EXPECT_TRUE(op.messages.empty());
}

TEST_F(SheetWindowTest, MenuItemsAreUndoneLikeEditsAndTheAbbreviationsAreReadable) {
  auto w = makeWindow();
  run(*w, 1);
  w->view()->selectCell(kResult, 2);
  w->writeResultItem(3);  // PN
  EXPECT_EQ(w->grid().cell(1, 23), "8:30");
  action(w.get(), "a_undo")->trigger();
  EXPECT_EQ(w->grid().cell(kResult, 2), "8:30");
  EXPECT_EQ(w->grid().cell(1, 23), "");
  action(w.get(), "a_redo")->trigger();
  EXPECT_EQ(w->grid().cell(kResult, 2), "PN=8:30");
  // A new sheet starts without history.
  action(w.get(), "a_filenew")->trigger();
  EXPECT_FALSE(action(w.get(), "a_undo")->isEnabled());
  EXPECT_EQ(child<QComboBox>(w.get(), "ComboBox1")->currentIndex(), 0);

  action(w.get(), "a_skratky")->trigger();
  auto* list = w->findChild<ui::Tfrmskratky*>(QStringLiteral("Tfrmskratky"));
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(list->isVisible());
  EXPECT_FALSE(list->isModal());
  EXPECT_TRUE(list->rowsText().contains(QStringLiteral("PN\tPráceneschopnosť (choroba): PN")));
  EXPECT_TRUE(list->rowsText().contains(QStringLiteral("S2\tSlužobná cesta")));
  const auto problems = testing_support::AccessibilityProblems(list);
  EXPECT_TRUE(problems.empty()) << problems.front();
}

TEST_F(SheetWindowTest, AMissingLogIsReportedAndTheHeadStays) {
  std::filesystem::remove(dir.dir / "Log" / "11_2026.txt");
  auto w = makeWindow();
  run(*w, 1);
  ASSERT_EQ(op.messages.size(), 1u);
  EXPECT_NE(op.messages[0].find("Nie je možné otvorit súbor"), std::string::npos);
  EXPECT_EQ(w->grid().cell(1, 1), "Anna Horná");
  EXPECT_EQ(w->grid().cell(1, 7), "21");
}

// ---------------------------------------------------------------------------
// A sheet is one document: its employee, month and year travel with it.

// An October 2026 sheet of Anna as another program session stored it: the
// 3rd is a Saturday, the 31st exists (November has 30 days).
void WriteOctoberSheet(const std::filesystem::path& file) {
  core::Grid g = robot::NewSheetGrid();
  robot::WriteShowStateHeaders(g);
  for (int r = 1; r < robot::kSheetRows; ++r) g.setCell(0, r, std::string(robot::SheetLabel(r)));
  g.setCell(1, 1, "Anna Horná");
  g.setCell(1, 2, "10");
  g.setCell(1, 3, "2026");
  g.setCell(2, 3, "3-Sob");
  g.setCell(kResult, 3, "4:00");
  g.setCell(kResult, 31, "D 8:30");
  std::string error;
  ASSERT_TRUE(core::GridTextFile::Write(file, g, &error)) << error;
}

TEST_F(SheetWindowTest, AnOpenedSheetIsTotalledWithItsOwnMonth) {
  auto w = makeWindow();  // the lists show November 2026
  WriteOctoberSheet(tmp.path() / "oktober.dok");
  files.openAnswers = {choice("oktober.dok")};
  w->A_FileOpenExecute();
  // The lists follow the sheet, and so do the day colours.
  EXPECT_EQ(w->month(), 10);
  EXPECT_EQ(w->year(), 2026);
  EXPECT_EQ(child<QComboBox>(w.get(), "ComboBox1")->currentText(), QStringLiteral("Anna Horná"));
  EXPECT_EQ(w->sheetState().DayColour[3], robot::kColourSaturday);
  EXPECT_EQ(w->sheetState().DayColour[4], robot::kColourSunday);
  EXPECT_EQ(w->sheetState().DayColour[1], robot::kColourWorkingDay);
  // Even when the clerk picks another month in the list afterwards, an edit
  // totals the sheet's October: the 31st counts, the 3rd is a Saturday.
  child<QComboBox>(w.get(), "cmbmes")->setCurrentIndex(1);
  edit(*w, kResult, 30, QStringLiteral("D 8:30"));
  EXPECT_EQ(w->grid().cell(1, 22), "17:00");  // Dovolenky
  EXPECT_EQ(w->grid().cell(1, 19), "4:00");   // Soboty
}

TEST_F(SheetWindowTest, EditsAfterTheMonthListChangedKeepTheSheetsMonth) {
  auto w = makeWindow();
  run(*w, 1);
  child<QComboBox>(w.get(), "cmbmes")->setCurrentIndex(1);  // February: 28 days
  edit(*w, kResult, 30, QStringLiteral("D 8:30"));
  EXPECT_EQ(w->grid().cell(1, 22), "8:30");
  EXPECT_EQ(w->grid().cell(1, 11), "17:00");
}

struct OtherRunCase {
  const char* name;
  int employee;        // combo position of the second run
  int monthIndex;      // position in the month list of the second run
  const char* atWork;  // "V práci" of the second run
};

class SheetOtherRunTest : public SheetWindowTest, public ::testing::WithParamInterface<OtherRunCase> {};

TEST_P(SheetOtherRunTest, ARunForAnotherEmployeeOrMonthStartsFromAClearSheet) {
  const OtherRunCase c = GetParam();
  auto w = makeWindow();
  run(*w, 1);
  edit(*w, kResult, 6, QStringLiteral("=6:45"));
  edit(*w, kNote, 6, QStringLiteral("poznámka k Anne"));
  op.yesNoAnswers = {true};
  child<QComboBox>(w.get(), "cmbmes")->setCurrentIndex(c.monthIndex);
  run(*w, c.employee);
  const core::Grid& g = w->grid();
  EXPECT_EQ(g.cell(kResult, 6), "") << c.name;
  EXPECT_EQ(g.cell(kNote, 6), "") << c.name;
  EXPECT_EQ(g.cell(kResult, 3), "") << c.name;  // Anna's 3rd
  EXPECT_EQ(g.cell(1, 11), c.atWork) << c.name;
}

// Boris worked 4:00 on the 2nd of November; October has no log.
INSTANTIATE_TEST_SUITE_P(Runs, SheetOtherRunTest,
                         ::testing::Values(OtherRunCase{"another employee", 2, 10, "4:00"},
                                           OtherRunCase{"another month", 1, 9, ""}),
                         [](const auto& param_info) {
                           return param_info.index == 0 ? "AnotherEmployee" : "AnotherMonth";
                         });

class SheetSaveAfterOtherRunTest : public SheetWindowTest, public ::testing::WithParamInterface<bool> {};

TEST_P(SheetSaveAfterOtherRunTest, SavingTheOtherEmployeesSheetAsksForAName) {
  const bool reopened = GetParam();
  auto w = makeWindow();
  run(*w, 1);
  files.saveAnswers = {choice("anna.dok")};
  w->A_FileSaveExecute();
  if (reopened) {
    w->a_filenewExecute();
    files.openAnswers = {choice("anna.dok")};
    w->A_FileOpenExecute();
    ASSERT_TRUE(w->openedFromFile());
  }
  const std::string anna = ReadBytes(tmp.path() / "anna.dok");
  op.yesNoAnswers = {true};
  run(*w, 2);
  EXPECT_EQ(w->grid().cell(1, 1), "Boris Dolný");
  EXPECT_TRUE(w->currentSheetFile().empty());
  EXPECT_FALSE(w->openedFromFile());
  EXPECT_EQ(w->windowTitle(), QStringLiteral("Dochádzkový list *"));
  edit(*w, kResult, 9, QStringLiteral("=2:00"));
  const std::size_t asked = files.saveRequests.size();
  files.saveAnswers = {choice("boris.dok")};
  w->A_FileSaveExecute();
  EXPECT_EQ(files.saveRequests.size(), asked + 1);
  EXPECT_EQ(ReadBytes(tmp.path() / "anna.dok"), anna);
  core::Grid back;
  ASSERT_TRUE(core::GridTextFile::Read(tmp.path() / "boris.dok", back, core::GridTextFile::Cells::SingleLine, nullptr));
  EXPECT_EQ(back.cell(1, 1), "Boris Dolný");
  EXPECT_EQ(back.cell(kResult, 9), "=2:00");
}

INSTANTIATE_TEST_SUITE_P(Files, SheetSaveAfterOtherRunTest, ::testing::Values(false, true),
                         [](const auto& param_info) { return param_info.param ? "Opened" : "Saved"; });

struct FromReportCase {
  const char* name;
  bool opened;  // the sheet came from a file; otherwise it was edited
  const char* question;
};

class SheetFromReportTest : public SheetWindowTest, public ::testing::WithParamInterface<FromReportCase> {};

TEST_P(SheetFromReportTest, TheReportsEmployeeWaitsForTheClerksYes) {
  const FromReportCase c = GetParam();
  auto w = makeWindow();
  run(*w, 1);
  if (c.opened) {
    files.saveAnswers = {choice("anna.dok")};
    w->A_FileSaveExecute();
    files.openAnswers = {choice("anna.dok")};
    w->A_FileOpenExecute();
  } else {
    edit(*w, kResult, 6, QStringLiteral("=6:45"));
  }
  const core::Grid before = w->grid();
  auto* names = child<QComboBox>(w.get(), "ComboBox1");
  op.questions.clear();
  op.yesNoAnswers = {false};
  EXPECT_FALSE(w->showEmployeeSheet("Boris Dolný", 10, 2026));
  ASSERT_EQ(op.questions.size(), 1u) << c.name;
  EXPECT_EQ(op.questions[0].rfind(c.question, 0), 0u) << c.name;
  EXPECT_EQ(names->currentIndex(), 1) << c.name;
  EXPECT_EQ(w->month(), 11) << c.name;
  EXPECT_EQ(w->year(), 2026) << c.name;
  EXPECT_EQ(w->grid(), before) << c.name;

  op.questions.clear();
  op.yesNoAnswers = {true};
  EXPECT_TRUE(w->showEmployeeSheet("Boris Dolný", 11, 2026));
  EXPECT_EQ(op.questions.size(), 1u) << c.name;
  EXPECT_EQ(names->currentIndex(), 2) << c.name;
  EXPECT_EQ(w->grid().cell(1, 1), "Boris Dolný") << c.name;
  EXPECT_EQ(w->grid().cell(1, 11), "4:00") << c.name;
}

INSTANTIATE_TEST_SUITE_P(Questions, SheetFromReportTest,
                         ::testing::Values(FromReportCase{"edited", false,
                                                          "Vykonávali ste úpravy v bunke tabulky\rROBOT prepíše"},
                                           FromReportCase{"opened", true, "Tabulka bola otvorená zo súboru\r"}),
                         [](const auto& param_info) { return param_info.param.opened ? "Opened" : "Edited"; });

class SheetCloseTest : public SheetWindowTest, public ::testing::WithParamInterface<bool> {};

TEST_P(SheetCloseTest, AFailedSaveOnCloseKeepsTheWindowAndTheCorrections) {
  const bool cancelled = GetParam();
  auto w = makeWindow();
  run(*w, 1);
  edit(*w, kResult, 6, QStringLiteral("=6:45"));
  op.yesNoAnswers = {true};
  if (!cancelled)  // a folder on a share that went away
    files.saveAnswers = {ui::FileChoice{QString::fromStdString(core::Utf8FromPath(tmp.path() / "gone" / "x.dok")), 1}};
  EXPECT_FALSE(w->close());
  EXPECT_EQ(op.questions.back(), "Vykonávali ste úpravy v tabulke\rZeláte si uložiť do súboru ?");
  EXPECT_TRUE(w->isVisible());
  EXPECT_TRUE(w->sheetModified());
  EXPECT_TRUE(action(w.get(), "A_FileSave")->isEnabled());
  EXPECT_EQ(w->grid().cell(kResult, 6), "=6:45");
  EXPECT_EQ(op.messages.size(), cancelled ? 0u : 1u);
  // No closes it as the clerk decided.
  op.yesNoAnswers = {false};
  EXPECT_TRUE(w->close());
  EXPECT_FALSE(w->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Saves, SheetCloseTest, ::testing::Values(true, false),
                         [](const auto& param_info) { return param_info.param ? "Cancelled" : "Unwritable"; });

struct RunUndoCase {
  const char* name;
  int employee;  // combo position of the run that is undone
};

class SheetRunUndoTest : public SheetWindowTest, public ::testing::WithParamInterface<RunUndoCase> {};

TEST_P(SheetRunUndoTest, CtrlZBringsBackWhatARunOverwrote) {
  const RunUndoCase c = GetParam();
  auto w = makeWindow();
  run(*w, 1);
  files.saveAnswers = {choice("anna.dok")};
  w->A_FileSaveExecute();
  edit(*w, kResult, 3, QStringLiteral("7:45"));  // not protected: the run rewrites it
  edit(*w, kNote, 3, QStringLiteral("skôr odišla"));
  const core::Grid edited = w->grid();
  op.yesNoAnswers = {true};
  run(*w, c.employee);
  ASSERT_NE(w->grid(), edited) << c.name;
  const core::Grid computed = w->grid();

  w->activateWindow();
  w->view()->setFocus();
  QTest::keyClick(w->view(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(w->grid(), edited) << c.name;
  EXPECT_EQ(w->grid().cell(1, 11), "16:15") << c.name;
  EXPECT_TRUE(w->sheetModified()) << c.name;
  EXPECT_EQ(w->currentSheetFile(), core::Utf8FromPath(tmp.path() / "anna.dok")) << c.name;
  EXPECT_EQ(w->windowTitle(), QStringLiteral("Dochádzkový list * anna.dok")) << c.name;
  // The edits before the run are steps of their own.
  EXPECT_TRUE(w->undoStack().canUndo()) << c.name;
  action(w.get(), "a_redo")->trigger();
  EXPECT_EQ(w->grid(), computed) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Runs, SheetRunUndoTest,
                         ::testing::Values(RunUndoCase{"same employee", 1}, RunUndoCase{"another employee", 2}),
                         [](const auto& param_info) {
                           return param_info.param.employee == 1 ? "SameEmployee" : "AnotherEmployee";
                         });

// True when the cell's text is painted whole: its width and the item's text
// margins fit the cell.
bool ShowsWhole(const QTableView& view, const QModelIndex& index) {
  const QString text = index.data().toString();
  const int margin = view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &view) + 1;
  return QFontMetrics(view.font()).horizontalAdvance(text) + 2 * margin <= view.visualRect(index).width();
}

TEST_F(SheetWindowTest, DayLabelsAndADaysRegistrationsReadWholeOnALargeScreen) {
  WriteBytes(dir.dir / "sviatky.txt", "17.11.2026\r\n");
  std::ofstream(dir.dir / "Log" / "11_2026.txt", std::ios::binary | std::ios::app)
      << "5.11.2026 6:58:00\t101\t0\r\n5.11.2026 11:30:00\t101\t21\r\n"
         "5.11.2026 12:40:00\t101\t5\r\n5.11.2026 15:31:00\t101\t16\r\n";
  auto w = makeWindow();
  w->showNormal();
  w->setGeometry(0, 0, 1600, 1000);
  QApplication::processEvents();
  run(*w, 1);
  QApplication::processEvents();
  ui::GridView& view = *w->view();
  EXPECT_EQ(view.font().pointSizeF(), QApplication::font().pointSizeF());
  EXPECT_GE(view.rowHeight(17), std::max(15, QFontMetrics(view.font()).height()));
  EXPECT_EQ(w->grid().cell(2, 17), "17-Uto SV");
  for (int d = 1; d <= 30; ++d)
    EXPECT_TRUE(ShowsWhole(view, w->model().indexOf(2, d))) << w->grid().cell(2, d) << " in " << view.columnWidth(2);
  // A day's result reads whole as well.
  for (int d = 1; d <= 30; ++d)
    EXPECT_TRUE(ShowsWhole(view, w->model().indexOf(4, d))) << w->grid().cell(4, d) << " in " << view.columnWidth(4);
  EXPECT_EQ(w->grid().cell(3, 5).substr(0, 12), "06:58 PR N -");
  EXPECT_TRUE(ShowsWhole(view, w->model().indexOf(3, 5))) << view.columnWidth(3);
  // The registrations take the width the other columns leave.
  const int right = view.columnViewportPosition(5) + view.columnWidth(5);
  EXPECT_GE(right, view.viewport()->width() - 1);
  EXPECT_FALSE(view.horizontalScrollBar()->isVisible());

  // The sheet file keeps the sheet's own widths.
  EXPECT_EQ(w->grid().columnWidth(2), 40);
  EXPECT_EQ(w->grid().columnWidth(3), 200);
  files.saveAnswers = {choice("anna.dok")};
  w->A_FileSaveExecute();
  const std::string bytes = ReadBytes(tmp.path() / "anna.dok");
  EXPECT_NE(bytes.find("cw 2,40\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("cw 3,200\r\n"), std::string::npos);
  // A width the clerk drags is stored; the others stay.
  view.horizontalHeader()->resizeSection(5, 160);
  QApplication::processEvents();
  EXPECT_EQ(w->grid().columnWidth(5), 160);
  EXPECT_EQ(w->grid().columnWidth(2), 40);
  EXPECT_EQ(w->grid().columnWidth(3), 200);
  EXPECT_GE(view.columnViewportPosition(5) + view.columnWidth(5), view.viewport()->width() - 1);
}

}  // namespace
