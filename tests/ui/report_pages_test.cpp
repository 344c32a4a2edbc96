// The printed report's page plan and its drawing on a PDF: rows and column
// bands split across pages, hidden rows left out, the header row and the
// name column on every page, page numbers.

#include <gtest/gtest.h>
#include <QBuffer>
#include <QPdfWriter>

#include <cstdio>

#include "print/report_pages.h"
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
                                           PlanCase{"fit to width", 20, 10, {}, true, 500, 365, 1, 10, 20},
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

}  // namespace
