#pragma once
// Tfrmprac, "Pracovníci": the employee list in one editable table. Nothing
// reaches the shared list or prac.txt until a save, and a save checks every
// row first: a bad row, a refused duplicate card or a file that cannot be
// written leaves the list, prac.txt and the changed flag as they were. A
// successful save changes the shared list in place (windows that hold a
// reference to it see the new list) and emits listSaved.

#include <QDialog>
#include <filesystem>
#include <optional>
#include <string>

#include "core/employee_list.h"
#include "core/employee_rows.h"
#include "core/operator.h"
#include "core/program_settings.h"
#include "ui/file_dialogs.h"
#include "ui/help.h"
#include "ui/new_employee_dialog.h"

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QTableView;
class QToolBar;

namespace ui {

class EmployeeTableModel;
class FindDialog;

class Tfrmprac : public QDialog {
  Q_OBJECT
 public:
  Tfrmprac(core::EmployeeList& list, core::ProgramDirectory dir, int normaMinutes, core::Operator& op,
           FileDialogs& files, QWidget* parent = nullptr);
  ~Tfrmprac() override;

  // How the new-employee dialog reads a presented card (none: the button is
  // disabled).
  void setCardReader(CardReader reader);
  // How F1 opens the help page.
  void setUrlOpener(UrlOpener opener) { m_openUrl = std::move(opener); }
  // Where the new-employee dialog keeps its values between uses (so that
  // they outlive this window); by default the window keeps its own.
  void setNewEmployeeMemory(core::EmployeeRow* memory);

  // Fills the table from the shared list and clears the changed flag.
  void fillFromList();
  // Shows the window maximised and modal; returns when it has closed.
  int execMaximized();

  bool changed() const { return m_changed; }
  EmployeeTableModel* model() const { return m_model; }
  QTableView* grid() const { return Agrid; }
  Tfrminprac* newEmployeeDialog() const { return m_dialog; }
  QMenu* popupMenu() const { return m_popup; }
  QString statusPanelText(int panel) const;

  // The commands (public so that tests and the menus call the same code).
  // Save with its question; true when prac.txt was written.
  bool A_saveExecute();
  void A_newExecute();
  void A_deleteExecute();
  void A_findExecute();
  // Selects the next row after the current one whose name contains `text`.
  bool findNext(const QString& text);
  void ImportOldList();
  void ImportCsv();
  void ExportCsv();
  void SetTripsForAll(bool allowed);
  void SetShiftsForAll(bool allowed);
  void SetFullWorkloadForAll();
  void ShowHelp();

 signals:
  // After prac.txt was written and the shared list changed.
  void listSaved();

 public slots:
  // "&Koniec", the close box and Escape: asks to save a changed table.
  void reject() override;

 private:
  void buildActions();
  void buildMenus(QMenuBar* bar, QToolBar* tools);
  // Takes the table into the list and writes prac.txt (save steps 2 to 5).
  bool saveTable();
  void setChanged(bool changed);
  void updateCount();
  // Status panel 2: the name of the current row, as it reads now.
  void showCurrentName();
  void selectCell(int row, int column);
  void commitOpenEditor();
  std::optional<int> currentRow() const;

  core::EmployeeList& m_list;
  core::ProgramDirectory m_dir;
  int m_normaMinutes;
  core::Operator& m_op;
  FileDialogs& m_files;
  UrlOpener m_openUrl;
  core::EmployeeRow m_ownMemory;
  core::EmployeeRow* m_memory = &m_ownMemory;
  bool m_changed = false;

  EmployeeTableModel* m_model = nullptr;
  QTableView* Agrid = nullptr;
  QLabel* m_panels[2] = {nullptr, nullptr};
  QMenu* m_popup = nullptr;
  Tfrminprac* m_dialog = nullptr;
  FindDialog* m_find = nullptr;

  QAction* A_save = nullptr;
  QAction* A_new = nullptr;
  QAction* A_delete = nullptr;
  QAction* A_find = nullptr;
  QAction* A_importold = nullptr;
  QAction* A_importcsv = nullptr;
  QAction* A_exportcsv = nullptr;
  QAction* A_close = nullptr;
  QAction* A_tripsOff = nullptr;
  QAction* A_tripsOn = nullptr;
  QAction* A_shiftsOff = nullptr;
  QAction* A_shiftsOn = nullptr;
  QAction* A_workload100 = nullptr;
  QAction* A_help = nullptr;
};

}  // namespace ui
