// A plot list held in a vector, standing in for the control view's list box in core tests.
#pragma once

#include <string>
#include <vector>

#include "document/titration.h"

struct VectorPlotList : PlotListSink {
  std::vector<std::string> items;
  int selection = -1;  // -1: nothing selected, as a list box reports it
  void AddString(const std::string& t) override { items.push_back(t); }
  void DeleteString(int i) override { items.erase(items.begin() + i); }
  void ResetContent() override { items.clear(); }
  int GetCount() const override { return static_cast<int>(items.size()); }
  int GetCurSel() const override { return selection; }
};
