#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "DesktopTest.h"
#include "platform/classlib/Collections.h"
#include "platform/classlib/Filer.h"
#include "platform/classlib/TypInfo.h"
#include "platform/os/kernel/Module.h"
#include "platform/os/kernel/ResFile.h"

namespace {


// What the components saw, in order.
std::vector<std::string> gJournal;

enum TTestAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
QV_ENUM_TYPE(TTestAlign, alNone, alTop, alBottom, alLeft, alRight, alClient)
enum TTestAnchor { akLeft, akTop, akRight, akBottom };
QV_ENUM_TYPE(TTestAnchor, akLeft, akTop, akRight, akBottom)
using TTestAnchors = TSet<TTestAnchor>;
enum TTestFontStyle { fsBold, fsItalic, fsUnderline };
QV_ENUM_TYPE(TTestFontStyle, fsBold, fsItalic, fsUnderline)

constexpr int clBtnFace = static_cast<int>(0x8000000F);
constexpr int clWindowText = static_cast<int>(0x80000008);
constexpr int clRed = 0x0000FF;
const TIdentMapEntry kColors[] = {{clBtnFace, "clBtnFace"}, {clWindowText, "clWindowText"}, {clRed, "clRed"}};

class TTestFont : public TPersistent {
  QV_CLASS(TTestFont, TPersistent)
  std::string FName = "MS Sans Serif";
  int FSize = 8;
  int FColor = clWindowText;
  TSet<TTestFontStyle> FStyle;
  QV_PUBLISHED(TTestFont) {
    P.Field("Color", &TTestFont::FColor).Ident("TTestColor").Default(clWindowText);
    P.Field("Name", &TTestFont::FName).Default("MS Sans Serif");
    P.Field("Size", &TTestFont::FSize).Default(8);
    P.Field("Style", &TTestFont::FStyle).Default(TSet<TTestFontStyle>{});
  }
};
QV_DEFINE_PUBLISHED(TTestFont)

class TTestStyle : public TPersistent {
  QV_CLASS(TTestStyle, TPersistent)
  TTestStyle() : FFont(std::make_unique<TTestFont>()) {}
  TTestFont* Font() const { return FFont.get(); }
  QV_PUBLISHED(TTestStyle) { P.Prop("Font", &TTestStyle::Font); }

 private:
  std::unique_ptr<TTestFont> FFont;
};
QV_DEFINE_PUBLISHED(TTestStyle)

class TTestStyles : public TPersistent {
  QV_CLASS(TTestStyles, TPersistent)
  TTestStyles() : FHint(std::make_unique<TTestStyle>()) {}
  TTestStyle* Hint() const { return FHint.get(); }
  QV_PUBLISHED(TTestStyles) { P.Prop("Hint", &TTestStyles::Hint); }

 private:
  std::unique_ptr<TTestStyle> FHint;
};
QV_DEFINE_PUBLISHED(TTestStyles)

class TTestColumn : public TCollectionItem {
  QV_CLASS(TTestColumn, TCollectionItem)
  std::string FCaption;
  int FWidth = 50;
  TComponent* FTarget = nullptr;
  TComponent* Target() const { return FTarget; }
  void SetTarget(TComponent* Value) { FTarget = Value; }
  QV_PUBLISHED(TTestColumn) {
    P.Field("Caption", &TTestColumn::FCaption);
    P.Prop("Target", &TTestColumn::Target, &TTestColumn::SetTarget);
    P.Field("Width", &TTestColumn::FWidth).Default(50);
  }
};
QV_DEFINE_PUBLISHED(TTestColumn)

// A control-like component: parent and children, one property of each kind.
class TTestControl : public TComponent {
  QV_CLASS(TTestControl, TComponent)
  explicit TTestControl(TComponent* AOwner)
      : TComponent(AOwner),
        FColumns(std::make_unique<TOwnedCollection>(this, TTestColumn::StaticClass())),
        FLinks(std::make_unique<TOwnedCollection>(this, TTestColumn::StaticClass())) {}
  ~TTestControl() override {
    Destroying();
    SetParent(nullptr);
    for (TTestControl* c : FChildren) c->FParent = nullptr;
  }

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value) {
    FCaption = Value;
    if (Name() == "Panel1")
      gJournal.push_back(std::string("caption ") + (ComponentState().Contains(csLoading) ? "loading" : "live"));
  }
  TTestControl* Parent() const { return FParent; }
  void SetParent(TTestControl* Value) {
    if (FParent == Value) return;
    if (FParent) std::erase(FParent->FChildren, this);
    FParent = Value;
    if (FParent) FParent->FChildren.push_back(this);
  }
  const std::vector<TTestControl*>& Children() const { return FChildren; }
  TTestControl* Buddy() const { return FBuddy; }
  void SetBuddy(TTestControl* Value) { FBuddy = Value; }
  TTestFont* Font() const { return FFont.get(); }
  TStringList* Lines() const { return FLines.get(); }
  TOwnedCollection* Columns() const { return FColumns.get(); }
  // Streamed as custom data, not published.
  TOwnedCollection* Links() const { return FLinks.get(); }
  bool IsRatioStored() const { return FRatio != 1.0; }

