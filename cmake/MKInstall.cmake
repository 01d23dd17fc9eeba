# Install rules: the library, its headers (keeping the subsystem folders),
# the runtime data, an exported CMake package and a pkg-config file.
include(CMakePackageConfigHelpers)

install(TARGETS MKManikin EXPORT MKManikinTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/MKManikin)

foreach(header IN LISTS MK_HEADERS)
  cmake_path(IS_PREFIX CMAKE_CURRENT_BINARY_DIR "${header}" NORMALIZE generated)
  if(generated)
    cmake_path(RELATIVE_PATH header BASE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/generated OUTPUT_VARIABLE rel)
  else()
    cmake_path(RELATIVE_PATH header BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} OUTPUT_VARIABLE rel)
  endif()
  cmake_path(GET rel PARENT_PATH subdir)
  install(FILES ${header} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/MKManikin/${subdir})
endforeach()

install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/MKManikin)

install(EXPORT MKManikinTargets
  NAMESPACE MKManikin::
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/MKManikin)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/MKManikinConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/MKManikinConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/MKManikin)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/MKManikinConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES
  ${CMAKE_CURRENT_BINARY_DIR}/MKManikinConfig.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/MKManikinConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/MKManikin)

configure_file(${PROJECT_SOURCE_DIR}/cmake/MKManikin.pc.in ${CMAKE_CURRENT_BINARY_DIR}/MKManikin.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/MKManikin.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
