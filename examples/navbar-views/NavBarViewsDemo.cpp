// navbar_views_demo: the navigation bar in every registered view side by
// side, each under its id and name, saved as a PNG picture.
//
//   navbar_views_demo OUT.png
//
// Every bar holds the same three groups (the first active, or in the
// explorer-bar views the second collapsed) with a hot link in the first,
// on a desktop with visual styles, so the views that follow them show it.
// The views are those that the view units below register; a new view unit
// joins the list, and the CMake target navbar_views_gallery makes
// docs/navbar-views.png again.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "common/SavePicture.h"
#include "navbar/uiNavBar.h"
#include "navbar/uiNavBarBaseViews.h"
#include "navbar/uiNavBarExplorerViews.h"
#include "navbar/uiNavBarOffice11Views.h"
#include "navbar/uiNavBarOfficeViews.h"
#include "navbar/uiNavBarVSToolBoxViews.h"
#include "navbar/uiNavBarViewsFact.h"
#include "navbar/uiNavBarXPViews.h"
#include "platform/classlib/Forms.h"
#include "platform/classlib/System.h"
#include "platform/desktop/Profile.h"
#include "platform/modules/UxTheme.h"
#include "platform/os/gdi/Gdi.h"
#include "platform/os/gdi/Image.h"
#include "platform/os/gdi/Png.h"
#include "platform/os/user/Input.h"
#include "platform/os/user/Message.h"

