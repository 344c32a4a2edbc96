#include "ui/tip_window.h"

#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

#include "ui/accessibility.h"

namespace ui {

TipWindow::TipWindow(core::TipDrawer::RandomSource random, QWidget* parent)
    : QDialog(parent), m_drawer(std::move(random)) {
  setObjectName("Tfrmtip");
  setWindowTitle("Tip");

  m_text = new QPlainTextEdit(this);
  m_text->setObjectName("Memo1");
  m_text->setReadOnly(true);
  m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  QPalette pal = m_text->palette();
  pal.setColor(QPalette::Base, QColor(255, 255, 160));
  pal.setColor(QPalette::Text, Qt::black);
  m_text->setPalette(pal);
  m_text->setAutoFillBackground(true);
  NameControl(m_text, windowTitle());

  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("OKButton");
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_text, 1);
  layout->addWidget(ok, 0, Qt::AlignRight);
  resize(420, 260);
  FocusFirstControlOnShow(this);
}

void TipWindow::showTip(const std::filesystem::path& tipsFile, const std::string& key) {
  show();
  raise();
  activateWindow();
  core::TipDrawer::Result result = m_drawer.draw(tipsFile, key);
  // A draw of "no tip" is meant to leave the previous tip in place; when there
  // is none yet the window would stay empty, so it draws once more (that draw
  // differs from the first and therefore names a section).
  if (result.kind == core::TipDrawer::Result::Keep && m_text->document()->isEmpty()) {
    result = m_drawer.draw(tipsFile, key);
  }
  apply(result);
}

void TipWindow::apply(const core::TipDrawer::Result& result) {
  if (result.kind != core::TipDrawer::Result::Show) return;
  QStringList lines;
  lines.reserve(static_cast<qsizetype>(result.lines.size()));
  for (const std::string& line : result.lines) lines << QString::fromStdString(line);
  m_text->setPlainText(lines.join('\n'));
  m_text->moveCursor(QTextCursor::Start);
  m_text->verticalScrollBar()->setValue(0);
}

QString TipWindow::text() const { return m_text->toPlainText(); }

}  // namespace ui
