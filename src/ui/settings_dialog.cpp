#include "ui/settings_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#ifndef VORTANE_WIN32_SERIAL
#include <QSerialPortInfo>
#endif
#include <QShowEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QValidator>
#include <algorithm>
#include <filesystem>

#include "core/operator.h"
#include "core/path_text.h"
#ifdef VORTANE_WIN32_SERIAL
#include "device/win32/serial_transport.h"
#endif
#include "ui/accessibility.h"

namespace ui {
namespace {

constexpr int kComPorts = 24;
const char* const kRoundingItems[] = {"0", "5", "10", "15", "30", "60"};

QString q(const std::string& s) { return QString::fromStdString(s); }
std::string s(const QString& t) { return t.toStdString(); }

// A control read inside its group: "Začiatok prac.doby: Aplikovať". The
// pages repeat captions ("Používať", "ako normálny príchod"), so the group's
// title keeps every name of the dialog distinct.
void NameInGroup(QWidget* control, const QGroupBox* group, const QString& caption) {
  NameControl(control, StripMnemonic(group->title()) + QStringLiteral(": ") + StripMnemonic(caption));
}

QLineEdit* timeEdit(const char* name, QWidget* parent) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(name);
  e->setMaximumWidth(80);
  return e;
}

QCheckBox* checkBox(const char* name, const QString& caption, const QString& hint, QWidget* parent) {
  auto* c = new QCheckBox(caption, parent);
  c->setObjectName(name);
  if (!hint.isEmpty()) c->setToolTip(hint);
  return c;
}

QRadioButton* radio(const char* name, const QString& caption, const QString& hint, QWidget* parent) {
  auto* r = new QRadioButton(caption, parent);
  r->setObjectName(name);
  if (!hint.isEmpty()) r->setToolTip(hint);
  if (const auto* g = qobject_cast<QGroupBox*>(parent)) NameInGroup(r, g, caption);
  return r;
}

QGroupBox* group(const char* name, const QString& title, const QString& hint, QWidget* parent) {
  auto* g = new QGroupBox(title, parent);
  g->setObjectName(name);
  if (!hint.isEmpty()) g->setToolTip(hint);
  return g;
}

// Digits only, never above the maximum: a number the terminal cannot take
// cannot be typed at all. Empty text is intermediate (nothing to send yet).
class RangeValidator : public QValidator {
 public:
  RangeValidator(int maximum, QObject* parent) : QValidator(parent), m_max(maximum) {}
  State validate(QString& input, int& /*pos*/) const override {
    if (input.isEmpty()) return Intermediate;
    if (input.size() > 3) return Invalid;
    for (const QChar c : input) {
      if (c < '0' || c > '9') return Invalid;
    }
    return input.toInt() <= m_max ? Acceptable : Invalid;
  }

 private:
  int m_max;
};

// Counts the dialog's own filling of its controls for the time it lasts.
class FillScope {
 public:
  explicit FillScope(int& depth) : m_depth(depth) { ++m_depth; }
  ~FillScope() { --m_depth; }
  FillScope(const FillScope&) = delete;
  FillScope& operator=(const FillScope&) = delete;

 private:
  int& m_depth;
};

std::string asciiLower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
  return text;
}

}  // namespace

// --- UpDown -----------------------------------------------------------------

UpDown::UpDown(QLineEdit* buddy, int minimum, int maximum, QWidget* parent)
    : QWidget(parent), m_buddy(buddy), m_min(minimum), m_max(maximum) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  m_up = new QToolButton(this);
  m_up->setObjectName("up");
  m_up->setArrowType(Qt::UpArrow);
  m_up->setFixedSize(16, 11);
  m_down = new QToolButton(this);
  m_down->setObjectName("down");
  m_down->setArrowType(Qt::DownArrow);
  m_down->setFixedSize(16, 11);
  layout->addWidget(m_up);
  layout->addWidget(m_down);
  connect(m_up, &QToolButton::clicked, this, [this] { stepBy(1); });
  connect(m_down, &QToolButton::clicked, this, [this] { stepBy(-1); });
  m_buddy->installEventFilter(this);
}

void UpDown::nameAfter(const QString& field) {
  NameControl(m_up, field + QStringLiteral(", nahor"));
  NameControl(m_down, field + QStringLiteral(", nadol"));
}

bool UpDown::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_buddy && event->type() == QEvent::KeyPress && m_buddy->isEnabled() && !m_buddy->isReadOnly()) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
      stepBy(key == Qt::Key_Up ? 1 : -1);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

int UpDown::position() const {
  bool ok = false;
  const int v = m_buddy->text().trimmed().toInt(&ok);
  if (!ok) return m_min;
  return std::clamp(v, m_min, m_max);
}

void UpDown::setPosition(int value) { m_buddy->setText(QString::number(std::clamp(value, m_min, m_max))); }

void UpDown::stepBy(int steps) {
  setPosition(position() + steps);
  emit stepped(position());
}

// --- SettingsDialog -----------------------------------------------------------

