# The CMake package of the installed libraries: find_package(Kestrova COMPONENTS comm chart ...)
# gives the imported targets Kestrova::comm, Kestrova::chart, ...
include(CMakePackageConfigHelpers)

set(KESTROVA_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Kestrova)
set(KESTROVA_QT_MIN_VERSION 6.4)
get_property(KESTROVA_COMPONENT_LIST GLOBAL PROPERTY KESTROVA_COMPONENTS)
# The Qt modules a consumer needs are those the libraries it asks for link publicly, theirs and
# their Kestrova dependencies': a module linked privately, or only by a library the consumer does
# not use (Qt SQL by session), must not ask for its development files. The config file gets, per
# library, its public Qt modules and Kestrova libraries.
set(KESTROVA_COMPONENT_LINKS "")
foreach(component IN LISTS KESTROVA_COMPONENT_LIST)
    get_target_property(links kestrova_${component} INTERFACE_LINK_LIBRARIES)
    set(qt_modules "")
    set(kestrova_deps "")
    foreach(link IN LISTS links)
        if(link MATCHES "^Qt6::(.+)$")
            list(APPEND qt_modules ${CMAKE_MATCH_1})
        elseif(link MATCHES "^Kestrova::(.+)$")
            list(APPEND kestrova_deps ${CMAKE_MATCH_1})
        endif()
    endforeach()
    string(APPEND KESTROVA_COMPONENT_LINKS
        "set(_kestrova_qt_${component} \"${qt_modules}\")\n"
        "set(_kestrova_deps_${component} \"${kestrova_deps}\")\n")
endforeach()
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
