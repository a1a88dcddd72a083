// A whole form from a form resource: every standard control, nested
// alignment, a notebook and a tool bar, its streamed events, re-reading a
// translation into the same components, and the writer's round trip.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "DesktopTest.h"
#include "platform/classlib/Buttons.h"
#include "platform/classlib/CheckLst.h"
#include "platform/classlib/ComCtrls.h"
#include "platform/classlib/ExtCtrls.h"
#include "platform/classlib/Filer.h"
#include "platform/classlib/Forms.h"
#include "platform/classlib/ImgList.h"
#include "platform/classlib/Menus.h"
#include "platform/classlib/StdCtrls.h"
#include "platform/os/gdi/Png.h"
#include "platform/os/kernel/Module.h"
#include "platform/os/kernel/ResFile.h"
#include "platform/os/user/Input.h"
#include "platform/os/user/User.h"

namespace {

std::vector<std::string> gEvents;

class TResForm : public TForm {
  QV_CLASS(TResForm, TForm)
  explicit TResForm(TComponent* AOwner) : TForm(AOwner) {}
  // A form without its resource, to read written text into.
  static TResForm* Blank() { return new TResForm(nullptr, TCreateNew{}); }

  void FormCreate(TObject*) { gEvents.push_back("create " + Caption()); }
  void OkButtonClick(TObject* Sender) { gEvents.push_back("click " + static_cast<TComponent*>(Sender)->Name()); }
  void CheckBox1Click(TObject* Sender) {
    gEvents.push_back("check " + std::to_string(static_cast<TCheckBox*>(Sender)->Checked()));
  }
  void Edit1Change(TObject* Sender) { gEvents.push_back("change " + static_cast<TEdit*>(Sender)->Text()); }

  QV_PUBLISHED(TResForm) {
    P.Method("FormCreate", &TResForm::FormCreate);
    P.Method("OkButtonClick", &TResForm::OkButtonClick);
    P.Method("CheckBox1Click", &TResForm::CheckBox1Click);
    P.Method("Edit1Change", &TResForm::Edit1Change);
  }