SettingsDialog::SettingsDialog(core::ProgramDirectory dir, core::ProgramSettings& settings, core::Operator& op,
                               QWidget* parent)
    : QDialog(parent), m_dir(std::move(dir)), m_settings(settings), m_op(op) {
  const FillScope building(m_filling);
  setObjectName("Tfrmsetup");
  setWindowTitle(QString::fromUtf8("Nastavenia programu"));
  setModal(true);

  m_pages = new QTabWidget(this);
  m_pages->setObjectName("PageControl1");
  m_pages->addTab(buildKavexPage(), "KAVEX");
  m_pages->addTab(buildGeneralPage(), QString::fromUtf8("Obecné"));
  m_pages->addTab(buildLunchPage(), "Obedy");
  m_pages->addTab(buildHolidayPage(), "Sviatky");
  m_pages->addTab(buildBusinessPage(), QString::fromUtf8("Služobné"));
  m_pages->addTab(buildDoctorPage(), QString::fromUtf8("Lekár a PN"));
  m_pages->addTab(buildVacationPage(), "Dovolenka");
  m_pages->addTab(buildObstaclePage(), QString::fromUtf8("Prekážky"));
  m_pages->addTab(buildShiftPage(), "Smeny");
  // Wide enough to show all nine page tabs without scroll arrows.
  m_pages->setMinimumWidth(m_pages->tabBar()->sizeHint().width() + 8);

  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("BTok");
  ok->setDefault(true);
  auto* cancel = new QPushButton(QString::fromUtf8("Zrušiť"), this);
  cancel->setObjectName("BTcancel");
  auto* help = new QPushButton("&Pomoc", this);
  help->setObjectName("BThelp");
  connect(ok, &QPushButton::clicked, this, &SettingsDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &SettingsDialog::reject);
  connect(help, &QPushButton::clicked, this, &SettingsDialog::openHelp);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  buttons->addWidget(help);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_pages);
  layout->addLayout(buttons);

  m_folderChooser = [this] {
    QFileDialog chooser(this, QString::fromUtf8("Adresár záznamov"), edLogDir->text());
    chooser.setFileMode(QFileDialog::Directory);
    chooser.setOption(QFileDialog::ShowDirsOnly, true);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return QString();
    return chooser.selectedFiles().front();
  };
  m_urlOpener = [](const QUrl& url) { QDesktopServices::openUrl(url); };

  fillPortList({});
  FocusFirstControlOnShow(this);
  m_built = true;
  applyDependentStates();
  updateSendButton();
}

QWidget* SettingsDialog::buildKavexPage() {
  auto* page = new QWidget;
  page->setObjectName("TabKavex");

  auto* kavex = group("GroupKavex", "KAVEX", {}, page);
  auto* grid = new QGridLayout(kavex);

  auto* portLabel = new QLabel("COM Port:", kavex);
  RGComport = new QComboBox(kavex);
  RGComport->setObjectName("RGComport");
  RGComport->setToolTip(
      QString::fromUtf8("Nastavte COM Port , pre USB pozrite v nastaveniach PC ktory COM je USB to Serial"));
  NameLikeLabel(portLabel, RGComport);
  connect(RGComport, &QComboBox::currentIndexChanged, this, [this] { m_portChanged = true; });
  grid->addWidget(portLabel, 0, 0);
  grid->addWidget(RGComport, 0, 1, 1, 3);

  typgroup = group("typgroup", "Typ KAVEX", QString::fromUtf8("Nastavte typ prístroja"), kavex);
  // Inside the "KAVEX" group a group would otherwise be read by that title.
  NameControl(typgroup, typgroup->title());
  auto* typLayout = new QVBoxLayout(typgroup);
  const char* const typeCaptions[] = {"Prenosný RS232", "Pevný RS485", "USB"};
  for (int i = 0; i < 3; ++i) {
    m_typeButtons[i] = new QRadioButton(QString::fromUtf8(typeCaptions[i]), typgroup);
    m_typeButtons[i]->setObjectName(QString("typgroup%1").arg(i));
    typLayout->addWidget(m_typeButtons[i]);
    connect(m_typeButtons[i], &QRadioButton::clicked, this, [this] { m_portChanged = true; });
    // A choice that arrives without a click (keys, assistive technology) is a change too.
    connect(m_typeButtons[i], &QRadioButton::toggled, this, [this](bool on) {
      if (on && m_filling == 0) m_portChanged = true;
      applyDependentStates();
    });
  }
  m_typeButtons[0]->setChecked(true);
  grid->addWidget(typgroup, 1, 0, 1, 4);

  chkautodnl = checkBox("chkautodnl", QString::fromUtf8("Automaticky prenášať záznamy"),
                        QString::fromUtf8("Voľba len pre prístroje na pevné pripojenie"), kavex);
  grid->addWidget(chkautodnl, 2, 0, 1, 4);
  chkzamena = checkBox("chkzamena", QString::fromUtf8("Zámena prích/odch"),
                       QString::fromUtf8("Zámena odchod príchod portov"), kavex);
  grid->addWidget(chkzamena, 3, 0, 1, 4);

  auto* lockLabel = new QLabel(QString::fromUtf8("Doba zámku"), kavex);
  lockLabel->setObjectName("Label4");
  dobazamku = new QLineEdit("0", kavex);
  dobazamku->setObjectName("dobazamku");
  dobazamku->setMaximumWidth(40);
  dobazamku->setValidator(new RangeValidator(20, dobazamku));
  Updndoba = new UpDown(dobazamku, 0, 20, kavex);
  Updndoba->setObjectName("Updndoba");
  NameLikeLabel(lockLabel, dobazamku);
  Updndoba->nameAfter(dobazamku->accessibleName());
  connect(Updndoba, &UpDown::stepped, this, [this] {
    m_sendArmed = true;
    updateSendButton();
  });
  // textChanged, not textEdited: text set by an input method or a screen
  // reader must arm "Odoslať" as typing does.
  connect(dobazamku, &QLineEdit::textChanged, this, [this] {
    if (m_filling == 0) m_sendArmed = true;
    updateSendButton();
  });
  auto* lockRow = new QHBoxLayout;
  lockRow->addWidget(dobazamku);
  lockRow->addWidget(Updndoba);
  lockRow->addStretch(1);
  grid->addWidget(lockLabel, 4, 0);
  grid->addLayout(lockRow, 4, 1);

  Label5 = new QLabel("Bat_LO", kavex);
  Label5->setObjectName("Label5");
  Label5->setCursor(Qt::PointingHandCursor);
  Label5->installEventFilter(this);
  edbatlo = new QLineEdit("200", kavex);
  edbatlo->setObjectName("edbatlo");
  edbatlo->setMaximumWidth(40);
  edbatlo->setValidator(new RangeValidator(255, edbatlo));
  NameLikeLabel(Label5, edbatlo);
  connect(edbatlo, &QLineEdit::textChanged, this, [this] {
    if (m_filling == 0) {
      m_thresholdMark = true;
      m_sendArmed = true;
    }
    updateSendButton();
  });
  grid->addWidget(Label5, 5, 0);
  grid->addWidget(edbatlo, 5, 1, Qt::AlignLeft);

  BTsend = new QPushButton(QString::fromUtf8("Odoslať"), kavex);
  BTsend->setObjectName("BTsend");
  BTsend->setAutoDefault(false);
  connect(BTsend, &QPushButton::clicked, this, &SettingsDialog::onSendClicked);
  BitBtn1 = new QPushButton(QString::fromUtf8("Vymazať"), kavex);
  BitBtn1->setObjectName("BitBtn1");
  BitBtn1->setAutoDefault(false);
  BitBtn1->setToolTip(QString::fromUtf8("Vymazať pamäť VORTANE"));
  connect(BitBtn1, &QPushButton::clicked, this, [this] {
    if (!m_terminalBusy) emit clearRequested();
  });
  grid->addWidget(BTsend, 4, 2, 2, 1);
  grid->addWidget(BitBtn1, 4, 3, 2, 1);
  grid->setColumnStretch(1, 1);

  chkmini = checkBox("chkmini", QString::fromUtf8("Spúšťať minimalizované"), {}, page);

  auto* dirLabel = new QLabel(QString::fromUtf8("Adresár záznamov:"), page);
  edLogDir = new QLineEdit(page);
  edLogDir->setObjectName("edLogDir");
  edLogDir->setToolTip(QString::fromUtf8("Adresár kam ukladat záznamy") + "\n" +
                       QString::fromUtf8("napr:  //server/c/vortane/log"));
  NameLikeLabel(dirLabel, edLogDir);
  // Every change the operator causes counts, however the text arrives: a
  // directory pasted by assistive technology must be checked and saved too.
  connect(edLogDir, &QLineEdit::textChanged, this, [this] {
    if (m_filling == 0) m_logDirMark = true;
  });
  btLogDir = new QPushButton("...", page);
  btLogDir->setObjectName("btLogDir");
  btLogDir->setAutoDefault(false);
  btLogDir->setToolTip("Nalistovat adresar");
  NameControl(btLogDir, btLogDir->toolTip());
  btLogDir->setMaximumWidth(32);
  connect(btLogDir, &QPushButton::clicked, this, &SettingsDialog::browseLogDir);

  auto* dirRow = new QHBoxLayout;
  dirRow->addWidget(edLogDir, 1);
  dirRow->addWidget(btLogDir);

  auto* layout = new QVBoxLayout(page);
  layout->addWidget(kavex);
  layout->addWidget(chkmini);
  layout->addWidget(dirLabel);
  layout->addLayout(dirRow);
  layout->addStretch(1);
  return page;
}

