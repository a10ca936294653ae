# The Windows trees are configured with the win32 thread-model mingw-w64 compilers, so the shipped
# executables carry no winpthreads. GoogleTest and the test tools need std::mutex and
# std::thread, which only the posix thread model has: launcher_use_posix_threads() switches the
# targets created after it in the calling directory scope (and below) to the posix compilers.
set(LAUNCHER_POSIX_THREADS_LAUNCHER ${CMAKE_CURRENT_LIST_DIR}/posix-thread-model.sh)

macro(launcher_use_posix_threads)
    if(WIN32)
        foreach(lang C CXX)
            set(CMAKE_${lang}_COMPILER_LAUNCHER
                ${LAUNCHER_POSIX_THREADS_LAUNCHER} ${CMAKE_${lang}_COMPILER_LAUNCHER})
            set(CMAKE_${lang}_LINKER_LAUNCHER ${LAUNCHER_POSIX_THREADS_LAUNCHER})
        endforeach()
    endif()
endmacro()
