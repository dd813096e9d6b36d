// Titration series for the command tests: a grid written from a model with known parameters
// (the core's own model evaluation) plus reproducible Gaussian noise.
#pragma once

#include <initializer_list>
#include <random>
#include <string>

#include "document/titration.h"
#include "commands/display_values.h"
#include "commands/fit_settings.h"
#include "fitting/models.h"

struct SeriesSpec {
  int model = 1;
  double rows[kValueRows + 1] = {};  // true parameters as typed in the dialogs
  double startCaUM = 0.0;
  double lastAddedCaUM = 100.0;
  int points = 40;
  double noise = 0.0;  // SD of the response noise
  bool dilution = true;
  unsigned seed = 7;
};

// A series of the model with the given true dialog values (rows 1.., in order), rising to
// lastCa uM added with reading noise of SD noise.
inline SeriesSpec series_design(int model, std::initializer_list<double> rows, double lastCa, double noise,
                                int points = 40, unsigned seed = 7) {
  SeriesSpec s;
  s.model = model;
  int r = 0;
  for (double v : rows) s.rows[++r] = v;
  s.lastAddedCaUM = lastCa;
  s.noise = noise;
  s.points = points;
  s.seed = seed;
  return s;
}

// Added Ca rises in equal steps from 0 (row 0) to lastAddedCaUM; volumes 2.000 ml plus 5 ul
// per row. Cells get "%.10g" texts.
inline void write_series(Titration& doc, const SeriesSpec& s) {
  double slots[ParamSet::kSlots];
  const int n = convert_start_values(s.model, s.rows, slots);
  Vec a(n), bound(2), freeCa(2);
  for (int k = 1; k <= n; ++k) a[k] = slots[k];
  const ModelInfo& info = model_info(s.model);
  std::mt19937 rng(s.seed);
  std::normal_distribution<double> noise(0.0, s.noise > 0 ? s.noise : 1.0);
  const double V1 = 2.0;
  for (int i = 0; i < s.points; ++i) {
    const double added = s.lastAddedCaUM * i / (s.points - 1);
    const double V = V1 + 0.005 * i;
    const double X = (added + s.startCaUM * V1 / V) * 1000.0;
    double response = model_response(info.family, info.electrode, s.dilution, X, a, V1 / V, bound, freeCa, 1);
    if (s.noise > 0) response += noise(rng);
    doc.m_cells[i][0].SetText(c_printf("%.10g", response));
    doc.m_cells[i][1].SetText(c_printf("%.10g", added));
    doc.m_cells[i][2].SetText(c_printf("%.10g", V));
  }
}

// The Fit dialog as a user opens it on this series: its model (with the model's default fit
// flags) and every row at the series' true value, its start Ca and dilution setting.
inline FitSettings fit_settings_at_truth(const SeriesSpec& s, Titration& doc) {
  FitSettings settings;
  settings.m_nModelIndex = s.model - 1;
  fit_dialog_open(settings, doc);
  for (int row = 1; row <= kValueRows; ++row) settings.m_dValue[row] = s.rows[row];
  settings.m_dStartCa = s.startCaUM;
  settings.m_bDilution = s.dilution;
  return settings;
}
