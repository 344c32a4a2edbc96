// What vortane-cli puts on paper and into workbooks and HTML pages, read
// back as a clerk would see it: the PDF's words with their positions, the
// workbook unpacked, the page's markup.
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

#include "core/path_text.h"
#include "support/pdf_words.h"
#include "support/test_support.h"

namespace {

using testing_support::kPointsPerMm;
using testing_support::PdfPage;
using testing_support::ReadBytes;
using testing_support::ReadPdfWords;
using testing_support::TempDir;
using testing_support::WriteBytes;
using testing_support::WriteCp1250;

// November 2026 without night work (the shift totals are narrowed on
// screen), 17 November a holiday. Katarína works early shifts every working
// day to the 20th, 17th included, from 6:03; Žofia is on a business trip on
// the 3rd and 4th, which the robot fills in with its comment.
struct Installation {
  TempDir dir;
  Installation() {
    WriteCp1250(dir / "vortane.ini",
                "[GLOBAL]\r\nLOGDIR=Log\r\n[CALC]\r\nnormaPD=8:00:00\r\nautoSL=1\r\nnightflag=0\r\n"
                "USEDS=1\r\nUSEPS=1\r\nUSENS=1\r\nstartDS=6:00:00\r\nstopDS=14:00:00\r\nstartPS=14:00:00\r\n"
                "stopPS=22:00:00\r\nstartNS=22:00:00\r\nstopNS=6:00:00\r\n");
    WriteCp1250(dir / "sviatky.txt", "17.11.1900\r\n");
    WriteCp1250(dir / "prac.txt",
                "Katarína Horváth 0028\t0028\t28\tÚdržba\t1\t0\t100\t30\t\r\n"
                "Žofia Horváth 0026\t0026\t26\tVýroba\t0\t1\t100\t0\t\r\n");
    std::filesystem::create_directory(dir / "Log");
    std::string log;
    for (int d : {2, 3, 4, 5, 6, 9, 10, 11, 12, 13, 16, 17, 18, 19, 20}) {
      log += std::to_string(d) + ".11.2026 6:03:00\t28\t0\r\n";
      log += std::to_string(d) + ".11.2026 14:10:00\t28\t16\r\n";
    }
    log += "2.11.2026 7:00:00\t26\t0\r\n2.11.2026 15:00:00\t26\t16\r\n";
    log += "5.11.2026 7:00:00\t26\t2\r\n5.11.2026 15:00:00\t26\t16\r\n";
    WriteBytes(dir / "Log" / "11_2026.txt", log);
  }
  std::string path() const { return core::Utf8FromPath(dir.path()); }
  std::string file(const std::string& name) const { return core::Utf8FromPath(dir / name); }
};

// Sets or (value null) removes an environment variable of this process.
void SetEnvironment(const char* name, const char* value) {
#if defined(_WIN32)
  _putenv_s(name, value ? value : "");
#else
  if (value) {
    setenv(name, value, 1);
  } else {
    unsetenv(name);
  }
#endif
}

// Runs the tool with LC_ALL set as given (empty: as the tests run).
testing_support::CliResult RunUnderLocale(const std::string& locale, const std::vector<std::string>& args) {
  const char* old = std::getenv("LC_ALL");
  const std::string saved = old ? old : "";
  if (!locale.empty()) SetEnvironment("LC_ALL", locale.c_str());
  auto r = testing_support::RunCli(args);
  SetEnvironment("LC_ALL", old ? saved.c_str() : nullptr);
  return r;
}

std::string Join(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) out += l + "\n";
  return out;
}

// The word right of `word` on its line (empty when none).
std::string NextOnLine(const PdfPage& page, const testing_support::PdfWord& word) {
  const testing_support::PdfWord* best = nullptr;
  for (const auto& w : page.words) {
    if (w.xMin < word.xMax - 0.1 || std::abs(w.yMin - word.yMin) > 1.0) continue;
    if (best == nullptr || w.xMin < best->xMin) best = &w;
  }
  return best ? best->text : std::string();
}

using testing_support::Unzip;

