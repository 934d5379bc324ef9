# The button's faces are the program's bitmaps, so the suite embeds the program's
# resources; the select-file library's module stands in for a module handed to Create.
vellumdeck_add_suite(glyphkey_tests glyphkey GUI LIBS glyphkey vdresources Qt6::Test)
if(TARGET glyphkey_tests)
  include(${CMAKE_CURRENT_SOURCE_DIR}/../mediapick/resources/MediapickResources.cmake)
  mediapick_add_resources(glyphkey_tests)
endif()
