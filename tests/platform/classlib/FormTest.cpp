// Forms on the headless desktop (1024 x 768): border styles and positions
// to window rectangles, client sizes, the form resource, modal dialogs,
// closing (CloseQuery, OnClose actions, Release), the main form ending the
// application, layered forms and key preview.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "DesktopTest.h"
#include "platform/classlib/ExtCtrls.h"
#include "platform/classlib/Filer.h"
#include "platform/classlib/Forms.h"
#include "platform/classlib/StdCtrls.h"
#include "platform/os/gdi/Icon.h"
#include "platform/os/kernel/Module.h"
#include "platform/os/kernel/ResFile.h"
#include "platform/os/user/Layered.h"
#include "platform/os/user/User.h"

namespace {

class FormTest : public qvtest::DesktopTest {};

RECT windowRect(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  return r;
}

void expectRect(const RECT& r, int left, int top, int width, int height, const std::string& what) {
  EXPECT_EQ(r.left, left) << what;
  EXPECT_EQ(r.top, top) << what;
  EXPECT_EQ(r.right - r.left, width) << what;
  EXPECT_EQ(r.bottom - r.top, height) << what;
}

TEST_F(FormTest, BorderStylesAndPositionsGiveTheWindowRectangle) {
  // Client 300 x 200 at (10, 20) unless centred; classic frames: caption 19
  // (small 16), sizing frame 4, fixed frame 3.
  struct Case {
    TFormBorderStyle border;
    TPosition position;
    int left, top, width, height;
    DWORD style, notStyle, exStyle;
  };
  const Case cases[] = {
      {bsSizeable, poDesigned, 10, 20, 308, 227, WS_THICKFRAME | WS_MAXIMIZEBOX | WS_SYSMENU, 0, 0},
      {bsSingle, poDesigned, 10, 20, 306, 225, WS_CAPTION | WS_MINIMIZEBOX, WS_THICKFRAME, 0},
      {bsDialog, poDesigned, 10, 20, 306, 225, WS_POPUP | WS_CAPTION, WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
       WS_EX_DLGMODALFRAME},
      {bsToolWindow, poDesigned, 10, 20, 306, 222, WS_CAPTION, WS_MINIMIZEBOX | WS_THICKFRAME, WS_EX_TOOLWINDOW},
      {bsSizeToolWin, poDesigned, 10, 20, 308, 224, WS_THICKFRAME, WS_MAXIMIZEBOX, WS_EX_TOOLWINDOW},
      {bsNone, poDesigned, 10, 20, 300, 200, WS_POPUP, WS_CAPTION | WS_SYSMENU, 0},
      {bsSizeable, poScreenCenter, (1024 - 308) / 2, (768 - 227) / 2, 308, 227, 0, 0, 0},
      {bsDialog, poDesktopCenter, (1024 - 306) / 2, (768 - 225) / 2, 306, 225, 0, 0, 0},
      // Without a main form these centre on the screen.
      {bsNone, poMainFormCenter, 362, 284, 300, 200, 0, 0, 0},
      {bsNone, poOwnerFormCenter, 362, 284, 300, 200, 0, 0, 0},
  };
  for (const Case& c : cases) {
    std::string what = "border " + std::to_string(c.border) + " position " + std::to_string(c.position);
    std::unique_ptr<TForm> form(TForm::CreateNew(nullptr));
    form->SetBorderStyle(c.border);
    form->SetPosition(c.position);
    form->SetLeft(10);
    form->SetTop(20);
    form->SetClientWidth(300);
    form->SetClientHeight(200);
    EXPECT_EQ(form->ClientWidth(), 300) << what;
    form->Show();
    HWND h = form->Handle();
    expectRect(windowRect(h), c.left, c.top, c.width, c.height, what);
    EXPECT_EQ(form->ClientWidth(), 300) << what;
    EXPECT_EQ(form->ClientHeight(), 200) << what;
    EXPECT_EQ(form->Left(), c.left) << what;
    DWORD style = static_cast<DWORD>(GetWindowLong(h, GWL_STYLE));
    DWORD ex = static_cast<DWORD>(GetWindowLong(h, GWL_EXSTYLE));
    EXPECT_EQ(style & c.style, c.style) << what;
    EXPECT_EQ(style & c.notStyle, 0u) << what;
    EXPECT_EQ(ex & c.exStyle, c.exStyle) << what;
  }
}

TEST_F(FormTest, DefaultPositionsAndSizesComeFromTheWindowManager) {
  int areaWidth = Screen->WorkAreaWidth(), areaHeight = Screen->WorkAreaHeight();
  std::unique_ptr<TForm> sized(TForm::CreateNew(nullptr));
  sized->SetPosition(poDefaultSizeOnly);
  sized->SetBounds(10, 20, 100, 100);
  sized->Show();
  expectRect(windowRect(sized->Handle()), 10, 20, areaWidth * 3 / 4, areaHeight * 3 / 4, "size only");
  EXPECT_EQ(sized->Width(), areaWidth * 3 / 4);

  std::unique_ptr<TForm> placed(TForm::CreateNew(nullptr));
  placed->SetPosition(poDefaultPosOnly);
  placed->SetBounds(-500, -500, 100, 80);
  placed->Show();
  RECT r = windowRect(placed->Handle());
  EXPECT_GE(r.left, 0);
  EXPECT_GE(r.top, 0);
  EXPECT_EQ(r.right - r.left, 100);
  EXPECT_EQ(placed->Left(), r.left);
}

TEST_F(FormTest, OwnerAndMainFormCentringAndHelpButton) {
  std::unique_ptr<TForm> owner(TForm::CreateNew(nullptr));
  owner->SetBounds(100, 100, 400, 300);
  owner->Show();
  TForm* dialog = TForm::CreateNew(owner.get());
  dialog->SetBorderStyle(bsDialog);
  dialog->SetBorderIcons({biSystemMenu, biHelp});
  dialog->SetPosition(poOwnerFormCenter);
  dialog->SetBounds(0, 0, 200, 100);
  dialog->Show();
  expectRect(windowRect(dialog->Handle()), 200, 200, 200, 100, "owner centre");
  EXPECT_TRUE(GetWindowLong(dialog->Handle(), GWL_EXSTYLE) & WS_EX_CONTEXTHELP);
  // Centring never pushes the form off the top-left of the desktop.
  owner->SetBounds(-300, -300, 400, 300);
  dialog->Hide();
  dialog->Show();
  expectRect(windowRect(dialog->Handle()), 0, 0, 200, 100, "clamped");
}

TEST_F(FormTest, ClientSizeFromAResourceHoldsWhateverTheOrderOfBorderStyle) {
  std::unique_ptr<TForm> form(TForm::CreateNew(nullptr));
  qv::classlib::readComponentText(
      "object Dlg: TForm\n  ClientHeight = 150\n  ClientWidth = 250\n  BorderStyle = bsDialog\n"
      "  BorderIcons = [biSystemMenu]\n  Caption = 'Options'\n  AlphaBlendValue = 200\n"
      "  Position = poScreenCenter\nend\n",
      form.get());
  EXPECT_EQ(form->BorderStyle(), bsDialog);
  EXPECT_EQ(form->Width(), 256);
  EXPECT_EQ(form->Height(), 175);
  EXPECT_EQ(form->ClientWidth(), 250);
  EXPECT_EQ(form->AlphaBlendValue(), 200);
  form->Show();
  RECT c{};
  GetClientRect(form->Handle(), &c);
  EXPECT_EQ(c.right, 250);
  EXPECT_EQ(c.bottom, 150);
  char title[32] = {};
  GetWindowText(form->Handle(), title, sizeof title);
  EXPECT_STREQ(title, "Options");
}

// A form class with a resource of its own.
class TOptionsForm : public TForm {
  QV_CLASS(TOptionsForm, TForm)
  explicit TOptionsForm(TComponent* AOwner) : TForm(AOwner) {}
  std::vector<std::string> journal;
  void FormCreate(TObject*) { journal.push_back("create " + Caption()); }
  void FormShow(TObject*) { journal.push_back("show"); }
  QV_PUBLISHED(TOptionsForm) {
    P.Method("FormCreate", &TOptionsForm::FormCreate);
    P.Method("FormShow", &TOptionsForm::FormShow);
  }
};
QV_DEFINE_PUBLISHED(TOptionsForm)

class TNoResourceForm : public TForm {
  QV_CLASS(TNoResourceForm, TForm)
  explicit TNoResourceForm(TComponent* AOwner) : TForm(AOwner) {}
};

qv::os::ResEntry rcdata(const std::string& Name, const std::string& Text) {
  qv::os::ResEntry e;
  e.type = qv::os::ResId::id(10);
  e.name = qv::os::ResId::text(std::u16string(Name.begin(), Name.end()));
  e.data.assign(Text.begin(), Text.end());
  return e;
}

TEST_F(FormTest, AFormReadsItsResourceThenRunsOnCreateAndShowsWhenTheResourceSaysSo) {
  auto container = qv::os::writeResContainer(
      {rcdata("TOPTIONSFORM",
              "object OptionsForm: TOptionsForm\n  Caption = 'Optionen'\n  Visible = True\n"
              "  OnCreate = FormCreate\n  OnShow = FormShow\nend\n")});
  ASSERT_TRUE(qv::os::registerProgramResources(container.data(), container.size()));
  std::unique_ptr<TOptionsForm> form(qv::classlib::newForm<TOptionsForm>(nullptr));
  EXPECT_EQ(form->Name(), "OptionsForm");
  EXPECT_EQ(form->journal, (std::vector<std::string>{"create Optionen", "show"}));
  EXPECT_TRUE(IsWindowVisible(form->Handle()));

  // A form class without its resource is an error; CreateForm leaves the
  // reference clear.
  EXPECT_THROW(qv::classlib::newForm<TNoResourceForm>(nullptr), EResNotFound);
  TNoResourceForm* ref = nullptr;
  EXPECT_THROW(Application->CreateForm(ref), EResNotFound);
  EXPECT_EQ(ref, nullptr);
  EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST_F(FormTest, ShowModalDisablesTheOtherWindowsAndReturnsModalResultOnceCloseQueryAgrees) {
  std::unique_ptr<TForm> owner(TForm::CreateNew(nullptr));
  owner->Show();
  std::unique_ptr<TForm> dialog(TForm::CreateNew(owner.get()));
  std::vector<std::string> journal;
  int idles = 0;
  bool ownerEnabled = true;
  dialog->OnCloseQuery = [&](TObject*, bool& CanClose) {
    journal.push_back("query");
    CanClose = idles > 1;
  };
  dialog->OnClose = [&](TObject*, TCloseAction& Action) {
    journal.push_back("close " + std::to_string(Action));
  };
  Application->OnIdle = [&](TObject*, bool& Done) {
    ownerEnabled = IsWindowEnabled(owner->Handle()) != FALSE;
    ++idles;
    dialog->SetModalResult(idles == 1 ? mrNo : mrYes);
    Done = false;  // no waiting: an empty queue would end the program
  };
  EXPECT_EQ(dialog->ShowModal(), mrYes);
  Application->OnIdle = nullptr;
  EXPECT_FALSE(ownerEnabled);
  // The first result was refused: the loop went on.
  EXPECT_EQ(journal, (std::vector<std::string>{"query", "query", "close 1"}));
  EXPECT_TRUE(IsWindowEnabled(owner->Handle()));
  EXPECT_FALSE(dialog->Visible());
  EXPECT_FALSE(IsWindowVisible(dialog->Handle()));
  EXPECT_FALSE(dialog->FormState().Contains(fsModal));
  // Close inside the loop is a cancel; a showing form cannot go modal.
  Application->OnIdle = [&](TObject*, bool& Done) {
    dialog->Close();
    Done = false;
  };
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_FALSE(Application->Terminated());
  Application->OnIdle = nullptr;
  dialog->Show();
  EXPECT_THROW(dialog->ShowModal(), EInvalidOperation);
}

TEST_F(FormTest, AButtonWithAModalResultEndsTheModalForm) {
  std::unique_ptr<TForm> dialog(TForm::CreateNew(nullptr));
  auto* ok = new TButton(dialog.get());
  ok->SetParent(dialog.get());
  ok->SetModalResult(mrOk);
  Application->OnIdle = [&](TObject*, bool& Done) {
    ok->Click();
    Done = false;
  };
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  Application->OnIdle = nullptr;
}

TEST_F(FormTest, CloseAsksCloseQueryAndDoesWhatOnCloseSays) {
  struct Case {
    TCloseAction action;
    bool visible;
    TWindowState state;
  };
  const Case cases[] = {
      {caNone, true, wsNormal}, {caHide, false, wsNormal}, {caMinimize, true, wsMinimized}};
  for (const Case& c : cases) {
    std::unique_ptr<TForm> form(TForm::CreateNew(nullptr));
    bool allow = false;
    int closes = 0;
    form->OnCloseQuery = [&](TObject*, bool& CanClose) { CanClose = allow; };
    form->OnClose = [&](TObject*, TCloseAction& Action) {
      ++closes;
      EXPECT_EQ(Action, caHide);
      Action = c.action;
    };
    form->Show();
    form->Close();
    EXPECT_EQ(closes, 0);
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    allow = true;
    // The system menu's Close comes to the same.
    SendMessage(form->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(closes, 1) << c.action;
    EXPECT_EQ(form->Visible(), c.visible) << c.action;
    EXPECT_EQ(IsWindowVisible(form->Handle()) != FALSE, c.visible) << c.action;
    EXPECT_EQ(form->WindowState(), c.state) << c.action;
  }
}

TEST_F(FormTest, CaFreeAndReleaseFreeTheFormOnceItsMessagesAreHandled) {
  int destroyed = 0;
  TForm* form = TForm::CreateNew(nullptr);
  form->OnDestroy = [&](TObject*) { ++destroyed; };
  form->OnClose = [](TObject*, TCloseAction& Action) { Action = caFree; };
  form->Show();
  HWND h = form->Handle();
  PostMessage(h, WM_CLOSE, 0, 0);
  Application->ProcessMessages();
  EXPECT_EQ(destroyed, 1);
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(Screen->FormCount(), 0);

  // Release from the form's own handler: it still works on afterwards.
  form = TForm::CreateNew(nullptr);
  form->OnDestroy = [&](TObject*) { ++destroyed; };
  form->OnKeyDown = [&](TObject* Sender, WORD&, TShiftState) {
    auto* self = static_cast<TForm*>(Sender);
    self->Release();
    self->SetCaption("released");
  };
  form->Show();
  h = form->Handle();
  SendMessage(h, WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(form->Caption(), "released");
  Application->ProcessMessages();
  EXPECT_EQ(destroyed, 2);
  EXPECT_FALSE(IsWindow(h));

  // Released while modal: ShowModal returns on a live form.
  form = TForm::CreateNew(nullptr);
  form->OnDestroy = [&](TObject*) { ++destroyed; };
  Application->OnIdle = [&](TObject*, bool& Done) {
    form->Release();
    form->SetModalResult(mrOk);
    Done = false;
  };
  EXPECT_EQ(form->ShowModal(), mrOk);
  Application->OnIdle = nullptr;
  EXPECT_EQ(destroyed, 2);
  EXPECT_FALSE(form->Visible());
  Application->ProcessMessages();
  EXPECT_EQ(destroyed, 3);
}

TEST_F(FormTest, TheFirstCreatedFormIsTheMainFormAndClosingOrFreeingItEndsRun) {
  TForm* main = nullptr;
  Application->CreateForm(main);
  TCustomForm* second = nullptr;
  Application->CreateForm(TForm::StaticClass(), second);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(Application->MainForm(), main);
  EXPECT_EQ(second->Owner(), Application);
  bool shown = false;
  Application->OnIdle = [&](TObject*, bool&) {
    shown = IsWindowVisible(main->Handle()) != FALSE;
    SendMessage(main->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  };
  Application->Run();
  EXPECT_TRUE(shown);
  EXPECT_TRUE(Application->Terminated());
  Application->OnIdle = nullptr;
  delete second;
  delete main;
}

TEST_F(FormTest, FreeingTheMainFormEndsRun) {
  TForm* main = nullptr;
  Application->CreateForm(main);
  Application->OnIdle = [&](TObject*, bool&) { delete main; };
  Application->Run();
  EXPECT_TRUE(Application->Terminated());
  EXPECT_EQ(Application->MainForm(), nullptr);
  EXPECT_EQ(Screen->FormCount(), 0);
}

TEST_F(FormTest, AlphaBlendMakesTheWindowLayered) {
  std::unique_ptr<TForm> form(TForm::CreateNew(nullptr));
  form->SetAlphaBlend(true);
  form->SetAlphaBlendValue(128);
  form->Show();
  HWND h = form->Handle();
  EXPECT_TRUE(GetWindowLong(h, GWL_EXSTYLE) & WS_EX_LAYERED);
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(h, nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 128);
  EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
  form->SetAlphaBlendValue(64);
  GetLayeredWindowAttributes(h, nullptr, &alpha, &flags);
  EXPECT_EQ(alpha, 64);
  form->SetAlphaBlend(false);
  EXPECT_FALSE(GetWindowLong(h, GWL_EXSTYLE) & WS_EX_LAYERED);
  form->SetFormStyle(fsStayOnTop);
  EXPECT_TRUE(GetWindowLong(h, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(FormTest, RecreatingAWindowKeepsItShownOrHidden) {
  std::unique_ptr<TForm> shown(TForm::CreateNew(nullptr));
  shown->Show();
  std::unique_ptr<TForm> hidden(TForm::CreateNew(nullptr));
  hidden->HandleNeeded();
  HWND before = shown->Handle();
  shown->RecreateWnd();
  hidden->RecreateWnd();
  EXPECT_NE(shown->Handle(), before);
  EXPECT_TRUE(IsWindowVisible(shown->Handle()));
  EXPECT_FALSE(IsWindowVisible(hidden->Handle()));
}

TEST_F(FormTest, AutoSizeFollowsTheUnalignedControls) {
  std::unique_ptr<TForm> form(TForm::CreateNew(nullptr));
  form->SetBorderStyle(bsNone);
  auto* picture = new TPanel(form.get());
  picture->SetBounds(0, 0, 60, 40);
  picture->SetParent(form.get());
  auto* bar = new TPanel(form.get());
  bar->SetAlign(alTop);  // aligned controls take the size, they do not give it
  bar->SetParent(form.get());
  form->SetAutoSize(true);
  EXPECT_EQ(form->ClientWidth(), 60);
  EXPECT_EQ(form->ClientHeight(), 40);
  form->Show();
  picture->SetBounds(10, 5, 100, 80);
  EXPECT_EQ(form->ClientWidth(), 110);
  EXPECT_EQ(form->ClientHeight(), 85);
}

TEST_F(FormTest, TheApplicationShowsItsIconAndComesToTheFront) {
  std::unique_ptr<TForm> other(TForm::CreateNew(nullptr));
  TIcon icon;
  icon.SetHandle(LoadIcon(nullptr, IDI_APPLICATION));
  Application->SetIcon(&icon);
  ASSERT_NE(Application->Icon()->Handle(), nullptr);
  EXPECT_EQ(SendMessage(Application->Handle(), WM_GETICON, ICON_BIG, 0),
            reinterpret_cast<LRESULT>(Application->Icon()->Handle()));
  other->Show();
  HWND elsewhere = CreateWindowEx(0, "STATIC", "Another program", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                  nullptr, nullptr, nullptr);
  SetForegroundWindow(elsewhere);
  Application->BringToFront();
  EXPECT_EQ(GetForegroundWindow(), other->Handle());
  DestroyWindow(elsewhere);
}

TEST_F(FormTest, KeyPreviewGivesTheFormTheKeysOfItsControlsFirst) {
  std::unique_ptr<TForm> form(TForm::CreateNew(nullptr));
  auto* edit = new TWinControl(form.get());
  edit->SetParent(form.get());
  edit->SetBounds(5, 5, 50, 20);
  std::vector<std::string> journal;
  form->OnKeyDown = [&](TObject*, WORD& Key, TShiftState) {
    journal.push_back("form " + std::to_string(Key));
    if (Key == VK_ESCAPE) Key = 0;
  };
  edit->OnKeyDown = [&](TObject*, WORD& Key, TShiftState) { journal.push_back("edit " + std::to_string(Key)); };
  form->Show();
  HWND eh = edit->Handle();
  PostMessage(eh, WM_KEYDOWN, 'A', 0);
  Application->ProcessMessages();
  EXPECT_EQ(journal, (std::vector<std::string>{"edit 65"}));
  journal.clear();
  form->SetKeyPreview(true);
  PostMessage(eh, WM_KEYDOWN, 'A', 0);
  PostMessage(eh, WM_KEYDOWN, VK_ESCAPE, 0);
  Application->ProcessMessages();
  EXPECT_EQ(journal, (std::vector<std::string>{"form 65", "edit 65", "form 27"}));
}

// A form class that hears its system commands, as the runtime's does.
class TMenuForm : public TForm {
  QV_CLASS(TMenuForm, TForm)
  explicit TMenuForm(TComponent* AOwner) : TForm(AOwner, TCreateNew{}) {}
  std::vector<WPARAM> commands;

 protected:
  void Dispatch(TMessage& Message) override {
    if (Message.Msg == WM_SYSCOMMAND) commands.push_back(Message.WParam);
    inherited::Dispatch(Message);
  }
};

TEST_F(FormTest, SystemMenuCommandsReachTheFormAndMaximizeSetsWindowState) {
  std::unique_ptr<TMenuForm> form(qv::classlib::newForm<TMenuForm>(nullptr));
  form->Show();
  HWND h = form->Handle();
  HMENU menu = GetSystemMenu(h, FALSE);
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(AppendMenu(menu, MF_STRING, 0x100, "About"));
  SendMessage(h, WM_SYSCOMMAND, 0x100, 0);
  SendMessage(h, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  EXPECT_EQ(form->commands, (std::vector<WPARAM>{0x100, SC_MAXIMIZE}));
  EXPECT_EQ(form->WindowState(), wsMaximized);
  EXPECT_TRUE(IsZoomed(h));
  form->SetWindowState(wsNormal);
  EXPECT_FALSE(IsZoomed(h));
}

TEST_F(FormTest, OnPaintDrawsOnTheFormCanvas) {
  std::unique_ptr<TForm> form(TForm::CreateNew(nullptr));
  form->OnPaint = [&](TObject*) {
    form->Canvas()->Brush()->SetColor(clRed);
    form->Canvas()->FillRect(TRect{2, 2, 6, 6});
  };
  form->HandleNeeded();
  TBitmap bmp;
  bmp.SetWidth(8);
  bmp.SetHeight(8);
  form->Perform(WM_PAINT, reinterpret_cast<WPARAM>(bmp.Canvas()->Handle()), 0);
  EXPECT_EQ(bmp.Canvas()->Pixels(3, 3), clRed);
  EXPECT_NE(bmp.Canvas()->Pixels(7, 7), clRed);
}

// A form whose OnDestroy handler uses its own members: they must still be
// alive when the handler runs, and the handler runs once.
class TJournalForm : public TForm {
  QV_CLASS(TJournalForm, TForm)
  TJournalForm(TComponent* AOwner, std::vector<std::string>& Out) : TForm(AOwner), out(Out) {
    OnDestroy = [this](TObject*) { out.push_back("destroy " + name); };
  }
  ~TJournalForm() override { BeforeDestruction(); }
  std::vector<std::string>& out;
  std::string name = "journal form with a name longer than a short string";
};

TEST_F(FormTest, OnDestroySeesTheDescendantsMembersOnce) {
  std::vector<std::string> out;
  delete new TJournalForm(nullptr, out);
  EXPECT_EQ(out, std::vector<std::string>{"destroy journal form with a name longer than a short string"});
}

}  // namespace
