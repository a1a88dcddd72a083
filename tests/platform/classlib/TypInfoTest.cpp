#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/classlib/TypInfo.h"

namespace {

enum TShape { stRectangle, stCircle, stTriangle };
QV_ENUM_TYPE(TShape, stRectangle, stCircle, stTriangle)
using TShapes = TSet<TShape>;

class TOutline : public TPersistent {
  QV_CLASS(TOutline, TPersistent)
  int FWidth = 1;
  QV_PUBLISHED(TOutline) { P.Field("Width", &TOutline::FWidth).Default(1); }
};
QV_DEFINE_PUBLISHED(TOutline)

class TShapeBase : public TComponent {
  QV_CLASS(TShapeBase, TComponent)
  using TComponent::TComponent;
  int Left() const { return FLeft; }
  void SetLeft(int Value) {
    FLeft = Value;
    ++FSetCount;
  }
  int FLeft = 0;
  int FSetCount = 0;
  std::string FHint;
  TNotifyEvent OnClick;
  QV_PUBLISHED(TShapeBase) {
    P.Prop("Left", &TShapeBase::Left, &TShapeBase::SetLeft);
    P.Field("Hint", &TShapeBase::FHint);
    P.Event("OnClick", &TShapeBase::OnClick);
  }
};
QV_DEFINE_PUBLISHED(TShapeBase)

class TShapeControl : public TShapeBase {
  QV_CLASS(TShapeControl, TShapeBase)
  using TShapeBase::TShapeBase;
  TShape FShape = stRectangle;
  TShapes FAllowed{stRectangle};
  bool FFilled = true;
  double FAngle = 0;
  TOutline* Pen() const { return FPen.get(); }
  TComponent* FPartner = nullptr;
  std::vector<std::string> FClicks;
  std::function<void(TObject*, int&)> OnMeasure;
  void ShapeClick(TObject* Sender) { FClicks.push_back(As<TComponent>(Sender)->Name()); }
  void ShapeMeasure(TObject* Sender, int& Height) {
    (void)Sender;
    Height = 42;
  }
  bool IsAngleStored() const { return FAngle != 0; }
  QV_PUBLISHED(TShapeControl) {
    P.Field("Shape", &TShapeControl::FShape).Default(stRectangle);
    P.Field("Allowed", &TShapeControl::FAllowed).Default(TShapes{stRectangle});
    P.Field("Filled", &TShapeControl::FFilled).Default(true);
    P.Field("Angle", &TShapeControl::FAngle).Stored(&TShapeControl::IsAngleStored);
    P.Prop("Pen", &TShapeControl::Pen);
    P.Field("Partner", &TShapeControl::FPartner);
    P.Field("Left", &TShapeControl::FLeft).Default(5);  // redeclared with a default
    P.Event("OnMeasure", &TShapeControl::OnMeasure);
    P.Method("ShapeClick", &TShapeControl::ShapeClick);
    P.Method("ShapeMeasure", &TShapeControl::ShapeMeasure);
  }

