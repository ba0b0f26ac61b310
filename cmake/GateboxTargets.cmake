# One helper per kind of target.  The project's gateways are described in
# gatebox.build (gatebox_add_described_gateways, cmake/GateboxBuild.cmake
# calls add_gateway for each); tests add their own probe gateways directly.
#
# add_gateway(<name>
#             SOURCES <files...>          gateway source and file-local kernels
#             [LINKS <targets...>]        static libraries such as gatebox::util
#             [DEFINES <defs...>]         compile definitions for this variant
#             [SUBDIR <dir>]              output below build/<host>/<dir>/
#             [VERSION_SCRIPT <file>]     default: the `entry mex` script of gatebox.build
#             [MEX_VERSION <text>]        mexVersion() string, default: `version default`
#             [TARGET_SUFFIX <text>]      distinguishes variants of one name
#             [HOSTS <host|octave...>]    default: both hosts
#             [NO_RESOURCES])             Windows: no version string resources
#
# builds build/host/[<dir>/]<name>.mex against the project's own host and,
# when Octave is found, build/octave/[<dir>/]<name>.mex against Octave's MEX
# interface.  The library exports only the entry points listed in the version
# script; everything else (the support library included) stays local.
#
# Windows (mingw-w64 cross build, cmake/mingw-w64.cmake): the library is a DLL
# build/host/[<dir>/]<name>.mexw64 (.mexw32 on 32-bit x86) that exports only
# its entry point and imports the MEX interface from the own host's DLL.  It
# carries no mexVersion(); unless NO_RESOURCES is given, the string resources
# 100 "MATLAB R11 native" and 101 "not inlined" (gateways/mexversion.rc) take
# its place, as Windows hosts read them.

set(GATEBOX_GATEWAYS "" CACHE INTERNAL "gateway targets")

function(add_gateway name)
  cmake_parse_arguments(GW "NO_RESOURCES" "SUBDIR;VERSION_SCRIPT;MEX_VERSION;TARGET_SUFFIX"
                        "SOURCES;LINKS;DEFINES;HOSTS" ${ARGN})
  if(NOT GW_VERSION_SCRIPT)
    get_property(_map GLOBAL PROPERTY GATEBOX_ENTRY_mex)
    set(GW_VERSION_SCRIPT "${PROJECT_SOURCE_DIR}/${_map}")
  endif()
  if(NOT GW_MEX_VERSION)
    get_property(GW_MEX_VERSION GLOBAL PROPERTY GATEBOX_VERSION_default)
  endif()
  if(NOT GW_HOSTS)
    set(GW_HOSTS host octave)
  endif()
  foreach(host IN LISTS GW_HOSTS)
    if(host STREQUAL "octave" AND NOT GATEBOX_HAVE_OCTAVE)
      continue()
    endif()
    set(tgt "gw_${name}${GW_TARGET_SUFFIX}_${host}")
    file(STRINGS "${GW_VERSION_SCRIPT}" _byref REGEX "mexfunction_")
    if(_byref)
      set(_entry mexfunction_)
    else()
      set(_entry mexFunction)
    endif()
    if(WIN32)
      set(_glue)
      if(NOT GW_NO_RESOURCES)
        list(APPEND _glue "${PROJECT_SOURCE_DIR}/gateways/mexversion.rc")
      endif()
      if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        # 32-bit x86 decorates C names with a leading underscore; the DLL
        # exports the decorated name only.  (x86-64 has no such decoration:
        # there the entry point is exported by its plain name.)
        set(_def "${CMAKE_CURRENT_BINARY_DIR}/${tgt}.def")
        file(WRITE "${_def}.new" "EXPORTS\n  _${_entry} = ${_entry}\n")
        configure_file("${_def}.new" "${_def}" COPYONLY)
        list(APPEND _glue "${_def}")
        set(_entry "_${_entry}")
      endif()
    else()
      set(_glue "${PROJECT_SOURCE_DIR}/gateways/mexversion.c")
    endif()
    add_library(${tgt} MODULE ${GW_SOURCES} ${_glue})
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
      VISIBILITY_INLINES_HIDDEN ON)  # hidden symbols: `flags gateway` below
    target_compile_definitions(${tgt} PRIVATE
      "GATEBOX_MEX_VERSION=\"${GW_MEX_VERSION}\"" ${GW_DEFINES})
    target_include_directories(${tgt} PRIVATE "${PROJECT_SOURCE_DIR}/gateways")
    target_link_libraries(${tgt} PRIVATE gatebox_flags ${GW_LINKS})
    gatebox_flags(gateway _gw_flags)
    target_compile_options(${tgt} PRIVATE ${_gw_flags})
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
    if(WIN32)
      # Only what the sources mark for export (the entry point) leaves the DLL,
      # never the support library or the static compiler runtime.
      target_link_options(${tgt} PRIVATE "LINKER:--exclude-all-symbols")
    endif()
    # What the Windows tests expect of the library: its one export and
    # whether it carries the version resources.
    if(GW_NO_RESOURCES)
      set(_res OFF)
    else()
      set(_res ON)
    endif()
    file(RELATIVE_PATH _rel "${PROJECT_BINARY_DIR}" "${outdir}/${name}${_suffix}")
    set_target_properties(${tgt} PROPERTIES
      GATEBOX_ENTRY ${_entry} GATEBOX_RESOURCES ${_res} GATEBOX_RELPATH "${_rel}")
    set(GATEBOX_GATEWAYS "${GATEBOX_GATEWAYS};${tgt}" CACHE INTERNAL "gateway targets")
  endforeach()
