#include "platform/browser/HtmlDispatch.h"

#include <cctype>

#include "platform/browser/OleInterfaces.h"
#include "platform/os/kernel/CodePage.h"

namespace qv::browser {

using qv::com::ComPtr;
using qv::com::DispatchArgs;
using qv::com::Variant;

BSTR utf8ToBstr(const std::string& utf8) {
  std::u16string w = qv::os::utf8ToUtf16(utf8);
  return SysAllocStringLen(w.data(), static_cast<UINT>(w.size()));
}

std::string bstrToUtf8(BSTR b) { return qv::os::utf16ToUtf8(std::u16string_view(b ? b : u"", SysStringLen(b))); }

namespace {

// What every object of ours knows of the model, found with dynamic_cast.
struct ModelLink {
  virtual ~ModelLink() = default;
  std::shared_ptr<Document> doc;
  Element* element = nullptr;
};

std::string variantUtf8(const VARIANT& v) {
  Variant copy(v);
  VariantCopyInd(copy.get(), &v);
  if (copy.vt() == VT_BSTR) return bstrToUtf8(copy.raw().bstrVal);
  if (copy.vt() == VT_EMPTY || copy.vt() == VT_NULL) return "";
  VARIANT_BOOL isBool = copy.vt() == VT_BOOL ? copy.raw().boolVal : 0;
  if (copy.vt() == VT_BOOL) return isBool ? "true" : "false";
  auto s = copy.toString();
  return s ? qv::os::ansiToUtf8(*s) : "";
}

bool isMissing(const VARIANT& v) { return v.vt == VT_EMPTY || v.vt == VT_ERROR || v.vt == VT_NULL; }

std::optional<LONG> indexOf(const VARIANT& v) {
  VARTYPE t = v.vt & ~VT_BYREF;
  if (t == VT_I2 || t == VT_I4 || t == VT_UI1 || t == VT_UI2 || t == VT_UI4 || t == VT_INT || t == VT_UINT ||
      t == VT_R4 || t == VT_R8 || t == VT_I8 || t == VT_UI8) {
    Variant copy(v);
    return copy.toInt();
  }
  return std::nullopt;
}

bool equalsNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

HRESULT outBstr(BSTR* p, const std::string& utf8) {
  if (!p) return E_POINTER;
  *p = utf8ToBstr(utf8);
  return S_OK;
}

template <class I>
HRESULT outObject(I** p, ComPtr<I> object) {
  if (!p) return E_POINTER;
  *p = object.detach();
  return S_OK;
}

// Puts an owned interface into a result variant (VT_NULL for none).
template <class I>
void putDispatch(VARIANT* r, I* object) {
  if (!r) {
    if (object) object->Release();
    return;
  }
  if (!object) {
    r->vt = VT_NULL;
    return;
  }
  r->vt = VT_DISPATCH;
  r->pdispVal = static_cast<IDispatch*>(object);
}

template <class Fn>
qv::com::DispatchGetter bstrGetter(Fn fn) {
  return [fn](VARIANT* r) {
    BSTR b = nullptr;
    HRESULT hr = fn(&b);
    if (FAILED(hr)) return hr;
    if (r) {
      r->vt = VT_BSTR;
      r->bstrVal = b;
    } else {
      SysFreeString(b);
    }
    return S_OK;
  };
}

template <class I, class Fn>
qv::com::DispatchGetter objectGetter(Fn fn) {
  return [fn](VARIANT* r) {
    I* p = nullptr;
    HRESULT hr = fn(&p);
    if (FAILED(hr)) return hr;
    putDispatch(r, p);
    return S_OK;
  };
}

template <class Fn>
qv::com::DispatchSetter bstrSetter(Fn fn) {
  return [fn](const DispatchArgs& a) {
    BSTR b = utf8ToBstr(variantUtf8(a[0]));
    HRESULT hr = fn(b);
    SysFreeString(b);
    return hr;
  };
}

VARIANT argOrMissing(const DispatchArgs& a, UINT i) {
  VARIANT v;
  VariantInit(&v);
  if (i < a.count()) v = a.value(i).detach();
  return v;
}

HRESULT pickItem(const std::shared_ptr<Document>& doc, const std::vector<Element*>& items, VARIANT name, VARIANT index,
                 IDispatch** out);

// ---- collections ------------------------------------------------------------

class CollectionObject : public qv::com::DispatchObject<IHTMLElementCollection>, public ModelLink {
 public:
  CollectionObject(std::shared_ptr<Document> d, std::vector<Element*> items) : items_(std::move(items)) {
    doc = std::move(d);
    members()
        .property("length", 1500,
                  [this](VARIANT* r) {
                    if (r) {
                      r->vt = VT_I4;
                      r->lVal = static_cast<LONG>(items_.size());
                    }
                    return S_OK;
                  })
        .method(
            "item", DISPID_VALUE,
            [this](const DispatchArgs& a, VARIANT* r) {
              VARIANT n = argOrMissing(a, 0), i = argOrMissing(a, 1);
              IDispatch* d = nullptr;
              HRESULT hr = item(n, i, &d);
              VariantClear(&n);
              VariantClear(&i);
              if (SUCCEEDED(hr)) putDispatch(r, d);
              return hr;
            },
            0, 2)
        .method(
            "tags", 1502,
            [this](const DispatchArgs& a, VARIANT* r) {
              VARIANT t = argOrMissing(a, 0);
              IDispatch* d = nullptr;
              HRESULT hr = tags(t, &d);
              VariantClear(&t);
              if (SUCCEEDED(hr)) putDispatch(r, d);
              return hr;
            },
            1, 1);
  }
  HRESULT get_length(LONG* p) override {
    if (!p) return E_POINTER;
    *p = static_cast<LONG>(items_.size());
    return S_OK;
  }
  HRESULT item(VARIANT name, VARIANT index, IDispatch** pdisp) override {
    return pickItem(doc, items_, name, index, pdisp);
  }
  HRESULT tags(VARIANT tagName, IDispatch** pdisp) override {
    if (!pdisp) return E_POINTER;
    std::string t = variantUtf8(tagName);
    std::vector<Element*> out;
    for (Element* e : items_)
      if (equalsNoCase(e->tagName(), t)) out.push_back(e);
    *pdisp = static_cast<IDispatch*>(new CollectionObject(doc, std::move(out)));
    (*pdisp)->AddRef();
    return S_OK;
  }

