#pragma once
// What the sheet and the report window share in their menus: the links to
// the calculator, the settings dialog, the employee list, the help page and
// the abbreviation list, and undo/redo actions that follow the window's
// undo stack.

#include <QPointer>
#include <QString>
#include <filesystem>
#include <functional>

#include "ui/help.h"

class QAction;
class QUndoStack;
class QWidget;

namespace ui {

class Tfrmskratky;

struct WindowLinkActions {
  QAction* calculator = nullptr;
  QAction* settings = nullptr;
  QAction* employees = nullptr;
  QAction* help = nullptr;
  QAction* abbreviations = nullptr;
};

struct WindowLinks {
  std::function<void(QWidget*)> showCalculator;
  std::function<void(QWidget*)> showSettings;
  std::function<void(QWidget*)> showEmployeeList;
  UrlOpener urlOpener;
  std::filesystem::path programDir;
  QString helpTopic;
};

// Enables each link whose window the program has (the others stay disabled)
// and connects it; the abbreviation list is made on first use, kept in
// `abbreviations`, shown without being modal.
void ConnectWindowLinks(QWidget* window, const WindowLinkActions& actions, WindowLinks links,
                        QPointer<Tfrmskratky>& abbreviations);

// Undo and redo run the stack and are enabled while it can undo or redo.
void ConnectUndoActions(QAction* undo, QAction* redo, QUndoStack& stack);

}  // namespace ui
