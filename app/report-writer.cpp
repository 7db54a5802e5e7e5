#include "app/report-writer.h"

#include <cstdint>
#include <initializer_list>

#include "fio/fio.h"

namespace zuna {
namespace {

// The formats, each one stored string. The time format ends with two
// backslashes: record-end suppression, so the line stays open.
constexpr char kTimeFormat[] = "(/,/,5X,'Tempo de processamento (s) = ',1P,E10.2,\\\\)";
constexpr char kParametersFormat[] =
    "(/,/,/,20X,'DADOS',/,/,/,5X,'Razao entre O/F mínimo e estequiometrico = ',1P,E12.4,/,/,"
    "5X,'Razao entre O/F maximo e estequiometrico = ',1P,E12.4,/,/,"
    "5X,'N.pontos entre O/F minimo e estequiometrico = ',I5,/,/,"
    "5X,'N.pontos entre O/F estequiometrico e maximo = ',I5,/,/,"
    "5X,'Pressao total do sistema (atmosferas) = ',1P,E12.4,/,/,"
    "5X,'N.máximo de iterações para T adiabática    = ',I6,/,/,"
    "5X,'Tolerância na entalpia para T adiabática = ',1P,E12.4,/,/,"
    "5X,'N.máximo de iterações para número de moles = ',I6,/,/,"
    "5X,'Tolerância no número de moles            = ',1P,E12.4,/,/,"
    "5X,'Ativação da reação de dissociação 1 = ',1P,E12.4,/,"
    "5X,'Ativação da reação de dissociação 2 = ',1P,E12.4,/,"
    "5X,'Ativação da reação de dissociação 3 = ',1P,E12.4,/,"
    "5X,'Ativação da reação de dissociação 4 = ',1P,E12.4,/,/)";
constexpr char kStoichiometricFormat[] = "(/,/,/,10X,'O/F estequiométrico =',1P,E15.5,/)";
constexpr char kWithoutDissociationHeading[] =
    "(/,/,/,/,/,20X,'RESULTADOS SEM DISSOCIACAO',/,/,/,/,10X,'COEFICIENTES ESTEQUIOMETRICOS',/,/,"
    "3X,'o/f ',5X,' nh2r ',5X,'no2r',6X,'nh2o',6X,'no2 ',6X,'nh2 ',4X,'ntotalr ',2X,'ntotalp')";
constexpr char kMolesRow[] = "(8(1P,E10.2))";
constexpr char kMoleFractionsHeading[] =
    "(/,/,10X,'FRACOES MOLARES',/,/,3X,'o/f ',5X,'yh2r  ',5X,'yo2r',6X,'yh2o',6X,'yo2 ',6X,'yh2 ')";
constexpr char kSixColumnsReport[] = "(6(1P,E10.2))";
constexpr char kSixColumnsPlot[] = "(6(1P,E12.4))";
constexpr char kMassFractionsHeading[] =
    "(/,/,10X,'FRACOES MASSICAS',/,/,3X,'o/f ',4X,' fmh2r  ',3X,'fmo2r ',4X,'fmh2o ',4X,' fmo2 ',"
    "4X,'fmh2  ')";
constexpr char kMolarMassHeading[] =
    "(/,/,10X,'MOL TOTAL',/,/,3X,'o/f ',6X,' reagentes ','  produtos ')";
constexpr char kThreeColumns[] = "(3(1P,E12.4))";
constexpr char kWithDissociationHeading[] =
    "(/,/,/,/,/,20X,'RESULTADOS COM DISSOCIACAO',/,/,/,/,10X,'FRACOES MOLARES',/,/,"
    "3X,'o/f ',5X,'  H2O ',5X,' O2 ',6X,' H2 ',6X,'  H ',6X,'  O ',6X,' OH ')";
constexpr char kSevenColumnsReport[] = "(7(1P,E10.2))";
constexpr char kSevenColumnsPlot[] = "(7(1P,E12.4))";
constexpr char kReactionsHeading[] =
    "(/,/,/,10X,'FRACOES MOLARES DAS 4 REACOES DE DISSOCIACAO',/,/,"
    "3X,'a/c ',5X,'  R1  ',5X,' R2 ',6X,' R3 ',6X,' R4 ')";
constexpr char kFiveColumns[] = "(5(1P,E10.2))";
constexpr char kSpeciesMassFractionsHeading[] =
    "(/,/,10X,'FRACOES MASSICAS',/,/,3X,'o/f ',5X,'  H2O ',5X,' O2 ',6X,' H2 ',6X,'  H ',"
    "6X,'  O ',6X,' OH ')";
constexpr char kTemperatureHeading[] =
    "(/,/,5X,'TEMPERATURA ADIABATICA DE CHAMA',/,/,5X,'SEM E COM DISSOCIACAO',/,/,"
    "3X,'o/f ',5X,'    Tad sem  ','      Tad com')";
constexpr char kTemperatureRow[] = "(1P,E10.2,2(1P,E15.4))";

// One WRITE of double-precision values.
void write_reals(int unit, const char* format, std::initializer_list<double> values) {
  begin_write(unit, format, -1);
  for (double v : values) {
    put_real64(v);
  }
  end_write();
}

void write_heading(int unit, const char* format) {
  begin_write(unit, format, -1);
  end_write();
}

void write_parameters(const RunParameters& p) {
  begin_write(kReportUnit, kParametersFormat, -1);
  put_real64(p.rmin);
  put_real64(p.rmax);
  put_int32(p.npmin);
  put_int32(p.npmax);
  put_real64(p.ptot);
  put_int32(p.itmaxh);
  put_real64(p.tolh);
  put_int32(p.itmaxn);
  put_real64(p.toln);
  put_real64(p.act1);
  put_real64(p.act2);
  put_real64(p.act3);
  put_real64(p.act4);
  end_write();
}

// Moles of reactants and products without dissociation. nh2r, one mole of H2
// per mole of H2 fed, is a single-precision constant.
void write_moles_table(const SweepTable& t, std::int32_t npts) {
  write_heading(kReportUnit, kWithoutDissociationHeading);
  for (int j = 1; j <= npts; ++j) {
    begin_write(kReportUnit, kMolesRow, -1);
    put_real64(t.point[j].r);
    put_real32(1.0f);
    put_real64(t.point[j].no2r);
    put_real64(t.point[j].nh2o);
    put_real64(t.point[j].no2);
    put_real64(t.point[j].nh2);
    put_real64(t.point[j].ntotalr);
    put_real64(t.point[j].ntotalp);
    end_write();
  }
}

void write_fractions_without_dissociation(const SweepTable& t, std::int32_t npts) {
  write_heading(kReportUnit, kMoleFractionsHeading);
  for (int j = 1; j <= npts; ++j) {
    const auto row = {t.point[j].r,    t.point[j].yh2r, t.point[j].yo2r,
                      t.point[j].yh2o, t.point[j].yo2,  t.point[j].yh2};
    write_reals(kReportUnit, kSixColumnsReport, row);
    write_reals(kFmosUnit, kSixColumnsPlot, row);
  }
  close_unit(kFmosUnit);

  write_heading(kReportUnit, kMassFractionsHeading);
  for (int j = 1; j <= npts; ++j) {
    const auto row = {t.point[j].r,     t.point[j].fmh2r, t.point[j].fmo2r,
                      t.point[j].fmh2o, t.point[j].fmo2,  t.point[j].fmh2};
    write_reals(kReportUnit, kSixColumnsReport, row);
    write_reals(kFmasUnit, kSixColumnsPlot, row);
  }
  close_unit(kFmasUnit);

  write_heading(kReportUnit, kMolarMassHeading);
  for (int j = 1; j <= npts; ++j) {
    write_reals(kReportUnit, kThreeColumns, {t.point[j].r, t.point[j].mmr, t.point[j].mmp});
  }
}

// Mole fractions with dissociation, yd(k) = nd(k) / ntd.
void write_species_fractions(int unit, const char* format, const SweepTable& t, int j) {
  const SweepPointValues& p = t.point[j];
  write_reals(unit, format, {p.r, p.yd[0], p.yd[1], p.yd[2], p.yd[3], p.yd[4], p.yd[5]});
}

// Reaction extents per mole of products, x(r) / ntd.
void write_reaction_fractions(int unit, const SweepTable& t, int j) {
  const double* x = t.point[j].x;
  const double ntd = t.point[j].ntd;
  write_reals(unit, kFiveColumns, {t.point[j].r, x[0] / ntd, x[1] / ntd, x[2] / ntd, x[3] / ntd});
}

void write_results_with_dissociation(const SweepTable& t, std::int32_t npts) {
  write_heading(kReportUnit, kWithDissociationHeading);
  for (int j = 1; j <= npts; ++j) {
    write_species_fractions(kReportUnit, kSevenColumnsReport, t, j);
    write_species_fractions(kFmocUnit, kSevenColumnsPlot, t, j);
  }
  close_unit(kFmocUnit);

  write_heading(kReportUnit, kReactionsHeading);
  for (int j = 1; j <= npts; ++j) {
    write_reaction_fractions(kReportUnit, t, j);
    write_reaction_fractions(kFmxUnit, t, j);
  }
  close_unit(kFmxUnit);

  write_heading(kReportUnit, kSpeciesMassFractionsHeading);
  for (int j = 1; j <= npts; ++j) {
    const double* fmd = t.point[j].fmd;
    const auto row = {t.point[j].r, fmd[0], fmd[1], fmd[2], fmd[3], fmd[4], fmd[5]};
    write_reals(kReportUnit, kSevenColumnsReport, row);
    write_reals(kFmacUnit, kSevenColumnsPlot, row);
  }
  close_unit(kFmacUnit);

  // The report compares the reactants with the products with dissociation,
  // the plot file the products without and with it.
  write_heading(kReportUnit, kMolarMassHeading);
  for (int j = 1; j <= npts; ++j) {
    write_reals(kReportUnit, kThreeColumns, {t.point[j].r, t.point[j].mmr, t.point[j].mmd});
    write_reals(kMolUnit, kThreeColumns, {t.point[j].r, t.point[j].mmp, t.point[j].mmd});
  }
  close_unit(kMolUnit);
}

void write_temperatures(const SweepTable& t, std::int32_t npts) {
  write_heading(kReportUnit, kTemperatureHeading);
  for (int j = 1; j <= npts; ++j) {
    const auto row = {t.point[j].r, t.point[j].tadsem, t.point[j].tadcom};
    write_reals(kReportUnit, kTemperatureRow, row);
    write_reals(kTadUnit, kTemperatureRow, row);
  }
  close_unit(kTadUnit);
}

}  // namespace

void write_processing_time(int unit, double seconds) { write_reals(unit, kTimeFormat, {seconds}); }

void write_report_and_plots(const RunParameters& p, const SweepTable& t, const SweepScalars& s) {
  write_parameters(p);
  write_reals(kReportUnit, kStoichiometricFormat, {s.ofst});
  write_moles_table(t, s.npts);
  write_fractions_without_dissociation(t, s.npts);
  write_results_with_dissociation(t, s.npts);
  write_temperatures(t, s.npts);
  close_unit(kReportUnit);
}

}  // namespace zuna
