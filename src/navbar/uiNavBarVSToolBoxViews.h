// The tool-box view of the navigation bar:
//
//   5 "VSToolBoxView"  one group at a time, as the base view, with low
//                      captions, small links selected over their whole
//                      rectangle, and the scroll buttons as squares right of
//                      the active group's caption and of the caption below
//                      it. A link's hint is the link itself drawn whole over
//                      a caption cut short.
#pragma once

#include "navbar/uiNavBarBaseViews.h"

class TuiNavBarVSToolBoxViewInfo : public TuiNavBarBaseViewInfo {
  QV_CLASS(TuiNavBarVSToolBoxViewInfo, TuiNavBarBaseViewInfo)
  using TuiNavBarBaseViewInfo::TuiNavBarBaseViewInfo;

  int GroupCaptionHeightAddon() override { return 4; }
  int DefaultGroupsSpacing() override { return 1; }
  int LinksAreaMargin() override { return 2; }
  bool HasCaptionScrollButtons() override { return true; }
  bool AllowLargeLinkImages() override { return false; }
  bool LinkHitByWholeRect() override { return true; }

  // A square as high as the active group's caption, 2 pixels right of it;
  // empty without the active group's view information.
  TRect CalculateTopScrollButtonRect() override;
  // The same square beside the next group's caption, or, for the last
  // group, beside the bottom of the active group's items area.
  TRect CalculateBottomScrollButtonRect() override;
  // The link's selection rectangle on the screen, widened to the whole hint
  // text when the caption is cut short.
  TRect CalcLinkHintRect(TuiNavBarItemLink* ALink) override;
  // The item's hint, or its caption when it has none.
  std::string GetLinkHintText(TuiNavBarItemLink* ALink) override;

  void AssignDefaultBackgroundStyle(TuiBaseNavBarStyle* AStyle) override;
  void AssignDefaultGroupBackgroundStyle(TuiBaseNavBarStyle* AStyle) override;
  void AssignDefaultGroupHeaderStyle(TuiBaseNavBarStyle* AStyle) override;
  void AssignDefaultItemStyle(TuiBaseNavBarStyle* AStyle) override;
  void AssignDefaultItemDisabledStyle(TuiBaseNavBarStyle* AStyle) override;
};

// A link selected over its whole rectangle, 1 pixel inside it.
class TuiNavBarVSToolBoxLinkViewInfo : public TuiNavBarLinkViewInfo {
  QV_CLASS(TuiNavBarVSToolBoxLinkViewInfo, TuiNavBarLinkViewInfo)
  using TuiNavBarLinkViewInfo::TuiNavBarLinkViewInfo;

  TRect GetSelectionRect() override;
};

class TuiNavBarVSToolBoxPainter : public TuiNavBarFlatPainter {
  UI_NAVBAR_PAINTER_CLASS(TuiNavBarVSToolBoxPainter, TuiNavBarFlatPainter)
  using TuiNavBarFlatPainter::TuiNavBarFlatPainter;

  TuiNavBarViewInfo* CreateViewInfo() override;
  TuiNavBarLinkViewInfo* CreateLinkViewInfo(TuiNavBarGroupViewInfo* AGroupInfo, TuiNavBarItemLink* ALink,
                                            bool AImageVisible, bool ACaptionVisible) override;
  TuiBaseButtonPainterClass ButtonPainterClass() override;
  TuiBaseSelectionPainterClass SelectionPainterClass() override;
  // The hot link as it shows in its group, whole: the group's background,
  // the hot selection, the image and the caption; no custom-draw event.
  void DrawLinkHintWindow() override;
};

constexpr int nbVSToolBoxView = 5;

// The unit: registers view 5 at its start and removes it at its end.
extern const qv::classlib::TUnitInfo uiNavBarVSToolBoxViewsUnit;
