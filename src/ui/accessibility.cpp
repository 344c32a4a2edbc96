#include "ui/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace ui {

namespace {

constexpr const char* kValuePanelProperty = "vortaneValuePanel";

// A value panel as assistive technology sees it: the caption is the name, the
// text the label shows is the value, and the text interface serves the same
// text so that a screen reader's "read this line" speaks the value too.
class ValuePanelAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
 public:
  explicit ValuePanelAccessible(QLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }

  QString text(QAccessible::Text t) const override {
    switch (t) {
      case QAccessible::Name:
        return widget()->accessibleName();
      case QAccessible::Value:
        return value();
      case QAccessible::Description: {
        // The panel's hint says what the value means ("Prístroj zapíše ďalší
        // záznam na pozíciu PTR"); the value itself is the text.
        QString description = widget()->accessibleDescription();
        if (description.isEmpty()) description = widget()->toolTip();
        return description.isEmpty() ? value() : description;
      }
      default:
        return QAccessibleWidget::text(t);
    }
  }

  // QAccessibleTextInterface: a read-only text without a cursor or selection.
  void selection(int, int* startOffset, int* endOffset) const override { *startOffset = *endOffset = 0; }
  int selectionCount() const override { return 0; }
  void addSelection(int, int) override {}
  void removeSelection(int) override {}
  void setSelection(int, int, int) override {}
  int cursorPosition() const override { return 0; }
  void setCursorPosition(int) override {}
  QString text(int startOffset, int endOffset) const override {
    const QString v = value();
    startOffset = qBound(0, startOffset, int(v.size()));
    endOffset = qBound(startOffset, endOffset < 0 ? int(v.size()) : endOffset, int(v.size()));
    return v.mid(startOffset, endOffset - startOffset);
  }
  int characterCount() const override { return int(value().size()); }
  QRect characterRect(int) const override { return {}; }
  int offsetAtPoint(const QPoint&) const override { return -1; }
  void scrollToSubstring(int, int) override {}
  QString attributes(int offset, int* startOffset, int* endOffset) const override {
    *startOffset = *endOffset = offset;
    return {};
  }

 private:
  QString value() const { return static_cast<const QLabel*>(widget())->text(); }
};

QAccessibleInterface* ValuePanelFactory(const QString& className, QObject* object) {
  if (className != QLatin1String("QLabel") || object == nullptr || !object->isWidgetType()) return nullptr;
  if (!object->property(kValuePanelProperty).toBool()) return nullptr;
  return new ValuePanelAccessible(static_cast<QLabel*>(object));
}

void InstallValuePanelFactory() {
  static const bool installed = [] {
    QAccessible::installFactory(ValuePanelFactory);
    return true;
  }();
  (void)installed;
}

// Whether Tab would reach the control in the window as it is shown now.
bool TabReachable(QWidget* w, QWidget* window) {
  if (!(w->focusPolicy() & Qt::TabFocus) || !w->isEnabled()) return false;
  for (QWidget* p = w; p != nullptr && p != window; p = p->parentWidget()) {
    if (p->isHidden()) return false;
  }
  return true;
}

class ShowFocusFilter : public QObject {
 public:
  explicit ShowFocusFilter(QWidget* window) : QObject(window) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && watched == parent()) {
      QPointer<QWidget> window = static_cast<QWidget*>(watched);
      // What had the focus when the window appeared: left over from an
      // earlier showing, or nothing. A focus that the window's own show
      // handling or the operator puts elsewhere before the timer runs wins.
      QPointer<QWidget> before = window->focusWidget();
      QTimer::singleShot(0, this, [window, before] {
        if (!window) return;
        QWidget* now = window->focusWidget();
        if (now != nullptr && now != before.data()) {
          window->activateWindow();
          return;
        }
        FocusFirstControl(window);
      });
    }
    return false;
  }
};

}  // namespace

QString StripMnemonic(const QString& caption) {
  QString out;
  out.reserve(caption.size());
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i] == QLatin1Char('&')) {
      if (i + 1 < caption.size() && caption[i + 1] == QLatin1Char('&')) {
        out += QLatin1Char('&');
        ++i;
      }
      continue;
    }
    out += caption[i];
  }
  return out.trimmed();
}

void FocusFirstControl(QWidget* window) {
  if (window == nullptr || !window->isVisible()) return;
  window = window->window();
  // Under a modal window (a message box of the start-up) the window must not
  // come up over it; the focus waits there until the modal window closes.
  const QWidget* modal = QApplication::activeModalWidget();
  if (modal == nullptr || modal == window) {
    window->activateWindow();
    window->raise();
  }
  // The focus chain visits the window's children in tab order and returns to
  // the window itself; a chain that leaves the window (a child window's
  // widgets) is skipped the same way Tab skips it.
  for (QWidget* w = window->nextInFocusChain(); w != nullptr && w != window; w = w->nextInFocusChain()) {
    if (!window->isAncestorOf(w) || w->window() != window) continue;
    if (!TabReachable(w, window)) continue;
    w->setFocus(Qt::TabFocusReason);
    return;
  }
}

void FocusFirstControlOnShow(QWidget* window) {
  if (window == nullptr) return;
  window->installEventFilter(new ShowFocusFilter(window));
}

void NameLikeLabel(QLabel* label, QWidget* control) {
  if (label == nullptr || control == nullptr) return;
  label->setBuddy(control);
  control->setAccessibleName(StripMnemonic(label->text()));
}

void NameControl(QWidget* control, const QString& name, const QString& description) {
  if (control == nullptr) return;
  control->setAccessibleName(name);
  if (!description.isEmpty()) control->setAccessibleDescription(description);
}

void NameValuePanel(QLabel* panel, const QString& caption) {
  if (panel == nullptr) return;
  InstallValuePanelFactory();
  panel->setProperty(kValuePanelProperty, true);
  // The label's own construction may already have made Qt create its plain
  // interface; drop it so the next query asks the factory.
  if (QAccessibleInterface* old = QAccessible::queryAccessibleInterface(panel);
      old != nullptr && dynamic_cast<ValuePanelAccessible*>(old) == nullptr)
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(old));
  panel->setAccessibleName(StripMnemonic(caption));
}

}  // namespace ui
