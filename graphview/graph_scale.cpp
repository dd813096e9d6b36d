#include "graphview/graph_scale.h"

#include <algorithm>
#include <cmath>
#include <limits>

double NiceStep(double span) {
  if (!std::isfinite(span)) return 1.0;
  // Bring the span into [10, 100], remembering the powers of ten taken out.
  double s = std::fabs(span);
  double up = 1.0, down = 1.0;
  while (!((s >= 10.0 && s <= 100.0) || s == 0.0)) {
    if (s > 100.0) {
      s *= 0.1;
      up *= 10.0;
    }
    if (s < 10.0) {
      s *= 10.0;
      down *= 10.0;
    }
  }
  // Pick the step of 1, 2, 5 or 10 (ties to the larger) that cuts d into closest to ten
  // intervals.
  const int d = static_cast<int>(s);
  const int e1 = std::abs(d - 10), e2 = std::abs(d / 2 - 10);
  const int e5 = std::abs(d / 5 - 10), e10 = std::abs(d / 10 - 10);
  const int m = std::min({e1, e2, e5, e10});
  const double base = e10 == m ? 10.0 : e5 == m ? 5.0 : e2 == m ? 2.0 : 1.0;
  const double step = base * up / down;
  return step == 0.0 ? 1.0 : step;
}

void GraphPointTable::Collect(const Titration& doc) {
  m_nGraphPoints = 0;
  m_nCaCells = 0;
  for (int row = 0; row < Titration::kRows; ++row) {
    const CCell& response = doc.m_cells[row][0];
    const CCell& addedCa = doc.m_cells[row][1];
    if (!addedCa.Text().empty()) ++m_nCaCells;
    if (response.Text().empty() || addedCa.Text().empty()) continue;
    m_graphPoints[m_nGraphPoints++] = {response.GetValue(), addedCa.GetValue()};
  }
  // Entries past the points are cleared, not left from an earlier redraw: a deleted row
  // must not keep stretching the automatic axes.
  for (int i = m_nGraphPoints; i < Titration::kRows; ++i) m_graphPoints[i] = Entry{};
}

namespace {

template <typename Field, typename Better>
double Scan(const GraphPointTable& t, Field field, Better better) {
  double best = field(t.m_graphPoints[0]);
  for (const auto& e : t.m_graphPoints)
    if (better(field(e), best)) best = field(e);
  return best;
}

double ResponseOf(const GraphPointTable::Entry& e) { return e.response; }
double AddedCaOf(const GraphPointTable::Entry& e) { return e.addedCa; }
bool Larger(double a, double b) { return a > b; }
bool Smaller(double a, double b) { return a < b; }

}  // namespace

double GraphPointTable::MaxResponse() const { return Scan(*this, ResponseOf, Larger); }
double GraphPointTable::MinResponse() const { return Scan(*this, ResponseOf, Smaller); }
double GraphPointTable::MaxAddedCa() const { return Scan(*this, AddedCaOf, Larger); }
double GraphPointTable::MinAddedCa() const { return Scan(*this, AddedCaOf, Smaller); }

double GraphPointTable::PositiveMinimum() const {
  return Scan(*this, ResponseOf, [](double v, double best) { return v < best && v > 0.0; });
}

double CurveMaximum(const Titration& doc) {
  double best = -std::numeric_limits<double>::infinity();
  for (int k = 1; k <= Titration::kMaxSims; ++k) {
    if (doc.m_bSlotFree[k] != 0) continue;
    for (const SimPoint& p : doc.m_simCurve)
      if (std::isfinite(p.y[k]) && p.y[k] > best) best = p.y[k];
  }
  return best;
}

double GridCaMaximum(const Titration& doc) {
  double best = doc.m_cells[0][1].GetValue();
  for (const auto& row : doc.m_cells) best = std::max(best, row[1].GetValue());
  return best;
}

void GraphState::Reset() {
  points = GraphPointTable{};
  scale.m_dXStep = scale.m_dYStep = 1.0;
  limits = AxisLimits{};
}

int IntervalCount(double span, double step) {
  const double n = span / step + 1.0;
  if (!std::isfinite(n) || n < 1.0) return 1;
  // A nice step makes ten to twenty intervals; the cap only guards against absurd limits.
  return n > 1000.0 ? 1000 : static_cast<int>(n);
}

