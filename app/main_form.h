#pragma once
// The main window: the image and video playlists on two tabs, their
// toolbars, the interval group, the wallpaper snapshot group, the about
// panel, and the notification-area icon with its menu.
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/folder_scan.h"
#include "app/fullscreen_probe.h"
#include "app/pause_rules.h"
#include "app/power_source.h"
#include "app/rotation.h"
#include "app/state_recorder.h"
#include "app/video_backdrop.h"
#include "desktop/desktop_theme.h"
#include "desktop/monitor_wallpaper.h"
#include "image/bitmap.h"
#include "image/image_io.h"
#include "image/image_proc.h"
#include "image/image_view.h"
#include "image/wallpaper_fit.h"
#include "media/media_player.h"
#include "state/app_state.h"
#include "timing/thread_timer.h"
#include "toolkit/check_list_box.h"
#include "toolkit/controls.h"
#include "toolkit/dialogs.h"
#include "toolkit/folder_dialog.h"
#include "toolkit/handles.h"
#include "toolkit/window.h"
#include "widgets/info_panel.h"
#include "widgets/tray_icon.h"
#include "widgets/xp_popup_menu.h"

namespace skyloom {

class Tthumbform;

class TMainForm : public TForm {
 public:
  // The window class other instances look for when handing over arguments.
  static constexpr wchar_t kClassName[] = L"TMainForm";
  static constexpr ULONG_PTR kCommandLineData = 0x534B594C;  // WM_COPYDATA tag

  TMainForm();
  ~TMainForm() override;

  // Fields kept beside the controls.
  const std::string& CurrentImageFile() const { return rotation_.currentFile; }
  const std::wstring& AppDir() const { return appDir_; }
  COLORREF WallpaperBackColor = 0;
  int& ImageCursor() { return rotation_.cursor; }
  int VideoCursor = 0;
  HWND VideoHostWindow = nullptr;
  RECT VideoHostRect{};

  // Image playlist and rotation.
  void Timer1Timer(void* sender);
  void NextImage1Click(void* sender);
  void PrevImage1Click(void* sender);
  void ImageListBoxDblClick(void* sender);
  void ImageListBoxClick(void* sender);
  void ToolButton4Click(void* sender);
  void ToolButton7Click(void* sender);
  void DeleteImage1Click(void* sender);
  void AddCheckedImage(const std::wstring& path);
  void SetWallpaperFromFile(const std::string& path);
  void FitToDesktop();
  void ApplyDesktopWallpaper(const std::string& path);
  void ImageIO1Progress(void* sender, int percent);
  void ImageProcProgress(void* sender, int percent);

  // Video playlist editing.
  void ToolButton18Click(void* sender);
  void ToolButton19Click(void* sender);
  void DeleteImage2Click(void* sender);
  void ToolButton21Click(void* sender);
  void ToolButton22Click(void* sender);

  // Video wallpaper: the device plays the checked rows in the desktop host.
  HWND FindDesktopHost();
  void VideoCheckDblClick(void* sender);
  void AdvanceVideo();
  void MediaPlayer21Notify(void* sender);
  bool VideoRunning() const;
  // Ending the program: video wallpaper stops and the device closes; a
  // device that does not answer ends with the process a few seconds later.
  void StopVideoForExit();

  // Folder rows and drops: "Add Folder" adds the chosen folder as a row,
  // checked; dropped files, folders and gallery files join the lists.
  void AddFolder1Click(void* sender);
  void AddFolder(const std::wstring& folder, bool includeSubfolders);
  void AddDroppedFiles(const std::vector<std::wstring>& paths);
  const TRotationState& Rotation() const { return rotation_; }
  // The folder the browser showed last; empty until one was browsed.
  std::wstring BrowseFolder;
  TFolderDialog AddFolderDialog{L"Include subfolders"};
  void CollectFolderState(TAppState& state) const;
  void RestoreFolderState(const TAppState& state);

  // Gallery list files.
  void SaveGallery1Click(void* sender);
  void LoadGallery1Click(void* sender);
  void ToolButton30Click(void* sender);
  void ToolButton29Click(void* sender);
  void LoadImageList(const std::wstring& path);
  void LoadVideoList(const std::wstring& path);

  // Window-level commands.
  // The thumbnail browser, made after this window and shown by
  // ToolButton1Click; not owned.
  Tthumbform* ThumbForm = nullptr;
  void ToolButton1Click(void* sender);
  void ToolButton11Click(void* sender);
  void ToolButton3Click(void* sender);
  void ToolButton15Click(void* sender);
  void ToolButton24Click(void* sender);
  void ToolButton25Click(void* sender);
  void NextVideo1Click(void* sender);
  void Close1Click(void* sender);
  void TrayIcon1DblClick(void* sender);
  void OpenDialog1Click(void* sender);
  void Exit1Click(void* sender);

  // The switches as given to the program; throws on an unknown one.
  static TCommandLine ParseArguments(const std::vector<std::wstring>& arguments);
  // Runs a command line, ours or one handed over by a second start.
  void RunCommandLine(const std::vector<std::wstring>& arguments);

