# Install rules: the C++ and C headers, the versioned shared library, a CMake package
# (find_package(Mensora CONFIG) gives Mensora::Mensora) and a pkg-config file.
# Included by the top-level CMakeLists.txt when MENSORA_INSTALL is on.
include(CMakePackageConfigHelpers)

set(MENSORA_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Mensora)

install(TARGETS Mensora
  EXPORT MensoraTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    NAMELINK_COMPONENT Development
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${PROJECT_SOURCE_DIR}/include/Mensora.h ${PROJECT_SOURCE_DIR}/include/mensora_c.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
  COMPONENT Development)

install(EXPORT MensoraTargets
  FILE MensoraTargets.cmake
  NAMESPACE Mensora::
  DESTINATION ${MENSORA_CMAKE_DIR}
  COMPONENT Development)

configure_package_config_file(
  ${CMAKE_CURRENT_LIST_DIR}/MensoraConfig.cmake.in
  ${PROJECT_BINARY_DIR}/MensoraConfig.cmake
  INSTALL_DESTINATION ${MENSORA_CMAKE_DIR})
write_basic_package_version_file(
  ${PROJECT_BINARY_DIR}/MensoraConfigVersion.cmake
  VERSION ${PROJECT_VERSION}
  COMPATIBILITY SameMajorVersion)
install(FILES
  ${PROJECT_BINARY_DIR}/MensoraConfig.cmake
  ${PROJECT_BINARY_DIR}/MensoraConfigVersion.cmake
  DESTINATION ${MENSORA_CMAKE_DIR}
  COMPONENT Development)

# pkg-config: relative install directories are joined to the prefix, absolute
# ones are kept as given.
foreach(kind LIBDIR INCLUDEDIR)
  if(IS_ABSOLUTE "${CMAKE_INSTALL_${kind}}")
    set(MENSORA_PC_${kind} "${CMAKE_INSTALL_${kind}}")
  else()
    set(MENSORA_PC_${kind} "\${prefix}/${CMAKE_INSTALL_${kind}}")
  endif()
endforeach()
configure_file(${CMAKE_CURRENT_LIST_DIR}/mensora.pc.in ${PROJECT_BINARY_DIR}/mensora.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/mensora.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
  COMPONENT Development)
