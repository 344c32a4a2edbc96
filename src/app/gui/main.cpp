// vortane: the desktop program.
//
//   vortane [PROGRAM-DIRECTORY] [--port DEVICE]
//
// The program directory holds vortane.ini, prac.txt and the other files of
// the installation; without it the executable's folder is used. --port names
// the terminal's serial device for this run, overriding ComPort and PortName.

#include <QApplication>
#include <QTimer>
#include <atomic>
#include <csignal>
#include <string>
#include <vector>

#include "ui/main_window.h"
#include "ui/qt_operator.h"

namespace {
std::atomic<bool> g_stopSignal{false};
extern "C" void OnStopSignal(int) { g_stopSignal.store(true); }
}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("vortane"));
  QApplication::setOrganizationName(QStringLiteral("vortane"));

  ui::MainWindowOptions options;
  options.executableDir = QCoreApplication::applicationDirPath().toStdString();
  const QStringList args = QCoreApplication::arguments();
  for (qsizetype i = 1; i < args.size(); ++i) {
    const QString& a = args[i];
    if (a == QLatin1String("--port") && i + 1 < args.size()) {
      options.portOverride = args[++i].toStdString();
    } else if (a.startsWith(QLatin1String("--port="))) {
      options.portOverride = a.mid(7).toStdString();
    } else {
      options.args.push_back(a.toStdString());
    }
  }

  ui::QtOperator op;
  ui::TForm1 window(op, options);
  op.setParent(&window);
  if (!window.FormCreate()) return 1;
  window.show();

  // Ctrl+C or a TERM signal close the window as the operator would: a
  // transfer under way ends after its block and stores its pointer first.
  std::signal(SIGINT, OnStopSignal);
  std::signal(SIGTERM, OnStopSignal);
  QTimer stopPoll;
  QObject::connect(&stopPoll, &QTimer::timeout, &window, [&window] {
    if (g_stopSignal.exchange(false)) {
      window.showNormal();
      window.close();
    }
  });
  stopPoll.start(200);
  return QApplication::exec();
}
