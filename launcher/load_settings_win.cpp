#include <windows.h>

#include "base/files_win.h"
#include "jre/java_version.h"
#include "launcher/launch_settings.h"
#include "launcher/launcher_app.h"
#include "resources/resource_ids.h"
#include "settings/base_text_win.h"
#include "settings/profile_store_win.h"
#include "settings/settings_files.h"
#include "settings/settings_files_win.h"
#include "settings/split.h"
#include "ui/error_box_win.h"

namespace launcher {

namespace {
constexpr std::wstring_view kProduct = L"Product Information";
constexpr std::wstring_view kJre = L"Java Runtime Environment";
constexpr std::wstring_view kApplication = L"Application";
}  // namespace

bool LauncherApp::loadSettings() {
    std::wstring executable;
    if (!modulePath(executable)) return false;
    const auto mainFile = settings::mainSettingsPath(executable);
    if (!mainFile) return false;

    // The product's identity is never taken from the base text or a "+" section.
    {
        const settings::ProfileStore product(*mainFile);
        productCode = product.read(kProduct, L"Product Code");
        upgradeCode = product.read(kProduct, L"Upgrade Code");
        productName = product.read(kProduct, L"Product Name");
    }

    const settings::LayeredStore store(*mainFile, settings::loadBaseSettingsText(upgradeCode));
    minimumVersion = jre::minimumVersionFromSetting(store.read(kJre, L"Minimum Version"));
    maximumVersion = jre::maximumVersionFromSetting(store.read(kJre, L"Maximum Version"));
    serviceMode = store.read(kApplication, L"Application Type") == L"service";
    settings::splitText(store.read(kJre, L"Preferred versions"), L";", preferredVersions);

    // Outside service mode an existing per-user file alone supplies "JRE Path", so the runtime
    // a user picked is not overridden by the main file.
    const auto perUserFile = settings::perUserSettingsPath(executable, productName, productCode,
                                                           /*create=*/false);
    if (!serviceMode && base::pathExists(perUserFile)) {
        jrePathSetting = settings::ProfileStore(perUserFile).read(kJre, L"JRE Path");
    } else {
        jrePathSetting = store.read(kJre, L"JRE Path");
    }

    jvmType = jvmTypeFromSetting(store.read(kJre, L"JVM Type"));
    const auto source = jvmSourceFlags(store.read(kJre, L"JVM Source"),
                                       {acceptJdk, acceptJre, fallBackToOtherKind});
    acceptJdk = source.acceptJdk;
    acceptJre = source.acceptJre;
    fallBackToOtherKind = source.fallBackToOtherKind;

    const auto provider =
        vmProviderFlags(store.read(kJre, L"VM Provider"),
                        {acceptJRockit, acceptSun, acceptIbm, preferJRockit, preferSun, preferIbm});
    acceptJRockit = provider.acceptJRockit;
    acceptSun = provider.acceptSun;
    acceptIbm = provider.acceptIbm;
    preferJRockit = provider.preferJRockit;
    preferSun = provider.preferSun;
    preferIbm = provider.preferIbm;

    mainClass = store.read(kJre, L"Main Class");
    if (mainClass.empty()) {
        ui::showErrorBox(splashWindowHandle, IDS_NO_MAIN_CLASS);
        return false;
    }
    mainClass = mainClassInJniForm(mainClass);

    failureCheck = isYesFlag(store.read(kApplication, L"Failure Check"));
    overrideWorkingDir = isYesFlag(store.read(kApplication, L"Override WorkingDir"));
    systemPath = store.read(kJre, L"System Path");
    libraryPath = store.read(kJre, L"Library Path");
    pairProduct = store.read(kApplication, L"Pair Product");
    pairReturnCode = isYesFlag(store.read(kApplication, L"Pair Return Code"));
    return true;
}

bool LauncherApp::setUpSingleInstance() {
    std::wstring executable;
    if (!modulePath(executable)) return false;
    const auto mainFile = settings::mainSettingsPath(executable);
    if (!mainFile) return false;
    const settings::LayeredStore store(*mainFile, settings::loadBaseSettingsText(upgradeCode));
    const SingleInstance::Setup setup{executable,
                                      store.read(kApplication, L"Application Type"),
                                      store.read(kApplication, L"Single Instance"),
                                      mainClass,
                                      !(acceptIbm || preferIbm),
                                      &javaVm};
    const bool goOn = singleInstance.setUp(setup, arguments, mainStartedEvent);
    singleInstanceActive = singleInstance.role() != SingleInstance::Role::Off;
    firstInstance = singleInstance.role() == SingleInstance::Role::First;
    return goOn;
}

}  // namespace launcher
