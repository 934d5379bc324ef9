# SPDX-License-Identifier: GPL-2.0-or-later
vellumdeck_add_suite(platform_gui_tests platform_gui GUI LIBS vdplatformgui vdresources Qt6::Test)
# The suite also reads the select-file library's module, so it embeds that too.
if(TARGET platform_gui_tests)
  include(${CMAKE_CURRENT_SOURCE_DIR}/../mediapick/resources/MediapickResources.cmake)
  mediapick_add_resources(platform_gui_tests)
endif()
