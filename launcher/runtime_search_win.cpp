#include <windows.h>

#include "jre/jre_search_win.h"
#include "launcher/launcher_app.h"

namespace launcher {

namespace {
jre::JreSearchSettings searchSettingsOf(const LauncherApp& app) {
    jre::JreSearchSettings search;
    search.jvmType = static_cast<jre::JvmType>(app.jvmType);
    search.acceptJdk = app.acceptJdk;
    search.acceptJre = app.acceptJre;
    search.fallBackToOtherKind = app.fallBackToOtherKind;
    search.acceptJRockit = app.acceptJRockit;
    search.acceptSun = app.acceptSun;
    search.acceptIbm = app.acceptIbm;
    search.preferJRockit = app.preferJRockit;
    search.preferSun = app.preferSun;
    search.preferIbm = app.preferIbm;
    search.minimumVersion = app.minimumVersion;
    search.maximumVersion = app.maximumVersion;
    search.preferredVersions = app.preferredVersions;
    search.jrePathSetting = app.jrePathSetting;
    search.pairProduct = app.pairProduct;
    search.modernRuntimeKeys = app.modernRuntimeKeys;
    return search;
}
}  // namespace

bool LauncherApp::findJre() {
    std::wstring folder;
    if (!moduleFolder(folder)) folder.clear();
    const auto result = jre::findJre(searchSettingsOf(*this), folder);
    if (!result.found) return false;
    jvmLibraryPath = result.jvmLibraryPath;
    chosenJreVersion = result.chosenVersion;
    relaunchViaPair = result.relaunchViaPair;
    return true;
}

void LauncherApp::checkLibraryBitness() {
    relaunchViaPair = jre::needsPairForLibrary(jvmLibraryPath, pairProduct);
}

}  // namespace launcher
