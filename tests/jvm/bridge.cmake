# Tests of the Java bridge. The pure parts run everywhere; the JNI parts run on the host
# against a real JDK, loaded with dlopen, one JVM per test process.
if(NOT WIN32)
    launcher_add_gtest(jvm_bridge_pure_tests
        SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/modified_utf8_test.cpp
                ${CMAKE_CURRENT_SOURCE_DIR}/timestamp_pattern_test.cpp
        LIBS jvm_support)

    set(LAUNCHER_JVM_LIBRARY ${LAUNCHER_JDK_HOME}/lib/server/libjvm.so)
    find_program(LAUNCHER_JAVAC javac HINTS ${LAUNCHER_JDK_HOME}/bin)
    if(EXISTS ${LAUNCHER_JVM_LIBRARY} AND LAUNCHER_JAVAC)
        set(java_sources
            EchoArgs ExitLater ExitWith Failures Lingering NoMain PrintBoth Throws)
        list(TRANSFORM java_sources PREPEND ${CMAKE_SOURCE_DIR}/tests/java/bridgetest/)
        list(TRANSFORM java_sources APPEND .java)
        set(java_classes ${CMAKE_CURRENT_BINARY_DIR}/bridge_classes)
        launcher_compile_java(bridge_java_classes ${java_classes} ${java_sources})

        launcher_add_gtest(jvm_bridge_tests
            SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/jni_test_jvm.cpp
                    ${CMAKE_CURRENT_SOURCE_DIR}/bridge_main_class_test.cpp
                    ${CMAKE_CURRENT_SOURCE_DIR}/bridge_redirection_test.cpp
                    ${CMAKE_CURRENT_SOURCE_DIR}/bridge_exception_text_test.cpp
                    ${CMAKE_CURRENT_SOURCE_DIR}/bridge_class_path_test.cpp
            LIBS jvm_support ${CMAKE_DL_LIBS}
            TIMEOUT 60)
        add_dependencies(jvm_bridge_tests bridge_java_classes)
        target_compile_definitions(jvm_bridge_tests PRIVATE
            TEST_JVM_LIBRARY="${LAUNCHER_JVM_LIBRARY}"
            TEST_JAVA_CLASSES="${java_classes}")
    else()
        message(STATUS "No JDK at ${LAUNCHER_JDK_HOME} (libjvm.so, javac): JVM bridge tests skipped")
    endif()
else()
    launcher_add_gtest(jvm_timestamp_win_tests
        SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/timestamp_pattern_win_test.cpp
        LIBS jvm_support)
endif()
