// The model registry checked against itself over all ten models: slots, rows, labels, units,
// formats, defaults and the fit schedule's slots must agree with what each slot holds.
#include "fitting/model_registry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "commands/fit_settings.h"
#include "fitting/models.h"

namespace {

bool starts_with(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }
bool contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

// Conversions in a printf format, "%%" not counted.
int conversions(const char* format) {
  int n = 0;
  for (const char* p = format; *p; ++p)
    if (*p == '%') {
      if (p[1] == '%') ++p; else ++n;
    }
  return n;
}

// A label says what the slot holds: constants by their logarithm, concentrations by name.
void expect_label_fits_kind(SlotKind kind, const std::string& label, const std::string& where) {
  switch (kind) {
    case SlotKind::AssociationConstant:
      EXPECT_TRUE(starts_with(label, "log K") && !starts_with(label, "log Kd")) << where << " '" << label << "'";
      break;
    case SlotKind::DissociationConstant: EXPECT_TRUE(starts_with(label, "log Kd")) << where << " '" << label << "'"; break;
    case SlotKind::Concentration:
      EXPECT_TRUE(contains(label, "onc")) << where << " '" << label << "'";  // conc, Conc., konc
      break;
    case SlotKind::Response: EXPECT_TRUE(starts_with(label, "Response")) << where << " '" << label << "'"; break;
    case SlotKind::ElectrodeFactor:
      EXPECT_TRUE(label == "Proportional factor:" || label == "Offset:") << where << " '" << label << "'";
      break;
    case SlotKind::Spare: EXPECT_EQ(label, "") << where; break;
  }
}

// A shown row's formats: one conversion each, the unit only on concentrations.
void expect_row_formats(SlotKind kind, const ShownRow& row, const std::string& where) {
  ASSERT_TRUE(row.shown()) << where;
  ASSERT_NE(row.valueFormat, nullptr) << where;
  ASSERT_NE(row.confidenceFormat, nullptr) << where;
  EXPECT_EQ(conversions(row.valueFormat), 1) << where;
  EXPECT_EQ(conversions(row.confidenceFormat), 1) << where;
  EXPECT_EQ(contains(row.valueFormat, " uM"), kind == SlotKind::Concentration) << where;
  if (kind != SlotKind::Concentration) {
    EXPECT_FALSE(contains(row.confidenceFormat, "uM")) << where;
  }
  expect_label_fits_kind(kind, row.label, where);
}

TEST(ModelRegistry, SlotsRowsAndSparesOfEveryModel) {
  for (int model = 1; model <= kModelCount; ++model) {
    const ModelInfo& m = model_info(model);
    SCOPED_TRACE("model " + std::to_string(model));
    EXPECT_EQ(m.number, model);
    EXPECT_EQ(m.electrode, model >= 7);
    EXPECT_EQ(model_number(m.family, m.electrode), model);
    ASSERT_GE(m.slots, 4);
    ASSERT_LE(m.slots, kMaxModelSlots);
    EXPECT_LE(m.slots, kValueRows);
    // Spares only in electrode models, and only after every slot with a row.
    const int rows = m.DialogRows();
    for (int k = rows + 1; k <= m.slots; ++k) EXPECT_EQ(m.slot[k].kind, SlotKind::Spare) << k;
    EXPECT_EQ(rows < m.slots, m.electrode && m.family != ModelFamily::OneSite);
    for (int k = m.slots + 1; k <= kMaxModelSlots; ++k) EXPECT_EQ(m.slot[k].kind, SlotKind::Spare) << k;
    // Stored records cover every row and never more than the model's slots.
    EXPECT_GE(m.fitRecordSlots, rows);
    EXPECT_LE(m.fitRecordSlots, m.slots);
    EXPECT_GE(m.simulationRecordSlots, rows);
    EXPECT_LE(m.simulationRecordSlots, kMaxModelSlots);
    EXPECT_NE(m.ProteinSlot(), 0);
    EXPECT_EQ(m.slot[1].kind, m.electrode ? SlotKind::ElectrodeFactor : SlotKind::Response);
  }
}

// Each fitted slot has a row, and every row's slot exists and can be fitted.
TEST(ModelRegistry, FittedSlotsAndDialogRowsMatch) {
  int every[kValueRows + 1];
  for (int& f : every) f = 1;
  for (int model = 1; model <= kModelCount; ++model) {
    SCOPED_TRACE("model " + std::to_string(model));
    const ModelInfo& m = model_info(model);
    int flags[ParamSet::kSlots];
    ASSERT_EQ(fit_flags_for_model(model, every, flags), m.slots);
    for (int k = 1; k <= m.slots; ++k) EXPECT_EQ(flags[k] == 1, fit_dialog_row(model, k).has_value()) << k;
    for (int row = 1; row <= kValueRows; ++row) {
      const auto r = fit_dialog_row(model, row);
      if (!r) continue;
      EXPECT_EQ(r->slot, row);
      ASSERT_LE(r->slot, m.slots);
      EXPECT_NE(r->kind, SlotKind::Spare);
      EXPECT_STRNE(r->dialogLabel, "");
    }
    EXPECT_EQ(fit_dialog_layout(model - 1).rowsShown, m.DialogRows());
  }
  EXPECT_FALSE(fit_dialog_row(0, 1));
  EXPECT_FALSE(fit_dialog_row(11, 1));
  EXPECT_FALSE(fit_dialog_row(2, 0));
}

TEST(ModelRegistry, LabelsUnitsAndFormatsAgreeWithTheSlotKinds) {
  for (int model = 1; model <= kModelCount; ++model) {
    const ModelInfo& m = model_info(model);
    for (int k = 1; k <= m.slots; ++k) {
      const SlotInfo& s = m.slot[k];
      const std::string where = "model " + std::to_string(model) + " slot " + std::to_string(k);
      if (s.kind == SlotKind::Spare) {
        EXPECT_FALSE(s.panel.shown() || s.report.shown()) << where;
        EXPECT_EQ(s.fitDefault, FitDefault::Keep) << where;
        continue;
      }
      expect_label_fits_kind(s.kind, s.dialogLabel, where + " dialog");
      expect_label_fits_kind(s.kind, s.simulateLabel, where + " simulate");
      expect_label_fits_kind(s.kind, s.parameterLabel, where + " parameters");
      expect_row_formats(s.kind, s.panel, where + " panel");
      expect_row_formats(s.kind, s.report, where + " report");
      EXPECT_EQ(fit_dialog_layout(model - 1).uMRow[k], std::strcmp(slot_unit(s.kind), "uM") == 0) << where;
      if (s.fitDefault == FitDefault::AlwaysOn || s.fitDefault == FitDefault::AlwaysOff) {
        EXPECT_TRUE(m.electrode) << where;
      }
    }
  }
}

// The association constants K1..Kn stand together, one per site, numbered in order; the free
// energy spans them and d(dG)min needs exactly two.
TEST(ModelRegistry, ConstantsSitesAndSummaryRows) {
  for (int model = 1; model <= kModelCount; ++model) {
    const ModelInfo& m = model_info(model);
    SCOPED_TRACE("model " + std::to_string(model));
    ASSERT_NE(m.FirstConstant(), 0);
    EXPECT_EQ(m.LastConstant() - m.FirstConstant() + 1, m.sites);
    for (int k = m.FirstConstant(); k <= m.LastConstant(); ++k) {
      EXPECT_EQ(m.slot[k].kind, SlotKind::AssociationConstant) << k;
      if (m.sites > 1) {
        EXPECT_EQ(m.slot[k].panel.label, "log K" + std::to_string(k - m.FirstConstant() + 1) + ":");
      }
    }
    bool chi = false, startCa = false, energy = false;
    for (const SummaryRow& row : m.summary) {
      EXPECT_TRUE(row.report.shown());
      chi |= row.quantity == SummaryQuantity::ChiSquare;
      startCa |= row.quantity == SummaryQuantity::StartCa;
      energy |= row.quantity == SummaryQuantity::FreeEnergy;
      if (row.quantity == SummaryQuantity::MinCooperativity) {
        EXPECT_EQ(m.sites, 2);
      }
      if (row.quantity == SummaryQuantity::FreeEnergy || row.quantity == SummaryQuantity::MinCooperativity) {
        EXPECT_TRUE(contains(row.report.valueFormat, "kJ/mol"));
      }
    }
    EXPECT_TRUE(chi && startCa && energy);
  }
}

// Electrode models keep the slot layout of the chelator model of their family: a spare slot
// receives its hidden row converted as that model's slot, and the broad search varies the
// same slots.
TEST(ModelRegistry, ElectrodeModelsFollowTheirChelatorModel) {
  for (int model = 1; model <= kModelCount; ++model) {
    const ModelInfo& m = model_info(model);
    SCOPED_TRACE("model " + std::to_string(model));
    for (int slot : m.searchSlots) {
      EXPECT_GE(slot, 1);
      EXPECT_LE(slot, m.slots);
    }
    EXPECT_TRUE(m.searchSlots.empty() ? m.searchLevels == 0 : (m.searchLevels == 2 || m.searchLevels == 3));
    if (!m.electrode) {
      for (int slot : m.searchSlots) EXPECT_EQ(m.slot[slot].kind, SlotKind::AssociationConstant) << slot;
      continue;
    }
    int twinNumber = 1;
    while (model_info(twinNumber).family != m.family) ++twinNumber;
    const ModelInfo& twin = model_info(twinNumber);
    ASSERT_FALSE(twin.electrode);
    EXPECT_EQ(m.searchSlots, twin.searchSlots);
    EXPECT_EQ(m.searchLevels, twin.searchLevels);
    for (int k = m.DialogRows() + 1; k <= m.slots; ++k)
      EXPECT_EQ(m.slot[k].spareFill, k <= twin.slots ? twin.slot[k].kind : SlotKind::Spare) << k;
  }
}

}  // namespace

