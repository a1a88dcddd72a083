#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "DesktopTest.h"
#include "platform/classlib/Classes.h"
#include "platform/classlib/Contnrs.h"

namespace {

// Records what it is told and what state it was destroyed in.
struct Journal {
  std::vector<std::string> lines;
};

class TProbe : public TComponent {
  QV_CLASS(TProbe, TComponent)
  TProbe(TComponent* AOwner, Journal* J = nullptr, const std::string& AName = "") : TComponent(AOwner), FJournal(J) {
    if (!AName.empty()) SetName(AName);
  }
  ~TProbe() override {
    Destroying();
    if (FJournal)
      FJournal->lines.push_back("free " + Name() + (ComponentState().Contains(csDestroying) ? " destroying" : ""));
  }
  TComponent* FLink = nullptr;
  void LoadedNow() { Loaded(); }
  void BeginLoading() { FComponentState.Include(csLoading); }

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override {
    inherited::Notification(AComponent, Operation);
    if (FJournal)
      FJournal->lines.push_back(Name() + (Operation == opInsert ? " +" : " -") + AComponent->Name());
    if (Operation == opRemove && AComponent == FLink) FLink = nullptr;
  }

 private:
  Journal* FJournal;
};

}  // namespace

TEST(Component, OwnerFreesOwnedComponentsLastFirstWithDestroyingSet) {
  Journal j;
  auto* owner = new TProbe(nullptr, &j, "Form");
  auto* a = new TProbe(owner, &j, "A");
  new TProbe(owner, &j, "B");
  new TProbe(a, &j, "A1");
  EXPECT_EQ(owner->ComponentCount(), 2);
  EXPECT_EQ(owner->Components(1)->Name(), "B");
  EXPECT_EQ(a->ComponentIndex(), 0);
  j.lines.clear();
  delete owner;
  // Each destructor body runs before the owned components go.
  EXPECT_EQ(j.lines, (std::vector<std::string>{"free Form destroying", "free B destroying", "free A destroying",
                                               "free A1 destroying"}));
}

TEST(Component, OwnerAndSiblingsAreToldOfInsertAndRemove) {
  Journal j;
  TProbe owner(nullptr, &j, "Form");
  TProbe* a = new TProbe(&owner, &j, "A");
  j.lines.clear();
  auto* b = new TProbe(&owner, &j);  // named after insertion: the notice carries ""
  b->SetName("B");
  delete b;
  // The owner passes every notice on to its components before it acts itself.
  EXPECT_EQ(j.lines, (std::vector<std::string>{"A +", "Form +", "free B destroying", "A -B", "Form -B"}));
  EXPECT_EQ(owner.ComponentCount(), 1);
  EXPECT_EQ(a->Owner(), &owner);
  // Inserting into another owner takes it from the first: one owner frees it.
  TComponent other(nullptr);
  other.InsertComponent(a);
  EXPECT_EQ(a->Owner(), &other);
  EXPECT_EQ(owner.ComponentCount(), 0);
  other.RemoveComponent(a);
  EXPECT_EQ(a->Owner(), nullptr);
  EXPECT_EQ(other.ComponentCount(), 0);
  delete a;
}

TEST(Component, FreeNotificationReachesComponentsOfOtherOwners) {
  Journal j;
  TProbe formA(nullptr, &j, "FormA");
  TProbe formB(nullptr, &j, "FormB");
  auto* target = new TProbe(&formA, &j, "Target");
  auto* user = new TProbe(&formB, &j, "User");
  user->FLink = target;
  target->FreeNotification(user);
  EXPECT_TRUE(target->ComponentState().Contains(csFreeNotification));
  delete target;
  EXPECT_EQ(user->FLink, nullptr);

  // Asked the other way round it works too: the pairing is mutual.
  auto* other = new TProbe(&formA, &j, "Other");
  user->FLink = other;
  user->FreeNotification(other);
  delete other;
  EXPECT_EQ(user->FLink, nullptr);

  // A withdrawn request is not answered.
  auto* third = new TProbe(&formA, &j, "Third");
  user->FLink = third;
  third->FreeNotification(user);
  third->RemoveFreeNotification(user);
  j.lines.clear();
  delete third;
  EXPECT_EQ(user->FLink, third);
  for (const std::string& line : j.lines) EXPECT_NE(line, "User -Third");
}

