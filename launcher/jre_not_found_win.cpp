#include <windows.h>

#include "launcher/console_win.h"
#include "launcher/jre_not_found.h"
#include "launcher/jre_not_found_dialog_win.h"
#include "launcher/launcher_app.h"
#include "resources/resource_ids.h"
#include "settings/settings_files_win.h"
#include "ui/error_box_win.h"

namespace launcher {

bool LauncherApp::askUserForJre() {
    const jre::JreSearchSettings& search = settings_.runtimeSearch;
    if (!route_.boxes) {
        // Nobody may be there to pick a folder: say what to install and where, and end.
        const std::wstring message =
            jreNotFoundMessage(search.jvmType, search.minimumVersion, search.maximumVersion,
                               [](unsigned id) { return ui::loadResourceString(id); });
        const std::wstring line = jreNotFoundConsoleLine(message, L"" JAVA_DOWNLOAD_URL);
        ui::noteShownMessage(line);
        writeStandardError(line);
        return false;
    }
    ui::noteShownMessage(L"the \"JRE not found\" dialog");
    // Normally no window is active yet; if one is, the dialog stays in front of it. Qualified:
    // the dialog's free function, not this member.
    const auto choice =
        launcher::askUserForJre(search.jvmType, search.minimumVersion, search.maximumVersion,
                                search.pairProduct, GetActiveWindow());
    if (!choice) return false;
    runtime_.jvmLibraryPath = choice->jvmLibraryPath;
    checkLibraryBitness();
    const ProductSettings& product = settings_.product;
    settings::writeBackJrePath({executablePath_, settings_.application.serviceMode,
                                search.pairProduct, product.productName, product.productCode,
                                choice->folder});
    return true;
}

}  // namespace launcher
