#include "ui/sheet_window.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QMenuBar>
#include <QPageSetupDialog>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QProgressDialog>
#include <QScreen>
#include <QShowEvent>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <charconv>
#include <unordered_map>

#include "core/grid_clipboard.h"
#include "core/grid_text_file.h"
#include "core/month_log.h"
#include "core/path_text.h"
#include "core/time_values.h"
#include "export/document_export.h"
#include "export/grid_export.h"
#include "print/sheet_page.h"
#include "robot/robot_engine.h"
#include "ui/abbreviations_window.h"
#include "ui/grid_view.h"
#include "ui/window_links.h"

namespace ui {

namespace {

const QString kCaption = QStringLiteral("Dochádzkový list");
constexpr int kFirstYear = 2000;
constexpr int kResultColumn = 4;

constexpr std::string_view kChooseEmployee = "Vyberte pracovníka";
constexpr std::string_view kRunModifiedQuestion =
    "Vykonávali ste úpravy v bunke tabulky\rROBOT prepíše údaje v tabulke,ak nemáte bunku chránenú znakom "
    "=\rZeláte si pokracovat ?";
constexpr std::string_view kRunOpenedQuestion =
    "Tabulka bola otvorená zo súboru\rROBOT prepíše údaje v liste\rPresvedcte sa ci máte nastavený správny "
    "mesiac\rZeláte si pokracovat ?";
constexpr std::string_view kOpenModifiedQuestion = "Vykonávali ste úpravy v bunke tabulky\rZeláte si otvorit súbor ?";
constexpr std::string_view kCloseQuestion = "Vykonávali ste úpravy v tabulke\rZeláte si uložiť do súboru ?";
constexpr std::string_view kCopied =
    "Obsah tabuľky bol prenesený dos schránky\rV inej aplikácii použite Shift+Insert alebo CTRL+V";
constexpr std::string_view kPrintFailed = "Tlač sa nepodarila: tlačiareň alebo súbor nie je dostupný";

const QString kSaveFilter = QStringLiteral(
    "List dochádzky  *.dok| *.dok|Internet HTML  *.html|*.html|Microsoft Excel *.xlsx|*.xlsx|CSV text "
    "(*.csv)|*.csv");
const QString kOpenFilter = QStringLiteral("Dochádzková karta  |*.dok");
const char* const kFilterSuffix[] = {"dok", "html", "xlsx", "csv"};

const char* const kColumnHints[] = {
    nullptr,
    nullptr,
    "Den",
    "Podrobná dochádzka\rPR = Prichod\rOD = Odchod\rN  Normálny\rS1 Sluzobne\rS2 Sluzobna cesta\rS3 Sluzobne "
    "zahranicie\rO Obed\rL Lekár\rPR Prekážky\rV  Náhradné volno",
    "Túto bunku môžete upravit,\rak na nej 2x kliknete\ralebo stlačte pravé tlačidlo myši pre lokálne menu\rPozrite "
    "si zoznam skratiek pre výsledok\rV bunke môže byt aj viac udalostí napr: SC 8:00 PN 2:00",
    "Sem si mozete robit poznamky\rRobot dochádzky sem zapisuje rozne varovania pri výpocte",
};

// The result column's menu: caption, shortcut, code, and whether the value
// is the full day with breaks (duration) or the norm.
struct ResultItem {
  const char* caption;
  QKeyCombination key;
  const char* code;
  bool withBreaks;
};
const ResultItem kResultItems[] = {
    {"Odpracoval", QKeyCombination(Qt::CTRL, Qt::Key_O), "=", true},
    {"Služobná", QKeyCombination(Qt::CTRL | Qt::ALT, Qt::Key_S), "SC=", true},
    {"Dovolenka", QKeyCombination(Qt::CTRL | Qt::ALT, Qt::Key_D), "D=", false},
    {"PN", QKeyCombination(Qt::CTRL | Qt::ALT, Qt::Key_P), "PN=", false},
    {"Lekár", QKeyCombination(Qt::CTRL | Qt::ALT, Qt::Key_L), "LK=", false},
    {"Prekážky", QKeyCombination(), "O=", false},
    {"Denná smena", QKeyCombination(Qt::CTRL, Qt::Key_D), "DS=", true},
    {"Poobedňajšia", QKeyCombination(Qt::CTRL, Qt::Key_P), "PS=", true},
    {"Nočna", QKeyCombination(Qt::CTRL, Qt::Key_N), "NS=", true},
};
constexpr int kResultItemCount = static_cast<int>(std::size(kResultItems));
// Items whose keys are also the window's Otvoriť, Vytlačiť and Nový list.
constexpr int kSharedKeyItems[] = {0, 7, 8};

std::string S(const QString& s) { return s.toStdString(); }

// A whole number and nothing else.
std::optional<int> WholeNumber(const std::string& text) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

}  // namespace

// A robot run as one step of the history: undo brings back the sheet the run
// replaced (cells, file, unsaved state), redo the computed one.
class RobotRunCommand : public QUndoCommand {
 public:
  RobotRunCommand(Tfrmlist& window, Tfrmlist::SheetDocument before, Tfrmlist::SheetDocument after)
      : QUndoCommand(QStringLiteral("Spustiť robota")),
        m_window(window),
        m_before(std::move(before)),
        m_after(std::move(after)) {}
  void redo() override {
    // Pushed after the run: the window already shows the computed sheet.
    if (m_pushed) m_window.restoreDocument(m_after);
    m_pushed = true;
  }
  void undo() override { m_window.restoreDocument(m_before); }

