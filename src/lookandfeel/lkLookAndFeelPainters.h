// The painters: one look (flat, standard, ultra-flat, Office 2003, native
// theme) each, drawing the standard elements of controls on a TlkCanvas.
//
// How a painter class is modelled. Painters are class references with
// virtual class methods: they hold no state, are never instantiated by a
// caller, and a caller holds "a painter class" and calls operations on it.
// Here every painter class is a C++ class whose operations are const
// virtual member functions, and the class reference is a pointer to the
// one const instance of that class (TlkLookAndFeelPainterClass), made on
// first use by Class(). So
// - a call through the class reference is one virtual call, like a call of
//   a virtual class method, and an operation calling another slot reaches
//   the most derived override, as `Self` of a class method does;
// - the slot order is the declaration order below; a descendant overrides
//   single slots (and may append its own after them), so every painter
//   keeps the base's slot layout;
// - identity is the class library's: ClassName(), ClassParent(),
//   InheritsFrom(TlkStandardLookAndFeelPainter::StaticClass()); two
//   references name the same painter class exactly when they are equal;
// - running an inherited operation "with another painter class as the
//   painter" is a qualified call on that class's instance:
//   Other->TlkCustomLookAndFeelPainter::DrawGroupExpandButton(...).
// The constructors are protected, so neither code nor a class reference's
// factory (TClassInfo::Create answers null) can make a second instance.
//
// Arguments: canvases are TlkCanvas, rectangles TRect in canvas coordinates,
// sizes TPoint (x the width, y the height), side sets TlkBorders (1 left,
// 2 top, 4 right, 8 bottom). Colours are TColor: clDefault asks for the
// element's default colour, clNone paints no background.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "lookandfeel/lkClasses.h"
#include "lookandfeel/lkGraphics.h"
#include "lookandfeel/uiUxTheme.h"
#include "platform/com/Unknown.h"
#include "platform/classlib/Graphics.h"
#include "platform/classlib/ImgList.h"
#include "platform/classlib/StdCtrls.h"
#include "platform/classlib/SysUtils.h"

// ---------------------------------------------------------------------------
enum TlkPartDrawState : BYTE {
  pdsDefault = 0,  // a default button
  pdsNormal = 1,
  pdsHot = 2,
  pdsPressed = 3,
  pdsDisabled = 4
};

enum TlkArrowHeading : BYTE { ahUp = 0, ahDown = 1, ahLeft = 2, ahRight = 3 };

enum TlkScrollBarArea : BYTE {
  sbaNone = 0,
  sbaTopLeftArrow = 1,
  sbaBottomRightArrow = 2,
  sbaThumb = 3,
  sbaPageBefore = 4,
  sbaPageAfter = 5
};

// The look-and-feel kinds. Declared with the painters, which map their
// style codes to them and start before the look-and-feel unit that uses
// them.
enum TlkLookAndFeelKind : BYTE { lfFlat = 0, lfStandard = 1, lfUltraFlat = 2, lfOffice11 = 3 };

// Style codes of the painters (StyleCode).
constexpr BYTE lkStyleCodeFlat = 0;
constexpr BYTE lkStyleCodeStandard = 1;
constexpr BYTE lkStyleCodeUltraFlat = 2;
constexpr BYTE lkStyleCodeNative = 3;
constexpr BYTE lkStyleCodeOffice11 = 4;

// Draws a cell's content itself; answering true skips the painter's own
// background and text.
using TlkCustomDrawContentProc = std::function<bool(TlkCanvas* ACanvas, const TRect& ABounds)>;

class TlkCustomLookAndFeelPainter;
// A painter class: the one instance of a painter's C++ class.
using TlkLookAndFeelPainterClass = const TlkCustomLookAndFeelPainter*;

// Declares a class that has one const instance, used through its class
// reference Class() of type ClassRef: its class-library identity, the
// reference and the protected constructor that keeps it the only instance.
// First line of the class body, in place of QV_CLASS.
#define LK_SINGLE_INSTANCE_CLASS(Name, Parent, ClassRef) \
  QV_CLASS(Name, Parent)                                 \
  static ClassRef Class() {                              \
    static const Name instance;                          \
    return &instance;                                    \
  }                                                      \
  Name(const Name&) = delete;                            \
  Name& operator=(const Name&) = delete;                 \
                                                         \
 protected:                                              \
  Name() = default;                                      \
                                                         \
 public:

// Declares a painter class.
#define LK_PAINTER_CLASS(Name, Parent) LK_SINGLE_INSTANCE_CLASS(Name, Parent, TlkLookAndFeelPainterClass)

// ---------------------------------------------------------------------------
// The root painter: every slot with the behaviour a descendant inherits
// when it does not override it. Most draw nothing or answer a neutral
// value; the scroll bar reaches painters only through ButtonsHotTrack,
// ScrollBarMinimalThumbSize and DrawScrollBarPart.
class TlkCustomLookAndFeelPainter : public TObject {
  LK_PAINTER_CLASS(TlkCustomLookAndFeelPainter, TObject)

  // Not transparent: filled with AColor (ABitmap ignored). Transparent:
  // filled with ABitmap as the brush pattern when there is one, else left.
  virtual void PaintBackground(TlkCanvas* ACanvas, const TRect& R, bool ATransparent, TColor AColor,
                               TBitmap* ABitmap) const;
  // A small filled triangle pointing down.
  virtual void DrawDropDownGlyph(TlkCanvas* ACanvas, const TRect& R, TColor AColor) const;
  // Unless ACustomDraw answers true: R filled with ABackgroundColor, then
  // AText (when not empty) in ATextRect with a clear brush.
  virtual void PaintContent(TlkCanvas* ACanvas, const TRect& R, const TlkCustomDrawContentProc& ACustomDraw,
                            TColor ABackgroundColor, TColor ATextColor, TFont* AFont, const std::string& AText,
                            TAlignment AHorzAlignment, TTextLayout AVertAlignment, bool AMultiLine,
                            bool AShowEndEllipsis, const TRect& ATextRect) const;
  virtual void DrawBarFirstPart(TlkCanvas* ACanvas, const TRect& R) const;
  virtual void DrawBarSecondPart(TlkCanvas* ACanvas, const TRect& R) const;
  virtual TRect BorderClientBounds(const TRect& R) const;
  virtual TRect BorderTextBounds(const TRect& R) const;
  virtual BYTE StyleCode() const;

