// One laid-out piece of a page: the layout engine's document (litehtml)
// made from the page's source (PageSource.h), and the engine's document
// container, which measures and draws through our GDI and fonts: text with
// ExtTextOut in fonts from CreateFont, borders in the platform's 3-D
// colours, backgrounds, pictures, list bullets, clipping. This class is all
// of the program that knows the engine's interface.
//
// Coordinates are the layout's: (0,0) is the top left of the piece.
#pragma once

#include <litehtml/litehtml.h>

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/browser/HtmlDocument.h"
#include "platform/browser/PageResources.h"
#include "platform/browser/PageSource.h"
#include "platform/browser/PresentationalHints.h"
#include "platform/os/Types.h"
#include "platform/os/gdi/Font.h"

namespace qv::browser {

class PageLayout;

// What the view around a layout draws in it: the page of an IFRAME.
class LayoutHost {
 public:
  virtual void drawFrame(HDC dc, const Element& frame, const RECT& box, const RECT& clip) = 0;

 protected:
  ~LayoutHost() = default;
};

struct LayoutOptions {
  SourceOptions source;
  HintOptions hints;
};

// The page's background as the canvas shows it (the root's, else the
// body's, as CSS hands it on).
struct CanvasBackground {
  COLORREF color = RGB(255, 255, 255);
  bool hasColor = false;
  std::string image;  // absolute address, "" for none
  litehtml::background_repeat repeat = litehtml::background_repeat_repeat;
  bool fixed = false;
};

// The element of a layout box.
struct NodeLink {
  Element* source = nullptr;
  virtual ~NodeLink() = default;
};

class PageLayout final : public litehtml::document_container {
 public:
  PageLayout(PageResources& resources, const Document& doc, const PageSlice& slice, const LayoutOptions& options,
             LayoutHost* host);
  ~PageLayout();
  PageLayout(const PageLayout&) = delete;
  PageLayout& operator=(const PageLayout&) = delete;

  // Lays the piece out `width` pixels wide for a viewport that high; its height.
  int layout(int width, int viewportHeight);
  int width() const { return width_; }
  int height() const;
  // Draws the piece with its (0,0) at (x, y) of the DC, only what meets `clip`.
  void draw(HDC dc, int x, int y, const RECT& clip);

  // The element under a point ("" text boxes give their element), or nullptr.
  Element* elementAt(int x, int y) const;
  // The element's border box (the union of its line boxes for an inline
  // element); nullopt when it has no box here.
  std::optional<RECT> boxOf(const Element& e) const;
  // The content box of a replaced element (a picture, a field, a frame).
  std::optional<RECT> contentBoxOf(const Element& e) const;
  bool holds(const Element& e) const { return boxes_.count(&e) != 0; }
  CanvasBackground canvas() const;

  const Document& document() const { return doc_; }
  PageResources& resources() { return resources_; }
  LayoutHost* host() const { return host_; }
  const std::string& baseUrl() const { return baseUrl_; }
  const LayoutOptions& options() const { return options_; }
  // The URL a reference of the page stands for (against its base).
  std::string resolve(const std::string& reference) const;
  // Text in a font of the engine: its width, and drawing it.
  int measure(const std::string& utf8, litehtml::uint_ptr font);
  const TEXTMETRICA& metrics(litehtml::uint_ptr font) const;
  void text(HDC dc, const std::string& utf8, litehtml::uint_ptr font, COLORREF color, int x, int y);

  // --- litehtml::document_container ---------------------------------------
  litehtml::uint_ptr create_font(const litehtml::tchar_t* faceName, int size, int weight, litehtml::font_style italic,
                                 unsigned int decoration, litehtml::font_metrics* fm) override;
  void delete_font(litehtml::uint_ptr font) override;
  int text_width(const litehtml::tchar_t* text, litehtml::uint_ptr font) override;
  void draw_text(litehtml::uint_ptr hdc, const litehtml::tchar_t* text, litehtml::uint_ptr font,
                 litehtml::web_color color, const litehtml::position& pos) override;
  int pt_to_px(int pt) const override;
  int get_default_font_size() const override;
  const litehtml::tchar_t* get_default_font_name() const override;
  void draw_list_marker(litehtml::uint_ptr hdc, const litehtml::list_marker& marker) override;
  void load_image(const litehtml::tchar_t* src, const litehtml::tchar_t* baseurl, bool redraw_on_ready) override;
  void get_image_size(const litehtml::tchar_t* src, const litehtml::tchar_t* baseurl, litehtml::size& sz) override;
  void draw_background(litehtml::uint_ptr hdc, const litehtml::background_paint& bg) override;
  void draw_borders(litehtml::uint_ptr hdc, const litehtml::borders& borders, const litehtml::position& draw_pos,
                    bool root) override;
  void set_caption(const litehtml::tchar_t*) override {}
  void set_base_url(const litehtml::tchar_t* base_url) override;
  void link(const std::shared_ptr<litehtml::document>&, const litehtml::element::ptr&) override {}
  void on_anchor_click(const litehtml::tchar_t*, const litehtml::element::ptr&) override {}
  void set_cursor(const litehtml::tchar_t*) override {}
  void transform_text(litehtml::tstring& text, litehtml::text_transform tt) override;
  void import_css(litehtml::tstring& text, const litehtml::tstring& url, litehtml::tstring& baseurl) override;
  void set_clip(const litehtml::position& pos, const litehtml::border_radiuses& radius, bool valid_x,
                bool valid_y) override;
  void del_clip() override;
  void get_client_rect(litehtml::position& client) const override;
  std::shared_ptr<litehtml::element> create_element(const litehtml::tchar_t* tag_name,
                                                    const litehtml::string_map& attributes,
                                                    const std::shared_ptr<litehtml::document>& doc) override;
  void get_media_features(litehtml::media_features& media) const override;
  void get_language(litehtml::tstring& language, litehtml::tstring& culture) const override;
  litehtml::tstring resolve_color(const litehtml::tstring& color) const override;

  // The engine's default style sheet, shared by every layout; elements of
  // ours add their style hints when it is applied.
  static const litehtml::css& defaultSheet();

 private:
  struct Font;
  const litehtml::element* boxElement(const Element& e) const;
  void paintSide(HDC dc, int side, const litehtml::border& b, const RECT& outer, const int widths[4]);

  PageResources& resources_;
  const Document& doc_;
  LayoutOptions options_;
  LayoutHost* host_;
  std::string baseUrl_;
  std::vector<Element*> nodes_;
  std::map<const Element*, litehtml::element*> boxes_;
  static constexpr size_t kMaxStyleSheets = 64;
  std::set<std::string> imported_;
  std::shared_ptr<litehtml::document> engine_;
  int width_ = 0, viewportHeight_ = 0;
  HDC drawDc_ = nullptr;
  int clips_ = 0;
};

inline litehtml::size makeSize(int width, int height) {
  litehtml::size s;
  s.width = width;
  s.height = height;
  return s;
}

// The address the page's references count from: its BASE, else its own.
std::string baseUrlOf(const Document& doc);

// The layout an engine element belongs to.
PageLayout* layoutOf(const litehtml::element& e);
// The element of a box, or of the nearest box above it that has one.
Element* elementOfBox(const litehtml::element* box);

}  // namespace qv::browser
