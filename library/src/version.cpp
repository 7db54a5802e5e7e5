#include "zuna4/version.h"

namespace zuna4 {

const char* version() { return ZUNA4_VERSION; }

}  // namespace zuna4
