// Feeds arbitrary bytes to the version parsers and the image header reader.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>

#include "jre/java_version.h"
#include "jre/pe_image.h"
#include "jre/vendor_version.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    (void)jre::peMachine(std::span<const uint8_t>(data, size));
    (void)jre::versionFromReleaseText(std::string_view(reinterpret_cast<const char*>(data), size));

    std::wstring text;
    for (size_t i = 0; i + 1 < size; i += 2) {
        text += static_cast<wchar_t>(data[i] | data[i + 1] << 8);
    }
    jre::JavaVersion version;
    if (jre::parseVersion(text, 65535, version)) {
        for (const int32_t part : version.parts) {
            if (part < 0) std::abort();
        }
        // What is written can be read back to the same leading components.
        jre::JavaVersion reread;
        if (!jre::parseVersion(jre::formatVersion(version), 65535, reread)) std::abort();
    } else if (version != jre::JavaVersion{}) {
        std::abort();
    }
    return 0;
}
