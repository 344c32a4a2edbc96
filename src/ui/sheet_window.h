#pragma once
// Tfrmlist: one employee's attendance sheet for a month. The operator picks
// the employee, month and year, runs the robot, corrects result cells (by
// typing or through the result column's menu; every change recomputes the
// totals at once and can be undone), stores the sheet as .dok or exports it,
// copies it and prints it (also every employee's sheet of the month, for
// signatures). One window for the whole run, not modal.

#include <QMainWindow>
#include <QPointer>
#include <QPrinter>
#include <QUndoStack>
#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "core/employee_list.h"
#include "core/grid.h"
#include "core/holiday_calendar.h"
#include "core/messages.h"
#include "core/operator.h"
#include "core/program_settings.h"
#include "robot/sheet_robot.h"
#include "ui/file_dialogs.h"
#include "ui/grid_editor.h"
#include "ui/grid_model.h"
#include "ui/help.h"

class QAction;
class QComboBox;
class QKeyEvent;
class QMenu;
class QToolButton;

namespace print {
struct SheetPrintOptions;
}

namespace ui {

class GridView;
class RobotRunCommand;
class Tfrmskratky;

// What the sheet window uses of the program's shared data and windows.
struct SheetWindowContext {
  const core::ProgramSettings& settings;
  const core::EmployeeList& employees;
  const core::ProgramDirectory& dir;
  const core::MessageCatalogue& messages;
  core::Operator& op;
  FileDialogs& files;
  UrlOpener urlOpener;
  // Today's date as the window sees it (year list, "Vytlacené:").
  std::function<QDateTime()> now;
  // The other windows; a missing one leaves its menu item disabled.
  std::function<void(QWidget*)> showCalculator;
  std::function<void(QWidget*)> showSettings;      // modal
  std::function<void(QWidget*)> showEmployeeList;  // modal
};

class Tfrmlist : public QMainWindow {
  Q_OBJECT
 public:
  explicit Tfrmlist(SheetWindowContext context, QWidget* parent = nullptr);
  ~Tfrmlist() override;

  // Shows the window (maximised) with the month and year chosen; a window
  // already on screen is only raised, so nothing in it is lost.
  void showForPeriod(int month, int year);
  // The report window's "Zobraz kartu pracovníka": shows the window, asks
  // the robot run's questions about the sheet on screen, then chooses the
  // period and the employee of that name and runs the robot. False when
  // nothing was computed: the name is not in the list, or the clerk kept the
  // sheet (lists and grid as they were).
  bool showEmployeeSheet(const std::string& name, int month, int year);

  // Commands (public so that tests and other windows can run them).
  void a_robotExecute();
  void a_filenewExecute();
  void A_FileOpenExecute();
  void A_FileSaveExecute();
  void a_saveasExecute();
  void A_printExecute();
  void printPreview();
  void printerSetup();
  void copyGrid();
  // Every employee's sheet of the chosen month, one page each, in list order.
  enum class AllSheetsTarget { Printer, Preview, Pdf };
  void printAllSheets(AllSheetsTarget target);
  // One of the result column's menu items on the cell of `resultRow`
  // (0 "Odpracoval" .. 8 "Nočna").
  void writeResultItem(int item);

  // State.
  const core::Grid& grid() const { return m_grid; }
  const std::string& currentSheetFile() const { return m_currentSheetFile; }
  bool openedFromFile() const { return m_state.openedFromFile; }
  bool sheetModified() const { return m_state.sheetModified; }
  int selectedEmployee() const { return m_selectedEmployee; }
  int resultRow() const { return m_resultRow; }
  const robot::SheetState& sheetState() const { return m_state; }
  GridView* view() const { return grid1; }
  GridModel& model() { return m_model; }
  QUndoStack& undoStack() { return m_undo; }
  QMenu* resultMenu() const { return m_popup; }
  // The month and year chosen in the lists (a request for the next run).
  int month() const;
  int year() const;
  std::filesystem::path monthLogFile() const;
  // The month and year the sheet itself holds (rows 2 and 3 of column 1);
  // none for a sheet without a valid month.
  std::optional<std::pair<int, int>> sheetPeriod() const;

  // Test seams: the print dialog (true = print) and the preview window.
  void setPrintDialogRunner(std::function<bool(QPrinter&)> runner) { m_printDialog = std::move(runner); }
  void setPreviewRunner(std::function<void(QPrinter&, const std::function<void(QPrinter*)>&)> runner) {
    m_previewRunner = std::move(runner);
  }
  void setPageSetupRunner(std::function<void(QPrinter&)> runner) { m_pageSetup = std::move(runner); }

