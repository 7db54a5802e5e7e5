// The installed programs: no fallback, and no name of the source tree.
#include "platform/install-paths.h"

namespace zuna {

const char* build_tree_data_folder() { return nullptr; }

}  // namespace zuna
