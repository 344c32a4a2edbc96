#include "ui/employee_window.h"

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

#include "core/atomic_file.h"
#include "core/path_text.h"
#include "ui/accessibility.h"
#include "ui/employee_table_model.h"
#include "ui/find_dialog.h"

namespace ui {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Cell editors stop at the list's text limits, so that nothing typed is cut
// away unseen at the save.
class EmployeeCellDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
      if (const int limit = EmployeeTableModel::maxLength(index.column()); limit > 0) edit->setMaxLength(limit);
    }
    return editor;
  }
};

// The view's editor is committed before a save reads the rows. While an
// editor is open the window hears of it: what is typed there is a change
// the model has not seen yet.
class EmployeeGrid : public QTableView {
 public:
  using QTableView::QTableView;
  using QTableView::edit;
  std::function<void(bool)> onEditing;

  void commitOpenEditor() {
    if (state() != QAbstractItemView::EditingState) return;
    if (QWidget* editor = indexWidget(currentIndex())) {
      commitData(editor);
      closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
  }

 protected:
  bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override {
    const bool opened = QTableView::edit(index, trigger, event);
    if (opened && state() == QAbstractItemView::EditingState && onEditing) onEditing(true);
    return opened;
  }
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override {
    QTableView::closeEditor(editor, hint);
    if (onEditing) onEditing(false);
  }
};

const char* const kSaveQuestion = "Naozaj si želáte uložit tento zoznam?\rNie je možné vrátit spät";
const char* const kCloseQuestion = "Zmenili ste údaje v tabulke\rŽeláte si uložit";
const char* const kCsvFilter = "Súbor CSV  *.csv|*.csv|Všetky súbory  *.*|*.*";

}  // namespace

Tfrmprac::Tfrmprac(core::EmployeeList& list, core::ProgramDirectory dir, int normaMinutes, core::Operator& op,
                   FileDialogs& files, QWidget* parent)
    : QDialog(parent),
      m_list(list),
      m_dir(std::move(dir)),
      m_normaMinutes(normaMinutes),
      m_op(op),
      m_files(files),
      m_openUrl(SystemUrlOpener()),
      m_ownMemory(core::NewEmployeeRowDefaults()) {
  setObjectName(QStringLiteral("Tfrmprac"));
  setWindowTitle(QStringLiteral("Pracovníci"));
  setWindowFlags(Qt::Window);
  setModal(true);
  resize(760, 520);

  m_model = new EmployeeTableModel(this);
  m_model->setRefusalHandler([this](const std::string& message) {
    // The editor is still open: the message comes after it has closed.
    QTimer::singleShot(0, this, [this, message] { m_op.showMessage(message); });
  });
  connect(m_model, &EmployeeTableModel::edited, this, [this] { setChanged(true); });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* bar = new QMenuBar(this);
  bar->setObjectName(QStringLiteral("MainMenu1"));
  layout->setMenuBar(bar);
  auto* tools = new QToolBar(this);
  tools->setObjectName(QStringLiteral("ToolBar1"));
  tools->setToolButtonStyle(Qt::ToolButtonTextOnly);
  layout->addWidget(tools);

  auto* grid = new EmployeeGrid(this);
  Agrid = grid;
  Agrid->setObjectName(QStringLiteral("Agrid"));
  Agrid->setModel(m_model);
  Agrid->setItemDelegate(new EmployeeCellDelegate(Agrid));
  Agrid->setSelectionMode(QAbstractItemView::SingleSelection);
  Agrid->setSelectionBehavior(QAbstractItemView::SelectItems);
  Agrid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                         QAbstractItemView::AnyKeyPressed);
  Agrid->setWordWrap(false);
  Agrid->setTabKeyNavigation(false);
  Agrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  Agrid->verticalHeader()->setDefaultSectionSize(Agrid->fontMetrics().height() + 6);
  Agrid->horizontalHeader()->setHighlightSections(false);
  // The narrow columns grow to their captions, so that no header is cut.
  const QFontMetrics headerFont(Agrid->horizontalHeader()->font());
  for (int c = 0; c < core::kEmployeeColumnCount; ++c) {
    const QString caption = m_model->headerData(c, Qt::Horizontal).toString();
    Agrid->horizontalHeader()->resizeSection(
        c, std::max(EmployeeTableModel::columnWidth(c), headerFont.horizontalAdvance(caption) + 16));
  }
  Agrid->setContextMenuPolicy(Qt::CustomContextMenu);
  NameControl(Agrid, QStringLiteral("Zoznam pracovníkov"),
              QStringLiteral("F2 upraví bunku, medzerník prepne začiarknutie"));
  layout->addWidget(Agrid, 1);

  auto* status = new QStatusBar(this);
  status->setObjectName(QStringLiteral("StatusBar1"));
  status->setSizeGripEnabled(false);
  for (int i = 0; i < 2; ++i) {
    m_panels[i] = new QLabel(status);
    m_panels[i]->setObjectName(QStringLiteral("StatusBar1_panel%1").arg(i));
    m_panels[i]->setMinimumWidth(i == 0 ? 120 : 240);
    status->addWidget(m_panels[i], i);
  }
  layout->addWidget(status);

  buildActions();
  buildMenus(bar, tools);

  connect(Agrid, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) { m_popup->popup(Agrid->viewport()->mapToGlobal(pos)); });
  // "Uložiť" (and Ctrl+S) while an editor is open: a save commits it first,
  // so that nothing typed is lost to a save that did not happen.
  grid->onEditing = [this](bool editing) { A_save->setEnabled(editing || m_changed); };
  connect(Agrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &Tfrmprac::showCurrentName);
  connect(m_model, &QAbstractItemModel::dataChanged, this, &Tfrmprac::showCurrentName);
  connect(m_model, &QAbstractItemModel::modelReset, this, &Tfrmprac::updateCount);
  connect(m_model, &QAbstractItemModel::rowsInserted, this, &Tfrmprac::updateCount);
  connect(m_model, &QAbstractItemModel::rowsRemoved, this, &Tfrmprac::updateCount);

  m_dialog = new Tfrminprac(m_op, this);
  m_find = new FindDialog(this);
  connect(m_find, &FindDialog::findRequested, this, [this](const QString& text) { findNext(text); });

  fillFromList();
  FocusFirstControlOnShow(this);
}

