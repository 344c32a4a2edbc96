#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTextDocument>
#include <QThread>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>
#include <fstream>

#include "core/ini_file.h"
#include "core/path_text.h"
#include "device/protocol.h"
#include "device/terminal_commands.h"
#include "ui/about_dialog.h"
#include "ui/accessibility.h"
#include "ui/calculator_dialog.h"
#include "ui/help.h"
#include "ui/sheet_window.h"
#include "ui/employee_window.h"
#include "ui/file_dialogs.h"
#include "ui/find_dialog.h"
#include "ui/presence_board.h"
#include "ui/progress_window.h"
#include "ui/qt_operator.h"
#include "ui/report_period_dialog.h"
#include "ui/report_window.h"
#include "ui/settings_dialog.h"
#include "ui/tip_window.h"
#include "ui/window_sinks.h"

namespace ui {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

const char* const kFirstStartText =
    "POZOR program VORTANE bol prvýkrát spustený na tomto PC\r"
    "Nastavte parametre programu v MENU <Služby-nastavenia>";

// A panel of the device panel: a sunken label with a fixed look.
QLabel* MakePanel(const char* name, QWidget* parent, bool yellow) {
  auto* label = new QLabel(parent);
  label->setObjectName(QLatin1String(name));
  label->setFrameShape(QFrame::Panel);
  label->setFrameShadow(QFrame::Sunken);
  label->setMinimumWidth(90);
  label->setMinimumHeight(22);
  label->setAlignment(Qt::AlignCenter);
  if (yellow) label->setStyleSheet(QStringLiteral("QLabel { background-color: yellow; color: black; }"));
  return label;
}

// The icon of the notification area and the window: a small clock face.
QIcon ClockIcon() {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(QColor(30, 90, 170));
  p.setPen(QPen(Qt::white, 2));
  p.drawEllipse(2, 2, 28, 28);
  p.drawLine(16, 16, 16, 7);
  p.drawLine(16, 16, 23, 19);
  return QIcon(pixmap);
}

QString NowText() {
  // The PC's short date and long time format.
  return Q(device::ShortDateLongTimeText(core::Now()));
}

}  // namespace

// ---------------------------------------------------------------------------
// Construction

