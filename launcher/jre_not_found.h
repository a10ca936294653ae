#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "jre/java_version.h"
#include "jre/jre_pick.h"
#include "jre/jre_search.h"

namespace launcher {

// The texts of the JRE-not-found dialog, built from the search's plain values and the string
// table. `loadString` gives a string-table text, so the wording can be checked on any machine.
using StringLoader = std::function<std::wstring(unsigned)>;

// The phrase that names the required versions: a string-table id and its "%s" arguments.
struct VersionPhrase {
    unsigned stringId = 0;
    std::vector<std::wstring> args;
    bool operator==(const VersionPhrase&) const = default;
};
[[nodiscard]] VersionPhrase describeVersionBounds(const jre::JavaVersion& minimum,
                                                  const jre::JavaVersion& maximum);

// The text that tells the user which runtime to install: string 206 (server JVM) or 207 with
// the phrase naming the version bounds in its "%s".
[[nodiscard]] std::wstring jreNotFoundMessage(jre::JvmType type, const jre::JavaVersion& minimum,
                                              const jre::JavaVersion& maximum,
                                              const StringLoader& loadString);

// The dialog's line above the folder box: empty (the template's own hint stays) unless the pick
// is a runtime for another machine, which string 241 explains.
[[nodiscard]] std::wstring pickHint(const jre::JrePick& pick, uint16_t launcherMachine,
                                    const StringLoader& loadString);

}  // namespace launcher
