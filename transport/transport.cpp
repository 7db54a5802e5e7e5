// The method of transport.h, point by point. Every array is sized by the
// set when the model is made; a point works in them and allocates nothing.
#include "transport/transport.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "engine/fp-guard.h"

namespace zuna::transport {

namespace {

// A*, the ratio of collision integrals Omega(2,2)*/Omega(1,1)* that turns an
// interaction viscosity into a binary diffusion coefficient, taken as 1.1
// for every pair (NASA RP-1311 Part I, section 5).
constexpr double kAStar = 1.1;
// A gas below this mole fraction is left out of every sum: its share of any
// property is of the order of its mole fraction, far below the last bit, and
// the products of two such amounts would underflow.
constexpr double kTraceCut = 1e-100;
// The mole fraction from which a gas without fits, or one extrapolated, is
// flagged.
constexpr double kFlagFraction = 1e-6;
constexpr double kMicropoise_uPa_s = 0.1;   // 1 uP = 1e-7 Pa s = 0.1 uPa s
constexpr double kMicrowatt_cm_W_m = 1e-4;  // 1 uW/(cm K) = 1e-4 W/(m K)
constexpr double kMicropoise_Pa_s = 1e-7;

// Powers of T shared by every fit and record at one temperature.
struct TPowers {
  double T, ln, inv, inv2, t2, t3, t4;
  TPowers(double T_K, double ln_T)
      : T(T_K),
        ln(ln_T),
        inv(1.0 / T_K),
        inv2(inv * inv),
        t2(T_K * T_K),
        t3(t2 * T_K),
        t4(t3 * T_K) {}
};

double fit_value(const std::vector<FitRange>& ranges, const TPowers& t) {
  const FitRange& r = fit_range_at(ranges, t.T);
  return std::exp(r.A * t.ln + (r.B + r.C * t.inv) * t.inv + r.D);
}

bool outside(const std::vector<FitRange>& ranges, double T_K) {
  return T_K < ranges.front().T_low_K || T_K > ranges.back().T_high_K;
}

// A gas without transport data (NASA RP-1311 Part I, section 5): its
// viscosity [uP] from the kinetic theory's
//   eta = 26.693 (M T)^1/2 / (sigma^2 Omega),
// with sigma^2 Omega estimated as ln(50 M^4.6 / T^1.4), at least 1 (M in
// g/mol, T in K); ln_50_M46 = ln(50 M^4.6) is the gas's constant part.
double estimated_viscosity(double M_g_mol, double ln_50_M46, double T_K, double ln_T) {
  const double omega = std::max(1.0, ln_50_M46 - 1.4 * ln_T);
  return 26.693 * std::sqrt(M_g_mol * T_K) / omega;
}

// ... and its conductivity [uW/(cm K)] by the modified Eucken relation,
//   lambda = eta (1.32 Cv + 1.77 R) / M,  Cv = Cp - R.
double eucken_conductivity(double eta_uP, double cp_R, double M_g_mol, double R_J_molK) {
  // uP * J/(g K) = 1e-7 Pa s * 1e3 J/(kg K) = 1e-4 W/(m K) = 1 uW/(cm K)
  return eta_uP * (1.32 * (cp_R - 1.0) + 1.77) * R_J_molK / M_g_mol;
}

// cp/R and H/(RT) of a 9-coefficient record (engine.h's form) in the range
// that holds T, else the nearest; a common end belongs to the upper range,
// as in the engine.
void thermo_at(const engine::SpeciesRecord& record, const TPowers& t, double& cp_R, double& h_RT) {
  const engine::PolyRange* r = &record.ranges.back();
  for (const engine::PolyRange& range : record.ranges) {
    if (t.T < range.T_high_K) {
      r = &range;
      break;
    }
  }
  const double* a = r->a;
  cp_R = a[0] * t.inv2 + a[1] * t.inv + a[2] + a[3] * t.T + a[4] * t.t2 + a[5] * t.t3 + a[6] * t.t4;
  h_RT = -a[0] * t.inv2 + a[1] * t.ln * t.inv + a[2] + a[3] * t.T / 2.0 + a[4] * t.t2 / 3.0 +
         a[5] * t.t3 / 4.0 + a[6] * t.t4 / 5.0 + r->b1 * t.inv;
}

// b^T M^-1 b for a symmetric positive semi-definite M (n x n, row-major;
// its lower triangle is overwritten) by M = L D L^T: with L y = b the form
// is sum_i y_i^2 / D_i. The decomposition does not care how far apart the
// scales of the rows and columns are, which the reactions' scaling leaves
// them. A pivot that falls to 1e-13 of its diagonal or below belongs to a
// reaction that the others already hold, or that has no share: it is
// skipped. inv_d is scratch of n.
double quadratic_form(double* M, const double* b, double* y, double* inv_d, int n) {
  double sum = 0.0;
  for (int i = 0; i < n; ++i) {
    double* row = M + static_cast<std::ptrdiff_t>(i) * n;
    for (int k = 0; k < i; ++k) {  // row[k] becomes L_ik D_k
      const double* row_k = M + static_cast<std::ptrdiff_t>(k) * n;
      double v = row[k];
      for (int m = 0; m < k; ++m) {
        v -= row[m] * row_k[m];
      }
      row[k] = v;
    }
    double d = row[i], yi = b[i];
    for (int k = 0; k < i; ++k) {  // and then L_ik
      const double l = row[k] * inv_d[k];
      d -= l * row[k];
      yi -= l * y[k];
      row[k] = l;
    }
    y[i] = yi;
    inv_d[i] = d > 1e-13 * row[i] ? 1.0 / d : 0.0;
    sum += yi * yi * inv_d[i];
  }
  return sum;
}

}  // namespace

struct TransportModel::Work {
  const engine::ProductSet* set = nullptr;
  int G = 0;            // gases of the set
  int NE = 0;           // elements
  double R = 8.314510;  // the gas constant of the records [J/(mol K)]

