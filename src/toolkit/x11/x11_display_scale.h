#pragma once
// The display's scale as the X server's resources tell it: Xft.dpi, which
// desktops set for their scaling, over 96 dots per inch (100 %).

struct _XDisplay;

namespace VSTGUI::X11 {

// From the text of the RESOURCE_MANAGER property ("name:\tvalue" lines);
// 1 when it holds no usable Xft.dpi (none, not a number, or outside 48 to
// 384).
double scaleFromResources(const char* resources);

// The scale of the display the connection is to.
double displayScale(_XDisplay* display);

} // namespace VSTGUI::X11
