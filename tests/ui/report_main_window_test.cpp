// "Výkaz" from the main window: the period dialog, then the modal report, the
// employee's sheet usable beside it, and what closing leaves behind.

// The simulator's header comes before Qt's, as in the other window tests.
#include "engine/terminal.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

#include "core/ini_file.h"
#include "support/test_support.h"
#include "ui/grid_view.h"
#include "ui/main_window.h"
#include "ui/report_period_dialog.h"
#include "ui/report_window.h"
#include "ui/sheet_window.h"
#include "main_window_installation.h"

namespace {

// Runs `steps` one after another from the event loop, each once its
// condition holds (the modal dialogs run their own loops meanwhile).
class Script : public QObject {
 public:
  struct Step {
    std::function<bool()> ready;
    std::function<void()> act;
  };
  explicit Script(std::vector<Step> steps) : m_steps(std::move(steps)) {
    connect(&m_timer, &QTimer::timeout, this, [this] {
      if (m_next >= m_steps.size()) return m_timer.stop();
      if (!m_steps[m_next].ready()) return;
      auto act = m_steps[m_next++].act;
      act();
    });
    m_timer.start(20);
  }
  bool finished() const { return m_next >= m_steps.size(); }

 private:
  std::vector<Step> m_steps;
  std::size_t m_next = 0;
  QTimer m_timer;
};

template <typename T>
T* Active(const char* name) {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->objectName() == QLatin1String(name) && w->isVisible()) return qobject_cast<T*>(w);
    if (auto* inner = w->findChild<T*>(QLatin1String(name)); inner != nullptr && inner->isVisible()) return inner;
  }
  return nullptr;
}

// The period dialog's step: November, OK.
Script::Step PeriodOfNovember() {
  return {[] { return Active<ui::Tfrmpredrep>("Tfrmpredrep") != nullptr; },
          [] {
            auto* d = Active<ui::Tfrmpredrep>("Tfrmpredrep");
            d->findChild<QSpinBox*>(QStringLiteral("CMBrepmes"))->setValue(11);
            d->BitBtn1Click();
          }};
}

TEST(ReportFromMainWindow, PeriodThenReportThenTheSheetBesideItAndThePeriodFileOnClose) {
  ui_test::MainWindowInstallation inst("Anna Horná\t7\t101\tDielňa\t0\t0\t100\t30\t\r\n", "11_2026.txt",
                                       "2.11.2026 7:00:00\t101\t0\r\n2.11.2026 15:30:00\t101\t16\r\n",
                                       QDateTime(QDate(2026, 12, 9), QTime(10, 0)));
  const auto& dir = inst.dir;
  auto window = inst.window();
  ui::TForm1& w = *window;
  ASSERT_TRUE(w.FormCreate());
  w.show();

  ui::Tfrmzdrep* report = nullptr;
  QWidget* sheetParent = nullptr;
  bool sheetShown = false;
  QWidget* calcParent = nullptr;
  Script script({
      PeriodOfNovember(),
      {[&] { return (report = Active<ui::Tfrmzdrep>("Tfrmzdrep")) != nullptr; },
       [&] {
         report->BTmakeClick();
         report->view()->selectCell(robot::rcol::AtWork, 1);
         report->showEmployeeSheet();
         ui::Tfrmlist* sheet = w.sheetWindow();
         sheetParent = sheet->parentWidget();
         sheetShown = sheet->isVisible();
         report->findChild<QAction*>(QStringLiteral("a_calc"))->trigger();
         QWidget* calc = Active<QWidget>("Tfrmcalc");
         calcParent = calc ? calc->parentWidget() : nullptr;
       }},
      {[] { return true; }, [&] { report->close(); }},
  });
  w.findChild<QAction*>(QStringLiteral("vykaz"))->trigger();
  EXPECT_TRUE(script.finished());
  EXPECT_EQ(sheetParent, report);
  EXPECT_TRUE(sheetShown);
  // The calculator, not modal, is usable beside the modal report too.
  EXPECT_EQ(calcParent, report);
  EXPECT_EQ(w.sheetWindow()->parentWidget(), &w);
  EXPECT_EQ(w.sheetWindow()->grid().cell(1, 1), "Anna Horná");
  EXPECT_TRUE(std::filesystem::exists(dir / "112026.zdr"));
}

// A sheet with a correction not yet saved goes under the report and back
// with it: moving the window loses nothing, and the report's employee waits
// for the clerk's answer.
TEST(ReportFromMainWindow, ASheetWithUnsavedCorrectionsIsLentAndGivenBackWhole) {
  ui_test::MainWindowInstallation inst("Anna Horná\t7\t101\tDielňa\t0\t0\t100\t30\t\r\n", "11_2026.txt",
                                       "2.11.2026 7:00:00\t101\t0\r\n2.11.2026 15:30:00\t101\t16\r\n",
                                       QDateTime(QDate(2026, 11, 20), QTime(10, 0)));
  auto window = inst.window();
  ui::TForm1& w = *window;
  ASSERT_TRUE(w.FormCreate());
  w.show();
  w.findChild<QAction*>(QStringLiteral("act_dochkarta"))->trigger();
  ui::Tfrmlist* sheet = w.sheetWindow();
  ASSERT_TRUE(sheet->isVisible());
  sheet->findChild<QComboBox*>(QStringLiteral("ComboBox1"))->setCurrentIndex(1);
  sheet->a_robotExecute();
  ASSERT_TRUE(sheet->model().setData(sheet->model().indexOf(4, 5), QStringLiteral("=7:45")));
  ASSERT_TRUE(sheet->sheetModified());

  ui::Tfrmzdrep* report = nullptr;
  QWidget* parentMeanwhile = nullptr;
  std::string cellMeanwhile;
  Script script({
      PeriodOfNovember(),
      {[&] { return (report = Active<ui::Tfrmzdrep>("Tfrmzdrep")) != nullptr; },
       [&] {
         report->BTmakeClick();
         report->view()->selectCell(robot::rcol::AtWork, 1);
         // "Vykonávali ste úpravy...": No keeps the sheet as it is.
         inst.op.yesNoAnswers = {false};
         report->showEmployeeSheet();
         parentMeanwhile = sheet->parentWidget();
         cellMeanwhile = sheet->grid().cell(4, 5);
       }},
      {[] { return true; }, [&] { report->close(); }},
  });
  w.findChild<QAction*>(QStringLiteral("vykaz"))->trigger();
  EXPECT_TRUE(script.finished());
  EXPECT_EQ(parentMeanwhile, report);
  EXPECT_EQ(cellMeanwhile, "=7:45");
  // Back under the main window, on screen, with the correction unsaved.
  EXPECT_EQ(sheet->parentWidget(), &w);
  EXPECT_TRUE(sheet->isVisible());
  EXPECT_EQ(sheet->grid().cell(4, 5), "=7:45");
  EXPECT_TRUE(sheet->sheetModified());
}

}  // namespace
