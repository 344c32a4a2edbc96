// The settings dialog headless: loading from vortane.ini, the dependent
// states, the validated save with its messages and focus, the closing rules,
// the port choice and the terminal group's signals.

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include "core/ini_file.h"
#include "core/program_settings.h"
#include "support/test_support.h"
#include "ui/accessibility_walk.h"
#include "ui/settings_dialog.h"

namespace {

using testing_support::AccessibilityProblems;
using testing_support::ReadBytes;
using testing_support::ScriptedOperator;
using testing_support::TempDir;
using testing_support::WriteCp1250;

class SettingsDialogTest : public ::testing::Test {
 protected:
  SettingsDialogTest() {
    dir.dir = tmp.path() / "";
    std::filesystem::create_directories(tmp.path() / "Log");
    settings.LOGDIR = (tmp.path() / "Log" / "").string();
  }

  void writeIni(const std::string& text) { WriteCp1250(dir.iniFile(), text); }
  core::IniFile ini() const { return core::IniFile::load(dir.iniFile()); }

  ui::SettingsDialog& dialog() {
    if (!m_dialog) m_dialog = std::make_unique<ui::SettingsDialog>(dir, settings, op);
    return *m_dialog;
  }
  // Shows the dialog as the main window does, after filling its terminal fields.
  ui::SettingsDialog& shown(int chginout = 0, int comPort = 2, int type = 0) {
    dialog().setTerminalFields(chginout, comPort, type);
    dialog().show();
    return dialog();
  }

  template <typename T>
  T* w(const char* name) {
    T* found = dialog().findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  QLineEdit* edit(const char* name) { return w<QLineEdit>(name); }
  QCheckBox* check(const char* name) { return w<QCheckBox>(name); }
  QRadioButton* radio(const char* name) { return w<QRadioButton>(name); }
  void setText(const char* name, const QString& text) { edit(name)->setText(text); }
  void pressOk() { w<QPushButton>("BTok")->click(); }
  // Puts text into an edit the way a screen reader or automation tool does:
  // through the accessibility interface, without a single key event.
  void setTextFromOutside(const char* name, const QString& text) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(edit(name));
    ASSERT_NE(iface, nullptr) << name;
    iface->setText(QAccessible::Value, text);
    ASSERT_EQ(edit(name)->text(), text) << name;
  }

  TempDir tmp;
  core::ProgramDirectory dir;
  core::ProgramSettings settings;
  ScriptedOperator op;

