#pragma once
// The child windows of a window, bottom to top, on this platform's window
// system (the user interface hands the host the window the view made).

#include <cstdint>
#include <vector>

namespace Steinberg::Vst {

std::vector<std::uintptr_t> lv2ChildWindows(std::uintptr_t parent);

} // namespace Steinberg::Vst
