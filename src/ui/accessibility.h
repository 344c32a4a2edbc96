#pragma once
// What a screen reader and a keyboard-only clerk need from every window: a
// name for each control, the value panels read as caption plus value, and the
// keyboard focus on the first control as soon as a window appears.

#include <QString>

class QLabel;
class QWidget;

namespace ui {

// A caption as it is read aloud: mnemonic '&' markers removed ("&&" stays one
// '&'), surrounding blanks trimmed.
QString StripMnemonic(const QString& caption);

// Activates the window (a kiosk session has no window manager to do it) and
// puts the keyboard focus on the first enabled, visible control in its tab
// order. Does nothing for a window that is not shown or has no such control.
void FocusFirstControl(QWidget* window);

// Calls FocusFirstControl each time the window is shown, through a zero-delay
// timer so that it runs after the window system has mapped the window and after
// the window's own showEvent (which may still enable or hide controls). Where
// the focus was moved within the window between the showing and the timer (the
// window's own show handling chose a control, or the operator clicked one),
// that choice stays and the window is only activated.
void FocusFirstControlOnShow(QWidget* window);

// Ties the label to the control (the label's mnemonic moves the focus there)
// and names the control after the label's caption, without the '&'.
void NameLikeLabel(QLabel* label, QWidget* control);

// Names a control that has no label of its own; the description, when given,
// is what a screen reader adds after the name.
void NameControl(QWidget* control, const QString& name, const QString& description = {});

// A label that shows a changing value under a fixed caption ("Čas:" with the
// terminal's time): read by a screen reader with the caption as its name and
// the label's current text as its value and text, and its hint (tool tip)
// as its description.
void NameValuePanel(QLabel* panel, const QString& caption);

}  // namespace ui
