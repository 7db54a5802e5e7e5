// Every value of a program run, in one instance kept from one calculation to
// the next. Nothing of it is allocated during a calculation.
#pragma once

#include "app/sweep.h"
#include "thermo/thermo.h"

namespace zuna {

// The species data of the data file, read once.
struct ThermoData {
  double mw[6] = {};       // molar masses [g/mol], species order
  double lastval[6] = {};  // one further value per species; no calculation uses it
  CoefBlock coef;          // polynomial coefficients, two temperature ranges
};

struct ProgramState {
  ThermoData data;
  ThermoConstants tc;
  RunParameters p;
  SweepTable table = {};
  SweepScalars s;
  double t0 = 0.0, t1 = 0.0;  // clock readings around the sweep [s]
};

// The program's one instance, for the interactive session and the batch
// run alike; in static storage, as the sweep table is large for a stack.
ProgramState& program_state();

}  // namespace zuna