QWidget* SettingsDialog::buildGeneralPage() {
  auto* page = new QWidget;
  page->setObjectName("TabObecne");
  auto* layout = new QGridLayout(page);

  auto* daily = group("GBnormaPD", QString::fromUtf8("Denný pracovný čas"), {}, page);
  edpchod = timeEdit("edpchod", daily);
  edpchod->setToolTip("Hodiny");
  NameControl(edpchod, daily->title());
  (new QHBoxLayout(daily))->addWidget(edpchod);
  layout->addWidget(daily, 0, 0);

  auto* start = group("GBstartPD", QString::fromUtf8("Začiatok prac.doby"),
                      QString::fromUtf8("Príchody pred uvedeným časom sa nezapočítajú do odpracovaného času"), page);
  CheckBox1 = checkBox("CheckBox1", QString::fromUtf8("Aplikovať"), {}, start);
  edstartpd = timeEdit("edstartpd", start);
  auto* startRow = new QHBoxLayout(start);
  startRow->addWidget(CheckBox1);
  startRow->addWidget(edstartpd);
  NameInGroup(CheckBox1, start, CheckBox1->text());
  NameControl(edstartpd, start->title());
  connect(CheckBox1, &QCheckBox::toggled, this, [this](bool on) {
    if (m_filling == 0) m_settings.startPDflag = on;
    applyDependentStates();
  });
  layout->addWidget(start, 0, 1);

  auto* stop = group("GBstopPD", QString::fromUtf8("Koniec prac.doby"),
                     QString::fromUtf8("Odchody po uvedenom čase sa nezapočítajú do odpracovaného času"), page);
  CheckBox2 = checkBox("CheckBox2", QString::fromUtf8("Aplikovať"), {}, stop);
  edstopPD = timeEdit("edstopPD", stop);
  auto* stopRow = new QHBoxLayout(stop);
  stopRow->addWidget(CheckBox2);
  stopRow->addWidget(edstopPD);
  NameInGroup(CheckBox2, stop, CheckBox2->text());
  NameControl(edstopPD, stop->title());
  connect(CheckBox2, &QCheckBox::toggled, this, [this](bool on) {
    if (m_filling == 0) m_settings.stopPDflag = on;
    applyDependentStates();
  });
  layout->addWidget(stop, 1, 1);

  auto* corrLabel = new QLabel(QString::fromUtf8("Oprava typu ak je čas menší ako:"), page);
  corrLabel->setObjectName("LBcorr");
  corrLabel->setToolTip(QString::fromUtf8("Ak sa do uvedeného času znovu pracovník registruje považuje sa za opravu"));
  EDcorr = new QLineEdit(page);
  EDcorr->setObjectName("EDcorr");
  EDcorr->setMaximumWidth(40);
  EDcorr->setToolTip(QString::fromUtf8("Nastavte 0, ak zakázať opravy typu."));
  UPcorr = new UpDown(EDcorr, 0, 20, page);
  UPcorr->setObjectName("UPcorr");
  NameLikeLabel(corrLabel, EDcorr);
  UPcorr->nameAfter(QString::fromUtf8("Oprava typu"));
  auto* corrRow = new QHBoxLayout;
  corrRow->addWidget(corrLabel);
  corrRow->addWidget(EDcorr);
  corrRow->addWidget(UPcorr);
  corrRow->addWidget(new QLabel("min", page));
  corrRow->addStretch(1);
  layout->addLayout(corrRow, 2, 0, 1, 2);

  CHKnight = checkBox("CHKnight", QString::fromUtf8("Povoliť nočné smeny"), {}, page);
  CHKnight->setVisible(false);

  auto* maxGroup = group("GBmaxPD", QString::fromUtf8("Maximálna doba jednej prac. smeny"), {}, page);
  CHKmaxPD = checkBox("CHKmaxPD", QString::fromUtf8("Používať"), {}, maxGroup);
  EDmaxPD = timeEdit("EDmaxPD", maxGroup);
  NameInGroup(CHKmaxPD, maxGroup, CHKmaxPD->text());
  NameControl(EDmaxPD, maxGroup->title());
  auto* maxRow = new QHBoxLayout(maxGroup);
  maxRow->addWidget(CHKmaxPD);
  maxRow->addWidget(EDmaxPD);
  layout->addWidget(maxGroup, 1, 0);

  auto* rounding = group("GBzaokr", "Zaokruhlovanie", {}, page);
  cmbOKR = new QComboBox(rounding);
  cmbOKR->setObjectName("cmbOKR");
  cmbOKR->setToolTip(QString::fromUtf8("Nastavte 0, ak si neželáte zaokrúhľovať"));
  NameControl(cmbOKR, rounding->title());
  for (const char* item : kRoundingItems) cmbOKR->addItem(item);
  CHKokrPR =
      checkBox("CHKokrPR", QString::fromUtf8("Príchody"), QString::fromUtf8("Zaokruhluje len príchody"), rounding);
  CHKokrOD = checkBox("CHKokrOD", "Odchody", QString::fromUtf8("Zaokrúhluje len odchody"), rounding);
  CHKokrSM =
      checkBox("CHKokrSM", "Len smeny", QString::fromUtf8("Zaokruhluje len pracovníkom,ktorí majú smeny"), rounding);
  auto* roundLayout = new QHBoxLayout(rounding);
  roundLayout->addWidget(cmbOKR);
  roundLayout->addWidget(CHKokrPR);
  roundLayout->addWidget(CHKokrOD);
  roundLayout->addWidget(CHKokrSM);
  roundLayout->addStretch(1);
  layout->addWidget(rounding, 3, 0, 1, 2);

  layout->setRowStretch(4, 1);
  return page;
}

