#include "ui/abbreviations_window.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace ui {

namespace {

struct Row {
  const char* code;
  const char* meaning;
};

// Result cells: what the monthly totals make of each code.
const Row kResultCodes[] = {
    {"8:15", "Odpracovaný čas (h:mm) bez kódu: V práci a hodiny dňa (pracovný deň, sobota, nedeľa, sviatok)"},
    {"=", "Ručne zadaný výsledok: robot bunku s „=“ nikdy neprepíše (napr. =8:30, D=8:30)"},
    {"SC", "Služobná cesta: Služ.cesty a V práci"},
    {"DS", "Denná smena: Denné smeny a V práci"},
    {"PS", "Poobedňajšia smena: Poobed.smeny a V práci"},
    {"NS", "Nočná smena: Nočné smeny a V práci"},
    {"D", "Dovolenka: Dovolenky (nepočíta sa do V práci)"},
    {"PN", "Práceneschopnosť (choroba): PN"},
    {"OS", "Ošetrovanie člena rodiny: PN"},
    {"LK", "Lekár: Lekár, odpracovaný deň"},
    {"O", "Osobné prekážky: Prekážky a V práci"},
    {"Z", "Prekážky verejné: Prekážky a V práci"},
    {"ST", "Štúdium: Prekážky a V práci, odpracovaný deň"},
    {"SK", "Školenie: V práci, odpracovaný deň"},
    {"A", "Absencia: bunka sa nezapočíta"},
    {"NV", "Náhradné voľno: bunka sa nezapočíta"},
    {"V, VO", "Neplatené voľno: bunka sa nezapočíta"},
    {"SC 8:00 PN 2:00", "V jednej bunke môže byť viac udalostí za sebou; kód bez času platí celú dennú normu"},
};

// Registrations in the "Dochádzka" column.
const Row kRegistrations[] = {
    {"PR", "Príchod"},      {"OD", "Odchod"},         {"N", "Normálny príchod alebo odchod"},
    {"S1", "Služobne"},     {"S2", "Služobná cesta"}, {"S3", "Služobne zahraničie"},
    {"O", "Obed"},          {"L", "Lekár"},           {"Pr", "Prekážky"},
    {"PN", "PN (choroba)"}, {"D", "Dovolenka"},       {"V", "Neplatené voľno"},
};

}  // namespace

Tfrmskratky::Tfrmskratky(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Tfrmskratky"));
  setWindowTitle(QStringLiteral("Skratky"));
  setModal(false);
  auto* layout = new QVBoxLayout(this);

  m_table = new QTableWidget(this);
  m_table->setObjectName(QStringLiteral("skratky"));
  m_table->setAccessibleName(QStringLiteral("Zoznam skratiek"));
  m_table->setColumnCount(2);
  m_table->setHorizontalHeaderLabels({QStringLiteral("Skratka"), QStringLiteral("Význam")});
  m_table->verticalHeader()->hide();
  m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_table->setWordWrap(false);
  const int total = static_cast<int>(std::size(kResultCodes) + std::size(kRegistrations)) + 2;
  m_table->setRowCount(total);
  int row = 0;
  auto section = [&](const QString& title) {
    auto* item = new QTableWidgetItem(title);
    QFont f = item->font();
    f.setBold(true);
    item->setFont(f);
    m_table->setItem(row, 0, item);
    m_table->setSpan(row, 0, 1, 2);
    ++row;
  };
  auto add = [&](const Row& r) {
    m_table->setItem(row, 0, new QTableWidgetItem(QString::fromUtf8(r.code)));
    m_table->setItem(row, 1, new QTableWidgetItem(QString::fromUtf8(r.meaning)));
    ++row;
  };
  section(QStringLiteral("Výsledok (stĺpec Výsledok listu, dni výkazu)"));
  for (const Row& r : kResultCodes) add(r);
  section(QStringLiteral("Dochádzka (registrácie z prístroja)"));
  for (const Row& r : kRegistrations) add(r);
  m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
  m_table->setColumnWidth(0, m_table->fontMetrics().horizontalAdvance(QStringLiteral("SC 8:00 PN 2:00")) + 16);
  m_table->horizontalHeader()->setStretchLastSection(true);
  layout->addWidget(m_table);

  auto* keys =
      new QLabel(QStringLiteral("Klávesy v stĺpci Výsledok: kým je v tabuľke listu vybraná bunka stĺpca Výsledok, "
                                "Ctrl+O zapíše „Odpracoval“, Ctrl+P „Poobedňajšia“ a Ctrl+N „Nočna“; inde tie isté "
                                "klávesy otvoria súbor, vytlačia list a založia nový list. Ctrl+Z vráti zmenu bunky, "
                                "Ctrl+Y ju zopakuje."),
                 this);
  keys->setObjectName(QStringLiteral("lblKlavesy"));
  keys->setWordWrap(true);
  layout->addWidget(keys);

  auto* close = new QPushButton(QStringLiteral("Zavrieť"), this);
  close->setObjectName(QStringLiteral("btZavriet"));
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  layout->addWidget(close, 0, Qt::AlignRight);
  resize(820, 620);
}

QStringList Tfrmskratky::rowsText() const {
  QStringList out;
  for (int r = 0; r < m_table->rowCount(); ++r) {
    const QTableWidgetItem* a = m_table->item(r, 0);
    const QTableWidgetItem* b = m_table->item(r, 1);
    out << (a ? a->text() : QString()) + QLatin1Char('\t') + (b ? b->text() : QString());
  }
  return out;
}

}  // namespace ui
