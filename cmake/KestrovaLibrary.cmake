include(GenerateExportHeader)

# Common compile options for every Kestrova target.
function(kestrova_target_options target)
    target_compile_options(${target} PRIVATE -Wall -Wextra)
    if(KESTROVA_WARNINGS_AS_ERRORS)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
    if(KESTROVA_SANITIZE)
        target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
                                                 -fno-sanitize-recover=undefined)
        target_link_options(${target} PRIVATE -fsanitize=address,undefined)
    endif()
endfunction()

# kestrova_add_library(<folder> SOURCES ... [LINK ...])
# Builds the shared library kestrova_<folder>, aliased Kestrova::<folder>, with an export header
# kestrova_<folder>_export.h defining KESTROVA_<FOLDER>_EXPORT.
function(kestrova_add_library folder)
    cmake_parse_arguments(ARG "" "" "SOURCES;LINK" ${ARGN})
    set(target kestrova_${folder})
    add_library(${target} SHARED ${ARG_SOURCES})
    add_library(Kestrova::${folder} ALIAS ${target})
    string(TOUPPER ${folder} upper)
    generate_export_header(${target}
        BASE_NAME kestrova_${folder}
        EXPORT_MACRO_NAME KESTROVA_${upper}_EXPORT
        EXPORT_FILE_NAME ${CMAKE_CURRENT_BINARY_DIR}/kestrova_${folder}_export.h)
    target_include_directories(${target} PUBLIC
        $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
        $<BUILD_INTERFACE:${CMAKE_CURRENT_BINARY_DIR}>
        $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/kestrova>
        $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
    target_link_libraries(${target} PUBLIC ${ARG_LINK})
    set_target_properties(${target} PROPERTIES
        VERSION ${PROJECT_VERSION}
        SOVERSION ${PROJECT_VERSION_MAJOR}
        EXPORT_NAME ${folder})
    kestrova_target_options(${target})
    kestrova_install_library(${target} ${folder} ${ARG_SOURCES})
endfunction()

# Installs a library built by kestrova_add_library: the shared object in the runtime component,
# the development symlink and the headers in the dev component. Headers keep the path they have
# in the source tree under include/kestrova, because they include each other that way
# ("platform/color.h", "tools/boardsim/boardtypes.h"); the export header sits beside them.
function(kestrova_install_library target folder)
    install(TARGETS ${target} EXPORT KestrovaTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT dev
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev)
    set_property(GLOBAL APPEND PROPERTY KESTROVA_COMPONENTS ${folder})
    set_property(GLOBAL APPEND PROPERTY KESTROVA_LIBRARY_DIRS ${CMAKE_CURRENT_BINARY_DIR})
    file(RELATIVE_PATH header_dir ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
    set(headers ${CMAKE_CURRENT_BINARY_DIR}/kestrova_${folder}_export.h)
    foreach(source IN LISTS ARGN)
        if(source MATCHES "\\.h$")
            list(APPEND headers ${source})
        endif()
    endforeach()
    install(FILES ${headers}
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kestrova/${header_dir}
        COMPONENT dev)
endfunction()

# kestrova_add_test(<name> SOURCES ... LINK ...)
function(kestrova_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LINK" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LINK})
    kestrova_target_options(${name})
    # QFINDTESTDATA's build directory, given relative (CTest runs each test in it): Qt's default,
    # the absolute build directory, lands in every test's preprocessed source and keeps a checkout
    # at another path from hitting ccache.
    set_target_properties(${name} PROPERTIES QT_TESTCASE_BUILDDIR .)
    # A test's own code needs neither -O2 nor full debug information in the optimised build (the
    # libraries it tests keep them): it compiles in three quarters of the time, line tables kept.
    target_compile_options(${name} PRIVATE $<$<CONFIG:RelWithDebInfo>:-O1 -g1>)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
        TIMEOUT 120)
endfunction()
