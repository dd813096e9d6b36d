// The help viewer on the running program: "&Help Topics" opens the book's contents, and each
// dialog's context number opens its own topic, with the book found where the program looks
// for its resources.
#include <gtest/gtest.h>

#include <wx/html/helpfrm.h>
#include <wx/html/helpwnd.h>
#include <wx/html/htmlwin.h>

#include "app/wx/bindwise_app.h"
#include "app/wx/main_frame.h"
#include "gui_test_support.h"

namespace {

wxHtmlHelpFrame* OpenHelpFrame() {
  for (wxWindow* window : wxTopLevelWindows)
    if (auto* frame = dynamic_cast<wxHtmlHelpFrame*>(window); frame && frame->IsShown()) return frame;
  return nullptr;
}

// File name of the page the viewer shows, or "" when no help window is open.
wxString ShownPage() {
  wxHtmlHelpFrame* frame = OpenHelpFrame();
  if (!frame || !frame->GetHelpWindow()) return {};
  const wxString page = frame->GetHelpWindow()->GetHtmlWindow()->GetOpenedPage();
  return page.AfterLast('/');
}

void CloseHelp() {
  if (wxHtmlHelpFrame* frame = OpenHelpFrame()) frame->Close(true);
  gui::Pump(200);
}

}  // namespace

TEST(Help, HelpTopicsOpensTheContents) {
  wxCommandEvent topics(wxEVT_MENU, wxID_HELP_CONTENTS);
  gui::Frame().GetEventHandler()->ProcessEvent(topics);
  gui::Pump(300);
  EXPECT_TRUE(gui::TakeDialogTexts().empty()) << "the book was not found or not read";
  ASSERT_NE(OpenHelpFrame(), nullptr);
  EXPECT_EQ(ShownPage(), "index.html");
  CloseHelp();
}

TEST(Help, EachDialogContextOpensItsTopic) {
  const struct {
    int context;
    const char* page;
  } topics[] = {{133073, "fit.html"}, {133075, "simulate.html"}, {133076, "generate.html"}};
  for (const auto& t : topics) {
    CBindwiseApp::Get().ShowHelp(t.context);
    gui::Pump(300);
    EXPECT_EQ(ShownPage(), t.page) << "context " << t.context;
  }
  EXPECT_TRUE(gui::TakeDialogTexts().empty());
  CloseHelp();
}
