// The employee list window and the new-employee dialog, driven headless by
// object name: filling, editing, adding, deleting, finding, the bulk
// commands, both imports, the export, saving and closing with what each
// leaves in prac.txt and the shared list.

#include <gtest/gtest.h>
#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <functional>

#include "accessibility_walk.h"
#include "core/text_codec.h"
#include "modal_helpers.h"
#include "support/test_support.h"
#include "ui/employee_table_model.h"
#include "ui/employee_window.h"
#include "ui/new_employee_dialog.h"

namespace {

using testing_support::ReadBytes;
using testing_support::ScriptedOperator;
using testing_support::TempDir;
using testing_support::WriteBytes;
using testing_support::WriteCp1250;

const char* const kSaveQuestion = "Naozaj si želáte uložit tento zoznam?\rNie je možné vrátit spät";
const char* const kCloseQuestion = "Zmenili ste údaje v tabulke\rŽeláte si uložit";

using ui_test::OnModal;

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

template <typename T>
T* Child(QObject* parent, const char* name) {
  return parent->findChild<T*>(QLatin1String(name));
}

class EmployeeWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.dir = tmp.path() / "";
    list = testing_support::MakeEmployees(
        {{"Anna Horná", 101, "Výroba"}, {"Boris Dolný", 102, "Sklad"}, {"Cyril Stredný", 103, "X"}});
    list.employees()[0].shiftsAllowed = true;
    list.employees()[0].workload = "100";
    list.employees()[1].breaks = 30;
    ASSERT_TRUE(list.write(dir.employeeFile()));
    savedBytes = ReadBytes(dir.employeeFile());
  }

  std::unique_ptr<ui::Tfrmprac> open() {
    auto w = std::make_unique<ui::Tfrmprac>(list, dir, 510, op, files);
    w->setUrlOpener([this](const QUrl& url) { opened.push_back(url); });
    tester =
        std::make_unique<QAbstractItemModelTester>(w->model(), QAbstractItemModelTester::FailureReportingMode::Warning);
    w->show();
    return w;
  }
  static QAction* Action(ui::Tfrmprac& w, const char* name) { return Child<QAction>(&w, name); }
  static QString Cell(ui::Tfrmprac& w, int row, int column) { return w.model()->index(row, column).data().toString(); }
  static bool Edit(ui::Tfrmprac& w, int row, int column, const QString& text) {
    return w.model()->setData(w.model()->index(row, column), text, Qt::EditRole);
  }
  // Fills the new-employee dialog and presses OK.
  static void FillAndAccept(ui::Tfrminprac* d, const QString& name, const QString& card) {
    Child<QLineEdit>(d, "edmeno")->setText(name);
    Child<QLineEdit>(d, "edkarta")->setText(card);
    Child<QPushButton>(d, "BTok")->click();
  }
  std::vector<std::string> listNames() const {
    std::vector<std::string> names;
    for (const auto& e : list.employees()) names.push_back(e.name);
    return names;
  }

  TempDir tmp;
  core::ProgramDirectory dir;
  core::EmployeeList list;
  std::string savedBytes;
  ScriptedOperator op;
  ui::ScriptedFileDialogs files;
  std::vector<QUrl> opened;
  std::unique_ptr<QAbstractItemModelTester> tester;
};

