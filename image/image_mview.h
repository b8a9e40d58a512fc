#pragma once
// The thumbnail grid control: a scrollable grid of equal cells, one per
// entry, each showing its picture fitted into the cell. Entries named by a
// file (or an identifier) are loaded when their cell is first painted and
// give their picture back when it scrolls out of view. Single selection by
// mouse and keyboard, drag-to-scroll, and a timed one-at-a-time display.
#include <windows.h>

#include <functional>
#include <string>

#include "image/ie_view.h"
#include "image/thumb_list.h"

namespace skyloom {

enum class TMViewDisplayMode { mdGrid, mdSingle };
enum TMViewMouseItem : unsigned { mmiScroll = 1, mmiSelect = 2 };
enum TMViewKeyItem : unsigned { mkiMoveSelected = 1 };

class TImageMView : public TIEView {
 public:
  TImageMView(HWND parent, int left = 0, int top = 0, int width = 180, int height = 90,
              TIEBorderStyle border = TIEBorderStyle::bsSingle);
  ~TImageMView() override;

  // The list. Index arguments outside the list are ignored by setters and
  // answered with empty text, none or -1 by getters.
  int ImageCount() const { return list_.Count(); }
  int InsertImage(int index);
  int AppendImage() { return InsertImage(ImageCount()); }
  bool RemoveImage(int index);
  void ClearImages();
  // Keeps a copy (fitted into the cell with ietThumb); the caller keeps
  // the raster.
  void StoreImage(int index, const TBitmap& bitmap);
  void SetImageFileName(int index, const std::string& path);
  std::string GetImageFileName(int index) const;
  int GetImageID(int index) const;
  void SetImageID(int index, int id);
  int GetImageDelayTime(int index) const;
  void SetImageDelayTime(int index, int milliseconds);
  int GetImageX(int index) const;
  int GetImageY(int index) const;
  int GetImageRow(int index) const;
  int GetImageCol(int index) const;

  int HitTest(int x, int y) const;
  void SelectImage(int index);
  int SelectedIndex() const { return list_.Selected(); }
  // The selected entry's expanded picture.
  TBitmap* GetBitmap();
  TBitmap* ViewBitmap() override { return GetBitmap(); }
  // 0 outside the client or an invalid index, 2 wholly inside, 1 partly.
  int VisibilityOf(int index) const;
  // Entries holding a picture right now, packed or expanded.
  int PictureCount() const { return list_.PictureCount(); }

  // Lays out, clamps the offsets, sets the scroll bars and repaints.
  void Update() override;
  // Between the two, list changes skip the layout (which costs a pass over
  // every entry) and the last EndUpdate runs it once: filling many entries
  // stays linear.
  void BeginUpdate() { ++lockCount_; }
  void EndUpdate();
  // BeginUpdate for a scope.
  class TUpdateLock {
   public:
    explicit TUpdateLock(TImageMView& view) : view_(view) { view_.BeginUpdate(); }
    ~TUpdateLock() { view_.EndUpdate(); }
    TUpdateLock(const TUpdateLock&) = delete;
    TUpdateLock& operator=(const TUpdateLock&) = delete;

   private:
    TImageMView& view_;
  };
  void PaintTo(HDC dc);
  void ScrollTo(int x, int y) override;
  int Columns() const { return columns_; }

  bool Playing() const { return playing_; }
  void SetPlaying(bool on);
  bool LoopPlay = true;

