#include "outputview/generate_data.h"

#include <algorithm>

#include "commands/display_values.h"
#include "document/titration_edit.h"

namespace {

constexpr int kAddCaCol = 1;
constexpr int kVolumeCol = 2;

// Cell numbers count from 1; a plan read from a file may name cells outside the grid, which
// are neither read (value 0) nor written.
bool in_grid(int cell) { return cell >= 1 && cell <= Titration::kRows; }

double cell_value(const Titration& doc, int cell, int col) {
  return in_grid(cell) ? doc.m_cells[cell - 1][col].GetValue() : 0.0;
}

void write_cell(Titration& doc, int cell, int col, double value) {
  if (in_grid(cell)) doc.m_cells[cell - 1][col].SetText(c_printf("%f", value));
}

void clear_cell(Titration& doc, int cell, int col) {
  if (in_grid(cell)) doc.m_cells[cell - 1][col].SetText("");
}

// The run's last cell, held to -1..kRows + 1 so that no plan, however it was made, can
// overflow the sum or drive a loop over cells past the grid.
int last_cell(const GenStep& step) {
  const long long last = static_cast<long long>(step.m_nStart) + step.m_nAdditions - 1;
  return static_cast<int>(std::clamp<long long>(last, -1, Titration::kRows + 1));
}

int plan_size(const Titration& doc) { return std::clamp(doc.m_nGenSteps, 0, Titration::kMaxGenSteps); }

// Index the new entry takes: after every entry that ends at or before the start cell, and one
// further when the run cuts into the entry there.
int new_entry_index(const Titration& doc, int start, bool* cuts) {
  const int n = plan_size(doc);
  int k = 1;
  for (int i = 1; i <= n; ++i)
    if (last_cell(doc.m_genSteps[i]) <= start) ++k;
  *cuts = k <= n && start > doc.m_genSteps[k].m_nStart;
  return *cuts ? k + 1 : k;
}

void copy_request(Titration& doc, const GenerateRequest& r) {
  doc.m_dGenStartVolume = r.m_dVolStart;
  doc.m_nGenStart = r.m_nStartCell;
  doc.m_nGenCount = r.m_nAdditionCount;
  doc.m_dGenConcAdded = r.m_dConcAdded;
  doc.m_dGenVolAdded = r.m_dVolAdded;
}

// The run's rows: each addition dilutes what is there and adds dV of concentration cA.
// Volumes in ml, added Ca in uM (cA in the concentration unit, dV in the volume unit).
void write_run(Titration& doc, int start, int end, double fV, double fC) {
  const double dV = doc.m_dGenVolAdded;
  const double cA = doc.m_dGenConcAdded;
  for (int r = start; r <= end; ++r) {
    const double Vp = cell_value(doc, r - 1, kVolumeCol);
    const double Cp = cell_value(doc, r - 1, kAddCaCol);
    const double Vr = dV / fV + Vp;
    const double Cr = (Cp * Vp + dV * cA / fV / fC * 1000.0) / Vr;
    write_cell(doc, r, kAddCaCol, Cr);
    write_cell(doc, r, kVolumeCol, Vr);
  }
}

void generate_run(Titration& doc, const GenerateRequest& r, std::vector<std::string>& lines) {
  const int S = doc.m_nGenStart, N = doc.m_nGenCount, E = doc.m_nGenEnd;
  const int n = plan_size(doc);
  bool cuts = false;
  int k = new_entry_index(doc, S, &cuts);
  if (cuts) --k;  // k is now the first entry that does not end at or before S
  if (k <= n && static_cast<int>(lines.size()) > k - 1) lines.resize(k - 1);
  if (n >= 1 && S <= last_cell(doc.m_genSteps[n])) {
    for (int row = S; row <= last_cell(doc.m_genSteps[n]); ++row) {
      clear_cell(doc, row, kAddCaCol);
      clear_cell(doc, row, kVolumeCol);
    }
  }
  if (cuts) {
    doc.m_genSteps[k].m_nAdditions = S - doc.m_genSteps[k].m_nStart;
    lines.push_back(gen_step_line(doc.m_genSteps[k]));
    ++k;
  }
  GenStep& entry = doc.m_genSteps[k];
  entry.m_nStart = S;
  entry.m_nAdditions = N;
  entry.m_dVolume = doc.m_dGenVolAdded;
  entry.m_dConc = doc.m_dGenConcAdded;
  doc.m_nGenSteps = k;

  write_cell(doc, 1, kAddCaCol, 0.0);
  write_cell(doc, 1, kVolumeCol, doc.m_dGenStartVolume);
  int b = 2;
  if (k > 1) {
    const int P = last_cell(doc.m_genSteps[k - 1]);
    b = S - 1 > P ? P : S;
  }
  const double Vb = cell_value(doc, b, kVolumeCol);
  const double Cb = cell_value(doc, b, kAddCaCol);
  for (int row = b; row <= S - 1; ++row) {
    write_cell(doc, row, kAddCaCol, Cb);
    write_cell(doc, row, kVolumeCol, Vb);
  }
  if (E < S) return;  // no additions: the entry is kept, no run and no list line
  write_run(doc, S, E, gen_volume_factor(r.m_nVolUnit), gen_conc_factor(r.m_nConcUnit));
  lines.push_back(gen_step_line(entry));
}

}  // namespace

