#include <gtest/gtest.h>

#include "platform/com/Dispatch.h"
#include "platform/com/Guid.h"
#include "platform/com/HResult.h"

namespace {

std::u16string wide(const std::string& s) { return std::u16string(s.begin(), s.end()); }

TEST(Guid, TextFormRoundTripsAndIsUpperCase) {
  EXPECT_EQ(qv::com::guidToString(IID_IUnknown), "{00000000-0000-0000-C000-000000000046}");
  EXPECT_EQ(qv::com::guidToString(IID_IDispatch), "{00020400-0000-0000-C000-000000000046}");

  const GUID g = {0xF38BC242, 0xB950, 0x11D1, {0x89, 0x18, 0x00, 0xC0, 0x4F, 0xC2, 0xC8, 0x36}};
  OLECHAR buf[39];
  ASSERT_EQ(StringFromGUID2(g, buf, 39), 39);
  EXPECT_EQ(std::u16string(buf), u"{F38BC242-B950-11D1-8918-00C04FC2C836}");
  CLSID back;
  // Lower-case hexadecimal is read too.
  std::u16string lower = u"{f38bc242-b950-11d1-8918-00c04fc2c836}";
  ASSERT_EQ(CLSIDFromString(lower.c_str(), &back), S_OK);
  EXPECT_TRUE(IsEqualGUID(back, g));
  EXPECT_EQ(StringFromGUID2(g, buf, 38), 0) << "no room for the terminator";
}

TEST(Guid, MalformedTextIsRefusedAndLeavesNull) {
  const char* bad[] = {"",
                       "00020400-0000-0000-C000-000000000046",
                       "{00020400-0000-0000-C000-00000000004}",
                       "{00020400-0000-0000-C000-0000000000467}",
                       "{00020400+0000-0000-C000-000000000046}",
                       "{0002040G-0000-0000-C000-000000000046}",
                       "{00020400-0000-0000-C000-000000000046"};
  for (const char* text : bad) {
    std::u16string w = wide(text);
    CLSID c = IID_IDispatch;
    IID i = IID_IDispatch;
    EXPECT_EQ(CLSIDFromString(w.c_str(), &c), CO_E_CLASSSTRING) << text;
    EXPECT_EQ(IIDFromString(w.c_str(), &i), E_INVALIDARG) << text;
    EXPECT_EQ(c, GUID_NULL) << text;
    EXPECT_EQ(i, GUID_NULL) << text;
    EXPECT_FALSE(qv::com::guidFromString(text)) << text;
  }
}

TEST(Guid, OrdersFieldByField) {
  GUID a = IID_IUnknown, b = IID_IDispatch;
  EXPECT_LT(a, b);
  EXPECT_FALSE(IsEqualIID(a, b));
  b.Data1 = 0;
  EXPECT_TRUE(IsEqualIID(a, b));
}

}  // namespace
