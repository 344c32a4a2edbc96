#include "core/program_settings.h"

#include <algorithm>
#include <climits>
#include <system_error>

#include "core/atomic_file.h"
#include "core/ini_file.h"
#include "core/messages.h"
#include "core/operator.h"
#include "core/path_text.h"
#include "core/text_util.h"

namespace core {
namespace {

constexpr std::string_view kGlobal = "GLOBAL";
constexpr std::string_view kCalc = "CALC";
constexpr std::string_view kPartner = "PARTNER";

int readInt32(const IniFile& ini, std::string_view section, std::string_view key, int def) {
  const long long v = ini.readInt(section, key, def);
  if (v < INT_MIN || v > INT_MAX) return def;
  return static_cast<int>(v);
}

std::string flagText(bool b) { return b ? "1" : "0"; }

std::string defaultLogDirText(const ProgramDirectory& dir) { return NormaliseDirectory(Utf8FromPath(dir.dir / "Log")); }

// A LOGDIR written relative to nothing would depend on the folder the program
// happens to be started from; it is taken relative to the program directory.
// An empty value would name the root folder: it means the default.
std::string resolveLogDir(std::string_view text, const ProgramDirectory& dir) {
  std::string t(trim(text));
  if (t.empty()) return defaultLogDirText(dir);
  const std::filesystem::path p = PathFromUtf8(t);
  if (p.is_relative()) return NormaliseDirectory(Utf8FromPath(dir.dir / p));
  return NormaliseDirectory(t);
}

bool directoryExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_directory(PathFromUtf8(path), ec);
}

}  // namespace

std::string NormaliseDirectory(std::string_view path) {
  std::string s(path);
  if (s.empty()) return s;
#if defined(_WIN32)
  // The operator reads and types Windows folders with backslashes only.
  std::replace(s.begin(), s.end(), '/', '\\');
  if (s.back() != '\\') s += '\\';
#else
  // Settings written on Windows end the folder with a backslash.
  if (s.back() == '\\') s.back() = '/';
  if (s.back() != '/') s += '/';
#endif
  return s;
}

int RoundingStepFromIndex(int index) {
  static constexpr int kSteps[] = {0, 5, 10, 15, 30, 60};
  if (index >= 0 && index <= 5) return kSteps[index];
  return index;
}

int RoundingIndexFromStep(int step) {
  static constexpr int kSteps[] = {0, 5, 10, 15, 30, 60};
  for (int i = 0; i < 6; ++i) {
    if (kSteps[i] == step) return i;
  }
  return -1;
}

int RateForType(int type, int storedRate) {
  switch (type) {
    case 0:
      return 19200;
    case 1:
      return 9600;
    case 2:
      return 19200;
    default:
      return storedRate;
  }
}

ProgramDirectoryChoice ChooseProgramDirectory(const std::vector<std::string>& args,
                                              const std::filesystem::path& executableDir,
                                              const MessageCatalogue& messages) {
  ProgramDirectoryChoice choice;
  std::error_code ec;
  if (!args.empty() && !args[0].empty() && std::filesystem::is_directory(PathFromUtf8(args[0]), ec)) {
    // Made absolute so that every file of the installation, LOGDIR included,
    // names the same place whatever the current folder later is.
    choice.directory.dir =
        PathFromUtf8(NormaliseDirectory(Utf8FromPath(std::filesystem::absolute(PathFromUtf8(args[0]), ec))));
    if (!std::filesystem::is_regular_file(choice.directory.iniFile(), ec)) {
      choice.fatalMessage = messages.message(msg::NoIniFile);
    }
    return choice;
  }
  choice.directory.dir = PathFromUtf8(NormaliseDirectory(Utf8FromPath(executableDir)));
  return choice;
}

