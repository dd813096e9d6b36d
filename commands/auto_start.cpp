#include "commands/auto_start.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "fitting/models.h"

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

using RowValues = std::vector<double>;  // rows 0..kValueRows in dialog units, row 0 unused

// The fitted rows the response is linear in (responses, electrode factor and offset) and the
// fitted binding constants (log K rows), in row order.
struct FittedRows {
  std::vector<int> linear, constants;
};

FittedRows fitted_rows(int model, const FitSettings& s) {
  int flags[ParamSet::kSlots];
  const int n = fit_flags_for_model(model, s.m_bFitSlot, flags);
  FittedRows rows;
  for (int k = 1; k <= n; ++k) {
    if (!flags[k]) continue;
    const SlotKind kind = slot_kind(model, k);
    if (is_signal_slot(kind)) rows.linear.push_back(k);
    if (kind == SlotKind::AssociationConstant) rows.constants.push_back(k);
  }
  return rows;
}

// Solves the m x m system A c = b (m <= a few) by elimination with partial pivoting; false
// when it is singular or not finite.
bool solve_small(std::vector<std::vector<double>> A, std::vector<double> b, std::vector<double>& c) {
  const std::size_t m = b.size();
  for (std::size_t col = 0; col < m; ++col) {
    std::size_t pivot = col;
    for (std::size_t r = col + 1; r < m; ++r)
      if (std::fabs(A[r][col]) > std::fabs(A[pivot][col])) pivot = r;
    const double scale = std::fabs(A[col][col]) + std::fabs(A[pivot][col]);
    if (!(std::fabs(A[pivot][col]) > 1e-300) || !std::isfinite(scale)) return false;
    std::swap(A[col], A[pivot]);
    std::swap(b[col], b[pivot]);
    for (std::size_t r = col + 1; r < m; ++r) {
      const double f = A[r][col] / A[col][col];
      for (std::size_t j = col; j < m; ++j) A[r][j] -= f * A[col][j];
      b[r] -= f * b[col];
    }
  }
  c.assign(m, 0.0);
  for (std::size_t i = m; i-- > 0;) {
    double sum = b[i];
    for (std::size_t j = i + 1; j < m; ++j) sum -= A[i][j] * c[j];
    c[i] = sum / A[i][i];
    if (!std::isfinite(c[i])) return false;
  }
  return true;
}

// Chi-square of trial row values over the fit's points, with the linear rows set to their
// best values for the trial's constants (the response is linear in them).
class GridEvaluator {
 public:
  GridEvaluator(const FitJob& job, const FittedRows& rows)
      : job_(job), rows_(rows), info_(model_info(job.model)), n_(static_cast<int>(job.x.size())),
        a_(ParamSet::kSlots), bound_(n_), freeCa_(n_) {}

  // Fills values' linear rows; returns the chi-square (infinite when it cannot be had).
  double Evaluate(RowValues& values) {
    RowValues trial = values;
    for (int row : rows_.linear) trial[static_cast<std::size_t>(row)] = 0.0;
    std::vector<double> base;
    if (!Responses(trial, base)) return kInfinity;
    std::vector<std::vector<double>> basis;
    for (int row : rows_.linear) {
      trial[static_cast<std::size_t>(row)] = 1.0;
      std::vector<double> r;
      if (!Responses(trial, r)) return kInfinity;
      for (int i = 0; i < n_; ++i) r[static_cast<std::size_t>(i)] -= base[static_cast<std::size_t>(i)];
      basis.push_back(std::move(r));
      trial[static_cast<std::size_t>(row)] = 0.0;
    }
    std::vector<double> coef;
    if (!SolveLinearRows(base, basis, coef)) return kInfinity;
    for (std::size_t j = 0; j < rows_.linear.size(); ++j) values[static_cast<std::size_t>(rows_.linear[j])] = coef[j];
    return ChiSquare(base, basis, coef);
  }

 private:
  bool Responses(const RowValues& rowValues, std::vector<double>& out) {
    double slots[ParamSet::kSlots];
    convert_start_values(job_.model, rowValues.data(), slots);
    for (int k = 1; k < ParamSet::kSlots; ++k) a_[k] = slots[k];
    out.resize(static_cast<std::size_t>(n_));
    for (int i = 0; i < n_; ++i) {
      const std::size_t u = static_cast<std::size_t>(i);
      out[u] = model_response(info_.family, info_.electrode, job_.dilution, job_.x[u], a_, job_.Y[u], bound_, freeCa_, i + 1);
      if (!std::isfinite(out[u])) return false;
    }
    return true;
  }

