// Certified nonlinear least-squares problems (NIST StRD) solved with marquardt_step and
// checked against the certified parameters and standard deviations: parameters to 6
// significant digits, standard deviations (covariance times residual variance) to 4.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "fitting/levenberg_marquardt.h"

namespace {

struct NistProblem {
  std::vector<double> start1, start2, certified, certifiedSd;
  std::vector<double> x, y;
  double certifiedRss = 0.0;
};

bool parse_parameter_line(const std::string& line, NistProblem& p) {
  std::istringstream in(line);
  std::string name, equals;
  double s1, s2, value, sd;
  if (!(in >> name >> equals) || name.size() < 2 || name[0] != 'b' || equals != "=") return false;
  if (!(in >> s1 >> s2 >> value >> sd)) return false;
  p.start1.push_back(s1);
  p.start2.push_back(s2);
  p.certified.push_back(value);
  p.certifiedSd.push_back(sd);
  return true;
}

NistProblem read_nist(const std::string& file) {
  std::ifstream in(std::string(BINDWISE_SHARED_DATA_DIR) + "/nist/" + file);
  NistProblem p;
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  size_t dataHeader = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    parse_parameter_line(lines[i], p);
    if (lines[i].rfind("Data:", 0) == 0) dataHeader = i;  // the last one heads the table
    if (lines[i].rfind("Residual Sum of Squares:", 0) == 0)
      p.certifiedRss = std::stod(lines[i].substr(lines[i].find(':') + 1));
  }
  for (size_t i = dataHeader + 1; i < lines.size(); ++i) {
    std::istringstream row(lines[i]);
    double yv, xv;
    if (row >> yv >> xv) {
      p.y.push_back(yv);
      p.x.push_back(xv);
    }
  }
  return p;
}

using NistModel = std::function<double(double x, const Vec& b, Vec& d)>;

// y = (b1 + b2 x + ... + b_num x^(num-1)) / (1 + b_(num+1) x + ... + b_(num+den) x^den)
NistModel rational(int num, int den) {
  return [num, den](double x, const Vec& b, Vec& d) {
    double top = 0.0, bottom = 1.0, power = 1.0;
    for (int i = 1; i <= num; ++i, power *= x) top += b[i] * power;
    power = x;
    for (int j = 1; j <= den; ++j, power *= x) bottom += b[num + j] * power;
    const double f = top / bottom;
    power = 1.0;
    for (int i = 1; i <= num; ++i, power *= x) d[i] = power / bottom;
    power = x;
    for (int j = 1; j <= den; ++j, power *= x) d[num + j] = -f * power / bottom;
    return f;
  };
}

NistModel model_for(const std::string& file) {
  if (file == "Misra1b.dat")
    return [](double x, const Vec& b, Vec& d) {
      const double u = 1.0 + b[2] * x / 2.0;
      d[1] = 1.0 - 1.0 / (u * u);
      d[2] = b[1] * x / (u * u * u);
      return b[1] * d[1];
    };
  if (file == "Chwirut2.dat")
    return [](double x, const Vec& b, Vec& d) {
      const double den = b[2] + b[3] * x, f = std::exp(-b[1] * x) / den;
      d[1] = -x * f;
      d[2] = -f / den;
      d[3] = -x * f / den;
      return f;
    };
  if (file == "DanWood.dat")
    return [](double x, const Vec& b, Vec& d) {
      d[1] = std::pow(x, b[2]);
      d[2] = b[1] * d[1] * std::log(x);
      return b[1] * d[1];
    };
  if (file == "Kirby2.dat") return rational(3, 2);
  if (file == "Hahn1.dat" || file == "Thurber.dat") return rational(4, 3);
  if (file == "BoxBOD.dat")
    return [](double x, const Vec& b, Vec& d) {
      const double e = std::exp(-b[2] * x);
      d[1] = 1.0 - e;
      d[2] = b[1] * x * e;
      return b[1] * d[1];
    };
  if (file == "MGH09.dat")
    return [](double x, const Vec& b, Vec& d) {
      const double den = x * x + x * b[3] + b[4], f = b[1] * (x * x + x * b[2]) / den;
      d[1] = (x * x + x * b[2]) / den;
      d[2] = b[1] * x / den;
      d[3] = -f * x / den;
      d[4] = -f / den;
      return f;
    };
  if (file == "Rat42.dat")
    return [](double x, const Vec& b, Vec& d) {
      const double e = std::exp(b[2] - b[3] * x), s = 1.0 + e;
      d[1] = 1.0 / s;
      d[2] = -b[1] * e / (s * s);
      d[3] = b[1] * x * e / (s * s);
      return b[1] / s;
    };
  // Eckerle4: y = (b1 / b2) exp(-0.5 ((x - b3) / b2)^2)
  return [](double x, const Vec& b, Vec& d) {
    const double z = (x - b[3]) / b[2], g = std::exp(-0.5 * z * z);
    d[1] = g / b[2];
    d[2] = b[1] * g * (z * z - 1.0) / (b[2] * b[2]);
    d[3] = b[1] * g * z / (b[2] * b[2]);
    return b[1] * g / b[2];
  };
}

