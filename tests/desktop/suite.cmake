# SPDX-License-Identifier: GPL-2.0-or-later
# The program on the desktop: its options, a file handed to the running program, the
# media controls on a private session bus, and the installed program.
find_package(Qt6 REQUIRED COMPONENTS Network)
vellumdeck_add_suite(desktop_tests desktop GUI LIBS vdapp Qt6::DBus Qt6::Network Qt6::Test)
if(TARGET desktop_tests AND TARGET vellumdeck AND TARGET vellumdeck-play)
  add_dependencies(desktop_tests vellumdeck vellumdeck-play)
  target_compile_definitions(desktop_tests PRIVATE VD_PROGRAM_PATH="$<TARGET_FILE:vellumdeck>"
                                                   VD_PLAY_PATH="$<TARGET_FILE:vellumdeck-play>")
endif()

# Installs the build into a temporary prefix and runs the installed program from there.
add_test(NAME desktop_install
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/desktop/install-check ${CMAKE_BINARY_DIR} ${CMAKE_COMMAND})
set_tests_properties(desktop_install PROPERTIES TIMEOUT 300 ENVIRONMENT QT_QPA_PLATFORM=offscreen)