  // Moves the window under another one (the modal report lends it this way)
  // keeping what it shows: the cells, the file, the unsaved corrections and
  // the undo history. A shown window is shown again there. (Showing the
  // window otherwise starts a new sheet.)
  void moveUnder(QWidget* parent);

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  friend class RobotRunCommand;
  // Everything one sheet is: its cells and colours, its file and where it
  // came from, its unsaved state, its employee. A robot run replaces it as
  // one step of the undo history.
  struct SheetDocument {
    core::Grid grid;
    std::array<std::uint32_t, robot::kSheetRows> dayColour{};
    std::string file;
    bool openedFromFile = false;
    bool sheetModified = false;
    int selectedEmployee = -1;
    int dailyNorm = 0;
    QString caption;
    bool saveEnabled = false;
  };
  SheetDocument document() const;
  void restoreDocument(const SheetDocument& doc);

  void buildActions();
  void buildMenus();
  void buildToolBar();
  void buildGrid();
  void FormShow();
  bool m_keepOnShow = false;  // the next show is a move (moveUnder), not a new sheet
  void fillEmployeeList();
  void writeShowState();
  void setCaption(const QString& caption);
  void markEdited();
  void afterCellChange(const std::vector<CellChange>& changes);
  void recalcTotals();
  // The robot run's questions; false when the clerk said No.
  bool confirmRun();
  // The robot run after its questions, for the employee chosen in the list.
  void runRobot();
  // The lists show the sheet's employee, month and year.
  void showSheetInLists();
  // Colours of the day rows from the sheet's own month.
  void updateDayColours();
  // The sheet's row height and widths, the day column widened to its labels
  // and the registrations to the window (for the view only).
  void applySheetGeometry();
  void fitColumns();
  bool saveSheet();
  const core::Employee* currentEmployee() const;
  QString fileNameOnly() const;
  bool writeSheetFile(const std::filesystem::path& file);
  bool saveWithDialog();
  void refreshAfterRun(std::pair<int, int> sizeBefore);
  void onCurrentCellChanged(int col, int row);
  void onCellContextMenu(int col, int row, const QPoint& globalPos);
  bool resultMenuAttached() const;
  // The result menu's item for Ctrl+O, Ctrl+P or Ctrl+N; -1 for other keys.
  int sharedKeyItem(const QKeyEvent* key) const;
  print::SheetPrintOptions printOptions() const;
  void paintSheet(QPrinter* printer);
  QString resultItemText(int item) const;

  SheetWindowContext m_ctx;
  core::HolidayCalendar m_calendar;
  core::Grid m_grid;
  robot::SheetState m_state;
  std::string m_currentSheetFile;
  int m_selectedEmployee = -1;
  int m_resultRow = 0;
  int m_dailyNorm = 0;
  bool m_fitting = false;

  GridModel m_model;
  QUndoStack m_undo;
  GridEditor m_editor;
  QPrinter m_printer;
  std::function<bool(QPrinter&)> m_printDialog;
  std::function<void(QPrinter&, const std::function<void(QPrinter*)>&)> m_previewRunner;
  std::function<void(QPrinter&)> m_pageSetup;

  GridView* grid1 = nullptr;
  QComboBox* ComboBox1 = nullptr;
  QComboBox* cmbmes = nullptr;
  QComboBox* cmbrok = nullptr;
  QToolButton* btSkratky = nullptr;
  QMenu* m_popup = nullptr;
  QPointer<Tfrmskratky> m_skratky;

  QAction* a_robot = nullptr;
  QAction* a_calc = nullptr;
  QAction* a_filenew = nullptr;
  QAction* A_FileOpen = nullptr;
  QAction* A_FileSave = nullptr;
  QAction* a_saveas = nullptr;
  QAction* A_print = nullptr;
  QAction* a_help = nullptr;
  QAction* a_preview = nullptr;
  QAction* a_printsetup = nullptr;
  QAction* a_close = nullptr;
  QAction* a_editcell = nullptr;
  QAction* a_copy = nullptr;
  QAction* a_undo = nullptr;
  QAction* a_redo = nullptr;
  QAction* a_settings = nullptr;
  QAction* a_employees = nullptr;
  QAction* a_skratky = nullptr;
  QAction* a_printall_printer = nullptr;
  QAction* a_printall_preview = nullptr;
  QAction* a_printall_pdf = nullptr;
  std::vector<QAction*> m_resultItems;  // the nine items of the result column's menu
};

}  // namespace ui
