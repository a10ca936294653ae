#include <windows.h>

#include "jre/jre_search_win.h"
#include "launcher/launcher_app.h"

namespace launcher {

bool LauncherApp::findJre() {
    std::wstring folder;
    if (!moduleFolder(folder)) folder.clear();
    runtime_ = jre::findJre(settings_.runtimeSearch, folder);
    return runtime_.found;
}

void LauncherApp::checkLibraryBitness() {
    runtime_.relaunchViaPair =
        jre::needsPairForLibrary(runtime_.jvmLibraryPath, settings_.runtimeSearch.pairProduct);
}

}  // namespace launcher
