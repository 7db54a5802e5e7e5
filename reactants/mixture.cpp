#include "reactants/mixture.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace zuna::reactants {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// Percentages summing to 100 to this, as typed with a few decimals.
constexpr double kPercentTol = 1e-6;
const char* const kElementOrder[] = {"H", "O", "N", "C", "Ar", "He"};

std::string shortest(double v) {
  char buf[32];
  return std::string(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}

// Positive and negative valences per gram [equivalents/g] of reactants
// with the mass fractions w (of the group they make up).
struct Valences {
  double plus = 0.0, minus = 0.0;
};

Valences valences_of(const std::vector<const Reactant*>& group, const std::vector<double>& w) {
  Valences v;
  for (std::size_t k = 0; k < group.size(); ++k) {
    const double mol_g = w[k] / group[k]->M_g_mol();
    for (const engine::SpeciesRecord::Atoms& a : group[k]->formula) {
      const double e = a.count * valence(a.element) * mol_g;
      (e > 0.0 ? v.plus : v.minus) += e;
    }
  }
  return v;
}

// The shares of one role's reactants as fractions (by the basis of the
// request) of that role. One reactant alone needs no share.
Result<std::vector<double>> role_fractions(const std::vector<const Reactant*>& group, Role role) {
  std::vector<double> f(group.size(), 0.0);
  if (group.size() == 1 && !group[0]->item.share) {
    f[0] = 1.0;
    return f;
  }
  double sum = 0.0;
  for (const Reactant* r : group) {
    if (!r->item.share) {
      return Refusal{role_name(role), r->item.text,
                     std::string("the share of each ") + role_name(role) +
                         " is needed when there are several"};
    }
    if (r->item.percent != group[0]->item.percent) {
      return Refusal{
          role_name(role), r->item.text,
          std::string("the shares of the ") + role_name(role) + " are all percentages or none"};
    }
    sum += *r->item.share;
  }
  if (group[0]->item.percent && !(std::fabs(sum - 100.0) <= kPercentTol)) {
    return Refusal{role_name(role), "", "the percentages sum to " + shortest(sum) + ", not 100"};
  }
  for (std::size_t k = 0; k < group.size(); ++k) {
    f[k] = *group[k]->item.share / sum;
  }
  return f;
}

// Mole fractions to mass fractions (by moles), or the fractions as they are.
std::vector<double> to_mass(const std::vector<const Reactant*>& group, std::vector<double> f,
                            ShareBasis by) {
  if (by == ShareBasis::mass || group.empty()) {
    return f;
  }
  double mass = 0.0;
  for (std::size_t k = 0; k < group.size(); ++k) {
    mass += f[k] * group[k]->M_g_mol();
  }
  for (std::size_t k = 0; k < group.size(); ++k) {
    f[k] = f[k] * group[k]->M_g_mol() / mass;
  }
  return f;
}

struct Ratio {
  const char* name;
  std::optional<double> value;
};

// O/F from the one ratio given, for fuel and oxidant of valences f and o
// (per gram of each): phi = (O/F)st/(O/F); r_eq = -(V+_f + O/F V+_o) /
// (V-_f + O/F V-_o), solved for O/F.
Result<double> of_from(const Ratio& ratio, const Valences& f, const Valences& o) {
  const double v = *ratio.value;
  const std::string name = ratio.name;
  double of = kNaN;
  if (name == "of") {
    of = v;
  } else if (name == "fuel_pct") {
    of = (100.0 - v) / v;
  } else if (name == "phi") {
    of = -(f.plus + f.minus) / (o.plus + o.minus) / v;
  } else {
    of = -(f.plus + v * f.minus) / (o.plus + v * o.minus);
  }
  if (!(std::isfinite(of) && of > 0.0)) {
    return Refusal{ratio.name, "", "no O/F of these fuel and oxidant gives this value"};
  }
  return of;
}

}  // namespace

double valence(const std::string& element) {
  if (element == "H") {
    return 1.0;
  }
  if (element == "C") {
    return 4.0;
  }
  if (element == "O") {
    return -2.0;
  }
  return 0.0;
}

