# The option list, native paths, memory and stack sizing. The product sources are compiled into
# the tests directly so these tests do not wait on the rest of jvm_support.
set(JVM_OPTIONS_PURE_SOURCES
    ${CMAKE_SOURCE_DIR}/jvm/class_path.cpp
    ${CMAKE_SOURCE_DIR}/jvm/memory_options.cpp
    ${CMAKE_SOURCE_DIR}/jvm/native_paths.cpp
    ${CMAKE_SOURCE_DIR}/jvm/vm_parameters.cpp)

if(NOT WIN32)
    launcher_add_gtest(jvm_options_tests
        SOURCES
            ${CMAKE_CURRENT_LIST_DIR}/options_vm_parameters_test.cpp
            ${CMAKE_CURRENT_LIST_DIR}/memory_options_test.cpp
            ${CMAKE_CURRENT_LIST_DIR}/class_path_test.cpp
            ${CMAKE_CURRENT_LIST_DIR}/native_paths_test.cpp
            ${JVM_OPTIONS_PURE_SOURCES}
        LIBS settings base)
endif()

if(WIN32)
    launcher_add_gtest(jvm_options_win_tests
        SOURCES
            ${CMAKE_CURRENT_LIST_DIR}/options_win_test.cpp
            ${JVM_OPTIONS_PURE_SOURCES}
            ${CMAKE_SOURCE_DIR}/jvm/jvm_options_win.cpp
            ${CMAKE_SOURCE_DIR}/jvm/native_paths_win.cpp
        LIBS settings base jni_headers
        TIMEOUT 120)
endif()
