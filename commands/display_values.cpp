#include "commands/display_values.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <locale.h>

#include "document/titration.h"
#include "fitting/model_registry.h"

double display_uM(double nM) { return 0.001 * nM; }
double display_lgK(double K) { return std::log10(1e9 * K); }
double display_lgKd(double Kd) { return std::log10(1e-9 * Kd); }
double display_up(double p, double s) { return std::log10(p + s) - std::log10(p); }
double display_dn(double p, double s) { return std::log10(p - s) - std::log10(p); }

double display_G(const double* p, int i, int j, float temperatureK) {
  double product = 1.0;
  for (int k = i; k <= j; ++k) product *= 1e9 * p[k];
  return -kGasConstantKJ * static_cast<double>(temperatureK) * std::log(product);
}

double display_DD(double Ki, double Kj, float temperatureK) {
  return -kGasConstantKJ * static_cast<double>(temperatureK) * std::log(4.0 * Kj / Ki);
}


std::string format_lower_confidence(const char* format, double p, double s) {
  if (!(p - s > 0.0)) return "-inf";
  return format_c(format, display_dn(p, s));
}

namespace {

// The shown value of quantity `what` over slots i (and j) of a fit or simulation record.
double shown_value(ResultsValue what, int i, int j, const ParamSet& record, double startCaUM,
                   float temperatureK) {
  const double* p = record.m_p;
  switch (what) {
    case ResultsValue::Raw: return p[i];
    case ResultsValue::Micro: return display_uM(p[i]);
    case ResultsValue::LgK: return display_lgK(p[i]);
    case ResultsValue::LgKd: return display_lgKd(p[i]);
    case ResultsValue::Chi: return p[0];
    case ResultsValue::StartCa: return startCaUM;
    case ResultsValue::G: return display_G(p, i, j, temperatureK);
    case ResultsValue::DD: return display_DD(p[i], p[j], temperatureK);
  }
  return 0.0;
}

void fill_confidence(const ResultsRowSpec& s, const ParamSet& fit, ResultsRowTexts& out) {
  const double p = fit.m_p[s.i];
  const double e = fit.m_err[s.i];
  switch (s.confidence) {
    case ResultsConfidence::None: break;
    case ResultsConfidence::Raw: out.upper = format_c(s.confidenceFormat, e); break;
    case ResultsConfidence::Micro: out.upper = format_c(s.confidenceFormat, display_uM(e)); break;
    case ResultsConfidence::UpDn:
      out.upper = format_c(s.confidenceFormat, display_up(p, e));
      out.lower = format_lower_confidence(s.confidenceFormat, p, e);
      break;
  }
}

}  // namespace

ResultsRowTexts results_row_texts(const ResultsRowSpec& rowSpec, const ParamSet& fit, double startCaUM,
                                  float temperatureK) {
  ResultsRowTexts texts;
  texts.label = rowSpec.label;
  texts.value = format_c(rowSpec.valueFormat, shown_value(rowSpec.value, rowSpec.i, rowSpec.j, fit, startCaUM, temperatureK));
  if (fit.m_bErrors == 1) fill_confidence(rowSpec, fit, texts);
  return texts;
}