 private:
  Tfrmlist& m_window;
  Tfrmlist::SheetDocument m_before;
  Tfrmlist::SheetDocument m_after;
  bool m_pushed = false;
};

Tfrmlist::Tfrmlist(SheetWindowContext context, QWidget* parent)
    : QMainWindow(parent), m_ctx(std::move(context)), m_editor(m_model, m_undo) {
  setObjectName(QStringLiteral("Tfrmlist"));
  setWindowTitle(kCaption);
  setAttribute(Qt::WA_DeleteOnClose, false);
  const int thisYear = m_ctx.now ? m_ctx.now().date().year() : QDate::currentDate().year();
  m_calendar.load(m_ctx.dir.holidayFile(), thisYear, m_ctx.messages, m_ctx.op);
  m_grid = robot::NewSheetGrid();
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
  m_pageSetup = [this](QPrinter& printer) {
    QPageSetupDialog dialog(&printer, this);
    dialog.exec();
  };
  buildActions();
  buildGrid();
  buildMenus();
  buildToolBar();
  statusBar();
  resize(900, 640);
}

Tfrmlist::~Tfrmlist() = default;

// ---------------------------------------------------------------------------
// Construction

void Tfrmlist::buildActions() {
  auto make = [this](QAction*& slot, const char* name, const QString& text, const QString& hint,
                     const QKeySequence& key = {}) {
    slot = new QAction(text, this);
    slot->setObjectName(QLatin1String(name));
    slot->setToolTip(hint);
    slot->setStatusTip(hint);
    if (!key.isEmpty()) slot->setShortcut(key);
    addAction(slot);
  };
  make(a_robot, "a_robot", QStringLiteral("Spustiť robota"), QStringLiteral("Prepočítať tabuľku - Spusti robota"),
       QKeySequence(Qt::CTRL | Qt::Key_R));
  make(a_filenew, "a_filenew", QStringLiteral("Nový list"), QStringLiteral("Nový prázdny list"),
       QKeySequence(Qt::CTRL | Qt::Key_N));
  make(A_FileOpen, "A_FileOpen", QStringLiteral("Otvoriť"), QStringLiteral("Otvoriť"),
       QKeySequence(Qt::CTRL | Qt::Key_O));
  make(A_FileSave, "A_FileSave", QStringLiteral("Uložiť"), QStringLiteral("Uložiť"),
       QKeySequence(Qt::CTRL | Qt::Key_S));
  make(a_saveas, "a_saveas", QStringLiteral("Uložiť ako"), QStringLiteral("Uložiť ako / Export do iného formátu"));
  make(A_print, "A_print", QStringLiteral("Vytlačiť"), QStringLiteral("Vytlačiť"), QKeySequence(Qt::CTRL | Qt::Key_P));
  make(a_calc, "a_calc", QStringLiteral("Hodinová kalkulačka"), QStringLiteral("Hodinová kalkulačka"));
  make(a_help, "a_help", QStringLiteral("Pomoc"), QStringLiteral("Pomoc"), QKeySequence(Qt::Key_F1));
  make(a_preview, "a_preview", QStringLiteral("Tlačový náhľad"), QStringLiteral("Tlačový náhľad"));
  make(a_printsetup, "a_printsetup", QStringLiteral("Nastavenia tlačiarne"), QStringLiteral("Nastavenia tlačiarne"));
  make(a_close, "a_close", QStringLiteral("Koniec"), QStringLiteral("Koniec"));
  make(a_editcell, "a_editcell", QStringLiteral("Upraviť bunku F2"), QStringLiteral("Upraviť bunku F2"));
  make(a_copy, "a_copy", QStringLiteral("Kopírovať tabuľku do schránky"),
       QStringLiteral("Kopírovať tabuľku do schránky"), QKeySequence(Qt::CTRL | Qt::Key_C));
  make(a_undo, "a_undo", QStringLiteral("Späť"), QStringLiteral("Vrátiť poslednú zmenu bunky"),
       QKeySequence(Qt::CTRL | Qt::Key_Z));
  make(a_redo, "a_redo", QStringLiteral("Znova"), QStringLiteral("Znova urobiť vrátenú zmenu bunky"),
       QKeySequence(Qt::CTRL | Qt::Key_Y));
  make(a_settings, "a_settings", QStringLiteral("Nastavenia Robota"), QStringLiteral("Nastavenia Robota"));
  make(a_employees, "a_employees", QStringLiteral("Zoznam pracovníkov"), QStringLiteral("Zoznam pracovníkov"));
  make(a_skratky, "a_skratky", QStringLiteral("Skratky v tabuľke"), QStringLiteral("Skratky v tabuľke"),
       QKeySequence(Qt::CTRL | Qt::Key_F1));
  make(a_printall_printer, "a_printall_printer", QStringLiteral("Na tlačiareň..."),
       QStringLiteral("Vytlačiť listy všetkých pracovníkov na tlačiareň"));
  make(a_printall_preview, "a_printall_preview", QStringLiteral("Tlačový náhľad..."),
       QStringLiteral("Tlačový náhľad listov všetkých pracovníkov"));
  make(a_printall_pdf, "a_printall_pdf", QStringLiteral("Do súboru PDF..."),
       QStringLiteral("Listy všetkých pracovníkov do súboru PDF"));

  // The copy shortcut belongs to the whole window only while the focus is not
  // in an edit of its own.
  a_copy->setShortcutContext(Qt::WindowShortcut);
  A_FileSave->setEnabled(false);

  connect(a_robot, &QAction::triggered, this, &Tfrmlist::a_robotExecute);
  connect(a_filenew, &QAction::triggered, this, &Tfrmlist::a_filenewExecute);
  connect(A_FileOpen, &QAction::triggered, this, &Tfrmlist::A_FileOpenExecute);
  connect(A_print, &QAction::triggered, this, &Tfrmlist::A_printExecute);
  connect(A_FileSave, &QAction::triggered, this, &Tfrmlist::A_FileSaveExecute);
  connect(a_saveas, &QAction::triggered, this, &Tfrmlist::a_saveasExecute);
  connect(a_preview, &QAction::triggered, this, &Tfrmlist::printPreview);
  connect(a_printsetup, &QAction::triggered, this, &Tfrmlist::printerSetup);
  connect(a_close, &QAction::triggered, this, &QWidget::close);
  connect(a_copy, &QAction::triggered, this, &Tfrmlist::copyGrid);
  ConnectUndoActions(a_undo, a_redo, m_undo);
  ConnectWindowLinks(this, {a_calc, a_settings, a_employees, a_help, a_skratky},
                     {m_ctx.showCalculator, m_ctx.showSettings, m_ctx.showEmployeeList, m_ctx.urlOpener, m_ctx.dir.dir,
                      QStringLiteral("karta")},
                     m_skratky);
  connect(a_printall_printer, &QAction::triggered, this, [this] { printAllSheets(AllSheetsTarget::Printer); });
  connect(a_printall_preview, &QAction::triggered, this, [this] { printAllSheets(AllSheetsTarget::Preview); });
  connect(a_printall_pdf, &QAction::triggered, this, [this] { printAllSheets(AllSheetsTarget::Pdf); });

  m_popup = new QMenu(this);
  m_popup->setObjectName(QStringLiteral("PopupMenu1"));
  for (int i = 0; i < kResultItemCount; ++i) {
    if (i == 6) m_popup->addSeparator();
    const ResultItem& item = kResultItems[i];
    auto* action = new QAction(QString::fromUtf8(item.caption), m_popup);
    action->setObjectName(QStringLiteral("pm_result%1").arg(i));
    if (item.key.key() != Qt::Key_unknown && item.key.toCombined() != 0) action->setShortcut(QKeySequence(item.key));
    m_popup->addAction(action);
    connect(action, &QAction::triggered, this, [this, i] { writeResultItem(i); });
    m_resultItems.push_back(action);
  }
}

void Tfrmlist::buildGrid() {
  grid1 = new GridView(this);
  grid1->setObjectName(QStringLiteral("grid1"));
  grid1->setAccessibleName(QStringLiteral("Dochádzkový list"));
  GridModelConfig config;
  config.editable = [](int, int row) { return row >= 1; };
  config.background = [this](int col, int row) -> QColor {
    switch (col) {
      case 0:
        return ColourFromBgr(0xC0C0C0);
      case 1:
        return Qt::white;
      case 2:
        return ColourFromBgr(0x00FFFF);
      default:
        return ColourFromBgr(m_state.DayColour[static_cast<std::size_t>(std::clamp(row, 0, robot::kSheetRows - 1))]);
    }
  };
  config.toolTip = [](int col, int row) -> QString {
    if (col <= 1) return HintText(robot::SheetLabelHint(row));
    if (col < 6 && kColumnHints[col] != nullptr) return HintText(kColumnHints[col]);
    return {};
  };
  m_model.setConfig(std::move(config));
  m_model.setGrid(&m_grid);
  m_model.setEditHandler([this](std::vector<CellChange> changes) {
    m_editor.apply(std::move(changes), QStringLiteral("Úprava bunky"));
    return true;
  });
  m_editor.setFollowUp([this](const std::vector<CellChange>& changes, bool) { afterCellChange(changes); });
  grid1->setGridModel(&m_model, &m_editor);
  grid1->verticalHeader()->hide();
  applySheetGeometry();
  setCentralWidget(grid1);
  // The registrations follow the window's width, and the widths the clerk
  // drags elsewhere.
  grid1->viewport()->installEventFilter(this);
  connect(grid1->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int section, int, int) {
    if (section != 3) fitColumns();
  });
  connect(grid1, &GridView::currentCellChanged, this, &Tfrmlist::onCurrentCellChanged);
  connect(grid1, &GridView::cellContextMenu, this, &Tfrmlist::onCellContextMenu);
  // The result column's own keys work while one of its cells is selected.
  for (int i = 0; i < kResultItemCount; ++i) {
    const bool shared =
        std::find(std::begin(kSharedKeyItems), std::end(kSharedKeyItems), i) != std::end(kSharedKeyItems);
    if (shared || m_resultItems[static_cast<std::size_t>(i)]->shortcut().isEmpty()) continue;
    auto* keyAction = new QAction(m_resultItems[static_cast<std::size_t>(i)]->text(), grid1);
    keyAction->setShortcut(m_resultItems[static_cast<std::size_t>(i)]->shortcut());
    keyAction->setShortcutContext(Qt::WidgetShortcut);
    grid1->addAction(keyAction);
    connect(keyAction, &QAction::triggered, this, [this, i] {
      if (resultMenuAttached()) writeResultItem(i);
    });
  }
  // While a result cell is selected in the table, Ctrl+O, Ctrl+P and Ctrl+N
  // write the result column's "Odpracoval", "Poobedňajšia" and "Nočna";
  // anywhere else (and from the menus and buttons always) they open a file,
  // print and start a new sheet. The table claims those keys before they
  // become the window's shortcuts.
  grid1->installEventFilter(this);
  connect(a_editcell, &QAction::triggered, this, [this] {
    const QModelIndex index = grid1->currentIndex();
    if (index.isValid()) grid1->edit(index);
  });
}