TForm1::TForm1(core::Operator& op, MainWindowOptions options, QWidget* parent)
    : QMainWindow(parent), m_op(op), m_options(std::move(options)) {
  setObjectName(QStringLiteral("TForm1"));
  setWindowTitle(QStringLiteral("VORTANE"));
  setWindowIcon(ClockIcon());
  resize(760, 560);

  buildActions();
  buildMenus();
  buildToolBar();
  buildCentral();
  buildStatusBar();
  buildTray();
  FocusFirstControlOnShow(this);

  m_info = new Tfrminfo(this);
  m_find = new FindDialog(this);
  connect(m_find, &FindDialog::findRequested, this, [this](const QString& t) { findNext(t); });

  m_timer1.setParent(this);
  m_timer2.setParent(this);
  m_timer1.setObjectName(QStringLiteral("Timer1"));
  m_timer1.setInterval(m_options.tickMs);
  connect(&m_timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
  m_timer2.setObjectName(QStringLiteral("Timer2"));
  m_timer2.setInterval(m_options.startMinimisedDelayMs);
  m_timer2.setSingleShot(true);
  connect(&m_timer2, &QTimer::timeout, this, &TForm1::Timer2Timer);

  if (!m_options.transportFactory) m_options.transportFactory = SerialTransportFactory();
  m_thread = new QThread(this);
  m_thread->setObjectName(QStringLiteral("device worker"));
  m_worker = new DeviceWorker(m_options.transportFactory, m_op, this);
  m_worker->moveToThread(m_thread);
  connect(m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
  m_thread->start();

  connect(m_info, &Tfrminfo::stopRequested, this, [this] { m_worker->requestStop(); });
}

TForm1::~TForm1() {
  m_timer1.stop();
  m_timer2.stop();
  if (m_thread) {
    // A job still running may be waiting for this thread (a message box):
    // let it end before the thread is stopped.
    m_worker->requestStop();
    m_worker->post([this](DeviceLink&) { m_worker->close(); });
    QEventLoop loop;
    QTimer guard;
    guard.start(20);
    int rounds = 0;
    connect(&guard, &QTimer::timeout, &loop, [&] {
      if (m_worker->pendingJobs() == 0 || ++rounds > 1500) loop.quit();
    });
    loop.exec();
    m_thread->quit();
    m_thread->wait();
  }
}

void TForm1::buildActions() {
  auto make = [this](QAction*& slot, const char* name, const QString& text, const QKeySequence& key = {}) {
    slot = new QAction(text, this);
    slot->setObjectName(QLatin1String(name));
    if (!key.isEmpty()) slot->setShortcut(key);
    addAction(slot);
  };
  make(act_dochkarta, "act_dochkarta", QStringLiteral("Dochádzková karta"));
  make(vykaz, "vykaz", QStringLiteral("Výkaz"), QKeySequence(Qt::CTRL | Qt::Key_D));
  make(Act_prac, "Act_prac", QStringLiteral("Pracovníci"), QKeySequence(Qt::Key_F4));
  make(act_newrecords, "act_newrecords", QStringLiteral("Prenos"), QKeySequence(Qt::Key_F5));
  make(help_action, "help_action", QStringLiteral("HELP"), QKeySequence(Qt::Key_F1));
  make(act_hide, "act_hide", QStringLiteral("Skryť"));
  make(act_stav, "act_stav", QStringLiteral("Stav"), QKeySequence(Qt::CTRL | Qt::Key_T));
  make(act_stop, "act_stop", QStringLiteral("Stop"));
  make(set_time, "set_time", QStringLiteral("Nastaviť čas"));
  make(copy, "copy", QStringLiteral("Kopírovať"), QKeySequence(Qt::CTRL | Qt::Key_C));
  make(selall_act, "selall_act", QStringLiteral("Označiť všetko"), QKeySequence(Qt::CTRL | Qt::Key_A));
  make(find_act, "find_act", QStringLiteral("Hľadať"), QKeySequence(Qt::CTRL | Qt::Key_F));
  make(print, "print", QStringLiteral("Tlačiť"), QKeySequence(Qt::CTRL | Qt::Key_P));

  act_stop->setVisible(false);

  // The copy, select-all and find shortcuts belong to the text area, so that
  // they do not take the keys away from the dialogs' edits.
  for (QAction* a : {copy, selall_act}) a->setShortcutContext(Qt::WidgetWithChildrenShortcut);

  connect(act_newrecords, &QAction::triggered, this, &TForm1::act_newrecordsExecute);
  connect(Act_prac, &QAction::triggered, this, &TForm1::Act_pracExecute);
  connect(act_dochkarta, &QAction::triggered, this, &TForm1::act_dochkartaExecute);
  connect(vykaz, &QAction::triggered, this, &TForm1::vykazExecute);
  connect(help_action, &QAction::triggered, this, [this] {
    QDesktopServices::openUrl(QUrl::fromLocalFile(Q(core::Utf8FromPath(m_dir.dir / "html" / "index.html"))));
  });
  connect(act_hide, &QAction::triggered, this, &TForm1::act_hideExecute);
  connect(act_stav, &QAction::triggered, this, &TForm1::act_stavExecute);
  connect(act_stop, &QAction::triggered, this, &TForm1::act_stopExecute);
  connect(set_time, &QAction::triggered, this, &TForm1::set_timeExecute);
  connect(copy, &QAction::triggered, this, [this] { memo1->copy(); });
  connect(selall_act, &QAction::triggered, this, [this] { memo1->selectAll(); });
  connect(find_act, &QAction::triggered, this, [this] {
    const QPoint at = mapToGlobal(QPoint(width() / 2, 80));
    m_find->move(at);
    m_find->show();
    m_find->raise();
    m_find->activateWindow();
  });
  connect(print, &QAction::triggered, this, [this] {
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted) printTo(printer);
  });
}

void TForm1::buildMenus() {
  auto item = [this](QMenu* menu, const char* name, const QString& text, int captionNo, QAction* action = nullptr) {
    QAction* a = action;
    if (!a) {
      a = new QAction(text, this);
    } else {
      // A menu entry of its own that runs the action, so that the language
      // file can rename the entry without renaming the tool button.
      QAction* target = action;
      a = new QAction(text, this);
      a->setShortcut(target->shortcut());
      a->setShortcutContext(Qt::WidgetShortcut);  // the action itself owns the key
      a->setEnabled(target->isEnabled());
      a->setToolTip(target->toolTip());
      a->setStatusTip(target->statusTip());
      connect(a, &QAction::triggered, target, &QAction::trigger);
      connect(target, &QAction::changed, a, [a, target] { a->setEnabled(target->isEnabled()); });
    }
    a->setObjectName(QLatin1String(name));
    menu->addAction(a);
    if (captionNo > 0) m_menuCaptions.emplace_back(captionNo, a);
    return a;
  };
  auto menu = [this](const char* name, const QString& title, int captionNo) {
    QMenu* m = menuBar()->addMenu(title);
    m->setObjectName(QLatin1String(name));
    m->menuAction()->setObjectName(QLatin1String(name));
    m_menuTitles.emplace_back(captionNo, m);
    return m;
  };

  QMenu* sbor = menu("Sbor1", QStringLiteral("&Súbor"), 1);
  item(sbor, "Vkaz1", QStringLiteral("Výkaz dochádzky"), 2, vykaz);
  item(sbor, "Zoznamkov1", QStringLiteral("Zoznam pracovníkov"), 3, Act_prac);
  item(sbor, "Stav1", QStringLiteral("Stav pracovníkov"), 4, act_stav);
  sbor->addSeparator();
  m_exitAction = item(sbor, "N7koniec1", QStringLiteral("&Koniec"), 5);
  m_exitAction->setShortcut(QKeySequence(Qt::Key_F10));
  connect(m_exitAction, &QAction::triggered, this, &QWidget::close);
  item(sbor, "Skry1", QStringLiteral("Skryť"), 6, act_hide);

  QMenu* upravy = menu("pravy1", QStringLiteral("Úpr&avy"), 7);
  item(upravy, "Koprova1", QStringLiteral("Kopírovať"), 8, copy);
  item(upravy, "Oznavetko1", QStringLiteral("Označiť všetko"), 9, selall_act);
  item(upravy, "Hada1", QStringLiteral("Hľadať"), 10, find_act);

  QMenu* sluzby = menu("nastavi1", QStringLiteral("S&lužby"), 11);
  item(sluzby, "Prenieslennovzznamy1", QStringLiteral("Prenos len nové záznamy"), 12, act_newrecords);
  connect(item(sluzby, "Prenoszznamov1", QStringLiteral("Preniesť počet záznamov"), 13), &QAction::triggered, this,
          &TForm1::Prenoszznamov1Click);
  connect(item(sluzby, "Preniesvetkyzznamy1", QStringLiteral("Preniesť všetky záznamy"), 14), &QAction::triggered, this,
          &TForm1::Preniesvetkyzznamy1Click);
  sluzby->addSeparator();
  item(sluzby, "asprstroja1", QStringLiteral("Nastaviť čas prístroja"), 15, set_time);
  connect(item(sluzby, "Nastaveniaprogramu1", QStringLiteral("Nastavenia programu"), 16), &QAction::triggered, this,
          &TForm1::Nastaveniaprogramu1Click);
  sluzby->addSeparator();
  connect(item(sluzby, "Ukzapanelsledovaniekariet1", QStringLiteral("Ukázať panel sledovanie kariet"), 17),
          &QAction::triggered, this, [this] { GroupBox2->show(); });
  connect(item(sluzby, "Hodinovkalkulaka1", QStringLiteral("Hodinová kalkulačka"), 18), &QAction::triggered, this,
          [this] { showCalculator(); });

  QMenu* pomoc = menu("pomoc1", QStringLiteral("&Pomoc"), 19);
  connect(item(pomoc, "Oprograme1", QStringLiteral("&O programe"), 20), &QAction::triggered, this, [this] {
    AboutDialog about(m_settings.partner, this);
    about.setObjectName(QStringLiteral("Tfrmabout"));
    about.exec();
  });
  connect(item(pomoc, "HELP1", QStringLiteral("&HELP"), 21), &QAction::triggered, help_action, &QAction::trigger);
  connect(item(pomoc, "Tipdna1", QStringLiteral("&Tip dňa"), 22), &QAction::triggered, this, [this] {
    tipWindow();
    m_tip->show();
    m_tip->raise();
    m_tip->showTip(m_dir.tipsFile(), "[DAY");
  });

  // The text area's pop-up menu.
  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
  item(PopupMenu1, "Koprova2", QStringLiteral("Kopírovať"), 30, copy);
  item(PopupMenu1, "Oznavetko2", QStringLiteral("Označiť všetko"), 28, selall_act);
  item(PopupMenu1, "Hada2", QStringLiteral("Hľadať"), 29, find_act);
}

void TForm1::buildToolBar() {
  ToolBar1 = addToolBar(QStringLiteral("ToolBar1"));
  ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
  ToolBar1->setMovable(false);
  ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  auto button = [this](QAction* action, const char* name, const QString& text) {
    auto* b = new QToolButton(ToolBar1);
    b->setObjectName(QLatin1String(name));
    b->setDefaultAction(action);
    b->setText(text);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setMinimumWidth(56);
    connect(action, &QAction::changed, b, [b, text] { b->setText(text); });
    return ToolBar1->addWidget(b);
  };
  button(act_dochkarta, "tbKarta", QStringLiteral("Karta"));
  button(vykaz, "tbVykaz", QStringLiteral("Výkaz"));
  button(Act_prac, "tbPrac", QStringLiteral("Prac"));
  button(act_newrecords, "tbPrenos", QStringLiteral("Prenos"));
  button(help_action, "tbHelp", QStringLiteral("Help"));
  button(act_hide, "tbSkryt", QStringLiteral("Skryť"));
  m_stavButton = button(act_stav, "tbStav", QStringLiteral("Stav"));
  m_stavButton->setVisible(false);
  m_stopButton = button(act_stop, "tbStop", QStringLiteral("Stop"));
  m_stopButton->setVisible(false);
  act_newrecords->setToolTip(QStringLiteral("Prenos len nové záznamy (F5)"));
  help_action->setToolTip(QStringLiteral("Pomoc (F1)"));
  act_hide->setToolTip(QStringLiteral("Skryť program do lišty"));
  act_stav->setToolTip(QStringLiteral("Stav pracovníkov (Ctrl+T)"));
  act_stop->setToolTip(QStringLiteral("Zastaviť automatický prenos"));
}

void TForm1::buildCentral() {
  auto* central = new QWidget(this);
  auto* outer = new QVBoxLayout(central);

  auto* top = new QHBoxLayout();
  GroupBox1 = new QGroupBox(QStringLiteral("Nastavenia prístroja"), central);
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  GroupBox1->setToolTip(QStringLiteral("Údaje sa zobrazia ak pripojíte prístroj na PC"));
  auto* grid = new QGridLayout(GroupBox1);
  auto caption = [this](const QString& text) {
    auto* l = new QLabel(text, GroupBox1);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return l;
  };
  PanTime = MakePanel("PanTime", GroupBox1, true);
  PanTime->setMinimumWidth(150);
  PanTime->setToolTip(QStringLiteral("Aktuálny dátum a čas prístroja"));
  Pansn = MakePanel("Pansn", GroupBox1, true);
  Pansn->setToolTip(QStringLiteral("Výrobné číslo prístroja"));
  Pansn->installEventFilter(this);
  PanName = MakePanel("PanName", GroupBox1, true);
  PanName->setToolTip(QStringLiteral("Názov prístroja"));
  pandoortime = MakePanel("pandoortime", GroupBox1, false);
  pandoortime->setToolTip(QStringLiteral("Doba otvorenia zámku"));
  Pannewr = MakePanel("Pannewr", GroupBox1, false);
  Pannewr->setToolTip(QStringLiteral("Počet nových záznamov v prístroji"));
  panptr = MakePanel("panptr", GroupBox1, false);
  panptr->setToolTip(QStringLiteral("Prístroj zapíše ďalší záznam na pozíciu PTR"));
  m_lockCaption = caption(QStringLiteral("Zámok"));
  m_lockUnit = new QLabel(QStringLiteral("sek"), GroupBox1);
  grid->addWidget(caption(QStringLiteral("Čas:")), 0, 0);
  grid->addWidget(PanTime, 0, 1, 1, 3);
  grid->addWidget(caption(QStringLiteral("Výr.č.")), 1, 0);
  grid->addWidget(Pansn, 1, 1);
  grid->addWidget(PanName, 1, 2, 1, 2);
  grid->addWidget(m_lockCaption, 2, 0);
  grid->addWidget(pandoortime, 2, 1);
  grid->addWidget(m_lockUnit, 2, 2);
  grid->addWidget(caption(QStringLiteral("Záznamov")), 3, 0);
  grid->addWidget(Pannewr, 3, 1);
  grid->addWidget(caption(QStringLiteral("PTR")), 3, 2);
  grid->addWidget(panptr, 3, 3);
  // Read by their captions with the value as their text; unnamed they would
  // all be read by the group's title.
  NameValuePanel(PanTime, QStringLiteral("Čas:"));
  NameValuePanel(Pansn, QStringLiteral("Výr.č."));
  NameValuePanel(PanName, PanName->toolTip());
  NameValuePanel(pandoortime, m_lockCaption->text());
  NameValuePanel(Pannewr, QStringLiteral("Záznamov"));
  NameValuePanel(panptr, QStringLiteral("PTR"));
  top->addWidget(GroupBox1);

  GroupBox2 = new QGroupBox(QStringLiteral(" Panel sledovania kariet "), central);
  GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
  GroupBox2->setToolTip(QStringLiteral("Číslo a názov sa zobrazí ak priložíte identifikator  na prístroj"));
  auto* cards = new QGridLayout(GroupBox2);
  panib = MakePanel("panib", GroupBox2, false);
  panib->setToolTip(QStringLiteral("Číslo od výrobcu"));
  PanNazov = MakePanel("PanNazov", GroupBox2, false);
  PanNazov->setMinimumWidth(180);
  PanNazov->setToolTip(QStringLiteral("Meno si definuje užívateľ"));
  chkRFshow = new QCheckBox(QStringLiteral("Sledovať karty"), GroupBox2);
  chkRFshow->setObjectName(QStringLiteral("chkRFshow"));
  chkRFshow->setToolTip(QStringLiteral("Zaškrtnite ak potrebujete zobrazovať čísla a názvy priložených kariet"));
  chkRFshow->setVisible(false);
  connect(chkRFshow, &QCheckBox::toggled, this, &TForm1::chkRFshowClick);
  Button1 = new QPushButton(QStringLiteral("Koniec sledovania kariet"), GroupBox2);
  Button1->setObjectName(QStringLiteral("Button1"));
  connect(Button1, &QPushButton::clicked, this, [this] { GroupBox2->hide(); });
  cards->addWidget(new QLabel(QStringLiteral("Číslo"), GroupBox2), 0, 0);
  cards->addWidget(panib, 0, 1);
  cards->addWidget(new QLabel(QStringLiteral("Názov"), GroupBox2), 1, 0);
  cards->addWidget(PanNazov, 1, 1);
  NameValuePanel(panib, QStringLiteral("Číslo"));
  NameValuePanel(PanNazov, QStringLiteral("Názov"));
  cards->addWidget(chkRFshow, 2, 0, 1, 2);
  cards->addWidget(Button1, 3, 0, 1, 2);
  GroupBox2->setVisible(false);
  top->addWidget(GroupBox2);
  top->addStretch(1);
  outer->addLayout(top);

  Label9 = new QLabel(QStringLiteral("Prosím  zálohujte si pravidelne súbory : prac.txt , vortane.ini z adresáru :"),
                      central);
  Label9->setObjectName(QStringLiteral("Label9"));
  Label10 = new QLabel(central);
  Label10->setObjectName(QStringLiteral("Label10"));
  Label10->setTextInteractionFlags(Qt::TextSelectableByMouse);
  for (QLabel* l : {Label9, Label10}) l->setStyleSheet(QStringLiteral("QLabel { color: red; }"));
  outer->addWidget(Label9);
  outer->addWidget(Label10);

  memo1 = new QPlainTextEdit(central);
  memo1->setObjectName(QStringLiteral("memo1"));
  memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo1->setTabChangesFocus(false);
  memo1->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(memo1, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) { PopupMenu1->popup(memo1->mapToGlobal(pos)); });
  memo1->addAction(copy);
  memo1->addAction(selall_act);
  NameControl(memo1, QStringLiteral("Záznamy"));
  outer->addWidget(memo1, 1);

  panProgress = new QWidget(central);
  panProgress->setObjectName(QStringLiteral("panProgress"));
  auto* progressLayout = new QHBoxLayout(panProgress);
  progressLayout->setContentsMargins(0, 0, 0, 0);
  autoDNLBAR = new QProgressBar(panProgress);
  autoDNLBAR->setObjectName(QStringLiteral("autoDNLBAR"));
  NameControl(autoDNLBAR, QStringLiteral("Automatický prenos"));
  progressLayout->addWidget(autoDNLBAR);
  panProgress->setVisible(false);
  outer->addWidget(panProgress);

  setCentralWidget(central);
}