namespace {

// How a slot's value and its confidence entries are shown, by what the slot holds.
ResultsValue shown_as(SlotKind kind) {
  switch (kind) {
    case SlotKind::Concentration: return ResultsValue::Micro;
    case SlotKind::AssociationConstant: return ResultsValue::LgK;
    case SlotKind::DissociationConstant: return ResultsValue::LgKd;
    default: return ResultsValue::Raw;
  }
}

ResultsConfidence confidence_as(SlotKind kind) {
  switch (kind) {
    case SlotKind::Concentration: return ResultsConfidence::Micro;
    case SlotKind::AssociationConstant:
    case SlotKind::DissociationConstant: return ResultsConfidence::UpDn;
    default: return ResultsConfidence::Raw;
  }
}

ResultsRowSpec summary_row_layout(const ModelInfo& m, const SummaryRow& row, const ShownRow& shown, bool nudged) {
  ResultsRowSpec rowDef{shown.label, ResultsValue::Chi, 0, 0, shown.valueFormat, ResultsConfidence::None, nullptr, nudged};
  switch (row.quantity) {
    case SummaryQuantity::ChiSquare: break;
    case SummaryQuantity::StartCa: rowDef.value = ResultsValue::StartCa; break;
    case SummaryQuantity::FreeEnergy:
      rowDef.value = ResultsValue::G;
      rowDef.i = m.FirstConstant();
      rowDef.j = m.LastConstant();
      break;
    case SummaryQuantity::MinCooperativity:
      rowDef.value = ResultsValue::DD;
      rowDef.i = m.FirstConstant();
      rowDef.j = m.FirstConstant() + 1;
      break;
  }
  return rowDef;
}

// The left table holds this many rows below its title; the rest continue in the right table
// from its row 0.
constexpr int kLeftTableRows = 6;

}  // namespace

std::vector<ResultsRowSpec> results_row_layout(int model, ResultsView view) {
  std::vector<ResultsRowSpec> layout;
  if (!is_valid_model(model)) return layout;
  const ModelInfo& m = model_info(model);
  for (int k = 1; k <= m.slots; ++k) {
    const SlotInfo& slot = m.slot[k];
    const ShownRow& shown = view == ResultsView::Panel ? slot.panel : slot.report;
    if (!shown.shown()) continue;
    layout.push_back({shown.label, shown_as(slot.kind), k, 0, shown.valueFormat, confidence_as(slot.kind),
                     shown.confidenceFormat, false});
  }
  for (const SummaryRow& row : m.summary) {
    const ShownRow& shown = view == ResultsView::Panel ? row.panel : row.report;
    if (shown.shown()) layout.push_back(summary_row_layout(m, row, shown, view == ResultsView::Panel && row.panelNudgedLeft));
  }
  return layout;
}

const char* results_title(int model, ResultsView view) {
  if (!is_valid_model(model)) return "";
  return view == ResultsView::Panel ? model_info(model).panelTitle : model_info(model).reportTitle;
}

ResultsBlock results_block(const ParamSet& fit, double startCaUM, float temperatureK) {
  ResultsBlock block;
  block.title = results_title(fit.m_nModel, ResultsView::Panel);
  int position = 0;
  for (const ResultsRowSpec& rowDef : results_row_layout(fit.m_nModel, ResultsView::Panel)) {
    ResultsRowTexts texts = results_row_texts(rowDef, fit, startCaUM, temperatureK);
    ResultsRow row;
    ++position;
    row.table = position <= kLeftTableRows ? ResultsTable::Left : ResultsTable::Right;
    row.row = position <= kLeftTableRows ? position : position - kLeftTableRows - 1;
    row.label = std::move(texts.label);
    row.value = std::move(texts.value);
    row.upper = std::move(texts.upper);
    row.lower = std::move(texts.lower);
    row.valueNudgedLeft = rowDef.nudgedLeft;
    block.rows.push_back(std::move(row));
  }
  return block;
}

ParameterLines simulation_parameter_lines(const ParamSet& sim) {
  ParameterLines out;
  if (!is_valid_model(sim.m_nModel)) return out;
  const ModelInfo& m = model_info(sim.m_nModel);
  out.title = m.parameterTitle;
  // These lines show only stored parameters: no start Ca, no temperature is needed.
  for (int k = 1; k <= m.DialogRows(); ++k) {
    const SlotKind kind = m.slot[k].kind;
    std::string line = std::string(m.slot[k].parameterLabel) + "  " +
                       format_c("%7.5f", shown_value(shown_as(kind), k, 0, sim, 0.0, 0.0f));
    if (*slot_unit(kind)) line += std::string(" ") + slot_unit(kind);
    out.lines.push_back(std::move(line));
  }
  out.lines.push_back(format_c("Ca0:  %7.5f uM", sim.m_dStartCa));
  return out;
}
