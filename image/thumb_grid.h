#pragma once
// Geometry of the thumbnail grid: where each cell lies in the unscrolled
// plane, which cell a point hits, how much of a cell the client shows, and
// where the selection moves for each navigation key.
#include <optional>

namespace skyloom {

struct TGridMetrics {
  int thumbWidth = 100;
  int thumbHeight = 100;
  int horizBorder = 4;
  int vertBorder = 4;
  int bottomGap = 0;
  int upperGap = 0;
  int gridWidth = 0;    // columns; -1 as many as fit, 0 one single row
  bool single = false;  // every entry on one place (one-at-a-time display)
};

struct TGridCell {
  int x = 0;
  int y = 0;
  int row = 0;
  int column = 0;
};

struct TGridExtent {
  int width = 0;
  int height = 0;
};

// The scroll offsets, their limits and the client size.
struct TGridView {
  int viewX = 0;
  int viewY = 0;
  int maxX = 0;
  int maxY = 0;
  int clientWidth = 0;
  int clientHeight = 0;
};

// GridWidth, or with -1 the columns that fit: (client - border) div
// (border + thumb). Zero or less means one single row.
int GridColumns(const TGridMetrics& m, int clientWidth);

// The cell of the index-th entry in list order.
TGridCell CellOf(const TGridMetrics& m, int columns, int index);

// The plane the cells cover, gaps after the last row and column included.
TGridExtent GridExtent(const TGridMetrics& m, int columns, int count);

// Whether the client point lies on the cell (both edges inclusive).
bool CellContains(const TGridMetrics& m, const TGridCell& cell, const TGridView& v, int x, int y);

// 0 outside the client, 2 wholly inside, 1 partly.
int CellVisibility(const TGridMetrics& m, const TGridCell& cell, const TGridView& v);

// Entries of one page: columns x the rows that fit the client height.
int PageEntries(const TGridMetrics& m, int columns, int clientHeight);

enum class TGridKey { Left, Right, Up, Down, Home, End, PageUp, PageDown };

// The index a key asks the selection to take, before validation (Page keys
// are not clamped); none when the key does nothing (no selection).
std::optional<int> KeyTarget(TGridKey key, int selected, int count, int columns, int page, int gridWidth);

// The offsets after a key moved the selection to `cell`, each clamped into
// 0 .. its limit.
TGridView ScrollForKey(TGridKey key, const TGridMetrics& m, const TGridCell& cell, TGridView v);

}  // namespace skyloom
