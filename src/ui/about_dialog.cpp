#include "ui/about_dialog.h"

#include <QDesktopServices>
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/accessibility.h"

namespace ui {
namespace {

QLabel* valueLabel(const char* name, QWidget* parent) {
  auto* l = new QLabel(parent);
  l->setObjectName(name);
  l->setTextFormat(Qt::PlainText);
  l->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return l;
}

}  // namespace

AboutDialog::AboutDialog(const core::PartnerInfo& partner, QWidget* parent) : QDialog(parent) {
  setObjectName("Tfrmabout");
  setWindowTitle("O programe");
  setModal(true);

  auto* title = new QLabel("VORTANE", this);
  title->setObjectName("LBprogram");
  QFont big = title->font();
  big.setPointSize(big.pointSize() + 8);
  big.setBold(true);
  title->setFont(big);
  auto* subtitle = new QLabel(QString::fromUtf8("Dochádzkový systém"), this);
  subtitle->setObjectName("LBsubtitle");

  auto* supplier = new QGroupBox(QString::fromUtf8("Dodávateľ"), this);
  supplier->setObjectName("GBpartner");
  m_name = valueLabel("LBname", supplier);
  QFont bold = m_name->font();
  bold.setBold(true);
  m_name->setFont(bold);
  m_location = valueLabel("LBlocation", supplier);
  m_tel = valueLabel("LBtel", supplier);
  m_email = valueLabel("LBemail", supplier);
  m_wwwLabel = new QLabel(supplier);
  m_wwwLabel->setObjectName("LBwww");
  m_wwwLabel->setTextFormat(Qt::RichText);
  m_wwwLabel->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  m_wwwLabel->setCursor(Qt::PointingHandCursor);
  connect(m_wwwLabel, &QLabel::linkActivated, this, [this] { openWww(); });

  auto* grid = new QGridLayout(supplier);
  grid->addWidget(m_name, 0, 0, 1, 2);
  const struct {
    const char* caption;
    QLabel* value;
  } rows[] = {{"Sídlo:", m_location}, {"Tel:", m_tel}, {"E-mail:", m_email}};
  int row = 1;
  for (const auto& r : rows) {
    const QString caption = QString::fromUtf8(r.caption);
    grid->addWidget(new QLabel(caption, supplier), row, 0);
    grid->addWidget(r.value, row, 1);
    NameValuePanel(r.value, caption);
    ++row;
  }
  grid->addWidget(m_wwwLabel, 4, 0, 1, 2);
  grid->setColumnStretch(1, 1);

  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("OKButton");
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(title, 0, Qt::AlignHCenter);
  layout->addWidget(subtitle, 0, Qt::AlignHCenter);
  layout->addWidget(supplier);
  layout->addWidget(ok, 0, Qt::AlignHCenter);

  m_urlOpener = [](const QUrl& url) { QDesktopServices::openUrl(url); };
  // OK comes first: Enter on a shown box closes it instead of opening the site.
  QWidget::setTabOrder(ok, m_wwwLabel);
  setPartner(partner);
  FocusFirstControlOnShow(this);
}

void AboutDialog::setPartner(const core::PartnerInfo& partner) {
  m_name->setText(QString::fromStdString(partner.NAME));
  m_location->setText(QString::fromStdString(partner.LOCATION));
  m_tel->setText(QString::fromStdString(partner.TEL));
  m_email->setText(QString::fromStdString(partner.EMAIL));
  m_www = partner.WWW;
  const QString shown = QString::fromStdString(m_www).toHtmlEscaped();
  m_wwwLabel->setText(QString("<a href=\"www\">%1</a>").arg(shown));
  // The link takes the keyboard focus; without an address it would be read by nothing.
  NameControl(m_wwwLabel, WwwUrl(m_www).isEmpty() ? QStringLiteral("WWW") : QString::fromStdString(m_www).trimmed());
}

QUrl AboutDialog::WwwUrl(const std::string& text) {
  const QString t = QString::fromStdString(text).trimmed();
  bool meaningful = false;
  for (const QChar c : t) meaningful = meaningful || c.isLetterOrNumber();
  if (!meaningful) return {};
  const QUrl url = QUrl::fromUserInput(t);
  return url.isValid() ? url : QUrl();
}

bool AboutDialog::openWww() {
  const QUrl url = WwwUrl(m_www);
  if (url.isEmpty()) return false;
  if (m_urlOpener) m_urlOpener(url);
  return true;
}

}  // namespace ui
