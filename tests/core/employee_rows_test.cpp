#include <gtest/gtest.h>

#include "core/employee_rows.h"
#include "core/text_codec.h"

using namespace core;

namespace {

EmployeeRow Row(std::string name, std::string card, std::string department = "", std::string breaks = "30") {
  EmployeeRow r = NewEmployeeRowDefaults();
  r.name = std::move(name);
  r.card = std::move(card);
  r.department = std::move(department);
  r.breaks = std::move(breaks);
  return r;
}

const char* const kHeader = "Meno a Priezvisko,Osobne císlo,Karta,Oddelenie,Smeny,Služobné,Uvazok,Prestávky\r\n";

}  // namespace

TEST(EmployeeRows, SaveStopsAtTheFirstBadRowAndNamesIt) {
  struct Case {
    const char* what;
    EmployeeRow bad;
    std::string message;
  };
  EmployeeRow semicolon = Row("Peter; Malý", "5");
  EmployeeRow tab = Row("Peter", "5");
  tab.workload = "8\t00";
  EmployeeRow arrow = Row("Peter", "5", "Sklad → B");
  const Case cases[] = {
      {"breaks with the letter O", Row("Peter", "5", "", "3O"), "Nastavte prestávky v riadku: 2"},
      {"empty breaks", Row("Peter", "5", "", ""), "Nastavte prestávky v riadku: 2"},
      {"negative breaks", Row("Peter", "5", "", "-5"), "Nastavte prestávky v riadku: 2"},
      {"breaks over a day", Row("Peter", "5", "", "1441"), "Nastavte prestávky v riadku: 2"},
      {"card above 65535", Row("Peter", "65536"), "Nesprávne císlo karty v riadku: 2"},
      {"card not a number", Row("Peter", "12a"), "Nesprávne císlo karty v riadku: 2"},
      {"empty card", Row("Peter", ""), "Nesprávne císlo karty v riadku: 2"},
      {"semicolon in a name", semicolon,
       "Riadok 2, stĺpec \"Meno a Priezvisko\": text obsahuje znak \";\"\rTaký text nie je možné uložiť do súboru "
       "prac.txt"},
      {"tab in the workload", tab,
       "Riadok 2, stĺpec \"Uvazok\": text obsahuje tabulátor\rTaký text nie je možné uložiť do súboru prac.txt"},
      {"letter without a Windows-1250 form", arrow,
       "Riadok 2, stĺpec \"Oddelenie\": text obsahuje znak \"→\", ktorý nemá tvar v kódovaní Windows-1250\rTaký "
       "text nie je možné uložiť do súboru prac.txt"},
  };
  for (const Case& c : cases) {
    // The row after the bad one is bad too: only the first is reported.
    const std::vector<EmployeeRow> rows = {Row("Anna", "1"), c.bad, Row("Boris", "x", "", "y")};
    const auto problem = CheckRowsForSave(rows);
    ASSERT_TRUE(problem.has_value()) << c.what;
    EXPECT_EQ(problem->row, 2u) << c.what;
    EXPECT_EQ(problem->message, c.message) << c.what;
  }
  EXPECT_FALSE(CheckRowsForSave({Row("Anna", "0", "", " 0 "), Row("Boris", " 65535", "Výroba", "1440")}));
}

TEST(EmployeeRows, RowsBecomeEntriesCutToTheirLimits) {
  EmployeeRow r = Row(std::string(70, 'N'), "4711", std::string(40, 'D'), " 45 ");
  r.personalNumber = "12345678901234567890";
  r.shiftsAllowed = true;
  r.workload = "6:00";
  EmployeeRow half = Row("Jana", "7");
  half.workload = "50";
  const auto list = EmployeesFromRows({r, half}, 510);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].name, std::string(64, 'N'));
  EXPECT_EQ(list[0].department, std::string(32, 'D'));
  EXPECT_EQ(list[0].personalNumber, "1234567890123456");
  EXPECT_EQ(list[0].card, 4711);
  EXPECT_TRUE(list[0].shiftsAllowed);
  EXPECT_FALSE(list[0].tripsAllowed);
  EXPECT_EQ(list[0].workloadMinutes, 360);
  EXPECT_EQ(list[0].breaks, 45);
  EXPECT_EQ(list[1].workloadMinutes, 255);
}