 private:
  std::vector<Element*> items_;
};

ComPtr<IHTMLElementCollection> collection(const std::shared_ptr<Document>& doc, std::vector<Element*> items) {
  return ComPtr<IHTMLElementCollection>(new CollectionObject(doc, std::move(items)));
}

HRESULT pickItem(const std::shared_ptr<Document>& doc, const std::vector<Element*>& items, VARIANT name, VARIANT index,
                 IDispatch** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (isMissing(name)) return S_OK;
  if (auto i = indexOf(name)) {
    if (*i >= 0 && static_cast<size_t>(*i) < items.size()) *out = elementObject(doc, items[*i]).detach();
    return S_OK;
  }
  std::string key = variantUtf8(name);
  std::vector<Element*> matches;
  for (Element* e : items)
    if (equalsNoCase(e->name(), key) || equalsNoCase(e->id(), key)) matches.push_back(e);
  if (auto i = indexOf(index)) {
    if (*i >= 0 && static_cast<size_t>(*i) < matches.size()) *out = elementObject(doc, matches[*i]).detach();
    return S_OK;
  }
  if (matches.size() == 1) *out = elementObject(doc, matches[0]).detach();
  if (matches.size() > 1) *out = collection(doc, std::move(matches)).detach();
  return S_OK;
}

// ---- style -------------------------------------------------------------------

std::string cssName(const std::string& scriptName) {
  std::string out;
  for (char c : scriptName) {
    if (std::isupper(static_cast<unsigned char>(c))) {
      out += '-';
      out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    } else {
      out += c;
    }
  }
  return out;
}

class StyleObject : public qv::com::DispatchObject<IHTMLStyle>, public ModelLink {
 public:
  StyleObject(std::shared_ptr<Document> d, Element* e) {
    doc = std::move(d);
    element = e;
    static const char* const known[] = {"cursor",     "visibility", "display",  "color",      "backgroundColor",
                                        "backgroundImage", "width", "height",  "left",       "top",
                                        "position",   "fontSize",   "fontFamily", "fontWeight", "textAlign",
                                        "textDecoration", "border", "margin",   "padding",    "overflow",
                                        "zIndex"};
    DISPID id = 1600;
    for (const char* name : known) {
      std::string css = cssName(name);
      members().property(
          name, id++, bstrGetter([this, css](BSTR* p) { return outBstr(p, element->style().get(css)); }),
          bstrSetter([this, css](BSTR v) {
            element->style().set(css, bstrToUtf8(v));
            element->styleChanged();
            return S_OK;
          }));
    }
    members()
        .property("cssText", 1700, bstrGetter([this](BSTR* p) { return get_cssText(p); }),
                  bstrSetter([this](BSTR v) { return put_cssText(v); }))
        .method(
            "getAttribute", 1701,
            [this](const DispatchArgs& a, VARIANT* r) {
              BSTR n = utf8ToBstr(variantUtf8(a[0]));
              VARIANT v;
              VariantInit(&v);
              HRESULT hr = getAttribute(n, 0, &v);
              SysFreeString(n);
              if (r) *r = v;
              else VariantClear(&v);
              return hr;
            },
            1, 2)
        .method(
            "setAttribute", 1702,
            [this](const DispatchArgs& a, VARIANT*) {
              BSTR n = utf8ToBstr(variantUtf8(a[0]));
              HRESULT hr = setAttribute(n, a[1], 0);
              SysFreeString(n);
              return hr;
            },
            2, 3);
  }
  HRESULT get_cursor(BSTR* p) override { return outBstr(p, element->style().get("cursor")); }
  HRESULT put_cursor(BSTR v) override { return put("cursor", v); }
  HRESULT get_visibility(BSTR* p) override { return outBstr(p, element->style().get("visibility")); }
  HRESULT put_visibility(BSTR v) override { return put("visibility", v); }
  HRESULT get_display(BSTR* p) override { return outBstr(p, element->style().get("display")); }
  HRESULT put_display(BSTR v) override { return put("display", v); }
  HRESULT get_cssText(BSTR* p) override { return outBstr(p, element->style().cssText()); }
  HRESULT put_cssText(BSTR v) override {
    element->style().setCssText(bstrToUtf8(v));
    element->styleChanged();
    return S_OK;
  }
  HRESULT getAttribute(BSTR name, LONG, VARIANT* p) override {
    if (!p) return E_POINTER;
    p->vt = VT_BSTR;
    p->bstrVal = utf8ToBstr(element->style().get(cssName(bstrToUtf8(name))));
    return S_OK;
  }
  HRESULT setAttribute(BSTR name, VARIANT value, LONG) override {
    element->style().set(cssName(bstrToUtf8(name)), variantUtf8(value));
    element->styleChanged();
    return S_OK;
  }

