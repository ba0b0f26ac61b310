# GoogleTest for a cross build: Debian's libgtest-dev holds libraries for the
# build machine only, so the test framework is compiled from Debian's sources
# (package googletest, /usr/src/googletest) with the cross compiler.
set(GATEBOX_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for cross builds")
if(NOT EXISTS "${GATEBOX_GTEST_SOURCE}/googletest/CMakeLists.txt")
  message(FATAL_ERROR "GoogleTest sources not found in ${GATEBOX_GTEST_SOURCE} (Debian package googletest)")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)  # Windows threads and locks
add_subdirectory("${GATEBOX_GTEST_SOURCE}/googletest" "${PROJECT_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)
# Its headers are third-party: no warnings from them in the project's tests.
foreach(t gtest gtest_main)
  get_target_property(_inc ${t} INTERFACE_INCLUDE_DIRECTORIES)
  set_target_properties(${t} PROPERTIES INTERFACE_SYSTEM_INCLUDE_DIRECTORIES "${_inc}")
endforeach()
if(NOT TARGET GTest::gtest)  # GoogleTest 1.12 defines them; older releases do not
  add_library(GTest::gtest ALIAS gtest)
  add_library(GTest::gtest_main ALIAS gtest_main)
endif()

# The runtime DLLs the toolchain links shared (32-bit x86: libgcc's), beside
# the programs, where Windows looks for them first.
foreach(_dll IN LISTS GATEBOX_MINGW_RUNTIME_DLLS)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${_dll}
                  OUTPUT_VARIABLE _path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT EXISTS "${_path}")
    message(FATAL_ERROR "${_dll} not found by ${CMAKE_CXX_COMPILER}")
  endif()
  file(COPY "${_path}" DESTINATION "${CMAKE_RUNTIME_OUTPUT_DIRECTORY}")
endforeach()
