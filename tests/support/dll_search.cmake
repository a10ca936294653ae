# DLL doubles for the tests of where the launcher's process loads libraries from: a test runtime
# whose jvm.dll imports a helper DLL, the helper in two identities (the runtime's own copy and
# a decoy), and a DLL to plant under system libraries' names.
function(dll_double name source)
    add_library(${name} SHARED ${source})
    set_target_properties(${name} PROPERTIES PREFIX "" SUFFIX ".dll")
    target_link_options(${name} PRIVATE -static-libgcc)
    target_compile_definitions(${name} PRIVATE ${ARGN})
endfunction()
dll_double(jvmhelper ${CMAKE_CURRENT_LIST_DIR}/dll_doubles/helper_win.c HELPER_IDENTITY=1)
dll_double(jvmhelper_decoy ${CMAKE_CURRENT_LIST_DIR}/dll_doubles/helper_win.c HELPER_IDENTITY=2)
dll_double(planted ${CMAKE_CURRENT_LIST_DIR}/dll_doubles/planted_win.c)

fakejvm_variant(fakejvm_helper FAKEJVM_EXPORT_CREATE FAKEJVM_EXPORT_BOOT_LOADER)
target_sources(fakejvm_helper PRIVATE ${CMAKE_CURRENT_LIST_DIR}/fake_jvm/helper_import_win.cpp)
target_link_libraries(fakejvm_helper PRIVATE jvmhelper)
add_custom_target(dll_doubles DEPENDS fakejvm_helper jvmhelper jvmhelper_decoy planted)
