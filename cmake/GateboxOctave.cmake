# Locate GNU Octave's MEX interface through mkoctfile and describe it as the
# interface target gatebox::octave_mex.  Sets GATEBOX_HAVE_OCTAVE.

set(GATEBOX_HAVE_OCTAVE OFF)
if(GATEBOX_OCTAVE AND NOT CMAKE_CROSSCOMPILING)
  find_program(GATEBOX_MKOCTFILE mkoctfile)
  find_program(GATEBOX_OCTAVE_CLI octave-cli)
  if(GATEBOX_MKOCTFILE AND GATEBOX_OCTAVE_CLI)
    execute_process(COMMAND ${GATEBOX_MKOCTFILE} -p OCTINCLUDEDIR
      OUTPUT_VARIABLE _oct_incdir OUTPUT_STRIP_TRAILING_WHITESPACE)
    execute_process(COMMAND ${GATEBOX_MKOCTFILE} -p OCTLIBDIR
      OUTPUT_VARIABLE _oct_libdir OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(EXISTS "${_oct_incdir}/mex.h")
      set(GATEBOX_HAVE_OCTAVE ON)
      add_library(gatebox_octave_mex INTERFACE)
      add_library(gatebox::octave_mex ALIAS gatebox_octave_mex)
      target_include_directories(gatebox_octave_mex SYSTEM INTERFACE "${_oct_incdir}")
      target_link_directories(gatebox_octave_mex INTERFACE "${_oct_libdir}")
      target_link_libraries(gatebox_octave_mex INTERFACE octinterp octave)
      target_compile_definitions(gatebox_octave_mex INTERFACE GATEBOX_OCTAVE_HOST=1)
      message(STATUS "GNU Octave MEX interface: ${_oct_incdir}")
    endif()
  endif()
endif()
if(NOT GATEBOX_HAVE_OCTAVE)
  message(STATUS "GNU Octave not found: building the gateways for the own host only")
endif()