ProgramSettings LoadSettings(const ProgramDirectory& dir, const MessageCatalogue& messages, Operator& op) {
  const IniFile ini = IniFile::load(dir.iniFile());
  ProgramSettings s;
  const ProgramSettings d;  // the defaults

  s.ComPort = readInt32(ini, kGlobal, "ComPort", d.ComPort);
  s.Rate = readInt32(ini, kGlobal, "Rate", d.Rate);
  s.type = readInt32(ini, kGlobal, "type", d.type);
  s.CHGINOUT = readInt32(ini, kGlobal, "CHGINOUT", d.CHGINOUT);
  s.TESTBAT = ini.readFlag(kGlobal, "TESTBAT", d.TESTBAT);
  s.LOGDIR = resolveLogDir(ini.readString(kGlobal, "LOGDIR", ""), dir);
  if (!directoryExists(s.LOGDIR)) {
    op.showMessage(messages.message(msg::DirectoryPrefix) + " " + s.LOGDIR + "\r" + " " +
                   messages.message(msg::DirectoryMissing));
  }
  s.Rate = RateForType(s.type, s.Rate);
  s.PortName = std::string(trim(ini.readString(kGlobal, "PortName", "")));
  s.AUTODNL = ini.readFlag(kGlobal, "AUTODNL", d.AUTODNL);

  s.okrpr = ini.readFlag(kCalc, "okrpr", d.okrpr);
  s.okrod = ini.readFlag(kCalc, "okrod", d.okrod);
  s.okrsm = ini.readFlag(kCalc, "okrsm", d.okrsm);
  s.ZAOKRPROD = readInt32(ini, kCalc, "ZAOKRPROD", 0);
  s.startDS = ini.readTime(kCalc, "startDS", d.startDS);
  s.stopDS = ini.readTime(kCalc, "stopDS", d.stopDS);
  s.startPS = ini.readTime(kCalc, "startPS", d.startPS);
  s.stopPS = ini.readTime(kCalc, "stopPS", d.stopPS);
  s.startNS = ini.readTime(kCalc, "startNS", d.startNS);
  s.stopNS = ini.readTime(kCalc, "stopNS", d.stopNS);
  s.USEDS = ini.readFlag(kCalc, "USEDS", d.USEDS);
  s.USEPS = ini.readFlag(kCalc, "USEPS", d.USEPS);
  s.USENS = ini.readFlag(kCalc, "USENS", d.USENS);
  s.normaPD = ini.readTime(kCalc, "normaPD", d.normaPD);
  s.normaPDminutes = s.normaPD.minutes();
  s.autoSL = ini.readFlag(kCalc, "autoSL", d.autoSL);
  s.autodov = ini.readFlag(kCalc, "autodov", d.autodov);
  s.autoPN = ini.readFlag(kCalc, "autoPN", d.autoPN);
  s.autoprek = ini.readFlag(kCalc, "autoprek", d.autoprek);
  s.dovflag = ini.readFlag(kCalc, "dovflag", d.dovflag);
  s.dovprflag = ini.readFlag(kCalc, "dovprflag", d.dovprflag);
  s.dovodflag = ini.readFlag(kCalc, "dovodflag", d.dovodflag);
  s.dovPR = ini.readTime(kCalc, "dovPR", d.dovPR);
  s.dovOD = ini.readTime(kCalc, "dovOD", d.dovOD);
  s.maxPDflag = ini.readFlag(kCalc, "maxPDflag", d.maxPDflag);
  s.maxPD = ini.readTime(kCalc, "maxPD", d.maxPD);
  s.startPDflag = ini.readFlag(kCalc, "startPDflag", d.startPDflag);
  s.startPD = ini.readTime(kCalc, "startPD", d.startPD);
  s.stopPDflag = ini.readFlag(kCalc, "stopPDflag", d.stopPDflag);
  s.stopPD = ini.readTime(kCalc, "stopPD", d.stopPD);
  s.obedyflag = ini.readFlag(kCalc, "obedyflag", d.obedyflag);
  s.obedcas = readInt32(ini, kCalc, "obedcas", d.obedcas);
  s.obedodpocet = ini.readFlag(kCalc, "obedodpocet", d.obedodpocet);
  s.weekendflag = ini.readFlag(kCalc, "weekendflag", d.weekendflag);
  s.nightflag = ini.readFlag(kCalc, "nightflag", d.nightflag);
  s.startSLflag = ini.readFlag(kCalc, "startSLflag", d.startSLflag);
  s.stopSLflag = ini.readFlag(kCalc, "stopSLflag", d.stopSLflag);
  s.startSL = ini.readTime(kCalc, "startSL", d.startSL);
  s.stopSL = ini.readTime(kCalc, "stopSL", d.stopSL);
  s.SetPrestCond = readInt32(ini, kCalc, "SetPrestCond", d.SetPrestCond);
  s.startLEKflag = ini.readFlag(kCalc, "startLEKflag", d.startLEKflag);
  s.stopLEKflag = ini.readFlag(kCalc, "stopLEKflag", d.stopLEKflag);
  s.startLEK = ini.readTime(kCalc, "startLEK", d.startLEK);
  s.stopLEK = ini.readTime(kCalc, "stopLEK", d.stopLEK);
  s.corrtime = readInt32(ini, kCalc, "corrtime", d.corrtime);

  s.ZAOKRPROD = RoundingStepFromIndex(s.ZAOKRPROD);

  s.partner.NAME = cutUtf8(ini.readString(kPartner, "NAME", d.partner.NAME), 32);
  s.partner.LOCATION = cutUtf8(ini.readString(kPartner, "LOCATION", d.partner.LOCATION), 128);
  s.partner.TEL = cutUtf8(ini.readString(kPartner, "TEL", d.partner.TEL), 32);
  s.partner.FAX = cutUtf8(ini.readString(kPartner, "FAX", d.partner.FAX), 32);
  s.partner.EMAIL = cutUtf8(ini.readString(kPartner, "EMAIL", d.partner.EMAIL), 128);
  s.partner.WWW = cutUtf8(ini.readString(kPartner, "WWW", d.partner.WWW), 128);
  s.MINIMALIZE = ini.readFlag(kGlobal, "MINIMALIZE", d.MINIMALIZE);
  return s;
}

