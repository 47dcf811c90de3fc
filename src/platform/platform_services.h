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

// The folder for the user's settings, ending with the path separator:
// $XDG_CONFIG_HOME or ~/.config on Linux, %APPDATA% on Windows; empty when
// there is none.
std::optional<std::string> userConfigFolder();

// Creates a folder (readable by others, as settings folders are) unless it
// exists; false if it is not there afterwards.
bool ensureFolder(const std::string& path);

// Writes bytes to a temporary file beside path and puts it in path's place
// in one step, so that readers see the old file or the new one, never a
// part; false (and path untouched) if anything fails.
bool replaceFileAtomically(const std::string& path, const std::string& bytes);

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
