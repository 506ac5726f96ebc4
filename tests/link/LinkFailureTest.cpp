// The typed reason of a failed transfer: the line each kind shows under the
// system's failure text, the partly-written line of a write, and the reply
// bytes kept for the user (at most eight of each).
#include <gtest/gtest.h>

#include "link/LinkFailure.h"
#include "base/TextTable.h"

namespace zr {
namespace {

TEST(LinkFailureTest, EachKindNamesItsCause) {
  const TextTable text;
  const std::vector<uint8_t> ack = {0x06};
  const std::vector<uint8_t> nak = {0x15};
  struct Case {
    LinkFailure failure;
    QString line;
  };
  const Case cases[] = {
      {LinkFailure::noAnswer(),
       QStringLiteral("Rx：Communication failed! No receive Data! No answer from the radio: is it switched on and the cable in?")},
      {LinkFailure::stoppedAnswering(12, 0x00B0),
       QStringLiteral("Rx：Communication failed! No receive Data! The radio stopped answering at block 12 (address 00B0).")},
      {LinkFailure::unexpectedReply(3, 0x0020, ack, nak),
       QStringLiteral("Rx：Communication failed! Receive Data Error! The radio answered something else at block 3 "
                      "(address 0020): expected 06, received 15.")},
      {LinkFailure::unexpectedReply(0, -1, ack, {}),
       QStringLiteral("Rx：Communication failed! Receive Data Error! The radio answered something else: expected 06, "
                      "received nothing.")},
      {LinkFailure::portGone(QStringLiteral("/dev/ttyUSB0"), QStringLiteral("Input/output error")),
       QStringLiteral("/dev/ttyUSB0 went away (Input/output error): is the cable still plugged in? Plug it in and start again.")},
      {LinkFailure::portBusy(QStringLiteral("/dev/ttyUSB0"), QString()),
       QStringLiteral("/dev/ttyUSB0 is busy: close the program that uses it, or choose another port.")},
      {LinkFailure::stoppedByUser(), QStringLiteral("Stopped by the user.")},
      {LinkFailure{}, QString()},
  };
  for (const Case& c : cases) EXPECT_EQ(causeLine(c.failure, text), c.line) << kindName(c.failure.kind).toStdString();
}

TEST(LinkFailureTest, ReplyBytesAreCutAtEight) {
  const std::vector<uint8_t> twelve = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  const LinkFailure f = LinkFailure::unexpectedReply(1, 0, twelve, twelve);
  EXPECT_EQ(f.expectedCount, 8);
  EXPECT_EQ(f.receivedCount, 8);
  EXPECT_TRUE(causeLine(f, TextTable()).endsWith(QStringLiteral("expected 01 02 03 04 05 06 07 08, received 01 02 03 04 05 06 07 08.")));
}

TEST(LinkFailureTest, OnlyAWriteWithAcknowledgedBlocksIsPartlyWritten) {
  struct Case {
    bool write;
    int acknowledged;
    LinkFailure::Kind kind;
    bool allSent;
    QString line;
  };
  const Case cases[] = {
      {true, 5, LinkFailure::Kind::StoppedAnswering, false,
       QStringLiteral("The radio was partly written (5 of 65 blocks, up to address 004F); write it again before using it.")},
      {true, 0, LinkFailure::Kind::NoAnswer, false, QString()},          // nothing reached the radio
      {false, 5, LinkFailure::Kind::StoppedAnswering, false, QString()},  // a read changes nothing in the radio
      {true, 5, LinkFailure::Kind::None, false, QString()},              // a write that finished
      {true, 65, LinkFailure::Kind::NoAnswer, true, QString()},          // only the read-back failed
  };
  for (const Case& c : cases) {
    LinkFailure f;
    f.kind = c.kind;
    f.write = c.write;
    f.blocksAcknowledged = c.acknowledged;
    f.blocksTotal = 65;
    f.lastAcknowledgedAddress = 0x004F;
    f.allSent = c.allSent;
    EXPECT_EQ(f.partlyWritten(), !c.line.isEmpty());
    EXPECT_EQ(partlyWrittenLine(f), c.line);
  }
}

}  // namespace
}  // namespace zr
