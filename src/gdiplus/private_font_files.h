#pragma once
// Font files written for fontconfig on behalf of PrivateFontCollection.

#include <cstddef>
#include <string>

namespace Gdiplus::detail {

// Writes the font bytes to an owner-only file of this process (once per
// distinct content) and registers it with fontconfig's current
// configuration. Returns false when the file cannot be written or
// fontconfig refuses it.
bool registerPrivateFontFile(const void* data, std::size_t size);

} // namespace Gdiplus::detail
