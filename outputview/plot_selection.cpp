#include "outputview/plot_selection.h"

#include "document/titration.h"
#include "commands/simulate_command.h"

PlotChoice choose_plot_to_view(const Titration& doc) {
  PlotChoice choice;
  // The curve count decides first: a selection left over in the list means nothing then.
  if (doc.m_nSims <= 0) {
    choice.message = kNoSimulatedCurvesMessage;
    return choice;
  }
  const int selection = doc.m_pPlotList ? doc.m_pPlotList->GetCurSel() : -1;
  if (selection < 0 || selection >= doc.m_nSims) {
    choice.message = kSelectPlotMessage;
    return choice;
  }
  const int slot = doc.m_nSlotOrder[selection + 1];
  if (slot < 1 || slot > Titration::kMaxSims) {
    choice.message = kSelectPlotMessage;
    return choice;
  }
  choice.slot = slot;
  return choice;
}
