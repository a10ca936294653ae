#include "jvm/jni_result.h"

#include "resources/resource_ids.h"

namespace jvm {

unsigned reasonStringForJniResult(int result) noexcept {
    switch (result) {
        case -1:
            return IDS_JNI_ERR;
        case -2:
            return IDS_JNI_EDETACHED;
        case -3:
            return IDS_JNI_EVERSION;
        case -4:
            return IDS_JNI_ENOMEM;
        case -5:
            return IDS_JNI_EEXIST;
        case -6:
            return IDS_JNI_EINVAL;
        default:
            return 0;
    }
}

}  // namespace jvm