TEST(EmployeeRows, NewCardAcceptsOnlyOneTo65535) {
  struct Case {
    const char* text;
    std::optional<std::uint16_t> card;
  };
  for (const Case& c :
       {Case{"1", 1}, Case{"65535", 65535}, Case{"00042", 42}, Case{"0", std::nullopt}, Case{"65536", std::nullopt},
        Case{"99999", std::nullopt}, Case{"12a", std::nullopt}, Case{"", std::nullopt}, Case{" 5", std::nullopt},
        Case{"+5", std::nullopt}, Case{"-1", std::nullopt}}) {
    EXPECT_EQ(NewCardFromText(c.text), c.card) << c.text;
  }
}

TEST(EmployeeRows, DuplicateCardsNameTheFirstOwner) {
  const std::vector<EmployeeRow> rows = {Row("Anna", "5"), Row("Boris", "6"), Row("Cyril", " 5"), Row("Dana", "bad"),
                                         Row("Eva", "5")};
  const auto dups = DuplicateCards(rows);
  ASSERT_EQ(dups.size(), 2u);
  EXPECT_EQ(dups[0].row, 2u);
  EXPECT_EQ(dups[0].firstRow, 0u);
  EXPECT_EQ(dups[1].row, 4u);
  EXPECT_EQ(dups[1].firstRow, 0u);
  EXPECT_EQ(DuplicateCardQuestion(5, "Anna"), "Karta 5 je už priradená pracovníkovi Anna. Pokračovať?");
  EXPECT_EQ(RowWithCard(rows, 6), 1u);
  EXPECT_FALSE(RowWithCard(rows, 7));
}

TEST(EmployeeRows, DepartmentChoicesSkipShortTextsAndRepeats) {
  const std::vector<EmployeeRow> rows = {Row("A", "1", "Výroba"), Row("B", "2", "X"),      Row("C", "3", "Sklad"),
                                         Row("D", "4", "Výroba"), Row("E", "5", "výroba"), Row("F", "6", "Ú"),
                                         Row("G", "7", "")};
  EXPECT_EQ(DepartmentChoices(rows), (std::vector<std::string>{"Výroba", "Sklad", "výroba"}));
}

TEST(EmployeeRows, FindStartsAfterTheSelectedRowAndWrapsOnlyFromTheLast) {
  const std::vector<EmployeeRow> rows = {Row("Ján Novák", "1"), Row("Peter Malý", "2"), Row("Jana Nováková", "3"),
                                         Row("Eva Nová", "4")};
  struct Case {
    const char* text;
    std::optional<std::size_t> selected;
    std::optional<std::size_t> found;
  };
  for (const Case& c :
       {Case{"Nov", 0, 2}, Case{"Nov", 2, 3}, Case{"Nov", 3, 0}, Case{"Nov", std::nullopt, 0},
        Case{"Malý", 1, std::nullopt}, Case{"nov", 0, std::nullopt}, Case{"", 0, std::nullopt}, Case{"Ján", 3, 0}}) {
    EXPECT_EQ(FindNameRow(rows, c.text, c.selected), c.found) << c.text;
  }
}

TEST(EmployeeRowsCsv, ExportReadsBackUnchanged) {
  EmployeeRow quoted = Row("Novák, Ján \"Janko\"", "4711", " Výroba ");
  quoted.shiftsAllowed = true;
  quoted.workload = "7:30";
  const std::vector<EmployeeRow> rows = {quoted, Row("Čierna Ľubica", "bad card", "Sklad")};
  const std::string bytes = EmployeeRowsToCsv(rows);
  EXPECT_EQ(bytes.substr(0, Utf8ToCp1250(kHeader).size()), Utf8ToCp1250(kHeader));
  const auto back = EmployeeRowsFromCsv(bytes);
  EXPECT_EQ(back.error, "");
  EXPECT_EQ(back.rows, rows);
}

