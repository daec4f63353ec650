# The programs' translations (docs/translations.md). The texts in the code are Portuguese, the
# source texts; translations/kestrova_en.ts holds their English. lrelease compiles it into a .qm
# that the platform library carries as a resource (:/i18n/kestrova_en.qm), so every program and
# the installed package find it with no file to install.
find_package(Qt6 6.4 REQUIRED COMPONENTS LinguistTools)

# The folders whose texts go through tr()/translate(); lupdate reads every .cpp, .h and .ui in
# them. A folder added here must have all its texts translated (the test translations_complete).
set(KESTROVA_TRANSLATED_DIRS app components somatochart platform clinical heartrate)
set(KESTROVA_TS_FILES ${PROJECT_SOURCE_DIR}/translations/kestrova_en.ts)
# Line numbers would change the .ts with every edit of the code: contexts and texts are enough.
set(KESTROVA_LUPDATE_OPTIONS -locations none -no-obsolete -silent -I ${PROJECT_SOURCE_DIR})

# kestrova_lupdate: brings the .ts up to date with the code (new texts arrive unfinished).
add_custom_target(kestrova_lupdate
    COMMAND Qt6::lupdate ${KESTROVA_LUPDATE_OPTIONS} ${KESTROVA_TRANSLATED_DIRS}
            -ts ${KESTROVA_TS_FILES}
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

# The test translations_complete: lupdate over the sources into a scratch copy of each .ts; any
# text without a finished translation fails it.
function(kestrova_add_translations_test)
    add_test(NAME translations_complete
        COMMAND ${CMAKE_COMMAND}
            -DLUPDATE=$<TARGET_FILE:Qt6::lupdate>
            -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
            "-DDIRS=${KESTROVA_TRANSLATED_DIRS}"
            "-DTS_FILES=${KESTROVA_TS_FILES}"
            -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/translations_complete
            -P ${PROJECT_SOURCE_DIR}/cmake/CheckTranslations.cmake)
endfunction()
