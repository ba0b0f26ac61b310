# Cross build for Windows with Debian's mingw-w64 compilers.
#
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
#
# x86-64 by default (gateways end in .mexw64); -DGATEBOX_MINGW_ARCH=i686 gives
# the 32-bit build (.mexw32).  The posix thread model is used so that the full
# C++ library (std::thread, std::mutex) is available; every program and DLL
# carries its own static copy of the compiler runtime (libgcc, libstdc++,
# winpthread), so the deliverables depend on system DLLs and, for gateways
# and tests, on the project's own host DLL only.
set(CMAKE_SYSTEM_NAME Windows)

if(NOT GATEBOX_MINGW_ARCH)
  set(GATEBOX_MINGW_ARCH x86_64)
endif()
set(GATEBOX_MINGW_ARCH "${GATEBOX_MINGW_ARCH}" CACHE STRING "mingw-w64 target: x86_64 or i686")
# try_compile projects see the toolchain file again; hand them the choice.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES GATEBOX_MINGW_ARCH)

if(GATEBOX_MINGW_ARCH STREQUAL "i686")
  set(CMAKE_SYSTEM_PROCESSOR x86)
  # GCC's 32-bit x86 code does double arithmetic on the x87 unit by default:
  # results kept in 80-bit registers are rounded twice (to 64 and then to 53
  # bits) or not at all, depending on register spills, so they differ from
  # every SSE2 build in the last place.  SSE2 scalar arithmetic rounds every
  # operation once to double, as x86-64 does, which makes the 32-bit build
  # compute the same bits as the others.  Set for every target (the test
  # framework included), not only for those that take the project's flags.
  # (The 32-bit calling convention still returns doubles in an x87 register;
  # that load and store changes no value but a signalling NaN, which it
  # quiets.)  tests/tools/check_no_x87.sh checks the objects.
  set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
  set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
else()
  set(CMAKE_SYSTEM_PROCESSOR AMD64)
endif()
set(_triple ${GATEBOX_MINGW_ARCH}-w64-mingw32)

find_program(CMAKE_C_COMPILER NAMES ${_triple}-gcc-posix ${_triple}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${_triple}-g++-posix ${_triple}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${_triple}-windres REQUIRED)
find_program(CMAKE_AR NAMES ${_triple}-ar REQUIRED)
find_program(CMAKE_RANLIB NAMES ${_triple}-ranlib REQUIRED)
find_program(GATEBOX_MINGW_OBJDUMP NAMES ${_triple}-objdump REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static compiler runtime everywhere (-static also takes winpthread's archive).
# 32-bit x86 but for libgcc: its exceptions unwind by DWARF tables that each
# module registers with the libgcc it links, so an error the host DLL throws
# could not unwind through a gateway DLL's frames if every module had a copy
# of its own.  There all modules share libgcc_s_dw2-1.dll (x86-64 unwinds by
# the system's tables and needs no such DLL).  The two runtime DLLs (libgcc's
# and winpthread's, which libgcc's links) go beside the programs.
if(GATEBOX_MINGW_ARCH STREQUAL "i686")
  set(_gatebox_runtime "-static-libstdc++ -shared-libgcc")
  set(GATEBOX_MINGW_RUNTIME_DLLS libgcc_s_dw2-1.dll libwinpthread-1.dll)
else()
  set(_gatebox_runtime "-static -static-libgcc -static-libstdc++")
endif()
foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT "${_gatebox_runtime}")
endforeach()
