#pragma once
// Operating-system services behind one OS-neutral interface; each OS has its
// own implementation file.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace Gdiplus {
class Image;
}

namespace vantle::platform {

// The system's folder for temporary files, ending with the path separator;
// empty when there is none.
std::optional<std::string> temporaryFolder();

char pathSeparator();

// Creates one folder readable only by the user; false if it cannot be made
// (an existing folder counts as a failure).
bool createPrivateFolder(const std::string& path);

// The user's language as a Windows language id (1041 Japanese, 1033 English, ...).
std::uint16_t userLanguageId();

// Opens a document in the user's default viewer without waiting for it.
void openDocument(const std::string& path);

// The full path of the program the module runs in (the host); empty when
// the system cannot tell.
std::optional<std::string> hostExecutablePath();

// Decodes an image (PNG and the like) from memory; null when it cannot be
// decoded.
std::unique_ptr<Gdiplus::Image> decodeImageFromMemory(const std::uint8_t* data, std::size_t size);

} // namespace vantle::platform
