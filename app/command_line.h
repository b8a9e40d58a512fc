#pragma once
// skyloom.exe [LIST.Gal | LIST.vgl] [/checkall] [/next] [/prev] [/start]
//             [/stop] [/show] [/hide] [/startvideo] [/stopvideo] [/nextvideo]
//             [/pause] [/resume] [/mute] [/unmute] [/status[=PATH]] [/exit] [/fresh]
// A list file is loaded into its playlist; the switches run the commands of
// the same names, in the order given. Switches may start with "/" or "-"
// and are compared without regard to case. "/exit" ends the line: what
// follows it is neither loaded nor run. Loaded entries come unchecked,
// so /checkall checks every entry of the image list, or of the video list
// when the list file given last before it is a *.vgl: "best.Gal /checkall
// /start" rotates unattended. "/fresh" starts without the remembered state
// (a first start only; it runs nothing).
#include <string>
#include <string_view>
#include <vector>

namespace skyloom {

enum class TCommand {
  Next, Prev, Start, Stop, Show, Hide, Exit, CheckAllImages, CheckAllVideos, StartVideo, StopVideo, NextVideo, Pause,
  Resume, Mute, Unmute, Status
};
enum class TListKind { Images, Videos };

struct TListArgument {
  TListKind kind;
  std::string path;  // UTF-8, as given
};

struct TCommandLine {
  std::vector<TListArgument> lists;
  std::vector<TCommand> commands;
  // Where /status=PATH writes (UTF-8, as given); empty for a plain /status,
  // which prints to the console the program was started from.
  std::string statusPath;
  bool fresh = false;
};

// Raises EError naming the first argument it does not understand; nothing of
// such a command line is run.
TCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The arguments a second start hands over: each ended by a NUL, the last
// one also when the data ends without it.
std::vector<std::wstring> SplitHandedOverArguments(std::wstring_view payload);

}  // namespace skyloom
