#include "cli_report_pdf.h"

#include <cctype>
#include <cstdio>

#include "cli_common.h"
#include "core/path_text.h"

#ifdef VORTANE_HAVE_PRINT
#include <QBuffer>
#include <QDateTime>
#include <QGuiApplication>
#include <QPdfWriter>
#include <memory>

#include "core/atomic_file.h"
#include "print/report_pages.h"
#endif

namespace cli {

bool isPdfFile(const std::filesystem::path& file) {
  std::string ext = core::Utf8FromPath(file.extension());
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext == ".pdf";
}

#ifdef VORTANE_HAVE_PRINT

int writeReportPdf(const std::filesystem::path& file, const core::Grid& grid, const std::string& header,
                   const std::string&) {
  // Pages are drawn with Qt's painter, which needs an application object; a
  // command-line run has no display, so the offscreen platform serves.
  // Qt's own notes (a missing runtime folder, font lookups) are not the
  // command's messages.
  const QtMessageHandler previous =
      qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
      });
  std::unique_ptr<QGuiApplication> app;
  if (QGuiApplication::instance() == nullptr) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "vortane-cli";
    static char* argv[] = {name, nullptr};
    app = std::make_unique<QGuiApplication>(argc, argv);
  }
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  print::PrintOutcome outcome;
  {
    QPdfWriter writer(&buffer);
    writer.setTitle(QString::fromStdString(header));
    writer.setCreator(QStringLiteral("vortane"));
    writer.setResolution(300);
    print::ReportPrintOptions options;
    options.headerText = QString::fromStdString(header);
    options.printedAt = print::PrintStamp(QDateTime::currentDateTime());
    print::ApplyReportPageLayout(writer, options);
    outcome = print::PrintReport(writer, grid, {}, options);
  }
  qInstallMessageHandler(previous);
  std::string error;
  if (!outcome.ok) {
    std::fprintf(stderr, "cannot draw the report's pages\n");
    return kFailed;
  }
  const QByteArray& bytes = buffer.data();
  if (!core::WriteFileAtomically(file, std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                                 &error)) {
    std::fprintf(stderr, "%s\n", error.empty() ? ("cannot write " + core::Utf8FromPath(file)).c_str() : error.c_str());
    return kFailed;
  }
  return kOk;
}

#else

int writeReportPdf(const std::filesystem::path&, const core::Grid&, const std::string&, const std::string& command) {
  return usageError(command, "--out .pdf needs the desktop build (VORTANE_GUI=ON); this build cannot draw pages");
}

#endif

}  // namespace cli
