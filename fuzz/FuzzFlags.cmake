# SPDX-License-Identifier: GPL-2.0-or-later
# The fuzz configuration: clang's libFuzzer with AddressSanitizer and
# UndefinedBehaviorSanitizer on everything of ours, coverage for the fuzzer on the
# code under test. Included from the top-level list before any target exists.
#
# VELLUMDECK_FUZZ_COVERAGE builds the same targets without the sanitizers and with
# clang's source coverage instead, to measure with llvm-cov which lines and branches
# a corpus reaches (scripts/fuzz-coverage).
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "VELLUMDECK_FUZZ needs clang: configure with CC=clang CXX=clang++")
endif()
option(VELLUMDECK_FUZZ_COVERAGE "Fuzz targets with source coverage, without sanitizers" OFF)
if(VELLUMDECK_FUZZ_COVERAGE)
  add_compile_options(-fsanitize=fuzzer-no-link -fprofile-instr-generate -fcoverage-mapping -g)
  add_link_options(-fprofile-instr-generate)
else()
  # Undefined behaviour ends the run like a memory error, so the fuzzer keeps it.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=address,undefined)
endif()
