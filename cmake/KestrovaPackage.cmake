# The CMake package of the installed libraries: find_package(Kestrova COMPONENTS comm chart ...)
# gives the imported targets Kestrova::comm, Kestrova::chart, ...
include(CMakePackageConfigHelpers)

set(KESTROVA_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Kestrova)
set(KESTROVA_QT_MIN_VERSION 6.4)
get_property(KESTROVA_COMPONENT_LIST GLOBAL PROPERTY KESTROVA_COMPONENTS)
# The Qt modules a consumer needs are those the libraries link publicly, and only those: a module
# linked privately (or not at all) must not ask consumers for its development files.
set(KESTROVA_QT_COMPONENTS Core)
foreach(component IN LISTS KESTROVA_COMPONENT_LIST)
    get_target_property(links kestrova_${component} INTERFACE_LINK_LIBRARIES)
    foreach(link IN LISTS links)
        if(link MATCHES "^Qt6::(.+)$")
            list(APPEND KESTROVA_QT_COMPONENTS ${CMAKE_MATCH_1})
        endif()
    endforeach()
endforeach()
list(REMOVE_DUPLICATES KESTROVA_QT_COMPONENTS)
string(JOIN " " KESTROVA_QT_COMPONENTS ${KESTROVA_QT_COMPONENTS})
string(JOIN " " KESTROVA_COMPONENT_LIST ${KESTROVA_COMPONENT_LIST})

install(EXPORT KestrovaTargets
    NAMESPACE Kestrova::
    DESTINATION ${KESTROVA_CMAKE_DIR}
    COMPONENT dev)
configure_package_config_file(cmake/KestrovaConfig.cmake.in
    ${CMAKE_CURRENT_BINARY_DIR}/KestrovaConfig.cmake
    INSTALL_DESTINATION ${KESTROVA_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/KestrovaConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES
        ${CMAKE_CURRENT_BINARY_DIR}/KestrovaConfig.cmake
        ${CMAKE_CURRENT_BINARY_DIR}/KestrovaConfigVersion.cmake
        # kestrova_embed_product_version() for the consumers' own programs.
        ${CMAKE_CURRENT_SOURCE_DIR}/cmake/ProductVersion.cmake
    DESTINATION ${KESTROVA_CMAKE_DIR}
    COMPONENT dev)
