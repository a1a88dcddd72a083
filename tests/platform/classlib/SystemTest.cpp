#include <gtest/gtest.h>

#include "platform/classlib/Classes.h"
#include "platform/classlib/SysUtils.h"
#include "platform/classlib/System.h"

namespace {

class TShape : public TPersistent {
  QV_CLASS(TShape, TPersistent)
  virtual int Corners() const = 0;
};

class TSquare : public TShape {
  QV_CLASS(TSquare, TShape)
  int Corners() const override { return 4; }
};

class TWidget : public TComponent {
  QV_CLASS(TWidget, TComponent)
  using TComponent::TComponent;
};

}  // namespace

TEST(ClassReference, NameParentAndInheritance) {
  TSquare sq;
  EXPECT_EQ(sq.ClassName(), "TSquare");
  EXPECT_EQ(sq.ClassType(), TSquare::StaticClass());
  EXPECT_EQ(sq.ClassParent(), TShape::StaticClass());
  EXPECT_EQ(TShape::StaticClass()->ClassParent(), TPersistent::StaticClass());
  EXPECT_TRUE(sq.InheritsFrom(TObject::StaticClass()));
  EXPECT_TRUE(sq.InheritsFrom(TShape::StaticClass()));
  EXPECT_FALSE(sq.InheritsFrom(TComponent::StaticClass()));
  EXPECT_FALSE(TShape::StaticClass()->InheritsFrom(TSquare::StaticClass()));
  EXPECT_TRUE(sq.ClassNameIs("tsquare"));
  // The record a base pointer reaches is the object's own class.
  TObject* base = &sq;
  EXPECT_EQ(base->ClassName(), "TSquare");
}

TEST(ClassReference, FactoryCreatesComponentsWithTheirOwner) {
  TComponent owner(nullptr);
  TObject* made = TWidget::StaticClass()->Create(&owner);
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->ClassName(), "TWidget");
  EXPECT_EQ(owner.ComponentCount(), 1);
  EXPECT_EQ(static_cast<TComponent*>(made)->Owner(), &owner);

  // Abstract classes cannot be made from their reference; plain ones can.
  EXPECT_EQ(TShape::StaticClass()->Create(), nullptr);
  std::unique_ptr<TObject> sq(TSquare::StaticClass()->Create());
  ASSERT_NE(sq, nullptr);
  EXPECT_EQ(static_cast<TSquare*>(sq.get())->Corners(), 4);
}

TEST(ClassReference, IsAndAs) {
  TSquare sq;
  TStringList list;
  TObject* a = &sq;
  TObject* b = &list;
  EXPECT_TRUE(Is<TShape>(a));
  EXPECT_FALSE(Is<TShape>(b));
  EXPECT_FALSE(Is<TShape>(nullptr));
  EXPECT_EQ(As<TShape>(a), &sq);
  EXPECT_EQ(As<TShape>(nullptr), nullptr);
  try {
    As<TShape>(b);
    FAIL() << "As<> of an unrelated class must raise";
  } catch (const EInvalidCast& e) {
    EXPECT_EQ(e.Message(), "Invalid class typecast");
  }
}

TEST(ClassReference, FreeAndNilClearsThePointer) {
  auto* list = new TStringList;
  FreeAndNil(list);
  EXPECT_EQ(list, nullptr);
  FreeAndNil(list);  // null stays harmless
}

TEST(Sets, MembershipAndOperators) {
  enum TColorItem { cRed, cGreen, cBlue };
  using TColors = TSet<TColorItem>;
  TColors s{cRed, cBlue};
  EXPECT_TRUE(s.Contains(cRed));
  EXPECT_FALSE(s.Contains(cGreen));
  s.Include(cGreen).Exclude(cRed);
  EXPECT_TRUE(s == (TColors{cGreen, cBlue}));
  EXPECT_TRUE((s - TColors{cBlue}) == TColors{cGreen});
  EXPECT_TRUE((s * TColors{cBlue, cRed}) == TColors{cBlue});
  EXPECT_TRUE(TColors{cBlue} <= s);
  EXPECT_FALSE(TColors{cRed} <= s);
  EXPECT_TRUE(TColors().Empty());
}

TEST(Exceptions, ClassNamesHierarchyAndMessages) {
  try {
    throw EFOpenError("Cannot open file \"%s\". %s", {"a.txt", "gone"});
  } catch (const Exception& e) {
    EXPECT_EQ(e.ClassName(), "EFOpenError");
    EXPECT_TRUE(e.InheritsFrom(EStreamError::StaticClass()));
    EXPECT_FALSE(e.InheritsFrom(EConvertError::StaticClass()));
    EXPECT_EQ(e.Message(), "Cannot open file \"a.txt\". gone");
    EXPECT_STREQ(e.what(), "Cannot open file \"a.txt\". gone");
  }
  // A single string is taken as it is, "%" included.
  EXPECT_EQ(Exception("100%").Message(), "100%");
  EXPECT_THROW(Abort(), EAbort);
}

TEST(Exceptions, RaiseLastOSErrorCarriesCodeAndText) {
  try {
    RaiseLastOSError(ERROR_FILE_NOT_FOUND);
    FAIL();
  } catch (const EOSError& e) {
    EXPECT_EQ(e.ErrorCode(), 2u);
    EXPECT_EQ(e.Message(), "System Error.  Code: 2.\r\nThe system cannot find the file specified.");
  }
  SetLastError(0);
  try {
    RaiseLastOSError();
    FAIL();
  } catch (const EOSError& e) {
    EXPECT_EQ(e.ErrorCode(), 0u);
    EXPECT_EQ(e.Message(), "A call to an OS function failed");
  }
}
