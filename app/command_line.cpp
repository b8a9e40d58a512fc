#include "app/command_line.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "toolkit/errors.h"

namespace skyloom {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

bool EndsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  static const std::map<std::string, TCommand> switches{
      {"next", TCommand::Next}, {"prev", TCommand::Prev}, {"start", TCommand::Start}, {"stop", TCommand::Stop},
      {"show", TCommand::Show}, {"hide", TCommand::Hide}, {"exit", TCommand::Exit},
      {"startvideo", TCommand::StartVideo}, {"stopvideo", TCommand::StopVideo}, {"nextvideo", TCommand::NextVideo},
      {"pause", TCommand::Pause}, {"resume", TCommand::Resume}, {"mute", TCommand::Mute},
      {"unmute", TCommand::Unmute}, {"status", TCommand::Status}};
  TCommandLine line;
  TListKind lastList = TListKind::Images;
  for (const auto& argument : arguments) {
    if (argument.empty()) continue;
    // A list file's name wins over the switch test, so that paths written
    // with forward slashes ("/home/me/best.Gal" under Wine) still load.
    const auto lower = Lower(argument);
    if (lower.starts_with("/status=") || lower.starts_with("-status=")) {
      line.statusPath = argument.substr(8);  // before the list test: the report may be named *.gal
      line.commands.push_back(TCommand::Status);
    } else if (EndsWith(lower, ".gal")) {
      line.lists.push_back({lastList = TListKind::Images, argument});
    } else if (EndsWith(lower, ".vgl")) {
      line.lists.push_back({lastList = TListKind::Videos, argument});
    } else if (lower == "/fresh" || lower == "-fresh") {
      line.fresh = true;
    } else if (lower == "/checkall" || lower == "-checkall") {
      line.commands.push_back(lastList == TListKind::Videos ? TCommand::CheckAllVideos : TCommand::CheckAllImages);
    } else if (argument[0] == '/' || argument[0] == '-') {
      const auto found = switches.find(lower.substr(1));
      if (found == switches.end()) throw EError(FormatMessage1("Unknown switch %s", argument));
      line.commands.push_back(found->second);
      if (found->second == TCommand::Exit) break;  // the program ends here: nothing after it runs
    } else {
      throw EError(FormatMessage1("%s is not a gallery file (*.Gal or *.vgl)", argument));
    }
  }
  return line;
}

std::vector<std::wstring> SplitHandedOverArguments(std::wstring_view payload) {
  std::vector<std::wstring> arguments;
  std::size_t start = 0;
  for (std::size_t end; (end = payload.find(L'\0', start)) != std::wstring_view::npos; start = end + 1)
    arguments.emplace_back(payload.substr(start, end - start));
  if (start < payload.size()) arguments.emplace_back(payload.substr(start));  // the last one, unended
  return arguments;
}

}  // namespace skyloom
