#include <gtest/gtest.h>

#include "core/ini_file.h"
#include "core/messages.h"
#include "core/program_settings.h"
#include "support/test_support.h"

using namespace core;
using testing_support::ReadBytes;
using testing_support::ReadCp1250;
using testing_support::ScriptedOperator;
using testing_support::TempDir;
using testing_support::WriteBytes;
using testing_support::WriteCp1250;

namespace {

struct Installation {
  TempDir temp;
  ProgramDirectory dir;
  MessageCatalogue messages;
  ScriptedOperator op;
  Installation() {
    dir.dir = PathFromUtf8(NormaliseDirectory(Utf8FromPath(temp.path())));
    std::filesystem::create_directory(temp / "Log");
  }
  ProgramSettings load(const std::string& ini) {
    WriteCp1250(dir.iniFile(), ini);
    return LoadSettings(dir, messages, op);
  }
};

}  // namespace

TEST(ProgramSettings, EmptyFileLoadsTheDefaults) {
  Installation inst;
  for (const char* content : {"", "[GLOBAL]\r\n[CALC]\r\n[PARTNER]\r\n"}) {
    const ProgramSettings s = inst.load(content);
    ProgramSettings expected;
    expected.LOGDIR = testing_support::FolderText(inst.dir.dir / "Log");
    EXPECT_EQ(s.LOGDIR, expected.LOGDIR);
    EXPECT_EQ(s.Rate, 19200);
    EXPECT_EQ(s.ZAOKRPROD, 0);
    EXPECT_EQ(s.ComPort, 2);
    EXPECT_EQ(s.normaPD, TimeOfDay::fromHm(8, 30));
    EXPECT_EQ(s.normaPDminutes, 510);
    EXPECT_EQ(s.stopNS, TimeOfDay::fromHm(6, 0));
    EXPECT_EQ(s.dovOD, TimeOfDay::fromHm(16, 30));
    EXPECT_EQ(s.stopLEK, TimeOfDay::fromHm(15, 0));
    EXPECT_EQ(s.SetPrestCond, 360);
    EXPECT_EQ(s.corrtime, 5);
    EXPECT_EQ(s.obedcas, 30);
    EXPECT_TRUE(s.USEDS && s.USEPS && s.USENS && s.autoSL && s.autodov && s.autoPN && s.autoprek);
    EXPECT_TRUE(s.maxPDflag && s.obedodpocet && s.weekendflag && s.startSLflag && s.stopSLflag);
    EXPECT_TRUE(s.startLEKflag && s.stopLEKflag);
    EXPECT_FALSE(s.okrpr || s.okrod || s.okrsm || s.dovflag || s.dovprflag || s.dovodflag || s.startPDflag);
    EXPECT_FALSE(s.stopPDflag || s.obedyflag || s.nightflag || s.AUTODNL || s.MINIMALIZE || s.TESTBAT);
    EXPECT_EQ(s.partner.NAME, "NONAME");
    EXPECT_EQ(s.partner.WWW, "-----");
    EXPECT_EQ(s.PortName, "");
    EXPECT_TRUE(inst.op.messages.empty());
  }
}

TEST(ProgramSettings, DerivedValues) {
  struct Case {
    std::string ini;
    int rate;
    int step;
    int normaMinutes;
  };
  const Case cases[] = {
      {"[GLOBAL]\r\ntype=1\r\nRate=19200\r\n", 9600, 0, 510}, {"[GLOBAL]\r\ntype=2\r\nRate=9600\r\n", 19200, 0, 510},
      {"[GLOBAL]\r\ntype=0\r\nRate=4800\r\n", 19200, 0, 510}, {"[GLOBAL]\r\ntype=7\r\nRate=4800\r\n", 4800, 0, 510},
      {"[CALC]\r\nZAOKRPROD=4\r\n", 19200, 30, 510},          {"[CALC]\r\nZAOKRPROD=5\r\n", 19200, 60, 510},
      {"[CALC]\r\nZAOKRPROD=1\r\n", 19200, 5, 510},           {"[CALC]\r\nZAOKRPROD=7\r\n", 19200, 7, 510},
      {"[CALC]\r\nZAOKRPROD=abc\r\n", 19200, 0, 510},         {"[CALC]\r\nnormaPD=7:30:00\r\n", 19200, 0, 450},
      {"[CALC]\r\nnormaPD=25:00\r\n", 19200, 0, 510},         {"[CALC]\r\nnormaPD=\r\n", 19200, 0, 510},
  };
  for (const Case& c : cases) {
    Installation inst;
    const auto s = inst.load(c.ini);
    EXPECT_EQ(s.Rate, c.rate) << c.ini;
    EXPECT_EQ(s.ZAOKRPROD, c.step) << c.ini;
    EXPECT_EQ(s.normaPDminutes, c.normaMinutes) << c.ini;
  }
}

