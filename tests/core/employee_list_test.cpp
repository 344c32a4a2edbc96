#include <gtest/gtest.h>

#include "core/employee_list.h"
#include "core/messages.h"
#include "core/text_codec.h"
#include "support/test_support.h"

using namespace core;
using testing_support::ReadBytes;
using testing_support::ScriptedOperator;
using testing_support::TempDir;
using testing_support::WriteBytes;
using testing_support::WriteCp1250;

namespace {
constexpr int kNorma = 510;  // 8:30

EmployeeList readText(const std::string& utf8) {
  EmployeeList l;
  l.readFromBytes(Utf8ToCp1250(utf8), kNorma);
  return l;
}
}  // namespace

TEST(WorkloadToMinutes, Rules) {
  struct Case {
    const char* text;
    int norma;
    int minutes;
  };
  for (const Case& c : {Case{"100", 510, 510}, Case{"50", 510, 255}, Case{"6:00", 510, 360}, Case{"7:30", 480, 450},
                        Case{"abc", 510, 510}, Case{"", 480, 480}, Case{"7:xx", 510, 0}, Case{"7:30:00", 510, 0},
                        Case{"33", 500, 165}, Case{"0", 510, 0}, Case{"-20", 510, 0}, Case{"99999999999", 510, 65535},
                        Case{"2000:00", 510, 65535}, Case{" 50 ", 510, 255}}) {
    EXPECT_EQ(WorkloadToMinutes(c.text, c.norma), c.minutes) << c.text;
  }
}

TEST(EmployeeList, ReadsTheDocumentedLine) {
  const auto base = std::string("Novák Ján\t123\t4711\tVýroba\t1\t0\t");
  struct Case {
    std::string workload;
    int minutes;
  };
  for (const Case& c : {Case{"100", 510}, Case{"6:00", 360}, Case{"abc", 510}, Case{"", 510}, Case{"7:xx", 0}}) {
    const auto l = readText(";Zoznam pracovnikov\r\n" + base + c.workload + "\t30\t\r\n");
    ASSERT_EQ(l.size(), 1u) << c.workload;
    const Employee& e = l.employees()[0];
    EXPECT_EQ(e.name, "Novák Ján");
    EXPECT_EQ(e.personalNumber, "123");
    EXPECT_EQ(e.card, 4711);
    EXPECT_EQ(e.department, "Výroba");
    EXPECT_TRUE(e.shiftsAllowed);
    EXPECT_FALSE(e.tripsAllowed);
    EXPECT_EQ(e.workload, c.workload);
    EXPECT_EQ(e.workloadMinutes, c.minutes) << c.workload;
    EXPECT_EQ(e.breaks, 30);
  }
}

TEST(EmployeeList, FieldCuttingEdgeCases) {
  struct Case {
    const char* line;
    bool counts;
    int card;
    int breaks;
    const char* workload;
  };
  const Case cases[] = {
      {"A\tB\t7\tD\t1\t1\t100\t30", true, 7, 0, "100"},  // last field without its tab is lost
      {"A\tB\t7\t", true, 7, 0, ""},                     // card is the last field taken
      {"A\tB\t7", false, 0, 0, ""},                      // card without its tab: not an employee
      {"A\tB\t", false, 0, 0, ""},
      {"A\tB\t7\tD\t1\t1\t100\t\t", true, 7, 0, "100"},    // the lone last tab is not a field
      {"A\tB\tx12\t", true, 0, 0, ""},                     // card not a number: card 0, still counts
      {"A\tB\t70000\t", true, 0, 0, ""},                   // card above 65535: card 0
      {"A\tB\t7\tD\t1\t1\t100\t3O\t", true, 7, 0, "100"},  // breaks not a number: 0
      {"A\tB\t7\tD\t1\t1\t100\t-15\tX\tY\t", true, 7, -15, "100"},
      {"A;B\tB\t7\tD\t1\t1\t100\t30\t", false, 0, 0, ""},  // ";" anywhere: comment
      {"\t\t9\t\t\t\t\t5\t", true, 9, 5, ""},
  };
  for (const Case& c : cases) {
    EmployeeList l;
    const int result = l.readFromBytes(c.line, kNorma);
    EXPECT_EQ(result, c.counts ? 1 : -1) << c.line;
    if (!c.counts) continue;
    ASSERT_EQ(l.size(), 1u) << c.line;
    EXPECT_EQ(l.employees()[0].card, c.card) << c.line;
    EXPECT_EQ(l.employees()[0].breaks, c.breaks) << c.line;
    EXPECT_EQ(l.employees()[0].workload, c.workload) << c.line;
  }
}