TEST(Component, ReceiverThatForgetsInheritedKeepsNoStalePairing) {
  struct TDeaf : TComponent {
    using TComponent::TComponent;
    int told = 0;
    void Notification(TComponent*, TOperation) override { ++told; }
  };
  TDeaf deaf(nullptr);
  {
    TComponent source(nullptr);
    source.FreeNotification(&deaf);
  }
  EXPECT_EQ(deaf.told, 1);
  // The next notice must not reach the freed source (ASan would see it).
  {
    TComponent again(nullptr);
    again.FreeNotification(&deaf);
  }
  EXPECT_EQ(deaf.told, 2);
}

TEST(Component, NameValidationAndFindComponent) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  a->SetName("Button1");
  auto* b = new TComponent(&owner);

  struct Case {
    std::string name;
    std::string error;  // empty when accepted
  };
  const Case cases[] = {
      {"1abc", "Component name \"1abc\" is not valid"},
      {"a b", "Component name \"a b\" is not valid"},
      {"K\xE4se", "Component name \"K\xE4se\" is not valid"},  // letters beyond ASCII are not identifiers
      {"BUTTON1", "A component named BUTTON1 already exists"},
      {"_Panel2", ""},
      {"", ""},
  };
  for (const Case& c : cases) {
    try {
      b->SetName(c.name);
      EXPECT_TRUE(c.error.empty()) << c.name;
      EXPECT_EQ(b->Name(), c.name);
    } catch (const EComponentError& e) {
      EXPECT_EQ(e.Message(), c.error) << c.name;
    }
  }
  // Renaming to a different case of its own name is fine.
  a->SetName("BUTTON1");
  EXPECT_EQ(owner.FindComponent("button1"), a);
  EXPECT_EQ(owner.FindComponent(""), nullptr);
  EXPECT_EQ(owner.FindComponent("Nope"), nullptr);
  // Inserting a component whose name is taken is refused.
  auto* stray = new TComponent(nullptr);
  stray->SetName("Button1");
  EXPECT_THROW(owner.InsertComponent(stray), EComponentError);
  EXPECT_EQ(stray->Owner(), nullptr);
  delete stray;
}

TEST(Component, StateDesigningLoadedAndNamePath) {
  TProbe owner(nullptr, nullptr, "Form1");
  owner.SetDesigning(true);
  auto* child = new TProbe(&owner, nullptr, "Edit1");
  EXPECT_TRUE(child->ComponentState().Contains(csDesigning));
  owner.SetDesigning(false);
  EXPECT_FALSE(child->ComponentState().Contains(csDesigning));
  child->BeginLoading();
  EXPECT_TRUE(child->ComponentState().Contains(csLoading));
  child->LoadedNow();
  EXPECT_FALSE(child->ComponentState().Contains(csLoading));
  EXPECT_EQ(child->GetNamePath(), "Edit1");
  child->SetTag(42);
  EXPECT_EQ(child->Tag(), 42);
  // Destroying marks the whole tree before any destructor body runs.
  owner.Destroying();
  EXPECT_TRUE(child->ComponentState().Contains(csDestroying));
}

TEST(Persistent, AssignErrorNamesBothClasses) {
  TStringList list;
  TComponent comp(nullptr);
  try {
    comp.Assign(&list);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a TStringList to a TComponent");
  }
  try {
    list.Assign(nullptr);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a nil to a TStringList");
  }
}