 private:
  HRESULT put(const char* css, BSTR v) {
    element->style().set(css, bstrToUtf8(v));
    element->styleChanged();
    return S_OK;
  }
};

// ---- elements ----------------------------------------------------------------

class ElementObject
    : public qv::com::DispatchObject<IHTMLElement, IHTMLFormElement, IHTMLInputElement, IHTMLSelectElement,
                                     IHTMLTextAreaElement, IHTMLAnchorElement>,
      public ModelLink {
 public:
  ElementObject(std::shared_ptr<Document> d, Element* e) {
    doc = std::move(d);
    element = e;
    doc->comElements[e] = this;
    auto& m = members();
    m.method(
         "getAttribute", 1800,
         [this](const DispatchArgs& a, VARIANT* r) {
           BSTR n = utf8ToBstr(variantUtf8(a[0]));
           LONG flags = a.count() > 1 ? a.int32(1) : 0;
           VARIANT v;
           VariantInit(&v);
           HRESULT hr = getAttribute(n, flags, &v);
           SysFreeString(n);
           if (r) *r = v;
           else VariantClear(&v);
           return hr;
         },
         1, 2)
        .method(
            "setAttribute", 1801,
            [this](const DispatchArgs& a, VARIANT*) {
              BSTR n = utf8ToBstr(variantUtf8(a[0]));
              HRESULT hr = setAttribute(n, a[1], 0);
              SysFreeString(n);
              return hr;
            },
            2, 3)
        .method(
            "removeAttribute", 1802,
            [this](const DispatchArgs& a, VARIANT* r) {
              BSTR n = utf8ToBstr(variantUtf8(a[0]));
              VARIANT_BOOL ok = VARIANT_FALSE;
              HRESULT hr = removeAttribute(n, 0, &ok);
              SysFreeString(n);
              if (r) {
                r->vt = VT_BOOL;
                r->boolVal = ok;
              }
              return hr;
            },
            1, 2)
        .property("className", 1803, bstrGetter([this](BSTR* p) { return get_className(p); }),
                  bstrSetter([this](BSTR v) { return put_className(v); }))
        .property("id", 1804, bstrGetter([this](BSTR* p) { return get_id(p); }),
                  bstrSetter([this](BSTR v) { return put_id(v); }))
        .property("tagName", 1805, bstrGetter([this](BSTR* p) { return get_tagName(p); }))
        .property("parentElement", 1806,
                  objectGetter<IHTMLElement>([this](IHTMLElement** p) { return get_parentElement(p); }))
        .property("style", 1807, objectGetter<IHTMLStyle>([this](IHTMLStyle** p) { return get_style(p); }))
        .property("innerText", 1808, bstrGetter([this](BSTR* p) { return get_innerText(p); }))
        .property("children", 1809, objectGetter<IDispatch>([this](IDispatch** p) { return get_children(p); }))
        .property("all", 1810, objectGetter<IDispatch>([this](IDispatch** p) { return get_all(p); }))
        .property("document", 1811, objectGetter<IDispatch>([this](IDispatch** p) { return get_document(p); }))
        .property("name", 1812, bstrGetter([this](BSTR* p) { return get_name(p); }), bstrSetter([this](BSTR v) {
                    element->setAttribute("name", bstrToUtf8(v));
                    return S_OK;
                  }));
    const std::string& tag = e->tagName();
    if (tag == "A" || tag == "AREA" || tag == "LINK" || tag == "BASE")
      m.property("href", 1813, bstrGetter([this](BSTR* p) { return outBstr(p, element->getAttribute("href")); }));
    if (tag == "A" || tag == "AREA" || tag == "BASE" || tag == "FORM")
      m.property("target", 1814, bstrGetter([this](BSTR* p) { return get_target(p); }));
    if (tag == "IMG" || tag == "FRAME" || tag == "IFRAME" || tag == "SCRIPT" || tag == "INPUT")
      m.property("src", 1815, bstrGetter([this](BSTR* p) { return outBstr(p, element->getAttribute("src")); }));
    if (tag == "FORM") {
      m.property("action", 1820, bstrGetter([this](BSTR* p) { return get_action(p); }))
          .property("method", 1821, bstrGetter([this](BSTR* p) { return get_method(p); }))
          .property("elements", 1822, objectGetter<IDispatch>([this](IDispatch** p) { return get_elements(p); }))
          .property("length", 1823,
                    [this](VARIANT* r) {
                      LONG n = 0;
                      get_length(&n);
                      if (r) {
                        r->vt = VT_I4;
                        r->lVal = n;
                      }
                      return S_OK;
                    })
          .method(
              "item", DISPID_VALUE,
              [this](const DispatchArgs& a, VARIANT* r) {
                VARIANT n = argOrMissing(a, 0), i = argOrMissing(a, 1);
                IDispatch* d = nullptr;
                HRESULT hr = IHTMLFormElement_item(n, i, &d);
                VariantClear(&n);
                VariantClear(&i);
                if (SUCCEEDED(hr)) putDispatch(r, d);
                return hr;
              },
              0, 2);
    }
    if (isValueElement()) {
      m.property("value", 1830, bstrGetter([this](BSTR* p) { return get_value(p); }),
                 bstrSetter([this](BSTR v) { return put_value(v); }))
          .property("type", 1831, bstrGetter([this](BSTR* p) { return get_type(p); }))
          .property("form", 1832, objectGetter<IHTMLFormElement>([this](IHTMLFormElement** p) { return get_form(p); }));
    }
    if (tag == "INPUT") {
      m.property(
          "checked", 1833,
          [this](VARIANT* r) {
            if (r) {
              r->vt = VT_BOOL;
              r->boolVal = element->checked() ? VARIANT_TRUE : VARIANT_FALSE;
            }
            return S_OK;
          },
          [this](const DispatchArgs& a) {
            element->setChecked(a.boolean(0));
            return S_OK;
          });
    }
  }

  ~ElementObject() override { doc->comElements.erase(element); }

  HRESULT QueryInterface(REFIID riid, void** ppv) override {
    const std::string& tag = element->tagName();
    if ((riid == IID_IHTMLFormElement && tag != "FORM") || (riid == IID_IHTMLInputElement && tag != "INPUT") ||
        (riid == IID_IHTMLSelectElement && tag != "SELECT") || (riid == IID_IHTMLTextAreaElement && tag != "TEXTAREA") ||
        (riid == IID_IHTMLAnchorElement && tag != "A")) {
      if (ppv) *ppv = nullptr;
      return E_NOINTERFACE;
    }
    return DispatchObject::QueryInterface(riid, ppv);
  }

  // IHTMLAnchorElement
  HRESULT blur() override {
    Document& owner = element->document();
    if (owner.activeElement() == element) owner.setActiveElement(nullptr);
    return S_OK;
  }

  // IHTMLElement
  HRESULT setAttribute(BSTR name, VARIANT value, LONG) override {
    std::string n = bstrToUtf8(name);
    if (n.empty()) return E_INVALIDARG;
    std::string v = variantUtf8(value);
    if (equalsNoCase(n, "value") && element->isFormControl())
      element->setValue(v);
    else
      element->setAttribute(n, v);
    return S_OK;
  }
  HRESULT getAttribute(BSTR name, LONG flags, VARIANT* p) override {
    if (!p) return E_POINTER;
    p->vt = VT_BSTR;
    p->bstrVal = utf8ToBstr(element->getAttribute(bstrToUtf8(name), flags));
    return S_OK;
  }
  HRESULT removeAttribute(BSTR name, LONG, VARIANT_BOOL* success) override {
    std::string n = bstrToUtf8(name);
    bool had = element->hasAttribute(n);
    element->removeAttribute(n);
    if (success) *success = had ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  }
  HRESULT get_className(BSTR* p) override { return outBstr(p, element->className()); }
  HRESULT put_className(BSTR v) override {
    element->setAttribute("class", bstrToUtf8(v));
    return S_OK;
  }
  HRESULT get_id(BSTR* p) override { return outBstr(p, element->id()); }
  HRESULT put_id(BSTR v) override {
    element->setAttribute("id", bstrToUtf8(v));
    return S_OK;
  }
  HRESULT get_tagName(BSTR* p) override { return outBstr(p, element->tagName()); }
  HRESULT get_parentElement(IHTMLElement** p) override { return outObject(p, elementObject(doc, element->parent())); }
  HRESULT get_style(IHTMLStyle** p) override {
    return outObject(p, ComPtr<IHTMLStyle>(new StyleObject(doc, element)));
  }
  HRESULT get_innerText(BSTR* p) override { return outBstr(p, element->innerText()); }
  HRESULT get_children(IDispatch** p) override { return outObject(p, ComPtr<IDispatch>(collection(doc, element->children()).get())); }
  HRESULT get_all(IDispatch** p) override { return outObject(p, ComPtr<IDispatch>(collection(doc, element->descendants()).get())); }
  HRESULT get_document(IDispatch** p) override {
    return outObject(p, ComPtr<IDispatch>(documentObject(doc).get()));
  }

  // IHTMLFormElement
  HRESULT get_action(BSTR* p) override { return outBstr(p, element->action()); }
  HRESULT get_method(BSTR* p) override { return outBstr(p, element->method()); }
  HRESULT get_target(BSTR* p) override { return outBstr(p, element->target()); }
  HRESULT get_name(BSTR* p) override { return outBstr(p, element->name()); }
  HRESULT get_elements(IDispatch** p) override {
    return outObject(p, ComPtr<IDispatch>(collection(doc, element->formElements()).get()));
  }
  HRESULT get_length(LONG* p) override {
    if (!p) return E_POINTER;
    *p = static_cast<LONG>(element->formElements().size());
    return S_OK;
  }
  HRESULT item(VARIANT name, VARIANT index, IDispatch** pdisp) override { return IHTMLFormElement_item(name, index, pdisp); }

  // INPUT, SELECT, TEXTAREA
  HRESULT get_type(BSTR* p) override { return outBstr(p, element->type()); }
  HRESULT get_value(BSTR* p) override { return outBstr(p, element->value()); }
  HRESULT put_value(BSTR v) override {
    element->setValue(bstrToUtf8(v));
    return S_OK;
  }
  HRESULT get_checked(VARIANT_BOOL* p) override {
    if (!p) return E_POINTER;
    *p = element->checked() ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  }
  HRESULT put_checked(VARIANT_BOOL v) override {
    element->setChecked(v != VARIANT_FALSE);
    return S_OK;
  }
  HRESULT get_form(IHTMLFormElement** p) override {
    if (!p) return E_POINTER;
    *p = nullptr;
    auto form = elementObject(doc, element->form());
    if (form) form->QueryInterface(IID_IHTMLFormElement, reinterpret_cast<void**>(p));
    return S_OK;
  }

 private:
  bool isValueElement() const {
    const std::string& t = element->tagName();
    return t == "INPUT" || t == "SELECT" || t == "TEXTAREA";
  }
  HRESULT IHTMLFormElement_item(VARIANT name, VARIANT index, IDispatch** pdisp) {
    return pickItem(doc, element->formElements(), name, index, pdisp);
  }
};

// ---- selection, location, events ------------------------------------------------

class TxtRangeObject : public qv::com::DispatchObject<IHTMLTxtRange> {
 public:
  explicit TxtRangeObject(std::string text) : text_(std::move(text)) {
    members().property("text", 1900, bstrGetter([this](BSTR* p) { return get_text(p); }));
  }
  HRESULT get_text(BSTR* p) override { return outBstr(p, text_); }

