// Loading a module with the dynamic loader, entered as Linux hosts do.

#include <dlfcn.h>
#include <sys/stat.h>

#include <stdexcept>

#include "tools/host/module_library.h"

namespace tarvel::host {

namespace {

// The bundle folder for the architecture this host runs on; a host never
// loads another architecture's module.
#if defined(__aarch64__)
constexpr const char* bundleArchitecture = "aarch64-linux";
#else
constexpr const char* bundleArchitecture = "x86_64-linux";
#endif

class DlopenLibrary final : public SharedLibrary {
public:
    explicit DlopenLibrary(void* openedHandle) : handle(openedHandle) {}
    ~DlopenLibrary() override { dlclose(handle); }

    void* symbol(const char* name) const override { return dlsym(handle, name); }

    bool enterModule() override
    {
        auto entry = reinterpret_cast<bool (*)(void*)>(symbol("ModuleEntry"));
        return entry && entry(handle);
    }

    void exitModule() override
    {
        if (auto exit = reinterpret_cast<bool (*)()>(symbol("ModuleExit")))
            exit();
    }

private:
    void* handle;
};

} // namespace

std::unique_ptr<SharedLibrary> SharedLibrary::open(const std::string& path)
{
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* reason = dlerror();
        throw std::runtime_error("cannot load " + path + ": " + (reason ? reason : "unknown error"));
    }
    return std::make_unique<DlopenLibrary>(handle);
}

std::string moduleBinaryPath(const std::string& bundleOrFile)
{
    struct stat info {};
    if (stat(bundleOrFile.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        std::string folder = bundleOrFile;
        while (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        std::string name = folder.substr(folder.find_last_of('/') + 1);
        if (name.size() > 5 && name.ends_with(".vst3"))
            name.resize(name.size() - 5);
        return folder + "/Contents/" + bundleArchitecture + "/" + name + ".so";
    }
    return bundleOrFile;
}

} // namespace tarvel::host
