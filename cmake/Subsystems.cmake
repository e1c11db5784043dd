# One static library per subsystem folder. Sources are found by globbing so a
# new file needs no build edit; NAME_test.cpp files beside the code form the
# library's test executable instead.
function(vd_subsystem name dir)
  cmake_parse_arguments(ARG "RECURSE" "" "DEPS" ${ARGN})
  if(ARG_RECURSE)
    file(GLOB_RECURSE all CONFIGURE_DEPENDS ${dir}/*.cpp)
  else()
    file(GLOB all CONFIGURE_DEPENDS ${dir}/*.cpp)
  endif()
  set(srcs)
  set(tests)
  foreach(f IN LISTS all)
    if(f MATCHES "_test\\.cpp$")
      list(APPEND tests ${f})
    else()
      list(APPEND srcs ${f})
    endif()
  endforeach()
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
  if(tests)
    add_executable(${name}_tests ${tests})
    target_link_libraries(${name}_tests PRIVATE ${name} vd_testsupport GTest::gtest GTest::gmock)
    vd_discover_tests(${name}_tests)
  endif()
endfunction()

# Tests run headless: the test main points SDL at its offscreen and dummy
# drivers unless the environment chooses others.
function(vd_discover_tests target)
  gtest_discover_tests(${target}
    DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${PROJECT_BINARY_DIR})
endfunction()
