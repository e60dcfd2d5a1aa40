# The places of the tree in their order, from the bottom up. A file includes headers only of its
# own level and below, and a target links (or waits for) targets only of its own level and below
# (cmake/check-layers.cmake holds both). What ships is the lower half: a shipped target never
# links a tool, a test or a benchmark.
#
#   level  place                 what                                                   ships
#   0      common/core           portable logic, no <windows.h>                         yes
#   0      common/calibration    the calibration computation, portable                  yes
#   0      driver/logic          the driver's control-code logic, portable              yes
#   1      common/win            thin Win32 layer                                       yes
#   1      driver                the kernel driver (it links driver/logic alone)        yes
#   2      ui                    window layer                                           yes
#   3      forms                 forms several programs share                           yes
#   4      programs              one folder a program                                   yes
#   5      package               the installation package and its setup helper          yes
#   6      tools                 korctl, the emulators, stand-ins, the driver's client   no
#   7      tests/support         the Wine test harness (and GoogleTest)                 no
#   8      tests, bench          test programs wherever they sit, benchmarks            no
#
# A file in a folder named tests or fuzz below any place (programs/panel/tests/...) belongs to the
# place tests. A target's place is its FOLDER property where one is set (koral_add_test and
# koral_add_wine_test set tests; GoogleTest's targets have tests/support), else the folder of the
# CMakeLists.txt that makes it. CTest's own dashboard targets (include(CTest) makes them, in the
# folder CTestDashboardTargets) build nothing of ours and have no place.
set(KORAL_PLACES
  common/core common/calibration driver/logic common/win driver ui forms programs package
  tools tests/support tests bench)
set(KORAL_PLACE_LEVELS 0 0 0 1 1 2 3 4 5 6 7 8 8)
# The highest level that ships.
set(KORAL_SHIPPED_LEVEL 5)
set(KORAL_PLACELESS_FOLDERS CTestDashboardTargets)

# The place of a path relative to the root (a file, or a target's folder): the longest place it
# lies in, or the place tests for a tests or fuzz folder below another place. Empty when none.
function(koral_place_of path out_place out_level)
  set(place "")
  set(level "")
  if(path MATCHES "(^|/)(tests|fuzz)/" AND NOT path MATCHES "^tests/support(/|$)")
    set(place tests)
  else()
    set(longest 0)
    foreach(candidate level_of IN ZIP_LISTS KORAL_PLACES KORAL_PLACE_LEVELS)
      string(LENGTH "${candidate}" n)
      if(n GREATER longest AND (path STREQUAL candidate OR path MATCHES "^${candidate}/"))
        set(place ${candidate})
        set(longest ${n})
      endif()
    endforeach()
  endif()
  if(place)
    list(FIND KORAL_PLACES ${place} index)
    list(GET KORAL_PLACE_LEVELS ${index} level)
  endif()
  set(${out_place} "${place}" PARENT_SCOPE)
  set(${out_level} "${level}" PARENT_SCOPE)
endfunction()
