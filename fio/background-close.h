// Descriptors closed by a thread of their own. The last close of a file that
// a rename has replaced frees the old contents' blocks, which is slow on a
// file system that discards them; a program that replaces several files in
// a row goes on while the old ones are freed.
//
// Only for descriptors whose close cannot fail in a way that matters: a file
// opened for reading, or one never written through this descriptor. Each is
// closed once the thread comes to it, at the latest when the process ends.
#pragma once

namespace zuna {

void close_in_background(int fd);

}  // namespace zuna