// Width of the spreadsheet column (1-based) in the worksheet XML; 0 when unset.
double ColumnWidth(const std::string& sheet, int column) {
  const std::regex col("<col min=\"(\\d+)\" max=\"(\\d+)\" width=\"([0-9.]+)\"");
  for (auto it = std::sregex_iterator(sheet.begin(), sheet.end(), col); it != std::sregex_iterator(); ++it) {
    if (std::stoi((*it)[1]) <= column && column <= std::stoi((*it)[2])) return std::stod((*it)[3]);
  }
  return 0;
}

struct StampCase {
  const char* locale;
};

class SheetPaperCli : public ::testing::TestWithParam<StampCase> {};

// The sheets on paper: inside margins a binder and an office printer leave
// free, nothing running into its neighbour, day labels, names and the robot's
// comments whole, and the print stamp in the installation's own format
// whatever the system's language.
TEST_P(SheetPaperCli, EverythingOnThePageWholeApartAndInsideTheMargins) {
  if (!testing_support::HavePdfToText()) GTEST_SKIP() << "pdftotext is not installed";
  Installation inst;
  const auto r = RunUnderLocale(GetParam().locale, {"sheets", "--dir", inst.path(), "--month", "11", "--year", "2026",
                                                    "--out", inst.file("listy.pdf")});
  if (r.status == 2) GTEST_SKIP() << "a build without the Qt parts refuses PDF output: " << r.err;
  ASSERT_EQ(r.status, 0) << r.err;
  const auto pages = ReadPdfWords(inst.dir / "listy.pdf");
  ASSERT_EQ(pages.size(), 2u);
  const std::regex stamp(R"(Vytlacené: \d{1,2}\.\d{1,2}\.20\d\d \d\d:\d\d)");
  for (std::size_t i = 0; i < pages.size(); ++i) {
    const PdfPage& page = pages[i];
    EXPECT_EQ(Join(testing_support::OverlappingWords(page)), "") << "page " << i;
    // 20 mm on the binder's side, 10 mm elsewhere (a little less for the
    // glyphs' own side bearings).
    EXPECT_EQ(Join(testing_support::WordsOutside(page, 19 * kPointsPerMm, 9 * kPointsPerMm, 9 * kPointsPerMm,
                                                 9 * kPointsPerMm)),
              "")
        << "page " << i;
    EXPECT_TRUE(std::regex_search(page.text(), stamp)) << page.text();
    // Every day label is one word, "10-Uto" not "10-..." or "10-Ut".
    for (const char* day : {"1-Ned", "10-Uto", "12-Stv", "17-Uto", "25-Str", "30-Pon"})
      EXPECT_EQ(page.find(day).size(), 1u) << day << " on page " << i;
  }
  // The holiday's label stays apart from the day's first registration.
  const PdfPage& katarina = pages[0];
  const auto holiday = katarina.find("17-Uto");
  ASSERT_EQ(holiday.size(), 1u);
  EXPECT_EQ(NextOnLine(katarina, holiday[0]), "SV");
  const auto sv = katarina.find("SV");
  ASSERT_FALSE(sv.empty());
  EXPECT_EQ(NextOnLine(katarina, sv[0]), "06:03");
  // The long name in the value column and the shift results whole.
  for (const char* word : {"Katarína", "Horváth", "0028", "DS", "7:57", "PS", "0:10"})
    EXPECT_FALSE(katarina.find(word).empty()) << word;
  // The robot's comment wrapped or shrunk inside the frame, not cut.
  const PdfPage& zofia = pages[1];
  for (const char* word : {"Automatický", "výpocet", "Služobnej", "cesty"})
    EXPECT_EQ(zofia.find(word).size(), 2u) << word;  // the 3rd and the 4th
}

INSTANTIATE_TEST_SUITE_P(Locales, SheetPaperCli,
                         ::testing::Values(StampCase{""}, StampCase{"C"}, StampCase{"en_US.UTF-8"},
                                           StampCase{"en_GB.UTF-8"}));

