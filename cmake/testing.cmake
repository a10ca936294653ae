# launcher_add_gtest(<name> SOURCES <files...> [LIBS <libs...>] [TIMEOUT <s>] [LABELS <l...>])
#
# Host trees register every GoogleTest case with CTest; Windows trees register one CTest test
# per executable (each start under Wine costs seconds), window tests one per case, and run them
# through the emulator.
function(launcher_add_gtest name)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    launcher_target_defaults(${name})
    # Tests include their support headers by the path from the source root.
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} gtest gmock gtest_main)
    if(WIN32)
        set_target_properties(${name} PROPERTIES SUFFIX ".exe")
        if("gui" IN_LIST ARG_LABELS)
            # Each case of a window test in a process of its own (found in the sources, since a
            # cross-built program cannot list its cases at build time): where Wine's 32-bit side
            # runs through qemu-user, a process now and then dies of the emulation, and then only
            # its own case fails and only it is run again. The cases share one X display and run
            # one at a time.
            set(sources "")
            foreach(source ${ARG_SOURCES})
                cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
                list(APPEND sources ${source})
            endforeach()
            include(GoogleTest)
            gtest_add_tests(TARGET ${name} SOURCES ${sources} TEST_PREFIX "${name}."
                            TEST_LIST cases)
            # A case this tree compiles out (its filter then matches nothing) and one that skips
            # itself are reported as skipped, not passed.
            set_tests_properties(${cases} PROPERTIES TIMEOUT ${ARG_TIMEOUT}
                                 LABELS "windows;${ARG_LABELS}" RESOURCE_LOCK display
                                 SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\];\\] 0 tests from 0 test suites ran")
        else()
            add_test(NAME ${name} COMMAND ${name})
            set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT}
                                 LABELS "windows;${ARG_LABELS}")
        endif()
    else()
        include(GoogleTest)
        gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                             PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS "host;${ARG_LABELS}")
    endif()
endfunction()

# launcher_add_fuzz_executable(<name> SOURCES <files...> LIBS <libs...>)
#
# A libFuzzer executable. The fuzzer's coverage instrumentation stays on the fuzz targets: the
# sources of the libraries under test (list every library whose code is to be reached, its
# dependencies included) are compiled into the target itself, instrumented, instead of
# instrumenting every host library, which then would not link without the sanitizers.
function(launcher_add_fuzz_executable name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    set(sources ${ARG_SOURCES})
    foreach(library ${ARG_LIBS})
        get_target_property(library_sources ${library} SOURCES)
        get_target_property(library_folder ${library} SOURCE_DIR)
        foreach(source ${library_sources})
            cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${library_folder})
            list(APPEND sources ${source})
        endforeach()
    endforeach()
    add_executable(${name} ${sources})
    launcher_target_defaults(${name})
    foreach(library ${ARG_LIBS})
        # The library's include folders, without its own uninstrumented code.
        target_include_directories(${name} PRIVATE
            $<TARGET_PROPERTY:${library},INTERFACE_INCLUDE_DIRECTORIES>)
    endforeach()
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
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
