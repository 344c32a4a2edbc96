// The printed report's page plan and its drawing on a PDF: rows and column
// bands split across pages, hidden rows left out, the header row and the
// name column on every page, page numbers.

#include <gtest/gtest.h>
#include <QBuffer>
#include <QPdfWriter>

#include <cstdio>
#include <set>

#include "print/report_pages.h"
#include "support/pdf_words.h"
#include "support/test_support.h"

namespace {

// `rows` data rows of `columns` columns of width 50 after a name column of 150.
core::Grid MakeGrid(int columns, int rows) {
  core::Grid g(columns + 1, rows + 1);
  g.setColumnWidth(0, 150);
  g.setCell(0, 0, "Meno");
  for (int c = 1; c <= columns; ++c) {
    g.setColumnWidth(c, 50);
    g.setCell(c, 0, "H" + std::to_string(c));
  }
  for (int r = 1; r <= rows; ++r) {
    g.setCell(0, r, "Meno " + std::to_string(r));
    for (int c = 1; c <= columns; ++c) g.setCell(c, r, std::to_string(r) + ":" + std::to_string(c));
  }
  return g;
}

struct PlanCase {
  const char* what;
  int columns, rows;
  std::vector<int> hidden;  // grid rows
  bool fit;
  int pageWidth, pageHeight;  // at 96 dpi, so window pixels
  int pages;
  int rowsOnFirstPage;
  int lastColumnOnFirstPage;
};

class ReportPlanTest : public ::testing::TestWithParam<PlanCase> {};

TEST_P(ReportPlanTest, Pages) {
  const PlanCase& c = GetParam();
  const core::Grid grid = MakeGrid(c.columns, c.rows);
  std::vector<bool> hidden(static_cast<std::size_t>(grid.rowCount()), false);
  for (int r : c.hidden) hidden[static_cast<std::size_t>(r)] = true;
  print::ReportPrintOptions o;
  o.fitToWidth = c.fit;
  o.headerText = QStringLiteral("Výkaz");  // 22 for the title, 20 for "n / m"
  const auto plan = print::PlanReportPages(grid, hidden, o, c.pageWidth, c.pageHeight, 96);
  ASSERT_EQ(static_cast<int>(plan.pages.size()), c.pages) << c.what;
  EXPECT_EQ(static_cast<int>(plan.pages[0].rows.size()), c.rowsOnFirstPage) << c.what;
  EXPECT_EQ(plan.pages[0].lastColumn, c.lastColumnOnFirstPage) << c.what;
  // Every shown row is printed once per band of columns, none of the hidden.
  std::vector<int> printed(static_cast<std::size_t>(grid.rowCount()), 0);
  for (const auto& page : plan.pages)
    for (int r : page.rows) ++printed[static_cast<std::size_t>(r)];
  const int bands =
      static_cast<int>(plan.pages.size()) /
      std::max<int>(1, static_cast<int>(std::count_if(plan.pages.begin(), plan.pages.end(), [&](const auto& p) {
                      return p.firstColumn == plan.pages[0].firstColumn;
                    })));
  for (int r = 1; r < grid.rowCount(); ++r)
    EXPECT_EQ(printed[static_cast<std::size_t>(r)], hidden[static_cast<std::size_t>(r)] ? 0 : bands)
        << c.what << " row " << r;
}

// Page 500 x 365: 22 for the title, 20 for the page number, 17 for the header
// row: 306 for 18 rows of 17.
INSTANTIATE_TEST_SUITE_P(Cases, ReportPlanTest,
                         ::testing::Values(PlanCase{"one page", 5, 10, {}, false, 500, 365, 1, 10, 5},
                                           PlanCase{"rows split", 5, 40, {}, false, 500, 365, 3, 18, 5},
                                           PlanCase{"exactly full", 5, 18, {}, false, 500, 365, 1, 18, 5},
                                           PlanCase{"one more", 5, 19, {}, false, 500, 365, 2, 18, 5},
                                           PlanCase{"hidden rows", 5, 20, {1, 2, 3}, false, 500, 365, 1, 17, 5},
                                           // 350 after the names: 7 columns of 50 per band.
                                           PlanCase{"column bands", 20, 10, {}, false, 500, 365, 3, 10, 7},
                                           PlanCase{"fit to width", 8, 10, {}, true, 500, 365, 1, 10, 8},
                                           // Fitting 1150 into 500 would go below 6 pt: at the
                                           // readable scale (6 / 8.25) 537 after the names, 10
                                           // columns of 50 per band.
                                           PlanCase{"fit only to a readable size", 20, 10, {}, true, 500, 365, 2,
                                                    10, 10},
                                           PlanCase{"no rows", 5, 0, {}, false, 500, 365, 1, 0, 5}));

TEST(ReportRowHeight, GrowsWithTheLinesOfItsTallestCell) {
  core::Grid g = MakeGrid(3, 1);
  EXPECT_EQ(print::ReportRowHeight(g, 1, 3), 17);
  g.setCell(2, 1, "PR 7:00\r\nOD 15:00\r\n");
  EXPECT_EQ(print::ReportRowHeight(g, 1, 3), 17 + 14);
  g.setCell(3, 1, "a\rb\rc");
  EXPECT_EQ(print::ReportRowHeight(g, 1, 3), 17 + 28);
  EXPECT_EQ(print::ReportRowHeight(g, 1, 2), 17 + 14);  // columns after the last printed do not count
}

TEST(ReportPdf, EveryPageRepeatsTheHeaderRowAndTheNamesAndIsNumbered) {
  testing_support::TempDir tmp;
  const core::Grid grid = MakeGrid(40, 120);
  std::vector<bool> hidden(static_cast<std::size_t>(grid.rowCount()), false);
  hidden[5] = true;
  const auto file = tmp / "r.pdf";
  print::ReportPrintOptions o;
  o.headerText = QStringLiteral("Výkaz dochádzky 11/2026");
  print::PrintOutcome outcome;
  {
    QPdfWriter writer(QString::fromStdString(core::Utf8FromPath(file)));
    writer.setResolution(300);
    print::ApplyReportPageLayout(writer, o);
    outcome = print::PrintReport(writer, grid, hidden, o);
  }
  ASSERT_TRUE(outcome.ok);
  ASSERT_GT(outcome.pages, 2);
  std::string text;
  const std::string cmd = "pdftotext -layout '" + core::Utf8FromPath(file) + "' - 2>/dev/null";
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[4096];
    for (std::size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) text.append(buf, n);
    pclose(p);
  }
  if (text.empty()) GTEST_SKIP() << "pdftotext is not available";
  std::vector<std::string> pages;
  std::size_t start = 0;
  for (std::size_t ff; (ff = text.find('\f', start)) != std::string::npos; start = ff + 1)
    pages.push_back(text.substr(start, ff - start));
  ASSERT_EQ(static_cast<int>(pages.size()), outcome.pages);
  for (int i = 0; i < outcome.pages; ++i) {
    const std::string& page = pages[static_cast<std::size_t>(i)];
    EXPECT_NE(page.find("Výkaz dochádzky 11/2026"), std::string::npos) << i;
    EXPECT_NE(page.find("Meno "), std::string::npos) << i;
    EXPECT_NE(page.find(std::to_string(i + 1) + " / " + std::to_string(outcome.pages)), std::string::npos) << i;
    EXPECT_EQ(page.find("Meno 5 "), std::string::npos) << i;  // the hidden row
  }
}

