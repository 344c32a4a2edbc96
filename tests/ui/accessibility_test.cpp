// The accessibility helpers: the walk that window tests rely on must find the
// faults it promises to find, and the focus helper must land where Tab starts.

// The engine declares a member named like Qt's "emit" keyword: it must be
// read before any Qt header.
#include "engine/terminal.h"

#include "ui/accessibility.h"

#include <QAccessible>
#include <QAccessibleTextInterface>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "core/ini_file.h"
#include "support/test_support.h"
#include "ui/about_dialog.h"
#include "ui/accessibility_walk.h"
#include "ui/calculator_dialog.h"
#include "ui/find_dialog.h"
#include "ui/main_window.h"
#include "ui/presence_board.h"
#include "ui/progress_window.h"
#include "ui/tip_window.h"
#include "ui_sim_line.h"

namespace {

using testing_support::AccessibilityProblems;

bool Mentions(const std::vector<std::string>& problems, const std::string& what) {
  return std::any_of(problems.begin(), problems.end(),
                     [&](const std::string& line) { return line.find(what) != std::string::npos; });
}

std::string Joined(const std::vector<std::string>& problems) {
  std::string out;
  for (const auto& line : problems) out += line + "\n";
  return out;
}

TEST(StripMnemonic, RemovesMarkersKeepsDoubledAmpersand) {
  const struct {
    const char* caption;
    const char* read;
  } cases[] = {
      {"&OK", "OK"},
      {"Zru&šiť", "Zrušiť"},
      {"Tom && Jerry", "Tom & Jerry"},
      {" Čas: ", "Čas:"},
      {"&", ""},
      {"a&&&b", "a&b"},
      {"", ""},
      {"Výr.č.", "Výr.č."},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ui::StripMnemonic(QString::fromUtf8(c.caption)), QString::fromUtf8(c.read)) << c.caption;
}

// A window with one fault of each kind the walk promises to report, beside
// controls that are named properly.
struct FaultyWindow {
  QDialog window;
  QLineEdit* named = nullptr;
  QLineEdit* loose = nullptr;
  QToolButton* iconOnly = nullptr;
  QLineEdit* onHiddenPage = nullptr;

