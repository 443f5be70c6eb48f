// How far a pulse train has got: a bar redrawn in place on a terminal, nothing elsewhere.
#pragma once

#include <ostream>

namespace qv6180_tool {

class Progress {
 public:
  Progress(std::ostream& terminal, bool shown, int total);

  void advance();
  // Clears the bar's line.
  void finish();

  int done() const { return done_; }

 private:
  void draw();

  std::ostream& terminal_;
  bool shown_;
  int total_;
  int done_ = 0;
  int drawnPercent_ = -1;
};

}  // namespace qv6180_tool
