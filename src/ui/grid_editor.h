#pragma once
// The one path by which the operator changes grid cells: typing, menu items,
// paste, cut and clear all become a command on the window's undo stack. A
// command writes its cells through the model and then calls the window's
// follow-up (the sheet's totals, the report's row recalculation) for the
// cells it changed, on redo and on undo alike.

#include <QString>
#include <QUndoCommand>
#include <functional>
#include <vector>

#include "ui/grid_model.h"

class QUndoStack;

namespace ui {

class GridEditor {
 public:
  using FollowUp = std::function<void(const std::vector<CellChange>& changes, bool undo)>;

  GridEditor(GridModel& model, QUndoStack& stack);

  // Called after every write of a command (first run, undo, redo).
  void setFollowUp(FollowUp followUp) { m_followUp = std::move(followUp); }

  // Changes that leave a cell as it is are dropped; nothing is pushed when
  // none is left (false). `mergeKey` > 0 lets consecutive single-cell edits
  // of the same cell with the same key become one step (typing).
  bool apply(std::vector<CellChange> changes, const QString& text, int mergeKey = 0);
  // A change list setting the given cells to `text`, read from the grid.
  std::vector<CellChange> changesTo(const std::vector<std::pair<int, int>>& cells, const std::string& text) const;

  QUndoStack& stack() { return m_stack; }
  GridModel& model() { return m_model; }
  void runFollowUp(const std::vector<CellChange>& changes, bool undo) {
    if (m_followUp) m_followUp(changes, undo);
  }

 private:
  GridModel& m_model;
  QUndoStack& m_stack;
  FollowUp m_followUp;
};

class GridEditCommand : public QUndoCommand {
 public:
  GridEditCommand(GridEditor& editor, std::vector<CellChange> changes, const QString& text, int mergeKey);
  void redo() override;
  void undo() override;
  int id() const override { return m_mergeKey > 0 ? m_mergeKey : -1; }
  bool mergeWith(const QUndoCommand* other) override;
  const std::vector<CellChange>& changes() const { return m_changes; }

 private:
  GridEditor& m_editor;
  std::vector<CellChange> m_changes;
  int m_mergeKey = 0;
};

}  // namespace ui
