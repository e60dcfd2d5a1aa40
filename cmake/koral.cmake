# How the suite adds its programs and its tests. Every program lands in the one folder
# ${KORAL_PROGRAMS_DIR} (bin/), as an installation has them side by side in InstallPath, where
# they find each other. Test helpers and tools land in ${KORAL_TOOLS_DIR} (tools/).

set(KORAL_PROGRAMS_DIR ${CMAKE_BINARY_DIR}/bin)
set(KORAL_TOOLS_DIR ${CMAKE_BINARY_DIR}/tools)
# The throwaway prefix for tests whose programs restart Windows (see koral_add_wine_test).
get_filename_component(KORAL_BUILD_ROOT ${CMAKE_BINARY_DIR} DIRECTORY)
set(KORAL_RESTART_PREFIX ${KORAL_BUILD_ROOT}/wine-restart)

# The Windows form of a build-tree path as Wine sees it (its Z: drive is the root folder).
function(koral_wine_path out path)
  string(REPLACE "/" "\\" path "${path}")
  set(${out} "Z:${path}" PARENT_SCOPE)
endfunction()

# A test program whose cases CTest lists when the tests run (discovery at build time would
# start Wine then). Native tests: LABELS native; tests under Wine use koral_add_wine_test. Test
# programs have the place tests in the order of cmake/layers.cmake, wherever they sit.
function(koral_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  set_target_properties(${name} PROPERTIES FOLDER tests)
  target_link_libraries(${name} PRIVATE ${T_LIBS} ${KORAL_GTEST})
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120 NO_PRETTY_VALUES
                       PROPERTIES LABELS "${T_LABELS}")
endfunction()

# koral_add_program(<name> ICON <file.ico> ROLE <text> [ADMINISTRATOR] [RESOURCES <file.rc>]
#                   SOURCES ... LIBS ...)
# A program of the suite: a Windows GUI program, statically linked, with its icon as resource 1
# (the icon every form of it shows), a version resource naming the suite and its role, and a
# manifest. The manifest declares the program aware of the display's DPI (the forms scale their
# twips by it) and asks to run as the invoking user, or with ADMINISTRATOR for administrator
# rights (programs that write machine-wide keys and restart Windows). RESOURCES adds the
# program's own resources to that one script: icons compiled in separate scripts would number
# their images alike and take each other's places. Release builds are stripped, as they ship.
function(koral_add_program name)
  cmake_parse_arguments(P "ADMINISTRATOR" "ICON;ROLE;RESOURCES" "SOURCES;LIBS" ${ARGN})
  set(KORAL_RC_ICON ${CMAKE_CURRENT_SOURCE_DIR}/${P_ICON})
  set(KORAL_RC_NAME ${name})
  set(KORAL_RC_ROLE "${P_ROLE}")
  set(KORAL_RC_EXTRA "")
  if(P_RESOURCES)
    set(KORAL_RC_EXTRA "#include \"${CMAKE_CURRENT_SOURCE_DIR}/${P_RESOURCES}\"")
  endif()
  if(P_ADMINISTRATOR)
    set(KORAL_MANIFEST_LEVEL requireAdministrator)
  else()
    set(KORAL_MANIFEST_LEVEL asInvoker)
  endif()
  set(KORAL_RC_MANIFEST ${CMAKE_CURRENT_BINARY_DIR}/${name}.manifest)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/program.manifest.in ${KORAL_RC_MANIFEST} @ONLY)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/program.rc.in ${CMAKE_CURRENT_BINARY_DIR}/${name}.rc @ONLY)
  add_executable(${name} WIN32 ${P_SOURCES} ${CMAKE_CURRENT_BINARY_DIR}/${name}.rc)
  # windres does not see the manifest as a dependency of the script.
  set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/${name}.rc PROPERTIES OBJECT_DEPENDS ${KORAL_RC_MANIFEST})
  target_link_libraries(${name} PRIVATE ${P_LIBS})
  target_link_options(${name} PRIVATE $<$<CONFIG:Release,MinSizeRel>:-s>)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${KORAL_PROGRAMS_DIR})
