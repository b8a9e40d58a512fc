// The state file: a hand-written file of version 1 reads as it says, every
// field and any path survives a write and a read, and a damaged file is
// refused with a reason rather than read wrongly.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "state/state_file.h"

namespace skyloom {
namespace {

// Written by hand (not by the writer), with CR LF endings as on Windows.
std::string VersionOneFile() {
  const char* lines[] = {
      "Skyloom state 1",
      "value interval 17",
      "value random 1",
      "value filter 5",
      "value tab 1",
      "value timer 1",
      "value video 1",
      "value video.file D:\\Clips\\sea 100%25.avi",
      "value window 10 -20 646 560",
      "value window.maximized 0",
      "value window.hidden 1",
      "list images 3",
      "1 C:\\Pictures\\Берёза.jpg",
      "0 C:\\Pictures\\富士山.png",
      "1 ",
      "value images.cursor 2",
      "value images.selected 1",
      "list videos 0",
      "value videos.cursor -1",
      "value videos.selected ",
      "value fit stretch",
      "value two%20words two%0Alines",
      "list history 2",
      "C:\\a.jpg",
      "",
      "end",
  };
  std::string text;
  for (const char* line : lines) text += std::string(line) + "\r\n";
  return text;
}

void ExpectSamePlaylist(const TPlaylistState& a, const TPlaylistState& b) {
  EXPECT_EQ(a.entries, b.entries);
  EXPECT_EQ(a.checked, b.checked);
  EXPECT_EQ(a.selected, b.selected);
  EXPECT_EQ(a.cursor, b.cursor);
}

void ExpectSameState(const TAppState& a, const TAppState& b) {
  ExpectSamePlaylist(a.images, b.images);
  ExpectSamePlaylist(a.videos, b.videos);
  EXPECT_EQ(a.intervalMinutes, b.intervalMinutes);
  EXPECT_EQ(a.random, b.random);
  EXPECT_EQ(a.filter, b.filter);
  EXPECT_EQ(a.activeTab, b.activeTab);
  EXPECT_EQ(a.timerRunning, b.timerRunning);
  EXPECT_EQ(a.videoPlaying, b.videoPlaying);
  EXPECT_EQ(a.playingVideo, b.playingVideo);
  const auto place = [](const TWindowState& w) {
    return std::vector<int>{w.known, w.left, w.top, w.width, w.height, w.maximized, w.hidden};
  };
  EXPECT_EQ(place(a.window), place(b.window));
  EXPECT_EQ(a.values, b.values);
  EXPECT_EQ(a.lists, b.lists);
}

TEST(StateFile, AHandWrittenFileReadsAsItSays) {
  TAppState expected;
  expected.intervalMinutes = 17;
  expected.random = expected.timerRunning = expected.videoPlaying = true;
  expected.filter = 5;
  expected.activeTab = 1;
  expected.playingVideo = "D:\\Clips\\sea 100%.avi";
  expected.window = {true, 10, -20, 646, 560, false, true};
  expected.images = {{"C:\\Pictures\\Берёза.jpg", "C:\\Pictures\\富士山.png", ""}, {true, false, true}, {1}, 2};
  expected.videos.cursor = -1;
  // Only the features' names are left as named values and lists.
  expected.values = {{"fit", "stretch"}, {"two words", "two\nlines"}};
  expected.lists = {{"history", {"C:\\a.jpg", ""}}};
  ExpectSameState(ReadStateText(VersionOneFile()), expected);
}

// The longest path Windows holds: 32,767 UTF-16 units, here with Cyrillic,
// CJK and emoji (two units each) in every folder name.
std::string LongestPath() {
  std::string path = "\\\\?\\C:\\";
  for (int i = 0; i < 5460; ++i) path += "Ж日😀x\\";
  return path;
}

TEST(StateFile, EveryFieldAndAnyPathComeBack) {
  TAppState state;
  state.images.entries = {LongestPath(), "C:\\Фото\\зима.jpg", "D:\\写真\\山.png", "E:\\🌄 sunrise.bmp",
                          " leading and trailing ", "100% %41 \\\\server\\share\\a.gif", ""};
  state.images.checked = {true, false, true, true, false, true, false};
  state.images.selected = {3};
  state.images.cursor = -2;
  state.videos.entries = {"C:\\v\\🎬.avi"};
  state.videos.checked = {true};
  state.videos.cursor = 1;
  state.intervalMinutes = 2000;
  state.random = true;
  state.filter = 6;
  state.activeTab = 1;
  state.timerRunning = true;
  state.videoPlaying = true;
  state.playingVideo = "C:\\v\\🎬.avi";
  state.window = {true, -1200, 5, 800, 600, true, true};
  // Features may keep any bytes under any name.
  state.values = {{"fit", "1"}, {"odd name\r\n%", std::string("a\0b\rc\nd\x7F\xFF\xC0\xAF", 11)}, {"empty", ""}};
  state.lists = {{"history", {"x", "", "%", "\n"}}, {"none", {}}};

  const std::string text = WriteStateText(state);
  ExpectSameState(ReadStateText(text), state);
  EXPECT_EQ(text.rfind("Skyloom state 1\r\n", 0), 0u) << "the version line comes first";
  // Paths stand as they are, readable in an editor.
  EXPECT_NE(text.find("\r\n0 C:\\Фото\\зима.jpg\r\n"), std::string::npos);
}

TEST(StateFile, AWindowNeverPlacedStaysUnknown) {
  EXPECT_FALSE(ReadStateText(WriteStateText(TAppState{})).window.known);
}

void ExpectRefused(const std::string& text, const std::string& why) {
  try {
    ReadStateText(text);
    ADD_FAILURE() << "read: " << why;
  } catch (const EStateFileError& error) {
    EXPECT_EQ(std::string(error.what()).rfind("The saved settings ", 0), 0u) << error.what();
  }
}

TEST(StateFile, DamagedFilesAreRefused) {
  const std::string good = VersionOneFile();
  // Cut anywhere before its last line: the missing "end" tells.
  const std::size_t endLine = good.rfind("end");
  for (std::size_t cut = 0; cut < endLine + 3; ++cut) ExpectRefused(good.substr(0, cut), "cut at " + std::to_string(cut));

  auto replaced = [&](const std::string& from, const std::string& to) {
    std::string text = good;
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  ExpectRefused(replaced("Skyloom state 1", "Skyloom state 2"), "a newer version");
  ExpectRefused(replaced("Skyloom state 1", "Skyloom state 0"), "version 0");
  ExpectRefused(replaced("Skyloom state 1", "Skyloom state"), "no version");
  ExpectRefused(replaced("Skyloom state 1", "PK\x03\x04"), "another kind of file");
  ExpectRefused(replaced("list images 3", "list images 4"), "an item short");
  ExpectRefused(replaced("list images 3", "list images 99999999999999999999999"), "a count beyond reason");
  ExpectRefused(replaced("list images 3", "list images -1"), "a negative count");
  ExpectRefused(replaced("1 C:", "2 C:"), "a check mark that is neither");
  ExpectRefused(replaced("value interval 17", "value interval 17x"), "a number that is not");
  ExpectRefused(replaced("value random 1", "value random yes"), "a flag that is not");
  ExpectRefused(replaced("value window 10 -20 646 560", "value window 10 -20 646"), "a window short");
  ExpectRefused(replaced("100%25", "100%2"), "a short escape");
  ExpectRefused(replaced("100%25", "100%G5"), "an escape that is not hexadecimal");
  ExpectRefused(replaced("value fit stretch", "value tab 0"), "a name given twice");
  ExpectRefused(replaced("value fit stretch", "wallpaper fit"), "an unknown record");
  ExpectRefused(good + "value late 1\r\n", "records after the end");
  ExpectRefused(replaced("Берёза", "\xC0\xAF"), "an overlong form");
  ExpectRefused(replaced("Берёза", "\xED\xA0\x80"), "a surrogate");
  ExpectRefused(replaced("Берёза", "\xF4\x90\x80\x80"), "above U+10FFFF");
  ExpectRefused(replaced("Берёза", "\xFF"), "a byte that is never UTF-8");
  ExpectRefused(replaced("富士山", "\xE5\xAF"), "a sequence cut short");

  // Random bytes after a good version line, and on their own.
  std::mt19937 random(7);
  for (int i = 0; i < 200; ++i) {
    std::string noise(1 + random() % 300, '\0');
    for (auto& c : noise) c = static_cast<char>(random());
    ExpectRefused(noise, "noise");
    ExpectRefused("Skyloom state 1\r\n" + noise, "noise after the version");
  }
}

TEST(StateFile, TheMessageSaysWhy) {
  auto message = [](const std::string& text) -> std::string {
    try {
      ReadStateText(text);
    } catch (const EStateFileError& error) {
      return error.what();
    }
    return "";
  };
  EXPECT_EQ(message("Skyloom state 9\r\nend\r\n"), "The saved settings come from a newer Skyloom (version 9)");
  EXPECT_EQ(message("Skyloom state 1\r\nvalue a 1\r\n"), "The saved settings end too early");
  EXPECT_EQ(message("Skyloom state 1\r\nnonsense\r\nend\r\n"), "The saved settings are damaged at line 2");
  EXPECT_EQ(message("\xFF\xFE" "S\0"), "The saved settings are not UTF-8 text");
  EXPECT_EQ(message("\xEF\xBB\xBFSkyloom state 1\nend"), "") << "a byte-order mark and LF endings are read";
}

}  // namespace
}  // namespace skyloom
