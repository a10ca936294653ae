#include <windows.h>

#include "base/path.h"
#include "jre/jre_search_win.h"
#include "launcher/launcher_app.h"

namespace launcher {

bool LauncherApp::findJre() {
    searchTrace_.clear();  // a second start that starts afresh searches again
    runtime_ = jre::findJre(settings_.runtimeSearch, base::folderPrefixOf(executablePath_),
                            logPath_.empty() ? nullptr : &searchTrace_);
    return runtime_.found;
}

void LauncherApp::checkLibraryBitness() {
    runtime_.relaunchViaPair =
        jre::needsPairForLibrary(runtime_.jvmLibraryPath, settings_.runtimeSearch.pairProduct);
}

}  // namespace launcher
