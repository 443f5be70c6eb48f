#include "window_layout.h"

#include <algorithm>

const ControlDesign& designOf(Control control) {
  return *std::find_if(kControls.begin(), kControls.end(), [control](const ControlDesign& design) {
    return design.control == control;
  });
}
