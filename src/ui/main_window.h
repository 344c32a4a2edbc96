#pragma once
// TForm1: the main window and the program's hub. It starts the installation
// (catalogue, program directory, settings, employees, presence table, port),
// shows the terminal's state from the status heartbeat, runs the check for new
// records after each usable status reply, echoes downloads in its text area,
// follows presented identifiers, hides to the notification area and opens the
// other windows.
//
// Every exchange with the terminal runs on the device worker thread; this
// window only queues jobs, shows their progress and asks the operator its
// questions between jobs, so it never waits for the line.

#include <QDateTime>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/employee_list.h"
#include "core/employee_rows.h"
#include "core/messages.h"
#include "core/operator.h"
#include "core/program_settings.h"
#include "device/device_state.h"
#include "device/presence.h"
#include "device/transfer.h"
#include "ui/device_worker.h"
#include "ui/file_dialogs.h"
#include "ui/help.h"
#include "ui/report_period_dialog.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPrinter;
class QProgressBar;
class QPushButton;
class QSystemTrayIcon;
class QThread;
class QToolBar;
class QWidget;

namespace ui {

class Tfrminfo;
class Tfrmlist;
class Tfrmstav;
class FindDialog;

struct MainWindowOptions {
  // Command-line arguments after the program's name; the first one may name
  // the program directory.
  std::vector<std::string> args;
  // Folder of the executable: the default program directory and the place of
  // the language file.
  std::filesystem::path executableDir;
  // A device name that overrides ComPort and PortName for this run.
  std::string portOverride;
  // Opens the link to the terminal; the default opens the serial port.
  TransportFactory transportFactory;
  // The per-user mark of the first start; empty: the user's configuration folder.
  std::filesystem::path firstStartMarker;
  int tickMs = 700;
  int hiddenTickMs = 10000;
  int startMinimisedDelayMs = 1000;
  // Tests drive the heartbeat themselves.
  bool startTimers = true;
  // The clock of the windows' "current month"; empty: the system clock.
  std::function<QDateTime()> now;
  // File dialogs and the help opener of the windows; empty: the system's.
  FileDialogs* fileDialogs = nullptr;
  UrlOpener urlOpener;
};

class SettingsDialog;
class TipWindow;

class TForm1 : public QMainWindow {
  Q_OBJECT
 public:
  TForm1(core::Operator& op, MainWindowOptions options, QWidget* parent = nullptr);
  ~TForm1() override;

  // Start-up in its fixed order. False when the program must end (the
  // message has been shown).
  bool FormCreate();

  // One heartbeat (public so that tests can drive it without the timer).
  void Timer1Timer();
  // True while a command of this window runs on the device worker.
  bool busy() const { return m_busy; }
  // True from a heartbeat's start until its reply has been handled (with
  // any transfer it started).
  bool tickRunning() const { return m_tickRunning; }
  bool portOpen() const { return m_portOpen; }
  int failCount() const { return m_monitor.FailCount; }
  bool declined() const { return m_monitor.Declined; }
  bool batteryWarned() const { return m_monitor.BatteryWarned; }
  bool fixedMode() const { return m_fixedMode; }
  QTimer& statusTimer() { return m_timer1; }
  bool isHiddenToTray() const { return m_hiddenToTray; }

  QString statusPanelText(int panel) const;
  QString memoText() const;
  void addLine(const QString& line);

  // Finds `text` after the current selection of the text area (case
  // sensitive); selects it and focuses the area when found.
  bool findNext(const QString& text);
  // Prints the text area with the document title "VORTANE".
  void printTo(QPrinter& printer);

  const core::ProgramSettings& settings() const { return m_settings; }
  const core::EmployeeList& employees() const { return m_employees; }
  const core::ProgramDirectory& programDirectory() const { return m_dir; }
  const core::MessageCatalogue& messages() const { return m_messages; }
  const device::PresenceStatus& presence() const { return m_presence; }
  Tfrmstav* presenceBoard() const { return m_stav; }
  Tfrminfo* progressWindow() const { return m_info; }
  DeviceWorker* worker() const { return m_worker; }

  // Runs `job` on the device worker after the jobs already queued and calls
  // `done` on this window's thread when it has finished.
  void runDeviceJob(std::function<void(DeviceLink&)> job, std::function<void()> done = {});
  // After the settings dialog changed the port or the terminal type: reopens
  // the port; on success stores ComPort, Rate, type (and PortName) in
  // GLOBAL; on failure shows the message and leaves the heartbeat stopped.
  bool applyPortChoice(int comPort, int type, const std::string& portName);
  bool heartbeatHeld() const { return m_portFailedAfterSettings; }
  // The same, waiting (with the event loop running) until the job has ended.
  void runAndWait(std::function<void(DeviceLink&)> job);

  // The employee list window, modal over `parent`, with the status heartbeat
  // paused while it is open. After a save the presence table is rebuilt; the
  // list itself is changed in place, so employees() stays the same object.
  void showEmployeeList(QWidget* parent);
  // The one tip window of the run, made on first use.
  TipWindow* tipWindow();
  // The attendance sheet window, created on first use; one for the whole run.
  Tfrmlist* sheetWindow();
  // The hours calculator, not modal.
  void showCalculator();
  // Today as the windows see it (MainWindowOptions::now in tests).
  QDateTime now() const;
  bool employeeListOpen() const { return m_employeeListOpen; }

