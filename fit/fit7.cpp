#include "fit/fit7.h"

#include <Eigen/Dense>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "thermo/polynomial.h"

namespace zuna::fit {
namespace {

// Accuracy asked of each function; the residuals are divided by it.
constexpr double kCpScale = 0.03;
constexpr double kHScale = 0.002;
constexpr double kSScale = 0.002;
constexpr double kStep = 10.0;  // sampling step [K]
// The flame temperatures with dissociation lie between 2500 and 3200 K, where
// the equilibrium constants and the enthalpy balance are evaluated most: the
// samples there count twice. The cp/R, H/(RT) and S/R accuracy elsewhere
// stays within the scales above.
constexpr double kFlameLow = 2500.0, kFlameHigh = 3200.0;  // [K]
constexpr double kFlameWeight = 2.0;
constexpr double kTau = 1000.0;        // the fit works in tau = T / 1000 K
constexpr double kReference = 298.15;  // [K]

// Unknowns: c1..c7 of the low range (0..6), then of the high range (7..13),
// in the scaled variable tau:
//   cp/R   = c1 + c2 tau + c3 tau^2 + c4 tau^3 + c5 tau^4
//   H/(RT) = c1 + c2 tau/2 + c3 tau^2/3 + c4 tau^3/4 + c5 tau^4/5 + c6/tau
//   S/R    = c1 ln tau + c2 tau + c3 tau^2/2 + c4 tau^3/3 + c5 tau^4/4 + c7
// Powers of tau stay below 1300 on 200-6000 K, which keeps the least-squares
// problem well conditioned; the coefficients in T follow by a change of scale.
using Row = Eigen::Matrix<double, 1, 14>;

Row cp_row(double t, int range) {
  const double x = t / kTau;
  Row r = Row::Zero();
  const int o = 7 * range;
  r(o + 0) = 1.0;
  r(o + 1) = x;
  r(o + 2) = x * x;
  r(o + 3) = x * x * x;
  r(o + 4) = x * x * x * x;
  return r;
}

Row h_row(double t, int range) {
  const double x = t / kTau;
  Row r = Row::Zero();
  const int o = 7 * range;
  r(o + 0) = 1.0;
  r(o + 1) = x / 2.0;
  r(o + 2) = x * x / 3.0;
  r(o + 3) = x * x * x / 4.0;
  r(o + 4) = x * x * x * x / 5.0;
  r(o + 5) = 1.0 / x;
  return r;
}

Row s_row(double t, int range) {
  const double x = t / kTau;
  Row r = Row::Zero();
  const int o = 7 * range;
  r(o + 0) = std::log(x);
  r(o + 1) = x;
  r(o + 2) = x * x / 2.0;
  r(o + 3) = x * x * x / 3.0;
  r(o + 4) = x * x * x * x / 4.0;
  r(o + 6) = 1.0;
  return r;
}

double rounded(double value) { return std::strtod(format_coefficient(value).c_str(), nullptr); }

// a1..a7 in T from c1..c7 in tau = T / 1000.
void to_kelvin(const double* c, double* a) {
  a[0] = c[0];
  a[1] = c[1] / kTau;
  a[2] = c[2] / (kTau * kTau);
  a[3] = c[3] / (kTau * kTau * kTau);
  a[4] = c[4] / (kTau * kTau * kTau * kTau);
  a[5] = c[5] * kTau;
  a[6] = c[6] - c[0] * std::log(kTau);
  for (int j = 0; j < 7; ++j) {
    a[j] = rounded(a[j]);
  }
}

CoefBlock block_of(const Fit7& fit) {
  CoefBlock coef;
  for (int j = 1; j <= 7; ++j) {
    coef(1, j, 1) = fit.high[j - 1];
    coef(1, j, 2) = fit.low[j - 1];
  }
  return coef;
}

}  // namespace

double entropy_shift_to_atm() { return std::log(1.01325); }

std::string format_coefficient(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9E", value);
  return text;
}

Fit7 fit_species(const Nasa9Species& source) {
  const double shift = entropy_shift_to_atm();
  std::vector<Row> rows;
  std::vector<double> targets;
  const auto add = [&](const Row& row, double target, double scale) {
    rows.push_back(row / scale);
    targets.push_back(target / scale);
  };
  const auto sample = [&](double from, double to, int range) {
    const int n = static_cast<int>(std::lround((to - from) / kStep));
    for (int i = 0; i <= n; ++i) {
      const double t = from + kStep * i;
      const double w = t >= kFlameLow && t <= kFlameHigh ? kFlameWeight : 1.0;
      add(cp_row(t, range), source.cp_r(t), kCpScale / w);
      add(h_row(t, range), source.h_rt(t), kHScale / w);
      add(s_row(t, range), source.s_r(t) - shift, kSScale / w);
    }
  };
  sample(kFitLow, kFitCommon, 0);
  sample(kFitCommon, kFitHigh, 1);

  Eigen::MatrixXd a(rows.size(), 14);
  Eigen::VectorXd b(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    a.row(static_cast<Eigen::Index>(i)) = rows[i];
    b(static_cast<Eigen::Index>(i)) = targets[i];
  }

  // Constraints C x = d.
  Eigen::Matrix<double, 5, 14> c;
  Eigen::Matrix<double, 5, 1> d;
  c.row(0) = cp_row(kFitCommon, 0) - cp_row(kFitCommon, 1);
  c.row(1) = h_row(kFitCommon, 0) - h_row(kFitCommon, 1);
  c.row(2) = s_row(kFitCommon, 0) - s_row(kFitCommon, 1);
  c.row(3) = h_row(kReference, 0);
  c.row(4) = s_row(kReference, 0);
  d << 0.0, 0.0, 0.0, source.h_rt(kReference), source.s_r(kReference) - shift;

  // Null-space method: C^T = Q [R; 0], x = Q1 y1 + Q2 y2 with R^T y1 = d
  // fixing the constrained part; y2 minimises |A Q2 y2 - (b - A Q1 y1)|.
  const Eigen::HouseholderQR<Eigen::Matrix<double, 14, 5>> qr(c.transpose());
  const Eigen::Matrix<double, 14, 14> q = qr.householderQ();
  const Eigen::Matrix<double, 5, 5> r = qr.matrixQR().topLeftCorner<5, 5>();
  const Eigen::Matrix<double, 5, 1> y1 = r.transpose().triangularView<Eigen::Lower>().solve(d);
  const Eigen::Matrix<double, 14, 1> x0 = q.leftCols<5>() * y1;
  const Eigen::MatrixXd z = q.rightCols<9>();
  const Eigen::MatrixXd az = a * z;
  const Eigen::VectorXd y2 = az.colPivHouseholderQr().solve(b - a * x0);
  const Eigen::Matrix<double, 14, 1> x = x0 + z * y2;

  Fit7 fit;
  to_kelvin(x.data(), fit.low);
  to_kelvin(x.data() + 7, fit.high);
  return fit;
}

double fit_cp_r(const Fit7& fit, double t) {
  return cp_r(block_of(fit), 1, coef_range(t), TemperaturePowers(t));
}

double fit_h_rt(const Fit7& fit, double t) {
  return h_rt(block_of(fit), 1, coef_range(t), TemperaturePowers(t));
}

double fit_s_r(const Fit7& fit, double t) {
  const CoefBlock coef = block_of(fit);
  const TemperaturePowers p(t);
  const int r = coef_range(t);
  return h_rt(coef, 1, r, p) - g_rt(coef, 1, r, p, std::log(t));
}

std::string unusable_fit(const Fit7& fit) {
  for (int j = 0; j < 7; ++j) {
    if (!std::isfinite(fit.high[j])) {
      return "a" + std::to_string(j + 1) + " of 1000-6000 K is not a finite number";
    }
    if (!std::isfinite(fit.low[j])) {
      return "a" + std::to_string(j + 1) + " of 200-1000 K is not a finite number";
    }
  }
  const CoefBlock coef = block_of(fit);
  for (int k = 0; k <= static_cast<int>(kFitHigh - kFitLow); ++k) {
    const double t = kFitLow + k;
    const TemperaturePowers p(t);
    const int r = coef_range(t);
    if (!std::isfinite(cp_r(coef, 1, r, p)) || !std::isfinite(h_rt(coef, 1, r, p)) ||
        !std::isfinite(g_rt(coef, 1, r, p, std::log(t)))) {
      return "cp/R, H/(RT) or G/(RT) overflows at " + std::to_string(static_cast<int>(t)) + " K";
    }
  }
  return {};
}

Deviation deviation(const Fit7& fit, const Nasa9Species& source) {
  const double shift = entropy_shift_to_atm();
  Deviation dev;
  const auto track = [](double diff, double t, double& worst, double& where) {
    if (std::fabs(diff) > std::fabs(worst)) {
      worst = diff;
      where = t;
    }
  };
  for (int k = 0; k <= static_cast<int>(kFitHigh - kFitLow); ++k) {
    const double t = kFitLow + k;
    track(fit_cp_r(fit, t) - source.cp_r(t), t, dev.cp_r, dev.t_cp);
    track(fit_h_rt(fit, t) - source.h_rt(t), t, dev.h_rt, dev.t_h);
    track(fit_s_r(fit, t) - (source.s_r(t) - shift), t, dev.s_r, dev.t_s);
  }
  return dev;
}

}  // namespace zuna::fit
