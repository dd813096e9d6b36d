// Writes the example titrations of example_set.h as Bindwise documents, and the README that
// states their true constants, into the folder given on the command line:
//
//   generate_examples examples/
//
// Each series is planned with the Generate Data core exactly as a user would type the runs,
// its responses are the program's own model evaluated at every row from the true constants,
// and a fixed-seed Gaussian reading noise is added, so the documents are reproducible.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "document/bwd_file.h"
#include "document/titration.h"
#include "examples/example_set.h"
#include "commands/fit_settings.h"
#include "fitting/models.h"
#include "outputview/generate_data.h"

namespace {

using examples::ExampleTitration;

constexpr int kAddedCaCol = 1, kVolumeCol = 2, kResponseCol = 0;

std::string format(const char* fmt, double value) {
  char text[64];
  std::snprintf(text, sizeof text, fmt, value);  // the process never leaves the "C" locale
  return text;
}

// Standard normal deviates by Box-Muller on mt19937, whose sequence the standard fixes, so the
// noise is the same with every compiler and library.
class ReadingNoise {
 public:
  explicit ReadingNoise(unsigned seed) : engine_(seed) {}
  double operator()(double sd) {
    const double u1 = (engine_() + 1.0) / 4294967297.0;  // (0, 1)
    const double u2 = engine_() / 4294967296.0;
    return sd * std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * M_PI * u2);
  }

 private:
  std::mt19937 engine_;
};

bool plan_titration(const ExampleTitration& ex, Titration& doc) {
  std::vector<std::string> lines;
  for (const auto& run : ex.runs) {
    GenerateRequest request;
    request.m_dVolStart = ex.startVolumeMl;
    request.m_nVolUnit = 1;   // ul
    request.m_nConcUnit = 0;  // mM
    request.m_nStartCell = run.startCell;
    request.m_nAdditionCount = run.additions;
    request.m_dConcAdded = run.stockMM;
    request.m_dVolAdded = run.volumeUl;
    const GenerateOutcome outcome = take_generate_request(doc, request, lines);
    if (!outcome.generated) {
      std::fprintf(stderr, "%s: run from cell %d refused: %s\n", ex.file, run.startCell, outcome.message.c_str());
      return false;
    }
  }
  return true;
}

// The reading at every planned row: total Ca and dilution as the Fit command computes them.
void write_responses(const ExampleTitration& ex, Titration& doc) {
  const ModelInfo& info = model_info(ex.model);
  double slots[ParamSet::kSlots] = {};
  const int n = convert_start_values(ex.model, ex.truth.data(), slots);
  Vec a(1, n), bound(1, 2), freeCa(1, 2);
  for (int k = 1; k <= n; ++k) a[k] = slots[k];
  ReadingNoise noise(ex.seed);
  const double v1 = doc.m_cells[0][kVolumeCol].GetValue();
  const std::string fmt = "%." + std::to_string(ex.decimals) + "f";
  for (int row = 0; row < Titration::kRows; ++row) {
    const double volume = doc.m_cells[row][kVolumeCol].GetValue();
    if (volume == 0.0) break;
    const double y = v1 / volume;
    const double totalCaNM = (doc.m_cells[row][kAddedCaCol].GetValue() + ex.startCaUM * y) * 1000.0;
    const double response = model_response(info.family, info.electrode, ex.dilution, totalCaNM, a, y, bound, freeCa, 1);
    doc.m_cells[row][kResponseCol].SetText(format(fmt.c_str(), response + noise(ex.noiseSD)));
  }
}

std::string readme_section(const ExampleTitration& ex) {
  const DialogModelLayout layout = fit_dialog_layout(ex.model - 1);
  std::string s = "## " + std::string(ex.file) + "\n\n" + ex.title + ": " + fit_dialog_model_name(ex.model - 1) + ".\n\n" +
                  ex.description + "\n\n| Row | Parameter | True value | Start value | Fitted |\n|---|---|---|---|---|\n";
  for (int r = 1; r <= layout.rowsShown; ++r) {
    std::string label = layout.labels[r];
    if (!label.empty() && label.back() == ':') label.pop_back();
    if (layout.uMRow[r]) label += " (uM)";
    s += "| " + std::to_string(r) + " | " + label + " | " + examples::number_text(ex.truth[r]) + " | " + examples::number_text(ex.start[r]) +
         " | " + (ex.fitted[r] ? "yes" : "no, held") + " |\n";
  }
  s += "\nStart Ca " + examples::number_text(ex.startCaUM) + " uM; signal " + (ex.dilution ? "" : "not ") +
       "affected by dilution; reading noise " + examples::number_text(ex.noiseSD) + " (one standard deviation)." +
       (ex.broadSearch ? " From these start values the fit needs the broad search (\"Extensive\")." : "") + "\n\n    " +
       "bindwise-cli fit examples/" + ex.file + " " + examples::fit_arguments(ex) + "\n\n";
  return s;
}

const char* kReadmeIntro =
    "# Example titrations\n\n"
    "One titration document per model family, for learning the program and for checking it.\n"
    "Each series was planned with Generate Data, its responses computed by Bindwise's own models\n"
    "from the true constants listed below, and a reading noise with a fixed seed added. Open one\n"
    "(`scripts/run.sh examples/FILE.bwd`, or a double click once Bindwise is installed), press\n"
    "\"Fit\", choose the model, type the start values and ticks below, and compare the results\n"
    "with the true constants: they agree within two or three of the reported errors. With\n"
    "\"Constant standard dev error:\" set to the reading noise, the errors are the ones the\n"
    "command lines below report.\n\n"
    "The start values are those a user would type: constants 0.5 log units from the truth,\n"
    "protein 20 % off, responses read off the first and last points; chelator constants and\n"
    "concentrations are held at their calibrated values.\n\n"
    "This file and the documents are written by `generate_examples` (examples/generate_examples.cpp,\n"
    "table in examples/example_set.h): `cmake --build build --target regenerate_examples`.\n\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: generate_examples OUTPUT_FOLDER\n");
    return 2;
  }
  const std::string dir = argv[1];
  std::string readme = kReadmeIntro;
  for (const ExampleTitration& ex : examples::example_titrations()) {
    Titration doc;
    doc.m_strTitle = ex.title;
    doc.m_strYCaption = ex.yCaption;
    doc.m_strDescription = ex.description;
    if (!plan_titration(ex, doc)) return 1;
    write_responses(ex, doc);
    const BwdStatus saved = SaveBwdFile(dir + "/" + ex.file, doc);
    if (!saved.ok) {
      std::fprintf(stderr, "%s\n", saved.message.c_str());
      return 1;
    }
    readme += readme_section(ex);
  }
  std::ofstream(dir + "/README.md") << readme;
  return 0;
}
