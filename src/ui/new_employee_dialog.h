#pragma once
// Tfrminprac, "Nový pracovník": the fields of one new employee. OK checks, in
// order, the name, the card number (1..65535), the texts prac.txt must hold
// and the breaks, and asks before taking a card another row already has; a
// failed check keeps the dialog open with the focus on the field. "F2   &Načítaj
// z prístroja" (or F2 anywhere in the dialog) reads the number of the next
// card presented at the terminal.

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/employee_rows.h"
#include "core/operator.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace ui {

// Reads the number of the next card presented at the terminal, showing its
// own progress, cancel and messages over `over`; no value when nothing was
// read (cancelled, or the terminal did not answer).
using CardReader = std::function<std::optional<int>(QWidget* over)>;

class Tfrminprac : public QDialog {
  Q_OBJECT
 public:
  explicit Tfrminprac(core::Operator& op, QWidget* parent = nullptr);

  // Before each showing: the values of the previous use (the card field is
  // emptied), the department list, and the table's rows for the
  // duplicate-card question.
  void prepare(const core::EmployeeRow& previous, const std::vector<std::string>& departments,
               const std::vector<core::EmployeeRow>* existingRows);
  void setCardReader(CardReader reader) { m_reader = std::move(reader); }

  // The fields as typed (after OK: the new row).
  core::EmployeeRow values() const;

  // The read button and F2.
  void BTreadClick();
  bool reading() const { return m_reading; }

 public slots:
  void accept() override;
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  bool refuse(const std::string& message, QWidget* focus);

  core::Operator& m_op;
  CardReader m_reader;
  const std::vector<core::EmployeeRow>* m_existing = nullptr;
  bool m_reading = false;

  QLineEdit* edmeno = nullptr;
  QLineEdit* edoscislo = nullptr;
  QComboBox* cmbOddelenie = nullptr;
  QLineEdit* edkarta = nullptr;
  QPushButton* BTread = nullptr;
  QCheckBox* chksmeny = nullptr;
  QCheckBox* chksluz = nullptr;
  QLineEdit* eduvazok = nullptr;
  QLineEdit* Edit1 = nullptr;
  QPushButton* BTok = nullptr;
  QPushButton* BTkoniec = nullptr;
};

}  // namespace ui