  FaultyWindow() {
    auto* layout = new QVBoxLayout(&window);
    auto* label = new QLabel(QString::fromUtf8("&Adresár:"), &window);
    named = new QLineEdit(&window);
    named->setObjectName("named");
    ui::NameLikeLabel(label, named);
    layout->addWidget(label);
    layout->addWidget(named);

    loose = new QLineEdit(&window);
    loose->setObjectName("loose");
    layout->addWidget(loose);

    // Both edits read the group's title: the fault the settings dialog had.
    auto* group = new QGroupBox(QString::fromUtf8("Denné smeny"), &window);
    group->setObjectName("group");
    auto* groupLayout = new QVBoxLayout(group);
    auto* from = new QLineEdit(group);
    from->setObjectName("from");
    auto* to = new QLineEdit(group);
    to->setObjectName("to");
    groupLayout->addWidget(from);
    groupLayout->addWidget(to);
    layout->addWidget(group);

    iconOnly = new QToolButton(&window);
    iconOnly->setObjectName("iconOnly");
    layout->addWidget(iconOnly);

    auto* spin = new QSpinBox(&window);
    spin->setObjectName("spin");
    ui::NameControl(spin, "Počet");
    layout->addWidget(spin);

    auto* tabs = new QTabWidget(&window);
    auto* first = new QWidget;
    auto* check = new QCheckBox("Zobraziť", first);
    check->setObjectName("check");
    (new QVBoxLayout(first))->addWidget(check);
    auto* second = new QWidget;
    onHiddenPage = new QLineEdit(second);
    onHiddenPage->setObjectName("onHiddenPage");
    (new QVBoxLayout(second))->addWidget(onHiddenPage);
    tabs->addTab(first, "Prvá");
    tabs->addTab(second, "");
    layout->addWidget(tabs);

    auto* gone = new QLineEdit(&window);
    gone->setObjectName("gone");
    gone->hide();
    layout->addWidget(gone);

    auto* toolBar = new QToolBar(&window);
    toolBar->addAction(QString::fromUtf8("Tlač"));
    QAction* blank = toolBar->addAction(QString());
    blank->setObjectName("blankAction");
    layout->addWidget(toolBar);
  }
};

TEST(AccessibilityProblems, ReportsEachFaultOfAFaultyWindow) {
  FaultyWindow f;
  f.window.show();
  const auto problems = AccessibilityProblems(&f.window);
  const std::string all = Joined(problems);
  EXPECT_TRUE(Mentions(problems, "\"loose\": no accessible name")) << all;
  EXPECT_TRUE(Mentions(problems, "\"iconOnly\": no accessible name")) << all;
  EXPECT_TRUE(Mentions(problems, "\"onHiddenPage\": no accessible name")) << all;
  EXPECT_TRUE(Mentions(problems, "read as \"Denné smeny\"")) << all;
  EXPECT_TRUE(Mentions(problems, "tab 1 has no caption")) << all;
  EXPECT_TRUE(Mentions(problems, "\"blankAction\": action without text")) << all;
  // Named controls, the parts of the spin box and the explicitly hidden edit
  // are not reported.
  EXPECT_FALSE(Mentions(problems, "\"named\"")) << all;
  EXPECT_FALSE(Mentions(problems, "\"spin\"")) << all;
  EXPECT_FALSE(Mentions(problems, "QLineEdit (no object name) in QSpinBox")) << all;
  EXPECT_FALSE(Mentions(problems, "\"check\"")) << all;
  EXPECT_FALSE(Mentions(problems, "\"gone\"")) << all;
  // The blank action's tool button is the seventh: it is read by nothing either.
  EXPECT_EQ(problems.size(), 7u) << all;
}

TEST(AccessibilityProblems, MendedWindowHasNone) {
  FaultyWindow f;
  ui::NameControl(f.loose, "Voľné");
  ui::NameControl(f.iconOnly, "Nastaviť");
  ui::NameControl(f.onHiddenPage, "Skryté");
  ui::NameControl(f.window.findChild<QLineEdit*>("from"), "Od");
  ui::NameControl(f.window.findChild<QLineEdit*>("to"), "Do");
  f.window.findChild<QTabWidget*>()->setTabText(1, "Druhá");
  f.window.findChild<QAction*>("blankAction")->setText("Zmaž");
  f.window.show();
  const auto problems = AccessibilityProblems(&f.window);
  EXPECT_TRUE(problems.empty()) << Joined(problems);
}

TEST(NameLikeLabel, TiesBuddyAndReadsCaptionWithoutMnemonic) {
  QWidget window;
  auto* label = new QLabel(QString::fromUtf8("&Operand 1"), &window);
  auto* edit = new QLineEdit(&window);
  ui::NameLikeLabel(label, edit);
  EXPECT_EQ(label->buddy(), edit);
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(edit);
  ASSERT_NE(iface, nullptr);
  EXPECT_EQ(iface->text(QAccessible::Name), QString("Operand 1"));
}

TEST(NameValuePanel, ReadsCaptionAsNameAndCurrentTextAsValue) {
  QWidget window;
  auto* panel = new QLabel("12:00:01", &window);
  ui::NameValuePanel(panel, QString::fromUtf8("Čas:"));
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(panel);
  ASSERT_NE(iface, nullptr);
  EXPECT_EQ(iface->text(QAccessible::Name), QString::fromUtf8("Čas:"));
  EXPECT_EQ(iface->text(QAccessible::Value), QString("12:00:01"));
  // The value follows the label, not the text it had when first asked.
  panel->setText("12:00:02");
  EXPECT_EQ(iface->text(QAccessible::Value), QString("12:00:02"));
  QAccessibleTextInterface* text = iface->textInterface();
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->characterCount(), 8);
  EXPECT_EQ(text->text(0, -1), QString("12:00:02"));
  EXPECT_EQ(text->text(3, 5), QString("00"));
  EXPECT_EQ(text->text(6, 100), QString("02"));
  // A plain label keeps Qt's own reading.
  auto* plain = new QLabel("Stav", &window);
  EXPECT_EQ(QAccessible::queryAccessibleInterface(plain)->text(QAccessible::Name), QString("Stav"));
  EXPECT_EQ(QAccessible::queryAccessibleInterface(plain)->textInterface(), nullptr);
}