  int FLeft = 0;
  int FTop = 0;
  bool FVisible = true;
  TTestAlign FAlign = alNone;
  TTestAnchors FAnchors{akLeft, akTop};
  int FColor = clBtnFace;
  double FRatio = 1.0;
  char FPasswordChar = '\0';
  int FExtra = 0;        // custom data, not published
  std::string FBlob;     // custom binary data
  TNotifyEvent OnClick;

  // Parent protocol.
  bool HasParent() const override { return FParent != nullptr || FReadingChild; }
  TComponent* GetParentComponent() const override { return FParent; }
  void SetParentComponent(TComponent* Value) override {
    auto* p = dynamic_cast<TTestControl*>(Value);
    FReadingChild = p != nullptr;
    SetParent(p);
  }
  void SetChildOrder(TComponent* Child, int Order) override {
    auto it = std::find(FChildren.begin(), FChildren.end(), Child);
    if (it == FChildren.end()) return;
    FChildren.erase(it);
    FChildren.insert(FChildren.begin() + std::clamp(Order, 0, static_cast<int>(FChildren.size())),
                     static_cast<TTestControl*>(Child));
  }
  void GetChildren(const qv::classlib::TGetChildProc& Proc, TComponent* Root) override {
    // A root first writes what it owns that no control holds, then its children.
    TComponent::GetChildren(Proc, Root);
    for (TTestControl* c : FChildren)
      if (c->Owner() == Root) Proc(c);
  }

  QV_PUBLISHED(TTestControl) {
    P.Field("Align", &TTestControl::FAlign).Default(alNone);
    P.Field("Anchors", &TTestControl::FAnchors).Default(TTestAnchors{akLeft, akTop});
    P.Prop("Buddy", &TTestControl::Buddy, &TTestControl::SetBuddy);
    P.Prop("Caption", &TTestControl::Caption, &TTestControl::SetCaption);
    P.Field("Color", &TTestControl::FColor).Ident("TTestColor").Default(clBtnFace);
    P.Prop("Columns", &TTestControl::Columns);
    P.Prop("Font", &TTestControl::Font);
    P.Field("Left", &TTestControl::FLeft);
    P.Prop("Lines", &TTestControl::Lines);
    P.Field("PasswordChar", &TTestControl::FPasswordChar).Default('\0');
    P.Field("Ratio", &TTestControl::FRatio).Stored(&TTestControl::IsRatioStored);
    P.Field("Top", &TTestControl::FTop);
    P.Field("Visible", &TTestControl::FVisible).Default(true);
    P.Event("OnClick", &TTestControl::OnClick);
  }

 protected:
  void Loaded() override {
    inherited::Loaded();
    gJournal.push_back("loaded " + Name() + (ComponentState().Contains(csLoading) ? " loading" : ""));
  }
  void DefineProperties(TFiler* Filer) override {
    Filer->DefineProperty(
        "Extra", [this](TReader* R) { FExtra = R->ReadInteger(); },
        [this](TWriter* W) { W->WriteInteger(FExtra); }, FExtra != 0);
    Filer->DefineBinaryProperty(
        "Blob",
        [this](TStream* S) {
          FBlob.resize(static_cast<std::size_t>(S->Size()));
          S->ReadBuffer(FBlob.data(), static_cast<int>(FBlob.size()));
        },
        [this](TStream* S) { S->WriteBuffer(FBlob.data(), static_cast<int>(FBlob.size())); }, !FBlob.empty());
    Filer->DefineProperty(
        "Links", [this](TReader* R) { R->ReadCollection(FLinks.get()); },
        [this](TWriter* W) { W->WriteCollection(FLinks.get()); }, FLinks->Count() > 0);
  }