 private:
  std::unique_ptr<ui::SettingsDialog> m_dialog;
};

TEST_F(SettingsDialogTest, EmptyIniShowsTheDefaults) {
  writeIni("");
  shown();
  struct Row {
    const char* edit;
    const char* text;
  };
  const Row rows[] = {
      {"edpchod", "08:30"},    {"EDcorr", "5"},        {"EDmaxPD", "16:00"},     {"edstartpd", "06:00"},
      {"edstopPD", "18:00"},   {"EDcasobed", "30"},    {"EDsluzstart", "08:00"}, {"EDsluzstop", "16:30"},
      {"EDstartLEK", "08:00"}, {"EDstopLEK", "15:00"}, {"EDdovpr", "08:00"},     {"EDdovod", "16:30"},
      {"EDstartDS", "06:00"},  {"EDstopDS", "14:00"},  {"EDstartPS", "14:00"},   {"EDstopPS", "22:00"},
      {"EDstartNS", "22:00"},  {"EDstopNS", "06:00"},  {"edbatlo", "200"},       {"dobazamku", "0"},
  };
  for (const Row& r : rows) EXPECT_EQ(edit(r.edit)->text().toStdString(), r.text) << r.edit;
  EXPECT_EQ(w<QComboBox>("cmbOKR")->currentText(), "0");
  EXPECT_EQ(w<QComboBox>("cmbOKR")->count(), 6);
  EXPECT_TRUE(check("CHKmaxPD")->isChecked());
  EXPECT_TRUE(check("CHKweekendflag")->isChecked());
  EXPECT_TRUE(check("chkobedodpocet")->isChecked());
  EXPECT_FALSE(check("chkobedodpocet")->isEnabled());  // lunch within working time is off
  EXPECT_TRUE(radio("RBslstart2")->isChecked());
  EXPECT_TRUE(radio("RBslstop2")->isChecked());
  EXPECT_TRUE(radio("RBstartlek1")->isChecked());
  EXPECT_FALSE(check("CHKdovflg")->isChecked());
  EXPECT_TRUE(w<QGroupBox>("GBdovpr")->isHidden());
  EXPECT_TRUE(w<QGroupBox>("GBdovod")->isHidden());
  EXPECT_FALSE(edit("edstartpd")->isEnabled());
  EXPECT_FALSE(edit("edstopPD")->isEnabled());
  EXPECT_FALSE(check("chkautodnl")->isEnabled());
  EXPECT_TRUE(check("CHKUSEDS")->isChecked());
  EXPECT_TRUE(check("CHKnight")->isHidden());
  EXPECT_FALSE(w<QPushButton>("BTsend")->isEnabled());
  EXPECT_EQ(edit("edLogDir")->text().toStdString(), (tmp.path() / "Log" / "").string());
}

TEST_F(SettingsDialogTest, CraftedIniFillsTheControlsAndMemory) {
  writeIni("[GLOBAL]\r\nAUTODNL=1\r\nMINIMALIZE=1\r\nLOGDIR=" + (tmp.path() / "Log").string() +
           "\r\n[CALC]\r\nnormaPD=7:30:00\r\ncorrtime=12\r\nZAOKRPROD=4\r\nstartSLflag=0\r\nstartSL=7:15:00\r\n"
           "DOVFLAG=1\r\ndovprflag=1\r\ndovPR=9:00:00\r\nstartLEKflag=0\r\nobedyflag=1\r\nobedodpocet=0\r\n"
           "startPDflag=1\r\nstartPD=6:30:00\r\nUSEPS=0\r\nstopNS=5:00:00\r\nokrpr=1\r\nokrod=1\r\nautoprek=0\r\n"
           "weekendflag=0\r\nmaxPD=bad\r\n");
  settings.okrpr = false;  // the one value the dialog shows from memory
  shown(1, 5, 1);

  EXPECT_EQ(edit("edpchod")->text(), "07:30");
  EXPECT_EQ(edit("EDcorr")->text(), "12");
  EXPECT_EQ(w<QComboBox>("cmbOKR")->currentText(), "30");
  EXPECT_TRUE(radio("RBslstart1")->isChecked());
  EXPECT_FALSE(edit("EDsluzstart")->isEnabled());
  EXPECT_EQ(edit("EDsluzstart")->text(), "07:15");
  EXPECT_TRUE(check("CHKdovflg")->isChecked());
  EXPECT_FALSE(w<QGroupBox>("GBdovpr")->isHidden());
  EXPECT_TRUE(radio("RBdovpr2")->isChecked());  // showing stored values keeps the stored choice
  EXPECT_TRUE(radio("RBdovOD1")->isChecked());
  EXPECT_EQ(edit("EDdovpr")->text(), "09:00");
  EXPECT_TRUE(radio("RBstartlek0")->isChecked());
  EXPECT_FALSE(edit("EDstartLEK")->isEnabled());
  EXPECT_TRUE(edit("EDstopLEK")->isEnabled());
  EXPECT_TRUE(check("chkobedodpocet")->isEnabled());
  EXPECT_FALSE(check("chkobedodpocet")->isChecked());
  EXPECT_TRUE(check("CheckBox1")->isChecked());
  EXPECT_TRUE(edit("edstartpd")->isEnabled());
  EXPECT_EQ(edit("edstartpd")->text(), "06:30");
  EXPECT_FALSE(check("CHKUSEPS")->isChecked());
  EXPECT_EQ(edit("EDstopNS")->text(), "05:00");
  EXPECT_FALSE(check("CHKokrPR")->isChecked());
  EXPECT_TRUE(check("CHKokrOD")->isChecked());
  EXPECT_FALSE(check("CHKautoPrek")->isChecked());
  EXPECT_FALSE(check("CHKweekendflag")->isChecked());
  EXPECT_EQ(edit("EDmaxPD")->text(), "16:00");  // unparsable: the default
  EXPECT_TRUE(check("chkautodnl")->isChecked());
  EXPECT_TRUE(check("chkautodnl")->isEnabled());  // type 1 set by the main window
  EXPECT_TRUE(check("chkmini")->isChecked());
  EXPECT_TRUE(check("chkzamena")->isChecked());
  EXPECT_EQ(w<QComboBox>("RGComport")->currentText(), "COM5");
  EXPECT_FALSE(dialog().portChanged());

  // Values the file holds went into memory with the showing.
  EXPECT_EQ(settings.normaPD, core::TimeOfDay::fromHm(7, 30));
  EXPECT_EQ(settings.ZAOKRPROD, 30);
  EXPECT_EQ(settings.corrtime, 12);
  EXPECT_FALSE(settings.startSLflag);
  EXPECT_TRUE(settings.dovflag);
}

TEST_F(SettingsDialogTest, BadMaxPdKeepsTheDialogOpenAfterTheEarlierValuesWereStored) {
  writeIni("[CALC]\r\ncorrtime=5\r\n");
  shown();
  setText("edpchod", "7:45");
  setText("EDstartDS", "05:30");
  setText("EDstopNS", "04:00");
  setText("EDdovpr", "09:15");
  setText("EDdovod", "15:00");
  setText("EDmaxPD", "8.30");
  setText("EDcorr", "9");  // after maxPD in the sequence: must not be stored
  setText("EDsluzstart", "07:00");
  w<QTabWidget>("PageControl1")->setCurrentIndex(8);

  pressOk();

  ASSERT_EQ(op.messages.size(), 1u);
  EXPECT_EQ(op.messages[0], "Nesprávna hodnota v maximalnej prac.dobe");
  EXPECT_TRUE(dialog().isVisible());
  EXPECT_FALSE(dialog().closeAllowed());
  EXPECT_EQ(dialog().focusWidget(), edit("EDmaxPD"));
  EXPECT_EQ(w<QTabWidget>("PageControl1")->currentIndex(), 1);  // the page holding the edit

  const core::IniFile file = ini();
  EXPECT_EQ(file.readTime("CALC", "normaPD", {}), core::TimeOfDay::fromHm(7, 45));
  EXPECT_EQ(file.readTime("CALC", "startDS", {}), core::TimeOfDay::fromHm(5, 30));
  EXPECT_EQ(file.readTime("CALC", "stopNS", {}), core::TimeOfDay::fromHm(4, 0));
  EXPECT_EQ(file.readTime("CALC", "dovPR", {}), core::TimeOfDay::fromHm(9, 15));
  EXPECT_EQ(file.readTime("CALC", "dovOD", {}), core::TimeOfDay::fromHm(15, 0));
  EXPECT_FALSE(file.value("CALC", "maxPD").has_value());
  EXPECT_EQ(file.readInt("CALC", "corrtime", -1), 5);
  EXPECT_FALSE(file.value("CALC", "startSL").has_value());
  EXPECT_EQ(settings.normaPDminutes, 465);
  EXPECT_EQ(settings.maxPD, core::TimeOfDay::fromHm(16, 0));

  // The close box is refused while the last OK failed; "Zrušiť" closes.
  EXPECT_FALSE(dialog().close());
  EXPECT_TRUE(dialog().isVisible());
  w<QPushButton>("BTcancel")->click();
  EXPECT_FALSE(dialog().isVisible());
  EXPECT_EQ(dialog().result(), QDialog::Rejected);
  EXPECT_TRUE(dialog().closeAllowed());
}

TEST_F(SettingsDialogTest, ShiftTimeOfTwentyFiveHoursGivesTheShiftMessageWithoutMovingTheFocus) {
  writeIni("");
  shown();
  setText("EDstopDS", "25:00");
  QCheckBox* weekend = check("CHKweekendflag");
  w<QTabWidget>("PageControl1")->setCurrentIndex(3);
  weekend->setFocus();

  pressOk();

  ASSERT_EQ(op.messages.size(), 1u);
  EXPECT_EQ(op.messages[0], "Nespravny hodnota času v urcení smeny\rPoužite napr: 08:00");
  EXPECT_EQ(dialog().focusWidget(), weekend);
  EXPECT_EQ(w<QTabWidget>("PageControl1")->currentIndex(), 3);
  EXPECT_FALSE(dialog().close());
  EXPECT_TRUE(dialog().isVisible());

  // Corrected, OK closes the dialog with the result OK.
  setText("EDstopDS", "14:30");
  pressOk();
  EXPECT_EQ(op.messages.size(), 1u);
  EXPECT_FALSE(dialog().isVisible());
  EXPECT_EQ(dialog().result(), QDialog::Accepted);
  EXPECT_EQ(ini().readTime("CALC", "stopDS", {}), core::TimeOfDay::fromHm(14, 30));
}

TEST_F(SettingsDialogTest, FailedChecksPutTheFocusOnTheOffendingEdit) {
  struct Case {
    const char* edit;
    const char* bad;
    const char* message;
    bool focus;
  };
  const Case cases[] = {
      {"edpchod", "", "Nesprávna hodnota v stanoveni denneho prac.casu", true},
      {"EDdovod", "08:60", "Nesprávna hodnota v case dovolenka Odchod", true},
      {"EDcorr", "5a", "Nesprávna hodnota v Čase na opravu", true},
      {"edstartpd", "x", "Nesprávna hodnota v Zaciatku prac.doby,použite napr: 06:30", false},
      {"EDcasobed", "3.5", "Nesprávna hodnota v case na obed,uvadzajte minuty", true},
      {"EDsluzstop", "24:00", "Nesprávna hodnota v sluzobnom odchode", true},
      {"EDstartLEK", "-1", "Nesprávna hodnota v hodnote LEKAR prichod", true},
  };
  writeIni("");
  shown();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.edit);
    op.messages.clear();
    const QString good = edit(c.edit)->text();
    w<QPushButton>("BTok")->setFocus();
    setText(c.edit, c.bad);
    pressOk();
    ASSERT_EQ(op.messages.size(), 1u);
    EXPECT_EQ(op.messages[0], c.message);
    EXPECT_EQ(dialog().focusWidget() == edit(c.edit), c.focus);
    EXPECT_TRUE(dialog().isVisible());
    setText(c.edit, good);
  }
}

