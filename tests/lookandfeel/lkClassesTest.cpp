#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "DesktopTest.h"
#include "lookandfeel/lkClasses.h"
#include "platform/classlib/Filer.h"
#include "platform/classlib/TypInfo.h"

namespace {

class TTestCollection;

// Who was freed, in order, across all test objects.
std::vector<std::string> freed;

// A control that keeps its items in a collection and streams them as its
// children, as the navigation bar does.
class TItemHost : public TComponent {
  QV_CLASS(TItemHost, TComponent)
  explicit TItemHost(TComponent* AOwner);
  ~TItemHost() override;
  void GetChildren(const qv::classlib::TGetChildProc& Proc, TComponent* Root) override;
  TTestCollection* Items;
};

class TTestItem : public TlkComponentCollectionItem {
  QV_CLASS(TTestItem, TlkComponentCollectionItem)
  using TlkComponentCollectionItem::TlkComponentCollectionItem;
  ~TTestItem() override { freed.push_back(Name()); }
  TlkComponentCollection* CollectionOfParent(TComponent* AParent) override;
  void Assign(TPersistent* Source) override {
    auto* other = dynamic_cast<TTestItem*>(Source);
    if (!other) return TlkComponentCollectionItem::Assign(Source);
    if (other->Caption == "poison") throw EConvertError("cannot copy");
    Caption = other->Caption;
  }
  std::string Caption;
  const std::string& GetCaption() const { return Caption; }
  void SetCaption(const std::string& Value) { Caption = Value; }
  QV_PUBLISHED(TTestItem) { P.Prop("Caption", &TTestItem::GetCaption, &TTestItem::SetCaption); }
};
QV_DEFINE_PUBLISHED(TTestItem)

// Of the collection's base class, but not of its item class.
class TForeignItem : public TlkComponentCollectionItem {
  QV_CLASS(TForeignItem, TlkComponentCollectionItem)
  using TlkComponentCollectionItem::TlkComponentCollectionItem;
  TlkComponentCollection* CollectionOfParent(TComponent*) override { return nullptr; }
};

using Change = std::tuple<TlkComponentCollectionItem*, TlkCollectionChangeAction>;

class TTestCollection : public TlkComponentCollection {
  QV_CLASS(TTestCollection, TlkComponentCollection)
  explicit TTestCollection(TComponent* AParent) : TlkComponentCollection(AParent, TTestItem::StaticClass()) {
    OnChange = [this](TObject* Sender, TlkComponentCollectionItem* Item, TlkCollectionChangeAction Action) {
      EXPECT_EQ(Sender, this);
      changes.emplace_back(Item, Action);
      countAtChange.push_back(Count());
    };
  }
  // The hook's calls with the item's index at that moment.
  std::vector<std::tuple<TlkComponentCollectionItem*, TlkCollectionChangeAction, int>> hooks;
  std::vector<Change> changes;
  std::vector<int> countAtChange;

 protected:
  void NotifyItemEvent(TlkComponentCollectionItem* Item, TlkCollectionChangeAction Action) override {
    hooks.emplace_back(Item, Action, Item->Index());
  }
  // The first free "ItemN" of the form.
  void AssignItemName(TlkComponentCollectionItem* Item) override {
    for (int n = 1;; ++n) {
      const std::string name = "Item" + std::to_string(n);
      if (!Item->Owner() || !Item->Owner()->FindComponent(name)) return Item->SetName(name);
    }
  }
};

TItemHost::TItemHost(TComponent* AOwner) : TComponent(AOwner), Items(new TTestCollection(this)) {}
TItemHost::~TItemHost() { delete Items; }
void TItemHost::GetChildren(const qv::classlib::TGetChildProc& Proc, TComponent*) {
  for (int i = 0; i < Items->Count(); ++i) Proc(Items->Items(i));
}

TlkComponentCollection* TTestItem::CollectionOfParent(TComponent* AParent) {
  auto* host = dynamic_cast<TItemHost*>(AParent);
  return host ? host->Items : nullptr;
}

class TItemForm : public TComponent {
  QV_CLASS(TItemForm, TComponent)
  using TComponent::TComponent;
};

class CollectionTest : public ::testing::Test {
 protected:
  void SetUp() override { freed.clear(); }
  std::unique_ptr<TItemForm> form = std::make_unique<TItemForm>(nullptr);
  TItemHost* host = new TItemHost(form.get());
  TTestCollection& items = *host->Items;
  std::vector<TTestItem*> add(int n) {
    std::vector<TTestItem*> out;
    for (int i = 0; i < n; ++i) out.push_back(static_cast<TTestItem*>(items.Add()));
    return out;
  }
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (int i = 0; i < items.Count(); ++i) out.push_back(items.Items(i)->Name());
    return out;
  }
};

