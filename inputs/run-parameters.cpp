// The table of the run parameters, the defaults it gives and the checks of
// the parameters' domain.
#include "inputs/run-parameters.h"

namespace zuna {

namespace {

using Type = ParameterType;
using F = ParameterField;

constexpr ParameterDescriptor reaction_switch(ParameterField field, const char* name,
                                              double RunParameters::*member, int control_id) {
  return {.field = field,
          .name = name,
          .type = Type::reaction_switch,
          .real = member,
          .default_value = 1.0,
          .range = {},
          .dialog = {.control_id = control_id},
          .option = {}};
}

}  // namespace

extern constexpr std::array<ParameterDescriptor, kRunParameterCount> kRunParameterTable = {{
    {.field = F::rmin,
     .name = "rmin",
     .type = Type::real,
     .real = &RunParameters::rmin,
     .default_text = "0.5d0",
     .default_value = 0.5,
     .range = kRminRange,
     .dialog = {1000, "razão mínima em massa da mistura O2/H2", "maior que {lo} e até {hi}"},
     .option = {.name = "rmin",
                .value = "R",
                .help = "minimum O/F / stoichiometric O/F, {lo} < R <= {hi} ({default})",
                .range = "{lo} < rmin <= {hi}"},
     .unit = "-"},
    {.field = F::rmax,
     .name = "rmax",
     .type = Type::real,
     .real = &RunParameters::rmax,
     .default_text = "2.0d0",
     .default_value = 2.0,
     .range = kRmaxRange,
     .dialog = {1001, "razão máxima em massa da mistura O2/H2", "de {lo} a {hi}"},
     .option = {.name = "rmax",
                .value = "R",
                .help = "maximum O/F / stoichiometric O/F, {lo} <= R <= {hi} ({default})",
                .range = "{lo} <= rmax <= {hi}"},
     .unit = "-"},
    // The two counts are checked together (check_run_parameters): the
    // dialog's message names both.
    {.field = F::npmin,
     .name = "npmin",
     .type = Type::integer,
     .integer = &RunParameters::npmin,
     .default_text = "10",
     .default_value = 10,
     .range = kPointCountRange,
     .dialog = {1003, "pontos entre a razão mínima e a estequiométrica"},
     .option = {.name = "npmin",
                .value = "N",
                .help = "points between minimum and stoichiometric O/F ({default})",
                .range = "{lo} to {hi}, npmin + npmax at most {hi}"}},
    {.field = F::npmax,
     .name = "npmax",
     .type = Type::integer,
     .integer = &RunParameters::npmax,
     .default_text = "20",
     .default_value = 20,
     .range = kPointCountRange,
     .dialog = {1004, "pontos entre a razão máxima e a estequiométrica"},
     .option = {.name = "npmax",
                .value = "N",
                .help = "points between stoichiometric and maximum O/F ({default});\n"
                        "{lo} <= N, npmin + npmax <= {hi}",
                .range = "{lo} to {hi}, npmin + npmax at most {hi}"}},
    {.field = F::ptot,
     .name = "ptot",
     .type = Type::real,
     .real = &RunParameters::ptot,
     .default_text = "1.0d0",
     .default_value = 1.0,
     .range = kPressureRange,
     .dialog = {1005, "pressão total do sistema (atm)", "de {lo} a {hi}"},
     .option = {.name = "pressure",
                .short_name = 'p',
                .value = "LIST",
                .help = "total pressure [atm], {lo} to {hi} ({default})",
                .range = "{lo} to {hi} atm",
                .list = true},
     .unit = "atm"},
    {.field = F::tolh,
     .name = "tolh",
     .type = Type::real,
     .real = &RunParameters::tolh,
     .default_text = "1.0d-3",
     .default_value = 1.0e-3,
     .range = kToleranceRange,
     // The form's label says J, as it always has; the value is a tolerance
     // in K, the unit of its column and of the option.
     .dialog = {1009, "tolerância da entalpia (J)", "maior que {lo}"},
     .option = {.name = "tolh",
                .value = "T",
                .help = "tolerance of the temperature searches [K] ({default})",
                .range = "above {lo}"},
     .unit = "K"},
    {.field = F::itmaxh,
     .name = "itmaxh",
     .type = Type::integer,
     .integer = &RunParameters::itmaxh,
     .default_text = "100",
     .default_value = 100,
     .range = kIterationRange,
     .dialog = {1010, "iterações para cálculo da entalpia", "de {lo} a {hi}"},
     .option = {.name = "itmaxh",
                .value = "N",
                .help = "iteration cap of the temperature searches, {lo} to {hi} ({default})",
                .range = "{lo} to {hi}"}},
    {.field = F::toln,
     .name = "toln",
     .type = Type::real,
     .real = &RunParameters::toln,
     .default_text = "1.0d-10",
     .default_value = 1.0e-10,
     .range = kToleranceRange,
     .dialog = {1011, "tolerância dos coeficientes estequiométricos (n.moles)", "maior que {lo}"},
     .option = {.name = "toln",
                .value = "T",
                .help = "tolerance on moles of the equilibrium ({default})",
                .range = "above {lo}"},
     .unit = "mol"},
    {.field = F::itmaxn,
     .name = "itmaxn",
     .type = Type::integer,
     .integer = &RunParameters::itmaxn,
     .default_text = "200",
     .default_value = 200,
     .range = kIterationRange,
     .dialog = {1012, "iterações para cálculo dos coeficientes estequiométricos", "de {lo} a {hi}"},
     .option = {.name = "itmaxn",
                .value = "N",
                .help = "iteration cap of the equilibrium, {lo} to {hi} ({default})",
                .range = "{lo} to {hi}"}},
    reaction_switch(F::act1, "act1", &RunParameters::act1, 1019),
    reaction_switch(F::act2, "act2", &RunParameters::act2, 1020),
    reaction_switch(F::act3, "act3", &RunParameters::act3, 1021),
    reaction_switch(F::act4, "act4", &RunParameters::act4, 1022),
}};

namespace {

constexpr bool in_field_order() {
  for (std::size_t i = 0; i < kRunParameterTable.size(); ++i) {
    if (static_cast<std::size_t>(kRunParameterTable[i].field) != i) {
      return false;
    }
  }
  return true;
}
static_assert(in_field_order(), "the table is indexed by ParameterField");

}  // namespace

double parameter_value(const RunParameters& p, const ParameterDescriptor& d) {
  return d.type == ParameterType::integer ? static_cast<double>(p.*d.integer) : p.*d.real;
}

RunParameters dialog_default_parameters() {
  RunParameters p;
  for (const ParameterDescriptor& d : kRunParameterTable) {
    if (d.type == ParameterType::integer) {
      p.*d.integer = static_cast<std::int32_t>(d.default_value);
    } else {
      p.*d.real = d.default_value;
    }
  }
  return p;
}

std::vector<ParameterProblem> check_run_parameters(const RunParameters& p) {
  std::vector<ParameterProblem> problems;
  for (const ParameterDescriptor& d : kRunParameterTable) {
    if (d.type == ParameterType::reaction_switch || d.field == ParameterField::npmax) {
      continue;
    }
    if (d.field != ParameterField::npmin) {
      if (!within_range(parameter_value(p, d), d.range)) {
        problems.push_back({d.field, ProblemKind::out_of_range, d.range});
      }
      continue;
    }
    switch (point_count_fit(p.npmin, p.npmax)) {
      case PointCountFit::fits: break;
      case PointCountFit::npmin_out:
        problems.push_back({ParameterField::npmin, ProblemKind::point_counts, d.range});
        break;
      case PointCountFit::npmax_out:
        problems.push_back({ParameterField::npmax, ProblemKind::point_counts, d.range});
        break;
      case PointCountFit::sum_too_large:
        problems.push_back({ParameterField::npmax, ProblemKind::point_sum, d.range});
        break;
    }
  }
  return problems;
}

std::string fill_placeholders(
    std::string_view pattern,
    std::initializer_list<std::pair<std::string_view, std::string>> values) {
  std::string out;
  for (std::size_t at = 0; at < pattern.size();) {
    bool replaced = false;
    if (pattern[at] == '{') {
      for (const auto& [name, text] : values) {
        if (pattern.substr(at + 1, name.size()) == name &&
            pattern.substr(at + 1 + name.size(), 1) == "}") {
          out += text;
          at += name.size() + 2;
          replaced = true;
          break;
        }
      }
    }
    if (!replaced) {
      out += pattern[at++];
    }
  }
  return out;
}

}  // namespace zuna
