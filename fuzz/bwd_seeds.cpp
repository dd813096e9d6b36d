// Writes valid .bwd files into the folder given as the only argument: the fuzzer's seeds.
#include <cstdio>
#include <string>
#include <vector>

#include "document/bwd_file.h"

namespace {

void record(ParamSet& p, int model, int n) {
  p.m_nModel = model;
  p.m_nParams = n;
  p.m_bElectrode = model >= 7;
  p.m_dStartCa = 0.5;
  for (int i = 0; i <= n; ++i) p.m_p[i] = 1.0 + i;
}

bool save(const std::string& dir, const char* name, const Titration& doc) {
  const BwdStatus s = SaveBwdFile(dir + "/" + name, doc);
  if (!s.ok) std::fprintf(stderr, "%s\n", s.message.c_str());
  return s.ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_bwd_seeds FOLDER\n");
    return 2;
  }
  const std::string dir = argv[1];
  Titration doc;
  bool ok = save(dir, "fresh.bwd", doc);
  for (int r = 0; r < 12; ++r) {
    doc.m_cells[r][0].SetText(std::to_string(1.0 - 0.05 * r));
    doc.m_cells[r][1].SetText(std::to_string(5 * r));
    doc.m_cells[r][2].SetText("2.0" + std::to_string(r));
  }
  doc.m_strDescription = "25 \xC2\xB0" "C, 10 \xC2\xB5M\r\nsecond line";
  doc.m_bShowFit = 1;
  record(doc.m_fit, 2, 7);
  doc.m_fit.m_bErrors = 1;
  ok = save(dir, "fit.bwd", doc) && ok;
  doc.m_bHaveSims = 1;
  doc.m_nSims = 3;
  for (int k = 1; k <= 3; ++k) record(doc.m_sims[k - 1], k, k == 1 ? 4 : k == 2 ? 8 : 6);
  doc.m_nGenSteps = 3;
  for (int i = 1; i <= 3; ++i) doc.m_genSteps[i] = {i + 1, 2, 0.002, 0.5};
  ok = save(dir, "full.bwd", doc) && ok;
  doc.m_strTitle.assign(300, 'T');
  ok = save(dir, "long-title.bwd", doc) && ok;
  return ok ? 0 : 1;
}
