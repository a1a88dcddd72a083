// The start splash from its form resource: the picture sizes and shapes it,
// and its modal loop ends at the tick that reaches the duration.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "DesktopTest.h"
#include "platform/classlib/Forms.h"
#include "platform/classlib/Graphics.h"
#include "platform/desktop/Clock.h"
#include "platform/os/gdi/Gdi.h"
#include "platform/os/kernel/Paths.h"
#include "platform/os/user/User.h"
#include "runtime/Splash.h"

namespace {

class SplashTest : public qvtest::DesktopTest {
 protected:
  void SetUp() override {
    qvtest::DesktopTest::SetUp();
    splash.reset(qv::classlib::newForm<TSplashScreen>(nullptr));
  }
  void TearDown() override {
    splash.reset();
    qvtest::DesktopTest::TearDown();
  }
  // A 30 x 20 picture, white with a magenta key column on the left.
  std::string writeSplashBitmap() const {
    TBitmap b;
    b.SetSize(30, 20);
    b.Canvas()->Brush()->SetColor(clWhite);
    b.Canvas()->FillRect(RECT{0, 0, 30, 20});
    b.Canvas()->Brush()->SetColor(0xFF00FF);
    b.Canvas()->FillRect(RECT{0, 0, 2, 20});
    std::string path = qv::os::toWindowsPath(hostPath("splash.bmp"));
    b.SaveToFile(path);
    return path;
  }

  std::unique_ptr<TSplashScreen> splash;
};

TEST_F(SplashTest, ThePictureSizesAndShapesTheFramelessSplash) {
  ASSERT_NE(splash->SplashImage, nullptr);
  EXPECT_EQ(splash->Caption(), "Splash Screen");
  EXPECT_EQ(splash->BorderStyle(), bsNone);
  EXPECT_EQ(splash->FormStyle(), fsStayOnTop);
  EXPECT_FALSE(splash->SplashImage->Movable());
  EXPECT_EQ(splash->SplashDuration, 2);

  splash->SplashImage->Picture()->LoadFromFile(writeSplashBitmap());
  splash->SetAutoSize(true);
  EXPECT_EQ(splash->ClientWidth(), 30);
  EXPECT_EQ(splash->ClientHeight(), 20);
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(splash->Handle(), rgn), ERROR);
  RECT box{};
  GetRgnBox(rgn, &box);
  EXPECT_EQ((std::vector<long>{box.left, box.top, box.right, box.bottom}), (std::vector<long>{2, 0, 30, 20}));
  DeleteObject(rgn);
}

TEST_F(SplashTest, TheModalSplashEndsAtTheTickThatReachesItsDuration) {
  struct Case {
    int duration, ticks;
  };
  // 0 and below must not leave the splash open: they end at the first tick.
  const Case cases[] = {{3, 3}, {2, 2}, {1, 1}, {0, 1}, {-4, 1}};
  std::string picture = writeSplashBitmap();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.duration);
    splash.reset(qv::classlib::newForm<TSplashScreen>(nullptr));
    splash->SplashDuration = c.duration;
    splash->SplashImage->Picture()->LoadFromFile(picture);
    splash->SetAutoSize(true);
    // A splash that never ends is stopped here rather than hanging the test.
    int idles = 0;
    Application->OnIdle = [&](TObject*, bool& Done) {
      if (++idles > 50) splash->SetModalResult(mrAbort);
      Done = true;
    };
    std::uint64_t start = qv::desktop::Clock::now();
    EXPECT_NE(splash->ShowModal(), mrAbort);
    Application->OnIdle = nullptr;
    EXPECT_EQ(splash->SplashTicks, c.ticks);
    EXPECT_EQ(qv::desktop::Clock::now() - start, static_cast<std::uint64_t>(c.ticks) * 1000);
    EXPECT_FALSE(IsWindowVisible(splash->Handle()));
    EXPECT_FALSE(splash->SplashTimer->Enabled());
  }
}

TEST_F(SplashTest, AFileThatIsNoBitmapFailsToLoad) {
  for (const char* name : {"splash.bmp", "splash.txt"}) {
    SCOPED_TRACE(name);
    std::string path = qv::os::toWindowsPath(writeFile(name, "this is not a picture"));
    EXPECT_THROW(splash->SplashImage->Picture()->LoadFromFile(path), Exception);
  }
}

}  // namespace
