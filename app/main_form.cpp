#include "app/main_form.h"

#include "app/artwork.h"
#include "app/bind_handler.h"
#include "app/branding.h"
#include "toolkit/application.h"
#include "toolkit/errors.h"
#include "toolkit/random.h"

namespace skyloom {
namespace {

constexpr int kClientWidth = 630;
constexpr int kClientHeight = 521;
constexpr int kItemHeight = 13;
constexpr COLORREF kSilver = RGB(0xC0, 0xC0, 0xC0);
constexpr TViewColor kButtonFace = 0x80000000u + COLOR_BTNFACE;

// A tool window with minimise and maximise boxes and no system menu, so no
// close box: it is left through "Hide Skyloom" and the tray menu.
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN;

// The about text of the information panel.
std::wstring DirectoryOfExecutable() {
  std::wstring path(32768, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}

}  // namespace

// Controls are made where they belong and placed by LayOut, at the DPI.
TMainForm::TMainForm() : TForm(kClassName, L"Skyloom", kFormStyle, WS_EX_TOOLWINDOW, kClientWidth, kClientHeight) {
  bigIcon_ = LoadProgramIcon(GetSystemMetrics(SM_CXICON));
  smallIcon_ = LoadProgramIcon(GetSystemMetrics(SM_CXSMICON));
  SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
  SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
  StatusBar1 = std::make_unique<TStatusBar>(Handle(), 0);
  PageControl1 = std::make_unique<TPageControl>(Handle(), 0, 0, 0, 0);
  CreateImagePage(PageControl1->AddPage(L"Image Wallpaper"));
  CreateVideoPage(PageControl1->AddPage(L"Video Wallpaper"));
  PageControl1->SetActivePageIndex(0);
  // A status line speaks of the page it was written on.
  PageControl1->OnChange = [this](void*) { StatusBar1->SetText(L""); };
  CreateComponents();
  CreateTray();
  CreatePauseWatch();
  SetUpKeyboard();
  WatchStateChanges();
  AcceptDrops();
  DpiChanged();
  CenterOnScreen();
  FormCreate();
}

TMainForm::~TMainForm() { FormDestroy(); }

void TMainForm::CreateComponents() {
  ImageIO1.AttachedImageView(ImageView1.get());
  ImageIO1.OnProgress = [this](void* sender, int percent) { ImageIO1Progress(sender, percent); };
  ImageProc.AttachedImageView(ImageView1.get());
  // Attaching the processor hands it the view's colour; the view keeps the
  // button face, the colour loaders put behind transparent parts.
  ImageView1->SetBackground(kButtonFace);
  ImageProc.OnProgress = [this](void* sender, int percent) { ImageProcProgress(sender, percent); };
  DesktopTheme = std::make_unique<TDesktopTheme>();
  ReportThemeProblems();
  // The prepared bitmap is already fitted to the desktop: shown centred on
  // the sampled colour, whatever style the system held before.
  DesktopTheme->Desktop.WallpaperStyle = wlpsCenter;

  Timer1 = std::make_unique<TThreadTimer>(
      [](const std::function<void()>& call) { TApplication::Instance().Synchronize(call); },
      [] { TApplication::Instance().AnswerSynchronizeCalls(); });
  Timer1->SetDelay(300000);
  Timer1->SetOnTimer(Bind(this, &TMainForm::Timer1Timer));
  Timer1->OnError = [] { TApplication::Instance().HandleCurrentException(); };
}

void TMainForm::CreateImagePage(TPanel& page) {
  HWND parent = page.Handle();
  ToolBar1 = std::make_unique<TToolBar>(parent, 0, 0, 0, 0, nullptr, 0, 0, 0);
  auto& bar = *ToolBar1;
  bar.AddSeparator();
  bar.AddButton(0, L"Add Files to List", Bind(this, &TMainForm::ToolButton1Click));
  bar.AddButton(kAddFolderImage, L"Add Folder...", Bind(this, &TMainForm::AddFolder1Click));
  bar.AddButton(1, L"Trash all List", Bind(this, &TMainForm::DeleteImage1Click));
  bar.AddSeparator();
  bar.AddButton(2, L"Check all Files", Bind(this, &TMainForm::ToolButton4Click));
  bar.AddButton(3, L"Uncheck All Files", Bind(this, &TMainForm::ToolButton7Click));
  bar.AddSeparator();
  bar.AddButton(4, L"Previous Image in list", Bind(this, &TMainForm::PrevImage1Click));
  StartButton = bar.AddButton(5, L"Start Skyloom", Bind(this, &TMainForm::ToolButton11Click));
  bar.AddButton(6, L"Next Image In List", Bind(this, &TMainForm::NextImage1Click));
  StopButton = bar.AddButton(7, L"Stop Skyloom", Bind(this, &TMainForm::ToolButton3Click));
  bar.AddSeparator();
  bar.AddButton(8, L"Open Gallery File", Bind(this, &TMainForm::LoadGallery1Click));
  bar.AddButton(9, L"Save Gallery File", Bind(this, &TMainForm::SaveGallery1Click));
  bar.AddSeparator();
  bar.AddButton(10, L"Hide Skyloom", Bind(this, &TMainForm::ToolButton15Click));
  bar.SetButtonEnabled(StopButton, false);

  Panel2 = std::make_unique<TPanel>(parent, 0, 0, 0, 0);
  HWND panel = Panel2->Handle();
  GroupBox3 = std::make_unique<TGroupBox>(panel, L"Interval Timer", 0, 0, 0, 0);
  MinutesLabel = std::make_unique<TLabel>(panel, L"Minutes", 0, 0, 0, 0);
  timeredit = std::make_unique<TSpinEdit>(panel, 0, 0, 0, 0, 1, 2000, 5);
  randomcheck = std::make_unique<TCheckBox>(panel, L"Random Image", 0, 0, 0, 0);

  GroupBox4 = std::make_unique<TGroupBox>(panel, L"Wallpaper Snapshot", 0, 0, 0, 0);
  ImageView1 = std::make_unique<TImageView>(panel, 0, 0, 0, 0);
  ImageView1->SetCenter(true);
  ImageView1->SetAutoFit(true);
  ImageView1->SetBackgroundStyle(TIEBackgroundStyle::iebsChessboard);
  ImageView1->SelectionBase = TIESelectionBase::iesbBitmap;
  // Above the group box that frames it, which clips its siblings.
  SetWindowPos(ImageView1->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ProgressBar = std::make_unique<TProgressBar>(panel, 0, 0, 0, 0);
  ResizeBox = std::make_unique<TComboBox>(
      panel, 0, 0, 0, 0,
      std::vector<std::wstring>{L"None", L"Triangle", L"Hermite", L"Bell", L"BSpline", L"Lanczos3", L"Mitchell"});
  CreateScreenControls(panel);

  CreateInfoPanel(panel);

  ImageListBox = std::make_unique<TCheckListBox>(parent, 0, 0, 0, 0, kItemHeight, kSilver);
  ImageListBox->OnClick = Bind(this, &TMainForm::ImageListBoxClick);
  ImageListBox->OnDblClick = Bind(this, &TMainForm::ImageListBoxDblClick);
  ImageListBox->PopupMenu.Add(L"&Delete Image", Bind(this, &TMainForm::DeleteImage1Click));
}

void TMainForm::CreateInfoPanel(HWND parent) {
  InfoPanel1 = std::make_unique<TInfoPanel>(parent, 0, 0, 0, 0);
  InfoPanel1->Color = 0xFFFFFF;
  InfoPanel1->BevelOuter = TPanelBevel::bvLowered;
  InfoPanel1->SetText(kAboutText);
}

void TMainForm::CreateVideoPage(TPanel& page) {
  HWND parent = page.Handle();
  ToolBar2 = std::make_unique<TToolBar>(parent, 0, 0, 0, 0, nullptr, 0, 0, 0);
  auto& bar = *ToolBar2;
  bar.AddSeparator();
  bar.AddButton(0, L"Add Files to List", Bind(this, &TMainForm::ToolButton18Click));
  bar.AddButton(1, L"Trash all List", Bind(this, &TMainForm::ToolButton19Click));
  bar.AddSeparator();
  bar.AddButton(2, L"Check all Files", Bind(this, &TMainForm::ToolButton21Click));
  bar.AddButton(3, L"Uncheck All Files", Bind(this, &TMainForm::ToolButton22Click));
  bar.AddSeparator();
  VideoStartButton =
      bar.AddButton(kVideoStartImage, L"Start Video Wallpaper", Bind(this, &TMainForm::ToolButton24Click));
  VideoStopButton = bar.AddButton(kVideoStopImage, L"Stop Video WallPaper", Bind(this, &TMainForm::ToolButton25Click));
  bar.AddSeparator();
  bar.AddButton(8, L"Open Video Gallery File", Bind(this, &TMainForm::ToolButton29Click));
  bar.AddButton(9, L"Save Video Gallery File", Bind(this, &TMainForm::ToolButton30Click));
  bar.AddSeparator();
  bar.AddButton(10, L"Hide Skyloom", Bind(this, &TMainForm::ToolButton15Click));
  bar.SetButtonEnabled(VideoStopButton, false);

  VideoCheck = std::make_unique<TCheckListBox>(parent, 0, 0, 0, 0, kItemHeight, kSilver);
  VideoCheck->PopupMenu.Add(L"&Delete Video", Bind(this, &TMainForm::DeleteImage2Click));
  CreateVideoPlayer();
}

void TMainForm::FormCreate() {
  appDir_ = DirectoryOfExecutable();
  rotation_.cursor = ImageListBox->TopIndex();
  VideoCursor = 0;
  ResizeBox->SetItemIndex(3);  // "Bell"
  AppRandom().Randomize();
  Timer1->SetActive(false);
  Timer1->SetDelay(timeredit->Value() * 60000);
}

// Also run when the window is destroyed and when the session ends (the
// process is ended after that message returns).
void TMainForm::FormDestroy() {
  EndMenu();  // an open tray menu would hold the program in its loop after the window has gone
  StopVideoForExit();
  if (Timer1) Timer1->SetActive(false);
  if (TrayIcon1) TrayIcon1->RemoveFromTray();
}

LRESULT TMainForm::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (LRESULT result = 0; PauseMessage(message, wParam, lParam, result)) return result;
  if (StateMessage(message, wParam)) return 0;
  switch (message) {
    case WM_COPYDATA:
      return lParam && OnCopyData(*reinterpret_cast<const COPYDATASTRUCT*>(lParam)) ? TRUE : FALSE;
    case WM_APP:
      RunHandedOverCommandLine();
      return 0;
    case kFolderRead:
      ResumeRotation();
      return 0;
    case WM_DROPFILES:
      DropFiles(reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) LayOut();
      return TForm::WindowProc(message, wParam, lParam);
    case WM_ENDSESSION:
      if (wParam) FormDestroy();
      return 0;
    case WM_DESTROY:
      // However the window goes (Exit, Alt+F4, the task manager), the timer
      // stops and the icon leaves the notification area with it.
      FormDestroy();
      PostQuitMessage(0);
      return 0;
    default:
      if (ScreenMessage(message)) return 0;
      return TForm::WindowProc(message, wParam, lParam);
  }
}

}  // namespace skyloom
