# SPDX-License-Identifier: GPL-2.0-or-later
# What is installed beside the program, against the program itself: the manual page
# against --help, the version wherever it is shown, the software centres' listing.
vellumdeck_add_suite(package_tests package GUI LIBS vdapp vdversion)
set(package_metainfo ${CMAKE_SOURCE_DIR}/share/metainfo/io.github.vellumdeck.Vellumdeck.metainfo.xml)
if(TARGET package_tests AND TARGET vellumdeck)
  add_dependencies(package_tests vellumdeck)
  target_compile_definitions(package_tests PRIVATE
    VD_PROGRAM_PATH="$<TARGET_FILE:vellumdeck>"
    VD_PROJECT_VERSION="${PROJECT_VERSION}"
    VD_MAN_PAGE="${CMAKE_BINARY_DIR}/share/man/man1/vellumdeck.1"
    VD_METAINFO="${package_metainfo}"
    VD_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
endif()

# AppStream's own rules for the listing (without looking anything up on the network).
# Skipped, saying why, where appstreamcli is missing.
add_test(NAME package_metainfo_validates
  COMMAND sh -c "command -v appstreamcli >/dev/null || { echo 'appstreamcli missing: scripts/install-deps installs appstream'; exit 77; }; exec appstreamcli validate --no-net \"$0\""
          ${package_metainfo})
set_tests_properties(package_metainfo_validates PROPERTIES SKIP_RETURN_CODE 77 LABELS package_tests)

# Every source file names the project's licence (scripts/licence-lines adds the line).
add_test(NAME package_sources_name_their_licence
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/licence-lines --check)
set_tests_properties(package_sources_name_their_licence PROPERTIES LABELS package_tests)