std::vector<double> Mixture::b_for(const engine::ProductSet& set) const {
  std::vector<double> b(set.elements.size(), 0.0);
  for (std::size_t i = 0; i < set.elements.size(); ++i) {
    const auto at = std::find(elements.begin(), elements.end(), set.elements[i]);
    if (at != elements.end()) {
      b[i] = b_mol_kg[static_cast<std::size_t>(at - elements.begin())];
    }
  }
  return b;
}

namespace {

// The checks of the request's ratio: at most one, a number in its range.
Result<Ratio> the_ratio(const MixtureRequest& request) {
  const Ratio ratios[] = {
      {"of", request.of}, {"fuel_pct", request.fuel_pct}, {"phi", request.phi}, {"r_eq", request.r_eq}};
  Ratio given{nullptr, std::nullopt};
  for (const Ratio& r : ratios) {
    if (!r.value) {
      continue;
    }
    if (given.name != nullptr) {
      return Refusal{r.name, "",
                     std::string("give one mixture ratio; ") + given.name + " is given too"};
    }
    const double v = *r.value;
    const bool pct = std::string(r.name) == "fuel_pct";
    if (!(std::isfinite(v) && v > 0.0 && (!pct || v < 100.0))) {
      return Refusal{r.name, "",
                     pct ? "the fuel's mass percent lies between 0 and 100, both excluded"
                         : "must be a positive number"};
    }
    given = r;
  }
  return given;
}

// The resolved reactants (in the user's order) by role.
struct Groups {
  const std::vector<Reactant>& all;
  std::vector<const Reactant*> fuel, oxidant, diluent;

