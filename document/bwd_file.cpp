#include "document/bwd_file.h"

#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <new>
#include <utility>

#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include "document/atomic_file.h"
#include "document/curve_rebuild.h"
#include "fitting/models.h"

namespace {

constexpr int kMaxParams = ParamSet::kSlots - 1;  // m_p and m_err hold slots 0..14

// ---------------------------------------------------------------------------------------
// Text conversion at the file boundary.

bool is_ascii(const std::string& s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

// 1252 leaves these five bytes undefined; Windows maps them to the C1 controls of the same
// number, and so do we, so a file's bytes survive a load and a save unchanged.
bool is_undefined_1252(unsigned char c) { return c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D; }

// One iconv descriptor per direction and thread, opened on first use.
class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Iconv() {
    if (ok()) iconv_close(cd_);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts as much of [in, in + left) as it can, appending to out. Returns 0 when all
  // input was consumed, else the errno that stopped it (EILSEQ or EINVAL) with in/left at
  // the offending input.
  int Convert(const char*& in, std::size_t& left, std::string& out) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char buffer[4096];
    while (left > 0) {
      char* dst = buffer;
      std::size_t room = sizeof buffer;
      const std::size_t r = iconv(cd_, const_cast<char**>(&in), &left, &dst, &room);
      out.append(buffer, dst);
      if (r != static_cast<std::size_t>(-1)) continue;
      if (errno != E2BIG) return errno;
    }
    return 0;
  }

 private:
  iconv_t cd_;
};

// Length of the UTF-8 sequence starting at s[0] (1 for a byte that starts none).
std::size_t utf8_sequence_length(const unsigned char* s, std::size_t left) {
  const unsigned char c = s[0];
  const std::size_t n = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? (c < 0xF0 ? 3 : 1) : c >= 0xC2 ? 2 : 1;
  if (n > left) return 1;
  for (std::size_t i = 1; i < n; ++i)
    if ((s[i] & 0xC0) != 0x80) return 1;
  return n;
}

std::string utf16le_to_utf8(const std::string& bytes) {
  thread_local Iconv cd("UTF-8", "UTF-16LE");
  std::string out;
  const char* in = bytes.data();
  std::size_t left = bytes.size();
  while (cd.ok() && left > 0) {
    if (cd.Convert(in, left, out) == 0) break;
    out += '?';  // an unpaired surrogate or an odd trailing byte
    const std::size_t skip = left >= 2 ? 2 : left;
    in += skip;
    left -= skip;
  }
  return out;
}

}  // namespace

std::string cp1252_to_utf8(const std::string& bytes) {
  if (is_ascii(bytes)) return bytes;
  thread_local Iconv cd("UTF-8", "CP1252");
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  const char* in = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    if (cd.ok() && cd.Convert(in, left, out) == 0) break;
    const unsigned char c = static_cast<unsigned char>(*in);
    if (is_undefined_1252(c)) {
      out += '\xC2';
      out += static_cast<char>(c);
    } else {
      out += c < 0x80 ? static_cast<char>(c) : '?';
    }
    ++in;
    --left;
  }
  return out;
}

std::string utf8_to_cp1252(const std::string& text) {
  if (is_ascii(text)) return text;
  thread_local Iconv cd("CP1252", "UTF-8");
  std::string out;
  out.reserve(text.size());
  const char* in = text.data();
  std::size_t left = text.size();
  while (left > 0) {
    if (cd.ok() && cd.Convert(in, left, out) == 0) break;
    const auto* s = reinterpret_cast<const unsigned char*>(in);
    const std::size_t n = utf8_sequence_length(s, left);
    if (n == 2 && s[0] == 0xC2 && is_undefined_1252(s[1]))
      out += static_cast<char>(s[1]);
    else
      out += s[0] < 0x80 ? static_cast<char>(s[0]) : '?';
    in += n;
    left -= n;
  }
  return out;
}

namespace {

// ---------------------------------------------------------------------------------------
// Writing.

class Writer {
 public:
  explicit Writer(std::vector<unsigned char>& out) : out_(out) {}

  void Int(std::int32_t v) { Raw(&v, 4); }
  void Flag(BYTE b) { Int(b ? 1 : 0); }
  void Double(double v) { Raw(&v, 8); }
  void Float(float v) { Raw(&v, 4); }

