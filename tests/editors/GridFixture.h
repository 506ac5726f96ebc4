#pragma once
// A channel grid over a fresh core: the shipped configuration's ten columns,
// a default image whose channel records are all empty, and a band the test
// chooses through `band_`.
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "editors/ChannelGrid.h"
#include "data/Core.h"

namespace zr::testing {

class GridFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    core.image.create(0x1FFF);
    core.text.LoadSoftFace(core.CurLang);
    core.columns = columnDefs();
    for (int a = 0; a <= 0x1FFF; ++a) core.image.DefTempArray.set(a, a < 0x0400 ? 0xFF : 0);
    core.codec.InitChTable();
    grid.SetChGrid();
    grid.ShowChTblGrid();
  }

  // Columns as the shipped configuration defines them; column 8 has three options.
  static ChColumnDefs columnDefs() {
    ChColumnDefs d;
    d.columnCount = 10;
    d.widths.assign(11, 1000);
    d.items.assign(11, {});
    d.items[1] = {"RxFre"};
    d.items[2] = {"TxFre"};
    d.items[3] = {"CtcssDcsDec"};
    d.items[4] = {"CtcssDcsEnc"};
    d.items[5] = {"Low|High", "2", "1", "Low", "High"};
    d.items[6] = {"Narrow|Wide", "2", "1", "Narrow", "Wide"};
    d.items[7] = {"Off|On", "2", "1", "Off", "On"};
    d.items[8] = {"Off|Carrier|QT/DQT", "3", "0", "Off", "Carrier", "QT/DQT"};
    d.items[9] = {"Off|On", "2", "0", "Off", "On"};
    d.items[10] = {"Off|BOT|EOT|BOTH", "4", "0", "Off", "BOT", "EOT", "BOTH"};
    d.headerFormat = "CH|Rx|Tx|Dec|Enc|Power|W/N|Scan|BCL|VOX|PTT ID";
    return d;
  }

  // A typed entry: the edit runs only when the grid lets it start.
  void type(int row, int col, const QString& text) {
    if (grid.beforeEdit(row, col)) grid.GridChAfterEdit(row, col, text);
  }

  int band_[2] = {13600000, 17400000};
  QTemporaryDir dir;
  ScriptedPrompts prompts;
  Core core{dir.path(), dir.filePath("none.def"), prompts, "test"};
  ChannelGrid grid{{core.ChTable, core.codec, core.columns, core.tones, core.text, core.settings, core.log,
                    [this] { return band_[0]; }, [this] { return band_[1]; }, &core.history}};
};

}  // namespace zr::testing
