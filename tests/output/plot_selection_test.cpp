#include "outputview/plot_selection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/titration.h"
#include "commands/simulate_command.h"
#include "support/vector_plot_list.h"

using ListStub = VectorPlotList;

// View follows the list order to the slot, also after a deletion reordered the slots; the
// curve count is checked before the selection.
TEST(PlotSelection, ViewAddressesSlotsThroughTheListOrder) {
  Titration doc;
  ListStub list;
  doc.m_pPlotList = &list;
  list.selection = 0;
  EXPECT_EQ(choose_plot_to_view(doc).message, kNoSimulatedCurvesMessage);

  for (int i = 0; i < 3; ++i) add_plot_entry(doc, find_free_slot(doc));  // slots 1, 2, 3
  list.selection = 1;
  ASSERT_TRUE(delete_selected_plot(doc).removed);  // frees slot 2
  add_plot_entry(doc, find_free_slot(doc));        // reuses slot 2 at list position 3
  EXPECT_EQ(PlotListEntries(doc), (std::vector<std::string>{"Plot 1", "Plot 3", "Plot 4"}));

  list.selection = -1;
  EXPECT_EQ(choose_plot_to_view(doc).message, kSelectPlotMessage);
  const int expected[] = {1, 3, 2};
  for (int p = 0; p < 3; ++p) {
    list.selection = p;
    const PlotChoice choice = choose_plot_to_view(doc);
    EXPECT_EQ(choice.slot, expected[p]) << p;
    EXPECT_TRUE(choice.message.empty());
  }
}
