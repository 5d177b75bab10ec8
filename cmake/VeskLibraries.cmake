# How every shared library of the project is made, installed and described.

# The folder of the libraries as the installed `vesk` sees it from its own folder.
file(RELATIVE_PATH VESK_BIN_TO_LIB
    ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR} ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR})
# The install prefix as a pkg-config file sees it from its own folder.
file(RELATIVE_PATH VESK_PKGCONFIG_TO_PREFIX
    ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})

# Makes `target` (a SHARED library) a library of the package: its file name carries `version`
# and `soversion`; it exports only what the linker version script `exports` names; it finds
# the package's other libraries beside itself once installed; it is installed with the
# package's CMake targets as Vesk::<export_name> and described by the pkg-config file
# `pc_name`.pc, which requires the pkg-config packages `pc_requires` (a list, maybe empty).
function(vesk_shared_library target export_name version soversion exports pc_name pc_requires)
    set_target_properties(${target} PROPERTIES
        VERSION ${version}
        SOVERSION ${soversion}
        EXPORT_NAME ${export_name}
        INSTALL_RPATH "$ORIGIN")
    target_link_options(${target} PRIVATE "LINKER:--version-script=${exports}")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${exports})
    install(TARGETS ${target} EXPORT VeskTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Runtime NAMELINK_COMPONENT Development)
    list(JOIN pc_requires ", " requires)
    set(description "Vesk ${export_name} library")
    set(library_name ${target})
    configure_file(${PROJECT_SOURCE_DIR}/cmake/vesk-library.pc.in
        ${PROJECT_BINARY_DIR}/pkgconfig/${pc_name}.pc @ONLY)
    install(FILES ${PROJECT_BINARY_DIR}/pkgconfig/${pc_name}.pc
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT Development)
endfunction()

# Installs the public headers under `folder` (a folder holding vesk/...) into the include folder.
function(vesk_install_headers folder)
    install(DIRECTORY ${folder}/vesk DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
        COMPONENT Development FILES_MATCHING PATTERN "*.h")
endfunction()