double gen_volume_factor(int index) {
  switch (index) {
    case 1: return 1000.0;
    case 2: return 1000000.0;
    default: return 1.0;
  }
}

double gen_conc_factor(int index) { return gen_volume_factor(index); }

const char* gen_volume_unit_name(int index) {
  static const char* const names[] = {"ml", "ul", "nl"};
  return index >= 0 && index <= 2 ? names[index] : "";
}

const char* gen_conc_unit_name(int index) {
  static const char* const names[] = {"mM", "uM", "nM"};
  return index >= 0 && index <= 2 ? names[index] : "";
}

std::string gen_step_line(const GenStep& step) {
  return c_printf(" %i  | %i  |%7.2f  | %7.2f ", step.m_nStart, step.m_nAdditions, step.m_dVolume,
                  step.m_dConc);
}

std::vector<std::string> gen_list_lines(const Titration& doc) {
  std::vector<std::string> lines;
  const int n = plan_size(doc);
  for (int i = 1; i <= n; ++i) lines.push_back(gen_step_line(doc.m_genSteps[i]));
  return lines;
}

GenerateEditTexts gen_texts_on_open(const Titration& doc) {
  GenerateEditTexts t = gen_texts_for_entry(doc, 0);
  t.startVolume = c_printf("%7.3f", doc.m_dGenStartVolume);
  return t;
}

GenerateEditTexts gen_texts_for_entry(const Titration& doc, int listIndex) {
  GenerateEditTexts t;
  const int i = listIndex + 1;
  if (i < 1 || i > Titration::kMaxGenSteps) return t;
  const GenStep& step = doc.m_genSteps[i];
  t.startCell = c_printf("%i", step.m_nStart);
  t.additions = c_printf("%i", step.m_nAdditions);
  t.conc = c_printf("%7.3f", step.m_dConc);
  t.volume = c_printf("%7.3f", step.m_dVolume);
  return t;
}

std::string gen_validate_field(GenIntField field, int value) {
  const int highest = field == GenIntField::StartCell ? 97 : 96;
  if (value >= 0 && value <= highest) return "";
  return c_printf("Please enter an integer between 0 and %d.", highest);
}

std::string gen_validate_fields(const GenerateRequest& r) {
  const std::string start = gen_validate_field(GenIntField::StartCell, r.m_nStartCell);
  return start.empty() ? gen_validate_field(GenIntField::Additions, r.m_nAdditionCount) : start;
}

GenerateOutcome take_generate_request(Titration& doc, const GenerateRequest& request,
                                      std::vector<std::string>& listLines) {
  TitrationEdit edit(doc, EditKind::Grid, "Generate Data");
  doc.m_dGenStartVolume = 0.0;
  doc.m_dGenVolAdded = 0.0;
  doc.m_dGenConcAdded = 0.0;
  doc.m_nGenStart = 2;
  doc.m_nGenCount = 0;
  copy_request(doc, request);
  if (request.m_nStartCell > 97 || request.m_nStartCell + request.m_nAdditionCount > 97)
    return {false, kGenTooManyCells};
  // Cell 1 holds the start; a run from cell 0 or 1 would read the row above the grid.
  if (request.m_nStartCell < 2) return {false, kGenStartCellTooLow};
  // A negative count would enter the plan and make it unreadable once saved.
  if (request.m_nAdditionCount < 0) return {false, gen_validate_field(GenIntField::Additions, request.m_nAdditionCount)};
  bool cuts = false;
  if (new_entry_index(doc, request.m_nStartCell, &cuts) > Titration::kMaxGenSteps)
    return {false, kGenTooManyAdditions};
  doc.m_nGenEnd = doc.m_nGenStart + doc.m_nGenCount - 1;
  generate_run(doc, request, listLines);
  doc.m_nGenVolUnit = request.m_nVolUnit;
  doc.m_nGenConcUnit = request.m_nConcUnit;
  return {true, ""};
}

void cancel_generate(Titration& doc) {
  TitrationEdit edit(doc, EditKind::Grid, "Generate Data");
  if (doc.m_nGenSteps < 1 || doc.m_nGenSteps > Titration::kMaxGenSteps) return;
  const int last = last_cell(doc.m_genSteps[doc.m_nGenSteps]);
  for (int row = 1; row <= last && row <= Titration::kRows; ++row)
    write_cell(doc, row, kAddCaCol, cell_value(doc, row, kAddCaCol));
}
