// Tfrmzdrep's commands that run over the whole table: the computation, the
// files, the export, printing and find.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPdfWriter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <atomic>
#include <thread>

#include "core/path_text.h"
#include "export/document_export.h"
#include "export/grid_export.h"
#include "robot/report_compute.h"
#include "robot/report_files.h"
#include "ui/accessibility.h"
#include "ui/grid_view.h"
#include "ui/progress_window.h"
#include "ui/report_print_setup.h"
#include "ui/report_window.h"

namespace ui {

namespace {

// How often a running computation lets the window repaint and take "Zrušiť".
constexpr int kComputeProgressMs = 40;
constexpr std::string_view kFilteredSave =
    "Nie je možné uložit výkaz, ak máte vybrané oddelenie\rIde o bezpecnost Vašich údajov\rZ tohto dôvodu "
    "nastavujem Všetky oddelenia";
constexpr std::string_view kPrintFailed = "Tlač sa nepodarila: tlačiareň alebo súbor nie je dostupný";
const QString kAllDepartments = QStringLiteral("* Všetky");
const QString kReportFilter = QStringLiteral("Združený report (*.zdr)|*.ZDR");
const QString kExportFilter =
    QStringLiteral("Microsoft Excel (*.xlsx)|*.xlsx|CSV text (*.csv)|*.csv|Internet HTML (*.html)|*.html");
const char* const kExportSuffix[] = {"xlsx", "csv", "html"};

std::string S(const QString& s) { return s.toStdString(); }
QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

// ---------------------------------------------------------------------------
// Progress of the long outputs (print, preview, PDF, export): the shared
// progress window, modal over this one, with "Zrušiť"; the event loop gets a
// turn at most every 40 ms, so the window repaints and hears the button.

class Tfrmzdrep::OutputProgress {
 public:
  OutputProgress(Tfrmzdrep& window, const QString& caption) : m_window(window), m_info(*window.m_info) {
    m_parent = m_info.parentWidget();
    m_flags = m_info.windowFlags();
    if (m_parent != &m_window) m_info.setParent(&m_window, m_flags);
    m_modality = m_info.windowModality();
    m_info.setWindowModality(Qt::ApplicationModal);
    m_connection = QObject::connect(&m_info, &Tfrminfo::stopRequested, &m_window, [this] { m_stop = true; });
    m_info.ShowProgress(caption);
    m_sinceUpdate.start();
    QApplication::processEvents(QEventLoop::AllEvents);
  }
  ~OutputProgress() {
    QObject::disconnect(m_connection);
    m_info.hide();
    m_info.setWindowModality(m_modality);
    if (m_parent != &m_window) m_info.setParent(m_parent, m_flags);
  }
  // Before step `done` of `total`; false once the clerk asked to stop.
  bool step(int done, int total, const QString& text) {
    if (done == 0 || m_sinceUpdate.elapsed() >= kComputeProgressMs) {
      m_sinceUpdate.restart();
      m_info.setBar(done, total);
      m_info.setText(text);
      QApplication::processEvents(QEventLoop::AllEvents);
    }
    return !m_stop;
  }
  bool stopped() const { return m_stop; }
  void setText(const QString& text) { m_info.setText(text); }