TEST_F(SettingsDialogTest, SuccessfulOkStoresEveryValueAndCloses) {
  writeIni("");
  shown(0, 2, 0);
  setText("edpchod", "07:00");
  check("CHKokrPR")->click();
  w<QComboBox>("cmbOKR")->setCurrentIndex(3);
  check("chkzamena")->click();
  check("chkmini")->click();
  radio("RBslstop1")->click();
  setText("EDcasobed", "45");
  check("CHKUSENS")->click();

  pressOk();

  EXPECT_TRUE(op.messages.empty());
  EXPECT_EQ(dialog().result(), QDialog::Accepted);
  const core::IniFile file = ini();
  EXPECT_EQ(file.readTime("CALC", "normaPD", {}), core::TimeOfDay::fromHm(7, 0));
  EXPECT_EQ(file.readInt("CALC", "ZAOKRPROD", -1), 3);
  EXPECT_EQ(file.readInt("GLOBAL", "CHGINOUT", -1), 1);
  EXPECT_EQ(file.readInt("GLOBAL", "MINIMALIZE", -1), 1);
  EXPECT_EQ(file.readInt("CALC", "stopSLflag", -1), 0);
  EXPECT_EQ(file.readInt("CALC", "obedcas", -1), 45);
  EXPECT_EQ(file.readInt("CALC", "USENS", -1), 0);
  EXPECT_EQ(file.readInt("CALC", "okrpr", -1), 1);
  EXPECT_EQ(settings.ZAOKRPROD, 15);
  EXPECT_EQ(settings.normaPDminutes, 420);
  EXPECT_TRUE(settings.okrpr);
  EXPECT_FALSE(settings.stopSLflag);
  EXPECT_EQ(settings.obedcas, 45);
  EXPECT_FALSE(settings.USENS);
  EXPECT_FALSE(file.value("GLOBAL", "LOGDIR").has_value());  // the edit was not touched
}

