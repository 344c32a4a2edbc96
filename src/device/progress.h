#pragma once
// How long exchanges show what they are doing: the progress window (caption,
// one text line, a bar, and the cancel button that sets StopRequested) and the
// main window's text area. The desktop program forwards these calls to its
// windows, the command-line tool prints them; tests record them.
//
// Calls come from the thread that runs the exchange.

#include <string>

namespace device {

class Progress {
 public:
  virtual ~Progress() = default;
  // Shows the progress window with a caption, an empty text line and the bar
  // at 0 of 100. Not called when the operation runs without the window (the
  // fixed-unit transfer shows only the main window's bar).
  virtual void show(const std::string& caption) { (void)caption; }
  virtual void setCaption(const std::string& caption) { (void)caption; }
  virtual void setLabel(const std::string& text) { (void)text; }
  // The progress window's bar, and during a transfer the main window's bar too.
  virtual void setBar(int value, int maximum) {
    (void)value;
    (void)maximum;
  }
  virtual void hide() {}
};

// The main window's text area (memo1).
class TextArea {
 public:
  virtual ~TextArea() = default;
  virtual void addLine(const std::string& line) = 0;
  virtual void clear() = 0;
};

// For callers that show nothing.
class NullProgress final : public Progress {};
class NullTextArea final : public TextArea {
 public:
  void addLine(const std::string&) override {}
  void clear() override {}
};

}  // namespace device