  double Weight(int i) const {
    const double s = job_.sigma[static_cast<std::size_t>(i)];
    return 1.0 / (s * s);
  }

  bool SolveLinearRows(const std::vector<double>& base, const std::vector<std::vector<double>>& basis,
                       std::vector<double>& coef) const {
    const std::size_t m = basis.size();
    std::vector<std::vector<double>> A(m, std::vector<double>(m, 0.0));
    std::vector<double> b(m, 0.0);
    for (int i = 0; i < n_; ++i) {
      const std::size_t u = static_cast<std::size_t>(i);
      const double w = Weight(i), r = job_.y[u] - base[u];
      for (std::size_t j = 0; j < m; ++j) {
        b[j] += w * basis[j][u] * r;
        for (std::size_t k = 0; k < m; ++k) A[j][k] += w * basis[j][u] * basis[k][u];
      }
    }
    return solve_small(A, b, coef);
  }

  double ChiSquare(const std::vector<double>& base, const std::vector<std::vector<double>>& basis,
                   const std::vector<double>& coef) const {
    double chi = 0.0;
    for (int i = 0; i < n_; ++i) {
      const std::size_t u = static_cast<std::size_t>(i);
      double r = job_.y[u] - base[u];
      for (std::size_t j = 0; j < coef.size(); ++j) r -= coef[j] * basis[j][u];
      chi += Weight(i) * r * r;
    }
    return std::isfinite(chi) ? chi : kInfinity;
  }

  const FitJob& job_;
  const FittedRows& rows_;
  const ModelInfo& info_;
  int n_;
  Vec a_, bound_, freeCa_;
};

struct Candidate {
  RowValues values;
  double chiSquare = kInfinity;
};

// Keeps the best few distinct candidates seen, best first.
class BestCandidates {
 public:
  explicit BestCandidates(std::size_t keep) : keep_(keep) {}
  void Offer(const Candidate& c) {
    if (!std::isfinite(c.chiSquare)) return;
    list_.push_back(c);
    std::sort(list_.begin(), list_.end(), [](const Candidate& a, const Candidate& b) { return a.chiSquare < b.chiSquare; });
    if (list_.size() > keep_) list_.pop_back();
  }
  const std::vector<Candidate>& List() const { return list_; }

 private:
  std::size_t keep_;
  std::vector<Candidate> list_;
};

Candidate evaluate_constants(GridEvaluator& grid, const RowValues& typed, const std::vector<int>& constantRows,
                             const std::vector<double>& logK) {
  Candidate c{typed, kInfinity};
  for (std::size_t i = 0; i < constantRows.size(); ++i) c.values[static_cast<std::size_t>(constantRows[i])] = logK[i];
  c.chiSquare = grid.Evaluate(c.values);
  return c;
}

// First every constant at one common value, then spread evenly around the best common value
// (falling or rising with the site number): the stepwise constants of real proteins rarely
// lie far apart, and the broad search that follows moves each one on its own.
void search_grid(GridEvaluator& grid, const RowValues& typed, const std::vector<int>& constantRows,
                 BestCandidates& best) {
  const std::size_t m = constantRows.size();
  if (m == 0) {
    best.Offer(evaluate_constants(grid, typed, constantRows, {}));
    return;
  }
  double bestCommon = kAutoStartLogKLow, bestChi = kInfinity;
  for (double c = kAutoStartLogKLow; c <= kAutoStartLogKHigh + 1e-9; c += kAutoStartLogKStep) {
    const Candidate cand = evaluate_constants(grid, typed, constantRows, std::vector<double>(m, c));
    best.Offer(cand);
    if (cand.chiSquare < bestChi) bestChi = cand.chiSquare, bestCommon = c;
  }
  if (m == 1) return;
  const double mid = 0.5 * static_cast<double>(m - 1);
  for (double dc : {-1.0, -0.5, 0.0, 0.5, 1.0})
    for (double spread : {-1.5, -1.0, -0.5, -0.25, 0.25, 0.5, 1.0, 1.5}) {
      std::vector<double> logK(m);
      for (std::size_t i = 0; i < m; ++i) logK[i] = bestCommon + dc + spread * (static_cast<double>(i) - mid);
      best.Offer(evaluate_constants(grid, typed, constantRows, logK));
    }
}

