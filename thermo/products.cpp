// Complete combustion per mole of H2 fed:
//   1 H2 + no2r O2 -> nh2o H2O + no2 O2 + nh2 H2
// with the element balances 2 nh2o + 2 nh2 = 2 (hydrogen) and
// nh2o + 2 no2 = 2 no2r (oxygen). All amounts in mol per mol of H2 fed.
#include "thermo/thermo.h"

namespace zuna {

// The stoichiometric point: no2r = 0.5 and nothing left over.
void prod_stoich(double& no2r, double& nh2o, double& no2, double& nh2) {
  no2r = 0.5;
  nh2o = 1.0;
  no2 = 0.0;
  nh2 = 0.0;
}

// H2 in excess (no2r <= 0.5): every O2 burns, 1 - 2 no2r of the H2 is left.
void prod_rich(const double& no2r, double& nh2o, double& no2, double& nh2) {
  nh2o = 2.0 * no2r;
  no2 = 0.0;
  nh2 = 1.0 - 2.0 * no2r;
}

// O2 in excess (no2r >= 0.5): the H2 burns to one mole of H2O, no2r - 0.5 of
// the O2 is left.
void prod_lean(const double& no2r, double& nh2o, double& no2, double& nh2) {
  nh2o = 1.0;
  no2 = no2r - 0.5;
  nh2 = 0.0;
}

}  // namespace zuna
