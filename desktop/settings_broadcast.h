#pragma once
// Tells every top-level window that the system settings changed.
#include <chrono>

namespace skyloom {

// WM_WININICHANGE with both parameters 0, sent to each top-level window in
// turn. A hung window is skipped and a slow one given up after the timeout,
// so no other program can stall the caller.
void BroadcastSettingsChange(std::chrono::milliseconds perWindowTimeout = std::chrono::milliseconds(5000));

}  // namespace skyloom
