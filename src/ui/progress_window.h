#pragma once
// Tfrminfo: the small progress window shared by every long exchange with the
// terminal: a caption, one text line, a bar and "Zrušiť". The button and
// Escape ask for the exchange to stop and hide the window; the exchange
// itself ends after its current step.

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace ui {

class Tfrminfo : public QDialog {
  Q_OBJECT
 public:
  explicit Tfrminfo(QWidget* parent = nullptr);

  // Caption set, text line emptied, bar at 0 of 100, shown without being modal.
  void ShowProgress(const QString& caption);
  void setText(const QString& text);
  void setBar(int value, int maximum);
  QString text() const;
  int barValue() const;
  int barMaximum() const;

 signals:
  // "Zrušiť" or Escape.
  void stopRequested();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void cancel();

  QLabel* m_label = nullptr;
  QProgressBar* m_bar = nullptr;
  QPushButton* m_cancel = nullptr;
};

}  // namespace ui
