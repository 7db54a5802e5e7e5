#include "commands/mixture-options.h"

#include <cstdio>
#include <optional>
#include <string_view>

namespace zuna {
namespace {

std::vector<std::string> names_of(std::string_view text) {
  std::vector<std::string> names;
  std::size_t at = 0;
  while (at <= text.size()) {
    const std::size_t end = std::min(text.find(';', at), text.size());
    std::string_view name = text.substr(at, end - at);
    while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    if (!name.empty()) {
      names.emplace_back(name);
    }
    at = end + 1;
  }
  return names;
}

const char* ratio_option_name(int id) {
  switch (id) {
    case kMixtureOfOption: return "--of";
    case kPhiOption: return "--phi";
    case kREqOption: return "--r-eq";
    case kFuelPctOption: return "--fuel-pct";
    default: return "";
  }
}

}  // namespace

bool take_mixture_option(const OptionEntry& entry, OptionValue& v, MixtureOptions& m) {
  switch (entry.id) {
    case kFuelOption:
    case kOxidantOption:
    case kDiluentOption: {
      const reactants::Role role = entry.id == kFuelOption      ? reactants::Role::fuel
                                   : entry.id == kOxidantOption ? reactants::Role::oxidant
                                                               : reactants::Role::diluent;
      reactants::Result<reactants::ReactantItem> item = reactants::parse_reactant(role, v.text);
      if (!item) {
        throw UsageError{refusal_line(item.refusal())};
      }
      m.request.items.push_back(std::move(item.value()));
      return true;
    }
    case kByOption:
      m.request.by = v.text == "mass" ? reactants::ShareBasis::mass : reactants::ShareBasis::moles;
      m.by_given = true;
      return true;
    case kMixtureOfOption:
    case kPhiOption:
    case kREqOption:
    case kFuelPctOption:
      if (m.ratio_option != 0 && m.ratio_option != entry.id) {
        throw UsageError{std::string(ratio_option_name(entry.id)) + " cannot be combined with " +
                         ratio_option_name(m.ratio_option)};
      }
      m.ratio_option = entry.id;
      m.ratios = std::move(v.list);
      return true;
    case kEnthalpyOfOption: {
      const std::size_t eq = v.text.rfind('=');
      const std::optional<double> h =
          eq == std::string::npos ? std::nullopt
                                  : read_number(std::string_view(v.text).substr(eq + 1));
      if (eq == std::string::npos || eq == 0 || !h) {
        throw UsageError{"--enthalpy-of: '" + printable(v.text) +
                         "' is not NAME=J/mol (like H2O(L)=-285830)"};
      }
      m.enthalpies.emplace_back(v.text.substr(0, eq), *h);
      return true;
    }
    case kOnlyOption:
    case kOmitOption: {
      std::vector<std::string> names = names_of(v.text);
      if (names.empty()) {
        throw UsageError{std::string("--") + entry.name + ": no species named"};
      }
      auto& to = entry.id == kOnlyOption ? m.products.only : m.products.omit;
      to.insert(to.end(), names.begin(), names.end());
      return true;
    }
    default: return false;
  }
}

void finish_mixture_options(MixtureOptions& m, const char* default_fuel,
                            const char* default_oxidant) {
  bool fuel = false, oxidant = false;
  for (const reactants::ReactantItem& item : m.request.items) {
    fuel = fuel || item.role == reactants::Role::fuel;
    oxidant = oxidant || item.role == reactants::Role::oxidant;
  }
  // The defaults stand in only for a mixture with neither named: a fuel
  // alone (or an oxidant alone) is the user's mixture as written.
  // Without a ratio, they are stoichiometric (phi 1).
  if (!fuel && !oxidant && default_fuel != nullptr && default_oxidant != nullptr) {
    m.request.items.insert(m.request.items.begin(),
                        reactants::parse_reactant(reactants::Role::oxidant, default_oxidant).value());
    m.request.items.insert(m.request.items.begin(),
                        reactants::parse_reactant(reactants::Role::fuel, default_fuel).value());
    if (m.ratio_option == 0) {
      m.ratio_option = kPhiOption;
      m.ratios = {1.0};
    }
  } else if (!fuel && !oxidant && m.named()) {
    throw UsageError{"--diluent: a diluent alone is no mixture; name a fuel or an oxidant"};
  }
  for (const auto& [name, h] : m.enthalpies) {
    bool found = false;
    for (reactants::ReactantItem& item : m.request.items) {
      if (item.name == name) {
        item.h_J_mol = h;
        found = true;
      }
    }
    if (!found) {
      throw UsageError{"--enthalpy-of: '" + printable(name) + "' is none of the reactants named"};
    }
  }
}

namespace {

void json_string(std::string& out, std::string_view s) {
  out += '"';
  for (char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char u[8];
      std::snprintf(u, sizeof u, "\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
      out += u;
    } else {
      out += c;
    }
  }
  out += '"';
}

}  // namespace

std::string reactants_json(const reactants::MixtureDescription& d) {
  std::string out = "[";
  for (const reactants::MixtureEntry& e : d.reactants) {
    out += out.size() > 1 ? ", {" : "{";
    out += "\"name\": ";
    json_string(out, e.name);
    out += ", \"role\": ";
    json_string(out, reactants::role_name(e.role));
    out += ", \"T_K\": " + shortest_text(e.T_K);
    out += ", \"mole_fraction\": " + shortest_text(e.mole_fraction);
    out += ", \"mass_fraction\": " + shortest_text(e.mass_fraction);
    out += ", \"h_J_mol\": " + shortest_text(e.h_J_mol);
    out += e.h_from_user ? ", \"h_from_user\": true}" : "}";
  }
  return out + "]";
}

std::string reactants_text(const reactants::MixtureDescription& d) {
  std::string out = "Reactants (shares by " +
                    std::string(d.by == reactants::ShareBasis::mass ? "mass" : "moles") + "):\n";
  char line[256];
  for (const reactants::MixtureEntry& e : d.reactants) {
    std::snprintf(line, sizeof line,
                  "  %-8s %-16s T %9.3f K  moles %.6f  mass %.6f  h %.6g J/mol%s\n",
                  reactants::role_name(e.role), printable(e.name).c_str(), e.T_K, e.mole_fraction,
                  e.mass_fraction, e.h_J_mol, e.h_from_user ? " (given)" : "");
    out += line;
  }
  return out;
}

std::size_t mixture_count(const MixtureOptions& m) {
  return m.ratio_option == 0 ? 1 : m.ratios.size();
}

std::vector<reactants::Mixture> make_mixtures(const MixtureOptions& m,
                                              const engine::SpeciesDatabase& db) {
  std::vector<reactants::Mixture> out;
  reactants::MixtureRequest request = m.request;
  const std::size_t n = mixture_count(m);
  out.reserve(n);
  for (std::size_t k = 0; k < n; ++k) {
    request.of = request.phi = request.r_eq = request.fuel_pct = std::nullopt;
    switch (m.ratio_option) {
      case kMixtureOfOption: request.of = m.ratios[k]; break;
      case kPhiOption: request.phi = m.ratios[k]; break;
      case kREqOption: request.r_eq = m.ratios[k]; break;
      case kFuelPctOption: request.fuel_pct = m.ratios[k]; break;
      default: break;
    }
    reactants::Result<reactants::Mixture> mix = reactants::make_mixture(request, db);
    if (!mix) {
      throw UsageError{refusal_line(mix.refusal())};
    }
    out.push_back(std::move(mix.value()));
  }
  return out;
}

engine::ProductSet make_products(const MixtureOptions& m, const engine::SpeciesDatabase& db,
                                 const reactants::Mixture& mixture) {
  try {
    return engine::select_products(db, mixture.elements, m.products);
  } catch (const engine::InputError& e) {
    const char* option = !m.products.only.empty()   ? "--only"
                         : !m.products.omit.empty() ? "--omit"
                                                    : "--fuel";
    throw UsageError{std::string(option) + ": " + e.what()};
  }
}

std::string refusal_option(const std::string& subject) {
  if (subject == "fuel_pct") return "--fuel-pct";
  if (subject == "r_eq") return "--r-eq";
  if (subject == "products") return "--only";
  if (subject == "enthalpy") return "--enthalpy-of";
  return "--" + subject;
}

std::string refusal_line(const reactants::Refusal& r) {
  return refusal_option(r.subject) + (r.item.empty() ? "" : " " + printable(r.item)) + ": " +
         r.reason;
}

}  // namespace zuna
