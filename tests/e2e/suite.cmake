# SPDX-License-Identifier: GPL-2.0-or-later
# The whole program, in process and headless: the application object, its frame and
# view, the player thread and the real audio layer (null or WAV output).
vellumdeck_add_suite(e2e_tests e2e GUI LIBS vdapp Qt6::Test)
if(TARGET e2e_tests)
  target_compile_definitions(e2e_tests PRIVATE VD_SAMPLE_DIR="${PROJECT_SOURCE_DIR}/resources/sample")
endif()