TEST_F(CollectionTest, AddCreatesANamedItemOwnedByTheFormAtTheEnd) {
  auto added = add(3);
  EXPECT_EQ(names(), (std::vector<std::string>{"Item1", "Item2", "Item3"}));
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(added[i]->Owner(), form.get());
    EXPECT_EQ(added[i]->Collection(), &items);
    EXPECT_EQ(added[i]->Index(), i);
    EXPECT_EQ(added[i]->ID(), i);
    EXPECT_EQ(added[i]->GetParentComponent(), host);
    EXPECT_EQ(added[i]->NameForDisplay(), "Item" + std::to_string(i + 1));
  }
  EXPECT_EQ(items.GetOwner(), host);
  // Each join: the hook, then the report (the name comes after both).
  EXPECT_EQ(items.changes,
            (std::vector<Change>{{added[0], caItemAdded}, {added[1], caItemAdded}, {added[2], caItemAdded}}));
  EXPECT_EQ(std::get<1>(items.hooks[0]), caItemAdded);
  EXPECT_EQ(std::get<2>(items.hooks[0]), 0);
}

TEST_F(CollectionTest, AFreedItemLeavesItsCollectionAndItsIdIsNotReused) {
  auto added = add(3);
  items.hooks.clear();
  items.changes.clear();
  delete added[1];
  // Removing is told while the item is still listed, extracted after.
  ASSERT_EQ(items.hooks.size(), 2u);
  EXPECT_EQ(items.hooks[0], std::make_tuple(static_cast<TlkComponentCollectionItem*>(added[1]), caItemRemoving, 1));
  EXPECT_EQ(items.hooks[1], std::make_tuple(static_cast<TlkComponentCollectionItem*>(added[1]), caItemExtracted, -1));
  EXPECT_EQ(items.changes, (std::vector<Change>{{added[1], caItemExtracted}}));
  EXPECT_EQ(names(), (std::vector<std::string>{"Item1", "Item3"}));
  EXPECT_EQ(added[2]->Index(), 1);
  EXPECT_EQ(form->ComponentCount(), 3);  // host and two items

  EXPECT_EQ(add(1)[0]->ID(), 3);
}

TEST_F(CollectionTest, SetIndexMovesTheItemAndReportsAllItemsChanged) {
  auto added = add(3);
  items.changes.clear();
  added[0]->SetIndex(2);
  EXPECT_EQ(names(), (std::vector<std::string>{"Item2", "Item3", "Item1"}));
  EXPECT_EQ(items.changes, (std::vector<Change>{{nullptr, caItemChanged}}));

  added[0]->SetIndex(2);  // where it is: nothing
  EXPECT_EQ(items.changes.size(), 1u);
  EXPECT_THROW(added[0]->SetIndex(3), EListError);
  EXPECT_EQ(names(), (std::vector<std::string>{"Item2", "Item3", "Item1"}));

  TTestItem loose(nullptr);
  loose.SetIndex(1);
  EXPECT_EQ(loose.Index(), -1);
  EXPECT_EQ(items.changes.size(), 1u);
}

TEST_F(CollectionTest, NotifyChangedReportsTheItemOrAllItemsWhileInACollection) {
  auto added = add(2);
  items.changes.clear();
  added[1]->NotifyChanged(false);
  added[1]->NotifyChanged(true);
  added[1]->SetCollection(nullptr);
  items.changes.clear();
  added[1]->NotifyChanged(false);
  EXPECT_TRUE(items.changes.empty());
  added[0]->NotifyChanged(false);
  EXPECT_EQ(items.changes, (std::vector<Change>{{added[0], caItemChanged}}));
  delete added[1];
}

TEST_F(CollectionTest, ChangeBracketsNestAndReportOnceAtTheOutermostForcedEnd) {
  items.BeginChanges();
  items.BeginChanges();
  auto added = add(2);
  added[0]->NotifyChanged(false);
  items.EndChanges(true);  // still inside the outer bracket
  EXPECT_TRUE(items.changes.empty());
  items.EndChanges(true);
  EXPECT_EQ(items.changes, (std::vector<Change>{{nullptr, caItemChanged}}));

  // An unforced end reports nothing, nor what happened inside.
  items.changes.clear();
  items.BeginChanges();
  add(1);
  items.EndChanges(false);
  EXPECT_TRUE(items.changes.empty());
  // Changes after the bracket are reported again.
  added[0]->NotifyChanged(false);
  EXPECT_EQ(items.changes.size(), 1u);
}