namespace {

// Y start from the positive minimum p: one step below the first multiple of the step that
// reaches p (so p = 0.52 with step 0.05 gives 0.5, and p = 2 with step 1 gives 1); minus
// one step when p is not positive. The running sum is kept as is for ordinary data; only a
// minimum millions of steps away from zero, where the sum might never arrive, is counted
// by division instead.
double PositiveMinimumStart(double p, double step) {
  double start = 0.0;
  double n = 0.0;
  if (p > 0.0) {
    constexpr int kMaxSteps = 1000000;
    while (p > start && n < kMaxSteps) {
      start += step;
      n += 1.0;
    }
    if (p > start) n = std::ceil(p / step);
  }
  return (n - 1.0) * step;
}

void StoreLimits(AxisLimits& limits, const GraphScale& s) {
  limits.xMin = s.xMin;
  limits.xMax = s.xMax;
  limits.yMin = s.yMin;
  limits.yMax = s.yMax;
}

// Fixed axes after a simulation: the document's limits widened to the curves, from the origin.
void ExtendToSims(AxisLimits& limits, const Titration& doc, double yStart) {
  limits.yMax = std::max(limits.yMax, CurveMaximum(doc));
  limits.xMax = std::max(limits.xMax, GridCaMaximum(doc));
  limits.yMin = yStart;
  limits.xMin = 0.0;
}

void ComputeSteps(GraphScale& s) {
  s.m_dYStep = NiceStep(s.yMax - s.yMin);
  s.m_dXStep = NiceStep(s.xMax - s.xMin);
}

}  // namespace

AxisLimits FixedLimitsOf(const Titration& doc) { return {doc.m_dXMin, doc.m_dXMax, doc.m_dYMin, doc.m_dYMax}; }

void RunScalingPass(const Titration& doc, GraphState& state) {
  const GraphPointTable& t = state.points;
  GraphScale& s = state.scale;
  AxisLimits& limits = state.limits;
  const bool fixed = doc.m_bAxisFixed != 0;

  limits = FixedLimitsOf(doc);
  if (doc.m_bFitAxesToSims == 1) ExtendToSims(limits, doc, state.m_dYStart);

  if (fixed) {
    s.xMin = limits.xMin;
    s.xMax = limits.xMax;
    s.yMin = limits.yMin;
    s.yMax = limits.yMax;
  } else {
    s.yMax = t.MaxResponse();
    s.xMax = t.MaxAddedCa();
    s.yMin = t.MinResponse();
    s.xMin = t.MinAddedCa();
    StoreLimits(limits, s);
  }
  ComputeSteps(s);

  if (!fixed) {
    state.m_dYStart = PositiveMinimumStart(t.PositiveMinimum(), s.m_dYStep);
    if (state.m_dYStart > 0.0) {
      s.yMin = state.m_dYStart;
      limits.yMin = s.yMin;
      ComputeSteps(s);
    }
  }

  if (doc.m_bHaveSims == 1 && !fixed) {
    // Simulated curves usually reach beyond the data: show them whole, from the origin.
    s.yMax = std::max(s.yMax, CurveMaximum(doc));
    s.xMax = std::max(s.xMax, GridCaMaximum(doc));
    s.yMin = 0.0;
    s.xMin = 0.0;
    limits.xMax = s.xMax;
    limits.yMax = s.yMax;
    s.m_dYStep = NiceStep(s.yMax);
    s.m_dXStep = NiceStep(s.xMax);
  }

  s.m_nXIntervals = IntervalCount(s.xMax - s.xMin, s.m_dXStep);
  s.m_nYIntervals = IntervalCount(s.yMax - s.yMin, s.m_dYStep);
}

bool GraphMapping::InsideOrOnFrame(double px, double py) const {
  return plot.left <= px && px <= plot.right && plot.top <= py && py <= plot.bottom;
}

bool GraphMapping::StrictlyInside(double px, double py) const {
  return plot.left < px && px < plot.right && plot.top < py && py < plot.bottom;
}

GraphMapping MakeGraphMapping(const GraphScale& scale, const CanvasRect& plot) {
  GraphMapping m;
  m.plot = plot;
  m.xMin = scale.xMin;
  m.yMin = scale.yMin;
  m.xRange = scale.XRange();
  m.yRange = scale.YRange();
  m.plotWidth = plot.right - plot.left;
  m.plotHeight = plot.bottom - plot.top;
  return m;
}

int ToPixel(double v) {
  constexpr double kFar = 4.0e6;  // well inside int and the drawing back ends' fixed point
  if (std::isnan(v)) return 0;
  return static_cast<int>(std::clamp(v, -kFar, kFar));
}