void Tfrmlist::buildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&Súbor"));
  file->setObjectName(QStringLiteral("Subor1"));
  file->addAction(a_filenew);
  file->addAction(A_FileSave);
  file->addAction(a_saveas);
  file->addAction(A_FileOpen);
  file->addSeparator();
  file->addAction(a_preview);
  file->addAction(A_print);
  file->addAction(a_printsetup);
  QMenu* all = file->addMenu(QStringLiteral("Vytlačiť listy všetkých pracovníkov"));
  all->setObjectName(QStringLiteral("PrintAll1"));
  all->addAction(a_printall_printer);
  all->addAction(a_printall_preview);
  all->addAction(a_printall_pdf);
  file->addSeparator();
  file->addAction(a_close);

  QMenu* edit = menuBar()->addMenu(QStringLiteral("Úp&ravy"));
  edit->setObjectName(QStringLiteral("Upravy1"));
  edit->addAction(a_robot);
  edit->addSeparator();
  edit->addAction(a_undo);
  edit->addAction(a_redo);
  edit->addAction(a_editcell);
  edit->addAction(a_copy);
  edit->addSeparator();
  edit->addAction(a_calc);

  QMenu* setup = menuBar()->addMenu(QStringLiteral("Nastavenia"));
  setup->setObjectName(QStringLiteral("Nastavenia1"));
  setup->addAction(a_settings);
  setup->addAction(a_employees);

  QMenu* help = menuBar()->addMenu(QStringLiteral("Pomoc"));
  help->setObjectName(QStringLiteral("Pomoc1"));
  help->addAction(a_skratky);
  help->addAction(a_help);
}