 private:
  std::string text_;
};

class SelectionObject : public qv::com::DispatchObject<IHTMLSelectionObject>, public ModelLink {
 public:
  explicit SelectionObject(std::shared_ptr<Document> d) {
    doc = std::move(d);
    members()
        .method("createRange", 1910,
                [this](const DispatchArgs&, VARIANT* r) {
                  IDispatch* range = nullptr;
                  HRESULT hr = createRange(&range);
                  if (SUCCEEDED(hr)) putDispatch(r, range);
                  return hr;
                },
                0, 0)
        .method("empty", 1911, [this](const DispatchArgs&, VARIANT*) { return empty(); }, 0, 0)
        .property("type", 1912, bstrGetter([this](BSTR* p) { return get_type(p); }));
  }
  HRESULT createRange(IDispatch** range) override {
    return outObject(range, ComPtr<IDispatch>(new TxtRangeObject(doc->selectionText())));
  }
  HRESULT empty() override {
    doc->setSelectionText("");
    return S_OK;
  }
  HRESULT get_type(BSTR* p) override { return outBstr(p, doc->selectionText().empty() ? "None" : "Text"); }
};

class LocationObject : public qv::com::DispatchObject<IHTMLLocation>, public ModelLink {
 public:
  explicit LocationObject(std::shared_ptr<Document> d) {
    doc = std::move(d);
    members().property("href", DISPID_VALUE, bstrGetter([this](BSTR* p) { return get_href(p); }));
  }
  HRESULT get_href(BSTR* p) override { return outBstr(p, doc->url()); }
};

class EventObject : public qv::com::DispatchObject<IHTMLEventObj> {
 public:
  EventObject(std::string type, IHTMLElement* src, const std::vector<std::pair<std::string, Variant>>& properties)
      : type_(std::move(type)), src_(src), values_(properties.size()) {
    members()
        .property("type", 2000, bstrGetter([this](BSTR* p) { return get_type(p); }))
        .property("srcElement", 2001,
                  objectGetter<IHTMLElement>([this](IHTMLElement** p) { return get_srcElement(p); }));
    for (size_t i = 0; i < properties.size(); ++i) {
      values_[i] = properties[i].second;
      members().property(
          properties[i].first, static_cast<DISPID>(2100 + i),
          [this, i](VARIANT* r) { return r ? VariantCopy(r, values_[i].get()) : S_OK; },
          [this, i](const DispatchArgs& a) {
            values_[i] = a.value(0);
            return S_OK;
          });
    }
  }
  HRESULT get_type(BSTR* p) override { return outBstr(p, type_); }
  HRESULT get_srcElement(IHTMLElement** p) override { return src_.copyTo(p); }

