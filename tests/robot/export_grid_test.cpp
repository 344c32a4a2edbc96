#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "export/grid_export.h"
#include "support/test_support.h"

namespace {

using testing_support::ReadBytes;
using testing_support::TempDir;

core::Grid SampleGrid() {
  core::Grid g(4, 3);
  g.setCell(0, 0, "Meno");
  g.setCell(1, 0, "Nadčas");
  g.setCell(2, 0, "1-Pon");
  g.setCell(3, 0, "PN   ");
  g.setCell(0, 1, "Ľubomír Šťastný");
  g.setCell(1, 1, "-8:00");
  g.setCell(2, 1, "=8:30");
  g.setCell(3, 1, "a;b \"c\"");
  g.setCell(0, 2, "Žofia");
  g.setCell(2, 2, "SC 4:00\r\nD 4:00");
  g.setColumnWidth(0, 150);
  return g;
}

bool HaveUnzip() { return std::system("unzip -v >/dev/null 2>&1") == 0; }

std::string Unzip(const std::filesystem::path& zip, const std::string& member, const TempDir& dir) {
  const auto out = dir / "member.xml";
  const std::string cmd = "unzip -p '" + zip.string() + "' '" + member + "' > '" + out.string() + "' 2>/dev/null";
  if (std::system(cmd.c_str()) != 0) return {};
  return ReadBytes(out);
}

TEST(ExportCsv, QuotingRuleCellByCell) {
  struct Case {
    std::string cell;
    std::string written;
  };
  const Case cases[] = {
      {"", ""},
      {"8:30", "8:30"},
      {"Šťastný", "Šťastný"},
      {"=8:30", "\"=8:30\""},
      {"-8:00", "\"-8:00\""},
      {"+1", "\"+1\""},
      {"@x", "\"@x\""},
      {"a;b", "\"a;b\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {" lead", "\" lead\""},
      {"trail ", "\"trail \""},
      {"PN   ", "\"PN   \""},
      {"a\tb", "\"a\tb\""},
      {"SC 4:00\r\nD 4:00", "\"SC 4:00\r\nD 4:00\""},
      {"x\ny", "\"x\r\ny\""},
      {"x\ry", "\"x\r\ny\""},
      // Spreadsheet programs offer the comma as a separator too (LibreOffice
      // splits at ",", ";" and tabs unless told otherwise).
      {"a,b", "\"a,b\""},
      {"Novák, Ján", "\"Novák, Ján\""},
      {"8:00, LK 1:00", "\"8:00, LK 1:00\""},
  };
  for (const auto& c : cases) {
    core::Grid g(2, 1);
    g.setCell(0, 0, c.cell);
    g.setCell(1, 0, "end");
    EXPECT_EQ(exports::GridToCsv(g), c.written + ";end\r\n") << c.cell;
  }
}

TEST(ExportCsv, OneLinePerRowEveryColumnWithBom) {
  TempDir dir;
  const auto file = dir / "out.csv";
  std::string message;
  ASSERT_TRUE(exports::ExportCsv(file, SampleGrid(), &message)) << message;
  const std::string bytes = ReadBytes(file);
  ASSERT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_EQ(bytes.substr(3),
            "Meno;Nadčas;1-Pon;\"PN   \"\r\n"
            "Ľubomír Šťastný;\"-8:00\";\"=8:30\";\"a;b \"\"c\"\"\"\r\n"
            "Žofia;;\"SC 4:00\r\nD 4:00\";\r\n");
}

TEST(ExportHtml, EscapedTableWithCharsetAndLineBreaks) {
  core::Grid g(2, 2);
  g.setCell(0, 0, "Meno");
  g.setCell(1, 0, "<b>&\"'");
  g.setCell(0, 1, "Šťastný");
  g.setCell(1, 1, "SC 4:00\r\nD 4:00\nx\ry");
  const std::string html = exports::GridToHtml(g, "Vykaz <3/2005>");
  EXPECT_NE(html.find("<meta charset=\"utf-8\">"), std::string::npos);
  EXPECT_NE(html.find("<title>Vykaz &lt;3/2005&gt;</title>"), std::string::npos);
  EXPECT_NE(html.find("<tr><th>Meno</th><th>&lt;b&gt;&amp;&quot;&#39;</th></tr>"), std::string::npos);
  EXPECT_NE(html.find("<tr><td>Šťastný</td><td>SC 4:00<br>D 4:00<br>x<br>y</td></tr>"), std::string::npos);
  EXPECT_EQ(html.find("<b>"), std::string::npos);
}

TEST(ExportHtml, WritesFileAndKeepsOldOneOnFailure) {
  TempDir dir;
  const auto file = dir / "r.html";
  ASSERT_TRUE(exports::ExportHtml(file, SampleGrid()));
  EXPECT_NE(ReadBytes(file).find("Ľubomír Šťastný"), std::string::npos);

  std::string message;
  const auto missing = dir / "no" / "such" / "r.html";
  EXPECT_FALSE(exports::ExportHtml(missing, SampleGrid(), {}, &message));
  EXPECT_EQ(message, "Nie je možné zapísať súbor: " + core::DisplayPath(missing));
  EXPECT_FALSE(exports::ExportCsv(missing, SampleGrid(), &message));
}

TEST(ExportFormat, ChosenByExtension) {
  using exports::ExportFormat;
  EXPECT_EQ(exports::FormatFromExtension("a/b.XLSX"), ExportFormat::Xlsx);
  EXPECT_EQ(exports::FormatFromExtension("b.csv"), ExportFormat::Csv);
  EXPECT_EQ(exports::FormatFromExtension("b.Html"), ExportFormat::Html);
  EXPECT_EQ(exports::FormatFromExtension("b.htm"), ExportFormat::Html);
  EXPECT_FALSE(exports::FormatFromExtension("b.xls"));
  EXPECT_FALSE(exports::FormatFromExtension("b.zdr"));
  EXPECT_FALSE(exports::FormatFromExtension("noext"));
}

TEST(ExportXlsx, EveryCellIsAStringFromA1) {
  TempDir dir;
  const auto file = dir / "report.xlsx";
  std::string message;
  std::string detail;
  ASSERT_TRUE(exports::ExportXlsx(file, SampleGrid(), &message, &detail)) << detail;
  const std::string bytes = ReadBytes(file);
  ASSERT_GE(bytes.size(), 4u);
  EXPECT_EQ(bytes.substr(0, 2), "PK");
  if (!HaveUnzip()) GTEST_SKIP() << "unzip is not installed";
  const std::string strings = Unzip(file, "xl/sharedStrings.xml", dir);
  const std::string sheet = Unzip(file, "xl/worksheets/sheet1.xml", dir);
  ASSERT_FALSE(strings.empty());
  ASSERT_FALSE(sheet.empty());
  for (const char* text : {"Meno", "Nadčas", "Ľubomír Šťastný", "=8:30", "-8:00", "Žofia", "PN   "}) {
    EXPECT_NE(strings.find(std::string(">") + text + "<"), std::string::npos) << text;
  }
  EXPECT_NE(strings.find("SC 4:00\nD 4:00"), std::string::npos);
  // No formulas and no numbers: every written cell is a shared string.
  EXPECT_EQ(sheet.find("<f>"), std::string::npos);
  EXPECT_NE(sheet.find("<c r=\"A1\""), std::string::npos);
  EXPECT_NE(sheet.find("<c r=\"C2\""), std::string::npos);
  EXPECT_EQ(sheet.find("<c r=\"B3\""), std::string::npos);  // empty cells are not written
  std::size_t cells = 0;
  std::size_t strCells = 0;
  for (std::size_t p = sheet.find("<c r="); p != std::string::npos; p = sheet.find("<c r=", p + 1)) {
    ++cells;
    const std::size_t end = sheet.find('>', p);
    if (sheet.substr(p, end - p).find("t=\"s\"") != std::string::npos) ++strCells;
  }
  EXPECT_EQ(cells, 10u);
  EXPECT_EQ(strCells, cells);
  EXPECT_NE(sheet.find("<col min=\"1\" max=\"1\""), std::string::npos);  // width of column 0
}

// Splits comma-separated text with double-quoted fields into rows of cells.
std::vector<std::vector<std::string>> ParseCommaCsv(const std::string& text) {
  std::vector<std::vector<std::string>> rows(1);
  std::string cell;
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        cell += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        cell += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      rows.back().push_back(cell);
      cell.clear();
    } else if (c == '\n' || c == '\r') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      rows.back().push_back(cell);
      cell.clear();
      rows.emplace_back();
    } else {
      cell += c;
    }
  }
  if (!cell.empty() || !rows.back().empty()) rows.back().push_back(cell);
  if (rows.back().empty()) rows.pop_back();
  return rows;
}

