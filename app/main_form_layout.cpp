// Where the main window's controls go: sizes stated at 96 DPI, scaled to the
// window's DPI; the page control and the lists grow with the window.
#include "app/main_form.h"

#include <commctrl.h>

#include <algorithm>

#include "app/artwork.h"

namespace skyloom {
namespace {

constexpr int kStatusHeight = 19;
constexpr int kToolBarHeight = 40;
constexpr int kPanelWidth = 260;
constexpr int kListWidth = 362;
constexpr int kItemHeight = 13;
constexpr int kInfoHeight = 103;
constexpr int kButtonWidth = 39, kButtonHeight = 38;
constexpr int kToolImageSize = 32, kMenuImageSize = 16;

// The page a control lies on.
RECT ParentClient(const TWindow& control) {
  RECT r{};
  GetClientRect(GetParent(control.Handle()), &r);
  return r;
}

}  // namespace

void TMainForm::DpiChanged() {
  LoadPictures();
  StatusBar1->SetHeight(Scaled(kStatusHeight));
  ImageListBox->SetItemHeight(Scaled(kItemHeight));
  VideoCheck->SetItemHeight(Scaled(kItemHeight));
  LayOut();
}

// Pictures drawn at the size the DPI asks for, not stretched.
void TMainForm::LoadPictures() {
  UniqueImageList toolbar = LoadToolbarImages(Scaled(kToolImageSize));
  int size = 0, unused = 0;
  ImageList_GetIconSize(toolbar.get(), &size, &unused);
  // The toolbars let go of the old list before it is destroyed.
  for (TToolBar* bar : {ToolBar1.get(), ToolBar2.get()})
    bar->SetImages(toolbar.get(), size, Scaled(kButtonWidth), Scaled(kButtonHeight));
  ImageList2 = std::move(toolbar);
  UniqueImageList menu = LoadMenuImages(Scaled(kMenuImageSize));
  if (XPPopupMenu1) XPPopupMenu1->SetImages(menu.get());
  MenuImages = std::move(menu);
}

void TMainForm::LayOut() {
  if (!VideoCheck) return;  // still being made
  const RECT client = ClientRect();
  StatusBar1->AlignToBottom();
  PageControl1->Place(0, 0, client.right, std::max(0, static_cast<int>(client.bottom) - StatusBar1->Height()));
  LayOutImagePage();
  LayOutVideoPage();
}

// The toolbar across the top, the panel down the left with the information
// panel at its bottom, the list filling the rest (362 wide at the stated size).
void TMainForm::LayOutImagePage() {
  const RECT page = ParentClient(*ToolBar1);
  const int width = page.right, toolbar = Scaled(kToolBarHeight);
  const int below = std::max(0, static_cast<int>(page.bottom) - toolbar), panel = Scaled(kPanelWidth);
  ToolBar1->SetBounds(0, 0, width, toolbar);
  Panel2->SetBounds(0, toolbar, panel, below);
  GroupBox3->SetBounds(0, 0, panel, Scaled(80));
  MinutesLabel->SetBounds(Scaled(14), Scaled(22), Scaled(80), Scaled(14));
  timeredit->Place(Scaled(14), Scaled(40), Scaled(80), Scaled(21));
  randomcheck->SetBounds(Scaled(104), Scaled(32), Scaled(150), Scaled(17));
  GroupBox4->SetBounds(0, Scaled(80), panel, Scaled(250));
  ImageView1->SetBounds(Scaled(15), Scaled(98), Scaled(229), Scaled(181));
  ProgressBar->SetBounds(Scaled(15), Scaled(283), Scaled(229), Scaled(7));
  ResizeBox->SetBounds(Scaled(15), Scaled(296), Scaled(112), Scaled(200));
  LayOutScreenControls(Scaled(296));
  // Inside Panel2's one-pixel bevel.
  const int info = Scaled(kInfoHeight);
  InfoPanel1->SetBounds(1, below - 1 - info, panel - 2, info);
  const int list = std::max(Scaled(kListWidth), width - panel);
  ImageListBox->SetBounds(width - list, toolbar, list, below);
}

void TMainForm::LayOutVideoPage() {
  const RECT page = ParentClient(*ToolBar2);
  const int toolbar = Scaled(kToolBarHeight);
  ToolBar2->SetBounds(0, 0, page.right, toolbar);
  VideoCheck->SetBounds(0, toolbar, page.right, std::max(0, static_cast<int>(page.bottom) - toolbar));
}

}  // namespace skyloom