 private:
  Tfrmzdrep& m_window;
  Tfrminfo& m_info;
  QWidget* m_parent = nullptr;
  Qt::WindowFlags m_flags;
  Qt::WindowModality m_modality = Qt::NonModal;
  QMetaObject::Connection m_connection;
  QElapsedTimer m_sinceUpdate;
  bool m_stop = false;
};

// ---------------------------------------------------------------------------
// Computation

void Tfrmzdrep::BTmakeClick() {
  if (!a_make->isEnabled() || m_computing) return;
  runComputation(true);
}

void Tfrmzdrep::VypracujDochadzku() {
  if (!a_f9->isEnabled() || m_computing) return;
  runComputation(false);
}

robot::ReportRun Tfrmzdrep::runComputation(bool go) {
  m_computing = true;
  m_closeAfterComputation = false;
  if (m_ctx.computationRunning) m_ctx.computationRunning(true);
  // The progress window takes "Zrušiť" and Escape while this modal window
  // runs, and keeps every other input away from the table being filled.
  QWidget* infoParent = m_info->parentWidget();
  const Qt::WindowFlags infoFlags = m_info->windowFlags();
  if (infoParent != this) m_info->setParent(this, infoFlags);
  const Qt::WindowModality infoModality = m_info->windowModality();
  m_info->setWindowModality(Qt::ApplicationModal);
  const auto stopConnection = connect(m_info, &Tfrminfo::stopRequested, this, [this] { m_stop = true; });
  bool shown = false;
  int flushedRows = 0;
  QElapsedTimer sinceUpdate;
  sinceUpdate.start();
  auto progress = [&](int row, int rows) {
    if (!shown) {
      // Asked after the overwrite question, which may end everything first.
      a_save->setEnabled(true);
      m_info->ShowProgress(QStringLiteral("Výpočet"));
      shown = true;
    }
    if (row > 1 && row < rows && sinceUpdate.elapsed() < kComputeProgressMs) return;
    sinceUpdate.restart();
    m_info->setBar(row, rows);
    m_info->setText(QStringLiteral("Výpočet riadku:") + QString::number(row));
    if (row - 1 > flushedRows) {
      m_model.cellsChanged(robot::rcol::PersonalNumber, flushedRows + 1, m_report.grid.columnCount() - 1, row - 1);
      flushedRows = row - 1;
    }
    QApplication::processEvents(QEventLoop::AllEvents);
  };
  const robot::ReportRun run = go ? robot::GoComputeReport(m_report, env(), m_stop, progress)
                                  : robot::ComputeReport(m_report, env(), m_stop, progress);
  disconnect(stopConnection);
  m_info->hide();
  m_info->setWindowModality(infoModality);
  if (infoParent != this) m_info->setParent(infoParent, infoFlags);
  m_computing = false;
  if (m_ctx.computationRunning) m_ctx.computationRunning(false);
  if (run != robot::ReportRun::Declined) {
    m_computedThisShowing = true;
    a_save->setEnabled(true);
    m_undo.clear();
    m_model.cellsChanged(0, 0, m_report.grid.columnCount() - 1, m_report.grid.rowCount() - 1);
    m_model.decorationChanged();
    layoutGrid();
    updateStatusTexts();
    applyFilter();
    if (m_selectedRow >= 1) selectCell(m_selectedCol, m_selectedRow);
  }
  if (m_closeAfterComputation) close();
  return run;
}

// ---------------------------------------------------------------------------
// Files

void Tfrmzdrep::A_FileSaveExecute() {
  if (CMBoddel->currentIndex() > 0) m_ctx.op.showMessage(std::string(kFilteredSave));
  selectDepartment(kAllDepartments);
  const FileRequest request =
      FileRequestIn(m_ctx.dir.dir, QStringLiteral("Uložiť"), kReportFilter, QStringLiteral("zdr"));
  const auto choice = m_ctx.files.saveFile(this, request);
  if (!choice || choice->path.isEmpty()) return;
  QString path = choice->path;
  if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".zdr");
  grid1->storeColumnWidths();
  std::string error;
  const std::filesystem::path file = core::PathFromUtf8(S(path));
  if (!robot::WriteReportFile(file, m_report.grid, &error)) {
    m_ctx.op.showMessage(error.empty() ? exports::CannotWriteMessage(file) : error);
    return;
  }
  if (!m_report.openedFile.empty()) {
    // The table now lives in the file it was saved to.
    m_report.openedFile = file;
    m_undo.setClean();
    m_listChanged = false;
    updateSaveForOpenedFile();
  }
}

void Tfrmzdrep::BTopenClick() {
  const FileRequest request =
      FileRequestIn(m_ctx.dir.dir, QStringLiteral("Otvoriť"), kReportFilter, QStringLiteral("zdr"));
  const auto choice = m_ctx.files.openFile(this, request);
  if (!choice || choice->path.isEmpty()) return;
  // The table shown is put away first, as closing would: the period's own
  // table in its period file, an opened one in its file if the clerk wants.
  if (!closeStep()) return;
  const std::filesystem::path file = core::PathFromUtf8(S(choice->path));
  if (!robot::OpenReportFile(m_report, file, m_ctx.op)) return;
  const auto period = robot::PeriodOfOpenedReport(file, m_report.grid, m_ctx.dir.holidayFile(), m_ctx.messages,
                                                  m_ctx.op, m_period.month, m_period.year);
  m_openedPeriodKnown = period.has_value();
  m_openedPeriodRefused = false;
  m_listChanged = false;
  if (period) {
    m_report.month = period->month;
    m_report.year = period->year;
    m_report.days = period->days;
    m_report.statusWorkingDays = "PD=" + std::to_string(period->days.workingDays);
    m_report.statusHolidays = "Sviatky=" + std::to_string(period->days.holidays);
    updateStatusTexts();
  }
  // Another period's table: its rows no longer follow this period's list
  // and log, so it is not computed again until the window is shown anew.
  a_make->setEnabled(false);
  a_f9->setEnabled(false);
  a_save->setEnabled(false);
  m_undo.clear();
  m_model.reload();
  layoutGrid();
  setCaption(m_report.caption);
  applyFilter();
  m_selectedCol = 0;
  m_selectedRow = 0;
  if (m_report.dataRows() > 0) selectCell(robot::rcol::PersonalNumber, 1);
}

void Tfrmzdrep::ExportTabulky() {
  const FileRequest request =
      FileRequestIn(m_ctx.dir.dir, QStringLiteral("EXPORT tabulky"), kExportFilter, QStringLiteral("xlsx"));
  const auto choice = m_ctx.files.saveFile(this, request);
  if (!choice || choice->path.isEmpty()) return;
  QString path = choice->path;
  std::filesystem::path file = core::PathFromUtf8(S(path));
  auto format = exports::FormatFromExtension(file);
  if (!format) {
    // A name without a known extension gets the chosen kind's.
    const int filter = std::clamp(choice->filterIndex, 1, 3);
    path += QLatin1Char('.') + QLatin1String(kExportSuffix[filter - 1]);
    file = core::PathFromUtf8(S(path));
    format = exports::FormatFromExtension(file);
  }
  grid1->storeColumnWidths();
  // The workbook of a large report takes seconds: it is written from a copy
  // of the table on a worker thread into a file beside the chosen one, and
  // takes the chosen name only when it is complete and the clerk did not
  // stop it, so the window stays responsive and "Zrušiť" leaves no file.
  std::string message;
  const exports::DocumentFormat chosen = *format == exports::ExportFormat::Xlsx  ? exports::DocumentFormat::Xlsx
                                         : *format == exports::ExportFormat::Csv ? exports::DocumentFormat::Csv
                                                                                 : exports::DocumentFormat::Html;
  bool ok = false;
  bool stopped = false;
  const std::filesystem::path part =
      file.parent_path() / core::PathFromUtf8("~" + core::Utf8FromPath(file.stem()) + ".part" +
                                              core::Utf8FromPath(file.extension()));
  {
    OutputProgress progress(*this, QStringLiteral("EXPORT tabulky"));
    progress.setText(QStringLiteral("Zapisuje sa ") + Q(core::DisplayPath(file)));
    std::atomic<bool> finished{false};
    std::thread worker([&, grid = m_report.grid, month = m_report.month, year = m_report.year] {
      ok = exports::WriteDocument(part, exports::ReportDocument(grid, month, year), chosen, &message);
      finished = true;
    });
    QEventLoop wait;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &wait, [&] {
      if (finished || progress.stopped()) wait.quit();
    });
    poll.start(20);
    if (!finished) wait.exec();
    // A stopped export still ends its write, which cannot be cut short.
    worker.join();
    stopped = progress.stopped();
  }
  std::error_code ec;
  if (stopped || !ok) {
    std::filesystem::remove(part, ec);
  } else {
    std::filesystem::rename(part, file, ec);
    if (ec) {
      std::filesystem::remove(part, ec);
      ok = false;
      message = exports::CannotWriteMessage(file);
    }
  }
  if (stopped) return;
  if (!ok) {
    if (message.empty())
      message = *format == exports::ExportFormat::Xlsx ? std::string(exports::kXlsxFailedMessage)
                                                       : exports::CannotWriteMessage(file);
    m_ctx.op.showMessage(message);
  }
}