endfunction()

# The test prefixes that Wine tests run in side by side: the test prefix and its copies, each a
# machine of its own (server, driver, registry, desktop). CTest hands them out as the resource
# "wine_prefix" (the windows test preset names this resource file); scripts/test-prefix makes as many as it
# lists, and scripts/wine-run runs a test in the one it was given. One a processor, at most four:
# beyond that the copies cost more disk and start-up than the tests gain.
if(KORAL_WINDOWS)
  cmake_host_system_information(RESULT koral_cores QUERY NUMBER_OF_LOGICAL_CORES)
  set(KORAL_TEST_PREFIXES 0 CACHE STRING "Wine prefixes for tests run side by side (0: one a processor, at most 4)")
  set(koral_prefixes ${KORAL_TEST_PREFIXES})
  if(koral_prefixes LESS 1)
    set(koral_prefixes ${koral_cores})
    if(koral_prefixes GREATER 4)
      set(koral_prefixes 4)
    endif()
  endif()
  set(koral_ids "")
  math(EXPR koral_last "${koral_prefixes} - 1")
  foreach(i RANGE ${koral_last})
    if(i GREATER 0)
      string(APPEND koral_ids ", ")
    endif()
    string(APPEND koral_ids "{\"id\": \"${i}\", \"slots\": 1}")
  endforeach()
  file(WRITE ${CMAKE_BINARY_DIR}/wine-prefixes.json
    "{\"version\": {\"major\": 1, \"minor\": 0}, \"local\": [{\"wine_prefix\": [${koral_ids}]}]}\n")
endif()

# Test code is built for the speed of building, not of running: without optimisation, and with
# the system's and GoogleTest's headers precompiled once (koral_test_headers) for all of it.
# Building it took two thirds of the Windows build.
function(koral_build_for_testing target)
  target_compile_options(${target} PRIVATE -O0)
  target_precompile_headers(${target} REUSE_FROM koral_test_headers)
endfunction()
if(KORAL_WINDOWS)
  file(WRITE ${CMAKE_BINARY_DIR}/koral_test_headers.cpp "// The precompiled headers of the test code.\n")
  add_library(koral_test_headers OBJECT ${CMAKE_BINARY_DIR}/koral_test_headers.cpp)
  set_target_properties(koral_test_headers PROPERTIES FOLDER tests)
  target_link_libraries(koral_test_headers PRIVATE gtest)
  target_compile_options(koral_test_headers PRIVATE -O0)
  target_precompile_headers(koral_test_headers PRIVATE <windows.h> <gtest/gtest.h> <chrono> <filesystem>
                            <functional> <optional> <string> <vector>)
endif()