TEST_F(CollectionTest, FreeAllItemsFreesLastFirstWithOneReportAfterwards) {
  items.FreeAllItems();
  EXPECT_TRUE(items.changes.empty());  // empty: no report at all

  add(3);
  items.changes.clear();
  items.countAtChange.clear();
  items.FreeAllItems();
  EXPECT_EQ(freed, (std::vector<std::string>{"Item3", "Item2", "Item1"}));
  EXPECT_EQ(items.changes, (std::vector<Change>{{nullptr, caItemChanged}}));
  EXPECT_EQ(items.countAtChange, (std::vector<int>{0}));
  EXPECT_EQ(form->ComponentCount(), 1);
}

TEST_F(CollectionTest, DestroyingTheCollectionFreesItsItemsSilently) {
  add(2);
  std::vector<Change> reported;
  items.OnChange = [&](TObject*, TlkComponentCollectionItem* Item, TlkCollectionChangeAction Action) {
    reported.emplace_back(Item, Action);
  };
  delete host;
  EXPECT_TRUE(reported.empty());
  EXPECT_EQ(freed, (std::vector<std::string>{"Item2", "Item1"}));
  EXPECT_EQ(form->ComponentCount(), 0);
}

TEST_F(CollectionTest, TheFormFreesItsItemsAndTheyLeaveTheCollection) {
  add(2);
  form.reset();  // frees the items (created last) before the host
  EXPECT_EQ(freed, (std::vector<std::string>{"Item2", "Item1"}));
}

TEST_F(CollectionTest, OnlyItemsOfTheItemClassJoin) {
  TForeignItem foreign(form.get());
  foreign.MoveToCollection(&items);
  EXPECT_EQ(foreign.Collection(), nullptr);
  EXPECT_EQ(items.Count(), 0);
  EXPECT_TRUE(items.changes.empty());

  // Moving between collections leaves the old one first and takes a new id.
  TItemHost other(nullptr);
  auto added = add(2);
  items.changes.clear();
  added[0]->MoveToCollection(other.Items);
  EXPECT_EQ(items.changes, (std::vector<Change>{{added[0], caItemExtracted}}));
  EXPECT_EQ(other.Items->changes, (std::vector<Change>{{added[0], caItemAdded}}));
  EXPECT_EQ(added[0]->ID(), 0);
  EXPECT_EQ(added[0]->GetParentComponent(), &other);
  EXPECT_EQ(items.Count(), 1);
  delete added[0];
}

TEST_F(CollectionTest, ItemsOutsideTheListRaiseTheListIndexError) {
  add(3);
  for (int bad : {-1, 3}) {
    try {
      items.Items(bad);
      ADD_FAILURE() << bad;
    } catch (const EListError& e) {
      EXPECT_EQ(e.Message(), "List index out of bounds (" + std::to_string(bad) + ")");
    }
  }
}

TEST_F(CollectionTest, AssignCopiesTheItemsOfAnotherCollectionWithOneReport) {
  TItemHost source(form.get());
  for (const char* caption : {"a", "b"}) static_cast<TTestItem*>(source.Items->Add())->Caption = caption;
  add(3);
  items.changes.clear();
  items.Assign(source.Items);
  ASSERT_EQ(items.Count(), 2);
  EXPECT_EQ(static_cast<TTestItem*>(items.Items(0))->Caption, "a");
  EXPECT_EQ(static_cast<TTestItem*>(items.Items(1))->Caption, "b");
  EXPECT_EQ(items.changes, (std::vector<Change>{{nullptr, caItemChanged}}));

  // Onto itself: nothing is lost.
  items.Assign(&items);
  EXPECT_EQ(items.Count(), 2);

  TStringList notACollection;
  EXPECT_THROW(items.Assign(&notACollection), EConvertError);
}

TEST_F(CollectionTest, AFailedAssignStillClosesTheBracket) {
  TItemHost source(form.get());
  for (const char* caption : {"a", "poison", "c"}) static_cast<TTestItem*>(source.Items->Add())->Caption = caption;
  items.changes.clear();
  EXPECT_THROW(items.Assign(source.Items), EConvertError);
  EXPECT_EQ(items.changes, (std::vector<Change>{{nullptr, caItemChanged}}));
  items.changes.clear();
  add(1);
  EXPECT_EQ(items.changes.size(), 1u);  // reporting again
}

