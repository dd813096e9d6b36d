// The errors a planned titration is predicted to give must be the scatter its real
// measurements would show: compared with the spread of fits to many noisy simulations of
// the same plan.
#include <cmath>

#include <gtest/gtest.h>

#include "commands/fit_command.h"
#include "commands/precision_prediction.h"
#include "series.h"

namespace {

SeriesSpec plan(unsigned seed, double noise) {
  SeriesSpec s;
  s.model = 2;
  const double rows[] = {0, 0.62, 0.18, 20.0, -5.8, 5.9, 6.3, 25.0};
  for (int r = 1; r <= 7; ++r) s.rows[r] = rows[r];
  s.lastAddedCaUM = 150;
  s.points = 40;
  s.noise = noise;
  s.seed = seed;
  return s;
}

FitSettings expected_settings(const SeriesSpec& s, Titration& doc) {
  FitSettings f;
  f.m_nModelIndex = s.model - 1;
  fit_dialog_open(f, doc);
  for (int r = 1; r <= kValueRows; ++r) f.m_dValue[r] = s.rows[r];
  f.m_bDilution = s.dilution;
  return f;
}

TEST(PrecisionPrediction, MatchesTheScatterOfNoisyMeasurementsOfThePlan) {
  Titration doc;
  write_series(doc, plan(1, 0.0));
  const FitSettings expected = expected_settings(plan(1, 0.0), doc);
  const PrecisionPrediction p = predict_precision(doc, expected, 0.003);
  ASSERT_TRUE(p.ok) << p.message;
  EXPECT_EQ(p.n, 40);

  // The spread of log K1 and log K2 over fits to noisy realisations of the same plan.
  const int trials = 60;
  double sum[2] = {}, sumSq[2] = {};
  for (int t = 0; t < trials; ++t) {
    Titration noisy;
    write_series(noisy, plan(100 + t, 0.003));
    FitSettings s = expected;
    ASSERT_TRUE(run_fit_command(noisy, s, nullptr).fitted);
    for (int i = 0; i < 2; ++i) {
      const double logK = internal_to_logK(noisy.m_fit.m_p[5 + i]);
      sum[i] += logK, sumSq[i] += logK * logK;
    }
  }
  for (int i = 0; i < 2; ++i) {
    const double mean = sum[i] / trials, sd = std::sqrt((sumSq[i] - trials * mean * mean) / (trials - 1));
    const PredictedRow* row = nullptr;
    for (const PredictedRow& r : p.rows)
      if (r.row == 5 + i) row = &r;
    ASSERT_NE(row, nullptr);
    EXPECT_NEAR(row->value, expected.m_dValue[5 + i], 1e-6);
    EXPECT_GT(row->error / sd, 0.7) << "log K" << i + 1;
    EXPECT_LT(row->error / sd, 1.4) << "log K" << i + 1;
  }
}

TEST(PrecisionPrediction, SaysWhatIsMissing) {
  Titration empty;
  FitSettings s;
  fit_dialog_open(s, empty);
  EXPECT_FALSE(predict_precision(empty, s, 0.0).ok);
  const PrecisionPrediction noPlan = predict_precision(empty, s, 0.01);
  EXPECT_FALSE(noPlan.ok);
  EXPECT_NE(noPlan.message.find("Generate Data"), std::string::npos);
}

}  // namespace