void TForm1::buildStatusBar() {
  auto* bar = new QStatusBar(this);
  bar->setObjectName(QStringLiteral("stbar"));
  setStatusBar(bar);
  const int widths[3] = {100, 100, 50};
  for (int i = 0; i < 3; ++i) {
    m_panels[i] = new QLabel(bar);
    m_panels[i]->setObjectName(QStringLiteral("stbar_panel%1").arg(i));
    m_panels[i]->setMinimumWidth(widths[i]);
    m_panels[i]->setFrameShape(QFrame::Panel);
    m_panels[i]->setFrameShadow(QFrame::Sunken);
    if (i < 2)
      bar->addWidget(m_panels[i]);
    else
      bar->addWidget(m_panels[i], 1);
  }
}

void TForm1::buildTray() {
  TrayIcon1 = new QSystemTrayIcon(ClockIcon(), this);
  TrayIcon1->setObjectName(QStringLiteral("TrayIcon1"));
  TrayIcon1->setToolTip(QStringLiteral("KAVEX"));
  popuptray = new QMenu(this);
  popuptray->setObjectName(QStringLiteral("popuptray"));
  auto add = [this](const char* name, const QString& text, int captionNo) {
    auto* a = new QAction(text, this);
    a->setObjectName(QLatin1String(name));
    popuptray->addAction(a);
    m_menuCaptions.emplace_back(captionNo, a);
    return a;
  };
  connect(add("UkzapanelVORTANE1", QStringLiteral("Ukázať panel KAVEX"), 25), &QAction::triggered, this,
          &TForm1::showFromTray);
  connect(add("Stavpracovnkov1", QStringLiteral("Stav pracovníkov"), 26), &QAction::triggered, this,
          &TForm1::act_stavExecute);
  popuptray->addSeparator();
  connect(add("Exit1", QStringLiteral("E&xit"), 27), &QAction::triggered, this, [this] {
    // Ends the program at once; a transfer still finishes its block first.
    showFromTray();
    close();
  });
  TrayIcon1->setContextMenu(popuptray);
  connect(TrayIcon1, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::DoubleClick) showFromTray();
  });
}

