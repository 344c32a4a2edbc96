// The main window against the terminal emulation in process: start-up, the
// heartbeat, losing and finding the terminal, the new-records question, the
// automatic transfer with the presence board, hiding, and naming a card.

// The engine declares a member named like Qt's "emit" keyword: it must be
// read before any Qt header.
#include "engine/terminal.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include <memory>

#include "core/ini_file.h"
#include "core/month_log.h"
#include "support/test_support.h"
#include "ui/main_window.h"
#include "ui/presence_board.h"
#include "ui/progress_window.h"
#include "ui/settings_dialog.h"
#include "ui_sim_line.h"

namespace {

using testing_support::ReadBytes;
using testing_support::ScriptedOperator;
using testing_support::TempDir;

const char* const kPortFailure =
    "Nie je možné otvoriť COM port\rNastavte správny COMPORT v MENU Služby - Nastavenia programu";
const char* const kFirstStart =
    "POZOR program VORTANE bol prvýkrát spustený na tomto PC\rNastavte parametre programu v MENU "
    "<Služby-nastavenia>";
const char* const kQuestion = "V KAVEX sú nové záznamy\r\rChcete ich teraz preniesť ?";

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = tmp.path() / "inst";
    std::filesystem::create_directories(dir / "Log");
    std::filesystem::create_directories(tmp.path() / "exe");
    ini("GLOBAL", "LOGDIR", (dir / "Log").string() + "/");
    ini("GLOBAL", "PortName", "sim");
    // This user has started the program before.
    testing_support::WriteBytes(marker(), "1");
  }

  std::filesystem::path marker() const { return tmp.path() / "marker"; }
  void ini(const std::string& section, const std::string& key, const std::string& value) {
    ASSERT_TRUE(core::WriteProfileString(dir / "vortane.ini", section, key, value));
  }
  void writeEmployees(const std::vector<std::pair<std::string, int>>& people, const std::string& department = "") {
    core::EmployeeList list;
    for (const auto& [name, card] : people) {
      core::Employee e;
      e.name = name;
      e.card = static_cast<std::uint16_t>(card);
      e.department = department;
      e.workload = "100";
      list.employees().push_back(e);
    }
    ASSERT_TRUE(list.write(dir / "prac.txt"));
  }
  void standardEmployees() { writeEmployees({{"Anna Horná", 101}, {"Boris Dolný", 102}, {"Cyril Stredný", 103}}); }

  std::unique_ptr<ui::TForm1> makeWindow(timeclock::Model model = timeclock::Model::Rfid,
                                         timeclock::ConnectionType type = timeclock::ConnectionType::Rs232) {
    line = std::make_shared<ui_test::SimLine>(model, type);
    line->with([](timeclock::Terminal& t) { t.setClock(core::DateTime::fromParts(2026, 12, 9, 10, 0, 0)); });
    ui::MainWindowOptions o;
    o.args = {dir.string() + "/"};
    o.executableDir = tmp.path() / "exe";
    o.transportFactory = ui_test::FactoryFor(line);
    o.firstStartMarker = marker();
    o.startTimers = false;
    return std::make_unique<ui::TForm1>(op, o);
  }

  // One heartbeat, with everything it started (a transfer, questions).
  static void Tick(ui::TForm1& w, int times = 1) {
    for (int i = 0; i < times; ++i) {
      w.Timer1Timer();
      ASSERT_TRUE(
          QTest::qWaitFor([&] { return !w.tickRunning() && !w.busy() && w.worker()->pendingJobs() == 0; }, 10000));
    }
  }
  static QString Panel(ui::TForm1& w, const char* name) {
    auto* l = w.findChild<QLabel*>(QLatin1String(name));
    return l ? l->text() : QStringLiteral("<missing>");
  }
  long long storedPointer(int productionNumber = 1) {
    return core::ReadProfileIntOrMissing(dir / "vortane.ini", "REQPTR", std::to_string(productionNumber));
  }
  std::string logText() { return ReadBytes(core::MonthLog::FileName(dir / "Log", 12, 2026)); }

  TempDir tmp;
  std::filesystem::path dir;
  ScriptedOperator op;
  std::shared_ptr<ui_test::SimLine> line;
};

