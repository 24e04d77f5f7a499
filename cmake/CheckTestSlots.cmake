# Fails when a test program does not run every test function its source declares.
#
#   cmake -DTEST_PROGRAM=<executable> -DTEST_SOURCE=<file.cpp> -P CheckTestSlots.cmake
#
# QtTest runs only the functions declared under "private slots:"; one declared a few lines lower, after
# a "private:", compiles, never runs, and passes silently. Here every parameterless void member of the
# test class (the class holding Q_OBJECT, indented as the formatter lays members out) counts as a test
# function, and so does the function that each "name_data()" feeds; all of them must be among the
# functions that the program itself lists with -functions. Helpers of a test class therefore take
# arguments or return something.

cmake_minimum_required(VERSION 3.25)

file(STRINGS "${TEST_SOURCE}" lines)
set(in_class FALSE)
set(declared)
foreach(line IN LISTS lines)
    if(line MATCHES "^class [A-Za-z0-9_]+ : public QObject")
        set(in_class TRUE)
    elseif(in_class AND line MATCHES "^};")
        set(in_class FALSE)
    elseif(in_class AND line MATCHES "^    void ([A-Za-z0-9_]+)\\(\\)")
        set(name "${CMAKE_MATCH_1}")
        string(REGEX REPLACE "_data$" "" name "${name}")
        # QtTest calls these around the tests; they are never listed.
        if(NOT name MATCHES "^(initTestCase|cleanupTestCase|init|cleanup)$")
            list(APPEND declared "${name}")
        endif()
    endif()
endforeach()
list(REMOVE_DUPLICATES declared)

execute_process(COMMAND "${TEST_PROGRAM}" -functions OUTPUT_VARIABLE listing ERROR_VARIABLE errors
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${TEST_PROGRAM} -functions failed (${status}):\n${errors}")
endif()
string(REGEX MATCHALL "[A-Za-z0-9_]+\\(\\)" listed "${listing}")
list(TRANSFORM listed REPLACE "\\(\\)$" "")

set(missing)
foreach(name IN LISTS declared)
    if(NOT name IN_LIST listed)
        list(APPEND missing "${name}")
    endif()
endforeach()
if(NOT declared)
    message(FATAL_ERROR "${TEST_SOURCE}: no test function found; is the test class laid out as usual?")
endif()
if(missing)
    list(JOIN missing ", " missing)
    message(FATAL_ERROR "${TEST_SOURCE}: never run by QtTest: ${missing}. Declare them under "
                        "\"private slots:\", or give a helper arguments or a result.")
endif()
list(LENGTH declared count)
message(STATUS "${TEST_SOURCE}: all ${count} test functions run")
