#include "commands/display_values.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <locale.h>

#include "document/titration.h"

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

// A row of the panel's tables: where it stands and what it shows.
struct RowSpec {
  ResultsTable table;
  int row;
  ResultsRowSpec shows;
  bool nudge;
};

constexpr ResultsTable L = ResultsTable::Left;
constexpr ResultsTable R = ResultsTable::Right;

struct ModelBlockSpec {
  const char* title;
  std::vector<RowSpec> rows;
};

RowSpec raw(ResultsTable t, int row, const char* label, int slot, const char* conf = "+-%7.5f") {
  return {t, row, {label, ResultsValue::Raw, slot, 0, "%7.5f", ResultsConfidence::Raw, conf}, false};
}
RowSpec conc(ResultsTable t, int row, const char* label, int slot, const char* conf) {
  return {t, row, {label, ResultsValue::Micro, slot, 0, "%7.4f uM", ResultsConfidence::Micro, conf}, false};
}
RowSpec lgk(ResultsTable t, int row, const char* label, int slot, const char* fmt = "%7.5f",
            const char* conf = "%4.3f") {
  return {t, row, {label, ResultsValue::LgK, slot, 0, fmt, ResultsConfidence::UpDn, conf}, false};
}
RowSpec lgkd(ResultsTable t, int row, const char* label, int slot) {
  return {t, row, {label, ResultsValue::LgKd, slot, 0, "%7.5f", ResultsConfidence::UpDn, "%4.3f"}, false};
}
RowSpec chi(ResultsTable t, int row, const char* fmt) {
  return {t, row, {"Chisquare:", ResultsValue::Chi, 0, 0, fmt, ResultsConfidence::None, nullptr}, false};
}
RowSpec ca0(ResultsTable t, int row, const char* label = "Initial Ca conc:") {
  return {t, row, {label, ResultsValue::StartCa, 0, 0, "%7.4f uM", ResultsConfidence::None, nullptr}, false};
}
RowSpec dg(ResultsTable t, int row, const char* label, int i, int j, const char* fmt,
           bool nudge = false) {
  return {t, row, {label, ResultsValue::G, i, j, fmt, ResultsConfidence::None, nullptr}, nudge};
}
RowSpec ddg(ResultsTable t, int row, const char* label, int i, int j, bool nudge = false) {
  return {t, row, {label, ResultsValue::DD, i, j, "%7.3f kJ/mol", ResultsConfidence::None, nullptr}, nudge};
}

// Rows 1-3 shared by the chelator models (2, 4, 6) and model 1.
void chelator_head(std::vector<RowSpec>& rows) {
  rows.push_back(raw(L, 1, "Response w/o Ca:", 1));
  rows.push_back(raw(L, 2, "Response w Ca:", 2));
  rows.push_back(conc(L, 3, "Protein conc:", 3, "+-%7.5f"));
}
void electrode_head(std::vector<RowSpec>& rows) {
  rows.push_back(raw(L, 1, "Proportional factor:", 1));
  rows.push_back(raw(L, 2, "Offset:", 2));
  rows.push_back(conc(L, 3, "Protein conc:", 3, "+-%7.5f"));
}

