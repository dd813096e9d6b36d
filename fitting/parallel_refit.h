// What refits on several threads share: a model callable per thread (models keep warm-start
// state, so threads cannot share one), the points of the fit, and the thread count.
#pragma once

#include <functional>

#include "fitting/numeric_arrays.h"

// A model callable that owns whatever state it keeps (warm starts), so each worker thread
// can have its own. ModelMaker makes one per thread.
using ModelFunction = std::function<double(double, double, Vec&, int, Vec&)>;
using ModelMaker = std::function<ModelFunction()>;

// The points of one fit, 1-based, with their count.
struct FitData {
  const Vec& x;
  const Vec& y;
  const Vec& Y;
  const Vec& sigma;
  int n;
};

// Number of worker threads for parallel refits: the hardware's count, at least 1, at most 8.
int refit_thread_count();
