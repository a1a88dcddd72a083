#include <gtest/gtest.h>

#include "platform/com/ComObject.h"
#include "platform/com/Dispatch.h"

namespace {

const IID IID_IShape = {0x11111111, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55}};
const IID IID_ISolid = {0x11111111, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x56}};
const IID IID_ICube = {0x11111111, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x57}};

struct IShape : IUnknown {
  static constexpr const IID& Iid = IID_IShape;
  using Base = IUnknown;
  virtual int sides() = 0;
};
struct ISolid : IUnknown {
  static constexpr const IID& Iid = IID_ISolid;
  using Base = IUnknown;
  virtual int faces() = 0;
};
// Extends ISolid: asking for ISolid must find it through ICube.
struct ICube : ISolid {
  static constexpr const IID& Iid = IID_ICube;
  using Base = ISolid;
  virtual int edges() = 0;
};

class Cube : public qv::com::ComObject<IShape, ICube> {
 public:
  explicit Cube(bool* destroyed) : destroyed_(destroyed) {}
  ~Cube() override { *destroyed_ = true; }
  int sides() override { return 4; }
  int faces() override { return 6; }
  int edges() override { return 12; }

 private:
  bool* destroyed_;
};

using qv::com::ComPtr;

TEST(ComObject, OneCountForAllInterfacesAndOneIdentity) {
  bool destroyed = false;
  ComPtr<IShape> shape(new Cube(&destroyed));
  ComPtr<ISolid> solid;
  ASSERT_EQ(shape.queryInterface(solid), S_OK);
  ComPtr<ICube> cube = solid.as<ICube>();
  ASSERT_TRUE(cube);
  EXPECT_EQ(solid->faces(), 6);
  EXPECT_EQ(cube->edges(), 12);

  // IUnknown asked through any interface is the same pointer.
  ComPtr<IUnknown> u1 = shape.as<IUnknown>(), u2 = cube.as<IUnknown>();
  EXPECT_EQ(u1.get(), u2.get());

  void* none = reinterpret_cast<void*>(1);
  EXPECT_EQ(shape->QueryInterface(IID_IDispatch, &none), E_NOINTERFACE);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(shape->QueryInterface(IID_IShape, nullptr), E_POINTER);

  shape.reset();
  solid.reset();
  cube.reset();
  u1.reset();
  EXPECT_FALSE(destroyed);
  u2.reset();
  EXPECT_TRUE(destroyed);
}

TEST(ComPtr, CopiesCountAttachDetachAndPutDoNot) {
  bool destroyed = false;
  auto obj = qv::com::makeObject<Cube>(&destroyed);
  EXPECT_EQ(obj->refCount(), 1u);
  {
    ComPtr<Cube> copy = obj;
    EXPECT_EQ(obj->refCount(), 2u);
    ComPtr<Cube> moved = std::move(copy);
    EXPECT_EQ(obj->refCount(), 2u);
    EXPECT_FALSE(copy);
  }
  EXPECT_EQ(obj->refCount(), 1u);

  // An out parameter: the callee's reference is taken over, the old one freed.
  ComPtr<IShape> out(obj.get());
  EXPECT_EQ(obj->refCount(), 2u);
  ASSERT_EQ(obj->QueryInterface(IID_IShape, out.putVoid()), S_OK);
  EXPECT_EQ(obj->refCount(), 2u);

  IShape* raw = out.detach();
  EXPECT_EQ(obj->refCount(), 2u);
  ComPtr<IShape> back;
  back.attach(raw);
  EXPECT_EQ(obj->refCount(), 2u);
  back = nullptr;
  EXPECT_EQ(obj->refCount(), 1u);

  IShape* given = nullptr;
  ComPtr<IShape>(obj.get()).copyTo(&given);
  EXPECT_EQ(obj->refCount(), 2u);
  given->Release();
  obj.reset();
  EXPECT_TRUE(destroyed);
}

}  // namespace
