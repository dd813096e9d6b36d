// 1-based numeric work arrays for the fitting engine, in the manner of Numerical Recipes:
// v[lo..hi], iv[lo..hi], m[rlo..rhi][clo..chi]. Storage is one heap block with one spare
// element in front, so element lo is the block's second element. Fresh arrays are zero-filled.
//
// An exhausted heap throws nr::NumericError (a std::bad_alloc carrying the routine's
// message): the library never ends the process, the window and the command line turn the
// exception into a message. The allocation routines and their release routines are kept for
// callers that manage lifetimes by hand; the RAII types Vec, IVec and Mat are the normal way
// to use them.
#pragma once

#include <cstddef>
#include <new>

namespace nr {

class NumericError : public std::bad_alloc {
 public:
  explicit NumericError(const char* message) : message_(message) {}
  const char* what() const noexcept override { return message_; }

 private:
  const char* message_;  // a string literal of the allocation routines
};

[[noreturn]] void numeric_error(const char* message);  // message: a string literal

// A handle to a 1-based array. Indexing takes the logical index; there is no pointer that
// points before the block (which would be undefined behaviour in C++).
template <typename T>
struct Array1 {
  T* block = nullptr;  // block[0] is the spare element, block[1] is element lo
  int lo = 1;
  int hi = 0;
  T& operator[](int i) { return block[i - lo + 1]; }
  const T& operator[](int i) const { return block[i - lo + 1]; }
  T* data_from_lo() { return block + 1; }
};

using VectorHandle = Array1<double>;
using IVectorHandle = Array1<int>;

struct MatrixHandle {
  double** rows = nullptr;  // rows[0] spare; rows[1 + (r - rlo)] points at column clo of row r
  double* data = nullptr;   // one contiguous block of nrow * ncol + 1 doubles
  int rlo = 1, rhi = 0, clo = 1, chi = 0;
  // m[r][c]: the row pointer is positioned so that [c - clo] is the column.
  struct Row {
    double* p;
    int clo;
    double& operator[](int c) { return p[c - clo]; }
    const double& operator[](int c) const { return p[c - clo]; }
  };
  Row operator[](int r) { return {rows[r - rlo + 1], clo}; }
  Row operator[](int r) const { return {rows[r - rlo + 1], clo}; }
};

VectorHandle vector(int lo, int hi);
IVectorHandle ivector(int lo, int hi);
MatrixHandle matrix(int rlo, int rhi, int clo, int chi);
void release_vector(VectorHandle& v, int lo, int hi);
void release_ivector(IVectorHandle& v, int lo, int hi);
void release_matrix(MatrixHandle& m, int rlo, int rhi, int clo, int chi);

// Number of elements in the heap block behind a handle (for tests of the layout).
inline std::size_t block_elements(int lo, int hi) { return static_cast<std::size_t>(hi - lo + 2); }

}  // namespace nr

// Owning 1-based vector of doubles, zero-filled.
class Vec {
 public:
  Vec() = default;
  Vec(int lo, int hi) : h_(nr::vector(lo, hi)) {}
  explicit Vec(int n) : Vec(1, n) {}
  ~Vec() { reset(); }
  Vec(const Vec&) = delete;
  Vec& operator=(const Vec&) = delete;
  Vec(Vec&& o) noexcept : h_(o.h_) { o.h_ = {}; }
  Vec& operator=(Vec&& o) noexcept {
    if (this != &o) { reset(); h_ = o.h_; o.h_ = {}; }
    return *this;
  }
  double& operator[](int i) { return h_[i]; }
  const double& operator[](int i) const { return h_[i]; }
  int lo() const { return h_.lo; }
  int hi() const { return h_.hi; }
  bool empty() const { return h_.block == nullptr; }

 private:
  void reset() { if (h_.block) nr::release_vector(h_, h_.lo, h_.hi); }
  nr::VectorHandle h_;
};

// Owning 1-based vector of ints, zero-filled.
class IVec {
 public:
  IVec() = default;
  IVec(int lo, int hi) : h_(nr::ivector(lo, hi)) {}
  explicit IVec(int n) : IVec(1, n) {}
  ~IVec() { reset(); }
  IVec(const IVec&) = delete;
  IVec& operator=(const IVec&) = delete;
  IVec(IVec&& o) noexcept : h_(o.h_) { o.h_ = {}; }
  IVec& operator=(IVec&& o) noexcept {
    if (this != &o) { reset(); h_ = o.h_; o.h_ = {}; }
    return *this;
  }
  int& operator[](int i) { return h_[i]; }
  const int& operator[](int i) const { return h_[i]; }
  int lo() const { return h_.lo; }
  int hi() const { return h_.hi; }

 private:
  void reset() { if (h_.block) nr::release_ivector(h_, h_.lo, h_.hi); }
  nr::IVectorHandle h_;
};

// Owning 1-based matrix of doubles, zero-filled, rows stored contiguously.
class Mat {
 public:
  Mat() = default;
  Mat(int rlo, int rhi, int clo, int chi) : h_(nr::matrix(rlo, rhi, clo, chi)) {}
  Mat(int nrow, int ncol) : Mat(1, nrow, 1, ncol) {}
  ~Mat() { reset(); }
  Mat(const Mat&) = delete;
  Mat& operator=(const Mat&) = delete;
  Mat(Mat&& o) noexcept : h_(o.h_) { o.h_ = {}; }
  Mat& operator=(Mat&& o) noexcept {
    if (this != &o) { reset(); h_ = o.h_; o.h_ = {}; }
    return *this;
  }
  nr::MatrixHandle::Row operator[](int r) { return h_[r]; }
  nr::MatrixHandle::Row operator[](int r) const { return h_[r]; }
  int rlo() const { return h_.rlo; }
  int rhi() const { return h_.rhi; }
  int clo() const { return h_.clo; }
  int chi() const { return h_.chi; }
  const nr::MatrixHandle& handle() const { return h_; }

 private:
  void reset() { if (h_.data) nr::release_matrix(h_, h_.rlo, h_.rhi, h_.clo, h_.chi); }
  nr::MatrixHandle h_;
};