  // Default colours of elements of data controls. Some answer another
  // one, so overriding that one changes them too: 2 and 3 follow 1, 23
  // follows 10, 25 follows 17, 28 follows 27.
  virtual TColor DefaultColor1() const;
  virtual TColor DefaultColor2() const;
  virtual TColor DefaultColor3() const;
  virtual TColor DefaultColor4() const;
  virtual TColor DefaultColor5() const;
  virtual TColor DefaultColor6() const;
  virtual TColor DefaultColor7() const;
  virtual TColor DefaultColor8() const;
  virtual TColor DefaultColor9() const;
  virtual TColor DefaultColor10() const;
  virtual TColor DefaultColor11() const;
  virtual TColor DefaultColor12() const;
  virtual TColor DefaultColor13() const;
  virtual TColor DefaultColor14() const;
  virtual TColor DefaultColor15() const;
  virtual TColor DefaultColor16() const;
  virtual TColor DefaultColor17() const;
  virtual TColor DefaultColor18() const;
  virtual TColor DefaultColor19() const;
  virtual TColor DefaultColor20() const;
  virtual TColor DefaultColor21() const;
  virtual TColor DefaultColor22() const;
  virtual TColor DefaultColor23() const;
  virtual TColor DefaultColor24() const;
  virtual TColor DefaultColor25() const;
  virtual TColor DefaultColor26() const;
  virtual TColor DefaultColor27() const;
  virtual TColor DefaultColor28() const;
  virtual TColor DefaultColor29() const;
  virtual TColor DefaultColor30() const;
  virtual TColor DefaultColor31() const;
  virtual TColor DefaultColor32() const;
  virtual TColor DefaultColor33() const;
  virtual TColor DefaultColor34() const;
  virtual TColor DefaultColor35() const;
  virtual TColor DefaultColor36() const;
  virtual TColor DefaultColor37() const;
  virtual TColor DefaultColor38() const;
  virtual TColor DefaultColor39() const;
  virtual TColor DefaultColor40() const;
  virtual TColor DefaultColor41() const;
  virtual TColor DefaultColor42() const;
  virtual TColor DefaultColor43() const;
  virtual TColor DefaultColor44() const;
  virtual TColor DefaultColor45() const;
  virtual TColor DefaultColor46() const;
  virtual TColor DefaultColor47() const;
  virtual TColor DefaultColor48() const;
  virtual TColor DefaultColor49() const;
  virtual TColor DefaultColor50() const;
  virtual TColor DefaultColor51() const;
  virtual TColor DefaultColor52() const;
  virtual TColor DefaultColor53() const;
  virtual TColor DefaultColor54() const;
  virtual TColor DefaultColor55() const;
  virtual TColor DefaultColor56() const;
  virtual TColor DefaultColor57() const;
  virtual TColor DefaultColor58() const;
  virtual TColor DefaultColor59() const;

  // Arrows and buttons.
  virtual void DrawFilledArrow(TlkCanvas* ACanvas, const TRect& R, TColor AColor, TlkArrowHeading AHeading) const;
  virtual void DrawArrowButton(TlkCanvas* ACanvas, const TRect& R, bool AWithBody, TlkArrowHeading AHeading,
                               TlkPartDrawState AState) const;
  virtual void DrawButtonBody(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState) const;
  // Disabled: embossed; pressed: moved by ButtonPressedShift.
  virtual void DrawStateArrow(TlkCanvas* ACanvas, const TRect& R, TlkArrowHeading AHeading,
                              TlkPartDrawState AState) const;
  virtual int FrameBorderWidth() const;
  virtual void DrawFrameBorder(TlkCanvas* ACanvas, const TRect& R) const;
  virtual TRect GroupButtonDisplayBounds(const TRect& R) const;
  virtual int ButtonBorderWidth(TlkPartDrawState AState) const;
  virtual TColor ButtonFaceColor(TlkPartDrawState AState) const;
  virtual TRect ButtonFocusBounds(TlkCanvas* ACanvas, const TRect& R) const;
  // Left, top, right and bottom border widths of the button at AButtonIndex
  // of a group of AButtonCount buttons.
  virtual TRect ButtonGroupBorderWidths(int AButtonIndex, int AButtonCount) const;
  virtual int ButtonCaptionOffset() const;
  virtual int ButtonPressedShift() const;
  // Disabled: clBtnShadow; else ADefaultColor, clBtnText for clDefault.
  virtual TColor ButtonGlyphColor(TlkPartDrawState AState, TColor ADefaultColor) const;
  virtual TlkPartDrawState ButtonGlyphState(TlkPartDrawState AState) const;
  // The frame (when asked), the face and the caption centred on one line
  // or word-wrapped, with "&" prefixes; clDefault colours are the state's.
  virtual void DrawPushButton(TlkCanvas* ACanvas, const TRect& R, const std::string& ACaption,
                              TlkPartDrawState AState, bool ADrawFrame, TColor AFaceColor, TColor ATextColor,
                              bool AWordWrap) const;
  // The button at AButtonIndex of a group of AButtonCount buttons; AColor
  // is the group's frame colour for looks that draw one.
  virtual void DrawCaptionlessButton(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState,
                                     int AButtonCount, int AButtonIndex, TColor AColor) const;
  virtual void DrawButtonFrame(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState) const;
  virtual void DrawButtonGroupOutline(TlkCanvas* ACanvas, const TRect& R, bool AActive, bool AHighlighted) const;

  // Expand buttons.
  virtual void DrawTreeExpandButton(TlkCanvas* ACanvas, const TRect& R, TColor AColor, bool AExpanded) const;
  virtual bool TreeExpandButtonPaintedFirst() const;
  // A captionless push button with a double chevron pointing up when
  // expanded and down when not.
  virtual void DrawGroupExpandButton(TlkCanvas* ACanvas, const TRect& R, bool AExpanded,
                                     TlkPartDrawState AState) const;
  // A one-pixel frame, the inside filled unless AFillColor is clDefault,
  // and a plus (collapsed) or minus (expanded) in clBtnText.
  virtual void DrawSmallExpandButton(TlkCanvas* ACanvas, const TRect& R, TColor AFrameColor, TColor AFillColor,
                                     bool AExpanded) const;
  virtual int TreeExpandButtonExtent() const;
  virtual int GroupExpandButtonExtent() const;
  virtual bool ButtonsHotTrack() const;
  virtual bool PointInGroupExpandButton(const TRect& R, const TPoint& P) const;
  virtual int SmallExpandButtonExtent() const;

  // Check boxes and radio buttons.
  virtual int CheckFrameWidth() const;
  virtual TColor CheckFaceColor(TlkPartDrawState AState) const;
  virtual TPoint CheckBoxExtent() const;
  // The face (only while the canvas brush is solid), then a tick three
  // pixels thick when checked.
  virtual void DrawCheckMark(TlkCanvas* ACanvas, const TRect& R, TColor AColor, bool AChecked,
                             TlkPartDrawState AState) const;
  virtual void DrawCheckFrame(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState) const;
  virtual void DrawCheckBox(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState, bool AChecked,
                            TColor AColor) const;
  virtual void DrawRadioGlyph(TlkCanvas* ACanvas, const TPoint& P, TlkPartDrawState AState, bool AChecked,
                              bool AFocused, bool AHighlighted, TColor ABackgroundColor) const;
  virtual TPoint RadioGlyphExtent() const;

