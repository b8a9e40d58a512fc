#include "app/exit_deadline.h"

namespace skyloom {

TExitDeadline::TExitDeadline(DWORD ms, UINT exitCode) : cancel_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  watch_ = std::thread([cancel = cancel_.get(), ms, exitCode] {
    if (WaitForSingleObject(cancel, ms) == WAIT_TIMEOUT) TerminateProcess(GetCurrentProcess(), exitCode);
  });
}

TExitDeadline::~TExitDeadline() {
  SetEvent(cancel_.get());
  watch_.join();
}

}  // namespace skyloom
