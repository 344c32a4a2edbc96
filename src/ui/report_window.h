#pragma once
// Tfrmzdrep: the combined monthly report of every employee. The clerk runs
// the computation (the window stays alive and can be stopped between rows),
// corrects day cells by typing, through the cell field or the code menu
// (each change recalculates its row's totals at once and can be undone),
// filters by department, looks at one day's registrations, opens an
// employee's sheet, searches, copies, prints and exports. The period's table
// is written to its period file whenever the window closes. Modal.

#include <QDialog>
#include <QPointer>
#include <QPrinter>
#include <QUndoStack>
#include <atomic>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/employee_list.h"
#include "core/messages.h"
#include "core/operator.h"
#include "core/program_settings.h"
#include "print/report_pages.h"
#include "robot/report_compute.h"
#include "robot/report_table.h"
#include "ui/file_dialogs.h"
#include "ui/grid_editor.h"
#include "ui/grid_model.h"
#include "ui/help.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QSplitter;
class QToolButton;

namespace ui {

class GridView;
class Tfrminfo;
class Tfrmskratky;
class TipWindow;

// What the report window uses of the program's shared data and windows.
struct ReportWindowContext {
  const core::ProgramSettings& settings;
  // The list the period dialog loaded afresh (the window keeps a copy and
  // reads prac.txt again after the employee list window).
  const core::EmployeeList& employees;
  const core::ProgramDirectory& dir;
  const core::MessageCatalogue& messages;
  core::Operator& op;
  FileDialogs& files;
  UrlOpener urlOpener{};
  // The shared progress window; null: the window makes its own.
  Tfrminfo* progress = nullptr;
  // The program's one tip window (its draws are shared by every key);
  // null: the window makes its own. Lent to the report while it is open.
  TipWindow* tips = nullptr;
  // The other windows; a missing one leaves its menu items disabled.
  std::function<void(QWidget*)> showCalculator{};
  std::function<void(QWidget*)> showSettings{};      // modal
  std::function<void(QWidget*)> showEmployeeList{};  // modal
  // "Zobraz kartu pracovníka": false when the sheet window has no such name.
  std::function<bool(const std::string& name, int month, int year)> showEmployeeSheet{};
  // Called with true before a computation and with false after it.
  std::function<void(bool running)> computationRunning{};
};

// The period chosen in the period dialog.
struct ReportPeriodChoice {
  int month = 0;
  int year = 0;
  std::filesystem::path monthLogFile;
  bool reopenSavedReport = false;
};

class Tfrmzdrep : public QDialog {
  Q_OBJECT
 public:
  Tfrmzdrep(ReportWindowContext context, ReportPeriodChoice period, QWidget* parent = nullptr);
  ~Tfrmzdrep() override;

  // Shows the window maximised and modal; returns when it has closed.
  int execMaximized();

  // Commands (public so that tests and the main window can run them).
  void BTmakeClick();            // GO
  void VypracujDochadzku();      // F9
  void A_FileSaveExecute();      // "Uložiť"
  void BTopenClick();            // "Otvoriť"
  void ExportTabulky();          // "EXPORT tabulky"
  void BTprintClick();           // "Tlač"
  void clearRobotComments();     // "Vymazať komentáre Robota"
  void clearCellComment();       // the code menu's "Vymazať komentár Robota"
  void writeCodeItem(int item);  // code menu item 0 "Odpracoval" .. 11 "Vymazať"
  void showEmployeeSheet();      // "Zobraz kartu pracovníka" for selectedRow
  void showFind();               // "Hľadať"
  void BTtipClick();             // "Tip": a tip of the report ("[TABDOCH")
  // The next cell containing `text` after the first selected cell, rows 1 on;
  // selected and scrolled into view. False (nothing changes) without a hit.
  bool findNext(const QString& text, bool caseSensitive);
  void selectDepartment(const QString& department);
  // Stops a running computation before its next row.
  void requestStop() { m_stop = true; }

  // State.
  const robot::CombinedReport& report() const { return m_report; }
  robot::CombinedReport& report() { return m_report; }
  GridView* view() const { return grid1; }
  GridModel& model() { return m_model; }
  QUndoStack& undoStack() { return m_undo; }
  QMenu* codeMenu() const { return poptyp; }
  QMenu* nameMenu() const { return popmeno; }
  bool codeMenuAttached() const { return m_codeMenuAttached; }
  int selectedCol() const { return m_selectedCol; }
  int selectedRow() const { return m_selectedRow; }
  bool computing() const { return m_computing; }
  QString noteText() const;
  QString statusPanelText(int panel) const;
  QString statusBarHint(int x) const;
  Tfrminfo* progressWindow() const { return m_info; }
  const print::ReportPrintOptions& printOptions() const { return m_printOptions; }
  const core::EmployeeList& employees() const { return m_employees; }
  // Grid rows the department filter hides (index = grid row).
  std::vector<bool> hiddenRows() const;

