// Every fit and simulation record the commands make, for every model, survives a save and a
// load and evaluates in every export kind over its model's own slots.
#include <cmath>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "commands/fit_settings.h"
#include "commands/simulate_command.h"
#include "document/bwd_file.h"
#include "document/curve_rebuild.h"
#include "fitting/models.h"
#include "outputview/ascii_export.h"

namespace {

// Every dialog row 2.0: 2 uM, log K 2, log Kd 2, responses 2; finite for every model.
Titration document_with_records(int model) {
  Titration doc;
  const char* rows[][3] = {{"1.0", "0", "2.000"}, {"1.2", "30", "2.010"}, {"1.4", "60", "2.020"}};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) doc.m_cells[r][c].SetText(rows[r][c]);
  SimulateSettings sim;
  sim.m_nModelIndex = model - 1;
  for (int row = 1; row <= kValueRows; ++row) sim.m_dValue[row] = 2.0;
  sim.m_dStartCa = 0.5;
  EXPECT_TRUE(run_simulate_command(doc, sim, nullptr).computed) << model;

  ParamSet& fit = doc.m_fit;  // as the fit command stores it
  double slots[ParamSet::kSlots];
  convert_start_values(model, sim.m_dValue, slots);
  fit.m_nModel = model;
  fit.m_nParams = fit_record_param_count(model);
  fit.m_bElectrode = model_info(model).electrode;
  fit.m_bDilution = 1;
  for (int k = 1; k <= fit.m_nParams; ++k) fit.m_p[k] = slots[k];
  doc.m_bShowFit = 1;
  return doc;
}

int finite_numbers(const std::string& text, int* lines) {
  std::istringstream in(text);
  std::string token;
  int finite = 0;
  while (in >> token) finite += std::isfinite(std::stod(token)) ? 1 : 0;
  *lines = 0;
  for (char c : text) *lines += c == '\r' || c == '\n';
  return finite;
}

}  // namespace

TEST(RecordExports, EveryModelsRecordsLoadAndEvaluateInEveryKind) {
  const ExportKind kinds[] = {ExportKind::Points, ExportKind::Fit, ExportKind::Simulation, ExportKind::Saturation,
                              ExportKind::SimulationSaturation};
  for (int model = 1; model <= kModelCount; ++model) {
    std::vector<unsigned char> bytes;
    ASSERT_TRUE(EncodeBwd(document_with_records(model), "m.bwd", bytes).ok);
    const BwdLoad load = DecodeBwd(bytes.data(), bytes.size(), Titration(), "m.bwd");
    ASSERT_TRUE(load.status.ok) << load.status.message;
    const Titration& doc = *load.doc;
    for (ExportKind kind : kinds) {
      ASSERT_EQ(export_precondition(doc, kind, 1), "");
      int lines = 0;
      const int finite = finite_numbers(export_text(doc, kind, 20, 1), &lines);
      const int expectedLines = kind == ExportKind::Points ? 3 : 20;
      EXPECT_EQ(lines, expectedLines) << "model " << model << " kind " << static_cast<int>(kind);
      EXPECT_EQ(finite, expectedLines * (kind == ExportKind::Points ? 3 : 2))
          << "model " << model << " kind " << static_cast<int>(kind);
    }
    for (int k = 0; k < Titration::kCurvePoints; k += 97)
      EXPECT_TRUE(std::isfinite(doc.m_fitCurve[k].y) && std::isfinite(doc.m_simCurve[k].y[1])) << model;
  }
}

TEST(RecordExports, SlotsARecordDoesNotHoldReadZeroWhateverItsCount) {
  ParamSet rec;
  rec.m_nModel = 8;  // evaluates 8 slots; its fit record holds 7
  rec.m_nParams = 7;
  for (int k = 0; k < ParamSet::kSlots; ++k) rec.m_p[k] = 100.0 + k;
  Vec a;
  ASSERT_TRUE(record_parameters(rec, a));
  EXPECT_EQ(a.hi(), 8);
  EXPECT_EQ(a[7], 107.0);
  EXPECT_EQ(a[8], 0.0);
  rec.m_nParams = 14;  // a longer record still gives the model's 8 slots
  ASSERT_TRUE(record_parameters(rec, a));
  EXPECT_EQ(a.hi(), 8);
  rec.m_nParams = -3;
  ASSERT_TRUE(record_parameters(rec, a));
  EXPECT_EQ(a[1], 0.0);
  rec.m_nModel = 11;
  EXPECT_FALSE(record_parameters(rec, a));
}
