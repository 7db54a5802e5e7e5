// The end of the program, once per thread.
#pragma once

namespace zuna {

// Makes the calling thread's program able to end again (a new run).
void reset_program_end();

}  // namespace zuna
