#include "launcher/jre_not_found.h"

#include "jre/pe_image.h"
#include "resources/resource_ids.h"
#include "ui/message_format.h"

namespace launcher {

VersionPhrase describeVersionBounds(const jre::JavaVersion& minimum,
                                    const jre::JavaVersion& maximum) {
    using jre::formatVersion;
    const bool minimumOpen = jre::isOpenBound(minimum);
    const bool maximumOpen = jre::isOpenBound(maximum);
    if (minimumOpen && maximumOpen) return {IDS_LATEST_VERSION, {}};
    if (minimumOpen) return {IDS_MAXIMUM_VERSION, {formatVersion(maximum)}};
    if (maximumOpen) return {IDS_MINIMUM_VERSION, {formatVersion(minimum)}};
    if (minimum == maximum) return {IDS_EXACT_VERSION, {formatVersion(minimum)}};
    return {IDS_VERSION_RANGE, {formatVersion(minimum), formatVersion(maximum)}};
}

std::wstring jreNotFoundMessage(jre::JvmType type, const jre::JavaVersion& minimum,
                                const jre::JavaVersion& maximum, const StringLoader& loadString) {
    const VersionPhrase phrase = describeVersionBounds(minimum, maximum);
    const std::vector<ui::MessageArg> phraseArgs(phrase.args.begin(), phrase.args.end());
    const std::wstring phraseText = ui::formatMessage(loadString(phrase.stringId), phraseArgs);
    const unsigned messageId =
        type == jre::JvmType::ServerOnly ? IDS_JRE_NOT_FOUND_SERVER : IDS_JRE_NOT_FOUND;
    return ui::formatMessage(loadString(messageId), {std::wstring_view(phraseText)});
}

std::wstring pickHint(const jre::JrePick& pick, uint16_t launcherMachine,
                      const StringLoader& loadString) {
    if (!pick.unrunnableMachine) return {};
    const std::wstring runtime = jre::machineName(*pick.unrunnableMachine);
    const std::wstring needed = jre::machineName(launcherMachine);
    return ui::formatMessage(loadString(IDS_JRE_OTHER_MACHINE),
                             {std::wstring_view(runtime), std::wstring_view(needed)});
}

}  // namespace launcher
