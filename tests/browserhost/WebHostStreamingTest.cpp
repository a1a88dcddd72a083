// TWebHost from a form resource as the designer streams WelcomeBrowser: the
// class by name, its published members, Loaded's page setup from the
// registry in design state, the print options it owns, the floating-point
// setting, and BrowserUtils' version text and id-list size.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "DesktopTest.h"
#include "browserhost/BrowserUtils.h"
#include "browserhost/WebHost.h"
#include "platform/browser/WebBrowser.h"
#include "platform/classlib/Filer.h"
#include "platform/classlib/Forms.h"
#include "platform/classlib/Registry.h"
#include "platform/desktop/Profile.h"
#include "platform/os/kernel/Module.h"
#include "platform/os/user/Message.h"

namespace {

using DL = TDownloadControlOption;
using UI = TUserInterfaceOption;

constexpr const char* kForm = R"(object HostForm: TForm
  object WelcomeBrowser: TWebHost
    Left = 0
    Top = 0
    Width = 300
    Height = 200
    DownloadOptions = [DLCTL_DLIMAGES, DLCTL_NO_SCRIPTS]
    UserInterfaceOptions = [NO3DBORDER, SCROLL_NO]
    HelpFile = 'Quorvel.chm'
    PrintOptions.HTMLHeader.Strings = (
      '<html>'
      '<body>')
    PrintOptions.Header = '&w&bSeite &p'
    PrintOptions.Margins.Left = 12.5
    PrintOptions.Orientation = poLandscape
    UserAgent = 'Quorvel'
    ReplaceCaption = True
    fpExceptions = False
  end
end
)";

class WebHostStreamingTest : public qvtest::DesktopTest {
 protected:
  void TearDown() override {
    form.reset();
    qv::os::pumpMessages();
    DesktopTest::TearDown();
  }
  TWebHost* read(const char* text, bool designing = false) {
    form.reset(TForm::CreateNew(nullptr));
    if (designing) form->SetDesigning(true);
    qv::classlib::readComponentText(text, form.get());
    return dynamic_cast<TWebHost*>(form->FindComponent("WelcomeBrowser"));
  }
  static void writePageSetup(const std::vector<std::pair<std::string, std::string>>& values) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Microsoft\\Internet Explorer\\PageSetup", true));
    for (const auto& [name, value] : values) reg.WriteString(name, value);
  }

  std::unique_ptr<TForm> form;
};

TEST_F(WebHostStreamingTest, FormResourceSetsThePublishedMembersAndWritesThemBack) {
  TWebHost* host = read(kForm);
  ASSERT_NE(host, nullptr);
  EXPECT_EQ(host->DownloadOptions(), (TDownloadControlOptions{DL::DLCTL_DLIMAGES, DL::DLCTL_NO_SCRIPTS}));
  EXPECT_EQ(host->DownloadFlags(), 0x90u);
  EXPECT_EQ(host->UserInterfaceFlags(), 0xCu);
  EXPECT_EQ(qv::browser::webBrowserOf(host->DefaultInterface())->downloadControl(), 0x90u);
  EXPECT_EQ(host->HelpFile(), "Quorvel.chm");
  EXPECT_EQ(host->PrintOptions()->HTMLHeader()->Text(), "<html>\r\n<body>\r\n");
  EXPECT_EQ(host->PrintOptions()->Header(), "&w&bSeite &p");
  EXPECT_DOUBLE_EQ(host->PrintOptions()->Margins()->Left(), 12.5);
  EXPECT_EQ(host->PrintOptions()->Orientation(), poLandscape);
  EXPECT_EQ(host->UserAgent(), "Quorvel");
  EXPECT_TRUE(host->ReplaceCaption());
  EXPECT_FALSE(host->EnableDDE());
  EXPECT_FALSE(host->fpExceptions());
  EXPECT_EQ(qv::browserhost::Get8087CW(), 0x133F);
  // Outside design state Loaded leaves the print options to the resource.
  EXPECT_EQ(host->PrintOptions()->Footer(), "");

  const std::string text = qv::classlib::writeComponentText(form.get());
  for (const char* line : {"DownloadOptions = [DLCTL_DLIMAGES, DLCTL_NO_SCRIPTS]",
                           "UserInterfaceOptions = [NO3DBORDER, SCROLL_NO]", "PrintOptions.Orientation = poLandscape",
                           "fpExceptions = False", "UserAgent = 'Quorvel'"})
    EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
  EXPECT_EQ(text.find("EnableDDE"), std::string::npos) << text;

  host->SetfpExceptions(true);
  EXPECT_EQ(qv::browserhost::Get8087CW(), qv::browserhost::Default8087CW);
}