// ---------------------------------------------------------------------------
// Printing

bool Tfrmzdrep::paintReport(QPagedPaintDevice& device) {
  OutputProgress progress(*this, QStringLiteral("Tlač"));
  const auto outcome =
      print::PrintReport(device, m_report.grid, hiddenRows(), m_printOptions, [&progress](int page, int pages) {
        return progress.step(page, pages,
                             QStringLiteral("Strana %1 z %2").arg(page + 1).arg(pages));
      });
  if (!outcome.ok && !outcome.cancelled) m_ctx.op.showMessage(std::string(kPrintFailed));
  return !outcome.cancelled;
}

void Tfrmzdrep::BTprintClick() {
  if (m_printOptions.headerText.isEmpty()) {
    m_printOptions.headerText = QStringLiteral("Výkaz dochádzky %1/%2").arg(m_report.month).arg(m_report.year);
  }
  if (!m_printSetup) return;
  const auto chosen = m_printSetup(m_printOptions);
  if (!chosen) return;
  m_printOptions = chosen->second;
  grid1->storeColumnWidths();
  const auto choice = static_cast<Tfrmprnsetup::Choice>(chosen->first);
  const QString docName = QStringLiteral("Vortane ") + Q(m_report.caption);
  switch (choice) {
    case Tfrmprnsetup::Choice::Print:
      m_printer.setDocName(docName);
      print::ApplyReportPageLayout(m_printer, m_printOptions);
      if (m_printDialog && m_printDialog(m_printer)) paintReport(m_printer);
      return;
    case Tfrmprnsetup::Choice::Preview:
      m_printer.setDocName(docName);
      print::ApplyReportPageLayout(m_printer, m_printOptions);
      if (m_previewRunner) m_previewRunner(m_printer, [this](QPrinter* p) { paintReport(*p); });
      return;
    case Tfrmprnsetup::Choice::Pdf: {
      const FileRequest request = FileRequestIn(m_ctx.dir.dir, QStringLiteral("Výkaz do PDF"),
                                                QStringLiteral("PDF  *.pdf|*.pdf"), QStringLiteral("pdf"));
      const auto file = m_ctx.files.saveFile(this, request);
      if (!file || file->path.isEmpty()) return;
      QString path = file->path;
      if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".pdf");
      bool complete = true;
      {
        QPdfWriter writer(path);
        writer.setTitle(docName);
        writer.setResolution(300);
        print::ApplyReportPageLayout(writer, m_printOptions);
        complete = paintReport(writer);
      }
      // A stopped PDF would look like the whole report: it is not kept.
      if (!complete) QFile::remove(path);
      return;
    }
    case Tfrmprnsetup::Choice::None:
      return;
  }
}

