// The elapsed-time clock of the run driver.
#pragma once

namespace zuna {

// Seconds [s] since the first call of timef in the process; the first call
// answers exactly 0. Wall-clock time in coordinated universal time with a
// step of 200 ns, so it follows changes of the system clock. Safe to call
// from several threads: concurrent first calls agree on one base.
double timef();

}  // namespace zuna