  // Headers. ANeighbors says on which sides a cell has neighbouring cells,
  // ABorders which sides it has a frame on. AIsLast marks the last cell of
  // a header, which some looks draw differently.
  virtual void DrawHeaderCell(TlkCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                              TlkBorders ANeighbors, TlkBorders ABorders, TlkPartDrawState AState,
                              TAlignment AHorzAlignment, TTextLayout AVertAlignment, bool AMultiLine,
                              bool AShowEndEllipsis, const std::string& AText, TFont* AFont, TColor ATextColor,
                              TColor ABackgroundColor, const TlkCustomDrawContentProc& ACustomDraw,
                              bool AIsLast) const;
  virtual void DrawHeaderCellPlain(TlkCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                                   TlkPartDrawState AState, TAlignment AHorzAlignment, TTextLayout AVertAlignment,
                                   bool AMultiLine, bool AShowEndEllipsis, const std::string& AText, TFont* AFont,
                                   TColor ATextColor, TColor ABackgroundColor,
                                   const TlkCustomDrawContentProc& ACustomDraw) const;
  virtual void DrawHeaderFrame(TlkCanvas* ACanvas, const TRect& R, TlkBorders ANeighbors,
                               TlkBorders ABorders) const;
  virtual void InvertHeaderArea(TlkCanvas* ACanvas, const TRect& R) const;
  virtual void DrawHeaderSection(TlkCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                                 TlkPartDrawState AState, TAlignment AHorzAlignment, TTextLayout AVertAlignment,
                                 bool AMultiLine, bool AShowEndEllipsis, const std::string& AText, TFont* AFont,
                                 TColor ATextColor, TColor ABackgroundColor) const;
  virtual void DrawHeaderSectionFrame(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState,
                                      TlkBorders ABorders) const;
  virtual void DrawHeaderSectionContent(TlkCanvas* ACanvas, const TRect& R, const TRect& ATextAreaBounds,
                                        TlkPartDrawState AState, TColor ABackgroundColor,
                                        TAlignment AHorzAlignment, TTextLayout AVertAlignment, bool AMultiLine,
                                        bool AShowEndEllipsis, const std::string& AText, TFont* AFont,
                                        TColor ATextColor) const;
  // Disabled: embossed in clBtnHighlight and clBtnShadow.
  virtual void DrawHeaderSectionCaption(TlkCanvas* ACanvas, const TRect& R, TColor ATextColor, TFont* AFont,
                                        const std::string& AText, TAlignment AHorzAlignment,
                                        TTextLayout AVertAlignment, bool AMultiLine, bool AShowEndEllipsis,
                                        TlkPartDrawState AState) const;
  // Edge strips AEdgeWidth wide at the left and right painted from
  // AViewParams, the middle filled with AColor.
  virtual void DrawEdgedStrip(TlkCanvas* ACanvas, const TRect& R, const TlkViewParams& AViewParams, TColor AColor,
                              int AEdgeWidth) const;
  virtual void DrawSortMark(TlkCanvas* ACanvas, const TRect& R, bool AAscending) const;
  virtual TlkBorders HeaderDrawnSides(TlkBorders ANeighbors) const;
  virtual int HeaderFrameWidth() const;
  virtual TRect HeaderOuterBounds(const TRect& R, TlkBorders ANeighbors, TlkBorders ABorders) const;
  virtual TRect HeaderInnerBounds(const TRect& R, TlkBorders ABorders) const;
  virtual bool HeaderCellsPaintedFirst() const;
  virtual int HeaderHeightForFont(int AFontHeight) const;
  virtual int HeaderSectionFrameWidth(TlkPartDrawState AState) const;
  virtual TRect HeaderSectionCaptionBounds(const TRect& R, TlkPartDrawState AState) const;
  virtual TRect HeaderSectionContentBounds(const TRect& R, TlkPartDrawState AState) const;
  virtual int HeaderWidthForText(TlkCanvas* ACanvas, TlkBorders ABorders, TFont* AFont,
                                 const std::string& AText) const;
  virtual bool HeaderHotTracks() const;
  virtual TPoint SortMarkAreaSize() const;
  virtual TPoint SortMarkExtent() const;
  virtual void PaintPanelBackground(TlkCanvas* ACanvas, const TRect& R, bool ATransparent, TColor AColor,
                                    TBitmap* ABitmap) const;

  // Footers.
  virtual TlkBorders FooterDrawnSides() const;
  virtual int FooterFrameWidth() const;
  virtual int FooterCellFrameWidth() const;
  virtual int FooterCellInset() const;
  virtual bool FooterCellsPaintedFirst() const;
  virtual TColor FooterSeparatorLineColor() const;
  virtual int FooterSeparatorLineWidth() const;
  virtual void DrawFooterCellContent(TlkCanvas* ACanvas, const TRect& R, TAlignment AHorzAlignment,
                                     TTextLayout AVertAlignment, bool AMultiLine, bool AShowEndEllipsis,
                                     const std::string& AText, TFont* AFont, TColor ATextColor,
                                     TColor ABackgroundColor) const;
  virtual void DrawFooterFrame(TlkCanvas* ACanvas, const TRect& R) const;
  virtual void DrawFooterCellFrame(TlkCanvas* ACanvas, const TRect& R) const;
  virtual void PaintFooterArea(TlkCanvas* ACanvas, const TRect& R, const TlkViewParams& AViewParams) const;
  virtual void DrawFooterSeparatorLine(TlkCanvas* ACanvas, const TRect& R) const;

  // Filter and close buttons.
  virtual void DrawFilterCheckBox(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState,
                                  bool AChecked) const;
  virtual void DrawCloseCrossButton(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState) const;
  virtual void DrawFilterDropDown(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState,
                                  bool AActive) const;
  virtual void PaintFilterPanel(TlkCanvas* ACanvas, const TRect& R, bool ATransparent, TColor AColor,
                                TBitmap* ABitmap) const;
  virtual TPoint FilterCheckBoxExtent() const;
  virtual TPoint CloseCrossButtonExtent() const;
  virtual TPoint FilterDropDownExtent() const;
  virtual void PaintWindowFace(TlkCanvas* ACanvas, const TRect& R) const;
  virtual BYTE PopupFrameKind() const;

  // Tabs. AEdge names the side of a tab being framed, 0 to 3.
  virtual void DrawTabItem(TlkCanvas* ACanvas, const TRect& R, const TRect& AContentRect, bool AVertical,
                           TlkBorders ABorders, TlkPartDrawState AState, const std::string& AText, TFont* AFont,
                           TColor ATextColor, TColor ABackgroundColor) const;
  virtual void DrawTabItemFrame(TlkCanvas* ACanvas, const TRect& R, bool AVertical, TlkBorders ABorders,
                                int AEdge) const;
  virtual void DrawTabStrip(TlkCanvas* ACanvas, const TRect& R, bool AVertical, TlkBorders ABorders) const;
  virtual bool TabItemSupported(bool AVertical) const;
  virtual bool TabsHotTrack(bool AVertical) const;
  virtual int TabItemFrameWidth(bool AVertical) const;

  // Grid parts.
  virtual void DrawCustomizeMark(TlkCanvas* ACanvas, const TRect& R, TColor AColor) const;
  // Kind 0 draws nothing; kind k the k-th image of the row indicator list.
  virtual void DrawRowIndicatorGlyph(TlkCanvas* ACanvas, const TRect& R, int AKind) const;
  virtual void DrawRowIndicatorCell(TlkCanvas* ACanvas, const TRect& R, TlkBorders ANeighbors,
                                    TlkBorders ABorders, int AKind) const;
  virtual void DrawRowIndicatorCellPlain(TlkCanvas* ACanvas, const TRect& R, int AKind) const;
  virtual bool RowIndicatorOption() const;