 public slots:
  void act_hideExecute();
  void showFromTray();
  void act_newrecordsExecute();
  void Prenoszznamov1Click();
  void Preniesvetkyzznamy1Click();
  void set_timeExecute();
  void act_stopExecute();
  void act_stavExecute();
  void Act_pracExecute();
  void act_dochkartaExecute();
  // "Výkaz": the period dialog, then the combined report, both modal.
  void vykazExecute();
  void Nastaveniaprogramu1Click();
  void PansnDblClick();
  void chkRFshowClick(bool checked);

 signals:
  // After each heartbeat has been handled completely.
  void tickHandled();
  // After each transfer has ended (any kind).
  void transferEnded();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  enum class TransferKind { NewRecords, Count, All, Automatic };

  void buildActions();
  void buildMenus();
  void buildToolBar();
  void buildCentral();
  void buildStatusBar();
  void buildTray();
  void form_lang();
  // The installation folders in the backup reminder.
  void showFolders();
  void FormShow();
  void Timer2Timer();
  void updateBusyActions();
  void setBusy(bool busy);

  bool OpenComPort();
  PortRequest portRequest() const;
  void requestStatus();

  void onStatusRead(const device::DeviceState& state, bool usable);
  void applyStatusPanels(const device::DeviceState& state);
  void applyCardPanel(const device::DeviceState& state);
  // The decision after a usable reply; true when a transfer was started (the
  // heartbeat then ends with the transfer).
  bool CheckNewRecords();
  void finishTick();

  bool portReadyForCommand(int message);
  // False while an exchange runs; waits for a heartbeat under way to end.
  bool readyForCommand();
  void runTransfer(TransferKind kind, int n);
  void onTransferDone(TransferKind kind, const device::CommandOutcome& out, const device::PresenceStatus& presence);
  void connectSettingsDialog(SettingsDialog& dialog);

  void stopTimer1();
  void restartTimer1();
  // The new-employee dialog's card reading: ReadCard on the device worker,
  // with the progress window over `over`.
  std::optional<int> readPresentedCard(QWidget* over);
  void employeeListSaved();
  QPoint questionPlace() const;
  void placeQuestion();

  core::Operator& m_op;
  MainWindowOptions m_options;

  core::MessageCatalogue m_messages;
  core::ProgramDirectory m_dir;
  core::ProgramSettings m_settings;
  core::EmployeeList m_employees;
  device::PresenceStatus m_presence;

  // FailCount, Declined, BatteryWarned.
  device::ConnectionMonitor m_monitor;
  bool m_fixedMode = false;  // AUTODNL as loaded at start-up
  bool m_created = false;
  bool m_portOpen = false;
  bool m_portFailedAfterSettings = false;
  bool m_busy = false;
  bool m_tickRunning = false;
  bool m_hiddenToTray = false;
  bool m_closing = false;
  bool m_employeeListOpen = false;  // holds the heartbeat
  // The new-employee dialog's values between uses.
  core::EmployeeRow m_newEmployeeMemory = core::NewEmployeeRowDefaults();
  device::DeviceState m_last;  // the last usable status reply
  bool m_haveStatus = false;

  QTimer m_timer1;
  QTimer m_timer2;

  QThread* m_thread = nullptr;
  DeviceWorker* m_worker = nullptr;

  // Widgets, named as the window's components.
  QPlainTextEdit* memo1 = nullptr;
  QLabel* m_panels[3] = {nullptr, nullptr, nullptr};
  QGroupBox* GroupBox1 = nullptr;
  QLabel* PanTime = nullptr;
  QLabel* Pansn = nullptr;
  QLabel* PanName = nullptr;
  QLabel* pandoortime = nullptr;
  QLabel* m_lockCaption = nullptr;
  QLabel* m_lockUnit = nullptr;
  QLabel* Pannewr = nullptr;
  QLabel* panptr = nullptr;
  QLabel* Label9 = nullptr;
  QLabel* Label10 = nullptr;
  QGroupBox* GroupBox2 = nullptr;
  QLabel* panib = nullptr;
  QLabel* PanNazov = nullptr;
  QCheckBox* chkRFshow = nullptr;
  QPushButton* Button1 = nullptr;
  QWidget* panProgress = nullptr;
  QProgressBar* autoDNLBAR = nullptr;
  QSystemTrayIcon* TrayIcon1 = nullptr;
  QMenu* popuptray = nullptr;
  QMenu* PopupMenu1 = nullptr;
  QToolBar* ToolBar1 = nullptr;
  QAction* m_stavButton = nullptr;  // the tool bar's "Stav" button
  QAction* m_stopButton = nullptr;  // the tool bar's "Stop" button

  QAction* act_dochkarta = nullptr;
  QAction* vykaz = nullptr;
  QAction* Act_prac = nullptr;
  QAction* act_newrecords = nullptr;
  QAction* help_action = nullptr;
  QAction* act_hide = nullptr;
  QAction* act_stav = nullptr;
  QAction* act_stop = nullptr;
  QAction* set_time = nullptr;
  QAction* copy = nullptr;
  QAction* selall_act = nullptr;
  QAction* find_act = nullptr;
  QAction* print = nullptr;
  QAction* m_exitAction = nullptr;

  // Menu entries the language file renames, by catalogue number.
  std::vector<std::pair<int, QAction*>> m_menuCaptions;
  std::vector<std::pair<int, QMenu*>> m_menuTitles;

  Tfrminfo* m_info = nullptr;
  Tfrmstav* m_stav = nullptr;
  FindDialog* m_find = nullptr;
  QPointer<QWidget> m_calc;
  QPointer<Tfrmlist> m_sheet;
  QPointer<TipWindow> m_tip;
  ReportPeriodMemory m_periodMemory;
};

}  // namespace ui