TEST_F(SettingsDialogTest, MissingLogDirectoryIsRefusedBeforeAnythingIsWritten) {
  writeIni("[CALC]\r\nnormaPD=8:00:00\r\n");
  const std::string before = ReadBytes(dir.iniFile());
  shown();
  EXPECT_FALSE(dialog().logDirMarked());
  setText("edpchod", "06:00");
  QLineEdit* logDir = edit("edLogDir");
  logDir->clear();
  QTest::keyClicks(logDir, QString::fromStdString((tmp.path() / "nowhere").string()));
  EXPECT_TRUE(dialog().logDirMarked());

  pressOk();

  ASSERT_EQ(op.messages.size(), 1u);
  EXPECT_EQ(op.messages[0], "Adresar LOGDIR neexistuje");
  EXPECT_EQ(dialog().focusWidget(), logDir);
  EXPECT_EQ(ReadBytes(dir.iniFile()), before);

  // Browsing to an existing folder puts it in with a trailing separator and saves.
  const auto other = tmp.path() / "Other";
  std::filesystem::create_directories(other);
  dialog().setFolderChooser([&] { return QString::fromStdString(other.string()); });
  w<QPushButton>("btLogDir")->click();
  EXPECT_EQ(logDir->text().toStdString(), (other / "").string());
  pressOk();
  EXPECT_EQ(op.messages.size(), 1u);
  EXPECT_FALSE(dialog().isVisible());
  EXPECT_EQ(settings.LOGDIR, (other / "").string());

  // The mark is cleared each time the dialog is shown.
  shown();
  EXPECT_FALSE(dialog().logDirMarked());
  EXPECT_EQ(logDir->text().toStdString(), (other / "").string());
}

