// The build tree's programs and the tests: the source tree's data folder is
// the fallback of shared_data_folder(). Never linked into an installed
// program; this file must define nothing else, or an installed program's
// link would take it in beside install-paths-installed.cpp.
#include "platform/install-paths.h"

namespace zuna {

const char* build_tree_data_folder() { return ZUNA_SOURCE_DATA_DIR; }

}  // namespace zuna
