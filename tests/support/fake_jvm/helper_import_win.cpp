// Compiled only into fakejvm_helper.dll: the test runtime then imports jvmhelper.dll, which lies
// in the runtime's bin folder, and records which copy of it the loader bound.
#include <string>

#include "tests/support/fake_jvm/record_win.h"

extern "C" __declspec(dllimport) int jvmHelperIdentity();

namespace {

const bool recorded = [] {
    fakejvm::record("helper " + std::to_string(jvmHelperIdentity()));
    return true;
}();

}  // namespace
