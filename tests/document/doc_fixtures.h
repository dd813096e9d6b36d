// Documents and file images shared by the document and command-line tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "document/bwd_file.h"
#include "document/titration.h"
#include "fitting/models.h"

namespace fixtures {

using Bytes = std::vector<unsigned char>;

inline void set_record(ParamSet& p, int model, double base, bool simulation = false) {
  p.m_nModel = model;
  p.m_nParams = simulation ? model_info(model).simulationRecordSlots : model_info(model).fitRecordSlots;
  p.m_bElectrode = model >= 7;
  p.m_bDilution = model % 2;
  p.m_dStartCa = 0.25 * model;  // uM
  for (int i = 0; i <= p.m_nParams; ++i) p.m_p[i] = base + 1000.0 * i;
}

// A titration with a fit (with errors), `sims` simulations, a 100-entry plan and texts
// carrying CR LF and non-ASCII characters.
inline Titration populated(int sims = 10) {
  Titration doc;
  for (int r = 0; r < 25; ++r) {
    doc.m_cells[r][0].SetText(std::to_string(0.9 - 0.02 * r));
    doc.m_cells[r][1].SetText(std::to_string(4 * r));
    doc.m_cells[r][2].SetText(std::to_string(2.0 + 0.005 * r));
  }
  doc.m_cells[40][1].SetText("12abc");
  doc.m_strDescription = "Ca titration, 25 \xC2\xB0" "C\r\n50 \xC2\xB5M protein in 2 ml";
  doc.m_strTitle = "Calbindin \xE2\x80\x94 run 3";
  doc.m_strXCaption = "Total Ca/\xC2\xB5M";
  doc.m_bShowFit = 1;
  set_record(doc.m_fit, 5, 0.5);
  doc.m_fit.m_bErrors = 1;
  for (int i = 0; i <= doc.m_fit.m_nParams; ++i) doc.m_fit.m_err[i] = 0.01 * (i + 1);
  doc.m_dStartCa = doc.m_fit.m_dStartCa;
  doc.m_bHaveSims = 1;
  doc.m_nSims = sims;
  for (int k = 1; k <= sims; ++k) {
    set_record(doc.m_sims[k - 1], k, 10.0 * k, true);
    doc.m_bSlotFree[k] = 0;
  }
  doc.m_nGenSteps = 100;
  doc.m_dGenStartVolume = 2.0;
  doc.m_nGenVolUnit = 1;
  doc.m_nGenConcUnit = 0;
  for (int i = 1; i <= 100; ++i) doc.m_genSteps[i] = {2 + (i - 1) % 80, i % 7 + 1, 0.002 * i, 0.5 * i};
  doc.m_fTemperature = 303.15f;
  return doc;
}

inline Bytes encode(const Titration& doc) {
  Bytes bytes;
  EncodeBwd(doc, "test.bwd", bytes);
  return bytes;
}

inline void write_file(const std::filesystem::path& p, const Bytes& b) {
  std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), b.size());
}

inline Bytes read_file(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

// Little-endian appenders for hand-made file images.
inline void put_int(Bytes& b, std::int32_t v) {
  unsigned char raw[4];
  std::memcpy(raw, &v, 4);
  b.insert(b.end(), raw, raw + 4);
}
inline void put_ints(Bytes& b, std::initializer_list<std::int32_t> values) {
  for (auto v : values) put_int(b, v);
}
inline void put_double(Bytes& b, double v) {
  unsigned char raw[8];
  std::memcpy(raw, &v, 8);
  b.insert(b.end(), raw, raw + 8);
}
inline void put_text(Bytes& b, const std::string& s) {  // short texts only
  b.push_back(static_cast<unsigned char>(s.size()));
  b.insert(b.end(), s.begin(), s.end());
}

// Cells and the four texts of a fresh document: what precedes the fit flag.
inline Bytes fresh_head() {
  Bytes b(297 + 1, 0);
  put_text(b, "Title");
  put_text(b, "Response");
  put_text(b, "Total Ca/uM");
  return b;
}

}  // namespace fixtures