  // The archive's length prefix: one byte below 255, else 0xFF and a 16-bit length below
  // 0xFFFE, else 0xFF, 0xFFFF and a 32-bit length.
  void String(const std::string& utf8) {
    const std::string bytes = utf8_to_cp1252(utf8);
    const std::size_t n = bytes.size();
    if (n < 0xFF) {
      Byte(static_cast<unsigned char>(n));
    } else if (n < 0xFFFE) {
      Byte(0xFF);
      U16(static_cast<std::uint16_t>(n));
    } else {
      Byte(0xFF);
      U16(0xFFFF);
      const std::uint32_t n32 = static_cast<std::uint32_t>(n);
      Raw(&n32, 4);
    }
    out_.insert(out_.end(), bytes.begin(), bytes.end());
  }

 private:
  // The in-memory layout is little-endian on every machine this builds for.
  static_assert(std::endian::native == std::endian::little);
  void Raw(const void* p, std::size_t n) {
    const auto* b = static_cast<const unsigned char*>(p);
    out_.insert(out_.end(), b, b + n);
  }
  void Byte(unsigned char b) { out_.push_back(b); }
  void U16(std::uint16_t v) { Raw(&v, 2); }

  std::vector<unsigned char>& out_;
};

bool valid_record(const ParamSet& p) { return p.m_nParams >= 0 && p.m_nParams <= kMaxParams && p.m_nModel >= 1 && p.m_nModel <= 10; }

// Why doc cannot be written, or "" when it can.
std::string bounds_problem(const Titration& doc) {
  if (doc.m_bShowFit && !valid_record(doc.m_fit)) return "the fit record is out of bounds";
  if (doc.m_bHaveSims) {
    if (doc.m_nSims < 0 || doc.m_nSims > Titration::kMaxSims) return "the simulation count is out of bounds";
    for (int k = 1; k <= doc.m_nSims; ++k) {
      const int slot = doc.m_nSlotOrder[k];
      if (slot < 1 || slot > Titration::kMaxSims || !valid_record(doc.m_sims[slot - 1]))
        return "simulation " + std::to_string(k) + " is out of bounds";
    }
  }
  if (doc.m_nGenSteps < 0 || doc.m_nGenSteps > Titration::kMaxGenSteps) return "the Generate Data plan is out of bounds";
  return "";
}

void write_fit(Writer& w, const ParamSet& fit) {
  w.Int(fit.m_nParams);
  w.Int(fit.m_nModel);
  w.Flag(fit.m_bElectrode);
  w.Flag(fit.m_bDilution);
  w.Double(fit.m_dStartCa);
  w.Flag(fit.m_bErrors);
  for (int i = 0; i <= fit.m_nParams; ++i) w.Double(fit.m_p[i]);
  if (fit.m_bErrors)
    for (int i = 0; i <= fit.m_nParams; ++i) w.Double(fit.m_err[i]);
}

void write_sim(Writer& w, const ParamSet& sim) {
  w.Int(sim.m_nParams);
  w.Int(sim.m_nModel);
  w.Flag(sim.m_bElectrode);
  w.Flag(sim.m_bDilution);
  w.Double(sim.m_dStartCa);
  for (int i = 1; i <= sim.m_nParams; ++i) w.Double(sim.m_p[i]);
}

void write_plan(Writer& w, const Titration& doc) {
  w.Double(doc.m_dGenStartVolume);
  w.Int(doc.m_nGenVolUnit);
  w.Int(doc.m_nGenConcUnit);
  for (int i = 1; i <= doc.m_nGenSteps; ++i) {
    const GenStep& step = doc.m_genSteps[i];
    w.Int(step.m_nAdditions);  // additions before start: the file's order, not memory's
    w.Int(step.m_nStart);
    w.Double(step.m_dVolume);
    w.Double(step.m_dConc);
  }
}

}  // namespace

