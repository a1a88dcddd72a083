// Image lists: the HIMAGELIST functions and TImageList with its drawing,
// the greyed look of disabled images and change links.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BitmapPicture.h"
#include "DesktopTest.h"
#include "platform/classlib/Graphics.h"
#include "platform/classlib/ImgList.h"
#include "platform/os/gdi/Icon.h"
#include "platform/os/user/SysColors.h"

namespace {

class ImageListTest : public qvtest::DesktopTest {
 protected:
  static void make(TBitmap& b, int w, int h, TColor fill) { makeFilledBitmap(b, w, h, fill); }
  static std::vector<std::string> picture(TBitmap& b, const std::vector<std::pair<TColor, char>>& legend) {
    return bitmapPicture(b, legend);
  }
  // A strip of `count` 2 x 2 images: image i is red with its pixel (i % 2, 1)
  // fuchsia (the mask colour); the bottom-left pixel of the strip is fuchsia.
  static void strip(TBitmap& b, int count) {
    make(b, 2 * count, 2, clRed);
    for (int i = 0; i < count; ++i) b.Canvas()->SetPixels(2 * i + i % 2, 1, clFuchsia);
  }
};

TEST_F(ImageListTest, DefaultsAndTheHandle) {
  TImageList list(nullptr);
  EXPECT_EQ(list.Width(), 16);
  EXPECT_EQ(list.Height(), 16);
  EXPECT_TRUE(list.Masked());
  EXPECT_EQ(list.BkColor(), clNone);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_FALSE(list.HandleAllocated());
  HIMAGELIST h = list.Handle();
  int cx = 0, cy = 0;
  ASSERT_TRUE(ImageList_GetIconSize(h, &cx, &cy));
  EXPECT_EQ(cx, 16);
  EXPECT_EQ(ImageList_GetImageCount(h), 0);
}

TEST_F(ImageListTest, AddMaskedSplitsAStripIntoImages) {
  TImageList list(2, 2);
  TBitmap b;
  strip(b, 3);
  EXPECT_EQ(list.AddMasked(&b, b.TransparentColor()), 0);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.AddMasked(&b, clFuchsia), 3);
  EXPECT_EQ(list.Count(), 6);

  // Whole images only: a strip of 5 pixels holds two.
  TBitmap odd;
  make(odd, 5, 2, clBlue);
  EXPECT_EQ(list.AddMasked(&odd, clNone), 6);
  EXPECT_EQ(list.Count(), 8);
  // The caller's bitmap keeps its mask-coloured pixels.
  EXPECT_EQ(b.Canvas()->Pixels(0, 1), clFuchsia);
}

TEST_F(ImageListTest, DrawEnabledLeavesMaskedPixelsAndFillsThemWithBkColor) {
  TImageList list(2, 2);
  TBitmap b;
  strip(b, 2);
  list.AddMasked(&b, clFuchsia);
  TBitmap dst;
  make(dst, 5, 2, clLime);
  list.Draw(dst.Canvas(), 0, 0, 0);
  list.Draw(dst.Canvas(), 3, 0, 1);
  EXPECT_EQ(picture(dst, {{clLime, '.'}, {clRed, 'R'}, {clFuchsia, 'F'}}),
            (std::vector<std::string>{"RR.RR", ".R.R."}));

  list.SetBkColor(clBlue);
  make(dst, 2, 2, clLime);
  list.Draw(dst.Canvas(), 0, 0, 0);
  EXPECT_EQ(picture(dst, {{clBlue, 'B'}, {clRed, 'R'}}), (std::vector<std::string>{"RR", "BR"}));
  // dsTransparent ignores the background colour.
  make(dst, 2, 2, clLime);
  list.Draw(dst.Canvas(), 0, 0, 0, dsTransparent, itImage);
  EXPECT_EQ(picture(dst, {{clLime, '.'}, {clRed, 'R'}}), (std::vector<std::string>{"RR", ".R"}));
  // The mask alone: black where the image is, white where it is not.
  make(dst, 2, 2, clLime);
  list.Draw(dst.Canvas(), 0, 0, 0, dsNormal, itMask);
  EXPECT_EQ(picture(dst, {{clBlack, '#'}, {clWhite, '.'}}), (std::vector<std::string>{"##", ".#"}));
}

