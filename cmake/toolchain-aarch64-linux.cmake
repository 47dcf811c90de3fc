# Cross-building for Linux on 64-bit Arm (AArch64) with Debian's cross
# compiler, against the arm64 builds of the libraries installed beside the
# build machine's own through multiarch (scripts/install-deps.sh), and
# running what it builds under qemu-user.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(_triple aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${_triple}-gcc)
set(CMAKE_CXX_COMPILER ${_triple}-g++)

# Libraries from /usr/lib/aarch64-linux-gnu; the architecture-independent
# headers in /usr/include serve both builds, which the cross compiler
# searches after its own.
set(CMAKE_LIBRARY_ARCHITECTURE ${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
# pkg-config sees only the arm64 packages' descriptions (and the
# architecture-independent ones).
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/${_triple}/pkgconfig:/usr/share/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")

# Test programs (and CTest's listing of their cases) run under qemu-user.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/qemu-aarch64-run.sh)