TEST_F(MainWindowTest, StartupMessagesComeInOrderAndTheProgramRunsWithoutAPort) {
  // Missing log folder, first start, no employee list, no port.
  std::filesystem::remove_all(dir / "Log");
  std::filesystem::remove(marker());
  ini("GLOBAL", "PortName", "");
  ini("GLOBAL", "ComPort", "3");
  auto w = makeWindow();
  line->refuseOpen = true;
  ASSERT_TRUE(w->FormCreate());
  ASSERT_EQ(op.messages.size(), 4u);
  EXPECT_NE(op.messages[0].find("pre zaznamy neexistuje"), std::string::npos) << op.messages[0];
  EXPECT_EQ(op.messages[1], kFirstStart);
  EXPECT_EQ(op.messages[2], "POZOR zoznam pracovníkov je prázdny");
  EXPECT_EQ(op.messages[3], kPortFailure);
#if defined(_WIN32)
  EXPECT_EQ(line->lastPortName, "COM3");
#else
  EXPECT_EQ(line->lastPortName, "/dev/ttyS2");
#endif
  EXPECT_TRUE(w->memoText().startsWith(QStringLiteral("Otváram COM port3...")));
  EXPECT_FALSE(w->portOpen());

  // Showing the window adds the missing-list message; the heartbeat without a
  // port only keeps the clock.
  w->show();
  ASSERT_TRUE(QTest::qWaitFor([&] { return op.messages.size() == 5; }, 5000));
  EXPECT_EQ(op.messages[4], "POZOR súbor pracovníkov: <prac.txt> neexistuje\r\rPreinštalujte program");
  Tick(*w);
  EXPECT_FALSE(w->statusPanelText(2).isEmpty());
  EXPECT_TRUE(w->statusPanelText(1).isEmpty());
  w->hide();

  // The first-start note is shown once per user.
  EXPECT_TRUE(std::filesystem::exists(marker()));
  op.messages.clear();
  auto again = makeWindow();
  ASSERT_TRUE(again->FormCreate());
  for (const auto& m : op.messages) EXPECT_NE(m, kFirstStart);
}

TEST_F(MainWindowTest, AFolderWithoutIniEndsTheProgram) {
  std::filesystem::remove(dir / "vortane.ini");
  auto w = makeWindow();
  EXPECT_FALSE(w->FormCreate());
  ASSERT_EQ(op.messages.size(), 1u);
  EXPECT_EQ(op.messages[0], "Neexistuje subor: <vortane.ini>");
}

TEST_F(MainWindowTest, FourthUnusableTickShowsNepripojenyAndTheTerminalIsFoundAgain) {
  standardEmployees();
  ini("REQPTR", "1", "0");
  auto w = makeWindow();
  ASSERT_TRUE(w->FormCreate());
  ASSERT_TRUE(w->portOpen());
  Tick(*w, 2);  // the first tick only sends the first request
  EXPECT_EQ(w->statusPanelText(1), "OK");
  EXPECT_EQ(Panel(*w, "PanName"), "VORT RFID");
  EXPECT_EQ(Panel(*w, "Pansn"), "1");
  EXPECT_EQ(Panel(*w, "panptr"), "0");
  EXPECT_FALSE(Panel(*w, "PanTime").isEmpty());

  line->with([](timeclock::Terminal& t) { t.disconnect(); });
  // The reply to the request of the last tick had come before the cable
  // was pulled.
  Tick(*w);
  EXPECT_EQ(w->failCount(), 0);
  for (int i = 1; i <= 3; ++i) {
    Tick(*w);
    EXPECT_EQ(w->failCount(), i);
    EXPECT_EQ(w->statusPanelText(1), "OK") << "tick " << i;
    EXPECT_EQ(Panel(*w, "Pansn"), "1");
  }
  Tick(*w);
  EXPECT_EQ(w->statusPanelText(1), "Nepripojeny");
  EXPECT_TRUE(Panel(*w, "PanTime").isEmpty());
  EXPECT_TRUE(Panel(*w, "Pansn").isEmpty());
  EXPECT_EQ(Panel(*w, "panptr"), "0");  // kept
  EXPECT_EQ(Panel(*w, "PanName"), "VORT RFID");
  Tick(*w);
  EXPECT_EQ(w->statusPanelText(1), "Nepripojeny");

  line->with([](timeclock::Terminal& t) { t.reconnect(); });
  Tick(*w, 2);
  EXPECT_EQ(w->statusPanelText(1), "OK");
  EXPECT_EQ(w->failCount(), 0);
  EXPECT_EQ(Panel(*w, "Pansn"), "1");
  EXPECT_TRUE(op.messages.empty());
}

TEST_F(MainWindowTest, GarbageFromTheLineNeverBlocksAndCountsAsNoReply) {
  standardEmployees();
  auto w = makeWindow();
  ASSERT_TRUE(w->FormCreate());
  {
    std::lock_guard lock(line->mutex);
    line->garbage = std::string("\x0D\x0A\x0A\x02\x9E\x99\x01\x02\x03garbage-garbage-garbage-garbage", 40);
  }
  Tick(*w, 5);
  EXPECT_EQ(w->statusPanelText(1), "Nepripojeny");
  EXPECT_EQ(Panel(*w, "PanName"), "ERROR");
  {
    std::lock_guard lock(line->mutex);
    line->garbage.clear();
  }
  Tick(*w, 2);
  EXPECT_EQ(w->statusPanelText(1), "OK");
}