// The workbook opened by a real spreadsheet program (LibreOffice, when it is
// installed) shows every cell's text as it was: nothing is taken for a
// number, a time or a formula, Slovak letters stay, line breaks stay.
TEST(ExportXlsx, SpreadsheetProgramReadsBackEveryText) {
  if (std::system("command -v soffice >/dev/null 2>&1") != 0) GTEST_SKIP() << "soffice is not installed";
  const std::vector<std::vector<std::string>> texts = {
      {"Meno", "Os číslo", "Nadčas", "1-Pon", "PN   "},
      {"Ľubomír Šťastný", "007", "-8:00", "=8:30", "a;b, \"c\""},
      {"Žofia Ďurica", "10000", "+1", "SC 4:00\r\nD 4:00", "=SUM(1;2)"},
      {"@x", "1.5", "50%", "TRUE", "  odsadené"},
      {"", "8:30", "", "D 08:30", ""},
  };
  core::Grid g(5, 5);
  for (int r = 0; r < 5; ++r) {
    for (int c = 0; c < 5; ++c) g.setCell(c, r, texts[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]);
  }
  TempDir dir;
  const auto file = dir / "vykaz.xlsx";
  std::string detail;
  ASSERT_TRUE(exports::ExportXlsx(file, g, nullptr, &detail)) << detail;

  // A profile of its own, so that a running office or the user's settings
  // play no part.
  const auto out = dir / "out";
  const std::string profile = "file://" + (dir / "profile").string();
  const std::string cmd = "HOME='" + (dir / "home").string() +
                          "' timeout 120 soffice -env:UserInstallation=" + profile +
                          " --headless --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76,1' --outdir '" +
                          out.string() + "' '" + file.string() + "' >/dev/null 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
  const auto rows = ParseCommaCsv(ReadBytes(out / "vykaz.csv"));
  ASSERT_EQ(rows.size(), texts.size());
  for (std::size_t r = 0; r < texts.size(); ++r) {
    for (std::size_t c = 0; c < texts[r].size(); ++c) {
      std::string expected = texts[r][c];
      // The workbook's own line break is a line feed.
      for (std::size_t p = expected.find("\r\n"); p != std::string::npos; p = expected.find("\r\n", p)) {
        expected.erase(p, 1);
      }
      const std::string shown = c < rows[r].size() ? rows[r][c] : std::string();
      EXPECT_EQ(shown, expected) << "row " << r << ", column " << c;
    }
  }
}

