// The ten binding models. Every polynomial family solves the same mass balance for the free
// Ca x (nM):
//   F(x) = X - x - Pt N(x) / Pol(x) - sum_j Cj x / (x + Kdj) = 0,
// with Pol = 1 + c1 x + ... + cn x^n (ck = K1...Kk, stepwise association constants in
// nM^-1), N = x Pol' the Ca bound per protein times Pol, Pt the diluted protein and Cj the
// diluted chelators (nM). F falls strictly on [0, X] from F(0) = X to F(X) <= 0, so the
// root is unique and a safeguarded Newton iteration (Newton inside the bracket, bisection
// otherwise, as in Numerical Recipes' rtsafe) always finds it. Newton from a tiny start
// without a bracket overshoots for cooperative constants and can stall far from the root.
//
// Each Newton iterate costs one division: F and F' are multiplied through by the common
// denominator D = Pol * prod_j (x + Kdj), so the step -F/F' = -(F D) D / (F' D^2).
#include "fitting/models.h"

#include <cmath>

namespace {

constexpr double kLogKdFactor = 1.0 / 1e-9;  // the double nearest 1e9, as the dialogs use it
constexpr double kRelativeTolerance = 1e-14;
constexpr double kLastStep = 1e-8;  // relative; see solve_free_ca
constexpr int kMaxIterations = 100;

// The protein's binding polynomial and the chelators of one evaluation, internal units.
struct MassBalance {
  int sites = 0;
  double c[7] = {};    // c[k] = K1...Kk (nM^-k)
  double kc[7] = {};   // k c[k]
  double k2c[7] = {};  // k^2 c[k]
  double Pt = 0.0;     // protein, nM, diluted
  double C[2] = {};    // chelators, nM, diluted
  double Kd[2] = {};   // chelator dissociation constants, nM
};

// Pol - 1, Pol' and N' = (x Pol')' at x by Horner's rule (no division by x).
struct PolyValues {
  double Pm1, P, Pp, N, Np;
};

template <int Sites>
PolyValues poly_at(const MassBalance& mb, double x) {
  double s0 = mb.c[Sites], s1 = mb.kc[Sites], s2 = mb.k2c[Sites];
  for (int k = Sites - 1; k >= 1; --k) {
    s0 = mb.c[k] + x * s0;
    s1 = mb.kc[k] + x * s1;
    s2 = mb.k2c[k] + x * s2;
  }
  const double Pm1 = x * s0;
  return {Pm1, 1.0 + Pm1, s1, x * s1, s2};
}

// F D and F' D^2 at x; D > 0, so F D carries the sign of F.
struct ScaledBalance {
  double FD, FpD2, D;
};

template <int Sites, int Chelators>
ScaledBalance scaled_balance(const MassBalance& mb, double X, double x) {
  const PolyValues p = poly_at<Sites>(mb, x);
  const double curvature = mb.Pt * (p.Np * p.P - p.N * p.Pp);  // >= 0 in exact arithmetic
  if constexpr (Chelators == 0) {
    return {(X - x) * p.P - mb.Pt * p.N, -p.P * p.P - curvature, p.P};
  } else if constexpr (Chelators == 1) {
    const double q = x + mb.Kd[0];
    const double D = p.P * q;
    const double FD = (X - x) * D - mb.Pt * p.N * q - mb.C[0] * x * p.P;
    const double FpD2 = -D * D - curvature * q * q - mb.C[0] * mb.Kd[0] * p.P * p.P;
    return {FD, FpD2, D};
  } else {
    const double q1 = x + mb.Kd[0], q2 = x + mb.Kd[1];
    const double Q = q1 * q2;
    const double D = p.P * Q;
    const double FD = (X - x) * D - mb.Pt * p.N * Q - p.P * x * (mb.C[0] * q2 + mb.C[1] * q1);
    const double FpD2 = -D * D - curvature * Q * Q -
                        p.P * p.P * (mb.C[0] * mb.Kd[0] * q2 * q2 + mb.C[1] * mb.Kd[1] * q1 * q1);
    return {FD, FpD2, D};
  }
}

// Safeguarded Newton on [0, X]. x0 is the first iterate (moved to mid-bracket when outside).
template <int Sites, int Chelators>
double solve_free_ca(const MassBalance& mb, double X, double x0) {
  if (!(X > 0.0)) return 0.0;
  double lo = 0.0, hi = X;
  double x = (x0 > 0.0 && x0 < X) ? x0 : 0.5 * X;
  double dxOld = X, dx = X;
  for (int iter = 0; iter < kMaxIterations; ++iter) {
    const ScaledBalance s = scaled_balance<Sites, Chelators>(mb, X, x);
    if (s.FD == 0.0) return x;
    if (s.FD > 0.0) lo = x; else hi = x;
    const double step = -(s.FD * s.D) / s.FpD2;
    // Newton's error after a step of relative size s is about C s^2, C = |F''| x / (2 |F'|)
    // (of the order of the number of sites here), so a step below 1e-8 leaves an error far
    // under the 1e-14 tolerance: take it and stop. (Testing it before the bracket also
    // matters: x + step may round to x itself, which the bracket test would reject.)
    if (std::fabs(step) <= kLastStep * x) return x + step;
    const double next = x + step;
    const bool newtonOk = std::isfinite(s.FpD2) && std::isfinite(step) && next > lo &&
                          next < hi && 2.0 * std::fabs(step) <= std::fabs(dxOld);
    dxOld = dx;
    if (newtonOk) {
      dx = step;
      x = next;
    } else {
      dx = 0.5 * (hi - lo);
      x = lo + dx;
    }
    if (std::fabs(dx) <= kRelativeTolerance * x || hi - lo <= kRelativeTolerance * hi) return x;
  }
  return x;
}

void set_constants(MassBalance& mb, int sites, const Vec& a, int firstK) {
  mb.sites = sites;
  double product = 1.0;
  for (int k = 1; k <= sites; ++k) {
    product *= a[firstK + k - 1];
    mb.c[k] = product;
    mb.kc[k] = k * product;
    mb.k2c[k] = double(k) * k * product;
  }
}

// Slot layout of each polynomial family: constants, protein and chelators.
MassBalance mass_balance(ModelFamily family, bool electrode, const Vec& a, double Y) {
  MassBalance mb;
  mb.Pt = a[3] * Y;
  switch (family) {
    case ModelFamily::TwoSiteChelator:
      if (electrode) { set_constants(mb, 2, a, 4); break; }
      set_constants(mb, 2, a, 5);
      mb.Kd[0] = a[4]; mb.C[0] = a[7] * Y;
      break;
    case ModelFamily::TwoSite:
      mb.Pt = a[4] * Y;
      set_constants(mb, 2, a, 5);
      break;
    case ModelFamily::FourSiteChelator:
      if (electrode) { set_constants(mb, 4, a, 4); break; }
      set_constants(mb, 4, a, 5);
      mb.Kd[0] = a[4]; mb.C[0] = a[9] * Y;
      break;
    case ModelFamily::TwoSiteTwoChelators:
      set_constants(mb, 2, a, 6);
      mb.Kd[0] = a[4]; mb.C[0] = a[8] * Y;
      mb.Kd[1] = a[5]; mb.C[1] = a[9] * Y;
      break;
    case ModelFamily::SixSiteChelator:
      if (electrode) { set_constants(mb, 6, a, 4); break; }
      set_constants(mb, 6, a, 5);
      mb.Kd[0] = a[4]; mb.C[0] = a[11] * Y;
      break;
    case ModelFamily::OneSite:
      break;
  }
  return mb;
}

int chelator_count(ModelFamily family, bool electrode) {
  if (electrode || family == ModelFamily::TwoSite) return 0;
  return family == ModelFamily::TwoSiteTwoChelators ? 2 : 1;
}

// Cold start when the previous free Ca is no use: the historical tiny start values (the
// bracket makes them safe), mid-bracket for the two-site protein.
double cold_start(ModelFamily family, double X) {
  switch (family) {
    case ModelFamily::SixSiteChelator: return 5e-5;
    case ModelFamily::TwoSite: return 0.5 * X;
    default: return 5e-12;
  }
}

double solve_polynomial(const MassBalance& mb, int chelators, double X, double x0) {
  switch (mb.sites * 10 + chelators) {
    case 20: return solve_free_ca<2, 0>(mb, X, x0);
    case 21: return solve_free_ca<2, 1>(mb, X, x0);
    case 22: return solve_free_ca<2, 2>(mb, X, x0);
    case 40: return solve_free_ca<4, 0>(mb, X, x0);
    case 41: return solve_free_ca<4, 1>(mb, X, x0);
    case 60: return solve_free_ca<6, 0>(mb, X, x0);
    default: return solve_free_ca<6, 1>(mb, X, x0);
  }
}

PolyValues poly_values(const MassBalance& mb, double x) {
  switch (mb.sites) {
    case 2: return poly_at<2>(mb, x);
    case 4: return poly_at<4>(mb, x);
    default: return poly_at<6>(mb, x);
  }
}

double electrode_response(const Vec& a, double x) { return a[1] * std::log10(x * 0.001) + a[2]; }

// Free Ca in closed form from K x^2 + (1 + K (Pt - X)) x - X = 0 (K in nM^-1), choosing
// the form of the positive root that does not cancel; K = 0 gives x = X.
double one_site_free_ca(double K, double Pt, double X) {
  if (!(X > 0.0)) return 0.0;
  const double b = 1.0 + K * (Pt - X);
  const double root = std::sqrt(b * b + 4.0 * K * X);
  return b >= 0.0 ? 2.0 * X / (b + root) : (root - b) / (2.0 * K);
}

struct Evaluation {
  double response;
  double bound;   // fraction of protein carrying at least one Ca
  double freeCa;  // nM
};

Evaluation one_site(bool electrode, bool dilution, double X, const Vec& a, double Y) {
  const double K = a[4];  // association constant for models 1 and 7 alike
  const double x = one_site_free_ca(K, a[3] * Y, X);
  const double Kx = K * x;
  const double bound = Kx / (1.0 + Kx);
  if (!electrode && X == 0.0) return {a[1], bound, x};  // Ca-free signal, never diluted
  const double R = electrode ? electrode_response(a, x) : a[1] - (a[1] - a[2]) * bound;
  return {dilution ? R * Y : R, bound, x};
}

// Response of a polynomial family once its free Ca x is known.
Evaluation response_at(ModelFamily family, bool electrode, bool dilution, const Vec& a, double Y,
                       const MassBalance& mb, double x) {
  const PolyValues p = poly_values(mb, x);
  double R, bound;
  if (electrode) {
    bound = p.Pm1 / p.P;
    R = electrode_response(a, x);
  } else if (family == ModelFamily::TwoSite) {
    const double inverse = 1.0 / p.P;
    const double f1 = mb.c[1] * x * inverse, f2 = mb.c[2] * x * x * inverse;
    bound = p.Pm1 * inverse;
    R = (1.0 - f1 - f2) * a[1] + f1 * a[2] + f2 * a[3];
  } else if (x == 0.0) {
    bound = 0.0;
    R = a[1];  // Ca-free chelator
  } else {
    // One division for both fractions: 1 / (Pol (x + KdC)).
    const double q = x + mb.Kd[0];
    const double inverse = 1.0 / (p.P * q);
    bound = p.Pm1 * q * inverse;
    R = a[1] - (a[1] - a[2]) * x * p.P * inverse;
  }
  return {dilution ? R * Y : R, bound, x};
}

// One evaluation; x0 is the first Newton iterate when it lies inside (0, X).
Evaluation evaluate(ModelFamily family, bool electrode, bool dilution, double X, const Vec& a,
                    double Y, double x0) {
  if (family == ModelFamily::OneSite) return one_site(electrode, dilution, X, a, Y);
  const MassBalance mb = mass_balance(family, electrode, a, Y);
  if (!(x0 > 0.0 && x0 < X)) x0 = cold_start(family, X);
  const double x = solve_polynomial(mb, chelator_count(family, electrode), X, x0);
  return response_at(family, electrode, dilution, a, Y, mb, x);
}

// Slots that enter the mass balance (concentrations and constants) move the free Ca;
// responses, electrode factor and offset, and spares do not. A slot the model does not know
// is solved for, to be safe.
bool moves_free_ca(const ModelInfo& model, int slot) {
  if (slot > model.slots) return true;
  const SlotKind kind = model.slot[slot].kind;
  return kind == SlotKind::Concentration || kind == SlotKind::AssociationConstant ||
         kind == SlotKind::DissociationConstant;
}

}  // namespace

