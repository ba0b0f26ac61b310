# One helper per kind of target.
#
# add_gateway(<name>
#             SOURCES <files...>          gateway source and file-local kernels
#             [LINKS <targets...>]        static libraries such as gatebox::util
#             [DEFINES <defs...>]         compile definitions for this variant
#             [SUBDIR <dir>]              output below build/<host>/<dir>/
#             [VERSION_SCRIPT <file>]     default: gateways/mex.map (MEX node)
#             [MEX_VERSION <text>]        mexVersion() string, default "MATLAB R13 native"
#             [TARGET_SUFFIX <text>]      distinguishes variants of one name
#             [HOSTS <host|octave...>])   default: both hosts
#
# builds build/host/[<dir>/]<name>.mex against the project's own host and,
# when Octave is found, build/octave/[<dir>/]<name>.mex against Octave's MEX
# interface.  The library exports only the entry points listed in the version
# script; everything else (the support library included) stays local.

set(GATEBOX_GATEWAYS "" CACHE INTERNAL "gateway targets")

function(add_gateway name)
  cmake_parse_arguments(GW "" "SUBDIR;VERSION_SCRIPT;MEX_VERSION;TARGET_SUFFIX"
                        "SOURCES;LINKS;DEFINES;HOSTS" ${ARGN})
  if(NOT GW_VERSION_SCRIPT)
    set(GW_VERSION_SCRIPT "${PROJECT_SOURCE_DIR}/gateways/mex.map")
  endif()
  if(NOT GW_MEX_VERSION)
    set(GW_MEX_VERSION "MATLAB R13 native")
  endif()
  if(NOT GW_HOSTS)
    set(GW_HOSTS host octave)
  endif()
  foreach(host IN LISTS GW_HOSTS)
    if(host STREQUAL "octave" AND NOT GATEBOX_HAVE_OCTAVE)
      continue()
    endif()
    set(tgt "gw_${name}${GW_TARGET_SUFFIX}_${host}")
    add_library(${tgt} MODULE ${GW_SOURCES} "${PROJECT_SOURCE_DIR}/gateways/mexversion.c")
    set(outdir "${PROJECT_BINARY_DIR}/${host}")
    if(GW_SUBDIR)
      set(outdir "${outdir}/${GW_SUBDIR}")
    endif()
    if(WIN32)
      if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        set(_suffix ".mexw64")
      else()
        set(_suffix ".mexw32")
      endif()
    else()
      set(_suffix ".mex")
    endif()
    set_target_properties(${tgt} PROPERTIES
      PREFIX "" SUFFIX "${_suffix}" OUTPUT_NAME "${name}"
      LIBRARY_OUTPUT_DIRECTORY "${outdir}"
      RUNTIME_OUTPUT_DIRECTORY "${outdir}"
      C_VISIBILITY_PRESET hidden CXX_VISIBILITY_PRESET hidden
      VISIBILITY_INLINES_HIDDEN ON)
    target_compile_definitions(${tgt} PRIVATE
      "GATEBOX_MEX_VERSION=\"${GW_MEX_VERSION}\"" ${GW_DEFINES})
    target_include_directories(${tgt} PRIVATE "${PROJECT_SOURCE_DIR}/gateways")
    target_link_libraries(${tgt} PRIVATE gatebox_flags ${GW_LINKS})
    if(host STREQUAL "octave")
      target_link_libraries(${tgt} PRIVATE gatebox::octave_mex)
      # The help text lives in mfiles/<name>.m; beside the MEX file it is what
      # `help <name>` shows, while the MEX file (which takes precedence in its
      # folder) does the work.
      if(EXISTS "${PROJECT_SOURCE_DIR}/mfiles/${name}.m")
        configure_file("${PROJECT_SOURCE_DIR}/mfiles/${name}.m" "${outdir}/${name}.m" COPYONLY)
      endif()
    else()
      target_link_libraries(${tgt} PRIVATE gatebox::host)
    endif()
    if(NOT WIN32 AND NOT APPLE)
      target_link_options(${tgt} PRIVATE "LINKER:--version-script=${GW_VERSION_SCRIPT}")
      # clang's sanitizer runtimes live in the executable, so a sanitized
      # library has undefined references to them until it is loaded.
      if(NOT ((GATEBOX_SANITIZE OR GATEBOX_FUZZ) AND CMAKE_CXX_COMPILER_ID MATCHES "Clang"))
        target_link_options(${tgt} PRIVATE "LINKER:--no-undefined")
      endif()
      set_property(TARGET ${tgt} APPEND PROPERTY LINK_DEPENDS "${GW_VERSION_SCRIPT}")
    endif()
    set(GATEBOX_GATEWAYS "${GATEBOX_GATEWAYS};${tgt}" CACHE INTERNAL "gateway targets")
  endforeach()
endfunction()

# add_unit_test(<name> SOURCES <files...> [LINKS <targets...>] [LABELS <labels...>])
# builds a GoogleTest executable and registers its tests with CTest.
function(add_unit_test name)
  cmake_parse_arguments(UT "" "" "SOURCES;LINKS;LABELS" ${ARGN})
  add_executable(${name} ${UT_SOURCES})
  target_link_libraries(${name} PRIVATE gatebox_flags GTest::gtest GTest::gtest_main ${UT_LINKS})
  target_include_directories(${name} PRIVATE "${PROJECT_SOURCE_DIR}/tests")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "${UT_LABELS}")
  # Gateway and host suites also run under valgrind memcheck: no definite or
  # indirect leak, no invalid access (label memcheck).
  find_program(GATEBOX_VALGRIND valgrind)
  if(GATEBOX_VALGRIND AND NOT GATEBOX_SANITIZE AND NOT GATEBOX_FUZZ AND NOT WIN32 AND "gateway" IN_LIST UT_LABELS)
    add_test(NAME memcheck_${name}
      COMMAND ${GATEBOX_VALGRIND} --quiet --error-exitcode=1 --leak-check=full
              --errors-for-leak-kinds=definite,indirect $<TARGET_FILE:${name}>)
    set_tests_properties(memcheck_${name} PROPERTIES LABELS memcheck TIMEOUT 1200)
  endif()
endfunction()