TEST_F(WebHostStreamingTest, ACodeCreatedControlStartsWithItsDefaults) {
  form.reset(TForm::CreateNew(nullptr));
  auto* host = new TWebHost(form.get());
  EXPECT_EQ(host->PrintOptions()->HTMLHeader()->Text(), "<HTML></HTML>\r\n");
  EXPECT_EQ(host->DownloadFlags(), 0x70u);
  EXPECT_TRUE(host->UserInterfaceOptions().Empty());
  EXPECT_TRUE(host->fpExceptions());
  EXPECT_FALSE(host->EnableDDE());
  // Assigning print options copies them; the control keeps its own object.
  TPrintOptions other;
  other.SetFooter("&u");
  other.Margins()->SetTop(5);
  TPrintOptions* own = host->PrintOptions();
  host->SetPrintOptions(&other);
  EXPECT_EQ(host->PrintOptions(), own);
  EXPECT_EQ(own->Footer(), "&u");
  EXPECT_EQ(own->Margins()->Top(), 5);
  EXPECT_EQ(own->HTMLHeader()->Count(), 0);
}

TEST_F(WebHostStreamingTest, DesignStateReadsThePageSetupInTheLocalesUnits) {
  writePageSetup({{"header", "&w&bPage &p"},
                  {"footer", "&u&b&d"},
                  {"margin_left", "0.750000"},
                  {"margin_right", " 0.5 "},
                  {"margin_top", "1"},
                  {"margin_bottom", "n/a"}});
  struct Case {
    const char* measure;
    bool inches;
    double left, right, top;
  };
  for (const Case& c : {Case{"0", false, 19.05, 12.7, 25.4}, Case{"1", true, 0.75, 0.5, 1}}) {
    qv::desktop::profile().measure = c.measure;
    TWebHost* host = read(kForm, true);
    ASSERT_NE(host, nullptr);
    TPrintOptions* p = host->PrintOptions();
    EXPECT_EQ(p->Measure(), c.inches) << c.measure;
    EXPECT_EQ(p->Header(), "&w&bPage &p");
    EXPECT_EQ(p->Footer(), "&u&b&d");
    EXPECT_NEAR(p->Margins()->Left(), c.left, 1e-9) << c.measure;
    EXPECT_NEAR(p->Margins()->Right(), c.right, 1e-9) << c.measure;
    EXPECT_NEAR(p->Margins()->Top(), c.top, 1e-9) << c.measure;
    // Not a number: the margin stays as it was.
    EXPECT_EQ(p->Margins()->Bottom(), 0) << c.measure;
  }
}

class BrowserUtilsTest : public qvtest::DesktopTest {};

TEST_F(BrowserUtilsTest, GetIEVersionReadsTheBrowserLibrarysFileVersion) {
  qv::browser::registerBrowserModule();
  EXPECT_EQ(GetIEVersion(), "6.00.2900.2180");

  qv::desktop::profile().browserVersion = "5.50.4807.2300";
  qv::browser::registerBrowserModule();
  EXPECT_EQ(GetIEVersion(), "5.50.4807.2300");

  qv::os::unregisterStandInModule("shdocvw.dll");
  EXPECT_EQ(GetIEVersion(), "");
}

TEST_F(BrowserUtilsTest, PidlSizeCountsTheItemsAndTheTerminator) {
  // Items of 20 and 5 bytes (each size counting its own two bytes), then 0.
  std::vector<BYTE> list(20 + 5 + 2, 0xAA);
  const USHORT sizes[] = {20, 5, 0};
  std::memcpy(list.data(), &sizes[0], 2);
  std::memcpy(list.data() + 20, &sizes[1], 2);
  std::memcpy(list.data() + 25, &sizes[2], 2);
  EXPECT_EQ(PidlSize(reinterpret_cast<LPCITEMIDLIST>(list.data() + 20)), 7u);
  std::memcpy(list.data() + 20, &sizes[2], 2);
  EXPECT_EQ(PidlSize(reinterpret_cast<LPCITEMIDLIST>(list.data())), 22u);
  EXPECT_EQ(PidlSize(nullptr), 0u);
}

}  // namespace