TEST(ProgramSettings, KeysWithoutCasePartnerCutAndPortName) {
  Installation inst;
  const auto s = inst.load(
      "[calc]\r\nDOVPRFLAG=1\r\nDovOdFlag=1\r\ncorrtime=0x0A\r\nobedcas=xx\r\nautoPN=0\r\n"
      "[PARTNER]\r\nNAME=" +
      std::string(40, 'N') + "\r\nLOCATION=Žilina\r\nTEL=" + std::string(33, '1') +
      "\r\n[global]\r\nportname= /dev/pts/7 \r\nTESTBAT=5\r\n");
  EXPECT_TRUE(s.dovprflag);
  EXPECT_TRUE(s.dovodflag);
  EXPECT_FALSE(s.autoPN);
  EXPECT_EQ(s.corrtime, 10);
  EXPECT_EQ(s.obedcas, 30);
  EXPECT_EQ(s.partner.NAME, std::string(32, 'N'));
  EXPECT_EQ(s.partner.LOCATION, "Žilina");
  EXPECT_EQ(s.partner.TEL, std::string(32, '1'));
  EXPECT_EQ(s.PortName, "/dev/pts/7");
  EXPECT_TRUE(s.TESTBAT);
}

TEST(ProgramSettings, LogDirNormalisedAndMissingReported) {
  Installation inst;
  std::filesystem::create_directory(inst.temp / "Zaznamy");
  struct Case {
    std::string value;
    std::string expected;
    bool exists;
  };
  const std::string zaznamy = testing_support::FolderText(inst.dir.dir / "Zaznamy");
  const Case cases[] = {
      {Utf8FromPath(inst.temp / "Zaznamy"), zaznamy, true},
      {Utf8FromPath(inst.temp / "Zaznamy") + "/", zaznamy, true},
      {Utf8FromPath(inst.temp / "Zaznamy") + "\\", zaznamy, true},
      {"Zaznamy", zaznamy, true},  // relative to the program directory
      {"Chyba", testing_support::FolderText(inst.dir.dir / "Chyba"), false},
  };
  for (const Case& c : cases) {
    inst.op.messages.clear();
    const auto s = inst.load("[GLOBAL]\r\nLOGDIR=" + c.value + "\r\n");
    EXPECT_EQ(s.LOGDIR, c.expected) << c.value;
    if (c.exists) {
      EXPECT_TRUE(inst.op.messages.empty()) << c.value;
    } else {
      ASSERT_EQ(inst.op.messages.size(), 1u);
      EXPECT_EQ(inst.op.messages[0], "Adresár  " + c.expected + "\r pre zaznamy neexistuje");
    }
  }
}

TEST(ProgramSettings, ChooseProgramDirectory) {
  TempDir temp;
  const MessageCatalogue m;
  std::filesystem::create_directory(temp / "with");
  std::filesystem::create_directory(temp / "without");
  WriteBytes(temp / "with" / "vortane.ini", "");
  const auto exe = temp / "bin";

  auto c = ChooseProgramDirectory({Utf8FromPath(temp / "with")}, exe, m);
  EXPECT_FALSE(c.fatalMessage);
  EXPECT_EQ(Utf8FromPath(c.directory.dir), testing_support::FolderText(temp / "with"));
  EXPECT_EQ(c.directory.iniFile(), temp / "with" / "vortane.ini");

  c = ChooseProgramDirectory({Utf8FromPath(temp / "without") + "/"}, exe, m);
  ASSERT_TRUE(c.fatalMessage);
  EXPECT_EQ(*c.fatalMessage, "Neexistuje subor: <vortane.ini>");

  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, std::vector<std::string>{Utf8FromPath(temp / "nothing")}}) {
    c = ChooseProgramDirectory(args, exe, m);
    EXPECT_FALSE(c.fatalMessage);
    EXPECT_EQ(Utf8FromPath(c.directory.dir), testing_support::FolderText(exe));
  }
}

