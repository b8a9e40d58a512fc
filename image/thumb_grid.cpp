#include "image/thumb_grid.h"

#include <algorithm>

namespace skyloom {
namespace {

TGridView Clamped(TGridView v) {
  v.viewX = std::clamp(v.viewX, 0, std::max(v.maxX, 0));
  v.viewY = std::clamp(v.viewY, 0, std::max(v.maxY, 0));
  return v;
}

bool FullyVisible(const TGridMetrics& m, const TGridCell& cell, const TGridView& v) {
  return CellVisibility(m, cell, v) == 2;
}

// The cell's far edges to the client's far edges: vertical first, then
// horizontal when that was not enough.
TGridView BringForwards(const TGridMetrics& m, const TGridCell& cell, TGridView v) {
  if (FullyVisible(m, cell, v)) return v;
  v.viewY = cell.y + m.thumbHeight + m.vertBorder - v.clientHeight;
  v = Clamped(v);
  if (FullyVisible(m, cell, v)) return v;
  v.viewX = cell.x + m.thumbWidth + m.horizBorder - v.clientWidth;
  return Clamped(v);
}

TGridView BringBackwards(const TGridMetrics& m, const TGridCell& cell, TGridView v) {
  if (FullyVisible(m, cell, v)) return v;
  v.viewY = cell.y - m.vertBorder;
  v = Clamped(v);
  if (FullyVisible(m, cell, v)) return v;
  v.viewX = cell.x - m.horizBorder;
  return Clamped(v);
}

}  // namespace

int GridColumns(const TGridMetrics& m, int clientWidth) {
  if (m.gridWidth != -1) return m.gridWidth;
  const int step = m.horizBorder + m.thumbWidth;
  return step > 0 ? (clientWidth - m.horizBorder) / step : 0;
}

TGridCell CellOf(const TGridMetrics& m, int columns, int index) {
  TGridCell cell;
  if (!m.single) {
    cell.column = columns > 0 ? index % columns : index;
    cell.row = columns > 0 ? index / columns : 0;
  }
  cell.x = m.horizBorder + cell.column * (m.thumbWidth + m.horizBorder);
  cell.y = m.vertBorder + cell.row * (m.thumbHeight + m.vertBorder);
  return cell;
}

TGridExtent GridExtent(const TGridMetrics& m, int columns, int count) {
  if (count <= 0) return {m.thumbWidth + m.horizBorder, m.thumbHeight + m.vertBorder};
  // The largest X comes from the widest row, the largest Y from the last.
  const int widest = m.single ? 0 : (columns > 0 ? std::min(count, columns) : count) - 1;
  const TGridCell right = CellOf(m, columns, widest);
  const TGridCell last = CellOf(m, columns, count - 1);
  return {right.x + m.thumbWidth + m.horizBorder, last.y + m.thumbHeight + m.vertBorder};
}

bool CellContains(const TGridMetrics& m, const TGridCell& cell, const TGridView& v, int x, int y) {
  const int left = cell.x - v.viewX;
  const int top = cell.y - v.viewY;
  return x >= left && x <= left + m.thumbWidth - 1 && y >= top && y <= top + m.thumbHeight - 1;
}

int CellVisibility(const TGridMetrics& m, const TGridCell& cell, const TGridView& v) {
  const int left = cell.x - v.viewX;
  const int top = cell.y - v.viewY;
  const int right = left + m.thumbWidth;  // exclusive
  const int bottom = top + m.thumbHeight;
  if (right <= 0 || bottom <= 0 || left >= v.clientWidth || top >= v.clientHeight) return 0;
  if (left >= 0 && top >= 0 && right <= v.clientWidth && bottom <= v.clientHeight) return 2;
  return 1;
}

int PageEntries(const TGridMetrics& m, int columns, int clientHeight) {
  const int step = m.vertBorder + m.thumbHeight;
  return step > 0 ? columns * ((clientHeight - m.vertBorder) / step) : 0;
}

std::optional<int> KeyTarget(TGridKey key, int selected, int count, int columns, int page, int gridWidth) {
  if (key == TGridKey::Home) return 0;
  if (key == TGridKey::End) return count - 1;
  if (selected < 0) return std::nullopt;
  switch (key) {
    case TGridKey::Left: return selected - 1;
    case TGridKey::Right: return selected + 1;
    case TGridKey::Up: return gridWidth != 0 ? std::max(selected - columns, 0) : selected - 1;
    case TGridKey::Down: return gridWidth != 0 ? std::min(selected + columns, count - 1) : selected + 1;
    case TGridKey::PageDown: return selected + page;
    case TGridKey::PageUp: return selected - page;
    default: return std::nullopt;
  }
}

TGridView ScrollForKey(TGridKey key, const TGridMetrics& m, const TGridCell& cell, TGridView v) {
  switch (key) {
    case TGridKey::Left:
    case TGridKey::Right:
    case TGridKey::Home: {
      if (FullyVisible(m, cell, v)) return v;
      if (key == TGridKey::Home) {
        v.viewX = v.viewY = 0;
      } else if (key == TGridKey::Left) {
        v.viewX = cell.x - m.horizBorder;
        v.viewY = cell.y - m.vertBorder;
      } else {
        v.viewX = cell.x + m.thumbWidth + m.horizBorder - v.clientWidth;
        v.viewY = cell.y + m.thumbHeight + m.vertBorder - v.clientHeight;
      }
      return Clamped(v);
    }
    case TGridKey::Up:
    case TGridKey::PageUp: return BringBackwards(m, cell, v);
    default: return BringForwards(m, cell, v);
  }
}

}  // namespace skyloom
