#include <windows.h>

#include "jvm/jvm_options_win.h"

#include <cstddef>

#include "base/ansi_paths_win.h"
#include "base/files_win.h"
#include "base/handles_win.h"
#include "base/split.h"
#include "base/text.h"
#include "jvm/class_path.h"
#include "jvm/vm_parameters.h"

namespace jvm {

namespace {

// The JNI 1.1 init-args record that JNI_GetDefaultJavaVMInitArgs fills in. Only the version and
// the Java stack size are used; the rest is laid out so the library writes within the record.
struct Jdk11InitArgs {
    int32_t version;
    void* properties;
    int32_t checkSource;
    int32_t nativeStackSize;
    int32_t javaStackSize;
    int32_t minHeapSize;
    int32_t maxHeapSize;
    int32_t verifyMode;
    void* classpath;
    void* vfprintfHook;
    void* exitHook;
    void* abortHook;
    int32_t enableClassGC;
    int32_t enableVerboseGC;
    int32_t disableAsyncGC;
    int32_t verbose;
    uint8_t debugging;
    int32_t debugPort;
};
static_assert(sizeof(void*) != 4 || sizeof(Jdk11InitArgs) == 72);
static_assert(sizeof(void*) != 4 || offsetof(Jdk11InitArgs, javaStackSize) == 16);
static_assert(sizeof(void*) != 8 || offsetof(Jdk11InitArgs, javaStackSize) == 24);

constexpr int32_t kJniVersion11 = 0x00010001;

std::wstring expand(const std::wstring& text) { return base::expandEnvironment(text); }

}  // namespace

MemoryFigures currentMemoryFigures() {
    MEMORYSTATUS status{};
    status.dwLength = sizeof(status);
    GlobalMemoryStatus(&status);
    return {status.dwTotalPhys, status.dwAvailVirtual};
}

std::vector<std::wstring> findMatchingNames(const std::wstring& pattern) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data{};
    base::UniqueFindHandle find(FindFirstFileW(longPathSearchPattern(pattern).c_str(), &data));
    if (!find) return names;
    do {
        names.emplace_back(data.cFileName);
    } while (FindNextFileW(find.get(), &data));
    return names;
}

std::optional<JvmOptionList> buildJvmOptions(const JvmOptionSources& sources,
                                             std::wstring_view executablePath) {
    const ClassPathServices services{expand, findMatchingNames};
    const std::wstring classPath =
        composeClassPath(sources.classPath, executablePath, sources.embeddedJar, services);
    if (classPath.empty()) return std::nullopt;

    JvmOptionList list;
    std::vector<std::wstring> options{L"-Djava.class.path=" + classPath};
    for (auto& token : splitVmParameters(sources.vmParameters)) {
        addVmParameter(std::move(token), currentMemoryFigures, options, list.javaThreadStackSize);
    }
    // Each option is expanded once more; a class path whose entries expand to nothing or to
    // separators must still not gain an empty element, nor be empty (the current folder too).
    const std::wstring expandedClassPath = withoutEmptyElements(expand(classPath));
    if (expandedClassPath.empty()) return std::nullopt;
    options.front() = L"-Djava.class.path=" + expandedClassPath;
    for (size_t index = 1; index < options.size(); ++index) {
        options[index] = expand(options[index]);
    }
    for (const auto& option : options) {
        base::AnsiOption ansi = base::toThreadAnsiOption(option);
        if (!ansi.unrepresentedPath.empty()) {
            list.unrepresentedPath = std::move(ansi.unrepresentedPath);
            list.options.clear();
            return list;
        }
        list.options.push_back(std::move(ansi.text));
    }

    if (!sources.cmdSetting.empty()) {
        std::vector<std::wstring> tokens;
        base::splitCommandLine(expand(std::wstring(sources.cmdSetting)), tokens);
        for (auto& token : tokens) {
            if (!token.empty()) list.cmdArguments.push_back(std::move(token));
        }
    }
    return list;
}

uint32_t defaultJavaStackSize(GetDefaultInitArgsFn getDefaultInitArgs) {
    if (getDefaultInitArgs == nullptr) return 0;
    Jdk11InitArgs initArgs{};
    initArgs.version = kJniVersion11;
    getDefaultInitArgs(&initArgs);
    return initArgs.javaStackSize > 0 ? static_cast<uint32_t>(initArgs.javaStackSize) : 0;
}

}  // namespace jvm
