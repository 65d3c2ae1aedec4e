# Helpers shared by the subprojects: one library per subproject with its
# public headers under velta/..., exported as Velta::<subproject>, and one
# GoogleTest executable per subproject.

function(velta_library name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/src/*.cpp)
  if(sources)
    add_library(${name} STATIC ${sources})
    target_link_libraries(${name} PUBLIC ${ARGN})
  else()
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE ${ARGN})
  endif()
  velta_export(${name})
endfunction()

# Makes the library velta_<x> of the current subproject part of the package
# as Velta::<x> (also its name inside the build): its public headers
# velta/<x>/ are installed and used from the source tree or the prefix, and
# a program linking it builds as C++20 and, in a sanitized build, links the
# sanitizers' runtime.
function(velta_export name)
  string(REGEX REPLACE "^velta_" "" export_name ${name})
  get_target_property(type ${name} TYPE)
  set(scope PUBLIC)
  if(type STREQUAL "INTERFACE_LIBRARY")
    set(scope INTERFACE)
  endif()
  target_include_directories(${name} ${scope} $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}>
                                              $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  target_compile_features(${name} ${scope} cxx_std_20)
  if(VELTA_SANITIZE)
    target_link_options(${name} INTERFACE -fsanitize=address,undefined)
  endif()
  set_target_properties(${name} PROPERTIES EXPORT_NAME ${export_name})
  add_library(Velta::${export_name} ALIAS ${name})
  install(TARGETS ${name} EXPORT VeltaTargets)
  install(DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/velta/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/velta
          FILES_MATCHING PATTERN "*.h")
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