TEST(EmployeeList, FlagsAndLimits) {
  const std::string longName(70, 'x');
  const auto l = readText(longName + "\t12345678901234567890\t1\t" + std::string(40, 'd') +
                          "\t2\t0\t100\t0\t\r\nB\t\t2\t\tano\t-1\t50\t0\t\r\n");
  ASSERT_EQ(l.size(), 2u);
  EXPECT_EQ(l.employees()[0].name, std::string(64, 'x'));
  EXPECT_EQ(l.employees()[0].personalNumber, "1234567890123456");
  EXPECT_EQ(l.employees()[0].department, std::string(32, 'd'));
  EXPECT_TRUE(l.employees()[0].shiftsAllowed);  // 2 >= 1
  EXPECT_FALSE(l.employees()[1].shiftsAllowed);
  EXPECT_FALSE(l.employees()[1].tripsAllowed);
  EXPECT_EQ(l.employees()[1].workloadMinutes, 255);
}

TEST(EmployeeList, MissingFileAndEmptyList) {
  TempDir dir;
  EmployeeList l;
  l.employees().push_back(Employee{});
  EXPECT_EQ(l.read(dir / "prac.txt", kNorma), -1);
  EXPECT_TRUE(l.empty());
  WriteBytes(dir / "prac.txt", ";Zoznam pracovnikov\r\n");
  EXPECT_EQ(l.read(dir / "prac.txt", kNorma), -1);
}

TEST(EmployeeList, WriteAndReadBackKeepsEveryByte) {
  TempDir dir;
  const std::string file =
      ";Zoznam pracovnikov\r\n"
      "Ľubomír Šťastný\tOC-17\t101\tÚčtovníctvo\t0\t1\t100\t30\t\r\n"
      "Žofia Ďurčová\t\t65535\t\t1\t0\t7:30\t0\t\r\n"
      "Peter Čierny\t9\t0\tVýroba, hala 2\t1\t1\t50\t-5\t\r\n";
  WriteCp1250(dir / "prac.txt", file);
  EmployeeList l;
  ASSERT_EQ(l.read(dir / "prac.txt", kNorma), 1);
  ASSERT_EQ(l.size(), 3u);
  ASSERT_TRUE(l.write(dir / "copy.txt"));
  EXPECT_EQ(ReadBytes(dir / "copy.txt"), ReadBytes(dir / "prac.txt"));
  EXPECT_EQ(l.toBytes(), Utf8ToCp1250(file));
}

TEST(EmployeeList, WriteRefusesFieldsThatWouldBreakTheFile) {
  TempDir dir;
  WriteBytes(dir / "prac.txt", "old");
  for (const char* bad : {"Novák; Ján", "Novák\tJán", "Novák\rJán", "Novák\nJán", "Новак"}) {
    EmployeeList l;
    Employee ok;
    ok.name = "Dobrý";
    Employee e;
    e.department = bad;
    l.employees() = {ok, e};
    std::string error;
    EXPECT_FALSE(l.write(dir / "prac.txt", &error)) << bad;
    EXPECT_NE(error.find("riadok 2"), std::string::npos) << error;
    EXPECT_NE(error.find("Oddelenie"), std::string::npos) << error;
    EXPECT_EQ(ReadBytes(dir / "prac.txt"), "old");
  }
}

TEST(EmployeeList, WriteFailureLeavesTheOldFile) {
  TempDir dir;
  EmployeeList l;
  l.employees().push_back(Employee{"A", "", 1, "", false, false, "100", 510, 0});
  std::string error;
  EXPECT_FALSE(l.write(dir / "no-such-folder" / "prac.txt", &error));
  EXPECT_FALSE(error.empty());
}

