#include "ui/help.h"

#include <QDesktopServices>
#include <QString>

#include "core/path_text.h"

namespace ui {

QUrl HelpTopicUrl(const std::filesystem::path& programDir, const QString& topic) {
  const std::filesystem::path page = programDir / "html" / "index.html";
  QUrl url = QUrl::fromLocalFile(QString::fromStdString(core::Utf8FromPath(page)));
  if (!topic.isEmpty()) url.setFragment(topic);
  return url;
}

UrlOpener SystemUrlOpener() {
  return [](const QUrl& url) { QDesktopServices::openUrl(url); };
}

}  // namespace ui