TEST_F(EmployeeWindowTest, OpensWithTheListAndClosesWithoutEditsAskingNothing) {
  auto w = open();
  EXPECT_EQ(w->windowTitle(), "Pracovníci");
  QAbstractItemModel* m = w->model();
  ASSERT_EQ(m->rowCount(), 3);
  ASSERT_EQ(m->columnCount(), 8);
  const QStringList headers = {"Meno a Priezvisko", "Osobne císlo", "Karta",    "Oddelenie", "Smeny",
                               "Služobné",          "Uvazok",       "Prestávky"};
  const int widths[] = {150, 80, 40, 100, 40, 40, 40, 40};
  for (int c = 0; c < 8; ++c) {
    EXPECT_EQ(m->headerData(c, Qt::Horizontal).toString(), headers[c]);
    // At least the window's width; wider where the caption needs it.
    EXPECT_GE(w->grid()->horizontalHeader()->sectionSize(c), widths[c]);
  }
  EXPECT_EQ(w->grid()->horizontalHeader()->sectionSize(0), 150);
  EXPECT_EQ(m->headerData(6, Qt::Horizontal, Qt::ToolTipRole).toString(),
            "Uvazok v percentach\nAlebo v hodinách na den, napr: 8:00");
  EXPECT_EQ(m->index(0, 2).data(Qt::ToolTipRole).toString(), "Číslo karty nie je možné zmenit");
  EXPECT_EQ(m->index(0, 0).data(Qt::ToolTipRole).toString(), "Stlacte F2 pre úpravu bunky");
  EXPECT_EQ(Cell(*w, 0, 0), "Anna Horná");
  EXPECT_EQ(Cell(*w, 1, 2), "102");
  EXPECT_EQ(Cell(*w, 1, 7), "30");
  EXPECT_EQ(Cell(*w, 0, 6), "100");
  EXPECT_EQ(m->index(0, 4).data(Qt::CheckStateRole).toInt(), Qt::Checked);
  EXPECT_EQ(m->index(1, 4).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
  EXPECT_FALSE(m->flags(m->index(0, 2)) & Qt::ItemIsEditable);
  EXPECT_TRUE(m->flags(m->index(0, 4)) & Qt::ItemIsUserCheckable);
  EXPECT_FALSE(Edit(*w, 0, 2, "999"));
  EXPECT_EQ(w->statusPanelText(0), "Pocet: 3");
  EXPECT_FALSE(Action(*w, "A_save")->isEnabled());
  EXPECT_EQ(Action(*w, "A_delete")->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_Delete));
  EXPECT_EQ(Action(*w, "A_new")->toolTip(), "Pridať pracovníka");

  w->grid()->setCurrentIndex(m->index(1, 0));
  EXPECT_EQ(w->statusPanelText(1), "Boris Dolný");

  EXPECT_EQ(testing_support::AccessibilityProblems(w.get()), std::vector<std::string>{});
  Action(*w, "A_help")->trigger();
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].fragment(), "zoznam_prac");

  Action(*w, "A_close")->trigger();
  EXPECT_FALSE(w->isVisible());
  EXPECT_TRUE(op.questions.empty());
  EXPECT_TRUE(op.messages.empty());
}

TEST_F(EmployeeWindowTest, AnAddedEmployeeIsLostWhenClosingWithNo) {
  WriteBytes(dir.presenceFile(), std::string(72, '\0'));
  auto w = open();
  OnModal<ui::Tfrminprac>([](ui::Tfrminprac* d) {
    // The department list offers what the rows use, without one-letter texts.
    auto* departments = Child<QComboBox>(d, "cmbOddelenie");
    ASSERT_EQ(departments->count(), 2);
    EXPECT_EQ(departments->itemText(0), "Výroba");
    EXPECT_EQ(departments->itemText(1), "Sklad");
    EXPECT_EQ(Child<QLineEdit>(d, "eduvazok")->text(), "100");
    EXPECT_EQ(Child<QLineEdit>(d, "Edit1")->text(), "30");
    EXPECT_EQ(testing_support::AccessibilityProblems(d), std::vector<std::string>{});
    departments->setEditText("Údržba");
    Child<QCheckBox>(d, "chksluz")->setChecked(true);
    FillAndAccept(d, "Dana Nová", "4711");
  });
  Action(*w, "A_new")->trigger();
  ASSERT_EQ(w->model()->rowCount(), 4);
  EXPECT_EQ(Cell(*w, 3, 0), "Dana Nová");
  EXPECT_EQ(Cell(*w, 3, 2), "4711");
  EXPECT_EQ(Cell(*w, 3, 3), "Údržba");
  EXPECT_EQ(w->model()->index(3, 5).data(Qt::CheckStateRole).toInt(), Qt::Checked);
  EXPECT_EQ(Cell(*w, 3, 7), "30");
  EXPECT_EQ(w->grid()->currentIndex(), w->model()->index(3, 0));
  EXPECT_TRUE(Action(*w, "A_save")->isEnabled());
  EXPECT_EQ(w->statusPanelText(0), "Pocet: 4");
  EXPECT_FALSE(std::filesystem::exists(dir.presenceFile()));

  // The next use keeps everything but the card.
  OnModal<ui::Tfrminprac>([](ui::Tfrminprac* d) {
    EXPECT_EQ(Child<QLineEdit>(d, "edmeno")->text(), "Dana Nová");
    EXPECT_EQ(Child<QComboBox>(d, "cmbOddelenie")->currentText(), "Údržba");
    EXPECT_TRUE(Child<QCheckBox>(d, "chksluz")->isChecked());
    EXPECT_TRUE(Child<QLineEdit>(d, "edkarta")->text().isEmpty());
    Child<QPushButton>(d, "BTkoniec")->click();
  });
  Action(*w, "A_new")->trigger();
  EXPECT_EQ(w->model()->rowCount(), 4);

  op.yesNoAnswers = {false};
  w->close();
  EXPECT_FALSE(w->isVisible());
  EXPECT_EQ(op.questions, std::vector<std::string>{kCloseQuestion});
  EXPECT_EQ(ReadBytes(dir.employeeFile()), savedBytes);
  EXPECT_EQ(list.size(), 3u);
}

