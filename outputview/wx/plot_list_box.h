// CPlotListBox: the list of simulated plots in the control pane. One entry per curve in
// creation order ("Plot %i"), each written in its slot's colour so it matches the curve in
// the graph; the selected entry in the theme's highlight colours. The core adds and removes
// entries through PlotListSink; a double click asks the owner view for the View command.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <wx/vlbox.h>

#include "document/titration.h"

class CPlotListBox : public wxVListBox, public PlotListSink {
 public:
  static constexpr int kItemHeight = 15;  // pixels

  CPlotListBox(wxWindow* parent, int id, const wxPoint& pos, const wxSize& size);

  // The document whose list order gives each entry's slot (and so its colour).
  void SetDocument(const Titration* doc) { m_pDoc = doc; }
  // What a double click on an entry runs (the owner view's View command).
  void SetOnDoubleClick(std::function<void()> action) { m_onDoubleClick = std::move(action); }

  // PlotListSink: positions count from 0.
  void AddString(const std::string& text) override;
  void DeleteString(int index) override;
  void ResetContent() override;
  int GetCount() const override;
  int GetCurSel() const override;

  std::string GetString(int index) const;
  // Text colour of entry index when not selected: its slot's plot colour.
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
};