  // Scroll bars.
  virtual int ScrollBarMinimalThumbSize(bool AVertical) const;
  virtual void DrawScrollBarPart(TlkCanvas* ACanvas, bool AHorizontal, const TRect& R, TlkScrollBarArea AArea,
                                 TlkPartDrawState AState) const;
  virtual TPoint ScrollBarSystemExtent() const;
  // R filled with AColor by the canvas's rules, then the platform's grip.
  virtual void DrawSizeGripArea(TlkCanvas* ACanvas, const TRect& R, TColor AColor) const;
  virtual void DrawReserved1(TlkCanvas* ACanvas, const TRect& R, int AParam1, int AParam2) const;
  // AArrows: 1 an arrow at the left end, 2 at the right end, 3 both.
  virtual void DrawHeaderWithArrows(TlkCanvas* ACanvas, const TRect& R, const TRect& ATextAreaBounds,
                                    TAlignment AHorzAlignment, TTextLayout AVertAlignment, bool AMultiLine,
                                    bool AShowEndEllipsis, const std::string& AText, TFont* AFont,
                                    TColor ATextColor, TColor ABackgroundColor, TlkBorders ANeighbors, int AArrows,
                                    int AArrowOffset) const;
  virtual void DrawSplitBorder(TlkCanvas* ACanvas, const TRect& R) const;
  // A bar of two parts with a caption turned a quarter (AOrientation 0
  // reads bottom to top, 1 top to bottom).
  virtual void DrawBarWithCaption(TlkCanvas* ACanvas, const TRect& ABarRect, const TRect& AFillRect,
                                  const TRect& ACaptionRect, const std::string& ACaption, int AOrientation) const;
  virtual void DrawNavigatorButton(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState) const;
  virtual void DrawSplitterFrame(TlkCanvas* ACanvas, const TRect& R, bool AHorizontal,
                                 const TlkViewParams& AViewParams) const;
  virtual int SplitterOption() const;
  virtual void DrawClockFace(TlkCanvas* ACanvas, const TRect& R, TColor ABackgroundColor, TDateTime ATime) const;

  // Editors and containers.
  virtual void DrawEditorButtonFace(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState, int AKind) const;
  virtual int EditorButtonCaptionOffset() const;
  virtual TPoint EditorButtonExtent() const;
  virtual TColor EditorButtonCaptionColor() const;
  virtual TColor ContainerFrameColor(bool AHighlighted) const;
  virtual void DrawImageListGlyph(TlkCanvas* ACanvas, TCustomImageList* AImageList, const TPoint& P, int AIndex,
                                  bool AEnabled) const;
  virtual TPoint GlyphAreaExtent() const;
  virtual void DrawReserved2(TlkCanvas* ACanvas, const TRect& R, int AParam) const;
  virtual void DrawReserved3(TlkCanvas* ACanvas, const TRect& R, int AParam) const;
  virtual TRect ContentMargins() const;
  virtual TColor ContentDefaultColor() const;
  virtual void DrawReserved4(TlkCanvas* ACanvas, const TRect& R) const;
  virtual void DrawReserved5(TlkCanvas* ACanvas, const TRect& R, int AParam) const;
  virtual void DrawReserved6(TlkCanvas* ACanvas, const TRect& R, int AParam) const;
  virtual TRect GroupFrameMargins() const;
  virtual TColor GroupCaptionColor() const;
  virtual bool GroupFrameTransparent(bool AHasCaption, int ACaptionPosition) const;
  virtual void DrawReserved7(TlkCanvas* ACanvas, const TRect& R, int AParam1, int AParam2, int AParam3) const;
  virtual void DrawReserved8(TlkCanvas* ACanvas, const TRect& R, int AParam1, int AParam2) const;
  virtual TPoint ReservedExtent1(int AParam) const;
  virtual TColor ReservedColor() const;
  virtual int ReservedValue() const;
  virtual void DrawReserved9(TlkCanvas* ACanvas, const TRect& R, int AParam1, int AParam2) const;
  virtual TPoint ReservedExtent2(int AParam) const;

  // Non-virtual routines that descendants draw with.

  // The sort mark: an outlined triangle of SortMarkExtent, apex up when
  // ascending; right edge doubled in ALightColor, left edge doubled in
  // ADarkColor, the base light when ascending and dark when descending.
  void DrawSortMarkShape(TlkCanvas* ACanvas, const TRect& R, bool AAscending, TColor ALightColor,
                         TColor ADarkColor) const;
  // Filled triangles at the ends of a header cell, AArrowOffset pixels in
  // from its edges, below the frame border (AArrows as for
  // DrawHeaderWithArrows).
  void DrawSideArrows(TlkCanvas* ACanvas, const TRect& R, int AArrows, int AArrowOffset, TColor AColor) const;
};

// ---------------------------------------------------------------------------
// The painter classes of the four kinds and of the native theme.

// lfStandard: the classic raised and sunken 3-D look in the system colours.
// It has no hot state: a hot element looks normal.
class TlkStandardLookAndFeelPainter : public TlkCustomLookAndFeelPainter {
  LK_PAINTER_CLASS(TlkStandardLookAndFeelPainter, TlkCustomLookAndFeelPainter)
  BYTE StyleCode() const override;
  TColor DefaultColor37() const override;
  int FrameBorderWidth() const override;
  void DrawFrameBorder(TlkCanvas* ACanvas, const TRect& R) const override;
  int ButtonBorderWidth(TlkPartDrawState AState) const override;
  int ButtonCaptionOffset() const override;
  int ButtonPressedShift() const override;
  void DrawButtonFrame(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState) const override;
  void DrawTreeExpandButton(TlkCanvas* ACanvas, const TRect& R, TColor AColor, bool AExpanded) const override;
  // The flat look's button: the base drawing with the flat painter's slots.
  void DrawGroupExpandButton(TlkCanvas* ACanvas, const TRect& R, bool AExpanded,
                             TlkPartDrawState AState) const override;
  int TreeExpandButtonExtent() const override;
  bool ButtonsHotTrack() const override;
  void DrawCheckFrame(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState) const override;
  void DrawHeaderFrame(TlkCanvas* ACanvas, const TRect& R, TlkBorders ANeighbors,
                       TlkBorders ABorders) const override;
  void DrawHeaderSectionFrame(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState,
                              TlkBorders ABorders) const override;
  void DrawSortMark(TlkCanvas* ACanvas, const TRect& R, bool AAscending) const override;
  int HeaderFrameWidth() const override;
  int HeaderSectionFrameWidth(TlkPartDrawState AState) const override;
  TPoint SortMarkExtent() const override;
  int FooterFrameWidth() const override;
  int FooterCellFrameWidth() const override;
  int FooterCellInset() const override;
  void DrawFooterFrame(TlkCanvas* ACanvas, const TRect& R) const override;
  void DrawFooterCellFrame(TlkCanvas* ACanvas, const TRect& R) const override;
  void DrawFilterDropDown(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState, bool AActive) const override;
  void DrawTabItemFrame(TlkCanvas* ACanvas, const TRect& R, bool AVertical, TlkBorders ABorders,
                        int AEdge) const override;
  void DrawTabStrip(TlkCanvas* ACanvas, const TRect& R, bool AVertical, TlkBorders ABorders) const override;
  int TabItemFrameWidth(bool AVertical) const override;
  void DrawScrollBarPart(TlkCanvas* ACanvas, bool AHorizontal, const TRect& R, TlkScrollBarArea AArea,
                         TlkPartDrawState AState) const override;
  void DrawHeaderWithArrows(TlkCanvas* ACanvas, const TRect& R, const TRect& ATextAreaBounds,
                            TAlignment AHorzAlignment, TTextLayout AVertAlignment, bool AMultiLine,
                            bool AShowEndEllipsis, const std::string& AText, TFont* AFont, TColor ATextColor,
                            TColor ABackgroundColor, TlkBorders ANeighbors, int AArrows,
                            int AArrowOffset) const override;
  void DrawSplitterFrame(TlkCanvas* ACanvas, const TRect& R, bool AHorizontal,
                         const TlkViewParams& AViewParams) const override;
};

