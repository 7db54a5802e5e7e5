#include "reactants/reactant.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace zuna::reactants {
namespace {

// A record without ranges holds its temperature to the digits it is
// printed with (three decimals): 20.27 names the 20.270 K of H2(L).
constexpr double kAssignedTolK = 0.0005;

// A positive finite number filling the whole of `text`.
std::optional<double> positive_number(std::string_view text) {
  double value = 0.0;
  const char* end = text.data() + text.size();
  const auto read = std::from_chars(text.data(), end, value);
  if (text.empty() || read.ec != std::errc() || read.ptr != end || !std::isfinite(value) ||
      !(value > 0.0)) {
    return std::nullopt;
  }
  return value;
}

std::string kelvin(double T) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, T);
  return std::string(buf, r.ptr) + " K";
}

bool is_ion(const engine::SpeciesRecord& r) {
  return r.atoms_of("E") != 0.0 || r.name.find('+') != std::string::npos ||
         (!r.name.empty() && r.name.back() == '-');
}

// Some gaseous product of the database holds `element`.
bool carried(const engine::SpeciesDatabase& db, const std::string& element) {
  return std::any_of(db.species.begin(), db.species.end(), [&](const engine::SpeciesRecord& r) {
    return !r.condensed && !r.reactant_only && !r.ranges.empty() && !is_ion(r) &&
           r.atoms_of(element) != 0.0;
  });
}

// "N2 78.084,O2 20.9476,Ar .9365,CO2 .0319.Gordon,1982.Reac": the species
// and mole percents of a stated composition, up to the first item that is
// not one.
std::vector<std::pair<std::string, double>> stated_parts(std::string_view text) {
  std::vector<std::pair<std::string, double>> parts;
  while (!text.empty()) {
    const auto space = text.find(' ');
    if (space == std::string_view::npos) {
      break;
    }
    double pct = 0.0;
    const char* from = text.data() + space + 1;
    const char* end = text.data() + text.size();
    const auto read = std::from_chars(from, end, pct);
    if (read.ec != std::errc() || !(pct > 0.0)) {
      break;
    }
    parts.emplace_back(std::string(text.substr(0, space)), pct);
    if (read.ptr == end || *read.ptr != ',') {
      break;
    }
    text = std::string_view(read.ptr + 1, static_cast<std::size_t>(end - read.ptr - 1));
  }
  return parts;
}

}  // namespace

std::vector<engine::SpeciesRecord::Atoms> stated_formula(const engine::SpeciesRecord& record,
                                                         const engine::SpeciesDatabase& db) {
  constexpr std::string_view kMark = "Mole%:";
  const auto at = record.comment.find(kMark);
  if (at == std::string::npos) {
    return record.formula;
  }
  std::vector<engine::SpeciesRecord::Atoms> formula;
  double sum = 0.0;
  for (const auto& [name, pct] :
       stated_parts(std::string_view(record.comment).substr(at + kMark.size()))) {
    const engine::SpeciesRecord* part = db.find(name);
    if (part == nullptr) {
      return record.formula;
    }
    for (const engine::SpeciesRecord::Atoms& a : part->formula) {
      auto it = std::find_if(formula.begin(), formula.end(),
                             [&](const auto& f) { return f.element == a.element; });
      if (it == formula.end()) {
        it = formula.insert(formula.end(), {a.element, 0.0});
      }
      it->count += a.count * pct / 100.0;
    }
    sum += pct;
  }
  // The parts make the whole, and each element's atoms round to the field's.
  if (formula.size() != record.formula.size() || !(std::fabs(sum - 100.0) <= 1e-3)) {
    return record.formula;
  }
  for (const engine::SpeciesRecord::Atoms& a : record.formula) {
    const auto it = std::find_if(formula.begin(), formula.end(),
                                 [&](const auto& f) { return f.element == a.element; });
    if (it == formula.end() || !(std::fabs(it->count - a.count) <= 5e-5 * std::max(1.0, a.count))) {
      return record.formula;
    }
  }
  // In the record's order.
  std::vector<engine::SpeciesRecord::Atoms> ordered;
  for (const engine::SpeciesRecord::Atoms& a : record.formula) {
    ordered.push_back(*std::find_if(formula.begin(), formula.end(),
                                    [&](const auto& f) { return f.element == a.element; }));
  }
  return ordered;
}

const char* role_name(Role role) {
  switch (role) {
    case Role::fuel: return "fuel";
    case Role::oxidant: return "oxidant";
    case Role::diluent: return "diluent";
  }
  return "";
}

