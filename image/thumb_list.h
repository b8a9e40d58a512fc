#pragma once
// The entries of the thumbnail grid and the pictures they keep. An entry
// holds nothing, a packed picture at rest (TDibBlock) or, while someone
// uses it, an expanded raster. Pictures named by file or identifier are
// fetched when their cell is painted and given back when it scrolls out of
// view, so only visible and selected entries hold pictures.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "image/bitmap.h"
#include "image/colour.h"
#include "image/dib_block.h"
#include "image/image_io.h"
#include "image/thumb_grid.h"

namespace skyloom {

enum class TStoreType { ietNormal, ietThumb };

struct TThumbEntry {
  TDibBlock stored;
  std::unique_ptr<TBitmap> expanded;
  int expandCount = 0;
  TGridCell cell;
  std::uint32_t background = 0;  // 0x00BBGGRR, or a system colour
  std::optional<std::string> fileName;
  int imageId = -1;
  int delayTime = 0;

  bool HasPicture() const { return !stored.Empty() || expanded; }
  bool Reloadable() const { return imageId >= 0 || fileName.has_value(); }
};

using TImageIDRequestEvent = std::function<void(void* sender, int id, TBitmap*& bitmap)>;

class TThumbList {
 public:
  TThumbList();

  int Count() const { return static_cast<int>(entries_.size()); }
  bool Valid(int index) const { return index >= 0 && index < Count(); }
  const TThumbEntry& Entry(int index) const { return entries_[index]; }
  TThumbEntry& Entry(int index) { return entries_[index]; }
  // Entries holding a picture, stored or expanded.
  int PictureCount() const;

  // An empty entry at index (appended when index >= count), selected
  // without notice; answers its index.
  int Insert(int index, std::uint32_t background);
  // False for an index outside the list. Reselects: an entry before the
  // selection keeps the same picture selected; the removed selected entry
  // hands the selection to the entry taking its place, or the new last.
  bool Remove(int index);
  void Clear();

  int Selected() const { return selected_; }
  // Releases the old selection and holds the new one expanded; ignored for
  // an index outside the list.
  void Select(int index);
  void ClearSelection();

  // Replaces the entry's picture by a copy of raster, fitted into the cell
  // with ietThumb; the selected entry keeps it expanded.
  void Store(int index, const TBitmap& raster);
  TBitmap* AcquireBitmap(int index);
  void ReleaseBitmap(int index);
  void DropImageData(int index);
  // Fetches the entry's picture from its identifier or file; false when
  // the file could not be read or decoded.
  bool LoadEntry(int index);

  // Places every entry's cell.
  void Layout(int columns);
  // The first entry, in list order, whose cell holds the client point.
  int HitTest(const TGridView& view, int x, int y) const;

  // The paint walk: the first index, the entries to walk and per visible
  // cell a drawing call; pictures of cells out of view are dropped unless
  // selected, expanded or not reloadable. With RemoveCorrupted an entry
  // that fails to load is removed and the walk starts over. Answers
  // whether entries were removed.
  struct TWalk {
    int first = 0;
    int clientWidth = 0;
    int clientHeight = 0;
    int viewX = 0;
    int viewY = 0;
    int columns = 0;
    std::function<void(int index, int left, int top)> drawCell;
    std::function<void(int percent, int index)> progress;
  };
  bool PaintWalk(const TWalk& walk);

  TGridMetrics Metrics;
  TStoreType StoreType = TStoreType::ietNormal;
  bool RemoveCorrupted = false;
  void* Sender = nullptr;
  TImageIDRequestEvent OnImageIDRequest;
  TProgressEvent OnIOProgress;
  // Turns a colour that may name a system colour into a plain one.
  std::function<TColor(std::uint32_t)> ResolveColor;

 private:
  bool LoadFromFile(TThumbEntry& entry, TBitmap& picture);
  bool WalkOnce(const TWalk& walk);

  std::vector<TThumbEntry> entries_;
  int selected_ = -1;
  TImageIO loader_;
};

}  // namespace skyloom
