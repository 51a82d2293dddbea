// Test support: the main view's state over one portfolio, its symbol grid filled as the window
// fills it, with a settings store that is never opened and a Ui that records.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/settings_store.h"
#include "app/view_state.h"
#include "data/file_names.h"
#include "data/file_ops.h"
#include "support/recording_ui.h"

namespace barvane::test {

class ToolView {
 public:
  ToolView(FileSystem& fs, const std::string& dir) : settings(fs), view(fs, settings, ui) {
    const std::string master = FindNoCase(fs, WithTrailingSlash(dir), kMasterName);
    view.SetMasterPath(master.empty() ? WithTrailingSlash(dir) + kMasterName : master);
    view.m_portfoliosFound = true;
    view.FillSymbolGrid(0);
  }
  explicit ToolView(const std::string& dir) : ToolView(FileSystem::Default(), dir) {}

  // Makes the grid row showing `symbol` the current one, as a click on it does.
  void Select(const std::string& symbol) {
    for (std::size_t r = 0; r < view.m_symbolRows.size(); ++r) {
      if (view.m_symbolRows[r].symbol != symbol) continue;
      view.SelectSymbolRow(static_cast<int>(r));
      view.FillQuotesGrid(0);
      return;
    }
    ADD_FAILURE() << "no grid row " << symbol;
  }

  SettingsStore settings;
  RecordingUi ui;
  ViewState view;
};

}  // namespace barvane::test
