#include "ui/progress_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/accessibility.h"

namespace ui {

Tfrminfo::Tfrminfo(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Tfrminfo"));
  setModal(false);
  setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
  auto* layout = new QVBoxLayout(this);
  m_label = new QLabel(this);
  m_label->setObjectName(QStringLiteral("Label1"));
  m_label->setMinimumWidth(260);
  m_label->setWordWrap(true);
  m_bar = new QProgressBar(this);
  m_bar->setObjectName(QStringLiteral("bar"));
  m_bar->setTextVisible(false);
  NameControl(m_bar, QString::fromUtf8("Priebeh"));
  m_cancel = new QPushButton(QStringLiteral("Zrušiť"), this);
  m_cancel->setObjectName(QStringLiteral("btnCancel"));
  m_cancel->setAutoDefault(false);
  layout->addWidget(m_label);
  layout->addWidget(m_bar);
  layout->addWidget(m_cancel, 0, Qt::AlignHCenter);
  connect(m_cancel, &QPushButton::clicked, this, &Tfrminfo::cancel);
  FocusFirstControlOnShow(this);
}

void Tfrminfo::ShowProgress(const QString& caption) {
  setWindowTitle(caption);
  m_label->clear();
  setBar(0, 100);
  show();
  raise();
}

void Tfrminfo::setText(const QString& text) { m_label->setText(text); }

void Tfrminfo::setBar(int value, int maximum) {
  m_bar->setRange(0, maximum > 0 ? maximum : 1);
  m_bar->setValue(std::min(value, m_bar->maximum()));
}

QString Tfrminfo::text() const { return m_label->text(); }
int Tfrminfo::barValue() const { return m_bar->value(); }
int Tfrminfo::barMaximum() const { return m_bar->maximum(); }

void Tfrminfo::cancel() {
  emit stopRequested();
  hide();
}

void Tfrminfo::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    cancel();
    return;
  }
  QDialog::keyPressEvent(event);
}

void Tfrminfo::closeEvent(QCloseEvent* event) {
  // Closing the window by its close box is a cancel as well.
  emit stopRequested();
  QDialog::closeEvent(event);
}

}  // namespace ui