TEST(ProgramSettings, ClockTimeValidity) {
  struct Case {
    const char* text;
    bool valid;
  };
  for (const Case& c :
       {Case{"08:00", true}, Case{"8:00", true}, Case{"8:00:00", true}, Case{" 8 : 05 ", true}, Case{"23:59:59", true},
        Case{"0", true}, Case{"", false}, Case{"25:00", false}, Case{"08:60", false}, Case{"8.30", false},
        Case{"8:00:60", false}, Case{"8:00:00:00", false}, Case{"-1:00", false}}) {
    EXPECT_EQ(ParseClockTime(c.text).has_value(), c.valid) << c.text;
  }
}

namespace {
SettingsForm validForm(const ProgramDirectory& dir) {
  ProgramSettings scratch;
  return ReadSettingsForm(dir, scratch);
}
}  // namespace

TEST(SaveSettings, EverythingValidIsStoredAndLoadsBack) {
  Installation inst;
  WriteCp1250(inst.dir.iniFile(), "; nastavenia\r\n[REQPTR]\r\n1234=77\r\n[PARTNER]\r\nNAME=Dodávateľ\r\n");
  SettingsForm f = validForm(inst.dir);
  f.normaPD = "7:45";
  f.shiftTimes = {"5:00", "13:00", "13:00", "21:00", "21:00", "5:00"};
  f.USEPS = false;
  f.dovprflag = true;
  f.dovPR = "07:30";
  f.maxPD = "12:00";
  f.ZAOKRPRODindex = 3;
  f.corrtime = "10";
  f.obedcas = "45";
  f.startLEK = "7:00";
  f.stopLEK = "14:30";
  f.AUTODNL = true;
  f.MINIMALIZE = true;
  f.CHGINOUT = 1;
  ProgramSettings s;
  const auto r = SaveSettings(f, inst.dir, s);
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(s.normaPDminutes, 465);
  EXPECT_EQ(s.ZAOKRPROD, 15);
  EXPECT_FALSE(s.MINIMALIZE);  // next start only
  EXPECT_TRUE(s.AUTODNL);

  const auto loaded = LoadSettings(inst.dir, inst.messages, inst.op);
  EXPECT_EQ(loaded.normaPDminutes, 465);
  EXPECT_EQ(loaded.startDS, TimeOfDay::fromHm(5, 0));
  EXPECT_FALSE(loaded.USEPS);
  EXPECT_TRUE(loaded.dovprflag);
  EXPECT_EQ(loaded.dovPR, TimeOfDay::fromHm(7, 30));
  EXPECT_EQ(loaded.ZAOKRPROD, 15);
  EXPECT_EQ(loaded.corrtime, 10);
  EXPECT_EQ(loaded.obedcas, 45);
  EXPECT_EQ(loaded.stopLEK, TimeOfDay::fromHm(14, 30));
  EXPECT_TRUE(loaded.MINIMALIZE);
  EXPECT_EQ(loaded.CHGINOUT, 1);
  EXPECT_EQ(loaded.partner.NAME, "Dodávateľ");
  // The rest of the file is kept.
  EXPECT_EQ(ReadProfileIntOrMissing(inst.dir.iniFile(), "REQPTR", "1234"), 77);
  EXPECT_EQ(ReadCp1250(inst.dir.iniFile()).rfind("; nastavenia\r\n", 0), 0u);
}

