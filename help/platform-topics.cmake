# Writes the help project and its topics for the platform the program is built for, so that every
# sentence of the help is true where the program runs. A topic marks what differs between platforms:
#
#   <!--windows-->text for Windows<!--posix-->text for the other systems<!--end-->
#   <!--windows-->text for Windows only<!--end-->
#   <!--posix-->text for the other systems only<!--end-->
#
# Run in script mode by help/CMakeLists.txt:
#   cmake -DPLATFORM=windows|posix -DSOURCE_DIR=<help folder> -DOUTPUT_DIR=<folder> -P platform-topics.cmake

cmake_minimum_required(VERSION 3.25)

foreach(var PLATFORM SOURCE_DIR OUTPUT_DIR)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "${var} is not set")
    endif()
endforeach()
if(NOT PLATFORM MATCHES "^(windows|posix)$")
    message(FATAL_ERROR "PLATFORM must be windows or posix, not ${PLATFORM}")
endif()

# The text of `text` for PLATFORM; `name` names the file in messages.
function(choose_platform out text name)
    set(result "")
    while(TRUE)
        string(FIND "${text}" "<!--windows-->" windows_at)
        string(FIND "${text}" "<!--posix-->" posix_at)
        if(windows_at EQUAL -1 AND posix_at EQUAL -1)
            break()
        endif()
        if(posix_at EQUAL -1 OR (NOT windows_at EQUAL -1 AND windows_at LESS posix_at))
            set(first windows)
            set(at ${windows_at})
            set(other posix)
        else()
            set(first posix)
            set(at ${posix_at})
            set(other windows)
        endif()
        string(SUBSTRING "${text}" 0 ${at} before)
        string(APPEND result "${before}")
        string(LENGTH "<!--${first}-->" marker)
        math(EXPR at "${at} + ${marker}")
        string(SUBSTRING "${text}" ${at} -1 text)

        string(FIND "${text}" "<!--end-->" end_at)
        if(end_at EQUAL -1)
            message(FATAL_ERROR "${name}: <!--${first}--> without <!--end-->")
        endif()
        string(SUBSTRING "${text}" 0 ${end_at} block)
        math(EXPR end_at "${end_at} + 10") # <!--end-->
        string(SUBSTRING "${text}" ${end_at} -1 text)

        # The block holds the first platform's text, then perhaps the other's after its marker.
        set(other_text "")
        string(FIND "${block}" "<!--${other}-->" split_at)
        if(NOT split_at EQUAL -1)
            string(LENGTH "<!--${other}-->" marker)
            math(EXPR after "${split_at} + ${marker}")
            string(SUBSTRING "${block}" ${after} -1 other_text)
            string(SUBSTRING "${block}" 0 ${split_at} block)
        endif()
        if(block MATCHES "<!--(windows|posix)-->" OR other_text MATCHES "<!--(windows|posix)-->")
            message(FATAL_ERROR "${name}: platform texts inside one another")
        endif()
        if(first STREQUAL PLATFORM)
            string(APPEND result "${block}")
        else()
            string(APPEND result "${other_text}")
        endif()
    endwhile()
    if(text MATCHES "<!--end-->")
        message(FATAL_ERROR "${name}: <!--end--> without a platform text before it")
    endif()
    string(APPEND result "${text}")
    set(${out} "${result}" PARENT_SCOPE)
endfunction()

# Written afresh, so that a topic taken out of the help leaves nothing behind for the project's
# topics/*.html to pick up.
file(REMOVE_RECURSE "${OUTPUT_DIR}")
file(GLOB topics RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/topics/*.html")
foreach(file IN LISTS topics ITEMS ZQ2org.qhp)
    file(READ "${SOURCE_DIR}/${file}" text)
    choose_platform(text "${text}" "${file}")
    file(WRITE "${OUTPUT_DIR}/${file}" "${text}")
endforeach()
file(COPY "${SOURCE_DIR}/topics/style.css" DESTINATION "${OUTPUT_DIR}/topics")
