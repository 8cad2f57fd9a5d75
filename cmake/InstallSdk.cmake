# Installs what another component builds against: the public service header and
# the platform-layer headers under include/tagshelf/, the support library, a CMake
# package (find_package(TagShelf) giving TagShelf::sdk) and a pkg-config file.
include(CMakePackageConfigHelpers)

set(TAGSHELF_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/TagShelf)
set(TAGSHELF_PKGCONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

file(GLOB tagshelf_sdk_headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/sdk/*.h)
# The Windows-only helpers of the platform layer serve its own sources alone.
list(FILTER tagshelf_sdk_headers EXCLUDE REGEX "_win32\\.h$")
install(FILES ${tagshelf_sdk_headers} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tagshelf/sdk)
install(FILES ${PROJECT_SOURCE_DIR}/src/service/tagshelf.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tagshelf/service)
# The field set that the service's set_info and get_info pass.
install(FILES ${PROJECT_SOURCE_DIR}/src/storage/x_info.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tagshelf/storage)

install(TARGETS sonarith_sdk EXPORT TagShelfTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(EXPORT TagShelfTargets NAMESPACE TagShelf:: DESTINATION ${TAGSHELF_CMAKE_DIR})

configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/TagShelfConfig.cmake.in
    ${CMAKE_BINARY_DIR}/TagShelfConfig.cmake INSTALL_DESTINATION ${TAGSHELF_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/TagShelfConfigVersion.cmake
    COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_BINARY_DIR}/TagShelfConfig.cmake
              ${CMAKE_BINARY_DIR}/TagShelfConfigVersion.cmake
        DESTINATION ${TAGSHELF_CMAKE_DIR})

# The .pc file finds its prefix from where it lies, so an install into any prefix
# (cmake --install --prefix DIR) gives a file that points into DIR.
file(RELATIVE_PATH TAGSHELF_PC_TO_PREFIX ${CMAKE_INSTALL_PREFIX}/${TAGSHELF_PKGCONFIG_DIR}
     ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" TAGSHELF_PC_TO_PREFIX "${TAGSHELF_PC_TO_PREFIX}")
set(TAGSHELF_PC_SYSTEM_LIBS "")
if(WIN32)
    set(TAGSHELF_PC_SYSTEM_LIBS " -lcomctl32 -lcomdlg32")
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/tagshelf.pc.in ${CMAKE_BINARY_DIR}/tagshelf.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/tagshelf.pc DESTINATION ${TAGSHELF_PKGCONFIG_DIR})
