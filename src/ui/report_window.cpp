#include "ui/report_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSplitter>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <set>

#include "core/path_text.h"
#include "core/text_util.h"
#include "core/time_values.h"
#include "export/grid_export.h"
#include "robot/report_compute.h"
#include "robot/report_files.h"
#include "ui/abbreviations_window.h"
#include "ui/accessibility.h"
#include "ui/grid_view.h"
#include "ui/window_links.h"
#include "ui/progress_window.h"
#include "ui/report_print_setup.h"
#include "ui/tip_window.h"

namespace ui {

namespace {

const QString kDesignCaption = QStringLiteral("Súhrnný výkaz dochádzky");
const QString kAllDepartments = QStringLiteral("* Všetky");
constexpr int kRowHeight = 17;
constexpr std::string_view kCloseAnyway = "\rZatvoriť výkaz aj tak? Zmeny v tabuľke sa stratia.";
constexpr std::string_view kSaveOpenedQuestion = "Vykonávali ste úpravy v tabulke\rZeláte si uložiť do súboru ?";

// The code menu: what each item writes into the day cell.
enum class Value { Duration, Norm, None, Empty };
struct CodeItem {
  const char* caption;
  QKeyCombination key;
  const char* code;
  Value value;
  bool separatorBefore;
};
const CodeItem kCodeItems[] = {
    {"Odpracoval", QKeyCombination(Qt::CTRL, Qt::Key_O), "=", Value::Duration, false},
    {"SC Služobná cesta", QKeyCombination(Qt::CTRL | Qt::ALT, Qt::Key_S), "SC=", Value::Duration, false},
    {"D Dovolenka", QKeyCombination(Qt::CTRL | Qt::ALT, Qt::Key_D), "D=", Value::Norm, false},
    {"PN Choroba", QKeyCombination(Qt::CTRL | Qt::ALT, Qt::Key_P), "PN=", Value::Norm, false},
    {"LK Lekar", QKeyCombination(), "LK=", Value::Norm, false},
    {"O  Osobné prekážky", QKeyCombination(), "O=", Value::Norm, false},
    {"NV Náhradné voľno", QKeyCombination(), "NV=", Value::Norm, true},
    {"VO Neplatene voľno", QKeyCombination(), "V", Value::None, false},
    {"A Absencia", QKeyCombination(), "A", Value::None, false},
    {"Z Prekážky Verejné", QKeyCombination(), "Z", Value::None, false},
    {"ST Štúdium", QKeyCombination(), "ST=", Value::Norm, true},
    {"SK Školenie", QKeyCombination(), "SK", Value::None, false},
    {"Vymazať", QKeyCombination(Qt::Key_Delete), "", Value::Empty, false},
};
constexpr int kCodeItemCount = static_cast<int>(std::size(kCodeItems));
constexpr int kClearItem = kCodeItemCount - 1;

std::string S(const QString& s) { return s.toStdString(); }
QString Q(const std::string& s) { return QString::fromStdString(s); }

bool IsDayColumn(int col) { return col >= robot::kReportFirstDayColumn; }

}  // namespace

Tfrmzdrep::Tfrmzdrep(ReportWindowContext context, ReportPeriodChoice period, QWidget* parent)
    : QDialog(parent),
      m_ctx(std::move(context)),
      m_period(period),
      m_employees(m_ctx.employees),
      m_editor(m_model, m_undo) {
  setObjectName(QStringLiteral("Tfrmzdrep"));
  setWindowTitle(kDesignCaption);
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                 Qt::WindowCloseButtonHint);
  setModal(true);
  m_report.month = period.month;
  m_report.year = period.year;
  m_report.monthLogFile = period.monthLogFile;
  m_report.reopenSavedReport = period.reopenSavedReport;

  m_info = m_ctx.progress != nullptr ? m_ctx.progress : new Tfrminfo(this);
  m_printDialog = [this](QPrinter& printer) {
    QPrintDialog dialog(&printer, this);
    return dialog.exec() == QDialog::Accepted;
  };
  m_previewRunner = [this](QPrinter& printer, const std::function<void(QPrinter*)>& paint) {
    QPrintPreviewDialog preview(&printer, this);
    preview.setWindowTitle(QStringLiteral("Tlačový náhľad"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&paint](QPrinter* p) { paint(p); });
    preview.exec();
  };
  m_printSetup =
      [this](const print::ReportPrintOptions& options) -> std::optional<std::pair<int, print::ReportPrintOptions>> {
    Tfrmprnsetup setup(options, this);
    setup.exec();
    if (setup.choice() == Tfrmprnsetup::Choice::None) return std::nullopt;
    return std::make_pair(static_cast<int>(setup.choice()), setup.options());
  };

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  buildActions();
  auto* bars = new QWidget(this);
  bars->setObjectName(QStringLiteral("CoolBar1"));
  buildToolBars(bars);
  buildGrid();
  buildStatusBar();
  buildMenus(this);
  layout->addWidget(bars);
  layout->addWidget(Splitter1, 1);
  layout->addWidget(StatusBar1);
  resize(1000, 700);
}

Tfrmzdrep::~Tfrmzdrep() = default;

// ---------------------------------------------------------------------------
// Construction