  // Getting out of the way: video wallpaper and the image timer are held
  // while a full-screen program stands over the wallpaper, on battery, or
  // on the user's /pause (main_form_pause.cpp).
  TPauseRules PauseRules;
  // Where the power source is read (tests put theirs here).
  std::function<TPowerStatus()> ReadPowerStatus = SystemPowerStatus;
  void CheckFullScreen();  // every second, on the window's timer, while something could be held
  void SetUserPause(bool paused);
  void SetMuted(bool muted);
  void PauseFullScreen1Click(void* sender);
  void PauseBattery1Click(void* sender);
  void PauseBatteryTimer1Click(void* sender);
  void Mute1Click(void* sender);
  // The /status report: UTF-8 key=value lines.
  std::string StatusReport();
  void WriteStatus(const std::string& path);
  const wchar_t* VideoModeName();  // the device's mode as the status bar names it; "" when closed
  void CollectPauseState(TAppState& state) const;
  void RestorePauseState(const TAppState& state);

  // Remembering between runs. Each feature puts its settings into the state
  // in CollectState and takes them back in RestoreState; StateChanged follows
  // every change worth remembering (written a short while after the last).
  void CollectState(TAppState& state) const;
  void RestoreState(const TAppState& state);
  void StateChanged();
  // From now on the state is kept in the store. With restore, what it holds
  // comes back first and a timer or video that ran resumes; a file that
  // could not be read is said in the status bar. The window shows, unless
  // it was hidden.
  void StartRemembering(std::unique_ptr<TStateStore> store, bool restore);

  // "Start with &Windows" in the tray menu; checked as the registry says
  // each time the menu opens.
  TMenuItem* StartWithWindows1 = nullptr;
  void StartWithWindows1Click(void* sender);
  void TrayMenuOpens();

  // Screens: the fit, one picture per screen, and the pictures applied again
  // when the monitors change. The monitors and the shell's per-monitor
  // interface are read through these seams (tests script them).
  void CollectScreenState(TAppState& state) const;
  void RestoreScreenState(const TAppState& state);
  TWallpaperFit ChosenFit() const;
  void ReapplyForDisplayChange();
  std::function<TMonitorLayout()> ReadMonitorLayout = SystemMonitorLayout;
  std::function<std::unique_ptr<IMonitorWallpaper>()> OpenMonitorWallpaper = OpenShellMonitorWallpaper;

  // The keyboard: Ctrl+Tab and Ctrl+Shift+Tab turn the pages, the rest
  // follows the form's tab order.
  bool DialogKey(MSG& msg) override;

  // ImageList2: the toolbars' pictures; the tray menu's pictures. Declared
  // before the controls that show them, so they outlive them.
  UniqueImageList ImageList2, MenuImages;

  // Controls (named as the stored form names them).
  std::unique_ptr<TStatusBar> StatusBar1;
  std::unique_ptr<TPageControl> PageControl1;
  std::unique_ptr<TToolBar> ToolBar1, ToolBar2;
  std::unique_ptr<TPanel> Panel2;
  std::unique_ptr<TGroupBox> GroupBox3, GroupBox4;
  std::unique_ptr<TLabel> MinutesLabel;
  std::unique_ptr<TSpinEdit> timeredit;
  std::unique_ptr<TCheckBox> randomcheck;
  std::unique_ptr<TImageView> ImageView1;
  std::unique_ptr<TProgressBar> ProgressBar;
  std::unique_ptr<TComboBox> ResizeBox, FitBox;
  std::unique_ptr<TCheckBox> PerScreenCheck;
  std::unique_ptr<TCheckListBox> ImageListBox, VideoCheck;
  std::unique_ptr<TInfoPanel> InfoPanel1;
  // The video's window where the desktop has none behind its icons; made
  // at the first open that needs it. Outlives the device that draws in it.
  std::unique_ptr<TVideoBackdrop> VideoBackdrop;
  // Invisible on ToolBar2, so destroyed before it.
  std::unique_ptr<TMediaPlayer2> MediaPlayer21;

  // The notification-area icon and its menu; the timer items follow the
  // timer's state like the toolbar buttons.
  std::unique_ptr<TXPPopupMenu> XPPopupMenu1;
  std::unique_ptr<TTrayIcon> TrayIcon1;
  TMenuItem* StartTimer1 = nullptr;
  TMenuItem* StopTimer1 = nullptr;
  TMenuItem* Mute1 = nullptr;
  TMenuItem* PauseFullScreen1 = nullptr;
  TMenuItem* PauseBattery1 = nullptr;
  TMenuItem* PauseBatteryTimer1 = nullptr;

  // Dialogs.
  TFileDialog OpenVideo{TFileDialog::Kind::Open, L"Avi Files|*.avi|Mpeg Files|*.mpg|All Files|*.*", L".avi"};
  TFileDialog OpenDialog2{TFileDialog::Kind::Open, L"Gallery File|*.Gal|All Files|*.*", L".Gal"};
  TFileDialog SaveDialog1{TFileDialog::Kind::Save, L"Gallery File|*.Gal|All Files|*.*", L".Gal"};
  TFileDialog OpenVidGal{TFileDialog::Kind::Open, L"Video Gallery Files|*.vgl|All Files|*.*", L".vgl"};
  TFileDialog SaveVidGal{TFileDialog::Kind::Save, L"Video Gallery Files|*.vgl|All Files|*.*", L".vgl"};