BwdStatus EncodeBwd(const Titration& doc, const std::string& name, std::vector<unsigned char>& bytes) {
  bytes.clear();
  if (const std::string problem = bounds_problem(doc); !problem.empty())
    return {false, name + ": cannot save: " + problem};
  Writer w(bytes);
  for (const auto& row : doc.m_cells)
    for (const auto& cell : row) w.String(cell.m_strText);
  w.String(doc.m_strDescription);
  w.String(doc.m_strTitle);
  w.String(doc.m_strYCaption);
  w.String(doc.m_strXCaption);
  w.Flag(doc.m_bShowFit);
  if (doc.m_bShowFit) write_fit(w, doc.m_fit);
  w.Flag(doc.m_bHaveSims);
  if (doc.m_bHaveSims) {
    w.Int(doc.m_nSims);
    // Plot-list order names the live slots; after a deletion slots 1..s are not all live.
    for (int k = 1; k <= doc.m_nSims; ++k) write_sim(w, doc.m_sims[doc.m_nSlotOrder[k] - 1]);
  }
  w.Int(doc.m_nGenSteps);
  if (doc.m_nGenSteps > 0) write_plan(w, doc);
  w.Float(doc.m_fTemperature);
  return {};
}

namespace {

// ---------------------------------------------------------------------------------------
// Reading.

// Bounds-checked cursor over the file image. The first failure is kept; every later read
// fails too, so the parser can check once per block.
class Reader {
 public:
  Reader(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}

  void SetPart(std::string part) { part_ = std::move(part); }
  const std::string& part() const { return part_; }
  bool failed() const { return !problem_.empty(); }
  const std::string& problem() const { return problem_; }
  std::size_t left() const { return size_ - pos_; }
  void Fail(std::string problem) {
    if (problem_.empty()) problem_ = std::move(problem);
  }

  bool Int(std::int32_t& v) { return Raw(&v, 4); }
  bool Double(double& v) { return Raw(&v, 8); }
  bool Float(float& v) { return Raw(&v, 4); }
  bool Flag(BYTE& b) {
    std::int32_t v = 0;
    if (!Int(v)) return false;
    b = v != 0 ? 1 : 0;
    return true;
  }
  // A count that must lie in lo..hi before anything is indexed with it.
  bool Count(int& v, int lo, int hi, const char* what) {
    std::int32_t n = 0;
    if (!Int(n)) return false;
    if (n < lo || n > hi) {
      Fail("in " + part_ + ", " + what + " is " + std::to_string(n) + ", outside " + std::to_string(lo) + ".." +
           std::to_string(hi));
      return false;
    }
    v = n;
    return true;
  }

  bool String(std::string& utf8) {
    std::uint32_t n = 0;
    bool wide = false;
    if (!Length(n, wide)) return false;
    const std::uint64_t bytes = wide ? std::uint64_t{n} * 2 : n;
    if (bytes > left()) {
      Fail(part_ + " holds a text of " + std::to_string(bytes) + " bytes, but only " + std::to_string(left()) +
           " bytes are left in the file");
      return false;
    }
    const std::string raw(reinterpret_cast<const char*>(data_ + pos_), static_cast<std::size_t>(bytes));
    pos_ += static_cast<std::size_t>(bytes);
    utf8 = wide ? utf16le_to_utf8(raw) : cp1252_to_utf8(raw);
    return true;
  }

 private:
  bool Raw(void* p, std::size_t n) {
    if (failed()) return false;
    if (left() < n) {
      Fail("the file ends early, in " + part_ + " (after " + std::to_string(size_) + " bytes)");
      return false;
    }
    std::memcpy(p, data_ + pos_, n);
    pos_ += n;
    return true;
  }
  bool Byte(std::uint8_t& v) { return Raw(&v, 1); }
  bool U16(std::uint16_t& v) { return Raw(&v, 2); }

  // The archive's length prefix. 0xFF 0xFFFE marks a UTF-16 string (written by Unicode
  // builds of the framework) whose own prefix follows.
  bool Length(std::uint32_t& n, bool& wide) {
    for (int marks = 0; marks < 2; ++marks) {
      std::uint8_t b = 0;
      std::uint16_t w = 0;
      if (!Byte(b)) return false;
      if (b < 0xFF) {
        n = b;
        return true;
      }
      if (!U16(w)) return false;
      if (w == 0xFFFF) return Raw(&n, 4);
      if (w != 0xFFFE) {
        n = w;
        return true;
      }
      wide = true;
    }
    Fail(part_ + " holds a malformed text length");
    return false;
  }

