#pragma once
// Answering a modal window from a test: the window runs its own event loop,
// so the answer is scheduled before the action that opens it.

#include <QApplication>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace ui_test {

// Runs `fn` on the dialog of type T as soon as it is the active modal window.
template <typename T>
void OnModal(std::function<void(T*)> fn) {
  auto* timer = new QTimer;
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, fn] {
    auto* w = qobject_cast<T*>(QApplication::activeModalWidget());
    if (w == nullptr || !w->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    fn(w);
  });
  timer->start();
}

}  // namespace ui_test