TEST(ClassRegistry, RegisterFindGetUnregister) {
  RegisterClasses({TProbe::StaticClass(), TStringList::StaticClass()});
  RegisterClass(TProbe::StaticClass());  // again: no effect
  EXPECT_EQ(FindClass("tprobe"), TProbe::StaticClass());
  EXPECT_EQ(GetClass("TStringList"), TStringList::StaticClass());
  EXPECT_EQ(GetClass("TNothing"), nullptr);
  try {
    FindClass("TNothing");
    FAIL();
  } catch (const EClassNotFound& e) {
    EXPECT_EQ(e.Message(), "Class TNothing not found");
  }
  // Another class under a taken name is refused.
  static const TClassInfo impostor{"TProbe", TComponent::StaticClass(), nullptr};
  EXPECT_THROW(RegisterClass(&impostor), EFilerError);
  UnRegisterClass(TProbe::StaticClass());
  EXPECT_EQ(GetClass("TProbe"), nullptr);
}

TEST(List, EditingAndBounds) {
  int v[5] = {0, 1, 2, 3, 4};
  TList list;
  for (int& x : v) list.Add(&x);
  list.Move(0, 4);      // 1 2 3 4 0
  list.Exchange(0, 1);  // 2 1 3 4 0
  list.Delete(2);       // 2 1 4 0
  list.Insert(1, &v[3]);  // 2 3 1 4 0
  EXPECT_EQ(list.Remove(&v[4]), 3);  // 2 3 1 0
  EXPECT_EQ(list.Remove(&v[4]), -1);
  std::vector<int> got;
  for (void* p : list.List()) got.push_back(*static_cast<int*>(p));
  EXPECT_EQ(got, (std::vector<int>{2, 3, 1, 0}));
  list.Sort([](void* a, void* b) { return *static_cast<int*>(a) - *static_cast<int*>(b); });
  EXPECT_EQ(list.First(), &v[0]);
  EXPECT_EQ(list.Last(), &v[3]);
  EXPECT_GE(list.Capacity(), list.Count());

  for (int bad : {-1, 4}) {
    try {
      list.Items(bad);
      FAIL() << bad;
    } catch (const EListError& e) {
      EXPECT_EQ(e.Message(), "List index out of bounds (" + std::to_string(bad) + ")");
    }
  }
  EXPECT_THROW(list.Insert(6, nullptr), EListError);
  EXPECT_THROW(list.Move(0, 9), EListError);
  list.SetCount(6);
  EXPECT_EQ(list.Items(5), nullptr);
  list.Pack();
  EXPECT_EQ(list.Count(), 4);
}

TEST(ObjectList, OwnsObjectsFreesOnDeleteClearAndDestroy) {
  Journal j;
  {
    TObjectList list;
    list.Add(new TProbe(nullptr, &j, "A"));
    list.Add(new TProbe(nullptr, &j, "B"));
    list.Add(new TProbe(nullptr, &j, "C"));
    TObject* c = list.Extract(list.Items(2));  // taken out, not freed
    list.Delete(0);
    EXPECT_EQ(j.lines, (std::vector<std::string>{"free A destroying"}));
    EXPECT_EQ(list.FindInstanceOf(TProbe::StaticClass()), 0);
    EXPECT_EQ(list.FindInstanceOf(TComponent::StaticClass()), -1);
    EXPECT_EQ(list.FindInstanceOf(TComponent::StaticClass(), false), 0);
    delete c;
  }
  EXPECT_EQ(j.lines.back(), "free B destroying");

  // Made from its class reference it owns its objects, as by default.
  std::unique_ptr<TObject> made(TObjectList::StaticClass()->Create());
  EXPECT_TRUE(static_cast<TObjectList*>(made.get())->OwnsObjects());

  j.lines.clear();
  TProbe kept(nullptr, &j, "Kept");
  {
    TObjectList borrowed(false);
    borrowed.Add(&kept);
  }
  EXPECT_TRUE(j.lines.empty());
}

