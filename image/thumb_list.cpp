#include "image/thumb_list.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <utility>

#include "image/thumb_fit.h"
#include "image/thumbnail_load.h"

namespace skyloom {

TThumbList::TThumbList() : ResolveColor([](std::uint32_t c) { return static_cast<TColor>(c & 0x00FFFFFFu); }) {}

int TThumbList::PictureCount() const {
  return static_cast<int>(
      std::count_if(entries_.begin(), entries_.end(), [](const TThumbEntry& e) { return e.HasPicture(); }));
}

int TThumbList::Insert(int index, std::uint32_t background) {
  ClearSelection();
  const int at = std::clamp(index, 0, Count());
  TThumbEntry entry;
  entry.background = background;
  entries_.insert(entries_.begin() + at, std::move(entry));
  Select(at);
  return at;
}

bool TThumbList::Remove(int index) {
  if (!Valid(index)) return false;
  DropImageData(index);
  entries_.erase(entries_.begin() + index);
  if (index > selected_) return true;
  if (index < selected_) {
    --selected_;  // the same picture, one place up
    return true;
  }
  // The selection itself went (its picture with it): the entry that took
  // its place, or the new last one.
  selected_ = -1;
  Select(std::min(index, Count() - 1));
  return true;
}

void TThumbList::Clear() {
  // Every picture goes: nothing to pack for the selection first.
  selected_ = -1;
  entries_.clear();
}

void TThumbList::Select(int index) {
  if (!Valid(index)) return;
  // Already held: releasing and acquiring again would pack and expand it.
  if (index == selected_ && entries_[index].expanded) return;
  ClearSelection();
  // Held before it counts as selected, so a picture fetched on the way is
  // expanded once, for this hold.
  AcquireBitmap(index);
  selected_ = index;
}

void TThumbList::ClearSelection() {
  if (selected_ >= 0 && Valid(selected_)) ReleaseBitmap(selected_);
  selected_ = -1;
}

void TThumbList::Store(int index, const TBitmap& raster) {
  if (!Valid(index)) return;
  DropImageData(index);
  // Nothing to keep of a picture without pixels.
  if (raster.Empty()) return;
  TThumbEntry& entry = entries_[index];
  const TSize fit = FitIntoBox(raster.Width(), raster.Height(), Metrics.thumbWidth, Metrics.thumbHeight);
  // A picture loaded as a thumbnail already has the cell's size.
  if (StoreType == TStoreType::ietNormal || (fit.width == raster.Width() && fit.height == raster.Height()))
    entry.stored = PackIntoBlock(raster);
  else
    entry.stored = PackIntoBlock(StretchToThumbnail(raster, Metrics.thumbWidth, Metrics.thumbHeight));
  // The selection is held expanded, however its picture arrives (stored
  // by the caller or fetched by the paint walk).
  if (index == selected_ && !entry.stored.Empty()) AcquireBitmap(index);
}

TBitmap* TThumbList::AcquireBitmap(int index) {
  if (!Valid(index)) return nullptr;
  TThumbEntry& entry = entries_[index];
  if (entry.expandCount > 0) {
    ++entry.expandCount;
    return entry.expanded.get();
  }
  if (!entry.HasPicture()) LoadEntry(index);
  // Storing the selected entry's picture has expanded it for the
  // selection: this user holds it as well.
  if (entry.expanded) {
    ++entry.expandCount;
    return entry.expanded.get();
  }
  if (entry.stored.Empty()) return nullptr;
  auto raster = std::make_unique<TBitmap>();
  if (!ExpandBlock(entry.stored, *raster)) return nullptr;
  entry.expandCount = 1;
  entry.stored = TDibBlock();
  entry.expanded = std::move(raster);
  return entry.expanded.get();
}

void TThumbList::ReleaseBitmap(int index) {
  if (!Valid(index)) return;
  TThumbEntry& entry = entries_[index];
  if (entry.expandCount <= 0) return;
  if (--entry.expandCount > 0 || !entry.expanded) return;
  entry.stored = PackIntoBlock(*entry.expanded);
  entry.expanded.reset();
}

void TThumbList::DropImageData(int index) {
  if (!Valid(index)) return;
  TThumbEntry& entry = entries_[index];
  if (entry.expanded)
    entry.expanded.reset();
  else
    entry.stored = TDibBlock();
  entry.expandCount = 0;
}

bool TThumbList::LoadEntry(int index) {
  if (!Valid(index)) return false;
  TThumbEntry& entry = entries_[index];
  if (entry.imageId >= 0 && OnImageIDRequest) {
    TBitmap* supplied = nullptr;
    OnImageIDRequest(Sender, entry.imageId, supplied);
    if (supplied) Store(index, *supplied);
    return true;
  }
  if (!entry.fileName) return true;
  TBitmap picture(1, 1, TPixelFormat::pf24bit);
  if (!LoadFromFile(entry, picture)) return false;
  Store(index, picture);
  return true;
}

// A file that cannot be opened counts as undecodable: one unreadable cell
// must not raise at every paint.
bool TThumbList::LoadFromFile(TThumbEntry& entry, TBitmap& picture) {
  loader_.SetBackground(ResolveColor(entry.background));
  loader_.OnProgress = OnIOProgress;
  try {
    if (StoreType == TStoreType::ietThumb) {
      if (!LoadThumbnail(loader_, *entry.fileName, Metrics.thumbWidth, Metrics.thumbHeight, picture)) return false;
    } else {
      loader_.Params.JPEG_Scale = 1;
      if (!LoadPicture(loader_, *entry.fileName, picture)) return false;
    }
  } catch (const std::exception&) {
    return false;
  }
  entry.background = loader_.Background();
  return true;
}

void TThumbList::Layout(int columns) {
  for (int i = 0; i < Count(); ++i) entries_[i].cell = CellOf(Metrics, columns, i);
}

int TThumbList::HitTest(const TGridView& view, int x, int y) const {
  for (int i = 0; i < Count(); ++i)
    if (CellContains(Metrics, entries_[i].cell, view, x, y)) return i;
  return -1;
}

bool TThumbList::PaintWalk(const TWalk& walk) {
  bool removed = false;
  while (!WalkOnce(walk)) removed = true;
  return removed;
}

// False when an entry was removed and the walk has to start over.
bool TThumbList::WalkOnce(const TWalk& walk) {
  const int count = Count();
  const int n = Metrics.single && count > 0 ? 1 : count;
  const int first = count > 0 ? std::clamp(walk.first, 0, count - 1) : 0;
  for (int k = 0; k < n; ++k) {
    const int index = (first + k) % count;
    if (walk.progress && n > 1) walk.progress(static_cast<int>(std::nearbyint(k * 100.0 / n)), index);
    TThumbEntry& entry = entries_[index];
    const int left = entry.cell.x - walk.viewX;
    const int top = entry.cell.y - walk.viewY;
    const bool visible = left < walk.clientWidth && left + Metrics.thumbWidth > 0 && top < walk.clientHeight &&
                         top + Metrics.thumbHeight > 0;
    if (visible) {
      if (!entry.HasPicture() && !LoadEntry(index) && RemoveCorrupted) {
        Remove(index);
        Layout(walk.columns);
        return false;
      }
      if (walk.drawCell) walk.drawCell(index, left, top);
    } else if (index != selected_ && !entry.stored.Empty() && entry.Reloadable() && entry.expandCount == 0) {
      DropImageData(index);
    }
  }
  if (walk.progress && n > 1) walk.progress(100, 0);
  return true;
}

}  // namespace skyloom
