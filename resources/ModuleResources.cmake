# SPDX-License-Identifier: GPL-2.0-or-later
# vellumdeck_add_module_resources(TARGET target MODULE name [DATA files...] [BITMAPS files...] [ICONS files...])
#
# Embeds one module's resources into target with Qt's resource system under ":/<name>/".
# Tables keep their file names (":/<name>/dialogs.json"); a bitmap or icon file named
# "<id>-<what>.<ext>" is found by its id alone (":/<name>/bitmaps/<id>.<ext>"), which is
# how the platform looks resources up. Call it from the folder that creates target.
function(vellumdeck_add_module_resources)
  cmake_parse_arguments(ARG "" "TARGET;MODULE" "DATA;BITMAPS;ICONS" ${ARGN})
  set(files)
  foreach(file ${ARG_DATA})
    get_filename_component(name ${file} NAME)
    set_source_files_properties(${file} PROPERTIES QT_RESOURCE_ALIAS ${name})
    list(APPEND files ${file})
  endforeach()
  foreach(kind BITMAPS ICONS)
    string(TOLOWER ${kind} folder)
    foreach(file ${ARG_${kind}})
      get_filename_component(name ${file} NAME)
      get_filename_component(extension ${file} LAST_EXT)
      if(NOT name MATCHES "^([0-9]+)[-.]")
        message(FATAL_ERROR "${file}: a ${folder} file name starts with its numeric id")
      endif()
      set_source_files_properties(${file} PROPERTIES QT_RESOURCE_ALIAS ${folder}/${CMAKE_MATCH_1}${extension})
      list(APPEND files ${file})
    endforeach()
  endforeach()
  qt_add_resources(${ARG_TARGET} ${ARG_MODULE}_resources PREFIX /${ARG_MODULE} FILES ${files})
endfunction()
