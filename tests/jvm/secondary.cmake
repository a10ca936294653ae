# The single-instance hand-over's JNI side against the JDK's libjvm.so, with Java classes of its
# own (one JVM per test process).
if(NOT WIN32)
    set(secondary_jvm_library ${LAUNCHER_JDK_HOME}/lib/server/libjvm.so)
    find_program(LAUNCHER_JAVAC javac HINTS ${LAUNCHER_JDK_HOME}/bin)
    if(EXISTS ${secondary_jvm_library} AND LAUNCHER_JAVAC)
        file(GLOB secondary_java_sources ${CMAKE_SOURCE_DIR}/tests/java/secondarytest/*.java)
        set(secondary_classes ${CMAKE_CURRENT_BINARY_DIR}/secondary_classes)
        launcher_compile_java(secondary_java_classes ${secondary_classes}
                              ${secondary_java_sources})

        launcher_add_gtest(jvm_secondary_tests
            SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/jni_test_jvm.cpp
                    ${CMAKE_CURRENT_SOURCE_DIR}/secondary_main_test.cpp
            LIBS jvm_support ${CMAKE_DL_LIBS}
            TIMEOUT 60)
        add_dependencies(jvm_secondary_tests secondary_java_classes)
        target_compile_definitions(jvm_secondary_tests PRIVATE
            TEST_JVM_LIBRARY="${secondary_jvm_library}"
            TEST_JAVA_CLASSES="${secondary_classes}")
    endif()
endif()
