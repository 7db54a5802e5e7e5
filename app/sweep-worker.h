// The searches with dissociation of a group of sweep points, computed side by
// side in lanes (dissociation-lanes.h), the second half of the group on a
// second thread while the calling thread computes the first. Each lane
// computes the same operations in the same order as tad_diss alone, on
// either thread, so the results are tad_diss's to the last bit.
//
// One worker thread serves the whole program: it is started on first use,
// best ahead of the first sweep (start_search_worker), so that a sweep
// allocates nothing and starts no thread. It serves one group at a time; a
// caller that finds it busy computes both halves itself. It is never
// destroyed: no sweep outlives the end of the program, so at exit the worker
// is asleep waiting for work, and joining it would only lengthen the end of
// every run.
#pragma once

#include "thermo/dissociation-lanes.h"

namespace zuna {

// The most points of one group: two batches of lanes.
inline constexpr int kGroupPoints = 2 * kSearchLanes;

// Starts the worker, if it is not running yet.
void start_search_worker();

// The searches of in[0..count) into out[0..count), 1 <= count <= kGroupPoints.
// Answers whether the computation raised a floating-point fault flag; the
// caller's flags are left as they were. The lanes cannot tell whose fault it
// was, and lanes that have stopped go on computing on frozen values, which
// can raise a flag of their own: a caller told of a fault computes its
// points again one at a time. A failing exp or log of the equilibrium
// constants only raises its flag here, and never reaches the math error
// handler.
bool compute_searches(const FlameInputs* in, int count, FlameTemperature* out,
                      const DissociationSettings& c, const ThermoConstants& tc,
                      const CoefBlock& coef);

}  // namespace zuna