QWidget* SettingsDialog::buildLunchPage() {
  auto* page = new QWidget;
  page->setObjectName("TabObedy");
  chkobedy = checkBox("chkobedy", QString::fromUtf8("Obedy v rámci prac.doby"),
                      QString::fromUtf8("Ak je zaškrtnuté, nebude prerušenie prac doby"), page);
  connect(chkobedy, &QCheckBox::toggled, this, [this] { applyDependentStates(); });
  auto* label = new QLabel(QString::fromUtf8("Maximálny čas na obed [min]"), page);
  EDcasobed = new QLineEdit(page);
  EDcasobed->setObjectName("EDcasobed");
  EDcasobed->setMaximumWidth(60);
  NameLikeLabel(label, EDcasobed);
  chkobedodpocet = checkBox("chkobedodpocet", QString::fromUtf8("Pri prekročení   času, odpočítať"),
                            QString::fromUtf8("Odpočíta z odpr.času ak prekročí max čas na obed"), page);
  auto* row = new QHBoxLayout;
  row->addWidget(label);
  row->addWidget(EDcasobed);
  row->addStretch(1);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(chkobedy);
  layout->addLayout(row);
  layout->addWidget(chkobedodpocet);
  layout->addStretch(1);
  return page;
}

QWidget* SettingsDialog::buildHolidayPage() {
  auto* page = new QWidget;
  page->setObjectName("TabSviatky");
  CHKweekendflag = checkBox("CHKweekendflag", QString::fromUtf8("Započítať hodiny vo sviatok a víkendy"), {}, page);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(CHKweekendflag);
  layout->addStretch(1);
  return page;
}

