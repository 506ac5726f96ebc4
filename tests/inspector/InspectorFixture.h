#pragma once
// A core and its editors started on a temporary program folder (the factory
// default image loaded, an 8 KiB image, TableMaxAddr 1FFF), with the hex
// view laid out and the fill dialog's model beside it.
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "shell/StartupSteps.h"
#include "editors/Editors.h"
#include "inspector/HexView.h"
#include "inspector/RangeFill.h"
#include "data/Core.h"

namespace zr {

class InspectorFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    for (const char* name : {"dhcpqec.def", "DefRadioSet_VHF.def", "DefRadioSet_UHF.def"})
      ASSERT_TRUE(QFile::copy(QStringLiteral(ZR_BIN_DIR "/") + name, dir.filePath(name))) << name;
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZR_SOURCE_DIR "/resources/kelvane.def"), dir.filePath("kelvane.def")));
    QFile::setPermissions(dir.filePath("kelvane.def"), QFile::ReadOwner | QFile::WriteOwner);
    core = std::make_unique<Core>(dir.path(), dir.filePath(kConfigFile), prompts, QStringLiteral("test"));
    editors = std::make_unique<Editors>(*core);
    startHeadless(*editors);
    ASSERT_EQ(img().upperBound(), 0x1FFF);
    ASSERT_EQ(img().at(0x01B8), 'M') << "default image not loaded";
    ASSERT_EQ(core->settings.TableMaxAddr, 0x1FFF);
    // The hex view alone: no editor follows what it changes.
    if (!withEditors()) QObject::disconnect(&core->events, nullptr, &editors->grid, nullptr);
    view = std::make_unique<HexView>(*core, withEditors() ? editors.get() : nullptr);
    fill = std::make_unique<RangeFill>(*view, core->log);
    fill->reset(core->settings.TableMaxAddr);
    view->SetGridMemDat();
    QObject::connect(&core->log, &ErrorLog::reported, [this](const QString& line) {
      static const QRegularExpression report(QStringLiteral("错误:  (.*)     出错号:  (\\d+)"));
      const QRegularExpressionMatch m = report.match(line);
      if (m.hasMatch()) reports.push_back((m.captured(1) + u'#' + m.captured(2)).toStdString());
    });
  }

  // Bounds tests run the view bare: a shrunken image would trouble the editors.
  virtual bool withEditors() const { return true; }

  ByteArray& img() { return core->image.TempArray; }
  std::vector<uint8_t> bytes() { return img().bytes(); }
  // The grid's red cells as addresses.
  std::vector<int> redAddresses() const {
    std::vector<int> out;
    for (int r = 1; r <= view->dataRows(); ++r)
      for (int c = 1; c < HexView::kColumns; ++c)
        if (view->colour(r, c) == HexView::kRed) out.push_back(HexView::addressOf(r, c));
    return out;
  }
  QString cellAt(int address) const { return view->text(HexView::rowOf(address), HexView::colOf(address)); }

  QTemporaryDir dir;
  ScriptedPrompts prompts;
  std::unique_ptr<Core> core;
  std::unique_ptr<Editors> editors;
  std::unique_ptr<HexView> view;
  std::unique_ptr<RangeFill> fill;
  std::vector<std::string> reports;  // "tag#code" of every report since SetUp
};

}  // namespace zr