  // Toolbar command ids, for enabling and for tests.
  int StartButton = 0, StopButton = 0;
  int VideoStartButton = 0, VideoStopButton = 0;

  // Both work on ImageView1's picture: loaded, resampled and saved in place.
  TImageIO ImageIO1;
  TImageProc ImageProc;
  std::unique_ptr<TDesktopTheme> DesktopTheme;  // reads the system's theme at creation
  std::unique_ptr<TThreadTimer> Timer1;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void DpiChanged() override;

 private:
  // Places every control for the client size and the DPI.
  void LayOut();
  void LayOutImagePage();
  void LayOutVideoPage();
  void CreateScreenControls(HWND panel);
  void LayOutScreenControls(int filterTop);
  // Answers true for a message it has fully handled.
  bool ScreenMessage(UINT message);
  std::size_t ScreensToFill() const;
  void PickMoreForScreens(IPlaylist& list, const TFolderReader& folders, std::size_t screens,
                          std::vector<std::string>& pictures);
  void ApplyPictures(const std::vector<std::string>& files);
  TScreenTarget ReadScreenTarget();
  bool WriteScreens(const std::vector<std::string>& files, const TScreenTarget& target, TWallpaperOutput output,
                    std::vector<std::string>& written);
  void ApplyScreens(const TScreenTarget& target, TWallpaperOutput output, const std::vector<std::string>& written);
  void LoadPictures();
  void SetUpKeyboard();
  bool ListKey(TCheckListBox& list, WPARAM key, const TNotifyEvent& apply, const TNotifyEvent& remove);
  void CreateImagePage(TPanel& page);
  void CreateVideoPage(TPanel& page);
  void CreateVideoPlayer();
  void SetVideoRunning(bool running);
  void ReattachVideo();
  bool SelectNextCheckedVideo();
  void ShowVideoReason(const wchar_t* text);
  void CreateInfoPanel(HWND parent);
  void CreateTray();
  void SetTimerControls(bool running);
  void FormCreate();
  void FormDestroy();
  void CreateComponents();
  void ReportThemeProblems() const;
  TResampleFilter ChosenFilter() const;
  template <typename Step, typename... Extra>
  void Rotate(Step step, Extra... extra);
  void DeleteSelected(TCheckListBox& list);
  void SayIfNothingChecked();
  static void CheckAll(TCheckListBox& list, bool checked);
  static bool AnyChecked(const TCheckListBox& list);
  void SaveList(TFileDialog& dialog, const TCheckListBox& list);
  void LoadList(const std::wstring& path, TCheckListBox& list);
  void ShowLoadProgress(int percent);
  void RunCommand(TCommand command, const TCommandLine& line);
  void CreatePauseWatch();
  bool PauseMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  void SetPauseReason(TPauseReason reason, bool on);
  void ApplyPause();
  void ResumeVideo();
  bool FullScreenWatched() const;
  void WatchScreen();
  void TogglePauseSetting(bool& setting);
  void ShowPauseReason();
  void SyncPauseItems();
  bool OnCopyData(const COPYDATASTRUCT& data);
  void RunHandedOverCommandLine();

  void ShowForm();
  void WatchStateChanges();
  bool StateMessage(UINT message, WPARAM wParam);
  void ResumeRunning(const TAppState& state);
  void ResumeRestoredVideo(const TAppState& state);
  void PreviewRestoredSelection();
  void CollectWindowState(TWindowState& window) const;
  void RestoreWindowState(const TWindowState& window);
  TFolderReader FolderReader(std::wstring& note);
  void AcceptDrops();
  void DropFiles(HDROP drop);
  void ResumeRotation();

  UniqueIcon bigIcon_, smallIcon_;  // the window does not copy its icons
  std::wstring appDir_;
  TRotationState rotation_;
  static constexpr UINT kFolderRead = WM_APP + 1;  // posted when a folder row has been read
  std::unique_ptr<TFolderScan> folderScan_;
  std::vector<std::vector<std::wstring>> pendingCommandLines_;
  bool videoReasonShown_ = false;  // the status bar says why video wallpaper stopped
  TPowerStatus power_;
  std::unique_ptr<TPowerNotices> powerNotices_;
  std::wstring pauseShown_;  // the pause reason the status bar shows
  bool screenWatched_ = false;  // the timer of the full-screen check and the video window's place runs
  TFullScreenProbe fullScreenProbe_{[this] { return ReadMonitorLayout(); }};
  std::unique_ptr<TStateRecorder> stateRecorder_;  // none: nothing is remembered (tests)
  std::vector<std::string> screenFiles_;  // the pictures on the screens, first monitor first
  TMonitorLayout appliedLayout_;          // the monitors they were prepared for
  bool reapplyPosted_ = false;
};

}  // namespace skyloom
