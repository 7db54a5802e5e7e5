#include "commands/mixture-options.h"

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

bool take_mixture_option(const OptionSpec& spec, OptionValue& v, MixtureOptions& m) {
  switch (spec.id) {
    case kFuelOption:
    case kOxidantOption:
    case kDiluentOption: {
      const reactants::Role role = spec.id == kFuelOption      ? reactants::Role::fuel
                                   : spec.id == kOxidantOption ? reactants::Role::oxidant
                                                               : reactants::Role::diluent;
      reactants::Result<reactants::ReactantItem> item = reactants::parse_reactant(role, v.text);
      if (!item) {
        throw UsageError{refusal_line(item.refusal())};
      }
      m.spec.items.push_back(std::move(item.value()));
      return true;
    }
    case kByOption:
      m.spec.by = v.text == "mass" ? reactants::ShareBasis::mass : reactants::ShareBasis::moles;
      return true;
    case kMixtureOfOption:
    case kPhiOption:
    case kREqOption:
    case kFuelPctOption:
      if (m.ratio_option != 0 && m.ratio_option != spec.id) {
        throw UsageError{std::string(ratio_option_name(spec.id)) + " cannot be combined with " +
                         ratio_option_name(m.ratio_option)};
      }
      m.ratio_option = spec.id;
      m.ratios = std::move(v.list);
      return true;
    case kOnlyOption:
    case kOmitOption: {
      std::vector<std::string> names = names_of(v.text);
      if (names.empty()) {
        throw UsageError{std::string("--") + spec.name + ": no species named"};
      }
      auto& to = spec.id == kOnlyOption ? m.products.only : m.products.omit;
      to.insert(to.end(), names.begin(), names.end());
      return true;
    }
    default: return false;
  }
}

void finish_mixture_options(MixtureOptions& m, const char* default_fuel,
                            const char* default_oxidant) {
  bool fuel = false, oxidant = false;
  for (const reactants::ReactantItem& item : m.spec.items) {
    fuel = fuel || item.role == reactants::Role::fuel;
    oxidant = oxidant || item.role == reactants::Role::oxidant;
  }
  // The defaults stand in only for a mixture with neither named: a fuel
  // alone (or an oxidant alone) is the user's mixture as written.
  // Without a ratio, they are stoichiometric (phi 1).
  if (!fuel && !oxidant) {
    m.spec.items.insert(m.spec.items.begin(),
                        reactants::parse_reactant(reactants::Role::oxidant, default_oxidant).value());
    m.spec.items.insert(m.spec.items.begin(),
                        reactants::parse_reactant(reactants::Role::fuel, default_fuel).value());
    if (m.ratio_option == 0) {
      m.ratio_option = kPhiOption;
      m.ratios = {1.0};
    }
  }
}

std::size_t mixture_count(const MixtureOptions& m) {
  return m.ratio_option == 0 ? 1 : m.ratios.size();
}

std::vector<reactants::Mixture> make_mixtures(const MixtureOptions& m,
                                              const engine::SpeciesDatabase& db) {
  std::vector<reactants::Mixture> out;
  reactants::MixtureSpec spec = m.spec;
  const std::size_t n = mixture_count(m);
  out.reserve(n);
  for (std::size_t k = 0; k < n; ++k) {
    spec.of = spec.phi = spec.r_eq = spec.fuel_pct = std::nullopt;
    switch (m.ratio_option) {
      case kMixtureOfOption: spec.of = m.ratios[k]; break;
      case kPhiOption: spec.phi = m.ratios[k]; break;
      case kREqOption: spec.r_eq = m.ratios[k]; break;
      case kFuelPctOption: spec.fuel_pct = m.ratios[k]; break;
      default: break;
    }
    reactants::Result<reactants::Mixture> mix = reactants::make_mixture(spec, db);
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
  if (subject == "enthalpy") return "--fuel";
  return "--" + subject;
}

std::string refusal_line(const reactants::Refusal& r) {
  return refusal_option(r.subject) + (r.item.empty() ? "" : " " + printable(r.item)) + ": " +
         r.reason;
}

}  // namespace zuna
