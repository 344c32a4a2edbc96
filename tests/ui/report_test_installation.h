#pragma once
// A small installation for the report window's tests: November 2026 (the 1st
// is a Sunday, 21 working days, no holidays), four employees in three
// departments and one that is a single letter, and a month log.

#include <QApplication>
#include <QDateTime>
#include <memory>

#include "core/messages.h"
#include "core/path_text.h"
#include "core/program_settings.h"
#include "robot/report_compute.h"
#include "support/test_support.h"
#include "ui/file_dialogs.h"
#include "ui/report_window.h"

namespace report_ui_test {

struct Installation {
  testing_support::TempDir tmp;
  core::ProgramDirectory dir;
  core::MessageCatalogue messages;
  testing_support::ScriptedOperator op;
  core::ProgramSettings settings;
  core::EmployeeList employees;
  ui::ScriptedFileDialogs files;
  std::vector<QUrl> opened;
  std::vector<std::tuple<std::string, int, int>> sheetsShown;

  Installation() {
    dir.dir = tmp.path() / core::PathFromUtf8("inštalácia");
    std::filesystem::create_directories(dir.dir / "Log");
    dir.dir /= "";
    testing_support::WriteCp1250(dir.dir / "vortane.ini",
                                 "[GLOBAL]\r\nLOGDIR=" + core::Utf8FromPath(dir.dir / "Log") + "/\r\n");
    testing_support::WriteBytes(dir.dir / "sviatky.txt", "");
    // name, personal number, card, department, shifts, trips, workload, breaks
    testing_support::WriteCp1250(dir.dir / "prac.txt",
                                 ";Zoznam pracovnikov\r\n"
                                 "Anna Horná\t7\t101\tDielňa\t0\t0\t100\t30\t\r\n"
                                 "Boris Dolný\t8\t102\tSklad\t0\t0\t50\t0\t\r\n"
                                 "Cyril Malý\t9\t103\tX\t0\t0\t100\t30\t\r\n"
                                 "Dana Veľká\t10\t104\tSklad\t0\t0\t100\t30\t\r\n");
    // Anna: Monday 2nd 7:00-15:30, Tuesday 3rd 6:30-15:00, Wednesday 4th
    // two arrivals (a robot warning); Boris: Monday 8:00-12:00.
    testing_support::WriteBytes(dir.dir / "Log" / "11_2026.txt",
                                "2.11.2026 7:00:00\t101\t0\r\n"
                                "2.11.2026 15:30:00\t101\t16\r\n"
                                "3.11.2026 6:30:00\t101\t0\r\n"
                                "3.11.2026 15:00:00\t101\t16\r\n"
                                "4.11.2026 7:00:00\t101\t0\r\n"
                                "4.11.2026 8:00:00\t101\t0\r\n"
                                "4.11.2026 15:00:00\t101\t16\r\n"
                                "2.11.2026 8:00:00\t102\t0\r\n"
                                "2.11.2026 12:00:00\t102\t16\r\n");
    settings = core::LoadSettings(dir, messages, op);
    employees.read(dir.employeeFile(), settings.normaPDminutes);
    op.messages.clear();
  }

  std::filesystem::path logFile() const { return dir.dir / "Log" / "11_2026.txt"; }

  ui::ReportWindowContext context() {
    ui::ReportWindowContext ctx{settings, employees, dir, messages, op, files};
    ctx.urlOpener = [this](const QUrl& url) { opened.push_back(url); };
    ctx.showEmployeeSheet = [this](const std::string& name, int month, int year) {
      sheetsShown.emplace_back(name, month, year);
      return true;
    };
    return ctx;
  }

  std::unique_ptr<ui::Tfrmzdrep> window(bool reopen = false) {
    auto w = std::make_unique<ui::Tfrmzdrep>(context(), ui::ReportPeriodChoice{11, 2026, logFile(), reopen});
    w->show();
    QApplication::processEvents();
    return w;
  }

  // The report as the library computes it, for comparison.
  robot::CombinedReport expected() {
    robot::CombinedReport r;
    r.month = 11;
    r.year = 2026;
    r.monthLogFile = logFile();
    testing_support::ScriptedOperator quiet;
    const robot::ReportEnvironment env{settings, employees, messages, quiet, dir.holidayFile()};
    robot::BuildReportTable(r, env);
    std::atomic<bool> stop{false};
    robot::GoComputeReport(r, env, stop);
    return r;
  }

  ui::FileChoice choice(const std::string& name, int filter = 1) const {
    return ui::FileChoice{QString::fromStdString(core::Utf8FromPath(tmp.path() / core::PathFromUtf8(name))), filter};
  }
};

}  // namespace report_ui_test