void Tfrmzdrep::buildActions() {
  auto make = [this](QAction*& slot, const char* name, const QString& text, const QString& hint = {},
                     const QKeySequence& key = {}) {
    slot = new QAction(text, this);
    slot->setObjectName(QLatin1String(name));
    if (!hint.isEmpty()) {
      slot->setToolTip(hint);
      slot->setStatusTip(hint);
    }
    if (!key.isEmpty()) slot->setShortcut(key);
    addAction(slot);
  };
  make(a_make, "a_make", QStringLiteral("GO"), QStringLiteral("Vypracuj tabulku dochádzky"));
  make(a_calc, "a_calc", QStringLiteral("Kalkulator"), QStringLiteral("Hodinová kalkulačka"));
  make(a_open, "a_open", QStringLiteral("Otvoriť"), QStringLiteral("Otvoriť tabuľku"));
  make(a_save, "a_save", QStringLiteral("Uložiť"), QStringLiteral("Uložiť tabuľku"));
  make(a_savemenu, "Ulozit1", QStringLiteral("&Uložiť"), QStringLiteral("Uložiť tabuľku"),
       QKeySequence(Qt::CTRL | Qt::Key_S));
  make(a_find, "a_find", QStringLiteral("Hľadať bunku"), QStringLiteral("Hľadať bunku s textom"),
       QKeySequence(Qt::CTRL | Qt::Key_F));
  make(a_clip, "a_clip", QStringLiteral("Kopíruj"), QStringLiteral("Kopírovať označenú oblasť"));
  make(a_copy, "a_copy", QStringLiteral("Kopírovať"), QStringLiteral("Kopírovať označenú oblasť"),
       QKeySequence(Qt::CTRL | Qt::Key_C));
  make(a_print, "a_print", QStringLiteral("Tlač"), QStringLiteral("Tlač tabuľky"), QKeySequence(Qt::CTRL | Qt::Key_P));
  make(a_help, "a_help", QStringLiteral("Pomoc"), QStringLiteral("Pomoc"), QKeySequence(Qt::Key_F1));
  make(a_export, "a_export", QStringLiteral("EXPORT tabulky"), QStringLiteral("Export do Excelu, CSV alebo HTML"));
  make(a_settings, "a_settings", QStringLiteral("Nastavenia ROBOTA"), QStringLiteral("Nastavenia ROBOTA"));
  make(a_employees, "a_employees", QStringLiteral("Zoznam pracovníkov"), QStringLiteral("Zoznam pracovníkov"));
  make(a_close, "a_close", QStringLiteral("Koniec"), QStringLiteral("Zatvoriť výkaz"));
  make(a_selall, "a_selall", QStringLiteral("Označ celú tab"), QStringLiteral("Označiť celú tabuľku"),
       QKeySequence(Qt::CTRL | Qt::Key_A));
  make(a_f9, "a_f9", QStringLiteral("Vypracuj Dochadzku"), QStringLiteral("Vypracuj Dochadzku"),
       QKeySequence(Qt::Key_F9));
  make(a_clearcomments, "a_clearcomments", QStringLiteral("Vymazať komentáre Robota"),
       QStringLiteral("Vymazať komentáre Robota vo všetkých bunkách"));
  make(a_undo, "a_undo", QStringLiteral("Späť"), QStringLiteral("Vrátiť poslednú zmenu bunky"),
       QKeySequence(Qt::CTRL | Qt::Key_Z));
  make(a_redo, "a_redo", QStringLiteral("Znova"), QStringLiteral("Znova urobiť vrátenú zmenu bunky"),
       QKeySequence(Qt::CTRL | Qt::Key_Y));
  make(a_paste, "a_paste", QStringLiteral("Vložiť"), QStringLiteral("Vložiť zo schránky od označenej bunky"),
       QKeySequence(Qt::CTRL | Qt::Key_V));
  make(a_cut, "a_cut", QStringLiteral("Vystrihnúť"), QStringLiteral("Vystrihnúť označenú oblasť"),
       QKeySequence(Qt::CTRL | Qt::Key_X));
  make(a_skratky, "a_skratky", QStringLiteral("Skratky"), QStringLiteral("Skratky používané v tabuľke dochádzky"),
       QKeySequence(Qt::CTRL | Qt::Key_F1));
  make(a_tip, "a_tip", QStringLiteral("Tip"), QStringLiteral("Tip k výkazu dochádzky"));
  make(a_card, "a_card", QStringLiteral("Zobraz kartu pracovníka"),
       QStringLiteral("Dochádzkový list pracovníka označeného riadku"));
  // Copy, paste, cut and select-all belong to the grid, so that the cell
  // field and the find text keep their own keys.
  for (QAction* a : {a_copy, a_paste, a_cut, a_selall}) a->setShortcutContext(Qt::WidgetWithChildrenShortcut);

  connect(a_make, &QAction::triggered, this, &Tfrmzdrep::BTmakeClick);
  connect(a_f9, &QAction::triggered, this, &Tfrmzdrep::VypracujDochadzku);
  connect(a_save, &QAction::triggered, this, &Tfrmzdrep::A_FileSaveExecute);
  connect(a_savemenu, &QAction::triggered, this, &Tfrmzdrep::A_FileSaveExecute);
  connect(a_open, &QAction::triggered, this, &Tfrmzdrep::BTopenClick);
  connect(a_export, &QAction::triggered, this, &Tfrmzdrep::ExportTabulky);
  connect(a_print, &QAction::triggered, this, &Tfrmzdrep::BTprintClick);
  connect(a_find, &QAction::triggered, this, &Tfrmzdrep::showFind);
  connect(a_clearcomments, &QAction::triggered, this, &Tfrmzdrep::clearRobotComments);
  connect(a_close, &QAction::triggered, this, &QWidget::close);
  connect(a_card, &QAction::triggered, this, &Tfrmzdrep::showEmployeeSheet);
  connect(a_tip, &QAction::triggered, this, &Tfrmzdrep::BTtipClick);
  a_card->setEnabled(static_cast<bool>(m_ctx.showEmployeeSheet));
  ConnectUndoActions(a_undo, a_redo, m_undo);
  std::function<void(QWidget*)> employeeList;
  if (m_ctx.showEmployeeList)
    employeeList = [this](QWidget* parent) {
      m_ctx.showEmployeeList(parent);
      employeeListClosed();
    };
  ConnectWindowLinks(this, {a_calc, a_settings, a_employees, a_help, a_skratky},
                     {m_ctx.showCalculator, m_ctx.showSettings, employeeList, m_ctx.urlOpener, m_ctx.dir.dir,
                      QStringLiteral("vykaz")},
                     m_skratky);

  poptyp = new QMenu(this);
  poptyp->setObjectName(QStringLiteral("poptyp"));
  for (int i = 0; i < kCodeItemCount; ++i) {
    const CodeItem& item = kCodeItems[i];
    if (item.separatorBefore || i == kClearItem) {
      if (i != kClearItem) poptyp->addSeparator();
    }
    auto* action = new QAction(QString::fromUtf8(item.caption), poptyp);
    action->setObjectName(QStringLiteral("pt_item%1").arg(i));
    if (item.key.toCombined() != 0) action->setShortcut(QKeySequence(item.key));
    poptyp->addAction(action);
    connect(action, &QAction::triggered, this, [this, i] { writeCodeItem(i); });
    m_codeItems.push_back(action);
  }
  poptyp->addSeparator();
  auto* clearComment = poptyp->addAction(QStringLiteral("Vymazať komentár Robota"));
  clearComment->setObjectName(QStringLiteral("pt_clearcomment"));
  connect(clearComment, &QAction::triggered, this, &Tfrmzdrep::clearCellComment);

  popmeno = new QMenu(this);
  popmeno->setObjectName(QStringLiteral("popmeno"));
  popmeno->addAction(a_card);
  auto* settings = popmeno->addAction(QStringLiteral("Nastavenia Robota"));
  settings->setObjectName(QStringLiteral("pm_settings"));
  settings->setEnabled(a_settings->isEnabled());
  connect(settings, &QAction::triggered, a_settings, &QAction::trigger);
  auto* employees = popmeno->addAction(QStringLiteral("Zoznam pracovníkov"));
  employees->setObjectName(QStringLiteral("pm_employees"));
  employees->setEnabled(a_employees->isEnabled());
  connect(employees, &QAction::triggered, a_employees, &QAction::trigger);
}