// The fit settings of a start-value trial: the candidate's values, the broad search, no
// error estimation (only the values are wanted).
FitSettings trial_settings(const FitSettings& s, const RowValues& values) {
  FitSettings t = s;
  for (int row = 1; row <= kValueRows; ++row) t.m_dValue[row] = values[static_cast<std::size_t>(row)];
  t.m_bExtensive = 1;
  t.m_bEstimateErrors = 0;
  t.m_bUseConstantSD = 0;
  t.m_bUseJackknife = 0;
  return t;
}

void report(FitProgress* progress, int position) {
  if (progress) progress->SetPosition(position);
}

}  // namespace

AutoStartOutcome estimate_start_values(const Titration& doc, FitSettings& s, FitProgress* progress) {
  AutoStartOutcome outcome;
  const int model = s.m_nModelIndex + 1;
  const std::optional<FitJob> job = prepare_fit(doc, s);
  if (!job) {
    outcome.message = kAutoStartNoPointsMessage;
    return outcome;
  }
  report(progress, 0);
  const FittedRows rows = fitted_rows(model, s);
  RowValues typed(s.m_dValue, s.m_dValue + kValueRows + 1);
  GridEvaluator grid(*job, rows);
  BestCandidates best(3);
  search_grid(grid, typed, rows.constants, best);
  if (best.List().empty()) {
    outcome.message = "Start values cannot be estimated: the model gives no finite response for these points.";
    return outcome;
  }
  outcome.gridChiSquare = best.List().front().chiSquare;
  report(progress, 10);

  // Each of the best grid points is fitted with the broad search; the lowest fit wins.
  double bestChi = kInfinity;
  FitResult bestFit;
  int done = 0;
  for (const Candidate& c : best.List()) {
    const std::optional<FitJob> trial = prepare_fit(doc, trial_settings(s, c.values));
    const FitResult r = compute_fit(*trial, nullptr);
    if (std::isfinite(r.params[0]) && r.params[0] < bestChi) bestChi = r.params[0], bestFit = r;
    report(progress, 10 + 89 * ++done / static_cast<int>(best.List().size()));
  }
  if (!std::isfinite(bestChi)) {
    outcome.message = "Start values cannot be estimated: no fit from the estimated values ended with a finite chi-square.";
    return outcome;
  }
  int flags[ParamSet::kSlots];
  const int n = fit_flags_for_model(model, s.m_bFitSlot, flags);
  // The broad search moves each constant half a log unit from where it starts; once more from
  // the best fit lets constants that started a whole unit away arrive.
  RowValues refined = typed;
  for (int k = 1; k <= n; ++k)
    if (flags[k]) refined[static_cast<std::size_t>(k)] = internal_to_user(slot_kind(model, k), bestFit.params[k]);
  const FitResult again = compute_fit(*prepare_fit(doc, trial_settings(s, refined)), nullptr);
  if (std::isfinite(again.params[0]) && again.params[0] < bestChi) bestChi = again.params[0], bestFit = again;
  for (int k = 1; k <= n; ++k)
    if (flags[k]) s.m_dValue[k] = internal_to_user(slot_kind(model, k), bestFit.params[k]);
  outcome.ok = true;
  outcome.chiSquare = bestChi;
  report(progress, 100);
  return outcome;
}

AutoStartOutcome estimate_simulation_values(const Titration& doc, SimulateSettings& s) {
  FitSettings f;
  f.m_nModelIndex = s.m_nModelIndex;
  Titration scratch;  // configuring the check boxes records the model in a document
  fit_dialog_configure(f, scratch);
  for (int row = 1; row <= kValueRows; ++row) f.m_dValue[row] = s.m_dValue[row];
  f.m_dStartCa = s.m_dStartCa;
  f.m_bDilution = s.m_bDilution;
  const AutoStartOutcome out = estimate_start_values(doc, f);
  if (out.ok)
    for (int row = 1; row <= kValueRows; ++row) s.m_dValue[row] = f.m_dValue[row];
  return out;
}
