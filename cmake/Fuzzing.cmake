# SPDX-License-Identifier: GPL-3.0-or-later
# TALVEK_FUZZ: also build the libFuzzer targets of tests/fuzz (clang only). Everything is then
# compiled with coverage for the fuzzer and with ASan + UBSan, so a fault stops the fuzzer at once.
option(TALVEK_FUZZ "Build the libFuzzer targets (needs clang)" OFF)

if(TALVEK_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "TALVEK_FUZZ needs clang (configure with CXX=clang++)")
  endif()
  if(TALVEK_SANITIZER)
    message(FATAL_ERROR "TALVEK_FUZZ brings its own sanitizers; leave TALVEK_SANITIZER empty")
  endif()
  set(_fuzz_flags -fsanitize=address,undefined -fno-sanitize-recover=undefined
                  -fno-omit-frame-pointer)
  add_compile_options(-fsanitize=fuzzer-no-link ${_fuzz_flags})
  add_link_options(${_fuzz_flags})
endif()