# koral_add_wine_test(<name> SOURCES ... LIBS ... [PROGRAMS targets...] [LOCKS resources...]
#                     [RESTART_PREFIX])
# A test program run under Wine in a test prefix. It finds the suite's programs through the
# environment variable KORAL_PROGRAMS and the tools through KORAL_TOOLS (Windows paths), and is
# built after the PROGRAMS it starts. LOCKS names what its tests share with other tests in one
# prefix:
#   driver        the substitute driver's block, journal and window slots
#   model-key     the model key of the registry (the installation profile)
#   desktop       the pointer, the keyboard focus, the foreground and windows found by caption
#   mouse-class   the registry's mouse class and device enumeration keys
# A test with LOCKS is given a test prefix of its own (the resource wine_prefix), so tests that
# share something run side by side in different prefixes; within one prefix (CTest run without the
# resource file) scripts/wine-run holds a lock on each named part for the test's run. A test
# without LOCKS shares nothing and runs in the test prefix beside any other.
# RESTART_PREFIX runs the tests instead in the throwaway prefix ${KORAL_RESTART_PREFIX}, where the
# programs they start may restart Windows, which ends every process of the prefix that has a
# window. The fixture restart_prefix (tests/support) makes that prefix afresh before the first of
# them; they take its lock, one at a time, and share nothing with the test prefixes.
function(koral_add_wine_test name)
  cmake_parse_arguments(T "RESTART_PREFIX" "" "SOURCES;LIBS;PROGRAMS;LOCKS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} koral_test_support ${KORAL_GTEST})
  if(T_PROGRAMS)
    add_dependencies(${name} ${T_PROGRAMS})
  endif()
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests FOLDER tests)
  koral_build_for_testing(${name})
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120 NO_PRETTY_VALUES
                       PROPERTIES LABELS wine)

  # gtest_discover_tests would split list-valued properties; a CTest script of our own, read
  # after the discovered tests, gives them the environment and the resources whole.
  koral_wine_path(programs ${KORAL_PROGRAMS_DIR})
  koral_wine_path(tools ${KORAL_TOOLS_DIR})
  set(environment "KORAL_PROGRAMS=${programs};KORAL_TOOLS=${tools}")
  set(resources "")
  if(T_RESTART_PREFIX)
    string(APPEND environment ";KORAL_WINEPREFIX=${KORAL_RESTART_PREFIX}")
    set(resources "    FIXTURES_REQUIRED restart_prefix\n    RESOURCE_LOCK restart-prefix\n")
  elseif(T_LOCKS)
    list(JOIN T_LOCKS "," locks)
    string(APPEND environment ";KORAL_LOCKS=${locks}")
    set(resources "    RESOURCE_GROUPS wine_prefix:1\n")
  endif()
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${name}_properties.cmake)
  file(WRITE ${script}
    "if(${name}_TESTS)\n"
    "  set_tests_properties(\${${name}_TESTS} PROPERTIES\n"
    "    ENVIRONMENT [==[${environment}]==]\n"
    "${resources}"
    "  )\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${script})
endfunction()

# koral_add_fuzz_target(<name> SEEDS <folder> CORPUS <folder> [MAX_LEN <bytes>] SOURCES ...)
# A libFuzzer target from fuzz/<name>.cpp of the calling folder, under AddressSanitizer and
# UndefinedBehaviorSanitizer, in native clang builds only. SOURCES are the files of the code it
# reads, compiled into the target so that libFuzzer's coverage instrumentation reaches them (the
# libraries the tests link stay uninstrumented). The short CTest run <name>_short (labels native
# and fuzz) reads the seeds in fuzz/<SEEDS> of the source tree and keeps new inputs in <CORPUS>
# of the build tree; scripts/fuzz-long runs every target so added for long, from the list
# koral_write_fuzz_list leaves in the build tree.
function(koral_add_fuzz_target name)
  if(KORAL_WINDOWS OR NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    return()
  endif()
  cmake_parse_arguments(F "" "CORPUS;SEEDS;MAX_LEN" "SOURCES" ${ARGN})
  add_executable(${name} fuzz/${name}.cpp ${F_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  set(corpus ${CMAKE_CURRENT_BINARY_DIR}/${F_CORPUS})
  set(seeds ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/${F_SEEDS})
  file(MAKE_DIRECTORY ${corpus})
  set(length "")
  if(F_MAX_LEN)
    set(length -max_len=${F_MAX_LEN})
  endif()
  add_test(NAME ${name}_short COMMAND ${name} -runs=50000 -seed=1 ${length} ${corpus} ${seeds})
  set_tests_properties(${name}_short PROPERTIES LABELS "native;fuzz" TIMEOUT 300)
  set_property(GLOBAL APPEND PROPERTY KORAL_FUZZ_TARGETS
               "${name}|$<TARGET_FILE:${name}>|${corpus}|${seeds}|${F_MAX_LEN}")
endfunction()

# Writes fuzz-targets.txt into the build tree: one line per fuzz target, in the order they were
# added, "name|program|corpus|seeds|max_len" (max_len may be empty). Called once, after every folder.
function(koral_write_fuzz_list)
  get_property(targets GLOBAL PROPERTY KORAL_FUZZ_TARGETS)
  list(JOIN targets "\n" lines)
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/fuzz-targets.txt CONTENT "${lines}\n")
endfunction()
