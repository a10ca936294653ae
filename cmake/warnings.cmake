# Strict warnings for our own code (not for GoogleTest).
set(LAUNCHER_WARNINGS
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion -Wold-style-cast
    -Wnon-virtual-dtor -Woverloaded-virtual -Wnull-dereference -Wformat=2
    -Wimplicit-fallthrough -Werror)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    list(APPEND LAUNCHER_WARNINGS -Wduplicated-cond -Wlogical-op)
endif()

# Applies our warnings and the Windows defines to a target of ours.
function(launcher_target_defaults target)
    target_compile_options(${target} PRIVATE ${LAUNCHER_WARNINGS})
    target_compile_features(${target} PUBLIC cxx_std_20)
    if(WIN32)
        target_compile_definitions(${target} PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                                                    _WIN32_WINNT=0x0601)
    endif()
endfunction()
