# The Debian package of the plug-in (Linux): in the build folder,
#   cpack -G DEB
# writes tarvel_<version>_amd64.deb. It installs the VST 3 bundle under
# /usr/lib/vst3, the same module for VST 2.4 hosts under /usr/lib/vst and
# for CLAP hosts as /usr/lib/clap/Tarvel64.clap, the LV2 bundle under
# /usr/lib/lv2 (its Turtle files and a link to the same module), and
# tarvel-render with its manual page. Its dependencies are worked out from
# the binaries by dpkg-shlibdeps.

install(TARGETS Tarvel64 LIBRARY DESTINATION lib/vst3/Tarvel64.vst3/Contents/${TARVEL_BUNDLE_ARCHITECTURE}-linux)
# The links below are written at install time; this names the folder for them.
install(CODE "set(tarvel_bundle_architecture ${TARVEL_BUNDLE_ARCHITECTURE}-linux)")
# VST 2 hosts load the module file itself; a link keeps one copy of it.
install(CODE [[
  set(vst2_dir "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/lib/vst")
  file(MAKE_DIRECTORY "${vst2_dir}")
  file(CREATE_LINK ../vst3/Tarvel64.vst3/Contents/${tarvel_bundle_architecture}/Tarvel64.so "${vst2_dir}/Tarvel64.so" SYMBOLIC)
  message(STATUS "Installing: ${vst2_dir}/Tarvel64.so")
  set(clap_dir "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/lib/clap")
  file(MAKE_DIRECTORY "${clap_dir}")
  file(CREATE_LINK ../vst3/Tarvel64.vst3/Contents/${tarvel_bundle_architecture}/Tarvel64.so "${clap_dir}/Tarvel64.clap" SYMBOLIC)
  message(STATUS "Installing: ${clap_dir}/Tarvel64.clap")
]])
install(FILES ${TARVEL_LV2_BUNDLE_DIR}/manifest.ttl ${TARVEL_LV2_BUNDLE_DIR}/tarvel.ttl
  DESTINATION lib/lv2/Tarvel.lv2)
install(CODE [[
  set(lv2_dir "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/lib/lv2/Tarvel.lv2")
  file(MAKE_DIRECTORY "${lv2_dir}")
  file(CREATE_LINK ../../vst3/Tarvel64.vst3/Contents/${tarvel_bundle_architecture}/Tarvel64.so "${lv2_dir}/Tarvel64.so" SYMBOLIC)
  message(STATUS "Installing: ${lv2_dir}/Tarvel64.so")
]])
install(TARGETS tarvel-render RUNTIME DESTINATION bin)

set(_manual ${PROJECT_BINARY_DIR}/tarvel-render.1.gz)
add_custom_command(OUTPUT ${_manual}
  COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/tools/render/tarvel-render.1 > ${_manual}
  DEPENDS ${PROJECT_SOURCE_DIR}/tools/render/tarvel-render.1
  VERBATIM)
add_custom_target(tarvel_render_manual ALL DEPENDS ${_manual})
install(FILES ${_manual} DESTINATION share/man/man1)

# The package's copyright file (the licence and the notices of what the
# Linux binaries carry) and its changelog, both where Debian looks for them.
set(TARVEL_MAINTAINER "Vantle Audio <support@vantle.audio>")
set(_packaging ${PROJECT_SOURCE_DIR}/packaging)
set(_copyright ${PROJECT_BINARY_DIR}/packaging/copyright)
add_custom_command(OUTPUT ${_copyright}
  COMMAND bash ${_packaging}/write-notices.sh linux ${_copyright}.notices
  COMMAND ${CMAKE_COMMAND} -E cat ${_packaging}/debian/copyright-header.txt ${_copyright}.notices > ${_copyright}
  DEPENDS ${_packaging}/write-notices.sh ${_packaging}/NOTICES.txt ${_packaging}/debian/copyright-header.txt
  VERBATIM)
string(TIMESTAMP TARVEL_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${_packaging}/debian/changelog.in ${PROJECT_BINARY_DIR}/packaging/changelog @ONLY)
set(_changelog ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(OUTPUT ${_changelog}
  COMMAND gzip -9nc ${PROJECT_BINARY_DIR}/packaging/changelog > ${_changelog}
  DEPENDS ${PROJECT_BINARY_DIR}/packaging/changelog
  VERBATIM)
add_custom_target(tarvel_package_documents ALL DEPENDS ${_copyright} ${_changelog})
install(FILES ${_copyright} ${_changelog} DESTINATION share/doc/tarvel)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvel)
set(CPACK_PACKAGE_VENDOR Tarvel)
set(CPACK_PACKAGE_CONTACT "${TARVEL_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "loudness compressor audio plug-in (VST 3, VST 2.4, CLAP and LV2)")
set(CPACK_PACKAGE_DESCRIPTION [[
Tarvel measures the short-term loudness of its input and maps it around
a target with a ratio, in mid/side on stereo. This package installs the
plug-in for Linux hosts (VST 3, VST 2.4, CLAP and LV2) and tarvel-render,
which renders audio files through it.]])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