TEST_F(MainWindowTest, DeclinedQuestionStaysQuietUntilTheTerminalIsLostAndFound) {
  standardEmployees();
  ini("REQPTR", "1", "0");
  auto w = makeWindow();
  ASSERT_TRUE(w->FormCreate());
  line->with([](timeclock::Terminal& t) {
    t.addRegistration(101, core::DateTime::fromParts(2026, 12, 9, 7, 58), 0);
    t.addRegistration(102, core::DateTime::fromParts(2026, 12, 9, 8, 3), 0);
  });
  op.yesNoAnswers = {false};
  Tick(*w, 2);
  ASSERT_EQ(op.questions.size(), 1u);
  EXPECT_EQ(op.questions[0], kQuestion);
  EXPECT_TRUE(w->declined());
  EXPECT_EQ(Panel(*w, "Pannewr"), "2");
  Tick(*w, 3);
  EXPECT_EQ(op.questions.size(), 1u);  // silent while connected

  line->with([](timeclock::Terminal& t) { t.disconnect(); });
  Tick(*w, 4);  // one answered before the cable was pulled, three without
  EXPECT_TRUE(w->declined());
  Tick(*w);
  EXPECT_FALSE(w->declined());
  line->with([](timeclock::Terminal& t) { t.reconnect(); });
  op.yesNoAnswers = {true};
  Tick(*w, 2);
  ASSERT_EQ(op.questions.size(), 2u);
  EXPECT_EQ(op.questions[1], kQuestion);
  // Answered Yes: both records are in the month log, shown in the text
  // area, and the pointer moved on.
  const std::string log = logText();
  EXPECT_NE(log.find("9.12.2026 7:58:00\t101\t0"), std::string::npos) << log;
  EXPECT_NE(log.find("9.12.2026 8:03:00\t102\t0"), std::string::npos) << log;
  EXPECT_EQ(storedPointer(), 2);
  EXPECT_TRUE(w->memoText().contains(QStringLiteral("Anna Horná")));
  EXPECT_EQ(w->statusPanelText(0), "2 záznamov");
  EXPECT_FALSE(w->progressWindow()->isVisible());
  Tick(*w, 2);
  EXPECT_EQ(op.questions.size(), 2u);  // nothing new any more
  EXPECT_EQ(Panel(*w, "Pannewr"), "0");
}

TEST_F(MainWindowTest, FirstCheckOnThisComputerStoresThePointerWithoutTransferring) {
  standardEmployees();
  auto w = makeWindow();
  ASSERT_TRUE(w->FormCreate());
  line->with([](timeclock::Terminal& t) { t.addRegistration(101, core::DateTime::fromParts(2026, 12, 9, 7, 0), 0); });
  Tick(*w, 2);
  ASSERT_EQ(op.messages.size(), 1u);
  EXPECT_EQ(op.messages[0],
            "POZOR prvýkrát ste na tomto PC použili prenos najnovších záznamov z prístroja\rNie je možné určiť koľko "
            "je nových záznamov o dochádzke v prístroji");
  EXPECT_EQ(storedPointer(), 1);
  EXPECT_TRUE(logText().empty());
}

TEST_F(MainWindowTest, APointerThatCannotBeStoredIsReported) {
  standardEmployees();
  auto w = makeWindow();
  ASSERT_TRUE(w->FormCreate());
  // A folder where the settings file should be: nothing can replace it, not even as root.
  std::filesystem::remove(dir / "vortane.ini");
  std::filesystem::create_directory(dir / "vortane.ini");
  Tick(*w, 2);
  ASSERT_EQ(op.messages.size(), 2u);
  EXPECT_EQ(op.messages[1], "Nie je možné zapísať súbor: " + (dir / "vortane.ini").string());
}

