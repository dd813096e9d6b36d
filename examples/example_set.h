// The example titrations shipped in examples/: one per model family, each described by the
// experiment a biochemist would run (plan of additions, concentrations, signal), the true
// constants the series was generated from, the measurement noise, and the start values a
// user would type (constants 0.5 log units off, protein 20 % off, responses read off the
// first and last points). The generator, the examples README and the test that refits every
// document all read this one table, so they cannot disagree.
#pragma once

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "commands/fit_settings.h"

namespace examples {

// One run of equal additions, as typed into Generate Data (volume unit ul, stock in mM).
struct AdditionRun {
  int startCell;
  int additions;
  double volumeUl;
  double stockMM;
};

// Values of the dialog rows 1..11 as the user types them (uM, log K, log Kd, responses);
// index 0 is unused.
using Rows = std::array<double, 12>;
using Flags = std::array<int, 12>;

struct ExampleTitration {
  const char* file;
  const char* title;        // graph title
  const char* yCaption;     // graph's response axis
  const char* description;  // the experiment, as the description dialog and report show it
  int model;                // 1..10
  Rows truth;
  Rows start;
  Flags fitted;             // rows the example's fit adjusts (1) or holds (0)
  double startCaUM;         // Ca in the cuvette before the first addition
  bool dilution;            // the signal is diluted by the additions
  double startVolumeMl;
  std::vector<AdditionRun> runs;
  double noiseSD;           // standard deviation of one reading, response units
  int decimals;             // digits typed after the decimal point
  unsigned seed;            // of the reading noise
  bool broadSearch = false; // the fit needs "Extensive" from the start values given
};

inline const std::vector<ExampleTitration>& example_titrations() {
  static const std::vector<ExampleTitration> set = {
      {"one-site.bwd", "One Ca site, tryptophan fluorescence", "Fluorescence (a.u.)",
       "10 uM of a single-site calcium-binding domain, 2.0 ml in 20 mM Tris pH 7.5, 100 mM KCl, 25 C. "
       "Tryptophan fluorescence (ex 295 nm, em 340 nm) after each addition of 2 mM CaCl2. "
       "Generated example: log K 5.5, 0.8 uM contaminating Ca, reading noise 0.5.",
       1,
       {0, 100.0, 160.0, 10.0, 5.5},
       {0, 100.0, 158.0, 12.0, 5.0},
       {0, 1, 1, 1, 1},
       0.8, true, 2.0,
       {{2, 20, 2.0, 2.0}, {22, 10, 5.0, 2.0}},
       0.5, 2, 1001},

      {"two-sites-chelator.bwd", "Two Ca sites, competition with 5,5'-Br2BAPTA", "Absorbance 263 nm",
       "20 uM protein with two calcium sites and 25 uM 5,5'-Br2BAPTA (log Kd -5.8, calibrated "
       "separately), 2.0 ml in 2 mM Tris pH 7.5, 150 mM KCl, 25 C; 2 mM CaCl2 added. "
       "Generated example: log K1 5.9, log K2 6.3, 1.2 uM contaminating Ca, absorbance noise 0.002.",
       2,
       {0, 0.62, 0.18, 20.0, -5.8, 5.9, 6.3, 25.0},
       {0, 0.62, 0.19, 24.0, -5.8, 5.4, 5.8, 25.0},
       {0, 1, 1, 1, 0, 1, 1, 0},
       1.2, true, 2.0,
       {{2, 25, 2.0, 2.0}, {27, 15, 5.0, 2.0}, {42, 10, 10.0, 2.0}},
       0.002, 4, 2001},

      {"two-sites-protein-signal.bwd", "Two Ca sites, the protein's own fluorescence", "Fluorescence (rel.)",
       "2 uM of a two-site protein whose tryptophan fluorescence reports both sites, 2.0 ml in "
       "20 mM Tris pH 7.5, 100 mM KCl, 25 C; 2 mM CaCl2 added. Protein concentration from amino "
       "acid analysis. Generated example: log K1 6.5, log K2 5.0, 0.5 uM contaminating Ca, noise 0.004.",
       3,
       {0, 1.00, 1.40, 1.60, 2.0, 6.5, 5.0},
       {0, 1.00, 1.35, 1.55, 2.0, 6.0, 4.5},
       {0, 1, 1, 1, 0, 1, 1},
       0.5, true, 2.0,
       {{2, 20, 2.0, 2.0}, {22, 15, 10.0, 2.0}},
       0.004, 4, 3001, true},

      {"four-sites-chelator.bwd", "Four Ca sites, competition with 5,5'-Br2BAPTA", "Absorbance 263 nm",
       "10 uM of a four-site protein (calmodulin-like) and 30 uM 5,5'-Br2BAPTA (log Kd -5.7), 2.0 ml "
       "in 2 mM Tris pH 7.5, 150 mM KCl, 25 C; 2 mM CaCl2 added. Generated example: log K1 5.3, "
       "log K2 5.9, log K3 4.9, log K4 5.2, 1.0 uM contaminating Ca, absorbance noise 0.002.",
       4,
       {0, 0.95, 0.15, 10.0, -5.7, 5.3, 5.9, 4.9, 5.2, 30.0},
       {0, 0.95, 0.16, 10.0, -5.7, 4.8, 5.4, 4.4, 4.7, 30.0},
       {0, 1, 1, 0, 0, 1, 1, 1, 1, 0},
       1.0, true, 2.0,
       {{2, 25, 2.0, 2.0}, {27, 20, 5.0, 2.0}, {47, 12, 10.0, 2.0}},
       0.002, 4, 4001},

      {"four-sites-bapta.bwd", "Four Ca sites, competition with BAPTA", "Absorbance 254 nm",
       "The protein of four-sites-chelator.bwd titrated again to pin its constants: 10 uM with 40 uM "
       "BAPTA (log Kd -6.6, calibrated separately), which competes for calcium more strongly than "
       "5,5'-Br2BAPTA, 2.0 ml in 2 mM Tris pH 7.5, 150 mM KCl, 25 C; 2 mM CaCl2 added. Generated "
       "example from the same constants (log K1 5.3, log K2 5.9, log K3 4.9, log K4 5.2), 1.0 uM "
       "contaminating Ca, absorbance noise 0.002. Fit it globally with four-sites-chelator.bwd.",
       4,
       {0, 0.90, 0.22, 10.0, -6.6, 5.3, 5.9, 4.9, 5.2, 40.0},
       {0, 0.90, 0.23, 10.0, -6.6, 4.8, 5.4, 4.4, 4.7, 40.0},
       {0, 1, 1, 0, 0, 1, 1, 1, 1, 0},
       1.0, true, 2.0,
       {{2, 25, 2.0, 2.0}, {27, 20, 5.0, 2.0}, {47, 12, 10.0, 2.0}},
       0.002, 4, 4002},

      {"two-sites-two-chelators.bwd", "Two high-affinity Ca sites, Quin-2 and EDTA", "Fluorescence (a.u.)",
       "20 uM of a high-affinity two-site protein with 25 uM Quin-2 (log Kd -7.0, the signal) and "
       "10 uM EDTA (log Kd -7.4 in this buffer) as a silent second chelator, 2.0 ml in 20 mM Tris "
       "pH 7.5, 100 mM KCl, 25 C; 2 mM CaCl2 added. Generated example: log K1 7.6, log K2 7.9, "
       "0.6 uM contaminating Ca, fluorescence noise 0.3.",
       5,
       {0, 20.0, 110.0, 20.0, -7.0, -7.4, 7.6, 7.9, 25.0, 10.0},
       {0, 20.0, 108.0, 24.0, -7.0, -7.4, 7.1, 7.4, 25.0, 10.0},
       {0, 1, 1, 1, 0, 0, 1, 1, 0, 0},
       0.6, true, 2.0,
       {{2, 25, 2.0, 2.0}, {27, 15, 5.0, 2.0}, {42, 10, 10.0, 2.0}},
       0.3, 2, 5001},

      {"six-sites-chelator.bwd", "Six Ca sites, competition with Quin-2", "Fluorescence (a.u.)",
       "8 uM of a six-site protein (calbindin D28k-like) with 25 uM Quin-2 (log Kd -7.05), 2.0 ml "
       "in 20 mM Tris pH 7.5, 100 mM KCl, 25 C; 2 mM CaCl2 added. Generated example: log K1 to "
       "log K6 7.6, 7.2, 7.0, 7.3, 6.6, 6.4; 0.4 uM contaminating Ca, fluorescence noise 0.2.",
       6,
       {0, 15.0, 95.0, 8.0, -7.05, 7.6, 7.2, 7.0, 7.3, 6.6, 6.4, 25.0},
       {0, 15.0, 94.0, 8.0, -7.05, 7.1, 6.7, 6.5, 6.8, 6.1, 5.9, 25.0},
       {0, 1, 1, 0, 0, 1, 1, 1, 1, 1, 1, 0},
       0.4, true, 2.0,
       {{2, 30, 2.0, 2.0}, {32, 20, 5.0, 2.0}, {52, 15, 10.0, 2.0}},
       0.2, 2, 6001},

      {"two-sites-electrode.bwd", "Two Ca sites, calcium electrode", "Electrode (mV)",
       "50 uM of a two-site protein, 2.0 ml in 20 mM Tris pH 7.5, 100 mM KCl, 25 C; free calcium "
       "read with a calcium-selective electrode calibrated at 29.0 mV per decade; 20 mM CaCl2 added. "
       "Generated example: log K1 5.5, log K2 5.2, offset 80 mV, 3 uM contaminating Ca, noise 0.15 mV.",
       8,
       {0, 29.0, 80.0, 50.0, 5.5, 5.2},
       {0, 29.0, 78.0, 60.0, 5.0, 4.7},
       {0, 0, 1, 1, 1, 1},
       3.0, false, 2.0,
       {{2, 25, 2.0, 20.0}, {27, 10, 5.0, 20.0}},
       0.15, 2, 8001},
  };
  return set;
}

// "%g" in the C locale, as the command line parses numbers.
inline std::string number_text(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

// The options of `bindwise-cli fit` that fit the example as its README tells: the model, the
// start values and ticks of the dialog rows, the start Ca, dilution, broad search, and
// constant-SD errors at the reading noise.
inline std::string fit_arguments(const ExampleTitration& ex) {
  const int rows = fit_dialog_layout(ex.model - 1).rowsShown;
  std::string values, flags;
  for (int r = 1; r <= rows; ++r) {
    values += (r > 1 ? "," : "") + number_text(ex.start[r]);
    flags += (r > 1 ? "," : "") + std::to_string(ex.fitted[r]);
  }
  std::string args = "--model " + std::to_string(ex.model) + " --values " + values + " --fit-flags " + flags +
                     " --start-ca " + number_text(ex.startCaUM);
  if (!ex.dilution) args += " --no-dilution";
  if (ex.broadSearch) args += " --extensive";
  return args + " --errors sd:" + number_text(ex.noiseSD);
}

}  // namespace examples
