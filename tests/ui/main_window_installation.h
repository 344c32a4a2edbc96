#pragma once
// A small installation in a temporary folder and the main window over it,
// for the tests that open the sheet, report and employee windows from the
// main window: vortane.ini with its log folder, prac.txt, one month log, the
// terminal emulation in process and a clock the test sets.

#include <QDateTime>
#include <filesystem>
#include <memory>
#include <string>

#include "core/ini_file.h"
#include "core/path_text.h"
#include "support/test_support.h"
#include "ui/main_window.h"
#include "ui_sim_line.h"

namespace ui_test {

struct MainWindowInstallation {
  // `employees`: prac.txt lines (UTF-8, written as Windows-1250); `logName`
  // and `log`: one month log of the Log folder.
  MainWindowInstallation(const std::string& employees, const std::string& logName, const std::string& log,
                         QDateTime today) {
    dir = tmp.path() / "inst";
    std::filesystem::create_directories(dir / "Log");
    std::filesystem::create_directories(tmp.path() / "exe");
    core::WriteProfileString(dir / "vortane.ini", "GLOBAL", "LOGDIR", core::Utf8FromPath(dir / "Log") + "/");
    core::WriteProfileString(dir / "vortane.ini", "GLOBAL", "PortName", "sim");
    // This user has started the program before.
    testing_support::WriteBytes(tmp.path() / "marker", "1");
    testing_support::WriteCp1250(dir / "prac.txt", employees);
    testing_support::WriteBytes(dir / "Log" / logName, log);
    line = std::make_shared<SimLine>(timeclock::Model::Rfid, timeclock::ConnectionType::Rs232);
    options.args = {core::Utf8FromPath(dir) + "/"};
    options.executableDir = tmp.path() / "exe";
    options.transportFactory = FactoryFor(line);
    options.firstStartMarker = tmp.path() / "marker";
    options.startTimers = false;
    options.now = [today] { return today; };
  }

  std::unique_ptr<ui::TForm1> window() { return std::make_unique<ui::TForm1>(op, options); }

  testing_support::TempDir tmp;
  std::filesystem::path dir;
  testing_support::ScriptedOperator op;
  std::shared_ptr<SimLine> line;
  ui::MainWindowOptions options;
};

}  // namespace ui_test
