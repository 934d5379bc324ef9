# SPDX-License-Identifier: GPL-2.0-or-later
# mediapick_add_resources(target): embeds the select-file dialog library's own resources
# (dialog 129, bitmap 166) into target under ":/mediapick/" and makes
# MediapickResource.h visible to it. Call from the folder that creates target.
include(${CMAKE_CURRENT_LIST_DIR}/../../resources/ModuleResources.cmake)
set(MEDIAPICK_RESOURCES_DIR ${CMAKE_CURRENT_LIST_DIR})

function(mediapick_add_resources target)
  file(GLOB bitmaps CONFIGURE_DEPENDS ${MEDIAPICK_RESOURCES_DIR}/*.bmp)
  vellumdeck_add_module_resources(TARGET ${target} MODULE mediapick
    DATA ${MEDIAPICK_RESOURCES_DIR}/dialogs.json BITMAPS ${bitmaps})
  target_include_directories(${target} PUBLIC ${MEDIAPICK_RESOURCES_DIR})
endfunction()
