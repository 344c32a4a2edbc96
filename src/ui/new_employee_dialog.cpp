#include "ui/new_employee_dialog.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "core/employee_list.h"
#include "core/text_util.h"
#include "ui/accessibility.h"

namespace ui {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

}  // namespace

Tfrminprac::Tfrminprac(core::Operator& op, QWidget* parent) : QDialog(parent), m_op(op) {
  setObjectName(QStringLiteral("Tfrminprac"));
  setWindowTitle(QStringLiteral("Nový pracovník"));
  setModal(true);
  setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

  auto* outer = new QVBoxLayout(this);
  auto* form = new QGridLayout();
  outer->addLayout(form);
  int row = 0;
  auto line = [this, form, &row](QLineEdit*& edit, const char* name, const QString& caption, int maxLength) {
    auto* label = new QLabel(caption, this);
    edit = new QLineEdit(this);
    edit->setObjectName(QLatin1String(name));
    if (maxLength > 0) edit->setMaxLength(maxLength);
    edit->setMinimumWidth(240);
    NameLikeLabel(label, edit);
    form->addWidget(label, row, 0);
    form->addWidget(edit, row, 1, 1, 2);
    ++row;
  };
  line(edmeno, "edmeno", QStringLiteral("&Priezvisko a Meno"), static_cast<int>(core::EmployeeList::kNameLimit));
  line(edoscislo, "edoscislo", QStringLiteral("&Osobné číslo"),
       static_cast<int>(core::EmployeeList::kPersonalNumberLimit));

  auto* departmentLabel = new QLabel(QStringLiteral("O&ddelenie"), this);
  cmbOddelenie = new QComboBox(this);
  cmbOddelenie->setObjectName(QStringLiteral("cmbOddelenie"));
  cmbOddelenie->setEditable(true);
  cmbOddelenie->setInsertPolicy(QComboBox::NoInsert);
  cmbOddelenie->lineEdit()->setMaxLength(static_cast<int>(core::EmployeeList::kDepartmentLimit));
  NameLikeLabel(departmentLabel, cmbOddelenie);
  form->addWidget(departmentLabel, row, 0);
  form->addWidget(cmbOddelenie, row, 1, 1, 2);
  ++row;

  auto* cardGroup = new QGroupBox(QStringLiteral("Číslo karty"), this);
  cardGroup->setObjectName(QStringLiteral("GroupBox1"));
  auto* cardLayout = new QHBoxLayout(cardGroup);
  edkarta = new QLineEdit(cardGroup);
  edkarta->setObjectName(QStringLiteral("edkarta"));
  edkarta->setMaxLength(5);
  edkarta->setMaximumWidth(90);
  NameControl(edkarta, QStringLiteral("Číslo karty"), QStringLiteral("Celé číslo od 1 do 65535"));
  BTread = new QPushButton(QStringLiteral("F2   &Načítaj z prístroja"), cardGroup);
  BTread->setObjectName(QStringLiteral("BTread"));
  BTread->setAutoDefault(false);
  BTread->setToolTip(QStringLiteral("Priložte kartu na prístroj a stlačte tlačidlo Príchod"));
  NameControl(BTread, QStringLiteral("Načítaj z prístroja"), QStringLiteral("F2"));
  cardLayout->addWidget(edkarta);
  cardLayout->addWidget(BTread);
  cardLayout->addStretch(1);
  form->addWidget(cardGroup, row, 0, 1, 3);
  ++row;

  chksmeny = new QCheckBox(QStringLiteral("Povoliť &smeny nočné"), this);
  chksmeny->setObjectName(QStringLiteral("chksmeny"));
  chksluz = new QCheckBox(QStringLiteral("Povoliť služobné &cesty"), this);
  chksluz->setObjectName(QStringLiteral("chksluz"));
  form->addWidget(chksmeny, row++, 0, 1, 3);
  form->addWidget(chksluz, row++, 0, 1, 3);

  auto* workloadLabel = new QLabel(QStringLiteral("&Uväzok v %"), this);
  eduvazok = new QLineEdit(this);
  eduvazok->setObjectName(QStringLiteral("eduvazok"));
  eduvazok->setMaxLength(3);
  eduvazok->setMaximumWidth(60);
  NameLikeLabel(workloadLabel, eduvazok);
  form->addWidget(workloadLabel, row, 0);
  form->addWidget(eduvazok, row, 1, Qt::AlignLeft);
  ++row;

  auto* breaksLabel = new QLabel(QStringLiteral("P&restávky"), this);
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Edit1->setMaximumWidth(60);
  NameLikeLabel(breaksLabel, Edit1);
  NameControl(Edit1, QStringLiteral("Prestávky"), QStringLiteral("v minútach"));
  auto* breaksRow = new QHBoxLayout();
  breaksRow->addWidget(Edit1);
  breaksRow->addWidget(new QLabel(QStringLiteral("min"), this));
  breaksRow->addStretch(1);
  form->addWidget(breaksLabel, row, 0);
  form->addLayout(breaksRow, row, 1, 1, 2);
  ++row;

  auto* buttons = new QHBoxLayout();
  buttons->addStretch(1);
  BTok = new QPushButton(QStringLiteral("OK"), this);
  BTok->setObjectName(QStringLiteral("BTok"));
  BTok->setDefault(true);
  BTkoniec = new QPushButton(QStringLiteral("Koniec"), this);
  BTkoniec->setObjectName(QStringLiteral("BTkoniec"));
  BTkoniec->setAutoDefault(false);
  buttons->addWidget(BTok);
  buttons->addWidget(BTkoniec);
  outer->addLayout(buttons);

  auto* readKey = new QAction(QStringLiteral("Načítaj z prístroja"), this);
  readKey->setObjectName(QStringLiteral("A_read"));
  readKey->setShortcut(QKeySequence(Qt::Key_F2));
  readKey->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  addAction(readKey);
  connect(readKey, &QAction::triggered, this, &Tfrminprac::BTreadClick);
  connect(BTread, &QPushButton::clicked, this, &Tfrminprac::BTreadClick);
  connect(BTok, &QPushButton::clicked, this, &Tfrminprac::accept);
  connect(BTkoniec, &QPushButton::clicked, this, &Tfrminprac::reject);

  prepare(core::NewEmployeeRowDefaults(), {}, nullptr);
}