TEST_F(EmployeeWindowTest, SaveWritesTheTableAndChangesTheSharedListInPlace) {
  auto w = open();
  const core::EmployeeList* shared = &list;
  int saved = 0;
  QObject::connect(w.get(), &ui::Tfrmprac::listSaved, [&] { ++saved; });
  ASSERT_TRUE(Edit(*w, 1, 0, "Boris Horný"));
  ASSERT_TRUE(Edit(*w, 1, 6, "6:00"));
  ASSERT_TRUE(w->model()->setData(w->model()->index(2, 5), Qt::Checked, Qt::CheckStateRole));
  EXPECT_TRUE(w->changed());

  op.yesNoAnswers = {false};
  EXPECT_FALSE(w->A_saveExecute());
  EXPECT_EQ(ReadBytes(dir.employeeFile()), savedBytes);
  EXPECT_TRUE(Action(*w, "A_save")->isEnabled());

  op.yesNoAnswers = {true};
  ASSERT_TRUE(w->A_saveExecute());
  EXPECT_EQ(op.questions.back(), kSaveQuestion);
  EXPECT_EQ(saved, 1);
  EXPECT_FALSE(Action(*w, "A_save")->isEnabled());
  ASSERT_EQ(shared->size(), 3u);
  EXPECT_EQ(shared->employees()[1].name, "Boris Horný");
  EXPECT_EQ(shared->employees()[1].workloadMinutes, 360);
  EXPECT_TRUE(shared->employees()[2].tripsAllowed);
  core::EmployeeList back;
  ASSERT_EQ(back.read(dir.employeeFile(), 510), 1);
  EXPECT_EQ(back.employees(), shared->employees());

  // Closing after the save asks nothing.
  const auto asked = op.questions.size();
  w->close();
  EXPECT_EQ(op.questions.size(), asked);
}

