// The report "saida" and the seven plot data files of a calculation.
//
// Every table has one row per reported point j = 1..npts, from the smallest to
// the largest O/F; the stoichiometric point 0 is never written. The first
// column of every row is r, the O/F divided by the stoichiometric O/F. Within a
// table the report row of a point is written before its plot-file row.
#pragma once

#include "app/sweep.h"

namespace zuna {

// Units of the report, the plot files and the progress window.
inline constexpr int kReportUnit = 8;     // "saida"
inline constexpr int kTadUnit = 9;        // "tad.dat": of, tadsem, tadcom
inline constexpr int kFmxUnit = 10;       // "fmx.dat": of, x1..x4 / ntd
inline constexpr int kProgressUnit = 12;  // window "EXECUÇÃO DOS CÁLCULOS"
inline constexpr int kMolUnit = 14;       // "mol.dat": of, mmp, mmd
inline constexpr int kFmosUnit = 15;      // "fmos.dat": mole fractions without dissociation
inline constexpr int kFmasUnit = 16;      // "fmas.dat": mass fractions without dissociation
inline constexpr int kFmocUnit = 17;      // "fmoc.dat": mole fractions with dissociation
inline constexpr int kFmacUnit = 18;      // "fmac.dat": mass fractions with dissociation

// The processing-time line [s]. Its record is left open, so the next
// statement on the unit continues it (on the progress window: the wait for
// Enter happens at the end of that line).
void write_processing_time(int unit, double seconds);

// Everything after the processing time: the run parameters, the
// stoichiometric O/F, the tables without and with dissociation and the flame
// temperatures on unit 8, and the seven plot files. Each plot file is closed
// right after its last row, the report last: 15, 16, 17, 10, 18, 14, 9, 8.
// All of those units must be open.
void write_report_and_plots(const RunParameters& p, const SweepTable& t, const SweepScalars& s);

}  // namespace zuna