  std::size_t index_of(const Reactant* r) const { return static_cast<std::size_t>(r - all.data()); }
};

Groups grouped(const std::vector<Reactant>& all) {
  Groups g{all, {}, {}, {}};
  for (const Reactant& r : all) {
    (r.item.role == Role::fuel      ? g.fuel
     : r.item.role == Role::oxidant ? g.oxidant
                                    : g.diluent)
        .push_back(&r);
  }
  return g;
}

Result<std::vector<Reactant>> resolve_all(const MixtureRequest& request,
                                          const engine::SpeciesDatabase& db) {
  std::vector<Reactant> all;
  all.reserve(request.items.size());
  const ReactantItem* diluent = nullptr;
  for (const ReactantItem& item : request.items) {
    Result<Reactant> r = resolve_reactant(item, db);
    if (!r) {
      return r.refusal();
    }
    all.push_back(std::move(r.value()));
    if (item.role == Role::diluent && diluent == nullptr) {
      diluent = &item;
    }
  }
  if (all.empty()) {
    return Refusal{"fuel", "", "no reactants: give a fuel or an oxidant"};
  }
  if (std::all_of(all.begin(), all.end(),
                  [](const Reactant& r) { return r.item.role == Role::diluent; })) {
    return Refusal{"diluent", diluent->text,
                   "a diluent cannot be the only reactant: give a fuel or an oxidant"};
  }
  return all;
}

// The diluents' fractions of the whole mixture.
Result<std::vector<double>> diluent_fractions(const Groups& g) {
  std::vector<double> z;
  double sum = 0.0;
  for (const Reactant* r : g.diluent) {
    if (!r->item.share) {
      return Refusal{"diluent", r->item.text, "a diluent needs its share of the whole mixture"};
    }
    const double v = r->item.percent ? *r->item.share / 100.0 : *r->item.share;
    if (!(v < 1.0)) {
      return Refusal{"diluent", r->item.text,
                     "a diluent's share is a fraction of the whole mixture, below 1 (or a "
                     "percentage below 100)"};
    }
    z.push_back(v);
    sum += v;
  }
  if (!(sum < 1.0)) {
    return Refusal{"diluent", "", "the diluents make up the whole mixture"};
  }
  return z;
}

// By the amounts alone: the shares of fuels and oxidants together, as
// fractions (by the request's basis) of the mixture less its diluents.
Result<std::vector<double>> amount_fractions(const std::vector<const Reactant*>& fo,
                                             double diluted) {
  if (fo.size() == 1 && !fo[0]->item.share) {
    return std::vector<double>{1.0};
  }
  double sum = 0.0;
  for (const Reactant* r : fo) {
    if (!r->item.share) {
      return Refusal{role_name(r->item.role), r->item.text,
                     "no mixture ratio (of, fuel_pct, phi, r_eq) is given: every fuel and "
                     "oxidant needs its share"};
    }
    if (r->item.percent != fo[0]->item.percent) {
      return Refusal{role_name(r->item.role), r->item.text,
                     "the shares of fuels and oxidants are all percentages or none"};
    }
    sum += *r->item.share;
  }
  if (fo[0]->item.percent) {
    const double total = sum + 100.0 * diluted;
    if (!(std::fabs(total - 100.0) <= kPercentTol)) {
      return Refusal{role_name(fo[0]->item.role), "",
                     "the percentages of all reactants sum to " + shortest(total) + ", not 100"};
    }
  }
  std::vector<double> f;
  for (const Reactant* r : fo) {
    f.push_back(*r->item.share / sum);
  }
  return f;
}

// The mass fractions of the fuels and oxidants (in that order), of their
// part of the mixture, with the O/F asked.
Result<std::vector<double>> by_ratio(const Groups& g, const Ratio& ratio, ShareBasis by) {
  Result<std::vector<double>> f = role_fractions(g.fuel, Role::fuel);
  if (!f) {
    return f.refusal();
  }
  Result<std::vector<double>> o = role_fractions(g.oxidant, Role::oxidant);
  if (!o) {
    return o.refusal();
  }
  const std::vector<double> wf = to_mass(g.fuel, f.value(), by);
  const std::vector<double> wo = to_mass(g.oxidant, o.value(), by);
  Result<double> of = of_from(ratio, valences_of(g.fuel, wf), valences_of(g.oxidant, wo));
  if (!of) {
    return of.refusal();
  }
  std::vector<double> w;
  for (double x : wf) {
    w.push_back(x / (1.0 + of.value()));
  }
  for (double x : wo) {
    w.push_back(x * of.value() / (1.0 + of.value()));
  }
  return w;
}

// The ratios of the mixture made, from the mass fractions W of g.all.
void describe_ratios(const Groups& g, const std::vector<double>& W, MixtureDescription& d) {
  d.of = d.fuel_pct = d.phi = d.r_eq = d.of_st = kNaN;
  if (g.fuel.empty() || g.oxidant.empty()) {
    return;
  }
  const auto part = [&](const std::vector<const Reactant*>& group, double& mass) {
    std::vector<double> w;
    mass = 0.0;
    for (const Reactant* r : group) {
      w.push_back(W[g.index_of(r)]);
      mass += w.back();
    }
    return w;
  };
  double mf = 0.0, mo = 0.0;
  const Valences f = valences_of(g.fuel, part(g.fuel, mf));
  const Valences o = valences_of(g.oxidant, part(g.oxidant, mo));
  d.of = mo / mf;
  d.fuel_pct = 100.0 * mf / (mf + mo);
  d.r_eq = -(f.plus + o.plus) / (f.minus + o.minus);
  const double of_st = -((f.plus + f.minus) / mf) / ((o.plus + o.minus) / mo);
  if (std::isfinite(of_st) && of_st > 0.0) {
    d.of_st = of_st;
    d.phi = of_st / d.of;
  }
}

// The mixture of the mass fractions W (of g.all): elements, energies and
// the description.
Mixture assemble(const Groups& g, const std::vector<double>& W, const MixtureRequest& request,
                 const Ratio& asked, const engine::SpeciesDatabase& db) {
  Mixture m;
  for (const char* e : kElementOrder) {
    for (const Reactant& r : g.all) {
      if (std::any_of(r.formula.begin(), r.formula.end(),
                      [&](const auto& a) { return a.element == e; }) &&
          std::find(m.elements.begin(), m.elements.end(), e) == m.elements.end()) {
        m.elements.push_back(e);
      }
    }
  }
  for (const Reactant& r : g.all) {
    for (const engine::SpeciesRecord::Atoms& a : r.formula) {
      if (std::find(m.elements.begin(), m.elements.end(), a.element) == m.elements.end()) {
        m.elements.push_back(a.element);
      }
    }
  }
  m.b_mol_kg.assign(m.elements.size(), 0.0);
  double moles = 0.0, gas_RT = 0.0;
  for (std::size_t k = 0; k < g.all.size(); ++k) {
    const Reactant& r = g.all[k];
    const double mol_kg = W[k] * 1000.0 / r.M_g_mol();
    for (const engine::SpeciesRecord::Atoms& a : r.formula) {
      const auto i =
          std::find(m.elements.begin(), m.elements.end(), a.element) - m.elements.begin();
      m.b_mol_kg[static_cast<std::size_t>(i)] += a.count * mol_kg;
    }
    m.h_kJ_kg += mol_kg * r.h_J_mol / 1000.0;
    if (!r.condensed()) {
      gas_RT += mol_kg * db.R_J_molK * r.T_K / 1000.0;
    }
    moles += mol_kg;
    m.shares.push_back({r.formula, r.M_g_mol(), W[k], r.h_J_mol});
  }
  m.u_kJ_kg = m.h_kJ_kg - gas_RT;
  MixtureDescription& d = m.description;
  d.by = request.by;
  for (std::size_t k = 0; k < g.all.size(); ++k) {
    const Reactant& r = g.all[k];
    d.reactants.push_back({r.name(), r.item.text, r.item.role, r.T_K, r.h_J_mol, r.h_from_user,
                           W[k] * 1000.0 / r.M_g_mol() / moles, W[k]});
  }
  describe_ratios(g, W, d);
  // The ratio asked is shown as asked, not as computed back.
  if (asked.name != nullptr) {
    const std::string name = asked.name;
    (name == "of"         ? d.of
     : name == "fuel_pct" ? d.fuel_pct
     : name == "phi"      ? d.phi
                          : d.r_eq) = *asked.value;
  }
  return m;
}

}  // namespace

