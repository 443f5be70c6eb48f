#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

// The bridges present and their comings and goings, as the library's own interface tells them,
// beside the HIDnumbers of BridgeLibrary. Texts are UTF-8.

struct PresentBoard {
  std::string path;
  // Empty when the board gives none.
  std::string serial;
  // Why the board cannot be opened; empty when it can.
  std::string error;
  bool operator==(const PresentBoard&) const = default;
};

struct FirmwareVersion {
  int major = 0;
  int minor = 0;
};

class BoardDirectory {
 public:
  virtual ~BoardDirectory() = default;

  // Every bridge present, in the order in which the library's connect numbers boards it has not
  // known before.
  virtual std::vector<PresentBoard> presentBoards() = 0;
  // Asks the board itself; empty when it does not answer.
  virtual std::optional<FirmwareVersion> firmwareVersion(const std::string& path) = 0;
  // Starts watching for boards that come and go (once; later calls change nothing). From then
  // until stopWatching, `wake` is called on a thread of the watch's own each time one did; it
  // must only bring the news to the window's thread, which then asks takeChanges. False when the
  // system cannot watch.
  virtual bool watch(std::function<void()> wake) = 0;
  // Returns once `wake` is running no more; it is not called again.
  virtual void stopWatching() = 0;
  // True when a board came or went since the last call.
  virtual bool takeChanges() = 0;
};
