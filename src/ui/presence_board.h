#pragma once
// Tfrmstav, "Stav pracovníkov": who is in. One row per employee with the
// time and kind of the last record the automatic transfer reported; rows of
// employees who arrived are yellow. A department list filters the rows.

#include <QDialog>
#include <QString>

#include "core/employee_list.h"
#include "core/operator.h"
#include "core/program_settings.h"
#include "device/presence.h"

class QComboBox;
class QLabel;
class QTableWidget;

namespace ui {

class Tfrmstav : public QDialog {
  Q_OBJECT
 public:
  Tfrmstav(const core::EmployeeList& employees, device::PresenceStatus& presence, core::ProgramDirectory dir,
           core::Operator& op, QWidget* parent = nullptr);

  // Rows for every employee, names and departments, all rows shown.
  void init_grid();
  // "* Všetky" and every department of at least two characters, once each.
  void init_cmboddelenia();
  // Time and state of every row from the presence status, and the colours.
  void refresh_stav();
  // Shows all rows, or only those of the selected department.
  void cmbOddelChange();
  // What showing the board does: lists, grid, stav.bin, refresh.
  void FormShow();
  // The help button's message.
  void ToolButton2Click();

  // For tests and printing: the grid's text (row 0 is the first employee)
  // and whether a row is yellow.
  QString cellText(int row, int column) const;
  bool rowIsYellow(int row) const;
  bool rowHidden(int row) const;
  int rowCount() const;
  QString statusText() const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  const core::EmployeeList& m_employees;
  device::PresenceStatus& m_presence;
  core::ProgramDirectory m_dir;
  core::Operator& m_op;

  QTableWidget* grid = nullptr;
  QComboBox* cmbOddel = nullptr;
  QLabel* StatusBar1 = nullptr;
};

}  // namespace ui