TEST_F(MainWindowTest, AutomaticTransferFillsTheLogsAndStavBinAndRefreshesTheBoard) {
  standardEmployees();
  ini("GLOBAL", "AUTODNL", "1");
  ini("GLOBAL", "type", "1");
  ini("REQPTR", "1", "0");
  auto w = makeWindow(timeclock::Model::Rfid, timeclock::ConnectionType::Rs485);
  ASSERT_TRUE(w->FormCreate());
  EXPECT_TRUE(w->fixedMode());
  EXPECT_EQ(w->settings().Rate, 9600);
  auto* stavButton = w->findChild<QToolButton*>(QStringLiteral("tbStav"));
  ASSERT_NE(stavButton, nullptr);
  w->show();
  EXPECT_TRUE(stavButton->isVisible());
  w->hide();

  line->with([](timeclock::Terminal& t) {
    t.addRegistration(101, core::DateTime::fromParts(2026, 12, 9, 7, 55), 0);
    t.addRegistration(102, core::DateTime::fromParts(2026, 12, 9, 8, 5), 0);
    t.addRegistration(102, core::DateTime::fromParts(2026, 12, 9, 9, 0), 17);
    t.addRegistration(999, core::DateTime::fromParts(2026, 12, 9, 9, 30), 0);
  });
  Tick(*w, 2);
  EXPECT_TRUE(op.questions.empty());  // no question in fixed-unit mode
  const std::string log = logText();
  EXPECT_NE(log.find("9.12.2026 7:55:00\t101\t0"), std::string::npos) << log;
  EXPECT_NE(log.find("9.12.2026 9:00:00\t102\t17"), std::string::npos) << log;
  EXPECT_NE(log.find("9.12.2026 9:30:00\t999\t0"), std::string::npos) << log;
  EXPECT_EQ(storedPointer(), 4);
  EXPECT_EQ(ReadBytes(dir / "stav.bin").size(), 3u * 24u);
  EXPECT_TRUE(w->memoText().contains(QStringLiteral("\tprenos... 4")));
  EXPECT_FALSE(w->memoText().contains(QStringLiteral("Anna Horná")));  // no record lines in this mode
  EXPECT_EQ(w->statusPanelText(0), "4 záznamov");
  EXPECT_FALSE(w->findChild<QWidget*>(QStringLiteral("panProgress"))->isVisible());

  // The board was refreshed although nobody looked at it.
  ui::Tfrmstav* board = w->presenceBoard();
  ASSERT_EQ(board->rowCount(), 3);
  EXPECT_EQ(board->cellText(0, 2), "9.12.2026 7:55:00");
  EXPECT_EQ(board->cellText(0, 3), "PR Normalny");
  EXPECT_TRUE(board->rowIsYellow(0));
  EXPECT_EQ(board->cellText(1, 3), "OD 1 Sluzobne");
  EXPECT_FALSE(board->rowIsYellow(1));
  EXPECT_EQ(board->cellText(2, 2), "---");
  EXPECT_FALSE(board->rowIsYellow(2));
  EXPECT_TRUE(board->statusText().startsWith(QStringLiteral("Aktualizované:")));

  // Later registrations go the same way within one tick each.
  line->with([](timeclock::Terminal& t) { t.addRegistration(103, core::DateTime::fromParts(2026, 12, 9, 10, 0), 0); });
  Tick(*w, 2);  // the first reads the reply sent before the registration
  EXPECT_EQ(storedPointer(), 5);
  EXPECT_TRUE(board->rowIsYellow(2));
  // Showing the board reads stav.bin back.
  board->show();
  EXPECT_EQ(board->cellText(2, 3), "PR Normalny");
  board->hide();
}

TEST_F(MainWindowTest, HidingSlowsTheHeartbeatAndShowingRestoresIt) {
  standardEmployees();
  auto w = makeWindow();
  ASSERT_TRUE(w->FormCreate());
  w->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
  EXPECT_EQ(w->statusTimer().interval(), 700);
  auto* hide = w->findChild<QAction*>(QStringLiteral("act_hide"));
  ASSERT_NE(hide, nullptr);
  hide->trigger();
  EXPECT_EQ(w->statusTimer().interval(), 10000);
  EXPECT_TRUE(w->isHiddenToTray());
  // Without a notification area the window goes to the task bar.
  EXPECT_TRUE(w->isMinimized() || !w->isVisible());
  w->findChild<QAction*>(QStringLiteral("UkzapanelVORTANE1"))->trigger();
  EXPECT_EQ(w->statusTimer().interval(), 700);
  EXPECT_FALSE(w->isHiddenToTray());
  EXPECT_TRUE(w->isVisible());
}

TEST_F(MainWindowTest, AWindowThatCannotBeMinimisedKeepsTheFastHeartbeat) {
  // Headless there is neither a notification area nor anything that takes a
  // minimised window out of view: the window stays exposed, so its clock
  // must go on at 700 ms.
  standardEmployees();
  auto w = makeWindow();
  ASSERT_TRUE(w->FormCreate());
  w->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
  w->findChild<QAction*>(QStringLiteral("act_hide"))->trigger();
  QTest::qWait(800);
  ASSERT_NE(w->windowHandle(), nullptr);
  if (w->windowHandle()->isExposed()) {
    EXPECT_FALSE(w->isHiddenToTray());
    EXPECT_EQ(w->statusTimer().interval(), 700);
    EXPECT_FALSE(w->isMinimized());
  } else {
    EXPECT_TRUE(w->isHiddenToTray());
    EXPECT_EQ(w->statusTimer().interval(), 10000);
  }
}

TEST_F(MainWindowTest, StartMinimisedHidesAfterTheFirstSecond) {
  standardEmployees();
  ini("GLOBAL", "MINIMALIZE", "1");
  auto w = makeWindow();
  ASSERT_TRUE(w->FormCreate());
  w->show();
  auto* timer2 = w->findChild<QTimer*>(QStringLiteral("Timer2"));
  ASSERT_NE(timer2, nullptr);
  EXPECT_EQ(timer2->interval(), 1000);
  QMetaObject::invokeMethod(timer2, "timeout", Qt::DirectConnection);
  // Timer2's signal is private; emit it through the meta-object.
  EXPECT_TRUE(w->isHiddenToTray());
  EXPECT_EQ(w->statusTimer().interval(), 10000);
}