// The report on paper: the shift totals that premiums are paid on are printed
// although the installation has no night work, the holiday's column keeps its
// day, headers and cells are whole and apart, every page carries the print
// date and says which days it holds.
TEST(ReportPaperCli, ShiftTotalsHolidayDayWholeTextsDaysOfEachBandAndThePrintDate) {
  if (!testing_support::HavePdfToText()) GTEST_SKIP() << "pdftotext is not installed";
  Installation inst;
  const auto r = RunUnderLocale("C", {"report", "--dir", inst.path(), "--month", "11", "--year", "2026", "--out",
                                      inst.file("vykaz.pdf")});
  if (r.status == 2) GTEST_SKIP() << "a build without the Qt parts refuses PDF output: " << r.err;
  ASSERT_EQ(r.status, 0) << r.err;
  const auto pages = ReadPdfWords(inst.dir / "vykaz.pdf");
  ASSERT_GE(pages.size(), 2u);
  std::string all;
  const std::regex stamp(R"(Vytlacené: \d{1,2}\.\d{1,2}\.20\d\d \d\d:\d\d)");
  const std::regex band(R"(dni (\d+)\.-(\d+)\.)");
  for (std::size_t i = 0; i < pages.size(); ++i) {
    const PdfPage& page = pages[i];
    const std::string text = page.text();
    all += text + "\n";
    EXPECT_EQ(Join(testing_support::OverlappingWords(page)), "") << "page " << i;
    EXPECT_EQ(Join(testing_support::WordsOutside(page, 9 * kPointsPerMm, 9 * kPointsPerMm, 9 * kPointsPerMm,
                                                 9 * kPointsPerMm)),
              "")
        << "page " << i;
    EXPECT_TRUE(std::regex_search(text, stamp)) << "page " << i << ": " << text;
    // A page with day columns names its days, and they are the ones shown.
    std::smatch m;
    bool anyDay = false;
    for (int d = 1; d <= 30; ++d) {
      const bool shown = text.find(" " + std::to_string(d) + "-") != std::string::npos ||
                         (d == 17 && text.find("17 Sviatok") != std::string::npos);
      anyDay = anyDay || shown;
      if (shown && std::regex_search(text, m, band)) {
        EXPECT_GE(d, std::stoi(m[1])) << "page " << i;
        EXPECT_LE(d, std::stoi(m[2])) << "page " << i;
      }
    }
    if (anyDay) {
      EXPECT_TRUE(std::regex_search(text, band)) << "page " << i << ": " << text;
    }
  }
  for (const char* header : {"Denné", "Poobede", "Nocné"}) EXPECT_NE(all.find(header), std::string::npos) << header;
  EXPECT_NE(all.find("111:45"), std::string::npos);  // Katarína's day shifts
  EXPECT_NE(all.find("2:30"), std::string::npos);    // and afternoon minutes
  EXPECT_NE(all.find("17 Sviatok"), std::string::npos);
  for (int d : {1, 2, 8, 14, 15, 16, 18, 30}) {
    static const char* const kNames[] = {"Ned", "Pon", "Uto", "Str", "Stv", "Pia", "Sob"};
    const std::string label = std::to_string(d) + "-" + kNames[(d - 1) % 7];
    bool found = false;
    for (const auto& page : pages) found = found || !page.find(label).empty();
    EXPECT_TRUE(found) << label;
  }
  EXPECT_NE(all.find("DS 7:57"), std::string::npos);
  EXPECT_NE(all.find("Katarína Horváth 0028"), std::string::npos);
}

