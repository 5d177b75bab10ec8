# The names, versions and descriptions of the component libraries: written here and nowhere
# else. The shared libraries take their file versions from them and the code reads them from
# the generated header vesk/library_identity.h (target vesk_library_identity).

set(VESK_PHOTO_TYPE_LIBRARY VeskPhotos)
set(VESK_PHOTO_VERSION 1.1)
set(VESK_PHOTO_DESCRIPTION "")
set(VESK_PAY_DB_TYPE_LIBRARY VeskPayDBUtilities)
set(VESK_PAY_DB_VERSION 1.0)
set(VESK_PAY_DB_DESCRIPTION "Vesk Payroll Database Utilities")
set(VESK_LEGACY_DB_TYPE_LIBRARY VeskDatabaseUtilities)
set(VESK_LEGACY_DB_VERSION 2.1)
set(VESK_LEGACY_DB_DESCRIPTION "Vesk Database Utilities")

# Sets <prefix>_MAJOR and <prefix>_MINOR from the version "MAJOR.MINOR" in <prefix>_VERSION.
function(vesk_split_version prefix)
    string(REGEX MATCH "^([0-9]+)\\.([0-9]+)$" matched "${${prefix}_VERSION}")
    if(NOT matched)
        message(FATAL_ERROR "${prefix}_VERSION must be MAJOR.MINOR, not '${${prefix}_VERSION}'")
    endif()
    set(${prefix}_MAJOR ${CMAKE_MATCH_1} PARENT_SCOPE)
    set(${prefix}_MINOR ${CMAKE_MATCH_2} PARENT_SCOPE)
endfunction()

foreach(library VESK_PHOTO VESK_PAY_DB VESK_LEGACY_DB)
    vesk_split_version(${library})
endforeach()

configure_file(${PROJECT_SOURCE_DIR}/cmake/library_identity.h.in
    ${PROJECT_BINARY_DIR}/generated/vesk/library_identity.h @ONLY)
add_library(vesk_library_identity INTERFACE)
target_include_directories(vesk_library_identity INTERFACE ${PROJECT_BINARY_DIR}/generated)