 private:
  TResForm(TComponent* AOwner, TCreateNew Tag) : TForm(AOwner, Tag) {}
};
QV_DEFINE_PUBLISHED(TResForm)

std::string formText(const std::string& Name) {
  std::ifstream in(std::string(QV_SOURCE_DIR) + "/tests/platform/classlib/forms/" + Name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

qv::os::ResEntry rcdata(const std::string& Name, const std::string& Text) {
  qv::os::ResEntry e;
  e.type = qv::os::ResId::id(10);
  e.name = qv::os::ResId::text(std::u16string(Name.begin(), Name.end()));
  e.data.assign(Text.begin(), Text.end());
  return e;
}

class FormResourceTest : public qvtest::DesktopTest {
 protected:
  void SetUp() override {
    qvtest::DesktopTest::SetUp();
    gEvents.clear();
    RegisterClass(TResForm::StaticClass());
    auto container = qv::os::writeResContainer({rcdata("TRESFORM", formText("all_controls.txt"))});
    ASSERT_TRUE(qv::os::registerProgramResources(container.data(), container.size()));
    form.reset(qv::classlib::newForm<TResForm>(nullptr));
  }
  void TearDown() override {
    form.reset();
    qvtest::DesktopTest::TearDown();
  }
  template <class T>
  T* find(const std::string& Name) const {
    auto* c = dynamic_cast<T*>(form->FindComponent(Name));
    EXPECT_NE(c, nullptr) << Name;
    return c;
  }
  static void click(TControl* c, int x, int y) {
    qv::os::injectClick(c->ClientToScreen({x, y}));
    qv::os::pumpMessages();
  }

  std::unique_ptr<TResForm> form;
};

TEST_F(FormResourceTest, LoadsEveryControlAndLaysOutTheNestedAlignment) {
  EXPECT_EQ(form->Name(), "AllControls");
  EXPECT_EQ(form->ClientWidth(), 480);
  EXPECT_EQ(form->ClientHeight(), 360);
  EXPECT_EQ(gEvents, (std::vector<std::string>{"create All controls"}));

  // Aligned controls were streamed 10 wide (the bottom ones at their old
  // tops, which order them): their bounds come from the layout, parents'
  // bevels taken off, once there are windows. Tool buttons sit in the bar's
  // client area, inside its top edge.
  form->Show();
  struct Expected {
    const char* name;
    int left, top, width, height;
  };
  const Expected table[] = {
      {"ToolBar1", 0, 0, 480, 26},      {"TopPanel", 0, 26, 480, 40},     {"StatusBar1", 0, 341, 480, 19},
      {"BottomPanel", 0, 311, 480, 30}, {"LeftPanel", 0, 66, 120, 245},   {"ClientPanel", 120, 66, 360, 245},
      {"Notebook1", 1, 1, 118, 243},    {"InnerTop", 1, 1, 358, 30},      {"InnerClient", 1, 31, 358, 213},
      {"OkButton", 320, 3, 75, 23},     {"CheckBox1", 8, 8, 100, 17},     {"Radio2", 8, 40, 100, 17},
      {"NewButton", 0, 0, 23, 22},      {"Separator1", 23, 0, 8, 22},     {"OpenButton", 31, 0, 23, 22},
  };
  for (const Expected& e : table) {
    auto* c = find<TControl>(e.name);
    if (!c) continue;
    EXPECT_EQ((std::vector<int>{c->Left(), c->Top(), c->Width(), c->Height()}),
              (std::vector<int>{e.left, e.top, e.width, e.height}))
        << e.name;
  }
  // Parents follow the nesting of the text.
  EXPECT_EQ(find<TControl>("Radio1")->Parent(), find<TGroupBox>("GroupBox1"));
  EXPECT_EQ(find<TControl>("InnerClient")->Parent(), find<TPanel>("ClientPanel"));

  auto* notebook = find<TNotebook>("Notebook1");
  EXPECT_EQ(notebook->PageCount(), 2);
  EXPECT_EQ(notebook->ActivePage(), "Second");
  auto* bar = find<TToolBar>("ToolBar1");
  EXPECT_EQ(bar->Images(), find<TImageList>("ImageList1"));
  EXPECT_EQ(find<TToolButton>("Separator1")->Style(), tbsSeparator);
  EXPECT_EQ(find<TPanel>("ClientPanel")->PopupMenu(), find<TPopupMenu>("PopupMenu1"));
  EXPECT_EQ(find<TPopupMenu>("PopupMenu1")->Items()->Count(), 2);
  EXPECT_TRUE(find<TMenuItem>("CloseItem")->Checked());
  EXPECT_TRUE(find<TRadioButton>("Radio1")->Checked());
  EXPECT_EQ(find<TComboBox>("ComboBox1")->ItemIndex(), 0);
  EXPECT_EQ(find<TCheckListBox>("CheckListBox1")->Items()->Count(), 2);
  EXPECT_EQ(find<TColorBox>("ColorBox1")->Selected(), clRed);
  EXPECT_EQ(find<TStatusBar>("StatusBar1")->SimpleText(), "Ready");
  EXPECT_EQ(find<TShape>("Shape1")->Shape(), stCircle);
}

// Further forms of one resource for the same owner are named apart, as the
// class library names them, instead of failing on the name.
TEST_F(FormResourceTest, FurtherInstancesForOneOwnerGetNumberedNames) {
  TComponent owner(nullptr);
  auto* first = qv::classlib::newForm<TResForm>(&owner);
  auto* second = qv::classlib::newForm<TResForm>(&owner);
  auto* third = qv::classlib::newForm<TResForm>(&owner);
  EXPECT_EQ(first->Name(), "AllControls");
  EXPECT_EQ(second->Name(), "AllControls_1");
  EXPECT_EQ(third->Name(), "AllControls_2");
  EXPECT_EQ(second->FindComponent("OkButton")->Owner(), second);
}

TEST_F(FormResourceTest, StreamedEventsFireFromInput) {
  form->Show();
  gEvents.clear();
  click(find<TButton>("OkButton"), 10, 10);
  click(find<TCheckBox>("CheckBox1"), 5, 8);
  auto* edit = find<TEdit>("Edit1");
  click(edit, 5, 10);
  qv::os::injectKey(VK_END, true);
  qv::os::injectKey(VK_END, false);
  qv::os::injectChar('!');
  qv::os::pumpMessages();
  EXPECT_EQ(gEvents, (std::vector<std::string>{"click OkButton", "check 1", "change start!"}));
}

TEST_F(FormResourceTest, ASecondResourceReplacesCaptionsAndLists) {
  form->Show();
  const int count = form->ComponentCount();
  qv::classlib::readComponentText(formText("all_controls_de.txt"), form.get());
  EXPECT_EQ(form->ComponentCount(), count);
  EXPECT_EQ(form->Caption(), "Alle Steuerelemente");
  EXPECT_EQ(find<TMenuItem>("OpenItem")->Caption(), "\xD6" "ffnen");
  EXPECT_EQ(find<TPanel>("TopPanel")->Caption(), "Oben");
  EXPECT_EQ(find<TButton>("OkButton")->Caption(), "Weiter");
  EXPECT_EQ(find<TButton>("OkButton")->Parent(), find<TPanel>("BottomPanel"));
  EXPECT_EQ(find<TCheckBox>("CheckBox1")->Caption(), "Automatisch starten");
  EXPECT_EQ(find<TGroupBox>("GroupBox1")->Caption(), "Laufwerk");
  EXPECT_EQ(find<TComboBox>("ComboBox1")->Items()->Text(), "Englisch\r\nDeutsch\r\nFranz\xF6sisch\r\n");
  EXPECT_EQ(find<TListBox>("ListBox1")->Items()->Text(), "Eins\r\nZwei\r\n");
  // What the second text leaves out stays.
  EXPECT_EQ(find<TEdit>("Edit1")->Text(), "start");
  EXPECT_EQ(find<TPopupMenu>("PopupMenu1")->Items()->Count(), 2);
  EXPECT_EQ(find<TControl>("InnerClient")->Top(), 31);
}

TEST_F(FormResourceTest, TheWriterRoundTrips) {
  const std::string first = qv::classlib::writeComponentText(form.get());
  std::unique_ptr<TResForm> fresh(TResForm::Blank());
  qv::classlib::readComponentText(first, fresh.get());
  EXPECT_EQ(fresh->ComponentCount(), form->ComponentCount());
  EXPECT_EQ(qv::classlib::writeComponentText(fresh.get()), first);
  // The written text holds what was streamed in.
  EXPECT_NE(first.find("OnClick = OkButtonClick"), std::string::npos) << first;
  EXPECT_NE(first.find("'Second'"), std::string::npos) << first;
}

}  // namespace

namespace {

class ControlsDemoTest : public qvtest::DesktopTest {};

// The demo program that makes docs/controls.png, run as a real process.
TEST_F(ControlsDemoTest, WritesAScreenshotOfTheScreenSize) {
  std::string prog = std::string(QV_TESTBIN) + "/../bin/controls_demo";
  std::string out = hostPath("controls.png");
  std::vector<std::string> env = {"QV_HOME=" + hostPath("home")};
  for (char** e = environ; *e; ++e)
    if (std::string(*e).rfind("QV_", 0) != 0) env.emplace_back(*e);
  std::vector<char*> argv{prog.data(), out.data(), nullptr};
  std::vector<char*> envp;
  for (auto& v : env) envp.push_back(v.data());
  envp.push_back(nullptr);
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, prog.c_str(), nullptr, nullptr, argv.data(), envp.data()), 0) << prog;
  // Bounded wait: the program ends by itself once the file is written.
  int status = 0;
  bool finished = false;
  for (auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
       std::chrono::steady_clock::now() < deadline;) {
    if (waitpid(pid, &status, WNOHANG) == pid) {
      finished = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (!finished) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
  }
  ASSERT_TRUE(finished);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);

  std::string png = readFile(out);
  qv::os::gdi::Image image;
  ASSERT_TRUE(qv::os::gdi::decodePng(reinterpret_cast<const std::uint8_t*>(png.data()), png.size(), image));
  EXPECT_EQ(image.width, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(image.height, GetSystemMetrics(SM_CYSCREEN));
}

}  // namespace