TEST_F(MainWindowTest, AnUnknownCardIsNamedAndSaved) {
  standardEmployees();
  ini("REQPTR", "1", "0");
  auto w = makeWindow();
  ASSERT_TRUE(w->FormCreate());
  Tick(*w);
  // Cancelled: nothing is added and the question comes again while the
  // terminal keeps reporting the card.
  line->with([](timeclock::Terminal& t) { t.presentCard(4321, 2); });
  op.textAnswers = {std::nullopt};
  Tick(*w);  // the reply read here was sent before the card came
  EXPECT_TRUE(op.questions.empty());
  Tick(*w);
  ASSERT_EQ(op.questions.size(), 1u);
  EXPECT_EQ(op.questions[0], "Uveďte meno pracovníka");
  EXPECT_EQ(w->employees().size(), 3u);
  EXPECT_EQ(Panel(*w, "panib"), "4321");
  op.textAnswers = {std::string("Dana Nová")};
  Tick(*w);
  ASSERT_EQ(op.questions.size(), 2u);
  ASSERT_EQ(w->employees().size(), 4u);
  EXPECT_EQ(w->employees().employees()[3].name, "Dana Nová");
  EXPECT_EQ(w->employees().employees()[3].card, 4321);
  EXPECT_EQ(Panel(*w, "PanNazov"), "Dana Nová");
  EXPECT_EQ(w->presence().entries().size(), 4u);
  core::EmployeeList saved;
  ASSERT_EQ(saved.read(dir / "prac.txt", 510), 1);
  ASSERT_EQ(saved.size(), 4u);
  EXPECT_EQ(saved.employees()[3].name, "Dana Nová");

  // A known card shows its name without a question; no card clears the panel.
  line->with([](timeclock::Terminal& t) { t.presentCard(102, 1); });
  Tick(*w, 2);
  EXPECT_EQ(Panel(*w, "PanNazov"), "Boris Dolný");
  Tick(*w);
  EXPECT_TRUE(Panel(*w, "panib").isEmpty());
  EXPECT_EQ(op.questions.size(), 2u);
  EXPECT_TRUE(w->findChild<QWidget*>(QStringLiteral("chkRFshow")) != nullptr);
}

TEST_F(MainWindowTest, TransferCommandsCheckTheConnectionFirst) {
  standardEmployees();
  auto w = makeWindow();
  ASSERT_TRUE(w->FormCreate());
  w->act_newrecordsExecute();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !w->busy() && w->worker()->pendingJobs() == 0; }, 5000));
  w->Preniesvetkyzznamy1Click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !w->busy() && w->worker()->pendingJobs() == 0; }, 5000));
  ASSERT_EQ(op.messages.size(), 2u);
  EXPECT_EQ(op.messages[0], "Pripojte prístroj na PC");
  EXPECT_EQ(op.messages[1], "Pripojte VORTANE na COM Port");
}

TEST_F(MainWindowTest, ManualTransferOfNewRecordsAndOfACount) {
  standardEmployees();
  ini("REQPTR", "1", "0");
  auto w = makeWindow(timeclock::Model::Dallas);
  ASSERT_TRUE(w->FormCreate());
  op.yesNoAnswers = {false};
  line->with([](timeclock::Terminal& t) {
    for (int i = 0; i < 25; ++i)
      t.addRegistration(101, core::DateTime::fromParts(2026, 12, 1 + i, 8, 0), i % 2 ? 16 : 0);
  });
  Tick(*w, 2);  // declines the automatic question
  ASSERT_EQ(op.questions.size(), 1u);

  w->act_newrecordsExecute();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !w->busy() && w->worker()->pendingJobs() == 0; }, 10000));
  EXPECT_EQ(storedPointer(), 25);
  EXPECT_EQ(w->statusPanelText(0), "25 záznamov");
  const QString memo = w->memoText();
  EXPECT_EQ(memo.count(QStringLiteral("Anna Horná")), 25);
  EXPECT_TRUE(memo.contains(QStringLiteral("\tOD"))) << memo.toStdString();

  // "Preniesť počet záznamov" shows records but never stores them.
  const std::string logBefore = logText();
  op.textAnswers = {std::string("3")};
  w->Prenoszznamov1Click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !w->busy() && w->worker()->pendingJobs() == 0; }, 10000));
  EXPECT_EQ(w->statusPanelText(0), "3 záznamov");
  EXPECT_EQ(w->memoText().count(QStringLiteral("Anna Horná")), 3);
  EXPECT_EQ(logText(), logBefore);
  EXPECT_EQ(storedPointer(), 25);
}

