// DrawEdge with every edge kind and flag, the diagonals included, and
// DrawFrameControl for push buttons, check boxes, radio buttons, scroll
// arrows, the size grip and caption buttons. Every system colour these use
// is set to a colour of its own first, so that each pixel tells which one
// was painted, and the canvas starts in a colour none of them has.
#include <string>

#include "Conformance.h"

namespace {

const std::uint32_t kBackground = 0x336699;

void setColours() {
  const INT elements[] = {COLOR_BTNFACE,    COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW,
                          COLOR_3DLIGHT,    COLOR_WINDOW,    COLOR_WINDOWFRAME,  COLOR_WINDOWTEXT,
                          COLOR_BTNTEXT,    COLOR_GRAYTEXT,  COLOR_HIGHLIGHT,    COLOR_SCROLLBAR};
  const COLORREF values[] = {RGB(200, 190, 180), RGB(100, 90, 80),  RGB(250, 240, 230), RGB(40, 30, 20),
                             RGB(220, 215, 210), RGB(255, 255, 250), RGB(10, 10, 60),   RGB(60, 0, 0),
                             RGB(0, 60, 0),      RGB(150, 150, 160), RGB(0, 0, 200),    RGB(170, 180, 190)};
  SetSysColors(static_cast<int>(sizeof elements / sizeof elements[0]), elements, values);
}

// One drawing on a fresh canvas: its answer under `label`, the rectangle it
// leaves and its pixels.
template <class Draw>
void drawCase(const std::string& name, const char* label, RECT r, Draw draw) {
  conf::begin(name);
  conf::Canvas canvas(64, 64, kBackground);
  RECT in = r;
  conf::value(label, draw(canvas.dc(), &in));
  conf::rect("rect after", in);
  canvas.show();
}

void edge(const std::string& name, RECT r, UINT kind, UINT flags) {
  drawCase(name, "DrawEdge", r, [&](HDC dc, RECT* in) { return DrawEdge(dc, in, kind, flags); });
}

void edges() {
  const struct {
    UINT kind;
    const char* name;
  } kinds[] = {{EDGE_RAISED, "raised"},           {EDGE_SUNKEN, "sunken"},         {EDGE_ETCHED, "etched"},
               {EDGE_BUMP, "bump"},               {BDR_RAISEDOUTER, "raised outer"}, {BDR_SUNKENOUTER, "sunken outer"},
               {BDR_RAISEDINNER, "raised inner"}, {BDR_SUNKENINNER, "sunken inner"}, {0, "none"}};
  const struct {
    UINT flags;
    const char* name;
  } flagSets[] = {{BF_RECT, "rect"},
                  {BF_RECT | BF_MIDDLE, "rect middle"},
                  {BF_RECT | BF_SOFT, "rect soft"},
                  {BF_RECT | BF_FLAT, "rect flat"},
                  {BF_RECT | BF_MONO, "rect mono"},
                  {BF_RECT | BF_FLAT | BF_MIDDLE, "rect flat middle"},
                  {BF_RECT | BF_MONO | BF_MIDDLE, "rect mono middle"},
                  {BF_RECT | BF_ADJUST, "rect adjust"},
                  {BF_LEFT | BF_TOP, "top left"},
                  {BF_RIGHT | BF_BOTTOM | BF_ADJUST, "bottom right adjust"},
                  {BF_TOP | BF_BOTTOM | BF_MIDDLE, "top bottom middle"},
                  {BF_LEFT, "left"}};
  for (const auto& k : kinds)
    for (const auto& f : flagSets)
      edge(std::string("edge ") + k.name + " " + f.name, RECT{4, 6, 44, 30}, k.kind, f.flags);
  edge("edge raised rect small", RECT{10, 10, 13, 13}, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST);
  edge("edge raised rect empty", RECT{10, 10, 10, 30}, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST);
  edge("edge raised rect reversed", RECT{40, 30, 10, 10}, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST);

  const struct {
    UINT flags;
    const char* name;
  } diagonals[] = {{BF_DIAGONAL_ENDTOPRIGHT, "end top right"},
                   {BF_DIAGONAL_ENDTOPLEFT, "end top left"},
                   {BF_DIAGONAL_ENDBOTTOMLEFT, "end bottom left"},
                   {BF_DIAGONAL_ENDBOTTOMRIGHT, "end bottom right"},
                   {BF_DIAGONAL, "plain"}};
  const struct {
    UINT kind;
    const char* name;
  } diagonalKinds[] = {{EDGE_RAISED, "raised"},
                       {EDGE_SUNKEN, "sunken"},
                       {EDGE_ETCHED, "etched"},
                       {BDR_RAISEDINNER, "raised inner"},
                       {BDR_SUNKENINNER, "sunken inner"},
                       {BDR_RAISEDOUTER, "raised outer"}};
  for (const auto& k : diagonalKinds) {
    for (const auto& d : diagonals) {
      edge(std::string("diagonal ") + k.name + " " + d.name, RECT{4, 4, 40, 40}, k.kind, d.flags);
      edge(std::string("diagonal ") + k.name + " " + d.name + " middle", RECT{4, 4, 40, 40}, k.kind,
           d.flags | BF_MIDDLE);
    }
  }
  // A diagonal across a rectangle that is not square runs across the square
  // of its shorter side.
  edge("diagonal raised end top right wide", RECT{2, 10, 60, 30}, EDGE_RAISED, BF_DIAGONAL_ENDTOPRIGHT);
  edge("diagonal raised end bottom left tall", RECT{10, 2, 30, 60}, EDGE_RAISED, BF_DIAGONAL_ENDBOTTOMLEFT);
  edge("diagonal sunken end top left tall", RECT{10, 2, 30, 60}, EDGE_SUNKEN, BF_DIAGONAL_ENDTOPLEFT);
  edge("diagonal sunken end bottom right wide", RECT{2, 10, 60, 30}, EDGE_SUNKEN, BF_DIAGONAL_ENDBOTTOMRIGHT);
  edge("diagonal sunken end top left adjust", RECT{4, 4, 40, 40}, EDGE_SUNKEN,
       BF_DIAGONAL_ENDTOPLEFT | BF_ADJUST);
  edge("diagonal raised soft", RECT{4, 4, 40, 40}, EDGE_RAISED, BF_DIAGONAL_ENDTOPRIGHT | BF_SOFT);
  edge("diagonal raised flat middle", RECT{4, 4, 40, 40}, EDGE_RAISED, BF_DIAGONAL_ENDTOPRIGHT | BF_FLAT | BF_MIDDLE);
  edge("diagonal raised mono", RECT{4, 4, 40, 40}, EDGE_RAISED, BF_DIAGONAL_ENDTOPRIGHT | BF_MONO);
}

void frame(const std::string& name, RECT r, UINT type, UINT state) {
  drawCase(name, "DrawFrameControl", r, [&](HDC dc, RECT* in) { return DrawFrameControl(dc, in, type, state); });
}

void frameControls() {
  const struct {
    UINT state;
    const char* name;
  } states[] = {{0, "normal"},          {DFCS_PUSHED, "pushed"},  {DFCS_CHECKED, "checked"},
                {DFCS_INACTIVE, "inactive"}, {DFCS_FLAT, "flat"}, {DFCS_MONO, "mono"},
                {DFCS_CHECKED | DFCS_PUSHED, "checked pushed"}, {DFCS_CHECKED | DFCS_INACTIVE, "checked inactive"},
                {DFCS_CHECKED | DFCS_FLAT, "checked flat"}, {DFCS_CHECKED | DFCS_MONO, "checked mono"}};
  for (const auto& s : states) {
    frame(std::string("push button ") + s.name, RECT{4, 4, 44, 28}, DFC_BUTTON, DFCS_BUTTONPUSH | s.state);
    frame(std::string("check box ") + s.name, RECT{4, 4, 17, 17}, DFC_BUTTON, DFCS_BUTTONCHECK | s.state);
    frame(std::string("radio button ") + s.name, RECT{4, 4, 16, 16}, DFC_BUTTON, DFCS_BUTTONRADIO | s.state);
  }
  frame("push button adjust", RECT{4, 4, 44, 28}, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT);
  frame("push button pushed adjust", RECT{4, 4, 44, 28}, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED | DFCS_ADJUSTRECT);
  frame("check box three state", RECT{4, 4, 17, 17}, DFC_BUTTON, DFCS_BUTTON3STATE | DFCS_CHECKED);
  frame("check box large", RECT{4, 4, 30, 30}, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
  frame("check box wide", RECT{4, 4, 40, 17}, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
  frame("radio image", RECT{4, 4, 16, 16}, DFC_BUTTON, DFCS_BUTTONRADIOIMAGE | DFCS_CHECKED);
  frame("radio mask", RECT{4, 4, 16, 16}, DFC_BUTTON, DFCS_BUTTONRADIOMASK);
  frame("radio button large", RECT{4, 4, 28, 28}, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED);

  const struct {
    UINT kind;
    const char* name;
  } arrows[] = {{DFCS_SCROLLUP, "up"},
                {DFCS_SCROLLDOWN, "down"},
                {DFCS_SCROLLLEFT, "left"},
                {DFCS_SCROLLRIGHT, "right"},
                {DFCS_SCROLLCOMBOBOX, "combo box"}};
  const struct {
    UINT state;
    const char* name;
  } arrowStates[] = {{0, "normal"}, {DFCS_PUSHED, "pushed"}, {DFCS_INACTIVE, "inactive"}, {DFCS_FLAT, "flat"}};
  for (const auto& a : arrows)
    for (const auto& s : arrowStates)
      frame(std::string("scroll ") + a.name + " " + s.name, RECT{4, 4, 21, 21}, DFC_SCROLL, a.kind | s.state);
  frame("scroll up 16", RECT{4, 4, 20, 20}, DFC_SCROLL, DFCS_SCROLLUP);
  frame("scroll left 16 pushed", RECT{4, 4, 20, 20}, DFC_SCROLL, DFCS_SCROLLLEFT | DFCS_PUSHED);
  frame("scroll up large", RECT{4, 4, 40, 40}, DFC_SCROLL, DFCS_SCROLLUP);
  frame("scroll right wide", RECT{4, 4, 40, 20}, DFC_SCROLL, DFCS_SCROLLRIGHT);
  frame("scroll down small", RECT{4, 4, 12, 12}, DFC_SCROLL, DFCS_SCROLLDOWN);
  for (RECT r : {RECT{4, 4, 20, 20}, RECT{4, 4, 40, 30}, RECT{10, 10, 23, 23}}) {
    const std::string size = std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
    frame("size grip " + size, r, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    frame("size grip right " + size, r, DFC_SCROLL, DFCS_SCROLLSIZEGRIPRIGHT);
  }
  frame("caption close", RECT{4, 4, 20, 18}, DFC_CAPTION, DFCS_CAPTIONCLOSE);
  frame("caption minimise", RECT{4, 4, 20, 18}, DFC_CAPTION, DFCS_CAPTIONMIN);
  frame("bad type", RECT{4, 4, 20, 18}, 9, 0);
}

}  // namespace

void conf::run() {
  setColours();
  edges();
  frameControls();
}