TEST(FocusFirstControl, SkipsDisabledAndHiddenControls) {
  QDialog window;
  auto* layout = new QVBoxLayout(&window);
  auto* disabled = new QPushButton("Prvé", &window);
  disabled->setEnabled(false);
  auto* hidden = new QLineEdit(&window);
  hidden->hide();
  auto* noFocus = new QPushButton("Bez", &window);
  noFocus->setFocusPolicy(Qt::NoFocus);
  auto* first = new QLineEdit(&window);
  auto* second = new QLineEdit(&window);
  for (QWidget* w : {static_cast<QWidget*>(disabled), static_cast<QWidget*>(hidden), static_cast<QWidget*>(noFocus),
                     static_cast<QWidget*>(first), static_cast<QWidget*>(second)})
    layout->addWidget(w);
  // Tab order, not creation order, decides.
  QWidget::setTabOrder(second, first);
  QWidget::setTabOrder(noFocus, second);
  window.show();
  second->setEnabled(false);
  ui::FocusFirstControl(&window);
  EXPECT_EQ(window.focusWidget(), first);
  second->setEnabled(true);
  ui::FocusFirstControl(&window);
  EXPECT_EQ(window.focusWidget(), second);
}

TEST(FocusFirstControl, AWindowUnderAModalBoxStaysUnderIt) {
  QDialog window;
  auto* edit = new QLineEdit(&window);
  (new QVBoxLayout(&window))->addWidget(edit);
  window.show();
  QDialog box;
  box.setModal(true);
  box.show();
  ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeModalWidget() == &box; }, 2000));
  ui::FocusFirstControl(&window);
  QTest::qWait(20);
  // The control is chosen for when the box closes; the box keeps the keys.
  EXPECT_EQ(window.focusWidget(), edit);
  EXPECT_FALSE(window.isActiveWindow());
  EXPECT_NE(QApplication::focusWidget(), edit);
}

TEST(FocusFirstControl, WindowThatIsNotShownIsLeftAlone) {
  QDialog window;
  auto* edit = new QLineEdit(&window);
  ui::FocusFirstControl(&window);
  EXPECT_NE(window.focusWidget(), edit);
  ui::FocusFirstControl(nullptr);
}

TEST(FocusFirstControlOnShow, EveryShowStartsAtTheFirstControl) {
  QDialog window;
  auto* layout = new QVBoxLayout(&window);
  auto* first = new QLineEdit(&window);
  auto* second = new QLineEdit(&window);
  layout->addWidget(first);
  layout->addWidget(second);
  ui::FocusFirstControlOnShow(&window);
  for (int round = 0; round < 2; ++round) {
    // The focus left where the clerk was when the window was last closed.
    second->setFocus();
    window.show();
    // The timer runs after the window's own show handling. Without a window
    // manager the window is activated too, so the keys really go there (the
    // offscreen platform activates a window only on its first show).
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.focusWidget() == first; }, 2000)) << "round " << round;
    if (round == 0) {
      EXPECT_TRUE(window.isActiveWindow());
      EXPECT_EQ(QApplication::focusWidget(), first);
    }
    window.hide();
  }
}

TEST(FocusFirstControlOnShow, AFocusChosenAfterShowingStays) {
  QDialog window;
  auto* layout = new QVBoxLayout(&window);
  auto* first = new QLineEdit(&window);
  auto* chosen = new QLineEdit(&window);
  layout->addWidget(first);
  layout->addWidget(chosen);
  ui::FocusFirstControlOnShow(&window);
  window.show();
  chosen->setFocus();  // the window's own choice, or the operator's click
  QTest::qWait(20);
  EXPECT_EQ(window.focusWidget(), chosen);
}