 private:
  std::unique_ptr<TOutline> FPen = std::make_unique<TOutline>();
};
QV_DEFINE_PUBLISHED(TShapeControl)

std::vector<std::string> names(const TPropList& list) {
  std::vector<std::string> out;
  for (PPropInfo p : list) out.push_back(p->Name);
  return out;
}

TEST(TypInfo, ListsAncestorsFirstAndFindsNamesIgnoringCase) {
  EXPECT_EQ(names(GetPropList(TShapeControl::StaticClass())),
            (std::vector<std::string>{"Left", "Hint", "OnClick", "Shape", "Allowed", "Filled", "Angle", "Pen",
                                      "Partner", "OnMeasure"}));
  EXPECT_EQ(names(GetPropList(TShapeBase::StaticClass())), (std::vector<std::string>{"Left", "Hint", "OnClick"}));
  TShapeControl c(nullptr);
  PPropInfo left = GetPropInfo(&c, "LEFT");
  ASSERT_NE(left, nullptr);
  EXPECT_EQ(left->Owner, TShapeControl::StaticClass());  // the redeclaration
  EXPECT_TRUE(left->HasDefault);
  EXPECT_TRUE(IsPublishedProp(&c, "shape"));
  EXPECT_FALSE(IsPublishedProp(&c, "Name"));
  EXPECT_EQ(PropType(&c, "Pen"), tkClass);
  EXPECT_EQ(PropType(&c, "Filled"), tkEnumeration);
  EXPECT_EQ(PropType(&c, "OnClick"), tkMethod);
  EXPECT_EQ(GetPropInfo(&c, "Partner")->IsComponentRef(), true);
  EXPECT_EQ(GetPropInfo(&c, "Pen")->IsComponentRef(), false);
}

TEST(TypInfo, ReadsAndWritesEveryKindByName) {
  TShapeControl c(nullptr);
  TShapeBase other(nullptr);
  SetOrdProp(&c, "Left", 12);
  EXPECT_EQ(GetOrdProp(&c, "Left"), 12);
  SetStrProp(&c, "Hint", "tip");
  EXPECT_EQ(GetStrProp(&c, "Hint"), "tip");
  SetEnumProp(&c, "Shape", "STCIRCLE");
  EXPECT_EQ(c.FShape, stCircle);
  EXPECT_EQ(GetEnumProp(&c, "Shape"), "stCircle");
  SetEnumProp(&c, "Filled", "False");
  EXPECT_FALSE(c.FFilled);
  SetSetProp(&c, "Allowed", "[stCircle, stTriangle]");
  EXPECT_TRUE((c.FAllowed == TShapes{stCircle, stTriangle}));
  EXPECT_EQ(GetSetProp(&c, "Allowed"), "stCircle,stTriangle");
  EXPECT_EQ(GetSetProp(&c, "Allowed", true), "[stCircle,stTriangle]");
  SetSetProp(&c, "Allowed", "");
  EXPECT_TRUE(c.FAllowed.Empty());
  SetFloatProp(&c, "Angle", 22.5);
  EXPECT_DOUBLE_EQ(GetFloatProp(&c, "Angle"), 22.5);
  EXPECT_EQ(GetObjectProp(&c, "Pen"), c.Pen());
  SetObjectProp(&c, "Partner", &other);
  EXPECT_EQ(c.FPartner, &other);
}

TEST(TypInfo, EventsBindToPublishedMethodsByName) {
  TShapeControl c(nullptr);
  c.SetName("Shape1");
  EXPECT_FALSE(GetMethodProp(&c, "OnClick").Assigned);
  SetMethodProp(&c, "OnClick", &c, "shapeclick");
  ASSERT_TRUE(c.OnClick);
  c.OnClick(&c);
  EXPECT_EQ(c.FClicks, std::vector<std::string>{"Shape1"});
  TMethod m = GetMethodProp(&c, "OnClick");
  EXPECT_EQ(m.Data, &c);
  EXPECT_EQ(m.Name, "ShapeClick");

  SetMethodProp(&c, "OnMeasure", &c, "ShapeMeasure");
  int height = 0;
  c.OnMeasure(&c, height);
  EXPECT_EQ(height, 42);

  // An event set in code is bound but has no published name.
  c.OnClick = [](TObject*) {};
  m = GetMethodProp(&c, "OnClick");
  EXPECT_TRUE(m.Assigned);
  EXPECT_EQ(m.Name, "");
  SetMethodProp(&c, "OnClick", &c, "");
  EXPECT_FALSE(c.OnClick);
}

TEST(TypInfo, BadNamesAndValuesRaise) {
  TShapeControl c(nullptr);
  EXPECT_THROW(GetOrdProp(&c, "Width"), EPropertyError);
  EXPECT_THROW(SetEnumProp(&c, "Shape", "stSquare"), EPropertyConvertError);
  EXPECT_THROW(SetSetProp(&c, "Allowed", "[stCircle, stOval]"), EPropertyConvertError);
  EXPECT_THROW(SetMethodProp(&c, "OnClick", &c, "NoSuchMethod"), EPropertyError);
  // A method of another signature does not fit the event.
  EXPECT_THROW(SetMethodProp(&c, "OnClick", &c, "ShapeMeasure"), EPropertyConvertError);
  TOutline pen;
  EXPECT_THROW(SetObjectProp(&c, "Partner", &pen), EPropertyConvertError);
  try {
    GetStrProp(&c, "Caption");
  } catch (EPropertyError& e) {
    EXPECT_EQ(e.Message(), "Property Caption does not exist");
  }
}

TEST(TypInfo, StoredPredicatesAndDefaults) {
  TShapeControl c(nullptr);
  PPropInfo angle = GetPropInfo(&c, "Angle");
  EXPECT_FALSE(IsStoredProp(&c, angle));
  c.FAngle = 1;
  EXPECT_TRUE(IsStoredProp(&c, angle));
  EXPECT_EQ(GetPropInfo(&c, "Allowed")->Default, static_cast<std::int64_t>(TShapes{stRectangle}.Bits()));
  EXPECT_FALSE(GetPropInfo(&c, "Hint")->HasDefault);
}

TEST(TypInfo, IdentMapsOfIntegerTypes) {
  static const TIdentMapEntry cursors[] = {{0, "crDefault"}, {-21, "crHandPoint"}};
  PTypeInfo cursor = qv::classlib::namedIntegerType("TTestCursor");
  EXPECT_EQ(cursor, qv::classlib::namedIntegerType("ttestcursor"));
  EXPECT_EQ(cursor->Kind, tkInteger);
  EXPECT_FALSE(FindIdentToInt(cursor));
  RegisterIntegerConsts(
      cursor, [](const std::string& s, int& v) { return IdentToInt(s, v, cursors, std::size(cursors)); },
      [](int v, std::string& s) { return IntToIdent(v, s, cursors, std::size(cursors)); });
  int v = 0;
  EXPECT_TRUE(FindIdentToInt(cursor)("CRHANDPOINT", v));
  EXPECT_EQ(v, -21);
  std::string s;
  EXPECT_TRUE(FindIntToIdent(cursor)(0, s));
  EXPECT_EQ(s, "crDefault");
  EXPECT_FALSE(FindIntToIdent(cursor)(5, s));
}

TEST(TypInfo, EnumNames) {
  PTypeInfo shape = qv::classlib::TypeInfo<TShape>();
  EXPECT_EQ(shape->Name, "TShape");
  EXPECT_EQ(GetEnumName(shape, 2), "stTriangle");
  EXPECT_EQ(GetEnumValue(shape, "stcircle"), 1);
  EXPECT_EQ(GetEnumValue(shape, "stOval"), -1);
  EXPECT_EQ(GetEnumName(qv::classlib::TypeInfo<bool>(), 1), "True");
}

}  // namespace