ModelBlockSpec block_spec(int model) {
  ModelBlockSpec b;
  auto& r = b.rows;
  switch (model) {
    case 1:
      b.title = "Model: 1 Calcium site + chelator";
      chelator_head(r);
      r.push_back(lgk(L, 4, "log K:", 4));
      r.push_back(chi(L, 5, "%7.5f"));
      r.push_back(ca0(L, 6));
      r.push_back(dg(R, 0, "dG", 4, 4, "%7.4f kJ/mol"));
      break;
    case 2:
      b.title = "Model: 2 Ca sites + chelator";
      chelator_head(r);
      r.push_back(lgkd(L, 4, "log Kd Chelator:", 4));
      r.push_back(lgk(L, 5, "log K1:", 5));
      r.push_back(lgk(L, 6, "log K2:", 6));
      r.push_back(conc(R, 0, "Chelator conc:", 7, "+-%7.5f uM"));
      r.push_back(chi(R, 1, "%7.4G"));
      r.push_back(ca0(R, 2));
      r.push_back(dg(R, 3, "dG:", 5, 6, "%7.3f kJ/mol", true));
      r.push_back(ddg(R, 4, "d(dG)min:", 5, 6, true));
      break;
    case 3:
      b.title = "Model: 2 Ca sites";
      r.push_back(raw(L, 1, "Response w/o Ca:", 1));
      r.push_back(raw(L, 2, "Response w Ca:", 2));
      r.push_back(raw(L, 3, "Response w Ca:", 3));
      r.push_back(conc(L, 4, "Protein conc:", 4, "+-%7.5f"));
      r.push_back(lgk(L, 5, "log K1:", 5));
      r.push_back(lgk(L, 6, "log K2:", 6));
      r.push_back(chi(R, 0, "%7.4G"));
      r.push_back(ca0(R, 1, "Initial Ca conc: "));
      r.push_back(dg(R, 2, "dG: ", 5, 6, "%7.3f kJ/mol"));
      r.push_back(ddg(R, 3, "d(dG)min: ", 5, 6));
      break;
    case 4:
      b.title = "Model: 4 Ca sites + chelator";
      chelator_head(r);
      r.push_back(lgkd(L, 4, "log Kd Chelator:", 4));
      r.push_back(lgk(L, 5, "log K1:", 5));
      r.push_back(lgk(L, 6, "log K2:", 6));
      r.push_back(lgk(R, 0, "log K3:", 7));
      r.push_back(lgk(R, 1, "log K4:", 8, "%7.4f"));
      r.push_back(conc(R, 2, "Chelator conc:", 9, "+-%7.5f uM"));
      r.push_back(chi(R, 3, "%7.4G"));
      r.push_back(ca0(R, 4));
      r.push_back(dg(R, 5, "dG:", 5, 8, "%7.3f kJ/mol"));
      break;
    case 5:
      b.title = "Model: 2 Ca sites + 2 chelators";
      r.push_back(raw(L, 1, "Response w/o Ca:", 1, "%7.5f"));
      r.push_back(raw(L, 2, "Response w Ca:", 2, "%7.5f"));
      r.push_back(conc(L, 3, "Protein conc:", 3, "+-%7.5f"));
      r.push_back(lgkd(L, 4, "log Kd Chelator:", 4));
      r.push_back(lgkd(L, 5, "log Kd EDTA:", 5));
      r.push_back(lgk(L, 6, "log K1:", 6));
      r.push_back(lgk(R, 0, "log K2:", 7));
      r.push_back(conc(R, 1, "Chelator conc:", 8, "%+-7.5f uM"));
      r.push_back(conc(R, 2, "EDTA konc:", 9, "%+-7.5f uM"));
      r.push_back(chi(R, 3, "%7.4G"));
      r.push_back(ca0(R, 4));
      r.push_back(dg(R, 5, "dG:", 6, 7, "%7.3f kJ/mol"));
      break;
    case 6:
      b.title = "Model: 6 Ca sites + chelator";
      chelator_head(r);
      r.push_back(lgkd(L, 4, "log Kd Chelator:", 4));
      r.push_back(lgk(L, 5, "log K1:", 5));
      r.push_back(lgk(L, 6, "log K2:", 6));
      r.push_back(lgk(R, 0, "log K3:", 7));
      r.push_back(lgk(R, 1, "log K4:", 8, "%7.4f"));
      r.push_back(lgk(R, 2, "log K5:", 9, "%7.4f"));
      r.push_back(lgk(R, 3, "log K6:", 10, "%7.4f"));
      r.push_back(conc(R, 4, "Chelator conc:", 11, "+-%7.5f uM"));
      r.push_back(chi(R, 5, "%7.4G"));
      r.push_back(ca0(R, 6));
      r.push_back(dg(R, 7, "dG:", 5, 10, "%7.3f kJ/mol"));
      break;
    case 7:
      b.title = "Model: 1 Calcium site Ca electrode";
      electrode_head(r);
      r.push_back(lgk(L, 4, "log K:", 4, "%7.5f", "%7.5f"));
      r.push_back(chi(L, 5, "%7.5f"));
      r.push_back(ca0(L, 6));
      r.push_back(dg(R, 0, "dG", 4, 4, "%7.4f kJ/mol"));
      break;
    case 8:
      b.title = "Model: 2 Ca sites Ca electrode";
      electrode_head(r);
      r.push_back(lgk(L, 4, "log K1:", 4));
      r.push_back(lgk(L, 5, "log K2:", 5));
      r.push_back(chi(L, 6, "%7.5f"));
      r.push_back(ca0(R, 0));
      r.push_back(dg(R, 1, "dG:", 4, 5, "%7.3f kJ/mol", true));
      r.push_back(ddg(R, 2, "d(dG)min:", 4, 5, true));
      break;
    case 9:
      b.title = "Model: 4 Ca sites Ca electrode";
      electrode_head(r);
      r.push_back(lgk(L, 4, "log K1:", 4));
      r.push_back(lgk(L, 5, "log K2:", 5));
      r.push_back(lgk(L, 6, "log K3:", 6));
      r.push_back(lgk(R, 0, "log K4:", 7, "%7.4f"));
      r.push_back(chi(R, 1, "%7.4G"));
      r.push_back(ca0(R, 2));
      r.push_back(dg(R, 3, "dG:", 4, 7, "%7.3f kJ/mol"));
      break;
    case 10:
      b.title = "Model: 6 Ca sites Ca electrode";
      electrode_head(r);
      r.push_back(lgk(L, 4, "log K1:", 4));
      r.push_back(lgk(L, 5, "log K2:", 5));
      r.push_back(lgk(L, 6, "log K3:", 6));
      r.push_back(lgk(R, 0, "log K4:", 7, "%7.4f"));
      r.push_back(lgk(R, 1, "log K5:", 8, "%7.4f"));
      r.push_back(lgk(R, 2, "log K6:", 9, "%7.4f"));
      r.push_back(chi(R, 3, "%7.4G"));
      r.push_back(ca0(R, 4));
      r.push_back(dg(R, 5, "dG:", 4, 9, "%7.3f KJ/mol"));  // the unit is spelled so here
      break;
    default:
      b.title = "";
      break;
  }
  return b;
}

}  // namespace

