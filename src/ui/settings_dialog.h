#pragma once
// Tfrmsetup, the settings dialog: every rule of the attendance robot, the log
// directory, the start options, the serial port and terminal type, and the
// terminal group that sends parameters to the time clock.
//
// The dialog never talks to the port. Its terminal buttons only emit signals;
// the main window runs the exchanges on its device worker and reports back
// through setTerminalBusy(). After exec() the main window reads the port
// choice through portChanged()/chosenComPort()/chosenPortName()/chosenType()
// and reopens the port itself.
//
// Signals the main window wires:
//   sendParametersRequested(lockTime, thresholdEdited, threshold)
//       "Odoslať": send the lock time (0..20 s, CMD 34); only when it was
//       acknowledged and thresholdEdited is true, send the battery threshold
//       (0..255, CMD 15) and show "Nepotvrdil" when it is given up.
//   batLoRequested()
//       click on the "Bat_LO" label: the CMD 16 loop, "Nepotvrdil" when given up.
//   clearRequested()
//       "Vymazať": align the transfer pointer with the terminal's PTR (the
//       connection check, the confirmation and "Vykonané" belong to that job).

#include <QDialog>
#include <QString>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <map>
#include <string>

#include "core/program_settings.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;

namespace core {
class Operator;
}

namespace ui {

// A pair of arrow buttons that steps an integer shown in a buddy edit, the
// way a classic up-down control sits beside its edit. The edit stays
// editable; typing in it does not move the position until the next step.
class UpDown : public QWidget {
  Q_OBJECT
 public:
  UpDown(QLineEdit* buddy, int minimum, int maximum, QWidget* parent = nullptr);

  int minimum() const { return m_min; }
  int maximum() const { return m_max; }
  // The buddy's number limited to the range; the minimum when it holds none.
  int position() const;
  void setPosition(int value);
  // One step up or down, as a click on an arrow does.
  void stepBy(int steps);

  QToolButton* upButton() const { return m_up; }
  QToolButton* downButton() const { return m_down; }

  // Names the arrows after the field they step, for a screen reader.
  void nameAfter(const QString& field);

 protected:
  // The Up and Down keys in the buddy step as the arrows do.
  bool eventFilter(QObject* watched, QEvent* event) override;

 signals:
  // Emitted after a click on either arrow, also at the end of the range.
  void stepped(int position);

 private:
  QLineEdit* m_buddy;
  int m_min;
  int m_max;
  QToolButton* m_up;
  QToolButton* m_down;
};

class SettingsDialog : public QDialog {
  Q_OBJECT
 public:
  SettingsDialog(core::ProgramDirectory dir, core::ProgramSettings& settings, core::Operator& op,
                 QWidget* parent = nullptr);

  // What the main window puts into the dialog before showing it: the swap box
  // (ticked for CHGINOUT >= 1), the COM port list at comPort - 1 (or at the
  // device `portName` when it is not empty) and the terminal type. Clears the
  // port-choice mark.
  void setTerminalFields(int chginout, int comPort, int type, const std::string& portName = {});

  // Read after the dialog closed with Accepted.
  bool portChanged() const { return m_portChanged; }
  // ComPort for a "COMn" entry (n); for a device entry the ComPort the main
  // window put in, which then stays as it is.
  int chosenComPort() const;
  // The device for a system-reported entry ("/dev/ttyUSB0"); empty for "COMn".
  std::string chosenPortName() const;
  // 0..2 as selected; the type the main window put in when it has no button.
  int chosenType() const;

  // Fills the controls from vortane.ini as showing the dialog does (also
  // called by showEvent): clears the log-directory and threshold marks and
  // puts the values the file holds into memory.
  void refreshFromFile();

  // The form as the controls hold it.
  core::SettingsForm gatherForm() const;

  // OK: the validated save sequence. Returns true when the dialog closed.
  bool tryAccept();

  bool closeAllowed() const { return m_closeAllowed; }
  bool logDirMarked() const { return m_logDirMark; }
  bool thresholdEdited() const { return m_thresholdMark; }

  // Replaces the folder choice of "..." (tests answer it; an empty text is a
  // cancelled choice).
  void setFolderChooser(std::function<QString()> chooser) { m_folderChooser = std::move(chooser); }
  // Replaces opening the help page (tests record it).
  void setUrlOpener(std::function<void(const QUrl&)> opener) { m_urlOpener = std::move(opener); }

 public slots:
  // While the main window runs a terminal job the group's buttons are off.
  void setTerminalBusy(bool busy);
  void accept() override;
  void reject() override;