 private:
  std::string FCaption;
  TTestControl* FParent = nullptr;
  TTestControl* FBuddy = nullptr;
  bool FReadingChild = false;
  std::vector<TTestControl*> FChildren;
  std::unique_ptr<TTestFont> FFont = std::make_unique<TTestFont>();
  std::unique_ptr<TStringList> FLines = std::make_unique<TStringList>();
  std::unique_ptr<TOwnedCollection> FColumns;
  std::unique_ptr<TOwnedCollection> FLinks;
};
QV_DEFINE_PUBLISHED(TTestControl)

// A component without the parent protocol (like a timer on a form).
class TTestTimer : public TComponent {
  QV_CLASS(TTestTimer, TComponent)
  using TComponent::TComponent;
  int FInterval = 1000;
  TNotifyEvent OnTimer;
  QV_PUBLISHED(TTestTimer) {
    P.Field("Interval", &TTestTimer::FInterval).Default(1000);
    P.Event("OnTimer", &TTestTimer::OnTimer);
  }
};
QV_DEFINE_PUBLISHED(TTestTimer)

class TTestForm : public TTestControl {
  QV_CLASS(TTestForm, TTestControl)
  using TTestControl::TTestControl;
  TTestStyles* DefaultStyles() const { return FStyles.get(); }
  TNotifyEvent OnCreate;
  void FormCreate(TObject* Sender) { gJournal.push_back("FormCreate " + As<TComponent>(Sender)->Name()); }
  void PanelClick(TObject* Sender) { gJournal.push_back("PanelClick " + As<TComponent>(Sender)->Name()); }
  void WrongKind(int Value) { (void)Value; }
  QV_PUBLISHED(TTestForm) {
    P.Prop("DefaultStyles", &TTestForm::DefaultStyles);
    P.Event("OnCreate", &TTestForm::OnCreate);
    P.Method("FormCreate", &TTestForm::FormCreate);
    P.Method("PanelClick", &TTestForm::PanelClick);
    P.Method("WrongKind", &TTestForm::WrongKind);
  }

 private:
  std::unique_ptr<TTestStyles> FStyles = std::make_unique<TTestStyles>();
};
QV_DEFINE_PUBLISHED(TTestForm)

TTestControl* child(TComponent* Root, const std::string& Name) {
  return dynamic_cast<TTestControl*>(Root->FindComponent(Name));
}

class FilerTest : public qvtest::DesktopTest {
 protected:
  void SetUp() override {
    qvtest::DesktopTest::SetUp();
    gJournal.clear();
    RegisterClasses({TTestControl::StaticClass(), TTestForm::StaticClass(), TTestTimer::StaticClass()});
    RegisterIntegerConsts(
        qv::classlib::namedIntegerType("TTestColor"),
        [](const std::string& s, int& v) { return IdentToInt(s, v, kColors, std::size(kColors)); },
        [](int v, std::string& s) { return IntToIdent(v, s, kColors, std::size(kColors)); });
  }
  // Reads Text into a new form.
  std::unique_ptr<TTestForm> read(const std::string& Text) {
    auto form = std::make_unique<TTestForm>(nullptr);
    qv::classlib::readComponentText(Text, form.get());
    return form;
  }
};

const char* kForm = R"(object MainForm: TTestForm
  Caption = 'Start'
  Left = -12
  Top = $1F
  OnCreate = FormCreate
  DefaultStyles.Hint.Font.Name = 'Tahoma'
  DefaultStyles.Hint.Font.Style = [fsBold, fsItalic]
  object Panel1: TTestControl
    Align = alTop
    Anchors = [akLeft, akRight]
    Caption = 'It''s'#13#10'two lines' +
      ' and more'
    Color = clRed
    Font.Color = $00FF00
    Font.Size = 11
    Visible = False
    Ratio = 2.5
    PasswordChar = '*'
    Buddy = Panel2
    OnClick = PanelClick
    Lines.Strings = (
      'one'
      'two')
    Columns = <
      item
        Caption = 'Name'
        Width = 120
        Target = Button1
      end
      item
        Caption = 'Size'
      end>
    Extra = 42
    Blob = {
      00FF10}
    object Button1: TTestControl
      Caption = 'OK'
      OnClick = PanelClick
      Links = <
        item
          Target = Panel2
        end>
    end
  end
  object Panel2: TTestControl
    Align = alClient
    Buddy = MainForm
  end
  object Timer1: TTestTimer
    Interval = 250
    OnTimer = FormCreate
  end