namespace {

// Typical internal values by kind: responses and factors of order 1, 10 uM protein and
// chelator, log K 6 and log Kd -7.
double typical(SlotKind kind, int slot) {
  switch (kind) {
    case SlotKind::Concentration: return 10000.0 + 1000.0 * slot;
    case SlotKind::AssociationConstant: return 1e-3 * (1.0 + 0.1 * slot);
    case SlotKind::DissociationConstant: return 100.0 * slot;
    case SlotKind::Spare: return 0.0;
    default: return 1.0 + slot;
  }
}

struct Point {
  double response, freeCa;
};

Point evaluate(const ModelInfo& m, const Vec& a) {
  Vec bound(1), freeCa(1);
  const double response = model_response(m.family, m.electrode, true, 15000.0, a, 0.9, bound, freeCa, 1);
  return {response, freeCa[1]};
}

}  // namespace

// The kinds agree with the mathematics: concentrations and constants move the free Ca (the
// fit skips the solve for the other slots), every slot with a row changes the response, and
// a spare changes nothing.
TEST(ModelRegistry, SlotKindsAgreeWithTheModelEquations) {
  for (int model = 1; model <= kModelCount; ++model) {
    const ModelInfo& m = model_info(model);
    Vec a(m.slots);
    for (int k = 1; k <= m.slots; ++k) a[k] = typical(m.slot[k].kind, k);
    const Point base = evaluate(m, a);
    ASSERT_TRUE(std::isfinite(base.response)) << model;
    for (int k = 1; k <= m.slots; ++k) {
      const SlotKind kind = m.slot[k].kind;
      const double original = a[k];
      a[k] = kind == SlotKind::Spare ? 12345.0 : original * 1.5;
      const Point p = evaluate(m, a);
      a[k] = original;
      const bool inMassBalance = kind == SlotKind::Concentration || kind == SlotKind::AssociationConstant ||
                                 kind == SlotKind::DissociationConstant;
      EXPECT_EQ(p.freeCa != base.freeCa, inMassBalance) << "model " << model << " slot " << k;
      EXPECT_EQ(p.response != base.response, kind != SlotKind::Spare) << "model " << model << " slot " << k;
    }
  }
}
