#include "fitting/numeric_arrays.h"

#include <cstdlib>

namespace nr {

void numeric_error(const char* message) { throw NumericError(message); }

VectorHandle vector(int lo, int hi) {
  VectorHandle v;
  v.block = static_cast<double*>(std::calloc(block_elements(lo, hi), sizeof(double)));
  if (!v.block) numeric_error("allocation failure in vector()");
  v.lo = lo;
  v.hi = hi;
  return v;
}

IVectorHandle ivector(int lo, int hi) {
  IVectorHandle v;
  v.block = static_cast<int*>(std::calloc(block_elements(lo, hi), sizeof(int)));
  if (!v.block) numeric_error("allocation failure in ivector()");
  v.lo = lo;
  v.hi = hi;
  return v;
}

MatrixHandle matrix(int rlo, int rhi, int clo, int chi) {
  const std::size_t nrow = static_cast<std::size_t>(rhi - rlo + 1);
  const std::size_t ncol = static_cast<std::size_t>(chi - clo + 1);
  MatrixHandle m;
  m.rows = static_cast<double**>(std::calloc(nrow + 1, sizeof(double*)));
  if (!m.rows) numeric_error("allocation failure 1 in matrix()");
  m.data = static_cast<double*>(std::calloc(nrow * ncol + 1, sizeof(double)));
  if (!m.data) {
    std::free(m.rows);
    numeric_error("allocation failure 2 in matrix()");
  }
  for (std::size_t k = 0; k < nrow; ++k) m.rows[k + 1] = m.data + 1 + k * ncol;
  m.rlo = rlo;
  m.rhi = rhi;
  m.clo = clo;
  m.chi = chi;
  return m;
}

void release_vector(VectorHandle& v, int, int) {
  std::free(v.block);
  v.block = nullptr;
}

void release_ivector(IVectorHandle& v, int, int) {
  std::free(v.block);
  v.block = nullptr;
}

void release_matrix(MatrixHandle& m, int, int, int, int) {
  std::free(m.data);
  std::free(m.rows);
  m.data = nullptr;
  m.rows = nullptr;
}

}  // namespace nr