end
)";

TEST_F(FilerTest, ReadsEveryKindOfValue) {
  auto form = read(kForm);
  EXPECT_EQ(form->Name(), "MainForm");
  EXPECT_EQ(form->Caption(), "Start");
  EXPECT_EQ(form->FLeft, -12);
  EXPECT_EQ(form->FTop, 31);
  EXPECT_EQ(form->DefaultStyles()->Hint()->Font()->FName, "Tahoma");
  EXPECT_TRUE((form->DefaultStyles()->Hint()->Font()->FStyle == TSet<TTestFontStyle>{fsBold, fsItalic}));

  TTestControl* panel = child(form.get(), "Panel1");
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->FAlign, alTop);
  EXPECT_TRUE((panel->FAnchors == TTestAnchors{akLeft, akRight}));
  EXPECT_EQ(panel->Caption(), "It's\r\ntwo lines and more");
  EXPECT_EQ(panel->FColor, clRed);
  EXPECT_EQ(panel->Font()->FColor, 0x00FF00);
  EXPECT_EQ(panel->Font()->FSize, 11);
  EXPECT_EQ(panel->Font()->FName, "MS Sans Serif");  // untouched
  EXPECT_FALSE(panel->FVisible);
  EXPECT_DOUBLE_EQ(panel->FRatio, 2.5);
  EXPECT_EQ(panel->FPasswordChar, '*');
  EXPECT_EQ(panel->Lines()->Text(), "one\r\ntwo\r\n");
  ASSERT_EQ(panel->Columns()->Count(), 2);
  auto* col0 = As<TTestColumn>(panel->Columns()->Items(0));
  auto* col1 = As<TTestColumn>(panel->Columns()->Items(1));
  EXPECT_EQ(col0->FCaption, "Name");
  EXPECT_EQ(col0->FWidth, 120);
  EXPECT_EQ(col1->FCaption, "Size");
  EXPECT_EQ(col1->FWidth, 50);
  EXPECT_EQ(panel->FExtra, 42);
  EXPECT_EQ(panel->FBlob, std::string("\x00\xFF\x10", 3));
  EXPECT_EQ(As<TTestTimer>(form->FindComponent("Timer1"))->FInterval, 250);
}

TEST_F(FilerTest, ChildrenAreOwnedByTheRootAndParentedByTheirObject) {
  auto form = read(kForm);
  TTestControl* panel = child(form.get(), "Panel1");
  TTestControl* button = child(form.get(), "Button1");
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->Owner(), form.get());
  EXPECT_EQ(button->Parent(), panel);
  EXPECT_EQ(panel->Parent(), form.get());
  EXPECT_EQ(form->ComponentCount(), 4);
  // A component without the parent protocol has none.
  EXPECT_EQ(form->FindComponent("Timer1")->Owner(), form.get());
  EXPECT_EQ(form->Children().size(), 2u);
}

TEST_F(FilerTest, AChildPositionReordersTheParentsChildren) {
  auto form = read("object F: TTestForm\n  object A: TTestControl\n  end\n  object B: TTestControl [0]\n  end\nend\n");
  ASSERT_EQ(form->Children().size(), 2u);
  EXPECT_EQ(form->Children()[0]->Name(), "B");
  EXPECT_EQ(form->Children()[1]->Name(), "A");
}

TEST_F(FilerTest, ReferencesResolveAfterTheWholeForm) {
  auto form = read(kForm);
  TTestControl* panel = child(form.get(), "Panel1");
  // Panel2 and Button1 come later in the text than the references to them.
  EXPECT_EQ(panel->Buddy(), child(form.get(), "Panel2"));
  EXPECT_EQ(As<TTestColumn>(panel->Columns()->Items(0))->FTarget, child(form.get(), "Button1"));
  EXPECT_EQ(child(form.get(), "Panel2")->Buddy(), form.get());
  // Also in a collection streamed as custom data.
  TOwnedCollection* links = child(form.get(), "Button1")->Links();
  ASSERT_EQ(links->Count(), 1);
  EXPECT_EQ(As<TTestColumn>(links->Items(0))->FTarget, child(form.get(), "Panel2"));
}