TEST_F(CollectionTest, FormStreamingMakesItemsChildrenOfTheirControl) {
  RegisterClasses({TItemForm::StaticClass(), TItemHost::StaticClass(), TTestItem::StaticClass()});
  const std::string text = R"(object Form: TItemForm
  object Host: TItemHost
    object First: TTestItem
      Caption = 'one'
    end
    object Second: TTestItem
      Caption = 'two'
    end
  end
end
)";
  TItemForm loaded(nullptr);
  qv::classlib::readComponentText(text, &loaded);
  auto* read = dynamic_cast<TItemHost*>(loaded.FindComponent("Host"));
  ASSERT_NE(read, nullptr);
  ASSERT_EQ(read->Items->Count(), 2);
  EXPECT_EQ(read->Items->Items(0)->Name(), "First");
  EXPECT_EQ(read->Items->Items(1)->Name(), "Second");
  EXPECT_EQ(read->Items->Items(1)->Owner(), &loaded);
  EXPECT_EQ(static_cast<TTestItem*>(read->Items->Items(1))->Caption, "two");
  // Written back as children of the control, not of the form.
  EXPECT_EQ(qv::classlib::writeComponentText(&loaded), text);
}

// ---------------------------------------------------------------------------

class TLinked : public TlkComponent {
  QV_CLASS(TLinked, TlkComponent)
  using TlkComponent::TlkComponent;
  std::vector<TComponent*> depends;
  void Load() { Loaded(); }

 protected:
  void GetFakeComponentLinks(TList* List) override {
    for (TComponent* c : depends) List->Add(c);
  }
};

TEST(lkComponent, LinksItsDependenciesOnlyInDesignState) {
  TComponent form(nullptr);
  auto* a = new TComponent(&form);
  auto* b = new TComponent(&form);
  auto* linked = new TLinked(&form);
  linked->depends = {a, b};
  linked->Load();
  EXPECT_EQ(linked->FakeComponentLink(0), nullptr);  // run time: empty

  form.SetDesigning(true);
  linked->Load();
  EXPECT_EQ(linked->FakeComponentLink(0), a);
  EXPECT_EQ(linked->FakeComponentLink(1), b);
  EXPECT_EQ(linked->FakeComponentLink(2), nullptr);
  delete a;
  EXPECT_EQ(linked->FakeComponentLink(0), nullptr);

  TLinked ownerless(nullptr);
  ownerless.SetDesigning(true);
  ownerless.depends = {b};
  ownerless.Load();
  EXPECT_EQ(ownerless.FakeComponentLink(0), nullptr);
}

class TNoted : public TObject {
  QV_CLASS(TNoted, TObject)
  explicit TNoted(std::string AName = {}) : name(std::move(AName)) {}
  ~TNoted() override { freed.push_back(name); }
  std::string name;
};

TEST(lkObjectList, ClearAndDestructionFreeTheObjectsFirstToLast) {
  freed.clear();
  {
    TlkObjectList list;
    list.Add(new TNoted("a"));
    list.Add(new TNoted("b"));
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(freed, (std::vector<std::string>{"a", "b"}));
    list.Add(new TNoted("c"));
  }
  EXPECT_EQ(freed, (std::vector<std::string>{"a", "b", "c"}));
}

TEST(lkInterfacedPersistent, KnowsItsOwnerAndOutlivesItsReferences) {
  TComponent owner(nullptr);
  auto* object = new TlkInterfacedPersistent(&owner);
  EXPECT_EQ(object->GetOwner(), &owner);
  IUnknown* unk = nullptr;
  ASSERT_EQ(object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unk)), S_OK);
  unk->Release();
  unk->Release();
  EXPECT_EQ(object->GetOwner(), &owner);  // still alive
  delete object;
}

TEST(lkValueRoutines, RangeMidpointRoundsDown) {
  const std::tuple<int, int, int> cases[] = {
      {2, 3, 2}, {-1, 0, -1}, {0, 0, 0}, {-2, -1, -2}, {-3, 0, -2}, {10, 20, 15}, {0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF},
  };
  for (auto [a, b, mid] : cases) EXPECT_EQ(RangeMidpoint(a, b), mid) << a << ", " << b;
  const SIZE s = MakeSize(4, 7);
  EXPECT_EQ(s.cx, 4);
  EXPECT_EQ(s.cy, 7);
}

TEST(lkValueRoutines, ResourceStringsComeAsTheClassLibraryLoadsThem) {
  const TResStringRec inTable{61000, "Compiled"};
  const TResStringRec notInTable{61001, "Compiled"};
  EXPECT_EQ(lkLoadResString(&inTable), "Aus der Tabelle");
  EXPECT_EQ(lkLoadResString(&notInTable), "Compiled");
}

}  // namespace