TEST_F(SettingsDialogTest, DependentStatesFollowTheControls) {
  writeIni("");
  shown();

  check("CheckBox1")->click();
  EXPECT_TRUE(edit("edstartpd")->isEnabled());
  EXPECT_TRUE(settings.startPDflag);  // set in memory at once, before any OK
  check("CheckBox1")->click();
  EXPECT_FALSE(edit("edstartpd")->isEnabled());
  EXPECT_FALSE(settings.startPDflag);
  check("CheckBox2")->click();
  EXPECT_TRUE(edit("edstopPD")->isEnabled());
  EXPECT_TRUE(settings.stopPDflag);

  check("chkobedy")->click();
  EXPECT_TRUE(check("chkobedodpocet")->isEnabled());
  check("chkobedy")->click();
  EXPECT_FALSE(check("chkobedodpocet")->isEnabled());

  struct Pair {
    const char* first;
    const char* second;
    const char* edit;
  };
  const Pair pairs[] = {{"RBslstart1", "RBslstart2", "EDsluzstart"},
                        {"RBslstop1", "RBslstop2", "EDsluzstop"},
                        {"RBstartlek0", "RBstartlek1", "EDstartLEK"},
                        {"RBstopLek0", "RBstopLek1", "EDstopLEK"}};
  for (const Pair& p : pairs) {
    SCOPED_TRACE(p.edit);
    radio(p.first)->click();
    EXPECT_FALSE(edit(p.edit)->isEnabled());
    radio(p.second)->click();
    EXPECT_TRUE(edit(p.edit)->isEnabled());
  }

  check("CHKdovflg")->click();
  EXPECT_FALSE(w<QGroupBox>("GBdovpr")->isHidden());
  radio("RBdovpr2")->click();
  radio("RBdovod2")->click();
  check("CHKdovflg")->click();
  EXPECT_TRUE(w<QGroupBox>("GBdovpr")->isHidden());
  EXPECT_TRUE(w<QGroupBox>("GBdovod")->isHidden());
  check("CHKdovflg")->click();
  EXPECT_FALSE(w<QGroupBox>("GBdovpr")->isHidden());
  EXPECT_FALSE(w<QGroupBox>("GBdovod")->isHidden());
  EXPECT_TRUE(radio("RBdovpr1")->isChecked());
  EXPECT_TRUE(radio("RBdovOD1")->isChecked());
}

TEST_F(SettingsDialogTest, PortAndTypeChoiceIsMarkedForTheMainWindow) {
  writeIni("");
  shown(0, 3, 0);
  EXPECT_FALSE(dialog().portChanged());
  EXPECT_EQ(dialog().chosenComPort(), 3);
  EXPECT_EQ(dialog().chosenType(), 0);
  EXPECT_EQ(dialog().chosenPortName(), "");

  radio("typgroup2")->click();
  EXPECT_TRUE(dialog().portChanged());
  EXPECT_TRUE(check("chkautodnl")->isEnabled());
  EXPECT_EQ(dialog().chosenType(), 2);
  radio("typgroup0")->click();
  EXPECT_FALSE(check("chkautodnl")->isEnabled());

  // Filling the fields again clears the mark; a click on the selected type sets it.
  dialog().setTerminalFields(0, 3, 0);
  EXPECT_FALSE(dialog().portChanged());
  radio("typgroup0")->click();
  EXPECT_TRUE(dialog().portChanged());

  dialog().setTerminalFields(0, 3, 1);
  w<QComboBox>("RGComport")->setCurrentIndex(23);
  EXPECT_TRUE(dialog().portChanged());
  EXPECT_EQ(dialog().chosenComPort(), 24);
  EXPECT_EQ(w<QComboBox>("RGComport")->itemText(0), "COM1");

  // A stored type without a button: none is selected and the type stays unless one is picked.
  dialog().setTerminalFields(0, 3, 7);
  EXPECT_FALSE(radio("typgroup0")->isChecked() || radio("typgroup1")->isChecked() || radio("typgroup2")->isChecked());
  EXPECT_EQ(dialog().chosenType(), 7);
  EXPECT_TRUE(check("chkautodnl")->isEnabled());
  radio("typgroup1")->click();
  EXPECT_EQ(dialog().chosenType(), 1);

  // A device named in the settings is offered and chosen even when the system does not list it.
  dialog().setTerminalFields(0, 4, 1, "/dev/pts/77");
  EXPECT_FALSE(dialog().portChanged());
  EXPECT_EQ(dialog().chosenPortName(), "/dev/pts/77");
  EXPECT_EQ(dialog().chosenComPort(), 4);
  w<QComboBox>("RGComport")->setCurrentIndex(0);
  EXPECT_EQ(dialog().chosenPortName(), "");
  EXPECT_EQ(dialog().chosenComPort(), 1);
}

