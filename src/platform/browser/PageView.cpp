#include "platform/browser/PageView.h"

#include <cctype>
#include <set>
#include <utility>

#include "platform/os/gdi/Gdi.h"
#include "platform/os/kernel/CodePage.h"

namespace qv::browser {
namespace {

bool isBlock(const std::string& tag) {
  static const std::set<std::string> blocks = {
      "P",  "DIV", "H1", "H2", "H3",    "H4",     "H5",     "H6",     "UL",   "OL",  "LI",       "DL", "DT",
      "DD", "TABLE", "TR", "FORM", "BLOCKQUOTE", "PRE", "CENTER", "HR", "ADDRESS", "FIELDSET", "BODY", "IFRAME"};
  return blocks.count(tag) != 0;
}

bool isHidden(const std::string& tag) {
  return tag == "SCRIPT" || tag == "STYLE" || tag == "HEAD" || tag == "TITLE" || tag == "NOSCRIPT" ||
         tag == "OPTION" || tag == "SELECT" || tag == "TEXTAREA";
}

class Layout {
 public:
  Layout(HDC dc, int width) : dc_(dc), width_(width > 0 ? width : 1) {
    TEXTMETRICA tm{};
    GetTextMetrics(dc, &tm);
    lineHeight_ = tm.tmHeight > 0 ? tm.tmHeight : 13;
    SIZE sz{};
    GetTextExtentPoint32(dc, " ", 1, &sz);
    space_ = sz.cx;
  }
  void word(const std::string& ansi, Element* link) {
    SIZE sz{};
    GetTextExtentPoint32(dc_, ansi.c_str(), static_cast<int>(ansi.size()), &sz);
    int x = x_ == kMargin ? x_ : x_ + space_;
    if (x + sz.cx > width_ - kMargin && x_ > kMargin) {
      newLine();
      x = x_;
    }
    runs_.push_back(PageRun{RECT{x, y_, x + sz.cx, y_ + lineHeight_}, ansi, link});
    x_ = x + sz.cx;
  }
  void text(const std::string& utf8, Element* link) {
    std::string w;
    for (char c : utf8) {
      if (std::isspace(static_cast<unsigned char>(c))) {
        flush(w, link);
      } else {
        w += c;
      }
    }
    flush(w, link);
  }
  void newLine() {
    x_ = kMargin;
    y_ += lineHeight_;
  }
  void blockBreak() {
    if (x_ != kMargin) newLine();
  }
  std::vector<PageRun> take() { return std::move(runs_); }

 private:
  void flush(std::string& w, Element* link) {
    if (!w.empty()) word(qv::os::utf8ToAnsi(w), link);
    w.clear();
  }
  static constexpr int kMargin = 8;
  HDC dc_;
  int width_;
  int lineHeight_ = 13, space_ = 3;
  int x_ = kMargin, y_ = kMargin;
  std::vector<PageRun> runs_;
};

}  // namespace

std::vector<PageRun> layoutPage(HDC dc, const Document& doc, int width) {
  Layout layout(dc, width);
  Element* body = doc.body();
  if (!body) return {};
  // Walked with an explicit stack: pages of thousands of unclosed tags nest
  // as deep as they are long.
  struct Step {
    Element* node;
    Element* link;
    bool leaving;
  };
  std::vector<Step> stack{{body, nullptr, false}};
  while (!stack.empty()) {
    Step s = stack.back();
    stack.pop_back();
    const std::string& tag = s.node->tagName();
    if (tag.empty()) {
      layout.text(s.node->text(), s.link);
      continue;
    }
    if (s.leaving) {
      layout.blockBreak();
      continue;
    }
    if (isHidden(tag)) continue;
    if (tag == "BR") {
      layout.newLine();
      continue;
    }
    if (tag == "INPUT") {
      const std::string type = s.node->type();
      if (type != "hidden") layout.word(qv::os::utf8ToAnsi("[" + s.node->value() + "]"), nullptr);
      continue;
    }
    Element* link = s.link;
    if ((tag == "A" || tag == "AREA") && s.node->hasAttribute("href")) link = s.node;
    if (isBlock(tag)) {
      layout.blockBreak();
      stack.push_back({s.node, link, true});
    }
    const auto& kids = s.node->childNodes();
    for (auto it = kids.rbegin(); it != kids.rend(); ++it) stack.push_back({*it, link, false});
  }
  return layout.take();
}

void paintPage(HDC dc, const RECT& client, const std::vector<PageRun>& runs) {
  HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
  FillRect(dc, &client, white);
  DeleteObject(white);
  HGDIOBJ normal = GetCurrentObject(dc, OBJ_FONT);
  LOGFONTA lf{};
  GetObject(normal, sizeof lf, &lf);
  lf.lfUnderline = TRUE;
  HFONT underlined = CreateFontIndirect(&lf);
  SetBkMode(dc, TRANSPARENT);
  for (const PageRun& r : runs) {
    SelectObject(dc, r.link ? static_cast<HGDIOBJ>(underlined) : normal);
    SetTextColor(dc, r.link ? RGB(0, 0, 255) : RGB(0, 0, 0));
    RECT rc = r.rect;
    DrawText(dc, r.text.c_str(), static_cast<int>(r.text.size()), &rc, DT_SINGLELINE | DT_NOPREFIX);
  }
  SelectObject(dc, normal);
  DeleteObject(underlined);
}

Element* linkAt(const std::vector<PageRun>& runs, POINT pt) {
  for (const PageRun& r : runs)
    if (r.link && pt.x >= r.rect.left && pt.x < r.rect.right && pt.y >= r.rect.top && pt.y < r.rect.bottom)
      return r.link;
  return nullptr;
}

}  // namespace qv::browser
