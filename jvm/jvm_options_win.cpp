#include <windows.h>

#include "jvm/jvm_options_win.h"

#include <cstddef>

#include "base/ansi_paths_win.h"
#include "base/files_win.h"
#include "base/handles_win.h"
#include "base/text.h"
#include "jvm/class_path.h"
#include "jvm/vm_parameters.h"
#include "resources/resource_ids.h"
#include "settings/split.h"
#include "ui/error_box_win.h"

namespace jvm {

namespace {

constexpr std::wstring_view kApplication = L"Application";

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

using GetDefaultInitArgs = int32_t(__stdcall*)(void* initArgs);

std::wstring expand(const std::wstring& text) { return base::expandEnvironment(text); }

void readRedirection(const settings::SettingsStore& store, std::wstring_view fileKey,
                     std::wstring_view appendKey, std::wstring& file, bool& append) {
    file = store.read(kApplication, fileKey);
    if (!file.empty()) file = expand(file);
    if (store.read(kApplication, appendKey) == L"yes") append = true;
}

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

bool buildJvmOptions(const settings::SettingsStore& store, JvmOptionsContext& context,
                     HWND errorOwner) {
    const ClassPathServices services{expand, findMatchingNames};
    const bool embeddedJar =
        base::equalsIgnoringCase(store.read(kApplication, L"Embedded Jar"), L"Yes");
    const std::wstring classPath = composeClassPath(store.read(L"Class Path", L"Class Path"),
                                                    context.modulePath, embeddedJar, services);
    if (classPath.empty()) {
        ui::showErrorBox(errorOwner, static_cast<UINT>(IDS_NO_CLASS_PATH));
        return false;
    }

    std::vector<std::wstring> options{L"-Djava.class.path=" + classPath};
    const std::wstring parameters =
        store.read(L"Java Runtime Environment", L"Virtual Machine Parameters");
    for (auto& token : splitVmParameters(parameters)) {
        addVmParameter(std::move(token), currentMemoryFigures, options,
                       context.javaThreadStackSize);
    }
    std::vector<std::string> converted;
    for (const auto& option : options) {
        base::AnsiOption ansi = base::toThreadAnsiOption(expand(option));
        if (!ansi.unrepresentedPath.empty()) {
            ui::showErrorBox(errorOwner, IDS_PATH_NOT_IN_CODE_PAGE,
                             std::wstring_view(ansi.unrepresentedPath));
            return false;
        }
        converted.push_back(std::move(ansi.text));
    }
    for (auto& option : converted) context.jvmOptions.push_back(std::move(option));

    readRedirection(store, L"Output File", L"Output Append", context.outputFile,
                    context.appendOutput);
    readRedirection(store, L"Error File", L"Error Append", context.errorFile, context.appendError);

    context.cmdSetting = store.read(kApplication, L"Cmd");
    if (!context.cmdSetting.empty()) {
        context.cmdSetting = expand(context.cmdSetting);
        std::vector<std::wstring> extra;
        settings::splitCommandLine(context.cmdSetting, extra);
        for (auto& argument : extra) {
            if (!argument.empty()) context.arguments.push_back(std::move(argument));
        }
    }
    return true;
}

uint32_t defaultJavaStackSize(void* getDefaultInitArgsEntry) {
    if (getDefaultInitArgsEntry == nullptr) return 0;
    Jdk11InitArgs initArgs{};
    initArgs.version = kJniVersion11;
    const auto entry = reinterpret_cast<GetDefaultInitArgs>(getDefaultInitArgsEntry);
    entry(&initArgs);
    return initArgs.javaStackSize > 0 ? static_cast<uint32_t>(initArgs.javaStackSize) : 0;
}

}  // namespace jvm