  const unsigned char* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
  std::string part_;
  std::string problem_;
};

const char* const kColumnNames[Titration::kCols] = {"Response", "Add. Ca/uM", "Volume"};

// Returns rowsUsed: the rows up to the last one with any text, at least 1.
int read_cells(Reader& in, Titration& doc) {
  int lastUsed = -1;
  for (int r = 0; r < Titration::kRows; ++r) {
    bool used = false;
    for (int c = 0; c < Titration::kCols; ++c) {
      in.SetPart("the grid cell in row " + std::to_string(r + 1) + ", column \"" + kColumnNames[c] + "\"");
      std::string text;
      if (!in.String(text)) return 1;
      doc.m_cells[r][c].SetText(text);
      used = used || !text.empty();
    }
    if (used) lastUsed = r;
  }
  return lastUsed + 1 > 1 ? lastUsed + 1 : 1;
}

bool read_texts(Reader& in, Titration& doc) {
  const std::pair<const char*, std::string*> texts[] = {{"the description", &doc.m_strDescription},
                                                        {"the graph title", &doc.m_strTitle},
                                                        {"the y-axis caption", &doc.m_strYCaption},
                                                        {"the x-axis caption", &doc.m_strXCaption}};
  for (const auto& [part, text] : texts) {
    in.SetPart(part);
    if (!in.String(*text)) return false;
  }
  return true;
}

bool read_model(Reader& in, ParamSet& p) {
  return in.Count(p.m_nModel, 1, kModelCount, "the model number") && in.Flag(p.m_bElectrode) &&
         in.Flag(p.m_bDilution) && in.Double(p.m_dStartCa);
}

// A record must hold exactly the slots its model stores: the curves and exports evaluate the
// model over its own slot count, and a shorter record would leave slots undefined.
int fit_record_slots(int model) { return model_info(model).fitRecordSlots; }
int simulation_record_slots(int model) { return model_info(model).simulationRecordSlots; }

// The model number is already checked when this runs.
bool check_record_count(Reader& in, const ParamSet& p, int (*stored_slots)(int model)) {
  const int expected = stored_slots(p.m_nModel);
  if (p.m_nParams == expected) return true;
  in.Fail("in " + in.part() + ", the parameter count is " + std::to_string(p.m_nParams) + ", but model " +
          std::to_string(p.m_nModel) + " stores " + std::to_string(expected));
  return false;
}

// The curve is rebuilt after the parameters and before the errors, as the format orders them.
bool read_fit(Reader& in, Titration& doc, int rowsUsed) {
  in.SetPart("the fit");
  ParamSet& fit = doc.m_fit;
  if (!in.Flag(doc.m_bShowFit)) return false;
  if (!doc.m_bShowFit) return true;
  if (!in.Count(fit.m_nParams, 0, kMaxParams, "the parameter count") || !read_model(in, fit) ||
      !check_record_count(in, fit, fit_record_slots) || !in.Flag(fit.m_bErrors))
    return false;
  for (int i = 0; i <= fit.m_nParams; ++i)
    if (!in.Double(fit.m_p[i])) return false;
  doc.m_dStartCa = fit.m_dStartCa;
  BuildFitCurve(doc, rowsUsed, fit.m_nModel);
  if (fit.m_bErrors)
    for (int i = 0; i <= fit.m_nParams; ++i)
      if (!in.Double(fit.m_err[i])) return false;
  return true;
}

bool read_sims(Reader& in, Titration& doc, int rowsUsed) {
  in.SetPart("the simulations");
  if (!in.Flag(doc.m_bHaveSims)) return false;
  if (!doc.m_bHaveSims) return true;
  doc.m_bFitAxesToSims = 1;
  int count = 0;
  if (!in.Count(count, 0, Titration::kMaxSims, "the simulation count")) return false;
  for (int k = 1; k <= count; ++k) {
    in.SetPart("simulation " + std::to_string(k));
    ParamSet& sim = doc.m_sims[k - 1];
    if (!in.Count(sim.m_nParams, 0, kMaxParams, "the parameter count") || !read_model(in, sim) ||
        !check_record_count(in, sim, simulation_record_slots))
      return false;
    for (int i = 1; i <= sim.m_nParams; ++i)
      if (!in.Double(sim.m_p[i])) return false;
  }
  doc.m_nSims = count;
  BuildSimCurves(doc, rowsUsed, count);
  return true;
}

// The Generate Data dialog's rules: start cells 2..97 (cell 1 holds the start volume),
// 0..96 additions, start + additions at most 97, finite numbers, units 0..2. A plan that
// breaks them was not written by this program, and would make the generation run past the grid.
constexpr int kPlanLastStart = 97;
constexpr int kPlanMaxAdditions = 96;
constexpr int kPlanUnits = 2;

bool finite_number(Reader& in, double& v, const char* what) {
  if (!in.Double(v)) return false;
  if (std::isfinite(v)) return true;
  in.Fail("in " + in.part() + ", " + what + " is not a finite number");
  return false;
}

bool read_plan_step(Reader& in, GenStep& step, int index) {
  in.SetPart("step " + std::to_string(index) + " of the Generate Data plan");
  if (!in.Count(step.m_nAdditions, 0, kPlanMaxAdditions, "the number of additions") ||
      !in.Count(step.m_nStart, 2, kPlanLastStart, "the start cell"))
    return false;
  if (step.m_nStart + step.m_nAdditions > kPlanLastStart) {
    in.Fail("in " + in.part() + ", start cell " + std::to_string(step.m_nStart) + " plus " +
            std::to_string(step.m_nAdditions) + " additions exceeds " + std::to_string(kPlanLastStart));
    return false;
  }
  return finite_number(in, step.m_dVolume, "the volume") && finite_number(in, step.m_dConc, "the concentration");
}

bool read_plan(Reader& in, Titration& doc) {
  in.SetPart("the Generate Data plan");
  if (!in.Count(doc.m_nGenSteps, 0, Titration::kMaxGenSteps, "the step count")) return false;
  if (doc.m_nGenSteps == 0) return true;
  if (!finite_number(in, doc.m_dGenStartVolume, "the start volume") ||
      !in.Count(doc.m_nGenVolUnit, 0, kPlanUnits, "the volume unit") ||
      !in.Count(doc.m_nGenConcUnit, 0, kPlanUnits, "the concentration unit"))
    return false;
  for (int i = 1; i <= doc.m_nGenSteps; ++i)
    if (!read_plan_step(in, doc.m_genSteps[i], i)) return false;
  return true;
}

// Older files end before the temperature; then the document keeps the one it had.
bool read_temperature(Reader& in, Titration& doc) {
  in.SetPart("the temperature");
  if (in.left() == 0) return true;
  if (!in.Float(doc.m_fTemperature)) return false;
  if (in.left() == 0) return true;
  // Nothing follows the temperature: bytes after it are no part of a document.
  in.Fail("the file goes on for " + std::to_string(in.left()) + " bytes after the document's end");
  return false;
}

}  // namespace