void Tfrmlist::buildToolBar() {
  QToolBar* bar = addToolBar(QStringLiteral("Nástroje"));
  bar->setObjectName(QStringLiteral("ToolBar1"));
  bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
  for (QAction* a : {a_robot, a_calc, a_filenew, A_FileOpen, A_FileSave, a_saveas, A_print}) bar->addAction(a);
  bar->addSeparator();

  ComboBox1 = new QComboBox(bar);
  ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
  ComboBox1->setToolTip(QStringLiteral("Vyberte Meno pracovníka"));
  ComboBox1->setAccessibleName(QStringLiteral("Meno pracovníka"));
  ComboBox1->setAccessibleDescription(QStringLiteral("Vyberte Meno pracovníka"));
  ComboBox1->setMinimumContentsLength(18);
  ComboBox1->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  bar->addWidget(ComboBox1);

  cmbmes = new QComboBox(bar);
  cmbmes->setObjectName(QStringLiteral("cmbmes"));
  cmbmes->setToolTip(QStringLiteral("Vyberte mesiac"));
  cmbmes->setAccessibleName(QStringLiteral("Mesiac"));
  cmbmes->setAccessibleDescription(QStringLiteral("Vyberte mesiac"));
  for (int m = 1; m <= 12; ++m) cmbmes->addItem(QString::number(m));
  bar->addWidget(cmbmes);

  cmbrok = new QComboBox(bar);
  cmbrok->setObjectName(QStringLiteral("cmbrok"));
  cmbrok->setToolTip(QStringLiteral("Vyberte rok"));
  cmbrok->setAccessibleName(QStringLiteral("Rok"));
  cmbrok->setAccessibleDescription(QStringLiteral("Vyberte rok"));
  const int lastYear = (m_ctx.now ? m_ctx.now().date().year() : QDate::currentDate().year()) + 1;
  for (int y = kFirstYear; y <= lastYear; ++y) cmbrok->addItem(QString::number(y));
  bar->addWidget(cmbrok);

  btSkratky = new QToolButton(bar);
  btSkratky->setObjectName(QStringLiteral("btSkratky"));
  btSkratky->setText(QStringLiteral("Skratky"));
  btSkratky->setToolTip(QStringLiteral("Skratky používané v liste dochádzky"));
  btSkratky->setAccessibleName(QStringLiteral("Skratky"));
  btSkratky->setAccessibleDescription(QStringLiteral("Skratky používané v liste dochádzky"));
  connect(btSkratky, &QToolButton::clicked, a_skratky, &QAction::trigger);
  bar->addWidget(btSkratky);
  bar->addAction(a_help);
  // The button that shows what does not fit on a narrow screen.
  for (QWidget* w : bar->findChildren<QWidget*>(QStringLiteral("qt_toolbar_ext_button")))
    w->setAccessibleName(QStringLiteral("Ďalšie nástroje"));
}

// ---------------------------------------------------------------------------
// Showing

void Tfrmlist::showForPeriod(int month, int year) {
  if (!isVisible()) {
    if (month >= 1 && month <= 12) cmbmes->setCurrentIndex(month - 1);
    const int yearIndex = year - kFirstYear;
    if (yearIndex >= 0 && yearIndex < cmbrok->count()) cmbrok->setCurrentIndex(yearIndex);
    // Where no window manager maximises windows (a kiosk session) the
    // window still covers the screen.
    if (const QScreen* shown = screen()) setGeometry(shown->availableGeometry());
    showMaximized();
  }
  raise();
  activateWindow();
}

bool Tfrmlist::showEmployeeSheet(const std::string& name, int month, int year) {
  showForPeriod(month, year);
  const int position = ComboBox1->findText(QString::fromStdString(name), Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (position < 1) return false;
  // The lists are the request for the next sheet: they change only once the
  // clerk agreed to what happens to the sheet on screen.
  if (!confirmRun()) return false;
  if (month >= 1 && month <= 12) cmbmes->setCurrentIndex(month - 1);
  const int yearIndex = year - kFirstYear;
  if (yearIndex >= 0 && yearIndex < cmbrok->count()) cmbrok->setCurrentIndex(yearIndex);
  ComboBox1->setCurrentIndex(position);
  runRobot();
  return true;
}

void Tfrmlist::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (event->spontaneous()) return;
  if (m_keepOnShow) {
    m_keepOnShow = false;
    return;
  }
  FormShow();
}

void Tfrmlist::moveUnder(QWidget* parent) {
  if (parentWidget() == parent) return;
  const bool shown = isVisible();
  const QRect where = geometry();
  setParent(parent, windowFlags() | Qt::Window);
  if (!shown) return;
  m_keepOnShow = true;
  setGeometry(where);
  show();
  m_keepOnShow = false;
}

