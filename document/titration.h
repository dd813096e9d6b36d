// The titration document: every member of one experiment as fixed-size plain data.
// The wx document (BindwiseDoc) derives from Titration; everything that reads or changes
// the experiment takes a Titration& and needs no window.
//
// Units: added Ca in the grid is uM, volumes in the grid are whatever the user types (the
// Generate Data plan writes ml), curve abscissae are uM, parameter slots are internal units
// (nM, nM^-1). Grid rows and columns count from 0; parameter slots, simulation slots and
// plot-list positions count from 1.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "document/c_text.h"
#include "fitting/fit_stop.h"
#include "document/fit_diagnostics.h"

typedef unsigned char BYTE;

// One grid cell: the text as typed and the number parsed from it (always re-derived).
class CCell {
 public:
  virtual ~CCell() = default;

  // Each mutator re-parses and returns true when the text is not empty and not a complete
  // number (see document/number_text.h: either decimal mark, an exponent, blanks around).
  bool SetText(const std::string& text);
  std::string GetText() const { return m_strText; }
  const std::string& Text() const { return m_strText; }
  double GetValue() const { return m_dValue; }

  // Editing at a caret counted as characters to the right of it (from the end of the text).
  // Texts are UTF-8, so "characters" are code points, never bytes: a pasted or loaded
  // "5 \u00b5M" must not be cut inside its two-byte micro sign.
  static constexpr int kMaxTypedLength = 12;
  int CharCount() const;
  bool InsertChar(char ch, int caretFromEnd);
  bool Backspace(int caretFromEnd);
  bool DeleteChar(int caretFromEnd);
  bool DeleteRange(int a, int b);

  bool Parse();
  // Empty, or a complete number: the cell's value is exactly what it shows.
  bool IsNumber() const { return m_bNumber; }

  std::string m_strText;
  double m_dValue = 0.0;

 private:
  bool m_bNumber = true;
};

struct CellPosition {
  int row = -1, col = -1;  // -1 when there is none
  bool Valid() const { return row >= 0; }
};


// Widths of text in the grid's current font, for caret placement.
class TextMeasurer {
 public:
  virtual ~TextMeasurer() = default;
  virtual int TextWidth(const std::string& text) = 0;
};

class CCellCursor {
 public:
  virtual ~CCellCursor() = default;

  void SetCell(int row, int col);
  void SetRow(int row);
  void SetCol(int col);
  void EndEdit();
  void BeginEdit();
  int GetRow() const { return m_nRow; }
  int GetCol() const { return m_nCol; }
  // Caret (characters right of it) for a click at x in right-aligned text ending at textRight.
  static int CaretFromX(TextMeasurer& measure, const std::string& text, int x, int textRight);

  BYTE m_bKeepText = 1;
  int m_nCaret = 0;
  int m_nLastCol = 2;
  int m_nLastRow = 98;
  BYTE m_bEditing = 0;
  int m_nCol = 0;
  int m_nRow = 0;
  int m_nEditClicks = 0;
};

// Parameters of one fit or one simulation, in internal units.
class ParamSet {
 public:
  virtual ~ParamSet() = default;
  static constexpr int kSlots = 15;  // slot 0 (fit chi-square) and up to 14 parameters

  BYTE m_bErrors = 0;
  int m_nModel = 0;
  double m_dStartCa = 0.0;  // uM
  BYTE m_bElectrode = 0;
  BYTE m_bDilution = 0;
  double m_p[kSlots] = {};
  double m_err[kSlots] = {};
  int m_nParams = 0;
};

// How the last fit of this session ended. Not part of the file: a fit read from a file has
// known = false.
struct FitRunRecord {
  bool known = false;
  FitStop stop = FitStop::Converged;
  int runs = 0;  // least-squares runs
};

struct GenStep {
  int m_nStart = 0;
  int m_nAdditions = 0;
  double m_dVolume = 0.0;  // per addition, in the plan's volume unit
  double m_dConc = 0.0;    // in the plan's concentration unit
  double m_dWork1 = 0.0;   // scratch values used only while a run is generated
  double m_dWork2 = 0.0;
};

struct SimPoint {
  double y[11] = {};
  double x[11] = {};  // uM; index k = simulation slot 1..10, index 0 unused
};

struct FitPoint {
  double y = 0.0;
  double x = 0.0;  // uM
};

struct GridPoint {
  double x = 0.0, y = 0.0, v = 0.0;
};

// The plot list of the control view as the core sees it (positions count from 0 here,
// as a list box's do). The window implements it; tests use a plain vector.
class PlotListSink {
 public:
  virtual ~PlotListSink() = default;
  virtual void AddString(const std::string& text) = 0;
  virtual void DeleteString(int index) = 0;
  virtual void ResetContent() = 0;
  virtual int GetCount() const = 0;
  virtual int GetCurSel() const = 0;  // -1 when nothing is selected
};

