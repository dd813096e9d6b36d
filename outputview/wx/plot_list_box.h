// CPlotListBox: the list of simulated plots in the control pane. One entry per curve in
// creation order ("Plot %i"): a short line in the slot's colour, matching the curve in the
// graph, then the text in black (the theme's highlight colours when selected). A scroll
// bar appears when the entries do not fit. The owner view fills it
// from the document after every change (SetEntries); commands read its selection through
// PlotListSink; a double click asks the owner view for the View command.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <wx/vlbox.h>

#include "document/titration.h"
#include "outputview/control_layout.h"

class CPlotListBox : public wxVListBox, public PlotListSink {
 public:
  CPlotListBox(wxWindow* parent, int id, const wxPoint& pos, const wxSize& size);

  // The document whose list order gives each entry's slot (and so its colour).
  void SetDocument(const Titration* doc) { m_pDoc = doc; }
  // Font and entry sizes (outputview/control_layout.h).
  void SetEntryMetrics(const PlotListMetrics& metrics);
  const PlotListMetrics& EntryMetrics() const { return m_metrics; }
  // The least height the list can be given: its scroll bar's minimum and its border.
  int MinimumHeight();
  // What a double click on an entry runs (the owner view's View command).
  void SetOnDoubleClick(std::function<void()> action) { m_onDoubleClick = std::move(action); }

  // Shows exactly these entries. The selection stays on the entry with the same text, or
  // goes when that entry is gone.
  void SetEntries(const std::vector<std::string>& entries);

  // PlotListSink: positions count from 0.
  void AddString(const std::string& text) override;
  void DeleteString(int index) override;
  void ResetContent() override;
  int GetCount() const override;
  int GetCurSel() const override;

  std::string GetString(int index) const;
  // Colour of entry index's swatch: its slot's plot colour.
  wxColour EntryColour(int index) const;

 protected:
  void OnDrawItem(wxDC& dc, const wxRect& rect, size_t n) const override;
  void OnDrawBackground(wxDC& dc, const wxRect& rect, size_t n) const override;
  wxCoord OnMeasureItem(size_t n) const override;

 private:
  void OnDoubleClick(wxCommandEvent& event);

  std::vector<std::string> m_items;
  const Titration* m_pDoc = nullptr;
  std::function<void()> m_onDoubleClick;
  PlotListMetrics m_metrics = plot_list_metrics(0, 96);
};
