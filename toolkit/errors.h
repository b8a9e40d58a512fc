#pragma once
// Errors are exceptions carrying the message the user sees. Messages are
// UTF-8; the Windows layer converts them for display.
#include <stdexcept>
#include <string>

namespace skyloom {

class EError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Stream layer: "Cannot open file %s" / "Cannot create file %s" / read errors.
class EFOpenError : public EError {
 public:
  using EError::EError;
};
class EFCreateError : public EError {
 public:
  using EError::EError;
};
class EReadError : public EError {
 public:
  using EError::EError;
};
class EWriteError : public EError {
 public:
  using EError::EError;
};

// Graphics that cannot be made or written ("Error on creating PNG").
class EInvalidGraphic : public EError {
 public:
  using EError::EError;
};

// Memory the system refuses (rasters and their scratch planes).
class EOutOfMemory : public EError {
 public:
  EOutOfMemory() : EError("Out of memory") {}
};

// List controls: "List index out of bounds (%d)".
class EListError : public EError {
 public:
  using EError::EError;
};

// Replaces the first "%s" or "%d" in a message template with the argument.
std::string FormatMessage1(const std::string& pattern, const std::string& arg);
std::string FormatMessage1(const std::string& pattern, long long arg);

// The text the error box shows: a "." is appended when the message's last
// character sorts after "." (so "!" and "." endings stay as they are).
// A very long message is shortened in the middle with "..." so that the
// box fits the screen and both its start and its end show: an unbroken run
// (a path) beyond 96 characters, more than 30 lines, more than 2,000
// characters in all.
std::string ErrorBoxText(const std::string& message);

}  // namespace skyloom
