// Times the combined report window headless on an installation made by
// bench/report_gen: from showing the window through GO until every row is
// filled and the grid painted (median of RUNS), one in-place edit of a day
// cell with its row's recalculation and the repaint of what it changed
// (median of 101), and the process's peak memory.
//
// usage: report_window_bench DIR MONTH YEAR [RUNS]
// prints: employees  show_go_s  edit_ms  peak_mb
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/messages.h"
#include "core/month_log.h"
#include "core/operator.h"
#include "core/path_text.h"
#include "core/program_settings.h"
#include "ui/file_dialogs.h"
#include "ui/grid_view.h"
#include "ui/report_window.h"

namespace {

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0.0 : v[v.size() / 2];
}

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: report_window_bench DIR MONTH YEAR [RUNS]\n");
    return 2;
  }
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int month = std::atoi(argv[2]);
  const int year = std::atoi(argv[3]);
  const int runs = argc > 4 ? std::max(1, std::atoi(argv[4])) : 5;

  core::ProgramDirectory dir;
  dir.dir = core::PathFromUtf8(argv[1]) / "";
  core::MessageCatalogue messages;
  core::CliOperator op;
  op.yesAnswer = true;
  const core::ProgramSettings settings = core::LoadSettings(dir, messages, op);
  core::EmployeeList employees;
  if (employees.read(dir.employeeFile(), settings.normaPDminutes) != 1 || employees.employees().empty()) {
    std::fprintf(stderr, "no employees in %s\n", argv[1]);
    return 1;
  }
  ui::ScriptedFileDialogs files;
  const ui::ReportPeriodChoice period{month, year, core::MonthLog::FileName(settings.logDir(), month, year), false};

  std::vector<double> whole;
  std::vector<double> edits;
  for (int run = 0; run < runs; ++run) {
    ui::Tfrmzdrep window(ui::ReportWindowContext{settings, employees, dir, messages, op, files}, period);
    window.resize(1200, 800);
    QElapsedTimer timer;
    timer.start();
    window.show();
    QApplication::processEvents();
    window.BTmakeClick();
    QApplication::processEvents();
    window.view()->viewport()->repaint();
    whole.push_back(timer.nsecsElapsed() / 1e9);
    if (window.report().grid.cell(0, window.report().dataRows()).empty()) {
      std::fprintf(stderr, "the table was not filled\n");
      return 1;
    }
    if (run == 0) {
      // One edit of a day cell in the middle of the table, as the clerk types it.
      const int row = window.report().dataRows() / 2 + 1;
      const int col = 20 + 9;
      window.view()->selectCell(col, row);
      window.view()->viewport()->repaint();
      for (int i = 0; i < 101; ++i) {
        const QString text = i % 2 ? QStringLiteral("D=8:00") : QStringLiteral("=7:30");
        QElapsedTimer edit;
        edit.start();
        window.model().setData(window.model().indexOf(col, row), text);
        // The cells the edit changed are painted as the window paints them.
        QApplication::processEvents();
        edits.push_back(edit.nsecsElapsed() / 1e6);
      }
    }
  }
  std::printf("%zu\t%.3f\t%.3f\t%.0f\n", employees.employees().size(), Median(whole), Median(edits), PeakMegabytes());
  // With OUTPUTS set: the time of a PDF and of a workbook of the computed
  // table, and the longest the event loop waited meanwhile (what the clerk
  // feels as a frozen window).
  if (std::getenv("OUTPUTS") != nullptr) {
    ui::Tfrmzdrep window(ui::ReportWindowContext{settings, employees, dir, messages, op, files}, period);
    window.show();
    QApplication::processEvents();
    window.BTmakeClick();
    window.setPrintSetupRunner([](const print::ReportPrintOptions& o) {
      return std::make_optional(std::make_pair(3, o));  // Tfrmprnsetup::Choice::Pdf
    });
    for (const char* name : {"bench.pdf", "bench.xlsx"}) {
      QElapsedTimer beat;
      qint64 longest = 0;
      QTimer tick;
      QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, beat.restart());
      });
      files.saveAnswers.push_back(
          ui::FileChoice{QString::fromStdString(core::Utf8FromPath(dir.dir / name)), 1});
      QElapsedTimer timer;
      timer.start();
      beat.start();
      tick.start(5);
      if (std::string(name).ends_with(".pdf")) {
        window.BTprintClick();
      } else {
        window.ExportTabulky();
      }
      tick.stop();
      std::printf("%s\t%.2f s\tlongest wait of the event loop %lld ms\n", name, timer.nsecsElapsed() / 1e9,
                  static_cast<long long>(longest));
    }
  }
  return 0;
}
