#include "ui/employee_table_model.h"

#include "core/employee_list.h"

namespace ui {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

bool isCheckColumn(int column) { return column == core::kColShifts || column == core::kColTrips; }

const char* const kHeaderHints[core::kEmployeeColumnCount] = {
    "Meno a Priezvisko",
    "Osobné císlo\nNie je povinné",
    "Číslo Karty",
    "Oddelenie\nNie je povinné",
    "Povolit smeny",
    "Povolit služobné cesty",
    "Uvazok v percentach\nAlebo v hodinách na den, napr: 8:00",
    "Zákonné prestávky\nv minútach",
};

}  // namespace

EmployeeTableModel::EmployeeTableModel(QObject* parent) : QAbstractTableModel(parent) {}

int EmployeeTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int EmployeeTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : core::kEmployeeColumnCount;
}

QVariant EmployeeTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const core::EmployeeRow& r = m_rows[static_cast<std::size_t>(index.row())];
  const int column = index.column();
  if (isCheckColumn(column)) {
    const bool on = column == core::kColShifts ? r.shiftsAllowed : r.tripsAllowed;
    if (role == Qt::CheckStateRole) return on ? Qt::Checked : Qt::Unchecked;
    if (role == Qt::AccessibleTextRole) return on ? QStringLiteral("áno") : QStringLiteral("nie");
  } else if (role == Qt::DisplayRole || role == Qt::EditRole) {
    return Q(*r.text(column));
  }
  if (role == Qt::ToolTipRole) {
    return column == core::kColCard ? QStringLiteral("Číslo karty nie je možné zmenit")
                                    : QStringLiteral("Stlacte F2 pre úpravu bunky");
  }
  return {};
}

QVariant EmployeeTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Vertical) {
    if (role == Qt::DisplayRole) return section + 1;
    return {};
  }
  if (section < 0 || section >= core::kEmployeeColumnCount) return {};
  if (role == Qt::DisplayRole) return Q(core::EmployeeColumnCaptions()[static_cast<std::size_t>(section)]);
  if (role == Qt::ToolTipRole) return QString::fromUtf8(kHeaderHints[section]);
  return {};
}

Qt::ItemFlags EmployeeTableModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
  if (isCheckColumn(index.column()))
    f |= Qt::ItemIsUserCheckable;
  else if (index.column() != core::kColCard)
    f |= Qt::ItemIsEditable;
  return f;
}

bool EmployeeTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || index.row() >= rowCount()) return false;
  const int column = index.column();
  core::EmployeeRow& r = m_rows[static_cast<std::size_t>(index.row())];
  if (isCheckColumn(column)) {
    if (role != Qt::CheckStateRole) return false;
    const bool on = static_cast<Qt::CheckState>(value.toInt()) == Qt::Checked;
    bool& flag = column == core::kColShifts ? r.shiftsAllowed : r.tripsAllowed;
    if (flag == on) return true;
    flag = on;
  } else {
    if (role != Qt::EditRole || column == core::kColCard) return false;
    const std::string text = value.toString().toStdString();
    const std::string problem = core::TextProblem(text);
    if (!problem.empty()) {
      if (m_refuse) m_refuse(core::CellTextMessage(static_cast<std::size_t>(index.row()) + 1, column, problem));
      return false;
    }
    std::string& cell = *r.text(column);
    if (cell == text) return true;
    cell = text;
  }
  emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole, Qt::CheckStateRole});
  emit edited();
  return true;
}

void EmployeeTableModel::setRows(std::vector<core::EmployeeRow> rows) {
  beginResetModel();
  m_rows = std::move(rows);
  endResetModel();
}

void EmployeeTableModel::appendRow(core::EmployeeRow row) {
  const int at = rowCount();
  beginInsertRows({}, at, at);
  m_rows.push_back(std::move(row));
  endInsertRows();
}

void EmployeeTableModel::removeRowAt(int row) {
  if (row < 0 || row >= rowCount()) return;
  beginRemoveRows({}, row, row);
  m_rows.erase(m_rows.begin() + row);
  endRemoveRows();
}

void EmployeeTableModel::setColumnInEveryRow(int column, bool checked) {
  if (!isCheckColumn(column) || m_rows.empty()) return;
  for (auto& r : m_rows) (column == core::kColShifts ? r.shiftsAllowed : r.tripsAllowed) = checked;
  emit dataChanged(index(0, column), index(rowCount() - 1, column), {Qt::CheckStateRole, Qt::AccessibleTextRole});
}

void EmployeeTableModel::setTextInEveryRow(int column, const std::string& text) {
  if (isCheckColumn(column) || m_rows.empty()) return;
  for (auto& r : m_rows) *r.text(column) = text;
  emit dataChanged(index(0, column), index(rowCount() - 1, column), {Qt::DisplayRole, Qt::EditRole});
}

int EmployeeTableModel::columnWidth(int column) {
  static const int widths[core::kEmployeeColumnCount] = {150, 80, 40, 100, 40, 40, 40, 40};
  return column >= 0 && column < core::kEmployeeColumnCount ? widths[column] : 0;
}

int EmployeeTableModel::maxLength(int column) {
  switch (column) {
    case core::kColName:
      return static_cast<int>(core::EmployeeList::kNameLimit);
    case core::kColPersonalNumber:
      return static_cast<int>(core::EmployeeList::kPersonalNumberLimit);
    case core::kColDepartment:
      return static_cast<int>(core::EmployeeList::kDepartmentLimit);
    default:
      return 0;
  }
}

}  // namespace ui
