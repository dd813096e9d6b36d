#include "commands/candidate_points.h"

#include "fitting/models.h"

std::vector<CandidatePoint> candidate_points(const CandidateFit& candidate) {
  std::vector<CandidatePoint> out;
  if (!candidate.fitted || !candidate.job) return out;
  const FitJob& job = *candidate.job;
  const ModelInfo& info = model_info(job.model);
  Vec a(job.ma), bound(2), freeCa(2);
  for (int k = 1; k <= job.ma; ++k) a[k] = candidate.result.params[k];
  out.reserve(job.x.size());
  for (std::size_t i = 0; i < job.x.size(); ++i) {
    CandidatePoint p;
    p.x = job.x[i] * 0.001;  // nM -> uM
    p.y = job.y[i];
    p.fitted = model_response(info.family, info.electrode, job.dilution, job.x[i], a, job.Y[i], bound, freeCa, 1);
    out.push_back(p);
  }
  return out;
}
