// The hours calculator headless: the operations, the running log, feeding the
// result back as operand 2, the operand errors and the keys.

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "support/test_support.h"
#include "ui/calculator_dialog.h"

namespace {

using testing_support::ScriptedOperator;

class CalculatorTest : public ::testing::Test {
 protected:
  QLineEdit* edit(const char* name) {
    auto* e = calc.findChild<QLineEdit*>(name);
    EXPECT_NE(e, nullptr) << name;
    return e;
  }
  void operands(const char* h1, const char* m1, const char* h2, const char* m2) {
    edit("EDHO1")->setText(h1);
    edit("EDMI1")->setText(m1);
    edit("EDHO2")->setText(h2);
    edit("EDMI2")->setText(m2);
  }
  QStringList log() { return calc.findChild<QPlainTextEdit*>("Memo1")->toPlainText().split('\n'); }

  ScriptedOperator op;
  ui::CalculatorDialog calc{op};
};

TEST_F(CalculatorTest, PlusKeyWithTheInitialValues) {
  EXPECT_EQ(calc.windowTitle(), "Hodinová kalkulačka");
  EXPECT_EQ(log(), QStringList{""});
  EXPECT_TRUE(calc.findChild<QCheckBox*>("CHKopto")->isChecked());

  QTest::keyClick(edit("EDHO1"), '+');

  EXPECT_EQ(log(), (QStringList{"", "OP1=510 minut  OP2=120 minut", "PLUS= 630 min = 10:30"}));
  EXPECT_EQ(edit("EDHO1")->text(), "08");  // the key calculates, it is not typed
  EXPECT_EQ(edit("EDHO2")->text(), "10");
  EXPECT_EQ(edit("EDMI2")->text(), "30");
  EXPECT_TRUE(op.messages.empty());

  // Chained: the result is now operand 2.
  calc.findChild<QPushButton*>("BitBtn1")->click();
  EXPECT_EQ(log().last(), "PLUS= 1140 min = 19:00");
  EXPECT_EQ(edit("EDHO2")->text(), "19");
  EXPECT_EQ(edit("EDMI2")->text(), "0");
}

TEST_F(CalculatorTest, Results) {
  struct Case {
    const char *h1, *m1, *h2, *m2;
    bool plus;
    const char* resultLine;
    const char *ho2, *mi2;
  };
  const Case cases[] = {
      {"2", "00", "8", "30", false, "MINUS= -390 min = ", "-6", "-30"},
      {"8", "5", "0", "0", true, "PLUS= 485 min = 8:05", "8", "5"},
      {"1", "75", "0", "0", true, "PLUS= 135 min = 2:15", "2", "15"},
      {"8", "30", "8", "30", false, "MINUS= 0 min = ", "0", "0"},
      {"0", "30", "0", "-45", true, "PLUS= -15 min = ", "0", "-15"},
      {"-1", "0", "+2", "-0", true, "PLUS= 60 min = 1:00", "1", "0"},
      {"999", "59", "999", "59", true, "PLUS= 119998 min = 1999:58", "1999", "58"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.resultLine);
    operands(c.h1, c.m1, c.h2, c.m2);
    const bool ok = c.plus ? calc.add() : calc.subtract();
    ASSERT_TRUE(ok);
    EXPECT_EQ(log().last(), QString::fromUtf8(c.resultLine));
    EXPECT_EQ(edit("EDHO2")->text(), c.ho2);
    EXPECT_EQ(edit("EDMI2")->text(), c.mi2);
  }
}

TEST_F(CalculatorTest, OperandErrorsStopBeforeAnythingIsAppended) {
  struct Case {
    const char *h1, *m1, *h2, *m2;
    const char* message;
  };
  const Case cases[] = {
      {"8h", "30", "2", "00", "Operand HO1 ,chyba"}, {"", "30", "2", "00", "Operand HO1 ,chyba"},
      {"8", "x", "2", "00", "Operand MI1 ,chyba"},   {"8", "30", "2.", "00", "Operand HO2 ,chyba"},
      {"8", "30", "2", "", "Operand MI2 ,chyba"},    {"8", "30", "-", "00", "Operand HO2 ,chyba"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    op.messages.clear();
    operands(c.h1, c.m1, c.h2, c.m2);
    EXPECT_FALSE(calc.add());
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0], c.message);
    EXPECT_EQ(log(), QStringList{""});
    EXPECT_EQ(edit("EDHO2")->text(), c.h2);
  }
}

TEST_F(CalculatorTest, WithoutFeedingBackOperandTwoStays) {
  calc.findChild<QCheckBox*>("CHKopto")->click();
  calc.findChild<QPushButton*>("BTminus")->click();
  EXPECT_EQ(log().last(), "MINUS= 390 min = 6:30");
  EXPECT_EQ(edit("EDHO2")->text(), "2");
  EXPECT_EQ(edit("EDMI2")->text(), "00");
}

TEST_F(CalculatorTest, KeysAndTypingLimits) {
  calc.show();
  QLineEdit* minutes = edit("EDMI1");
  minutes->clear();
  QTest::keyClicks(minutes, "123");
  EXPECT_EQ(minutes->text(), "12");
  QLineEdit* hours = edit("EDHO2");
  hours->clear();
  QTest::keyClicks(hours, "1234");
  EXPECT_EQ(hours->text(), "123");

  QTest::keyClick(minutes, '-');
  EXPECT_EQ(minutes->text(), "12");
  EXPECT_EQ(log().value(1), "OP1=492 minut  OP2=7380 minut");
  EXPECT_EQ(calc.focusWidget(), edit("EDHO1"));

  QTest::keyClick(edit("EDHO1"), Qt::Key_Escape);
  EXPECT_FALSE(calc.isVisible());
}

}  // namespace
