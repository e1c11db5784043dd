# Each library's include root, build/include/NAME/, holds its own folder
# under the folder's name (a link into src/), so "world/world.h" keeps its
# spelling while a target sees only the folders of the libraries it links
# and its own: a simulation file that includes the interface fails to build.
# A library built from several folders (FOLDERS) gets a link for each.
# A library that owns its subfolders (RECURSE) or has none gets one link to
# the folder; one whose subfolders are other libraries (app, below app/gfx
# and app/audio) gets a link per header of its own.
function(vd_include_root name dir recurse fresh)
  set(src ${PROJECT_SOURCE_DIR}/src/${dir})
  set(root ${PROJECT_BINARY_DIR}/include/${name})
  # Links are removed, never followed: the sources stay as they are. A
  # library built from several folders clears its root for the first only.
  if(fresh)
    file(REMOVE_RECURSE ${root})
  endif()
  set(whole_folder ${recurse})
  if(NOT whole_folder)
    set(whole_folder TRUE)
    file(GLOB entries LIST_DIRECTORIES true ${src}/*)
    foreach(entry IN LISTS entries)
      if(IS_DIRECTORY ${entry})
        set(whole_folder FALSE)
      endif()
    endforeach()
  endif()
  if(whole_folder)
    get_filename_component(parent ${root}/${dir} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${src} ${root}/${dir} SYMBOLIC)
  else()
    file(MAKE_DIRECTORY ${root}/${dir})
    file(GLOB headers CONFIGURE_DEPENDS RELATIVE ${src} ${src}/*.h)
    foreach(header IN LISTS headers)
      file(CREATE_LINK ${src}/${header} ${root}/${dir}/${header} SYMBOLIC)
    endforeach()
  endif()
  set(${name}_include_root ${root} PARENT_SCOPE)
endfunction()

# One static library per subsystem folder, or per group of folders (FOLDERS
# names the others) whose code calls itself in a circle too tight to cut.
# Sources are found by globbing so a new file needs no build edit;
# NAME_test.cpp files beside the code form the library's test executable
# instead. TEST_DEPS names libraries above this one that only its tests
# link (to install their hooks as the program does).
function(vd_subsystem name dir)
  cmake_parse_arguments(ARG "RECURSE" "" "DEPS;FOLDERS;TEST_DEPS" ${ARGN})
  set(all)
  foreach(folder IN ITEMS ${dir} ${ARG_FOLDERS})
    if(ARG_RECURSE)
      file(GLOB_RECURSE found CONFIGURE_DEPENDS ${folder}/*.cpp)
    else()
      file(GLOB found CONFIGURE_DEPENDS ${folder}/*.cpp)
    endif()
    list(APPEND all ${found})
  endforeach()
  set(srcs)
  set(tests)
  set(thread_tests)
  foreach(f IN LISTS all)
    if(f MATCHES "_threads_test\\.cpp$")
      list(APPEND thread_tests ${f})
    elseif(f MATCHES "_test\\.cpp$")
      list(APPEND tests ${f})
    else()
      list(APPEND srcs ${f})
    endif()
  endforeach()
  if(NOT IS_DIRECTORY ${PROJECT_SOURCE_DIR}/src/${dir})
    # A subsystem still to come: a name to link, nothing to expose.
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    return()
  endif()
  set(fresh TRUE)
  foreach(folder IN ITEMS ${dir} ${ARG_FOLDERS})
    vd_include_root(${name} ${folder} "${ARG_RECURSE}" ${fresh})
    set(fresh FALSE)
  endforeach()
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_include_directories(${name} PUBLIC ${${name}_include_root})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    vd_library_pch(${name} "${ARG_DEPS}")
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${${name}_include_root})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
  if(tests)
    add_executable(${name}_tests ${tests})
    target_link_libraries(${name}_tests PRIVATE ${name} ${ARG_TEST_DEPS} vd_testsupport GTest::gtest GTest::gmock)
    vd_test_pch(${name}_tests)
    vd_discover_tests(${name}_tests)
  endif()
  # NAME_threads_test.cpp files: tests of threads running side by side, in an
  # executable of their own labelled "threads". CI runs them with the other
  # tests under the address and undefined-behaviour sanitizers; the thread
  # sanitizer's run of them is scripts/tsan.sh, which CI does not run.
  if(thread_tests)
    add_executable(${name}_threads_tests ${thread_tests})
    target_link_libraries(${name}_threads_tests PRIVATE ${name} ${ARG_TEST_DEPS} vd_testsupport GTest::gtest GTest::gmock)
    vd_discover_tests(${name}_threads_tests LABELS threads)
    if(NOT TARGET vd_threads_tests)
      add_custom_target(vd_threads_tests)
    endif()
    add_dependencies(vd_threads_tests ${name}_threads_tests)
  endif()
endfunction()

# Tests run headless: the test main points SDL at its offscreen and dummy
# drivers unless the environment chooses others.
# The test framework's headers, parsed once per test program instead of once
# per test file: about a fifth off compiling the tests. Off by default because
# a compiler cache does not reuse objects built against a precompiled header.
# One precompiled header serves every test program: the first program to ask
# builds it and the others reuse it (all are compiled with the same options).
function(vd_test_pch target)
  if(VD_TEST_PCH)
    vd_shared_pch(${target} vd_test_pch_owner <gtest/gtest.h> <gmock/gmock.h> ${vd_standard_headers})
  endif()
endfunction()

# The standard headers most files include, parsed once per library instead
# of once per file: they cost about a second of every file's compiling. Only
# with VD_PCH: every file then sees them whether it includes them or not, so
# a build without (CI's clang tree) keeps the includes honest.
set(vd_standard_headers <algorithm> <array> <atomic> <cmath> <cstddef> <cstdint> <cstdio> <cstring> <functional>
    <map> <memory> <mutex> <optional> <string> <string_view> <utility> <vector>)
# Likewise one is built for all the libraries, by the first that asks: a
# header of each library's own cost its compile again and again. A library
# that links nothing (the records) is compiled without the definitions the
# platform's libraries bring, so it keeps a header of its own.
function(vd_library_pch target deps)
  if(NOT VD_PCH)
    return()
  endif()
  if(deps)
    vd_shared_pch(${target} vd_library_pch_owner ${vd_standard_headers})
  else()
    target_precompile_headers(${target} PRIVATE ${vd_standard_headers})
  endif()
endfunction()

# The target named in the global property `owner` builds the header; a target
# that comes later reuses it. Its compiler then checks that the header is
# valid for the reusing target's options (-Winvalid-pch, an error with
# VD_WERROR), so a target whose options differ fails loudly, not slowly.
function(vd_shared_pch target owner)
  get_property(first GLOBAL PROPERTY ${owner})
  if(first)
    target_precompile_headers(${target} REUSE_FROM ${first})
  else()
    set_property(GLOBAL PROPERTY ${owner} ${target})
    target_precompile_headers(${target} PRIVATE ${ARGN})
  endif()
endfunction()

# One CTest entry per test program (the default), which runs its tests whole
# in one process: the program starts once instead of once per test, which
# under the sanitizers costs more than many of the tests themselves, and a
# test that leans on what an earlier one left behind fails. GTEST_SHUFFLE=1
# GTEST_RANDOM_SEED=N in the environment shuffle each run (scripts/test.sh
# sets them). SHARDS n splits a long program into n entries, each running
# every n-th test, so that the entries go side by side. ONCE labels the
# entries "once" instead of "whole": scripts/test.sh runs them in the first
# shuffled order only, for programs of play tests, whose every case starts
# its own game afresh, so that a second order finds little the first could
# not, and whose runs cost the most under the sanitizers. The suites of such
# a program's files that start no game run again in the later orders, in an
# entry NAME.rest labelled "again" (see vd_play_suites). With
# VD_TESTS_PER_PROGRAM off, each test is an entry (a process) of its own.
option(VD_TESTS_PER_PROGRAM "One CTest entry per test program, its tests run whole in one process" ON)

# The test suites of the program's files that start a game: the whole
# program, a session, a log-on, the turn thread, the headless runner or the
# game's executable (scripts/tsan.sh picks its cases by the same signs), as
# a test filter's patterns joined by ':' in `out`; `others` is true when
# another file of the program holds tests. A TEST_P suite runs under its
# instantiation's prefix. Read when CMake configures: a suite added to a
# file later runs in every order until then, which costs time, not cover.
function(vd_play_suites target out others)
  get_target_property(sources ${target} SOURCES)
  get_target_property(dir ${target} SOURCE_DIR)
  set(starts "support/(whole_program|sample_game|play_days)\\.h|runner_test_support\\.h|headless::Run\\(|"
             "(^|[^A-Za-z0-9_])(StartGameSession|LogOn|StartTurnThread|PlayDays|RunRunner)\\(|"
             "(^|[^A-Za-z0-9_])execl?\\(VD_GAME_EXE")
  string(JOIN "" starts ${starts})
  set(patterns)
  set(rest FALSE)
  foreach(source IN LISTS sources)
    if(NOT IS_ABSOLUTE ${source})
      set(source ${dir}/${source})
    endif()
    file(STRINGS ${source} tests REGEX "^TEST(_F|_P)?\\([A-Za-z0-9_]+")
    file(STRINGS ${source} signs REGEX "${starts}")
    if(NOT signs)
      if(tests)
        set(rest TRUE)
      endif()
      continue()
    endif()
    foreach(line IN LISTS tests)
      string(REGEX MATCH "^TEST(_F|_P)?\\(([A-Za-z0-9_]+)" found "${line}")
      if(CMAKE_MATCH_1 STREQUAL "_P")
        list(APPEND patterns "*/${CMAKE_MATCH_2}.*")
      else()
        list(APPEND patterns "${CMAKE_MATCH_2}.*")
      endif()
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES patterns)
  list(JOIN patterns ":" patterns)
  set(${out} "${patterns}" PARENT_SCOPE)
  set(${others} ${rest} PARENT_SCOPE)
