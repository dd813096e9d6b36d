// Fits that must find known parameters again: each model simulates a noisy series with the
// core's own model, and the Fit command starts where a user would (constants 0.5 log units
// off, concentrations 20 % off, responses a few percent off).
#include <cmath>

#include <gtest/gtest.h>

#include "commands/fit_command.h"
#include "series.h"

namespace {

struct RecoveryCase {
  const char* name;
  SeriesSpec series;
  bool extensive = false;
};

// Start values: log constants 0.5 off (alternating sign), concentrations 1.2 x, responses
// 1.03 x. Slots that are not fitted keep their true values, as a user types known values.
void start_values(const SeriesSpec& s, const int fitFlags[], double start[]) {
  int sign = 1;
  for (int row = 1; row <= kValueRows; ++row) {
    start[row] = s.rows[row];
    if (row > model_info(s.model).slots || !fitFlags[row]) continue;
    switch (slot_kind(s.model, row)) {
      case SlotKind::AssociationConstant:
      case SlotKind::DissociationConstant: start[row] += 0.5 * sign; sign = -sign; break;
      case SlotKind::Concentration: start[row] *= 1.2; break;
      case SlotKind::Response:
      case SlotKind::ElectrodeFactor: start[row] *= 1.03; break;
      case SlotKind::Spare: break;
    }
  }
}

FitSettings settings_for(const RecoveryCase& c, Titration& doc) {
  FitSettings s;
  s.m_nModelIndex = c.series.model - 1;
  fit_dialog_open(s, doc);  // the model's fit-flag defaults, as on choosing it
  start_values(c.series, s.m_bFitSlot, s.m_dValue);
  s.m_dStartCa = c.series.startCaUM;
  s.m_bDilution = c.series.dilution;
  fit_dialog_choose_error_radio(s, ErrorRadio::ConstantSD);
  s.m_dConstantSD = c.series.noise;
  s.m_bExtensive = c.extensive;
  return s;
}

std::vector<RecoveryCase> cases() {
  std::vector<RecoveryCase> c;
  c.push_back({"one site", series_design(1, {1.0, 2.0, 10.0, 6.0}, 60, 0.002)});
  c.push_back({"two sites + chelator", series_design(2, {0.1, 1.0, 20.0, -6.0, 6.5, 6.0, 25.0}, 120, 0.002)});
  c.push_back({"two sites", series_design(3, {1.0, 1.5, 2.2, 10.0, 6.0, 5.5}, 80, 0.002)});
  c.push_back({"four sites + chelator",
               series_design(4, {0.1, 1.0, 10.0, -6.0, 6.6, 6.2, 5.8, 5.5, 20.0}, 150, 0.002), true});
  c.push_back({"two sites + two chelators",
               series_design(5, {0.1, 1.0, 15.0, -6.0, -6.5, 6.5, 6.0, 20.0, 10.0}, 120, 0.002)});
  c.push_back({"six sites + chelator",
               series_design(6, {0.1, 1.0, 5.0, -6.0, 6.5, 6.3, 6.1, 5.9, 5.7, 5.5, 20.0}, 150, 0.002)});
  c.push_back({"one site electrode", series_design(7, {25.0, 10.0, 50.0, 5.0}, 300, 0.05)});
  c.push_back({"two sites electrode", series_design(8, {25.0, 10.0, 50.0, 5.5, 5.0}, 300, 0.05)});
  c.push_back({"four sites electrode", series_design(9, {25.0, 10.0, 30.0, 6.0, 5.8, 5.6, 5.4}, 500, 0.05), true});
  c.push_back({"six sites electrode",
               series_design(10, {25.0, 10.0, 20.0, 5.5, 5.4, 5.3, 5.2, 5.1, 5.0}, 300, 0.05), true});
  // Start Ca 0 and a first row of added Ca 0: the first total Ca is exactly 0.
  RecoveryCase startCa{"one site, start Ca 1 uM", series_design(1, {1.0, 2.0, 10.0, 6.0}, 60, 0.002)};
  startCa.series.startCaUM = 1.0;
  c.push_back(startCa);
  return c;
}

void PrintTo(const RecoveryCase& c, std::ostream* os) { *os << c.name; }

class FitRecovery : public ::testing::TestWithParam<RecoveryCase> {};

TEST_P(FitRecovery, FindsTheTrueParametersWithinTheirErrors) {
  const RecoveryCase& c = GetParam();
  Titration doc;
  write_series(doc, c.series);
  if (model_info(c.series.model).electrode) {
    // At total Ca 0 the electrode reads its baseline; the model has no finite value there.
    doc.m_cells[0][0].SetText("-80");
  }
  FitSettings s = settings_for(c, doc);
  FitOutcome out = run_fit_command(doc, s, nullptr, {});
  ASSERT_TRUE(out.fitted);
  EXPECT_EQ(out.result.status, 0);
  ASSERT_EQ(doc.m_fit.m_bErrors, 1);

  double truth[ParamSet::kSlots];
  const int ma = convert_start_values(c.series.model, c.series.rows, truth);
  int fitted = 0;
  int flags[ParamSet::kSlots];
  fit_flags_for_model(c.series.model, s.m_bFitSlot, flags);
  for (int k = 1; k <= ma; ++k) fitted += flags[k];
  const int used = c.series.points - (model_info(c.series.model).electrode ? 1 : 0);
  const double chiPerDegree = doc.m_fit.m_p[0] / (used - fitted) / (c.series.noise * c.series.noise);
  EXPECT_GT(chiPerDegree, 0.5) << c.name;
  EXPECT_LT(chiPerDegree, 1.6) << c.name;

  for (int k = 1; k <= doc.m_fit.m_nParams; ++k) {
    const double got = doc.m_fit.m_p[k], err = doc.m_fit.m_err[k];
    if (!flags[k]) {
      EXPECT_EQ(got, truth[k]) << c.name << " slot " << k << " is not fitted and must not move";
      EXPECT_EQ(err, 0.0) << c.name << " slot " << k;
      continue;
    }
    EXPECT_LE(std::fabs(got - truth[k]), 4.0 * err + 1e-9 * std::fabs(truth[k]))
        << c.name << " slot " << k << ": fitted " << got << " true " << truth[k] << " error " << err;
  }

  // The fit ended at the minimum: the broad search restarted from the truth finds no lower
  // chi-square.
  const double got = out.result.params[0];
  FitSettings fromTruth = s;
  for (int row = 1; row <= kValueRows; ++row) fromTruth.m_dValue[row] = c.series.rows[row];
  fromTruth.m_bExtensive = 1;
  const FitOutcome reference = run_fit_command(doc, fromTruth, nullptr, {});
  ASSERT_TRUE(reference.fitted);
  EXPECT_LE(got, reference.result.params[0] * (1 + 1e-6)) << c.name;
}

INSTANTIATE_TEST_SUITE_P(AllModels, FitRecovery, ::testing::ValuesIn(cases()),
                         [](const auto& info) {
                           std::string n = info.param.name;
                           for (char& ch : n)
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return n;
                         });

}  // namespace

