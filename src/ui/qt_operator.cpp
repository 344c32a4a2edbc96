#include "ui/qt_operator.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace ui {

namespace {
const QString kTitle = QStringLiteral("VORTANE");

// Runs a box and gives the keys back to the window that was active before:
// without a window manager (a kiosk session) nothing else does, and that
// window's shortcuts would stay dead.
int ExecAndReturnFocus(QDialog& box) {
  QPointer<QWidget> before = QApplication::activeWindow();
  const int result = box.exec();
  if (before && before->isVisible()) before->activateWindow();
  return result;
}

}  // namespace

QString OperatorText(const std::string& text) {
  QString s = QString::fromStdString(text);
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return s;
}

void QtOperator::showMessage(const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, kTitle, OperatorText(text), QMessageBox::Ok, m_parent.data());
  ExecAndReturnFocus(box);
}

bool QtOperator::askYesNo(const std::string& text, const std::string& title) {
  QMessageBox box(QMessageBox::Question, title.empty() ? kTitle : QString::fromStdString(title), OperatorText(text),
                  QMessageBox::Yes | QMessageBox::No, m_parent.data());
  box.setDefaultButton(QMessageBox::Yes);
  box.button(QMessageBox::Yes)->setText(QStringLiteral("&Áno"));
  box.button(QMessageBox::No)->setText(QStringLiteral("&Nie"));
  if (m_nextQuestionAt) {
    box.move(*m_nextQuestionAt);
    m_nextQuestionAt.reset();
  }
  return ExecAndReturnFocus(box) == QMessageBox::Yes;
}

std::optional<std::string> QtOperator::askText(const std::string& title, const std::string& prompt,
                                               const std::string& initial) {
  QInputDialog dialog(m_parent.data());
  dialog.setWindowTitle(QString::fromStdString(title));
  dialog.setLabelText(OperatorText(prompt));
  dialog.setTextValue(QString::fromStdString(initial));
  dialog.setOkButtonText(QStringLiteral("OK"));
  dialog.setCancelButtonText(QStringLiteral("Zrušiť"));
  if (ExecAndReturnFocus(dialog) != QDialog::Accepted) return std::nullopt;
  return dialog.textValue().toStdString();
}

}  // namespace ui
