#include "progress.h"

#include <string>

namespace qv6180_tool {
namespace {

constexpr int kBarWidth = 40;

}  // namespace

Progress::Progress(std::ostream& terminal, bool shown, int total)
    : terminal_(terminal), shown_(shown), total_(total > 0 ? total : 1) {}

void Progress::advance() {
  ++done_;
  // Redrawn only when the percentage moves, so that drawing costs the pulse train nothing.
  if (shown_ && done_ * 100 / total_ != drawnPercent_) draw();
}

void Progress::draw() {
  drawnPercent_ = done_ * 100 / total_;
  const int filled = done_ * kBarWidth / total_;
  terminal_ << "\r[" << std::string(filled, '#') << std::string(kBarWidth - filled, '.') << "] "
            << done_ << '/' << total_ << " calls" << std::flush;
}

void Progress::finish() {
  if (shown_ && drawnPercent_ >= 0) terminal_ << '\r' << std::string(kBarWidth + 24, ' ') << '\r';
}

}  // namespace qv6180_tool
