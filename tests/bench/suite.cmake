# SPDX-License-Identifier: GPL-2.0-or-later
# The benchmarks' helpers for starting, watching and ending another program. Their
# sources are built in here, so the suite stands even where bench/ is not configured.
vellumdeck_add_suite(bench_tests bench)
if(TARGET bench_tests)
  target_sources(bench_tests PRIVATE
    ${PROJECT_SOURCE_DIR}/bench/support/ChildProcess.cpp
    ${PROJECT_SOURCE_DIR}/bench/support/ProgramSandbox.cpp)
  target_include_directories(bench_tests PRIVATE ${PROJECT_SOURCE_DIR}/bench/support)
endif()