BwdLoad DecodeBwd(const unsigned char* data, std::size_t size, const Titration& current, const std::string& name) {
  auto doc = std::make_unique<Titration>(current);
  doc->ResetForNew();
  doc->m_pPlotList = nullptr;

  Reader in(data, size);
  const int rowsUsed = read_cells(in, *doc);
  const bool ok = !in.failed() && read_texts(in, *doc) && read_fit(in, *doc, rowsUsed) &&
                  read_sims(in, *doc, rowsUsed) && read_plan(in, *doc) && read_temperature(in, *doc);
  BwdLoad load;
  if (!ok) {
    load.status = {false, name + ": " + in.problem()};
    return load;
  }
  doc->m_pPlotList = current.m_pPlotList;
  load.doc = std::move(doc);
  load.plotEntries = PlotListEntries(*load.doc);
  return load;
}

void CommitBwdLoad(Titration& target, const BwdLoad& load) {
  if (!load.status.ok || !load.doc) return;
  target.AssignExperiment(*load.doc);
  // The list must show exactly the loaded plots; entries of the replaced document would
  // otherwise stay in front of them whenever the new one has simulations.
  if (PlotListSink* list = target.m_pPlotList) {
    list->ResetContent();
    for (const std::string& text : load.plotEntries) list->AddString(text);
  }
}

// -----------------------------------------------------------------------------------------
// Files.

