#pragma once
// The find dialog beside the main window's text area: a text and a
// "find next" button; each request is handed to the window.

#include <QDialog>

class QLineEdit;

namespace ui {

class FindDialog : public QDialog {
  Q_OBJECT
 public:
  explicit FindDialog(QWidget* parent = nullptr);
  QString findText() const;
  void setFindText(const QString& text);

 signals:
  void findRequested(const QString& text);

 private:
  QLineEdit* m_edit = nullptr;
};

}  // namespace ui