TEST_F(SettingsDialogTest, TerminalGroupEmitsItsRequests) {
  writeIni("");
  shown();
  QSignalSpy send(&dialog(), &ui::SettingsDialog::sendParametersRequested);
  QSignalSpy batLo(&dialog(), &ui::SettingsDialog::batLoRequested);
  QSignalSpy clear(&dialog(), &ui::SettingsDialog::clearRequested);
  auto* sendButton = w<QPushButton>("BTsend");
  auto* updown = w<ui::UpDown>("Updndoba");

  EXPECT_FALSE(sendButton->isEnabled());
  updown->upButton()->click();
  updown->upButton()->click();
  EXPECT_EQ(edit("dobazamku")->text(), "2");
  ASSERT_TRUE(sendButton->isEnabled());
  sendButton->click();
  ASSERT_EQ(send.count(), 1);
  EXPECT_EQ(send[0], (QList<QVariant>{2, false, 200}));
  EXPECT_FALSE(sendButton->isEnabled());

  QLineEdit* threshold = edit("edbatlo");
  threshold->selectAll();
  QTest::keyClicks(threshold, "300");  // the third digit is refused: 0..255
  EXPECT_EQ(threshold->text(), "30");
  EXPECT_TRUE(dialog().thresholdEdited());
  sendButton->click();
  ASSERT_EQ(send.count(), 2);
  EXPECT_EQ(send[1], (QList<QVariant>{2, true, 30}));

  // An empty threshold cannot be sent.
  threshold->selectAll();
  QTest::keyClick(threshold, Qt::Key_Backspace);
  EXPECT_FALSE(sendButton->isEnabled());
  QTest::keyClicks(threshold, "99");
  EXPECT_TRUE(sendButton->isEnabled());

  // Closed and shown again: the threshold mark is gone, "Odoslať" sends only the lock time.
  w<QPushButton>("BTcancel")->click();
  shown();
  EXPECT_FALSE(dialog().thresholdEdited());
  ASSERT_TRUE(sendButton->isEnabled());
  sendButton->click();
  ASSERT_EQ(send.count(), 3);
  EXPECT_EQ(send[2], (QList<QVariant>{2, false, 99}));

  // The lock time stays within 0..20.
  for (int i = 0; i < 30; ++i) updown->upButton()->click();
  EXPECT_EQ(edit("dobazamku")->text(), "20");
  for (int i = 0; i < 30; ++i) updown->downButton()->click();
  EXPECT_EQ(edit("dobazamku")->text(), "0");

  QTest::mouseClick(w<QLabel>("Label5"), Qt::LeftButton);
  EXPECT_EQ(batLo.count(), 1);
  w<QPushButton>("BitBtn1")->click();
  EXPECT_EQ(clear.count(), 1);
  EXPECT_EQ(w<QPushButton>("BitBtn1")->toolTip(), "Vymazať pamäť VORTANE");

  // While the main window runs a terminal job the group is quiet.
  dialog().setTerminalBusy(true);
  EXPECT_FALSE(sendButton->isEnabled());
  EXPECT_FALSE(w<QPushButton>("BitBtn1")->isEnabled());
  QTest::mouseClick(w<QLabel>("Label5"), Qt::LeftButton);
  EXPECT_EQ(batLo.count(), 1);
  dialog().setTerminalBusy(false);
  EXPECT_TRUE(sendButton->isEnabled());
  EXPECT_TRUE(w<QPushButton>("BitBtn1")->isEnabled());
}

TEST_F(SettingsDialogTest, StoredValuesOutsideTheControlsRangesSurviveOk) {
  writeIni("[CALC]\r\nZAOKRPROD=7\r\ncorrtime=30\r\n");
  shown();
  EXPECT_EQ(w<QComboBox>("cmbOKR")->currentText(), "7");
  EXPECT_EQ(edit("EDcorr")->text(), "30");
  EXPECT_EQ(settings.ZAOKRPROD, 7);
  pressOk();
  EXPECT_TRUE(op.messages.empty());
  EXPECT_EQ(ini().readInt("CALC", "ZAOKRPROD", -1), 7);
  EXPECT_EQ(ini().readInt("CALC", "corrtime", -1), 30);

  // The arrows step within 0..20; the extra rounding item goes with the next showing.
  auto* updown = w<ui::UpDown>("UPcorr");
  updown->upButton()->click();
  EXPECT_EQ(edit("EDcorr")->text(), "20");
  writeIni("[CALC]\r\nZAOKRPROD=2\r\n");
  shown();
  EXPECT_EQ(w<QComboBox>("cmbOKR")->count(), 6);
  EXPECT_EQ(w<QComboBox>("cmbOKR")->currentText(), "10");
}