// lfFlat: thin one-ring 3-D frames in the system colours; no hot state.
class TlkFlatLookAndFeelPainter : public TlkCustomLookAndFeelPainter {
  LK_PAINTER_CLASS(TlkFlatLookAndFeelPainter, TlkCustomLookAndFeelPainter)
  BYTE StyleCode() const override;
  int FrameBorderWidth() const override;
  void DrawFrameBorder(TlkCanvas* ACanvas, const TRect& R) const override;
  int ButtonBorderWidth(TlkPartDrawState AState) const override;
  int ButtonCaptionOffset() const override;
  int ButtonPressedShift() const override;
  void DrawButtonFrame(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState) const override;
  void DrawTreeExpandButton(TlkCanvas* ACanvas, const TRect& R, TColor AColor, bool AExpanded) const override;
  int TreeExpandButtonExtent() const override;
  bool ButtonsHotTrack() const override;
  void DrawCheckFrame(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState) const override;
  void DrawHeaderFrame(TlkCanvas* ACanvas, const TRect& R, TlkBorders ANeighbors,
                       TlkBorders ABorders) const override;
  void DrawHeaderSectionFrame(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState,
                              TlkBorders ABorders) const override;
  void DrawSortMark(TlkCanvas* ACanvas, const TRect& R, bool AAscending) const override;
  int HeaderFrameWidth() const override;
  TPoint SortMarkExtent() const override;
  int FooterFrameWidth() const override;
  int FooterCellFrameWidth() const override;
  int FooterCellInset() const override;
  void DrawFooterFrame(TlkCanvas* ACanvas, const TRect& R) const override;
  void DrawFooterCellFrame(TlkCanvas* ACanvas, const TRect& R) const override;
  void DrawFilterDropDown(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState, bool AActive) const override;
  void DrawTabItemFrame(TlkCanvas* ACanvas, const TRect& R, bool AVertical, TlkBorders ABorders,
                        int AEdge) const override;
  void DrawTabStrip(TlkCanvas* ACanvas, const TRect& R, bool AVertical, TlkBorders ABorders) const override;
  int TabItemFrameWidth(bool AVertical) const override;
  void DrawScrollBarPart(TlkCanvas* ACanvas, bool AHorizontal, const TRect& R, TlkScrollBarArea AArea,
                         TlkPartDrawState AState) const override;
  void DrawSplitterFrame(TlkCanvas* ACanvas, const TRect& R, bool AHorizontal,
                         const TlkViewParams& AViewParams) const override;
};

// lfUltraFlat: one-pixel single-colour frames; buttons hot-track with
// highlight-tinted faces.
class TlkUltraFlatLookAndFeelPainter : public TlkCustomLookAndFeelPainter {
  LK_PAINTER_CLASS(TlkUltraFlatLookAndFeelPainter, TlkCustomLookAndFeelPainter)
  BYTE StyleCode() const override;
  TColor DefaultColor34() const override;
  int FrameBorderWidth() const override;
  void DrawFrameBorder(TlkCanvas* ACanvas, const TRect& R) const override;
  int ButtonBorderWidth(TlkPartDrawState AState) const override;
  TColor ButtonFaceColor(TlkPartDrawState AState) const override;
  TRect ButtonFocusBounds(TlkCanvas* ACanvas, const TRect& R) const override;
  TRect ButtonGroupBorderWidths(int AButtonIndex, int AButtonCount) const override;
  int ButtonCaptionOffset() const override;
  int ButtonPressedShift() const override;
  TColor ButtonGlyphColor(TlkPartDrawState AState, TColor ADefaultColor) const override;
  // The glyph is drawn in the state's colours, never greyed.
  TlkPartDrawState ButtonGlyphState(TlkPartDrawState AState) const override;
  void DrawCaptionlessButton(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState, int AButtonCount,
                             int AButtonIndex, TColor AColor) const override;
  void DrawButtonFrame(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState) const override;
  void DrawButtonGroupOutline(TlkCanvas* ACanvas, const TRect& R, bool AActive, bool AHighlighted) const override;
  void DrawTreeExpandButton(TlkCanvas* ACanvas, const TRect& R, TColor AColor, bool AExpanded) const override;
  int TreeExpandButtonExtent() const override;
  bool ButtonsHotTrack() const override;
  void DrawCheckFrame(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState) const override;
  void DrawHeaderCellPlain(TlkCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                           TlkPartDrawState AState, TAlignment AHorzAlignment, TTextLayout AVertAlignment,
                           bool AMultiLine, bool AShowEndEllipsis, const std::string& AText, TFont* AFont,
                           TColor ATextColor, TColor ABackgroundColor,
                           const TlkCustomDrawContentProc& ACustomDraw) const override;
  void DrawHeaderFrame(TlkCanvas* ACanvas, const TRect& R, TlkBorders ANeighbors,
                       TlkBorders ABorders) const override;
  void DrawHeaderSectionFrame(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState,
                              TlkBorders ABorders) const override;
  void DrawHeaderSectionContent(TlkCanvas* ACanvas, const TRect& R, const TRect& ATextAreaBounds,
                                TlkPartDrawState AState, TColor ABackgroundColor, TAlignment AHorzAlignment,
                                TTextLayout AVertAlignment, bool AMultiLine, bool AShowEndEllipsis,
                                const std::string& AText, TFont* AFont, TColor ATextColor) const override;
  void DrawSortMark(TlkCanvas* ACanvas, const TRect& R, bool AAscending) const override;
  TlkBorders HeaderDrawnSides(TlkBorders ANeighbors) const override;
  int HeaderFrameWidth() const override;
  TPoint SortMarkExtent() const override;
  TlkBorders FooterDrawnSides() const override;
  int FooterFrameWidth() const override;
  int FooterCellFrameWidth() const override;
  int FooterCellInset() const override;
  void DrawFooterFrame(TlkCanvas* ACanvas, const TRect& R) const override;
  void DrawFooterCellFrame(TlkCanvas* ACanvas, const TRect& R) const override;
  void DrawFilterDropDown(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState, bool AActive) const override;
  TPoint CloseCrossButtonExtent() const override;
  void DrawTabItemFrame(TlkCanvas* ACanvas, const TRect& R, bool AVertical, TlkBorders ABorders,
                        int AEdge) const override;
  void DrawTabStrip(TlkCanvas* ACanvas, const TRect& R, bool AVertical, TlkBorders ABorders) const override;
  int TabItemFrameWidth(bool AVertical) const override;
  void DrawScrollBarPart(TlkCanvas* ACanvas, bool AHorizontal, const TRect& R, TlkScrollBarArea AArea,
                         TlkPartDrawState AState) const override;
  void DrawNavigatorButton(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState) const override;
  void DrawSplitterFrame(TlkCanvas* ACanvas, const TRect& R, bool AHorizontal,
                         const TlkViewParams& AViewParams) const override;

  // Appended slots, which the Office 2003 painter overrides.
  virtual TColor StateFrameColor(TlkPartDrawState AState) const;
  virtual TColor TabFrameColor() const;
  virtual TColor TabEdgeColor() const;
  virtual TColor HighlightFrameColor() const;
};