void Tfrmzdrep::buildMenus(QWidget* menuHost) {
  auto* bar = new QMenuBar(menuHost);
  bar->setObjectName(QStringLiteral("MainMenu1"));
  QMenu* file = bar->addMenu(QStringLiteral("&Súbor"));
  file->setObjectName(QStringLiteral("Subor1"));
  file->addAction(a_savemenu);
  auto* open = file->addAction(QStringLiteral("&Otvoriť"));
  open->setObjectName(QStringLiteral("Otvorit1"));
  connect(open, &QAction::triggered, a_open, &QAction::trigger);
  file->addAction(a_export);
  file->addAction(a_print);
  file->addSeparator();
  file->addAction(a_settings);
  file->addAction(a_employees);
  file->addAction(a_close);

  QMenu* edit = bar->addMenu(QStringLiteral("Úpravy"));
  edit->setObjectName(QStringLiteral("Upravy1"));
  edit->addAction(a_find);
  edit->addAction(a_copy);
  edit->addAction(a_cut);
  edit->addAction(a_paste);
  edit->addAction(a_undo);
  edit->addAction(a_redo);
  edit->addAction(a_selall);
  edit->addAction(a_f9);
  edit->addSeparator();
  edit->addAction(a_clearcomments);

  QMenu* tools = bar->addMenu(QStringLiteral("&Nástroje"));
  tools->setObjectName(QStringLiteral("Nastroje1"));
  auto* go = tools->addAction(QStringLiteral("Vypracuj tabulku dochádzky (GO)"));
  go->setObjectName(QStringLiteral("GO1"));
  go->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
  connect(a_make, &QAction::changed, go, [this, go] { go->setEnabled(a_make->isEnabled()); });
  connect(go, &QAction::triggered, a_make, &QAction::trigger);
  tools->addAction(a_card);
  tools->addAction(a_calc);
  tools->addAction(a_skratky);
  tools->addAction(a_tip);
  tools->addAction(a_help);
  static_cast<QVBoxLayout*>(layout())->setMenuBar(bar);
}

