#pragma once
// A window as a screen reader meets it: every control the clerk can reach must
// be read by a name, and no two controls of one window by the same name.
// Window tests call AccessibilityProblems and expect an empty list.

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTabBar>
#include <QWidget>
#include <QWidgetAction>
#include <map>
#include <string>
#include <vector>

namespace testing_support {

namespace accessibility_walk_detail {

inline std::string Text(const QString& s) { return s.toStdString(); }

// 'QLineEdit "edLogDir"', or for an object without a name the nearest named
// ancestor, so that the line says where to look.
inline std::string Describe(const QObject* o) {
  std::string out = o->metaObject()->className();
  if (!o->objectName().isEmpty()) return out + " \"" + Text(o->objectName()) + "\"";
  for (const QObject* p = o->parent(); p != nullptr; p = p->parent()) {
    if (!p->objectName().isEmpty())
      return out + " (no object name) in " + p->metaObject()->className() + " \"" + Text(p->objectName()) + "\"";
  }
  return out + " (no object name)";
}

// Parts of a compound control (the edit inside a spin box or combo box, an
// item view's viewport and editors, a scroll area's bars, a tab bar's scroll
// buttons) are read through the compound control, not on their own.
inline bool InsideCompound(const QWidget* w, const QWidget* window) {
  for (const QWidget* p = w->parentWidget(); p != nullptr && p != window; p = p->parentWidget()) {
    if (qobject_cast<const QAbstractSpinBox*>(p) || qobject_cast<const QComboBox*>(p) ||
        qobject_cast<const QAbstractItemView*>(p) || qobject_cast<const QTabBar*>(p))
      return true;
    if (qobject_cast<const QScrollBar*>(w) && qobject_cast<const QAbstractScrollArea*>(p)) return true;
  }
  return false;
}

// Hidden for good, not just on a tab page that is not the current one.
inline bool HiddenForGood(const QWidget* w, const QWidget* window) {
  for (const QWidget* p = w; p != nullptr && p != window; p = p->parentWidget()) {
    if (!p->isHidden()) continue;
    if (qobject_cast<const QStackedWidget*>(p->parentWidget()) != nullptr) continue;
    return true;
  }
  return false;
}

// Reached by Tab, or a button (tool-bar buttons take no focus but are pressed
// through the accessibility interface). A label that takes the focus only on
// a click (selectable by mouse) is read as text, not as a control.
inline bool Focusable(const QWidget* w) {
  return (w->focusPolicy() & Qt::TabFocus) != 0 || qobject_cast<const QAbstractButton*>(w) != nullptr;
}

// The letter after a single '&' of a caption ("Povoliť sl&užobné" gives
// 'U'), upper case; none for a caption without one.
inline QChar MnemonicOf(const QString& caption) {
  for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != QLatin1Char('&')) continue;
    if (caption[i + 1] == QLatin1Char('&')) {
      ++i;
      continue;
    }
    return caption[i + 1].toUpper();
  }
  return {};
}

}  // namespace accessibility_walk_detail

// One line per Alt+letter that two captions of one scope claim: the window
// (labels tied to a control, buttons, check boxes, checkable groups, tabs and
// the menu bar's menus) and each menu on its own. Where two claim a letter,
// the second one can never be reached by it.
inline std::vector<std::string> MnemonicProblems(QWidget* window) {
  namespace d = accessibility_walk_detail;
  std::vector<std::string> problems;
  if (window == nullptr) return {"no window"};
  auto claim = [&](std::map<QChar, std::string>& scope, const QString& caption, const std::string& who) {
    const QChar letter = d::MnemonicOf(caption);
    if (letter.isNull()) return;
    const auto [it, fresh] = scope.emplace(letter, who);
    if (!fresh)
      problems.push_back("Alt+" + d::Text(QString(letter)) + ": " + who + " and " + it->second + " claim it");
  };
  std::map<QChar, std::string> windowScope;
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (w->window() != window || d::HiddenForGood(w, window)) continue;
    if (auto* label = qobject_cast<QLabel*>(w); label && label->buddy()) {
      claim(windowScope, label->text(), d::Describe(w));
    } else if (auto* button = qobject_cast<QAbstractButton*>(w); button && !d::InsideCompound(w, window)) {
      claim(windowScope, button->text(), d::Describe(w));
    } else if (auto* group = qobject_cast<QGroupBox*>(w); group && group->isCheckable()) {
      claim(windowScope, group->title(), d::Describe(w));
    } else if (auto* tabs = qobject_cast<QTabBar*>(w)) {
      for (int i = 0; i < tabs->count(); ++i)
        claim(windowScope, tabs->tabText(i), d::Describe(w) + " tab " + std::to_string(i));
    } else if (auto* bar = qobject_cast<QMenuBar*>(w)) {
      for (QAction* a : bar->actions()) {
        if (a->isVisible()) claim(windowScope, a->text(), d::Describe(w) + " menu \"" + d::Text(a->text()) + "\"");
      }
    }
  }
  for (QMenu* menu : window->findChildren<QMenu*>()) {
    std::map<QChar, std::string> menuScope;
    for (QAction* a : menu->actions()) {
      if (!a->isVisible() || a->isSeparator()) continue;
      claim(menuScope, a->text(), d::Describe(menu) + " item \"" + d::Text(a->text()) + "\"");
    }
  }
  return problems;
}