// lfOffice11: the Office 2003 look on the shared Office 2003 colours. Its
// scroll bar is the native theme's when the scroll bar theme is usable,
// else the standard one.
class TlkOffice11LookAndFeelPainter : public TlkUltraFlatLookAndFeelPainter {
  LK_PAINTER_CLASS(TlkOffice11LookAndFeelPainter, TlkUltraFlatLookAndFeelPainter)
  void PaintContent(TlkCanvas* ACanvas, const TRect& R, const TlkCustomDrawContentProc& ACustomDraw,
                    TColor ABackgroundColor, TColor ATextColor, TFont* AFont, const std::string& AText,
                    TAlignment AHorzAlignment, TTextLayout AVertAlignment, bool AMultiLine, bool AShowEndEllipsis,
                    const TRect& ATextRect) const override;
  // The header content of the Office 2003 look, which also needs to know
  // whether the cell is plain and its state: a plain cell is one fill,
  // any other fades into a darker line over its bottom rows, and a hot one
  // is darker with a hot strip below. The background colour is the
  // header's own unless the callback draws. The slot above draws a cell
  // that is neither plain nor hot.
  void PaintContentEx(TlkCanvas* ACanvas, const TRect& R, bool APlain, const TlkCustomDrawContentProc& ACustomDraw,
                      TColor ABackgroundColor, TColor ATextColor, TFont* AFont, const std::string& AText,
                      TAlignment AHorzAlignment, TTextLayout AVertAlignment, TlkPartDrawState AState,
                      bool AMultiLine, bool AShowEndEllipsis, const TRect& ATextRect) const;
  BYTE StyleCode() const override;
  TColor DefaultColor5() const override;
  TColor DefaultColor6() const override;
  TColor DefaultColor8() const override;
  TColor DefaultColor9() const override;
  TColor DefaultColor11() const override;
  TColor DefaultColor12() const override;
  TColor DefaultColor13() const override;
  TColor DefaultColor15() const override;
  TColor DefaultColor17() const override;
  TColor DefaultColor29() const override;
  TColor DefaultColor30() const override;
  TColor DefaultColor31() const override;
  TColor DefaultColor34() const override;
  TColor DefaultColor35() const override;
  TColor DefaultColor42() const override;
  TColor DefaultColor44() const override;
  TColor DefaultColor47() const override;
  TColor DefaultColor49() const override;
  void DrawFrameBorder(TlkCanvas* ACanvas, const TRect& R) const override;
  TColor ButtonFaceColor(TlkPartDrawState AState) const override;
  TColor ButtonGlyphColor(TlkPartDrawState AState, TColor ADefaultColor) const override;
  void DrawButtonFrame(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState) const override;
  void DrawTreeExpandButton(TlkCanvas* ACanvas, const TRect& R, TColor AColor, bool AExpanded) const override;
  bool TreeExpandButtonPaintedFirst() const override;
  void DrawSmallExpandButton(TlkCanvas* ACanvas, const TRect& R, TColor AFrameColor, TColor AFillColor,
                             bool AExpanded) const override;
  int TreeExpandButtonExtent() const override;
  int SmallExpandButtonExtent() const override;
  TColor CheckFaceColor(TlkPartDrawState AState) const override;
  void DrawHeaderCell(TlkCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                      TlkBorders ANeighbors, TlkBorders ABorders, TlkPartDrawState AState,
                      TAlignment AHorzAlignment, TTextLayout AVertAlignment, bool AMultiLine, bool AShowEndEllipsis,
                      const std::string& AText, TFont* AFont, TColor ATextColor, TColor ABackgroundColor,
                      const TlkCustomDrawContentProc& ACustomDraw, bool AIsLast) const override;
  void DrawHeaderFrame(TlkCanvas* ACanvas, const TRect& R, TlkBorders ANeighbors,
                       TlkBorders ABorders) const override;
  void DrawHeaderSection(TlkCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                         TlkPartDrawState AState, TAlignment AHorzAlignment, TTextLayout AVertAlignment,
                         bool AMultiLine, bool AShowEndEllipsis, const std::string& AText, TFont* AFont,
                         TColor ATextColor, TColor ABackgroundColor) const override;
  void DrawSortMark(TlkCanvas* ACanvas, const TRect& R, bool AAscending) const override;
  TlkBorders HeaderDrawnSides(TlkBorders ANeighbors) const override;
  int HeaderFrameWidth() const override;
  bool HeaderHotTracks() const override;
  TColor FooterSeparatorLineColor() const override;
  void DrawFilterDropDown(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState, bool AActive) const override;
  void DrawScrollBarPart(TlkCanvas* ACanvas, bool AHorizontal, const TRect& R, TlkScrollBarArea AArea,
                         TlkPartDrawState AState) const override;
  void DrawSizeGripArea(TlkCanvas* ACanvas, const TRect& R, TColor AColor) const override;
  void DrawHeaderWithArrows(TlkCanvas* ACanvas, const TRect& R, const TRect& ATextAreaBounds,
                            TAlignment AHorzAlignment, TTextLayout AVertAlignment, bool AMultiLine,
                            bool AShowEndEllipsis, const std::string& AText, TFont* AFont, TColor ATextColor,
                            TColor ABackgroundColor, TlkBorders ANeighbors, int AArrows,
                            int AArrowOffset) const override;
  void DrawSplitBorder(TlkCanvas* ACanvas, const TRect& R) const override;
  void DrawNavigatorButton(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState) const override;
  TColor StateFrameColor(TlkPartDrawState AState) const override;
  TColor TabFrameColor() const override;
  TColor TabEdgeColor() const override;
  TColor HighlightFrameColor() const override;

  // Appended slots.
  virtual TColor HeaderLineColor1() const;
  virtual TColor HeaderLineColor2() const;
  virtual TColor HeaderLineColor3() const;
  virtual TColor HeaderMixColor() const;
};

