// Transport properties of the gas phase of an equilibrium state: viscosity,
// thermal conductivity frozen and with equilibrium reactions, the heat
// capacities that go with them and the Prandtl numbers, by the method of
// S. Gordon and B. J. McBride (NASA RP-1311 Part I, 1994, section 5) on the
// NASA Glenn fits of transport-data.h.
//
// Mixture rules, x_i the mole fractions of the gases that take part, eta_i
// and lambda_i the pure species' fits at T:
//   eta      = sum_i x_i eta_i    / (x_i + sum_j!=i x_j phi_ij)
//   lambda_f = sum_i x_i lambda_i / (x_i + sum_j!=i x_j psi_ij)
//   phi_ij   = (eta_i / eta_ij) 2 M_j / (M_i + M_j)
//   psi_ij   = phi_ij [1 + 2.41 (M_i - M_j)(M_i - 0.142 M_j) / (M_i + M_j)^2]
// with the interaction viscosity eta_ij from the pair's fit where the
// database has one, and otherwise from the pure species (the estimate with
// which phi_ij becomes the usual
//   phi_ij = [1 + (eta_i/eta_j)^1/2 (M_j/M_i)^1/4]^2 / [8 (1 + M_i/M_j)]^1/2).
//
// The reactions' share of the conductivity (the report after J. N. Butler
// and R. S. Brokaw, 1957): for the NR = N - rank reactions that make each
// gas from a set of components, sum_k alpha_rk A_k = 0,
//   lambda_r = R sum_r (dH_r/RT) dx_r,   sum_s A_rs dx_s = dH_r/RT,
//   A_rs = sum_k<l (RT/(P D_kl)) x_k x_l (alpha_rk/x_k - alpha_rl/x_l)
//                                       (alpha_sk/x_k - alpha_sl/x_l),
// the binary diffusion coefficients from the interaction viscosities,
//   RT/(P D_kl) = (5/3) M_k M_l / ((M_k + M_l) A* eta_kl),  A* = 1.1,
// so that the pressure enters only through the composition. The heat
// capacity with equilibrium reactions is the frozen one plus the reactions'
// share over the same species,
//   Cp_r = (R/M) sum_r (dH_r/RT) dy_r,   sum_s G_rs dy_s = dH_r/RT,
//   G_rs = sum_k alpha_rk alpha_sk / x_k - dn_r dn_s,  dn_r = sum_k alpha_rk,
// and the Prandtl numbers Pr = eta Cp / lambda with those heat capacities.
// No choice of components changes lambda_r or Cp_r; the most abundant gases
// are taken, and each reaction is scaled by the amount of the gas it makes,
// so that a trace gas's reaction stays finite and its share vanishes with
// the gas (about as its mole fraction).
//
// Gases without fits (HO2, H2O2, O3, ...) take part like the others, with
// the report's estimates for a species without transport data (NASA
// RP-1311 Part I, section 5): the viscosity of the kinetic theory with an
// estimated collision integral and the conductivity of the modified Eucken
// relation (transport.cpp); kSpeciesWithoutFit says so where one holds a
// mole fraction of 1e-6 or more. Fits are evaluated in the range that holds
// T and extrapolated from the nearest range outside them (kOutsideFitRange
// where a gas of 1e-6 or more is). Condensed species take no part
// (kCondensedPresent).
//
// Units: eta [uPa s], lambda [W/(m K)], Cp [kJ/(kg K)] per kilogram of the
// gas phase. Every number is finite at every state with a gas phase; a
// state without one gives NaN and kNoTransport. The caller's floating-point
// flags are left as they were. A model is made once per product set and
// owns every array a point needs: compute allocates nothing. One model
// serves one thread at a time.
#pragma once

#include <memory>
#include <span>

#include "engine/set-solver.h"
#include "engine/product-set.h"
#include "transport/transport-data.h"

namespace zuna::transport {

enum TransportFlag : unsigned {
  kNoTransport = 1u << 0,        // no values (NaN): no solution, or no gas with fits
  kSpeciesWithoutFit = 1u << 1,  // a gas without fits at x >= 1e-6: its values estimated
  kOutsideFitRange = 1u << 2,    // a gas at x >= 1e-6 extrapolated beyond its fits' range
  kCondensedPresent = 1u << 3,   // condensed species present: the gas phase alone
};

// A state: the temperature and the amounts of every species of the set
// [mol/kg] (the condensed ones only for the mass of the gas). The pressure
// enters only through the amounts.
struct TransportState {
  double T_K = 0.0;
  std::span<const double> n_mol_kg;
};

struct TransportProperties {
  double visc_uPa_s = 0.0;
  double Cp_fr_tr_kJ_kgK = 0.0;  // frozen heat capacity of the gas phase
  double cond_fr_W_mK = 0.0;
  double Pr_fr = 0.0;            // visc * Cp_fr_tr / cond_fr
  double Cp_eq_tr_kJ_kgK = 0.0;  // with the reactions among its gases
  double cond_eq_W_mK = 0.0;
  double Pr_eq = 0.0;  // visc * Cp_eq_tr / cond_eq
  unsigned flags = 0;
};

class TransportModel {
 public:
  // `set` (and `database`) must outlive the model.
  explicit TransportModel(const engine::ProductSet& set,
                          const TransportDatabase& database = builtin_transport());
  ~TransportModel();
  TransportModel(const TransportModel&) = delete;
  TransportModel& operator=(const TransportModel&) = delete;

  // The properties at `state`; n_mol_kg in the set's order.
  TransportProperties compute(const TransportState& state);
  // The same at a point solved for this set (kNoTransport where it has no values).
  TransportProperties compute(const engine::SetPoint& point);

  // Whether gas j of the set has fits of both viscosity and conductivity.
  bool has_fit(int j) const;

  struct Work;  // the model's constants and arrays (transport.cpp)

 private:
  std::unique_ptr<Work> work_;
};

}  // namespace zuna::transport
