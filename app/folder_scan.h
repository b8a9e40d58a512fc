#pragma once
// Reads folder rows off the window's thread: a folder of many thousands of
// pictures, or a network share that does not answer, must not hold the
// window. One folder is read at a time; the window hears by a posted message
// when its files are ready, and asks again.
#include <windows.h>

#include <mutex>
#include <string>
#include <thread>

#include "app/folder_source.h"

namespace skyloom {

class TFolderScan {
 public:
  TFolderScan(HWND window, UINT message) : window_(window), message_(message) {}
  ~TFolderScan();
  TFolderScan(const TFolderScan&) = delete;
  TFolderScan& operator=(const TFolderScan&) = delete;

  // The row's files when a read of it has finished (each read is handed out
  // once, so the next entry reads the folder afresh); otherwise Pending, and
  // a read of the row starts unless one is running.
  TFolderFiles Read(const TFolderRow& row);

 private:
  void Start(const TFolderRow& row, std::string key);

  HWND window_;
  UINT message_;
  std::mutex mutex_;  // guards what follows, shared with the worker
  std::thread worker_;
  std::string key_;  // the row being read or read
  bool running_ = false, done_ = false;
  TFolderFiles result_;
};

}  // namespace skyloom
