// The columns of a sweep's point: the one table from which the CSV and the
// JSON of `zuna4c --batch`, the library's sweep_columns() and the Python
// module's names and rows are made.
#include "zuna4/sweep-point.h"

namespace zuna4 {

namespace {

constexpr SweepColumn kSweepColumns[kSweepColumnCount] = {
    {"of", "kg O2/kg H2", [](const SweepPoint& p) { return p.of; }},
    {"r", "-", [](const SweepPoint& p) { return p.r; }},
    {"tadsem", "K", [](const SweepPoint& p) { return p.tadsem; }},
    {"tadcom", "K", [](const SweepPoint& p) { return p.tadcom; }},
    {"no2r", "mol/mol H2", [](const SweepPoint& p) { return p.no2r; }},
    {"nh2o", "mol/mol H2", [](const SweepPoint& p) { return p.nh2o; }},
    {"no2", "mol/mol H2", [](const SweepPoint& p) { return p.no2; }},
    {"nh2", "mol/mol H2", [](const SweepPoint& p) { return p.nh2; }},
    {"ntotalr", "mol/mol H2", [](const SweepPoint& p) { return p.ntotalr; }},
    {"ntotalp", "mol/mol H2", [](const SweepPoint& p) { return p.ntotalp; }},
    {"nd_h2o", "mol/mol H2", [](const SweepPoint& p) { return p.nd[0]; }},
    {"nd_o2", "mol/mol H2", [](const SweepPoint& p) { return p.nd[1]; }},
    {"nd_h2", "mol/mol H2", [](const SweepPoint& p) { return p.nd[2]; }},
    {"nd_h", "mol/mol H2", [](const SweepPoint& p) { return p.nd[3]; }},
    {"nd_o", "mol/mol H2", [](const SweepPoint& p) { return p.nd[4]; }},
    {"nd_oh", "mol/mol H2", [](const SweepPoint& p) { return p.nd[5]; }},
    {"ntd", "mol/mol H2", [](const SweepPoint& p) { return p.ntd; }},
    {"yh2r", "-", [](const SweepPoint& p) { return p.yh2r; }},
    {"yo2r", "-", [](const SweepPoint& p) { return p.yo2r; }},
    {"yh2o", "-", [](const SweepPoint& p) { return p.yh2o; }},
    {"yo2", "-", [](const SweepPoint& p) { return p.yo2; }},
    {"yh2", "-", [](const SweepPoint& p) { return p.yh2; }},
    {"yd_h2o", "-", [](const SweepPoint& p) { return p.yd[0]; }},
    {"yd_o2", "-", [](const SweepPoint& p) { return p.yd[1]; }},
    {"yd_h2", "-", [](const SweepPoint& p) { return p.yd[2]; }},
    {"yd_h", "-", [](const SweepPoint& p) { return p.yd[3]; }},
    {"yd_o", "-", [](const SweepPoint& p) { return p.yd[4]; }},
    {"yd_oh", "-", [](const SweepPoint& p) { return p.yd[5]; }},
    {"fmh2r", "-", [](const SweepPoint& p) { return p.fmh2r; }},
    {"fmo2r", "-", [](const SweepPoint& p) { return p.fmo2r; }},
    {"fmh2o", "-", [](const SweepPoint& p) { return p.fmh2o; }},
    {"fmo2", "-", [](const SweepPoint& p) { return p.fmo2; }},
    {"fmh2", "-", [](const SweepPoint& p) { return p.fmh2; }},
    {"fmd_h2o", "-", [](const SweepPoint& p) { return p.fmd[0]; }},
    {"fmd_o2", "-", [](const SweepPoint& p) { return p.fmd[1]; }},
    {"fmd_h2", "-", [](const SweepPoint& p) { return p.fmd[2]; }},
    {"fmd_h", "-", [](const SweepPoint& p) { return p.fmd[3]; }},
    {"fmd_o", "-", [](const SweepPoint& p) { return p.fmd[4]; }},
    {"fmd_oh", "-", [](const SweepPoint& p) { return p.fmd[5]; }},
    {"mmr", "g/mol", [](const SweepPoint& p) { return p.mmr; }},
    {"mmp", "g/mol", [](const SweepPoint& p) { return p.mmp; }},
    {"mmd", "g/mol", [](const SweepPoint& p) { return p.mmd; }},
    {"x1", "mol/mol H2", [](const SweepPoint& p) { return p.x[0]; }},
    {"x2", "mol/mol H2", [](const SweepPoint& p) { return p.x[1]; }},
    {"x3", "mol/mol H2", [](const SweepPoint& p) { return p.x[2]; }},
    {"x4", "mol/mol H2", [](const SweepPoint& p) { return p.x[3]; }},
};

}  // namespace

std::span<const SweepColumn> sweep_columns() { return kSweepColumns; }

}  // namespace zuna4