void Tfrmlist::FormShow() {
  m_grid = robot::NewSheetGrid();
  m_currentSheetFile.clear();
  m_state.openedFromFile = false;
  A_FileSave->setEnabled(false);
  m_state.sheetModified = false;
  m_state.DayColour.fill(robot::kColourWorkingDay);
  m_undo.clear();
  setCaption(kCaption);
  fillEmployeeList();
  writeShowState();
  m_model.reload();
  applySheetGeometry();
  grid1->setFocus();
  if (m_model.rowCount() > 0) grid1->setCurrentIndex(m_model.index(0, 0));
}

void Tfrmlist::fillEmployeeList() {
  const QSignalBlocker block(ComboBox1);
  ComboBox1->clear();
  ComboBox1->addItem(QStringLiteral("Vyberte Meno"));
  for (const core::Employee& e : m_ctx.employees.employees()) ComboBox1->addItem(QString::fromStdString(e.name));
  ComboBox1->setCurrentIndex(0);
}

void Tfrmlist::writeShowState() {
  robot::WriteShowStateHeaders(m_grid);
  robot::SetSheetColumnWidths(m_grid);
  for (int r = 1; r < robot::kSheetRows; ++r) m_grid.setCell(0, r, std::string(robot::SheetLabel(r)));
}

void Tfrmlist::setCaption(const QString& caption) { setWindowTitle(caption); }

QString Tfrmlist::fileNameOnly() const {
  return QString::fromStdString(core::Utf8FromPath(core::PathFromUtf8(m_currentSheetFile).filename()));
}

int Tfrmlist::month() const { return cmbmes->currentIndex() + 1; }
int Tfrmlist::year() const { return cmbrok->currentIndex() + kFirstYear; }

std::filesystem::path Tfrmlist::monthLogFile() const {
  return core::MonthLog::FileName(core::PathFromUtf8(m_ctx.settings.LOGDIR), month(), year());
}

std::optional<std::pair<int, int>> Tfrmlist::sheetPeriod() const {
  const auto m = WholeNumber(m_grid.cell(1, 2));
  const auto y = WholeNumber(m_grid.cell(1, 3));
  if (!m || !y || core::DaysInMonth(*m, *y) <= 0) return std::nullopt;
  return std::make_pair(*m, *y);
}

void Tfrmlist::showSheetInLists() {
  if (const auto period = sheetPeriod()) {
    cmbmes->setCurrentIndex(period->first - 1);
    const int yearIndex = period->second - kFirstYear;
    if (yearIndex >= 0 && yearIndex < cmbrok->count()) cmbrok->setCurrentIndex(yearIndex);
  }
  const std::string& name = m_grid.cell(1, 1);
  if (name.empty()) return;
  const int position = ComboBox1->findText(QString::fromStdString(name), Qt::MatchExactly | Qt::MatchCaseSensitive);
  ComboBox1->setCurrentIndex(std::max(position, 0));
}

void Tfrmlist::updateDayColours() {
  const auto period = sheetPeriod();
  if (!period) return;
  const robot::MonthDays days = robot::ClassifyMonth(period->first, period->second, m_calendar);
  for (int r = 1; r < robot::kSheetRows; ++r)
    m_state.DayColour[static_cast<std::size_t>(r)] =
        r <= days.days ? robot::DayKindColour(days.kind[static_cast<std::size_t>(r)]) : robot::kColourWorkingDay;
  m_model.decorationChanged();
}

void Tfrmlist::applySheetGeometry() {
  // The sheet's 15 pixels, or the line of a larger font (a screen set to more
  // than 96 dots per inch).
  grid1->applyGeometry(std::max(15, QFontMetrics(grid1->font()).height() + 1));
  fitColumns();
}

void Tfrmlist::fitColumns() {
  if (m_fitting || m_model.columnCount() <= 3) return;
  m_fitting = true;
  // The sheet's stored widths are laid out for a small font; on screen the
  // day column takes its longest label and the registrations the width the
  // other columns leave, while the file keeps the stored widths.
  const QFontMetrics metrics(grid1->font());
  const int margins = 2 * (grid1->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid1) + 1) + 2;
  // The day's labels and its result ("DS 8:00 NS 0:05") read whole too.
  for (const int column : {2, 4}) {
    int widest = std::max(m_grid.columnWidth(column), 0);
    for (int r = 1; r < m_grid.rowCount(); ++r) {
      const QModelIndex index = m_model.indexOf(column, r);
      widest = std::max(widest, metrics.horizontalAdvance(index.data().toString()) + margins);
    }
    if (widest > 0) grid1->showColumnWidth(column, widest);
  }
  int others = 0;
  for (int section = 0; section < m_model.columnCount(); ++section)
    if (section != 3) others += grid1->columnWidth(section);
  const int fill = grid1->viewport()->width() - others;
  grid1->showColumnWidth(3, std::max(m_grid.columnWidth(3), fill));
  m_fitting = false;
}

// ---------------------------------------------------------------------------
// Robot and totals

void Tfrmlist::a_robotExecute() {
  const int position = ComboBox1->currentIndex();
  if (position <= 0 || position > static_cast<int>(m_ctx.employees.employees().size())) {
    m_ctx.op.showMessage(std::string(kChooseEmployee));
    return;
  }
  if (!confirmRun()) return;
  runRobot();
}

bool Tfrmlist::confirmRun() {
  if (m_state.sheetModified && !m_ctx.op.askYesNo(std::string(kRunModifiedQuestion))) return false;
  if (m_state.openedFromFile && !m_ctx.op.askYesNo(std::string(kRunOpenedQuestion))) return false;
  return true;
}