// The six-site schedule alone ends each run after two small steps on a flat valley; the
// polish must carry the standard fit down to the minimum a broad search from the truth finds.
TEST(FitPolish, StandardSixSiteFitReachesTheBroadSearchMinimumFromTheTruth) {
  RecoveryCase c{"six sites + chelator",
                 series_design(6, {0.1, 1.0, 5.0, -6.0, 6.5, 6.3, 6.1, 5.9, 5.7, 5.5, 20.0}, 150, 0.002)};
  c.series.points = 99;
  Titration doc;
  write_series(doc, c.series);
  FitSettings standard = settings_for(c, doc);
  const FitOutcome fromStart = run_fit_command(doc, standard, nullptr, {});
  ASSERT_TRUE(fromStart.fitted);
  EXPECT_EQ(fromStart.result.stop, FitStop::Converged);
  EXPECT_GT(fromStart.result.polishRuns, 1) << "the schedule alone had not converged";

  FitSettings truth = standard;
  for (int row = 1; row <= kValueRows; ++row) truth.m_dValue[row] = c.series.rows[row];
  truth.m_bExtensive = 1;
  const FitOutcome reference = run_fit_command(doc, truth, nullptr, {});
  ASSERT_TRUE(reference.fitted);
  const double got = fromStart.result.params[0], best = reference.result.params[0];
  EXPECT_LE(got, best * (1 + 1e-6)) << "standard " << got << ", broad search from the truth " << best;
  EXPECT_EQ(doc.m_fitRun.runs, reference.result.runs);
  EXPECT_TRUE(doc.m_fitRun.known);
}
