#pragma once
// The open and save dialogs behind one seam, so that a test can answer them in
// advance. Every window takes a FileDialogs& and asks through it; the program
// passes the system dialogs, tests a ScriptedFileDialogs.

#include <QString>
#include <QStringList>
#include <deque>
#include <filesystem>
#include <optional>
#include <vector>

class QWidget;

namespace ui {

struct FileChoice {
  QString path;
  int filterIndex = 1;  // 1-based position of the chosen filter in the filter text
};

// What a window asks for. `filter` is in the installation's "Text|*.ext|Text|*.ext" form.
struct FileRequest {
  QString caption;
  QString directory;
  QString filter;
  QString defaultSuffix;  // without the dot; added when the typed name has none
  int filterIndex = 1;    // filter chosen when the dialog opens
  bool overwritePrompt = true;
};

// A request for a dialog that starts in `folder` (the program directory).
FileRequest FileRequestIn(const std::filesystem::path& folder, const QString& caption, const QString& filter,
                          const QString& defaultSuffix);

class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  // No value when the operator cancels.
  virtual std::optional<FileChoice> openFile(QWidget* parent, const FileRequest& request) = 0;
  virtual std::optional<FileChoice> saveFile(QWidget* parent, const FileRequest& request) = 0;
};

// Converts "List  *.dok| *.dok|Internet HTML  *.html|*.html" into Qt's
// name filters ("List  *.dok ( *.dok)", ...): one entry per pair.
QStringList QtNameFilters(const QString& installationFilter);

// The system's file dialogs.
class SystemFileDialogs : public FileDialogs {
 public:
  std::optional<FileChoice> openFile(QWidget* parent, const FileRequest& request) override;
  std::optional<FileChoice> saveFile(QWidget* parent, const FileRequest& request) override;
};
SystemFileDialogs& DefaultFileDialogs();

// Answers from queues and records what was asked. An answer with an empty
// path, or an empty queue, is a cancelled dialog.
class ScriptedFileDialogs : public FileDialogs {
 public:
  std::optional<FileChoice> openFile(QWidget* parent, const FileRequest& request) override;
  std::optional<FileChoice> saveFile(QWidget* parent, const FileRequest& request) override;

  std::deque<FileChoice> openAnswers;
  std::deque<FileChoice> saveAnswers;
  std::vector<FileRequest> openRequests;
  std::vector<FileRequest> saveRequests;
};

}  // namespace ui