endfunction()

# add_unit_test(<name> SOURCES <files...> [LINKS <targets...>] [LABELS <labels...>])
# builds a GoogleTest executable and registers its tests with CTest.  The
# target unit_tests builds every suite labelled unit (the kernels' own tests,
# which scripts/test.sh also runs on a Release build).
add_custom_target(unit_tests)
function(add_unit_test name)
  cmake_parse_arguments(UT "" "" "SOURCES;LINKS;LABELS" ${ARGN})
  add_executable(${name} ${UT_SOURCES})
  if("unit" IN_LIST UT_LABELS)
    add_dependencies(unit_tests ${name})
  endif()
  target_link_libraries(${name} PRIVATE gatebox_flags GTest::gtest GTest::gtest_main ${UT_LINKS})
  target_include_directories(${name} PRIVATE "${PROJECT_SOURCE_DIR}/tests")
  if(CMAKE_CROSSCOMPILING)
    # The build machine cannot list the tests of a Windows executable, so the
    # whole executable is one test, run through the emulator (wine).
    add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
    set_tests_properties(${name} PROPERTIES LABELS "${UT_LABELS}" TIMEOUT 300)
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "${UT_LABELS}")
  endif()
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

# gatebox_write_gateway_manifest(<file>) lists every gateway library built for
# the own host, one a line: "<path below the build directory> <entry point>
# <ON|OFF: version resources>".  Call it once all gateways are defined (the
# Windows tests defer it to the end of the top-level directory).
function(gatebox_write_gateway_manifest file)
  set(_lines "")
  foreach(tgt IN LISTS GATEBOX_GATEWAYS)
    if(NOT tgt OR NOT tgt MATCHES "_host$")
      continue()
    endif()
    get_target_property(_rel ${tgt} GATEBOX_RELPATH)
    get_target_property(_entry ${tgt} GATEBOX_ENTRY)
    get_target_property(_res ${tgt} GATEBOX_RESOURCES)
    string(APPEND _lines "${_rel} ${_entry} ${_res}\n")
  endforeach()
  file(WRITE "${file}.new" "${_lines}")
  configure_file("${file}.new" "${file}" COPYONLY)
endfunction()