  // Test seams: the print setup (no value = closed), the print dialog (true =
  // print) and the preview window.
  using PrintSetupRunner =
      std::function<std::optional<std::pair<int, print::ReportPrintOptions>>(const print::ReportPrintOptions&)>;
  void setPrintSetupRunner(PrintSetupRunner runner) { m_printSetup = std::move(runner); }
  void setPrintDialogRunner(std::function<bool(QPrinter&)> runner) { m_printDialog = std::move(runner); }
  void setPreviewRunner(std::function<void(QPrinter&, const std::function<void(QPrinter*)>&)> runner) {
    m_previewRunner = std::move(runner);
  }
  // The find dialog's case-sensitive option and text (created on first use).
  QDialog* findDialog() const { return m_find; }

 protected:
  void showEvent(QShowEvent* event) override;
  void done(int result) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildActions();
  void buildMenus(QWidget* menuHost);
  void buildToolBars(QWidget* host);
  void buildGrid();
  void buildStatusBar();
  // Row height and widths from the grid; day columns at least as wide as their label.
  void layoutGrid();
  void FormShow();
  void fillDepartments();
  void applyFilter();
  void setCaption(const std::string& caption);
  void updateStatusTexts();
  robot::ReportEnvironment env();
  robot::ReportRun runComputation(bool go);
  void afterCellChange(const std::vector<CellChange>& changes);
  void onCurrentCellChanged(int col, int row);
  void onCellContextMenu(int col, int row, const QPoint& globalPos);
  void onNameContextMenu(const QPoint& pos);
  void selectCell(int col, int row);
  void refreshEdit2();
  void Edit2Change(const QString& text);
  QString codeItemText(int item) const;
  // False when the clerk stopped it.
  bool paintReport(QPagedPaintDevice& device);
  class OutputProgress;
  // Closing or opening another file: the period's table goes to its period
  // file when this showing computed or changed it; an opened file with
  // unsaved changes is offered to be saved. False: stay.
  bool closeStep();
  // Changes since the opened file was read or saved.
  bool openedFileChanged() const { return !m_undo.isClean() || m_listChanged; }
  void updateSaveForOpenedFile();
  // After the employee list window: the list as stored, its changes carried
  // into the rows (name, personal number, department, norm, totals).
  void employeeListClosed();

  ReportWindowContext m_ctx;
  // The window's own period; a report read with "Otvoriť" has its own.
  ReportPeriodChoice m_period;
  core::EmployeeList m_employees;
  robot::CombinedReport m_report;
  std::atomic<bool> m_stop{false};
  GridModel m_model;
  QUndoStack m_undo;
  GridEditor m_editor;

  int m_selectedCol = 0;
  int m_selectedRow = 0;
  bool m_codeMenuAttached = false;
  bool m_computing = false;
  bool m_closeAfterComputation = false;
  bool m_shown = false;
  bool m_closed = false;
  bool m_computedThisShowing = false;
  bool m_listChanged = false;
  bool m_openedPeriodKnown = true;
  bool m_openedPeriodRefused = false;
  int m_edit2Session = 1;
  bool m_edit2Writing = false;
  int m_findCol = -1;
  int m_findRow = -1;

  print::ReportPrintOptions m_printOptions;
  QPrinter m_printer;
  PrintSetupRunner m_printSetup;
  std::function<bool(QPrinter&)> m_printDialog;
  std::function<void(QPrinter&, const std::function<void(QPrinter*)>&)> m_previewRunner;

  Tfrminfo* m_info = nullptr;
  GridView* grid1 = nullptr;
  QPlainTextEdit* Memo1 = nullptr;
  QSplitter* Splitter1 = nullptr;
  QLineEdit* Edit2 = nullptr;
  QComboBox* CMBoddel = nullptr;
  QToolButton* BTskratky = nullptr;
  QWidget* StatusBar1 = nullptr;
  QLabel* m_panels[4] = {};
  QMenu* poptyp = nullptr;
  QMenu* popmeno = nullptr;
  QPointer<Tfrmskratky> m_skratky;
  QPointer<TipWindow> m_tip;
  QPointer<QWidget> m_tipHome;
  QPointer<QDialog> m_find;
  QLineEdit* m_findText = nullptr;
  QCheckBox* m_findCase = nullptr;

  QAction* a_make = nullptr;
  QAction* a_calc = nullptr;
  QAction* a_open = nullptr;
  QAction* a_save = nullptr;
  QAction* a_savemenu = nullptr;
  QAction* a_find = nullptr;
  QAction* a_clip = nullptr;
  QAction* a_copy = nullptr;
  QAction* a_print = nullptr;
  QAction* a_help = nullptr;
  QAction* a_export = nullptr;
  QAction* a_settings = nullptr;
  QAction* a_employees = nullptr;
  QAction* a_close = nullptr;
  QAction* a_selall = nullptr;
  QAction* a_f9 = nullptr;
  QAction* a_clearcomments = nullptr;
  QAction* a_undo = nullptr;
  QAction* a_redo = nullptr;
  QAction* a_paste = nullptr;
  QAction* a_cut = nullptr;
  QAction* a_skratky = nullptr;
  QAction* a_card = nullptr;
  QAction* a_tip = nullptr;
  std::vector<QAction*> m_codeItems;  // the code menu's writing items, in table order
};

}  // namespace ui