// The small windows, each shown as the program shows it: every control named,
// no name twice, and the keyboard focus on the first control.
TEST(WindowsReadByAScreenReader, EveryControlNamedAndTheFocusOnTheFirst) {
  testing_support::TempDir tmp;
  testing_support::ScriptedOperator op;
  const auto employees = testing_support::MakeEmployees({{"Anna", 1, "Výroba"}, {"Boris", 2, "Sklad"}});
  device::PresenceStatus presence;
  presence.InitPresence(employees, core::DateTime::fromParts(2026, 12, 9, 7, 30));
  core::PartnerInfo partner;
  partner.NAME = "Dodávateľ s.r.o.";
  partner.TEL = "+421 2 1234 5678";
  partner.WWW = "www.example.sk";

  const struct {
    const char* window;
    std::function<std::unique_ptr<QWidget>()> make;
    const char* first;  // object name of the control that gets the focus
  } cases[] = {
      {"Tfrmcalc", [&] { return std::make_unique<ui::CalculatorDialog>(op); }, "EDHO1"},
      {"Tfrmstav",
       [&] { return std::make_unique<ui::Tfrmstav>(employees, presence, core::ProgramDirectory{tmp.path()}, op); },
       "cmbOddel"},
      {"Tfrmtip", [] { return std::make_unique<ui::TipWindow>([](int) { return 0; }); }, "Memo1"},
      {"Tfrmabout", [&] { return std::make_unique<ui::AboutDialog>(partner); }, "OKButton"},
      {"FindDialog1", [] { return std::make_unique<ui::FindDialog>(); }, "edFind"},
      {"Tfrminfo", [] { return std::make_unique<ui::Tfrminfo>(); }, "btnCancel"},
  };
  for (const auto& c : cases) {
    const std::unique_ptr<QWidget> window = c.make();
    ASSERT_EQ(window->objectName().toStdString(), c.window);
    window->show();
    const auto problems = AccessibilityProblems(window.get());
    EXPECT_TRUE(problems.empty()) << c.window << ":\n" << Joined(problems);
    QWidget* first = window->findChild<QWidget*>(c.first);
    ASSERT_NE(first, nullptr) << c.window;
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->focusWidget() == first; }, 2000)) << c.window;
  }
}

TEST(WindowsReadByAScreenReader, NamesSayWhatEachFieldHolds) {
  testing_support::ScriptedOperator op;
  ui::CalculatorDialog calc(op);
  core::PartnerInfo partner;
  partner.TEL = "+421 2 1234 5678";
  ui::AboutDialog about(partner);
  ui::FindDialog find;
  const struct {
    QWidget* window;
    const char* object;
    const char* name;
    const char* value;  // nullptr: not a value panel
  } cases[] = {
      {&calc, "EDHO1", "Operand 1: hodiny", nullptr},
      {&calc, "EDMI1", "Operand 1: minúty", nullptr},
      {&calc, "EDHO2", "Operand 2: hodiny", nullptr},
      {&calc, "EDMI2", "Operand 2: minúty", nullptr},
      {&calc, "BitBtn1", "Plus", nullptr},
      {&calc, "BTminus", "Mínus", nullptr},
      {&about, "LBtel", "Tel:", "+421 2 1234 5678"},
      {&about, "LBwww", "WWW", nullptr},
      {&find, "edFind", "Hľadať:", nullptr},
  };
  for (const auto& c : cases) {
    auto* control = c.window->findChild<QWidget*>(c.object);
    ASSERT_NE(control, nullptr) << c.object;
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(control);
    EXPECT_EQ(iface->text(QAccessible::Name).toStdString(), c.name) << c.object;
    if (c.value != nullptr) {
      EXPECT_EQ(iface->text(QAccessible::Value).toStdString(), c.value) << c.object;
    }
  }
  // The operand labels lead to the hours of their operand.
  for (QLabel* label : calc.findChildren<QLabel*>()) {
    if (label->text() == "Operand 1") {
      EXPECT_EQ(label->buddy(), calc.findChild<QWidget*>("EDHO1"));
    }
    if (label->text() == "Operand 2") {
      EXPECT_EQ(label->buddy(), calc.findChild<QWidget*>("EDHO2"));
    }
  }
}

