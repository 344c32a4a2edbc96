#include <gtest/gtest.h>

#include <string>

#include "core/ini_file.h"
#include "core/text_codec.h"
#include "support/test_support.h"

using namespace core;
using testing_support::ReadBytes;
using testing_support::TempDir;
using testing_support::WriteBytes;
using testing_support::WriteCp1250;

namespace {

const std::string kIni =
    "; settings of the installation\r\n"
    "[GLOBAL]\r\n"
    "ComPort=3\r\n"
    "  LOGDIR = C:\\Dochádzka\\Log\\  \r\n"
    "\r\n"
    "[CALC]\r\n"
    "dovPRflag=1\r\n"
    "normaPD=7:30:00\r\n"
    "corrtime=0x1F\r\n"
    "bad=12abc\r\n"
    "empty=\r\n"
    "dup=first\r\n"
    "dup=second\r\n"
    "\r\n"
    "[PARTNER]\r\n"
    "Meno=Ľubomír Šťastný, Žilina\r\n"
    "[calc]\r\n"
    "late=in a repeated section\r\n";

TEST(IniFile, ReadsWithPrivateProfileRules) {
  const IniFile ini = IniFile::fromBytes(Utf8ToCp1250(kIni));
  struct Case {
    const char* section;
    const char* key;
    const char* expected;  // nullptr: no value
  };
  const Case cases[] = {
      {"GLOBAL", "ComPort", "3"},
      {"global", "COMPORT", "3"},
      {"GLOBAL", "LOGDIR", "C:\\Dochádzka\\Log\\"},
      {"CALC", "DOVPRFLAG", "1"},
      {" Calc ", "dovprflag", "1"},
      {"CALC", "dup", "first"},
      {"CALC", "empty", ""},
      {"CALC", "late", nullptr},  // a repeated section is not merged
      {"CALC", "missing", nullptr},
      {"PARTNER", "meno", "Ľubomír Šťastný, Žilina"},
      {"NONE", "ComPort", nullptr},
      {"GLOBAL", "; settings of the installation", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.section) + "/" + c.key);
    const auto v = ini.value(c.section, c.key);
    if (c.expected) {
      ASSERT_TRUE(v.has_value());
      EXPECT_EQ(*v, c.expected);
    } else {
      EXPECT_FALSE(v.has_value());
    }
  }
  EXPECT_TRUE(ini.hasSection("partner"));
  EXPECT_FALSE(ini.hasSection("REQPTR"));
  EXPECT_EQ(ini.readString("CALC", "missing", "def"), "def");
}

TEST(IniFile, TypedReads) {
  const IniFile ini = IniFile::fromBytes(kIni);
  EXPECT_EQ(ini.readInt("GLOBAL", "ComPort", 2), 3);
  EXPECT_EQ(ini.readInt("CALC", "corrtime", 5), 31);
  EXPECT_EQ(ini.readInt("CALC", "bad", 5), 5);
  EXPECT_EQ(ini.readInt("CALC", "empty", 5), 5);
  EXPECT_EQ(ini.readInt("CALC", "missing", -7), -7);
  EXPECT_TRUE(ini.readFlag("CALC", "dovprflag", false));
  EXPECT_TRUE(ini.readFlag("CALC", "corrtime", false));
  EXPECT_FALSE(ini.readFlag("CALC", "bad", false));
  EXPECT_TRUE(ini.readFlag("CALC", "missing", true));
  const TimeOfDay def = TimeOfDay::fromHm(8, 30);
  EXPECT_EQ(ini.readTime("CALC", "normaPD", def), TimeOfDay::fromHm(7, 30));
  EXPECT_EQ(ini.readTime("CALC", "empty", def), def);
  EXPECT_EQ(ini.readTime("CALC", "bad", def), def);
  EXPECT_EQ(ini.readTime("CALC", "missing", def), def);

  const IniFile flags = IniFile::fromBytes("[A]\nneg=-1\nzero=0\nsp= 4 \nhex=0XfF\ntime=8.30\nt2= 6 : 05 \n");
  EXPECT_TRUE(flags.readFlag("A", "neg", false));
  EXPECT_FALSE(flags.readFlag("A", "zero", true));
  EXPECT_EQ(flags.readInt("A", "sp", 0), 4);
  EXPECT_EQ(flags.readInt("A", "hex", 0), 255);
  EXPECT_EQ(flags.readTime("A", "time", TimeOfDay::fromHm(1, 0)), TimeOfDay::fromHm(1, 0));
  EXPECT_EQ(flags.readTime("A", "t2", TimeOfDay::fromHm(1, 0)), TimeOfDay::fromHm(6, 5));
}

