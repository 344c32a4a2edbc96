#pragma once
// The employee table `Agrid` as a model over the rows the window edits: text
// cells in columns 0, 1, 3, 6 and 7, check boxes in 4 and 5 (a screen reader
// reads them, Space toggles them), column 2 (the card) read-only. Every
// change from the view goes through setData, which refuses a text prac.txt
// cannot hold and tells the window that the table changed.

#include <QAbstractTableModel>
#include <functional>
#include <string>
#include <vector>

#include "core/employee_rows.h"

namespace ui {

class EmployeeTableModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit EmployeeTableModel(QObject* parent = nullptr);

  // Shown when an edit is refused (the message names row and column).
  void setRefusalHandler(std::function<void(const std::string&)> refuse) { m_refuse = std::move(refuse); }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

  const std::vector<core::EmployeeRow>& rows() const { return m_rows; }
  // Replaces every row (a model reset).
  void setRows(std::vector<core::EmployeeRow> rows);
  void appendRow(core::EmployeeRow row);
  void removeRowAt(int row);
  // Sets a check-box column, or a text column, in every row.
  void setColumnInEveryRow(int column, bool checked);
  void setTextInEveryRow(int column, const std::string& text);

  // Column widths of the window, in pixels.
  static int columnWidth(int column);
  // Longest text a cell takes (the list's limits), 0 for no limit.
  static int maxLength(int column);

 signals:
  // A cell edit or check-box click was accepted.
  void edited();

 private:
  std::vector<core::EmployeeRow> m_rows;
  std::function<void(const std::string&)> m_refuse;
};

}  // namespace ui