TEST_F(FilerTest, ReferenceToAComponentOfAnotherForm) {
  static TTestForm* other = nullptr;
  auto otherForm = std::make_unique<TTestForm>(nullptr);
  otherForm->SetName("ToolForm");
  auto* target = new TTestControl(otherForm.get());
  target->SetName("Palette");
  other = otherForm.get();
  TFindGlobalComponent finder = [](const std::string& Name) -> TComponent* {
    return SameText(Name, "ToolForm") ? other : nullptr;
  };
  RegisterFindGlobalComponentProc(finder);
  auto form = read("object F: TTestForm\n  Buddy = ToolForm.Palette\nend\n");
  UnregisterFindGlobalComponentProc(finder);
  EXPECT_EQ(form->Buddy(), target);
}

TEST_F(FilerTest, EventsAreBoundToTheRootsMethodsAndFire) {
  auto form = read(kForm);
  ASSERT_TRUE(form->OnCreate);
  form->OnCreate(form.get());
  child(form.get(), "Panel1")->OnClick(child(form.get(), "Panel1"));
  child(form.get(), "Button1")->OnClick(child(form.get(), "Button1"));
  As<TTestTimer>(form->FindComponent("Timer1"))->OnTimer(form->FindComponent("Timer1"));
  std::vector<std::string> fired(gJournal.end() - 4, gJournal.end());
  EXPECT_EQ(fired, (std::vector<std::string>{"FormCreate MainForm", "PanelClick Panel1", "PanelClick Button1",
                                             "FormCreate Timer1"}));
  TMethod m = GetMethodProp(child(form.get(), "Panel1"), "OnClick");
  EXPECT_EQ(m.Data, form.get());
  EXPECT_EQ(m.Name, "PanelClick");
}

TEST_F(FilerTest, LoadedRunsAfterTheWholeFormWithChildrenBeforeTheirHolder) {
  auto form = read(kForm);
  // Properties are set while loading; Loaded comes after everything, root
  // first, then each component as its reading finished.
  EXPECT_EQ(gJournal, (std::vector<std::string>{"caption loading", "loaded MainForm", "loaded Button1",
                                                "loaded Panel1", "loaded Panel2"}));
  EXPECT_FALSE(form->ComponentState().Contains(csLoading));
  EXPECT_FALSE(child(form.get(), "Panel1")->ComponentState().Contains(csReading));
  child(form.get(), "Panel1")->SetCaption("x");
  EXPECT_EQ(gJournal.back(), "caption live");
}

TEST_F(FilerTest, ReReadingAFormReplacesValuesInTheSameComponents) {
  auto form = read(kForm);
  TTestControl* panel = child(form.get(), "Panel1");
  TTestControl* button = child(form.get(), "Button1");
  gJournal.clear();
  qv::classlib::readComponentText(R"(object MainForm: TTestForm
  Caption = 'Begin'
  object Panel1: TTestControl
    Caption = 'English'
    Lines.Strings = (
      'three')
    Columns = <
      item
        Caption = 'Title'
      end>
    object Button1: TTestControl
      Caption = 'Yes'
    end
  end
end
)",
                                  form.get());
  EXPECT_EQ(form->ComponentCount(), 4);
  EXPECT_EQ(child(form.get(), "Panel1"), panel);
  EXPECT_EQ(child(form.get(), "Button1"), button);
  EXPECT_EQ(form->Caption(), "Begin");
  EXPECT_EQ(panel->Caption(), "English");
  EXPECT_EQ(button->Caption(), "Yes");
  EXPECT_EQ(button->Parent(), panel);
  EXPECT_EQ(panel->Lines()->Text(), "three\r\n");
  ASSERT_EQ(panel->Columns()->Count(), 1);
  EXPECT_EQ(As<TTestColumn>(panel->Columns()->Items(0))->FCaption, "Title");
  // Values the second text leaves out stay.
  EXPECT_EQ(panel->FAlign, alTop);
  EXPECT_EQ(panel->Buddy(), child(form.get(), "Panel2"));
  EXPECT_EQ(gJournal.front(), "caption loading");
}

