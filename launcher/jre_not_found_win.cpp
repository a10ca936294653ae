#include <windows.h>

#include "jre/jre_not_found_dialog_win.h"
#include "launcher/launcher_app.h"
#include "settings/settings_files_win.h"

namespace launcher {

bool LauncherApp::askUserForJre() {
    // Normally no window is active yet; if one is, the dialog stays in front of it.
    const auto choice = jre::askUserForJre(static_cast<jre::JvmType>(jvmType), minimumVersion,
                                           maximumVersion, GetActiveWindow());
    if (!choice) return false;
    jvmLibraryPath = choice->jvmLibraryPath;
    checkLibraryBitness();
    std::wstring executable;
    if (modulePath(executable)) {
        settings::writeBackJrePath(
            {executable, serviceMode, pairProduct, productName, productCode, choice->folder});
    }
    return true;
}

}  // namespace launcher
