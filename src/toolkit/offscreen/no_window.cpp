// Platforms without a window backend: frames render offscreen only.
#include "toolkit/platform_frame.h"

namespace VSTGUI {

std::unique_ptr<IPlatformFrame> makePlatformFrame(CFrame&, void*, PlatformType, IPlatformFrameConfig*) { return nullptr; }

} // namespace VSTGUI
