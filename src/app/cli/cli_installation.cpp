#include "cli_installation.h"

#include <cstdio>
#include <system_error>

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

#include "core/path_text.h"
#include "core/time_values.h"

namespace cli {

std::filesystem::path ExecutableDir() {
  std::error_code ec;
#if defined(_WIN32)
  std::wstring self(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
    if (n == 0) return std::filesystem::current_path(ec);
    if (n < self.size()) {
      self.resize(n);
      return std::filesystem::path(self).parent_path();
    }
    self.resize(self.size() * 2);
  }
#else
  const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return std::filesystem::current_path(ec);
  return self.parent_path();
#endif
}

std::optional<Installation> LoadInstallation(const std::string& dir, core::Operator& op,
                                             const InstallationOptions& options, int& exitStatus) {
  exitStatus = kOk;
  std::error_code ec;
  if (dir.empty() || !std::filesystem::is_directory(core::PathFromUtf8(dir), ec)) {
    std::fprintf(stderr, "vortane-cli: '%s' is not a directory\n", dir.c_str());
    exitStatus = kBadArguments;
    return std::nullopt;
  }

  Installation inst;
  const std::filesystem::path exeDir = ExecutableDir();
  inst.messages.load(exeDir / "vortane.lng");

  const auto choice = core::ChooseProgramDirectory({dir}, exeDir, inst.messages);
  if (choice.fatalMessage) {
    op.showMessage(*choice.fatalMessage);
    exitStatus = kFailed;
    return std::nullopt;
  }
  inst.directory = choice.directory;
  inst.settings = core::LoadSettings(inst.directory, inst.messages, op);

  if (options.readEmployees) {
    inst.employeeReadResult = inst.employees.read(inst.directory.employeeFile(), inst.settings.normaPDminutes);
    if (inst.employeeReadResult < 0 && options.employeeWarnings) {
      op.showMessage(inst.messages.message(core::msg::EmptyEmployeeList));
      op.showMessage(inst.messages.message(core::msg::NoEmployeeFile) + "\r\r" +
                     inst.messages.message(core::msg::Reinstall));
    }
  }
  if (options.loadCalendar) {
    const int year = options.currentYear != 0 ? options.currentYear : core::Now().date().year;
    inst.calendarLoaded = inst.calendar.load(inst.directory.holidayFile(), year, inst.messages, op);
  }
  return inst;
}

std::optional<Installation> LoadInstallation(const Args& args, const std::string& command, core::Operator& op,
                                             const InstallationOptions& options, int& exitStatus) {
  const auto dir = args.value("dir");
  if (!dir || dir->empty()) {
    exitStatus = usageError(command, "--dir DIR is required");
    return std::nullopt;
  }
  return LoadInstallation(*dir, op, options, exitStatus);
}

}  // namespace cli