TEST_F(FilerTest, WriterRoundTripsAndWritesOnlyWhatDiffersFromDefaults) {
  auto form = read(kForm);
  child(form.get(), "Panel2")->SetCaption(std::string(70, 'x') + "\xE4");
  child(form.get(), "Panel2")->Font()->FName = "";
  std::string first = qv::classlib::writeComponentText(form.get());
  auto again = read(first);
  std::string second = qv::classlib::writeComponentText(again.get());
  EXPECT_EQ(first, second);
  EXPECT_EQ(again->FindComponent("Button1")->Owner(), again.get());
  EXPECT_EQ(child(again.get(), "Panel1")->Buddy(), child(again.get(), "Panel2"));
  EXPECT_EQ(child(again.get(), "Panel2")->Font()->FName, "");

  EXPECT_NE(first.find("  object Panel1: TTestControl\n    Align = alTop\n    Anchors = [akLeft, akRight]\n"),
            std::string::npos)
      << first;
  EXPECT_NE(first.find("    Caption = 'It''s'#13#10'two lines and more'\n"), std::string::npos) << first;
  EXPECT_NE(first.find("    Color = clRed\n"), std::string::npos);
  EXPECT_NE(first.find("    Lines.Strings = (\n      'one'\n      'two')\n"), std::string::npos) << first;
  EXPECT_NE(first.find("    Columns = <\n      item\n        Caption = 'Name'\n        Target = Button1\n"
                       "        Width = 120\n      end\n      item\n        Caption = 'Size'\n      end>\n"),
            std::string::npos)
      << first;
  EXPECT_NE(first.find("      Links = <\n        item\n          Target = Panel2\n        end>\n"), std::string::npos)
      << first;
  EXPECT_NE(first.find("    Extra = 42\n    Blob = {\n      00FF10}\n"), std::string::npos) << first;
  EXPECT_NE(first.find("  DefaultStyles.Hint.Font.Style = [fsBold, fsItalic]\n"), std::string::npos) << first;
  EXPECT_NE(first.find("    Caption = \n      '" + std::string(64, 'x') + "' +\n      'xxxxxx'#228\n"),
            std::string::npos)
      << first;
  // Defaults (Visible, Width 50, Font.Size 8, Ratio 1) and empty values are left out.
  auto count = [&](const std::string& s) {
    std::size_t n = 0;
    for (std::size_t p = first.find(s); p != std::string::npos; p = first.find(s, p + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count("Visible"), 1u);
  EXPECT_EQ(count("Width"), 1u);
  EXPECT_EQ(count("Ratio"), 1u);
  EXPECT_EQ(count("Font.Size"), 1u);
  EXPECT_EQ(count("Font.Name"), 2u);  // Tahoma, and Panel2's emptied name as ''
  EXPECT_EQ(count("    Font.Name = ''\n"), 1u);
  EXPECT_EQ(count("Interval = 250"), 1u);
  EXPECT_EQ(count("Columns = <>"), 3u);  // the empty collections of the form, Panel2 and Button1
}

TEST_F(FilerTest, CreatesTheRootFromItsClassWhenNoneIsGiven) {
  TStringStream stream(kForm);
  TReader reader(&stream);
  std::unique_ptr<TComponent> root(reader.ReadRootComponent(nullptr));
  ASSERT_TRUE(Is<TTestForm>(root.get()));
  EXPECT_EQ(root->Name(), "MainForm");
  EXPECT_EQ(root->ComponentCount(), 4);
}

TEST_F(FilerTest, StringsAndNumbers) {
  struct Case {
    const char* value;
    std::string caption;
  };
  const Case cases[] = {
      {"''", ""},
      {"'a''b'", "a'b"},
      {"#65#$42'c'", "ABc"},
      {"'x' + #9 + 'y'", "x\ty"},
      {"\n      'one' +\n      'two'", "onetwo"},
      {"'Gr\xF6\xDF" "e'", "Gr\xF6\xDF" "e"},  // Windows-1252 text as it is
  };
  for (const Case& c : cases) {
    auto form = read(std::string("object F: TTestForm\n  Caption = ") + c.value + "\nend\n");
    EXPECT_EQ(form->Caption(), c.caption) << c.value;
  }
  auto form = read("object F: TTestForm\n  Left = $FFFFFFFF\n  Top = -0\n  Ratio = 1.5e3\nend\n");
  EXPECT_EQ(form->FLeft, -1);
  EXPECT_EQ(form->FTop, 0);
  EXPECT_DOUBLE_EQ(form->FRatio, 1500.0);
}

TEST_F(FilerTest, MalformedTextFailsWithItsLine) {
  struct Case {
    const char* text;
    const char* message;  // part of the message, line included
    bool parser;          // EParserError, else a filer error
  };
  const Case cases[] = {
      {"object F: TTestForm\n  Caption = 'x'\n", "'end' expected on line 3", true},
      {"object F: TTestForm\n  Caption = 'open\nend\n", "Unterminated string on line 2", true},
      {"object F: TTestForm\n  Left = ?\nend\n", "Invalid property value on line 2", true},
      {"object F: TTestForm\n  Blob = {0F1}\nend\n", "Invalid binary value on line 2", true},
      {"object F: TTestForm\n  Caption = 'a' +\nend\n", "String expected on line 3", true},
      {"object F: TTestForm\nend\nend\n", "on line 3", true},
      {"object F: TTestForm\n\n  Left = 'text'\nend\n", "Error reading F.Left: Invalid property value on line 3",
       false},
      {"object F: TTestForm\n  Align = alMiddle\nend\n", "Error reading F.Align: Invalid property value on line 2",
       false},
      {"object F: TTestForm\n  Anchors = [akLeft, akNowhere]\nend\n", "F.Anchors: Invalid property value on line 2",
       false},
      {"object F: TTestForm\n  Color = clUnknown\nend\n", "F.Color: Invalid property value on line 2", false},
      {"object F: TTestForm\n  Height = 3\nend\n", "Error reading F.Height: Property Height does not exist on line 2",
       false},
      {"object F: TTestForm\n  Font.Weight = 3\nend\n", "Property Weight does not exist on line 2", false},
      {"object F: TTestForm\n  Caption.Name = 'x'\nend\n", "Invalid property path on line 2", false},
      {"object F: TTestForm\n  OnCreate = FormMissing\nend\n", "F.OnCreate: Invalid property value on line 2",
       false},
      {"object F: TTestForm\n  OnCreate = WrongKind\nend\n", "F.OnCreate: Invalid property value on line 2", false},
      {"object F: TTestForm\n  object P: TTestControl\n\n    Buddy = Nobody\n  end\nend\n",
       "Error reading P.Buddy: Invalid property value on line 4", false},
      {"object F: TTestForm\n  object P: TNoSuchClass\n  end\nend\n", "Class TNoSuchClass not found on line 2",
       false},
      {"object F: TTestForm\n  object P: TTestControl\n  end\n  object P: TTestTimer\n  end\nend\n",
       "A component named P already exists on line 4", false},
      {"object F: TTestForm\n  Columns = <\n    item\n      Depth = 1\n    end>\nend\n",
       "Property Depth does not exist on line 4", false},
      {"object F: TTestForm\n  Extra = 'x'\nend\n", "Error reading F.Extra: Invalid property value on line 2", false},
  };
  for (const Case& c : cases) {
    auto form = std::make_unique<TTestForm>(nullptr);
    try {
      qv::classlib::readComponentText(c.text, form.get());
      ADD_FAILURE() << "no error for: " << c.text;
    } catch (EParserError& e) {
      EXPECT_TRUE(c.parser) << e.Message();
      EXPECT_NE(e.Message().find(c.message), std::string::npos) << e.Message();
    } catch (EFilerError& e) {
      EXPECT_FALSE(c.parser) << e.Message();
      EXPECT_NE(e.Message().find(c.message), std::string::npos) << e.Message();
    } catch (Exception& e) {
      ADD_FAILURE() << "unexpected " << e.ClassName() << ": " << e.Message();
    }
    // The form is usable afterwards: nothing stays loading.
    EXPECT_FALSE(form->ComponentState().Contains(csLoading)) << c.text;
  }
}

TEST_F(FilerTest, AFailedReReadLeavesNoComponentLoading) {
  auto form = read(kForm);
  EXPECT_THROW(qv::classlib::readComponentText(
                   "object MainForm: TTestForm\n  object Panel1: TTestControl\n    object Button1: TTestControl\n"
                   "    end\n    Height = 1\n  end\nend\n",
                   form.get()),
               EReadError);
  for (int i = 0; i < form->ComponentCount(); ++i)
    EXPECT_FALSE(form->Components(i)->ComponentState().Contains(csLoading)) << form->Components(i)->Name();
  EXPECT_FALSE(form->ComponentState().Contains(csLoading));
}

TEST_F(FilerTest, ARootCreatedForAFailedReadIsFreed) {
  TStringStream stream("object F: TTestForm\n  object P: TTestControl\n    Left = x\n  end\nend\n");
  TReader reader(&stream);
  EXPECT_THROW(reader.ReadRootComponent(nullptr), EReadError);
}

TEST_F(FilerTest, DeeplyNestedTextIsRefusedNotOverflowed) {
  std::string text = "object F: TTestForm\n  Lines.Strings = " + std::string(100000, '(') + "\nend\n";
  EXPECT_THROW(read(text), EParserError);
}

// A reader that takes every component as one that exists already, for
// reading a language module's forms over open ones.
class TAsInheritedTestReader : public TReader {
  QV_CLASS(TAsInheritedTestReader, TReader)
  using TReader::TReader;

 protected:
  void ReadPrefix(TFilerFlags& Flags, int& AChildPos) override {
    TReader::ReadPrefix(Flags, AChildPos);
    Flags.Include(ffInherited);
  }
};

TEST_F(FilerTest, InheritedComponentsMustExist) {
  auto form = read(kForm);
  TStringStream good("object MainForm: TTestForm\n  object Panel2: TTestControl\n    Caption = 'P2'\n  end\nend\n");
  TAsInheritedTestReader(&good).ReadRootComponent(form.get());
  EXPECT_EQ(child(form.get(), "Panel2")->Caption(), "P2");
  TStringStream bad("object MainForm: TTestForm\n  object Panel9: TTestControl\n  end\nend\n");
  try {
    TAsInheritedTestReader(&bad).ReadRootComponent(form.get());
    ADD_FAILURE() << "no error";
  } catch (EReadError& e) {
    EXPECT_EQ(e.Message(), "Ancestor for 'Panel9' not found on line 2");
  }
  EXPECT_EQ(form->ComponentCount(), 4);
}

qv::os::ResEntry rcdata(const std::string& Name, const std::string& Text) {
  qv::os::ResEntry e;
  e.type = qv::os::ResId::id(10);
  e.name = qv::os::ResId::text(std::u16string(Name.begin(), Name.end()));
  e.data.assign(Text.begin(), Text.end());
  return e;
}

class TTestDerivedForm : public TTestForm {
  QV_CLASS(TTestDerivedForm, TTestForm)
  using TTestForm::TTestForm;
};

TEST_F(FilerTest, FormResourcesAreFoundByClassName) {
  // The base class's resource first, then the derived one's over it;
  // Loaded once at the end.
  auto container = qv::os::writeResContainer(
      {rcdata("TTESTFORM", "object Base: TTestForm\n  Caption = 'base'\n  object Panel1: TTestControl\n  end\nend\n"),
       rcdata("TTESTDERIVEDFORM",
              "inherited Derived: TTestDerivedForm\n  inherited Panel1: TTestControl\n    Caption = 'derived'\n"
              "  end\nend\n")});
  ASSERT_TRUE(qv::os::registerProgramResources(container.data(), container.size()));
  TTestDerivedForm form(nullptr);
  EXPECT_TRUE(InitInheritedComponent(&form, TTestControl::StaticClass()));
  EXPECT_EQ(form.Name(), "Derived");
  EXPECT_EQ(form.Caption(), "base");
  EXPECT_EQ(child(&form, "Panel1")->Caption(), "derived");
  EXPECT_EQ(gJournal, (std::vector<std::string>{"caption loading", "loaded Derived", "loaded Panel1"}));

  TTestControl plain(nullptr);
  EXPECT_FALSE(InitInheritedComponent(&plain, TComponent::StaticClass()));
  TComponent* none = nullptr;
  EXPECT_THROW(ReadComponentRes("TNOFORM", none), EResNotFound);
}

TEST_F(FilerTest, FormResourcesOfADataFileModule) {
  auto container = qv::os::writeResContainer(
      {rcdata("TTESTFORM", "object MainForm: TTestForm\n  Caption = 'English'\nend\n")});
  std::string path = writeFile("lang.enu", std::string(container.begin(), container.end()));
  HMODULE module = LoadLibraryEx(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  auto form = read(kForm);
  TComponent* target = form.get();
  EXPECT_TRUE(InternalReadComponentRes("TTESTFORM", module, target));
  EXPECT_EQ(form->Caption(), "English");
  EXPECT_FALSE(InternalReadComponentRes("TOTHER", module, target));
  FreeLibrary(module);
}

}  // namespace
