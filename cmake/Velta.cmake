# Helpers shared by the subprojects: one library per subproject with its
# public headers under velta/..., and one GoogleTest executable per subproject.

function(velta_library name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/src/*.cpp)
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARGN})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARGN})
  endif()
endfunction()

function(velta_tests name)
  if(NOT VELTA_TESTS)
    return()
  endif()
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name}_tests ${sources})
  target_link_libraries(${name}_tests PRIVATE ${name} ${ARGN} GTest::gtest GTest::gtest_main)
  if(VELTA_SANITIZE)
    # GCC 12 reports false maybe-uninitialized warnings inside libstdc++'s
    # <regex> when it is instrumented; the libraries keep the full check.
    target_compile_options(${name}_tests PRIVATE -Wno-maybe-uninitialized)
  endif()
  # The sanitizer options and the test databases come from the environment
  # that scripts/test.sh sets up.
  gtest_discover_tests(${name}_tests DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT LC_ALL=C)
endfunction()
