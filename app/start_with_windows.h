#pragma once
// "Start with Windows": the user's Run value "Skyloom" holds the program's
// quoted full path and /hide, so that after log-on the remembered state
// resumes in the notification area. The installer writes the same value.
#include <string>

namespace skyloom {

// "\"C:\\Programs\\Skyloom\\skyloom.exe\" /hide"
std::wstring StartCommand(const std::wstring& programPath);
// Whether the Run value starts this program, as the registry holds it now.
bool StartsWithWindows(const std::wstring& programPath);
// Writes or removes the value; raises EError with the system's reason.
void SetStartWithWindows(const std::wstring& programPath, bool start);

}  // namespace skyloom
