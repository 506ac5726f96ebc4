// zr417-cli diff (exit codes as diff's, text and JSON) and ports.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/CliRunner.h"

namespace {

using zr::testing::CliResult;
const auto cli = zr::testing::runCli;

TEST(DiffCommand, ExitsAsDiffDoesAndNamesWhatDiffers) {
  QTemporaryDir dir;
  const QString a = dir.filePath("a.dat"), b = dir.filePath("b.dat"), raw = dir.filePath("raw.bin");
  ASSERT_EQ(cli({"new", a, "--band", "136 - 174 MHz"}).exitCode, 0);
  ASSERT_EQ(cli({"set", a, "--out", b, "chkBeep=off"}).exitCode, 0);
  {
    // A raw image of a: address = offset, 8 KiB.
    QFile in(a), out(raw);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly));
    const QByteArray file = in.readAll();
    QByteArray image = file.left(16) + file.mid(32);
    image += QByteArray(8192 - image.size(), '\xFF');
    out.write(image);
  }
  struct Case {
    QStringList args;
    int exit;
    QString out;  // part of stdout (or stderr for failures)
  };
  const Case cases[] = {
      {{"diff", a, a}, 0, ""},
      {{"diff", a, raw}, 0, ""},  // the same image, once as a data file, once raw
      {{"diff", a, b}, 1, "chkBeep: \"on\" -> \"off\""},
      // diff(1)'s convention: 2 when a file cannot be read, never 1 ("different")
      {{"diff", a, dir.filePath("none.dat")}, 2, dir.filePath("none.dat") + ": no such file"},
      {{"diff", a}, 2, "give two files"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.join(' ').toStdString());
    const CliResult r = cli(c.args);
    EXPECT_EQ(r.exitCode, c.exit) << r.err.toStdString();
    if (c.exit == 0) {
      EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
    } else {
      EXPECT_TRUE((r.out + r.err).contains(c.out)) << (r.out + r.err).toStdString();
    }
  }
  const CliResult json = cli({"diff", b, a, "--json"});
  EXPECT_EQ(json.exitCode, 1);
  const QJsonObject root = QJsonDocument::fromJson(json.out.toUtf8()).object();
  EXPECT_FALSE(root["equal"].toBool());
  ASSERT_EQ(root["fields"].toArray().size(), 1);
  const QJsonObject f = root["fields"].toArray()[0].toObject();
  EXPECT_EQ(f["group"].toString(), "setting");
  EXPECT_EQ(f["field"].toString(), "chkBeep");
  EXPECT_EQ(f["a"].toString(), "off");
  EXPECT_EQ(f["b"].toString(), "on");
  EXPECT_TRUE(root["bytes"].toArray().isEmpty());
}

TEST(PortsCommand, ListsPinnedPortsWithWhetherTheyOpen) {
  QTemporaryDir dir;
  const QString config = dir.filePath("kelvane.def");
  ASSERT_TRUE(QFile::copy(ZR_BIN_DIR "/kelvane.def", config));
  const QString device = dir.filePath("tty-here");
  {
    QFile d(device), f(config);
    ASSERT_TRUE(d.open(QIODevice::WriteOnly));
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write(QStringLiteral("\n[Ports]\nCOM15=%1\nCOM16=%2\n").arg(dir.filePath("tty-gone"), device).toUtf8());
  }
  const CliResult r = cli({"ports", "--json", "--config", config});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  QJsonObject gone, here;
  for (const auto& v : QJsonDocument::fromJson(r.out.toUtf8()).array()) {
    const QJsonObject o = v.toObject();
    if (o["port"].toInt() == 15) gone = o;
    if (o["port"].toInt() == 16) here = o;
  }
  EXPECT_EQ(gone["device"].toString(), dir.filePath("tty-gone"));
  EXPECT_FALSE(gone["can_open"].toBool());
  EXPECT_EQ(gone["problem"].toString(),
            "cannot open " + dir.filePath("tty-gone") + ": no such device; is the cable plugged in?");
  EXPECT_EQ(here["device"].toString(), device);
  EXPECT_TRUE(here["can_open"].toBool());
  EXPECT_EQ(here["usb"].toString(), "");

  const CliResult text = cli({"--config", config, "ports"});
  ASSERT_EQ(text.exitCode, 0);
  EXPECT_TRUE(text.out.contains("COM16  " + device + "  can open")) << text.out.toStdString();
}

}  // namespace
