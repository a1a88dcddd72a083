#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/classlib/Collections.h"
#include "platform/classlib/TypInfo.h"

namespace {

class TBand : public TCollectionItem {
  QV_CLASS(TBand, TCollectionItem)
  std::string FText;
  void Assign(TPersistent* Source) override {
    if (auto* b = dynamic_cast<TBand*>(Source)) {
      FText = b->FText;
      return;
    }
    TCollectionItem::Assign(Source);
  }
  void Touch() { Changed(false); }

 protected:
  std::string GetDisplayName() const override { return FText.empty() ? TCollectionItem::GetDisplayName() : FText; }
};

// Records every Update it gets: the item's text, or "all".
class TBands : public TOwnedCollection {
  QV_CLASS(TBands, TOwnedCollection)
  explicit TBands(TPersistent* AOwner) : TOwnedCollection(AOwner, TBand::StaticClass()) {}
  std::vector<std::string> FUpdates;

 protected:
  void Update(TCollectionItem* Item) override {
    FUpdates.push_back(Item ? static_cast<TBand*>(Item)->FText : "all");
  }
};

class TBar : public TComponent {
  QV_CLASS(TBar, TComponent)
  explicit TBar(TComponent* AOwner) : TComponent(AOwner), FBands(this) {}
  TBands* Bands() { return &FBands; }
  QV_PUBLISHED(TBar) { P.Prop("Bands", &TBar::Bands); }

 private:
  TBands FBands;
};
QV_DEFINE_PUBLISHED(TBar)

TBand* add(TBands& c, const std::string& Text) {
  auto* b = As<TBand>(c.Add());
  b->FText = Text;
  return b;
}

std::vector<std::string> texts(TCollection& c) {
  std::vector<std::string> out;
  for (int i = 0; i < c.Count(); ++i) out.push_back(As<TBand>(c.Items(i))->FText);
  return out;
}

TEST(Collections, AddInsertDeleteAndIds) {
  TBands bands(nullptr);
  add(bands, "a");
  TBand* b = add(bands, "b");
  bands.Delete(0);
  TBand* c = add(bands, "c");
  EXPECT_EQ(b->ID(), 1);
  EXPECT_EQ(c->ID(), 2);  // IDs are not reused
  auto* first = As<TBand>(bands.Insert(0));
  first->FText = "first";
  EXPECT_EQ(texts(bands), (std::vector<std::string>{"first", "b", "c"}));
  EXPECT_EQ(bands.FindItemID(2), c);
  EXPECT_EQ(bands.FindItemID(0), nullptr);
  EXPECT_EQ(c->Index(), 2);
  EXPECT_THROW(bands.Items(3), EListError);
  delete b;  // an item freed on its own leaves the collection
  EXPECT_EQ(texts(bands), (std::vector<std::string>{"first", "c"}));
}

TEST(Collections, SetIndexMovesAndReportsAllChanged) {
  TBands bands(nullptr);
  add(bands, "a");
  add(bands, "b");
  TBand* c = add(bands, "c");
  bands.FUpdates.clear();
  c->SetIndex(2);
  EXPECT_TRUE(bands.FUpdates.empty());
  c->SetIndex(0);
  EXPECT_EQ(texts(bands), (std::vector<std::string>{"c", "a", "b"}));
  EXPECT_EQ(bands.FUpdates, std::vector<std::string>{"all"});
  TBand loose;
  loose.SetIndex(3);  // outside a collection: nothing
  EXPECT_EQ(loose.Index(), -1);
}

TEST(Collections, UpdatesWaitForTheOutermostEndUpdate) {
  TBands bands(nullptr);
  TBand* a = add(bands, "a");
  bands.FUpdates.clear();
  a->Touch();
  EXPECT_EQ(bands.FUpdates, std::vector<std::string>{"a"});
  bands.FUpdates.clear();
  bands.BeginUpdate();
  bands.BeginUpdate();
  add(bands, "b");
  a->Touch();
  bands.EndUpdate();
  EXPECT_TRUE(bands.FUpdates.empty());
  bands.EndUpdate();
  EXPECT_EQ(bands.FUpdates, std::vector<std::string>{"all"});
  bands.FUpdates.clear();
  bands.Clear();
  EXPECT_EQ(bands.Count(), 0);
  EXPECT_EQ(bands.FUpdates, std::vector<std::string>{"all"});
}

TEST(Collections, AssignReplacesItemsAndNamePathsNameTheProperty) {
  TBar bar(nullptr);
  bar.SetName("Bar1");
  add(*bar.Bands(), "old");
  TBands source(nullptr);
  add(source, "x");
  add(source, "y");
  bar.Bands()->Assign(&source);
  EXPECT_EQ(texts(*bar.Bands()), (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(bar.Bands()->GetNamePath(), "Bar1.Bands");
  EXPECT_EQ(bar.Bands()->Items(1)->GetNamePath(), "Bar1.Bands[1]");
  EXPECT_EQ(bar.Bands()->Owner(), &bar);
  EXPECT_EQ(bar.Bands()->Items(0)->DisplayName(), "x");
  TBand unnamed;
  EXPECT_EQ(unnamed.DisplayName(), "TBand");
  TBar other(nullptr);
  EXPECT_THROW(bar.Bands()->Assign(&other), EConvertError);
}

}  // namespace
