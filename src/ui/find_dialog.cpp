#include "ui/find_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/accessibility.h"

namespace ui {

FindDialog::FindDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FindDialog1"));
  setWindowTitle(QStringLiteral("Hľadať"));
  setModal(false);
  auto* layout = new QHBoxLayout(this);
  auto* label = new QLabel(QStringLiteral("&Hľadať:"), this);
  layout->addWidget(label);
  m_edit = new QLineEdit(this);
  m_edit->setObjectName(QStringLiteral("edFind"));
  NameLikeLabel(label, m_edit);
  m_edit->setMinimumWidth(200);
  layout->addWidget(m_edit);
  auto* next = new QPushButton(QStringLiteral("Hľadať ďalej"), this);
  next->setObjectName(QStringLiteral("btFindNext"));
  next->setDefault(true);
  layout->addWidget(next);
  auto* close = new QPushButton(QStringLiteral("Zavrieť"), this);
  close->setObjectName(QStringLiteral("btClose"));
  layout->addWidget(close);
  connect(next, &QPushButton::clicked, this, [this] {
    if (!m_edit->text().isEmpty()) emit findRequested(m_edit->text());
  });
  connect(close, &QPushButton::clicked, this, &QDialog::hide);
  FocusFirstControlOnShow(this);
}

QString FindDialog::findText() const { return m_edit->text(); }
void FindDialog::setFindText(const QString& text) { m_edit->setText(text); }

}  // namespace ui
