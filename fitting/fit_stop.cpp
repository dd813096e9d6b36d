#include "fitting/fit_stop.h"

const char* fit_stop_name(FitStop stop) {
  switch (stop) {
    case FitStop::Converged: return "converged";
    case FitStop::StepLimit: return "step_limit";
    case FitStop::Singular: return "singular";
    case FitStop::NonFinite: return "non_finite";
    case FitStop::Stopped: return "stopped";
  }
  return "converged";
}