TEST_F(EmployeeWindowTest, ARefusedSaveChangesNeitherTheFileNorTheList) {
  struct Case {
    const char* what;
    std::function<void(ui::Tfrmprac&)> edit;
    std::deque<bool> answers;  // after the save question
    std::string message;       // empty: a question stopped it
  };
  const Case cases[] = {
      {"breaks 3O", [](ui::Tfrmprac& w) { Edit(w, 1, 7, "3O"); }, {}, "Nastavte prestávky v riadku: 2"},
      {"a card given twice, answered No",
       [](ui::Tfrmprac& w) {
         OnModal<ui::Tfrminprac>([](ui::Tfrminprac* d) {
           // The dialog asks too; Yes takes the card.
           FillAndAccept(d, "Dana Nová", "102");
         });
         Action(w, "A_new")->trigger();
       },
       {false},
       ""},
      {"prac.txt cannot be replaced",
       [this](ui::Tfrmprac& w) {
         Edit(w, 0, 0, "Anna Nová");
         std::filesystem::remove(dir.employeeFile());
         std::filesystem::create_directories(dir.employeeFile() / "keep");
       },
       {},
       "Nie je možné uložiť súbor"},
  };
  for (const Case& c : cases) {
    SetUp();
    auto w = open();
    op = ScriptedOperator{};
    op.yesNoAnswers = {true};  // the dialog's duplicate question, when asked
    c.edit(*w);
    const std::string before = ReadBytes(dir.employeeFile());
    op.yesNoAnswers = {true};
    op.yesNoAnswers.insert(op.yesNoAnswers.end(), c.answers.begin(), c.answers.end());
    op.messages.clear();
    EXPECT_FALSE(w->A_saveExecute()) << c.what;
    if (c.message.empty()) {
      EXPECT_TRUE(op.messages.empty()) << c.what;
      EXPECT_EQ(op.questions.back(), "Karta 102 je už priradená pracovníkovi Boris Dolný. Pokračovať?") << c.what;
    } else {
      ASSERT_EQ(op.messages.size(), 1u) << c.what;
      EXPECT_TRUE(StartsWith(op.messages[0], c.message)) << c.what << ": " << op.messages[0];
    }
    EXPECT_EQ(ReadBytes(dir.employeeFile()), before) << c.what;
    EXPECT_EQ(listNames(), (std::vector<std::string>{"Anna Horná", "Boris Dolný", "Cyril Stredný"})) << c.what;
    EXPECT_TRUE(w->changed()) << c.what;
    EXPECT_TRUE(Action(*w, "A_save")->isEnabled()) << c.what;

    // Closing with Yes runs the same save: the window stays open with the edits.
    op.yesNoAnswers = {true};
    op.yesNoAnswers.insert(op.yesNoAnswers.end(), c.answers.begin(), c.answers.end());
    w->close();
    EXPECT_TRUE(w->isVisible()) << c.what;
    op.yesNoAnswers = {false};
    w->close();
    EXPECT_FALSE(w->isVisible()) << c.what;
    std::filesystem::remove_all(dir.employeeFile());
  }
}

TEST_F(EmployeeWindowTest, TheDialogChecksNameCardAndTextsInOrder) {
  ui::Tfrminprac d(op);
  std::vector<core::EmployeeRow> rows = core::RowsFromEmployees(list);
  struct Case {
    const char* name;
    const char* card;
    const char* breaks;
    std::string message;
    const char* focus;
  };
  const Case cases[] = {
      {"", "12a", "30", "Žiadne meno pracovníka", "edmeno"},
      {"   ", "5", "30", "Žiadne meno pracovníka", "edmeno"},
      {"Eva", "0", "30", "Nesprávne císlo karty", "edkarta"},
      {"Eva", "65536", "30", "Nesprávne císlo karty", "edkarta"},
      {"Eva", "12a", "30", "Nesprávne císlo karty", "edkarta"},
      {"Eva", "", "30", "Nesprávne císlo karty", "edkarta"},
      {"Eva; Malá", "5", "30",
       "Údaj \"Priezvisko a Meno\" obsahuje znak \";\"\rTaký text nie je možné uložiť do súboru prac.txt", "edmeno"},
      {"Eva", "5", "3O", "Nesprávne prestávky: zadajte celý počet minút od 0 do 1440", "Edit1"},
  };
  for (const Case& c : cases) {
    d.prepare(core::NewEmployeeRowDefaults(), {}, &rows);
    d.show();
    Child<QLineEdit>(&d, "Edit1")->setText(c.breaks);
    op.messages.clear();
    FillAndAccept(&d, c.name, c.card);
    ASSERT_EQ(op.messages.size(), 1u) << c.name << "/" << c.card;
    EXPECT_EQ(op.messages[0], c.message);
    EXPECT_TRUE(d.isVisible()) << c.name << "/" << c.card;
    EXPECT_EQ(d.focusWidget(), Child<QWidget>(&d, c.focus)) << c.name << "/" << c.card;
  }

  // A card another row has: No keeps the dialog open, Yes takes it.
  Child<QLineEdit>(&d, "Edit1")->setText("30");
  op.messages.clear();
  op.yesNoAnswers = {false, true};
  FillAndAccept(&d, "Eva", "101");
  EXPECT_TRUE(d.isVisible());
  FillAndAccept(&d, "Eva", "101");
  EXPECT_FALSE(d.isVisible());
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_EQ(op.questions,
            std::vector<std::string>(2, "Karta 101 je už priradená pracovníkovi Anna Horná. Pokračovať?"));
  EXPECT_TRUE(op.messages.empty());
  EXPECT_EQ(d.values().card, "101");
}

