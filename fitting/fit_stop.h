// How long least-squares work ends and how its caller ends it early: a stop reason every
// run reports, and the check the runs poll between steps.
#pragma once

#include <atomic>

// Why a least-squares run (or a sequence of runs) ended, in the manner of Ceres'
// TerminationType and cminpack's info codes.
enum class FitStop {
  Converged,  // chi-square stopped falling (the driver's stop rule, or the polish's tolerance)
  StepLimit,  // the step or run cap was reached while chi-square still fell
  Singular,   // the normal equations (damped, or the closing undamped ones) could not be solved
  NonFinite,  // the model gave a non-finite value or derivative at the accepted point
  Stopped,    // the caller asked to stop (StopCheck); the result is incomplete
};

// "converged", "step_limit", "singular", "non_finite", "stopped".
const char* fit_stop_name(FitStop stop);

// Lets the caller end long work early. Polled between least-squares steps, from the thread
// that runs them; an implementation shared with another thread must be thread-safe.
class StopCheck {
 public:
  virtual ~StopCheck() = default;
  virtual bool StopRequested() = 0;
};

// A stop asked on one thread (the window's Cancel) and read by the thread doing the work.
class StopFlag : public StopCheck {
 public:
  bool StopRequested() override { return stop_.load(); }
  void RequestStop() { stop_.store(true); }

 private:
  std::atomic<bool> stop_{false};
};
