# SPDX-License-Identifier: GPL-2.0-or-later
# Listening at a real sound server: the sdl output (SDL's pulseaudio driver) on the
# PulseAudio server that scripts/test starts for the run, recorded at the sink's
# monitor and compared with the decoder's own output. Without a server the tests
# skip, saying why.
pkg_check_modules(PULSE_SIMPLE REQUIRED IMPORTED_TARGET libpulse-simple)
vellumdeck_add_suite(sound_tests sound LIBS vdengine PkgConfig::PULSE_SIMPLE)
if(TARGET sound_tests)
  target_sources(sound_tests PRIVATE ${PROJECT_SOURCE_DIR}/bench/support/MonitorRecorder.cpp)
  target_include_directories(sound_tests PRIVATE ${PROJECT_SOURCE_DIR}/bench/support)
  add_dependencies(sound_tests vellumdeck-play)
  target_compile_definitions(sound_tests PRIVATE
    VD_PLAY_TOOL="$<TARGET_FILE:vellumdeck-play>"
    VD_SOUND_SERVER_SCRIPT="${PROJECT_SOURCE_DIR}/scripts/sound-server")
endif()