 private:
  std::string type_;
  ComPtr<IHTMLElement> src_;
  std::vector<Variant> values_;
};

// ---- window and document -----------------------------------------------------------

class WindowObject : public qv::com::DispatchObject<IHTMLWindow2>, public ModelLink {
 public:
  explicit WindowObject(std::shared_ptr<Document> d) {
    doc = std::move(d);
    doc->comWindow = this;
    members()
        .property("frames", 2200,
                  objectGetter<IHTMLFramesCollection2>([this](IHTMLFramesCollection2** p) { return get_frames(p); }))
        .property("document", 2201,
                  objectGetter<IHTMLDocument2>([this](IHTMLDocument2** p) { return get_document(p); }))
        .property("name", 2202, bstrGetter([this](BSTR* p) { return get_name(p); }),
                  bstrSetter([this](BSTR v) { return put_name(v); }))
        .property("location", 2203,
                  objectGetter<IHTMLLocation>([this](IHTMLLocation** p) { return get_location(p); }))
        .property("event", 2204, objectGetter<IHTMLEventObj>([this](IHTMLEventObj** p) { return get_event(p); }))
        .property("length", 2205,
                  [this](VARIANT* r) {
                    if (r) {
                      r->vt = VT_I4;
                      r->lVal = static_cast<LONG>(doc->frames().size());
                    }
                    return S_OK;
                  })
        .method(
            "item", DISPID_VALUE,
            [this](const DispatchArgs& a, VARIANT* r) {
              VARIANT i = argOrMissing(a, 0);
              VARIANT out;
              VariantInit(&out);
              HRESULT hr = item(&i, &out);
              VariantClear(&i);
              if (r) *r = out;
              else VariantClear(&out);
              return hr;
            },
            1, 1);
  }
  ~WindowObject() override { doc->comWindow = nullptr; }

