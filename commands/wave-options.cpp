#include "commands/wave-options.h"

#include <algorithm>

#include "commands/command-options.h"

namespace zuna {
namespace {

constexpr char kP1Help[] =
    "pressures P1 of the unburned gas, {lo} to {hi}\n"
    "atm ({default}); the same syntax, each value or range\n"
    "end in atm or with its unit (1bar, 10mmHg: Pa, kPa,\n"
    "MPa, bar, atm, psia, mmHg, torr)";

#define ZUNA_WAVE_INITIAL_OPTIONS                                                            \
  {.help = "Unburned gas:"},                                                                 \
      {.id = kT1Option,                                                                      \
       .name = "t1",                                                                         \
       .type = ValueType::list,                                                              \
       .value = "LIST",                                                                      \
       .default_text = "298.15",                                                             \
       .lowest = engine::kTMinK,                                                             \
       .highest = engine::kTMaxK,                                                            \
       .range = "{lo} to {hi} K",                                                            \
       .help = "temperatures T1 [K], {lo} to {hi} ({default}); values\nand FIRST:LAST:COUNT ranges in logarithmic steps",  \
       .column = "T1_K",                                                                     \
       .example = "298.15,500 or 300:3000:4"},                                               \
      {.id = kP1Option,                                                                      \
       .name = "p1",                                                                         \
       .type = ValueType::pressure_list,                                                     \
       .value = "LIST",                                                                      \
       .default_text = "1",                                                                  \
       .lowest = engine::kPMinAtm,                                                           \
       .highest = engine::kPMaxAtm,                                                          \
       .help = kP1Help,                                                                      \
       .column = "P1_bar",                                                                   \
       .example = "1,10 or 1bar:20bar:2"},                                                   \
      {.help = "Mixture (H2 with O2 at phi 1 by default; every reactant a gas at T1):"},     \
      kFuelEntry, kOxidantEntry, kDiluentEntry, kByEntry, kMixtureOfEntry, kPhiEntry, kREqEntry,    \
      kFuelPctEntry, {.help = "Products:"}, kOnlyEntry, kOmitEntry

#define ZUNA_WAVE_RESULTS_OPTIONS                                                             \
  {.id = kTransportOption,                                                                    \
   .name = "transport",                                                                       \
   .help = "add the transport properties of the gas behind\nthe front"},                     \
      {.help = "Results (a readable table on standard output without these):"},               \
      {.id = kCsvOption,                                                                      \
       .name = "csv",                                                                         \
       .type = ValueType::output,                                                             \
       .value = "FILE",                                                                       \
       .help = "one row per point as CSV ('-': standard output)"},                            \
      {.id = kJsonOption,                                                                     \
       .name = "json",                                                                        \
       .type = ValueType::output,                                                             \
       .value = "FILE",                                                                       \
       .help = "the same as JSON, with the SHA-256 of the data\n('-': standard output)"},       \
      kHelpEntry

const OptionEntry kDetonationOptions[] = {
    ZUNA_WAVE_INITIAL_OPTIONS,
    {.help = "Burned gas:"},
    ZUNA_WAVE_RESULTS_OPTIONS,
};

const OptionEntry kShockOptions[] = {
    ZUNA_WAVE_INITIAL_OPTIONS,
    {.help = "The shock:"},
    {.id = kU1Option,
     .name = "u1",
     .type = ValueType::list,
     .value = "LIST",
     .lowest = 0.0,
     .highest = 1e5,
     .open_below = true,
     .range = "above {lo} and at most {hi} m/s",
     .help = "speeds u1 [m/s] of the incident shock into the gas\nat rest, the same syntax",
     .column = "u1_m_s",
     .example = "1000,1500 or 1000:3000:5"},
    {.id = kMach1Option,
     .name = "mach1",
     .type = ValueType::list,
     .value = "LIST",
     .lowest = 1.0,
     .highest = 1000.0,
     .range = "{lo} to {hi}",
     .help =
         "or their Mach numbers u1/a1, a1 the frozen sound\n"
         "speed of the unburned gas ({lo} to {hi})",
     .column = "mach1",
     .example = "2,4 or 1.5:8:6"},
    {.id = kIncidentOption,
     .name = "incident",
     .help = "the state behind the incident shock (the default\nwithout --reflected)"},
    {.id = kReflectedOption,
     .name = "reflected",
     .help = "the state behind the shock reflected from a closed end"},
    {.id = kShockModelOption,
     .name = "model",
     .type = ValueType::words,
     .value = "LIST",
     .default_text = "equilibrium",
     .help =
         "equilibrium, frozen or both, comma-separated: the\n"
         "gas behind the shocks in chemical equilibrium or of\n"
         "the unburned composition ({default})",
     .column = "model",
     .choices = "equilibrium,frozen"},
    ZUNA_WAVE_RESULTS_OPTIONS,
};

#undef ZUNA_WAVE_INITIAL_OPTIONS
#undef ZUNA_WAVE_RESULTS_OPTIONS

const OptionTable& detonation_table() {
  static const OptionTable the_table(kDetonationOptions);
  return the_table;
}
const OptionTable& shock_table() {
  static const OptionTable the_table(kShockOptions);
  return the_table;
}

struct Given {
  bool incident = false, reflected = false, u1 = false, mach1 = false;
};

void take_option(const OptionEntry& entry, OptionValue&& v, WaveCommandLine& c, Given& given) {
  WaveSettings& s = c.settings;
  if (take_mixture_option(entry, v, s.mixture)) {
    return;
  }
  switch (entry.id) {
    case kHelpOption: c.help = true; break;
    case kT1Option: s.t1_K = std::move(v.list); break;
    case kP1Option: s.p1_atm = std::move(v.list); break;
    case kU1Option:
    case kMach1Option:
      if ((entry.id == kU1Option && given.mach1) || (entry.id == kMach1Option && given.u1)) {
        throw UsageError{"--u1 cannot be combined with --mach1"};
      }
      (entry.id == kU1Option ? given.u1 : given.mach1) = true;
      s.speeds = std::move(v.list);
      s.by_mach = entry.id == kMach1Option;
      break;
    case kIncidentOption: given.incident = true; break;
    case kReflectedOption: given.reflected = true; break;
    case kShockModelOption:
      s.models.clear();
      for (const std::string& w : v.words) {
        const waves::ShockModel m =
            w == "frozen" ? waves::ShockModel::frozen : waves::ShockModel::equilibrium;
        if (std::find(s.models.begin(), s.models.end(), m) != s.models.end()) {
          throw UsageError{"--model: " + w + " is given twice"};
        }
        s.models.push_back(m);
      }
      break;
    case kTransportOption: s.transport = true; break;
    case kCsvOption: s.csv_file = std::move(v.text); break;
    case kJsonOption: s.json_file = std::move(v.text); break;
    default: break;
  }
}

void check_reactant_temperatures(const MixtureOptions& m) {
  for (const reactants::ReactantItem& item : m.request.items) {
    if (item.T_K) {
      throw UsageError{refusal_option(reactants::role_name(item.role)) + " " +
                       printable(item.text) +
                       ": the unburned gas is at --t1; give no temperature here"};
    }
  }
}

WaveCommandLine parse(const OptionTable& table, bool shock, int argc, char** argv) {
  WaveCommandLine c;
  Given given;
  try {
    table.parse(argc, argv, [&](const OptionEntry& entry, OptionValue&& v) {
      take_option(entry, std::move(v), c, given);
    });
    if (!c.help) {
      WaveSettings& s = c.settings;
      finish_mixture_options(s.mixture, "H2", "O2");
      check_reactant_temperatures(s.mixture);
      double rows = static_cast<double>(s.t1_K.size()) * static_cast<double>(s.p1_atm.size()) *
                    static_cast<double>(mixture_count(s.mixture));
      if (shock) {
        if (!given.u1 && !given.mach1) {
          throw UsageError{"the shock needs its speed: --u1 or --mach1"};
        }
        s.reflected = given.reflected;
        s.incident = given.incident || !given.reflected;
        rows *= static_cast<double>(s.speeds.size()) * static_cast<double>(s.models.size()) *
                ((s.incident ? 1.0 : 0.0) + (s.reflected ? 1.0 : 0.0));
      }
      check_rows(rows);
    }
  } catch (const UsageError& e) {
    c.error = e.message;
  }
  return c;
}

}  // namespace

std::span<const OptionEntry> detonation_options() { return kDetonationOptions; }
std::span<const OptionEntry> shock_options() { return kShockOptions; }

WaveCommandLine parse_detonation_options(int argc, char** argv) {
  return parse(detonation_table(), false, argc, argv);
}
WaveCommandLine parse_shock_options(int argc, char** argv) {
  return parse(shock_table(), true, argc, argv);
}

const char* shock_model_name(waves::ShockModel model) {
  return model == waves::ShockModel::frozen ? "frozen" : "equilibrium";
}

std::string detonation_usage_text() {
  return "Usage: zuna4c detonation [OPTION]...\n"
         "The Chapman-Jouguet detonation of a gas mixture: the unburned gas at each T1\n"
         "and P1, the burned gas in equilibrium among every product of the data whose\n"
         "elements the reactants hold, the detonation's speed and ratios.\n"
         "\n" +
         detonation_table().help() +
         "\n"
         "Rows go by P1, then T1, then the mixture ratio in the order given. A point\n"
         "without a solution (a mixture that cannot detonate) has empty values and its\n"
         "flags say why; see zuna4c(1).\n" +
         rows_cap_help() +
         "Exit status: 0 success, 1 run-time error (output), 2 usage error.\n";
}

std::string shock_usage_text() {
  return "Usage: zuna4c shock [OPTION]...\n"
         "Incident and reflected shocks in a gas mixture at rest at T1 and P1, the gas\n"
         "behind them in equilibrium or frozen: its state, speeds and ratios.\n"
         "\n" +
         shock_table().help() +
         "\n"
         "Rows go by P1, T1, the mixture ratio, the model, then the speed: the incident\n"
         "shock's row, then the reflected one's. A shock slower than the slowest one\n"
         "with a solution has empty values, its flags and slowest_u1_m_s say so; see\n"
         "zuna4c(1).\n" +
         rows_cap_help() +
         "Exit status: 0 success, 1 run-time error (output), 2 usage error.\n";
}

}  // namespace zuna
