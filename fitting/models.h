// The ten binding models' mathematics: unit conversions and the evaluation of one titration
// point (what each model and slot is: model_registry.h). Internal units: concentrations nM, association constants nM^-1,
// dissociation constants nM. Users see uM and decimal logarithms of molar constants.
#pragma once

#include "fitting/model_registry.h"
#include "fitting/numeric_arrays.h"

// User <-> internal conversions. The log Kd factor is the double nearest 1/1e-9.
double uM_to_internal(double uM);          // c * 1000 (nM)
double internal_to_uM(double nM);          // slot * 0.001
double logK_to_internal(double logK);      // 10^logK * 1e-9 (nM^-1)
double internal_to_logK(double K);         // log10(slot * 1e9)
double logKd_to_internal(double logKd);    // 10^logKd * (1/1e-9) (nM)
double internal_to_logKd(double Kd);       // log10(slot * 1e-9)

// Response at one titration point: X total Ca (nM, start Ca included), Y dilution factor
// V1/Vi. Stores the bound fraction and the free Ca (nM) in bound[i] and freeCa[i]; freeCa[i]
// on entry may hold the previous evaluation's free Ca and is used as a warm start.
// X <= 0 gives free Ca 0, bound fraction 0 and the Ca-free response (model 1: R0, undiluted);
// electrode models then return -inf (the logarithm of 0), so callers leave such points out.
double model_response(ModelFamily family, bool electrode, bool dilution, double X, const Vec& a,
                      double Y, Vec& bound, Vec& freeCa, int i);

// Response and its central-difference derivatives dyda[1..nParams] (every slot, fitted or
// not). a is restored exactly before returning. Uses the result vectors at index 1.
double model_fit_evaluation(ModelFamily family, bool electrode, bool dilution, double X, Vec& a,
                            double Y, int nParams, Vec& dyda, Vec& bound, Vec& freeCa);

// ---- Additions: slot conversions, dilution factors and the adapter the least-squares core calls.

// A slot value as the user types and reads it <-> internal units (see SlotKind).
double user_to_internal(SlotKind kind, double userValue);
double internal_to_user(SlotKind kind, double internalValue);

// Y[i] = V[1] / V[i] for i = 1..n: each point's dilution relative to the first point.
void dilution_factors(const Vec& V, int n, Vec& Y);

// A binding model bound to its flags and result vectors, in the callable form the
// least-squares core takes: response at (X, Y) and dR/da[1..ma] into dyda.
struct BindingFitModel {
  ModelFamily family;
  bool electrode;
  bool dilution;
  Vec& bound;   // result vectors used with index 1, kept across the run (warm starts)
  Vec& freeCa;
  double operator()(double X, double Y, Vec& a, int ma, Vec& dyda) const {
    return model_fit_evaluation(family, electrode, dilution, X, a, Y, ma, dyda, bound, freeCa);
  }
};
