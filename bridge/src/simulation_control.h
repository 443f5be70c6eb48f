// The test hook that pulls KSTHID_SIMULATE's virtual boards out and plugs
// them back in from outside the process, as a test of a program that knows
// nothing of the library's own hooks needs: KSTHID_SIMULATE_CONTROL names a
// pipe that the test made (a FIFO, or on Windows a named pipe
// \\.\pipe\NAME) and writes lines to, one command each:
//
//   unplug PATH   pulls the board out, as ksthid_virtual_unplug(PATH)
//   plug PATH     plugs it back in, as ksthid_virtual_plug_in(PATH)
//   go            the lines before it are carried out before the library is
//                 first used, so that a program can start with its boards
//                 pulled out
//
// Without virtual boards the variable has no effect.
#pragma once

#include <string>
#include <thread>

namespace ksthid {

class VirtualTransport;

class SimulationControl {
 public:
  // Opens the pipe and carries out its lines up to the first "go" before
  // returning; the later ones are carried out by a thread of its own as they
  // come, until the writer closes the pipe. Lines it cannot carry out, and a
  // pipe it cannot open, are named on standard error. The boards must
  // outlive the control.
  SimulationControl(const std::string& pipe, VirtualTransport& boards);
  // Waits until the writer has closed the pipe.
  ~SimulationControl();
  SimulationControl(const SimulationControl&) = delete;
  SimulationControl& operator=(const SimulationControl&) = delete;

 private:
  std::thread reader_;
};

}  // namespace ksthid