QWidget* SettingsDialog::buildBusinessPage() {
  auto* page = new QWidget;
  page->setObjectName("TabSluzobne");

  auto* first = group("GBslstart", QString::fromUtf8("Prvý služobný príchod"),
                      QString::fromUtf8("Ak bude prvý príchod služobný"), page);
  RBslstart1 = radio("RBslstart1", QString::fromUtf8("ako normálny príchod"),
                     QString::fromUtf8("Pri prvom príchode ktorý je služobný považovať ako normálny príchod"), first);
  RBslstart2 = radio(
      "RBslstart2", QString::fromUtf8("započítaj prac.čas od:"),
      QString::fromUtf8("Pri služobnom príchode po uvedenom čase započítať ako keby prišiel v uvedenej hodine"), first);
  EDsluzstart = timeEdit("EDsluzstart", first);
  NameInGroup(EDsluzstart, first, QString::fromUtf8("čas"));
  EDsluzstart->setToolTip(QString::fromUtf8("UveĎte čas hod:min"));
  auto* firstLayout = new QGridLayout(first);
  firstLayout->addWidget(RBslstart1, 0, 0);
  firstLayout->addWidget(RBslstart2, 1, 0);
  firstLayout->addWidget(EDsluzstart, 1, 1);
  connect(RBslstart2, &QRadioButton::toggled, this, [this] { applyDependentStates(); });

  auto* last = group("GBslstop", QString::fromUtf8("Posledný služobný odchod"), {}, page);
  RBslstop1 = radio("RBslstop1", QString::fromUtf8("ako normálny odchod"), {}, last);
  RBslstop2 = radio("RBslstop2", QString::fromUtf8("započítať prac.čas do"), {}, last);
  EDsluzstop = timeEdit("EDsluzstop", last);
  NameInGroup(EDsluzstop, last, QString::fromUtf8("čas"));
  auto* lastLayout = new QGridLayout(last);
  lastLayout->addWidget(RBslstop1, 0, 0);
  lastLayout->addWidget(RBslstop2, 1, 0);
  lastLayout->addWidget(EDsluzstop, 1, 1);
  connect(RBslstop2, &QRadioButton::toggled, this, [this] { applyDependentStates(); });

  chkAutoSl =
      checkBox("chkAutoSl", QString::fromUtf8("Prázdny deň Automaticky vyplniť SC"),
               QString::fromUtf8("Ak je prvý príchod služobný a deň predtým nie je prítomný, zapísať ako SC"), page);

  auto* layout = new QVBoxLayout(page);
  layout->addWidget(first);
  layout->addWidget(last);
  layout->addWidget(chkAutoSl);
  layout->addStretch(1);
  return page;
}

QWidget* SettingsDialog::buildDoctorPage() {
  auto* page = new QWidget;
  page->setObjectName("TabLekar");

  RBstartlek = group("RBstartlek", QString::fromUtf8("Ak je ako prvý príchod Lekár"), {}, page);
  m_startLek[0] = radio("RBstartlek0", QString::fromUtf8("Počítať ako normálny príchod"), {}, RBstartlek);
  m_startLek[1] = radio("RBstartlek1", QString::fromUtf8("Počítať ako keby prišiel:"), {}, RBstartlek);
  EDstartLEK = timeEdit("EDstartLEK", RBstartlek);
  NameInGroup(EDstartLEK, RBstartlek, QString::fromUtf8("čas"));
  auto* startLayout = new QGridLayout(RBstartlek);
  startLayout->addWidget(m_startLek[0], 0, 0);
  startLayout->addWidget(m_startLek[1], 1, 0);
  startLayout->addWidget(EDstartLEK, 1, 1);
  connect(m_startLek[1], &QRadioButton::toggled, this, [this] { applyDependentStates(); });

  RBstopLek = group("RBstopLek", QString::fromUtf8("Posledný odchod k Lekárovi"), {}, page);
  m_stopLek[0] = radio("RBstopLek0", QString::fromUtf8("Počítať ako normálny odchod"), {}, RBstopLek);
  m_stopLek[1] = radio("RBstopLek1", QString::fromUtf8("Započítať čas do:"), {}, RBstopLek);
  EDstopLEK = timeEdit("EDstopLEK", RBstopLek);
  NameInGroup(EDstopLEK, RBstopLek, QString::fromUtf8("čas"));
  auto* stopLayout = new QGridLayout(RBstopLek);
  stopLayout->addWidget(m_stopLek[0], 0, 0);
  stopLayout->addWidget(m_stopLek[1], 1, 0);
  stopLayout->addWidget(EDstopLEK, 1, 1);
  connect(m_stopLek[1], &QRadioButton::toggled, this, [this] { applyDependentStates(); });

  CHKautoPN =
      checkBox("CHKautoPN", QString::fromUtf8("Automaticky prázdne dni vyplniť PN ak je prvý príchod PN"), {}, page);

  auto* layout = new QVBoxLayout(page);
  layout->addWidget(RBstartlek);
  layout->addWidget(RBstopLek);
  layout->addWidget(CHKautoPN);
  layout->addStretch(1);
  return page;
}

QWidget* SettingsDialog::buildVacationPage() {
  auto* page = new QWidget;
  page->setObjectName("TabDovolenka");

  CHKdovflg = checkBox("CHKdovflg", QString::fromUtf8("povoliť dovolenku menej ako 1 deň"),
                       QString::fromUtf8("napríklad 3hodiny"), page);

  m_dovprGroup = group("GBdovpr", QString::fromUtf8("Prvý príchod dovolenka započítaj"), {}, page);
  RBdovpr1 = radio("RBdovpr1", QString::fromUtf8("ako normálny príchod"), {}, m_dovprGroup);
  RBdovpr2 = radio("RBdovpr2", QString::fromUtf8("vypočítať dovolenku od:"), {}, m_dovprGroup);
  EDdovpr = timeEdit("EDdovpr", m_dovprGroup);
  NameInGroup(EDdovpr, m_dovprGroup, QString::fromUtf8("čas"));
  auto* prLayout = new QGridLayout(m_dovprGroup);
  prLayout->addWidget(RBdovpr1, 0, 0);
  prLayout->addWidget(RBdovpr2, 1, 0);
  prLayout->addWidget(EDdovpr, 1, 1);

  m_dovodGroup = group("GBdovod", QString::fromUtf8("Posledný odchod na dovolenku započítať"), {}, page);
  RBdovOD1 = radio("RBdovOD1", QString::fromUtf8("ako normálny odchod"), {}, m_dovodGroup);
  RBdovod2 = radio("RBdovod2", QString::fromUtf8("započítať do:"), {}, m_dovodGroup);
  EDdovod = timeEdit("EDdovod", m_dovodGroup);
  NameInGroup(EDdovod, m_dovodGroup, QString::fromUtf8("čas"));
  auto* odLayout = new QGridLayout(m_dovodGroup);
  odLayout->addWidget(RBdovOD1, 0, 0);
  odLayout->addWidget(RBdovod2, 1, 0);
  odLayout->addWidget(EDdovod, 1, 1);

  connect(CHKdovflg, &QCheckBox::toggled, this, [this] { applyDependentStates(); });
  // Only the operator's tick resets the two choices (by click, key or
  // assistive technology); showing stored values must not.
  connect(CHKdovflg, &QCheckBox::toggled, this, [this](bool on) {
    if (!on || m_filling > 0) return;
    RBdovpr1->setChecked(true);
    RBdovOD1->setChecked(true);
  });

  CHKautoDov = checkBox("CHKautoDov", QString::fromUtf8("Automaticky doplniť prázdne dni"),
                        QString::fromUtf8("Automaticky vyplniť prázdne dni ak bol posledný odchod na dovolenku"), page);

  auto* layout = new QVBoxLayout(page);
  layout->addWidget(CHKdovflg);
  layout->addWidget(m_dovprGroup);
  layout->addWidget(m_dovodGroup);
  layout->addWidget(CHKautoDov);
  layout->addStretch(1);
  return page;
}

