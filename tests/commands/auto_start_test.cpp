// Start values estimated from the data must lead to the same minimum as a start at the true
// constants, for every model, whatever the user typed in the fitted rows.
#include <cmath>

#include <gtest/gtest.h>

#include "commands/auto_start.h"
#include "series.h"

namespace {

struct AutoCase {
  const char* name;
  SeriesSpec series;
};

std::vector<AutoCase> cases() {
  return {
      {"one site", series_design(1, {1.0, 2.0, 10.0, 6.0}, 60, 0.002, 60)},
      {"one site weak", series_design(1, {0.5, 1.5, 10.0, 4.2}, 900, 0.002, 60)},
      {"two sites + chelator", series_design(2, {0.1, 1.0, 20.0, -6.0, 6.5, 6.0, 25.0}, 120, 0.002, 60)},
      {"two sites", series_design(3, {1.0, 1.5, 2.2, 10.0, 6.0, 5.5}, 80, 0.002, 60)},
      {"four sites + chelator", series_design(4, {0.1, 1.0, 10.0, -6.0, 6.6, 6.2, 5.8, 5.5, 20.0}, 150, 0.002, 60)},
      {"two sites + two chelators", series_design(5, {0.1, 1.0, 15.0, -6.0, -6.5, 6.5, 6.0, 20.0, 10.0}, 120, 0.002, 60)},
      {"six sites + chelator", series_design(6, {0.1, 1.0, 5.0, -6.0, 6.5, 6.3, 6.1, 5.9, 5.7, 5.5, 20.0}, 150, 0.002, 60)},
      {"one site electrode", series_design(7, {25.0, 10.0, 50.0, 5.0}, 300, 0.05, 60)},
      {"two sites electrode", series_design(8, {25.0, 10.0, 50.0, 5.5, 5.0}, 300, 0.05, 60)},
      {"four sites electrode", series_design(9, {25.0, 10.0, 30.0, 6.0, 5.8, 5.6, 5.4}, 500, 0.05, 60)},
      {"six sites electrode", series_design(10, {25.0, 10.0, 20.0, 5.5, 5.4, 5.3, 5.2, 5.1, 5.0}, 300, 0.05, 60)},
  };
}

void PrintTo(const AutoCase& c, std::ostream* os) { *os << c.name; }

Titration titration_of(const SeriesSpec& s) {
  Titration doc;
  write_series(doc, s);
  // At total Ca 0 an electrode reads its baseline; the model has no finite value there.
  if (model_info(s.model).electrode) doc.m_cells[0][0].SetText("-80");
  return doc;
}

// The dialog after choosing the model: default fit flags, the known rows typed, the fitted
// rows holding values far from anything sensible. Concentrations and chelator constants
// are known to the user, so they are typed as they are.
FitSettings dialog_for(const SeriesSpec& series, Titration& doc) {
  FitSettings s;
  s.m_nModelIndex = series.model - 1;
  fit_dialog_open(s, doc);
  for (int row = 1; row <= kValueRows; ++row) {
    const bool fitted = row <= model_info(series.model).slots && s.m_bFitSlot[row];
    const SlotKind kind = fitted ? slot_kind(series.model, row) : SlotKind::Spare;
    const bool estimated = is_signal_slot(kind) || kind == SlotKind::AssociationConstant;
    s.m_dValue[row] = estimated ? 0.0 : series.rows[row];
  }
  s.m_bDilution = series.dilution;
  return s;
}

double chi_square_from(const Titration& doc, FitSettings s, const double rows[], bool extensive) {
  for (int row = 1; row <= kValueRows; ++row) s.m_dValue[row] = rows[row];
  s.m_bExtensive = extensive;
  const std::optional<FitJob> job = prepare_fit(doc, s);
  return compute_fit(*job, nullptr).params[0];
}

class AutoStart : public ::testing::TestWithParam<AutoCase> {};

TEST_P(AutoStart, ReachesTheMinimumOfAFitFromTheTruth) {
  const AutoCase& c = GetParam();
  Titration doc = titration_of(c.series);
  FitSettings s = dialog_for(c.series, doc);
  const FitSettings typed = s;
  const AutoStartOutcome out = estimate_start_values(doc, s);
  ASSERT_TRUE(out.ok) << out.message;

  const double fromTruth = chi_square_from(doc, s, c.series.rows, true);
  EXPECT_LE(out.chiSquare, fromTruth * (1.0 + 1e-6)) << c.name;
  // The estimates themselves are a start from which the ordinary fit stays at that minimum.
  EXPECT_LE(chi_square_from(doc, s, s.m_dValue, false), fromTruth * (1.0 + 1e-6)) << c.name;

  for (int row = 1; row <= kValueRows; ++row) {
    const bool fitted = s.m_bFitSlot[row] && row <= model_info(c.series.model).slots;
    if (!fitted) {
      EXPECT_EQ(s.m_dValue[row], typed.m_dValue[row]) << c.name << ": unfitted row " << row;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllModels, AutoStart, ::testing::ValuesIn(cases()), [](const auto& info) {
  std::string n = info.param.name;
  for (char& ch : n)
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return n;
});

TEST(AutoStartRefusal, TooFewPointsLeavesTheSettingsAlone) {
  Titration doc;
  doc.m_cells[0][0].SetText("1");
  doc.m_cells[0][2].SetText("2");
  FitSettings s;
  fit_dialog_open(s, doc);
  s.m_dValue[4] = 7.5;
  const AutoStartOutcome out = estimate_start_values(doc, s);
  EXPECT_FALSE(out.ok);
  EXPECT_EQ(out.message, kAutoStartNoPointsMessage);
  EXPECT_EQ(s.m_dValue[4], 7.5);
}

}  // namespace