double uM_to_internal(double uM) { return uM * 1000.0; }
double internal_to_uM(double nM) { return nM * 0.001; }
double logK_to_internal(double logK) { return std::pow(10.0, logK) * 1e-9; }
double internal_to_logK(double K) { return std::log10(K * 1e9); }
double logKd_to_internal(double logKd) { return std::pow(10.0, logKd) * kLogKdFactor; }
double internal_to_logKd(double Kd) { return std::log10(Kd * 1e-9); }

double model_response(ModelFamily family, bool electrode, bool dilution, double X, const Vec& a,
                      double Y, Vec& bound, Vec& freeCa, int i) {
  const Evaluation e = evaluate(family, electrode, dilution, X, a, Y, freeCa[i]);
  bound[i] = e.bound;
  freeCa[i] = e.freeCa;
  return e.response;
}

// Central differences with h = 1e-5 a_k (1e-9 for a zero slot). The response at the
// unchanged vector is computed first, which changes nothing (a is restored exactly before
// each evaluation), and gives the warm starts: the +h solve starts from the unchanged free
// Ca and the -h solve from its mirror image 2 x - x(+h), which is off by O(h^2) only. Slots
// outside the mass balance leave the free Ca unchanged and need no solve.
double model_fit_evaluation(ModelFamily family, bool electrode, bool dilution, double X, Vec& a,
                            double Y, int nParams, Vec& dyda, Vec& bound, Vec& freeCa) {
  const Evaluation base = evaluate(family, electrode, dilution, X, a, Y, freeCa[1]);
  const bool polynomial = family != ModelFamily::OneSite;
  const MassBalance mb = polynomial ? mass_balance(family, electrode, a, Y) : MassBalance{};
  const ModelInfo& model = model_info(model_number(family, electrode));
  for (int k = 1; k <= nParams; ++k) {
    const double original = a[k];
    const double h = original == 0.0 ? 1e-9 : 1e-5 * original;
    const bool solve = !polynomial || moves_free_ca(model, k);
    a[k] = original + h;
    const Evaluation up = solve ? evaluate(family, electrode, dilution, X, a, Y, base.freeCa)
                                : response_at(family, electrode, dilution, a, Y, mb, base.freeCa);
    a[k] = original - h;
    const Evaluation down =
        solve ? evaluate(family, electrode, dilution, X, a, Y, 2.0 * base.freeCa - up.freeCa)
              : response_at(family, electrode, dilution, a, Y, mb, base.freeCa);
    a[k] = original;
    dyda[k] = (up.response - down.response) / (2.0 * h);
  }
  bound[1] = base.bound;
  freeCa[1] = base.freeCa;
  return base.response;
}

double user_to_internal(SlotKind kind, double userValue) {
  switch (kind) {
    case SlotKind::Concentration: return uM_to_internal(userValue);
    case SlotKind::AssociationConstant: return logK_to_internal(userValue);
    case SlotKind::DissociationConstant: return logKd_to_internal(userValue);
    default: return userValue;
  }
}

double internal_to_user(SlotKind kind, double internalValue) {
  switch (kind) {
    case SlotKind::Concentration: return internal_to_uM(internalValue);
    case SlotKind::AssociationConstant: return internal_to_logK(internalValue);
    case SlotKind::DissociationConstant: return internal_to_logKd(internalValue);
    default: return internalValue;
  }
}

void dilution_factors(const Vec& V, int n, Vec& Y) {
  for (int i = 1; i <= n; ++i) Y[i] = V[1] / V[i];
}
