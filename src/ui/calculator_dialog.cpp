#include "ui/calculator_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>
#include <QValidator>

#include "core/operator.h"
#include "core/time_values.h"
#include "ui/accessibility.h"

namespace ui {
namespace {

// Limits what the operator types without cutting what the calculator puts
// back: a result such as -30 minutes must show in full in a two-character
// field, which QLineEdit::setMaxLength would truncate.
class TypedLengthLimit : public QValidator {
 public:
  TypedLengthLimit(int length, QObject* parent) : QValidator(parent), m_length(length) {}
  State validate(QString& input, int& /*pos*/) const override {
    return input.size() <= m_length ? Acceptable : Invalid;
  }

 private:
  int m_length;
};

QLineEdit* operandEdit(const char* name, const QString& text, int length, QWidget* parent) {
  auto* e = new QLineEdit(text, parent);
  e->setObjectName(name);
  e->setValidator(new TypedLengthLimit(length, e));
  e->setMaximumWidth(length == 3 ? 48 : 36);
  e->setAlignment(Qt::AlignRight);
  return e;
}

}  // namespace

CalculatorDialog::CalculatorDialog(core::Operator& op, QWidget* parent) : QDialog(parent), m_op(op) {
  setObjectName("Tfrmcalc");
  setWindowTitle(QString::fromUtf8("Hodinová kalkulačka"));
  setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

  EDHO1 = operandEdit("EDHO1", "08", 3, this);
  EDHO1->setToolTip("Hodiny");
  EDMI1 = operandEdit("EDMI1", "30", 2, this);
  EDMI1->setToolTip(QString::fromUtf8("Minúty"));
  EDHO2 = operandEdit("EDHO2", "2", 3, this);
  EDMI2 = operandEdit("EDMI2", "00", 2, this);

  CHKopto = new QCheckBox(QString::fromUtf8("Výsledok -> OP2"), this);
  CHKopto->setObjectName("CHKopto");
  CHKopto->setToolTip(QString::fromUtf8("Výsledok do Operand 2"));
  CHKopto->setChecked(true);

  BitBtn1 = new QPushButton("+", this);
  BitBtn1->setObjectName("BitBtn1");
  BitBtn1->setToolTip("Plus");
  BitBtn1->setAutoDefault(false);
  BTminus = new QPushButton("-", this);
  BTminus->setObjectName("BTminus");
  BTminus->setToolTip(QString::fromUtf8("Mínus"));
  BTminus->setAutoDefault(false);
  Button1 = new QPushButton("Koniec", this);
  Button1->setObjectName("Button1");
  Button1->setAutoDefault(false);

  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName("Memo1");
  Memo1->setReadOnly(true);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);

  connect(BitBtn1, &QPushButton::clicked, this, [this] { add(); });
  connect(BTminus, &QPushButton::clicked, this, [this] { subtract(); });
  connect(Button1, &QPushButton::clicked, this, &QDialog::close);

  // Each operand is two edits under one label: the label leads to the hours,
  // and both edits say which operand and which part they hold.
  auto* operand1 = new QLabel("Operand 1", this);
  auto* operand2 = new QLabel("Operand 2", this);
  operand1->setBuddy(EDHO1);
  operand2->setBuddy(EDHO2);
  NameControl(EDHO1, QString::fromUtf8("Operand 1: hodiny"));
  NameControl(EDMI1, QString::fromUtf8("Operand 1: minúty"));
  NameControl(EDHO2, QString::fromUtf8("Operand 2: hodiny"));
  NameControl(EDMI2, QString::fromUtf8("Operand 2: minúty"));
  // "+" and "-" are read by their hints.
  NameControl(BitBtn1, BitBtn1->toolTip());
  NameControl(BTminus, BTminus->toolTip());
  NameControl(Memo1, QString::fromUtf8("Záznam výpočtov"));

