#pragma once
// Tfrmprnsetup: the print setup of the combined report. The clerk sets the
// header line and its alignment, page numbers, the orientation and whether
// the columns are fitted to the page width, then chooses to print, to look
// at the pages first, or to write a PDF.

#include <QDialog>

#include "print/report_pages.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace ui {

class Tfrmprnsetup : public QDialog {
  Q_OBJECT
 public:
  enum class Choice { None, Print, Preview, Pdf };

  explicit Tfrmprnsetup(const print::ReportPrintOptions& options, QWidget* parent = nullptr);

  print::ReportPrintOptions options() const;
  // What the clerk chose; None after "Zavrieť" or Escape.
  Choice choice() const { return m_choice; }

 private:
  void choose(Choice choice);

  QLineEdit* EDheader = nullptr;
  QRadioButton* RBleft = nullptr;
  QRadioButton* RBcenter = nullptr;
  QRadioButton* RBright = nullptr;
  QCheckBox* CHKpages = nullptr;
  QRadioButton* RBportrait = nullptr;
  QRadioButton* RBlandscape = nullptr;
  QCheckBox* CHKfit = nullptr;
  QPushButton* BTprint = nullptr;
  QPushButton* BTpreview = nullptr;
  QPushButton* BTpdf = nullptr;
  QPushButton* BTclose = nullptr;
  Choice m_choice = Choice::None;
};

}  // namespace ui
