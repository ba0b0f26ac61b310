# cmake -DSOURCE_DIR=... -DBINARY_DIR=... -DVERSION=... -DOUTPUT=... -P make_package.cmake
# Stages the package folder gatebox/ and packs it into OUTPUT.
cmake_minimum_required(VERSION 3.20)
set(stage "${BINARY_DIR}/octave_package_stage")
set(pkg "${stage}/gatebox")
file(REMOVE_RECURSE "${stage}")
file(MAKE_DIRECTORY "${pkg}/inst" "${pkg}/src")

set(PROJECT_VERSION "${VERSION}")
string(TIMESTAMP GATEBOX_PACKAGE_DATE "%Y-%m-%d" UTC)
configure_file("${SOURCE_DIR}/package/DESCRIPTION.in" "${pkg}/DESCRIPTION" @ONLY)
file(COPY "${SOURCE_DIR}/package/COPYING" "${SOURCE_DIR}/NEWS" "${SOURCE_DIR}/package/post_install.m"
     DESTINATION "${pkg}")
file(COPY "${SOURCE_DIR}/package/PKG_ADD" "${SOURCE_DIR}/package/PKG_DEL" DESTINATION "${pkg}/inst")
file(COPY "${SOURCE_DIR}/package/Makefile" DESTINATION "${pkg}/src")

# The help text of each gateway in the sources, and the toolbox's own files.
# A help-only file without its gateway would shadow a built-in (gamma).
file(GLOB mfiles "${SOURCE_DIR}/mfiles/*.m")
foreach(m IN LISTS mfiles)
  get_filename_component(name "${m}" NAME_WE)
  if(name MATCHES "^(Contents|gatebox|gatebox_demo|build_gatebox)$" OR EXISTS "${SOURCE_DIR}/gateways/${name}.cpp")
    file(COPY "${m}" DESTINATION "${pkg}/inst")
  endif()
endforeach()
# The build description, which build_gatebox reads at installation, and the
# folders of the sources it describes.
set(GATEBOX_SOURCE_DIR "${SOURCE_DIR}")
include("${SOURCE_DIR}/cmake/GateboxBuild.cmake")
file(COPY "${SOURCE_DIR}/gatebox.build" DESTINATION "${pkg}/src")
gatebox_source_dirs(source_dirs)
foreach(dir IN LISTS source_dirs)
  file(GLOB sources "${SOURCE_DIR}/${dir}/*.c" "${SOURCE_DIR}/${dir}/*.cpp"
                    "${SOURCE_DIR}/${dir}/*.h" "${SOURCE_DIR}/${dir}/*.inc"
                    "${SOURCE_DIR}/${dir}/*.map")
  if(sources)
    file(COPY ${sources} DESTINATION "${pkg}/src/${dir}")
  endif()
endforeach()

get_filename_component(out_name "${OUTPUT}" NAME)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar czf "${OUTPUT}" gatebox
  WORKING_DIRECTORY "${stage}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "packing ${out_name} failed")
endif()
