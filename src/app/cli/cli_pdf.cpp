#include "cli_pdf.h"

#include <cstdio>
#include <cstdlib>

#include "core/path_text.h"

#ifdef VORTANE_HAVE_PRINT
#include <QDateTime>
#include <QGuiApplication>
#include <QPageSize>
#include <QPdfWriter>

#include "print/sheet_page.h"
#endif

namespace cli {

#ifdef VORTANE_HAVE_PRINT

bool PdfSupported() { return true; }

void EnsureGuiApplication() {
  if (QGuiApplication::instance() != nullptr) return;
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Qt's notes about the environment (no runtime folder, no display) are not
  // the tool's output; failures come back as results.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
  });
  static int argc = 1;
  static char name[] = "vortane-cli";
  static char* argv[] = {name, nullptr};
  static QGuiApplication app(argc, argv);
}

bool WriteSheetsPdf(const std::filesystem::path& file, int count, const std::function<const core::Grid*(int)>& sheet,
                    const std::string& title, std::string* error) {
  EnsureGuiApplication();
  // Written beside the target and renamed over it, so a failed run leaves an
  // older file as it was.
  std::filesystem::path temp = file;
  temp += ".tmp";
  bool ok = false;
  {
    QPdfWriter writer(QString::fromStdString(core::Utf8FromPath(temp)));
    writer.setTitle(QString::fromStdString(title));
    writer.setCreator(QStringLiteral("vortane"));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(300);
    print::SheetPrintOptions options;
    options.printedAt = print::PrintStamp(QDateTime::currentDateTime());
    ok = print::PrintSheets(writer, count, sheet, options).ok;
  }
  std::error_code ec;
  if (ok) std::filesystem::rename(temp, file, ec);
  if (!ok || ec) {
    std::filesystem::remove(temp, ec);
    if (error) *error = "Nie je možné zapísať súbor: " + core::DisplayPath(file);
    return false;
  }
  return true;
}

#else

bool PdfSupported() { return false; }
void EnsureGuiApplication() {}
bool WriteSheetsPdf(const std::filesystem::path&, int, const std::function<const core::Grid*(int)>&, const std::string&,
                    std::string* error) {
  if (error) *error = "PDF output needs the build with Qt";
  return false;
}

#endif

}  // namespace cli
