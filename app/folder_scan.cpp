#include "app/folder_scan.h"

#include "app/folder_listing.h"

namespace skyloom {

TFolderScan::~TFolderScan() {
  if (worker_.joinable()) worker_.join();
}

TFolderFiles TFolderScan::Read(const TFolderRow& row) {
  std::string key = FolderRowText(row.folder, row.recursive);
  std::lock_guard lock(mutex_);
  if (running_) return {TFolderFiles::TStatus::Pending, {}};
  if (done_ && key_ == key) {
    done_ = false;
    return std::move(result_);
  }
  Start(row, std::move(key));
  return {TFolderFiles::TStatus::Pending, {}};
}

// Called with the lock held; a finished worker is joined first.
void TFolderScan::Start(const TFolderRow& row, std::string key) {
  if (worker_.joinable()) worker_.join();
  key_ = std::move(key);
  running_ = true;
  done_ = false;
  worker_ = std::thread([this, row] {
    auto files = ListFolderFiles(row, ListDirectory);
    std::lock_guard lock(mutex_);
    result_ = files ? TFolderFiles{TFolderFiles::TStatus::Ready, std::move(*files)} : TFolderFiles{};
    running_ = false;
    done_ = true;
    PostMessageW(window_, message_, 0, 0);
  });
}

}  // namespace skyloom