void Tfrmzdrep::buildToolBars(QWidget* host) {
  auto* row = new QHBoxLayout(host);
  row->setContentsMargins(2, 2, 2, 2);
  auto* bar1 = new QToolBar(QStringLiteral("Nástroje"), host);
  bar1->setObjectName(QStringLiteral("ToolBar1"));
  bar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
  auto button = [bar1](QAction* action, const char* name) {
    auto* b = new QToolButton(bar1);
    b->setObjectName(QLatin1String(name));
    b->setDefaultAction(action);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bar1->addWidget(b);
    return b;
  };
  button(a_make, "BTmake");
  button(a_calc, "BTcalc");
  button(a_open, "BTopen");
  button(a_save, "BTsave");
  button(a_find, "BTfind")->setText(QStringLiteral("Hľadať"));
  button(a_clip, "BTclip");
  button(a_print, "BTprint");
  button(a_help, "BTHelp");
  button(a_tip, "BTtip");
  // The tool bar's "Hľadať" names the same command as the menu's "Hľadať bunku".
  connect(a_clip, &QAction::triggered, this, [this] { grid1->copySelection(); });

  auto* bar2 = new QToolBar(QStringLiteral("Bunka"), host);
  bar2->setObjectName(QStringLiteral("ToolBar2"));
  // The cell field and the department list are reached by their labels'
  // keys (Alt+B, Alt+O), as the help page says.
  auto* edit2Label = new QLabel(QStringLiteral("Obsah &bunky"), bar2);
  edit2Label->setObjectName(QStringLiteral("LBedit2"));
  Edit2 = new QLineEdit(bar2);
  Edit2->setObjectName(QStringLiteral("Edit2"));
  Edit2->setToolTip(QStringLiteral("Upraviť obsah bunky"));
  NameLikeLabel(edit2Label, Edit2);
  NameControl(Edit2, QStringLiteral("Obsah bunky"), QStringLiteral("Upraviť obsah bunky"));
  bar2->addWidget(edit2Label);
  Edit2->setMinimumWidth(120);
  Edit2->setMaximumWidth(360);
  Edit2->setEnabled(false);
  bar2->addWidget(Edit2);
  BTskratky = new QToolButton(bar2);
  BTskratky->setObjectName(QStringLiteral("BTskratky"));
  BTskratky->setText(QStringLiteral("Skratky"));
  BTskratky->setToolTip(QStringLiteral("Skratky používané v tabuľke dochádzky"));
  BTskratky->setAccessibleName(QStringLiteral("Skratky"));
  BTskratky->setAccessibleDescription(QStringLiteral("Skratky používané v tabuľke dochádzky"));
  connect(BTskratky, &QToolButton::clicked, a_skratky, &QAction::trigger);
  bar2->addWidget(BTskratky);
  auto* departmentLabel = new QLabel(QStringLiteral("&Oddelenie"), bar2);
  departmentLabel->setObjectName(QStringLiteral("LBoddel"));
  CMBoddel = new QComboBox(bar2);
  CMBoddel->setObjectName(QStringLiteral("CMBoddel"));
  CMBoddel->setToolTip(QStringLiteral("Vyberte oddelenie"));
  NameLikeLabel(departmentLabel, CMBoddel);
  NameControl(CMBoddel, QStringLiteral("Oddelenie"), QStringLiteral("Vyberte oddelenie"));
  bar2->addWidget(departmentLabel);
  CMBoddel->setMinimumContentsLength(12);
  CMBoddel->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  bar2->addWidget(CMBoddel);
  connect(CMBoddel, &QComboBox::currentIndexChanged, this, [this](int) { applyFilter(); });

  // Every change of the field's text reaches the cell, however it arrives
  // (typed, pasted, set by assistive technology); the window's own fill
  // writes the cell's text back unchanged, which the editor drops.
  connect(Edit2, &QLineEdit::textChanged, this, &Tfrmzdrep::Edit2Change);
  connect(Edit2, &QLineEdit::returnPressed, this, [this] { grid1->setFocus(); });
  Edit2->installEventFilter(this);

  row->addWidget(bar1);
  row->addWidget(bar2, 1);
}

void Tfrmzdrep::buildGrid() {
  Splitter1 = new QSplitter(Qt::Horizontal, this);
  Splitter1->setObjectName(QStringLiteral("Splitter1"));
  Memo1 = new QPlainTextEdit(Splitter1);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setReadOnly(true);
  NameControl(Memo1, QStringLiteral("Dochádzka dňa"), QStringLiteral("Meno, deň a príchody a odchody vybranej bunky"));
  grid1 = new GridView(Splitter1);
  grid1->setObjectName(QStringLiteral("grid1"));
  grid1->setAccessibleName(QStringLiteral("Výkaz dochádzky"));
  Splitter1->addWidget(Memo1);
  Splitter1->addWidget(grid1);
  Splitter1->setStretchFactor(1, 1);
  Splitter1->setSizes({137, 900});

  GridModelConfig config;
  config.firstColumnAsHeader = true;
  config.multiLine = true;
  config.editable = [](int col, int row) { return row >= 1 && col >= robot::rcol::AtWork; };
  config.background = [this](int col, int) { return ColourFromBgr(robot::ReportColumnColour(m_report, col)); };
  config.toolTip = [this](int col, int row) -> QString {
    const QString name = Q(m_report.grid.cell(robot::rcol::Name, row));
    if (!IsDayColumn(col)) return name;
    return name + QLatin1Char('\n') +
           HintText(robot::ReportDayRecords(m_report, row, col - robot::kReportFirstDayColumn + 1));
  };
  config.headerToolTip = [this](int col) -> QString {
    if (col < robot::kReportFirstDayColumn) return HintText(robot::ReportColumnHint(col));
    return HintText(m_report.grid.cell(col, 0));
  };
  m_model.setConfig(std::move(config));
  m_model.setGrid(&m_report.grid);
  m_model.setEditHandler([this](std::vector<CellChange> changes) {
    if (m_editor.apply(std::move(changes), QStringLiteral("Úprava bunky"))) a_save->setEnabled(true);
    return true;
  });
  m_editor.setFollowUp([this](const std::vector<CellChange>& changes, bool) { afterCellChange(changes); });
  connect(&m_undo, &QUndoStack::cleanChanged, this, [this](bool) { updateSaveForOpenedFile(); });
  grid1->setGridModel(&m_model, &m_editor);
  // The report's widths (6 pixels a character, 20 for a short day) are laid
  // out for a small font.
  QFont small = grid1->font();
  small.setPointSize(8);
  grid1->setFont(small);
  grid1->horizontalHeader()->setFont(small);
  grid1->verticalHeader()->setFont(small);
  layoutGrid();
  for (QAction* a : {a_copy, a_paste, a_cut, a_selall}) grid1->addAction(a);
  connect(a_copy, &QAction::triggered, grid1, &GridView::copySelection);
  connect(a_paste, &QAction::triggered, grid1, &GridView::pasteClipboard);
  connect(a_cut, &QAction::triggered, grid1, &GridView::cutSelection);
  connect(a_selall, &QAction::triggered, grid1, &GridView::selectEverything);
  connect(grid1, &GridView::currentCellChanged, this, &Tfrmzdrep::onCurrentCellChanged);
  connect(grid1, &GridView::cellContextMenu, this, &Tfrmzdrep::onCellContextMenu);
  grid1->verticalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(grid1->verticalHeader(), &QHeaderView::customContextMenuRequested, this, &Tfrmzdrep::onNameContextMenu);
  connect(grid1->verticalHeader(), &QHeaderView::sectionClicked, this,
          [this](int section) { selectCell(robot::rcol::Name, section + 1); });
  // A cell rewritten by anything but the field itself (undo, redo, paste,
  // the code menu), also while the field has the focus, shows its new text
  // there, so that the next key does not write the old text back; typing
  // after it is a new undo step.
  connect(&m_model, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex&, const QModelIndex&) {
    if (m_edit2Writing) return;
    const QString before = Edit2->text();
    refreshEdit2();
    if (Edit2->text() != before) ++m_edit2Session;
  });
  // The code menu's keys work while a day cell is selected.
  for (int i = 0; i < kCodeItemCount; ++i) {
    const QKeySequence key = m_codeItems[static_cast<std::size_t>(i)]->shortcut();
    if (key.isEmpty()) continue;
    auto* keyAction = new QAction(m_codeItems[static_cast<std::size_t>(i)]->text(), grid1);
    keyAction->setShortcut(key);
    keyAction->setShortcutContext(Qt::WidgetShortcut);
    grid1->addAction(keyAction);
    connect(keyAction, &QAction::triggered, this, [this, i] {
      if (m_codeMenuAttached) writeCodeItem(i);
    });
  }
}

