# What `cmake --install` adds beside the programs and libraries: the CMake package, the
# license, and the Debian package that CPack makes of the whole installation.
include(CMakePackageConfigHelpers)

set(VESK_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Vesk)
install(EXPORT VeskTargets NAMESPACE Vesk:: DESTINATION ${VESK_CMAKE_DIR}
    COMPONENT Development)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/VeskConfig.cmake.in
    ${PROJECT_BINARY_DIR}/VeskConfig.cmake INSTALL_DESTINATION ${VESK_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/VeskConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/VeskConfig.cmake ${PROJECT_BINARY_DIR}/VeskConfigVersion.cmake
    DESTINATION ${VESK_CMAKE_DIR} COMPONENT Development)
# The license, also under the name a Debian package gives it.
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vesk
    COMPONENT Runtime)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vesk
    RENAME copyright COMPONENT Runtime)

# `make package`: one Debian package installing into /usr, its library dependencies found by
# dpkg-shlibdeps (the public headers include no header of another package), the headers and
# the CMake and pkg-config files included.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vesk)
set(CPACK_PACKAGE_VENDOR "The Vesk developers")
set(CPACK_PACKAGE_CONTACT "The Vesk developers <vesk@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Photo store and database utilities for payroll hosts, with the vesk command")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "The Vesk libraries (libVeskData, libVeskPhoto, libVeskPayDBUtilities, libVeskDatabaseUtilities, libVeskLateBinding), their headers, CMake package (find_package(Vesk)) and pkg-config files, and the vesk command with its manual page and bash completion. License: MIT.")
include(CPack)