namespace {

std::string system_error(const std::string& path, const char* doing, int err) {
  return path + ": " + doing + ": " + std::strerror(err);
}

// Reads the expected bytes, then whatever the file grew by since it was measured.
bool read_all(int fd, std::size_t expected, std::vector<unsigned char>& bytes, const std::string& path,
              std::string& message) {
  bytes.resize(expected);
  std::size_t got = 0;
  unsigned char more[65536];
  for (;;) {
    const bool inside = got < bytes.size();
    const ssize_t n = inside ? ::read(fd, bytes.data() + got, bytes.size() - got) : ::read(fd, more, sizeof more);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      message = system_error(path, "cannot read", errno);
      return false;
    }
    if (n == 0) break;
    if (!inside) bytes.insert(bytes.end(), more, more + n);
    got += static_cast<std::size_t>(n);
  }
  bytes.resize(got);
  return true;
}

// The largest file the format can describe. A text takes at most 3 bytes of UTF-16 mark,
// a 7-byte length prefix (0xFF, 0xFFFF, 32-bit length) and 2 x (2^32 - 1) bytes of UTF-16:
// 2^33 + 8 bytes. The 297 cells and 4 texts: 301 x (2^33 + 8) = 2,585,570,314,600 bytes.
// Then the fit (7 ints and doubles, 15 values and 15 errors: 272), 10 simulations of 14
// values (8 + 10 x 136 = 1368), a 100-step plan (20 + 100 x 24 = 2420) and the temperature
// (4): 4064 bytes. Together 2,585,570,318,664 bytes, about 2.35 TiB; anything larger
// cannot be a document and is refused before a byte is read.
constexpr std::uint64_t kMaxTextBytes = 3 + 7 + 2 * 0xFFFFFFFFull;
constexpr std::uint64_t kTailBytes = (4 + 4 + 4 + 4 + 4 + 8 + 4 + 2 * ParamSet::kSlots * 8) +
                                     (4 + 4 + Titration::kMaxSims * (4 + 4 + 4 + 4 + 8 + kMaxParams * 8)) +
                                     (4 + 8 + 4 + 4 + Titration::kMaxGenSteps * (4 + 4 + 8 + 8)) + 4;
constexpr std::uint64_t kMaxDocumentBytes = (Titration::kRows * Titration::kCols + 4) * kMaxTextBytes + kTailBytes;
static_assert(kMaxDocumentBytes == 2585570318664ull);

bool read_whole_file(const std::string& path, std::vector<unsigned char>& bytes, std::string& message) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    message = system_error(path, "cannot open", errno);
    return false;
  }
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    message = path + ": cannot open: not a regular file";
    ::close(fd);
    return false;
  }
  if (static_cast<std::uint64_t>(st.st_size) > kMaxDocumentBytes) {
    message = path + ": the file is " + std::to_string(st.st_size) + " bytes, more than the " +
              std::to_string(kMaxDocumentBytes) + " a document can hold";
    ::close(fd);
    return false;
  }
  bool ok = true;
  try {
    ok = read_all(fd, static_cast<std::size_t>(st.st_size), bytes, path, message);
  } catch (const std::bad_alloc&) {
    message = path + ": not enough memory to read its " + std::to_string(st.st_size) + " bytes";
    ok = false;
  }
  ::close(fd);
  return ok;
}

}  // namespace

BwdLoad ReadBwdFile(const std::string& path, const Titration& current) {
  std::vector<unsigned char> bytes;
  std::string message;
  if (!read_whole_file(path, bytes, message)) {
    BwdLoad failed;
    failed.status = {false, message};
    return failed;
  }
  return DecodeBwd(bytes.data(), bytes.size(), current, path);
}

BwdStatus LoadBwdFile(const std::string& path, Titration& doc) {
  BwdLoad load = ReadBwdFile(path, doc);
  if (load.status.ok) CommitBwdLoad(doc, load);
  return load.status;
}

BwdStatus SaveBwdFile(const std::string& path, const Titration& doc) {
  std::vector<unsigned char> bytes;
  if (BwdStatus encoded = EncodeBwd(doc, path, bytes); !encoded.ok) return encoded;
  std::string reason;
  const std::string_view image(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (!write_file_atomically(path, image, &reason)) return {false, path + ": cannot save: " + reason};
  return {};
}
