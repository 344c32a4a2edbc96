#include "ui/report_print_setup.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/accessibility.h"

namespace ui {

Tfrmprnsetup::Tfrmprnsetup(const print::ReportPrintOptions& options, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Tfrmprnsetup"));
  setWindowTitle(QStringLiteral("Nastavenie tlače"));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setModal(true);

  auto* headerLabel = new QLabel(QStringLiteral("&Hlavička:"), this);
  EDheader = new QLineEdit(options.headerText, this);
  EDheader->setObjectName(QStringLiteral("EDheader"));
  EDheader->setMinimumWidth(320);
  NameLikeLabel(headerLabel, EDheader);

  auto* alignGroup = new QGroupBox(QStringLiteral("Zarovnanie hlavičky"), this);
  alignGroup->setObjectName(QStringLiteral("GBalign"));
  RBleft = new QRadioButton(QStringLiteral("V&ľavo"), alignGroup);
  RBleft->setObjectName(QStringLiteral("RBleft"));
  RBcenter = new QRadioButton(QStringLiteral("V &strede"), alignGroup);
  RBcenter->setObjectName(QStringLiteral("RBcenter"));
  RBright = new QRadioButton(QStringLiteral("Vprav&o"), alignGroup);
  RBright->setObjectName(QStringLiteral("RBright"));
  auto* alignLayout = new QHBoxLayout(alignGroup);
  for (QRadioButton* b : {RBleft, RBcenter, RBright}) alignLayout->addWidget(b);
  switch (options.headerAlignment) {
    case print::HeaderAlignment::Left:
      RBleft->setChecked(true);
      break;
    case print::HeaderAlignment::Right:
      RBright->setChecked(true);
      break;
    default:
      RBcenter->setChecked(true);
  }

  auto* pageGroup = new QGroupBox(QStringLiteral("Strana"), this);
  pageGroup->setObjectName(QStringLiteral("GBpage"));
  RBportrait = new QRadioButton(QStringLiteral("Na &výšku"), pageGroup);
  RBportrait->setObjectName(QStringLiteral("RBportrait"));
  RBlandscape = new QRadioButton(QStringLiteral("Na ší&rku"), pageGroup);
  RBlandscape->setObjectName(QStringLiteral("RBlandscape"));
  (options.orientation == QPageLayout::Portrait ? RBportrait : RBlandscape)->setChecked(true);
  CHKpages = new QCheckBox(QStringLiteral("Čísla str&án"), pageGroup);
  CHKpages->setObjectName(QStringLiteral("CHKpages"));
  CHKpages->setChecked(options.pageNumbers);
  CHKfit = new QCheckBox(QStringLiteral("Prispôsobiť stĺpc&e šírke strany"), pageGroup);
  CHKfit->setObjectName(QStringLiteral("CHKfit"));
  CHKfit->setChecked(options.fitToWidth);
  auto* pageLayout = new QVBoxLayout(pageGroup);
  auto* orientation = new QHBoxLayout;
  orientation->addWidget(RBportrait);
  orientation->addWidget(RBlandscape);
  pageLayout->addLayout(orientation);
  pageLayout->addWidget(CHKpages);
  pageLayout->addWidget(CHKfit);

  BTprint = new QPushButton(QStringLiteral("&Tlačiť..."), this);
  BTprint->setObjectName(QStringLiteral("BTprint"));
  BTprint->setToolTip(QStringLiteral("Vybrať tlačiareň a tlačiť"));
  BTprint->setDefault(true);
  BTpreview = new QPushButton(QStringLiteral("&Náhľad"), this);
  BTpreview->setObjectName(QStringLiteral("BTpreview"));
  BTpreview->setToolTip(QStringLiteral("Pozrieť si strany pred tlačou"));
  BTpdf = new QPushButton(QStringLiteral("Do &PDF..."), this);
  BTpdf->setObjectName(QStringLiteral("BTpdf"));
  BTpdf->setToolTip(QStringLiteral("Uložiť strany do súboru PDF"));
  BTclose = new QPushButton(QStringLiteral("&Zavrieť"), this);
  BTclose->setObjectName(QStringLiteral("BTclose"));
  connect(BTprint, &QPushButton::clicked, this, [this] { choose(Choice::Print); });
  connect(BTpreview, &QPushButton::clicked, this, [this] { choose(Choice::Preview); });
  connect(BTpdf, &QPushButton::clicked, this, [this] { choose(Choice::Pdf); });
  connect(BTclose, &QPushButton::clicked, this, &QDialog::reject);

  auto* header = new QHBoxLayout;
  header->addWidget(headerLabel);
  header->addWidget(EDheader, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  for (QPushButton* b : {BTprint, BTpreview, BTpdf, BTclose}) buttons->addWidget(b);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(header);
  layout->addWidget(alignGroup);
  layout->addWidget(pageGroup);
  layout->addLayout(buttons);
  FocusFirstControlOnShow(this);
}

print::ReportPrintOptions Tfrmprnsetup::options() const {
  print::ReportPrintOptions o;
  o.headerText = EDheader->text();
  o.headerAlignment = RBleft->isChecked()    ? print::HeaderAlignment::Left
                      : RBright->isChecked() ? print::HeaderAlignment::Right
                                             : print::HeaderAlignment::Centre;
  o.pageNumbers = CHKpages->isChecked();
  o.orientation = RBportrait->isChecked() ? QPageLayout::Portrait : QPageLayout::Landscape;
  o.fitToWidth = CHKfit->isChecked();
  return o;
}

void Tfrmprnsetup::choose(Choice choice) {
  m_choice = choice;
  accept();
}

}  // namespace ui