TEST(Streams, MemoryAndStringStreams) {
  TMemoryStream m;
  m.WriteBuffer("hello world", 11);
  EXPECT_EQ(m.Size(), 11);
  m.SetPosition(6);
  char buf[8] = {};
  EXPECT_EQ(m.Read(buf, 8), 5);
  EXPECT_EQ(std::string(buf, 5), "world");
  EXPECT_EQ(m.Read(buf, 1), 0);
  EXPECT_THROW(m.ReadBuffer(buf, 1), EReadError);
  m.Seek(-5, soEnd);
  m.WriteBuffer("there!", 6);
  EXPECT_EQ(std::string(static_cast<char*>(m.Memory()), static_cast<std::size_t>(m.Size())), "hello there!");

  TStringStream s;
  EXPECT_EQ(s.CopyFrom(&m, 0), 12);
  EXPECT_EQ(s.DataString(), "hello there!");
  s.SetPosition(5);
  s.WriteString("!");  // a write ends the string after it
  EXPECT_EQ(s.DataString(), "hello!");
  s.SetPosition(0);
  EXPECT_EQ(s.ReadString(3), "hel");
  EXPECT_EQ(s.ReadString(99), "lo!");
  m.SetPosition(0);
  EXPECT_THROW(s.CopyFrom(&m, 20), EReadError);
}

class FileStreamTest : public qvtest::DesktopTest {};

TEST_F(FileStreamTest, CreateWriteReopenAndErrors) {
  std::string name = hostPath("Data.bin");
  {
    TFileStream f(name, fmCreate);
    f.WriteBuffer("abcdef", 6);
    f.SetSize(4);
    EXPECT_EQ(f.Size(), 4);
  }
  EXPECT_EQ(readFile(name), "abcd");
  {
    TFileStream f(hostPath("DATA.BIN"), fmOpenReadWrite | fmShareDenyWrite);
    f.Seek(0, soEnd);
    f.WriteBuffer("XY", 2);
  }
  EXPECT_EQ(readFile(name), "abcdXY");
  {
    TFileStream f(name, fmOpenRead);
    EXPECT_EQ(f.Write("z", 1), 0);
    EXPECT_THROW(f.WriteBuffer("z", 1), EWriteError);
    TMemoryStream m;
    m.LoadFromStream(&f);
    EXPECT_EQ(m.Size(), 6);
  }
  try {
    TFileStream f(hostPath("missing.txt"), fmOpenRead);
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message().rfind("Cannot open file \"" + hostPath("missing.txt") + "\". ", 0), 0u) << e.Message();
  }
  EXPECT_THROW(TFileStream(hostPath("no/such/dir/x.txt"), fmCreate), EFCreateError);
}

// The adapter moves the stream's own position and answers in the
// interface's terms; an owned stream goes with the last reference.
TEST(StreamAdapter, ReadsWritesSeeksAndFreesAnOwnedStream) {
  auto* stream = new TStringStream("abcdef");
  stream->SetPosition(2);
  auto* adapter = new TStreamAdapter(stream, soOwned);
  adapter->AddRef();
  char buf[8] = {};
  ULONG got = 0;
  EXPECT_EQ(adapter->Read(buf, 8, &got), S_FALSE);
  EXPECT_EQ(std::string(buf, got), "cdef");
  LARGE_INTEGER back{};
  back.QuadPart = -3;
  ULARGE_INTEGER at{};
  ASSERT_EQ(adapter->Seek(back, STREAM_SEEK_END, &at), S_OK);
  EXPECT_EQ(at.QuadPart, 3u);
  ULONG written = 0;
  EXPECT_EQ(adapter->Write("XYZW", 4, &written), S_OK);
  EXPECT_EQ(written, 4u);
  EXPECT_EQ(stream->DataString(), "abcXYZW");
  STATSTG stat{};
  ASSERT_EQ(adapter->Stat(&stat, STATFLAG_NONAME), S_OK);
  EXPECT_EQ(stat.cbSize.QuadPart, 7u);
  IStream* clone = nullptr;
  EXPECT_EQ(adapter->Clone(&clone), STG_E_INVALIDFUNCTION);
  adapter->Release();  // frees the stream too (checked by the sanitizer build)
}
