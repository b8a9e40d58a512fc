#include "state/state_file.h"

#include <charconv>
#include <set>

#include "state/state_escape.h"

namespace skyloom {
namespace {

constexpr std::string_view kHeader = "Skyloom state ";
constexpr std::string_view kEnd = "end";

// The names the main window's own fields are written under.
const std::set<std::string, std::less<>>& CoreNames() {
  static const std::set<std::string, std::less<>> names{
      "interval", "random", "filter", "tab", "timer", "video", "video.file", "window", "window.maximized",
      "window.hidden", "images", "images.cursor", "images.selected", "videos", "videos.cursor", "videos.selected"};
  return names;
}

// ---- writing ----

class TRecordWriter {
 public:
  void Value(std::string_view name, std::string_view text) {
    out_ += "value ";
    AppendEscaped(out_, name, true);
    out_ += ' ';
    AppendEscaped(out_, text, false);
    out_ += "\r\n";
  }
  void Number(std::string_view name, long long number) { Value(name, std::to_string(number)); }
  void Field(std::string_view name, int number) { Number(name, number); }
  void Field(std::string_view name, bool flag) { Number(name, flag); }
  void Field(std::string_view name, const std::string& text) { Value(name, text); }
  void ListHead(std::string_view name, std::size_t count) {
    out_ += "list ";
    AppendEscaped(out_, name, true);
    out_ += ' ' + std::to_string(count) + "\r\n";
  }
  void Item(std::string_view text, std::string_view prefix = {}) {
    out_ += prefix;
    AppendEscaped(out_, text, false);
    out_ += "\r\n";
  }
  std::string Finish() {
    out_ += kEnd;
    out_ += "\r\n";
    return std::move(out_);
  }
  std::string out_;
};

std::string JoinNumbers(const std::vector<int>& numbers) {
  std::string text;
  for (const int n : numbers) text += (text.empty() ? "" : " ") + std::to_string(n);
  return text;
}

// Each entry with its check mark first: "1 C:\a.jpg".
void WritePlaylist(TRecordWriter& writer, const std::string& name, const TPlaylistState& list) {
  writer.ListHead(name, list.entries.size());
  for (std::size_t i = 0; i < list.entries.size(); ++i)
    writer.Item(list.entries[i], i < list.checked.size() && list.checked[i] ? "1 " : "0 ");
  writer.Number(name + ".cursor", list.cursor);
  writer.Value(name + ".selected", JoinNumbers(list.selected));
}

// The main window's single fields under their names, for the writer and
// the reader alike (State is TAppState, const or not).
template <typename State, typename Visit>
void EachField(State& state, Visit visit) {
  visit("interval", state.intervalMinutes);
  visit("random", state.random);
  visit("filter", state.filter);
  visit("tab", state.activeTab);
  visit("timer", state.timerRunning);
  visit("video", state.videoPlaying);
  visit("video.file", state.playingVideo);
}

// ---- reading ----

[[noreturn]] void Fail(const std::string& why) { throw EStateFileError("The saved settings " + why); }
[[noreturn]] void Damaged(std::size_t line) { Fail(FormatMessage1("are damaged at line %d", static_cast<long long>(line))); }

class TLineReader {
 public:
  explicit TLineReader(std::string_view text) : rest_(text) {}
  bool AtEnd() const { return rest_.empty(); }
  std::size_t Number() const { return number_; }
  // The next line without its LF or CR LF.
  std::string_view Next() {
    if (rest_.empty()) Fail("end too early");
    ++number_;
    const std::size_t end = rest_.find('\n');
    std::string_view line = rest_.substr(0, end);
    rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
  }