  auto* operands = new QGridLayout;
  operands->addWidget(operand1, 0, 0);
  operands->addWidget(EDHO1, 0, 1);
  operands->addWidget(new QLabel(":", this), 0, 2);
  operands->addWidget(EDMI1, 0, 3);
  operands->addWidget(BitBtn1, 0, 4);
  operands->addWidget(operand2, 1, 0);
  operands->addWidget(EDHO2, 1, 1);
  operands->addWidget(new QLabel(":", this), 1, 2);
  operands->addWidget(EDMI2, 1, 3);
  operands->addWidget(BTminus, 1, 4);
  operands->setColumnStretch(5, 1);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(CHKopto);
  bottom->addStretch(1);
  bottom->addWidget(Button1);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(operands);
  layout->addWidget(Memo1, 1);
  layout->addLayout(bottom);
  resize(330, 260);

  // The window previews keys: "+" and "-" calculate wherever the focus is.
  for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
  FocusFirstControlOnShow(this);
}

std::optional<long long> CalculatorDialog::ParseWhole(const QString& text) {
  const QString t = text.trimmed();
  qsizetype i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  const qsizetype digits = t.size() - i;
  // Eighteen digits always fit; the fields hold three at most when typed.
  if (digits < 1 || digits > 18) return std::nullopt;
  for (qsizetype k = i; k < t.size(); ++k) {
    if (t[k] < '0' || t[k] > '9') return std::nullopt;
  }
  bool ok = false;
  const long long v = t.toLongLong(&ok);
  if (!ok) return std::nullopt;
  return v;
}

std::optional<long long> CalculatorDialog::readOperand(int which) {
  QLineEdit* hours = which == 1 ? EDHO1 : EDHO2;
  QLineEdit* minutes = which == 1 ? EDMI1 : EDMI2;
  const auto h = ParseWhole(hours->text());
  if (!h) {
    m_op.showMessage(which == 1 ? "Operand HO1 ,chyba" : "Operand HO2 ,chyba");
    return std::nullopt;
  }
  const auto m = ParseWhole(minutes->text());
  if (!m) {
    m_op.showMessage(which == 1 ? "Operand MI1 ,chyba" : "Operand MI2 ,chyba");
    return std::nullopt;
  }
  return *h * 60 + *m;
}

void CalculatorDialog::appendLine(const QString& line) {
  QTextCursor cursor(Memo1->document());
  cursor.movePosition(QTextCursor::End);
  cursor.insertBlock();
  cursor.insertText(line);
  Memo1->moveCursor(QTextCursor::End);
  Memo1->ensureCursorVisible();
}

bool CalculatorDialog::calculate(bool plus) {
  const auto a = readOperand(1);
  if (!a) return false;
  const auto b = readOperand(2);
  if (!b) return false;
  appendLine(QString("OP1=%1 minut  OP2=%2 minut").arg(*a).arg(*b));
  const long long r = plus ? *a + *b : *a - *b;
  appendLine(QString("%1 %2 min = %3")
                 .arg(plus ? QStringLiteral("PLUS=") : QStringLiteral("MINUS="))
                 .arg(r)
                 .arg(QString::fromStdString(core::MinutesToTimeText(r))));
  if (CHKopto->isChecked()) {
    // Division truncates toward zero, so a negative result gives both parts the sign.
    EDHO2->setText(QString::number(r / 60));
    EDMI2->setText(QString::number(r % 60));
  }
  EDHO1->setFocus(Qt::OtherFocusReason);
  return true;
}

bool CalculatorDialog::add() { return calculate(true); }
bool CalculatorDialog::subtract() { return calculate(false); }

bool CalculatorDialog::handleKey(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    close();
    return true;
  }
  if (event->text() == "+") {
    add();
    return true;
  }
  if (event->text() == "-") {
    subtract();
    return true;
  }
  return false;
}

bool CalculatorDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && handleKey(static_cast<QKeyEvent*>(event))) return true;
  return QDialog::eventFilter(watched, event);
}

void CalculatorDialog::keyPressEvent(QKeyEvent* event) {
  if (handleKey(event)) return;
  QDialog::keyPressEvent(event);
}

}  // namespace ui
