#pragma once

#include <windows.h>

#include <objbase.h>

#include "base/system_library_win.h"

namespace ui {

// COM initialised on this thread (single-threaded apartment) for the time of one shell call:
// the folder browser of the new style and shell execution through extensions need it. ole32 is
// loaded only here, so a launch that shows no dialog never pays for it. When initialisation
// fails (the thread already is in another apartment), the shell call runs anyway, as it would
// have without this.
class ComApartment {
  public:
    ComApartment() {
        using Initialize = HRESULT(WINAPI*)(void*);
        if (auto initialize = base::systemFunction<Initialize>(L"ole32.dll", "OleInitialize")) {
            initialized_ = SUCCEEDED(initialize(nullptr));
        }
    }
    ~ComApartment() {
        using Uninitialize = void(WINAPI*)();
        if (!initialized_) return;
        if (auto uninitialize =
                base::systemFunction<Uninitialize>(L"ole32.dll", "OleUninitialize")) {
            uninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

  private:
    bool initialized_ = false;
};

}  // namespace ui