void Tfrmlist::runRobot() {
  const int position = ComboBox1->currentIndex();
  const auto& list = m_ctx.employees.employees();
  if (position <= 0 || position > static_cast<int>(list.size())) {
    m_ctx.op.showMessage(std::string(kChooseEmployee));
    return;
  }
  int chosenIndex = position - 1;
  // The list may have been saved anew since it was filled in: the name the
  // operator chose decides, not its old position.
  const std::string chosen = ComboBox1->currentText().toStdString();
  if (list[static_cast<std::size_t>(chosenIndex)].name != chosen) {
    const auto it = std::find_if(list.begin(), list.end(), [&](const core::Employee& e) { return e.name == chosen; });
    if (it == list.end()) {
      fillEmployeeList();
      m_ctx.op.showMessage(std::string(kChooseEmployee));
      return;
    }
    chosenIndex = static_cast<int>(it - list.begin());
  }
  SheetDocument before = document();
  m_selectedEmployee = chosenIndex;
  const core::Employee& employee = list[static_cast<std::size_t>(m_selectedEmployee)];
  // Another employee's or another month's sheet is a new document: it takes
  // neither the cells nor the file of the one on screen.
  const bool another = robot::HoldsAnotherSheet(m_grid, employee, month(), year());
  const std::pair<int, int> sizeBefore{m_grid.columnCount(), m_grid.rowCount()};
  robot::RobotInputs in(m_ctx.settings, m_calendar, employee, month(), year(), monthLogFile());
  in.messages = &m_ctx.messages;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  robot::RunSheet(in, m_grid, m_state, m_ctx.op);
  QApplication::restoreOverrideCursor();
  m_dailyNorm = employee.workloadMinutes;
  if (another) {
    m_currentSheetFile.clear();
    m_state.openedFromFile = false;
  }
  updateDayColours();
  refreshAfterRun(sizeBefore);

  m_state.sheetModified = false;
  if (m_currentSheetFile.empty()) {
    setCaption(kCaption + QStringLiteral(" *"));
  } else {
    A_FileSave->setEnabled(true);
    setCaption(kCaption + QStringLiteral(" * ") + fileNameOnly());
    m_state.sheetModified = true;
  }
  m_undo.push(new RobotRunCommand(*this, std::move(before), document()));
}

Tfrmlist::SheetDocument Tfrmlist::document() const {
  SheetDocument doc;
  doc.grid = m_grid;
  doc.dayColour = m_state.DayColour;
  doc.file = m_currentSheetFile;
  doc.openedFromFile = m_state.openedFromFile;
  doc.sheetModified = m_state.sheetModified;
  doc.selectedEmployee = m_selectedEmployee;
  doc.dailyNorm = m_dailyNorm;
  doc.caption = windowTitle();
  doc.saveEnabled = A_FileSave->isEnabled();
  return doc;
}

void Tfrmlist::restoreDocument(const SheetDocument& doc) {
  const std::pair<int, int> sizeBefore{m_grid.columnCount(), m_grid.rowCount()};
  m_grid = doc.grid;
  m_state.DayColour = doc.dayColour;
  m_currentSheetFile = doc.file;
  m_state.openedFromFile = doc.openedFromFile;
  m_state.sheetModified = doc.sheetModified;
  m_selectedEmployee = doc.selectedEmployee;
  m_dailyNorm = doc.dailyNorm;
  setCaption(doc.caption);
  A_FileSave->setEnabled(doc.saveEnabled);
  showSheetInLists();
  refreshAfterRun(sizeBefore);
}

void Tfrmlist::refreshAfterRun(std::pair<int, int> sizeBefore) {
  // The same 6 x 32 sheet: telling the view which cells changed is much
  // cheaper than a reset, and the column widths the operator set stay.
  if (sizeBefore == std::make_pair(m_grid.columnCount(), m_grid.rowCount())) {
    m_model.cellsChanged(0, 0, m_grid.columnCount() - 1, m_grid.rowCount() - 1);
    m_model.decorationChanged();
    fitColumns();
    return;
  }
  m_model.reload();
  applySheetGeometry();
}

const core::Employee* Tfrmlist::currentEmployee() const {
  const auto& list = m_ctx.employees.employees();
  if (m_selectedEmployee >= 0 && m_selectedEmployee < static_cast<int>(list.size())) {
    const core::Employee& e = list[static_cast<std::size_t>(m_selectedEmployee)];
    // The list may have changed since the run; the sheet still names its employee.
    if (e.name == m_grid.cell(1, 1) || m_grid.cell(1, 1).empty()) return &e;
  }
  for (const core::Employee& e : list)
    if (!m_grid.cell(1, 1).empty() && e.name == m_grid.cell(1, 1)) return &e;
  return nullptr;
}

void Tfrmlist::recalcTotals() {
  const core::Employee* employee = currentEmployee();
  core::Employee fallback;
  if (employee == nullptr) {
    // A sheet of somebody no longer in the list: the totals with the full
    // daily norm and no breaks.
    fallback.workloadMinutes = static_cast<std::uint16_t>(m_ctx.settings.normaPDminutes);
    employee = &fallback;
  }
  // The sheet's own month, not the lists': they may show another one by now.
  const auto period = sheetPeriod();
  robot::RecalcSheet(*employee, m_ctx.settings, m_calendar, period ? period->first : month(),
                     period ? period->second : year(), m_grid);
  m_model.cellsChanged(1, 1, 1, robot::kSheetRows - 1);
}

void Tfrmlist::markEdited() {
  A_FileSave->setEnabled(true);
  m_state.sheetModified = true;
  setCaption(m_currentSheetFile.empty() ? kCaption + QStringLiteral("  *")
                                        : kCaption + QStringLiteral(" * ") + fileNameOnly());
}

void Tfrmlist::afterCellChange(const std::vector<CellChange>&) {
  recalcTotals();
  updateDayColours();
  fitColumns();
  markEdited();
}

// ---------------------------------------------------------------------------
// Result column