SettingsForm ReadSettingsForm(const ProgramDirectory& dir, ProgramSettings& settings) {
  const IniFile ini = IniFile::load(dir.iniFile());
  const ProgramSettings d;
  SettingsForm f;
  auto timeText = [&ini](std::string_view key, TimeOfDay def) { return ClockText(ini.readTime(kCalc, key, def)); };

  const std::string logdir = ini.readString(kGlobal, "LOGDIR", "");
  f.LOGDIR = trim(logdir).empty() ? defaultLogDirText(dir) : logdir;
  f.logdirChanged = false;
  f.normaPD = timeText("normaPD", d.normaPD);
  f.USEDS = ini.readFlag(kCalc, "USEDS", d.USEDS);
  f.USEPS = ini.readFlag(kCalc, "USEPS", d.USEPS);
  f.USENS = ini.readFlag(kCalc, "USENS", d.USENS);
  f.shiftTimes = {timeText("startDS", d.startDS), timeText("stopDS", d.stopDS),   timeText("startPS", d.startPS),
                  timeText("stopPS", d.stopPS),   timeText("startNS", d.startNS), timeText("stopNS", d.stopNS)};
  f.autoSL = ini.readFlag(kCalc, "autoSL", d.autoSL);
  f.autodov = ini.readFlag(kCalc, "autodov", d.autodov);
  f.autoPN = ini.readFlag(kCalc, "autoPN", d.autoPN);
  f.autoprek = ini.readFlag(kCalc, "autoprek", d.autoprek);
  f.okrpr = ini.readFlag(kCalc, "okrpr", d.okrpr);
  f.okrod = ini.readFlag(kCalc, "okrod", d.okrod);
  f.okrsm = ini.readFlag(kCalc, "okrsm", d.okrsm);
  f.dovflag = ini.readFlag(kCalc, "dovflag", d.dovflag);
  f.dovprflag = ini.readFlag(kCalc, "dovprflag", d.dovprflag);
  f.dovodflag = ini.readFlag(kCalc, "dovodflag", d.dovodflag);
  f.dovPR = timeText("dovPR", d.dovPR);
  f.dovOD = timeText("dovOD", d.dovOD);
  f.maxPDflag = ini.readFlag(kCalc, "maxPDflag", d.maxPDflag);
  f.maxPD = timeText("maxPD", d.maxPD);
  f.nightflag = ini.readFlag(kCalc, "nightflag", d.nightflag);
  f.startPDflag = ini.readFlag(kCalc, "startPDflag", d.startPDflag);
  f.stopPDflag = ini.readFlag(kCalc, "stopPDflag", d.stopPDflag);
  f.ZAOKRPRODindex = readInt32(ini, kCalc, "ZAOKRPROD", 0);
  f.obedyflag = ini.readFlag(kCalc, "obedyflag", d.obedyflag);
  f.corrtime = std::to_string(readInt32(ini, kCalc, "corrtime", d.corrtime));
  f.startPD = timeText("startPD", d.startPD);
  f.stopPD = timeText("stopPD", d.stopPD);
  f.obedcas = std::to_string(readInt32(ini, kCalc, "obedcas", d.obedcas));
  f.obedodpocet = ini.readFlag(kCalc, "obedodpocet", d.obedodpocet);
  f.weekendflag = ini.readFlag(kCalc, "weekendflag", d.weekendflag);
  f.startSLflag = ini.readFlag(kCalc, "startSLflag", d.startSLflag);
  f.stopSLflag = ini.readFlag(kCalc, "stopSLflag", d.stopSLflag);
  f.startSL = timeText("startSL", d.startSL);
  f.stopSL = timeText("stopSL", d.stopSL);
  f.startLEKflag = ini.readFlag(kCalc, "startLEKflag", d.startLEKflag);
  f.stopLEKflag = ini.readFlag(kCalc, "stopLEKflag", d.stopLEKflag);
  f.startLEK = timeText("startLEK", d.startLEK);
  f.stopLEK = timeText("stopLEK", d.stopLEK);
  f.AUTODNL = ini.readFlag(kGlobal, "AUTODNL", d.AUTODNL);
  f.MINIMALIZE = ini.readFlag(kGlobal, "MINIMALIZE", d.MINIMALIZE);
  f.CHGINOUT = readInt32(ini, kGlobal, "CHGINOUT", d.CHGINOUT);

  // Showing the dialog puts these values from the file into memory.
  settings.LOGDIR = resolveLogDir(logdir, dir);
  settings.startPDflag = f.startPDflag;
  settings.startPD = ini.readTime(kCalc, "startPD", d.startPD);
  settings.normaPD = ini.readTime(kCalc, "normaPD", d.normaPD);
  // The minutes follow the time, so that the norm shown and the norm counted
  // never disagree after the file was edited by hand.
  settings.normaPDminutes = settings.normaPD.minutes();
  settings.autoPN = f.autoPN;
  settings.autoprek = f.autoprek;
  settings.dovflag = f.dovflag;
  settings.autodov = f.autodov;
  settings.dovprflag = f.dovprflag;
  settings.dovodflag = f.dovodflag;
  settings.dovOD = ini.readTime(kCalc, "dovOD", d.dovOD);
  settings.dovPR = ini.readTime(kCalc, "dovPR", d.dovPR);
  settings.autoSL = f.autoSL;
  settings.corrtime = readInt32(ini, kCalc, "corrtime", d.corrtime);
  settings.maxPDflag = f.maxPDflag;
  settings.maxPD = ini.readTime(kCalc, "maxPD", d.maxPD);
  settings.stopPDflag = f.stopPDflag;
  settings.stopPD = ini.readTime(kCalc, "stopPD", d.stopPD);
  settings.nightflag = f.nightflag;
  settings.ZAOKRPROD = RoundingStepFromIndex(f.ZAOKRPRODindex);
  settings.obedyflag = f.obedyflag;
  settings.obedcas = readInt32(ini, kCalc, "obedcas", d.obedcas);
  settings.startSLflag = f.startSLflag;
  settings.stopSLflag = f.stopSLflag;
  settings.startSL = ini.readTime(kCalc, "startSL", d.startSL);
  settings.stopSL = ini.readTime(kCalc, "stopSL", d.stopSL);
  settings.startLEKflag = f.startLEKflag;
  settings.stopLEKflag = f.stopLEKflag;
  settings.startLEK = ini.readTime(kCalc, "startLEK", d.startLEK);
  settings.stopLEK = ini.readTime(kCalc, "stopLEK", d.stopLEK);
  return f;
}

