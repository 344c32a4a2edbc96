// The report period dialog: its defaults, the refusals that close it, the
// fields that are not numbers, which keep it open, and Escape.

#include <gtest/gtest.h>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include "accessibility_walk.h"
#include "report_test_installation.h"
#include "robot/report_files.h"
#include "ui/report_period_dialog.h"

namespace {

using report_ui_test::Installation;

QDateTime Today() { return QDateTime(QDate(2026, 11, 20), QTime(9, 0)); }

template <typename T>
T* Child(QWidget* w, const char* name) {
  T* found = w->findChild<T*>(QLatin1String(name));
  EXPECT_NE(found, nullptr) << name;
  return found;
}

TEST(ReportPeriodDialog, DefaultsToThisMonthAndANewReport) {
  Installation inst;
  ui::Tfrmpredrep d(inst.settings, inst.dir, inst.op, Today);
  d.show();
  QApplication::processEvents();
  EXPECT_EQ(d.windowTitle(), QStringLiteral("Údaje pre výkaz dochádzky"));
  auto* month = Child<QSpinBox>(&d, "CMBrepmes");
  auto* year = Child<QSpinBox>(&d, "CMBreprok");
  EXPECT_EQ(month->value(), 11);
  EXPECT_EQ(year->value(), 2026);
  EXPECT_EQ(year->minimum(), 2000);
  EXPECT_EQ(year->maximum(), 2027);
  EXPECT_TRUE(Child<QRadioButton>(&d, "RadioButton2")->isChecked());
  EXPECT_FALSE(Child<QRadioButton>(&d, "RadioButton1")->isChecked());
  const auto problems = testing_support::AccessibilityProblems(&d);
  EXPECT_TRUE(problems.empty()) << problems.front();
  d.BitBtn1Click();
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_EQ(d.month(), 11);
  EXPECT_EQ(d.year(), 2026);
  EXPECT_FALSE(d.reopenSavedReport());
  EXPECT_EQ(d.monthLogFile(), inst.logFile());
  EXPECT_EQ(d.employees().employees().size(), 4u);
  EXPECT_TRUE(inst.op.messages.empty());
}

struct OkCase {
  const char* what;
  const char* monthText;  // typed over the field; null keeps the default
  const char* yearText;
  bool emptyEmployeeFile;
  int result;           // QDialog::Accepted, Rejected, or -1 for "still open"
  const char* message;  // start of the message shown, or empty
};

class ReportPeriodOkTest : public ::testing::TestWithParam<OkCase> {};

TEST_P(ReportPeriodOkTest, Ok) {
  const OkCase& c = GetParam();
  Installation inst;
  if (c.emptyEmployeeFile) testing_support::WriteCp1250(inst.dir.employeeFile(), ";nikto\r\n");
  ui::Tfrmpredrep d(inst.settings, inst.dir, inst.op, Today);
  d.show();
  QApplication::processEvents();
  auto type = [](QSpinBox* box, const char* text) {
    if (text == nullptr) return;
    auto* edit = box->findChild<QLineEdit*>();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, QString::fromUtf8(text));
  };
  type(Child<QSpinBox>(&d, "CMBrepmes"), c.monthText);
  type(Child<QSpinBox>(&d, "CMBreprok"), c.yearText);
  d.BitBtn1Click();
  if (c.result < 0) {
    EXPECT_TRUE(d.isVisible()) << c.what;
  } else {
    EXPECT_FALSE(d.isVisible()) << c.what;
    EXPECT_EQ(d.result(), c.result) << c.what;
  }
  if (*c.message == '\0') {
    EXPECT_TRUE(inst.op.messages.empty()) << c.what;
  } else {
    ASSERT_EQ(inst.op.messages.size(), 1u) << c.what;
    EXPECT_EQ(inst.op.messages[0].rfind(c.message, 0), 0u) << c.what << ": " << inst.op.messages[0];
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, ReportPeriodOkTest,
                         ::testing::Values(OkCase{"defaults", nullptr, nullptr, false, QDialog::Accepted, ""},
                                           OkCase{"month without a log", "4", "2022", false, QDialog::Rejected,
                                                  "Nemame žiadne záznamy pre zvolený mesiac\rVyberte iný mesiac"},
                                           OkCase{"empty employee file", nullptr, nullptr, true, QDialog::Rejected,
                                                  "Subor pracovnikov je prazdny alebo neexistuje"},
                                           OkCase{"month emptied", "", nullptr, false, -1, "Mesiac musí byť číslo"},
                                           OkCase{"year half typed", nullptr, "20", false, -1,
                                                  "Rok musí byť číslo od 2000 do 2027"}));

TEST(ReportPeriodDialog, EscapeCancelsAndTheReopenChoiceIsKept) {
  Installation inst;
  ui::Tfrmpredrep d(inst.settings, inst.dir, inst.op, Today);
  d.show();
  QApplication::processEvents();
  Child<QRadioButton>(&d, "RadioButton1")->click();
  QTest::keyClick(&d, Qt::Key_Escape);
  EXPECT_FALSE(d.isVisible());
  EXPECT_EQ(d.result(), QDialog::Rejected);
  d.show();
  d.BitBtn1Click();
  EXPECT_TRUE(d.reopenSavedReport());
  EXPECT_FALSE(d.newReport());
}


TEST(ReportPeriodDialog, KeepsTheMonthYearAndChoiceOfItsLastUseDuringARun) {
  Installation inst;
  ui::ReportPeriodMemory memory;
  for (const bool ok : {false, true}) {
    ui::Tfrmpredrep d(inst.settings, inst.dir, inst.op, Today);
    d.setMemory(&memory);
    d.show();
    QApplication::processEvents();
    Child<QSpinBox>(&d, "CMBrepmes")->setValue(4);
    Child<QSpinBox>(&d, "CMBreprok")->setValue(2022);
    Child<QRadioButton>(&d, "RadioButton1")->click();
    if (ok) {
      d.BitBtn1Click();  // no log for April 2022: refused, and still remembered
    } else {
      QTest::keyClick(&d, Qt::Key_Escape);
    }
    ui::Tfrmpredrep next(inst.settings, inst.dir, inst.op, Today);
    next.setMemory(&memory);
    next.show();
    QApplication::processEvents();
    EXPECT_EQ(Child<QSpinBox>(&next, "CMBrepmes")->value(), 4) << ok;
    EXPECT_EQ(Child<QSpinBox>(&next, "CMBreprok")->value(), 2022) << ok;
    EXPECT_TRUE(Child<QRadioButton>(&next, "RadioButton1")->isChecked()) << ok;
    EXPECT_FALSE(Child<QRadioButton>(&next, "RadioButton2")->isChecked()) << ok;
    next.reject();
  }
}

struct YearCase {
  const char* typed;
  bool accepted;
};

class ReportPeriodYearTest : public ::testing::TestWithParam<YearCase> {};

TEST_P(ReportPeriodYearTest, AYearOutsideTheSpinIsUsedFrom2000ToAYearAhead) {
  const YearCase& c = GetParam();
  Installation inst;
  testing_support::WriteBytes(inst.dir.dir / "Log" / (std::string("11_") + c.typed + ".txt"), "");
  ui::Tfrmpredrep d(inst.settings, inst.dir, inst.op, Today);
  d.show();
  QApplication::processEvents();
  auto* edit = Child<QSpinBox>(&d, "CMBreprok")->findChild<QLineEdit*>();
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Backspace);
  QTest::keyClicks(edit, QString::fromUtf8(c.typed));
  d.BitBtn1Click();
  if (c.accepted) {
    EXPECT_EQ(d.result(), QDialog::Accepted) << c.typed;
    EXPECT_EQ(d.year(), std::stoi(c.typed));
    EXPECT_TRUE(inst.op.messages.empty()) << c.typed;
  } else {
    EXPECT_TRUE(d.isVisible()) << c.typed;
    ASSERT_EQ(inst.op.messages.size(), 1u) << c.typed;
    EXPECT_EQ(inst.op.messages[0], "Rok musí byť číslo od 2000 do 2027") << c.typed;
  }
}

INSTANTIATE_TEST_SUITE_P(Years, ReportPeriodYearTest,
                         ::testing::Values(YearCase{"2000", true}, YearCase{"2013", true}, YearCase{"2027", true},
                                           YearCase{"1999", false}, YearCase{"2028", false},
                                           YearCase{"2130", false}));

}  // namespace
