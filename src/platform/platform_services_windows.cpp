#include "platform/platform_services.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <gdiplus.h>

#include <cstring>

namespace vantle::platform {

namespace {

// The global memory block and the stream over it must outlive the image:
// GDI+ reads from the stream whenever it decodes, not only when it opens
// it. As the first base, StreamMemory is destroyed after Gdiplus::Image, so
// the image is disposed before its stream and the block are let go.
class StreamMemory {
protected:
    StreamMemory(HGLOBAL block, IStream* stream) : memory(block), source(stream) {}
    ~StreamMemory()
    {
        source->Release();
        GlobalFree(memory);
    }
    StreamMemory(const StreamMemory&) = delete;
    StreamMemory& operator=(const StreamMemory&) = delete;

    HGLOBAL memory;
    IStream* source;
};

class StreamImage final : private StreamMemory, public Gdiplus::Image {
public:
    StreamImage(HGLOBAL block, IStream* stream) : StreamMemory(block, stream), Gdiplus::Image(stream) {}
};

} // namespace

std::optional<std::string> temporaryFolder()
{
    char buffer[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(sizeof buffer, buffer);
    // 0 is a failure; more than the buffer means the path did not fit.
    if (length == 0 || length >= sizeof buffer)
        return std::nullopt;
    return std::string(buffer, length);
}

char pathSeparator() { return '\\'; }

// A folder under the user's temporary folder inherits that folder's
// permissions, which already keep other users out.
bool createPrivateFolder(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) != 0; }

std::uint16_t userLanguageId() { return GetUserDefaultLangID(); }

void openDocument(const std::string& path)
{
    // The shell's default action for the document's type; it returns at once.
    ShellExecuteA(nullptr, nullptr, path.c_str(), nullptr, nullptr, SW_SHOW);
}

std::optional<std::string> hostExecutablePath()
{
    std::string path(8192, '\0');
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size())
        return std::nullopt;
    path.resize(length);
    return path;
}

std::unique_ptr<Gdiplus::Image> decodeImageFromMemory(const std::uint8_t* data, std::size_t size)
{
    if (!data || size == 0)
        return nullptr;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block)
        return nullptr;
    void* target = GlobalLock(block);
    if (!target) {
        GlobalFree(block);
        return nullptr;
    }
    std::memcpy(target, data, size);
    GlobalUnlock(block);

    IStream* stream = nullptr;
    if (CreateStreamOnHGlobal(block, FALSE, &stream) != S_OK || !stream) {
        GlobalFree(block);
        return nullptr;
    }
    auto image = std::make_unique<StreamImage>(block, stream);
    if (image->GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    return image;
}

} // namespace vantle::platform
