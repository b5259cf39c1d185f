# add_it_test(NAME <name> SOURCES <file>... [NEEDS_GUI] [NEEDS_DB] [ON_DISPLAY] [DEPENDS <target>...])
#
# Declares the Qt Test program tst_<name> and the test <name>. Every test links the core
# (itcore) and Qt Test; what else it gets it says here:
#   NEEDS_DB   it uses the throwaway MariaDB that scripts/test.sh starts on 127.0.0.1:3306,
#              through the test helpers of tests/support; label "db".
#   NEEDS_GUI  it drives widgets (or runs a program that shows them): it links the forms and
#              the test helpers and runs on Qt's offscreen platform; label "gui".
#   ON_DISPLAY with NEEDS_GUI: it runs on a real X display instead of the offscreen platform,
#              a private Xvfb of 1366x768 with the openbox window manager on Qt's xcb
#              platform (scripts/on-display.sh), where window frames, sizes and fonts are
#              those a clerk sees.
#   DEPENDS    further libraries to link, or programs of the build that the test runs
#              (they are built first).
# A test with neither flag is a pure rule test, label "core": no server, no display, only
# the core. `ctest -L core` runs those anywhere; `ctest -LE db` runs everything that needs
# no server.
function(add_it_test)
    cmake_parse_arguments(PARSE_ARGV 0 T "NEEDS_GUI;NEEDS_DB;ON_DISPLAY" "NAME" "SOURCES;DEPENDS")
    if(NOT T_NAME OR NOT T_SOURCES)
        message(FATAL_ERROR "add_it_test: NAME and SOURCES are required")
    endif()
    set(target tst_${T_NAME})
    add_executable(${target} ${T_SOURCES})
    set_target_properties(${target} PROPERTIES AUTOMOC ON)
    target_link_libraries(${target} PRIVATE itcore Qt6::Test)
    target_compile_definitions(${target} PRIVATE IT_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                                                 IT_BINARY_DIR="${PROJECT_BINARY_DIR}")

    set(labels)
    set(environment)
    if(T_NEEDS_DB)
        target_link_libraries(${target} PRIVATE ittestsupport)
        list(APPEND labels db)
    endif()
    if(T_NEEDS_GUI)
        target_link_libraries(${target} PRIVATE ittestsupport itforms)
        list(APPEND labels gui)
        if(T_ON_DISPLAY)
            list(APPEND environment QT_QPA_PLATFORM=xcb)
        else()
            list(APPEND environment QT_QPA_PLATFORM=offscreen)
        endif()
    endif()
    if(NOT labels)
        set(labels core)
    endif()

    foreach(dep IN LISTS T_DEPENDS)
        get_target_property(type ${dep} TYPE)
        if(type STREQUAL "EXECUTABLE")
            add_dependencies(${target} ${dep})
        else()
            target_link_libraries(${target} PRIVATE ${dep})
        endif()
    endforeach()

    if(T_ON_DISPLAY)
        add_test(NAME ${T_NAME} COMMAND ${PROJECT_SOURCE_DIR}/scripts/on-display.sh $<TARGET_FILE:${target}>)
    else()
        add_test(NAME ${T_NAME} COMMAND ${target})
    endif()
    set_tests_properties(${T_NAME} PROPERTIES LABELS "${labels}" TIMEOUT 600)
    if(environment)
        set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "${environment}")
    endif()
endfunction()