TEST_F(SettingsDialogTest, CaptionsAndHints) {
  shown();
  EXPECT_EQ(dialog().windowTitle(), "Nastavenia programu");
  EXPECT_EQ(dialog().objectName(), "Tfrmsetup");
  auto* tabs = w<QTabWidget>("PageControl1");
  const char* const pages[] = {"KAVEX",      "Obecné",    "Obedy",    "Sviatky", "Služobné",
                               "Lekár a PN", "Dovolenka", "Prekážky", "Smeny"};
  ASSERT_EQ(tabs->count(), 9);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(tabs->tabText(i), QString::fromUtf8(pages[i]));
  EXPECT_EQ(check("chkobedodpocet")->text(), "Pri prekročení   času, odpočítať");
  EXPECT_EQ(check("chkautodnl")->toolTip(), "Voľba len pre prístroje na pevné pripojenie");
  EXPECT_EQ(edit("edLogDir")->toolTip(), "Adresár kam ukladat záznamy\nnapr:  //server/c/vortane/log");
  EXPECT_EQ(edit("EDsluzstart")->toolTip(), "UveĎte čas hod:min");
  EXPECT_EQ(w<QComboBox>("cmbOKR")->toolTip(), "Nastavte 0, ak si neželáte zaokrúhľovať");
  EXPECT_EQ(w<QGroupBox>("typgroup")->title(), "Typ KAVEX");
  EXPECT_EQ(w<QPushButton>("BTsend")->text(), "Odoslať");
  EXPECT_EQ(w<QPushButton>("BThelp")->text(), "&Pomoc");

  QUrl opened;
  dialog().setUrlOpener([&](const QUrl& url) { opened = url; });
  testing_support::WriteBytes(tmp.path() / "html" / "index.html", "<html></html>");
  w<QPushButton>("BThelp")->click();
  EXPECT_EQ(QDir::toNativeSeparators(opened.toLocalFile()).toStdString(),
            (tmp.path() / "html" / "index.html").string());
}

TEST_F(SettingsDialogTest, LogDirectorySetWithoutKeysIsCheckedAndSaved) {
  writeIni("");
  shown();
  // The dialog's own fill is not a change.
  EXPECT_FALSE(dialog().logDirMarked());

  setTextFromOutside("edLogDir", QString::fromStdString((tmp.path() / "nowhere").string()));
  EXPECT_TRUE(dialog().logDirMarked());
  pressOk();
  ASSERT_EQ(op.messages.size(), 1u);
  EXPECT_EQ(op.messages[0], "Adresar LOGDIR neexistuje");
  EXPECT_TRUE(dialog().isVisible());

  const auto other = tmp.path() / "Other";
  std::filesystem::create_directories(other);
  setTextFromOutside("edLogDir", QString::fromStdString((other / "").string()));
  pressOk();
  EXPECT_EQ(op.messages.size(), 1u);
  EXPECT_FALSE(dialog().isVisible());
  EXPECT_EQ(settings.LOGDIR, (other / "").string());
  EXPECT_TRUE(ini().value("GLOBAL", "LOGDIR").has_value());

  // Shown again with the new folder in the file: nothing is marked.
  shown();
  EXPECT_FALSE(dialog().logDirMarked());
}

TEST_F(SettingsDialogTest, TerminalParametersSetWithoutKeysEnableSending) {
  const struct {
    const char* edit;
    const char* text;
    bool thresholdMarked;
  } cases[] = {
      {"dobazamku", "7", false},
      {"edbatlo", "150", true},
  };
  writeIni("");
  for (const auto& c : cases) {
    // A dialog of its own per case: "Odoslať" stays armed between showings.
    ui::SettingsDialog fresh(dir, settings, op);
    fresh.setTerminalFields(0, 2, 0);
    fresh.show();
    auto* send = fresh.findChild<QPushButton*>("BTsend");
    auto* field = fresh.findChild<QLineEdit*>(c.edit);
    ASSERT_TRUE(send != nullptr && field != nullptr) << c.edit;
    ASSERT_FALSE(send->isEnabled()) << c.edit;
    QAccessible::queryAccessibleInterface(field)->setText(QAccessible::Value, c.text);
    EXPECT_EQ(field->text(), c.text);
    EXPECT_TRUE(send->isEnabled()) << c.edit;
    EXPECT_EQ(fresh.thresholdEdited(), c.thresholdMarked) << c.edit;
  }

  // The arrow keys in the lock-time edit step it as the arrows beside it do.
  shown();
  edit("dobazamku")->setText("3");
  QSignalSpy send(&dialog(), &ui::SettingsDialog::sendParametersRequested);
  w<QPushButton>("BTsend")->click();
  ASSERT_EQ(send.count(), 1);
  ASSERT_FALSE(w<QPushButton>("BTsend")->isEnabled());
  QTest::keyClick(edit("dobazamku"), Qt::Key_Up);
  QTest::keyClick(edit("dobazamku"), Qt::Key_Up);
  EXPECT_EQ(edit("dobazamku")->text(), "5");
  EXPECT_TRUE(w<QPushButton>("BTsend")->isEnabled());
  QTest::keyClick(edit("dobazamku"), Qt::Key_Down);
  EXPECT_EQ(edit("dobazamku")->text(), "4");
}

