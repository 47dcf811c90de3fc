# Every dependency is a Debian package (scripts/install-deps.sh installs them).

set(TARVEL_VST3_SDK_DIR
    /usr/share/juce/modules/juce_audio_processors/format_types/VST3_SDK
    CACHE PATH "Root of the VST 3 SDK sources (Debian juce-modules-source-data)")
if(NOT EXISTS ${TARVEL_VST3_SDK_DIR}/pluginterfaces/base/funknown.h)
  message(FATAL_ERROR "VST 3 SDK not found at ${TARVEL_VST3_SDK_DIR}; run scripts/install-deps.sh")
endif()

find_path(PICOJSON_INCLUDE_DIR picojson.h REQUIRED)
find_package(Boost 1.74 REQUIRED)
find_package(Threads REQUIRED)

# The SDK's sources compiled into a static library of our own; the files stay
# where Debian installs them.
set(_sdk ${TARVEL_VST3_SDK_DIR})
add_library(vst3sdk STATIC
  ${_sdk}/pluginterfaces/base/conststringtable.cpp
  ${_sdk}/pluginterfaces/base/coreiids.cpp
  ${_sdk}/pluginterfaces/base/funknown.cpp
  ${_sdk}/pluginterfaces/base/ustring.cpp
  ${_sdk}/base/source/baseiids.cpp
  ${_sdk}/base/source/fbuffer.cpp
  ${_sdk}/base/source/fdebug.cpp
  ${_sdk}/base/source/fobject.cpp
  ${_sdk}/base/source/fstreamer.cpp
  ${_sdk}/base/source/fstring.cpp
  ${_sdk}/base/source/updatehandler.cpp
  ${_sdk}/base/thread/source/flock.cpp
  ${_sdk}/public.sdk/source/common/memorystream.cpp
  ${_sdk}/public.sdk/source/common/pluginview.cpp
  ${_sdk}/public.sdk/source/vst/vstbus.cpp
  ${_sdk}/public.sdk/source/vst/vstcomponent.cpp
  ${_sdk}/public.sdk/source/vst/vstcomponentbase.cpp
  ${_sdk}/public.sdk/source/vst/vsteditcontroller.cpp
  ${_sdk}/public.sdk/source/vst/vstinitiids.cpp
  ${_sdk}/public.sdk/source/vst/vstparameters.cpp
  ${_sdk}/public.sdk/source/vst/vstpresetfile.cpp
  # Ids the subset's sources use but never define.
  ${PROJECT_SOURCE_DIR}/src/sdk/gui_interface_ids.cpp
)
target_include_directories(vst3sdk SYSTEM PUBLIC ${_sdk})
target_compile_definitions(vst3sdk PUBLIC $<IF:$<CONFIG:Debug>,DEVELOPMENT=1,RELEASE=1>)
target_compile_options(vst3sdk PRIVATE -w)
target_link_libraries(vst3sdk PUBLIC Threads::Threads)

# The SDK's host-side helpers (message and attribute-list classes) for the
# test host and tarvel-render.
add_library(vst3sdk_hosting STATIC
  ${_sdk}/public.sdk/source/vst/hosting/hostclasses.cpp
  ${_sdk}/public.sdk/source/vst/hosting/pluginterfacesupport.cpp
)
target_compile_options(vst3sdk_hosting PRIVATE -w)
target_link_libraries(vst3sdk_hosting PUBLIC vst3sdk)

add_library(picojson INTERFACE)
target_include_directories(picojson SYSTEM INTERFACE ${PICOJSON_INCLUDE_DIR})

add_library(boost_headers INTERFACE)
target_include_directories(boost_headers SYSTEM INTERFACE ${Boost_INCLUDE_DIRS})

# LV2 (Linux only): the headers for the module; lilv and suil, the host
# libraries, for tests and tarvel-render only, never linked into the module.
if(NOT WIN32)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(LV2 REQUIRED IMPORTED_TARGET lv2)
  pkg_check_modules(LILV REQUIRED IMPORTED_TARGET lilv-0)
  pkg_check_modules(SUIL REQUIRED IMPORTED_TARGET suil-0)
endif()
