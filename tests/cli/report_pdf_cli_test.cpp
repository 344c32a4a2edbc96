// vortane-cli report --out FILE.pdf: the report's pages as the window prints
// them, and what a failed write leaves behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "core/path_text.h"
#include "support/test_support.h"

namespace {

using testing_support::ReadBytes;
using testing_support::TempDir;
using testing_support::WriteBytes;
using testing_support::WriteCp1250;

struct Installation {
  TempDir dir;
  Installation() {
    WriteCp1250(dir / "vortane.ini", "[GLOBAL]\r\nLOGDIR=Log\r\n");
    std::filesystem::create_directory(dir / "Log");
    WriteCp1250(dir / "sviatky.txt", "");
    WriteCp1250(dir / "prac.txt",
                "Ján Novák\t101\t11\tVýroba\t0\t0\t100\t30\t\r\n"
                "Eva Malá\t102\t12\tSklad\t0\t0\t100\t0\t\r\n");
    WriteBytes(dir / "Log" / "11_2026.txt", "2.11.2026 7:00:00\t11\t0\r\n2.11.2026 15:30:00\t11\t16\r\n");
  }
  std::string path() const { return core::Utf8FromPath(dir.path()); }
};

std::string PdfText(const std::filesystem::path& file) {
  std::string text;
  const std::string cmd = "pdftotext -layout '" + core::Utf8FromPath(file) + "' - 2>/dev/null";
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[4096];
    for (std::size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) text.append(buf, n);
    pclose(p);
  }
  return text;
}

TEST(ReportPdfCli, WritesThePagesWithTheHeaderRowAndNamesOnEach) {
  Installation inst;
  const auto pdf = inst.dir / "výkaz.pdf";
  const auto r = testing_support::RunCli(
      {"report", "--dir", inst.path(), "--month", "11", "--year", "2026", "--out", core::Utf8FromPath(pdf)});
  if (r.status == 2) GTEST_SKIP() << "a build without the Qt parts refuses PDF output: " << r.err;
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.err.empty()) << r.err;
  ASSERT_EQ(ReadBytes(pdf).substr(0, 5), "%PDF-");
  const std::string text = PdfText(pdf);
  if (text.empty()) GTEST_SKIP() << "pdftotext is not available";
  // The columns run across several pages; each repeats the title, the header
  // row and the names, and is numbered.
  std::vector<std::string> pages;
  std::size_t start = 0;
  for (std::size_t ff; (ff = text.find('\f', start)) != std::string::npos; start = ff + 1)
    pages.push_back(text.substr(start, ff - start));
  ASSERT_GE(pages.size(), 2u);
  const std::string total = std::to_string(pages.size());
  for (std::size_t i = 0; i < pages.size(); ++i) {
    std::string compact;
    for (char c : pages[i])
      if (c != ' ') compact += c;
    EXPECT_NE(compact.find("Výkazdochádzky11/2026"), std::string::npos) << i;
    EXPECT_NE(compact.find("Meno"), std::string::npos) << i;
    EXPECT_NE(compact.find("EvaMalá"), std::string::npos) << i;
    EXPECT_NE(compact.find(std::to_string(i + 1) + "/" + total), std::string::npos) << i;
  }
  EXPECT_NE(pages[0].find("8:30"), std::string::npos);  // Ján's time at work
}

TEST(ReportPdfCli, AFileThatCannotBeWrittenIsReportedAndAnOldOneStays) {
  Installation inst;
  std::filesystem::create_directory(inst.dir / "folder.pdf");
  const auto r = testing_support::RunCli({"report", "--dir", inst.path(), "--month", "11", "--year", "2026", "--out",
                                          core::Utf8FromPath(inst.dir / "folder.pdf")});
  if (r.status == 2) GTEST_SKIP() << "a build without the Qt parts refuses PDF output";
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(r.err.empty());
  EXPECT_TRUE(std::filesystem::is_directory(inst.dir / "folder.pdf"));
}

}  // namespace

namespace {

TEST(SheetsPdfCli, EveryEmployeesSheetOnItsOwnPageInListOrder) {
  Installation inst;
  const auto pdf = inst.dir / "listy.pdf";
  const auto r = testing_support::RunCli(
      {"sheets", "--dir", inst.path(), "--month", "11", "--year", "2026", "--out", core::Utf8FromPath(pdf)});
  if (r.status == 2) GTEST_SKIP() << "a build without the Qt parts refuses PDF output: " << r.err;
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "2\n");
  const std::string text = PdfText(pdf);
  if (text.empty()) GTEST_SKIP() << "pdftotext is not available";
  const auto pages = std::count(text.begin(), text.end(), '\f');
  EXPECT_EQ(pages, 2);
  const auto jan = text.find("Ján Novák");
  const auto eva = text.find("Eva Malá");
  ASSERT_NE(jan, std::string::npos);
  ASSERT_NE(eva, std::string::npos);
  EXPECT_LT(jan, text.find('\f'));  // Ján's sheet is the first page
  EXPECT_GT(eva, text.find('\f'));
  EXPECT_NE(text.find("8:30"), std::string::npos);
  EXPECT_NE(text.find("Podpis vedúceho", eva), std::string::npos);

  // Without the month's log nothing is written and the robot says why.
  const auto none = testing_support::RunCli({"sheets", "--dir", inst.path(), "--month", "10", "--year", "2026",
                                             "--out", core::Utf8FromPath(inst.dir / "none.pdf")});
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.err.find("Nie je možné otvorit súbor"), std::string::npos) << none.err;
  EXPECT_FALSE(std::filesystem::exists(inst.dir / "none.pdf"));
}

}  // namespace