  // Per gas j.
  std::vector<const TransportRecord*> fit;        // with viscosity and conductivity, or nullptr
  std::vector<double> M_g_mol, M_quarter, atoms;  // atoms[e * G + j]
  std::vector<double> ln_50_M46;                  // ln(50 M^4.6), for a gas without fits
  // Per ordered pair (k, l): [k * G + l].
  std::vector<const TransportRecord*> pair_fit;
  std::vector<double> mass_phi;        // 2 M_l / (M_k + M_l)
  std::vector<double> brokaw;          // 1 + 2.41 (M_k - M_l)(M_k - 0.142 M_l) / (M_k + M_l)^2
  std::vector<double> inv_4_sqrt_2mu;  // 1 / (4 (2 M_k M_l / (M_k + M_l))^1/2) [(g/mol)^-1/2]
  std::vector<double> diffusion;       // (5/3) M_k M_l / ((M_k + M_l) A*) [kg/mol] / (1e-7 Pa s/uP)

  // A point's arrays.
  std::vector<int> taken;                                    // gases taken, most abundant first
  double n_gas = 0.0;                                        // moles of gas per kg [mol/kg]
  std::vector<double> x, eta, lam, sqrt_eta, q, cp_R, h_RT;  // per gas [uP], [uW/(cm K)]
  std::vector<char> is_component;
  std::vector<double> den_eta, den_lam;  // per gas: x_i + sum_j x_j phi_ij (psi_ij)
  std::vector<double> lap, lv;           // per pair; lap: the weights' Laplacian [m s/mol]
  std::vector<int> component, pivot;     // component gases; pivot element of each basis row
  std::vector<double> basis, coef;       // NE x NE: basis rows, and their mix of components
  std::vector<double> residual, mix;     // NE each: scratch of the elimination
  std::vector<int> made;                 // per reaction: the gas it makes
  std::vector<double> nu;                // per reaction: components used, NE each
  std::vector<double> vt;                // per reaction: alpha/x scaled, made gas then components
  std::vector<double> A, Gm, b, dn;      // the reactions' matrices and right-hand sides
  std::vector<double> y, inv_d;          // scratch of the quadratic forms
  std::vector<const double*> comp_row;   // per component: its row of lap
  std::vector<double> comp_x, comp_h;    // per component: x and H/RT
  std::vector<double> lv_c, vx_c;        // per component: scratch of the reaction term

