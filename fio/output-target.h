// The file an output name stands for. A plain name is itself. A symbolic
// link that leads to a regular file stands for that file: the link stays
// and its target is replaced whole, staged beside the target. A link that
// leads to a device or a pipe (/dev/null, /dev/stdout, which are links
// themselves on most systems) is written through, as the device named
// directly is. A link that leads nowhere, or to a folder or a socket, is
// refused (link_to_no_regular_file): writing through it would make a file
// at a target nobody named, or put a new file in the link's place.
#pragma once

#include <string>

#include "fio/io-error.h"

namespace zuna {

// `target` receives the name to open and to replace. `existing_only` is
// for a file that must exist (status OLD): a link that leads nowhere is then
// a file not found.
IoError resolve_output_target(const std::string& path, bool existing_only, std::string& target);

}  // namespace zuna
