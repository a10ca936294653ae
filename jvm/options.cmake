# JVM option list, native paths, memory and stack sizing.
target_sources(jvm_support PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/class_path.cpp
    ${CMAKE_CURRENT_LIST_DIR}/memory_options.cpp
    ${CMAKE_CURRENT_LIST_DIR}/native_paths.cpp
    ${CMAKE_CURRENT_LIST_DIR}/vm_parameters.cpp)
if(WIN32)
    target_sources(jvm_support PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/jvm_options_win.cpp
        ${CMAKE_CURRENT_LIST_DIR}/native_paths_win.cpp)
endif()
