#include "platform/Platform.h"

namespace platform {

namespace {
Platform* installed = nullptr;
}

void Install(Platform* platform) { installed = platform; }
Platform& Get() { return *installed; }

}  // namespace platform
