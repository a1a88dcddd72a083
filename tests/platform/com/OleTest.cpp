#include <gtest/gtest.h>

#include <cstring>

#include "platform/com/Ole.h"

namespace {

TEST(Ole, InitialisationIsCountedPerThread) {
  EXPECT_EQ(OleInitialize(nullptr), S_OK);
  EXPECT_EQ(OleInitialize(nullptr), S_FALSE);
  EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
  EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
  EXPECT_EQ(qv::com::comInitCount(), 3);
  EXPECT_EQ(qv::com::oleInitCount(), 2);
  CoUninitialize();
  OleUninitialize();
  OleUninitialize();
  EXPECT_EQ(qv::com::comInitCount(), 0);
  EXPECT_EQ(qv::com::oleInitCount(), 0);
  OleUninitialize();  // unbalanced: no effect
  EXPECT_EQ(qv::com::comInitCount(), 0);
  EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK) << "a fresh start may choose the model";
  CoUninitialize();
}

TEST(Ole, TaskMemory) {
  void* p = CoTaskMemAlloc(0);
  EXPECT_NE(p, nullptr);
  p = CoTaskMemRealloc(p, 6);
  std::memcpy(p, "abcde", 6);
  p = CoTaskMemRealloc(p, 4096);
  EXPECT_STREQ(static_cast<char*>(p), "abcde");
  EXPECT_EQ(CoTaskMemRealloc(p, 0), nullptr);
  p = CoTaskMemRealloc(nullptr, 3);
  EXPECT_NE(p, nullptr);
  CoTaskMemFree(p);
  CoTaskMemFree(nullptr);
}

}  // namespace
