#pragma once
// Filling a menu label up with spaces until it is as wide as the widest one,
// so that the shortcut texts behind the labels line up.

#include <functional>
#include <string>

namespace qv::controls {

// Appends spaces while the label is narrower than `widest`; stops as soon as a
// space adds no width (a font whose space is empty would never get there).
std::string PadLabel(std::string label, int widest, const std::function<int(const std::string&)>& widthOf);

}  // namespace qv::controls
