#include "document/bwd_file.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "document/doc_fixtures.h"

using namespace fixtures;
namespace fs = std::filesystem;

namespace {

BwdLoad decode(const Bytes& b, const Titration& current = Titration()) {
  return DecodeBwd(b.data(), b.size(), current, "doc.bwd");
}

// Every persisted member, compared field by field through the file image itself plus the
// values the image cannot show (parsed cell numbers, the carried temperature).
void expect_same_document(const Titration& a, const Titration& b) {
  EXPECT_EQ(encode(a), encode(b));
  for (int r = 0; r < Titration::kRows; ++r)
    for (int c = 0; c < Titration::kCols; ++c) ASSERT_EQ(a.m_cells[r][c].GetValue(), b.m_cells[r][c].GetValue());
  EXPECT_EQ(a.m_nSims, b.m_nSims);
  EXPECT_EQ(a.m_dStartCa, b.m_dStartCa);
}

class RecordingList : public PlotListSink {
 public:
  void AddString(const std::string& text) override { items.push_back(text); }
  void DeleteString(int index) override { items.erase(items.begin() + index); }
  void ResetContent() override { items.clear(); }
  int GetCount() const override { return static_cast<int>(items.size()); }
  int GetCurSel() const override { return -1; }
  std::vector<std::string> items;
};

fs::path scratch_dir() {
  const fs::path dir = fs::temp_directory_path() / ("bwd_test_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  return dir;
}

void write_file(const fs::path& p, const Bytes& b) {
  std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), b.size());
}

Bytes read_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(BwdWrite, FreshDocumentBytes) {
  Bytes expected = fresh_head();
  for (int i = 0; i < 3; ++i) put_int(expected, 0);
  expected.insert(expected.end(), {0x33, 0x13, 0x95, 0x43});  // 298.15f
  EXPECT_EQ(encode(Titration()), expected);
}

