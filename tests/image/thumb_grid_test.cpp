// The thumbnail grid's portable half: columns that fit, hit test on cell
// edges and gaps, every navigation key, reselection after a removal, and
// the paint walk that loads visible cells, drops pictures scrolled out of
// view and removes undecodable entries.
#include <gtest/gtest.h>

#include <vector>

#include "image/thumb_grid.h"
#include "image/thumb_list.h"
#include "tests/image/test_files.h"

namespace skyloom {
namespace {

using testing_util::ScratchPath;
using testing_util::TestDataPath;
using testing_util::WriteBytes;

TEST(ThumbGridLayout, FittedColumnsSingleRowAndExtent) {
  TGridMetrics m;
  m.gridWidth = -1;
  EXPECT_EQ(GridColumns(m, 300), 2);  // (300 - 4) div 104
  EXPECT_EQ(GridColumns(m, 316), 3);
  EXPECT_EQ(GridColumns(m, 107), 0);
  // No column fits: every entry in the first row, one after the other.
  const TGridCell fifth = CellOf(m, 0, 4);
  EXPECT_EQ(fifth.row, 0);
  EXPECT_EQ(fifth.x, 4 + 4 * 104);
  EXPECT_EQ(fifth.y, 4);
  const TGridExtent row = GridExtent(m, 0, 5);
  EXPECT_EQ(row.width, 5 * 104 + 4);
  EXPECT_EQ(row.height, 108);
  // Two columns, five entries: three rows, the widest row has two cells.
  const TGridExtent grid = GridExtent(m, 2, 5);
  EXPECT_EQ(grid.width, 2 * 104 + 4);
  EXPECT_EQ(grid.height, 3 * 104 + 4);
  EXPECT_EQ(GridExtent(m, 2, 0).width, 104);
  m.single = true;
  EXPECT_EQ(CellOf(m, 2, 3).x, 4);
  EXPECT_EQ(CellOf(m, 2, 3).y, 4);
}

TEST(ThumbGridLayout, HitTestEdgesGapsAndScrolledPlane) {
  TThumbList list;
  for (int i = 0; i < 3; ++i) list.Insert(i, 0);
  list.Layout(2);
  TGridView v;
  // Cells at x 4..103 and 108..207, rows at y 4..103 and 108..207.
  EXPECT_EQ(list.HitTest(v, 4, 4), 0);
  EXPECT_EQ(list.HitTest(v, 103, 103), 0);
  EXPECT_EQ(list.HitTest(v, 104, 50), -1);  // gap between the columns
  EXPECT_EQ(list.HitTest(v, 107, 50), -1);
  EXPECT_EQ(list.HitTest(v, 108, 50), 1);
  EXPECT_EQ(list.HitTest(v, 50, 105), -1);  // gap between the rows
  EXPECT_EQ(list.HitTest(v, 50, 207), 2);
  EXPECT_EQ(list.HitTest(v, 150, 150), -1);  // beside the last entry
  EXPECT_EQ(list.HitTest(v, 50, 208), -1);   // below the last row
  v.viewX = 10;
  v.viewY = 104;
  EXPECT_EQ(list.HitTest(v, 0, 0), -1);
  EXPECT_EQ(list.HitTest(v, 0, 4), 2);
  EXPECT_EQ(list.HitTest(v, 93, 103), 2);
  EXPECT_EQ(list.HitTest(v, 94, 103), -1);
}

// Ten entries in three columns; the client 320 x 220 shows two rows (a
// page of six entries) and scrolls at most to 200 down.
struct TKeyCase {
  TGridKey key;
  int selected;
  int viewY;
  int expectTarget;  // -100: no step
  int expectViewY;
};

TEST(ThumbGridKeys, EveryKeyOfTheTable) {
  TGridMetrics m;
  m.gridWidth = 3;
  const int count = 10;
  const int page = PageEntries(m, 3, 220);
  EXPECT_EQ(page, 6);
  const TKeyCase cases[] = {
      {TGridKey::Left, 3, 0, 2, 0},
      {TGridKey::Left, 3, 104, 2, 0},       // row 0 out of view: back to its top gap
      {TGridKey::Right, 5, 0, 6, 96},      // row 2 comes in from below
      {TGridKey::Up, 7, 104, 4, 104},       // row 1 is fully visible
      {TGridKey::Up, 4, 104, 1, 0},         // bring backwards
      {TGridKey::Up, 1, 0, 0, 0},           // max(S - C, 0)
      {TGridKey::Down, 4, 0, 7, 96},       // bring forwards
      {TGridKey::Down, 8, 200, 9, 200},     // last row: the last entry
      {TGridKey::Home, 9, 200, 0, 0},
      {TGridKey::Home, -1, 0, 0, 0},        // works without a selection
      {TGridKey::End, 0, 0, 9, 200},        // clamped to the scroll limit
      {TGridKey::End, -1, 0, 9, 200},
      {TGridKey::PageDown, 1, 0, 7, 96},   // 212 + 100 + 4 - 220
      {TGridKey::PageDown, 7, 108, 13, 108},  // not clamped: SelectImage ignores it
      {TGridKey::PageUp, 7, 200, 1, 0},
      {TGridKey::PageUp, 2, 0, -4, 0},
      {TGridKey::Left, -1, 0, -100, 0},
      {TGridKey::Down, -1, 0, -100, 0},
  };
  for (const TKeyCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.key) * 100 + c.selected);
    const auto target = KeyTarget(c.key, c.selected, count, 3, page, m.gridWidth);
    EXPECT_EQ(target.value_or(-100), c.expectTarget);
    if (!target) continue;
    // SelectImage ignores an index outside the list: the old cell counts.
    const int selected = *target >= 0 && *target < count ? *target : c.selected;
    const TGridView before{0, c.viewY, 0, 200, 320, 220};
    const TGridView after = ScrollForKey(c.key, m, CellOf(m, 3, selected), before);
    EXPECT_EQ(after.viewY, c.expectViewY);
    EXPECT_EQ(after.viewX, 0);
  }
  // One single row (GridWidth 0): Up and Down step by one; the horizontal
  // offset follows once the vertical one cannot help.
  m.gridWidth = 0;
  EXPECT_EQ(KeyTarget(TGridKey::Up, 4, count, 0, 0, 0).value(), 3);
  EXPECT_EQ(KeyTarget(TGridKey::Down, 4, count, 0, 0, 0).value(), 5);
  const TGridView row{0, 0, 732, 0, 308, 220};
  EXPECT_EQ(ScrollForKey(TGridKey::Down, m, CellOf(m, 0, 5), row).viewX, 5 * 104 + 108 - 308);
  EXPECT_EQ(ScrollForKey(TGridKey::Up, m, CellOf(m, 0, 0), TGridView{400, 0, 732, 0, 308, 220}).viewX, 0);
  EXPECT_EQ(ScrollForKey(TGridKey::Right, m, CellOf(m, 0, 3), row).viewX, 3 * 104 + 108 - 308);
}