TEST_F(SettingsDialogTest, ChoicesMadeWithoutClicksCountAsTheOperators) {
  writeIni("[CALC]\r\ndovflag=1\r\ndovprflag=1\r\ndovodflag=1\r\n");
  shown(0, 2, 0);
  // The fill selected the stored second buttons and marked nothing.
  EXPECT_TRUE(radio("RBdovpr2")->isChecked());
  EXPECT_TRUE(radio("RBdovod2")->isChecked());
  EXPECT_FALSE(dialog().portChanged());

  radio("typgroup1")->setChecked(true);  // as the arrow keys or a screen reader select it
  EXPECT_TRUE(dialog().portChanged());

  settings.startPDflag = false;
  check("CheckBox1")->setChecked(true);
  EXPECT_TRUE(settings.startPDflag);
  check("CheckBox2")->setChecked(true);
  EXPECT_TRUE(settings.stopPDflag);

  check("CHKdovflg")->setChecked(false);
  check("CHKdovflg")->setChecked(true);
  EXPECT_TRUE(radio("RBdovpr1")->isChecked());
  EXPECT_TRUE(radio("RBdovOD1")->isChecked());
}

TEST_F(SettingsDialogTest, EveryControlIsReadByItsOwnName) {
  writeIni("[CALC]\r\ndovflag=1\r\n");
  shown();
  const auto problems = AccessibilityProblems(&dialog());
  std::string all;
  for (const auto& line : problems) all += line + "\n";
  EXPECT_TRUE(problems.empty()) << all;

  const struct {
    const char* object;
    const char* name;
  } cases[] = {
      {"RGComport", "COM Port:"},
      {"typgroup", "Typ KAVEX"},
      {"dobazamku", "Doba zámku"},
      {"edbatlo", "Bat_LO"},
      {"edLogDir", "Adresár záznamov:"},
      {"btLogDir", "Nalistovat adresar"},
      {"edpchod", "Denný pracovný čas"},
      {"CheckBox1", "Začiatok prac.doby: Aplikovať"},
      {"EDcorr", "Oprava typu ak je čas menší ako:"},
      {"EDsluzstart", "Prvý služobný príchod: čas"},
      {"RBdovpr1", "Prvý príchod dovolenka započítaj: ako normálny príchod"},
      {"EDstartDS", "Denné smeny: Od"},
      {"EDstopNS", "Nočné smeny: Do"},
      {"CHKUSEPS", "Poobedňajšie smeny: Používať"},
      {"BThelp", "Pomoc"},
  };
  for (const auto& c : cases) {
    auto* control = dialog().findChild<QWidget*>(c.object);
    ASSERT_NE(control, nullptr) << c.object;
    EXPECT_EQ(testing_support::AccessibleNameOf(control).toStdString(), c.name) << c.object;
  }
  auto* lock = w<ui::UpDown>("Updndoba");
  EXPECT_EQ(QAccessible::queryAccessibleInterface(lock->upButton())->text(QAccessible::Name).toStdString(),
            "Doba zámku, nahor");
  EXPECT_EQ(QAccessible::queryAccessibleInterface(lock->downButton())->text(QAccessible::Name).toStdString(),
            "Doba zámku, nadol");
  // Each label's mnemonic leads to its edit.
  EXPECT_EQ(w<QLabel>("Label4")->buddy(), edit("dobazamku"));
  EXPECT_EQ(w<QLabel>("LBcorr")->buddy(), edit("EDcorr"));
}

TEST_F(SettingsDialogTest, ShownDialogStartsAtItsFirstControl) {
  writeIni("");
  shown();
  // The page tabs come first: the clerk picks a page, then tabs into it.
  EXPECT_TRUE(QTest::qWaitFor([&] { return dialog().focusWidget() == w<QTabWidget>("PageControl1")->tabBar(); }, 2000));
}

}  // namespace
