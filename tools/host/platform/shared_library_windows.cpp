// Loading a module with the Windows loader, entered as Windows hosts do.

#include <windows.h>

#include <stdexcept>
#include <string>

#include "tools/host/module_library.h"

namespace tarvel::host {

namespace {

std::string systemMessage(DWORD code)
{
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length ? std::string(text, length) : "error " + std::to_string(code);
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
        message.pop_back();
    return message;
}

class WindowsLibrary final : public SharedLibrary {
public:
    explicit WindowsLibrary(HMODULE loaded) : module(loaded) {}
    ~WindowsLibrary() override { FreeLibrary(module); }

    void* symbol(const char* name) const override
    {
        return reinterpret_cast<void*>(GetProcAddress(module, name));
    }

    bool enterModule() override
    {
        auto entry = reinterpret_cast<bool (*)()>(symbol("InitDll"));
        return entry && entry();
    }

    void exitModule() override
    {
        if (auto exit = reinterpret_cast<bool (*)()>(symbol("ExitDll")))
            exit();
    }

private:
    HMODULE module;
};

} // namespace

std::unique_ptr<SharedLibrary> SharedLibrary::open(const std::string& path)
{
    HMODULE module = LoadLibraryA(path.c_str());
    if (!module)
        throw std::runtime_error("cannot load " + path + ": " + systemMessage(GetLastError()));
    return std::make_unique<WindowsLibrary>(module);
}

std::string moduleBinaryPath(const std::string& bundleOrFile)
{
    // The Windows module is a single file, but a bundle folder holds it at
    // Contents\x86_64-win\<name>.vst3.
    const DWORD attributes = GetFileAttributesA(bundleOrFile.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return bundleOrFile;
    std::string folder = bundleOrFile;
    while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\'))
        folder.pop_back();
    const std::string name = folder.substr(folder.find_last_of("/\\") + 1);
    return folder + "\\Contents\\x86_64-win\\" + name;
}

} // namespace tarvel::host
