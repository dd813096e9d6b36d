// The model topics quote the dialogs' own texts, so a reader can match what the help says to
// what the Fit dialog shows: each model's name and the labels of the parameter rows it uses.
#include "help/help_book.h"

#include <gtest/gtest.h>

#include <cctype>

#include "commands/fit_settings.h"
#include "fitting/models.h"

namespace {

const std::filesystem::path kBook = std::filesystem::path(BINDWISE_SOURCE_DIR) / "resources" / "help";

const char* topic_of_model(int model) {
  static const char* const topics[] = {"",
                                       "model-one-site.html",
                                       "model-two-sites-chelator.html",
                                       "model-two-sites.html",
                                       "model-four-sites-chelator.html",
                                       "model-two-chelators.html",
                                       "model-six-sites-chelator.html",
                                       "electrode.html",
                                       "electrode.html",
                                       "electrode.html",
                                       "electrode.html"};
  return topics[model];
}

bool quotes(const std::string& page, const std::string& text) { return page.find('"' + text + '"') != std::string::npos; }

// "log K2" ... "log K5" may be written as the range "log K1" to "log K6".
bool is_inner_stepwise_constant(const std::string& label, int rowsShown, int row, const DialogModelLayout& layout) {
  const bool stepwise = label.size() == 6 && label.rfind("log K", 0) == 0 && std::isdigit(static_cast<unsigned char>(label[5]));
  if (!stepwise || label == "log K1") return false;
  return row < rowsShown && std::string(layout.labels[row + 1]).rfind("log K", 0) == 0;
}

}  // namespace

TEST(HelpModels, EachModelTopicQuotesTheModelNameAndItsRowLabels) {
  const std::string overview = help_book::read_text(kBook / "models.html");
  for (int model = 1; model <= kModelCount; ++model) {
    const std::string page = help_book::read_text(kBook / topic_of_model(model));
    ASSERT_FALSE(page.empty()) << topic_of_model(model);
    const std::string name = fit_dialog_model_name(model - 1);
    EXPECT_TRUE(quotes(page, name)) << topic_of_model(model) << " does not quote " << name;
    EXPECT_TRUE(quotes(overview, name)) << "models.html does not list " << name;

    const DialogModelLayout layout = fit_dialog_layout(model - 1);
    for (int row = 1; row <= layout.rowsShown; ++row) {
      const std::string label = layout.labels[row];
      if (is_inner_stepwise_constant(label, layout.rowsShown, row, layout)) continue;
      EXPECT_TRUE(quotes(page, label)) << topic_of_model(model) << " does not quote row " << row << " \"" << label
                                       << "\" of model " << model;
    }
  }
}