void TForm1::form_lang() {
  for (auto& [no, action] : m_menuCaptions) action->setText(Q(m_messages.menu(no)));
  for (auto& [no, menu] : m_menuTitles) menu->setTitle(Q(m_messages.menu(no)));
}

// ---------------------------------------------------------------------------
// Start-up

bool TForm1::FormCreate() {
  // 1. Messages and the language file, from the executable's folder.
  m_messages.load(m_options.executableDir / "vortane.lng");

  // 2. The program directory.
  auto choice = core::ChooseProgramDirectory(m_options.args, m_options.executableDir, m_messages);
  if (choice.fatalMessage) {
    m_op.showMessage(*choice.fatalMessage);
    return false;
  }
  m_dir = choice.directory;

  // 3., 4. Settings, with the first-start note of this user.
  m_monitor = device::ConnectionMonitor{};
  m_settings = core::LoadSettings(m_dir, m_messages, m_op);
  if (!m_options.portOverride.empty()) m_settings.PortName = m_options.portOverride;
  m_fixedMode = m_settings.AUTODNL;
  std::filesystem::path marker = m_options.firstStartMarker;
  if (marker.empty()) {
    const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    marker = core::PathFromUtf8(config.toStdString()) / "started";
  }
  std::error_code ec;
  if (!std::filesystem::exists(marker, ec)) {
    m_op.showMessage(kFirstStartText);
    std::filesystem::create_directories(marker.parent_path(), ec);
    std::ofstream(marker) << "1\n";
  }

  // 5., 6., 7. Employees and who is in.
  m_employees.read(m_dir.employeeFile(), m_settings.normaPDminutes);
  m_presence.InitPresence(m_employees, core::Now());
  m_stav = new Tfrmstav(m_employees, m_presence, m_dir, m_op, this);
  if (m_employees.empty()) m_op.showMessage(m_messages.message(core::msg::EmptyEmployeeList));

  // 8.
  m_monitor.Declined = false;
  m_monitor.BatteryWarned = false;

  showFolders();

  // 9. The port. A device named by PortName or --port is what opens, so the
  // line names it instead of the COM number.
  memo1->clear();
  const QString portText = m_settings.PortName.empty() ? QString::number(m_settings.ComPort) : Q(m_settings.PortName);
  addLine(Q(m_messages.message(core::msg::OpeningComPort)) + portText + QStringLiteral("..."));
  if (!OpenComPort()) {
    m_op.showMessage(m_messages.message(core::msg::CannotOpenComPort) + "\r" +
                     m_messages.message(core::msg::SetComPort));
  }

  // 10., 11.
  m_stavButton->setVisible(m_settings.Rate == 9600);
  form_lang();

  m_created = true;
  if (m_options.startTimers) {
    m_timer1.start();
    m_timer2.start();
  }
  return true;
}

void TForm1::showFolders() {
  Label10->setText(QDir::toNativeSeparators(Q(core::Utf8FromPath(m_dir.dir))) + QStringLiteral("   ") +
                   QDir::toNativeSeparators(Q(m_settings.LOGDIR)));
}

void TForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (m_created) QMetaObject::invokeMethod(this, &TForm1::FormShow, Qt::QueuedConnection);
}

void TForm1::FormShow() {
  if (m_employees.empty()) {
    m_op.showMessage(m_messages.message(core::msg::NoEmployeeFile) + "\r\r" + m_messages.message(core::msg::Reinstall));
  }
}

void TForm1::Timer2Timer() {
  m_timer2.stop();
  if (m_settings.MINIMALIZE) act_hideExecute();
}

PortRequest TForm1::portRequest() const {
  PortRequest r;
  if (!m_settings.PortName.empty()) {
    r.name = m_settings.PortName;
  } else {
#ifdef Q_OS_WIN
    r.name = "COM" + std::to_string(m_settings.ComPort);
#else
    r.name = "/dev/ttyS" + std::to_string(std::max(0, m_settings.ComPort - 1));
#endif
  }
  r.type = m_settings.type;
  r.rate = core::RateForType(m_settings.type, m_settings.Rate);
  return r;
}

bool TForm1::OpenComPort() {
  const PortRequest request = portRequest();
  bool opened = false;
  runAndWait([this, request, &opened](DeviceLink&) { opened = m_worker->open(request); });
  m_portOpen = opened;
  m_haveStatus = false;
  return opened;
}

void TForm1::runAndWait(std::function<void(DeviceLink&)> job) {
  QEventLoop loop;
  bool done = false;
  m_worker->post([job = std::move(job), &done, &loop](DeviceLink& link) {
    job(link);
    QMetaObject::invokeMethod(
        &loop,
        [&done, &loop] {
          done = true;
          loop.quit();
        },
        Qt::QueuedConnection);
  });
  if (!done) loop.exec();
}

void TForm1::runDeviceJob(std::function<void(DeviceLink&)> job, std::function<void()> done) {
  m_worker->post([job = std::move(job), done = std::move(done)](DeviceLink& link) {
    job(link);
    if (done) link.post(done);
  });
}

// ---------------------------------------------------------------------------
// Small helpers

QString TForm1::statusPanelText(int panel) const {
  if (panel < 0 || panel > 2) return {};
  return m_panels[panel]->text();
}

QString TForm1::memoText() const { return memo1->toPlainText(); }

void TForm1::addLine(const QString& line) { memo1->appendPlainText(line); }

void TForm1::stopTimer1() { m_timer1.stop(); }

void TForm1::restartTimer1() {
  if (m_employeeListOpen) return;  // restarted when the employee list closes
  if (m_portFailedAfterSettings) return;  // stays stopped until the port opens again
  if (m_options.startTimers && !m_closing) m_timer1.start();
}

QPoint TForm1::questionPlace() const { return mapToGlobal(QPoint(0, 0)) + QPoint(50, 50); }

void TForm1::placeQuestion() {
  if (auto* q = dynamic_cast<QtOperator*>(&m_op)) q->placeNextQuestion(questionPlace());
}

void TForm1::setBusy(bool busy) {
  m_busy = busy;
  updateBusyActions();
}