TEST(IniFile, LongValuesAreCutTo2047Characters) {
  const std::string longValue(3000, 'a');
  const std::string slovak(2100, 'x');
  const IniFile ini = IniFile::fromBytes("[S]\nk=" + longValue + "\nz=" + Utf8ToCp1250("ž") + slovak + "\n");
  EXPECT_EQ(ini.readString("S", "k", ""), std::string(2047, 'a'));
  EXPECT_EQ(ini.readString("S", "z", ""), "ž" + std::string(2046, 'x'));
}

TEST(IniFile, LineEndingsAndUntouchedRoundTrip) {
  const std::string bytes = Utf8ToCp1250(kIni);
  EXPECT_EQ(IniFile::fromBytes(bytes).toBytes(), bytes);
  std::string lfOnly;
  for (char c : bytes)
    if (c != '\r') lfOnly += c;
  const IniFile lf = IniFile::fromBytes(lfOnly);
  EXPECT_EQ(lf.readString("PARTNER", "Meno", ""), "Ľubomír Šťastný, Žilina");
  EXPECT_EQ(lf.toBytes(), bytes);  // written back with CR LF
}

TEST(IniFile, SetValueChangesOneLineOnly) {
  struct Case {
    const char* name;
    const char* section;
    const char* key;
    const char* value;
    std::string expected;
  };
  const std::string base = "; c\r\n[A]\r\nx=1\r\nY = 2\r\n\r\n[B]\r\nz=3\r\n";
  const Case cases[] = {
      {"replace keeps file spelling", "a", "y", "20", "; c\r\n[A]\r\nx=1\r\nY=20\r\n\r\n[B]\r\nz=3\r\n"},
      {"new key after last line of section", "A", "w", "9", "; c\r\n[A]\r\nx=1\r\nY = 2\r\nw=9\r\n\r\n[B]\r\nz=3\r\n"},
      {"new key in last section", "B", "q", "", "; c\r\n[A]\r\nx=1\r\nY = 2\r\n\r\n[B]\r\nz=3\r\nq=\r\n"},
      {"new section at the end", "REQPTR", "1234", "17",
       "; c\r\n[A]\r\nx=1\r\nY = 2\r\n\r\n[B]\r\nz=3\r\n\r\n[REQPTR]\r\n1234=17\r\n"},
      {"line breaks in value", "B", "z", "a\r\nb", "; c\r\n[A]\r\nx=1\r\nY = 2\r\n\r\n[B]\r\nz=a b\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    IniFile ini = IniFile::fromBytes(base);
    ini.setValue(c.section, c.key, c.value);
    EXPECT_EQ(ini.toBytes(), c.expected);
  }
  IniFile empty;
  empty.setValue("GLOBAL", "ComPort", "4");
  EXPECT_EQ(empty.toBytes(), "[GLOBAL]\r\nComPort=4\r\n");
}

TEST(IniFile, ProfileWritesKeepEveryOtherByte) {
  TempDir dir;
  const auto file = dir / "vortane.ini";
  const std::string original = Utf8ToCp1250(kIni);
  WriteBytes(file, original);

  ASSERT_TRUE(WriteProfileString(file, "PARTNER", "MENO", "Ján Kováč"));
  ASSERT_TRUE(WriteProfileInt(file, "calc", "corrtime", 10));
  std::string expected = kIni;
  const auto swap = [&](const std::string& from, const std::string& to) {
    expected.replace(expected.find(from), from.size(), to);
  };
  swap("Meno=Ľubomír Šťastný, Žilina", "Meno=Ján Kováč");
  swap("corrtime=0x1F", "corrtime=10");
  EXPECT_EQ(ReadBytes(file), Utf8ToCp1250(expected));
  EXPECT_EQ(ReadProfileString(file, "Partner", "meno", ""), "Ján Kováč");

  // Writing the value that is already there changes nothing at all.
  ASSERT_TRUE(WriteProfileString(file, "GLOBAL", "ComPort", "3"));
  EXPECT_EQ(ReadBytes(file), Utf8ToCp1250(expected));
}

TEST(IniFile, TransferPointerSection) {
  TempDir dir;
  const auto file = dir / "vortane.ini";
  EXPECT_EQ(ReadProfileIntOrMissing(file, "REQPTR", "4711"), -1);  // no file
  WriteCp1250(file, "[GLOBAL]\r\nComPort=2\r\n");
  EXPECT_EQ(ReadProfileIntOrMissing(file, "REQPTR", "4711"), -1);  // no section
  ASSERT_TRUE(WriteProfileInt(file, "REQPTR", "4711", 0));
  EXPECT_EQ(ReadProfileIntOrMissing(file, "REQPTR", "4711"), 0);
  EXPECT_EQ(ReadProfileIntOrMissing(file, "reqptr", "9999"), -1);  // section there, key missing
  ASSERT_TRUE(WriteProfileInt(file, "REQPTR", "4711", 2047));
  EXPECT_EQ(ReadProfileInt(file, "REQPTR", "4711", 0), 2047);
  EXPECT_EQ(ReadBytes(file), "[GLOBAL]\r\nComPort=2\r\n\r\n[REQPTR]\r\n4711=2047\r\n");
}

TEST(IniFile, RefusedWritesLeaveFileAlone) {
  TempDir dir;
  const auto file = dir / "vortane.ini";
  WriteBytes(file, "[A]\r\nx=1\r\n");
  EXPECT_FALSE(WriteProfileString(file, "", "k", "v"));
  EXPECT_FALSE(WriteProfileString(file, "A", "", "v"));
  EXPECT_FALSE(WriteProfileString(file, "A", "k=v", "v"));
  EXPECT_FALSE(WriteProfileString(file, "A]", "k", "v"));
  EXPECT_FALSE(WriteProfileString(file, "A", "k\r\nl", "v"));
  EXPECT_FALSE(WriteProfileString(dir / "missing" / "vortane.ini", "A", "k", "v"));
  EXPECT_FALSE(WriteProfileString(dir.path(), "A", "k", "v"));  // a folder, not a file
  EXPECT_EQ(ReadBytes(file), "[A]\r\nx=1\r\n");

  // A file too large to be read whole is never replaced by a shortened copy.
  const auto big = dir / "big.ini";
  WriteBytes(big, "[A]\r\n" + std::string(IniFile::kMaxFileBytes, ';'));
  EXPECT_FALSE(WriteProfileString(big, "A", "k", "v"));
  EXPECT_EQ(std::filesystem::file_size(big), IniFile::kMaxFileBytes + 5);
}

TEST(IniFile, AbsurdInputIsCapped) {
  std::string many;
  for (std::size_t i = 0; i < IniFile::kMaxLines + 10; ++i) many += "\n";
  many += "[Z]\nk=1\n";
  const IniFile lines = IniFile::fromBytes(many);
  EXPECT_TRUE(lines.truncated());
  EXPECT_FALSE(lines.hasSection("Z"));
  TempDir dir;
  std::string error;
  EXPECT_FALSE(lines.save(dir / "x.ini", &error));
  EXPECT_FALSE(error.empty());

  const IniFile longLine = IniFile::fromBytes("[A]\nk=" + std::string(IniFile::kMaxLineBytes * 3, 'v') + "\nj=2\n");
  EXPECT_TRUE(longLine.truncated());
  EXPECT_EQ(longLine.readString("A", "k", "").size(), IniFile::kMaxValueChars);
  EXPECT_EQ(longLine.readInt("A", "j", 0), 2);
  EXPECT_FALSE(IniFile::fromBytes(kIni).truncated());
}

}  // namespace
