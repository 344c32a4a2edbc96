#pragma once
// Tfrmcalc, the hours calculator: adds or subtracts two durations given as
// hours and minutes and keeps a running log of operands and results, so the
// operator can check the sums of an attendance sheet by hand.

#include <QDialog>
#include <optional>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace core {
class Operator;
}

namespace ui {

class CalculatorDialog : public QDialog {
  Q_OBJECT
 public:
  explicit CalculatorDialog(core::Operator& op, QWidget* parent = nullptr);

  // Both return false when an operand is not a whole number (after its
  // message), with nothing appended to the log.
  bool add();
  bool subtract();

  // Reads an hours or minutes text: an optional sign and decimal digits.
  static std::optional<long long> ParseWhole(const QString& text);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  bool calculate(bool plus);
  std::optional<long long> readOperand(int which);
  void appendLine(const QString& line);
  bool handleKey(QKeyEvent* event);

  core::Operator& m_op;
  QLineEdit* EDHO1 = nullptr;
  QLineEdit* EDMI1 = nullptr;
  QLineEdit* EDHO2 = nullptr;
  QLineEdit* EDMI2 = nullptr;
  QCheckBox* CHKopto = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QPushButton* BTminus = nullptr;
  QPushButton* Button1 = nullptr;
  QPlainTextEdit* Memo1 = nullptr;
};

}  // namespace ui