void TForm1::updateBusyActions() {
  // While an exchange runs, nothing else may start one.
  const bool idle = !m_busy;
  act_newrecords->setEnabled(idle);
  set_time->setEnabled(idle);
  for (const char* name : {"Prenoszznamov1", "Preniesvetkyzznamy1", "Nastaveniaprogramu1"}) {
    if (auto* a = findChild<QAction*>(QLatin1String(name))) a->setEnabled(idle);
  }
  chkRFshow->setEnabled(idle);
}

bool TForm1::findNext(const QString& text) {
  if (text.isEmpty()) return false;
  const QString all = memo1->toPlainText();
  QTextCursor cursor = memo1->textCursor();
  const int start =
      cursor.hasSelection() ? cursor.selectionStart() + (cursor.selectionEnd() - cursor.selectionStart()) : 0;
  const int at = all.indexOf(text, start, Qt::CaseSensitive);
  if (at < 0) return false;
  cursor.setPosition(at);
  cursor.setPosition(at + static_cast<int>(text.size()), QTextCursor::KeepAnchor);
  memo1->setTextCursor(cursor);
  memo1->setFocus();
  return true;
}

void TForm1::printTo(QPrinter& printer) {
  printer.setDocName(QStringLiteral("VORTANE"));
  memo1->document()->print(&printer);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Pansn && event->type() == QEvent::MouseButtonDblClick) {
    PansnDblClick();
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

bool TForm1::readyForCommand() {
  if (m_busy) return false;
  if (!m_tickRunning) return true;
  // A heartbeat is on its way: let it end (a few milliseconds) so that the
  // command works on the terminal's latest state. One that started a
  // transfer leaves the window busy, and the command waits for the operator.
  stopTimer1();
  QEventLoop loop;
  QTimer poll;
  int rounds = 0;
  connect(&poll, &QTimer::timeout, &loop, [&] {
    if (!m_tickRunning || ++rounds > 500) loop.quit();
  });
  poll.start(10);
  loop.exec();
  restartTimer1();
  return !m_tickRunning && !m_busy;
}

// ---------------------------------------------------------------------------
// The heartbeat

void TForm1::Timer1Timer() {
  m_panels[2]->setText(NowText());
  if (!m_portOpen) return;
  if (m_busy || m_tickRunning) return;  // the previous exchange has not ended
  m_tickRunning = true;
  QPointer<TForm1> self(this);
  m_worker->post([self](DeviceLink& link) {
    // Reads the reply to the previous request and sends the next one.
    const bool usable = link.comm && device::StatusTick(*link.comm, link.state);
    const device::DeviceState state = link.state;
    link.post([self, state, usable] {
      if (self) self->onStatusRead(state, usable);
    });
  });
}

void TForm1::requestStatus() {
  // After a long exchange the next tick needs a fresh request to read.
  m_worker->post([](DeviceLink& link) {
    if (!link.comm) return;
    link.comm->ClearReceiveBuffer();
    device::SendFrame(*link.comm, device::kStatusCmd, device::kStatusArg);
  });
}

void TForm1::applyStatusPanels(const device::DeviceState& s) {
  PanTime->setText(Q(s.PanTime));
  Pansn->setText(Q(s.Pansn));
  PanName->setText(Q(s.PanName));
  panptr->setText(Q(s.panptr));
  pandoortime->setText(Q(s.pandoortime));
  if (s.isRfid()) {
    PanName->setToolTip(Q(s.PanNameHint));
    GroupBox2->setTitle(QStringLiteral("RFID Karta"));
    chkRFshow->setVisible(true);
    // This model has no lock.
    pandoortime->setVisible(false);
    m_lockCaption->setVisible(false);
    m_lockUnit->setVisible(false);
  }
}

void TForm1::onStatusRead(const device::DeviceState& state, bool usable) {
  if (!usable && state.PanName == "ERROR") PanName->setText(QStringLiteral("ERROR"));
  if (usable) {
    m_last = state;
    m_haveStatus = true;
    applyStatusPanels(state);
    applyCardPanel(state);
  }
  const bool lost = m_monitor.tick(usable);
  if (usable) {
    m_panels[1]->setText(QStringLiteral("OK"));
    if (CheckNewRecords()) return;  // the tick ends with the transfer
  }
  if (lost) {
    PanTime->clear();
    Pansn->clear();
    m_panels[1]->setText(QStringLiteral("Nepripojeny"));
    // The commands see the terminal as the window shows it.
    m_worker->post([](DeviceLink& link) {
      link.state.PanTime.clear();
      link.state.Pansn.clear();
    });
  }
  finishTick();
}

void TForm1::finishTick() {
  m_tickRunning = false;
  emit tickHandled();
}

void TForm1::applyCardPanel(const device::DeviceState& s) {
  using Kind = device::IdentifierReport::Kind;
  const auto& r = s.report;
  if (r.kind == Kind::None) {
    panib->clear();
    PanNazov->clear();
    return;
  }
  if (r.kind == Kind::Battery) {
    panib->clear();
    PanNazov->clear();
    if (m_settings.TESTBAT) {
      m_panels[0]->setText(QStringLiteral("BAT=%1/%2").arg(r.threshold).arg(r.level));
      if (r.level < r.threshold && !m_monitor.BatteryWarned) {
        addLine(QStringLiteral("POZOR! vymente bateriu"));
        m_monitor.BatteryWarned = true;
      }
    }
    return;
  }
  if (r.number == 0) return;
  const auto card = static_cast<std::uint16_t>(r.number);
  panib->setText(QString::number(r.number));
  if (auto index = m_employees.findCard(card)) {
    PanNazov->setText(Q(m_employees.employees()[*index].name));
    return;
  }
  // An identifier nobody has: ask for its owner's name now.
  stopTimer1();
  if (m_employees.addNamedCard(card, m_dir.employeeFile(), m_settings.normaPDminutes, m_messages, m_op)) {
    // The new employee gets an entry of its own in the presence table.
    auto& entries = m_presence.entries();
    while (entries.size() < m_employees.size()) {
      device::PresenceEntry e;
      e.identifier = m_employees.employees()[entries.size()].card;
      e.time = core::Now();
      entries.push_back(e);
    }
    if (auto index = m_employees.findCard(card)) PanNazov->setText(Q(m_employees.employees()[*index].name));
  }
  restartTimer1();
}

// ---------------------------------------------------------------------------
// New records

bool TForm1::CheckNewRecords() {
  const long long stored = device::ReadTransferPointer(m_dir.iniFile(), m_last.productionNumber);
  const auto decision = device::CheckNewRecords(m_last, stored, m_fixedMode, m_monitor.Declined);
  if (decision.Pannewr) Pannewr->setText(Q(*decision.Pannewr));
  switch (decision.action) {
    case device::NewRecordsAction::None:
    case device::NewRecordsAction::NothingNew:
    case device::NewRecordsAction::Declined:
      return false;
    case device::NewRecordsAction::FirstUse:
      stopTimer1();
      m_op.showMessage(device::FirstUseMessage(m_messages));
      if (!device::StoreTransferPointer(m_dir.iniFile(), m_last.productionNumber, m_last.PTR))
        m_op.showMessage("Nie je možné zapísať súbor: " + core::DisplayPath(m_dir.iniFile()));
      restartTimer1();
      return false;
    case device::NewRecordsAction::Ask:
      stopTimer1();
      placeQuestion();
      if (!m_op.askYesNo(device::NewRecordsQuestion())) {
        m_monitor.Declined = true;
        restartTimer1();
        return false;
      }
      break;
    case device::NewRecordsAction::Transfer:
      stopTimer1();
      m_stopButton->setVisible(true);
      act_stop->setVisible(true);
      panProgress->setVisible(true);
      m_worker->clearStop();
      break;
  }
  runTransfer(TransferKind::Automatic, decision.count);
  return true;
}

bool TForm1::portReadyForCommand(int message) {
  if (m_portOpen) return true;
  m_op.showMessage(m_messages.message(message));
  return false;
}

void TForm1::act_newrecordsExecute() {
  if (!readyForCommand()) return;
  m_panels[0]->clear();
  if (!portReadyForCommand(core::msg::ConnectTerminal)) return;
  runTransfer(TransferKind::NewRecords, 0);
}

void TForm1::Prenoszznamov1Click() {
  if (!readyForCommand()) return;
  if (!portReadyForCommand(core::msg::ConnectTerminal)) return;
  runTransfer(TransferKind::Count, 0);
}

void TForm1::Preniesvetkyzznamy1Click() {
  if (!readyForCommand()) return;
  m_panels[0]->clear();
  if (!portReadyForCommand(core::msg::ConnectVortane)) return;
  runTransfer(TransferKind::All, 0);
}

void TForm1::runTransfer(TransferKind kind, int n) {
  stopTimer1();
  setBusy(true);
  if (!m_fixedMode && kind != TransferKind::Automatic) m_worker->clearStop();
  if (m_fixedMode && kind != TransferKind::Automatic) {
    // Without the progress window the bottom bar and "Stop" are the only way
    // to follow and end a manual transfer in fixed-unit mode.
    m_stopButton->setVisible(true);
    act_stop->setVisible(true);
    panProgress->setVisible(true);
  }
  autoDNLBAR->setRange(0, std::max(1, n));
  autoDNLBAR->setValue(0);

  struct Inputs {
    core::EmployeeList employees;
    core::MessageCatalogue messages;
    device::PresenceStatus presence;
    std::filesystem::path iniFile, logDir, presenceFile;
    int CHGINOUT = 0;
    bool fixed = false;
  };
  auto in = std::make_shared<Inputs>();
  in->employees = m_employees;
  in->messages = m_messages;
  in->presence = m_presence;
  in->iniFile = m_dir.iniFile();
  in->logDir = m_settings.logDir();
  in->presenceFile = m_dir.presenceFile();
  in->CHGINOUT = m_settings.CHGINOUT;
  in->fixed = m_fixedMode;

  QPointer<TForm1> self(this);
  m_worker->post([self, in, kind, n](DeviceLink& link) {
    device::CommandOutcome out;
    if (link.comm && self) {
      WindowProgress progress(self->m_info, self->autoDNLBAR);
      WindowText text(self->memo1);
      device::DownloadContext ctx{*link.comm, link.state, in->employees, in->messages, link.op, text, progress};
      ctx.iniFile = in->iniFile;
      ctx.logDir = in->logDir;
      ctx.CHGINOUT = in->CHGINOUT;
      ctx.fixedUnit = in->fixed;
      ctx.presence = &in->presence;
      ctx.presenceFile = in->presenceFile;
      switch (kind) {
        case TransferKind::NewRecords:
          out = device::NewRecordsCommand(ctx);
          break;
        case TransferKind::Count:
          out = device::TransferCountCommand(ctx);
          break;
        case TransferKind::All:
          out = device::TransferAllCommand(ctx);
          break;
        case TransferKind::Automatic:
          out = device::AutomaticTransfer(ctx, n);
          break;
      }
    }
    link.post([self, in, kind, out] {
      if (self) self->onTransferDone(kind, out, in->presence);
    });
  });
}

void TForm1::onTransferDone(TransferKind kind, const device::CommandOutcome& out,
                            const device::PresenceStatus& presence) {
  if (m_fixedMode && out.ran) {
    // The records the transfer put into the presence status; an employee
    // named meanwhile keeps the entry it was given here.
    auto& mine = m_presence.entries();
    const auto& theirs = presence.entries();
    for (std::size_t i = 0; i < mine.size() && i < theirs.size(); ++i) mine[i] = theirs[i];
  }
  if (!out.statusText.empty()) m_panels[0]->setText(Q(out.statusText));
  if (out.pointerWriteFailed) {
    m_op.showMessage("Nie je možné zapísať súbor: " + core::DisplayPath(m_dir.iniFile()));
  }
  if (out.presenceWriteFailed) {
    m_op.showMessage("Nie je možné zapísať súbor: " + core::DisplayPath(m_dir.presenceFile()));
  }
  m_info->hide();
  m_stopButton->setVisible(false);
  act_stop->setVisible(false);
  panProgress->setVisible(false);
  if (kind == TransferKind::Automatic && m_fixedMode) m_stav->refresh_stav();
  setBusy(false);
  requestStatus();
  restartTimer1();
  if (kind == TransferKind::Automatic) finishTick();
  emit transferEnded();
  if (m_closing) QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void TForm1::act_stopExecute() {
  m_worker->requestStop();
  m_stopButton->setVisible(false);
  act_stop->setVisible(false);
  panProgress->setVisible(false);
}

// ---------------------------------------------------------------------------
// Other commands

void TForm1::set_timeExecute() {
  if (!readyForCommand()) return;
  placeQuestion();
  if (!m_op.askYesNo("Želáte si nastaviť čas prístroja podľa Vašeho PC ?")) return;
  m_worker->clearStop();
  stopTimer1();
  setBusy(true);
  m_worker->post([this, info = QPointer<Tfrminfo>(m_info)](DeviceLink& link) {
    device::CommandResult result = device::CommandResult::NotCommunicating;
    WindowProgress progress(info, nullptr);
    if (link.comm) result = device::SetDeviceClock(*link.comm, progress);
    link.post([this, result] {
      m_info->hide();
      requestStatus();
      if (result == device::CommandResult::NotCommunicating || result == device::CommandResult::BadArgument)
        m_op.showMessage(m_messages.message(core::msg::TerminalNotCommunicating));
      setBusy(false);
      restartTimer1();
    });
  });
}

void TForm1::PansnDblClick() {
  if (!readyForCommand()) return;
  stopTimer1();
  auto password =
      m_op.askText(m_messages.message(core::msg::ServiceTitle), m_messages.message(core::msg::ServicePassword));
  if (!password || !device::IsServicePassword(*password)) {
    restartTimer1();
    return;
  }
  auto number = m_op.askText("", "Výrobné číslo", Pansn->text().toStdString());
  bool ok = false;
  const long long value = number ? QString::fromStdString(*number).trimmed().toLongLong(&ok) : 0;
  if (!ok || value < 0 || value > 65535) {
    restartTimer1();
    return;
  }
  m_worker->clearStop();
  setBusy(true);
  m_worker->post([this, value, info = QPointer<Tfrminfo>(m_info)](DeviceLink& link) {
    WindowProgress progress(info, nullptr);
    if (link.comm) device::WriteProductionNumber(*link.comm, progress, value);
    link.post([this] {
      m_info->hide();
      requestStatus();
      setBusy(false);
      restartTimer1();
    });
  });
}

void TForm1::chkRFshowClick(bool checked) {
  if (m_busy) {
    // Another exchange is running: the box keeps its state.
    const QSignalBlocker block(chkRFshow);
    chkRFshow->setChecked(!checked);
    return;
  }
  if (!m_portOpen) {
    m_op.showMessage(m_messages.message(core::msg::ConnectVortane));
    const QSignalBlocker block(chkRFshow);
    chkRFshow->setChecked(false);
    return;
  }
  addLine(QStringLiteral("Odosielam prikaz..."));
  stopTimer1();
  setBusy(true);
  m_worker->post([this, checked](DeviceLink& link) {
    bool ack = false;
    if (link.comm) {
      link.comm->Pause(1000);
      auto* comm = link.comm;
      auto post = link.post;
      ack = device::AntennaCommand(*comm, checked, [this, comm, post] {
        QStringList lines;
        for (unsigned char c : comm->ReceiveBuffer) lines << QStringLiteral("%1 ").arg(static_cast<int>(c));
        lines << QStringLiteral("Kontrola potvrdenia");
        comm->StopRequested.store(false);
        post([this, lines] {
          memo1->clear();
          for (const QString& l : lines) addLine(l);
        });
      });
    }
    link.post([this, ack] {
      setBusy(false);
      requestStatus();
      if (!ack) {
        // Unticking sends the "off" command, as any change of the box does.
        if (chkRFshow->isChecked()) chkRFshow->setChecked(false);
        m_op.showMessage(m_messages.message(core::msg::NotConfirmed));
      }
      restartTimer1();
    });
  });
}

void TForm1::act_stavExecute() {
  // Where no window manager maximises windows, the board still covers the
  // screen.
  if (!m_stav->isVisible()) {
    if (QScreen* s = screen()) m_stav->setGeometry(s->availableGeometry());
  }
  m_stav->showMaximized();
  m_stav->raise();
  m_stav->activateWindow();
}

void TForm1::showCalculator() {
  if (!m_calc) {
    m_calc = new CalculatorDialog(m_op, this);
    m_calc->setObjectName(QStringLiteral("Tfrmcalc"));
  }
  m_calc->show();
  m_calc->raise();
  m_calc->activateWindow();
}

TipWindow* TForm1::tipWindow() {
  if (!m_tip) {
    m_tip = new TipWindow(core::TipDrawer::SystemRandom(), this);
    m_tip->setObjectName(QStringLiteral("Tfrmtip"));
  }
  return m_tip;
}

QDateTime TForm1::now() const { return m_options.now ? m_options.now() : QDateTime::currentDateTime(); }

Tfrmlist* TForm1::sheetWindow() {
  if (m_sheet) return m_sheet;
  SheetWindowContext context{m_settings,
                             m_employees,
                             m_dir,
                             m_messages,
                             m_op,
                             m_options.fileDialogs ? *m_options.fileDialogs : DefaultFileDialogs(),
                             m_options.urlOpener ? m_options.urlOpener : SystemUrlOpener(),
                             [this] { return now(); },
                             [this](QWidget*) { showCalculator(); },
                             [this](QWidget*) { Nastaveniaprogramu1Click(); },
                             [this](QWidget* parent) { showEmployeeList(parent); }};
  m_sheet = new Tfrmlist(std::move(context), this);
  // Its own top-level window beside the main window, not modal.
  m_sheet->setWindowFlag(Qt::Window, true);
  return m_sheet;
}

void TForm1::act_dochkartaExecute() {
  const QDate today = now().date();
  sheetWindow()->showForPeriod(today.month(), today.year());
}

void TForm1::Act_pracExecute() { showEmployeeList(this); }

void TForm1::vykazExecute() {
  // Where no window manager hands the keyboard back, this window takes it
  // again when the dialogs have closed.
  struct Reactivate {
    TForm1* window;
    ~Reactivate() {
      window->raise();
      window->activateWindow();
    }
  } reactivate{this};
  Tfrmpredrep period(m_settings, m_dir, m_op, [this] { return now(); }, this);
  period.setMemory(&m_periodMemory);
  if (period.exec() != QDialog::Accepted) return;
  ReportWindowContext context{m_settings, period.employees(), m_dir, m_messages, m_op,
                              m_options.fileDialogs ? *m_options.fileDialogs : DefaultFileDialogs()};
  context.urlOpener = m_options.urlOpener ? m_options.urlOpener : SystemUrlOpener();
  context.progress = m_info;
  context.tips = tipWindow();
  context.showSettings = [this](QWidget*) { Nastaveniaprogramu1Click(); };
  context.showEmployeeList = [this](QWidget* parent) { showEmployeeList(parent); };
  // The computation holds the heartbeat, as every long run of this program does.
  context.computationRunning = [this](bool running) {
    if (running) {
      stopTimer1();
    } else {
      restartTimer1();
    }
  };
  ReportPeriodChoice choice{period.month(), period.year(), period.monthLogFile(), period.reopenSavedReport()};
  // The sheet window is not modal; while the modal report is open it lives
  // under the report, so that it takes input, and goes back afterwards,
  // with whatever it shows (unsaved corrections included).
  QPointer<Tfrmzdrep> over;
  QPointer<Tfrmlist> lent;
  // The calculator, not modal either, is lent the same way.
  context.showCalculator = [this, &over](QWidget*) {
    showCalculator();
    if (over && m_calc && m_calc->parentWidget() != over) {
      m_calc->setParent(over, m_calc->windowFlags());
      m_calc->show();
    }
  };
  context.showEmployeeSheet = [this, &over, &lent](const std::string& name, int month, int year) {
    Tfrmlist* sheet = sheetWindow();
    if (over && sheet->parentWidget() != over) {
      sheet->moveUnder(over);
      lent = sheet;
    }
    return sheet->showEmployeeSheet(name, month, year);
  };
  Tfrmzdrep report(std::move(context), choice, this);
  over = &report;
  report.execMaximized();
  // Back under this window before the report (its parent meanwhile) goes.
  if (lent) lent->moveUnder(this);
  if (m_calc && m_calc->parentWidget() != this) m_calc->setParent(this, m_calc->windowFlags());
}

void TForm1::showEmployeeList(QWidget* parent) {
  if (m_employeeListOpen) return;
  // A heartbeat under way ends first, so that no unknown-card question
  // changes the list behind the window; while a transfer runs the window does
  // not open, because the transfer hands its presence states back by list
  // position when it ends.
  if (!readyForCommand()) return;
  m_employeeListOpen = true;
  stopTimer1();
  {
    Tfrmprac window(m_employees, m_dir, m_settings.normaPDminutes, m_op,
                    m_options.fileDialogs ? *m_options.fileDialogs : DefaultFileDialogs(), parent ? parent : this);
    if (m_options.urlOpener) window.setUrlOpener(m_options.urlOpener);
    window.setNewEmployeeMemory(&m_newEmployeeMemory);
    window.setCardReader([this](QWidget* over) { return readPresentedCard(over); });
    connect(&window, &Tfrmprac::listSaved, this, &TForm1::employeeListSaved);
    window.execMaximized();
  }
  m_employeeListOpen = false;
  requestStatus();
  restartTimer1();
}

void TForm1::employeeListSaved() {
  m_presence.InitPresence(m_employees, core::Now());
  // The card panel shows names of the new list from the next report on.
  PanNazov->clear();
  panib->clear();
  if (m_stav && m_stav->isVisible()) {
    m_stav->init_cmboddelenia();
    m_stav->init_grid();
    m_stav->refresh_stav();
  }
}

std::optional<int> TForm1::readPresentedCard(QWidget* over) {
  // The progress window must take clicks while the dialog is modal.
  const Qt::WindowFlags infoFlags = m_info->windowFlags();
  if (over) m_info->setParent(over, infoFlags);
  m_worker->clearStop();
  device::CardReadResult result;
  result.outcome = device::CardReadResult::Outcome::NotCommunicating;
  runAndWait([&result, info = QPointer<Tfrminfo>(m_info)](DeviceLink& link) {
    WindowProgress progress(info, nullptr);
    if (link.comm) result = device::ReadCard(*link.comm, progress);
  });
  m_info->hide();
  if (over) m_info->setParent(this, infoFlags);
  if (result.outcome == device::CardReadResult::Outcome::NotCommunicating) m_op.showMessage("VORTANE nekomunikuje");
  if (result.outcome != device::CardReadResult::Outcome::Read) return std::nullopt;
  return result.number;
}

void TForm1::act_hideExecute() {
  m_timer1.setInterval(m_options.hiddenTickMs);
  m_hiddenToTray = true;
  if (QSystemTrayIcon::isSystemTrayAvailable()) {
    TrayIcon1->show();
    hide();
  } else {
    // No notification area on this desktop: the window goes to the task bar.
    showMinimized();
    // Without a window manager (a bare X server) nothing minimises the
    // window: it stays in view, and a clock that moves only every ten
    // seconds would look frozen. Such a window counts as shown again.
    QTimer::singleShot(500, this, [this] {
      if (m_hiddenToTray && isVisible() && windowHandle() && windowHandle()->isExposed()) {
        setWindowState(windowState() & ~Qt::WindowMinimized);
        m_hiddenToTray = false;
        m_timer1.setInterval(m_options.tickMs);
      }
    });
  }
}

void TForm1::showFromTray() {
  m_hiddenToTray = false;
  m_timer1.setInterval(m_options.tickMs);
  showNormal();
  raise();
  activateWindow();
}

void TForm1::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange && m_hiddenToTray && !isMinimized() && isVisible()) {
    m_hiddenToTray = false;
    m_timer1.setInterval(m_options.tickMs);
  }
}

