#include "ui/grid_editor.h"

#include <QUndoStack>

namespace ui {

GridEditor::GridEditor(GridModel& model, QUndoStack& stack) : m_model(model), m_stack(stack) {}

bool GridEditor::apply(std::vector<CellChange> changes, const QString& text, int mergeKey) {
  core::Grid* grid = m_model.grid();
  if (grid == nullptr) return false;
  std::vector<CellChange> real;
  real.reserve(changes.size());
  for (CellChange& c : changes) {
    if (!grid->contains(c.col, c.row)) continue;
    c.before = grid->cell(c.col, c.row);
    if (c.before != c.after) real.push_back(std::move(c));
  }
  if (real.empty()) return false;
  m_stack.push(new GridEditCommand(*this, std::move(real), text, mergeKey));
  return true;
}

std::vector<CellChange> GridEditor::changesTo(const std::vector<std::pair<int, int>>& cells,
                                              const std::string& text) const {
  std::vector<CellChange> out;
  const core::Grid* grid = m_model.grid();
  if (grid == nullptr) return out;
  for (const auto& [col, row] : cells) out.push_back({col, row, grid->cell(col, row), text});
  return out;
}

GridEditCommand::GridEditCommand(GridEditor& editor, std::vector<CellChange> changes, const QString& text, int mergeKey)
    : QUndoCommand(text), m_editor(editor), m_changes(std::move(changes)), m_mergeKey(mergeKey) {}

void GridEditCommand::redo() {
  m_editor.model().writeCells(m_changes, false);
  m_editor.runFollowUp(m_changes, false);
}

void GridEditCommand::undo() {
  m_editor.model().writeCells(m_changes, true);
  m_editor.runFollowUp(m_changes, true);
}

bool GridEditCommand::mergeWith(const QUndoCommand* other) {
  const auto* next = dynamic_cast<const GridEditCommand*>(other);
  if (next == nullptr || next->m_mergeKey != m_mergeKey || m_changes.size() != 1 || next->m_changes.size() != 1)
    return false;
  const CellChange& a = m_changes.front();
  const CellChange& b = next->m_changes.front();
  if (a.col != b.col || a.row != b.row) return false;
  m_changes.front().after = b.after;
  return true;
}

}  // namespace ui
