// What the Linux module leaves in the host's process when the host unloads
// it. Hosts load and unload plug-ins often (scanning, opening projects), so
// nothing may be lost each time.
//
// - The libraries the editor draws with keep state for the life of the
//   process, made when they are loaded (pixman's implementations) or first
//   used (fontconfig's configuration), and never given back: unloading them
//   with the module would lose it on every unload. They stay loaded instead,
//   once the module has loaded them; a host that uses them itself has them
//   loaded anyway.
// - The module carries its own C++ runtime, which sets aside a buffer for
//   exceptions thrown when memory runs out; nothing else frees it, so it is
//   given back as the module unloads.

#include <dlfcn.h>

#include <initializer_list>

namespace __gnu_cxx {
// The C++ runtime's release of that buffer, meant for memory checkers.
void __freeres() noexcept;
} // namespace __gnu_cxx

namespace {

struct ModuleUnload {
    ModuleUnload()
    {
        for (const char* library : {"libcairo.so.2", "libfontconfig.so.1", "libfreetype.so.6"})
            if (void* handle = dlopen(library, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE))
                dlclose(handle);
    }
    ~ModuleUnload() { __gnu_cxx::__freeres(); }
};

const ModuleUnload moduleUnload;

} // namespace
