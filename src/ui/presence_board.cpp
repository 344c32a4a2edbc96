#include "ui/presence_board.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "core/time_values.h"
#include "device/record_codec.h"
#include "ui/accessibility.h"

namespace ui {

namespace {
const QColor kYellow(255, 255, 0);
const QColor kWhite(255, 255, 255);

QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

Tfrmstav::Tfrmstav(const core::EmployeeList& employees, device::PresenceStatus& presence, core::ProgramDirectory dir,
                   core::Operator& op, QWidget* parent)
    : QDialog(parent), m_employees(employees), m_presence(presence), m_dir(std::move(dir)), m_op(op) {
  setObjectName(QStringLiteral("Tfrmstav"));
  setWindowTitle(QStringLiteral("Stav pracovníkov"));
  setModal(false);
  setWindowFlags(Qt::Window);
  resize(640, 480);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  auto* tools = new QToolBar(this);
  tools->setObjectName(QStringLiteral("ToolBar1"));
  cmbOddel = new QComboBox(tools);
  cmbOddel->setObjectName(QStringLiteral("cmbOddel"));
  cmbOddel->setToolTip(QStringLiteral("Výber oddelenia"));
  cmbOddel->setMinimumWidth(180);
  NameControl(cmbOddel, cmbOddel->toolTip());
  tools->addWidget(cmbOddel);
  auto* help = new QToolButton(tools);
  help->setObjectName(QStringLiteral("ToolButton2"));
  help->setText(QStringLiteral("?"));
  help->setToolTip(QStringLiteral("Pomoc"));
  NameControl(help, help->toolTip());
  tools->addWidget(help);
  layout->addWidget(tools);

  grid = new QTableWidget(this);
  grid->setObjectName(QStringLiteral("grid"));
  NameControl(grid, windowTitle());
  grid->setColumnCount(4);
  grid->setHorizontalHeaderLabels(
      {QStringLiteral("Meno"), QStringLiteral("Oddelenie"), QStringLiteral("Ćas"), QStringLiteral("Stav")});
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid->verticalHeader()->setVisible(false);
  grid->setWordWrap(false);
  grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
  grid->horizontalHeader()->setStretchLastSection(true);
  layout->addWidget(grid, 1);

  StatusBar1 = new QLabel(this);
  StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
  StatusBar1->setFrameShape(QFrame::Panel);
  StatusBar1->setFrameShadow(QFrame::Sunken);
  layout->addWidget(StatusBar1);

  connect(cmbOddel, &QComboBox::currentIndexChanged, this, [this] { cmbOddelChange(); });
  connect(help, &QToolButton::clicked, this, &Tfrmstav::ToolButton2Click);
  init_grid();
  FocusFirstControlOnShow(this);
}

void Tfrmstav::init_grid() {
  const auto& list = m_employees.employees();
  grid->setRowCount(static_cast<int>(list.size()));
  grid->setColumnWidth(0, 150);
  grid->setColumnWidth(1, 110);
  // Wide enough for the date and time on one line whatever the font.
  grid->setColumnWidth(
      2, std::max(110, grid->fontMetrics().horizontalAdvance(QStringLiteral("29.12.2026 23:59:59")) + 12));
  for (int r = 0; r < grid->rowCount(); ++r) {
    grid->setRowHidden(r, false);
    const auto& e = list[static_cast<std::size_t>(r)];
    for (int c = 0; c < 4; ++c) {
      if (!grid->item(r, c)) grid->setItem(r, c, new QTableWidgetItem);
    }
    grid->item(r, 0)->setText(Q(e.name));
    grid->item(r, 1)->setText(Q(e.department));
    grid->item(r, 2)->setText(QString());
    grid->item(r, 3)->setText(QString());
  }
}

void Tfrmstav::init_cmboddelenia() {
  const QSignalBlocker block(cmbOddel);
  cmbOddel->clear();
  cmbOddel->addItem(QStringLiteral("* Všetky"));
  cmbOddel->setCurrentIndex(0);
  for (const auto& e : m_employees.employees()) {
    const QString dep = Q(e.department);
    if (dep.size() < 2) continue;
    if (cmbOddel->findText(dep, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0) continue;
    cmbOddel->addItem(dep);
  }
}

void Tfrmstav::refresh_stav() {
  // The list may have grown since the rows were made (a card named in the
  // main window).
  if (grid->rowCount() != static_cast<int>(m_employees.size())) init_grid();
  const auto rows = device::PresenceRows(m_employees, m_presence);
  for (int r = 0; r < grid->rowCount() && r < static_cast<int>(rows.size()); ++r) {
    const auto& row = rows[static_cast<std::size_t>(r)];
    if (!row.time.empty()) grid->item(r, 2)->setText(Q(row.time));
    if (!row.state.empty()) grid->item(r, 3)->setText(Q(row.state));
    const QColor colour = row.arrival ? kYellow : kWhite;
    for (int c = 0; c < 4; ++c) {
      // Only the time and state columns carry the colour.
      grid->item(r, c)->setBackground(c >= 2 ? QBrush(colour) : QBrush());
      if (c >= 2) grid->item(r, c)->setForeground(QBrush(Qt::black));
    }
  }
  StatusBar1->setText(QStringLiteral("Aktualizované:") + Q(device::ShortDateLongTimeText(core::Now())));
}

void Tfrmstav::cmbOddelChange() {
  const int index = cmbOddel->currentIndex();
  const QString dep = cmbOddel->currentText();
  for (int r = 0; r < grid->rowCount(); ++r) {
    const bool hide = index > 0 && grid->item(r, 1)->text() != dep;
    grid->setRowHidden(r, hide);
  }
}

void Tfrmstav::FormShow() {
  init_cmboddelenia();
  init_grid();
  m_presence.LoadPresence(m_dir.presenceFile());
  refresh_stav();
}

void Tfrmstav::showEvent(QShowEvent* event) {
  FormShow();
  QDialog::showEvent(event);
}

void Tfrmstav::ToolButton2Click() {
  m_op.showMessage(
      "Pre stav pracovníkov musíte mať zapnutý automatický prenos údajov\rAk ste ručne upravovali zoznam "
      "pracovníkov <prac.txt> vymažte súbor <stav.bin>");
}

QString Tfrmstav::cellText(int row, int column) const {
  auto* item = grid->item(row, column);
  return item ? item->text() : QString();
}

bool Tfrmstav::rowIsYellow(int row) const {
  auto* item = grid->item(row, 2);
  return item && item->background().color() == kYellow && item->background().style() != Qt::NoBrush;
}

bool Tfrmstav::rowHidden(int row) const { return grid->isRowHidden(row); }
int Tfrmstav::rowCount() const { return grid->rowCount(); }
QString Tfrmstav::statusText() const { return StatusBar1->text(); }

}  // namespace ui
