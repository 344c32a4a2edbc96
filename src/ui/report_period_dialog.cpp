#include "ui/report_period_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/month_log.h"
#include "robot/report_files.h"
#include "ui/accessibility.h"

namespace ui {

namespace {

const QString kCaption = QStringLiteral("Údaje pre výkaz dochádzky");
constexpr std::string_view kMonthNotNumber = "Mesiac musí byť číslo od 1 do 12";

std::string YearNotNumber(int last) {
  return "Rok musí byť číslo od " + std::to_string(Tfrmpredrep::kFirstYear) + " do " + std::to_string(last);
}

}  // namespace

Tfrmpredrep::Tfrmpredrep(const core::ProgramSettings& settings, const core::ProgramDirectory& dir, core::Operator& op,
                         std::function<QDateTime()> now, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_dir(dir), m_op(op) {
  setObjectName(QStringLiteral("Tfrmpredrep"));
  setWindowTitle(kCaption);
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setModal(true);
  const QDate today = now ? now().date() : QDate::currentDate();

  auto* group = new QGroupBox(QStringLiteral("Vypracovať pre obdobie"), this);
  group->setObjectName(QStringLiteral("GroupBox1"));
  auto* form = new QFormLayout(group);
  CMBrepmes = new QSpinBox(group);
  CMBrepmes->setObjectName(QStringLiteral("CMBrepmes"));
  CMBrepmes->setRange(1, 12);
  CMBrepmes->setValue(today.month());
  CMBreprok = new QSpinBox(group);
  CMBreprok->setObjectName(QStringLiteral("CMBreprok"));
  // The year the clerk works in and the next one (a report made ahead of
  // the new year); older years for corrections.
  CMBreprok->setRange(kFirstYear, today.year() + 1);
  CMBreprok->setValue(today.year());
  CMBreprok->setGroupSeparatorShown(false);
  auto* monthLabel = new QLabel(QStringLiteral("&Mesiac:"), group);
  auto* yearLabel = new QLabel(QStringLiteral("&Rok:"), group);
  form->addRow(monthLabel, CMBrepmes);
  form->addRow(yearLabel, CMBreprok);
  NameLikeLabel(monthLabel, CMBrepmes);
  NameLikeLabel(yearLabel, CMBreprok);

  RadioButton1 = new QRadioButton(QStringLiteral("Ak bol Report v minulosti vytvorený, prepísať hodnoty"), this);
  RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
  RadioButton2 = new QRadioButton(QStringLiteral("Vytvoriť nový výkaz"), this);
  RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
  RadioButton2->setChecked(true);

  BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
  BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
  BitBtn1->setToolTip(QStringLiteral("Otvoriť tabuľku výkazu"));
  BitBtn1->setAccessibleDescription(QStringLiteral("Otvoriť tabuľku výkazu"));
  BitBtn1->setDefault(true);
  BitBtn2 = new QPushButton(QStringLiteral("Koniec"), this);
  BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
  connect(BitBtn1, &QPushButton::clicked, this, &Tfrmpredrep::BitBtn1Click);
  connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(BitBtn1);
  buttons->addWidget(BitBtn2);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addWidget(RadioButton1);
  layout->addWidget(RadioButton2);
  layout->addLayout(buttons);
  setTabOrder(CMBrepmes, CMBreprok);
  setTabOrder(CMBreprok, RadioButton1);
  setTabOrder(RadioButton1, RadioButton2);
  setTabOrder(RadioButton2, BitBtn1);
  setTabOrder(BitBtn1, BitBtn2);

  connect(CMBrepmes, &QSpinBox::textChanged, this, &Tfrmpredrep::rebuildLogFileName);
  connect(CMBreprok, &QSpinBox::textChanged, this, &Tfrmpredrep::rebuildLogFileName);
  rebuildLogFileName();
  FocusFirstControlOnShow(this);
}

void Tfrmpredrep::setMemory(ReportPeriodMemory* memory) {
  m_memory = memory;
  if (m_memory == nullptr || !m_memory->used) return;
  CMBrepmes->setValue(m_memory->month);
  CMBreprok->setValue(m_memory->year);
  (m_memory->reopenSavedReport ? RadioButton1 : RadioButton2)->setChecked(true);
}

void Tfrmpredrep::done(int result) {
  if (m_memory != nullptr) {
    m_memory->used = true;
    m_memory->month = CMBrepmes->value();
    m_memory->year = CMBreprok->value();
    m_memory->reopenSavedReport = RadioButton1->isChecked();
  }
  QDialog::done(result);
}

void Tfrmpredrep::rebuildLogFileName() {
  const auto period =
      robot::ParseReportPeriod(CMBrepmes->cleanText().toStdString(), CMBreprok->cleanText().toStdString());
  if (!period) {
    m_monthLogFile.clear();
    return;
  }
  m_monthLogFile = core::MonthLog::FileName(m_settings.logDir(), period->month, period->year);
}

void Tfrmpredrep::BitBtn1Click() {
  m_reopenSavedReport = RadioButton1->isChecked();
  m_newReport = RadioButton2->isChecked();
  // A field emptied or half typed is not a period: say so and keep the dialog.
  const std::string monthText = CMBrepmes->cleanText().trimmed().toStdString();
  const std::string yearText = CMBreprok->cleanText().trimmed().toStdString();
  const bool monthOk = CMBrepmes->hasAcceptableInput() && robot::ParseReportPeriod(monthText, "2000").has_value();
  const bool yearOk = CMBreprok->hasAcceptableInput() && robot::ParseReportPeriod("1", yearText).has_value();
  if (!monthOk || !yearOk) {
    QSpinBox* offending = monthOk ? CMBreprok : CMBrepmes;
    m_op.showMessage(monthOk ? YearNotNumber(CMBreprok->maximum()) : std::string(kMonthNotNumber));
    offending->setFocus();
    offending->selectAll();
    return;
  }
  const auto period = robot::ParseReportPeriod(monthText, yearText);
  m_month = period->month;
  m_year = period->year;
  rebuildLogFileName();
  if (!robot::CheckReportPeriod(m_settings, m_dir, m_month, m_year, m_employees, m_op)) {
    reject();
    return;
  }
  accept();
}

}  // namespace ui