namespace {

// Every unit that registers views, in the program's start order.
const qv::classlib::TUnitInfo* const kViewUnits[] = {&uiNavBarBaseViewsUnit, &uiNavBarOfficeViewsUnit,
                                                     &uiNavBarExplorerViewsUnit, &uiNavBarXPViewsUnit,
                                                     &uiNavBarVSToolBoxViewsUnit, &uiNavBarOffice11ViewsUnit};

constexpr int kBarWidth = 177;
constexpr int kBarHeight = 500;
constexpr int kGap = 16;
constexpr int kLabelHeight = 36;
constexpr int kColumns = 7;

// One view's bar, hot on its first group's second link, drawn into the
// gallery at (x, y).
void drawBar(TCanvas* AGallery, int AView, int X, int Y, TCustomImageList* AImages) {
  std::unique_ptr<TForm> form(TForm::CreateNew(nullptr));
  form->SetBorderStyle(bsNone);
  form->SetBounds(0, 0, 400, 600);
  auto* bar = new TuiNavBar(form.get());
  bar->SetParent(form.get());
  bar->SetBounds(0, 0, kBarWidth, kBarHeight);
  bar->SetSmallImages(AImages);
  const char* const captions[3][4] = {{"Project", "Optional", "Window", "Position"},
                                      {"Toolbar", "Skin", "Music", nullptr},
                                      {"Extensions", "Help", nullptr, nullptr}};
  const char* const groupCaptions[3] = {"Project", "Design", "Extras"};
  std::vector<TuiNavBarGroup*> groups;
  for (int g = 0; g < 3; ++g) {
    TuiNavBarGroup* group = bar->Groups()->Add();
    group->SetCaption(groupCaptions[g]);
    groups.push_back(group);
    for (int l = 0; l < 4 && captions[g][l]; ++l) {
      TuiNavBarItem* item = bar->Items()->Add();
      item->SetCaption(captions[g][l]);
      item->SetSmallImageIndex(l % 3);
      group->AddLink(item);
    }
  }
  groups[1]->SetExpanded(false);
  bar->SetView(AView);
  form->Show();
  qv::os::pumpMessages();
  bar->Repaint();
  if (TuiNavBarViewInfo* info = bar->GetViewInfo())
    if (TuiNavBarLinkViewInfo* link = info->FindLinkViewInfo(groups[0]->Links(1))) {
      const TRect& r = link->TextBounds;
      qv::os::injectMouse(WM_MOUSEMOVE, bar->ClientToScreen(TPoint{r.left + 3, (r.top + r.bottom) / 2}));
      qv::os::pumpMessages();
      bar->Repaint();
    }
  BitBlt(AGallery->Handle(), X, Y, kBarWidth, kBarHeight, bar->BackBuffer()->Canvas()->Handle(), 0, 0, SRCCOPY);
}

// The small images of the links: a coloured square on white.
void makeImages(TCustomImageList& AImages) {
  const TColor colours[3] = {static_cast<TColor>(RGB(200, 60, 40)), static_cast<TColor>(RGB(40, 150, 60)),
                             static_cast<TColor>(RGB(50, 80, 200))};
  for (TColor c : colours) {
    TBitmap picture;
    picture.SetSize(16, 16);
    picture.Canvas()->Brush()->SetColor(clWhite);
    picture.Canvas()->FillRect(TRect{0, 0, 16, 16});
    picture.Canvas()->Brush()->SetColor(c);
    picture.Canvas()->FillRect(TRect{2, 2, 14, 14});
    AImages.Add(&picture, nullptr);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: navbar_views_demo OUT.png\n");
    return 2;
  }
  auto& profile = qv::desktop::profile();
  profile.visualStyles = qv::desktop::ModuleProfile::Themed;
  profile.themesActive = true;
  qv::modules::registerUxTheme();
  Application->Initialize();
  for (const qv::classlib::TUnitInfo* unit : kViewUnits) qv::classlib::InitializeUnit(*unit);

  std::vector<TuiNavBarPainterFactItem*> views;
  TuiNavBarViewsFactory* factory = uiNavBarViewsFactory();
  for (int i = 0; factory && i < factory->GetCount(); ++i) views.push_back(factory->Items(i));
  std::sort(views.begin(), views.end(), [](auto* a, auto* b) { return a->ID < b->ID; });
  if (views.empty()) {
    std::fprintf(stderr, "navbar_views_demo: no view is registered\n");
    return 1;
  }

  const int columns = std::min(static_cast<int>(views.size()), kColumns);
  const int rows = (static_cast<int>(views.size()) + columns - 1) / columns;
  TBitmap gallery;
  gallery.SetPixelFormat(pf32bit);
  gallery.SetSize(kGap + columns * (kBarWidth + kGap), rows * (kLabelHeight + kBarHeight + kGap) + kGap / 2);
  TCanvas* canvas = gallery.Canvas();
  canvas->Brush()->SetColor(clWhite);
  canvas->FillRect(TRect{0, 0, gallery.Width(), gallery.Height()});

  TCustomImageList images(16, 16);
  makeImages(images);
  for (size_t i = 0; i < views.size(); ++i) {
    const int column = static_cast<int>(i) % columns, row = static_cast<int>(i) / columns;
    const int x = kGap + column * (kBarWidth + kGap), y = kGap / 2 + row * (kLabelHeight + kBarHeight + kGap);
    canvas->Brush()->SetStyle(bsClear);
    canvas->Font()->SetStyle(TFontStyles{fsBold});
    canvas->TextOut(x, y + 2, "View " + std::to_string(views[i]->ID));
    canvas->Font()->SetStyle(TFontStyles{});
    canvas->TextOut(x, y + 17, views[i]->Name);
    canvas->Brush()->SetStyle(bsSolid);
    // A frame, so that a bar as white as the page keeps its edges.
    canvas->Brush()->SetColor(static_cast<TColor>(RGB(160, 160, 160)));
    canvas->FrameRect(TRect{x - 1, y + kLabelHeight - 1, x + kBarWidth + 1, y + kLabelHeight + kBarHeight + 1});
    drawBar(canvas, views[i]->ID, x, y + kLabelHeight, &images);
  }

  const bool saved = qvexamples::savePicture(gallery, argv[1]);
  qv::classlib::FinalizeUnits();
  if (!saved) {
    std::fprintf(stderr, "navbar_views_demo: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
