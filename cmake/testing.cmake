# launcher_add_gtest(<name> SOURCES <files...> [LIBS <libs...>] [TIMEOUT <s>] [LABELS <l...>])
#
# Host trees register every GoogleTest case with CTest; Windows trees register one CTest test
# per executable (each start under Wine costs seconds) and run it through the emulator.
function(launcher_add_gtest name)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    launcher_target_defaults(${name})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} gtest gmock gtest_main)
    if(WIN32)
        set_target_properties(${name} PROPERTIES SUFFIX ".exe")
        add_test(NAME ${name} COMMAND ${name})
        set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT}
                             LABELS "windows;${ARG_LABELS}")
        # Tests that open windows share one X display; they run one at a time.
        if("gui" IN_LIST ARG_LABELS)
            set_tests_properties(${name} PROPERTIES RESOURCE_LOCK display)
        endif()
    else()
        include(GoogleTest)
        gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                             PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS "host;${ARG_LABELS}")
    endif()
endfunction()

# launcher_compile_java(<target> <output folder> <sources...>)
#
# Compiles Java test classes into the folder; <target> stands for them, for add_dependencies.
function(launcher_compile_java target output)
    add_custom_command(
        OUTPUT ${output}/compiled.stamp
        COMMAND ${CMAKE_COMMAND} -E make_directory ${output}
        COMMAND ${LAUNCHER_JAVAC} -nowarn -encoding UTF-8 -d ${output} ${ARGN}
        COMMAND ${CMAKE_COMMAND} -E touch ${output}/compiled.stamp
        DEPENDS ${ARGN}
        COMMENT "Compiling the Java classes in ${output}"
        VERBATIM)
    add_custom_target(${target} DEPENDS ${output}/compiled.stamp)
endfunction()
