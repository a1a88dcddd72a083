// DDE over window messages: the packing of the two values a message carries,
// and the record of a conversation in the event log.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "UserFixture.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/kernel/Atom.h"
#include "platform/os/kernel/Memory.h"
#include "platform/os/user/Dde.h"

namespace {

using Fields = std::vector<std::string>;

class DdeTest : public usertest::UserTest {
 protected:
  static std::vector<Fields> ddeEvents() {
    std::vector<Fields> out;
    for (const auto& e : qv::desktop::Recorder::eventsOf("dde")) out.push_back(e.fields);
    return out;
  }
};

// The acknowledgement and the data messages carry a pair in a memory block;
// the others carry their values in the lParam itself, the execute its
// command handle alone.
TEST_F(DdeTest, PackedAndPlainMessages) {
  const int blocks = qv::os::globalBlockCount();
  const LPARAM ack = PackDDElParam(WM_DDE_ACK, DDE_FACK, 0x12345678);
  EXPECT_EQ(qv::os::globalBlockCount(), blocks + 1);
  UINT_PTR low = 1, high = 1;
  EXPECT_TRUE(UnpackDDElParam(WM_DDE_ACK, ack, &low, &high));
  EXPECT_EQ(low, DDE_FACK);
  EXPECT_EQ(high, 0x12345678u);
  // Reused for another packed message: the same block with the new values.
  EXPECT_EQ(ReuseDDElParam(ack, WM_DDE_ACK, WM_DDE_DATA, 7, 8), ack);
  EXPECT_TRUE(UnpackDDElParam(WM_DDE_DATA, ack, &low, &high));
  EXPECT_EQ(low, 7u);
  EXPECT_EQ(high, 8u);
  EXPECT_TRUE(FreeDDElParam(WM_DDE_DATA, ack));
  EXPECT_EQ(qv::os::globalBlockCount(), blocks);
  // A freed or made-up pair unpacks to nothing.
  EXPECT_FALSE(UnpackDDElParam(WM_DDE_ACK, ack, &low, &high));
  EXPECT_EQ(low, 0u);
  EXPECT_EQ(high, 0u);
  EXPECT_FALSE(UnpackDDElParam(WM_DDE_ACK, MAKELPARAM(0xC001, 0xC002), nullptr, &high));

  const LPARAM initiate = PackDDElParam(WM_DDE_INITIATE, 0xC001, 0xC002);
  EXPECT_EQ(initiate, MAKELPARAM(0xC001, 0xC002));
  EXPECT_TRUE(UnpackDDElParam(WM_DDE_INITIATE, initiate, &low, &high));
  EXPECT_EQ(low, 0xC001u);
  EXPECT_EQ(high, 0xC002u);
  HGLOBAL commands = GlobalAlloc(GMEM_MOVEABLE, 4);
  const LPARAM execute = PackDDElParam(WM_DDE_EXECUTE, 0, reinterpret_cast<UINT_PTR>(commands));
  EXPECT_EQ(execute, reinterpret_cast<LPARAM>(commands));
  EXPECT_TRUE(UnpackDDElParam(WM_DDE_EXECUTE, execute, &low, &high));
  EXPECT_EQ(high, reinterpret_cast<UINT_PTR>(commands));
  EXPECT_TRUE(FreeDDElParam(WM_DDE_EXECUTE, execute));

  // From an execute to its acknowledgement: a new pair; and back.
  const LPARAM answer = ReuseDDElParam(execute, WM_DDE_EXECUTE, WM_DDE_ACK, DDE_FACK,
                                       reinterpret_cast<UINT_PTR>(commands));
  EXPECT_TRUE(UnpackDDElParam(WM_DDE_ACK, answer, &low, &high));
  EXPECT_EQ(high, reinterpret_cast<UINT_PTR>(commands));
  EXPECT_EQ(ReuseDDElParam(answer, WM_DDE_ACK, WM_DDE_TERMINATE, 0, 0), 0);
  EXPECT_EQ(qv::os::globalBlockCount(), blocks + 1);  // only the commands left
  GlobalFree(commands);
}

// Every DDE message between windows is in the log: names of the atoms, the
// command text (never past its block), the status word.
TEST_F(DdeTest, AConversationIsRecorded) {
  HWND client = make(WS_POPUP, {0, 0, 10, 10});
  HWND server = make(WS_POPUP, {0, 0, 10, 10});
  const ATOM app = GlobalAddAtom("Folders");
  const ATOM topic = GlobalAddAtom("AppProperties");
  SendMessage(HWND_BROADCAST, WM_DDE_INITIATE, reinterpret_cast<WPARAM>(client), MAKELPARAM(app, topic));
  SendMessage(client, WM_DDE_ACK, reinterpret_cast<WPARAM>(server), MAKELPARAM(app, topic));
  // A command text without its zero ends with its block.
  HGLOBAL commands = GlobalAlloc(GMEM_MOVEABLE, 9);
  std::memcpy(GlobalLock(commands), "[Open(x)]", 9);
  GlobalUnlock(commands);
  PostMessage(server, WM_DDE_EXECUTE, reinterpret_cast<WPARAM>(client), reinterpret_cast<LPARAM>(commands));
  const LPARAM ack = PackDDElParam(WM_DDE_ACK, DDE_FACK | 3, reinterpret_cast<UINT_PTR>(commands));
  PostMessage(client, WM_DDE_ACK, reinterpret_cast<WPARAM>(server), ack);
  PostMessage(server, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(client), 0);
  PostMessage(client, WM_USER, 0, 0);  // no DDE message: not recorded
  EXPECT_EQ(ddeEvents(), (std::vector<Fields>{{"initiate", "Folders", "AppProperties"},
                                               {"ack", "Folders", "AppProperties"},
                                               {"execute", "[Open(x)]"},
                                               {"ack", "0x8003"},
                                               {"terminate"}}));
  FreeDDElParam(WM_DDE_ACK, ack);
  GlobalFree(commands);
}

}  // namespace