TEST_F(EmployeeWindowTest, TheReadButtonAndF2FillTheCardOnlyWhenOneWasRead) {
  ui::Tfrminprac d(op);
  std::deque<std::optional<int>> answers = {4711, std::nullopt, 0};
  int calls = 0;
  d.setCardReader([&](QWidget* over) {
    ++calls;
    EXPECT_EQ(over, &d);
    EXPECT_TRUE(d.reading());
    auto a = answers.front();
    answers.pop_front();
    return a;
  });
  d.prepare(core::NewEmployeeRowDefaults(), {}, nullptr);
  d.show();
  auto* card = Child<QLineEdit>(&d, "edkarta");
  auto* read = Child<QPushButton>(&d, "BTread");
  EXPECT_TRUE(read->isEnabled());
  read->click();
  EXPECT_EQ(card->text(), "4711");
  // Nothing read (cancelled, or the terminal did not answer): unchanged.
  card->setFocus();
  QTest::keyClick(card, Qt::Key_F2);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(card->text(), "4711");
  // A report of card 0 is card 0.
  QTest::keyClick(Child<QLineEdit>(&d, "edmeno"), Qt::Key_F2);
  EXPECT_EQ(card->text(), "0");
  EXPECT_FALSE(d.reading());
}

TEST_F(EmployeeWindowTest, DeleteFindAndTheBulkCommands) {
  auto w = open();
  QAbstractItemModel* m = w->model();
  // Find runs down from the row after the selected one.
  ASSERT_TRUE(Edit(*w, 2, 0, "Anna Stredná"));
  w->grid()->setCurrentIndex(m->index(0, 0));
  EXPECT_TRUE(w->findNext("Anna"));
  EXPECT_EQ(w->grid()->currentIndex(), m->index(2, 0));
  EXPECT_TRUE(w->findNext("Boris"));  // from the last row: from the first
  EXPECT_EQ(w->grid()->currentIndex(), m->index(1, 0));
  EXPECT_FALSE(w->findNext("Boris"));  // not the selected row itself
  EXPECT_EQ(w->grid()->currentIndex(), m->index(1, 0));

  Action(*w, "A_shiftsOn")->trigger();
  Action(*w, "A_tripsOn")->trigger();
  for (int r = 0; r < 3; ++r) {
    EXPECT_EQ(m->index(r, 4).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_EQ(m->index(r, 5).data(Qt::CheckStateRole).toInt(), Qt::Checked);
  }
  Action(*w, "A_tripsOff")->trigger();
  for (int r = 0; r < 3; ++r) EXPECT_EQ(m->index(r, 5).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
  ASSERT_TRUE(Edit(*w, 0, 6, "50"));
  EXPECT_TRUE(w->popupMenu()->actions().contains(Action(*w, "A_workload100")));
  Action(*w, "A_workload100")->trigger();
  EXPECT_EQ(Cell(*w, 0, 6), "100");

  op.yesNoAnswers = {false, true};
  Action(*w, "A_delete")->trigger();
  EXPECT_EQ(m->rowCount(), 3);
  Action(*w, "A_delete")->trigger();
  EXPECT_EQ(op.questions, (std::vector<std::string>(2, "Želáte si naozaj vymazat riadok: Boris Dolný")));
  ASSERT_EQ(m->rowCount(), 2);
  EXPECT_EQ(Cell(*w, 1, 0), "Anna Stredná");
  EXPECT_EQ(w->statusPanelText(0), "Pocet: 2");
  EXPECT_EQ(list.size(), 3u);  // until the save
}

TEST_F(EmployeeWindowTest, ImportingTheOldListFillsOnlyTheTable) {
  auto w = open();
  op.yesNoAnswers = {false, true};
  w->ImportOldList();
  EXPECT_TRUE(op.messages.empty());
  w->ImportOldList();
  EXPECT_EQ(op.messages, std::vector<std::string>{"Súbor kluce.txt sa nenachádza v adresári VORTANE"});

  WriteCp1250(dir.dir / "kluce.txt", "nič\r\nabc\tNikto\r\n99999\tPríliš\r\n");
  op.yesNoAnswers = {true};
  w->ImportOldList();
  EXPECT_EQ(op.messages.back(), "V súbore sa nenachádzajú údaje");
  EXPECT_EQ(w->model()->rowCount(), 3);
  EXPECT_FALSE(w->changed());

  WriteCp1250(dir.dir / "kluce.txt", "501\tŽofia Stará\r\nsmetie\r\n\r\n502\tIgor Starý\textra\r\n");
  op.yesNoAnswers = {true};
  w->ImportOldList();
  EXPECT_EQ(op.questions.back(), "Želáte si importovat zoznam zo staršej verzie programu: kluce.txt");
  ASSERT_EQ(w->model()->rowCount(), 2);
  EXPECT_EQ(Cell(*w, 0, 0), "Žofia Stará");
  EXPECT_EQ(Cell(*w, 1, 0), "Igor Starý");
  EXPECT_EQ(Cell(*w, 1, 2), "502");
  EXPECT_TRUE(Action(*w, "A_save")->isEnabled());
  EXPECT_EQ(list.size(), 3u);
  EXPECT_EQ(ReadBytes(dir.employeeFile()), savedBytes);
}

TEST_F(EmployeeWindowTest, CsvExportAndImport) {
  auto w = open();
  const QString csv = QString::fromStdString(core::Utf8FromPath(tmp.path() / "zoznam"));
  files.saveAnswers.push_back({csv, 1});
  w->ExportCsv();
  ASSERT_EQ(files.saveRequests.size(), 1u);
  EXPECT_EQ(files.saveRequests[0].defaultSuffix, "csv");
  const std::string exported = ReadBytes(tmp.path() / "zoznam.csv");
  EXPECT_TRUE(StartsWith(core::Cp1250ToUtf8(exported),
                         "Meno a Priezvisko,Osobne císlo,Karta,Oddelenie,Smeny,Služobné,Uvazok,Prestávky\r\nAnna"));

  // A refused file leaves the table as it was.
  WriteBytes(tmp.path() / "zle.csv", "Meno;Karta\r\nJán;5\r\n");
  files.openAnswers.push_back({QString::fromStdString(core::Utf8FromPath(tmp.path() / "zle.csv")), 1});
  w->ImportCsv();
  ASSERT_EQ(op.messages.size(), 1u);
  EXPECT_TRUE(StartsWith(op.messages[0], "Súbor nie je možné načítať: riadok 1\r")) << op.messages[0];
  EXPECT_EQ(w->model()->rowCount(), 3);
  EXPECT_FALSE(w->changed());

  // The exported file edited in a spreadsheet (UTF-8, a card that is not a
  // number) comes back; the save then names the bad row.
  const std::string edited = core::Cp1250ToUtf8(exported) + "Jozef Nový,,k12,Sklad,0,1,100,15\r\n";
  WriteBytes(tmp.path() / "nove.csv", edited);
  files.openAnswers.push_back({QString::fromStdString(core::Utf8FromPath(tmp.path() / "nove.csv")), 1});
  w->ImportCsv();
  ASSERT_EQ(w->model()->rowCount(), 4);
  EXPECT_EQ(Cell(*w, 3, 0), "Jozef Nový");
  EXPECT_EQ(Cell(*w, 3, 2), "k12");
  EXPECT_EQ(Cell(*w, 0, 0), "Anna Horná");
  EXPECT_TRUE(w->changed());
  op.yesNoAnswers = {true};
  EXPECT_FALSE(w->A_saveExecute());
  EXPECT_EQ(op.messages.back(), "Nesprávne císlo karty v riadku: 4");
  EXPECT_EQ(w->grid()->currentIndex(), w->model()->index(3, 2));
  EXPECT_EQ(ReadBytes(dir.employeeFile()), savedBytes);
}

TEST_F(EmployeeWindowTest, KeyboardSpaceTogglesAndF2EditsRefusingWhatPracTxtCannotHold) {
  auto w = open();
  QTableView* grid = w->grid();
  QAbstractItemModel* m = w->model();
  grid->setFocus();
  grid->setCurrentIndex(m->index(1, 4));
  QTest::keyClick(grid, Qt::Key_Space);
  EXPECT_EQ(m->index(1, 4).data(Qt::CheckStateRole).toInt(), Qt::Checked);
  EXPECT_TRUE(w->changed());

  grid->setCurrentIndex(m->index(1, 3));
  QTest::keyClick(grid, Qt::Key_F2);
  auto* editor = qobject_cast<QLineEdit*>(w->focusWidget());
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->maxLength(), 32);
  editor->selectAll();
  QTest::keyClicks(editor, "Sklad;2");
  QTest::keyClick(editor, Qt::Key_Return);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !op.messages.empty(); }, 2000));
  EXPECT_EQ(
      op.messages[0],
      "Riadok 2, stĺpec \"Oddelenie\": text obsahuje znak \";\"\rTaký text nie je možné uložiť do súboru prac.txt");
  EXPECT_EQ(Cell(*w, 1, 3), "Sklad");

  grid->setCurrentIndex(m->index(1, 3));
  QTest::keyClick(grid, Qt::Key_F2);
  editor = qobject_cast<QLineEdit*>(w->focusWidget());
  ASSERT_NE(editor, nullptr);
  editor->selectAll();
  editor->setText(QStringLiteral("Expedícia"));
  QTest::keyClick(editor, Qt::Key_Return);  // committed from the event loop
  EXPECT_TRUE(QTest::qWaitFor([&] { return Cell(*w, 1, 3) == "Expedícia"; }, 2000));
  // Ctrl+S from the table is the save with its question.
  op.yesNoAnswers = {false};
  QTest::keyClick(grid, Qt::Key_S, Qt::ControlModifier);
  ASSERT_FALSE(op.questions.empty());
  EXPECT_EQ(op.questions.back(), "Naozaj si želáte uložit tento zoznam?\rNie je možné vrátit spät");
  // Column 2 opens no editor.
  grid->setCurrentIndex(m->index(1, 2));
  QTest::keyClick(grid, Qt::Key_F2);
  EXPECT_EQ(w->focusWidget(), grid);
  op.yesNoAnswers = {false};
  w->close();
}