TEST_F(ImageListTest, DrawDisabledGivesTheGreyedLook) {
  // Image: black at (0, 0), white at (1, 0), masked at (0, 1), black at (1, 1).
  TImageList list(2, 2);
  TBitmap b;
  make(b, 2, 2, clBlack);
  b.Canvas()->SetPixels(1, 0, clWhite);
  b.Canvas()->SetPixels(0, 1, clFuchsia);
  list.AddMasked(&b, clFuchsia);
  TBitmap dst;
  make(dst, 3, 3, clLime);
  list.Draw(dst.Canvas(), 0, 0, 0, false);
  // Dark pixels: shadow in place, highlight one pixel down and right where
  // no shadow covers it; white and masked pixels leave the background.
  EXPECT_EQ(picture(dst, {{clLime, '.'}, {clBtnShadow, 's'}, {clBtnHighlight, 'h'}}),
            (std::vector<std::string>{"s..", ".s.", "..h"}));
}

TEST_F(ImageListTest, AddWithAMaskBitmapReplaceDeleteAndClear) {
  TImageList list(2, 1);
  TBitmap image;
  make(image, 4, 1, clRed);
  image.Canvas()->SetPixels(3, 0, clBlue);
  TBitmap mask;
  make(mask, 4, 1, clBlack);
  mask.SetMonochrome(true);
  mask.Canvas()->SetPixels(1, 0, clWhite);  // background at image 0's second pixel
  EXPECT_EQ(list.Add(&image, &mask), 0);
  EXPECT_EQ(list.Count(), 2);

  TBitmap dst;
  make(dst, 4, 1, clLime);
  list.Draw(dst.Canvas(), 0, 0, 0);
  list.Draw(dst.Canvas(), 2, 0, 1);
  EXPECT_EQ(picture(dst, {{clLime, '.'}, {clRed, 'R'}, {clBlue, 'B'}}), (std::vector<std::string>{"R.RB"}));

  TBitmap other;
  make(other, 2, 1, clBlue);
  list.Replace(0, &other, nullptr);
  list.Draw(dst.Canvas(), 0, 0, 0);
  EXPECT_EQ(dst.Canvas()->Pixels(1, 0), clBlue);
  EXPECT_THROW(list.Replace(5, &other, nullptr), EInvalidOperation);

  list.Delete(0);
  EXPECT_EQ(list.Count(), 1);
  try {
    list.Delete(1);
    FAIL() << "no exception";
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), "Invalid ImageList Index");
  }
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(ImageListTest, ANewSizeClearsTheList) {
  TImageList list(2, 2);
  TBitmap b;
  strip(b, 2);
  list.AddMasked(&b, clFuchsia);
  list.SetWidth(1);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.AddMasked(&b, clFuchsia), 0);
  EXPECT_EQ(list.Count(), 4);
}

TEST_F(ImageListTest, GetBitmapAndAddIcon) {
  TImageList list(2, 2);
  TBitmap b;
  strip(b, 1);
  list.AddMasked(&b, clFuchsia);
  TBitmap out;
  EXPECT_TRUE(list.GetBitmap(0, &out));
  EXPECT_EQ(out.Width(), 2);
  EXPECT_EQ(out.Canvas()->Pixels(1, 1), clRed);
  EXPECT_FALSE(list.GetBitmap(1, &out));

  // An icon made from the list's own image, back in as an icon.
  ICONINFO info{TRUE, 0, 0, nullptr, nullptr};
  TBitmap mask;
  make(mask, 2, 2, clBlack);
  mask.SetMonochrome(true);
  mask.Canvas()->SetPixels(0, 0, clWhite);
  info.hbmMask = mask.Handle();
  info.hbmColor = out.Handle();
  TIcon icon;
  icon.SetHandle(CreateIconIndirect(&info));
  EXPECT_EQ(list.AddIcon(&icon), 1);
  TBitmap dst;
  make(dst, 2, 2, clLime);
  list.Draw(dst.Canvas(), 0, 0, 1);
  EXPECT_EQ(picture(dst, {{clLime, '.'}, {clRed, 'R'}, {clBlack, 'K'}}), (std::vector<std::string>{".R", "KR"}));
}