namespace {

// The file as the save sequence sees it: values are set one by one and the
// file is replaced after every step, so that a step that fails leaves the
// earlier steps stored.
class SettingsWriter {
 public:
  explicit SettingsWriter(std::filesystem::path file) : m_file(std::move(file)) {}

  bool open(std::string& error) {
    std::error_code ec;
    if (!std::filesystem::exists(m_file, ec)) return true;  // created by the first step
    std::string bytes;
    if (!ReadWholeFile(m_file, bytes, IniFile::kMaxFileBytes)) {
      error = "Nie je možné čítať súbor " + DisplayPath(m_file);
      return false;
    }
    m_ini = IniFile::fromBytes(bytes);
    return true;
  }
  void set(std::string_view section, std::string_view key, std::string_view value) {
    m_ini.setValue(section, key, value);
  }
  bool flush(std::string& error) { return m_ini.save(m_file, &error); }

 private:
  std::filesystem::path m_file;
  IniFile m_ini;
};

std::optional<int> parseSettingInt(std::string_view text) {
  const auto v = parseDecimal(trim(text));
  if (!v || *v < INT_MIN || *v > INT_MAX) return std::nullopt;
  return static_cast<int>(*v);
}

}  // namespace

SaveResult SaveSettings(const SettingsForm& form, const ProgramDirectory& dir, ProgramSettings& settings) {
  // The file is read once and replaced after every step: another program's
  // write in between (a transfer pointer) would be undone without the lock.
  const FolderLock lock = LockSettingsOf(dir.iniFile());
  SettingsWriter file(dir.iniFile());
  SaveResult result;
  int step = 0;

  auto fail = [&](const std::string& message, const std::string& focus) {
    result.ok = false;
    result.failedStep = step;
    result.message = message;
    result.focusKey = focus;
    return result;
  };
  std::string ioError;
  auto ioFail = [&]() { return fail("Nie je možné uložiť nastavenia do súboru vortane.ini\r" + ioError, ""); };
  if (!lock.held()) {
    step = 1;
    ioError = lock.status() == FolderLock::Status::Failed ? lock.error() : LockBusyText(lock.holder());
    return ioFail();
  }
  if (!file.open(ioError)) {
    step = 1;
    return ioFail();
  }
  auto flag = [&](std::string_view section, std::string_view key, bool value, bool& target) {
    target = value;
    file.set(section, key, flagText(value));
  };
  // Checks a clock time; on success stores it in memory and in the file.
  auto time = [&](std::string_view key, const std::string& text, TimeOfDay& target) {
    const auto t = ParseClockTime(text);
    if (!t) return false;
    target = *t;
    file.set(kCalc, key, FormatSettingsTime(*t));
    return true;
  };
  auto endStep = [&]() { return file.flush(ioError); };

  // 1
  step = 1;
  if (form.logdirChanged) {
    const std::string resolved = resolveLogDir(form.LOGDIR, dir);
    if (trim(form.LOGDIR).empty() || !directoryExists(resolved)) return fail("Adresar LOGDIR neexistuje", "LOGDIR");
    settings.LOGDIR = resolved;
    file.set(kGlobal, "LOGDIR", trim(form.LOGDIR));
    if (!endStep()) return ioFail();
  }
  // 2
  step = 2;
  if (!time("normaPD", form.normaPD, settings.normaPD))
    return fail("Nesprávna hodnota v stanoveni denneho prac.casu", "normaPD");
  settings.normaPDminutes = settings.normaPD.minutes();
  if (!endStep()) return ioFail();
  // 3
  step = 3;
  flag(kCalc, "USEDS", form.USEDS, settings.USEDS);
  flag(kCalc, "USEPS", form.USEPS, settings.USEPS);
  flag(kCalc, "USENS", form.USENS, settings.USENS);
  if (!endStep()) return ioFail();
  // 4
  step = 4;
  {
    static constexpr const char* kShiftKeys[6] = {"startDS", "stopDS", "startPS", "stopPS", "startNS", "stopNS"};
    TimeOfDay* targets[6] = {&settings.startDS, &settings.stopDS,  &settings.startPS,
                             &settings.stopPS,  &settings.startNS, &settings.stopNS};
    for (int i = 0; i < 6; ++i) {
      if (!time(kShiftKeys[i], form.shiftTimes[static_cast<std::size_t>(i)], *targets[i])) {
        // The shift times taken before the bad one stay stored.
        if (!endStep()) return ioFail();
        return fail("Nespravny hodnota času v urcení smeny\rPoužite napr: 08:00", "");
      }
    }
    if (!endStep()) return ioFail();
  }
  // 5
  step = 5;
  flag(kCalc, "autoSL", form.autoSL, settings.autoSL);
  flag(kCalc, "autodov", form.autodov, settings.autodov);
  flag(kCalc, "autoPN", form.autoPN, settings.autoPN);
  flag(kCalc, "autoprek", form.autoprek, settings.autoprek);
  flag(kCalc, "okrpr", form.okrpr, settings.okrpr);
  flag(kCalc, "okrod", form.okrod, settings.okrod);
  flag(kCalc, "okrsm", form.okrsm, settings.okrsm);
  flag(kCalc, "dovflag", form.dovflag, settings.dovflag);
  flag(kCalc, "dovPRflag", form.dovprflag, settings.dovprflag);
  flag(kCalc, "dovODflag", form.dovodflag, settings.dovodflag);
  if (!endStep()) return ioFail();
  // 6, 7
  step = 6;
  if (!time("dovPR", form.dovPR, settings.dovPR)) return fail("Nesprávna hodnota v case dovolenka Prichod", "dovPR");
  if (!endStep()) return ioFail();
  step = 7;
  if (!time("dovOD", form.dovOD, settings.dovOD)) return fail("Nesprávna hodnota v case dovolenka Odchod", "dovOD");
  if (!endStep()) return ioFail();
  // 8
  step = 8;
  flag(kCalc, "maxPDflag", form.maxPDflag, settings.maxPDflag);
  if (!endStep()) return ioFail();
  // 9
  step = 9;
  if (!time("maxPD", form.maxPD, settings.maxPD)) return fail("Nesprávna hodnota v maximalnej prac.dobe", "maxPD");
  if (!endStep()) return ioFail();
  // 10
  step = 10;
  flag(kCalc, "nightflag", form.nightflag, settings.nightflag);
  flag(kCalc, "startPDflag", form.startPDflag, settings.startPDflag);
  flag(kCalc, "stopPDflag", form.stopPDflag, settings.stopPDflag);
  settings.ZAOKRPROD = RoundingStepFromIndex(form.ZAOKRPRODindex);
  file.set(kCalc, "ZAOKRPROD", std::to_string(form.ZAOKRPRODindex));
  flag(kCalc, "obedyflag", form.obedyflag, settings.obedyflag);
  if (!endStep()) return ioFail();
  // 11
  step = 11;
  {
    const auto v = parseSettingInt(form.corrtime);
    if (!v) return fail("Nesprávna hodnota v Čase na opravu", "corrtime");
    settings.corrtime = *v;
    file.set(kCalc, "corrtime", std::to_string(*v));
    if (!endStep()) return ioFail();
  }
  // 12, 13
  step = 12;
  if (!time("startPD", form.startPD, settings.startPD))
    return fail("Nesprávna hodnota v Zaciatku prac.doby,použite napr: 06:30", "");
  if (!endStep()) return ioFail();
  step = 13;
  if (!time("stopPD", form.stopPD, settings.stopPD))
    return fail("Nesprávna hodnota v Konci prac.doby,použite napr: 18:30", "");
  if (!endStep()) return ioFail();
  // 14
  step = 14;
  {
    const auto v = parseSettingInt(form.obedcas);
    if (!v) {
      settings.obedcas = 30;
      return fail("Nesprávna hodnota v case na obed,uvadzajte minuty", "obedcas");
    }
    settings.obedcas = *v;
    file.set(kCalc, "obedcas", std::to_string(*v));
    if (!endStep()) return ioFail();
  }
  // 15
  step = 15;
  flag(kCalc, "obedodpocet", form.obedodpocet, settings.obedodpocet);
  flag(kCalc, "weekendflag", form.weekendflag, settings.weekendflag);
  flag(kCalc, "startSLflag", form.startSLflag, settings.startSLflag);
  flag(kCalc, "stopSLflag", form.stopSLflag, settings.stopSLflag);
  if (!endStep()) return ioFail();
  // 16, 17
  step = 16;
  if (!time("startSL", form.startSL, settings.startSL))
    return fail("Nesprávna hodnota v sluzobnom prichode", "startSL");
  if (!endStep()) return ioFail();
  step = 17;
  if (!time("stopSL", form.stopSL, settings.stopSL)) return fail("Nesprávna hodnota v sluzobnom odchode", "stopSL");
  if (!endStep()) return ioFail();
  // 18
  step = 18;
  flag(kCalc, "startLEKflag", form.startLEKflag, settings.startLEKflag);
  flag(kCalc, "stopLEKflag", form.stopLEKflag, settings.stopLEKflag);
  if (!endStep()) return ioFail();
  // 19, 20: both doctor times are checked before either is stored.
  step = 19;
  const auto startLEK = ParseClockTime(form.startLEK);
  if (!startLEK) return fail("Nesprávna hodnota v hodnote LEKAR prichod", "startLEK");
  step = 20;
  const auto stopLEK = ParseClockTime(form.stopLEK);
  if (!stopLEK) return fail("Nesprávna hodnota v hodnote LEKAR odchod", "stopLEK");
  step = 19;
  settings.startLEK = *startLEK;
  file.set(kCalc, "startLEK", FormatSettingsTime(*startLEK));
  step = 20;
  settings.stopLEK = *stopLEK;
  file.set(kCalc, "stopLEK", FormatSettingsTime(*stopLEK));
  if (!endStep()) return ioFail();
  // 21: MINIMALIZE takes effect at the next start only.
  step = 21;
  flag(kGlobal, "AUTODNL", form.AUTODNL, settings.AUTODNL);
  file.set(kGlobal, "MINIMALIZE", flagText(form.MINIMALIZE));
  if (!endStep()) return ioFail();
  // 22
  step = 22;
  settings.CHGINOUT = form.CHGINOUT;
  if (!WriteProfileInt(dir.iniFile(), kGlobal, "CHGINOUT", form.CHGINOUT)) {
    ioError = DisplayPath(dir.iniFile());
    return ioFail();
  }
  return result;
}

bool SavePortSettings(const ProgramDirectory& dir, ProgramSettings& settings, int comPort, int type,
                      const std::optional<std::string>& portName) {
  const int rate = RateForType(type, settings.Rate);
  bool ok = WriteProfileInt(dir.iniFile(), kGlobal, "ComPort", comPort);
  ok = ok && WriteProfileInt(dir.iniFile(), kGlobal, "type", type);
  ok = ok && WriteProfileInt(dir.iniFile(), kGlobal, "Rate", rate);
  if (portName) ok = ok && WriteProfileString(dir.iniFile(), kGlobal, "PortName", *portName);
  if (ok) {
    settings.ComPort = comPort;
    settings.type = type;
    settings.Rate = rate;
    if (portName) settings.PortName = *portName;
  }
  return ok;
}

}  // namespace core
