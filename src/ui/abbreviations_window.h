#pragma once
// Tfrmskratky: the small list of abbreviations used in the sheet and the
// report: the codes a result cell may hold (what the totals count them as)
// and the abbreviations of the registrations in the "Dochádzka" column.
// Not modal; the sheet and the report window open it.

#include <QDialog>

class QTableWidget;

namespace ui {

class Tfrmskratky : public QDialog {
  Q_OBJECT
 public:
  explicit Tfrmskratky(QWidget* parent = nullptr);
  // The table's rows as "code<TAB>meaning" lines (what a screen reader reads).
  QStringList rowsText() const;

 private:
  QTableWidget* m_table = nullptr;
};

}  // namespace ui
