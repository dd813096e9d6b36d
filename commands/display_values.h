// How fitted and simulated parameters are shown to the user: the conversions from internal
// units (nM, nM^-1) to uM and decimal logarithms of molar constants, the binding free
// energies, the rows of the results panel (shared by the panel, the printed report and the
// command line) and the lines of the simulated-curve Parameters dialog.
//
// Every text is formatted in the C locale, whatever the process locale is.
#pragma once

#include <string>
#include <vector>

#include "document/c_text.h"

class ParamSet;

// Gas constant in kJ/(mol K), as the free energies use it.
inline constexpr double kGasConstantKJ = 0.0083145;

// mu(x): a concentration stored in nM shown in uM.
double display_uM(double nM);
// lgK(x): an association constant stored per nM shown as log10 of the constant per M.
double display_lgK(double K);
// lgKd(x): a dissociation constant stored in nM shown as log10 of the constant in M.
double display_lgKd(double Kd);
// up(i), dn(i): confidence limits of a constant p with error s, as log10 distances from p
// (up > 0, dn < 0). dn is not finite when s >= p.
double display_up(double p, double s);
double display_dn(double p, double s);
// G(i..j): binding free energy in kJ/mol of the constants p[i..j] (nM^-1) at temperatureK,
// -R T ln(prod 10^9 p_k). p is 1-based (ParamSet::m_p), i <= j.
double display_G(const double* p, int i, int j, float temperatureK);
// DD(i, j): d(dG)min of a two-site model with K1 = Ki and K2 = Kj (nM^-1), in kJ/mol.
double display_DD(double Ki, double Kj, float temperatureK);

// Text of a lower confidence value: "-inf" when the error reaches the constant (s >= p), so
// the logarithm of the lower limit does not exist; otherwise format_c(format, dn).
std::string format_lower_confidence(const char* format, double p, double s);

// What one row of a results table shows and how it is derived from a fit record. The
// panel's and the printed report's tables are lists of these, each with its own labels and
// formats.
enum class ResultsValue {
  Raw,      // p[i] as stored
  Micro,    // p[i] (nM) in uM
  LgK,      // log10 of the association constant p[i] (nM^-1) per M
  LgKd,     // log10 of the dissociation constant p[i] (nM) in M
  Chi,      // the chi-square p[0]
  StartCa,  // the document's start Ca in uM
  G,        // binding free energy over p[i..j]
  DD,       // d(dG)min of K1 = p[i], K2 = p[j]
};
// Which confidence entries the row carries: none, the error m_err[i] as is, the error in
// uM, or the upper and lower log distances of a constant.
enum class ResultsConfidence { None, Raw, Micro, UpDn };
struct ResultsRowSpec {
  const char* label;
  ResultsValue value;
  int i, j;
  const char* valueFormat;
  ResultsConfidence confidence;
  const char* confidenceFormat;  // unused with None
  bool nudgedLeft;               // the panel draws the value left of its column
};

// The rows of a model's results in the panel or in the printed report, in order: every slot
// the view shows, then its summary rows (chi-square, start Ca, free energies), each with the
// view's own label and formats. An invalid model gives no rows and an empty title.
enum class ResultsView { Panel, Report };
std::vector<ResultsRowSpec> results_row_layout(int model, ResultsView view);
const char* results_title(int model, ResultsView view);
// The texts of one row: the label, the value and, when fit.m_bErrors is 1, the confidence
// entries (empty where the row has none). startCaUM is the document's m_dStartCa,
// temperatureK its m_fTemperature.
struct ResultsRowTexts {
  std::string label, value, upper, lower;
};
ResultsRowTexts results_row_texts(const ResultsRowSpec& rowSpec, const ParamSet& fit, double startCaUM,
                                  float temperatureK);

// One text row of the results panel. Row 0 of the left table is the title row.
enum class ResultsTable { Left, Right };
struct ResultsRow {
  ResultsTable table = ResultsTable::Left;
  int row = 0;            // 1.. in the left table, 0.. in the right table
  std::string label;      // literal, trailing blanks included
  std::string value;      // formatted value with its unit text
  std::string upper;      // single or upper confidence entry; empty when none is drawn
  std::string lower;      // lower confidence entry; empty when none is drawn
  bool valueNudgedLeft = false;  // drawn 11 device units left of the right value column
};

struct ResultsBlock {
  std::string title;  // drawn in the left label column of row 0; empty for no block
  std::vector<ResultsRow> rows;
  bool empty() const { return title.empty(); }
};

// The block the results panel draws for a fit record. Confidence entries are filled only
// when fit.m_bErrors is 1. A model outside 1..10 gives an empty block. startCaUM is the
// document's m_dStartCa, temperatureK its m_fTemperature.
ResultsBlock results_block(const ParamSet& fit, double startCaUM, float temperatureK);

// The Parameters dialog for a simulation record: its title and the shown lines in order
// (the last one is the start Ca line "Ca0:  %7.5f uM"). An invalid model gives no lines.
struct ParameterLines {
  std::string title;
  std::vector<std::string> lines;
};
ParameterLines simulation_parameter_lines(const ParamSet& sim);