void Tfrmzdrep::layoutGrid() {
  grid1->applyGeometry(kRowHeight);
  const QFontMetrics header(grid1->horizontalHeader()->font());
  const QFontMetrics cells(grid1->font());
  // The stored widths follow the report's rule (its texts' length); on
  // screen a day column also takes its label and its longest result whole
  // ("PS 8:00 NS 0:07"), without storing that width in the file. Only the
  // texts longest in characters are measured, so a large report stays quick.
  for (int col = robot::kReportFirstDayColumn; col < m_report.grid.columnCount(); ++col) {
    const std::string& label = m_report.grid.cell(col, 0);
    if (label.empty()) continue;
    std::size_t longest = 0;
    for (int r = 1; r < m_report.grid.rowCount(); ++r)
      longest = std::max(longest, core::utf8Length(m_report.grid.cell(col, r)));
    int wanted = header.horizontalAdvance(Q(label)) + 8;
    if (longest > 0) {
      for (int r = 1; r < m_report.grid.rowCount(); ++r) {
        const std::string& text = m_report.grid.cell(col, r);
        if (core::utf8Length(text) + 1 >= longest) wanted = std::max(wanted, cells.horizontalAdvance(Q(text)) + 8);
      }
    }
    const int section = col - 1;
    if (grid1->columnWidth(section) < wanted) grid1->showColumnWidth(section, wanted);
  }
}

void Tfrmzdrep::buildStatusBar() {
  StatusBar1 = new QWidget(this);
  StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
  auto* row = new QHBoxLayout(StatusBar1);
  row->setContentsMargins(2, 1, 2, 1);
  row->setSpacing(0);
  const int widths[4] = {150, 100, 50, 50};
  const char* const captions[4] = {"Vybrané meno", "Počet pracovníkov", "Počet pracovných dní", "Počet sviatkov"};
  for (int i = 0; i < 4; ++i) {
    m_panels[i] = new QLabel(StatusBar1);
    m_panels[i]->setObjectName(QStringLiteral("Panel%1").arg(i));
    // The last panel may grow: "Sviatky=" and its count do not fit in 50 pixels.
    if (i < 3) {
      m_panels[i]->setFixedWidth(widths[i]);
    } else {
      m_panels[i]->setMinimumWidth(widths[i]);
    }
    m_panels[i]->setFrameShape(QFrame::StyledPanel);
    NameValuePanel(m_panels[i], QString::fromUtf8(captions[i]));
    row->addWidget(m_panels[i]);
  }
  row->addStretch(1);
  StatusBar1->installEventFilter(this);
  for (QLabel* panel : m_panels) panel->installEventFilter(this);
}

// ---------------------------------------------------------------------------
// Showing and closing

int Tfrmzdrep::execMaximized() {
  // Where no window manager maximises windows, the window still covers the
  // screen.
  if (QScreen* s = screen()) setGeometry(s->availableGeometry());
  setWindowState(windowState() | Qt::WindowMaximized);
  return exec();
}

void Tfrmzdrep::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous() || m_shown) return;
  m_shown = true;
  FormShow();
}

void Tfrmzdrep::FormShow() {
  m_closed = false;
  m_report.month = m_period.month;
  m_report.year = m_period.year;
  m_report.monthLogFile = m_period.monthLogFile;
  m_computedThisShowing = false;
  m_listChanged = false;
  m_openedPeriodKnown = true;
  a_save->setEnabled(false);
  a_make->setEnabled(true);
  a_f9->setEnabled(true);
  robot::BuildReportTable(m_report, env());
  fillDepartments();
  if (m_report.reopenSavedReport) robot::ReopenSavedPeriod(m_report, m_ctx.dir.dir, m_ctx.op);
  m_undo.clear();
  m_model.reload();
  layoutGrid();
  setCaption(m_report.caption);
  updateStatusTexts();
  applyFilter();
  grid1->setFocus();
  if (m_report.dataRows() > 0) selectCell(robot::rcol::PersonalNumber, 1);
}