Tfrmprac::~Tfrmprac() = default;

void Tfrmprac::buildActions() {
  auto make = [this](QAction*& slot, const char* name, const QString& text, const QKeySequence& key = {}) {
    slot = new QAction(text, this);
    slot->setObjectName(QLatin1String(name));
    if (!key.isEmpty()) slot->setShortcut(key);
    addAction(slot);
  };
  make(A_save, "A_save", QStringLiteral("Uložiť"), QKeySequence(Qt::CTRL | Qt::Key_S));
  make(A_new, "A_new", QStringLiteral("Pridať"), QKeySequence(Qt::CTRL | Qt::Key_N));
  A_new->setToolTip(QStringLiteral("Pridať pracovníka"));
  make(A_delete, "A_delete", QStringLiteral("Zmazať"), QKeySequence(Qt::SHIFT | Qt::Key_Delete));
  A_delete->setToolTip(QStringLiteral("Zmazať riadok / pracovníka"));
  make(A_find, "A_find", QStringLiteral("Hľadať"), QKeySequence(Qt::CTRL | Qt::Key_F));
  make(A_importold, "A_importold", QStringLiteral("Import starý zoznam"));
  make(A_importcsv, "A_importcsv", QStringLiteral("Import zo súboru CSV"));
  make(A_exportcsv, "A_exportcsv", QStringLiteral("Export do CSV"));
  make(A_close, "A_close", QStringLiteral("&Koniec"));
  make(A_tripsOff, "A_tripsOff", QStringLiteral("Zakázať všetkým"));
  make(A_tripsOn, "A_tripsOn", QStringLiteral("Povoliť všetkým"));
  make(A_shiftsOff, "A_shiftsOff", QStringLiteral("Zakázať všetkým"));
  make(A_shiftsOn, "A_shiftsOn", QStringLiteral("Povoliť všetkým"));
  make(A_workload100, "A_workload100", QStringLiteral("Všetkým 100% úväzok"));
  make(A_help, "A_help", QStringLiteral("Pomoc"), QKeySequence(Qt::Key_F1));
  A_save->setEnabled(false);

  connect(A_save, &QAction::triggered, this, &Tfrmprac::A_saveExecute);
  connect(A_new, &QAction::triggered, this, &Tfrmprac::A_newExecute);
  connect(A_delete, &QAction::triggered, this, &Tfrmprac::A_deleteExecute);
  connect(A_find, &QAction::triggered, this, &Tfrmprac::A_findExecute);
  connect(A_importold, &QAction::triggered, this, &Tfrmprac::ImportOldList);
  connect(A_importcsv, &QAction::triggered, this, &Tfrmprac::ImportCsv);
  connect(A_exportcsv, &QAction::triggered, this, &Tfrmprac::ExportCsv);
  connect(A_close, &QAction::triggered, this, &Tfrmprac::reject);
  connect(A_tripsOff, &QAction::triggered, this, [this] { SetTripsForAll(false); });
  connect(A_tripsOn, &QAction::triggered, this, [this] { SetTripsForAll(true); });
  connect(A_shiftsOff, &QAction::triggered, this, [this] { SetShiftsForAll(false); });
  connect(A_shiftsOn, &QAction::triggered, this, [this] { SetShiftsForAll(true); });
  connect(A_workload100, &QAction::triggered, this, &Tfrmprac::SetFullWorkloadForAll);
  connect(A_help, &QAction::triggered, this, &Tfrmprac::ShowHelp);
}