TEST(ExportXlsx, ControlCharactersAndBrokenTextStillMakeAValidWorkbook) {
  TempDir dir;
  core::Grid g(2, 1);
  g.setCell(0, 0,
            std::string("a\x08"
                        "b\x01"));
  g.setCell(1, 0, std::string("\xC3(ok"));
  const auto file = dir / "odd.xlsx";
  ASSERT_TRUE(exports::ExportXlsx(file, g));
  if (!HaveUnzip()) GTEST_SKIP() << "unzip is not installed";
  const std::string strings = Unzip(file, "xl/sharedStrings.xml", dir);
  EXPECT_NE(strings.find(">ab<"), std::string::npos);
  EXPECT_NE(strings.find(">?(ok<"), std::string::npos);
}

TEST(ExportXlsx, FailureGivesTheSpreadsheetMessageAndKeepsTheOldFile) {
  TempDir dir;
  const auto file = dir / "keep.xlsx";
  testing_support::WriteBytes(file, "old");
  // A directory in the way of the rename makes the final step fail.
  const auto blocked = dir / "blocked.xlsx";
  std::filesystem::create_directory(blocked);
  std::filesystem::create_directory(blocked / "x");
  std::string message;
  EXPECT_FALSE(exports::ExportXlsx(blocked, SampleGrid(), &message));
  EXPECT_EQ(message, "Excel OLE server not found");
  EXPECT_FALSE(exports::ExportXlsx(dir / "missing" / "r.xlsx", SampleGrid(), &message));
  EXPECT_EQ(message, "Excel OLE server not found");
  EXPECT_EQ(ReadBytes(file), "old");
  // No scratch files are left behind in the target folder.
  int entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++entries;
  EXPECT_EQ(entries, 2);
}

}  // namespace
