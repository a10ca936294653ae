#include <windows.h>

#include "tests/support/fake_jvm/vm_classes_win.h"

#include <cstdint>
#include <memory>
#include <string>

#include "tests/support/fake_jvm/record_win.h"
#include "tests/support/fake_jvm/text_codec.h"

// The program a scenario plays: what its main and secondaryMain record and do, the threads and
// windows they leave behind, and the JDK launcher helper's loading of the main class.
namespace fakejvm {
namespace {

// One write for the heading and all items, so concurrent calls cannot interleave them.
void recordArguments(std::string_view heading, std::string_view itemName, const Object* array) {
    if (array == nullptr) {
        record(std::string(heading) + " null");
        return;
    }
    std::string lines = std::string(heading) + " " + std::to_string(array->elements.size());
    for (std::size_t i = 0; i < array->elements.size(); ++i) {
        const Object* item = array->elements[i];
        lines += "\n" + std::string(itemName) + " " + std::to_string(i) + " " +
                 (item == nullptr ? std::string("null") : hexUnits(item->text));
    }
    record(lines);
}

DWORD WINAPI sleepingThread(void* parameter) noexcept {
    const auto milliseconds = static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(parameter));
    Sleep(milliseconds);
    record("thread done");
    return 0;
}

DWORD WINAPI boxThread(void* parameter) noexcept {
    std::unique_ptr<std::wstring> text(static_cast<std::wstring*>(parameter));
    const int answer = MessageBoxW(nullptr, text->c_str(), L"fakejvm window", MB_OK);
    record("box closed " + std::to_string(answer));
    return 0;
}

struct DelayedExit {
    DWORD milliseconds;
    jint status;
};

DWORD WINAPI exitAfterThread(void* parameter) noexcept {
    const DelayedExit plan = *static_cast<DelayedExit*>(parameter);
    delete static_cast<DelayedExit*>(parameter);
    Sleep(plan.milliseconds);
    systemExit(nullptr, plan.status);
    return 0;
}

void startThread(LPTHREAD_START_ROUTINE body, void* parameter, bool nonDaemon) {
    HANDLE thread = CreateThread(nullptr, 0, body, parameter, 0, nullptr);
    if (thread == nullptr) fail("misuse cannot start a Java thread", 98);
    if (nonDaemon) {
        addNonDaemonThread(thread);
    } else {
        CloseHandle(thread);
    }
}

// Runs a scenario action list; false when the method is to return at once.
void runActions(Env& env, const std::vector<Action>& actions) {
    for (const Action& action : actions) {
        switch (action.kind) {
            case Action::Kind::Return:
                return;
            case Action::Kind::Throw: {
                Object* exception = newObject(ObjectKind::Throwable,
                                              &defineThrowableClass(scenario().exceptionClass));
                exception->text = utf16FromUtf8(scenario().trace);
                env.pending = exception;
                record("throw " + scenario().exceptionClass);
                return;
            }
            case Action::Kind::Exit:
                systemExit(&env, action.number);
                if (env.pending != nullptr) return;
                break;
            case Action::Kind::Abort:
                abortVm();
            case Action::Kind::Sleep:
                Sleep(static_cast<DWORD>(action.number));
                break;
            case Action::Kind::Thread:
                startThread(sleepingThread,
                            reinterpret_cast<void*>(static_cast<std::uintptr_t>(action.number)),
                            true);
                break;
            case Action::Kind::Box: {
                const std::u16string text = utf16FromUtf8(action.text);
                startThread(boxThread, new std::wstring(text.begin(), text.end()), true);
                break;
            }
            case Action::Kind::ExitAfter:
                startThread(exitAfterThread,
                            new DelayedExit{static_cast<DWORD>(action.number), action.second},
                            false);
                break;
        }
    }
}

// System.in is the process's standard input handle, read as bytes; the fake takes them as
// UTF-8 text.
void copyStandardInput() {
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    if (input == nullptr || input == INVALID_HANDLE_VALUE) return;
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(input, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
        bytes.append(buffer, read);
    }
    printTo(systemOut(), utf16FromUtf8(bytes), false);
}

// The number the first argument begins with, or -2.
jint numberInFirstArgument(const Object* array) {
    if (array == nullptr || array->elements.empty() || array->elements[0] == nullptr) return -2;
    jint number = 0;
    bool digits = false;
    for (const char16_t unit : array->elements[0]->text) {
        if (unit < u'0' || unit > u'9' || number > 100000) break;
        number = number * 10 + (unit - u'0');
        digits = true;
    }
    return digits ? number : -2;
}

}  // namespace

Value mainMethod(Env& env, Object*, const std::vector<Value>& args) {
    recordArguments("main", "arg", args[0].l);
    if (!scenario().printOut.empty()) {
        printTo(systemOut(), utf16FromUtf8(scenario().printOut), false);
    }
    if (!scenario().printErr.empty()) {
        printTo(systemErr(), utf16FromUtf8(scenario().printErr), true);
    }
    if (scenario().copyInput) copyStandardInput();
    runActions(env, scenario().mainActions);
    return {};
}

Value secondaryMainMethod(Env& env, Object*, const std::vector<Value>& args) {
    recordArguments("secondaryMain", "secondaryArg", args[0].l);
    runActions(env, scenario().secondaryActions);
    Value result;
    result.i = scenario().secondaryResultFromArguments ? numberInFirstArgument(args[0].l)
                                                       : scenario().secondaryResult;
    return result;
}

Value checkAndLoadMain(Env& env, Object*, const std::vector<Value>& args) {
    const Object* name = args[2].l;
    const std::string text = name == nullptr ? "null" : utf8FromUtf16(name->text);
    record("checkAndLoadMain " + std::to_string(args[0].i) + " " + std::to_string(args[1].i) + " " +
           text);
    const std::string wanted = dotted(scenario().mainClass);
    ClassInfo* mainClass = findClass(scenario().mainClass);
    if (args[1].i == 1 && text == wanted && mainClass != nullptr) {
        Value result;
        result.l = &mainClass->classObject;
        return result;
    }
    // The JDK's launcher helper reports a class it cannot load and ends the JVM with 1.
    printTo(systemErr(), utf16FromUtf8("Error: Could not find or load main class " + text + "\r\n"),
            true);
    systemExit(&env, 1);
    return {};
}

}  // namespace fakejvm