TEST(EmployeeList, NameOfCardTakesTheFirstMatch) {
  const auto l = readText("Prvý\t\t5\t\r\nDruhý\t\t5\t\r\nTretí\t\t6\t\r\n");
  EXPECT_EQ(l.nameOfCard(5), "Prvý");
  EXPECT_EQ(l.nameOfCard(6), "Tretí");
  EXPECT_EQ(l.nameOfCard(7), "[7]");
  EXPECT_EQ(l.nameOfCard(65535), "[65535]");
  EXPECT_EQ(l.findCard(6), 2u);
  EXPECT_FALSE(l.findCard(0).has_value());
}

TEST(EmployeeList, AddNamedCard) {
  TempDir dir;
  const MessageCatalogue messages;
  EmployeeList l;
  ScriptedOperator op;
  op.textAnswers = {std::nullopt, std::string(""), std::string("   "), std::string(70, 'N'), std::string("Zlý;meno")};
  EXPECT_FALSE(l.addNamedCard(42, dir / "prac.txt", kNorma, messages, op));  // cancelled
  EXPECT_FALSE(l.addNamedCard(42, dir / "prac.txt", kNorma, messages, op));  // empty
  EXPECT_FALSE(l.addNamedCard(42, dir / "prac.txt", kNorma, messages, op));  // blanks
  EXPECT_FALSE(std::filesystem::exists(dir / "prac.txt"));
  EXPECT_TRUE(l.empty());
  EXPECT_EQ(op.questions, (std::vector<std::string>(3, "Uveďte meno pracovníka")));

  ASSERT_TRUE(l.addNamedCard(42, dir / "prac.txt", kNorma, messages, op));
  ASSERT_EQ(l.size(), 1u);
  EXPECT_EQ(l.employees()[0], (Employee{std::string(64, 'N'), "", 42, "", false, false, "100", 510, 0}));
  EXPECT_EQ(ReadBytes(dir / "prac.txt"),
            ";Zoznam pracovnikov\r\n" + std::string(64, 'N') + "\t\t42\t\t0\t0\t100\t0\t\r\n");

  EXPECT_FALSE(l.addNamedCard(43, dir / "prac.txt", kNorma, messages, op));  // ";" refused
  EXPECT_EQ(l.size(), 1u);
  ASSERT_EQ(op.messages.size(), 1u);
  EXPECT_NE(op.messages[0].find("\";\""), std::string::npos);
}

TEST(EmployeeList, ImportKluce) {
  EmployeeList l;
  l.employees().push_back(Employee{"Starý", "7", 1, "X", true, true, "50", 255, 30});
  const std::string longName(120, 'k');
  const int n = l.importKluceFromBytes(Utf8ToCp1250("12\tJano Ďuriš\r\n"
                                                    "bez tabulatora\r\n"
                                                    "x1\tNie číslo\r\n"
                                                    "70000\tPriveľké číslo\r\n"
                                                    "-3\tZáporné\r\n"
                                                    " 13 \tS medzerami\r\n"
                                                    "14\t" +
                                                    longName +
                                                    "\r\n"
                                                    "15\tMeno\tďalší stĺpec\r\n"
                                                    "16\t\r\n"),
                                       kNorma);
  EXPECT_EQ(n, 5);
  ASSERT_EQ(l.size(), 5u);
  EXPECT_EQ(l.employees()[0], (Employee{"Jano Ďuriš", "", 12, "", false, false, "100", 510, 0}));
  EXPECT_EQ(l.employees()[1].card, 13);
  EXPECT_EQ(l.employees()[2].name, std::string(64, 'k'));
  EXPECT_EQ(l.employees()[3].name, "Meno");
  EXPECT_EQ(l.employees()[4].name, "");
}

TEST(EmployeeList, ImportKluceWithNothingUsableKeepsTheList) {
  EmployeeList l;
  l.employees().push_back(Employee{"Starý", "7", 1, "X", true, true, "50", 255, 30});
  EXPECT_EQ(l.importKluceFromBytes("abc\r\n\r\nx\ty\r\n", kNorma), 0);
  ASSERT_EQ(l.size(), 1u);
  EXPECT_EQ(l.employees()[0].name, "Starý");
  TempDir dir;
  EXPECT_EQ(l.importKluce(dir / "kluce.txt", kNorma), 0);
  EXPECT_EQ(l.size(), 1u);
}
