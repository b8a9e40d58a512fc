#include "app/list_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "toolkit/stream.h"

namespace skyloom {
namespace {

using Lines = std::vector<std::string>;

Lines Parse(const std::string& bytes) {
  return ParseListFile(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

TEST(ListFileFormat, EveryLineEndsWithCrLfAndAnEmptyListIsEmpty) {
  EXPECT_EQ(ListFileBytes({"a", "b"}), std::string("a\r\nb\r\n"));
  EXPECT_EQ(ListFileBytes({}), std::string());
  EXPECT_EQ(ListFileBytes({"", " C:\\x y.jpg "}), std::string("\r\n C:\\x y.jpg \r\n"));
}

TEST(ListFileFormat, LineEndingTable) {
  EXPECT_EQ(Parse("a\r\nb\r\n"), (Lines{"a", "b"}));
  EXPECT_EQ(Parse("a\nb"), (Lines{"a", "b"}));
  EXPECT_EQ(Parse("a\rb\r"), (Lines{"a", "b"}));
  EXPECT_EQ(Parse("a\n\nb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(Parse("a\n\rb"), (Lines{"a", "", "b"}));  // LF CR: a line, then an empty one
  EXPECT_EQ(Parse("a\r\r\nb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(Parse("\r\n"), (Lines{""}));
  EXPECT_EQ(Parse("\r\n\r\n"), (Lines{"", ""}));
  EXPECT_EQ(Parse(""), Lines{});
}

TEST(ListFileFormat, NulEndsTheText) {
  EXPECT_EQ(Parse(std::string("a\r\nb\0c\r\nd", 9)), (Lines{"a", "b"}));
  EXPECT_EQ(Parse(std::string("\0a\r\n", 4)), Lines{});
}

TEST(ListFileFormat, HighBytesPassThroughUntouched) {
  const std::string path = "C:\\Bilder\\\xe4pfel.jpg";  // code-page text, not UTF-8
  EXPECT_EQ(Parse(ListFileBytes({path})), Lines{path});
}

struct ListFileOnDisk : ::testing::Test {
  std::filesystem::path dir = std::filesystem::temp_directory_path() /
                              ("skyloom-list-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                               "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
  void SetUp() override { std::filesystem::create_directories(dir); }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::string PathOf(const char* name) const { return (dir / name).string(); }
};

TEST_F(ListFileOnDisk, RoundTripKeepsStringsAndOrderAndReplacesOldContent) {
  const auto file = PathOf("pictures.Gal");
  SaveListFile(file, {"first line that is long", "x"});
  const Lines entries{"C:\\a.jpg", "", "C:\\a.jpg", "D:\\b c.png"};
  SaveListFile(file, entries);
  EXPECT_EQ(std::filesystem::file_size(file), ListFileBytes(entries).size());
  EXPECT_EQ(LoadListFile(file), entries);
}

TEST_F(ListFileOnDisk, MissingAndUncreatableFilesRaiseTheStreamMessages) {
  const auto missing = PathOf("nope.vgl");
  try {
    LoadListFile(missing);
    FAIL() << "no error";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot open file " + missing);
  }
  const auto inMissingDir = PathOf("no/such/dir.Gal");
  try {
    SaveListFile(inMissingDir, {"a"});
    FAIL() << "no error";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot create file " + inMissingDir);
  }
}

// A save that fails part-way keeps the old file whole and leaves no
// temporary file behind.
TEST_F(ListFileOnDisk, AFailedSaveKeepsTheOldFile) {
  const auto file = PathOf("best.Gal");
  SaveListFile(file, {"C:\\old.jpg"});
  const auto old = LoadListFile(file);
  EXPECT_THROW(WriteFileSafely(file,
                               [](TStream& out) {
                                 out.WriteBuffer("half", 4);
                                 throw EWriteError("Stream write error");
                               }),
               EWriteError);
  EXPECT_EQ(LoadListFile(file), old);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
}

TEST(ErrorBox, AppendsAPeriodOnlyAfterCharactersSortingAfterIt) {
  EXPECT_EQ(ErrorBoxText("Cannot open file x"), "Cannot open file x.");
  EXPECT_EQ(ErrorBoxText("Done."), "Done.");
  EXPECT_EQ(ErrorBoxText("Stop!"), "Stop!");
  EXPECT_EQ(ErrorBoxText("List index out of bounds (-1)"), "List index out of bounds (-1)");
  EXPECT_EQ(ErrorBoxText("size 5"), "size 5.");
  EXPECT_EQ(ErrorBoxText(""), "");
  EXPECT_EQ(FormatMessage1("List index out of bounds (%d)", -1), "List index out of bounds (-1)");
}

TEST(MemoryStream, ReadsWritesAndSeeksWithinItsBytes) {
  TMemoryStream stream;
  stream.WriteBuffer("hello", 5);
  EXPECT_EQ(stream.Size(), 5);
  stream.SetPosition(1);
  char two[2];
  stream.ReadBuffer(two, 2);
  EXPECT_EQ(std::string(two, 2), "el");
  EXPECT_THROW(stream.ReadBuffer(two, 3), EReadError);
  stream.Seek(-1, TSeekOrigin::soEnd);
  EXPECT_EQ(stream.ReadAll(), std::vector<std::uint8_t>{'o'});
}

}  // namespace
}  // namespace skyloom
