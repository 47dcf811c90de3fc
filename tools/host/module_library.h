#pragma once
// A loaded plug-in module, as a host holds it: the OS library and the
// module's own load/unload pair around its lifetime.

#include <memory>
#include <string>

namespace Steinberg {
class IPluginFactory;
}

namespace tarvel::host {

// The operating system's side: open a shared library, find its exports.
// One implementation per OS lives in platform/.
class SharedLibrary {
public:
    // Throws std::runtime_error naming the path and the system's reason.
    static std::unique_ptr<SharedLibrary> open(const std::string& path);

    virtual ~SharedLibrary() = default;

    // The address of an exported name, or null.
    virtual void* symbol(const char* name) const = 0;

    // Runs the module's load function the way hosts on this OS do
    // (ModuleEntry with the library handle on Linux, InitDll on Windows);
    // false if the module refuses or lacks it.
    virtual bool enterModule() = 0;
    // The matching unload function; only after a successful enterModule.
    virtual void exitModule() = 0;
};

// A VST 3 module loaded and entered. The destructor exits the module and
// closes the library; everything created from its factories must be
// released before that.
class PluginModule {
public:
    // Throws std::runtime_error when the file cannot be loaded, lacks
    // GetPluginFactory or its load function fails.
    explicit PluginModule(const std::string& path);
    ~PluginModule();
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    // A new factory with one reference owned by the caller, or null when the
    // module's GetPluginFactory answers null.
    Steinberg::IPluginFactory* createFactory() const;

    // Resolves another export by name (VSTPluginMain, for example).
    void* symbol(const char* name) const { return library->symbol(name); }

    const std::string& path() const { return modulePath; }

private:
    std::string modulePath;
    std::unique_ptr<SharedLibrary> library;
    bool entered = false;
};

// Where a built module's binary lies inside its bundle folder (or the path
// itself if it already names a file).
std::string moduleBinaryPath(const std::string& bundleOrFile);

} // namespace tarvel::host