Result<ReactantItem> parse_reactant(Role role, std::string_view text) {
  ReactantItem item;
  item.role = role;
  item.text = std::string(text);
  const auto refuse = [&](std::string reason) {
    return Refusal{role_name(role), item.text, std::move(reason)};
  };
  std::string_view rest = text;
  if (const auto colon = rest.find(':'); colon != std::string_view::npos) {
    std::string_view share = rest.substr(colon + 1);
    rest = rest.substr(0, colon);
    if (!share.empty() && share.back() == '%') {
      item.percent = true;
      share.remove_suffix(1);
    }
    item.share = positive_number(share);
    if (!item.share) {
      return refuse("the share after ':' must be a positive number (\"" + std::string(share) +
                    "\")");
    }
    if (item.percent && *item.share > 100.0) {
      return refuse("a percentage cannot exceed 100");
    }
  }
  if (const auto at = rest.find('@'); at != std::string_view::npos) {
    const std::string_view T = rest.substr(at + 1);
    rest = rest.substr(0, at);
    item.T_K = positive_number(T);
    if (!item.T_K) {
      return refuse("the temperature after '@' must be a positive number of kelvin (\"" +
                    std::string(T) + "\")");
    }
  }
  if (rest.empty() || rest.find_first_of(" \t") != std::string_view::npos) {
    return refuse("a species name must come first, without spaces: NAME[@T_K][:share[%]]");
  }
  item.name = std::string(rest);
  return item;
}

double record_enthalpy_J_mol(const engine::SpeciesRecord& record, double T, double R_J_molK) {
  // The range holding T; a common end belongs to the upper range.
  const engine::PolyRange* r = &record.ranges.back();
  for (const engine::PolyRange& p : record.ranges) {
    if (T < p.T_high_K) {
      r = &p;
      break;
    }
  }
  const double* a = r->a;
  const double h_RT = -a[0] / (T * T) + a[1] * std::log(T) / T + a[2] + a[3] * T / 2.0 +
                      a[4] * T * T / 3.0 + a[5] * T * T * T / 4.0 + a[6] * T * T * T * T / 5.0 +
                      r->b1 / T;
  return h_RT * R_J_molK * T;
}

Result<Reactant> resolve_reactant(const ReactantItem& item, const engine::SpeciesDatabase& db) {
  const auto refuse = [&](std::string reason) {
    return Refusal{role_name(item.role), item.text, std::move(reason)};
  };
  // What parse_reactant ensures, again for items made otherwise.
  const auto positive = [](const std::optional<double>& v) {
    return !v || (std::isfinite(*v) && *v > 0.0);
  };
  if (!positive(item.T_K) || !positive(item.share) ||
      (item.h_J_mol && !std::isfinite(*item.h_J_mol))) {
    return refuse("a temperature and a share must be positive numbers, an enthalpy a number");
  }
  Reactant out;
  out.item = item;
  out.record = db.find(item.name);
  if (out.record == nullptr) {
    return refuse("no species " + item.name + " in " + db.source);
  }
  const engine::SpeciesRecord& r = *out.record;
  out.formula = r.reactant_only ? stated_formula(r, db) : r.formula;
  for (const engine::SpeciesRecord::Atoms& a : r.formula) {
    if (!carried(db, a.element)) {
      return refuse("no product of the database holds " + a.element + ", an element of " + r.name);
    }
  }
  out.h_from_user = item.h_J_mol.has_value();
  if (r.ranges.empty()) {
    out.T_K = item.T_K.value_or(r.T_assigned_K);
    const bool at_record = std::fabs(out.T_K - r.T_assigned_K) <= kAssignedTolK;
    if (!at_record && !out.h_from_user) {
      return refuse(r.name + " is recorded at " + kelvin(r.T_assigned_K) +
                    " only; at another temperature give its enthalpy");
    }
    if (at_record && out.h_from_user) {
      return refuse("the database gives the enthalpy of " + r.name + " at " + kelvin(out.T_K));
    }
    out.h_J_mol = out.h_from_user ? *item.h_J_mol : r.h_formation_J_mol;
    return out;
  }
  if (item.T_K) {
    out.T_K = *item.T_K;
  } else if (r.T_low_K() > kStandardT_K) {
    out.T_K = r.T_low_K();
  } else if (r.T_high_K() >= kStandardT_K) {
    out.T_K = kStandardT_K;
  } else {
    return refuse(r.name + " is recorded from " + kelvin(r.T_low_K()) + " to " +
                  kelvin(r.T_high_K()) + ": give its temperature");
  }
  const bool in_record = out.T_K >= r.T_low_K() && out.T_K <= r.T_high_K();
  if (!in_record && !out.h_from_user) {
    return refuse(kelvin(out.T_K) + " is outside the record of " + r.name + ", " +
                  kelvin(r.T_low_K()) + " to " + kelvin(r.T_high_K()));
  }
  if (in_record && out.h_from_user) {
    return refuse("the database gives the enthalpy of " + r.name + " at " + kelvin(out.T_K));
  }
  out.h_J_mol = out.h_from_user ? *item.h_J_mol : record_enthalpy_J_mol(r, out.T_K, db.R_J_molK);
  return out;
}

}  // namespace zuna::reactants