endfunction()

function(vd_discover_tests target)
  cmake_parse_arguments(ARG "ONCE" "SHARDS" "LABELS" ${ARGN})
  if(VD_TESTS_PER_PROGRAM)
    if(NOT ARG_SHARDS)
      set(ARG_SHARDS 1)
    endif()
    # The programs with the most test files start first, so that the
    # longest do not start last.
    get_target_property(sources ${target} SOURCES)
    list(LENGTH sources cost)
    math(EXPR cost "${cost} * 100 / ${ARG_SHARDS}")
    math(EXPR last "${ARG_SHARDS} - 1")
    set(kind whole)
    if(ARG_ONCE)
      set(kind once)
    endif()
    foreach(shard RANGE ${last})
      set(name ${target})
      if(ARG_SHARDS GREATER 1)
        set(name ${target}.${shard})
      endif()
      add_test(NAME ${name} COMMAND ${target} --gtest_brief=1 WORKING_DIRECTORY ${PROJECT_BINARY_DIR})
      set_tests_properties(${name} PROPERTIES TIMEOUT 3600 COST ${cost} LABELS "${kind};${ARG_LABELS}")
      if(ARG_SHARDS GREATER 1)
        set_tests_properties(${name} PROPERTIES
          ENVIRONMENT "GTEST_TOTAL_SHARDS=${ARG_SHARDS};GTEST_SHARD_INDEX=${shard}")
      endif()
    endforeach()
    if(ARG_ONCE)
      vd_play_suites(${target} play others)
    endif()
    if(ARG_ONCE AND others)
      add_test(NAME ${target}.rest COMMAND ${target} --gtest_brief=1 "--gtest_filter=-${play}"
               WORKING_DIRECTORY ${PROJECT_BINARY_DIR})
      set_tests_properties(${target}.rest PROPERTIES TIMEOUT 3600 LABELS "again;${ARG_LABELS}")
    endif()
    return()
  endif()
  set(properties)
  if(ARG_LABELS)
    set(properties PROPERTIES LABELS "${ARG_LABELS}")
  endif()
  gtest_discover_tests(${target}
    DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${PROJECT_BINARY_DIR}
    ${properties})
endfunction()