int Tfrmlist::sharedKeyItem(const QKeyEvent* key) const {
  if (key->modifiers() != Qt::ControlModifier) return -1;
  switch (key->key()) {
    case Qt::Key_O:
      return 0;
    case Qt::Key_P:
      return 7;
    case Qt::Key_N:
      return 8;
    default:
      return -1;
  }
}

bool Tfrmlist::eventFilter(QObject* watched, QEvent* event) {
  if (watched == grid1->viewport() && event->type() == QEvent::Resize) fitColumns();
  if (watched == grid1 && (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress)) {
    const int item = sharedKeyItem(static_cast<QKeyEvent*>(event));
    if (item >= 0 && resultMenuAttached()) {
      event->accept();
      if (event->type() == QEvent::KeyPress) writeResultItem(item);
      return true;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

bool Tfrmlist::resultMenuAttached() const {
  const auto cell = grid1->currentCell();
  return cell && cell->first == kResultColumn && grid1->hasFocus();
}

void Tfrmlist::onCurrentCellChanged(int col, int row) {
  if (col == kResultColumn) m_resultRow = row;
  for (QAction* a : m_resultItems) a->setEnabled(col == kResultColumn);
}

void Tfrmlist::onCellContextMenu(int col, int row, const QPoint& globalPos) {
  if (col != kResultColumn || row < 1) return;
  m_resultRow = row;
  m_popup->popup(globalPos);
}

QString Tfrmlist::resultItemText(int item) const {
  const core::Employee* employee = currentEmployee();
  if (employee == nullptr || item < 0 || item >= kResultItemCount) return {};
  const ResultItem& r = kResultItems[item];
  const std::int64_t norm = employee->workloadMinutes;
  const std::int64_t minutes = r.withBreaks ? norm + employee->breaks : norm;
  return QString::fromUtf8(r.code) + QString::fromStdString(core::MinutesToTimeText(minutes));
}

void Tfrmlist::writeResultItem(int item) {
  if (m_resultRow < 1 || m_resultRow >= m_grid.rowCount()) return;
  if (currentEmployee() == nullptr) {
    m_ctx.op.showMessage(std::string(kChooseEmployee));
    return;
  }
  const QString text = resultItemText(item);
  m_editor.apply({{kResultColumn, m_resultRow, {}, S(text)}}, QString::fromUtf8(kResultItems[item].caption));
}

// ---------------------------------------------------------------------------
// Files

bool Tfrmlist::writeSheetFile(const std::filesystem::path& file) {
  std::string error;
  if (!core::GridTextFile::Write(file, m_grid, &error)) {
    m_ctx.op.showMessage(error.empty() ? exports::CannotWriteMessage(file) : error);
    return false;
  }
  return true;
}

void Tfrmlist::A_FileSaveExecute() { saveSheet(); }

bool Tfrmlist::saveSheet() {
  if (m_currentSheetFile.empty()) return saveWithDialog();
  if (!writeSheetFile(core::PathFromUtf8(m_currentSheetFile))) return false;
  m_state.sheetModified = false;
  A_FileSave->setEnabled(false);
  setCaption(kCaption + QLatin1Char(' ') + fileNameOnly());
  return true;
}

void Tfrmlist::a_saveasExecute() { saveWithDialog(); }

bool Tfrmlist::saveWithDialog() {
  const FileRequest request =
      FileRequestIn(m_ctx.dir.dir, QStringLiteral("Uložiť ako"), kSaveFilter, QStringLiteral("dok"));
  const auto choice = m_ctx.files.saveFile(this, request);
  if (!choice) return false;
  const int filter = std::clamp(choice->filterIndex, 1, 4);
  QString path = choice->path;
  // The name gets the chosen kind's extension when it has none.
  if (QFileInfo(path).suffix().isEmpty()) path += QLatin1Char('.') + QLatin1String(kFilterSuffix[filter - 1]);
  const std::filesystem::path file = core::PathFromUtf8(S(path));
  std::string message;
  switch (filter) {
    case 1:
      if (!writeSheetFile(file)) return false;
      m_state.sheetModified = false;
      A_FileSave->setEnabled(false);
      m_currentSheetFile = S(path);
      setCaption(kCaption + QLatin1Char(' ') + fileNameOnly());
      return true;
    default: {
      // Filters 2 to 4: what each export holds is decided where the
      // command-line tool's are.
      const exports::DocumentFormat formats[] = {exports::DocumentFormat::Html, exports::DocumentFormat::Xlsx,
                                                 exports::DocumentFormat::Csv};
      QApplication::setOverrideCursor(Qt::WaitCursor);
      const bool ok = exports::WriteDocument(file, exports::SheetDocument(m_grid), formats[filter - 2], &message);
      QApplication::restoreOverrideCursor();
      if (!ok) {
        m_ctx.op.showMessage(message.empty() && filter == 3 ? std::string(exports::kXlsxFailedMessage) : message);
      }
      return ok;
    }
  }
}

void Tfrmlist::A_FileOpenExecute() {
  if (m_state.sheetModified && !m_ctx.op.askYesNo(std::string(kOpenModifiedQuestion))) return;
  const FileRequest request =
      FileRequestIn(m_ctx.dir.dir, QStringLiteral("Otvoriť"), kOpenFilter, QStringLiteral("dok"));
  const auto choice = m_ctx.files.openFile(this, request);
  if (!choice) return;
  core::Grid loaded = m_grid;
  std::string error;
  if (!core::GridTextFile::Read(core::PathFromUtf8(S(choice->path)), loaded, core::GridTextFile::Cells::SingleLine,
                                &error)) {
    m_ctx.op.showMessage(error);
    return;
  }
  m_grid = std::move(loaded);
  m_state.openedFromFile = true;
  A_FileSave->setEnabled(false);
  m_state.sheetModified = false;
  m_currentSheetFile = S(choice->path);
  m_undo.clear();
  setCaption(kCaption + QLatin1Char(' ') + fileNameOnly());
  // The opened sheet decides its month: the lists show it, so that a run
  // asks for the same month, and the colours follow it.
  showSheetInLists();
  updateDayColours();
  m_model.reload();
  applySheetGeometry();
}

void Tfrmlist::a_filenewExecute() {
  m_state.sheetModified = false;
  m_state.openedFromFile = false;
  m_currentSheetFile.clear();
  setCaption(kCaption);
  m_grid.clearCells();
  robot::WriteClearStateHeaders(m_grid);
  m_undo.clear();
  m_model.reload();
  applySheetGeometry();
  ComboBox1->setCurrentIndex(0);
}

void Tfrmlist::copyGrid() {
  QApplication::clipboard()->setText(
      QString::fromStdString(core::GridRangeToText(m_grid, 0, 0, robot::kSheetColumns - 1, robot::kSheetRows - 1)));
  m_ctx.op.showMessage(std::string(kCopied));
}

void Tfrmlist::closeEvent(QCloseEvent* event) {
  if (m_state.sheetModified && m_ctx.op.askYesNo(std::string(kCloseQuestion))) {
    saveSheet();
    // A cancelled save dialog or a file that could not be written: the
    // corrections stay on screen rather than being lost with the window.
    if (m_state.sheetModified) {
      event->ignore();
      return;
    }
  }
  m_state.sheetModified = false;
  if (m_skratky) m_skratky->close();
  event->accept();
}

// ---------------------------------------------------------------------------
// Printing

print::SheetPrintOptions Tfrmlist::printOptions() const {
  print::SheetPrintOptions options;
  const QDateTime now = m_ctx.now ? m_ctx.now() : QDateTime::currentDateTime();
  options.printedAt = print::PrintStamp(now);
  return options;
}

void Tfrmlist::paintSheet(QPrinter* printer) {
  const core::Grid* grid = &m_grid;
  const auto outcome = print::PrintSheets(
      *printer, 1, [grid](int) { return grid; }, printOptions());
  if (!outcome.ok) m_ctx.op.showMessage(std::string(kPrintFailed));
}

void Tfrmlist::A_printExecute() {
  m_printer.setDocName(QStringLiteral("Vortane ") + QString::fromStdString(m_currentSheetFile));
  if (!m_printDialog || !m_printDialog(m_printer)) return;
  paintSheet(&m_printer);
}

void Tfrmlist::printPreview() {
  m_printer.setDocName(QStringLiteral("Vortane ") + QString::fromStdString(m_currentSheetFile));
  if (m_previewRunner) m_previewRunner(m_printer, [this](QPrinter* p) { paintSheet(p); });
}

void Tfrmlist::printerSetup() {
  if (m_pageSetup) m_pageSetup(m_printer);
}

void Tfrmlist::printAllSheets(AllSheetsTarget target) {
  if (m_ctx.employees.empty()) {
    m_ctx.op.showMessage(std::string(kChooseEmployee));
    return;
  }
  QString pdfPath;
  if (target == AllSheetsTarget::Pdf) {
    const FileRequest request = FileRequestIn(m_ctx.dir.dir, QStringLiteral("Listy všetkých pracovníkov do PDF"),
                                              QStringLiteral("PDF  *.pdf|*.pdf"), QStringLiteral("pdf"));
    const auto choice = m_ctx.files.saveFile(this, request);
    if (!choice) return;
    pdfPath = choice->path;
    if (QFileInfo(pdfPath).suffix().isEmpty()) pdfPath += QStringLiteral(".pdf");
  }
  robot::MonthSheets sheets(m_ctx.settings, m_calendar, m_ctx.employees, m_ctx.messages, month(), year(),
                            monthLogFile());
  if (!sheets.load(m_ctx.op)) return;
  const int count = sheets.count();
  const int m = month();
  const int y = year();
  auto sheetOf = [&](int i) -> const core::Grid* { return &sheets.sheet(i, m_ctx.op); };
  QProgressDialog progress(QStringLiteral("Tlač listov"), QStringLiteral("Zrušiť"), 0, count, this);
  progress.setObjectName(QStringLiteral("PrintAllProgress"));
  progress.setWindowTitle(QStringLiteral("Listy všetkých pracovníkov"));
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(300);
  auto step = [&](int i, int total) {
    progress.setLabelText(QStringLiteral("List %1 z %2").arg(i + 1).arg(total));
    progress.setValue(i);
    return !progress.wasCanceled();
  };
  const print::SheetPrintOptions options = printOptions();
  auto paintAll = [&](QPagedPaintDevice& device) {
    const auto outcome = print::PrintSheets(device, count, sheetOf, options, step);
    progress.setValue(count);
    if (!outcome.ok) m_ctx.op.showMessage(std::string(kPrintFailed));
  };
  switch (target) {
    case AllSheetsTarget::Pdf: {
      QPdfWriter writer(pdfPath);
      writer.setTitle(QStringLiteral("Vortane ") + QStringLiteral("%1.%2").arg(m).arg(y));
      writer.setPageSize(QPageSize(QPageSize::A4));
      writer.setResolution(300);
      paintAll(writer);
      return;
    }
    case AllSheetsTarget::Printer:
      m_printer.setDocName(QStringLiteral("Vortane ") + QStringLiteral("%1.%2").arg(m).arg(y));
      if (!m_printDialog || !m_printDialog(m_printer)) return;
      paintAll(m_printer);
      return;
    case AllSheetsTarget::Preview:
      m_printer.setDocName(QStringLiteral("Vortane ") + QStringLiteral("%1.%2").arg(m).arg(y));
      if (m_previewRunner) m_previewRunner(m_printer, [&](QPrinter* p) { paintAll(*p); });
      return;
  }
}

}  // namespace ui
