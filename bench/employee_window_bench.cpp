// The employee list window over 5000 employees: opening it (the table filled
// and the window painted once) and saving it (every row checked, prac.txt
// written). Runs offscreen.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTableView>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "core/employee_list.h"
#include "core/operator.h"
#include "core/program_settings.h"
#include "ui/employee_table_model.h"
#include "ui/employee_window.h"
#include "ui/file_dialogs.h"

namespace {

constexpr int kEmployees = 5000;

class YesOperator : public core::Operator {
 public:
  void showMessage(const std::string&) override { ++messages; }
  bool askYesNo(const std::string&, const std::string&) override { return true; }
  std::optional<std::string> askText(const std::string&, const std::string&, const std::string&) override {
    return std::nullopt;
  }
  int messages = 0;
};

core::EmployeeList MakeList() {
  static const char* const departments[] = {"Výroba", "Sklad", "Údržba", "Expedícia", "Účtovníctvo", "Predajňa"};
  core::EmployeeList list;
  for (int i = 0; i < kEmployees; ++i) {
    core::Employee e;
    e.name = "Zamestnanec Čížik " + std::to_string(i + 1);
    e.personalNumber = std::to_string(10000 + i);
    e.card = static_cast<std::uint16_t>(i + 1);
    e.department = departments[i % 6];
    e.shiftsAllowed = i % 3 == 0;
    e.tripsAllowed = i % 5 == 0;
    e.workload = i % 7 == 0 ? "6:00" : "100";
    e.workloadMinutes = 480;
    e.breaks = 30;
    list.employees().push_back(std::move(e));
  }
  return list;
}

struct Installation {
  Installation() {
    dir.dir =
        std::filesystem::temp_directory_path() / ("vortane-employee-bench-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(dir.dir);
    list = MakeList();
    list.write(dir.employeeFile());
  }
  ~Installation() {
    std::error_code ec;
    std::filesystem::remove_all(dir.dir, ec);
  }
  core::ProgramDirectory dir;
  core::EmployeeList list;
  YesOperator op;
  ui::ScriptedFileDialogs files;
};

void BM_OpenEmployeeWindow(benchmark::State& state) {
  Installation inst;
  for (auto _ : state) {
    ui::Tfrmprac window(inst.list, inst.dir, 480, inst.op, inst.files);
    window.resize(1280, 800);
    window.show();
    QApplication::processEvents();
    benchmark::DoNotOptimize(window.model()->rowCount());
    window.hide();
  }
  state.counters["employees"] = kEmployees;
}

void BM_SaveEmployeeWindow(benchmark::State& state) {
  Installation inst;
  ui::Tfrmprac window(inst.list, inst.dir, 480, inst.op, inst.files);
  window.show();
  QApplication::processEvents();
  int n = 0;
  for (auto _ : state) {
    // One edit per save, as a clerk makes it.
    window.model()->setData(window.model()->index(n % kEmployees, 7), QString::number(30 + n % 2), Qt::EditRole);
    ++n;
    if (!window.A_saveExecute()) state.SkipWithError("the save was refused");
  }
  if (inst.op.messages > 0) state.SkipWithError("the save showed a message");
  state.counters["employees"] = kEmployees;
}

BENCHMARK(BM_OpenEmployeeWindow)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_SaveEmployeeWindow)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
