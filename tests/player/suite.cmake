# SPDX-License-Identifier: GPL-2.0-or-later
# The decoder's accuracy tests compare with libmpg123, an independent decoder.
pkg_check_modules(MPG123 REQUIRED IMPORTED_TARGET libmpg123)
if(TARGET player_tests)
  target_link_libraries(player_tests PRIVATE PkgConfig::MPG123)
endif()
