# cmake -DLUPDATE=... -DSOURCE_DIR=... "-DSETS=x.ts=a,b;y.ts=c" -DWORK_DIR=... -P this
# For each x.ts of translations/, runs lupdate over its folders into a copy in WORK_DIR and fails
# when the copy holds a text whose translation is unfinished or empty: a text added to the code
# without its English, or one whose source text changed since it was translated.
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
set(failures 0)
foreach(set IN LISTS SETS)
    string(REPLACE "=" ";" parts "${set}")
    list(GET parts 0 name)
    list(GET parts 1 DIRS)
    string(REPLACE "," ";" DIRS "${DIRS}")
    set(copy "${WORK_DIR}/${name}")
    file(COPY_FILE "${SOURCE_DIR}/translations/${name}" "${copy}")
    execute_process(
        COMMAND "${LUPDATE}" -locations none -no-obsolete -I "${SOURCE_DIR}" ${DIRS} -ts "${copy}"
        WORKING_DIRECTORY "${SOURCE_DIR}"
        RESULT_VARIABLE result
        OUTPUT_VARIABLE output
        ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "lupdate failed on ${name}:\n${output}")
    endif()
    message(STATUS "${name}: ${output}")
    file(READ "${copy}" text)
    # One <message> at a time: its source and its translation. Semicolons and brackets in the
    # texts would cut or join CMake list items: they become character references first.
    string(REPLACE ";" "&#59;" text "${text}")
    string(REPLACE "[" "&#91;" text "${text}")
    string(REPLACE "]" "&#93;" text "${text}")
    string(REPLACE "</message>" "</message>;" text "${text}")
    set(count 0)
    set(untranslated 0)
    foreach(message IN LISTS text)
        if(NOT message MATCHES "<message")
            continue()
        endif()
        math(EXPR count "${count} + 1")
        string(REGEX MATCH "<source>([^<]*)</source>" ignored "${message}")
        set(source "${CMAKE_MATCH_1}")
        if(message MATCHES "type=\"unfinished\""
           OR message MATCHES "<translation>[ \t\n]*</translation>"
           OR message MATCHES "<translation/>")
            math(EXPR untranslated "${untranslated} + 1")
            message(SEND_ERROR "${name}: no finished translation for \"${source}\"")
        endif()
    endforeach()
    message(STATUS "${name}: ${count} texts, ${untranslated} without a finished translation")
    if(count EQUAL 0)
        message(SEND_ERROR "${name}: no text found in ${DIRS}")
    endif()
    math(EXPR failures "${failures} + ${untranslated}")
endforeach()
if(failures GREATER 0)
    message(FATAL_ERROR "${failures} texts need their translation: build the target "
                        "kestrova_lupdate and translate them in translations/ (Qt Linguist)")
endif()