// One workbook whichever front end writes it: named worksheets, the report's
// "Hodiny" of numbers, frozen header row and name column, landscape A4 one
// page wide, columns as wide as their texts.
TEST(WorkbookCli, NamedSheetsHoursFrozenPanesPageSetupAndWidthsFromTheTexts) {
  if (std::system("unzip -v >/dev/null 2>&1") != 0) GTEST_SKIP() << "unzip is not installed";
  Installation inst;
  const auto report = testing_support::RunCli(
      {"report", "--dir", inst.path(), "--month", "11", "--year", "2026", "--out", inst.file("vykaz.xlsx")});
  ASSERT_EQ(report.status, 0) << report.err;
  const auto sheet = testing_support::RunCli({"sheet", "--dir", inst.path(), "--card", "28", "--month", "11", "--year",
                                              "2026", "--out", inst.file("list.xlsx")});
  ASSERT_EQ(sheet.status, 0) << sheet.err;

  const std::string book = Unzip(inst.dir / "vykaz.xlsx", "xl/workbook.xml");
  EXPECT_NE(book.find("name=\"Výkaz 11-2026\""), std::string::npos) << book;
  EXPECT_NE(book.find("name=\"Hodiny\""), std::string::npos) << book;
  const std::string strings = Unzip(inst.dir / "vykaz.xlsx", "xl/sharedStrings.xml");
  EXPECT_NE(strings.find(">17 Sviatok<"), std::string::npos);
  const std::string hours = Unzip(inst.dir / "vykaz.xlsx", "xl/worksheets/sheet2.xml");
  EXPECT_NE(hours.find("<v>111.75</v>"), std::string::npos);  // Katarína's day shifts as hours
  const std::string texts = Unzip(inst.dir / "vykaz.xlsx", "xl/worksheets/sheet1.xml");
  for (const std::string* xml : {&texts, &hours}) {
    EXPECT_NE(xml->find("xSplit=\"1\" ySplit=\"1\""), std::string::npos);
    EXPECT_NE(xml->find("state=\"frozen\""), std::string::npos);
    EXPECT_NE(xml->find("paperSize=\"9\""), std::string::npos);
    EXPECT_NE(xml->find("orientation=\"landscape\""), std::string::npos);
    EXPECT_NE(xml->find("fitToHeight=\"0\""), std::string::npos);
    EXPECT_NE(xml->find("fitToPage=\"1\""), std::string::npos);
  }
  EXPECT_GE(ColumnWidth(texts, 1), 21.0);                       // "Katarína Horváth 0028"
  EXPECT_GE(ColumnWidth(texts, 13), 6.0);                       // "Denné", narrowed on screen
  EXPECT_GE(ColumnWidth(texts, 20 + 17), 10.0);                 // "17 Sviatok"
  EXPECT_GE(ColumnWidth(texts, 20 + 2), 16.0);                  // "DS 7:57 PS 0:10"

  const std::string sheetBook = Unzip(inst.dir / "list.xlsx", "xl/workbook.xml");
  EXPECT_NE(sheetBook.find("name=\"List Katarína Horváth 0028\""), std::string::npos) << sheetBook;
  const std::string list = Unzip(inst.dir / "list.xlsx", "xl/worksheets/sheet1.xml");
  EXPECT_GE(ColumnWidth(list, 3), 9.0);   // "17-Uto SV"
  EXPECT_GE(ColumnWidth(list, 4), 26.0);  // "06:03 PR N - 14:10 OD N - "
  EXPECT_NE(list.find("state=\"frozen\""), std::string::npos);
}

// HTML pages: titled by what they hold, never by a folder of this computer,
// and in Slovak.
TEST(HtmlCli, TitleAndHeadingWithoutPathsAndSlovak) {
  Installation inst;
  ASSERT_EQ(testing_support::RunCli(
                {"report", "--dir", inst.path(), "--month", "11", "--year", "2026", "--out", inst.file("v.html")})
                .status,
            0);
  ASSERT_EQ(testing_support::RunCli({"sheet", "--dir", inst.path(), "--card", "28", "--month", "11", "--year", "2026",
                                     "--out", inst.file("l.html")})
                .status,
            0);
  const std::string report = ReadBytes(inst.dir / "v.html");
  const std::string sheet = ReadBytes(inst.dir / "l.html");
  EXPECT_NE(report.find("<html lang=\"sk\">"), std::string::npos);
  EXPECT_NE(report.find("<title>Výkaz dochádzky 11/2026</title>"), std::string::npos);
  EXPECT_NE(report.find("<h3>Výkaz dochádzky 11/2026</h3>"), std::string::npos);
  EXPECT_NE(report.find("<th>17 Sviatok</th>"), std::string::npos);
  EXPECT_NE(sheet.find("<html lang=\"sk\">"), std::string::npos);
  EXPECT_NE(sheet.find("<title>Dochádzkový list Katarína Horváth 0028 11/2026</title>"), std::string::npos);
  for (const std::string* page : {&report, &sheet}) {
    EXPECT_EQ(page->find(inst.path()), std::string::npos);
    EXPECT_EQ(page->find("11_2026.txt"), std::string::npos);
  }
}

}  // namespace