QWidget* SettingsDialog::buildObstaclePage() {
  auto* page = new QWidget;
  page->setObjectName("TabPrekazky");
  CHKautoPrek = checkBox("CHKautoPrek", QString::fromUtf8("Automatický výpočet prázdnych dní "),
                         QString::fromUtf8("Ak bol prvý príchod Prekážky a deň predtým bol prázdny deň"), page);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(CHKautoPrek);
  layout->addStretch(1);
  return page;
}

QWidget* SettingsDialog::buildShiftPage() {
  auto* page = new QWidget;
  page->setObjectName("TabSmeny");
  auto* layout = new QVBoxLayout(page);
  auto* note = new QLabel(QString::fromUtf8("Smeny platia len pre pracovníkov, ktorí majú dovolené smeny"), page);
  note->setObjectName("LBsmeny");
  layout->addWidget(note);

  const char* const titles[] = {"Denné smeny", "Poobedňajšie smeny", "Nočné smeny"};
  const char* const groupNames[] = {"GBDS", "GBPS", "GBNS"};
  const char* const fromNames[] = {"EDstartDS", "EDstartPS", "EDstartNS"};
  const char* const toNames[] = {"EDstopDS", "EDstopPS", "EDstopNS"};
  const char* const useNames[] = {"CHKUSEDS", "CHKUSEPS", "CHKUSENS"};
  for (int i = 0; i < 3; ++i) {
    auto* g = group(groupNames[i], QString::fromUtf8(titles[i]), {}, page);
    m_shiftFrom[i] = timeEdit(fromNames[i], g);
    m_shiftTo[i] = timeEdit(toNames[i], g);
    m_shiftUse[i] = checkBox(useNames[i], QString::fromUtf8("Používať"), {}, g);
    auto* fromLabel = new QLabel("Od", g);
    auto* toLabel = new QLabel("Do", g);
    fromLabel->setBuddy(m_shiftFrom[i]);
    toLabel->setBuddy(m_shiftTo[i]);
    NameInGroup(m_shiftFrom[i], g, fromLabel->text());
    NameInGroup(m_shiftTo[i], g, toLabel->text());
    NameInGroup(m_shiftUse[i], g, m_shiftUse[i]->text());
    auto* row = new QHBoxLayout(g);
    row->addWidget(fromLabel);
    row->addWidget(m_shiftFrom[i]);
    row->addWidget(toLabel);
    row->addWidget(m_shiftTo[i]);
    row->addWidget(m_shiftUse[i]);
    row->addStretch(1);
    layout->addWidget(g);
  }
  layout->addStretch(1);
  return page;
}

void SettingsDialog::fillPortList(const std::string& portName) {
  const QSignalBlocker blocker(RGComport);
  RGComport->clear();
  for (int i = 1; i <= kComPorts; ++i) RGComport->addItem(QString("COM%1").arg(i));
#ifdef VORTANE_WIN32_SERIAL
  // Ports the system has beyond the fixed COM1..COMn (an adapter on COM12).
  for (const std::string& name : device::ListSerialPorts()) {
    if (RGComport->findText(q(name), Qt::MatchFixedString) < 0) RGComport->addItem(q(name), q(name));
  }
#elif !defined(Q_OS_WIN)
  // Off Windows "COMn" only maps to /dev/ttyS(n-1); adapters and other
  // devices are offered by the name the system reports.
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
    const QString location = info.systemLocation();
    if (RGComport->findData(location) < 0) RGComport->addItem(location, location);
  }
#endif
  if (!portName.empty() && RGComport->findData(q(portName)) < 0) RGComport->addItem(q(portName), q(portName));
}

void SettingsDialog::setTerminalFields(int chginout, int comPort, int type, const std::string& portName) {
  const FillScope filling(m_filling);
  chkzamena->setChecked(chginout >= 1);
  m_comPortGiven = comPort;
  m_typeGiven = type;
  fillPortList(portName);
  {
    const QSignalBlocker blocker(RGComport);
    int index = -1;
    if (!portName.empty()) index = RGComport->findData(q(portName));
    if (index < 0 && comPort >= 1 && comPort <= kComPorts) index = comPort - 1;
    RGComport->setCurrentIndex(index);
  }
  if (type >= 0 && type <= 2) {
    m_typeButtons[type]->setChecked(true);
  } else {
    // A type the dialog has no button for: none is selected until the operator picks one.
    for (auto* b : m_typeButtons) {
      b->setAutoExclusive(false);
      b->setChecked(false);
      b->setAutoExclusive(true);
    }
  }
  m_portChanged = false;
  applyDependentStates();
}

