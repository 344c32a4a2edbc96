#pragma once
// Tfrmpredrep: the small modal dialog before the combined report. It asks for
// the month and the year and whether an earlier report of the same period is
// offered again, and refuses a month without a log and an empty employee
// list. On OK it holds the period, the month's log file name and the
// employee list loaded afresh from prac.txt.

#include <QDateTime>
#include <QDialog>
#include <filesystem>
#include <functional>

#include "core/employee_list.h"
#include "core/operator.h"
#include "core/program_settings.h"

class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace ui {

// The dialog's month, year and choice of its last use, kept by the program
// for the whole run (the dialog was made once and kept its fields).
struct ReportPeriodMemory {
  bool used = false;
  int month = 0;
  int year = 0;
  bool reopenSavedReport = false;
};

class Tfrmpredrep : public QDialog {
  Q_OBJECT
 public:
  // `now` gives today (the default month and year, the last year offered);
  // empty: the system clock.
  Tfrmpredrep(const core::ProgramSettings& settings, const core::ProgramDirectory& dir, core::Operator& op,
              std::function<QDateTime()> now = {}, QWidget* parent = nullptr);

  // Results after OK.
  int month() const { return m_month; }
  int year() const { return m_year; }
  bool reopenSavedReport() const { return m_reopenSavedReport; }
  bool newReport() const { return m_newReport; }
  const std::filesystem::path& monthLogFile() const { return m_monthLogFile; }
  const core::EmployeeList& employees() const { return m_employees; }
  core::EmployeeList& employees() { return m_employees; }

  // Fills the fields from `memory` when it was used, and keeps them there
  // whenever the dialog closes.
  void setMemory(ReportPeriodMemory* memory);

  // The first year the year field offers; the last is the current year + 1.
  static constexpr int kFirstYear = 2000;

 public slots:
  // OK: the checks; closes with OK, closes as cancelled after a refusal, or
  // stays open (focus on the field) when a field is not a number.
  void BitBtn1Click();

 protected:
  void done(int result) override;

 private:
  void rebuildLogFileName();

  const core::ProgramSettings& m_settings;
  const core::ProgramDirectory& m_dir;
  core::Operator& m_op;

  QSpinBox* CMBrepmes = nullptr;
  QSpinBox* CMBreprok = nullptr;
  QRadioButton* RadioButton1 = nullptr;
  QRadioButton* RadioButton2 = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QPushButton* BitBtn2 = nullptr;

  int m_month = 0;
  int m_year = 0;
  bool m_reopenSavedReport = false;
  bool m_newReport = true;
  std::filesystem::path m_monthLogFile;
  core::EmployeeList m_employees;
  ReportPeriodMemory* m_memory = nullptr;
};

}  // namespace ui
