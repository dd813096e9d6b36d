// The Simulate command: draws a model curve from typed parameters into one of ten simulation
// slots, and the plot-list bookkeeping it shares with the Del command of the control panel.
// Slots are reused lowest-first; the list shows curves in creation order with a running
// "Plot %i" number; m_nSlotOrder maps list positions (from 1) to slots.
//
// The window shows the Simulate dialog, calls run_simulate_command when it ends with OK,
// shows the returned messages (application title, OK) and updates the views.
#pragma once

#include <string>
#include <vector>

#include "document/titration.h"
#include "commands/fit_settings.h"

inline constexpr const char* kSimDilutionMessage =
    "Not enough volume points have been added.\nDilution not considered";
inline constexpr const char* kSimTooManyCurvesMessage =
    "Only 10 curves can be drawn at each time\nRemove one to draw a new curve";
inline constexpr const char* kDelNoCurvesMessage = "No simulated curves to remove!";
inline constexpr const char* kSelectPlotMessage = "Select plot";

// Smallest free slot 1..10, or 11 when every slot is used.
int find_free_slot(const Titration& doc);
// Marks slot k used, appends it at the end of the list order and adds the list entry
// "Plot %i" with the next running number.
void add_plot_entry(Titration& doc, int k);

struct SimulateOutcome {
  bool computed = false;            // a curve was drawn
  int slot = 0;                     // its slot 1..10
  bool copiedToFit = false;         // the dialog's values went into the Fit dialog
  std::vector<std::string> messages;  // in the order to show them
};

// Runs the command after the dialog ended with OK. fitDialog receives "Copy to Fit" (model,
// values, start Ca) when sim.m_bCopyToFit is set, also when the curve is refused; it may be
// null. Nothing happens (no message) when no row has an added-Ca text.
SimulateOutcome run_simulate_command(Titration& doc, const SimulateSettings& sim, FitSettings* fitDialog);

// The 498-sample curve of slot k from the record in m_sims[k - 1]: total Ca from start Ca +
// 0.2 % to start Ca + 99.6 % of (lastAddedCa + start Ca), volumes from firstVolume to
// lastVolume. Used by the command; exposed for tests.
void sample_simulated_curve(Titration& doc, int k, double lastAddedCaUM, double firstVolume,
                            double lastVolume);

struct DeletePlotOutcome {
  bool removed = false;
  int slot = 0;          // the freed slot
  std::string message;   // when not removed
};

// The Del command on the plot list's current selection (m_pPlotList->GetCurSel()): removes
// the list entry and frees its slot. The stored curve stays in its slot until it is reused.
DeletePlotOutcome delete_selected_plot(Titration& doc);
// The same for a list position counted from 1 (the command line), with the same messages; the
// list entry at position - 1 is removed when the document has a plot list.
DeletePlotOutcome delete_plot_at(Titration& doc, int position);
