// Generate Data: plans a titration as runs of equal additions and writes, for every row of a
// run, the total volume (ml) and the total added Ca after dilution (uM) into the grid. The
// runs are kept in the document as its plan (m_genSteps); the dialog lists them as
// "Start | Nbr add | Vol | Conc". Cells are numbered from 1 here: cell r is grid row r - 1.
//
// The modeless dialog only copies its controls into a GenerateRequest, shows the texts these
// functions return, and keeps its list lines in a vector that take_generate_request updates.
#pragma once

#include <string>
#include <vector>

#include "document/titration.h"

// The dialog's exchanged members.
struct GenerateRequest {
  double m_dVolStart = 0.0;    // "Volume-start:", ml
  int m_nVolUnit = 0;          // 0 "ml", 1 "ul", 2 "nl"
  int m_nConcUnit = 0;         // 0 "mM", 1 "uM", 2 "nM"
  int m_nStartCell = 2;        // "Start cell nbr:"
  int m_nAdditionCount = 0;    // "nbr of additions:"
  double m_dConcAdded = 0.0;   // "Ca Conc added:", in the concentration unit
  double m_dVolAdded = 0.0;    // "Volume added:", in the volume unit
};

// Unit factors by combo index (any other index gives 1.0) and the combo texts.
double gen_volume_factor(int index);
double gen_conc_factor(int index);
const char* gen_volume_unit_name(int index);  // "" outside 0..2
const char* gen_conc_unit_name(int index);

// One list line, " %i  | %i  |%7.2f  | %7.2f " of start, additions, volume, concentration.
std::string gen_step_line(const GenStep& step);
// The list as the dialog fills it on opening: one line per plan entry 1..m_nGenSteps.
std::vector<std::string> gen_list_lines(const Titration& doc);

// Edit texts of the dialog: on opening (plan start volume and entry 1) and when a list line
// is selected (that entry; start volume left empty).
struct GenerateEditTexts {
  std::string startVolume;  // "%7.3f"
  std::string startCell;    // "%i"
  std::string additions;    // "%i"
  std::string conc;         // "%7.3f"
  std::string volume;       // "%7.3f"
};
GenerateEditTexts gen_texts_on_open(const Titration& doc);
GenerateEditTexts gen_texts_for_entry(const Titration& doc, int listIndex);  // listIndex from 0

// The range checks of the dialog's data exchange (start cell 0..97, additions 0..96).
// Returns the message to show, or "" when the fields are acceptable.
std::string gen_validate_fields(const GenerateRequest& request);
// The same check for one integer field, so the dialog can name the field that fails.
enum class GenIntField { StartCell, Additions };
std::string gen_validate_field(GenIntField field, int value);

inline constexpr const char* kGenTooManyCells = " No more than 100 cells can be adressed";
inline constexpr const char* kGenTooManyAdditions = "No more than 100 additions can be planned";
inline constexpr const char* kGenStartCellTooLow =
    "Start cell must be 2 or higher: cell 1 holds the start volume";

struct GenerateOutcome {
  bool generated = false;
  std::string message;  // to show when not generated ("" when nothing needs saying)
};

// "Add": takes the request into the document and generates the run: trims and cuts the plan
// entries the run overlaps, writes row 1, fills the gap before the run, writes the run's rows
// ("%f" texts), appends the entry and updates listLines as the dialog's list changes. Marks
// the document modified. Refused requests change neither the grid nor the plan nor the list.
GenerateOutcome take_generate_request(Titration& doc, const GenerateRequest& request,
                                      std::vector<std::string>& listLines);

// "Cancel" or the close box: rewrites the "Add. Ca/uM" cells of rows 1 to the last planned
// row with their own values formatted "%f".
void cancel_generate(Titration& doc);