  void species_constants(const TransportDatabase& database);
  void pair_constants(const TransportDatabase& database);
  void size_arrays();
  void take_gases(const TransportState& s, unsigned& flags);
  void evaluate_species(const TPowers& t, unsigned& flags);
  void mix_properties(const TPowers& t, double& eta_mix, double& lam_fr);
  void choose_components();
  int write_reactions();
  void reaction_terms(int nr, double& lam_r, double& cp_r_mol);
  void compute(const TransportState& s, TransportProperties& out);
};

TransportModel::TransportModel(const engine::ProductSet& set, const TransportDatabase& database)
    : work_(std::make_unique<Work>()) {
  Work& w = *work_;
  w.set = &set;
  w.G = set.gas_count;
  w.NE = set.element_count();
  if (set.database != nullptr) {
    w.R = set.database->R_J_molK;
  }
  w.species_constants(database);
  w.pair_constants(database);
  w.size_arrays();
}

// Each gas's fits, molar mass and formula.
void TransportModel::Work::species_constants(const TransportDatabase& database) {
  fit.assign(G, nullptr);
  M_g_mol.resize(G);
  M_quarter.resize(G);
  ln_50_M46.resize(G);
  atoms.resize(static_cast<std::size_t>(NE) * G);
  for (int j = 0; j < G; ++j) {
    const engine::SpeciesRecord& s = *set->species[j];
    const TransportRecord* r = database.find(s.name);
    if (r != nullptr && !r->viscosity.empty() && !r->conductivity.empty()) {
      fit[j] = r;
    }
    M_g_mol[j] = s.M_g_mol;
    M_quarter[j] = std::sqrt(std::sqrt(s.M_g_mol));
    ln_50_M46[j] = std::log(50.0) + 4.6 * std::log(s.M_g_mol);
    for (int e = 0; e < NE; ++e) {
      atoms[static_cast<std::size_t>(e) * G + j] = set->a(e, j);
    }
  }
}

// Each ordered pair's interaction fit and the factors of its molar masses.
void TransportModel::Work::pair_constants(const TransportDatabase& database) {
  const auto GG = static_cast<std::size_t>(G) * G;
  pair_fit.assign(GG, nullptr);
  mass_phi.resize(GG);
  brokaw.resize(GG);
  inv_4_sqrt_2mu.resize(GG);
  diffusion.resize(GG);
  for (int k = 0; k < G; ++k) {
    for (int l = 0; l < G; ++l) {
      const double Mk = M_g_mol[k], Ml = M_g_mol[l], sum = Mk + Ml;
      const std::size_t kl = static_cast<std::size_t>(k) * G + l;
      if (k != l) {
        const TransportRecord* p = database.find(set->species[k]->name, set->species[l]->name);
        pair_fit[kl] = p != nullptr && !p->viscosity.empty() ? p : nullptr;
      }
      mass_phi[kl] = 2.0 * Ml / sum;
      brokaw[kl] = 1.0 + 2.41 * (Mk - Ml) * (Mk - 0.142 * Ml) / (sum * sum);
      inv_4_sqrt_2mu[kl] = 0.25 / std::sqrt(2.0 * Mk * Ml / sum);
      diffusion[kl] = 5.0 / 3.0 * (Mk * Ml / sum) * 1e-3 / kAStar / kMicropoise_Pa_s;
    }
  }
}

// The arrays of a point, at their largest.
void TransportModel::Work::size_arrays() {
  const auto GG = static_cast<std::size_t>(G) * G;
  is_component.assign(G, 0);
  for (auto* v :
       {&x, &eta, &lam, &sqrt_eta, &q, &cp_R, &h_RT, &den_eta, &den_lam, &b, &dn, &y, &inv_d}) {
    v->assign(G, 0.0);
  }
  taken.reserve(G);
  for (auto* v : {&lap, &lv, &A, &Gm}) {
    v->assign(GG, 0.0);
  }
  component.assign(NE, -1);
  pivot.assign(NE, -1);
  basis.assign(static_cast<std::size_t>(NE) * NE, 0.0);
  coef.assign(static_cast<std::size_t>(NE) * NE, 0.0);
  residual.assign(NE, 0.0);
  mix.assign(NE, 0.0);
  made.assign(G, -1);
  nu.assign(static_cast<std::size_t>(G) * NE, 0.0);
  vt.assign(static_cast<std::size_t>(G) * (NE + 1), 0.0);
  comp_row.assign(NE, nullptr);
  for (auto* v : {&comp_x, &comp_h, &lv_c, &vx_c}) {
    v->assign(NE, 0.0);
  }
}

TransportModel::~TransportModel() = default;

bool TransportModel::has_fit(int j) const { return work_->fit[j] != nullptr; }

// The gases above the trace cut, most abundant first, and their mole
// fractions among themselves.
void TransportModel::Work::take_gases(const TransportState& s, unsigned& flags) {
  n_gas = 0.0;
  for (int j = 0; j < G; ++j) {
    n_gas += s.n_mol_kg[j] > 0.0 ? s.n_mol_kg[j] : 0.0;
  }
  if (!(n_gas > 0.0) || !std::isfinite(n_gas)) {
    return;
  }
  double sum = 0.0;
  for (int j = 0; j < G; ++j) {
    x[j] = s.n_mol_kg[j] > 0.0 ? s.n_mol_kg[j] / n_gas : 0.0;
    if (!(x[j] >= kTraceCut)) {
      continue;
    }
    if (fit[j] == nullptr && x[j] >= kFlagFraction) {
      flags |= kSpeciesWithoutFit;
    }
    sum += x[j];
    auto at = taken.end();  // insertion by falling mole fraction
    while (at != taken.begin() && x[*(at - 1)] < x[j]) {
      --at;
    }
    taken.insert(at, j);
  }
  for (int k : taken) {
    x[k] /= sum;
  }
}

// The pure species' fits and thermodynamic functions at T.
void TransportModel::Work::evaluate_species(const TPowers& t, unsigned& flags) {
  for (int k : taken) {
    thermo_at(*set->species[k], t, cp_R[k], h_RT[k]);
    if (fit[k] == nullptr) {
      eta[k] = estimated_viscosity(M_g_mol[k], ln_50_M46[k], t.T, t.ln);
      lam[k] = eucken_conductivity(eta[k], cp_R[k], M_g_mol[k], R);
    } else {
      const TransportRecord& f = *fit[k];
      eta[k] = fit_value(f.viscosity, t);
      lam[k] = fit_value(f.conductivity, t);
      if (x[k] >= kFlagFraction && (outside(f.viscosity, t.T) || outside(f.conductivity, t.T))) {
        flags |= kOutsideFitRange;
      }
    }
    sqrt_eta[k] = std::sqrt(eta[k]);
  }
}

// The interaction viscosities (fit, or the estimate of transport.h), phi,
// psi, the mixture's viscosity [uP] and frozen conductivity [uW/(cm K)], and
// the weights (RT/(P D_kl)) x_k x_l of the reactions' matrix as a Laplacian.
void TransportModel::Work::mix_properties(const TPowers& t, double& eta_mix, double& lam_fr) {
  const std::size_t m = taken.size();
  for (int k : taken) {
    lap[static_cast<std::size_t>(k) * G + k] = 0.0;
    q[k] = M_quarter[k] / sqrt_eta[k];
    den_eta[k] = den_lam[k] = x[k];
  }
  for (std::size_t a = 0; a < m; ++a) {
    const int k = taken[a];
    for (std::size_t c = a + 1; c < m; ++c) {
      const int l = taken[c];
      const std::size_t kl = static_cast<std::size_t>(k) * G + l,
                        lk = static_cast<std::size_t>(l) * G + k;
      double inv_eta_kl;  // 1/eta_kl [1/uP]
      if (pair_fit[kl] != nullptr) {
        inv_eta_kl = 1.0 / fit_value(pair_fit[kl]->viscosity, t);
      } else {
        const double d = q[k] + q[l];
        inv_eta_kl = d * d * inv_4_sqrt_2mu[kl];
      }
      const double phi_kl = eta[k] * inv_eta_kl * mass_phi[kl];
      const double phi_lk = eta[l] * inv_eta_kl * mass_phi[lk];
      den_eta[k] += x[l] * phi_kl;
      den_eta[l] += x[k] * phi_lk;
      den_lam[k] += x[l] * phi_kl * brokaw[kl];  // psi_kl
      den_lam[l] += x[k] * phi_lk * brokaw[lk];
      const double weight = diffusion[kl] * inv_eta_kl * x[k] * x[l];
      lap[kl] = lap[lk] = -weight;
      lap[static_cast<std::size_t>(k) * G + k] += weight;
      lap[static_cast<std::size_t>(l) * G + l] += weight;
    }
  }
  eta_mix = 0.0;
  lam_fr = 0.0;
  for (int k : taken) {
    eta_mix += x[k] * eta[k] / den_eta[k];
    lam_fr += x[k] * lam[k] / den_lam[k];
  }
}

// The components: the most abundant gases whose formulas are independent,
// by Gauss-Jordan elimination on the formulas. Each basis row is kept with
// its make-up from the components (coef), so that any formula in their span
// is a combination of the components read off its pivot elements.
void TransportModel::Work::choose_components() {
  int r = 0;
  for (int k : taken) {
    is_component[k] = 0;
  }
  for (int k : taken) {
    if (r == NE) {
      break;
    }
    for (int e = 0; e < NE; ++e) {
      residual[e] = atoms[static_cast<std::size_t>(e) * G + k];
      mix[e] = e == r ? 1.0 : 0.0;
    }
    for (int q = 0; q < r; ++q) {
      const double f = atoms[static_cast<std::size_t>(pivot[q]) * G + k];
      for (int e = 0; e < NE; ++e) {
        residual[e] -= f * basis[q * NE + e];
        mix[e] -= f * coef[q * NE + e];
      }
    }
    int e_max = 0;
    for (int e = 1; e < NE; ++e) {
      if (std::fabs(residual[e]) > std::fabs(residual[e_max])) {
        e_max = e;
      }
    }
    if (!(std::fabs(residual[e_max]) > 1e-9)) {
      continue;  // made of the components already chosen
    }
    const double inv = 1.0 / residual[e_max];
    for (int e = 0; e < NE; ++e) {
      residual[e] *= inv;
      mix[e] *= inv;
    }
    for (int q = 0; q < r; ++q) {
      const double g = basis[q * NE + e_max];
      for (int e = 0; e < NE; ++e) {
        basis[q * NE + e] -= g * residual[e];
        coef[q * NE + e] -= g * mix[e];
      }
    }
    for (int e = 0; e < NE; ++e) {
      basis[r * NE + e] = residual[e];
      coef[r * NE + e] = mix[e];
    }
    pivot[r] = e_max;
    component[r] = k;
    is_component[k] = 1;
    ++r;
  }
  for (int q = r; q < NE; ++q) {
    component[q] = -1;
  }
}

// One reaction per gas taken that is no component: the gas made from the
// components, A_made = sum_c nu_c A_c. Returns how many.
int TransportModel::Work::write_reactions() {
  int nr = 0;
  for (int k : taken) {
    if (is_component[k] != 0) {
      continue;
    }
    double* nu_k = &nu[static_cast<std::size_t>(nr) * NE];
    for (int c = 0; c < NE; ++c) {
      nu_k[c] = 0.0;
    }
    for (int q = 0; q < NE && component[q] >= 0; ++q) {
      const double f = atoms[static_cast<std::size_t>(pivot[q]) * G + k];
      for (int c = 0; c < NE; ++c) {
        nu_k[c] += f * coef[q * NE + c];
      }
    }
    made[nr++] = k;
  }
  return nr;
}

// lambda_r [W/(m K)] and the reactions' heat capacity per mole of the gases
// taken [J/(mol K)] (transport.h). Reaction i is scaled by x_p, the mole
// fraction of the gas p it makes: its entries alpha_ik/x_k become
// alpha_ik x_p/x_k (1 for p itself), dH_r/RT becomes x_p dH_r/RT, and the
// quadratic forms are unchanged.
void TransportModel::Work::reaction_terms(int nr, double& lam_r, double& cp_r_mol) {
  int r = 0;
  for (; r < NE && component[r] >= 0; ++r) {  // the components' rows of L, x and H/RT
    const int c = component[r];
    comp_row[r] = &lap[static_cast<std::size_t>(c) * G];
    comp_x[r] = x[c];
    comp_h[r] = h_RT[c];
  }
  const int slots = NE + 1;
  for (int i = 0; i < nr; ++i) {
    const int p = made[i];
    const double* nu_i = &nu[static_cast<std::size_t>(i) * NE];
    double* v = &vt[static_cast<std::size_t>(i) * slots];
    double dH = h_RT[p], dn_i = 1.0;
    v[0] = 1.0;
    for (int c = 0; c < r; ++c) {
      v[c + 1] = -nu_i[c] * x[p] / comp_x[c];
      dH -= nu_i[c] * comp_h[c];
      dn_i -= nu_i[c];
    }
    b[i] = x[p] * dH;
    dn[i] = x[p] * dn_i;
    // Row i of V^T L: L's row of p plus the components' rows, v-weighted.
    const double* lap_p = &lap[static_cast<std::size_t>(p) * G];
    double* lv_i = &lv[static_cast<std::size_t>(i) * G];
    for (int l : taken) {
      double sum = lap_p[l];
      for (int c = 0; c < r; ++c) {
        sum += v[c + 1] * comp_row[c][l];
      }
      lv_i[l] = sum;
    }
  }
  for (int i = 0; i < nr; ++i) {
    const double* vi = &vt[static_cast<std::size_t>(i) * slots];
    const double* lv_i = &lv[static_cast<std::size_t>(i) * G];
    for (int c = 0; c < r; ++c) {  // lv_i at the components, and v_i x there
      lv_c[c] = lv_i[component[c]];
      vx_c[c] = vi[c + 1] * comp_x[c];
    }
    for (int j = 0; j <= i; ++j) {
      const double* vj = &vt[static_cast<std::size_t>(j) * slots];
      double a = lv_i[made[j]];
      double g = i == j ? x[made[i]] : 0.0;
      for (int c = 0; c < r; ++c) {
        a += lv_c[c] * vj[c + 1];
        g += vx_c[c] * vj[c + 1];
      }
      g -= dn[i] * dn[j];
      A[i * nr + j] = A[j * nr + i] = a;
      Gm[i * nr + j] = Gm[j * nr + i] = g;
    }
  }
  lam_r = R * quadratic_form(A.data(), b.data(), y.data(), inv_d.data(), nr);
  cp_r_mol = R * quadratic_form(Gm.data(), b.data(), y.data(), inv_d.data(), nr);
}

// One point: the gases, their fits, the mixture rules, the reactions; the
// heat capacities per kilogram of gas (the moles of gas per kilogram of the
// state over the gas's share of its mass).
void TransportModel::Work::compute(const TransportState& s, TransportProperties& out) {
  double condensed_kg = 0.0;
  for (int j = G; j < set->size(); ++j) {
    if (s.n_mol_kg[j] > 0.0) {
      out.flags |= kCondensedPresent;
      condensed_kg += s.n_mol_kg[j] * set->species[j]->M_g_mol * 1e-3;
    }
  }
  taken.clear();
  if (std::isfinite(s.T_K) && s.T_K > 0.0) {
    take_gases(s, out.flags);
  }
  if (taken.empty()) {
    out.flags |= kNoTransport;
    return;
  }
  const TPowers t(s.T_K, std::log(s.T_K));
  evaluate_species(t, out.flags);
  double eta_uP = 0.0, lam_uW_cmK = 0.0, lam_r = 0.0, cp_r_mol = 0.0;
  mix_properties(t, eta_uP, lam_uW_cmK);
  choose_components();
  reaction_terms(write_reactions(), lam_r, cp_r_mol);
  double cp_mol = 0.0;
  for (int k : taken) {
    cp_mol += x[k] * cp_R[k];
  }
  cp_mol *= R;
  const double mol_per_g = n_gas * 1e-3 / (1.0 - condensed_kg);
  out.visc_uPa_s = eta_uP * kMicropoise_uPa_s;
  out.Cp_fr_tr_kJ_kgK = cp_mol * mol_per_g;  // J/(g K) = kJ/(kg K)
  out.cond_fr_W_mK = lam_uW_cmK * kMicrowatt_cm_W_m;
  out.Cp_eq_tr_kJ_kgK = (cp_mol + cp_r_mol) * mol_per_g;
  out.cond_eq_W_mK = out.cond_fr_W_mK + lam_r;
  // Pr = eta [Pa s] Cp [J/(kg K)] / lambda [W/(m K)]; uPa s times kJ/(kg K) is 1e-3.
  out.Pr_fr = out.visc_uPa_s * out.Cp_fr_tr_kJ_kgK * 1e-3 / out.cond_fr_W_mK;
  out.Pr_eq = out.visc_uPa_s * out.Cp_eq_tr_kJ_kgK * 1e-3 / out.cond_eq_W_mK;
}

// The caller's floating-point flags are left as they were; a point whose
// arithmetic faulted (it never does on a state of the engine) or that has no
// gas gives no values.
TransportProperties TransportModel::compute(const TransportState& s) {
  engine::detail::FpGuard guard;
  TransportProperties out;
  work_->compute(s, out);
  const double values[] = {out.visc_uPa_s,      out.Cp_fr_tr_kJ_kgK, out.cond_fr_W_mK, out.Pr_fr,
                           out.Cp_eq_tr_kJ_kgK, out.cond_eq_W_mK,    out.Pr_eq};
  bool finite = true;
  for (double v : values) {
    finite = finite && std::isfinite(v);
  }
  if (guard.faulted() || !finite || (out.flags & kNoTransport) != 0) {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    out.visc_uPa_s = out.Cp_fr_tr_kJ_kgK = out.cond_fr_W_mK = out.Pr_fr = nan;
    out.Cp_eq_tr_kJ_kgK = out.cond_eq_W_mK = out.Pr_eq = nan;
    out.flags |= kNoTransport;
  }
  return out;
}

TransportProperties TransportModel::compute(const engine::SetPoint& point) {
  TransportState s;
  s.T_K = point.has_values() ? point.T_K : std::numeric_limits<double>::quiet_NaN();
  s.n_mol_kg = point.n_mol_kg;
  return compute(s);
}

}  // namespace zuna::transport
