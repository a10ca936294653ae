// A real jvm.dll imports more than the kernel: the window library, the registry, sockets,
// multimedia timers, process status and version information. Loading the library maps and
// initialises all of them, so a host pays for them whether it uses them or not. One exported
// table that names a function of each keeps these imports in the fake library too, so start-up
// timings charge the same libraries to every host that loads it.
#include <windows.h>

#include <mmsystem.h>
#include <psapi.h>
#include <winsock2.h>

extern "C" __declspec(dllexport) const void* const fakejvm_runtime_imports[] = {
    reinterpret_cast<const void*>(&GetDesktopWindow),
    reinterpret_cast<const void*>(&RegOpenKeyExW),
    reinterpret_cast<const void*>(&WSAStartup),
    reinterpret_cast<const void*>(&timeBeginPeriod),
    reinterpret_cast<const void*>(&GetModuleFileNameExW),
    reinterpret_cast<const void*>(&GetFileVersionInfoSizeW),
};