TEST(SaveSettings, FirstFailureStopsWithItsMessageStepAndFocus) {
  struct Case {
    void (*spoil)(SettingsForm&);
    int step;
    const char* message;
    const char* focus;
  };
  const Case cases[] = {
      {[](SettingsForm& f) {
         f.logdirChanged = true;
         f.LOGDIR = "/nonexistent/log";
       },
       1, "Adresar LOGDIR neexistuje", "LOGDIR"},
      {[](SettingsForm& f) { f.normaPD = "8.30"; }, 2, "Nesprávna hodnota v stanoveni denneho prac.casu", "normaPD"},
      {[](SettingsForm& f) { f.shiftTimes[3] = "24:00"; }, 4,
       "Nespravny hodnota času v urcení smeny\rPoužite napr: 08:00", ""},
      {[](SettingsForm& f) { f.dovPR = ""; }, 6, "Nesprávna hodnota v case dovolenka Prichod", "dovPR"},
      {[](SettingsForm& f) { f.dovOD = "x"; }, 7, "Nesprávna hodnota v case dovolenka Odchod", "dovOD"},
      {[](SettingsForm& f) { f.maxPD = "16:61"; }, 9, "Nesprávna hodnota v maximalnej prac.dobe", "maxPD"},
      {[](SettingsForm& f) { f.corrtime = "5m"; }, 11, "Nesprávna hodnota v Čase na opravu", "corrtime"},
      {[](SettingsForm& f) { f.startPD = "6,30"; }, 12, "Nesprávna hodnota v Zaciatku prac.doby,použite napr: 06:30",
       ""},
      {[](SettingsForm& f) { f.stopPD = ""; }, 13, "Nesprávna hodnota v Konci prac.doby,použite napr: 18:30", ""},
      {[](SettingsForm& f) { f.obedcas = ""; }, 14, "Nesprávna hodnota v case na obed,uvadzajte minuty", "obedcas"},
      {[](SettingsForm& f) { f.startSL = "8:00:99"; }, 16, "Nesprávna hodnota v sluzobnom prichode", "startSL"},
      {[](SettingsForm& f) { f.stopSL = "99"; }, 17, "Nesprávna hodnota v sluzobnom odchode", "stopSL"},
      {[](SettingsForm& f) { f.startLEK = "a"; }, 19, "Nesprávna hodnota v hodnote LEKAR prichod", "startLEK"},
      {[](SettingsForm& f) { f.stopLEK = "b"; }, 20, "Nesprávna hodnota v hodnote LEKAR odchod", "stopLEK"},
  };
  for (const Case& c : cases) {
    Installation inst;
    SettingsForm f = validForm(inst.dir);
    c.spoil(f);
    ProgramSettings s;
    const auto r = SaveSettings(f, inst.dir, s);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.failedStep, c.step);
    EXPECT_EQ(r.message, c.message);
    EXPECT_EQ(r.focusKey, c.focus);
  }
}

TEST(SaveSettings, BadMaxPDKeepsEarlierValuesInTheFile) {
  Installation inst;
  WriteCp1250(inst.dir.iniFile(), "[CALC]\r\nmaxPD=10:00:00\r\nobedcas=20\r\n");
  SettingsForm f = validForm(inst.dir);
  f.normaPD = "7:30";
  f.shiftTimes[0] = "5:30";
  f.dovPR = "7:15";
  f.dovOD = "15:45";
  f.maxPD = "25:00";
  f.obedcas = "40";
  ProgramSettings s;
  const auto r = SaveSettings(f, inst.dir, s);
  ASSERT_FALSE(r.ok);
  const IniFile ini = IniFile::load(inst.dir.iniFile());
  EXPECT_EQ(ini.readTime("CALC", "normaPD", {}), TimeOfDay::fromHm(7, 30));
  EXPECT_EQ(ini.readTime("CALC", "startDS", {}), TimeOfDay::fromHm(5, 30));
  EXPECT_EQ(ini.readTime("CALC", "dovPR", {}), TimeOfDay::fromHm(7, 15));
  EXPECT_EQ(ini.readTime("CALC", "dovOD", {}), TimeOfDay::fromHm(15, 45));
  EXPECT_EQ(ini.readTime("CALC", "maxPD", {}), TimeOfDay::fromHm(10, 0));
  EXPECT_EQ(ini.readInt("CALC", "obedcas", 0), 20);
  EXPECT_EQ(s.normaPDminutes, 450);
  EXPECT_EQ(s.maxPD, ProgramSettings{}.maxPD);
}

