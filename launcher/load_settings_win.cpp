#include <windows.h>

#include <optional>

#include "base/files_win.h"
#include "base/path.h"
#include "launcher/launch_log.h"
#include "launcher/launch_settings.h"
#include "launcher/launcher_app.h"
#include "resources/resource_ids.h"
#include "settings/base_text_win.h"
#include "settings/profile_store_win.h"
#include "settings/settings_files.h"
#include "settings/settings_files_win.h"
#include "ui/error_box_win.h"

namespace launcher {

namespace {

// The settings files of one launch, each opened once: the main file laid over the base text
// the executable carries for its product, and the per-user file when it exists.
struct SettingsSources {
    std::wstring mainFile;
    std::wstring perUserFile;  // empty when it cannot be named
    bool perUserExists = false;
    ProductSettings product;
    splash::SplashSettings display;
    settings::LayeredStore layered;
    std::optional<settings::ProfileStore> perUser;
};

// nullopt when the main settings file cannot be named (the executable's path has no ".").
std::optional<SettingsSources> openSettingsSources(const std::wstring& executablePath) {
    const auto mainFile = settings::mainSettingsPath(executablePath);
    if (!mainFile) return std::nullopt;
    // One read of the main file serves the product's identity, the splash and the layered view.
    const auto mainSettings = settings::settingsSnapshot(*mainFile);
    const settings::ProfileStore mainStore(*mainFile, mainSettings);
    ProductSettings product = readProductSettings(mainStore);
    splash::SplashSettings display = readDisplaySettings(mainStore);
    settings::LayeredStore layered(*mainFile, mainSettings,
                                   settings::loadBaseSettingsText(product.upgradeCode));
    std::optional<settings::ProfileStore> perUser;
    auto perUserFile = settings::perUserSettingsPath(executablePath, product.productName,
                                                     product.productCode, /*create=*/false);
    const bool perUserExists = base::pathExists(perUserFile);
    if (perUserExists) perUser.emplace(perUserFile);
    return SettingsSources{*mainFile,          std::move(perUserFile), perUserExists,
                           std::move(product), std::move(display),     std::move(layered),
                           std::move(perUser)};
}

// The settings files for the launch log. Only the log asks whether the main file exists; a
// start without a log saves the call.
std::vector<SettingsFileNote> settingsFileNotes(const SettingsSources& sources) {
    std::vector<SettingsFileNote> files{{sources.mainFile, base::pathExists(sources.mainFile)}};
    if (!sources.perUserFile.empty()) {
        files.push_back({sources.perUserFile, sources.perUserExists});
    }
    return files;
}

}  // namespace

bool LauncherApp::loadSettings() {
    const auto sources = openSettingsSources(executablePath_);
    if (!sources) return false;
    settings_ = interpretLaunchSettings(sources->product, sources->layered,
                                        sources->perUser ? &*sources->perUser : nullptr);
    // The variable, set for one session, wins over what the product ships with.
    if (logPath_.empty() && !settings_.launchLog.empty()) {
        logPath_ = launchLogFileOfSetting(base::expandEnvironment(settings_.launchLog),
                                          base::folderPrefixOf(executablePath_));
    }
    if (!logPath_.empty()) settingsFiles_ = settingsFileNotes(*sources);
    settings_.display = sources->display;
    route_ = messageRoute(builtSubsystem(), settings_.application, settings_.output);
    if (settings_.mainClass.empty()) {
        reportError(IDS_NO_MAIN_CLASS);
        return false;
    }
    return true;
}

bool LauncherApp::setUpSingleInstance() {
    const SingleInstance::Setup setup{executablePath_, settings_.application.singleInstance,
                                      settings_.mainClass, !settings_.runtimeSearch.mayChooseIbm()};
    return singleInstance.setUp(setup, arguments_, jvm_.mainStartedEvent);
}

}  // namespace launcher
