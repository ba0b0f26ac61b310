# Compiler settings shared by every target.
#
# Results are defined to the bit by the algorithms, so floating-point
# contraction is off and no value-changing optimisation is ever enabled.
# The build is portable: wide SIMD paths are selected at run time.

add_library(gatebox_flags INTERFACE)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  # The exactness flags are those of gatebox.build, which build_gatebox
  # (and so the Octave package) reads too.
  gatebox_flags(exact _exact)
  target_compile_options(gatebox_flags INTERFACE
    -Wall -Wextra -Wshadow -Wconversion -Wno-sign-conversion ${_exact})
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "i.86|x86")
    # SSE2 arithmetic on 32-bit x86: no x87 extended precision.
    gatebox_flags(x86_32 _x86_32)
    target_compile_options(gatebox_flags INTERFACE ${_x86_32})
  endif()
  if(GATEBOX_WERROR)
    target_compile_options(gatebox_flags INTERFACE -Werror)
  endif()
  if(GATEBOX_SANITIZE OR GATEBOX_FUZZ)
    target_compile_options(gatebox_flags INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(gatebox_flags INTERFACE -fsanitize=address,undefined)
  endif()
  if(GATEBOX_FUZZ)
    # Coverage for libFuzzer in every library the fuzzers load; the fuzzer
    # executables themselves link the engine (tests/fuzz).
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
      message(FATAL_ERROR "GATEBOX_FUZZ needs clang: configure with CC=clang CXX=clang++")
    endif()
    target_compile_options(gatebox_flags INTERFACE -fsanitize=fuzzer-no-link)
  endif()
endif()