// ---------------------------------------------------------------------------
// Find

void Tfrmzdrep::showFind() {
  if (!m_find) {
    auto* dialog = new QDialog(this);
    dialog->setObjectName(QStringLiteral("FindDialog1"));
    dialog->setWindowTitle(QStringLiteral("Hľadať"));
    auto* label = new QLabel(QStringLiteral("&Hľadaný text:"), dialog);
    m_findText = new QLineEdit(dialog);
    m_findText->setObjectName(QStringLiteral("EDfind"));
    NameLikeLabel(label, m_findText);
    m_findCase = new QCheckBox(QStringLiteral("&Rozlišovať veľké a malé písmená"), dialog);
    m_findCase->setObjectName(QStringLiteral("CHKcase"));
    auto* next = new QPushButton(QStringLiteral("Hľadať ď&alej"), dialog);
    next->setObjectName(QStringLiteral("BTfindnext"));
    next->setDefault(true);
    auto* close = new QPushButton(QStringLiteral("&Zavrieť"), dialog);
    close->setObjectName(QStringLiteral("BTfindclose"));
    connect(next, &QPushButton::clicked, this, [this] { findNext(m_findText->text(), m_findCase->isChecked()); });
    connect(close, &QPushButton::clicked, dialog, &QDialog::close);
    auto* layout = new QVBoxLayout(dialog);
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(m_findText, 1);
    layout->addLayout(row);
    layout->addWidget(m_findCase);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(next);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    m_find = dialog;
  }
  m_find->show();
  m_find->raise();
  m_find->activateWindow();
  m_findText->setFocus();
  m_findText->selectAll();
}

bool Tfrmzdrep::findNext(const QString& text, bool caseSensitive) {
  const core::Grid& grid = m_report.grid;
  const int cols = grid.columnCount();
  const int rows = grid.rowCount();
  if (text.isEmpty() || rows < 2 || cols < 1) return false;
  // The first selected cell; a hit in the name column is remembered, since
  // the name column is the row header and holds no cell of the view.
  int col = 0;
  int row = 1;
  bool fromStart = true;
  if (m_findRow >= 1 && m_selectedCol == m_findCol && m_selectedRow == m_findRow) {
    col = m_findCol;
    row = m_findRow;
    fromStart = false;
  } else if (const auto rect = grid1->selectionRect()) {
    col = (*rect)[0];
    row = (*rect)[1];
    fromStart = false;
  } else if (const auto current = grid1->currentCell()) {
    col = current->first;
    row = current->second;
    fromStart = false;
  }
  if (!fromStart) {
    if (++col >= cols) {
      col = 0;
      if (++row >= rows) row = 1;
    }
  }
  const QString wanted = caseSensitive ? text : text.toUpper();
  for (int r = row; r < rows; ++r) {
    for (int c = r == row ? col : 0; c < cols; ++c) {
      const std::string& cell = grid.cell(c, r);
      if (cell.empty()) continue;
      QString value = Q(cell);
      if (!caseSensitive) value = value.toUpper();
      if (!value.contains(wanted)) continue;
      if (grid1->isRowHidden(r - 1)) continue;
      m_findCol = c;
      m_findRow = r;
      if (c == 0) {
        grid1->selectCell(1, r);
        grid1->selectRow(r - 1);
      } else {
        grid1->selectCell(c, r);
      }
      selectCell(c, r);
      return true;
    }
  }
  return false;
}

}  // namespace ui
