#include "document/curve_rebuild.h"

#include "document/titration.h"

// Filled in together with the fit and simulation commands, which share the sampling rules.
void BuildFitCurve(Titration&, int, int) {}
void BuildSimCurves(Titration&, int, int) {}
