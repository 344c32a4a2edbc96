#include "ui/qt_operator.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace ui {

namespace {
const QString kTitle = QStringLiteral("VORTANE");
}

QString OperatorText(const std::string& text) {
  QString s = QString::fromStdString(text);
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return s;
}

void QtOperator::showMessage(const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, kTitle, OperatorText(text), QMessageBox::Ok, m_parent.data());
  box.exec();
}

bool QtOperator::askYesNo(const std::string& text, const std::string& title) {
  QMessageBox box(QMessageBox::Question, title.empty() ? kTitle : QString::fromStdString(title), OperatorText(text),
                  QMessageBox::Yes | QMessageBox::No, m_parent.data());
  box.setDefaultButton(QMessageBox::Yes);
  if (m_nextQuestionAt) {
    box.move(*m_nextQuestionAt);
    m_nextQuestionAt.reset();
  }
  return box.exec() == QMessageBox::Yes;
}

std::optional<std::string> QtOperator::askText(const std::string& title, const std::string& prompt,
                                               const std::string& initial) {
  bool ok = false;
  const QString answer = QInputDialog::getText(m_parent.data(), QString::fromStdString(title), OperatorText(prompt),
                                               QLineEdit::Normal, QString::fromStdString(initial), &ok);
  if (!ok) return std::nullopt;
  return answer.toStdString();
}

}  // namespace ui