TEST(SaveSettings, BadShiftTimeKeepsTheShiftTimesBeforeIt) {
  Installation inst;
  SettingsForm f = validForm(inst.dir);
  f.shiftTimes = {"5:00", "13:00", "bad", "21:00", "21:00", "5:00"};
  ProgramSettings s;
  ASSERT_FALSE(SaveSettings(f, inst.dir, s).ok);
  const IniFile ini = IniFile::load(inst.dir.iniFile());
  EXPECT_EQ(ini.value("CALC", "stopDS"), "13:00:00");
  EXPECT_FALSE(ini.value("CALC", "startPS"));
  EXPECT_EQ(s.stopDS, TimeOfDay::fromHm(13, 0));
  EXPECT_EQ(s.startPS, TimeOfDay::fromHm(14, 0));
}

TEST(SaveSettings, BadObedcasSets30InMemoryOnly) {
  Installation inst;
  WriteCp1250(inst.dir.iniFile(), "[CALC]\r\nobedcas=20\r\n");
  SettingsForm f = validForm(inst.dir);
  f.obedcas = "3O";
  ProgramSettings s;
  s.obedcas = 20;
  ASSERT_FALSE(SaveSettings(f, inst.dir, s).ok);
  EXPECT_EQ(s.obedcas, 30);
  EXPECT_EQ(IniFile::load(inst.dir.iniFile()).readInt("CALC", "obedcas", 0), 20);
}

TEST(SaveSettings, DoctorTimesAreCheckedTogether) {
  Installation inst;
  SettingsForm f = validForm(inst.dir);
  f.startLEK = "7:00";
  f.stopLEK = "nope";
  ProgramSettings s;
  const auto r = SaveSettings(f, inst.dir, s);
  ASSERT_FALSE(r.ok);
  EXPECT_EQ(r.failedStep, 20);
  EXPECT_FALSE(IniFile::load(inst.dir.iniFile()).value("CALC", "startLEK"));
  EXPECT_EQ(s.startLEK, ProgramSettings{}.startLEK);
}

TEST(SaveSettings, LogDirOnlyWhenChanged) {
  Installation inst;
  std::filesystem::create_directory(inst.temp / "Nove");
  SettingsForm f = validForm(inst.dir);
  f.LOGDIR = "/nonexistent";  // not marked as changed: not checked, not stored
  ProgramSettings s;
  ASSERT_TRUE(SaveSettings(f, inst.dir, s).ok);
  EXPECT_FALSE(IniFile::load(inst.dir.iniFile()).value("GLOBAL", "LOGDIR"));
  f.LOGDIR = Utf8FromPath(inst.temp / "Nove");
  f.logdirChanged = true;
  ASSERT_TRUE(SaveSettings(f, inst.dir, s).ok);
  EXPECT_EQ(s.LOGDIR, testing_support::FolderText(inst.dir.dir / "Nove"));
  EXPECT_EQ(IniFile::load(inst.dir.iniFile()).value("GLOBAL", "LOGDIR"), Utf8FromPath(inst.temp / "Nove"));
}

TEST(SaveSettings, ReadSettingsFormPutsFileValuesIntoMemory) {
  Installation inst;
  WriteCp1250(inst.dir.iniFile(), "[CALC]\r\nnormaPD=7:00:00\r\ncorrtime=9\r\nZAOKRPROD=2\r\nUSEDS=0\r\n");
  ProgramSettings s;
  const SettingsForm f = ReadSettingsForm(inst.dir, s);
  EXPECT_EQ(f.normaPD, "07:00");
  EXPECT_EQ(f.corrtime, "9");
  EXPECT_EQ(f.ZAOKRPRODindex, 2);
  EXPECT_FALSE(f.USEDS);
  EXPECT_EQ(s.normaPD, TimeOfDay::fromHm(7, 0));
  EXPECT_EQ(s.normaPDminutes, 420);
  EXPECT_EQ(s.corrtime, 9);
  EXPECT_EQ(s.ZAOKRPROD, 10);
  EXPECT_TRUE(s.USEDS);  // only shown, not taken
}

