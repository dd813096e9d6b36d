// Documents the graph tests draw: the twelve-row titration of the worked example and a few
// helpers to fill cells and curves.
#pragma once

#include <cmath>
#include <limits>
#include <memory>
#include <string>

#include "document/titration.h"
#include "commands/display_values.h"

inline void SetRow(Titration& doc, int row, const std::string& response, const std::string& addedCa) {
  doc.m_cells[row][0].SetText(response);
  doc.m_cells[row][1].SetText(addedCa);
}

// Responses 0.52 to 0.91 and added Ca 0 to 200 uM in rows 0..11.
inline std::unique_ptr<Titration> ExampleTitration() {
  auto doc = std::make_unique<Titration>();
  for (int i = 0; i < 12; ++i)
    SetRow(*doc, i, format_c("%.4f", 0.52 + i * 0.39 / 11), format_c("%.4f", i * 200.0 / 11));
  return doc;
}

// Every sample of the fit curve not given below is NaN, so it draws nothing.
inline void ClearFitCurve(Titration& doc) {
  for (FitPoint& p : doc.m_fitCurve) p = {std::numeric_limits<double>::quiet_NaN(), 0.0};
}
