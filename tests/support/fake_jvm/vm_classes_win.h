#pragma once

// The method bodies of the classes the fake JVM defines, in the files that hold them, and what
// those files need of its core (vm_win.cpp).
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "tests/support/fake_jvm/vm_win.h"

namespace fakejvm {

// The library classes (vm_library_win.cpp).
Value stringInit(Env& env, Object* self, const std::vector<Value>& args);
Value fileStreamInit(Env& env, Object* self, const std::vector<Value>& args);
Value printStreamInit(Env& env, Object* self, const std::vector<Value>& args);
Value byteStreamInit(Env& env, Object* self, const std::vector<Value>& args);
Value byteStreamToString(Env& env, Object* self, const std::vector<Value>& args);
Value systemSetOut(Env& env, Object* self, const std::vector<Value>& args);
Value systemSetErr(Env& env, Object* self, const std::vector<Value>& args);
Value systemExitMethod(Env& env, Object* self, const std::vector<Value>& args);

// The program a scenario plays (vm_program_win.cpp).
Value mainMethod(Env& env, Object* self, const std::vector<Value>& args);
Value secondaryMainMethod(Env& env, Object* self, const std::vector<Value>& args);
Value checkAndLoadMain(Env& env, Object* self, const std::vector<Value>& args);

// "com/example/Main" as Java prints it: "com.example.Main".
[[nodiscard]] std::string dotted(std::string_view name);
// A Throwable class with printStackTrace, defined on first use.
ClassInfo& defineThrowableClass(std::string_view name);
// System.setOut / System.setErr.
void setSystemStream(bool error, Object* stream);
// The current System.out (null = the process's stdout).
[[nodiscard]] Object* systemOut();
// A thread DestroyJavaVM waits for.
void addNonDaemonThread(HANDLE thread);

}  // namespace fakejvm