ResultsBlock results_block(const ParamSet& fit, double startCaUM, float temperatureK) {
  ResultsBlock block;
  ModelBlockSpec table = block_spec(fit.m_nModel);
  block.title = table.title;
  for (const RowSpec& s : table.rows) {
    ResultsRowTexts texts = results_row_texts(s.shows, fit, startCaUM, temperatureK);
    ResultsRow row;
    row.table = s.table;
    row.row = s.row;
    row.label = std::move(texts.label);
    row.value = std::move(texts.value);
    row.upper = std::move(texts.upper);
    row.lower = std::move(texts.lower);
    row.valueNudgedLeft = s.nudge;
    block.rows.push_back(std::move(row));
  }
  return block;
}

namespace {

// A line of the Parameters dialog: its format and what it shows (Raw, Micro, LgK or LgKd).
struct LineSpec {
  const char* format;
  ResultsValue kind;
  int slot;
};

constexpr ResultsValue Raw = ResultsValue::Raw;
constexpr ResultsValue Micro = ResultsValue::Micro;
constexpr ResultsValue LgK = ResultsValue::LgK;
constexpr ResultsValue LgKd = ResultsValue::LgKd;

std::vector<LineSpec> log_k_lines(int first, int count) {
  static const char* const formats[] = {"log K1:  %7.5f", "log K2:  %7.5f", "log K3:  %7.5f",
                                        "log K4:  %7.5f", "log K5:  %7.5f", "log K6:  %7.5f"};
  std::vector<LineSpec> lines;
  for (int k = 0; k < count; ++k) lines.push_back({formats[k], LgK, first + k});
  return lines;
}

void append(std::vector<LineSpec>& a, const std::vector<LineSpec>& b) { a.insert(a.end(), b.begin(), b.end()); }

const LineSpec kResponse0{"Response w/o Ca:  %7.5f", Raw, 1};
const LineSpec kResponse1{"Response w Ca:  %7.5f", Raw, 2};
const LineSpec kProtein3{"Protein concentration:  %7.5f uM", Micro, 3};
const LineSpec kFactor{"Proportional factor:  %7.5f", Raw, 1};
const LineSpec kOffset{"Offset:  %7.5f", Raw, 2};

std::vector<LineSpec> parameter_line_specs(int model, std::string& title) {
  std::vector<LineSpec> l;
  switch (model) {
    case 1:
      title = "One Ca site";
      l = {kResponse0, kResponse1, kProtein3, {"log K:  %7.5f", LgK, 4}};
      break;
    case 2:
      title = "Two Ca sites + chelator";
      l = {kResponse0, kResponse1, kProtein3, {"log Kd:  %7.5f", LgKd, 4}};
      append(l, log_k_lines(5, 2));
      l.push_back({"Chelator concentration:  %7.5f uM", Micro, 7});
      break;
    case 3:
      title = "Two Ca sites";
      l = {kResponse0, {"Response w one Ca:  %7.5f", Raw, 2},
           {"Response w two Ca:  %7.5f", Raw, 3}, {"Proteinconc:  %7.5f uM", Micro, 4}};
      append(l, log_k_lines(5, 2));
      break;
    case 4:
      title = "4 Ca sites + chelator";
      l = {kResponse0, kResponse1, kProtein3, {"log Kd:  %7.5f", LgKd, 4}};
      append(l, log_k_lines(5, 4));
      l.push_back({"Chelator concentration:  %7.5f uM", Micro, 9});
      break;
    case 5:
      // The model's own slots: two chelator dissociation constants, then K1 and K2.
      title = "Two Ca sites + two chelator";
      l = {kResponse0, kResponse1, kProtein3, {"log Kd:  %7.5f", LgKd, 4},
           {"log Kd EDTA:  %7.5f", LgKd, 5}};
      append(l, log_k_lines(6, 2));
      l.push_back({"Chelator concentration:  %7.5f uM", Micro, 8});
      l.push_back({"EDTA concentration:  %7.5f uM", Micro, 9});
      break;
    case 6:
      title = "6 Ca sites + chelator";
      l = {kResponse0, kResponse1, kProtein3, {"log Kd:  %7.5f", LgKd, 4}};
      append(l, log_k_lines(5, 6));
      l.push_back({"Chelator concentration:  %7.5f uM", Micro, 11});
      break;
    case 7:
      // The site constant is an association constant, as for model 1.
      title = "One Ca site using Ca-electrode";
      l = {kFactor, kOffset, kProtein3, {"log K:  %7.5f", LgK, 4}};
      break;
    case 8:
      title = "Two Ca sites using Ca electrode";
      l = {kFactor, kOffset, kProtein3};
      append(l, log_k_lines(4, 2));
      break;
    case 9:
      title = "4 Ca sites using Ca electrode";
      l = {kFactor, kOffset, kProtein3};
      append(l, log_k_lines(4, 4));
      break;
    case 10:
      title = "6 Ca sites using Ca electrode";
      l = {kFactor, kOffset, kProtein3};
      append(l, log_k_lines(4, 6));
      break;
    default:
      title.clear();
      break;
  }
  return l;
}

}  // namespace

ParameterLines simulation_parameter_lines(const ParamSet& sim) {
  ParameterLines out;
  std::vector<LineSpec> specs = parameter_line_specs(sim.m_nModel, out.title);
  if (specs.empty()) return out;
  // These lines show only stored parameters: no start Ca, no temperature is needed.
  for (const LineSpec& s : specs)
    out.lines.push_back(format_c(s.format, shown_value(s.kind, s.slot, 0, sim, 0.0, 0.0f)));
  out.lines.push_back(format_c("Ca0:  %7.5f uM", sim.m_dStartCa));
  return out;
}