// The name a screen reader announces for the control. A combo box is the
// exception to asking Qt's Name: on Linux Qt reports its current item there
// and leaves the caption to the "labelled by" relation, so the caption is the
// accessible name set on it or the label tied to it.
inline QString AccessibleNameOf(QWidget* w) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
  if (iface == nullptr) return {};
  if (qobject_cast<QComboBox*>(w) == nullptr) return iface->text(QAccessible::Name).trimmed();
  if (!w->accessibleName().trimmed().isEmpty()) return w->accessibleName().trimmed();
  for (const auto& [other, relation] : iface->relations(QAccessible::Label)) {
    (void)relation;
    if (other != nullptr && !other->text(QAccessible::Name).trimmed().isEmpty())
      return other->text(QAccessible::Name).remove(QLatin1Char('&')).trimmed();
  }
  return {};
}

// One readable line per fault: a focusable control (buttons, also tool-bar
// buttons that take no focus, edits, combo boxes, check boxes, spin boxes,
// item views) that a screen reader reads without a name; two such controls of
// the window read by the same name; a tab without a caption; an action in a
// menu or tool bar without text. Controls on tab pages that are not current
// are checked too; child windows are left to their own walk. Last, the
// window's mnemonics (MnemonicProblems).
inline std::vector<std::string> AccessibilityProblems(QWidget* window) {
  namespace d = accessibility_walk_detail;
  std::vector<std::string> problems;
  if (window == nullptr) return {"no window"};
  std::map<QString, std::string> named;  // accessible name -> the control first read by it
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (w->window() != window || !d::Focusable(w) || d::InsideCompound(w, window) || d::HiddenForGood(w, window))
      continue;
    // Qt's own overflow arrow of a tool bar that is too narrow: Qt gives it no
    // name and a window cannot rename it for good (Qt rebuilds it).
    if (w->objectName() == QLatin1String("qt_toolbar_ext_button")) continue;
    if (auto* tabs = qobject_cast<QTabBar*>(w)) {
      // The bar itself is read as the list of its tabs; each tab needs a caption.
      for (int i = 0; i < tabs->count(); ++i) {
        if (tabs->tabText(i).remove(QLatin1Char('&')).trimmed().isEmpty())
          problems.push_back(d::Describe(w) + ": tab " + std::to_string(i) + " has no caption");
      }
      continue;
    }
    // A widget that hands its focus to another (a tab widget to its bar) is
    // read through that one.
    if (w->focusProxy() != nullptr) continue;
    if (QAccessible::queryAccessibleInterface(w) == nullptr) {
      problems.push_back(d::Describe(w) + ": no accessible interface");
      continue;
    }
    const QString name = AccessibleNameOf(w);
    if (name.isEmpty()) {
      problems.push_back(d::Describe(w) + ": no accessible name");
      continue;
    }
    const auto [it, fresh] = named.emplace(name, d::Describe(w));
    if (!fresh) problems.push_back(d::Describe(w) + ": read as \"" + d::Text(name) + "\", like " + it->second);
  }
  for (QAction* action : window->findChildren<QAction*>()) {
    // A widget put on a tool bar is checked as a widget.
    if (action->isSeparator() || !action->isVisible() || qobject_cast<QWidgetAction*>(action) != nullptr) continue;
    // Only actions the clerk meets: in a menu, or on a control that is shown
    // (not the tool bar's hidden overflow button).
    bool met = false;
    for (QObject* o : action->associatedObjects()) {
      if (qobject_cast<QMenu*>(o) != nullptr) met = true;
      auto* host = qobject_cast<QWidget*>(o);
      if (host != nullptr && host->window() == window && !d::HiddenForGood(host, window)) met = true;
    }
    if (!met) continue;
    if (action->text().remove(QLatin1Char('&')).trimmed().isEmpty() && action->iconText().trimmed().isEmpty())
      problems.push_back(d::Describe(action) + ": action without text");
  }
  // A letter claimed twice leaves the keyboard-only clerk one control short.
  for (auto& p : MnemonicProblems(window)) problems.push_back(std::move(p));
  return problems;
}

}  // namespace testing_support
