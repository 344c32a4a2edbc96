#pragma once
// Tfrmtip, the tip window: a scrollable yellow text area that shows one tip
// drawn from "vortane.tip" for a context ("[DAY", "[KARTA", "[TABDOCH").
// One window lives for the whole run, and with it the one drawer whose
// previous draw is shared by all keys.

#include <QDialog>
#include <filesystem>
#include <string>

#include "core/tips.h"

class QPlainTextEdit;

namespace ui {

class TipWindow : public QDialog {
  Q_OBJECT
 public:
  explicit TipWindow(core::TipDrawer::RandomSource random = core::TipDrawer::SystemRandom(), QWidget* parent = nullptr);

  // Shows the window, then fills it with a tip of `key` from `tipsFile`.
  // A key without sections, or a draw past the last section, leaves the
  // previous text in place; an empty window always gets a tip when the key
  // has one.
  void showTip(const std::filesystem::path& tipsFile, const std::string& key);

  // Puts a drawing result into the text area (a Keep result changes nothing).
  void apply(const core::TipDrawer::Result& result);

  QString text() const;
  core::TipDrawer& drawer() { return m_drawer; }

 private:
  core::TipDrawer m_drawer;
  QPlainTextEdit* m_text = nullptr;
};

}  // namespace ui