int SettingsDialog::chosenComPort() const {
  const int index = RGComport->currentIndex();
  if (index >= 0 && index < kComPorts) return index + 1;
  return m_comPortGiven;
}

std::string SettingsDialog::chosenPortName() const {
  const int index = RGComport->currentIndex();
  if (index < kComPorts) return {};
  return s(RGComport->itemData(index).toString());
}

int SettingsDialog::chosenType() const {
  for (int i = 0; i < 3; ++i) {
    if (m_typeButtons[i]->isChecked()) return i;
  }
  return m_typeGiven;  // a stored type without a button stays as it is
}

void SettingsDialog::refreshFromFile() {
  const FillScope filling(m_filling);
  m_logDirMark = false;
  m_thresholdMark = false;
  const core::SettingsForm f = core::ReadSettingsForm(m_dir, m_settings);

  edLogDir->setText(q(f.LOGDIR));
  chkautodnl->setChecked(f.AUTODNL);
  chkmini->setChecked(f.MINIMALIZE);

  edpchod->setText(q(f.normaPD));
  CheckBox1->setChecked(f.startPDflag);
  edstartpd->setText(q(f.startPD));
  CheckBox2->setChecked(f.stopPDflag);
  edstopPD->setText(q(f.stopPD));
  // The stored number is shown as it stands, also outside the arrows' range,
  // so that pressing OK never changes a rule the operator did not touch.
  EDcorr->setText(q(f.corrtime));
  CHKnight->setChecked(f.nightflag);
  CHKmaxPD->setChecked(f.maxPDflag);
  EDmaxPD->setText(q(f.maxPD));

  while (cmbOKR->count() > 6) cmbOKR->removeItem(cmbOKR->count() - 1);
  m_unlistedRounding = -1;
  if (f.ZAOKRPRODindex >= 0 && f.ZAOKRPRODindex <= 5) {
    cmbOKR->setCurrentIndex(f.ZAOKRPRODindex);
  } else {
    // Written by hand: the loader takes it as the step in minutes; it gets an
    // item of its own so that OK keeps it.
    m_unlistedRounding = f.ZAOKRPRODindex;
    cmbOKR->addItem(QString::number(f.ZAOKRPRODindex));
    cmbOKR->setCurrentIndex(6);
  }
  CHKokrPR->setChecked(m_settings.okrpr);
  CHKokrOD->setChecked(f.okrod);
  CHKokrSM->setChecked(f.okrsm);

  chkobedy->setChecked(f.obedyflag);
  EDcasobed->setText(q(f.obedcas));
  chkobedodpocet->setChecked(f.obedodpocet);

  CHKweekendflag->setChecked(f.weekendflag);

  (f.startSLflag ? RBslstart2 : RBslstart1)->setChecked(true);
  EDsluzstart->setText(q(f.startSL));
  (f.stopSLflag ? RBslstop2 : RBslstop1)->setChecked(true);
  EDsluzstop->setText(q(f.stopSL));
  chkAutoSl->setChecked(f.autoSL);

  m_startLek[f.startLEKflag ? 1 : 0]->setChecked(true);
  EDstartLEK->setText(q(f.startLEK));
  m_stopLek[f.stopLEKflag ? 1 : 0]->setChecked(true);
  EDstopLEK->setText(q(f.stopLEK));
  CHKautoPN->setChecked(f.autoPN);

  CHKdovflg->setChecked(f.dovflag);
  (f.dovprflag ? RBdovpr2 : RBdovpr1)->setChecked(true);
  EDdovpr->setText(q(f.dovPR));
  (f.dovodflag ? RBdovod2 : RBdovOD1)->setChecked(true);
  EDdovod->setText(q(f.dovOD));
  CHKautoDov->setChecked(f.autodov);

  CHKautoPrek->setChecked(f.autoprek);

  const bool use[3] = {f.USEDS, f.USEPS, f.USENS};
  for (int i = 0; i < 3; ++i) {
    m_shiftFrom[i]->setText(q(f.shiftTimes[static_cast<std::size_t>(2 * i)]));
    m_shiftTo[i]->setText(q(f.shiftTimes[static_cast<std::size_t>(2 * i + 1)]));
    m_shiftUse[i]->setChecked(use[i]);
  }

  applyDependentStates();
  updateSendButton();
}

core::SettingsForm SettingsDialog::gatherForm() const {
  core::SettingsForm f;
  f.LOGDIR = s(edLogDir->text());
  f.logdirChanged = m_logDirMark;
  f.normaPD = s(edpchod->text());
  f.USEDS = m_shiftUse[0]->isChecked();
  f.USEPS = m_shiftUse[1]->isChecked();
  f.USENS = m_shiftUse[2]->isChecked();
  for (int i = 0; i < 3; ++i) {
    f.shiftTimes[static_cast<std::size_t>(2 * i)] = s(m_shiftFrom[i]->text());
    f.shiftTimes[static_cast<std::size_t>(2 * i + 1)] = s(m_shiftTo[i]->text());
  }
  f.autoSL = chkAutoSl->isChecked();
  f.autodov = CHKautoDov->isChecked();
  f.autoPN = CHKautoPN->isChecked();
  f.autoprek = CHKautoPrek->isChecked();
  f.okrpr = CHKokrPR->isChecked();
  f.okrod = CHKokrOD->isChecked();
  f.okrsm = CHKokrSM->isChecked();
  f.dovflag = CHKdovflg->isChecked();
  f.dovprflag = RBdovpr2->isChecked();
  f.dovodflag = RBdovod2->isChecked();
  f.dovPR = s(EDdovpr->text());
  f.dovOD = s(EDdovod->text());
  f.maxPDflag = CHKmaxPD->isChecked();
  f.maxPD = s(EDmaxPD->text());
  f.nightflag = CHKnight->isChecked();
  f.startPDflag = CheckBox1->isChecked();
  f.stopPDflag = CheckBox2->isChecked();
  const int roundingIndex = cmbOKR->currentIndex();
  f.ZAOKRPRODindex = (roundingIndex >= 0 && roundingIndex <= 5) ? roundingIndex
                     : m_unlistedRounding >= 0                  ? m_unlistedRounding
                                                                : 0;
  f.obedyflag = chkobedy->isChecked();
  f.corrtime = s(EDcorr->text());
  f.startPD = s(edstartpd->text());
  f.stopPD = s(edstopPD->text());
  f.obedcas = s(EDcasobed->text());
  f.obedodpocet = chkobedodpocet->isChecked();
  f.weekendflag = CHKweekendflag->isChecked();
  f.startSLflag = RBslstart2->isChecked();
  f.stopSLflag = RBslstop2->isChecked();
  f.startSL = s(EDsluzstart->text());
  f.stopSL = s(EDsluzstop->text());
  f.startLEKflag = m_startLek[1]->isChecked();
  f.stopLEKflag = m_stopLek[1]->isChecked();
  f.startLEK = s(EDstartLEK->text());
  f.stopLEK = s(EDstopLEK->text());
  f.AUTODNL = chkautodnl->isChecked();
  f.MINIMALIZE = chkmini->isChecked();
  f.CHGINOUT = chkzamena->isChecked() ? 1 : 0;
  return f;
}

