// Feeds arbitrary bytes to the .bwd reader and takes every accepted document through what a
// user can do with a downloaded file: show it as JSON, export it in each of the five kinds,
// save it, read the saved image again and generate its plan afresh. Besides the sanitizers it
// checks the promises:
//   - a rejected file changes nothing and names the problem in one line;
//   - whatever the reader accepts the writer writes back as an image that reads to the same
//     image again (the in-memory image is exactly what a save puts on disk);
//   - an export either refuses with a message or gives text of finite size;
//   - JSON output is valid JSON;
//   - planning a run from a stored plan step ends, and the result can still be saved.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/document_json.h"
#include "document/bwd_file.h"
#include "outputview/ascii_export.h"
#include "outputview/generate_data.h"

namespace {

[[noreturn]] void broken(const char* promise) {
  __builtin_printf("broken promise: %s\n", promise);
  std::abort();
}

struct ListOfPlots : PlotListSink {
  std::vector<std::string> items;
  void AddString(const std::string& t) override { items.push_back(t); }
  void DeleteString(int i) override {
    if (i < 0 || i >= GetCount()) broken("a deleted plot-list entry exists");
    items.erase(items.begin() + i);
  }
  void ResetContent() override { items.clear(); }
  int GetCount() const override { return static_cast<int>(items.size()); }
  int GetCurSel() const override { return -1; }
};

void check_show(const Titration& doc) {
  const std::string text =
      DocumentToJson(doc).dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
  if (!nlohmann::json::accept(text)) broken("show prints valid JSON");
}

// Curves are sampled at the smallest count the dialog allows, and now and then at the largest.
void check_exports(const Titration& doc, int count) {
  const int positions = doc.m_nSims < 0 ? 0 : doc.m_nSims;
  for (const ExportKindInfo& info : export_kinds()) {
    const ExportKind kind = info.kind;
    for (int position = 0; position <= positions + 1; ++position) {
      if (!export_precondition(doc, kind, position).empty()) continue;
      if (export_text(doc, kind, count, position).size() > 64u * 1024 * 1024) broken("exports stay small");
    }
  }
}

std::vector<unsigned char> encode_or_abort(const Titration& doc) {
  std::vector<unsigned char> bytes;
  if (!EncodeBwd(doc, "fuzz.bwd", bytes).ok) broken("a loaded or generated document can be written");
  return bytes;
}

void check_save_round_trip(const Titration& doc, const Titration& current) {
  const std::vector<unsigned char> first = encode_or_abort(doc);
  const BwdLoad again = DecodeBwd(first.data(), first.size(), current, "fuzz.bwd");
  if (!again.status.ok) broken("a written file can be read");
  if (encode_or_abort(*again.doc) != first) broken("read and write are stable");
}

// Replays each stored plan step as an "Add" of the Generate Data dialog, then closes the
// dialog, as a user re-running a downloaded plan would.
void check_plan(const Titration& doc) {
  const int steps = doc.m_nGenSteps;
  if (steps < 0 || steps > Titration::kMaxGenSteps) broken("a loaded plan fits its array");
  auto work = std::make_unique<Titration>(doc);
  std::vector<std::string> lines = gen_list_lines(*work);
  for (int i = 1; i <= steps; ++i) {
    const GenStep step = doc.m_genSteps[i];
    GenerateRequest request;
    request.m_dVolStart = doc.m_dGenStartVolume;
    request.m_nVolUnit = doc.m_nGenVolUnit;
    request.m_nConcUnit = doc.m_nGenConcUnit;
    request.m_nStartCell = step.m_nStart;
    request.m_nAdditionCount = step.m_nAdditions;
    request.m_dVolAdded = step.m_dVolume;
    request.m_dConcAdded = step.m_dConc;
    if (!gen_validate_fields(request).empty()) continue;
    take_generate_request(*work, request, lines);
  }
  cancel_generate(*work);
  encode_or_abort(*work);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const auto current = std::make_unique<Titration>();
  const BwdLoad load = DecodeBwd(data, size, *current, "fuzz.bwd");
  if (!load.status.ok) {
    if (load.doc || load.status.message.find('\n') != std::string::npos || load.status.message.size() < 10)
      broken("a rejection gives one line and no document");
    return 0;
  }
  // The document as the window and the command line hold it after an open.
  ListOfPlots plots;
  auto doc = std::make_unique<Titration>();
  doc->m_pPlotList = &plots;
  CommitBwdLoad(*doc, load);
  if (plots.GetCount() != static_cast<int>(load.plotEntries.size())) broken("the plot list shows the loaded plots");

  check_show(*doc);
  check_exports(*doc, size % 16 ? kExportCountMin : kExportCountMax);
  check_save_round_trip(*doc, *current);
  check_plan(*doc);
  return 0;
}
