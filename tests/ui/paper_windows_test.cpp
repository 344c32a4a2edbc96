// The windows' paper and exports are those of the command-line tool: the
// sheet's and the report's print stamp in the installation's own format,
// margins, the workbook's named worksheets and the HTML page's title; the
// report window's workbook is the very file vortane-cli writes.

#include <gtest/gtest.h>
#include <QApplication>
#include <QComboBox>
#include <QPrinter>

#include <memory>

#include "core/messages.h"
#include "core/path_text.h"
#include "core/program_settings.h"
#include "report_test_installation.h"
#include "support/pdf_words.h"
#include "support/test_support.h"
#include "ui/report_print_setup.h"
#include "ui/sheet_window.h"

namespace {

using testing_support::kPointsPerMm;
using testing_support::ReadBytes;

using testing_support::Unzip;

bool HaveUnzip() { return std::system("unzip -v >/dev/null 2>&1") == 0; }

// The report window's installation with Anna's sheet window beside it; the
// window's clock says 9 December 2026, 10:15.
class PaperWindowsTest : public ::testing::Test {
 protected:
  std::unique_ptr<ui::Tfrmlist> sheetWindow() {
    ui::SheetWindowContext ctx{inst.settings,
                               inst.employees,
                               inst.dir,
                               inst.messages,
                               inst.op,
                               inst.files,
                               [](const QUrl&) {},
                               [] { return QDateTime(QDate(2026, 12, 9), QTime(10, 15)); },
                               {},
                               {},
                               {}};
    auto w = std::make_unique<ui::Tfrmlist>(std::move(ctx));
    w->showForPeriod(11, 2026);
    QApplication::processEvents();
    w->findChild<QComboBox*>(QStringLiteral("ComboBox1"))->setCurrentIndex(1);
    w->a_robotExecute();
    return w;
  }
  report_ui_test::Installation inst;
};

TEST_F(PaperWindowsTest, SheetPrintStampIsTheInstallationsFormatInsideTheMargins) {
  if (!testing_support::HavePdfToText()) GTEST_SKIP() << "pdftotext is not installed";
  auto w = sheetWindow();
  const auto pdf = inst.tmp.path() / "anna.pdf";
  w->setPrintDialogRunner([&](QPrinter& printer) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(core::Utf8FromPath(pdf)));
    return true;
  });
  w->A_printExecute();
  const auto pages = testing_support::ReadPdfWords(pdf);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_NE(pages[0].text().find("Vytlacené: 9.12.2026 10:15"), std::string::npos) << pages[0].text();
  std::string outside;
  for (const auto& line : testing_support::WordsOutside(pages[0], 19 * kPointsPerMm, 9 * kPointsPerMm,
                                                        9 * kPointsPerMm, 9 * kPointsPerMm))
    outside += line + "\n";
  EXPECT_EQ(outside, "");
}

TEST_F(PaperWindowsTest, SheetExportsAreTitledAndNamedByTheirEmployeeAndMonth) {
  auto w = sheetWindow();
  inst.files.saveAnswers = {inst.choice("anna", 2), inst.choice("anna", 3)};
  w->a_saveasExecute();
  w->a_saveasExecute();
  const std::string html = ReadBytes(inst.tmp.path() / "anna.html");
  EXPECT_NE(html.find("<html lang=\"sk\">"), std::string::npos);
  EXPECT_NE(html.find("<title>Dochádzkový list Anna Horná 11/2026</title>"), std::string::npos);
  if (!HaveUnzip()) GTEST_SKIP() << "unzip is not installed";
  const std::string book = Unzip(inst.tmp.path() / "anna.xlsx", "xl/workbook.xml");
  EXPECT_NE(book.find("name=\"List Anna Horná\""), std::string::npos) << book;
  EXPECT_NE(Unzip(inst.tmp.path() / "anna.xlsx", "xl/worksheets/sheet1.xml").find("state=\"frozen\""),
            std::string::npos);
  EXPECT_TRUE(inst.op.messages.empty());
}

TEST_F(PaperWindowsTest, ReportWindowWritesTheWorkbookAndPageTheToolWrites) {
  if (!HaveUnzip()) GTEST_SKIP() << "unzip is not installed";
  auto w = inst.window();
  w->BTmakeClick();
  inst.files.saveAnswers = {inst.choice("okno.xlsx"), inst.choice("okno.html")};
  w->ExportTabulky();
  w->ExportTabulky();
  ASSERT_TRUE(inst.op.messages.empty());
  const auto cli = testing_support::RunCli({"report", "--dir", core::Utf8FromPath(inst.dir.dir), "--month", "11",
                                            "--year", "2026", "--out", core::Utf8FromPath(inst.tmp.path() / "cli.xlsx")});
  ASSERT_EQ(cli.status, 0) << cli.err;
  ASSERT_EQ(testing_support::RunCli({"report", "--dir", core::Utf8FromPath(inst.dir.dir), "--month", "11", "--year",
                                     "2026", "--out", core::Utf8FromPath(inst.tmp.path() / "cli.html")})
                .status,
            0);
  for (const char* member : {"xl/workbook.xml", "xl/worksheets/sheet1.xml", "xl/worksheets/sheet2.xml",
                             "xl/sharedStrings.xml", "xl/styles.xml"}) {
    const std::string window = Unzip(inst.tmp.path() / "okno.xlsx", member);
    EXPECT_FALSE(window.empty()) << member;
    EXPECT_EQ(window, Unzip(inst.tmp.path() / "cli.xlsx", member)) << member;
  }
  EXPECT_NE(Unzip(inst.tmp.path() / "okno.xlsx", "xl/workbook.xml").find("name=\"Výkaz 11-2026\""),
            std::string::npos);
  const std::string html = ReadBytes(inst.tmp.path() / "okno.html");
  EXPECT_EQ(html, ReadBytes(inst.tmp.path() / "cli.html"));
  EXPECT_NE(html.find("<title>Výkaz dochádzky 11/2026</title>"), std::string::npos);
}

TEST_F(PaperWindowsTest, ReportPagesCarryThePrintDate) {
  if (!testing_support::HavePdfToText()) GTEST_SKIP() << "pdftotext is not installed";
  auto w = inst.window();
  w->BTmakeClick();
  w->setPrintSetupRunner([](const print::ReportPrintOptions& o) {
    return std::make_optional(std::make_pair(static_cast<int>(ui::Tfrmprnsetup::Choice::Pdf), o));
  });
  inst.files.saveAnswers = {inst.choice("vykaz.pdf")};
  w->BTprintClick();
  const auto pages = testing_support::ReadPdfWords(inst.tmp.path() / "vykaz.pdf");
  ASSERT_FALSE(pages.empty());
  const QString today = QDate::currentDate().toString(QStringLiteral("d.M.yyyy"));
  for (std::size_t i = 0; i < pages.size(); ++i)
    EXPECT_NE(pages[i].text().find("Vytlacené: " + today.toStdString()), std::string::npos) << pages[i].text();
}

}  // namespace
