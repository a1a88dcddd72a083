// The About box from its form resource: its shape from the stored picture,
// the full form's version texts, the short form of the exit splash, the
// drop shadow by Windows version, and closing the modal box.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "DesktopTest.h"
#include "platform/classlib/Forms.h"
#include "platform/classlib/Registry.h"
#include "platform/desktop/Profile.h"
#include "platform/desktop/Recorder.h"
#include "platform/os/kernel/Module.h"
#include "platform/os/gdi/Gdi.h"
#include "platform/os/user/User.h"
#include "runtime/About.h"

namespace {

constexpr DWORD kDropShadow = 0x00020000;

class AboutBoxTest : public qvtest::DesktopTest {
 protected:
  void TearDown() override {
    box.reset();
    qvtest::DesktopTest::TearDown();
  }
  void create() { box.reset(qv::classlib::newForm<TAboutBox>(nullptr)); }
  static void writeIEVersion(const std::string& value) {
    TRegistry reg;
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey("Software\\Microsoft\\Internet Explorer", true));
    reg.WriteString("Version", value);
  }
  // Shows the box modally and, once it is idle, clicks the middle of a control.
  TModalResult showAndClick(TControl* target) {
    int idles = 0;
    Application->OnIdle = [&](TObject*, bool& Done) {
      if (++idles == 1)
        qv::os::injectClick(target->ClientToScreen({target->Width() / 2, target->Height() / 2}));
      else if (idles > 50)
        box->SetModalResult(mrAbort);
      Done = false;
    };
    TModalResult result = box->ShowModal();
    Application->OnIdle = nullptr;
    return result;
  }

  std::unique_ptr<TAboutBox> box;
};

TEST_F(AboutBoxTest, TheStoredPictureShapesTheBox) {
  create();
  ASSERT_NE(box->QuorvelSplashLogo, nullptr);
  EXPECT_EQ(box->Caption(), "Quorvel");
  EXPECT_EQ(box->ClientWidth(), 212);
  EXPECT_EQ(box->ClientHeight(), 393);
  EXPECT_EQ(box->QuorvelSplashLogo->Width(), 212);
  EXPECT_EQ(box->QuorvelSplashLogo->Height(), 393);
  EXPECT_TRUE(box->QuorvelSplashLogo->Movable());
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(box->Handle(), rgn), ERROR);
  // The rounded corners are cut away, the body and the title strip stay.
  for (POINT p : {POINT{0, 0}, POINT{211, 0}, POINT{0, 392}, POINT{211, 392}}) EXPECT_FALSE(PtInRegion(rgn, p.x, p.y));
  for (POINT p : {POINT{106, 10}, POINT{106, 200}, POINT{0, 196}, POINT{211, 196}}) EXPECT_TRUE(PtInRegion(rgn, p.x, p.y));
  DeleteObject(rgn);
}

TEST_F(AboutBoxTest, FullFormShowsTheVersionsAndShortFormTheTopStrip) {
  struct Case {
    const char* registryValue;  // null: no such value
    const char* ieText;
  };
  // The desktop's registry has no such key until a test writes it.
  const Case cases[] = {{nullptr, "IE: "}, {"6.0.2900.2180", "IE: 6.0.2900.2180"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ieText);
    if (c.registryValue) writeIEVersion(c.registryValue);
    create();
    box->Fill(false);
    EXPECT_EQ(box->Height(), 393);
    // The version block this program carries is the runtime's own.
    EXPECT_EQ(box->VersionLabel->Caption(), "Version 1.0.0");
    EXPECT_EQ(box->IEVersionLabel->Caption(), c.ieText);
    box->Fill(true);
    EXPECT_EQ(box->Height(), 50);
    box.reset();
  }
}

TEST_F(AboutBoxTest, DropShadowFollowsTheWindowsVersion) {
  struct Case {
    std::uint32_t platform, major, minor;
    bool shadow;
  };
  const Case cases[] = {{2, 5, 1, true}, {2, 5, 2, true}, {2, 6, 0, true}, {2, 5, 0, false}, {2, 4, 0, false},
                        {1, 4, 10, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.platform << " " << c.major << "." << c.minor);
    auto& profile = qv::desktop::profile();
    profile.osPlatformId = c.platform;
    profile.osMajor = c.major;
    profile.osMinor = c.minor;
    create();
    EXPECT_EQ((GetClassLong(box->Handle(), GCL_STYLE) & kDropShadow) != 0, c.shadow);
    box.reset();
    // A window class stays as its first window registered it; each case
    // stands for a run of its own.
    UnregisterClass("TAboutBox", GetModuleHandle(nullptr));
  }
}

TEST_F(AboutBoxTest, OkButtonAndTheLinksCloseTheModalBox) {
  create();
  box->Fill(false);
  EXPECT_EQ(showAndClick(box->OKButton), 1);
  EXPECT_TRUE(qv::desktop::Recorder::eventsOf("shell").empty());

  struct Case {
    TLabel* link;
    const char* address;
  };
  const Case cases[] = {{box->Weblink, "http://www.quorvel.example/"}, {box->Maillink, "mailto:info@quorvel.example"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    qv::desktop::Recorder::clearEvents();
    EXPECT_EQ(showAndClick(c.link), 1);
    auto shell = qv::desktop::Recorder::eventsOf("shell");
    ASSERT_EQ(shell.size(), 1u);
    EXPECT_EQ(shell[0].fields[0], "open");
    EXPECT_EQ(shell[0].fields[1], c.address);
    EXPECT_EQ(shell[0].fields[4], std::to_string(SW_SHOW));
  }
}

}  // namespace