// The clerk types a name and presses Ctrl+S at once: the open editor is
// committed and saved, so the two Escapes after it lose nothing.
TEST_F(EmployeeWindowTest, CtrlSInAnOpenEditorSavesWhatWasTyped) {
  auto w = open();
  QTableView* grid = w->grid();
  QApplication::setActiveWindow(w.get());
  grid->setFocus();
  grid->setCurrentIndex(w->model()->index(1, 0));
  EXPECT_FALSE(Action(*w, "A_save")->isEnabled());
  QTest::keyClick(grid, Qt::Key_F2);
  auto* editor = qobject_cast<QLineEdit*>(w->focusWidget());
  ASSERT_NE(editor, nullptr);
  editor->selectAll();
  QTest::keyClicks(editor, "Boris Novak");
  // The typed text is a change: "Uložiť" can be used while the editor is open.
  EXPECT_TRUE(Action(*w, "A_save")->isEnabled());
  op.yesNoAnswers = {true};
  QTest::keyClick(editor, Qt::Key_S, Qt::ControlModifier);
  ASSERT_EQ(op.questions.size(), 1u);
  EXPECT_EQ(op.questions[0], kSaveQuestion);
  EXPECT_EQ(listNames()[1], "Boris Novak");
  EXPECT_NE(core::Cp1250ToUtf8(ReadBytes(dir.employeeFile())).find("Boris Novak"), std::string::npos);
  EXPECT_FALSE(w->changed());
  QTest::keyClick(w->focusWidget(), Qt::Key_Escape);
  QTest::keyClick(w->focusWidget() ? w->focusWidget() : w.get(), Qt::Key_Escape);
  EXPECT_EQ(op.questions.size(), 1u);  // nothing left to ask about

  // An editor opened and left as it was saves nothing and asks nothing.
  auto again = open();
  again->grid()->setFocus();
  again->grid()->setCurrentIndex(again->model()->index(0, 0));
  QTest::keyClick(again->grid(), Qt::Key_F2);
  ASSERT_NE(qobject_cast<QLineEdit*>(again->focusWidget()), nullptr);
  EXPECT_FALSE(again->A_saveExecute());
  EXPECT_EQ(op.questions.size(), 1u);
  EXPECT_FALSE(Action(*again, "A_save")->isEnabled());
}

