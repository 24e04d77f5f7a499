# Shared build rules: warnings as errors, optional sanitizers, and the two kinds of library.
#
# A core library links Qt Core and Gui only: a widget include there fails to build, which keeps
# logic out of the windows. A ui library holds the windows of one subsystem.

function(zq2_set_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
    if(ZQ2_BUILD_FUZZ)
        # Coverage for libFuzzer to steer by, and the sanitizers that turn silent faults into findings.
        target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link,address,undefined
                                                 -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    endif()
    if(ZQ2_SANITIZE)
        target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
                                                 -fno-sanitize-recover=undefined)
        target_link_options(${target} PRIVATE -fsanitize=address,undefined)
    endif()
    if(ZQ2_TSAN)
        target_compile_options(${target} PRIVATE -fsanitize=thread -fno-omit-frame-pointer)
        target_link_options(${target} PRIVATE -fsanitize=thread)
    endif()
endfunction()

# Precompiled Qt headers. Parsing Qt's headers is most of what compiling one of our files costs, and
# the files of one kind of target parse the same ones. So each kind compiles its headers once, in the
# first target of that kind, and the other targets of the kind reuse them; reuse needs the same flags
# and macros, which the targets of one kind share. The fuzz build has none, so clang compiles every
# core file on its own there, and the Windows check compiles every file without them: a missing
# include is still found.
set(ZQ2_PCH_core <QByteArray> <QDir> <QFile> <QFileInfo> <QList> <QObject> <QString> <QStringList>)
set(ZQ2_PCH_widgets ${ZQ2_PCH_core} <QApplication> <QCheckBox> <QComboBox> <QDialog> <QLabel> <QLineEdit>
    <QListWidget> <QMainWindow> <QPainter> <QPushButton> <QWidget>)
set(ZQ2_PCH_tests ${ZQ2_PCH_widgets} <QTemporaryDir> <QTest>)

# zq2_precompile_headers(target kind) gives `target` the precompiled headers of `kind`.
function(zq2_precompile_headers target kind)
    if(NOT ZQ2_PRECOMPILE_HEADERS OR ZQ2_BUILD_FUZZ)
        return()
    endif()
    get_property(owner GLOBAL PROPERTY ZQ2_PCH_OWNER_${kind})
    if(owner)
        target_precompile_headers(${target} REUSE_FROM ${owner})
    else()
        target_precompile_headers(${target} PRIVATE ${ZQ2_PCH_${kind}})
        set_property(GLOBAL PROPERTY ZQ2_PCH_OWNER_${kind} ${target})
    endif()
endfunction()

# zq2_core_library(name DEPS libs...) builds the *.cpp files of the current folder.
function(zq2_core_library name)
    cmake_parse_arguments(ARG "" "" "DEPS;EXCLUDE" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp" "${CMAKE_CURRENT_SOURCE_DIR}/*.h")
    foreach(excluded IN LISTS ARG_EXCLUDE)
        list(REMOVE_ITEM sources "${CMAKE_CURRENT_SOURCE_DIR}/${excluded}")
    endforeach()
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
    target_link_libraries(${name} PUBLIC Qt6::Core Qt6::Gui ${ARG_DEPS})
    zq2_set_warnings(${name})
    zq2_precompile_headers(${name} core)
    if(ZQ2_SANITIZE)
        target_link_options(${name} INTERFACE -fsanitize=address,undefined)
    endif()
    if(ZQ2_TSAN)
        target_link_options(${name} INTERFACE -fsanitize=thread)
    endif()
endfunction()

# zq2_ui_library(name DEPS libs...) builds the widgets/ subfolder of the current folder.
function(zq2_ui_library name)
    if(ZQ2_BUILD_FUZZ)
        return() # windows are not fuzzed
    endif()
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/widgets/*.cpp"
         "${CMAKE_CURRENT_SOURCE_DIR}/widgets/*.h" "${CMAKE_CURRENT_SOURCE_DIR}/widgets/*.ui")
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
    target_link_libraries(${name} PUBLIC Qt6::Core Qt6::Gui Qt6::Widgets ${ARG_DEPS})
    set_target_properties(${name} PROPERTIES AUTOUIC_SEARCH_PATHS "${CMAKE_CURRENT_SOURCE_DIR}/widgets")
    zq2_set_warnings(${name})
    zq2_precompile_headers(${name} widgets)
endfunction()

# What every test program and the test helpers are compiled with. Qt's test library defines the
# folders of each test's own CMake folder, which differ between test programs, are read by its
# headers and so would keep the tests from sharing precompiled headers; QFINDTESTDATA finds data
# beside the test's source file without them.
function(zq2_test_flags target)
    target_compile_options(${target} PRIVATE -UQT_TESTCASE_BUILDDIR -UQT_TESTCASE_SOURCEDIR)
endfunction()

# zq2_add_test(name SOURCES files... LIBS libs...) registers one QtTest executable with CTest.
function(zq2_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test zq2_testsupport ${ARG_LIBS})
    zq2_set_warnings(${name})
    zq2_test_flags(${name})
    zq2_precompile_headers(${name} tests)
    add_test(NAME ${name} COMMAND ${name})
    set(environment "QT_QPA_PLATFORM=offscreen;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp;ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1;TSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/tsan.supp:halt_on_error=1:second_deadlock_stack=1")
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${environment}" TIMEOUT 120)
    # A test function that QtTest cannot see would pass without ever running: each program must list
    # every test function of its source (see CheckTestSlots.cmake).
    list(FILTER ARG_SOURCES INCLUDE REGEX "(^|/)tst_[^/]*\\.cpp$")
    foreach(source IN LISTS ARG_SOURCES)
        add_test(NAME ${name}_runs_every_test
                 COMMAND ${CMAKE_COMMAND} -DTEST_PROGRAM=$<TARGET_FILE:${name}>
                         -DTEST_SOURCE=${CMAKE_CURRENT_SOURCE_DIR}/${source}
                         -P ${PROJECT_SOURCE_DIR}/cmake/CheckTestSlots.cmake)
        set_tests_properties(${name}_runs_every_test PROPERTIES ENVIRONMENT "${environment}" TIMEOUT 60)
    endforeach()
endfunction()
