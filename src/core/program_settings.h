#pragma once
// The company rules and program options of "vortane.ini", named by their keys.

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/path_text.h"
#include "core/time_values.h"

namespace core {

class MessageCatalogue;
class Operator;

struct PartnerInfo {
  std::string NAME = "NONAME";     // cut to 32
  std::string LOCATION = "-----";  // 128
  std::string TEL = "-----";       // 32
  std::string FAX = "-----";       // 32
  std::string EMAIL = "-----";     // 128
  std::string WWW = "-----";       // 128
};

struct ProgramSettings {
  // GLOBAL
  int ComPort = 2;
  int Rate = 19200;  // after the connection-type rule
  int type = 0;      // 0 RS232, 1 RS485, 2 USB
  int CHGINOUT = 0;
  bool TESTBAT = false;
  std::string LOGDIR;    // always ends with a separator
  std::filesystem::path logDir() const { return PathFromUtf8(LOGDIR); }
  std::string PortName;  // optional device name that overrides ComPort
  bool AUTODNL = false;
  bool MINIMALIZE = false;

  // CALC
  bool okrpr = false;
  bool okrod = false;
  bool okrsm = false;
  int ZAOKRPROD = 0;  // the rounding step in minutes (the file stores an index 0..5)
  TimeOfDay startDS = TimeOfDay::fromHm(6, 0);
  TimeOfDay stopDS = TimeOfDay::fromHm(14, 0);
  TimeOfDay startPS = TimeOfDay::fromHm(14, 0);
  TimeOfDay stopPS = TimeOfDay::fromHm(22, 0);
  TimeOfDay startNS = TimeOfDay::fromHm(22, 0);
  TimeOfDay stopNS = TimeOfDay::fromHm(6, 0);
  bool USEDS = true;
  bool USEPS = true;
  bool USENS = true;
  TimeOfDay normaPD = TimeOfDay::fromHm(8, 30);
  int normaPDminutes = 510;
  bool autoSL = true;
  bool autodov = true;
  bool autoPN = true;
  bool autoprek = true;
  bool dovflag = false;
  bool dovprflag = false;
  bool dovodflag = false;
  TimeOfDay dovPR = TimeOfDay::fromHm(8, 0);
  TimeOfDay dovOD = TimeOfDay::fromHm(16, 30);
  bool maxPDflag = true;
  TimeOfDay maxPD = TimeOfDay::fromHm(16, 0);
  bool startPDflag = false;
  TimeOfDay startPD = TimeOfDay::fromHm(6, 0);
  bool stopPDflag = false;
  TimeOfDay stopPD = TimeOfDay::fromHm(18, 0);
  bool obedyflag = false;
  int obedcas = 30;
  bool obedodpocet = true;
  bool weekendflag = true;
  bool nightflag = false;
  bool startSLflag = true;
  bool stopSLflag = true;
  TimeOfDay startSL = TimeOfDay::fromHm(8, 0);
  TimeOfDay stopSL = TimeOfDay::fromHm(16, 30);
  int SetPrestCond = 360;
  bool startLEKflag = true;
  bool stopLEKflag = true;
  TimeOfDay startLEK = TimeOfDay::fromHm(8, 0);
  TimeOfDay stopLEK = TimeOfDay::fromHm(15, 0);
  int corrtime = 5;

