#pragma once
// The toolkit's shared, reference-counted hold on GDI+: every user (the module
// entry, each frame) enters once and exits once; GDI+ runs while at least one
// reference is held.

#include <cstdint>

namespace VSTGUI {

class GDIPlusGlobals {
public:
    // The first enter starts GDI+; later ones only count.
    static void enter();
    // The last exit shuts GDI+ down and deletes the holder. An exit without a
    // matching enter does nothing.
    static void exit();
    static bool isRunning();
    static int referenceCount();

private:
    GDIPlusGlobals();
    ~GDIPlusGlobals();

    // GDI+'s ULONG_PTR: pointer-sized, which `unsigned long` is not on 64-bit
    // Windows.
    std::uintptr_t token = 0;
    bool running = false;
};

} // namespace VSTGUI
