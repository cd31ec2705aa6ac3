# SPDX-License-Identifier: GPL-3.0-or-later
# TALVEK_SANITIZER: empty (plain build), "address" (ASan + UBSan) or "thread" (TSan).
set(TALVEK_SANITIZER "" CACHE STRING "Sanitizer build: empty, address or thread")
set_property(CACHE TALVEK_SANITIZER PROPERTY STRINGS "" address thread)

if(TALVEK_SANITIZER STREQUAL "address")
  set(_san_flags -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
elseif(TALVEK_SANITIZER STREQUAL "thread")
  set(_san_flags -fsanitize=thread -fno-omit-frame-pointer)
elseif(NOT TALVEK_SANITIZER STREQUAL "")
  message(FATAL_ERROR "Unknown TALVEK_SANITIZER '${TALVEK_SANITIZER}'")
endif()

if(_san_flags)
  add_compile_options(${_san_flags})
  add_link_options(${_san_flags})
endif()