TEST(EmployeeRowsCsv, WhatIsReadAndWhatIsRefused) {
  struct Case {
    const char* what;
    std::string bytes;
    std::size_t rows;   // on success
    std::string error;  // start of the message on refusal
  };
  const std::string header = Utf8ToCp1250(kHeader);
  const std::string line = Utf8ToCp1250("Šťastný Ján,12,4711,Výroba,1,0,100,30\r\n");
  const Case cases[] = {
      {"Windows-1250", header + line, 1, ""},
      {"UTF-8 with a byte-order mark",
       "\xEF\xBB\xBF" + std::string(kHeader) + "Šťastný Ján,12,4711,Výroba,1,0,100,30\r\n", 1, ""},
      {"UTF-8 without a byte-order mark", std::string(kHeader) + "Šťastný Ján,12,4711,Výroba,1,0,100,30\n", 1, ""},
      {"semicolons and TRUE/FALSE",
       Utf8ToCp1250("Meno a Priezvisko;Osobné číslo;Karta;Oddelenie;Smeny;Služobné;Úväzok;Prestávky\r\n"
                    "\"Novák; Ján\";;5;;TRUE;FALSE;100;30\r\n"),
       0, "Súbor nie je možné načítať: Riadok 2, stĺpec \"Meno a Priezvisko\": text obsahuje znak \";\""},
      {"fewer columns", header + "Ján,,5\r\n", 1, ""},
      {"empty extra columns", header + "Ján,,5,,0,0,100,30,,\r\n", 1, ""},
      {"more columns", header + "Ján,,5,,0,0,100,30,extra\r\n", 0,
       "Súbor nie je možné načítať: riadok 2\rRiadok má viac ako 8 stĺpcov"},
      {"empty file", "", 0, "V súbore sa nenachádzajú údaje"},
      {"header only", header + "\r\n,,,\r\n", 0, "V súbore sa nenachádzajú údaje"},
      {"binary", header + line + std::string("\x01\x02\x00\xff", 4), 0,
       "Súbor nie je možné načítať: riadok 3\rSúbor nie je textový súbor CSV"},
      {"another layout", "Meno;Karta;V práci\r\nJán;5;8:00\r\n", 0,
       "Súbor nie je možné načítať: riadok 1\rPrvý riadok musí mať stĺpce"},
      {"a check box that is neither", header + "Ján,,5,,snáď,0,100,30\r\n", 0,
       "Súbor nie je možné načítať: riadok 2\rStĺpec \"Smeny\" musí obsahovať 1 alebo 0"},
      {"a line break in a quoted name", header + "\"Ján\r\nNovák\",,5,,0,0,100,30\r\n", 0,
       "Súbor nie je možné načítať: Riadok 2, stĺpec \"Meno a Priezvisko\": text obsahuje koniec riadka"},
  };
  for (const Case& c : cases) {
    const auto r = EmployeeRowsFromCsv(c.bytes);
    if (c.error.empty()) {
      EXPECT_EQ(r.error, "") << c.what;
      EXPECT_EQ(r.rows.size(), c.rows) << c.what;
    } else {
      EXPECT_EQ(r.error.substr(0, c.error.size()), c.error) << c.what << ": " << r.error;
      EXPECT_TRUE(r.rows.empty()) << c.what;
    }
  }
  const auto read = EmployeeRowsFromCsv(header + line);
  ASSERT_EQ(read.rows.size(), 1u);
  EXPECT_EQ(read.rows[0].name, "Šťastný Ján");
  EXPECT_EQ(read.rows[0].department, "Výroba");
  EXPECT_TRUE(read.rows[0].shiftsAllowed);
  const auto shortRow = EmployeeRowsFromCsv(header + "Ján,,5\r\n");
  ASSERT_EQ(shortRow.rows.size(), 1u);
  EXPECT_EQ(shortRow.rows[0].workload, "100");
  EXPECT_EQ(shortRow.rows[0].breaks, "0");
}
