// A real write failure part-way through a save: the file-size limit makes
// the system refuse the bytes past it, as a full disk would.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <string.h>
#include <unistd.h>

#include <filesystem>

#include "app/list_file.h"
#include "toolkit/errors.h"

namespace skyloom {
namespace {

// Lowers the file-size limit for its lifetime; past it, writes fail with
// EFBIG instead of raising SIGXFSZ.
class TFileSizeLimit {
 public:
  explicit TFileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    oldHandler_ = signal(SIGXFSZ, SIG_IGN);
    rlimit lowered = old_;
    lowered.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &lowered);
  }
  ~TFileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    signal(SIGXFSZ, oldHandler_);
  }

 private:
  rlimit old_{};
  void (*oldHandler_)(int);
};

TEST(ListFileSave, AWriteThatFailsPartWayKeepsTheOldList) {
  const auto dir = std::filesystem::temp_directory_path() / ("skyloom-full-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const auto file = (dir / "best.Gal").string();
  const std::vector<std::string> old{"C:\\Pictures\\a.jpg", "C:\\Pictures\\b.png"};
  SaveListFile(file, old);
  const std::vector<std::string> longer(200, "C:\\Pictures\\a picture with a long name.jpg");
  {
    TFileSizeLimit limit(1000);  // the new list needs about 9 KB
    try {
      SaveListFile(file, longer);
      ADD_FAILURE() << "no error";
    } catch (const EWriteError& error) {  // the file the user chose, and why
      EXPECT_EQ(error.what(), "Cannot write file " + file + ": " + strerror(EFBIG));
    }
  }
  EXPECT_EQ(LoadListFile(file), old);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace skyloom
