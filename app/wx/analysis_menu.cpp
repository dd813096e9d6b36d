#include "app/wx/analysis_menu.h"

#include <cstring>

#include <wx/menu.h>

#include "app/wx/command_ids.h"

const MenuEntry kAnalysisMenu[] = {
    {ID_ANALYSIS_FIT, "&Fit...\tCtrl+F", "Fit a binding model to the titration points"},
    {ID_ANALYSIS_SIMULATE, "&Simulate...\tCtrl+M", "Draw the curve of a model with typed parameters"},
    {ID_ANALYSIS_GENERATE, "&Generate Data...\tCtrl+G", "Fill the grid from a plan of equal additions"},
    {ID_ANALYSIS_COMPARE, "&Compare Models...\tCtrl+Shift+M", "Fit every model of the fit's kind and rank them"},
    {ID_ANALYSIS_GLOBAL_FIT, "G&lobal Fit...\tCtrl+Shift+G", "Fit several titrations of one protein together, sharing its constants"},
    {0, nullptr, nullptr},
    {ID_ANALYSIS_UPDATE, "&Update\tF5", "Redraw the grid, the graph and the results"},
    {ID_ANALYSIS_DESCRIPTION, "&Description...\tCtrl+D", "Describe the experimental conditions"},
    {0, nullptr, nullptr},
    {ID_ANALYSIS_AXIS, "&Axis...\tCtrl+Shift+A", "Set the graph's title, captions and axis limits"},
    {ID_ANALYSIS_TOGGLE_FIT, "&Hide Fit\tCtrl+H", "Hide or show the fitted curve"},
    {ID_ANALYSIS_TOGGLE_RESIDUALS, "Hide &Residuals\tCtrl+R", "Hide or show the residual strip under the graph"},
    {ID_ANALYSIS_FIT_PARAMETERS, "Fit &Parameters...\tCtrl+Shift+P",
     "The fitted rows with their intervals, correlations and warnings"},
};
const int kAnalysisMenuSize = static_cast<int>(sizeof(kAnalysisMenu) / sizeof(kAnalysisMenu[0]));

wxMenu* CreateAnalysisMenu() {
  auto* menu = new wxMenu;
  for (int i = 0; i < kAnalysisMenuSize; ++i) {
    const MenuEntry& e = kAnalysisMenu[i];
    if (e.label == nullptr)
      menu->AppendSeparator();
    else
      menu->Append(e.id, e.label, e.prompt);
  }
  return menu;
}

const MenuEntry* FindAnalysisEntry(int id) {
  for (int i = 0; i < kAnalysisMenuSize; ++i)
    if (kAnalysisMenu[i].label != nullptr && kAnalysisMenu[i].id == id) return &kAnalysisMenu[i];
  return nullptr;
}

wxString AnalysisToolTip(int id) {
  const MenuEntry* e = FindAnalysisEntry(id);
  if (!e) return {};
  return wxString::Format("%s (%s)", e->prompt, AnalysisShortcut(id));
}

const char* AnalysisShortcut(int id) {
  const MenuEntry* e = FindAnalysisEntry(id);
  if (!e) return "";
  const char* tab = std::strchr(e->label, '\t');
  return tab ? tab + 1 : "";
}
