# The Windows form of a plug-in module: one DLL file named <name>.vst3 that
# exports exactly the names the Linux version script lets out (less the
# Linux-only load pair and LV2 entries), undecorated, with the export directory naming the
# module, and carrying a version resource.
#
# tarvel_windows_module(<target> VERSION_SCRIPT <map> RESOURCE <rc.in> OUTPUT_DIRECTORY <dir>)
function(tarvel_windows_module target)
  cmake_parse_arguments(M "" "VERSION_SCRIPT;RESOURCE;OUTPUT_DIRECTORY" "" ${ARGN})
  get_target_property(_name ${target} OUTPUT_NAME)

  # One list of exports for both platforms: the version script's globals.
  file(STRINGS ${M_VERSION_SCRIPT} _lines)
  set(_exports "")
  set(_in_global FALSE)
  foreach(_line IN LISTS _lines)
    if(_line MATCHES "^[ \t]*global:")
      set(_in_global TRUE)
    elseif(_line MATCHES "^[ \t]*local:")
      set(_in_global FALSE)
    elseif(_in_global AND _line MATCHES "^[ \t]*([A-Za-z_][A-Za-z0-9_]*)[ \t]*;")
      set(_symbol ${CMAKE_MATCH_1})
      if(_symbol STREQUAL "ModuleEntry" OR _symbol STREQUAL "ModuleExit" OR _symbol MATCHES "^lv2")
        continue()
      elseif(_symbol STREQUAL "main")
        # The VST 2 entry's second name; a function called main would get
        # the C runtime's start-up treatment, so it is an alias.
        string(APPEND _exports "    main = VSTPluginMain\n")
      elseif(_symbol STREQUAL "clap_entry")
        string(APPEND _exports "    clap_entry DATA\n")
      else()
        string(APPEND _exports "    ${_symbol}\n")
      endif()
    endif()
  endforeach()
  set(_def ${CMAKE_CURRENT_BINARY_DIR}/${_name}.def)
  file(CONFIGURE OUTPUT ${_def}
       CONTENT "LIBRARY \"${_name}.vst3\"\nEXPORTS\n${_exports}" @ONLY)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${M_VERSION_SCRIPT})

  set(_rc ${CMAKE_CURRENT_BINARY_DIR}/${_name}.rc)
  configure_file(${M_RESOURCE} ${_rc} @ONLY)

  target_sources(${target} PRIVATE ${_def} ${_rc})
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    SUFFIX ".vst3"
    LIBRARY_OUTPUT_DIRECTORY ${M_OUTPUT_DIRECTORY})
  # Only the .def file's names leave the module, whatever else is marked
  # for export in the sources it links.
  target_link_options(${target} PRIVATE -Wl,--exclude-all-symbols -Wl,--no-undefined)
endfunction()
