// Times the attendance sheet window headless on an installation made by
// bench/report_gen: the robot run of one employee's month including the
// model's update and a repaint, the totals after one edited result cell, and
// the PDF of every employee's sheet of the month.
//
// usage: sheet_window_bench DIR MONTH YEAR [RUNS]
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/messages.h"
#include "core/operator.h"
#include "core/path_text.h"
#include "core/program_settings.h"
#include "ui/file_dialogs.h"
#include "ui/grid_view.h"
#include "ui/sheet_window.h"

namespace {

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0.0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: sheet_window_bench DIR MONTH YEAR [RUNS]\n");
    return 2;
  }
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int month = std::atoi(argv[2]);
  const int year = std::atoi(argv[3]);
  const int runs = argc > 4 ? std::atoi(argv[4]) : 51;

  core::ProgramDirectory dir;
  dir.dir = core::PathFromUtf8(argv[1]) / "";
  core::MessageCatalogue messages;
  core::CliOperator op;
  op.yesAnswer = true;
  core::ProgramSettings settings = core::LoadSettings(dir, messages, op);
  core::EmployeeList employees;
  if (employees.read(dir.employeeFile(), settings.normaPDminutes) != 1) {
    std::fprintf(stderr, "no employees in %s\n", argv[1]);
    return 1;
  }
  ui::ScriptedFileDialogs files;
  ui::SheetWindowContext ctx{settings, employees, dir, messages, op, files, {}, {}, {}, {}, {}};
  ui::Tfrmlist window(std::move(ctx));
  window.resize(1200, 800);
  window.showForPeriod(month, year);
  QApplication::processEvents();
  window.findChild<QComboBox*>(QStringLiteral("ComboBox1"))->setCurrentIndex(1);

  std::vector<double> robot;
  for (int i = 0; i < runs; ++i) {
    QElapsedTimer t;
    t.start();
    window.a_robotExecute();
    window.view()->viewport()->repaint();
    robot.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
  }

  std::vector<double> edit;
  const QModelIndex cell = window.model().indexOf(4, 10);
  for (int i = 0; i < runs * 4; ++i) {
    QElapsedTimer t;
    t.start();
    window.model().setData(cell, i % 2 == 0 ? QStringLiteral("=7:00") : QStringLiteral("SC 8:00 PN 2:00"));
    edit.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
  }

  const auto pdf = core::PathFromUtf8(argv[1]) / "all-sheets.pdf";
  files.saveAnswers = {ui::FileChoice{QString::fromStdString(core::Utf8FromPath(pdf)), 1}};
  QElapsedTimer t;
  t.start();
  window.printAllSheets(ui::Tfrmlist::AllSheetsTarget::Pdf);
  const double allSeconds = static_cast<double>(t.nsecsElapsed()) / 1e9;
  const int pages = static_cast<int>(employees.size());

  const double robotMs = Median(robot);
  const double editMs = Median(edit);
  std::printf("robot run with model update: %.2f ms median (target < 20 ms)%s\n", robotMs,
              robotMs < 20 ? "" : "  MISSED");
  std::printf("totals after one edit:       %.3f ms median (target < 2 ms)%s\n", editMs, editMs < 2 ? "" : "  MISSED");
  std::printf("all sheets to PDF:           %.2f s for %d pages, %.0f pages/s (target < 10 s for 1000)%s\n", allSeconds,
              pages, pages / std::max(allSeconds, 1e-9), allSeconds < 10 ? "" : "  MISSED");
  window.close();
  return robotMs < 20 && editMs < 2 && allSeconds < 10 ? 0 : 1;
}