// An edit committed but not saved: Escape does not close the window
// without the close question.
TEST_F(EmployeeWindowTest, EscapeWithUnsavedChangesAsksBeforeClosing) {
  auto w = open();
  ASSERT_TRUE(Edit(*w, 2, 0, "Cyril Horný"));
  op.yesNoAnswers = {false};
  QTest::keyClick(w->grid(), Qt::Key_Escape);
  ASSERT_EQ(op.questions.size(), 1u);
  EXPECT_EQ(op.questions[0], kCloseQuestion);
  EXPECT_EQ(ReadBytes(dir.employeeFile()), savedBytes);
}

TEST_F(EmployeeWindowTest, TheCurrentRowAndItsNameFollowImportsAndEdits) {
  auto w = open();
  EXPECT_EQ(w->statusPanelText(1), "Anna Horná");
  WriteCp1250(tmp.path() / "kluce.txt", "501\tJana Nová\r\n502\tPeter Starý\r\n");
  WriteBytes(tmp.path() / "import.csv",
             "Meno a Priezvisko,Osobne císlo,Karta,Oddelenie,Smeny,Služobné,Uvazok,Prestávky\r\n"
             "Eva Prvá,,7,,0,0,100,0\r\nFero Druhý,,8,,0,0,100,0\r\n");
  struct Case {
    const char* what;
    std::function<void()> run;
    const char* first;
  };
  const Case cases[] = {
      {"old list",
       [&] {
         op.yesNoAnswers = {true};
         w->ImportOldList();
       },
       "Jana Nová"},
      {"CSV",
       [&] {
         files.openAnswers.push_back({QString::fromStdString(core::Utf8FromPath(tmp.path() / "import.csv")), 1});
         w->ImportCsv();
       },
       "Eva Prvá"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    w->grid()->setCurrentIndex(w->model()->index(1, 3));
    c.run();
    ASSERT_TRUE(op.messages.empty()) << op.messages.front();
    EXPECT_EQ(w->grid()->currentIndex(), w->model()->index(0, 0));
    EXPECT_EQ(w->statusPanelText(1).toStdString(), c.first);
    // The name edited in place: the panel reads the new one.
    ASSERT_TRUE(Edit(*w, 0, 0, "Premenovaný"));
    EXPECT_EQ(w->statusPanelText(1), "Premenovaný");
    w->grid()->setCurrentIndex(w->model()->index(1, 0));
    EXPECT_NE(w->statusPanelText(1), "Premenovaný");
  }
  op.yesNoAnswers = {false};
  w->close();
}

// A prac.txt that cannot be replaced (a folder stands there): one Slovak
// sentence with the path and the reason.
TEST_F(EmployeeWindowTest, AFileThatCannotBeWrittenIsReportedInSlovak) {
  auto w = open();
  std::filesystem::remove(dir.employeeFile());
  std::filesystem::create_directories(dir.employeeFile());
  ASSERT_TRUE(Edit(*w, 0, 0, "Anna Nová"));
  op.yesNoAnswers = {true};
  EXPECT_FALSE(w->A_saveExecute());
  ASSERT_EQ(op.messages.size(), 1u);
  const std::string& m = op.messages[0];
  const std::string file = core::DisplayPath(dir.employeeFile());
  EXPECT_EQ(m, "Nie je možné uložiť súbor " + file + "\rNie je možné nahradiť súbor " + file +
                   ": na tom mieste je priečinok");
  for (const char* english : {"Cannot", "Is a directory", "directory", "file"})
    EXPECT_EQ(m.find(english), std::string::npos) << m;
  EXPECT_TRUE(w->changed());
  op.yesNoAnswers = {false};
  w->close();
}

TEST_F(EmployeeWindowTest, EveryMnemonicOfBothWindowsIsUnique) {
  auto w = open();
  ui::Tfrminprac d(op);
  for (QWidget* window : {static_cast<QWidget*>(w.get()), static_cast<QWidget*>(&d)}) {
    const auto problems = testing_support::MnemonicProblems(window);
    EXPECT_TRUE(problems.empty()) << problems.front();
  }
  // The dialog's letters reach their controls.
  d.show();
  QApplication::setActiveWindow(&d);
  QTest::keyClick(&d, Qt::Key_C, Qt::AltModifier);
  EXPECT_EQ(d.focusWidget(), Child<QWidget>(&d, "chksluz"));
  QTest::keyClick(&d, Qt::Key_U, Qt::AltModifier);
  EXPECT_EQ(d.focusWidget(), Child<QWidget>(&d, "eduvazok"));
  op.yesNoAnswers = {false};
  w->close();
}

}  // namespace