TEST(ThumbList, RemoveImageReselection) {
  TThumbList list;
  for (int i = 0; i < 5; ++i) list.Entry(list.Insert(i, 0)).imageId = 100 + i;
  EXPECT_EQ(list.Selected(), 4);  // the newest entry
  list.Select(2);
  EXPECT_TRUE(list.Remove(0));  // before the selection: same picture
  EXPECT_EQ(list.Selected(), 1);
  EXPECT_EQ(list.Entry(1).imageId, 102);
  EXPECT_TRUE(list.Remove(3));  // after it: unchanged
  EXPECT_EQ(list.Selected(), 1);
  EXPECT_TRUE(list.Remove(1));  // the selection itself: its successor
  EXPECT_EQ(list.Selected(), 1);
  EXPECT_EQ(list.Entry(1).imageId, 103);
  EXPECT_TRUE(list.Remove(1));  // the selected last entry: the new last
  EXPECT_EQ(list.Selected(), 0);
  EXPECT_FALSE(list.Remove(1));
  EXPECT_FALSE(list.Remove(-1));
  EXPECT_TRUE(list.Remove(0));
  EXPECT_EQ(list.Selected(), -1);
  list.Insert(0, 0);
  list.ClearSelection();
  EXPECT_TRUE(list.Remove(0));
  EXPECT_EQ(list.Selected(), -1);
}

class ThumbListWalk : public ::testing::Test {
 protected:
  // Visible cells are drawn; count them.
  TThumbList::TWalk Walk(int viewY) {
    TThumbList::TWalk walk;
    walk.clientWidth = 316;
    walk.clientHeight = 212;
    walk.viewY = viewY;
    walk.columns = 3;
    walk.drawCell = [this](int index, int, int) { drawn.push_back(index); };
    return walk;
  }
  std::vector<int> drawn;
};

