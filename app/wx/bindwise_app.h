// CBindwiseApp: start-up and shutdown of the desktop program, the document manager with
// its one template (Bindwise Files, *.bwd), the recent-file list (4 entries, kept with
// wxConfig under the vendor "Bindwise Software"), the About box and the help book.
//
// main.cpp only instantiates it; GUI tests derive their own application from it and call
// StartUp() themselves.
#pragma once

#include <memory>

#include <wx/app.h>
#include <wx/docview.h>

class BindwiseDoc;
class CMainFrame;
class wxHtmlHelpController;

// The document manager of the single-document program: New and Open reuse the one
// document, and a file is read completely before the open document is replaced.
class CBindwiseDocManager : public wxDocManager {
 public:
  CBindwiseDocManager();

  BindwiseDoc* GetDoc() const;
  // Asks to save a modified document, then reads path into it. False when the user
  // cancelled or the file could not be read (the reason was shown; nothing changed).
  bool OpenPath(const wxString& path);
  // Asks to save a modified document, then resets it.
  bool NewDocument();

  void AddFileToHistory(const wxString& file) override;
  void RemoveFileFromHistory(size_t i) override;
  wxFileHistory* OnCreateFileHistory() override;

 private:
  void OnFileNew(wxCommandEvent& event);
  void OnFileOpen(wxCommandEvent& event);
  void OnRecentFile(wxCommandEvent& event);
  void OnPrintNotHere(wxCommandEvent& event);
  void HistoryChanged();

  wxDECLARE_EVENT_TABLE();
};

class CBindwiseApp : public wxApp {
 public:
  CBindwiseApp();
  ~CBindwiseApp() override;

  bool OnInit() override;
  int OnExit() override;
  void OnInitCmdLine(wxCmdLineParser& parser) override;
  bool OnCmdLineParsed(wxCmdLineParser& parser) override;

  // Configuration, document manager, template, frame, document and views; then opens
  // fileToOpen when it is not empty. False when the window could not be built.
  bool StartUp(const wxString& fileToOpen);

  // Help book: context 0 opens the contents, other numbers the topic mapped to them.
  void ShowHelp(int context);

  CMainFrame* GetMainFrame() const { return m_pFrame; }
  CBindwiseDocManager* GetDocManager() const { return m_pDocManager; }
  BindwiseDoc* GetDoc() const;

  static CBindwiseApp& Get();

 private:
  void OnAppAbout(wxCommandEvent& event);
  void SetUpConfig();

  wxString m_strFileToOpen;
  CBindwiseDocManager* m_pDocManager = nullptr;
  CMainFrame* m_pFrame = nullptr;
  std::unique_ptr<wxHtmlHelpController> m_pHelp;

  wxDECLARE_EVENT_TABLE();
};
