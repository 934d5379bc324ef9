# The program's pieces: player controller, main view, application shell. The start-up
# tests also run the program itself.
vellumdeck_add_suite(app_tests app GUI LIBS vdapp Qt6::Test)
if(TARGET app_tests AND TARGET vellumdeck)
  add_dependencies(app_tests vellumdeck)
  target_compile_definitions(app_tests PRIVATE VD_PROGRAM_PATH="$<TARGET_FILE:vellumdeck>")
endif()