void TForm1::Nastaveniaprogramu1Click() {
  if (!readyForCommand()) return;
  stopTimer1();
  SettingsDialog dialog(m_dir, m_settings, m_op, this);
  dialog.setTerminalFields(m_settings.CHGINOUT, m_settings.ComPort, m_settings.type, m_settings.PortName);
  connectSettingsDialog(dialog);
  // The terminal buttons' progress window must take clicks while the dialog
  // is modal.
  const Qt::WindowFlags infoFlags = m_info->windowFlags();
  m_info->setParent(&dialog, infoFlags);
  const int result = dialog.exec();
  m_info->hide();
  m_info->setParent(this, infoFlags);
  showFolders();  // LOGDIR may have changed
  if (result != QDialog::Rejected && dialog.portChanged()) {
    if (!applyPortChoice(dialog.chosenComPort(), dialog.chosenType(), dialog.chosenPortName())) return;
  }
  restartTimer1();
}

bool TForm1::applyPortChoice(int comPort, int type, const std::string& portName) {
  runAndWait([this](DeviceLink&) { m_worker->close(); });
  m_portOpen = false;
  m_settings.ComPort = comPort;
  m_settings.type = type;
  m_settings.Rate = core::RateForType(type, m_settings.Rate);
  m_settings.PortName = portName;
  m_stavButton->setVisible(m_settings.Rate == 9600);
  if (!OpenComPort()) {
    // The heartbeat stays stopped until a port opens again.
    m_portFailedAfterSettings = true;
    m_timer1.stop();
    m_op.showMessage(m_messages.message(core::msg::CannotOpenComPort) + "\r\r" +
                     m_messages.message(core::msg::SetComPort));
    return false;
  }
  m_portFailedAfterSettings = false;
  m_monitor = device::ConnectionMonitor{};
  const auto ini = m_dir.iniFile();
  core::WriteProfileInt(ini, "GLOBAL", "ComPort", m_settings.ComPort);
  core::WriteProfileInt(ini, "GLOBAL", "Rate", m_settings.Rate);
  core::WriteProfileInt(ini, "GLOBAL", "type", m_settings.type);
  if (!m_settings.PortName.empty() || !core::ReadProfileString(ini, "GLOBAL", "PortName", "").empty())
    core::WriteProfileString(ini, "GLOBAL", "PortName", m_settings.PortName);
  return true;
}