TEST_F(ImageListTest, ChangeLinksHearOfEveryChange) {
  auto* list = new TImageList(2, 2);
  TChangeLink link;
  std::vector<TObject*> senders;
  link.OnChange = [&](TObject* Sender) { senders.push_back(Sender); };
  list->RegisterChanges(&link);
  EXPECT_EQ(link.Sender(), list);
  int own = 0;
  list->OnChange = [&](TObject*) { ++own; };

  TBitmap b;
  strip(b, 2);
  list->AddMasked(&b, clFuchsia);
  list->Delete(0);
  list->SetBkColor(clRed);
  list->Clear();
  EXPECT_EQ(senders.size(), 4u);
  EXPECT_EQ(senders.front(), list);
  EXPECT_EQ(own, 4);

  list->UnRegisterChanges(&link);
  EXPECT_EQ(link.Sender(), nullptr);
  list->AddMasked(&b, clFuchsia);
  EXPECT_EQ(senders.size(), 4u);

  // A list that goes first leaves its links without a sender; a link that
  // goes first leaves its list.
  list->RegisterChanges(&link);
  {
    TChangeLink shortLived;
    list->RegisterChanges(&shortLived);
  }
  list->Clear();
  EXPECT_EQ(senders.size(), 5u);
  delete list;
  EXPECT_EQ(link.Sender(), nullptr);
}

TEST_F(ImageListTest, PlatformFunctionsRefuseBadHandlesAndIndexes) {
  HIMAGELIST stray = reinterpret_cast<HIMAGELIST>(static_cast<std::uintptr_t>(0x1234));
  EXPECT_EQ(ImageList_GetImageCount(stray), -1);
  EXPECT_EQ(ImageList_Add(stray, nullptr, nullptr), -1);
  EXPECT_FALSE(ImageList_Destroy(stray));
  EXPECT_EQ(ImageList_Create(0, 16, ILC_MASK, 1, 1), nullptr);

  HIMAGELIST h = ImageList_Create(2, 2, ILC_COLOR32 | ILC_MASK, 1, 1);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(ImageList_Add(h, nullptr, nullptr), -1);
  TBitmap b;
  make(b, 2, 2, clRed);
  TBitmap dst;
  make(dst, 2, 2, clLime);
  EXPECT_FALSE(ImageList_Draw(h, 0, dst.Canvas()->Handle(), 0, 0, ILD_NORMAL));
  EXPECT_EQ(ImageList_Add(h, b.Handle(), nullptr), 0);
  EXPECT_TRUE(ImageList_Draw(h, 0, dst.Canvas()->Handle(), 0, 0, ILD_NORMAL));
  EXPECT_EQ(dst.Canvas()->Pixels(1, 1), clRed);
  EXPECT_FALSE(ImageList_Remove(h, 1));
  EXPECT_TRUE(ImageList_Destroy(h));
  EXPECT_EQ(ImageList_GetImageCount(h), -1);
}

TEST_F(ImageListTest, SelectedImagesAreBlendedWithTheBlendColour) {
  TImageList list(1, 1);
  TBitmap b;
  make(b, 1, 1, clBlack);
  list.AddMasked(&b, clNone);
  list.SetBlendColor(clWhite);
  TBitmap dst;
  make(dst, 1, 1, clLime);
  list.Draw(dst.Canvas(), 0, 0, 0, dsSelected, itImage);
  COLORREF c = static_cast<COLORREF>(dst.Canvas()->Pixels(0, 0));
  EXPECT_EQ(GetRValue(c), 127);
  list.Draw(dst.Canvas(), 0, 0, 0, dsFocus, itImage);
  c = static_cast<COLORREF>(dst.Canvas()->Pixels(0, 0));
  EXPECT_EQ(GetRValue(c), 63);
}

}  // namespace
