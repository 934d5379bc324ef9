# SPDX-License-Identifier: GPL-2.0-or-later
# The committed bitmaps and sounds, checked against the sizes, depths and layout the
# program relies on, and the drawing tool's BMP writing.
vellumdeck_add_suite(resources_tests resources LIBS Qt6::Gui)
if(TARGET resources_tests)
  set(drawbitmaps_dir ${CMAKE_SOURCE_DIR}/tools/drawbitmaps)
  target_sources(resources_tests PRIVATE ${drawbitmaps_dir}/BmpWriter.cpp)
  target_include_directories(resources_tests PRIVATE ${drawbitmaps_dir}
    ${CMAKE_SOURCE_DIR}/resources ${CMAKE_SOURCE_DIR}/mediapick/resources)
  target_compile_definitions(resources_tests PRIVATE VD_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
endif()
