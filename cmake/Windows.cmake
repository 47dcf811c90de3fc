# What the Windows cross build needs besides the toolchain file: the
# build machine's header-only libraries reached without /usr/include on the
# include path, and GoogleTest compiled from Debian's source package.
if(NOT CMAKE_CROSSCOMPILING)
  message(FATAL_ERROR "Windows builds are cross builds: configure with --preset windows")
endif()

# /usr/include holds Linux headers that must never shadow mingw-w64's, so
# only the libraries we use are linked into a folder of their own.
set(_cross_include ${PROJECT_BINARY_DIR}/cross-include)
file(MAKE_DIRECTORY ${_cross_include})
foreach(_entry boost picojson.h)
  if(NOT EXISTS /usr/include/${_entry})
    message(FATAL_ERROR "/usr/include/${_entry} is missing; run scripts/install-deps.sh")
  endif()
  file(CREATE_LINK /usr/include/${_entry} ${_cross_include}/${_entry} SYMBOLIC)
endforeach()
set(PICOJSON_INCLUDE_DIR ${_cross_include} CACHE PATH "" FORCE)
set(Boost_INCLUDE_DIR ${_cross_include} CACHE PATH "" FORCE)
set(Boost_NO_BOOST_CMAKE ON)

# zlib (libz-mingw-w64-dev) linked in, not as a DLL beside the module.
set(ZLIB_USE_STATIC_LIBS ON)

# Debian ships GoogleTest as source (package googletest) besides the Linux
# libraries; the cross build compiles it like any of our libraries.
if(TARVEL_BUILD_TESTS)
  set(TARVEL_GOOGLETEST_SOURCE_DIR /usr/src/googletest/googletest CACHE PATH "GoogleTest sources (Debian googletest)")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  # Defines GTest::gtest and GTest::gtest_main, as find_package would.
  add_subdirectory(${TARVEL_GOOGLETEST_SOURCE_DIR} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
endif()
