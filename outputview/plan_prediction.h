// "Predict" in Generate Data: how precisely the plan as the dialog now shows it (the
// document's planned runs plus the run in the fields, applied as "Add" would apply it but to
// a copy) would determine the constants the user expects, at the reading noise typed in the
// dialog. Fields that show a run the plan already holds (as on opening) leave the plan as it
// is. The grid and the plan of the open document are never touched.
//
// The constants to expect: the fit the results panel shows, when it shows one (the best
// estimate there is), otherwise the Fit dialog's values as typed (Simulate's "Copy to Fit" puts expected
// constants there); either way with the Fit dialog's error method.
#pragma once

#include <string>
#include <vector>

#include "commands/fit_settings.h"
#include "commands/precision_prediction.h"
#include "document/titration.h"
#include "outputview/generate_data.h"

struct PlanPredictionRequest {
  bool ok = false;
  std::string message;    // why nothing can be predicted, when !ok
  Titration plan;         // the document's copy with the dialog's run written in
  FitSettings expected;   // model, constants, check boxes, start Ca, dilution, error method
  double noiseSD = 0.0;   // response units
};

// run: the dialog's fields (already through the dialog's own field checks). noiseText: the
// "Reading noise (SD):" text. A run the plan refuses gives "Add"'s message.
PlanPredictionRequest plan_prediction_request(const Titration& doc, const GenerateRequest& run,
                                              const FitSettings& fitDialog, const std::string& noiseText);

// The dialog's result lines: a heading ("Model 2, 40 planned points, covariance errors:")
// and one line per fitted row, "log K1: 6.3 ± 0.041" (errors of constants in log units).
std::vector<std::string> prediction_lines(const PlanPredictionRequest& request, const PrecisionPrediction& prediction);

inline constexpr const char* kPredictNoiseMessage =
    "Type the reading noise (one standard deviation of a reading, in response units, above 0) to predict the errors.";
inline constexpr const char* kPredictNoConstantsMessage =
    "There are no constants to expect: fit the titration, or type the constants you expect in the Fit dialog "
    "(or Copy to Fit from the Simulate dialog), then press Predict again.";
