# The programs' translations (docs/translations.md). The texts in the code are Portuguese, the
# source texts; translations/kestrova*_en.ts hold their English. lrelease compiles each into a .qm
# that the platform library carries as a resource (:/i18n/kestrova*_en.qm), so every program and
# the installed package find them with no file to install.
find_package(Qt6 6.4 REQUIRED COMPONENTS LinguistTools)

# The folders whose texts go through tr()/translate(), and the .ts file that holds their English:
# one file per part of the tree, so that the parts are translated (and reviewed) on their own.
# lupdate reads every .cpp, .h and .ui of a file's folders. A folder added here must have all its
# texts translated (the test translations_complete).
set(KESTROVA_TRANSLATION_SETS
    "kestrova_en.ts=app,components,somatochart,platform,clinical,heartrate"
    "kestrova_console_en.ts=console"
    "kestrova_sessao_en.ts=session,protocol"
    "kestrova_orvantactl_en.ts=tools/cli")
# Line numbers would change the .ts with every edit of the code: contexts and texts are enough.
set(KESTROVA_LUPDATE_OPTIONS -locations none -no-obsolete -silent -I ${PROJECT_SOURCE_DIR})
set(KESTROVA_TS_FILES)
set(KESTROVA_TRANSLATED_DIRS)
set(kestrova_lupdate_commands)
foreach(set IN LISTS KESTROVA_TRANSLATION_SETS)
    string(REPLACE "=" ";" parts "${set}")
    list(GET parts 0 ts)
    list(GET parts 1 dirs)
    string(REPLACE "," ";" dirs "${dirs}")
    list(APPEND KESTROVA_TS_FILES ${PROJECT_SOURCE_DIR}/translations/${ts})
    list(APPEND KESTROVA_TRANSLATED_DIRS ${dirs})
    list(APPEND kestrova_lupdate_commands
        COMMAND Qt6::lupdate ${KESTROVA_LUPDATE_OPTIONS} ${dirs} -ts translations/${ts})
endforeach()

# kestrova_lupdate: brings the .ts files up to date with the code (new texts arrive unfinished).
add_custom_target(kestrova_lupdate
    ${kestrova_lupdate_commands}
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    COMMENT "Updating translations/*.ts from the sources"
    VERBATIM)

# Compiles the .ts files and embeds the .qm files in target under the prefix /i18n.
function(kestrova_embed_translations target)
    qt_add_lrelease(${target} TS_FILES ${KESTROVA_TS_FILES} NO_GLOBAL_TARGET
        QM_FILES_OUTPUT_VARIABLE qm_files)
    qt_add_resources(${target} kestrova_translations PREFIX /i18n
        BASE ${CMAKE_CURRENT_BINARY_DIR} FILES ${qm_files})
endfunction()

# The test translations_complete: lupdate over each file's folders into a scratch copy of the
# .ts; any text without a finished translation fails it.
function(kestrova_add_translations_test)
    add_test(NAME translations_complete
        COMMAND ${CMAKE_COMMAND}
            -DLUPDATE=$<TARGET_FILE:Qt6::lupdate>
            -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
            "-DSETS=${KESTROVA_TRANSLATION_SETS}"
            -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/translations_complete
            -P ${PROJECT_SOURCE_DIR}/cmake/CheckTranslations.cmake)
endfunction()