// The platform's visual styles: every element opens the theme of its kind
// and draws the theme's part in the state its painter state maps to; where
// the theme does not open (visual styles off, the element's theme missing,
// an older platform) the standard look, or the base drawing, takes over
// with the same arguments.
class TlkWinXPLookAndFeelPainter : public TlkStandardLookAndFeelPainter {
  LK_PAINTER_CLASS(TlkWinXPLookAndFeelPainter, TlkStandardLookAndFeelPainter)
  BYTE StyleCode() const override;
  TColor DefaultColor34() const override;
  TColor DefaultColor37() const override;
  void DrawFilledArrow(TlkCanvas* ACanvas, const TRect& R, TColor AColor, TlkArrowHeading AHeading) const override;
  void DrawArrowButton(TlkCanvas* ACanvas, const TRect& R, bool AWithBody, TlkArrowHeading AHeading,
                       TlkPartDrawState AState) const override;
  void DrawButtonBody(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState) const override;
  int FrameBorderWidth() const override;
  void DrawFrameBorder(TlkCanvas* ACanvas, const TRect& R) const override;
  TRect GroupButtonDisplayBounds(const TRect& R) const override;
  int ButtonBorderWidth(TlkPartDrawState AState) const override;
  TColor ButtonFaceColor(TlkPartDrawState AState) const override;
  TRect ButtonFocusBounds(TlkCanvas* ACanvas, const TRect& R) const override;
  TRect ButtonGroupBorderWidths(int AButtonIndex, int AButtonCount) const override;
  int ButtonCaptionOffset() const override;
  int ButtonPressedShift() const override;
  TColor ButtonGlyphColor(TlkPartDrawState AState, TColor ADefaultColor) const override;
  void DrawPushButton(TlkCanvas* ACanvas, const TRect& R, const std::string& ACaption, TlkPartDrawState AState,
                      bool ADrawFrame, TColor AFaceColor, TColor ATextColor, bool AWordWrap) const override;
  void DrawTreeExpandButton(TlkCanvas* ACanvas, const TRect& R, TColor AColor, bool AExpanded) const override;
  bool TreeExpandButtonPaintedFirst() const override;
  void DrawGroupExpandButton(TlkCanvas* ACanvas, const TRect& R, bool AExpanded,
                             TlkPartDrawState AState) const override;
  void DrawSmallExpandButton(TlkCanvas* ACanvas, const TRect& R, TColor AFrameColor, TColor AFillColor,
                             bool AExpanded) const override;
  int TreeExpandButtonExtent() const override;
  int GroupExpandButtonExtent() const override;
  bool ButtonsHotTrack() const override;
  bool PointInGroupExpandButton(const TRect& R, const TPoint& P) const override;
  int SmallExpandButtonExtent() const override;
  int CheckFrameWidth() const override;
  TPoint CheckBoxExtent() const override;
  void DrawCheckMark(TlkCanvas* ACanvas, const TRect& R, TColor AColor, bool AChecked,
                     TlkPartDrawState AState) const override;
  void DrawCheckFrame(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState) const override;
  void DrawRadioGlyph(TlkCanvas* ACanvas, const TPoint& P, TlkPartDrawState AState, bool AChecked, bool AFocused,
                      bool AHighlighted, TColor ABackgroundColor) const override;
  TPoint RadioGlyphExtent() const override;
  void DrawHeaderCell(TlkCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                      TlkBorders ANeighbors, TlkBorders ABorders, TlkPartDrawState AState,
                      TAlignment AHorzAlignment, TTextLayout AVertAlignment, bool AMultiLine, bool AShowEndEllipsis,
                      const std::string& AText, TFont* AFont, TColor ATextColor, TColor ABackgroundColor,
                      const TlkCustomDrawContentProc& ACustomDraw, bool AIsLast) const override;
  void InvertHeaderArea(TlkCanvas* ACanvas, const TRect& R) const override;
  void DrawHeaderSection(TlkCanvas* ACanvas, const TRect& ABounds, const TRect& ATextAreaBounds,
                         TlkPartDrawState AState, TAlignment AHorzAlignment, TTextLayout AVertAlignment,
                         bool AMultiLine, bool AShowEndEllipsis, const std::string& AText, TFont* AFont,
                         TColor ATextColor, TColor ABackgroundColor) const override;
  void DrawSortMark(TlkCanvas* ACanvas, const TRect& R, bool AAscending) const override;
  int HeaderFrameWidth() const override;
  int HeaderSectionFrameWidth(TlkPartDrawState AState) const override;
  TRect HeaderSectionContentBounds(const TRect& R, TlkPartDrawState AState) const override;
  bool HeaderHotTracks() const override;
  TPoint SortMarkExtent() const override;
  int FooterFrameWidth() const override;
  int FooterCellFrameWidth() const override;
  int FooterCellInset() const override;
  bool FooterCellsPaintedFirst() const override;
  void DrawFooterCellContent(TlkCanvas* ACanvas, const TRect& R, TAlignment AHorzAlignment,
                             TTextLayout AVertAlignment, bool AMultiLine, bool AShowEndEllipsis,
                             const std::string& AText, TFont* AFont, TColor ATextColor,
                             TColor ABackgroundColor) const override;
  void DrawFooterFrame(TlkCanvas* ACanvas, const TRect& R) const override;
  void DrawCloseCrossButton(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState) const override;
  void DrawFilterDropDown(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState, bool AActive) const override;
  TPoint FilterCheckBoxExtent() const override;
  TPoint CloseCrossButtonExtent() const override;
  void DrawTabItem(TlkCanvas* ACanvas, const TRect& R, const TRect& AContentRect, bool AVertical,
                   TlkBorders ABorders, TlkPartDrawState AState, const std::string& AText, TFont* AFont,
                   TColor ATextColor, TColor ABackgroundColor) const override;
  void DrawTabItemFrame(TlkCanvas* ACanvas, const TRect& R, bool AVertical, TlkBorders ABorders,
                        int AEdge) const override;
  void DrawTabStrip(TlkCanvas* ACanvas, const TRect& R, bool AVertical, TlkBorders ABorders) const override;
  bool TabItemSupported(bool AVertical) const override;
  bool TabsHotTrack(bool AVertical) const override;
  int TabItemFrameWidth(bool AVertical) const override;
  void DrawRowIndicatorCell(TlkCanvas* ACanvas, const TRect& R, TlkBorders ANeighbors, TlkBorders ABorders,
                            int AKind) const override;
  int ScrollBarMinimalThumbSize(bool AVertical) const override;
  void DrawScrollBarPart(TlkCanvas* ACanvas, bool AHorizontal, const TRect& R, TlkScrollBarArea AArea,
                         TlkPartDrawState AState) const override;
  void DrawSizeGripArea(TlkCanvas* ACanvas, const TRect& R, TColor AColor) const override;
  void DrawHeaderWithArrows(TlkCanvas* ACanvas, const TRect& R, const TRect& ATextAreaBounds,
                            TAlignment AHorzAlignment, TTextLayout AVertAlignment, bool AMultiLine,
                            bool AShowEndEllipsis, const std::string& AText, TFont* AFont, TColor ATextColor,
                            TColor ABackgroundColor, TlkBorders ANeighbors, int AArrows,
                            int AArrowOffset) const override;
  void DrawNavigatorButton(TlkCanvas* ACanvas, const TRect& R, TlkPartDrawState AState) const override;
  void DrawSplitterFrame(TlkCanvas* ACanvas, const TRect& R, bool AHorizontal,
                         const TlkViewParams& AViewParams) const override;

  // Appended slot: the caption of a themed part, in the font and colour,
  // with the platform's theme text drawing.
  virtual void DrawThemedCaption(TlkCanvas* ACanvas, HTHEME ATheme, TColor ATextColor, TFont* AFont,
                                 const std::string& AText, TAlignment AHorzAlignment, TTextLayout AVertAlignment,
                                 bool AMultiLine, bool AShowEndEllipsis, const TRect& AContentRect, int APart,
                                 int AState) const;
};

// ---------------------------------------------------------------------------
// System colour changes. Every notifier that lives is called when the
// desktop's colours or palette change: the primary ones first, then the
// others, each group from the newest to the oldest. One hidden listener
// window serves all of them and exists while any notifier does; it refreshes
// the Office 2003 colours before it calls anybody, so every notifier already
// sees the new colour set.
class TlkSystemPaletteChangedNotifier : public TObject {
  QV_CLASS(TlkSystemPaletteChangedNotifier, TObject)
  explicit TlkSystemPaletteChangedNotifier(bool APrimary = false);
  ~TlkSystemPaletteChangedNotifier() override;
  TlkSystemPaletteChangedNotifier(const TlkSystemPaletteChangedNotifier&) = delete;
  TlkSystemPaletteChangedNotifier& operator=(const TlkSystemPaletteChangedNotifier&) = delete;

  bool Primary() const { return FPrimary; }
  // Calls OnSystemPaletteChanged when assigned.
  virtual void DoChanged();

  std::function<void()> OnSystemPaletteChanged;

 private:
  bool FPrimary;
};

// The listener window's handle while one exists (for tests and the desktop's
// broadcasts); null otherwise.
HWND lkSystemPaletteListenerWindow();

