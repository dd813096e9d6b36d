#include "document/bwd_file.h"

#include <cmath>
#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include "support/scratch_dir.h"
#include "support/vector_plot_list.h"

#include "document/doc_fixtures.h"

using namespace fixtures;
namespace fs = std::filesystem;

namespace {

BwdLoad decode(const Bytes& b, const Titration& current = Titration()) {
  return DecodeBwd(b.data(), b.size(), current, "doc.bwd");
}

using RecordingList = VectorPlotList;

class BwdFile : public ::testing::Test {
 protected:
  std::string at(const std::string& name) const { return (dir / name).string(); }
  ScratchDir scratch{"bwd_test"};
  const fs::path dir = scratch.path();
};

}  // namespace

TEST(BwdWrite, FreshDocumentBytes) {
  Bytes expected = fresh_head();
  put_ints(expected, {0, 0, 0});
  expected.insert(expected.end(), {0x33, 0x13, 0x95, 0x43});  // 298.15f
  EXPECT_EQ(encode(Titration()), expected);
}

TEST(BwdWrite, StringLengthPrefixForms) {
  const std::pair<std::size_t, Bytes> cases[] = {
      {254, {0xFE}},
      {255, {0xFF, 0xFF, 0x00}},
      {65533, {0xFF, 0xFD, 0xFF}},
      {65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
      {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
  };
  for (const auto& [length, prefix] : cases) {
    Titration doc;
    doc.m_strDescription.assign(length, 'd');
    const Bytes b = encode(doc);
    EXPECT_EQ(Bytes(b.begin() + 297, b.begin() + 297 + prefix.size()), prefix) << length;
    EXPECT_EQ(b[297 + prefix.size() + length], 5) << "the title's length follows the text";
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
  for (BYTE errors : {1, 0}) {
    doc.m_fit.m_bErrors = errors;
    const BwdLoad back = decode(encode(doc));
    ASSERT_TRUE(back.status.ok) << back.status.message;
    EXPECT_EQ(encode(*back.doc), encode(doc));
    EXPECT_EQ(back.doc->m_strDescription, doc.m_strDescription);  // CR LF, degree and micro signs
    EXPECT_EQ(back.doc->m_cells[40][1].GetValue(), 12.0);
    EXPECT_EQ(back.doc->m_dStartCa, doc.m_fit.m_dStartCa);
    EXPECT_EQ(back.doc->m_fTemperature, 303.15f);
  }
}

TEST(BwdText, Windows1252AtTheFileBoundary) {
  // micro, degree, euro, em dash; a CJK character has no 1252 code and becomes '?'.
  EXPECT_EQ(utf8_to_cp1252("5 \xC2\xB5M 25\xC2\xB0 \xE2\x82\xAC \xE2\x80\x94 \xE6\x97\xA5"), "5 \xB5M 25\xB0 \x80 \x97 ?");
  EXPECT_EQ(cp1252_to_utf8("\xB5\xB0\x80\x97"), "\xC2\xB5\xC2\xB0\xE2\x82\xAC\xE2\x80\x94");
  std::string all;  // every byte survives a load and a save, the five undefined ones included
  for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
  EXPECT_EQ(utf8_to_cp1252(cp1252_to_utf8(all)), all);
  EXPECT_EQ(utf8_to_cp1252("bad \xFF\xC3 utf8"), "bad ?? utf8");
}

TEST(BwdRead, ForeignFlagValuesAndUnicodeTexts) {
  Bytes b(297, 0);
  b.insert(b.end(), {0xFF, 0xFE, 0xFF, 0x02, 0xB5, 0x00, 0x41, 0x00});  // UTF-16 "µA" description
  const Bytes head = fresh_head();
  b.insert(b.end(), head.begin() + 298, head.end());
  put_ints(b, {0, 7, 0, 0});  // simulations flag 7, zero simulations (all plots deleted), no plan
  const BwdLoad load = decode(b);
  ASSERT_TRUE(load.status.ok) << load.status.message;
  EXPECT_EQ(load.doc->m_strDescription, "\xC2\xB5" "A");
  EXPECT_EQ(load.doc->m_bHaveSims, 1);
  EXPECT_EQ(load.doc->m_bFitAxesToSims, 1);
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
  EXPECT_EQ(old.doc->m_nPlotsListed, 7) << "the running plot number carries over, as after New";
}

TEST(BwdRead, EveryTruncationIsRejected) {
  const Bytes full = encode(populated(2));
  for (std::size_t n = 0; n < full.size(); ++n) {
    if (n == full.size() - 4) continue;  // ends before the temperature: a valid older file
    const BwdLoad load = decode(Bytes(full.begin(), full.begin() + n));
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
  auto with = [](std::initializer_list<std::int32_t> ints) {
    Bytes b = fresh_head();
    put_ints(b, ints);
    return b;
  };
  Bytes hugeText(297, 0);
  hugeText.insert(hugeText.end(), {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
  const std::pair<Bytes, const char*> cases[] = {
      {with({1, -1, 1}), "in the fit, the parameter count is -1, outside 0..14"},
      {with({1, 15, 1}), "in the fit, the parameter count is 15, outside 0..14"},
      {with({1, 4, 0}), "in the fit, the model number is 0, outside 1..10"},
      {with({1, 4, 11}), "in the fit, the model number is 11, outside 1..10"},
      {with({0, 1, -1}), "in the simulations, the simulation count is -1, outside 0..10"},
      {with({0, 1, 11}), "in the simulations, the simulation count is 11, outside 0..10"},
      {with({0, 1, 1, 15}), "in simulation 1, the parameter count is 15, outside 0..14"},
      {with({0, 1, 1, 4, -3}), "in simulation 1, the model number is -3, outside 1..10"},
      {with({0, 0, -1}), "in the Generate Data plan, the step count is -1, outside 0..100"},
      {with({0, 0, 101}), "in the Generate Data plan, the step count is 101, outside 0..100"},
      {hugeText, "the description holds a text of 4294967295 bytes, but only 0 bytes are left"},
  };
  for (const auto& [bytes, problem] : cases) {
    const BwdLoad load = decode(bytes);
    EXPECT_FALSE(load.status.ok);
    EXPECT_EQ(load.status.message.rfind(std::string("doc.bwd: ") + problem, 0), 0u) << load.status.message;
  }
}

TEST(BwdRead, RecordsThatDoNotMatchTheirModelAreRejected) {
  for (int model = 1; model <= kModelCount; ++model) {
    for (int n : {0, model_info(model).fitRecordSlots - 1, model_info(model).fitRecordSlots + 1}) {
      Titration doc = populated(0);
      set_record(doc.m_fit, model, 1.0);
      doc.m_fit.m_nParams = n;
      const std::string expected = "doc.bwd: in the fit, the parameter count is " + std::to_string(n) + ", but model " +
                                   std::to_string(model) + " stores " + std::to_string(model_info(model).fitRecordSlots);
      EXPECT_EQ(decode(encode(doc)).status.message, expected);
    }
    Titration doc = populated(3);
    set_record(doc.m_sims[2], model, 1.0, true);
    doc.m_sims[2].m_nParams = model_info(model).simulationRecordSlots - 2;
    EXPECT_NE(decode(encode(doc)).status.message.find("in simulation 3, the parameter count is"), std::string::npos);
  }
  // The fit of model 8 and the simulation of model 2 store other counts than their models
  // evaluate; each is accepted only with its own.
  Titration doc = populated(0);
  set_record(doc.m_fit, 8, 1.0, true);
  EXPECT_EQ(decode(encode(doc)).status.message, "doc.bwd: in the fit, the parameter count is 8, but model 8 stores 7");
  set_record(doc.m_fit, 8, 1.0);
  EXPECT_TRUE(decode(encode(doc)).status.ok);
}

TEST(BwdRead, PlanStepsOutsideTheDialogsRulesAreRejected) {
  struct Step {
    std::int32_t additions, start;
    double volume = 1.0, conc = 2.0;
  };
  auto plan = [](std::vector<Step> steps, std::int32_t volUnit = 1, double startVolume = 2.0) {
    Bytes b = fresh_head();
    put_ints(b, {0, 0, static_cast<std::int32_t>(steps.size())});
    put_double(b, startVolume);
    put_ints(b, {volUnit, 0});
    for (const Step& s : steps) {
      put_ints(b, {s.additions, s.start});
      put_double(b, s.volume);
      put_double(b, s.conc);
    }
    return b;
  };
  const double nan = std::nan("");
  const std::pair<Bytes, const char*> cases[] = {
      {plan({{3, 1}}), "in step 1 of the Generate Data plan, the start cell is 1, outside 2..97"},
      {plan({{3, 2}, {0, 98}}), "in step 2 of the Generate Data plan, the start cell is 98, outside 2..97"},
      {plan({{-1, 2}}), "in step 1 of the Generate Data plan, the number of additions is -1, outside 0..96"},
      {plan({{2000000000, 2000000000}}), "in step 1 of the Generate Data plan, the number of additions is 2000000000"},
      {plan({{10, 90}}), "in step 1 of the Generate Data plan, start cell 90 plus 10 additions exceeds 97"},
      {plan({{3, 2, nan}}), "in step 1 of the Generate Data plan, the volume is not a finite number"},
      {plan({{3, 2, 1.0, HUGE_VAL}}), "in step 1 of the Generate Data plan, the concentration is not a finite number"},
      {plan({{3, 2}}, 3), "in the Generate Data plan, the volume unit is 3, outside 0..2"},
      {plan({{3, 2}}, 0, -HUGE_VAL), "in the Generate Data plan, the start volume is not a finite number"},
  };
  for (const auto& [bytes, problem] : cases)
    EXPECT_EQ(decode(bytes).status.message.rfind(std::string("doc.bwd: ") + problem, 0), 0u) << problem;
  // The dialog's limits themselves are accepted, a step without additions included.
  const BwdLoad edge = decode(plan({{95, 2}, {0, 97}, {1, 96}}));
  ASSERT_TRUE(edge.status.ok) << edge.status.message;
  EXPECT_EQ(edge.doc->m_genSteps[2].m_nStart, 97);

  const std::string crafted = BINDWISE_SOURCE_DIR "/fuzz/regressions/plan-past-the-grid.bwd";
  Titration doc;
  EXPECT_EQ(LoadBwdFile(crafted, doc).message.rfind(crafted + ": in step 1 of the Generate Data plan", 0), 0u);
}

TEST_F(BwdFile, FailedLoadLeavesTheOpenDocumentUntouched) {
  Titration doc = populated(3);
  RecordingList list;
  list.items = {"Plot 1", "Plot 2", "Plot 3"};
  doc.m_pPlotList = &list;
  const Bytes before = encode(doc);
  Bytes cut = encode(populated(2));
  cut.resize(cut.size() - 30);
  write_file(at("cut.bwd"), cut);
  EXPECT_NE(LoadBwdFile(at("cut.bwd"), doc).message.find("cut.bwd: the file ends early"), std::string::npos);
  EXPECT_NE(LoadBwdFile(at("none.bwd"), doc).message.find("none.bwd: cannot open: No such file or directory"),
            std::string::npos);
  EXPECT_NE(LoadBwdFile(dir.string(), doc).message.find("not a regular file"), std::string::npos);
  const std::string shortRecord = BINDWISE_SOURCE_DIR "/fuzz/regressions/short-simulation-record.bwd";
  EXPECT_EQ(LoadBwdFile(shortRecord, doc).message,
            shortRecord + ": in simulation 1, the parameter count is 2, but model 4 stores 9");
  EXPECT_EQ(encode(doc), before);
  EXPECT_EQ(list.items.size(), 3u);

  // A successful load replaces the list's entries with exactly those of the loaded plots.
  write_file(at("two.bwd"), encode(populated(2)));
  ASSERT_TRUE(LoadBwdFile(at("two.bwd"), doc).ok);
  EXPECT_EQ(list.items, (std::vector<std::string>{"Plot 1", "Plot 2"}));
  EXPECT_EQ(doc.m_pPlotList, &list);
  EXPECT_EQ(encode(doc), encode(populated(2)));
}

TEST_F(BwdFile, FilesLargerThanAnyDocumentAreRefusedUnread) {
  // 301 texts of at most 2^33 + 8 bytes and 4064 bytes of records and plan.
  const std::uint64_t largest = 2585570318664ull;
  Titration doc = populated(1);
  const Bytes before = encode(doc);
  write_file(at("huge.bwd"), {});
  ASSERT_EQ(::truncate(at("huge.bwd").c_str(), static_cast<off_t>(largest + 1)), 0);  // sparse: no disk used
  EXPECT_EQ(LoadBwdFile(at("huge.bwd"), doc).message,
            at("huge.bwd") + ": the file is 2585570318665 bytes, more than the 2585570318664 a document can hold");
  EXPECT_EQ(encode(doc), before);

  // Zeros read as a fresh document up to the temperature; anything after it is refused.
  write_file(at("zeros.bwd"), Bytes(5000, 0));
  EXPECT_EQ(LoadBwdFile(at("zeros.bwd"), doc).message,
            at("zeros.bwd") + ": the file goes on for 4683 bytes after the document's end");
  EXPECT_EQ(encode(doc), before);
}

TEST_F(BwdFile, SaveReplacesAtomicallyAndReportsSystemErrors) {
  write_file(at("doc.bwd"), {1, 2, 3});
  ::chmod(at("doc.bwd").c_str(), 0640);
  ASSERT_TRUE(SaveBwdFile(at("doc.bwd"), populated()).ok);
  EXPECT_EQ(read_file(at("doc.bwd")), encode(populated()));
  EXPECT_EQ(fs::status(at("doc.bwd")).permissions(), fs::perms(0640)) << "the old file's mode is kept";

  fs::create_symlink(at("doc.bwd"), at("link.bwd"));  // saving through a link updates its target
  ASSERT_TRUE(SaveBwdFile(at("link.bwd"), Titration()).ok);
  EXPECT_TRUE(fs::is_symlink(at("link.bwd")));
  EXPECT_EQ(read_file(at("doc.bwd")), encode(Titration()));

  fs::create_directory(at("folder.bwd"));  // rename cannot replace a folder
  EXPECT_NE(SaveBwdFile(at("folder.bwd"), Titration()).message.find("folder.bwd: cannot save: Is a directory"),
            std::string::npos);
  EXPECT_NE(SaveBwdFile(at("no/x.bwd"), Titration()).message.find("cannot save: No such file or directory"),
            std::string::npos);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 3) << "no temporary file left";
}

TEST(BwdWrite, SimulationsFollowThePlotListAfterADeletion) {
  Titration doc = populated(3);
  doc.m_nSims = 2;  // the plot in slot 1 was deleted; the list shows slot 3, then slot 2
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

TEST(BwdRead, BundledExamplesReadAndWriteBackUnchanged) {
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

// Every byte of a file with a fit with errors, two simulations and a two-entry plan, written
// out by hand from the format: blocks in their order, flags as ints, n + 1 fit values and
// n + 1 errors, n values per simulation, additions before start cell in each plan entry.
TEST(BwdWrite, FitSimulationsAndPlanByteForByte) {
  Titration doc;
  doc.m_cells[0][1].SetText("7");  // row by row: (0,0) (0,1) (0,2) (1,0) ...
  doc.m_cells[1][0].SetText("x");
  doc.m_strDescription = "5 \xC2\xB5M";  // the micro sign is one 1252 byte, B5
  doc.m_bShowFit = 1;
  ParamSet& fit = doc.m_fit;
  fit.m_nParams = 2;
  fit.m_nModel = 3;
  fit.m_bElectrode = 0;
  fit.m_bDilution = 1;
  fit.m_dStartCa = 0.5;
  fit.m_bErrors = 1;
  fit.m_p[0] = 4.0;  // chi-square
  fit.m_p[1] = 1.0;
  fit.m_p[2] = 2.0;
  fit.m_err[0] = 0.0;
  fit.m_err[1] = 0.25;
  fit.m_err[2] = 0.5;
  doc.m_bHaveSims = 1;
  doc.m_nSims = 2;
  doc.m_bSlotFree[1] = doc.m_bSlotFree[2] = 0;
  ParamSet& s1 = doc.m_sims[0];
  s1.m_nParams = 1;
  s1.m_nModel = 2;
  s1.m_p[0] = 99.0;  // a simulation has no slot 0, no errors flag and no errors in the file
  s1.m_p[1] = 3.0;
  s1.m_bErrors = 1;
  s1.m_err[1] = 99.0;
  ParamSet& s2 = doc.m_sims[1];
  s2.m_nParams = 2;
  s2.m_nModel = 8;
  s2.m_bElectrode = 1;
  s2.m_dStartCa = 1.5;
  s2.m_p[1] = -1.0;
  s2.m_p[2] = 0.25;
  doc.m_nGenSteps = 2;
  doc.m_dGenStartVolume = 2.0;
  doc.m_nGenVolUnit = 1;
  doc.m_nGenConcUnit = 2;
  doc.m_genSteps[1] = {2, 3, 0.25, 1.0, 0, 0};  // start cell 2, 3 additions
  doc.m_genSteps[2] = {5, 4, 0.5, 2.0, 0, 0};
  doc.m_fTemperature = 310.0f;

  Bytes expected = {0x00, 0x01, '7', 0x00, 0x01, 'x'};
  expected.resize(expected.size() + 293, 0x00);  // the other 293 cells are empty
  const Bytes rest = {
      0x04, '5', ' ', 0xB5, 'M',                                  // description
      0x05, 'T', 'i', 't', 'l', 'e',                              // title
      0x08, 'R', 'e', 's', 'p', 'o', 'n', 's', 'e',               // y caption
      0x0B, 'T', 'o', 't', 'a', 'l', ' ', 'C', 'a', '/', 'u', 'M',  // x caption
      0x01, 0x00, 0x00, 0x00,                                     // fit shown
      0x02, 0x00, 0x00, 0x00,                                     // n
      0x03, 0x00, 0x00, 0x00,                                     // model
      0x00, 0x00, 0x00, 0x00,                                     // electrode
      0x01, 0x00, 0x00, 0x00,                                     // dilution
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xE0, 0x3F,             // start Ca 0.5
      0x01, 0x00, 0x00, 0x00,                                     // errors present
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x40,             // chi-square 4.0
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F,             // 1.0
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40,             // 2.0
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,             // error slot 0: 0.0
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xD0, 0x3F,             // 0.25
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xE0, 0x3F,             // 0.5
      0x01, 0x00, 0x00, 0x00,                                     // simulations present
      0x02, 0x00, 0x00, 0x00,                                     // s
      0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,             // n 1, model 2
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,             // electrode 0, dilution 0
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,             // start Ca 0.0
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x08, 0x40,             // 3.0
      0x02, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00,             // n 2, model 8
      0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,             // electrode 1, dilution 0
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF8, 0x3F,             // start Ca 1.5
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0xBF,             // -1.0
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xD0, 0x3F,             // 0.25
      0x02, 0x00, 0x00, 0x00,                                     // g
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40,             // start volume 2.0 ml
      0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,             // "ul", "nM"
      0x03, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00,             // 3 additions, start cell 2
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xD0, 0x3F,             // 0.25
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F,             // 1.0
      0x04, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00,             // 4 additions, start cell 5
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xE0, 0x3F,             // 0.5
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40,             // 2.0
      0x00, 0x00, 0x9B, 0x43,                                     // 310.0f
  };
  expected.insert(expected.end(), rest.begin(), rest.end());
  ASSERT_EQ(encode(doc), expected);

  // These records hold fewer slots than their models store, so the reader refuses the file.
  EXPECT_EQ(decode(expected).status.message, "doc.bwd: in the fit, the parameter count is 2, but model 3 stores 6");

  // With the counts the models store, each value read back lands where it came from.
  fit.m_nParams = 6;
  s1.m_nParams = 8;
  s2.m_nParams = 8;
  const Bytes whole = encode(doc);
  const BwdLoad back = decode(whole);
  ASSERT_TRUE(back.status.ok) << back.status.message;
  const Titration& d = *back.doc;
  EXPECT_EQ(d.m_cells[1][0].GetText(), "x");
  EXPECT_EQ(d.m_strDescription, doc.m_strDescription);
  EXPECT_EQ(d.m_fit.m_err[1], 0.25);
  EXPECT_EQ(d.m_fit.m_p[0], 4.0);
  EXPECT_EQ(d.m_dStartCa, 0.5);
  EXPECT_EQ(d.m_sims[1].m_bElectrode, 1);
  EXPECT_EQ(d.m_sims[1].m_p[2], 0.25);
  EXPECT_EQ(d.m_genSteps[2].m_nStart, 5);
  EXPECT_EQ(d.m_genSteps[2].m_nAdditions, 4);
  EXPECT_EQ(d.m_fTemperature, 310.0f);
  EXPECT_EQ(encode(d), whole);
}
