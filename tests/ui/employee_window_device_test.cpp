// The employee list opened from the main window (F4) against the terminal
// emulation in process: the heartbeat held while it is open, a card read
// through the device worker into the new-employee dialog, and after the save
// the presence table and the card panel on the new list.

// The engine declares a member named like Qt's "emit" keyword: it must be
// read before any Qt header.
#include "engine/terminal.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

#include "core/ini_file.h"
#include "modal_helpers.h"
#include "support/test_support.h"
#include "ui/employee_window.h"
#include "ui/main_window.h"
#include "ui/new_employee_dialog.h"
#include "ui/progress_window.h"
#include "ui_sim_line.h"

namespace {

using testing_support::ReadBytes;
using testing_support::ScriptedOperator;
using testing_support::TempDir;

using ui_test::OnModal;

class EmployeeWindowDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = tmp.path() / "inst";
    std::filesystem::create_directories(dir / "Log");
    std::filesystem::create_directories(tmp.path() / "exe");
    ASSERT_TRUE(core::WriteProfileString(dir / "vortane.ini", "GLOBAL", "LOGDIR", (dir / "Log").string() + "/"));
    ASSERT_TRUE(core::WriteProfileString(dir / "vortane.ini", "GLOBAL", "PortName", "sim"));
    ASSERT_TRUE(core::WriteProfileString(dir / "vortane.ini", "REQPTR", "1", "0"));
    testing_support::WriteBytes(tmp.path() / "marker", "1");
    auto people = testing_support::MakeEmployees({{"Anna Horná", 101, ""}, {"Boris Dolný", 102, ""}});
    ASSERT_TRUE(people.write(dir / "prac.txt"));
    testing_support::WriteBytes(dir / "stav.bin", std::string(48, '\0'));

    line = std::make_shared<ui_test::SimLine>(timeclock::Model::Rfid, timeclock::ConnectionType::Rs232);
    ui::MainWindowOptions o;
    o.args = {dir.string() + "/"};
    o.executableDir = tmp.path() / "exe";
    o.transportFactory = ui_test::FactoryFor(line);
    o.firstStartMarker = tmp.path() / "marker";
    o.startTimers = false;
    window = std::make_unique<ui::TForm1>(op, o);
    ASSERT_TRUE(window->FormCreate());
  }

  // Adds an employee whose card is read from the terminal, then saves and
  // closes the list; `card` is what the dialog's field showed after reading.
  void addWithReadCard(QString& card) {
    OnModal<ui::Tfrmprac>([this, &card](ui::Tfrmprac* list) {
      EXPECT_TRUE(window->employeeListOpen());
      OnModal<ui::Tfrminprac>([this, &card](ui::Tfrminprac* d) {
        d->findChild<QLineEdit*>(QStringLiteral("edmeno"))->setText(QStringLiteral("Dana Nová"));
        auto* field = d->findChild<QLineEdit*>(QStringLiteral("edkarta"));
        field->setText(QStringLiteral("77"));
        QTest::keyClick(field, Qt::Key_F2);
        card = field->text();
        d->findChild<QPushButton*>(QStringLiteral("BTok"))->click();
      });
      list->findChild<QAction*>(QStringLiteral("A_new"))->trigger();
      op.yesNoAnswers = {true};
      list->A_saveExecute();
      list->close();
    });
    window->findChild<QAction*>(QStringLiteral("Act_prac"))->trigger();
  }

  TempDir tmp;
  std::filesystem::path dir;
  ScriptedOperator op;
  std::shared_ptr<ui_test::SimLine> line;
  std::unique_ptr<ui::TForm1> window;
};

TEST_F(EmployeeWindowDeviceTest, ACardReadAtTheTerminalBecomesTheNewEmployeesCard) {
  const core::EmployeeList* shared = &window->employees();
  line->with([](timeclock::Terminal& t) { t.presentCard(4711, 1000); });
  QString card;
  addWithReadCard(card);
  EXPECT_EQ(card, "4711");
  EXPECT_FALSE(window->employeeListOpen());
  EXPECT_TRUE(op.messages.empty()) << op.messages.front();
  EXPECT_FALSE(window->progressWindow()->isVisible());
  EXPECT_EQ(window->progressWindow()->parent(), window.get());

  // The same list object holds the new employee; the presence table follows.
  EXPECT_EQ(&window->employees(), shared);
  ASSERT_EQ(shared->size(), 3u);
  EXPECT_EQ(shared->employees()[2].name, "Dana Nová");
  EXPECT_EQ(shared->employees()[2].card, 4711);
  ASSERT_EQ(window->presence().entries().size(), 3u);
  EXPECT_EQ(window->presence().entries()[2].identifier, 4711);
  EXPECT_FALSE(std::filesystem::exists(dir / "stav.bin"));
  core::EmployeeList back;
  ASSERT_EQ(back.read(dir / "prac.txt", 510), 1);
  EXPECT_EQ(back.employees(), shared->employees());

  // The card panel names the new card without asking who it is.
  line->with([](timeclock::Terminal& t) { t.presentCard(4711, 3); });
  for (int i = 0; i < 3; ++i) {
    window->Timer1Timer();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->tickRunning() && window->worker()->pendingJobs() == 0; }, 5000));
  }
  EXPECT_EQ(window->findChild<QLabel*>(QStringLiteral("PanNazov"))->text(), "Dana Nová");
  EXPECT_TRUE(op.questions.size() == 1u) << "only the save question";
}

TEST_F(EmployeeWindowDeviceTest, ATerminalThatDoesNotAnswerLeavesTheCardField) {
  line->with([](timeclock::Terminal& t) { t.disconnect(); });
  QString card;
  addWithReadCard(card);
  EXPECT_EQ(card, "77");
  EXPECT_EQ(op.messages, std::vector<std::string>{"VORTANE nekomunikuje"});
  ASSERT_EQ(window->employees().size(), 3u);
  EXPECT_EQ(window->employees().employees()[2].card, 77);
}

}  // namespace