void Tfrmprac::buildMenus(QMenuBar* bar, QToolBar* tools) {
  QMenu* file = bar->addMenu(QStringLiteral("&Súbor"));
  file->setObjectName(QStringLiteral("Sbor1"));
  file->addAction(A_save);
  file->addSeparator();
  file->addAction(A_importold);
  file->addAction(A_importcsv);
  file->addAction(A_exportcsv);
  file->addSeparator();
  file->addAction(A_close);

  QMenu* edit = bar->addMenu(QStringLiteral("Ú&pravy"));
  edit->setObjectName(QStringLiteral("pravy1"));
  edit->addAction(A_delete);
  edit->addAction(A_find);
  edit->addSeparator();
  QMenu* trips = edit->addMenu(QStringLiteral("Služobné cesty"));
  trips->setObjectName(QStringLiteral("Sluzobnecesty1"));
  trips->addAction(A_tripsOff);
  trips->addAction(A_tripsOn);
  QMenu* shifts = edit->addMenu(QStringLiteral("Smeny"));
  shifts->setObjectName(QStringLiteral("Smeny1"));
  shifts->addAction(A_shiftsOff);
  shifts->addAction(A_shiftsOn);

  QMenu* help = bar->addMenu(QStringLiteral("Po&moc"));
  help->setObjectName(QStringLiteral("Pomoc1"));
  help->addAction(A_help);

  for (QAction* a : {A_save, A_new, A_delete, A_find}) tools->addAction(a);

  m_popup = new QMenu(this);
  m_popup->setObjectName(QStringLiteral("PopupMenu1"));
  m_popup->addAction(A_delete);
  m_popup->addSeparator();
  m_popup->addAction(A_workload100);
}

void Tfrmprac::setCardReader(CardReader reader) { m_dialog->setCardReader(std::move(reader)); }

void Tfrmprac::setNewEmployeeMemory(core::EmployeeRow* memory) { m_memory = memory ? memory : &m_ownMemory; }

void Tfrmprac::fillFromList() {
  m_model->setRows(core::RowsFromEmployees(m_list));
  setChanged(false);
  if (m_model->rowCount() > 0) Agrid->setCurrentIndex(m_model->index(0, 0));
}

int Tfrmprac::execMaximized() {
  // Where no window manager maximises windows, the window still covers the
  // screen.
  if (QScreen* s = screen()) setGeometry(s->availableGeometry());
  setWindowState(windowState() | Qt::WindowMaximized);
  return exec();
}

QString Tfrmprac::statusPanelText(int panel) const {
  return panel >= 0 && panel < 2 ? m_panels[panel]->text() : QString();
}