// A month of 300 employees does not fit across a landscape page at a size
// one can read: fit to width stops at about 6 pt and prints the rest in
// bands, each page saying which days it holds, every page with the date.
TEST(ReportPdf, FitToWidthStaysReadableAndBandsSayTheirDays) {
  if (!testing_support::HavePdfToText()) GTEST_SKIP() << "pdftotext is not installed";
  core::Grid grid(51, 301);
  grid.setColumnWidth(0, 150);
  grid.setCell(0, 0, "Meno");
  for (int c = 1; c < 20; ++c) {
    grid.setColumnWidth(c, 64);
    grid.setCell(c, 0, "Súčet" + std::to_string(c));
  }
  for (int d = 1; d <= 30; ++d) {
    const int c = 19 + d;
    grid.setColumnWidth(c, 42);
    grid.setCell(c, 0, d == 17 ? "Sviatok" : std::to_string(d) + "-Pon");
  }
  for (int r = 1; r <= 300; ++r) {
    grid.setCell(0, r, "Katarína Horváth " + std::to_string(r));
    for (int c = 1; c < 50; ++c) grid.setCell(c, r, c < 20 ? "168:34" : "DS 8:00");
  }
  testing_support::TempDir tmp;
  const auto file = tmp / "fit.pdf";
  print::ReportPrintOptions o;
  o.headerText = QStringLiteral("Výkaz dochádzky 11/2026");
  o.fitToWidth = true;
  {
    QPdfWriter writer(QString::fromStdString(core::Utf8FromPath(file)));
    writer.setResolution(300);
    print::ApplyReportPageLayout(writer, o);
    ASSERT_TRUE(print::PrintReport(writer, grid, {}, o).ok);
  }
  const auto pages = testing_support::ReadPdfWords(file);
  ASSERT_GT(pages.size(), 1u);
  std::set<std::string> days;
  for (std::size_t i = 0; i < pages.size(); ++i) {
    const auto& page = pages[i];
    // Body text of 6 pt makes word boxes of some 7 pt.
    for (const auto& w : page.find("168:34")) EXPECT_GE(w.yMax - w.yMin, 6.5) << "page " << i;
    for (const auto& w : page.find("DS")) EXPECT_GE(w.yMax - w.yMin, 6.5) << "page " << i;
    const std::string text = page.text();
    EXPECT_NE(text.find("Vytlacené: "), std::string::npos) << "page " << i;
    const auto at = text.find("dni ");
    if (text.find("-Pon") != std::string::npos) {
      ASSERT_NE(at, std::string::npos) << "page " << i << ": " << text;
      days.insert(text.substr(at, text.find(' ', at + 4) - at));
    }
  }
  // Two bands of days at least, and the holiday's column keeps its day.
  EXPECT_GE(days.size(), 2u);
  EXPECT_TRUE(days.count("dni 1.-5.") || days.begin()->rfind("dni 1.-", 0) == 0) << *days.begin();
  bool holiday = false;
  for (const auto& page : pages) holiday = holiday || page.text().find("17 Sviatok") != std::string::npos;
  EXPECT_TRUE(holiday);
}

}  // namespace
