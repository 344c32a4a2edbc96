#include "ui/file_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <algorithm>

#include "core/path_text.h"

namespace ui {

QStringList QtNameFilters(const QString& installationFilter) {
  const QStringList parts = installationFilter.split(QLatin1Char('|'));
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    out << parts[i] + QStringLiteral(" (") + parts[i + 1].trimmed() + QLatin1Char(')');
  }
  if (parts.size() % 2 == 1 && !parts.back().isEmpty()) out << parts.back();
  return out;
}

FileRequest FileRequestIn(const std::filesystem::path& folder, const QString& caption, const QString& filter,
                          const QString& defaultSuffix) {
  FileRequest request;
  request.caption = caption;
  request.directory = QString::fromStdString(core::Utf8FromPath(folder));
  request.filter = filter;
  request.defaultSuffix = defaultSuffix;
  return request;
}

namespace {

std::optional<FileChoice> RunDialog(QWidget* parent, const FileRequest& request, QFileDialog::AcceptMode mode) {
  QFileDialog dialog(parent, request.caption, request.directory);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  const QStringList filters = QtNameFilters(request.filter);
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    const int index = std::clamp(request.filterIndex, 1, static_cast<int>(filters.size()));
    dialog.selectNameFilter(filters[index - 1]);
  }
  if (!request.defaultSuffix.isEmpty()) dialog.setDefaultSuffix(request.defaultSuffix);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  FileChoice choice;
  choice.path = dialog.selectedFiles().front();
  const int chosen = static_cast<int>(filters.indexOf(dialog.selectedNameFilter()));
  choice.filterIndex = chosen >= 0 ? chosen + 1 : 1;
  return choice;
}

}  // namespace

std::optional<FileChoice> SystemFileDialogs::openFile(QWidget* parent, const FileRequest& request) {
  return RunDialog(parent, request, QFileDialog::AcceptOpen);
}

std::optional<FileChoice> SystemFileDialogs::saveFile(QWidget* parent, const FileRequest& request) {
  return RunDialog(parent, request, QFileDialog::AcceptSave);
}

SystemFileDialogs& DefaultFileDialogs() {
  static SystemFileDialogs dialogs;
  return dialogs;
}

namespace {
std::optional<FileChoice> NextAnswer(std::deque<FileChoice>& answers) {
  if (answers.empty()) return std::nullopt;
  FileChoice answer = std::move(answers.front());
  answers.pop_front();
  if (answer.path.isEmpty()) return std::nullopt;
  return answer;
}
}  // namespace

std::optional<FileChoice> ScriptedFileDialogs::openFile(QWidget*, const FileRequest& request) {
  openRequests.push_back(request);
  return NextAnswer(openAnswers);
}

std::optional<FileChoice> ScriptedFileDialogs::saveFile(QWidget*, const FileRequest& request) {
  saveRequests.push_back(request);
  return NextAnswer(saveAnswers);
}

}  // namespace ui
