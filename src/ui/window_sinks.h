#pragma once
// The progress window, the bottom transfer bar and the text area as the
// device layer's Progress and TextArea. Calls come from the device worker
// thread and are carried out on the windows' thread, in order.

#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>

#include "device/progress.h"
#include "ui/progress_window.h"

namespace ui {

class WindowProgress final : public device::Progress {
 public:
  // Either may be null.
  WindowProgress(QPointer<Tfrminfo> info, QPointer<QProgressBar> bar) : m_info(info), m_bar(bar) {}
  void show(const std::string& caption) override;
  void setCaption(const std::string& caption) override;
  void setLabel(const std::string& text) override;
  void setBar(int value, int maximum) override;
  void hide() override;

 private:
  QPointer<Tfrminfo> m_info;
  QPointer<QProgressBar> m_bar;
};

class WindowText final : public device::TextArea {
 public:
  explicit WindowText(QPointer<QPlainTextEdit> memo) : m_memo(memo) {}
  void addLine(const std::string& line) override;
  void clear() override;

 private:
  QPointer<QPlainTextEdit> m_memo;
};

}  // namespace ui
