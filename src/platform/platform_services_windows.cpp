#include "platform/platform_services.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <gdiplus.h>

#include <cstring>
#include <string>

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

std::optional<std::string> userConfigFolder()
{
    char buffer[MAX_PATH + 1] = {};
    const DWORD length = GetEnvironmentVariableA("APPDATA", buffer, sizeof buffer);
    if (length == 0 || length >= sizeof buffer)
        return std::nullopt;
    std::string folder(buffer, length);
    if (folder.back() != '\\')
        folder.push_back('\\');
    return folder;
}

bool ensureFolder(const std::string& path)
{
    if (CreateDirectoryA(path.c_str(), nullptr))
        return true;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool replaceFileAtomically(const std::string& path, const std::string& bytes)
{
    const std::string temporary = path + "." + std::to_string(GetCurrentProcessId()) + "." +
                                  std::to_string(GetCurrentThreadId()) + ".tmp";
    HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool whole = bytes.size() <= MAXDWORD &&
                       WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
                       written == bytes.size() && FlushFileBuffers(file);
    CloseHandle(file);
    if (whole && MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileA(temporary.c_str());
    return false;
}

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
