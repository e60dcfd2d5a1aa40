# Keeps a program's state out of process-wide objects: every program's main makes its driver
# session, settings store, profile and application and hands them on, so that a form can be run in
# process against a fake. The check reads the symbols of every shipped user-mode object of the
# build (common/win, ui, forms, programs, package; not their tests) and fails on mutable data with
# static storage (a global, a static member, a function's static) that the list below does not
# name with its reason.
#
#   cmake -DBUILD=<windows build folder> -DNM=<nm of the toolchain> -P check-state.cmake
cmake_minimum_required(VERSION 3.25)

# What may stay process-wide, because it is one per process by nature, and why. Matched against
# the demangled symbol.
set(allowed
  # Where message boxes go: the system's or a test's recorder; it holds nothing of the program.
  "koral::\\(anonymous namespace\\)::g_boxes$"
  "koral::\\(anonymous namespace\\)::g_systemBoxes$"
  # The hourglass is the thread's cursor; the count lets nested busy spells restore it once.
  "koral::\\(anonymous namespace\\)::g_hourglassCount$"
  # The process's phase log and standard error output, opened once.
  "PhaseFile\\(\\)::file$"
  "ErrorOutput\\(\\)::output$"
  # The program's single-instance mark: one per program and session.
  "PreviousInstanceRunning\\(.*\\)::mutex$"
  "PreviousInstanceRunning\\(.*\\)::previous$"
  # Window classes are registered for the process; the icon and the display's DPI are facts of it.
  "CustomClass\\(char const\\*\\)::registered$"
  "FormClass\\(\\)::atom$"
  "ProgramIcon\\(\\)::icon$"
  "DisplayDpi\\(\\)::dpi$"
)

if(NOT BUILD OR NOT NM)
  message(FATAL_ERROR "usage: cmake -DBUILD=<build folder> -DNM=<nm> -P check-state.cmake")
endif()

set(objects "")
foreach(place common/win ui forms programs package)
  file(GLOB_RECURSE found ${BUILD}/${place}/*.obj ${BUILD}/${place}/*.o)
  list(APPEND objects ${found})
endforeach()
list(FILTER objects EXCLUDE REGEX "\\.dir/(tests|.*/tests)/")
list(FILTER objects EXCLUDE REGEX "cmake_pch")
list(LENGTH objects count)
if(count EQUAL 0)
  message(FATAL_ERROR "no objects under ${BUILD}: build it first")
endif()

set(found "")
foreach(object IN LISTS objects)
  execute_process(COMMAND ${NM} -C ${object} RESULT_VARIABLE read OUTPUT_VARIABLE symbols ERROR_VARIABLE problem)
  if(NOT read EQUAL 0)
    message(FATAL_ERROR "${NM} could not read ${object}: ${problem}")
  endif()
  string(REPLACE "\n" ";" lines "${symbols}")
  foreach(line IN LISTS lines)
    # Data and zeroed data (d, b), local or global; not section names and not the guards of
    # function statics (their statics are checked themselves).
    if(NOT line MATCHES "^[0-9a-fA-F]+ [bBdD] (.+)$")
      continue()
    endif()
    set(symbol "${CMAKE_MATCH_1}")
    if(symbol MATCHES "^\\." OR symbol MATCHES "^guard variable for ")
      continue()
    endif()
    set(ok OFF)
    foreach(pattern IN LISTS allowed)
      if(symbol MATCHES "${pattern}")
        set(ok ON)
        break()
      endif()
    endforeach()
    if(NOT ok)
      file(RELATIVE_PATH where ${BUILD} ${object})
      string(APPEND found "  ${symbol}  (${where})\n")
    endif()
  endforeach()
endforeach()

if(found)
  message(FATAL_ERROR "process-wide state in shipped code; pass it in from the program's main instead, "
                      "or name it in cmake/check-state.cmake with the reason it is one per process:\n${found}")
endif()
message(STATUS "${count} objects checked: no process-wide state beyond the named")