void Tfrmprac::setChanged(bool changed) {
  m_changed = changed;
  A_save->setEnabled(changed);
}

void Tfrmprac::showCurrentName() {
  const QModelIndex current = Agrid->currentIndex();
  if (current.isValid() && current.row() < m_model->rowCount()) {
    m_panels[1]->setText(Q(m_model->rows()[static_cast<std::size_t>(current.row())].name));
  } else {
    m_panels[1]->clear();
  }
}

void Tfrmprac::updateCount() {
  m_panels[0]->setText(QStringLiteral("Pocet: %1").arg(m_model->rowCount()));
  if (m_model->rowCount() == 0) m_panels[1]->clear();
}

std::optional<int> Tfrmprac::currentRow() const {
  const QModelIndex i = Agrid->currentIndex();
  if (!i.isValid()) return std::nullopt;
  return i.row();
}

void Tfrmprac::selectCell(int row, int column) {
  if (row < 0 || row >= m_model->rowCount()) return;
  const QModelIndex i = m_model->index(row, column);
  Agrid->setCurrentIndex(i);
  Agrid->scrollTo(i);
  Agrid->setFocus(Qt::OtherFocusReason);
}

void Tfrmprac::commitOpenEditor() { static_cast<EmployeeGrid*>(Agrid)->commitOpenEditor(); }

// ---------------------------------------------------------------------------
// Save and close

bool Tfrmprac::A_saveExecute() {
  commitOpenEditor();
  // An editor that was opened and left as it was changed nothing.
  if (!m_changed) {
    A_save->setEnabled(false);
    return false;
  }
  if (!m_op.askYesNo(kSaveQuestion)) return false;
  return saveTable();
}

bool Tfrmprac::saveTable() {
  commitOpenEditor();
  const auto& rows = m_model->rows();
  if (const auto problem = core::CheckRowsForSave(rows)) {
    m_op.showMessage(problem->message);
    selectCell(static_cast<int>(problem->row) - 1, problem->column);
    return false;
  }
  for (const auto& dup : core::DuplicateCards(rows)) {
    if (!m_op.askYesNo(core::DuplicateCardQuestion(dup.card, rows[dup.firstRow].name))) {
      selectCell(static_cast<int>(dup.row), core::kColCard);
      return false;
    }
  }
  // The new list is written first; the shared list changes only when the
  // file holds it.
  core::EmployeeList fresh;
  fresh.employees() = core::EmployeesFromRows(rows, m_normaMinutes);
  std::string error;
  if (!fresh.write(m_dir.employeeFile(), &error)) {
    m_op.showMessage(error);
    return false;
  }
  m_list.employees() = std::move(fresh.employees());
  setChanged(false);
  emit listSaved();
  return true;
}

void Tfrmprac::reject() {
  commitOpenEditor();
  if (m_changed && m_op.askYesNo(kCloseQuestion)) {
    // A save stopped by a check keeps the window open, so that the edits are
    // not lost with it.
    if (!saveTable()) return;
  }
  m_find->hide();
  QDialog::reject();
}

// ---------------------------------------------------------------------------
// Rows

void Tfrmprac::A_newExecute() {
  commitOpenEditor();
  m_dialog->prepare(*m_memory, core::DepartmentChoices(m_model->rows()), &m_model->rows());
  const int result = m_dialog->exec();
  // Without a window manager nothing gives the window its keys back.
  activateWindow();
  core::EmployeeRow row = m_dialog->values();
  *m_memory = row;
  m_memory->card.clear();
  if (result != QDialog::Accepted) return;
  m_model->appendRow(std::move(row));
  setChanged(true);
  selectCell(m_model->rowCount() - 1, 0);
  // The presence board starts afresh with the next automatic transfer.
  std::error_code ec;
  std::filesystem::remove(m_dir.presenceFile(), ec);
}

void Tfrmprac::A_deleteExecute() {
  commitOpenEditor();
  const auto row = currentRow();
  if (!row) return;
  const std::string name = m_model->rows()[static_cast<std::size_t>(*row)].name;
  if (!m_op.askYesNo("Želáte si naozaj vymazat riadok: " + name)) return;
  m_model->removeRowAt(*row);
  setChanged(true);
  if (m_model->rowCount() > 0) selectCell(std::min(*row, m_model->rowCount() - 1), 0);
}