void Tfrmzdrep::fillDepartments() {
  const QSignalBlocker block(CMBoddel);
  CMBoddel->clear();
  CMBoddel->addItem(kAllDepartments);
  std::set<std::string> seen;
  for (const core::Employee& e : m_employees.employees()) {
    // A one-letter department is a placeholder, not a department to filter by.
    if (core::utf8Length(e.department) <= 1) continue;
    if (seen.insert(e.department).second) CMBoddel->addItem(Q(e.department));
  }
  CMBoddel->setCurrentIndex(0);
}

bool Tfrmzdrep::closeStep() {
  selectDepartment(kAllDepartments);
  std::string error;
  if (!m_report.openedFile.empty()) {
    if (!openedFileChanged() || !m_ctx.op.askYesNo(std::string(kSaveOpenedQuestion))) return true;
    grid1->storeColumnWidths();
    if (!robot::WriteReportFile(m_report.openedFile, m_report.grid, &error)) {
      m_ctx.op.showMessage(error.empty() ? exports::CannotWriteMessage(m_report.openedFile) : error);
      return false;
    }
    m_undo.setClean();
    m_listChanged = false;
    updateSaveForOpenedFile();
    return true;
  }
  // A showing that neither computed nor changed the table leaves the period
  // file as it is: it may hold corrections of an earlier showing that the
  // freshly built table does not have.
  if (!m_computedThisShowing && !m_listChanged && m_undo.index() == 0) return true;
  grid1->storeColumnWidths();
  if (robot::SaveReportOnClose(m_report, m_ctx.dir.dir, &error)) return true;
  if (error.empty())
    error = exports::CannotWriteMessage(robot::PeriodFileName(m_ctx.dir.dir, m_report.month, m_report.year));
  // The period file keeps the clerk's corrections; without it they are
  // gone, so the window stays open unless the clerk accepts that.
  return m_ctx.op.askYesNo(error + std::string(kCloseAnyway));
}

void Tfrmzdrep::updateSaveForOpenedFile() {
  if (!m_report.openedFile.empty()) a_save->setEnabled(openedFileChanged());
}

void Tfrmzdrep::done(int result) {
  if (m_computing) {
    m_stop = true;
    m_closeAfterComputation = true;
    return;
  }
  if (!m_closed) {
    if (!closeStep()) return;
    m_closed = true;
    if (m_skratky) m_skratky->close();
    if (m_find) m_find->close();
    if (m_tip) {
      m_tip->hide();
      // The program's tip window goes back where it lives.
      if (m_tipHome && m_tip->parentWidget() == this) m_tip->setParent(m_tipHome, m_tip->windowFlags());
    }
  }
  m_shown = false;
  QDialog::done(result);
}