void SettingsDialog::applyDependentStates() {
  if (!m_built) return;  // toggles while the pages are still being built
  edstartpd->setEnabled(CheckBox1->isChecked());
  edstopPD->setEnabled(CheckBox2->isChecked());
  chkobedodpocet->setEnabled(chkobedy->isChecked());
  EDsluzstart->setEnabled(RBslstart2->isChecked());
  EDsluzstop->setEnabled(RBslstop2->isChecked());
  EDstartLEK->setEnabled(m_startLek[1]->isChecked());
  EDstopLEK->setEnabled(m_stopLek[1]->isChecked());
  m_dovprGroup->setVisible(CHKdovflg->isChecked());
  m_dovodGroup->setVisible(CHKdovflg->isChecked());
  chkautodnl->setEnabled(!m_typeButtons[0]->isChecked());
}

void SettingsDialog::updateSendButton() {
  const bool valuesSendable = dobazamku->hasAcceptableInput() && (!m_thresholdMark || edbatlo->hasAcceptableInput());
  BTsend->setEnabled(m_sendArmed && !m_terminalBusy && valuesSendable);
}

void SettingsDialog::onSendClicked() {
  if (!BTsend->isEnabled()) return;
  const int lockTime = Updndoba->position();
  const int threshold = std::clamp(edbatlo->text().toInt(), 0, 255);
  m_sendArmed = false;
  updateSendButton();
  emit sendParametersRequested(lockTime, m_thresholdMark, threshold);
}

void SettingsDialog::setTerminalBusy(bool busy) {
  m_terminalBusy = busy;
  BitBtn1->setEnabled(!busy);
  updateSendButton();
}

void SettingsDialog::browseLogDir() {
  QString folder = m_folderChooser ? m_folderChooser() : QString();
  if (folder.isEmpty()) return;
  folder = QDir::toNativeSeparators(folder);
  if (!folder.endsWith(QDir::separator())) folder += QDir::separator();
  edLogDir->setText(folder);
  m_logDirMark = true;
}

void SettingsDialog::openHelp() {
  const std::filesystem::path html = m_dir.dir / "html";
  std::error_code ec;
  std::filesystem::path page = html / "nastavenie_programu.html";
  if (!std::filesystem::is_regular_file(page, ec)) page = html / "index.html";
  if (m_urlOpener) m_urlOpener(QUrl::fromLocalFile(QString::fromStdString(core::Utf8FromPath(page))));
}

bool SettingsDialog::tryAccept() {
  m_closeAllowed = true;
  const core::SaveResult result = core::SaveSettings(gatherForm(), m_dir, m_settings);
  if (!result.ok) {
    m_closeAllowed = false;
    m_op.showMessage(result.message);
    focusControl(result.focusKey);
    return false;
  }
  m_logDirMark = false;
  QDialog::accept();
  return true;
}

void SettingsDialog::accept() { tryAccept(); }

void SettingsDialog::reject() {
  m_closeAllowed = true;
  QDialog::reject();
}

void SettingsDialog::focusControl(const std::string& key) {
  if (key.empty()) return;
  const std::map<std::string, QLineEdit*> targets = {
      {"logdir", edLogDir},   {"normapd", edpchod},     {"dovpr", EDdovpr},     {"dovod", EDdovod},
      {"maxpd", EDmaxPD},     {"corrtime", EDcorr},     {"obedcas", EDcasobed}, {"startsl", EDsluzstart},
      {"stopsl", EDsluzstop}, {"startlek", EDstartLEK}, {"stoplek", EDstopLEK}, {"startpd", edstartpd},
      {"stoppd", edstopPD},
  };
  const auto it = targets.find(asciiLower(key));
  if (it == targets.end()) return;
  QLineEdit* edit = it->second;
  for (int i = 0; i < m_pages->count(); ++i) {
    if (m_pages->widget(i)->isAncestorOf(edit)) m_pages->setCurrentIndex(i);
  }
  edit->setFocus(Qt::OtherFocusReason);
  edit->selectAll();
}

void SettingsDialog::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) refreshFromFile();
  QDialog::showEvent(event);
}

void SettingsDialog::closeEvent(QCloseEvent* event) {
  if (!m_closeAllowed) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

bool SettingsDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Label5 && event->type() == QEvent::MouseButtonRelease) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::LeftButton && !m_terminalBusy) emit batLoRequested();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace ui
