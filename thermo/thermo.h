// Thermochemistry of the H2/O2 products: complete combustion, species
// functions from the seven-coefficient polynomials, dissociation equilibrium
// and the adiabatic flame temperature searches.
//
// Every routine keeps no state, checks nothing and returns its results through
// its reference arguments or as a struct; the order of operations inside each
// routine is part of its contract (results are compared digit for digit with
// other builds).
//
// Species order everywhere: 1 H2O, 2 O2, 3 H2, 4 H, 5 O, 6 OH.
// Amounts are moles per mole of H2 fed; T in K, enthalpy in J, Cp in J/K.
#pragma once

#include "zuna4/sweep-point.h"

namespace zuna {

// Polynomial coefficients coef(k, j, r): species k = 1..6, coefficient
// j = 1..7, range r = 1..2 (r = 1 for T >= 1000 K). Stored with the species
// index fastest, then the coefficient, then the range, as one block of 84.
struct CoefBlock {
  double v[2][7][6] = {};

  double& operator()(int k, int j, int r) { return v[r - 1][j - 1][k - 1]; }
  const double& operator()(int k, int j, int r) const { return v[r - 1][j - 1][k - 1]; }
};

// The nine constants handed to the thermochemistry, in this order.
struct ThermoConstants {
  double rgas = 8.31451;  // gas constant [J/(mol K)]
  double hh2 = -9016.0;   // enthalpy of 1 mol H2 entering the reaction [J/mol]
  double ho2 = -12984.0;  // enthalpy of 1 mol O2 entering the reaction [J/mol]
  double mw[6] = {};      // molar masses [g/mol], species order

  // 1-based access, mw(k) for k = 1..6.
  double& mwk(int k) { return mw[k - 1]; }
  const double& mwk(int k) const { return mw[k - 1]; }
};

// Why a search's result is not to be trusted, one bit each; a search that
// ended by its tolerance test inside its temperature range sets none. The
// searches only report these: the values they return are the same.
// The reasons a search gives, bits of a sweep point's flags (the one enum
// of zuna4/sweep-point.h, published with the library).
using SearchFlag = zuna4::SweepFlag;
using enum zuna4::SweepFlag;

// Products without dissociation. 1 H2 + no2r O2 -> nh2o H2O + no2 O2 + nh2 H2.
void prod_stoich(double& no2r, double& nh2o, double& no2, double& nh2);
void prod_rich(const double& no2r, double& nh2o, double& no2, double& nh2);
void prod_lean(const double& no2r, double& nh2o, double& no2, double& nh2);

// Heat capacity [J/K] and enthalpy [J] of a mixture at t [K]. nsel = 1 uses
// the first three species only; any other value all six.
void cp_mix(const double& n1, const double& n2, const double& n3, const double& n4,
            const double& n5, const double& n6, const double& t, double& cp, const double& rgas,
            const CoefBlock& coef, const int& nsel);
void h_mix(const double& n1, const double& n2, const double& n3, const double& n4, const double& n5,
           const double& n6, const double& t, double& h, const double& rgas, const CoefBlock& coef,
           const int& nsel);

// Equilibrium constants of R1 H2O = H + OH, R2 H2 = 2 H, R3 O2 = 2 O,
// R4 OH = O + H at t [K] (dimensionless, standard-state pressure).
void kp_diss(const double& t, const CoefBlock& coef, double& k1, double& k2, double& k3,
             double& k4);

// The products without dissociation that an equilibrium starts from [mol].
struct ProductMoles {
  double nh2o = 0.0, no2 = 0.0, nh2 = 0.0;
};

// What a flame-temperature search with dissociation starts from.
struct FlameInputs {
  double hreac = 0.0;  // reactant enthalpy [J per mol of H2 fed]
  ProductMoles n;
};

// The run's settings of the dissociation equilibrium and of the search with
// dissociation. The equilibrium alone uses ptot, itmaxn, toln and act.
struct DissociationSettings {
  double ptot = 0.0;   // total pressure [atm]
  int itmaxh = 0;      // iteration cap of the bisection
  double tolh = 0.0;   // tolerance of the bisection [K]
  int itmaxn = 0;      // iteration cap of the equilibrium passes and inner solves
  double toln = 0.0;   // tolerance on moles
  double act[4] = {};  // switches of R1..R4, 1.0 on, 0.0 off
};

// A dissociation equilibrium.
struct DissociationEquilibrium {
  double x[4] = {};     // extents of R1..R4 [mol], after the switches
  double nd[6] = {};    // moles with dissociation, species order
  double ntd = 0.0;     // total moles of the last pass
  bool capped = false;  // the passes ended by their cap itmaxn rather than by toln
};

// A flame-temperature search with dissociation. eq is the equilibrium of the
// last trial temperature, valid only when solved (at least one equilibrium
// was solved, itmaxh >= 1).
struct FlameTemperature {
  double tad = 0.0;  // flame temperature [K]
  DissociationEquilibrium eq;
  bool solved = false;
  unsigned flags = 0;  // SearchFlag bits: kBisection*, kEquilibriumCap
};

// Dissociation equilibrium at c.ptot [atm] of the products n with the
// equilibrium constants k[0..3] of R1..R4: block Gauss-Seidel over R1..R4,
// each quadratic by Newton. A reaction whose switch is 0.0 takes no part.
// This and tad_diss are the one-lane case of equil_lanes and tad_diss_lanes
// (dissociation-lanes.h), which run several sets of products side by side;
// reference.h holds the same computations written plainly.
DissociationEquilibrium equil_diss(const double (&k)[4], const ProductMoles& n,
                                   const DissociationSettings& c);

// Adiabatic flame temperature [K] of the fixed products (Newton from 6000 K).
// *flags, when given, receives its kNewton* bits.
void tad_nodiss(const double& nh2o, const double& no2, const double& nh2, const double& hreac,
                double& tad, const int& itmaxh, const double& tolh, const ThermoConstants& tc,
                const CoefBlock& coef, unsigned* flags = nullptr);

// Adiabatic flame temperature [K] with dissociation (bisection on 1000..6000 K,
// an equilibrium solve at every trial temperature).
FlameTemperature tad_diss(const FlameInputs& in, const DissociationSettings& c,
                          const ThermoConstants& tc, const CoefBlock& coef);

}  // namespace zuna
