#include "ui/window_links.h"

#include <QAction>
#include <QUndoStack>
#include <QWidget>

#include "ui/abbreviations_window.h"

namespace ui {

namespace {

void Link(QWidget* window, QAction* action, const std::function<void(QWidget*)>& show) {
  if (action == nullptr) return;
  action->setEnabled(static_cast<bool>(show));
  QObject::connect(action, &QAction::triggered, window, [window, show] {
    if (show) show(window);
  });
}

}  // namespace

void ConnectWindowLinks(QWidget* window, const WindowLinkActions& actions, WindowLinks links,
                        QPointer<Tfrmskratky>& abbreviations) {
  Link(window, actions.calculator, links.showCalculator);
  Link(window, actions.settings, links.showSettings);
  Link(window, actions.employees, links.showEmployeeList);
  if (actions.help != nullptr) {
    QObject::connect(actions.help, &QAction::triggered, window,
                     [opener = links.urlOpener, dir = links.programDir, topic = links.helpTopic] {
                       if (opener) opener(HelpTopicUrl(dir, topic));
                     });
  }
  if (actions.abbreviations != nullptr) {
    QObject::connect(actions.abbreviations, &QAction::triggered, window, [window, &abbreviations] {
      if (!abbreviations) abbreviations = new Tfrmskratky(window);
      abbreviations->show();
      abbreviations->raise();
      abbreviations->activateWindow();
    });
  }
}

void ConnectUndoActions(QAction* undo, QAction* redo, QUndoStack& stack) {
  undo->setEnabled(stack.canUndo());
  redo->setEnabled(stack.canRedo());
  QObject::connect(undo, &QAction::triggered, &stack, &QUndoStack::undo);
  QObject::connect(redo, &QAction::triggered, &stack, &QUndoStack::redo);
  QObject::connect(&stack, &QUndoStack::canUndoChanged, undo, &QAction::setEnabled);
  QObject::connect(&stack, &QUndoStack::canRedoChanged, redo, &QAction::setEnabled);
}

}  // namespace ui
