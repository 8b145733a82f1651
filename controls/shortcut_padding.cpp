#include "controls/shortcut_padding.h"

namespace qv::controls {

std::string PadLabel(std::string label, int widest, const std::function<int(const std::string&)>& widthOf) {
  int width = widthOf(label);
  while (width < widest) {
    label += ' ';
    const int wider = widthOf(label);
    if (wider <= width) break;
    width = wider;
  }
  return label;
}

}  // namespace qv::controls
