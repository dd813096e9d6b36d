#include "fitting/parallel_refit.h"

#include <algorithm>
#include <thread>

int refit_thread_count() {
  const unsigned hw = std::thread::hardware_concurrency();
  return std::clamp(static_cast<int>(hw), 1, 8);
}