void Tfrminprac::prepare(const core::EmployeeRow& previous, const std::vector<std::string>& departments,
                         const std::vector<core::EmployeeRow>* existingRows) {
  m_existing = existingRows;
  edmeno->setText(Q(previous.name));
  edoscislo->setText(Q(previous.personalNumber));
  cmbOddelenie->clear();
  for (const auto& d : departments) cmbOddelenie->addItem(Q(d));
  cmbOddelenie->setEditText(Q(previous.department));
  edkarta->clear();
  chksmeny->setChecked(previous.shiftsAllowed);
  chksluz->setChecked(previous.tripsAllowed);
  eduvazok->setText(Q(previous.workload));
  Edit1->setText(Q(previous.breaks));
}

core::EmployeeRow Tfrminprac::values() const {
  core::EmployeeRow r;
  r.name = S(edmeno->text());
  r.personalNumber = S(edoscislo->text());
  r.card = std::string(core::trim(S(edkarta->text())));
  r.department = S(cmbOddelenie->currentText());
  r.shiftsAllowed = chksmeny->isChecked();
  r.tripsAllowed = chksluz->isChecked();
  r.workload = S(eduvazok->text());
  r.breaks = std::string(core::trim(S(Edit1->text())));
  return r;
}

bool Tfrminprac::refuse(const std::string& message, QWidget* focus) {
  m_op.showMessage(message);
  focus->setFocus(Qt::OtherFocusReason);
  if (auto* edit = qobject_cast<QLineEdit*>(focus)) edit->selectAll();
  return false;
}

void Tfrminprac::accept() {
  if (m_reading) return;
  const core::EmployeeRow r = values();
  // A name of blanks names nobody.
  if (core::trim(r.name).empty()) {
    refuse("Žiadne meno pracovníka", edmeno);
    return;
  }
  const auto card = core::NewCardFromText(r.card);
  if (!card) {
    refuse("Nesprávne císlo karty", edkarta);
    return;
  }
  struct Field {
    const char* caption;
    const std::string* text;
    QWidget* control;
  };
  const Field fields[] = {{"Priezvisko a Meno", &r.name, edmeno},
                          {"Osobné číslo", &r.personalNumber, edoscislo},
                          {"Oddelenie", &r.department, cmbOddelenie},
                          {"Uväzok v %", &r.workload, eduvazok},
                          {"Prestávky", &r.breaks, Edit1}};
  for (const Field& f : fields) {
    const std::string problem = core::TextProblem(*f.text);
    if (!problem.empty()) {
      refuse(std::string("Údaj \"") + f.caption + "\" obsahuje " + problem +
                 "\rTaký text nie je možné uložiť do súboru prac.txt",
             f.control);
      return;
    }
  }
  if (!core::BreaksFromText(r.breaks)) {
    refuse("Nesprávne prestávky: zadajte celý počet minút od 0 do 1440", Edit1);
    return;
  }
  if (m_existing) {
    if (const auto owner = core::RowWithCard(*m_existing, *card)) {
      if (!m_op.askYesNo(core::DuplicateCardQuestion(*card, (*m_existing)[*owner].name))) {
        edkarta->setFocus(Qt::OtherFocusReason);
        edkarta->selectAll();
        return;
      }
    }
  }
  QDialog::accept();
}

void Tfrminprac::reject() {
  // While a card is being read, the progress window's "Zrušiť" ends the
  // reading; the dialog closes only afterwards.
  if (m_reading) return;
  QDialog::reject();
}

void Tfrminprac::BTreadClick() {
  if (m_reading || !m_reader) return;
  m_reading = true;
  for (QWidget* w : {static_cast<QWidget*>(BTread), static_cast<QWidget*>(BTok), static_cast<QWidget*>(BTkoniec)})
    w->setEnabled(false);
  const std::optional<int> number = m_reader(this);
  for (QWidget* w : {static_cast<QWidget*>(BTread), static_cast<QWidget*>(BTok), static_cast<QWidget*>(BTkoniec)})
    w->setEnabled(true);
  m_reading = false;
  if (number) edkarta->setText(QString::number(*number));
  edkarta->setFocus(Qt::OtherFocusReason);
}

void Tfrminprac::keyPressEvent(QKeyEvent* event) {
  // F2 that no shortcut took (a child window of the dialog had the focus).
  if (event->key() == Qt::Key_F2 && event->modifiers() == Qt::NoModifier) {
    event->accept();
    BTreadClick();
    return;
  }
  QDialog::keyPressEvent(event);
}

void Tfrminprac::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  BTread->setEnabled(static_cast<bool>(m_reader));
  // After the window system has mapped the dialog.
  QTimer::singleShot(0, this, [this] { FocusFirstControl(this); });
}

}  // namespace ui