TEST(BwdWrite, StringLengthPrefixForms) {
  struct Case { std::size_t length; Bytes prefix; };
  const Case cases[] = {
      {254, {0xFE}},
      {255, {0xFF, 0xFF, 0x00}},
      {65533, {0xFF, 0xFD, 0xFF}},
      {65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
      {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
  };
  for (const auto& c : cases) {
    Titration doc;
    doc.m_strDescription.assign(c.length, 'd');
    const Bytes b = encode(doc);
    const Bytes prefix(b.begin() + 297, b.begin() + 297 + c.prefix.size());
    EXPECT_EQ(prefix, c.prefix) << c.length;
    EXPECT_EQ(b[297 + c.prefix.size() + c.length], 5) << "the title's length follows the text";
    const BwdLoad back = decode(b);
    ASSERT_TRUE(back.status.ok) << back.status.message;
    EXPECT_EQ(back.doc->m_strDescription, doc.m_strDescription);
  }
}

TEST(BwdWrite, FitBlockSizeFollowsErrorsFlag) {
  Titration doc;
  doc.m_bShowFit = 1;
  set_record(doc.m_fit, 1, 1.0);  // n = 4
  const std::size_t bare = encode(Titration()).size();
  const std::size_t header = 4 + 4 + 4 + 4 + 8 + 4;  // n, model, electrode, dilution, start Ca, errors flag
  EXPECT_EQ(encode(doc).size(), bare + header + 5 * 8);
  doc.m_fit.m_bErrors = 1;
  EXPECT_EQ(encode(doc).size(), bare + header + 10 * 8);
  doc.m_bShowFit = 0;  // a hidden fit is not saved
  EXPECT_EQ(encode(doc), encode(Titration()));
}

TEST(BwdRoundTrip, PopulatedDocumentWithLongAndNonAsciiTexts) {
  Titration doc = populated();
  doc.m_cells[60][0].SetText(std::string(254, '1'));
  doc.m_cells[61][1].SetText(std::string(255, '2'));
  doc.m_cells[62][2].SetText(std::string(65533, '3'));
  doc.m_strTitle = std::string(65534, 't');
  doc.m_strYCaption = std::string(70000, 'y');
  for (int errors = 1; errors >= 0; --errors) {
    doc.m_fit.m_bErrors = errors;
    const Bytes b = encode(doc);
    const BwdLoad back = decode(b);
    ASSERT_TRUE(back.status.ok) << back.status.message;
    expect_same_document(*back.doc, doc);
    EXPECT_EQ(back.doc->m_fTemperature, 303.15f);
    EXPECT_EQ(back.doc->m_strDescription, doc.m_strDescription);  // CR LF, degree and micro signs
  }
}

TEST(BwdText, Windows1252AtTheFileBoundary) {
  // micro, degree, euro, em dash; a CJK character has no 1252 code and becomes '?'.
  EXPECT_EQ(utf8_to_cp1252("5 \xC2\xB5M 25\xC2\xB0 \xE2\x82\xAC \xE2\x80\x94 \xE6\x97\xA5"), "5 \xB5M 25\xB0 \x80 \x97 ?");
  EXPECT_EQ(cp1252_to_utf8("\xB5\xB0\x80\x97"), "\xC2\xB5\xC2\xB0\xE2\x82\xAC\xE2\x80\x94");
  // Every byte survives a load and a save, the five undefined ones included.
  std::string all;
  for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
  EXPECT_EQ(utf8_to_cp1252(cp1252_to_utf8(all)), all);
  EXPECT_EQ(utf8_to_cp1252("bad \xFF\xC3 utf8"), "bad ?? utf8");
}

TEST(BwdRead, FlagsReadNonZeroAsOne) {
  Bytes b = fresh_head();
  put_int(b, 0);
  put_int(b, 7);  // simulations present, written by something other than this program
  put_int(b, 0);
  put_int(b, 0);
  const BwdLoad load = decode(b);
  ASSERT_TRUE(load.status.ok) << load.status.message;
  EXPECT_EQ(load.doc->m_bHaveSims, 1);
  EXPECT_EQ(load.doc->m_nSims, 0);
  EXPECT_EQ(load.doc->m_bFitAxesToSims, 1);
}

TEST(BwdRead, UnicodeStringFromTheFramework) {
  Bytes b(297, 0);
  b.insert(b.end(), {0xFF, 0xFE, 0xFF, 0x02, 0xB5, 0x00, 0x41, 0x00});  // UTF-16 "µA"
  const Bytes rest = fresh_head();
  b.insert(b.end(), rest.begin() + 298, rest.end());
  for (int i = 0; i < 3; ++i) put_int(b, 0);
  const BwdLoad load = decode(b);
  ASSERT_TRUE(load.status.ok) << load.status.message;
  EXPECT_EQ(load.doc->m_strDescription, "\xC2\xB5" "A");
}

TEST(BwdRead, TemperatureIsReadWhenPresentAndKeptWhenNot) {
  Titration current;
  current.m_fTemperature = 310.0f;
  current.m_nPlotsListed = 7;
  Bytes b = encode(populated(0));
  EXPECT_EQ(decode(b, current).doc->m_fTemperature, 303.15f);
  b.resize(b.size() - 4);
  const BwdLoad old = decode(b, current);
  ASSERT_TRUE(old.status.ok) << old.status.message;
  EXPECT_EQ(old.doc->m_fTemperature, 310.0f);
  EXPECT_EQ(old.doc->m_nPlotsListed, 7) << "the running plot number carries over";
}

TEST(BwdRead, EveryTruncationIsRejected) {
  const Bytes full = encode(populated(2));
  for (std::size_t n = 0; n < full.size(); ++n) {
    if (n == full.size() - 4) continue;  // ends before the temperature: a valid older file
    const Bytes cut(full.begin(), full.begin() + n);
    const BwdLoad load = decode(cut);
    ASSERT_FALSE(load.status.ok) << n;
    ASSERT_EQ(load.doc, nullptr);
    // Cut inside a text, the text's length outruns the file; elsewhere the file ends early.
    const std::string& m = load.status.message;
    ASSERT_TRUE(m.rfind("doc.bwd: the file ends early, in ", 0) == 0 ||
                (m.rfind("doc.bwd: ", 0) == 0 && m.find("bytes are left in the file") != std::string::npos))
        << m;
  }
}

TEST(BwdRead, OutOfBoundCountsAndModelsAreRejected) {
  auto fit = [](int n, int model) {
    Bytes b = fresh_head();
    put_int(b, 1);
    put_int(b, n);
    put_int(b, model);
    return b;
  };
  auto sims = [](int s, int n, int model) {
    Bytes b = fresh_head();
    put_int(b, 0);
    put_int(b, 1);
    put_int(b, s);
    put_int(b, n);
    put_int(b, model);
    return b;
  };
  auto plan = [](int g) {
    Bytes b = fresh_head();
    put_int(b, 0);
    put_int(b, 0);
    put_int(b, g);
    return b;
  };
  Bytes hugeText(297, 0);
  hugeText.insert(hugeText.end(), {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
  struct Case { Bytes bytes; const char* problem; };
  const Case cases[] = {
      {fit(-1, 1), "in the fit, the parameter count is -1, outside 0..14"},
      {fit(15, 1), "in the fit, the parameter count is 15, outside 0..14"},
      {fit(4, 0), "in the fit, the model number is 0, outside 1..10"},
      {fit(4, 11), "in the fit, the model number is 11, outside 1..10"},
      {sims(-1, 4, 1), "in the simulations, the simulation count is -1, outside 0..10"},
      {sims(11, 4, 1), "in the simulations, the simulation count is 11, outside 0..10"},
      {sims(1, 15, 1), "in simulation 1, the parameter count is 15, outside 0..14"},
      {sims(1, 4, -3), "in simulation 1, the model number is -3, outside 1..10"},
      {plan(-1), "in the Generate Data plan, the step count is -1, outside 0..100"},
      {plan(101), "in the Generate Data plan, the step count is 101, outside 0..100"},
      {hugeText, "the description holds a text of 4294967295 bytes, but only 0 bytes are left"},
  };
  for (const auto& c : cases) {
    const BwdLoad load = decode(c.bytes);
    EXPECT_FALSE(load.status.ok);
    EXPECT_EQ(load.status.message.rfind(std::string("doc.bwd: ") + c.problem, 0), 0u) << load.status.message;
  }
}

TEST(BwdFile, FailedLoadLeavesTheOpenDocumentUntouched) {
  const fs::path dir = scratch_dir();
  Titration doc = populated(3);
  RecordingList list;
  list.items = {"Plot 1", "Plot 2", "Plot 3"};
  doc.m_pPlotList = &list;
  const Bytes before = encode(doc);

  Bytes corrupt = encode(populated(2));
  corrupt.resize(corrupt.size() - 30);
  write_file(dir / "cut.bwd", corrupt);
  const BwdStatus failed = LoadBwdFile((dir / "cut.bwd").string(), doc);
  EXPECT_FALSE(failed.ok);
  EXPECT_NE(failed.message.find("cut.bwd: the file ends early"), std::string::npos);
  EXPECT_EQ(encode(doc), before);
  EXPECT_EQ(list.items.size(), 3u);

  const BwdStatus missing = LoadBwdFile((dir / "none.bwd").string(), doc);
  EXPECT_NE(missing.message.find("none.bwd: cannot open: No such file or directory"), std::string::npos);
  EXPECT_NE(LoadBwdFile(dir.string(), doc).message.find("not a regular file"), std::string::npos);
  EXPECT_EQ(encode(doc), before);

  // A successful load replaces the list with exactly the rebuild's entries.
  write_file(dir / "two.bwd", encode(populated(2)));
  const BwdLoad load = ReadBwdFile((dir / "two.bwd").string(), doc);
  ASSERT_TRUE(load.status.ok) << load.status.message;
  CommitBwdLoad(doc, load);
  EXPECT_EQ(list.items, load.plotEntries);
  EXPECT_EQ(doc.m_pPlotList, &list);
  EXPECT_EQ(doc.m_nSims, 2);
  fs::remove_all(dir);
}

TEST(BwdFile, SaveReplacesAtomicallyAndReportsSystemErrors) {
  const fs::path dir = scratch_dir();
  const fs::path target = dir / "doc.bwd";
  write_file(target, {1, 2, 3});
  ::chmod(target.c_str(), 0640);
  const Titration doc = populated();
  ASSERT_TRUE(SaveBwdFile(target.string(), doc).ok);
  EXPECT_EQ(read_file(target), encode(doc));
  EXPECT_EQ(fs::status(target).permissions(), fs::perms(0640)) << "the old file's mode is kept";

  fs::create_symlink(target, dir / "link.bwd");
  ASSERT_TRUE(SaveBwdFile((dir / "link.bwd").string(), Titration()).ok);
  EXPECT_TRUE(fs::is_symlink(dir / "link.bwd"));
  EXPECT_EQ(read_file(target), encode(Titration()));

  fs::create_directory(dir / "folder.bwd");  // rename cannot replace a folder
  const BwdStatus onFolder = SaveBwdFile((dir / "folder.bwd").string(), doc);
  EXPECT_FALSE(onFolder.ok);
  EXPECT_NE(onFolder.message.find("folder.bwd: cannot save: Is a directory"), std::string::npos) << onFolder.message;
  const BwdStatus noFolder = SaveBwdFile((dir / "no" / "x.bwd").string(), doc);
  EXPECT_NE(noFolder.message.find("cannot save: No such file or directory"), std::string::npos);
  // Only the files made above remain: no temporary file is left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 3);
  fs::remove_all(dir);
}

TEST(BwdWrite, SimulationsFollowThePlotListAfterADeletion) {
  Titration doc = populated(3);
  // Plot in slot 1 deleted: two plots left, listed as slot 3 then slot 2.
  doc.m_nSims = 2;
  doc.m_bSlotFree[1] = 1;
  doc.m_nSlotOrder[1] = 3;
  doc.m_nSlotOrder[2] = 2;
  const BwdLoad load = decode(encode(doc));
  ASSERT_TRUE(load.status.ok) << load.status.message;
  EXPECT_EQ(load.doc->m_nSims, 2);
  EXPECT_EQ(load.doc->m_sims[0].m_nModel, 3);
  EXPECT_EQ(load.doc->m_sims[1].m_nModel, 2);

  doc.m_nSlotOrder[2] = 0;  // a broken map must not index outside the slots
  Bytes bytes;
  EXPECT_FALSE(EncodeBwd(doc, "x.bwd", bytes).ok);
}

TEST(BwdFile, BundledExamplesReadAndWriteBackUnchanged) {
  int found = 0;
  for (const auto& entry : fs::directory_iterator(fs::path(BINDWISE_SOURCE_DIR) / "examples")) {
    if (entry.path().extension() != ".bwd") continue;
    ++found;
    const Bytes bytes = read_file(entry.path());
    const BwdLoad load = decode(bytes);
    ASSERT_TRUE(load.status.ok) << load.status.message;
    EXPECT_GT(load.doc->m_cells[9][0].GetValue(), 0.0) << entry.path() << " holds a titration series";
    EXPECT_EQ(encode(*load.doc), bytes) << entry.path();
  }
  EXPECT_GE(found, 1);
}