TEST_F(MainWindowTest, SettingTheClockAsksFirstAndSetsTheTerminal) {
  standardEmployees();
  auto w = makeWindow();
  ASSERT_TRUE(w->FormCreate());
  line->with([](timeclock::Terminal& t) { t.setClock(core::DateTime::fromParts(2001, 1, 1, 0, 0)); });
  op.yesNoAnswers = {false};
  w->set_timeExecute();
  EXPECT_EQ(op.questions.back(), "Želáte si nastaviť čas prístroja podľa Vašeho PC ?");
  ASSERT_TRUE(QTest::qWaitFor([&] { return !w->busy() && w->worker()->pendingJobs() == 0; }, 5000));
  EXPECT_EQ(line->with([](timeclock::Terminal& t) { return t.clock().date().year; }), 2001);

  op.yesNoAnswers = {true};
  w->set_timeExecute();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !w->busy() && w->worker()->pendingJobs() == 0; }, 10000));
  EXPECT_EQ(line->with([](timeclock::Terminal& t) { return t.clock().date(); }), core::Now().date());
  EXPECT_TRUE(op.messages.empty());

  // A terminal that does not answer: the message, and the window goes on.
  line->with([](timeclock::Terminal& t) { t.disconnect(); });
  op.yesNoAnswers = {true};
  w->set_timeExecute();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !w->busy() && w->worker()->pendingJobs() == 0; }, 10000));
  ASSERT_EQ(op.messages.size(), 1u);
  EXPECT_EQ(op.messages[0], "Prístroj nekomunikuje, prekontrolujte pripojenie, nastavte správny COM port");
}

TEST_F(MainWindowTest, FindSearchesOnFromTheSelectionCaseSensitively) {
  standardEmployees();
  auto w = makeWindow();
  ASSERT_TRUE(w->FormCreate());
  w->addLine(QStringLiteral("alfa Beta"));
  w->addLine(QStringLiteral("beta Beta"));
  EXPECT_TRUE(w->findNext(QStringLiteral("Beta")));
  auto* memo = w->findChild<QPlainTextEdit*>(QStringLiteral("memo1"));
  ASSERT_NE(memo, nullptr);
  const int first = memo->textCursor().selectionStart();
  EXPECT_TRUE(w->findNext(QStringLiteral("Beta")));
  EXPECT_GT(memo->textCursor().selectionStart(), first);
  EXPECT_FALSE(w->findNext(QStringLiteral("Beta")));  // no wrap-around
  EXPECT_FALSE(w->findNext(QStringLiteral("ALFA")));
  EXPECT_EQ(memo->textCursor().selectedText(), "Beta");
}

TEST_F(MainWindowTest, LanguageFileRenamesOneMenuEntry) {
  standardEmployees();
  testing_support::WriteCp1250(tmp.path() / "exe" / "vortane.lng", "[AMENUS]\r\nLMenu16=Program settings\r\n");
  auto w = makeWindow();
  ASSERT_TRUE(w->FormCreate());
  EXPECT_EQ(w->findChild<QAction*>(QStringLiteral("Nastaveniaprogramu1"))->text(), "Program settings");
  EXPECT_EQ(w->findChild<QAction*>(QStringLiteral("Prenieslennovzznamy1"))->text(), "Prenos len nové záznamy");
  EXPECT_EQ(w->findChild<QAction*>(QStringLiteral("Exit1"))->text(), "E&xit");
  // The sheet, report and employee windows are there from the start.
  for (const char* name : {"act_dochkarta", "vykaz", "Act_prac"}) {
    auto* a = w->findChild<QAction*>(QLatin1String(name));
    ASSERT_NE(a, nullptr) << name;
    EXPECT_TRUE(a->isEnabled()) << name;
  }
}

TEST_F(MainWindowTest, ClosingDuringATransferFinishesTheBlockAndKeepsThePointerTrue) {
  standardEmployees();
  ini("REQPTR", "1", "0");
  auto w = makeWindow(timeclock::Model::Rfid);
  ASSERT_TRUE(w->FormCreate());
  op.yesNoAnswers = {false};
  line->with([](timeclock::Terminal& t) {
    for (int i = 0; i < 200; ++i)
      t.addRegistration(101, core::DateTime::fromParts(2026, 12, 1 + i % 28, 6 + i % 12, i % 60), 0);
    t.setLineRate(1920);  // at line speed the transfer takes a while
  });
  Tick(*w, 2);
  w->show();
  w->act_newrecordsExecute();
  ASSERT_TRUE(QTest::qWaitFor([&] { return w->busy(); }, 2000));
  w->close();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !w->busy() && !w->isVisible(); }, 20000));
  // Whatever was stored: the pointer sits right after the stored records.
  const std::string log = logText();
  const long long lines = std::count(log.begin(), log.end(), '\n');
  EXPECT_EQ(storedPointer(), lines);
}