struct Outcome {
  bool ran = false;  // the closing call produced a covariance matrix
  std::vector<double> b, sd;
  double rss = 0.0;
};

// Steps until chi-square stops changing, then the closing call for the covariance.
Outcome solve(const NistProblem& p, const NistModel& f, const std::vector<double>& start) {
  const int n = static_cast<int>(p.x.size()), ma = static_cast<int>(start.size());
  Vec x(n), y(n), Y(n), sigma(n), a(ma);
  IVec ia(ma);
  for (int i = 1; i <= n; ++i) {
    x[i] = p.x[i - 1];
    y[i] = p.y[i - 1];
    Y[i] = 1.0;
    sigma[i] = 1.0;
  }
  for (int k = 1; k <= ma; ++k) {
    a[k] = start[k - 1];
    ia[k] = 1;
  }
  auto model = [&f](double xi, double, Vec& b, int, Vec& d) { return f(xi, b, d); };
  Mat covar(ma, ma), alpha(ma, ma);
  MarquardtState state(ma);  // NIST parameters may take any sign
  double chisq = 0.0, lambda = -1.0;
  marquardt_step(model, x, y, Y, sigma, n, a, ia, ma, covar, alpha, chisq, lambda, state);
  for (int step = 0, unchanged = 0; step < 20000 && unchanged < 12; ++step) {
    const double previous = chisq;
    if (marquardt_step(model, x, y, Y, sigma, n, a, ia, ma, covar, alpha, chisq, lambda, state))
      return {};
    unchanged = previous - chisq > 1e-15 * previous ? 0 : unchanged + 1;
  }
  lambda = 0.0;
  Outcome out;
  out.ran = marquardt_step(model, x, y, Y, sigma, n, a, ia, ma, covar, alpha, chisq, lambda,
                           state) == kEliminationOk;
  out.rss = chisq;
  const double variance = chisq / (n - ma);
  for (int k = 1; k <= ma; ++k) {
    out.b.push_back(a[k]);
    out.sd.push_back(std::sqrt(covar[k][k] * variance));
  }
  return out;
}

bool relative_close(double actual, double expected, double tolerance) {
  return std::fabs(actual - expected) <= tolerance * std::fabs(expected);
}

// Checks one file from one start; returns whether everything matched, with messages.
bool matches_certified(const std::string& file, int startNumber, std::string& report) {
  const NistProblem p = read_nist(file);
  if (p.x.empty() || p.certified.empty()) {
    report = file + ": could not read the file";
    return false;
  }
  const Outcome out = solve(p, model_for(file), startNumber == 1 ? p.start1 : p.start2);
  if (!out.ran) {
    report = file + ": singular matrix";
    return false;
  }
  std::ostringstream msg;
  msg.precision(11);
  bool ok = true;
  for (size_t k = 0; k < p.certified.size(); ++k) {
    const bool valueOk = relative_close(out.b[k], p.certified[k], 1e-6);
    const bool sdOk = relative_close(out.sd[k], p.certifiedSd[k], 1e-4);
    if (!valueOk || !sdOk)
      msg << file << " start " << startNumber << " b" << k + 1 << ": " << out.b[k] << " (certified "
          << p.certified[k] << "), sd " << out.sd[k] << " (certified " << p.certifiedSd[k]
          << ")\n";
    ok = ok && valueOk && sdOk;
  }
  ok = ok && relative_close(out.rss, p.certifiedRss, 1e-6);
  report = msg.str();
  return ok;
}

class NistCertified : public testing::TestWithParam<std::string> {};

}  // namespace

TEST_P(NistCertified, BothStartsReachCertifiedValues) {
  for (int start : {1, 2}) {
    std::string report;
    EXPECT_TRUE(matches_certified(GetParam(), start, report)) << report;
  }
}

INSTANTIATE_TEST_SUITE_P(LowerAndAverageDifficulty, NistCertified,
                         testing::Values("Misra1b.dat", "Chwirut2.dat", "DanWood.dat",
                                         "Kirby2.dat", "Hahn1.dat"));

TEST(NistCertifiedHigher, SecondStartReachesCertifiedValues) {
  for (const char* file :
       {"Thurber.dat", "BoxBOD.dat", "MGH09.dat", "Rat42.dat", "Eckerle4.dat"}) {
    std::string report;
    EXPECT_TRUE(matches_certified(file, 2, report)) << report;
  }
}

// From the far start 1 these higher-difficulty files reach the certified values too. BoxBOD
// does not: b2 runs to large values where the exponential's derivative vanishes and the
// damped matrix becomes singular.
TEST(NistCertifiedHigher, FirstStartReachesCertifiedValuesExceptBoxBOD) {
  for (const char* file : {"Thurber.dat", "MGH09.dat", "Rat42.dat", "Eckerle4.dat"}) {
    std::string report;
    EXPECT_TRUE(matches_certified(file, 1, report)) << report;
  }
}
