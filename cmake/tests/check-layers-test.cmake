# The layer check catches what it is there for, on the small tree layers-fixture: an include of a
# place above, a bare include, a link up the order and a shipped target on a tool; and it passes
# the same tree's graph once those links are gone. A test program linking a tool is no fault.
#   cmake -DSCRATCH=<scratch folder> [-DGENERATOR=.. -DMAKE_PROGRAM=.. -DC_COMPILER=..] -P check-layers-test.cmake
cmake_minimum_required(VERSION 3.25)
set(check ${CMAKE_CURRENT_LIST_DIR}/../check-layers.cmake)
set(fixture ${CMAKE_CURRENT_LIST_DIR}/layers-fixture)
set(failures "")

# Runs the check; `out` receives its exit code and its whole output.
function(run_check out)
  execute_process(COMMAND ${CMAKE_COMMAND} ${ARGN} -P ${check}
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  set(${out} "${result}\n${output}" PARENT_SCOPE)
endfunction()

function(expect what result)
  cmake_parse_arguments(E "FAILS;PASSES" "" "SAYS;NOT_SAYS" ${ARGN})
  string(REGEX MATCH "^[^\n]*" code "${result}")
  if(E_FAILS AND code STREQUAL "0")
    string(APPEND failures "${what}: the check passed\n")
  endif()
  if(E_PASSES AND NOT code STREQUAL "0")
    string(APPEND failures "${what}: the check failed\n")
  endif()
  foreach(text IN LISTS E_SAYS)
    string(FIND "${result}" "${text}" at)
    if(at EQUAL -1)
      string(APPEND failures "${what}: does not say \"${text}\"\n")
    endif()
  endforeach()
  foreach(text IN LISTS E_NOT_SAYS)
    string(FIND "${result}" "${text}" at)
    if(NOT at EQUAL -1)
      string(APPEND failures "${what}: says \"${text}\"\n")
    endif()
  endforeach()
  if(failures)
    string(APPEND failures "--- its output:\n${result}\n")
  endif()
  set(failures "${failures}" PARENT_SCOPE)
endfunction()

run_check(includes -DMODE=includes -DROOT=${fixture})
expect("includes" "${includes}" FAILS
  SAYS "common/core/core.h (common/core) includes ui/window.h (ui), a place above it"
       "ui/window.c includes \"window.h\", which is no file named from the root"
  NOT_SAYS "programs/demo/main.c" "tools/sim.c" "demo_test.c")

# The fixture's own build folders, each with the file API query written before it is configured,
# made with the tools of the build that runs the test when it names them.
set(tools "")
if(GENERATOR)
  list(APPEND tools -G "${GENERATOR}")
endif()
if(MAKE_PROGRAM)
  list(APPEND tools -DCMAKE_MAKE_PROGRAM=${MAKE_PROGRAM})
endif()
if(C_COMPILER)
  list(APPEND tools -DCMAKE_C_COMPILER=${C_COMPILER})
endif()
foreach(variant broken clean)
  set(build ${SCRATCH}/${variant})
  file(REMOVE_RECURSE ${build})
  file(WRITE ${build}/.cmake/api/v1/query/client-koral/codemodel-v2 "")
  set(clean OFF)
  if(variant STREQUAL "clean")
    set(clean ON)
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -S ${fixture} -B ${build} -DCLEAN=${clean} ${tools}
                  RESULT_VARIABLE configured OUTPUT_VARIABLE log ERROR_VARIABLE log)
  if(NOT configured EQUAL 0)
    message(FATAL_ERROR "the fixture did not configure:\n${log}")
  endif()
  run_check(graph_${variant} -DMODE=targets -DBUILD=${build})
endforeach()
expect("broken graph" "${graph_broken}" FAILS
  SAYS "core (common/core) links or waits for window (ui): a place above it"
       "demo (programs) links or waits for sim (tools): a shipped target on a tool, test or benchmark"
  NOT_SAYS "demo_test")
expect("clean graph" "${graph_clean}" PASSES SAYS "5 targets checked")

if(failures)
  message(FATAL_ERROR "The layer check missed:\n${failures}")
endif()
message(STATUS "the layer check catches upward and bare includes, upward links and shipped targets on tools")