TEST(SaveSettings, PortSettings) {
  Installation inst;
  ProgramSettings s;
  s.Rate = 4800;
  ASSERT_TRUE(SavePortSettings(inst.dir, s, 3, 1));
  EXPECT_EQ(s.Rate, 9600);
  ASSERT_TRUE(SavePortSettings(inst.dir, s, 4, 7, std::string("/dev/ttyUSB0")));
  EXPECT_EQ(s.Rate, 9600);  // unknown type keeps the rate
  const auto loaded = LoadSettings(inst.dir, inst.messages, inst.op);
  EXPECT_EQ(loaded.ComPort, 4);
  EXPECT_EQ(loaded.type, 7);
  EXPECT_EQ(loaded.Rate, 9600);
  EXPECT_EQ(loaded.PortName, "/dev/ttyUSB0");
}

TEST(ProgramSettings, RoundTripOfTheFileKeepsEveryByte) {
  Installation inst;
  const std::string ini =
      "[GLOBAL]\r\nComPort=3\r\nRate=9600\r\ntype=1\r\nCHGINOUT=0\r\nLOGDIR=" + Utf8FromPath(inst.dir.dir) +
      "Log/\r\nAUTODNL=1\r\nMINIMALIZE=0\r\n"
      "[CALC]\r\nnormaPD=7:30:00\r\nUSEDS=1\r\nUSEPS=0\r\nUSENS=1\r\nstartDS=6:00:00\r\nstopDS=14:00:00\r\n"
      "startPS=14:00:00\r\nstopPS=22:00:00\r\nstartNS=22:00:00\r\nstopNS=6:00:00\r\nautoSL=1\r\nautodov=1\r\n"
      "autoPN=1\r\nautoprek=0\r\nokrpr=1\r\nokrod=0\r\nokrsm=0\r\ndovflag=0\r\ndovPRflag=1\r\ndovODflag=0\r\n"
      "dovPR=7:30:00\r\ndovOD=15:30:00\r\nmaxPDflag=1\r\nmaxPD=12:00:00\r\nnightflag=0\r\nstartPDflag=0\r\n"
      "stopPDflag=0\r\nZAOKRPROD=2\r\nobedyflag=0\r\ncorrtime=5\r\nstartPD=6:00:00\r\nstopPD=18:00:00\r\n"
      "obedcas=30\r\nobedodpocet=1\r\nweekendflag=1\r\nstartSLflag=1\r\nstopSLflag=1\r\nstartSL=7:30:00\r\n"
      "stopSL=15:30:00\r\nstartLEKflag=1\r\nstopLEKflag=1\r\nstartLEK=7:30:00\r\nstopLEK=15:00:00\r\n"
      "[PARTNER]\r\nNAME=Ďuriš, s.r.o.\r\n[REQPTR]\r\n12345=120\r\n";
  WriteCp1250(inst.dir.iniFile(), ini);
  const std::string before = ReadBytes(inst.dir.iniFile());
  ProgramSettings s = LoadSettings(inst.dir, inst.messages, inst.op);
  SettingsForm f = ReadSettingsForm(inst.dir, s);
  const auto r = SaveSettings(f, inst.dir, s);
  ASSERT_TRUE(r.ok) << r.message;
  ASSERT_TRUE(SavePortSettings(inst.dir, s, s.ComPort, s.type));
  EXPECT_EQ(ReadBytes(inst.dir.iniFile()), before);
}

TEST(SaveSettings, UnreadableFileStopsBeforeWritingAnything) {
  Installation inst;
  // A folder where the file should be: it can be neither read nor replaced.
  std::filesystem::create_directory(inst.dir.iniFile());
  SettingsForm f = validForm(inst.dir);
  ProgramSettings s;
  s.normaPDminutes = 1;
  f.normaPD = "7:00";
  const auto r = SaveSettings(f, inst.dir, s);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.failedStep, 1);
  EXPECT_NE(r.message.find("vortane.ini"), std::string::npos);
  EXPECT_EQ(s.normaPDminutes, 1);
  EXPECT_TRUE(std::filesystem::is_directory(inst.dir.iniFile()));
}
