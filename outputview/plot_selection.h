// Which simulated curve the View command (the View button and a double click in the plot
// list) shows: the slot behind the list's selected entry, or the message why there is none.
#pragma once

#include <string>

class Titration;

inline constexpr const char* kNoSimulatedCurvesMessage = "Sorry no Simulated curves available!";

struct PlotChoice {
  int slot = 0;         // 1..10 when a curve was chosen
  std::string message;  // otherwise the text to show (application title, OK)
};

// Uses the document's plot list selection (m_pPlotList->GetCurSel()).
PlotChoice choose_plot_to_view(const Titration& doc);
