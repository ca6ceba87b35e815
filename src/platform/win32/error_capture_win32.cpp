#include "platform/error_capture.h"

namespace platform {

void BeginErrorCapture() {}
std::string EndErrorCapture() { return {}; }

}  // namespace platform