 private:
  std::string_view rest_;
  std::size_t number_ = 0;
};

std::string Decode(std::string_view text, std::size_t line) {
  auto decoded = Unescape(text);
  if (!decoded) Damaged(line);
  return std::move(*decoded);
}

template <typename Number>
bool ParseNumber(std::string_view text, Number& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

void ReadVersion(TLineReader& lines) {
  const std::string_view line = lines.Next();
  int version = 0;
  if (!line.starts_with(kHeader) || !ParseNumber(line.substr(kHeader.size()), version) || version < 1)
    Fail("are not a Skyloom state file");
  if (version > kStateFileVersion)
    Fail(FormatMessage1("come from a newer Skyloom (version %d)", version));
}

// Splits "NAME REST" at the first blank; the name must not be empty.
std::pair<std::string, std::string_view> NameAndRest(std::string_view text, std::size_t line) {
  const std::size_t blank = text.find(' ');
  if (blank == 0 || blank == std::string_view::npos) Damaged(line);
  return {Decode(text.substr(0, blank), line), text.substr(blank + 1)};
}

void ReadRecords(TLineReader& lines, TAppState& state) {
  std::set<std::string, std::less<>> seen;
  for (;;) {
    const std::string_view line = lines.Next();
    const std::size_t number = lines.Number();
    if (line == kEnd) break;
    if (line.starts_with("value ")) {
      auto [name, text] = NameAndRest(line.substr(6), number);
      if (!seen.insert(name).second) Damaged(number);
      state.values[name] = Decode(text, number);
    } else if (line.starts_with("list ")) {
      auto [name, countText] = NameAndRest(line.substr(5), number);
      std::size_t count = 0;
      if (!ParseNumber(countText, count) || !seen.insert(name).second) Damaged(number);
      auto& items = state.lists[name];
      for (std::size_t i = 0; i < count; ++i) items.push_back(Decode(lines.Next(), lines.Number()));
    } else {
      Damaged(number);
    }
  }
  if (!lines.AtEnd()) Damaged(lines.Number() + 1);
}

// The main window's fields, taken out of the named values and lists. A
// missing one keeps its default; one that does not read as its kind means
// the file was damaged.
class TCoreReader {
 public:
  explicit TCoreReader(TAppState& state) : state_(state) {}

  void Field(const char* name, int& field) {
    if (auto text = Take(name); text && !ParseNumber(*text, field)) Bad(name);
  }
  void Field(const char* name, bool& field) {
    const auto text = Take(name);
    if (!text) return;
    if (*text != "0" && *text != "1") Bad(name);
    field = *text == "1";
  }
  void Field(const char* name, std::string& field) {
    if (auto text = Take(name)) field = std::move(*text);
  }
  void Window(TWindowState& window) {
    const auto text = Take("window");
    if (!text) return;
    const auto numbers = Numbers("window", *text);
    if (numbers.size() != 4) Bad("window");
    window = {true, numbers[0], numbers[1], numbers[2], numbers[3]};
    Field("window.maximized", window.maximized);
    Field("window.hidden", window.hidden);
  }
  void Playlist(const std::string& name, TPlaylistState& list) {
    Field((name + ".cursor").c_str(), list.cursor);
    if (auto selected = Take(name + ".selected")) list.selected = Numbers(name.c_str(), *selected);
    const auto found = state_.lists.find(name);
    if (found == state_.lists.end()) return;
    for (auto& item : found->second) {
      if (item.size() < 2 || (item[0] != '0' && item[0] != '1') || item[1] != ' ') Bad(name.c_str());
      list.checked.push_back(item[0] == '1');
      list.entries.push_back(item.substr(2));
    }
    state_.lists.erase(found);
  }

 private:
  std::optional<std::string> Take(const std::string& name) {
    const auto found = state_.values.find(name);
    if (found == state_.values.end()) return std::nullopt;
    std::string text = std::move(found->second);
    state_.values.erase(found);
    return text;
  }
  std::vector<int> Numbers(const char* name, std::string_view text) {
    std::vector<int> numbers;
    while (!text.empty()) {
      const std::size_t blank = text.find(' ');
      int number = 0;
      if (!ParseNumber(text.substr(0, blank), number)) Bad(name);
      numbers.push_back(number);
      text.remove_prefix(blank == std::string_view::npos ? text.size() : blank + 1);
    }
    return numbers;
  }
  [[noreturn]] static void Bad(const char* name) {
    Fail(FormatMessage1("are damaged: \"%s\" is not what it should be", name));
  }
  TAppState& state_;
};

}  // namespace

std::string WriteStateText(const TAppState& state) {
  TRecordWriter writer;
  writer.out_.reserve(4096 + 80 * (state.images.entries.size() + state.videos.entries.size()));
  writer.out_ += kHeader;
  writer.out_ += std::to_string(kStateFileVersion) + "\r\n";
  EachField(state, [&](const char* name, const auto& field) { writer.Field(name, field); });
  if (state.window.known) {
    const auto& w = state.window;
    writer.Value("window", JoinNumbers({w.left, w.top, w.width, w.height}));
    writer.Number("window.maximized", w.maximized);
    writer.Number("window.hidden", w.hidden);
  }
  WritePlaylist(writer, "images", state.images);
  WritePlaylist(writer, "videos", state.videos);
  for (const auto& [name, text] : state.values) {
    if (!CoreNames().contains(name)) writer.Value(name, text);
  }
  for (const auto& [name, items] : state.lists) {
    if (CoreNames().contains(name)) continue;
    writer.ListHead(name, items.size());
    for (const auto& item : items) writer.Item(item);
  }
  return writer.Finish();
}

TAppState ReadStateText(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);  // an editor's byte-order mark
  if (!IsUtf8(text)) Fail("are not UTF-8 text");
  TLineReader lines(text);
  ReadVersion(lines);
  TAppState state;
  ReadRecords(lines, state);
  TCoreReader core(state);
  EachField(state, [&](const char* name, auto& field) { core.Field(name, field); });
  core.Window(state.window);
  core.Playlist("images", state.images);
  core.Playlist("videos", state.videos);
  return state;
}

}  // namespace skyloom