// ---------------------------------------------------------------------------
// Named extra painters. A look and feel whose skin name matches an entry
// draws with its painter; this system registers none, so the list stays
// empty and lookups fail.

// {7665B7CA-2C4B-48B9-ABA2-FA530E7EA468}
inline constexpr IID IID_IlkLookAndFeelPainterListener = {
    0x7665B7CA, 0x2C4B, 0x48B9, {0xAB, 0xA2, 0xFA, 0x53, 0x0E, 0x7E, 0xA4, 0x68}};

// Told when the named painters change.
struct IlkLookAndFeelPainterListener : public IUnknown {
  static constexpr const IID& Iid = IID_IlkLookAndFeelPainterListener;
  using Base = IUnknown;
  virtual void PainterChanged() = 0;

 protected:
  ~IlkLookAndFeelPainterListener() = default;
};

// An entry: a painter under a name.
class TlkPainterInfo : public TObject {
  QV_CLASS(TlkPainterInfo, TObject)
  TlkPainterInfo(const std::string& AName, TlkLookAndFeelPainterClass APainter) : Name(AName), Painter(APainter) {}

  std::string Name;
  TlkLookAndFeelPainterClass Painter;
};

class TlkExtendedStylePainters : public TlkObjectList {
  QV_CLASS(TlkExtendedStylePainters, TlkObjectList)
  TlkExtendedStylePainters() = default;
  ~TlkExtendedStylePainters() override;

  // Each listener once; removing one that is absent does nothing.
  void AddPainterListener(IlkLookAndFeelPainterListener* AListener);
  void RemovePainterListener(IlkLookAndFeelPainterListener* AListener);
  int PainterListenerCount() const { return static_cast<int>(FPainterListeners.size()); }

  // The first entry of the name, compared without regard to case; -1 and
  // no record when there is none.
  int IndexOfName(const std::string& AName, TlkPainterInfo** AInfo = nullptr) const;
  // True with the entry's painter when the name is known; APainter is left
  // alone otherwise.
  bool FindPainterByName(const std::string& AName, TlkLookAndFeelPainterClass& APainter) const;
  // EListError for an index outside the list.
  TlkPainterInfo* PainterInfoAt(int AIndex) const;

 private:
  std::vector<IlkLookAndFeelPainterListener*> FPainterListeners;
};

// The process-wide list: null before the unit starts and after it ends.
TlkExtendedStylePainters* NamedPainterList();

// ---------------------------------------------------------------------------
// Routines of the unit.

// Flat 0, UltraFlat 2 and Office 2003 4 have kinds of their own; anything
// else (Standard 1, the native theme 3) is lfStandard.
TlkLookAndFeelKind StyleCodeToLookAndFeelKind(BYTE AStyleCode);
// The heading of a scroll bar arrow: up and down for a vertical bar's top
// and bottom arrow, left and right for a horizontal bar's.
TlkArrowHeading ScrollBarArrowHeading(bool AHorizontal, TlkScrollBarArea AArea);
// The triangle of an arrow in R: with ASquareFit R first becomes centred
// square, then the triangle is n pixels deep and 2n - 1 wide with n from
// R's extent across the heading, or ASize when that is above 0.
std::array<TPoint, 3> lkCalculateArrowPoints(const TRect& R, bool ASquareFit, TlkArrowHeading AHeading,
                                             int ASize = 0);
// A filled triangle of lkCalculateArrowPoints in AColor (brush and pen).
void lkDrawArrow(TlkCanvas* ACanvas, const TRect& R, bool ASquareFit, TlkArrowHeading AHeading, TColor AColor);
// A plus (collapsed) or minus (expanded) sign centred in R, its arms
// (width - 4) div 2 long.
void lkDrawExpandCross(TlkCanvas* ACanvas, const TRect& R, bool AExpanded, TColor AColor);

// The check box glyph size measured from the platform's check box bitmap
// when the unit started; (0, 0) before.
TPoint lkCheckGlyphSize();
// The row indicator images; null while the unit has none.
TCustomImageList* lkRowIndicatorImages();

// ---------------------------------------------------------------------------
// Radio button glyphs, generated once for every look, state and check state
// from the platform's own radio button shape, and kept in one image list.
// The painters' DrawRadioGlyph and RadioGlyphExtent draw from it.
class TlkRadioButtonImageList : public TObject {
  QV_CLASS(TlkRadioButtonImageList, TObject)
  // Measures the platform's glyph on first use; the images come with
  // Rebuild.
  TlkRadioButtonImageList();
  ~TlkRadioButtonImageList() override;
  TlkRadioButtonImageList(const TlkRadioButtonImageList&) = delete;
  TlkRadioButtonImageList& operator=(const TlkRadioButtonImageList&) = delete;

  // The glyph with its top-left corner at (X, Y). With ABackgroundColor
  // clDefault the canvas shows through outside the round shape; otherwise
  // the glyph's square is filled with that colour first.
  void PaintGlyph(TlkCanvas* ACanvas, int X, int Y, TlkLookAndFeelKind AKind, TlkPartDrawState AState,
                  bool AChecked, bool AFlagA, bool AFlagB, TColor ABackgroundColor);
  // state + 8 kind + 4 checked + 32 flag B + 64 flag A - 1, for the
  // states pdsNormal to pdsDisabled: 0 to 127.
  static int GlyphKey(TlkLookAndFeelKind AKind, TlkPartDrawState AState, bool AChecked, bool AFlagA, bool AFlagB);
  // The image of the key; -1 for a state outside pdsNormal..pdsDisabled.
  int GlyphIndex(TlkLookAndFeelKind AKind, TlkPartDrawState AState, bool AChecked, bool AFlagA,
                 bool AFlagB) const;
  TPoint ImageSize() const;
  int Count() const;
  // Fills an empty list with every glyph.
  void Rebuild();
  // Clears and fills again, in the colours of now.
  void RegenerateGlyphs();

 private:
  TImageList* FImageList = nullptr;
  TBitmap* FButtonMask = nullptr;
  std::vector<int> FIndexMap;
};

// The shared glyphs, made and filled on first use and freed when the unit
// ends.
TlkRadioButtonImageList* SharedRadioGlyphs();

// ---------------------------------------------------------------------------
// Shared painter resources.

// The 8 x 8 patterns of the classic scroll bars' page areas, in the system
// colours of the last repaint: the normal one in button face and highlight,
// the pressed one in black and dark shadow. Null while the unit has none.
TBitmap* lkScrollBarPatternBitmap(bool APressed);
// Makes the patterns when they are missing and paints them.
void BuildScrollBarPatternBitmaps();
void PaintScrollBarPatternBitmaps();
void FreeScrollBarPatternBitmaps();
// The row indicator images from the program's bitmap resources
// "LK_ARROWBITMAP" to "LK_FILTERBITMAP", white transparent; a program
// without them has none.
void LoadIndicatorBitmaps();
void FreeIndicatorBitmaps();
// Measures the check box glyph (lkCheckGlyphSize).
void GetCheckGlyphSize();

// ---------------------------------------------------------------------------
// The unit in the program's start-up order (uses lkGraphics).
extern const qv::classlib::TUnitInfo lkLookAndFeelPaintersUnit;

namespace lkLookAndFeelPainters {

// Unit start-up and shut-down. Counted: only the first Initialize and the
// matching last Finalize act.
void Initialize();
void Finalize();

}  // namespace lkLookAndFeelPainters
