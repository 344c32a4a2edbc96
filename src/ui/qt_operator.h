#pragma once
// The desktop program's Operator: message boxes and input boxes over a parent
// window. "\r" in a text is shown as a line break.

#include <QPoint>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <optional>
#include <string>

#include "core/operator.h"

namespace ui {

// "\r" and "\r\n" become line breaks.
QString OperatorText(const std::string& text);

class QtOperator : public core::Operator {
 public:
  explicit QtOperator(QWidget* parent = nullptr) : m_parent(parent) {}

  void setParent(QWidget* parent) { m_parent = parent; }
  // The next Yes/No box opens with its top-left corner here (screen
  // coordinates); cleared after that box.
  void placeNextQuestion(QPoint topLeft) { m_nextQuestionAt = topLeft; }

  void showMessage(const std::string& text) override;
  bool askYesNo(const std::string& text, const std::string& title = {}) override;
  std::optional<std::string> askText(const std::string& title, const std::string& prompt,
                                     const std::string& initial = {}) override;

 private:
  QPointer<QWidget> m_parent;
  std::optional<QPoint> m_nextQuestionAt;
};

}  // namespace ui