class TitrationEdit;

// What kind of user action changed the experiment, which decides what undoing it restores.
enum class EditKind {
  Grid,        // cell texts and the Generate Data plan
  Experiment,  // data, fit, simulations, plan and description; never the axes or the cursor
  Settings,    // marks the document modified but is not undone (axis texts and limits)
  View,        // only redraws (a fit hidden or shown)
};

// One finished user action, as the document's owner hears of it. `before` is the experiment
// as it was when the action began (null for Settings and View).
struct EditRecord {
  EditKind kind = EditKind::Settings;
  std::string name;   // "Typing", "Paste", "Fit" ...
  int mergeKey = 0;   // non-zero: consecutive actions with the same key are one undo step
  std::shared_ptr<const class Titration> before;
};

class Titration {
 public:
  static constexpr int kRows = 99;
  static constexpr int kCols = 3;
  static constexpr int kCurvePoints = 498;
  static constexpr int kMaxSims = 10;
  static constexpr int kMaxGenSteps = 100;

  Titration();
  virtual ~Titration() = default;
  Titration(const Titration&) = default;
  Titration& operator=(const Titration&) = default;

  // Resets every member a New command resets (see the .cpp for what it keeps on purpose).
  void ResetForNew();

  // Copies all persistent and derived experiment data from other, keeping this document's
  // plot-list pointer. Used when a file read into a fresh Titration replaces the open one.
  void AssignExperiment(const Titration& other);

  // The change hook. Every user action that changes the experiment runs inside one
  // TitrationEdit (document/titration_edit.h); when the outermost edit ends with a change,
  // OnEdited runs once. The wx document overrides it to record the undo step, mark itself
  // modified and update its views; the default only marks the core's flag.
  virtual void OnEdited(const EditRecord& record);
  // A change happened. Inside an edit it is noted for the edit's end; outside any edit it is
  // a Settings edit of its own, reported at once.
  void MarkChanged();
  // true marks a change (as MarkChanged); false clears the core's flag (after a load).
  void SetModifiedFlag(bool modified = true);
  virtual bool IsModifiedCore() const { return m_bModifiedCore; }

  CCell m_cells[kRows][kCols];
  CCellCursor m_cursor;
  SimPoint m_simCurve[kCurvePoints];
  GridPoint m_points[kRows];
  float m_fTemperature = 298.15f;  // kelvin
  int m_nPlotsListed = 0;
  PlotListSink* m_pPlotList = nullptr;  // only its selection is read; the view fills it
  BYTE m_bSlotFree[kMaxSims + 1] = {};
  int m_nSlotOrder[kMaxSims + 1] = {};
  int m_nPlotNumber[kMaxSims + 1] = {};  // the "Plot %i" number of list positions 1..m_nSims
  int m_nFitDlgLastModel = 18;
  int m_nSims = 0;
  BYTE m_bFitAxesToSims = 0;
  int m_nGenSteps = 0;
  int m_nGenVolUnit = 0;
  int m_nGenConcUnit = 0;
  BYTE m_bGraphDrag = 0;
  double m_dSimStartCa = 0.0;
  double m_dStartCa = 0.0;  // uM
  double m_dXMin = 0.0, m_dYMin = 0.0, m_dXMax = 0.0, m_dYMax = 0.0;
  std::string m_strYCaption = "Response";
  std::string m_strXCaption = "Total Ca/uM";
  std::string m_strTitle = "Title";
  std::string m_strDescription;
  BYTE m_bAxisFixed = 0;
  // Last Generate Data request.
  int m_nGenStart = 1;
  int m_nGenCount = 0;
  int m_nGenEnd = 1;
  double m_dGenConcAdded = 0.0;
  double m_dGenVolAdded = 0.0;
  double m_dGenStartVolume = 0.0;  // ml
  GenStep m_genSteps[kMaxGenSteps + 1];
  ParamSet m_fit;
  FitRunRecord m_fitRun;
  ParamSet m_sims[kMaxSims];
  FitPoint m_fitCurve[kCurvePoints];
  BYTE m_bShowFit = 0;
  FitDiagnostics m_fitDiagnostics;  // of the last fit made in this session; not saved
  BYTE m_bShowResiduals = 1;        // the residual strip under the graph while a fit is shown; not saved
  BYTE m_bHaveSims = 0;

 private:
  friend class TitrationEdit;
  friend std::shared_ptr<const Titration> SnapshotOf(const Titration& doc);
  bool m_bModifiedCore = false;
  TitrationEdit* m_pOpenEdit = nullptr;  // the outermost edit running, if any
};

// The entries the plot list shows, in list order: "Plot %i" for positions 1..m_nSims.
std::vector<std::string> PlotListEntries(const Titration& doc);
