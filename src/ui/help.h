#pragma once
// Help pages: the installation's html/index.html, one section per window
// (anchors "karta", "vykaz", "zoznam_prac", "nastavenie_programu").

#include <QUrl>
#include <filesystem>
#include <functional>

class QString;

namespace ui {

// file:///<program directory>/html/index.html#<topic> (no anchor when topic is empty).
QUrl HelpTopicUrl(const std::filesystem::path& programDir, const QString& topic);

// How a window opens a help page; tests replace it to see which page was asked for.
using UrlOpener = std::function<void(const QUrl&)>;
// QDesktopServices::openUrl.
UrlOpener SystemUrlOpener();

}  // namespace ui
