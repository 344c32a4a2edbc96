#include "ui/window_sinks.h"

namespace ui {

namespace {
// Runs fn on the object's thread; dropped when the object is gone.
template <typename T, typename Fn>
void Post(const QPointer<T>& target, Fn fn) {
  if (!target) return;
  T* object = target.data();
  QMetaObject::invokeMethod(
      object, [object, fn] { fn(object); }, Qt::QueuedConnection);
}
}  // namespace

void WindowProgress::show(const std::string& caption) {
  Post(m_info, [c = QString::fromStdString(caption)](Tfrminfo* w) { w->ShowProgress(c); });
}

void WindowProgress::setCaption(const std::string& caption) {
  Post(m_info, [c = QString::fromStdString(caption)](Tfrminfo* w) { w->setWindowTitle(c); });
}

void WindowProgress::setLabel(const std::string& text) {
  Post(m_info, [t = QString::fromStdString(text)](Tfrminfo* w) { w->setText(t); });
}

void WindowProgress::setBar(int value, int maximum) {
  Post(m_info, [value, maximum](Tfrminfo* w) { w->setBar(value, maximum); });
  Post(m_bar, [value, maximum](QProgressBar* b) {
    b->setRange(0, maximum > 0 ? maximum : 1);
    b->setValue(std::min(value, b->maximum()));
  });
}

void WindowProgress::hide() {
  Post(m_info, [](Tfrminfo* w) { w->hide(); });
}

void WindowText::addLine(const std::string& line) {
  Post(m_memo, [l = QString::fromStdString(line)](QPlainTextEdit* m) { m->appendPlainText(l); });
}

void WindowText::clear() {
  Post(m_memo, [](QPlainTextEdit* m) { m->clear(); });
}

}  // namespace ui
