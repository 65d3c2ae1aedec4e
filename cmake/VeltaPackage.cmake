# The package of the libraries: cmake --install puts the headers, the
# libraries and VeltaConfig.cmake (imported targets Velta::<subproject>)
# under the prefix; the build tree serves as a prefix as it is.
include(CMakePackageConfigHelpers)
set(velta_package_dir ${CMAKE_INSTALL_LIBDIR}/cmake/Velta)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/VeltaConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
foreach(file VeltaConfig.cmake VeltaDependencies.cmake)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/${file} ${PROJECT_BINARY_DIR}/${file} COPYONLY)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/${file} DESTINATION ${velta_package_dir})
endforeach()
install(FILES ${PROJECT_BINARY_DIR}/VeltaConfigVersion.cmake DESTINATION ${velta_package_dir})
export(EXPORT VeltaTargets NAMESPACE Velta:: FILE ${PROJECT_BINARY_DIR}/VeltaTargets.cmake)
install(EXPORT VeltaTargets NAMESPACE Velta:: DESTINATION ${velta_package_dir})
