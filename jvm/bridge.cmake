# The Java bridge: JVM creation, main-class invocation, stream redirection and exception text.
# jni.h comes from the JDK; Windows builds pair it with our own jni_md.h.
set(LAUNCHER_JDK_HOME /usr/lib/jvm/java-17-openjdk-amd64 CACHE PATH "JDK providing jni.h (and, on the host, libjvm.so)")

add_library(jni_headers INTERFACE)
target_include_directories(jni_headers SYSTEM INTERFACE ${LAUNCHER_JDK_HOME}/include)
if(WIN32)
    target_include_directories(jni_headers SYSTEM INTERFACE ${CMAKE_CURRENT_SOURCE_DIR}/jni/win)
else()
    target_include_directories(jni_headers SYSTEM INTERFACE ${LAUNCHER_JDK_HOME}/include/linux)
endif()
if(NOT EXISTS ${LAUNCHER_JDK_HOME}/include/jni.h)
    message(WARNING "jni.h not found under ${LAUNCHER_JDK_HOME}/include; set LAUNCHER_JDK_HOME")
endif()

target_link_libraries(jvm_support PUBLIC jni_headers)

target_sources(jvm_support PRIVATE
    modified_utf8.cpp timestamp_pattern.cpp java_strings.cpp java_bridge.cpp redirection.cpp
    exception_text.cpp)
if(WIN32)
    target_sources(jvm_support PRIVATE timestamp_pattern_win.cpp)
endif()
# The single-instance hand-over's call into the running program.
target_sources(jvm_support PRIVATE secondary_main.cpp)
