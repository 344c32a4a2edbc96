#include <gtest/gtest.h>

#include "core/employee_list.h"
#include "core/text_codec.h"

using namespace core;

namespace {
const std::vector<Employee> kList = {
    {"Novák, Ján", "A-1", 4711, "Výroba \"B\"", true, false, "100", 510, 30},
    {" Šimon ", "", 0, "", false, true, "7:30", 450, 0},
    {"Viac\r\nriadkov", "16", 65535, "Účtáreň", true, true, "50", 255, -5},
};
}

TEST(EmployeeCsv, WritesQuotedWindows1250) {
  const std::string bytes = EmployeesToCsv(kList);
  const std::string expected =
      "Meno a Priezvisko,Osobne císlo,Karta,Oddelenie,Smeny,Služobné,Uvazok,Prestávky\r\n"
      "\"Novák, Ján\",A-1,4711,\"Výroba \"\"B\"\"\",1,0,100,30\r\n"
      "\" Šimon \",,0,,0,1,7:30,0\r\n"
      "\"Viac\r\nriadkov\",16,65535,Účtáreň,1,1,50,-5\r\n";
  EXPECT_EQ(bytes, Utf8ToCp1250(expected));
}

TEST(EmployeeCsv, RoundTripKeepsEveryField) {
  std::string error = "x";
  const auto back = EmployeesFromCsv(EmployeesToCsv(kList), 510, &error);
  EXPECT_EQ(back, kList);
  EXPECT_EQ(error, "");
}

TEST(EmployeeCsv, ReadsWhatSpreadsheetsSave) {
  // Semicolons, UTF-8 with byte-order mark, TRUE/FALSE, LF only, blank rows,
  // a row with a bad card and a short row.
  const std::string text =
      "\xEF\xBB\xBFMeno a Priezvisko;Osobne císlo;Karta;Oddelenie;Smeny;Služobné;Uvazok;Prestávky\n"
      "Ján Ťažký;7;12;Sklad;TRUE;FALSE;6:00;15\n"
      ";;;;;;;\n"
      "Zlá karta;;12a;;1;1;100;0\n"
      "Krátky;;13\n";
  std::string error;
  const auto list = EmployeesFromCsv(text, 480, &error);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0], (Employee{"Ján Ťažký", "7", 12, "Sklad", true, false, "6:00", 360, 15}));
  EXPECT_EQ(list[1], (Employee{"Krátky", "", 13, "", false, false, "", 480, 0}));
  EXPECT_EQ(error, "");
}

TEST(EmployeeCsv, NoRowsSetsError) {
  std::string error;
  EXPECT_TRUE(EmployeesFromCsv("", 510, &error).empty());
  EXPECT_EQ(error, "V súbore sa nenachádzajú údaje");
  EXPECT_TRUE(EmployeesFromCsv("Meno a Priezvisko,Osobne císlo,Karta\r\n", 510, &error).empty());
  EXPECT_FALSE(error.empty());
}

TEST(EmployeeCsv, RowsParser) {
  struct Case {
    std::string bytes;
    std::vector<std::vector<std::string>> rows;
  };
  const Case cases[] = {
      {"a,b\r\nc,d", {{"a", "b"}, {"c", "d"}}},
      {"a,,\r\n", {{"a", "", ""}}},
      {"\"x\"\"y\",\"\"\n", {{"x\"y", ""}}},
      {"\"open", {{"open"}}},  // unterminated quote ends with the file
      {"\r\n", {{""}}},
      {"\"a\"b,c\n", {{"ab", "c"}}},
  };
  for (const Case& c : cases) EXPECT_EQ(CsvRowsFromBytes(c.bytes), c.rows) << c.bytes;
  const std::vector<std::vector<std::string>> rows = {{"a,b", "\"", ""}, {}};
  EXPECT_EQ(CsvRowsToBytes(rows), "\"a,b\",\"\"\"\",\r\n\r\n");
}