 signals:
  void sendParametersRequested(int lockTime, bool thresholdEdited, int threshold);
  void batLoRequested();
  void clearRequested();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* buildKavexPage();
  QWidget* buildGeneralPage();
  QWidget* buildLunchPage();
  QWidget* buildHolidayPage();
  QWidget* buildBusinessPage();
  QWidget* buildDoctorPage();
  QWidget* buildVacationPage();
  QWidget* buildObstaclePage();
  QWidget* buildShiftPage();

  void fillPortList(const std::string& portName);
  void applyDependentStates();
  void updateSendButton();
  void browseLogDir();
  void openHelp();
  void onSendClicked();
  void focusControl(const std::string& key);

  core::ProgramDirectory m_dir;
  core::ProgramSettings& m_settings;
  core::Operator& m_op;

  bool m_built = false;
  // Above zero while the dialog puts values into its own controls: those
  // changes are not the operator's and set no mark.
  int m_filling = 0;
  bool m_closeAllowed = true;
  bool m_logDirMark = false;
  bool m_thresholdMark = false;
  bool m_portChanged = false;
  bool m_sendArmed = false;  // "Odoslať" waits for a changed lock time or threshold
  bool m_terminalBusy = false;
  int m_comPortGiven = 2;
  int m_typeGiven = 0;
  int m_unlistedRounding = -1;  // a stored rounding step that has no item of its own

  std::function<QString()> m_folderChooser;
  std::function<void(const QUrl&)> m_urlOpener;

  QTabWidget* m_pages = nullptr;

  // KAVEX
  QComboBox* RGComport = nullptr;
  QGroupBox* typgroup = nullptr;
  QRadioButton* m_typeButtons[3] = {};
  QCheckBox* chkautodnl = nullptr;
  QCheckBox* chkmini = nullptr;
  QLineEdit* edLogDir = nullptr;
  QPushButton* btLogDir = nullptr;
  QCheckBox* chkzamena = nullptr;
  QLineEdit* dobazamku = nullptr;
  UpDown* Updndoba = nullptr;
  QLineEdit* edbatlo = nullptr;
  QLabel* Label5 = nullptr;
  QPushButton* BTsend = nullptr;
  QPushButton* BitBtn1 = nullptr;

  // Obecné
  QLineEdit* edpchod = nullptr;
  QCheckBox* CheckBox1 = nullptr;
  QLineEdit* edstartpd = nullptr;
  QCheckBox* CheckBox2 = nullptr;
  QLineEdit* edstopPD = nullptr;
  QLineEdit* EDcorr = nullptr;
  UpDown* UPcorr = nullptr;
  QCheckBox* CHKnight = nullptr;
  QCheckBox* CHKmaxPD = nullptr;
  QLineEdit* EDmaxPD = nullptr;
  QComboBox* cmbOKR = nullptr;
  QCheckBox* CHKokrPR = nullptr;
  QCheckBox* CHKokrOD = nullptr;
  QCheckBox* CHKokrSM = nullptr;

  // Obedy
  QCheckBox* chkobedy = nullptr;
  QLineEdit* EDcasobed = nullptr;
  QCheckBox* chkobedodpocet = nullptr;

  // Sviatky
  QCheckBox* CHKweekendflag = nullptr;

  // Služobné
  QRadioButton* RBslstart1 = nullptr;
  QRadioButton* RBslstart2 = nullptr;
  QLineEdit* EDsluzstart = nullptr;
  QRadioButton* RBslstop1 = nullptr;
  QRadioButton* RBslstop2 = nullptr;
  QLineEdit* EDsluzstop = nullptr;
  QCheckBox* chkAutoSl = nullptr;

  // Lekár a PN
  QGroupBox* RBstartlek = nullptr;
  QRadioButton* m_startLek[2] = {};
  QLineEdit* EDstartLEK = nullptr;
  QGroupBox* RBstopLek = nullptr;
  QRadioButton* m_stopLek[2] = {};
  QLineEdit* EDstopLEK = nullptr;
  QCheckBox* CHKautoPN = nullptr;

  // Dovolenka
  QCheckBox* CHKdovflg = nullptr;
  QGroupBox* m_dovprGroup = nullptr;
  QRadioButton* RBdovpr1 = nullptr;
  QRadioButton* RBdovpr2 = nullptr;
  QLineEdit* EDdovpr = nullptr;
  QGroupBox* m_dovodGroup = nullptr;
  QRadioButton* RBdovOD1 = nullptr;
  QRadioButton* RBdovod2 = nullptr;
  QLineEdit* EDdovod = nullptr;
  QCheckBox* CHKautoDov = nullptr;

  // Prekážky
  QCheckBox* CHKautoPrek = nullptr;

  // Smeny: day, afternoon, night
  QLineEdit* m_shiftFrom[3] = {};
  QLineEdit* m_shiftTo[3] = {};
  QCheckBox* m_shiftUse[3] = {};
};

}  // namespace ui