  void SetScrollBars(TViewScrollBars bars);
  TStoreType StoreType() const { return list_.StoreType; }
  void SetStoreType(TStoreType type) { list_.StoreType = type; }
  int ThumbWidth() const { return list_.Metrics.thumbWidth; }
  void SetThumbWidth(int v) { Set(list_.Metrics.thumbWidth, v); }
  int ThumbHeight() const { return list_.Metrics.thumbHeight; }
  void SetThumbHeight(int v) { Set(list_.Metrics.thumbHeight, v); }
  int HorizBorder() const { return list_.Metrics.horizBorder; }
  void SetHorizBorder(int v) { Set(list_.Metrics.horizBorder, v); }
  int VertBorder() const { return list_.Metrics.vertBorder; }
  void SetVertBorder(int v) { Set(list_.Metrics.vertBorder, v); }
  int BottomGap() const { return list_.Metrics.bottomGap; }
  void SetBottomGap(int v) { Set(list_.Metrics.bottomGap, v); }
  int UpperGap() const { return list_.Metrics.upperGap; }
  void SetUpperGap(int v) { Set(list_.Metrics.upperGap, v); }
  int GridWidth() const { return list_.Metrics.gridWidth; }
  void SetGridWidth(int v) { Set(list_.Metrics.gridWidth, v); }
  TMViewDisplayMode DisplayMode() const;
  void SetDisplayMode(TMViewDisplayMode mode);
  bool VisibleSelection() const { return visibleSelection_; }
  void SetVisibleSelection(bool v) { Set(visibleSelection_, v); }
  int SelectionWidth() const { return selectionWidth_; }
  void SetSelectionWidth(int v) { Set(selectionWidth_, v); }
  TViewColor SelectionColor() const { return selectionColor_; }
  void SetSelectionColor(TViewColor v) { Set(selectionColor_, v); }
  bool RemoveCorrupted() const { return list_.RemoveCorrupted; }
  void SetRemoveCorrupted(bool v) { Set(list_.RemoveCorrupted, v); }
  bool DrawImageBackground() const { return drawImageBackground_; }
  void SetDrawImageBackground(bool v) { Set(drawImageBackground_, v); }
  unsigned MouseInteract = mmiSelect;
  unsigned KeyInteract = mkiMoveSelected;  // stored only

  std::function<void(void* sender, int index)> OnImageSelect;
  std::function<void(void* sender, int index, int left, int top, HDC canvas)> OnImageDraw;
  std::function<void(void* sender, int percent, int index)> OnDrawProgress;
  std::function<void(void* sender, int change)> OnViewChange;
  std::function<void(void* sender, unsigned keys, int x, int y)> OnMouseMove;
  TNotifyEvent OnDblClick;
  void SetOnImageIDRequest(TImageIDRequestEvent event) { list_.OnImageIDRequest = std::move(event); }
  void SetOnIOProgress(TProgressEvent event) { list_.OnIOProgress = std::move(event); }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void BackgroundChanged() override { Update(); }

 private:
  template <typename T>
  void Set(T& field, const T& value) {
    field = value;
    Update();
  }
  // Whether Update would run now (not held off, not being destroyed).
  bool Updatable() const;
  void Relayout();
  void ClampView();
  TGridView CurrentView() const;
  void DrawCell(HDC dc, int index, int left, int top);
  void DrawFrame(HDC dc, int left, int top, int frame);
  // False when the key selects nothing (no selection to move from).
  bool MoveSelection(TGridKey key);
  void Scroll(int bar, int code) override;
  void MouseDown(int x, int y);
  void MouseMove(WPARAM keys, int x, int y);
  void MouseUp(int x, int y);
  void KeyDown(WPARAM key);
  // A wheel turn (WHEEL_DELTA a notch, up positive): the system's lines a
  // notch, each a row of cells.
  void Wheel(int delta);
  void PlayStep();

  TThumbList list_;
  int columns_ = 0;
  int lockCount_ = 0;
  bool visibleSelection_ = true;
  int selectionWidth_ = 3;
  TViewColor selectionColor_ = 0x000000FF;  // red
  bool drawImageBackground_ = false;
  // Mouse-down point and the offsets then.
  POINT down_{0, 0};
  POINT downView_{0, 0};
  int wheelRest_ = 0;
  // Timed display.
  bool playing_ = false;
  bool stepping_ = false;
  int playIndex_ = 0;
  bool savedSingle_ = false;
  int savedSelection_ = -1;
  bool destroying_ = false;
};

}  // namespace skyloom