  PartnerInfo partner;
};

// A folder name with exactly one trailing separator: a trailing backslash (as
// settings written on Windows have it) becomes "/", and "/" is appended when
// there is none; on Windows every "/" becomes "\" and "\" ends the name.
// Empty stays empty.
std::string NormaliseDirectory(std::string_view path);

// ZAOKRPROD index 0..5 -> 0, 5, 10, 15, 30, 60 minutes; other values are kept.
int RoundingStepFromIndex(int index);
// The inverse for the dialog: -1 when the step has no index.
int RoundingIndexFromStep(int step);
// 0 -> 19200, 1 -> 9600, 2 -> 19200, other types keep `storedRate`.
int RateForType(int type, int storedRate);

// Where the program's files are.
struct ProgramDirectory {
  std::filesystem::path dir;  // ends with a separator
  std::filesystem::path iniFile() const { return dir / "vortane.ini"; }
  std::filesystem::path employeeFile() const { return dir / "prac.txt"; }
  std::filesystem::path holidayFile() const { return dir / "sviatky.txt"; }
  std::filesystem::path tipsFile() const { return dir / "vortane.tip"; }
  std::filesystem::path presenceFile() const { return dir / "stav.bin"; }
};

// The program directory from the command line: the first argument when it
// names an existing directory, otherwise the executable's folder. When the
// argument names a directory without vortane.ini, `fatalMessage` gets
// "Neexistuje subor: <vortane.ini>" and the program must stop.
struct ProgramDirectoryChoice {
  ProgramDirectory directory;
  std::optional<std::string> fatalMessage;
};
ProgramDirectoryChoice ChooseProgramDirectory(const std::vector<std::string>& args,
                                              const std::filesystem::path& executableDir,
                                              const MessageCatalogue& messages);

// Loads every key with its default, in the documented order. A missing LOGDIR
// directory shows "Adresár  <dir>\r pre zaznamy neexistuje" and loading goes on.
// LOGDIR defaults to the program directory + "Log/"; a relative LOGDIR is
// taken relative to the program directory. The optional text key PortName
// (GLOBAL) names a serial device directly.
ProgramSettings LoadSettings(const ProgramDirectory& dir, const MessageCatalogue& messages, Operator& op);

// What the settings dialog shows and edits, as typed.
struct SettingsForm {
  std::string LOGDIR;
  bool logdirChanged = false;
  std::string normaPD;
  bool USEDS = true, USEPS = true, USENS = true;
  std::array<std::string, 6> shiftTimes;  // startDS, stopDS, startPS, stopPS, startNS, stopNS
  bool autoSL = true, autodov = true, autoPN = true, autoprek = true;
  bool okrpr = false, okrod = false, okrsm = false;
  bool dovflag = false, dovprflag = false, dovodflag = false;
  std::string dovPR, dovOD;
  bool maxPDflag = true;
  std::string maxPD;
  bool nightflag = false, startPDflag = false, stopPDflag = false;
  int ZAOKRPRODindex = 0;
  bool obedyflag = false;
  std::string corrtime;
  std::string startPD, stopPD;
  std::string obedcas;
  bool obedodpocet = true, weekendflag = true, startSLflag = true, stopSLflag = true;
  std::string startSL, stopSL;
  bool startLEKflag = true, stopLEKflag = true;
  std::string startLEK, stopLEK;
  bool AUTODNL = false, MINIMALIZE = false;
  int CHGINOUT = 0;
};

// The form filled from the file as the dialog shows it; also puts the listed
// values from the file into `settings`, as showing the dialog does.
SettingsForm ReadSettingsForm(const ProgramDirectory& dir, ProgramSettings& settings);

struct SaveResult {
  bool ok = true;
  int failedStep = 0;    // 1..22 when !ok
  std::string message;   // the message to show
  std::string focusKey;  // key of the edit that gets the focus, empty when none
};

// The dialog's OK action: takes the values step by step, writing each to the
// file and into `settings` at once; stops at the first invalid value. The
// values of the steps before it stay stored; a bad obedcas sets 30 in memory;
// startLEK and stopLEK are both checked before either is stored; MINIMALIZE
// goes to the file only. Focus keys: LOGDIR, normaPD, dovPR, dovOD, maxPD,
// corrtime, obedcas, startSL, stopSL, startLEK, stopLEK (empty for the
// shift times, startPD and stopPD). A file that cannot be read or written
// also stops the sequence, with a message naming vortane.ini.
SaveResult SaveSettings(const SettingsForm& form, const ProgramDirectory& dir, ProgramSettings& settings);

// What the main window stores after the settings dialog changed the port or
// the terminal type: ComPort, type, and Rate by RateForType (19200, 9600,
// 19200 for type 0, 1, 2); PortName too when given. `settings` follows the
// file only when every write succeeded.
bool SavePortSettings(const ProgramDirectory& dir, ProgramSettings& settings, int comPort, int type,
                      const std::optional<std::string>& portName = std::nullopt);

}  // namespace core
