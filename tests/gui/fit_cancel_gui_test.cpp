// A fit runs on the worker while the window stays live: Esc or the Cancel button beside the
// progress bar stops it and the document stays byte for byte as it was; a fit left alone
// ends in the document with its stop reason, which the fit's Parameters dialog shows.
#include <gtest/gtest.h>

#include <vector>

#include <wx/button.h>
#include <wx/uiaction.h>

#include "app/wx/fixed_splitter.h"
#include "app/wx/main_frame.h"
#include "commands/fit_command.h"
#include "commands/wx/fit_parameters_dlg.h"
#include "document/bwd_file.h"
#include "document/wx/bindwise_doc.h"
#include "gui_test_support.h"
#include "outputview/wx/output_view.h"
#include "../commands/series.h"

namespace {

std::vector<unsigned char> bytes_of(const Titration& doc) {
  std::vector<unsigned char> bytes;
  EXPECT_TRUE(EncodeBwd(doc, "doc.bwd", bytes).ok);
  return bytes;
}

// A 99-point six-site titration in the grid and the Fit dialog's values set for a broad
// search from a start 0.5 log units off, with jackknife errors: seconds of work.
COutputView& prepare_six_site_broad_search() {
  gui::ResetDocument();
  SeriesSpec s;
  s.model = 6;
  const double rows[] = {0, 0.1, 1.0, 5.0, -6.0, 6.5, 6.3, 6.1, 5.9, 5.7, 5.5, 20.0};
  for (int r = 1; r <= kValueRows; ++r) s.rows[r] = rows[r];
  s.points = 99;
  s.lastAddedCaUM = 150;
  s.noise = 0.002;
  write_series(gui::Doc(), s);
  gui::Doc().Modify(false);
  COutputView& view = *gui::Frame().GetOutputView();
  FitSettings& fit = view.m_dlgFit;
  fit.m_nModelIndex = 5;
  fit_dialog_open(fit, gui::Doc());
  for (int r = 1; r <= kValueRows; ++r) fit.m_dValue[r] = rows[r] + (r >= 5 && r <= 10 ? 0.5 : 0.0);
  fit.m_bExtensive = 1;
  fit_dialog_choose_error_radio(fit, ErrorRadio::Jackknife);
  fit.m_bEstimateErrors = 1;
  return view;
}

void wait_for_the_fit(COutputView& view) {
  for (int i = 0; i < 6000 && view.IsFitRunning(); ++i) gui::Pump(10);
}

}  // namespace

TEST(FitOnTheWorker, EscStopsALongFitAndTheDocumentStaysAsItWas) {
  COutputView& view = prepare_six_site_broad_search();
  const std::vector<unsigned char> before = bytes_of(gui::Doc());
  gui::ExpectDialog(wxID_OK);
  view.OnFit();
  ASSERT_TRUE(view.IsFitRunning()) << "the handler returns while the worker fits";
  ASSERT_NE(view.GetCancelButton(), nullptr);
  EXPECT_EQ(view.GetCancelButton()->GetLabel(), "Cancel");
  EXPECT_FALSE(gui::Frame().GetSplitter()->IsEnabled()) << "the panes refuse input during the fit";
  gui::Pump(30);  // the Cancel button takes the focus
  ASSERT_TRUE(view.IsFitRunning());
  // Esc delivered to the focused window at once, as the pressed Cancel button below: a key
  // simulated through the X server arrives after its round trip, by which time an unloaded
  // machine may have finished the fit.
  wxWindow* focus = wxWindow::FindFocus();
  ASSERT_NE(focus, nullptr);
  wxKeyEvent esc(wxEVT_CHAR_HOOK);
  esc.m_keyCode = WXK_ESCAPE;
  esc.SetEventObject(focus);
  focus->GetEventHandler()->ProcessEvent(esc);
  wait_for_the_fit(view);
  ASSERT_FALSE(view.IsFitRunning());
  EXPECT_TRUE(bytes_of(gui::Doc()) == before) << "a stopped fit changes nothing";
  EXPECT_FALSE(gui::Doc().IsModified());
  EXPECT_EQ(gui::Doc().m_bShowFit, 0);
  EXPECT_TRUE(gui::Frame().GetSplitter()->IsEnabled());
  EXPECT_EQ(view.GetCancelButton(), nullptr);
  gui::TakeDialogTexts();
}

TEST(FitOnTheWorker, TheCancelButtonStopsItToo) {
  COutputView& view = prepare_six_site_broad_search();
  const std::vector<unsigned char> before = bytes_of(gui::Doc());
  gui::ExpectDialog(wxID_OK);
  view.OnFit();
  ASSERT_TRUE(view.IsFitRunning());
  wxButton* cancel = view.GetCancelButton();
  ASSERT_NE(cancel, nullptr);
  // Pressed through its own event, at once: a simulated pointer click arrives only after the
  // X server's round trip, by which time an unloaded machine may have finished the fit.
  wxCommandEvent press(wxEVT_BUTTON, cancel->GetId());
  press.SetEventObject(cancel);
  cancel->GetEventHandler()->ProcessEvent(press);
  wait_for_the_fit(view);
  ASSERT_FALSE(view.IsFitRunning());
  EXPECT_EQ(gui::Doc().m_bShowFit, 0);
  EXPECT_TRUE(bytes_of(gui::Doc()) == before);
  gui::TakeDialogTexts();
}

TEST(FitOnTheWorker, AFinishedFitShowsHowItEndedInItsParametersDialog) {
  COutputView& view = prepare_six_site_broad_search();
  view.m_dlgFit.m_bExtensive = 0;
  view.m_dlgFit.m_bEstimateErrors = 0;
  gui::ExpectDialog(wxID_OK);
  view.OnFit();
  wait_for_the_fit(view);
  ASSERT_EQ(gui::Doc().m_bShowFit, 1);
  ASSERT_TRUE(gui::Doc().m_fitRun.known);
  CFitParametersDlg dialog(&gui::Frame(), gui::Doc());
  const wxString expected = wxString::Format("Fit ended: %s\nLeast-squares runs: %d",
                                             fit_stop_text(gui::Doc().m_fitRun.stop), gui::Doc().m_fitRun.runs);
  EXPECT_EQ(dialog.FitRunText(), expected);
  EXPECT_TRUE(dialog.Title().Contains("6 Ca sites")) << dialog.Title();
  EXPECT_FALSE(dialog.Rows().empty());
  gui::TakeDialogTexts();
  gui::ResetDocument();
}
