#pragma once
// Tfrmabout, the about box: the program and the supplier's contact block of
// the PARTNER section. A click on the web address asks the desktop to open it.

#include <QDialog>
#include <QUrl>
#include <functional>

#include "core/program_settings.h"

class QLabel;

namespace ui {

class AboutDialog : public QDialog {
  Q_OBJECT
 public:
  explicit AboutDialog(const core::PartnerInfo& partner, QWidget* parent = nullptr);

  void setPartner(const core::PartnerInfo& partner);

  // What a click on the web address does; false when the text names nothing
  // that can be opened (the default "-----").
  bool openWww();
  // The address as the desktop is asked to open it (empty when none).
  static QUrl WwwUrl(const std::string& text);

  // Replaces the desktop's opening (tests record it).
  void setUrlOpener(std::function<void(const QUrl&)> opener) { m_urlOpener = std::move(opener); }

 private:
  std::string m_www;
  std::function<void(const QUrl&)> m_urlOpener;
  QLabel* m_name = nullptr;
  QLabel* m_location = nullptr;
  QLabel* m_tel = nullptr;
  QLabel* m_email = nullptr;
  QLabel* m_wwwLabel = nullptr;
};

}  // namespace ui
