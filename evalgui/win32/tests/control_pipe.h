#pragma once

#include <windows.h>

#include <string>

// The pipe that KSTHID_SIMULATE_CONTROL names: the driver makes it, the library of the program
// under test opens it and pulls its virtual boards out and plugs them back in by the lines written
// to it ("unplug sim:0", "plug sim:0"; those before "go" before the library is first used).
class ControlPipe {
 public:
  ControlPipe();
  ~ControlPipe();
  ControlPipe(const ControlPipe&) = delete;
  ControlPipe& operator=(const ControlPipe&) = delete;

  // For KSTHID_SIMULATE_CONTROL.
  const std::wstring& name() const { return name_; }
  // Waits until the program has opened the pipe; false when it does not within a few seconds.
  bool waitForProgram();
  // False when the lines cannot be written.
  bool send(const std::string& lines);

 private:
  std::wstring name_;
  HANDLE pipe_ = INVALID_HANDLE_VALUE;
  HANDLE done_ = nullptr;
};