void Tfrmprac::A_findExecute() {
  m_find->move(mapToGlobal(QPoint(width() / 2, 80)));
  m_find->show();
  m_find->raise();
  m_find->activateWindow();
}

bool Tfrmprac::findNext(const QString& text) {
  std::optional<std::size_t> selected;
  if (const auto row = currentRow()) selected = static_cast<std::size_t>(*row);
  const auto found = core::FindNameRow(m_model->rows(), text.toStdString(), selected);
  if (!found) return false;
  selectCell(static_cast<int>(*found), 0);
  return true;
}

void Tfrmprac::SetTripsForAll(bool allowed) {
  if (m_model->rowCount() == 0) return;
  m_model->setColumnInEveryRow(core::kColTrips, allowed);
  setChanged(true);
}

void Tfrmprac::SetShiftsForAll(bool allowed) {
  if (m_model->rowCount() == 0) return;
  m_model->setColumnInEveryRow(core::kColShifts, allowed);
  setChanged(true);
}

void Tfrmprac::SetFullWorkloadForAll() {
  if (m_model->rowCount() == 0) return;
  m_model->setTextInEveryRow(core::kColWorkload, "100");
  setChanged(true);
}

// ---------------------------------------------------------------------------
// Import and export

void Tfrmprac::ImportOldList() {
  commitOpenEditor();
  if (!m_op.askYesNo("Želáte si importovat zoznam zo staršej verzie programu: kluce.txt")) return;
  const std::filesystem::path file = m_dir.dir / "kluce.txt";
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) {
    m_op.showMessage("Súbor kluce.txt sa nenachádza v adresári VORTANE");
    return;
  }
  // The old list goes into the table only: like every other change it
  // reaches the shared list and prac.txt with the save.
  core::EmployeeList imported;
  if (imported.importKluce(file, m_normaMinutes) <= 0) {
    m_op.showMessage("V súbore sa nenachádzajú údaje");
    return;
  }
  m_model->setRows(core::RowsFromEmployees(imported));
  setChanged(true);
  selectCell(0, 0);
}

void Tfrmprac::ImportCsv() {
  commitOpenEditor();
  const FileRequest request = FileRequestIn(m_dir.dir, QStringLiteral("Import zo súboru CSV"),
                                            QString::fromUtf8(kCsvFilter), QStringLiteral("csv"));
  const auto choice = m_files.openFile(this, request);
  if (!choice || choice->path.isEmpty()) return;
  const std::string path = choice->path.toStdString();
  std::string bytes;
  if (!core::ReadWholeFile(core::PathFromUtf8(path), bytes)) {
    m_op.showMessage("Nie je možné čítať súbor " + path);
    return;
  }
  auto result = core::EmployeeRowsFromCsv(bytes);
  if (!result.error.empty()) {
    m_op.showMessage(result.error);
    return;
  }
  m_model->setRows(std::move(result.rows));
  // The imported table differs from the saved list: it must be savable, and
  // closing must not drop it without a question.
  setChanged(true);
  selectCell(0, 0);
}

void Tfrmprac::ExportCsv() {
  commitOpenEditor();
  const FileRequest request =
      FileRequestIn(m_dir.dir, QStringLiteral("Export do CSV"), QString::fromUtf8(kCsvFilter), QStringLiteral("csv"));
  const auto choice = m_files.saveFile(this, request);
  if (!choice || choice->path.isEmpty()) return;
  std::filesystem::path file = core::PathFromUtf8(choice->path.toStdString());
  if (!file.has_extension()) file.replace_extension(".csv");
  std::string error;
  if (!core::WriteFileAtomically(file, core::EmployeeRowsToCsv(m_model->rows()), &error)) {
    m_op.showMessage("Nie je možné uložiť súbor " + core::Utf8FromPath(file) + "\r" + error);
  }
}

void Tfrmprac::ShowHelp() {
  if (m_openUrl) m_openUrl(HelpTopicUrl(m_dir.dir, QStringLiteral("zoznam_prac")));
}

}  // namespace ui