// The main window with its card panel shown, as on a VORT RFID installation.
TEST(WindowsReadByAScreenReader, MainWindowPanelsAndControls) {
  testing_support::TempDir tmp;
  testing_support::ScriptedOperator op;
  const auto dir = tmp.path() / "inst";
  std::filesystem::create_directories(dir / "Log");
  std::filesystem::create_directories(tmp.path() / "exe");
  ASSERT_TRUE(core::WriteProfileString(dir / "vortane.ini", "GLOBAL", "LOGDIR", (dir / "Log").string() + "/"));
  ASSERT_TRUE(core::WriteProfileString(dir / "vortane.ini", "GLOBAL", "PortName", "sim"));
  ASSERT_TRUE(testing_support::MakeEmployees({{"Anna", 101, "Výroba"}}).write(dir / "prac.txt"));
  testing_support::WriteBytes(tmp.path() / "marker", "1");
  auto line = std::make_shared<ui_test::SimLine>(timeclock::Model::Rfid, timeclock::ConnectionType::Rs232);
  ui::MainWindowOptions o;
  o.args = {dir.string() + "/"};
  o.executableDir = tmp.path() / "exe";
  o.transportFactory = ui_test::FactoryFor(line);
  o.firstStartMarker = tmp.path() / "marker";
  o.startTimers = false;
  ui::TForm1 w(op, o);
  w.show();
  w.findChild<QWidget*>("GroupBox2")->show();
  w.findChild<QWidget*>("chkRFshow")->show();

  const auto problems = AccessibilityProblems(&w);
  EXPECT_TRUE(problems.empty()) << Joined(problems);

  auto* time = w.findChild<QLabel*>("PanTime");
  ASSERT_NE(time, nullptr);
  time->setText("9.12.2026 10:00:00");
  const struct {
    const char* object;
    const char* name;
  } panels[] = {
      {"PanTime", "Čas:"},      {"Pansn", "Výr.č."},     {"PanName", "Názov prístroja"},
      {"pandoortime", "Zámok"}, {"Pannewr", "Záznamov"}, {"panptr", "PTR"},
      {"panib", "Číslo"},       {"PanNazov", "Názov"},
  };
  for (const auto& p : panels) {
    auto* panel = w.findChild<QLabel*>(p.object);
    ASSERT_NE(panel, nullptr) << p.object;
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(panel);
    EXPECT_EQ(iface->text(QAccessible::Name).toStdString(), p.name) << p.object;
    EXPECT_EQ(iface->text(QAccessible::Value), panel->text()) << p.object;
    // The hint stays readable: it is the description, not the value again.
    if (!panel->toolTip().isEmpty()) {
      EXPECT_EQ(iface->text(QAccessible::Description), panel->toolTip()) << p.object;
    }
  }
  for (const char* hinted : {"PanTime", "Pansn", "PanName", "pandoortime", "Pannewr", "panptr", "panib", "PanNazov"}) {
    auto* panel = w.findChild<QLabel*>(hinted);
    ASSERT_NE(panel, nullptr) << hinted;
    EXPECT_FALSE(panel->toolTip().isEmpty()) << hinted;
  }
  EXPECT_EQ(QAccessible::queryAccessibleInterface(time)->text(QAccessible::Value).toStdString(), "9.12.2026 10:00:00");
  // Shown, the window hands the keys to its first control.
  EXPECT_TRUE(QTest::qWaitFor([&] { return w.focusWidget() == w.findChild<QWidget*>("tbKarta"); }, 2000));
}

}  // namespace