TEST_F(MainWindowTest, PortChangeAfterTheSettingsDialog) {
  standardEmployees();
  auto w = makeWindow();
  ASSERT_TRUE(w->FormCreate());
  // A port that cannot be opened: the message, nothing written, no heartbeat.
  line->refuseOpen = true;
  EXPECT_FALSE(w->applyPortChoice(5, 1, ""));
  ASSERT_EQ(op.messages.size(), 1u);
  EXPECT_EQ(op.messages[0],
            "Nie je možné otvoriť COM port\r\rNastavte správny COMPORT v MENU Služby - Nastavenia programu");
  EXPECT_FALSE(w->portOpen());
  EXPECT_TRUE(w->heartbeatHeld());
  EXPECT_EQ(core::ReadProfileString(dir / "vortane.ini", "GLOBAL", "ComPort", "-"), "-");
#if defined(_WIN32)
  EXPECT_EQ(line->lastPortName, "COM5");
#else
  EXPECT_EQ(line->lastPortName, "/dev/ttyS4");
#endif

  // Opened: ComPort, Rate and type are stored for the next start.
  line->refuseOpen = false;
  EXPECT_TRUE(w->applyPortChoice(5, 1, "sim2"));
  EXPECT_TRUE(w->portOpen());
  EXPECT_FALSE(w->heartbeatHeld());
  EXPECT_EQ(line->lastPortName, "sim2");
  const auto ini = dir / "vortane.ini";
  EXPECT_EQ(core::ReadProfileString(ini, "GLOBAL", "ComPort", ""), "5");
  EXPECT_EQ(core::ReadProfileString(ini, "GLOBAL", "Rate", ""), "9600");
  EXPECT_EQ(core::ReadProfileString(ini, "GLOBAL", "type", ""), "1");
  EXPECT_EQ(core::ReadProfileString(ini, "GLOBAL", "PortName", ""), "sim2");
  Tick(*w, 2);
  EXPECT_EQ(w->statusPanelText(1), "OK");
}

TEST_F(MainWindowTest, CardTrackingSwitchesTheAntenna) {
  standardEmployees();
  ini("REQPTR", "1", "0");
  auto w = makeWindow(timeclock::Model::Rfid);
  ASSERT_TRUE(w->FormCreate());
  w->show();
  auto* box = w->findChild<QCheckBox*>(QStringLiteral("chkRFshow"));
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(box->isHidden());
  Tick(*w, 2);
  EXPECT_FALSE(box->isHidden());  // a VORT RFID answered
  EXPECT_TRUE(w->findChild<QLabel*>(QStringLiteral("pandoortime"))->isHidden());

  box->setChecked(true);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !w->busy() && w->worker()->pendingJobs() == 0; }, 5000));
  EXPECT_TRUE(line->with([](timeclock::Terminal& t) { return t.antennaOn(); }));
  EXPECT_TRUE(w->memoText().contains(QStringLiteral("Kontrola potvrdenia")));
  EXPECT_TRUE(w->memoText().startsWith(QStringLiteral("32 \n32 \n32 \n32 \n13 ")));
  EXPECT_TRUE(op.messages.empty());

  // Not acknowledged: the box is unticked again and the message shown.
  line->with([](timeclock::Terminal& t) { t.disconnect(); });
  box->setChecked(false);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !w->busy() && w->worker()->pendingJobs() == 0; }, 5000));
  box->setChecked(true);
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return !w->busy() && w->worker()->pendingJobs() == 0 && !box->isChecked(); }, 5000));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !w->busy() && w->worker()->pendingJobs() == 0; }, 5000));
  ASSERT_GE(op.messages.size(), 2u);
  for (const auto& m : op.messages) EXPECT_EQ(m, "Pristroj nepotvrdil, opakujte akciu");
}

TEST_F(MainWindowTest, ServiceFunctionNeedsThePassword) {
  standardEmployees();
  auto w = makeWindow();
  ASSERT_TRUE(w->FormCreate());
  Tick(*w, 2);
  op.textAnswers = {std::string("1234")};
  w->PansnDblClick();
  ASSERT_EQ(op.questions.size(), 1u);
  EXPECT_EQ(op.questions[0], "Prosím Heslo");
  op.textAnswers = {std::string("517402"), std::string("4660")};
  w->PansnDblClick();
  ASSERT_EQ(op.questions.size(), 3u);
  EXPECT_EQ(op.questions[2], "Výrobné číslo");
  ASSERT_TRUE(QTest::qWaitFor([&] { return !w->busy() && w->worker()->pendingJobs() == 0; }, 5000));
  EXPECT_EQ(line->with([](timeclock::Terminal& t) { return t.productionNumber(); }), 4660);
  Tick(*w, 2);
  EXPECT_EQ(Panel(*w, "Pansn"), "4660");
  // A number out of range is never sent.
  op.textAnswers = {std::string("517402"), std::string("70000")};
  w->PansnDblClick();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !w->busy() && w->worker()->pendingJobs() == 0; }, 5000));
  EXPECT_EQ(line->with([](timeclock::Terminal& t) { return t.productionNumber(); }), 4660);
}

TEST_F(MainWindowTest, BatteryReadingAndOneWarningPerConnection) {
  standardEmployees();
  ini("GLOBAL", "TESTBAT", "1");
  auto w = makeWindow(timeclock::Model::Rfid);
  ASSERT_TRUE(w->FormCreate());
  line->with([](timeclock::Terminal& t) {
    t.setBatteryThreshold(200);
    t.setBatteryLevel(150);
  });
  Tick(*w, 3);
  EXPECT_EQ(w->statusPanelText(0), "BAT=200/150");
  EXPECT_EQ(w->memoText().count(QStringLiteral("POZOR! vymente bateriu")), 1);
  EXPECT_TRUE(w->batteryWarned());
  line->with([](timeclock::Terminal& t) { t.disconnect(); });
  Tick(*w, 5);
  EXPECT_FALSE(w->batteryWarned());
  line->with([](timeclock::Terminal& t) { t.reconnect(); });
  Tick(*w, 2);
  EXPECT_EQ(w->memoText().count(QStringLiteral("POZOR! vymente bateriu")), 2);
}