Result<Mixture> make_mixture(const MixtureRequest& request, const engine::SpeciesDatabase& db) {
  const Result<Ratio> ratio = the_ratio(request);
  if (!ratio) {
    return ratio.refusal();
  }
  const Result<std::vector<Reactant>> resolved = resolve_all(request, db);
  if (!resolved) {
    return resolved.refusal();
  }
  const Groups g = grouped(resolved.value());
  const Ratio& asked = ratio.value();
  if (asked.name != nullptr && (g.fuel.empty() || g.oxidant.empty())) {
    return Refusal{asked.name, "",
                   std::string("no ") + (g.fuel.empty() ? "fuel" : "oxidant") +
                       ": a mixture ratio needs a fuel and an oxidant"};
  }
  const Result<std::vector<double>> z = diluent_fractions(g);
  if (!z) {
    return z.refusal();
  }
  double diluted = 0.0;
  for (double v : z.value()) {
    diluted += v;
  }

  // Mass fractions of fuels and oxidants within their part of the mixture.
  std::vector<const Reactant*> fo = g.fuel;
  fo.insert(fo.end(), g.oxidant.begin(), g.oxidant.end());
  std::vector<double> w_fo;
  if (asked.name != nullptr) {
    Result<std::vector<double>> w = by_ratio(g, asked, request.by);
    if (!w) {
      return w.refusal();
    }
    w_fo = std::move(w.value());
  } else {
    Result<std::vector<double>> f = amount_fractions(fo, diluted);
    if (!f) {
      return f.refusal();
    }
    w_fo = to_mass(fo, std::move(f.value()), request.by);
  }

  // The diluents join as fractions of the whole: by mass directly, by moles
  // through the mass of a mole of each part.
  std::vector<double> W(g.all.size(), 0.0);
  double part = 1.0 - diluted, total = 1.0;
  if (request.by == ShareBasis::moles) {
    double mol_g = 0.0;
    for (std::size_t k = 0; k < fo.size(); ++k) {
      mol_g += w_fo[k] / fo[k]->M_g_mol();
    }
    part = (1.0 - diluted) / mol_g;
    total = part;
    for (std::size_t k = 0; k < g.diluent.size(); ++k) {
      total += z.value()[k] * g.diluent[k]->M_g_mol();
    }
  }
  for (std::size_t k = 0; k < fo.size(); ++k) {
    W[g.index_of(fo[k])] = w_fo[k] * part / total;
  }
  for (std::size_t k = 0; k < g.diluent.size(); ++k) {
    const double zk = z.value()[k];
    W[g.index_of(g.diluent[k])] =
        request.by == ShareBasis::moles ? zk * g.diluent[k]->M_g_mol() / total : zk;
  }
  return assemble(g, W, request, asked, db);
}

}  // namespace zuna::reactants