  HRESULT item(VARIANT* pvarIndex, VARIANT* pvarResult) override {
    if (!pvarIndex || !pvarResult) return E_POINTER;
    VariantInit(pvarResult);
    const auto& frames = doc->frames();
    const Frame* found = nullptr;
    if (auto i = indexOf(*pvarIndex)) {
      if (*i < 0 || static_cast<size_t>(*i) >= frames.size()) return DISP_E_MEMBERNOTFOUND;
      found = &frames[*i];
    } else {
      std::string name = variantUtf8(*pvarIndex);
      for (const Frame& f : frames)
        if (equalsNoCase(f.name, name)) {
          found = &f;
          break;
        }
      if (!found) return DISP_E_MEMBERNOTFOUND;
    }
    putDispatch(pvarResult, windowObject(found->document).detach());
    return S_OK;
  }
  HRESULT get_length(LONG* p) override {
    if (!p) return E_POINTER;
    *p = static_cast<LONG>(doc->frames().size());
    return S_OK;
  }
  HRESULT get_frames(IHTMLFramesCollection2** p) override {
    // The platform's frames collection is the window itself.
    return outObject(p, ComPtr<IHTMLFramesCollection2>(this));
  }
  HRESULT get_document(IHTMLDocument2** p) override { return outObject(p, documentObject(doc)); }
  HRESULT get_name(BSTR* p) override { return outBstr(p, doc->windowName()); }
  HRESULT put_name(BSTR v) override {
    doc->setWindowName(bstrToUtf8(v));
    return S_OK;
  }
  HRESULT get_location(IHTMLLocation** p) override {
    return outObject(p, ComPtr<IHTMLLocation>(new LocationObject(doc)));
  }
  HRESULT get_event(IHTMLEventObj** p) override { return outObject(p, doc->event()); }
};

class DocumentObject : public qv::com::DispatchObject<IHTMLDocument2, IHTMLDocument3, IOleCommandTarget>,
                       public ModelLink {
 public:
  HRESULT QueryStatus(const GUID*, ULONG cCmds, OLECMD prgCmds[], OLECMDTEXT*) override {
    for (ULONG i = 0; prgCmds && i < cCmds; ++i) prgCmds[i].cmdf = 0;
    return S_OK;
  }
  HRESULT Exec(const GUID* group, DWORD id, DWORD option, VARIANT* in, VARIANT* out) override {
    return doc->commandHandler ? doc->commandHandler(group, id, option, in, out) : OLECMDERR_E_NOTSUPPORTED;
  }
  explicit DocumentObject(std::shared_ptr<Document> d) {
    doc = std::move(d);
    doc->comDocument = this;
    using Coll = IHTMLElementCollection;
    members()
        .property("Script", 2300, objectGetter<IDispatch>([this](IDispatch** p) { return get_Script(p); }))
        .property("all", 2301, objectGetter<Coll>([this](Coll** p) { return get_all(p); }))
        .property("body", 2302, objectGetter<IHTMLElement>([this](IHTMLElement** p) { return get_body(p); }))
        .property("activeElement", 2303,
                  objectGetter<IHTMLElement>([this](IHTMLElement** p) { return get_activeElement(p); }))
        .property("images", 2304, objectGetter<Coll>([this](Coll** p) { return get_images(p); }))
        .property("links", 2305, objectGetter<Coll>([this](Coll** p) { return get_links(p); }))
        .property("forms", 2306, objectGetter<Coll>([this](Coll** p) { return get_forms(p); }))
        .property("anchors", 2307, objectGetter<Coll>([this](Coll** p) { return get_anchors(p); }))
        .property("title", 2308, bstrGetter([this](BSTR* p) { return get_title(p); }))
        .property("URL", 2309, bstrGetter([this](BSTR* p) { return get_URL(p); }))
        .property("charset", 2310, bstrGetter([this](BSTR* p) { return get_charset(p); }))
        .property("readyState", 2311, bstrGetter([this](BSTR* p) { return get_readyState(p); }))
        .property("frames", 2312,
                  objectGetter<IHTMLFramesCollection2>([this](IHTMLFramesCollection2** p) { return get_frames(p); }))
        .property("selection", 2313,
                  objectGetter<IHTMLSelectionObject>([this](IHTMLSelectionObject** p) { return get_selection(p); }))
        .property("parentWindow", 2314,
                  objectGetter<IHTMLWindow2>([this](IHTMLWindow2** p) { return get_parentWindow(p); }))
        .property("documentElement", 2315,
                  objectGetter<IHTMLElement>([this](IHTMLElement** p) { return get_documentElement(p); }))
        .method(
            "getElementsByName", 2316,
            [this](const DispatchArgs& a, VARIANT* r) { return byText(a, r, &DocumentObject::getElementsByName); }, 1, 1)
        .method(
            "getElementById", 2317,
            [this](const DispatchArgs& a, VARIANT* r) { return byText(a, r, &DocumentObject::getElementById); }, 1, 1)
        .method(
            "getElementsByTagName", 2318,
            [this](const DispatchArgs& a, VARIANT* r) { return byText(a, r, &DocumentObject::getElementsByTagName); },
            1, 1);
  }
  ~DocumentObject() override { doc->comDocument = nullptr; }

  HRESULT get_Script(IDispatch** p) override { return outObject(p, ComPtr<IDispatch>(windowObject(doc).get())); }
  HRESULT get_all(IHTMLElementCollection** p) override { return outObject(p, collection(doc, doc->all())); }
  HRESULT get_body(IHTMLElement** p) override { return outObject(p, elementObject(doc, doc->body())); }
  HRESULT get_activeElement(IHTMLElement** p) override {
    return outObject(p, elementObject(doc, doc->activeElement()));
  }
  HRESULT get_images(IHTMLElementCollection** p) override { return outObject(p, collection(doc, doc->images())); }
  HRESULT get_links(IHTMLElementCollection** p) override { return outObject(p, collection(doc, doc->links())); }
  HRESULT get_forms(IHTMLElementCollection** p) override { return outObject(p, collection(doc, doc->forms())); }
  HRESULT get_anchors(IHTMLElementCollection** p) override { return outObject(p, collection(doc, doc->anchors())); }
  HRESULT get_title(BSTR* p) override { return outBstr(p, doc->title()); }
  HRESULT get_URL(BSTR* p) override { return outBstr(p, doc->url()); }
  HRESULT get_charset(BSTR* p) override { return outBstr(p, doc->charset()); }
  HRESULT get_readyState(BSTR* p) override { return outBstr(p, "complete"); }
  HRESULT get_frames(IHTMLFramesCollection2** p) override {
    return outObject(p, ComPtr<IHTMLFramesCollection2>(windowObject(doc).get()));
  }
  HRESULT get_selection(IHTMLSelectionObject** p) override {
    return outObject(p, ComPtr<IHTMLSelectionObject>(new SelectionObject(doc)));
  }
  HRESULT get_parentWindow(IHTMLWindow2** p) override { return outObject(p, windowObject(doc)); }

  HRESULT get_documentElement(IHTMLElement** p) override {
    return outObject(p, elementObject(doc, doc->documentElement()));
  }
  HRESULT getElementsByName(BSTR name, IHTMLElementCollection** p) override {
    return outObject(p, collection(doc, doc->elementsByName(bstrToUtf8(name))));
  }
  HRESULT getElementById(BSTR id, IHTMLElement** p) override {
    return outObject(p, elementObject(doc, doc->elementById(bstrToUtf8(id))));
  }
  HRESULT getElementsByTagName(BSTR tag, IHTMLElementCollection** p) override {
    return outObject(p, collection(doc, doc->elementsByTagName(bstrToUtf8(tag))));
  }

 private:
  template <class I>
  HRESULT byText(const DispatchArgs& a, VARIANT* r, HRESULT (DocumentObject::*fn)(BSTR, I**)) {
    BSTR text = utf8ToBstr(variantUtf8(a[0]));
    I* out = nullptr;
    HRESULT hr = (this->*fn)(text, &out);
    SysFreeString(text);
    if (SUCCEEDED(hr)) putDispatch(r, out);
    return hr;
  }
};

ModelLink* linkOf(IUnknown* object) { return object ? dynamic_cast<ModelLink*>(object) : nullptr; }

}  // namespace

ComPtr<IHTMLDocument2> documentObject(const std::shared_ptr<Document>& doc) {
  if (!doc) return nullptr;
  if (doc->comDocument) return ComPtr<IHTMLDocument2>(static_cast<DocumentObject*>(doc->comDocument));
  return ComPtr<IHTMLDocument2>(new DocumentObject(doc));
}

ComPtr<IHTMLWindow2> windowObject(const std::shared_ptr<Document>& doc) {
  if (!doc) return nullptr;
  if (doc->comWindow) return ComPtr<IHTMLWindow2>(static_cast<WindowObject*>(doc->comWindow));
  return ComPtr<IHTMLWindow2>(new WindowObject(doc));
}

ComPtr<IHTMLElement> elementObject(const std::shared_ptr<Document>& doc, Element* element) {
  if (!doc || !element) return nullptr;
  auto it = doc->comElements.find(element);
  if (it != doc->comElements.end()) return ComPtr<IHTMLElement>(static_cast<ElementObject*>(it->second));
  return ComPtr<IHTMLElement>(new ElementObject(doc, element));
}

Element* elementOf(IUnknown* object) {
  ModelLink* link = linkOf(object);
  return link ? link->element : nullptr;
}

Document* documentOf(IUnknown* object) {
  ModelLink* link = linkOf(object);
  return link ? link->doc.get() : nullptr;
}

ComPtr<IHTMLEventObj> makeEventObject(const std::string& type, IHTMLElement* srcElement,
                                      const std::vector<std::pair<std::string, Variant>>& properties) {
  return ComPtr<IHTMLEventObj>(new EventObject(type, srcElement, properties));
}

}  // namespace qv::browser