TEST_F(MainWindowTest, StopEndsAnAutomaticTransferAndThePointerStaysTrue) {
  standardEmployees();
  ini("GLOBAL", "AUTODNL", "1");
  ini("REQPTR", "1", "0");
  auto w = makeWindow();
  ASSERT_TRUE(w->FormCreate());
  line->with([](timeclock::Terminal& t) {
    for (int i = 0; i < 300; ++i)
      t.addRegistration(101 + i % 3, core::DateTime::fromParts(2026, 12, 1 + i % 28, 6 + i % 12, i % 60),
                        i % 2 ? 16 : 0);
  });
  Tick(*w);
  w->Timer1Timer();
  auto* stop = w->findChild<QAction*>(QStringLiteral("act_stop"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return w->busy(); }, 5000));
  stop->trigger();
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return !w->tickRunning() && !w->busy() && w->worker()->pendingJobs() == 0; }, 20000));
  const std::string log = logText();
  const long long lines = std::count(log.begin(), log.end(), '\n');
  EXPECT_EQ(storedPointer(), lines);
  EXPECT_FALSE(stop->isVisible());
  // The next heartbeats take the rest.
  Tick(*w, 3);
  EXPECT_EQ(storedPointer(), 300);
  const std::string all = logText();
  EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), 300);
}

TEST(ProgressWindow, CancelAndEscapeAskToStop) {
  ui::Tfrminfo info;
  int stops = 0;
  QObject::connect(&info, &ui::Tfrminfo::stopRequested, [&] { ++stops; });
  info.ShowProgress(QStringLiteral("Prenos..."));
  EXPECT_EQ(info.windowTitle(), "Prenos...");
  EXPECT_EQ(info.barValue(), 0);
  EXPECT_EQ(info.barMaximum(), 100);
  info.setBar(30, 25);
  EXPECT_EQ(info.barValue(), 25);
  QTest::keyClick(&info, Qt::Key_Escape);
  EXPECT_EQ(stops, 1);
  EXPECT_FALSE(info.isVisible());
  info.ShowProgress(QStringLiteral("Komunikácia"));
  auto* cancel = info.findChild<QPushButton*>(QStringLiteral("btnCancel"));
  ASSERT_NE(cancel, nullptr);
  EXPECT_EQ(cancel->text(), "Zrušiť");
  cancel->click();
  EXPECT_EQ(stops, 2);
  EXPECT_FALSE(info.isVisible());
}

TEST_F(MainWindowTest, SettingsDialogTypeChangeReopensThePortAndAlignsThePointer) {
  standardEmployees();
  auto w = makeWindow();
  ASSERT_TRUE(w->FormCreate());
  line->with([](timeclock::Terminal& t) { t.addRegistration(101, core::DateTime::fromParts(2026, 12, 9, 7, 0), 0); });
  op.messages.clear();
  Tick(*w, 2);  // first use: the pointer is noted
  ASSERT_EQ(storedPointer(), 1);
  line->with([](timeclock::Terminal& t) { t.addRegistration(102, core::DateTime::fromParts(2026, 12, 9, 7, 5), 0); });
  op.yesNoAnswers = {false};
  Tick(*w, 2);  // declined
  const int opensBefore = line->opened;

  bool sawDialog = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<ui::SettingsDialog*>(QApplication::activeModalWidget());
    if (!dialog) {
      for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<ui::SettingsDialog*>(top); d && d->isVisible()) dialog = d;
    }
    ASSERT_NE(dialog, nullptr);
    sawDialog = true;
    // "Vymazať": the PC's pointer follows the terminal's PTR.
    op.yesNoAnswers = {true};
    dialog->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
    dialog->findChild<QRadioButton*>(QStringLiteral("typgroup2"))->click();  // USB
    dialog->tryAccept();
  });
  w->Nastaveniaprogramu1Click();
  ASSERT_TRUE(sawDialog);
  EXPECT_EQ(storedPointer(), 2);
  EXPECT_NE(std::find(op.messages.begin(), op.messages.end(), "Vykonané"), op.messages.end());
  EXPECT_EQ(line->opened, opensBefore + 1);
  EXPECT_EQ(w->settings().type, 2);
  EXPECT_EQ(core::ReadProfileString(dir / "vortane.ini", "GLOBAL", "type", ""), "2");
  EXPECT_EQ(core::ReadProfileString(dir / "vortane.ini", "GLOBAL", "Rate", ""), "19200");
  EXPECT_TRUE(w->portOpen());
}

}  // namespace
