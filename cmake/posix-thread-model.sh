#!/bin/sh
# Compiler and linker launcher for the targets that need C++ threads (GoogleTest and the test
# tools): runs the command it is given with the mingw-w64 compiler of the posix thread model in
# place of the win32-model one the tree is configured with. Other launchers (ccache) may come
# first in the command and are kept.
for argument do
    shift
    case "$argument" in
        *-w64-mingw32-*-win32) argument="${argument%-win32}-posix" ;;
    esac
    set -- "$@" "$argument"
done
exec "$@"