void TForm1::connectSettingsDialog(SettingsDialog& dialog) {
  QPointer<SettingsDialog> dlg(&dialog);
  connect(&dialog, &SettingsDialog::sendParametersRequested, this,
          [this, dlg](int lockTime, bool thresholdEdited, int threshold) {
            if (dlg) dlg->setTerminalBusy(true);
            m_worker->clearStop();
            std::optional<int> thr;
            if (thresholdEdited) thr = threshold;
            m_worker->post([this, dlg, lockTime, thr, info = QPointer<Tfrminfo>(m_info)](DeviceLink& link) {
              device::ParameterResult result;
              result.lockTime = device::CommandResult::NotCommunicating;
              WindowProgress progress(info, nullptr);
              if (link.comm) result = device::SendLockTimeAndThreshold(*link.comm, progress, lockTime, thr);
              link.post([this, dlg, result] {
                m_info->hide();
                if (result.threshold && *result.threshold == device::CommandResult::NotCommunicating)
                  m_op.showMessage("Nepotvrdil");
                if (dlg) dlg->setTerminalBusy(false);
              });
            });
          });
  connect(&dialog, &SettingsDialog::batLoRequested, this, [this, dlg] {
    if (dlg) dlg->setTerminalBusy(true);
    m_worker->clearStop();
    m_worker->post([this, dlg](DeviceLink& link) {
      device::CommandResult result = device::CommandResult::NotCommunicating;
      if (link.comm) result = device::SendBatLo(*link.comm);
      link.post([this, dlg, result] {
        if (result == device::CommandResult::NotCommunicating) m_op.showMessage("Nepotvrdil");
        if (dlg) dlg->setTerminalBusy(false);
      });
    });
  });
  connect(&dialog, &SettingsDialog::clearRequested, this, [this] {
    // Aligns the PC's transfer pointer with the terminal's PTR; the
    // terminal's memory is not touched.
    if (!m_haveStatus || m_last.PTR < 0 || Pansn->text().isEmpty()) {
      m_op.showMessage("Pre túto operáciu musí byť prístroj pripojený na PC");
      return;
    }
    if (!m_op.askYesNo("Údaje sa v prístroji nevymažú, len sa zrovnajú ukazovatele PC a prístroja\r"
                       "Od vykonania tejto operácie všetky ďalšie registrácie pracovníkov budú považované za nové\r"
                       "Želáte si to urobiť?"))
      return;
    if (!device::StoreTransferPointer(m_dir.iniFile(), m_last.productionNumber, m_last.PTR)) {
      m_op.showMessage("Nie je možné zapísať súbor: " + core::DisplayPath(m_dir.iniFile()));
      return;
    }
    m_op.showMessage("Vykonané");
  });
}

// ---------------------------------------------------------------------------
// Closing

void TForm1::closeEvent(QCloseEvent* event) {
  if (m_busy) {
    // A transfer finishes its current block and stores its pointer first;
    // the window closes when it has ended.
    m_closing = true;
    m_worker->requestStop();
    event->ignore();
    return;
  }
  // The sheet asks about unsaved corrections first; when they could not be
  // saved it stays open, and so does the program.
  if (m_sheet && !m_sheet->close()) {
    m_closing = false;  // set by a close that waited for a transfer
    restartTimer1();
    event->ignore();
    return;
  }
  m_closing = true;
  m_timer1.stop();
  m_timer2.stop();
  TrayIcon1->hide();
  if (m_stav) m_stav->close();
  if (m_calc) m_calc->close();
  m_find->close();
  m_info->hide();
  event->accept();
}

}  // namespace ui