TEST_F(ThumbListWalk, OnlyVisibleAndSelectedEntriesKeepPictures) {
  const std::string picture = TestDataPath("bmpsuite/g/pal8.bmp");  // 127 x 64
  TThumbList list;
  list.StoreType = TStoreType::ietThumb;
  for (int i = 0; i < 12; ++i) list.Entry(list.Insert(i, 0)).fileName = picture;
  list.Select(1);
  // Stored without a file or identifier: cannot be fetched again, stays.
  list.Store(11, TBitmap(5, 5, TPixelFormat::pf24bit));
  list.Entry(11).fileName.reset();
  list.Layout(3);
  list.PaintWalk(Walk(0));
  EXPECT_EQ(drawn, (std::vector<int>{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(list.PictureCount(), 7);  // rows 0 and 1 + entry 11
  ASSERT_NE(list.Entry(1).expanded, nullptr);
  EXPECT_EQ(list.Entry(1).expanded->Width(), 100);  // fitted into the cell
  EXPECT_EQ(list.Entry(1).expanded->Height(), 50);
  // Scrolled to rows 2 and 3: rows 0 and 1 give their pictures back but
  // the selected entry keeps its own.
  drawn.clear();
  list.PaintWalk(Walk(208));
  EXPECT_EQ(drawn, (std::vector<int>{6, 7, 8, 9, 10, 11}));
  EXPECT_EQ(list.PictureCount(), 7);
  EXPECT_TRUE(list.Entry(1).HasPicture());
  EXPECT_FALSE(list.Entry(0).HasPicture());
  // Everything out of view: the selected one and the unfetchable one stay.
  list.PaintWalk(Walk(5000));
  EXPECT_EQ(list.PictureCount(), 2);
  EXPECT_TRUE(list.Entry(11).HasPicture());
}

// As the browser fills the grid: each new entry is selected before it is
// named, so its picture first arrives through the paint walk.
TEST_F(ThumbListWalk, SelectedEntryFetchedByTheWalkIsHeldExpanded) {
  TThumbList list;
  list.StoreType = TStoreType::ietThumb;
  for (int i = 0; i < 2; ++i) list.Entry(list.Insert(i, 0)).fileName = TestDataPath("bmpsuite/g/pal8.bmp");
  list.Layout(3);
  list.PaintWalk(Walk(0));
  ASSERT_NE(list.Entry(1).expanded, nullptr);
  EXPECT_EQ(list.Entry(1).expandCount, 1);
  EXPECT_EQ(list.Entry(0).expanded, nullptr);
  EXPECT_FALSE(list.Entry(0).stored.Empty());
  // Once released it rests packed again.
  list.ClearSelection();
  EXPECT_EQ(list.Entry(1).expanded, nullptr);
  EXPECT_FALSE(list.Entry(1).stored.Empty());
  // Selecting an entry without a picture fetches it for that one hold.
  list.DropImageData(0);
  list.Select(0);
  EXPECT_EQ(list.Entry(0).expandCount, 1);
  list.ClearSelection();
  EXPECT_EQ(list.Entry(0).expanded, nullptr);
}

TEST_F(ThumbListWalk, UndecodableFilesStayEmptyOrAreRemoved) {
  const std::string good = TestDataPath("bmpsuite/g/pal8.bmp");
  const std::string bad = ScratchPath("grid_corrupt.bmp");
  WriteBytes(bad, {'B', 'M', 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  TThumbList list;
  for (const std::string& path : {good, bad, good, ScratchPath("grid_missing.png"), good})
    list.Entry(list.Insert(list.Count(), 0)).fileName = path;
  list.ClearSelection();
  list.Layout(3);
  // Kept: drawn empty, and tried again at the next walk.
  EXPECT_FALSE(list.PaintWalk(Walk(0)));
  EXPECT_EQ(drawn, (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(list.PictureCount(), 3);
  EXPECT_FALSE(list.Entry(3).HasPicture());
  // Removed: the walk starts over on the shortened list.
  drawn.clear();
  list.RemoveCorrupted = true;
  EXPECT_TRUE(list.PaintWalk(Walk(0)));
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.PictureCount(), 3);
  EXPECT_EQ(drawn, (std::vector<int>{0, 0, 1, 0, 1, 2}));  // two restarts
  EXPECT_EQ(list.Entry(2).cell.x, 4 + 2 * 104);  // laid out again
}

}  // namespace
}  // namespace skyloom