void Tfrmzdrep::keyPressEvent(QKeyEvent* event) {
  // Escape is the in-place editor's cancel, not a way to leave the report.
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

bool Tfrmzdrep::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Edit2 && event->type() == QEvent::FocusIn) {
    // Each visit of the cell field is one undo step, however many keys.
    ++m_edit2Session;
  }
  if (event->type() == QEvent::ToolTip) {
    // The status bar's hint names the panel under the pointer.
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget != nullptr && (widget == StatusBar1 || widget->parentWidget() == StatusBar1)) {
      auto* help = static_cast<QHelpEvent*>(event);
      const int x = widget->mapTo(StatusBar1, help->pos()).x();
      const QString hint = statusBarHint(x);
      if (!hint.isEmpty()) QToolTip::showText(help->globalPos(), hint, widget);
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

QString Tfrmzdrep::statusBarHint(int x) const {
  if (x < 150) return QStringLiteral("Vybrané meno");
  if (x < 250) return QStringLiteral("Počet pracovníkov");
  if (x < 300) return QStringLiteral("Počet pracovných dní");
  return {};
}

void Tfrmzdrep::setCaption(const std::string& caption) {
  setWindowTitle(caption.empty() ? kDesignCaption : Q(caption));
}

void Tfrmzdrep::updateStatusTexts() {
  m_panels[1]->setText(Q(m_report.statusRows));
  m_panels[2]->setText(Q(m_report.statusWorkingDays));
  m_panels[3]->setText(Q(m_report.statusHolidays));
}

QString Tfrmzdrep::statusPanelText(int panel) const {
  return panel >= 0 && panel < 4 ? m_panels[panel]->text() : QString();
}

robot::ReportEnvironment Tfrmzdrep::env() {
  return robot::ReportEnvironment{m_ctx.settings, m_employees, m_ctx.messages, m_ctx.op, m_ctx.dir.holidayFile()};
}

// ---------------------------------------------------------------------------
// Department filter

void Tfrmzdrep::selectDepartment(const QString& department) {
  const int index = CMBoddel->findText(department, Qt::MatchExactly);
  if (index < 0) return;
  if (index == CMBoddel->currentIndex()) {
    applyFilter();
  } else {
    CMBoddel->setCurrentIndex(index);
  }
}

void Tfrmzdrep::applyFilter() {
  const bool all = CMBoddel->currentIndex() <= 0;
  const std::string chosen = S(CMBoddel->currentText());
  const int rows = m_report.dataRows();
  grid1->setUpdatesEnabled(false);
  for (int r = 1; r <= rows; ++r) {
    const bool hide = !all && m_report.grid.cell(robot::rcol::Department, r) != chosen;
    if (grid1->isRowHidden(r - 1) != hide) grid1->setRowHidden(r - 1, hide);
  }
  grid1->setUpdatesEnabled(true);
}

std::vector<bool> Tfrmzdrep::hiddenRows() const {
  std::vector<bool> hidden(static_cast<std::size_t>(m_report.grid.rowCount()), false);
  for (int r = 1; r < m_report.grid.rowCount(); ++r) hidden[static_cast<std::size_t>(r)] = grid1->isRowHidden(r - 1);
  return hidden;
}

// ---------------------------------------------------------------------------
// Cells

void Tfrmzdrep::selectCell(int col, int row) {
  m_selectedCol = col;
  m_selectedRow = row;
  if (col >= 1) grid1->selectCell(col, row);
  const bool day = IsDayColumn(col) && row >= 1;
  m_codeMenuAttached = day;
  Edit2->setEnabled(day);
  refreshEdit2();
  m_panels[0]->setText(Q(m_report.grid.cell(robot::rcol::Name, row)));
  Memo1->clear();
  if (row < 1) return;
  QString note = Q(m_report.grid.cell(robot::rcol::Name, row));
  if (day) {
    note += QLatin1Char('\n') + HintText(m_report.grid.cell(col, 0)) + QLatin1Char('\n') +
            HintText(robot::ReportDayRecords(m_report, row, col - robot::kReportFirstDayColumn + 1));
  }
  Memo1->setPlainText(note);
}

void Tfrmzdrep::onCurrentCellChanged(int col, int row) {
  if (col == m_selectedCol && row == m_selectedRow) return;
  selectCell(col, row);
}

QString Tfrmzdrep::noteText() const { return Memo1->toPlainText(); }

void Tfrmzdrep::refreshEdit2() {
  if (IsDayColumn(m_selectedCol) && m_selectedRow >= 1) {
    const QString text = Q(m_report.grid.cell(m_selectedCol, m_selectedRow));
    if (Edit2->text() != text) Edit2->setText(text);
  } else {
    Edit2->clear();
  }
}

void Tfrmzdrep::Edit2Change(const QString& text) {
  if (!IsDayColumn(m_selectedCol) || m_selectedRow < 1) return;
  m_edit2Writing = true;
  m_editor.apply({{m_selectedCol, m_selectedRow, {}, S(text)}}, QStringLiteral("Úprava bunky"), 1000 + m_edit2Session);
  m_edit2Writing = false;
}

void Tfrmzdrep::afterCellChange(const std::vector<CellChange>& changes) {
  if (!m_report.openedFile.empty() && !m_openedPeriodKnown) {
    // Another month's days would give wrong totals: the cell stays as
    // typed and its row as it was read.
    if (!m_openedPeriodRefused) {
      m_openedPeriodRefused = true;
      m_ctx.op.showMessage(std::string(robot::kOpenedPeriodUnknown));
    }
    return;
  }
  std::set<int> rows;
  for (const CellChange& c : changes)
    if (c.row >= 1) rows.insert(c.row);
  for (int row : rows) {
    robot::RecalcReportRow(m_report, env(), row, m_stop);
    m_model.cellsChanged(robot::rcol::AtWork, row, robot::rcol::Obstacles, row);
  }
}

void Tfrmzdrep::onCellContextMenu(int col, int row, const QPoint& globalPos) {
  if (row < 1) return;
  selectCell(col, row);
  if (IsDayColumn(col)) poptyp->popup(globalPos);
}

void Tfrmzdrep::onNameContextMenu(const QPoint& pos) {
  const int section = grid1->verticalHeader()->logicalIndexAt(pos);
  if (section < 0) return;
  selectCell(robot::rcol::Name, section + 1);
  popmeno->popup(grid1->verticalHeader()->mapToGlobal(pos));
}

QString Tfrmzdrep::codeItemText(int item) const {
  const CodeItem& c = kCodeItems[item];
  const auto index = robot::FindReportEmployee(m_employees, m_report.grid, m_selectedRow);
  std::int64_t norm = 0;
  std::int64_t breaks = 0;
  if (index) {
    const core::Employee& e = m_employees.employees()[*index];
    norm = e.workloadMinutes;
    breaks = e.breaks;
  }
  switch (c.value) {
    case Value::Duration:
      return QString::fromUtf8(c.code) + Q(core::MinutesToTimeText(norm + breaks));
    case Value::Norm:
      return QString::fromUtf8(c.code) + Q(core::MinutesToTimeText(norm));
    case Value::None:
      return QString::fromUtf8(c.code);
    case Value::Empty:
      return {};
  }
  return {};
}

void Tfrmzdrep::writeCodeItem(int item) {
  if (item < 0 || item >= kCodeItemCount || !IsDayColumn(m_selectedCol) || m_selectedRow < 1 ||
      m_selectedRow >= m_report.grid.rowCount())
    return;
  if (kCodeItems[item].value != Value::Empty &&
      !robot::FindReportEmployee(m_employees, m_report.grid, m_selectedRow)) {
    m_ctx.op.showMessage(std::string(robot::kReportNameNotFound));
    return;
  }
  std::vector<std::pair<int, int>> cells{{m_selectedCol, m_selectedRow}};
  if (item == kClearItem) {
    // Del over a block of day cells empties the block.
    const auto selected = grid1->selectedCells();
    const bool inBlock = std::find(selected.begin(), selected.end(), cells.front()) != selected.end();
    if (inBlock) {
      cells.clear();
      for (const auto& cell : selected)
        if (IsDayColumn(cell.first)) cells.push_back(cell);
    }
  }
  m_editor.apply(m_editor.changesTo(cells, S(codeItemText(item))), QString::fromUtf8(kCodeItems[item].caption));
}

void Tfrmzdrep::clearCellComment() {
  if (m_selectedRow < 1 || m_selectedCol < 1) return;
  m_report.grid.setComment(m_selectedCol, m_selectedRow, std::string());
  m_model.cellsChanged(m_selectedCol, m_selectedRow, m_selectedCol, m_selectedRow);
}

void Tfrmzdrep::clearRobotComments() {
  robot::ClearRobotComments(m_report.grid);
  m_model.decorationChanged();
}

namespace {

// The employee of the new list that an employee of the old list became:
// the same card, else the same personal number, else the same name.
std::optional<std::size_t> SameEmployee(const core::Employee& old, const std::vector<core::Employee>& list,
                                        const std::vector<bool>& taken) {
  const auto find = [&](auto same) -> std::optional<std::size_t> {
    std::optional<std::size_t> found;
    for (std::size_t i = 0; i < list.size(); ++i) {
      if (taken[i] || !same(list[i])) continue;
      if (found) return std::nullopt;  // not one employee
      found = i;
    }
    return found;
  };
  if (old.card != 0)
    if (auto i = find([&](const core::Employee& e) { return e.card == old.card; })) return i;
  if (!old.personalNumber.empty())
    if (auto i = find([&](const core::Employee& e) { return e.personalNumber == old.personalNumber; })) return i;
  return find([&](const core::Employee& e) { return e.name == old.name; });
}

}  // namespace

void Tfrmzdrep::employeeListClosed() {
  core::EmployeeList fresh;
  if (fresh.read(m_ctx.dir.employeeFile(), m_ctx.settings.normaPDminutes) != 1) return;
  if (fresh.employees() == m_employees.employees()) return;
  const auto& now = fresh.employees();
  core::Grid& grid = m_report.grid;
  const core::Grid before = grid;
  std::vector<bool> taken(now.size(), false);
  std::vector<int> rowsToRecalc;
  const auto fill = [&](int row, const core::Employee& e) {
    grid.setCell(robot::rcol::Name, row, e.name);
    grid.setCell(robot::rcol::PersonalNumber, row, e.personalNumber);
    grid.setCell(robot::rcol::Department, row, e.department);
    grid.setCell(robot::rcol::Norm, row,
                 robot::NormText(std::int64_t{e.workloadMinutes} * m_report.days.workingDays));
    rowsToRecalc.push_back(row);
  };
  for (int row = 1; row <= m_report.dataRows(); ++row) {
    const auto index = robot::FindReportEmployee(m_employees, grid, row);
    if (!index) continue;
    const auto now_index = SameEmployee(m_employees.employees()[*index], now, taken);
    if (!now_index) continue;
    taken[*now_index] = true;
    fill(row, now[*now_index]);
  }
  // Employees added to the list get their rows at the end, as a fresh table
  // would have them; rows of employees taken off the list stay as they were.
  for (std::size_t i = 0; i < now.size(); ++i) {
    if (taken[i]) continue;
    const int row = grid.rowCount();
    grid.resize(grid.columnCount(), row + 1);
    m_report.DayRecordLines.resize(static_cast<std::size_t>(m_report.dataRows()),
                                   std::vector<std::string>(robot::kReportDayEntries));
    fill(row, now[i]);
  }
  m_employees = std::move(fresh);
  // New workloads and breaks change the totals at once, as an edit would.
  if (m_report.openedFile.empty() || m_openedPeriodKnown) {
    std::atomic<bool> stop{false};
    for (int row : rowsToRecalc) robot::RecalcReportRow(m_report, env(), row, stop);
  }
  if (grid.rowCount() != before.rowCount()) {
    m_model.reload();
    layoutGrid();
  } else {
    m_model.cellsChanged(0, 1, grid.columnCount() - 1, grid.rowCount() - 1);
  }
  bool changed = grid.rowCount() != before.rowCount();
  for (int row = 1; !changed && row < grid.rowCount(); ++row)
    for (int col = 0; !changed && col < robot::kReportFirstDayColumn; ++col)
      changed = grid.cell(col, row) != before.cell(col, row);
  if (changed) m_listChanged = true;
  const QString department = CMBoddel->currentText();
  fillDepartments();
  const int index = CMBoddel->findText(department, Qt::MatchExactly);
  {
    const QSignalBlocker block(CMBoddel);
    CMBoddel->setCurrentIndex(std::max(index, 0));
  }
  applyFilter();
  updateSaveForOpenedFile();
  if (m_selectedRow >= 1 && m_selectedRow < grid.rowCount()) selectCell(m_selectedCol, m_selectedRow);
}

void Tfrmzdrep::BTtipClick() {
  if (!m_tip) {
    m_tip = m_ctx.tips;
    if (!m_tip) m_tip = new TipWindow(core::TipDrawer::SystemRandom(), this);
  }
  // Beside this modal window another window takes no input unless it is
  // the report's own for the while.
  if (m_tip->parentWidget() != this) {
    m_tipHome = m_tip->parentWidget();
    m_tip->setParent(this, m_tip->windowFlags());
  }
  m_tip->show();
  m_tip->raise();
  m_tip->showTip(m_ctx.dir.tipsFile(), "[TABDOCH");
}

void Tfrmzdrep::showEmployeeSheet() {
  if (!m_ctx.showEmployeeSheet || m_selectedRow < 1) return;
  const std::string& name = m_report.grid.cell(robot::rcol::Name, m_selectedRow);
  if (name.empty()) return;
  m_ctx.showEmployeeSheet(name, m_report.month, m_report.year);
}

}  // namespace ui
