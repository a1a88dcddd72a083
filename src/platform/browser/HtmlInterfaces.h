// The browser's typed document interfaces, with the platform's interface ids,
// in a C++ form of our own: only the members the system calls. Every object
// is also an IDispatch that answers the same members by name (see
// HtmlDispatch.h); the typed form saves a lookup.
//
// Conventions, as at the platform's interface: methods return HRESULT; out
// parameters are the last ones; text is BSTR (UTF-16, owned by the caller
// on return), optional arguments are VARIANT; an object that does not exist
// comes back as a null pointer with S_OK (getAttribute of a missing
// attribute gives an empty BSTR). Null out pointers give E_POINTER.
//
//   IHTMLDocument2  all, body, activeElement, images, links, forms, anchors,
//                   title, URL, charset, readyState, frames,
//                   selection, parentWindow
//   IHTMLDocument3  documentElement, getElementsByName (matches id too),
//                   getElementById, getElementsByTagName
//   IHTMLElement    getAttribute(name, flags): flags 0 gives href and src
//                   absolute, 2 as written; setAttribute, removeAttribute,
//                   className, id, tagName (upper case), parentElement,
//                   style, innerText, children, all, document
//   IHTMLElementCollection  length, item(name or index, index), tags(tag)
//   IHTMLFormElement        action (absolute), method, target, name,
//                           elements, length, item(name or index, index)
//   IHTMLInputElement       type, value, name, checked, form
//   IHTMLSelectElement, IHTMLTextAreaElement  type, value, name
//   IHTMLFramesCollection2  item(index or name) -> the frame's window, length
//   IHTMLWindow2    (a frames collection itself) frames, document, name,
//                   location, event
//   IHTMLLocation   href
//   IHTMLEventObj   type, srcElement; an error event's errorLine,
//                   errorCharacter, errorCode, errorMessage, errorUrl by name
//   IHTMLSelectionObject  createRange, type ("None" or "Text"), empty
//   IHTMLTxtRange   text
//   IHTMLStyle      cursor, visibility, display, cssText, getAttribute,
//                   setAttribute (any property, as text)
#pragma once

#include "platform/com/Dispatch.h"

struct IHTMLElement;
struct IHTMLElementCollection;
struct IHTMLFormElement;
struct IHTMLFramesCollection2;
struct IHTMLWindow2;
struct IHTMLDocument2;
struct IHTMLLocation;
struct IHTMLEventObj;
struct IHTMLSelectionObject;
struct IHTMLStyle;

// {626FC520-A41E-11CF-A731-00A0C9082637}
inline constexpr IID IID_IHTMLDocument = {0x626FC520, 0xA41E, 0x11CF, {0xA7, 0x31, 0x00, 0xA0, 0xC9, 0x08, 0x26, 0x37}};
// {332C4425-26CB-11D0-B483-00C04FD90119}
inline constexpr IID IID_IHTMLDocument2 = {0x332C4425, 0x26CB, 0x11D0, {0xB4, 0x83, 0x00, 0xC0, 0x4F, 0xD9, 0x01, 0x19}};
// {3050F485-98B5-11CF-BB82-00AA00BDCE0B}
inline constexpr IID IID_IHTMLDocument3 = {0x3050F485, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};
// {3050F1FF-98B5-11CF-BB82-00AA00BDCE0B}
inline constexpr IID IID_IHTMLElement = {0x3050F1FF, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};
// {3050F21F-98B5-11CF-BB82-00AA00BDCE0B}
inline constexpr IID IID_IHTMLElementCollection = {0x3050F21F, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};
// {3050F1F7-98B5-11CF-BB82-00AA00BDCE0B}
inline constexpr IID IID_IHTMLFormElement = {0x3050F1F7, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};
// {3050F5D2-98B5-11CF-BB82-00AA00BDCE0B}
inline constexpr IID IID_IHTMLInputElement = {0x3050F5D2, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};
// {3050F244-98B5-11CF-BB82-00AA00BDCE0B}
inline constexpr IID IID_IHTMLSelectElement = {0x3050F244, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};
// {3050F2AA-98B5-11CF-BB82-00AA00BDCE0B}
inline constexpr IID IID_IHTMLTextAreaElement = {0x3050F2AA, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};
// {332C4426-26CB-11D0-B483-00C04FD90119}
inline constexpr IID IID_IHTMLFramesCollection2 = {0x332C4426, 0x26CB, 0x11D0, {0xB4, 0x83, 0x00, 0xC0, 0x4F, 0xD9, 0x01, 0x19}};
// {332C4427-26CB-11D0-B483-00C04FD90119}
inline constexpr IID IID_IHTMLWindow2 = {0x332C4427, 0x26CB, 0x11D0, {0xB4, 0x83, 0x00, 0xC0, 0x4F, 0xD9, 0x01, 0x19}};
// {163BB1E0-6E00-11CF-837A-48DC04C10000}
inline constexpr IID IID_IHTMLLocation = {0x163BB1E0, 0x6E00, 0x11CF, {0x83, 0x7A, 0x48, 0xDC, 0x04, 0xC1, 0x00, 0x00}};
// {3050F32D-98B5-11CF-BB82-00AA00BDCE0B}
inline constexpr IID IID_IHTMLEventObj = {0x3050F32D, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};
// {3050F25A-98B5-11CF-BB82-00AA00BDCE0B}
inline constexpr IID IID_IHTMLSelectionObject = {0x3050F25A, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};
// {3050F220-98B5-11CF-BB82-00AA00BDCE0B}
inline constexpr IID IID_IHTMLTxtRange = {0x3050F220, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};
// {3050F1DA-98B5-11CF-BB82-00AA00BDCE0B}
inline constexpr IID IID_IHTMLAnchorElement = {0x3050F1DA, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};
// {3050F25E-98B5-11CF-BB82-00AA00BDCE0B}
inline constexpr IID IID_IHTMLStyle = {0x3050F25E, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};

#define QV_HTML_INTERFACE(Name, Parent)        \
  static constexpr const IID& Iid = IID_##Name; \
  using Base = Parent;

struct IHTMLElementCollection : IDispatch {
  QV_HTML_INTERFACE(IHTMLElementCollection, IDispatch)
  virtual HRESULT get_length(LONG* p) = 0;
  // name: an index (number) or a name/id; index: which of several matches.
  // Several matches without an index give a collection of them.
  virtual HRESULT item(VARIANT name, VARIANT index, IDispatch** pdisp) = 0;
  virtual HRESULT tags(VARIANT tagName, IDispatch** pdisp) = 0;

 protected:
  ~IHTMLElementCollection() = default;
};

struct IHTMLStyle : IDispatch {
  QV_HTML_INTERFACE(IHTMLStyle, IDispatch)
  virtual HRESULT get_cursor(BSTR* p) = 0;
  virtual HRESULT put_cursor(BSTR v) = 0;
  virtual HRESULT get_visibility(BSTR* p) = 0;
  virtual HRESULT put_visibility(BSTR v) = 0;
  virtual HRESULT get_display(BSTR* p) = 0;
  virtual HRESULT put_display(BSTR v) = 0;
  virtual HRESULT get_cssText(BSTR* p) = 0;
  virtual HRESULT put_cssText(BSTR v) = 0;
  // Property names as in script ("backgroundColor") or in CSS.
  virtual HRESULT getAttribute(BSTR name, LONG flags, VARIANT* p) = 0;
  virtual HRESULT setAttribute(BSTR name, VARIANT value, LONG flags) = 0;

 protected:
  ~IHTMLStyle() = default;
};

struct IHTMLElement : IDispatch {
  QV_HTML_INTERFACE(IHTMLElement, IDispatch)
  virtual HRESULT setAttribute(BSTR name, VARIANT value, LONG flags) = 0;
  virtual HRESULT getAttribute(BSTR name, LONG flags, VARIANT* p) = 0;
  virtual HRESULT removeAttribute(BSTR name, LONG flags, VARIANT_BOOL* success) = 0;
  virtual HRESULT get_className(BSTR* p) = 0;
  virtual HRESULT put_className(BSTR v) = 0;
  virtual HRESULT get_id(BSTR* p) = 0;
  virtual HRESULT put_id(BSTR v) = 0;
  virtual HRESULT get_tagName(BSTR* p) = 0;
  virtual HRESULT get_parentElement(IHTMLElement** p) = 0;
  virtual HRESULT get_style(IHTMLStyle** p) = 0;
  virtual HRESULT get_innerText(BSTR* p) = 0;
  virtual HRESULT get_children(IDispatch** p) = 0;
  virtual HRESULT get_all(IDispatch** p) = 0;
  virtual HRESULT get_document(IDispatch** p) = 0;

 protected:
  ~IHTMLElement() = default;
};

struct IHTMLFormElement : IDispatch {
  QV_HTML_INTERFACE(IHTMLFormElement, IDispatch)
  virtual HRESULT get_action(BSTR* p) = 0;
  virtual HRESULT get_method(BSTR* p) = 0;
  virtual HRESULT get_target(BSTR* p) = 0;
  virtual HRESULT get_name(BSTR* p) = 0;
  virtual HRESULT get_elements(IDispatch** p) = 0;
  virtual HRESULT get_length(LONG* p) = 0;
  virtual HRESULT item(VARIANT name, VARIANT index, IDispatch** pdisp) = 0;

 protected:
  ~IHTMLFormElement() = default;
};

struct IHTMLInputElement : IDispatch {
  QV_HTML_INTERFACE(IHTMLInputElement, IDispatch)
  virtual HRESULT get_type(BSTR* p) = 0;
  virtual HRESULT get_value(BSTR* p) = 0;
  virtual HRESULT put_value(BSTR v) = 0;
  virtual HRESULT get_name(BSTR* p) = 0;
  virtual HRESULT get_checked(VARIANT_BOOL* p) = 0;
  virtual HRESULT put_checked(VARIANT_BOOL v) = 0;
  virtual HRESULT get_form(IHTMLFormElement** p) = 0;

 protected:
  ~IHTMLInputElement() = default;
};

// SELECT and TEXTAREA share the members the system uses.
#define QV_HTML_VALUE_MEMBERS                   \
  virtual HRESULT get_type(BSTR* p) = 0;        \
  virtual HRESULT get_value(BSTR* p) = 0;       \
  virtual HRESULT put_value(BSTR v) = 0;        \
  virtual HRESULT get_name(BSTR* p) = 0;

struct IHTMLSelectElement : IDispatch {
  QV_HTML_INTERFACE(IHTMLSelectElement, IDispatch)
  QV_HTML_VALUE_MEMBERS

 protected:
  ~IHTMLSelectElement() = default;
};

struct IHTMLTextAreaElement : IDispatch {
  QV_HTML_INTERFACE(IHTMLTextAreaElement, IDispatch)
  QV_HTML_VALUE_MEMBERS

 protected:
  ~IHTMLTextAreaElement() = default;
};

// An "A" element.
struct IHTMLAnchorElement : IDispatch {
  QV_HTML_INTERFACE(IHTMLAnchorElement, IDispatch)
  // The link is no longer its document's active element (the body is);
  // nothing when another element is active.
  virtual HRESULT blur() = 0;

 protected:
  ~IHTMLAnchorElement() = default;
};

struct IHTMLFramesCollection2 : IDispatch {
  QV_HTML_INTERFACE(IHTMLFramesCollection2, IDispatch)
  // pvarIndex: a number or a frame's name; pvarResult: the frame's window.
  virtual HRESULT item(VARIANT* pvarIndex, VARIANT* pvarResult) = 0;
  virtual HRESULT get_length(LONG* p) = 0;

 protected:
  ~IHTMLFramesCollection2() = default;
};

struct IHTMLLocation : IDispatch {
  QV_HTML_INTERFACE(IHTMLLocation, IDispatch)
  virtual HRESULT get_href(BSTR* p) = 0;

 protected:
  ~IHTMLLocation() = default;
};

struct IHTMLEventObj : IDispatch {
  QV_HTML_INTERFACE(IHTMLEventObj, IDispatch)
  virtual HRESULT get_type(BSTR* p) = 0;
  virtual HRESULT get_srcElement(IHTMLElement** p) = 0;

 protected:
  ~IHTMLEventObj() = default;
};

struct IHTMLWindow2 : IHTMLFramesCollection2 {
  QV_HTML_INTERFACE(IHTMLWindow2, IHTMLFramesCollection2)
  virtual HRESULT get_frames(IHTMLFramesCollection2** p) = 0;
  virtual HRESULT get_document(IHTMLDocument2** p) = 0;
  virtual HRESULT get_name(BSTR* p) = 0;
  virtual HRESULT put_name(BSTR v) = 0;
  virtual HRESULT get_location(IHTMLLocation** p) = 0;
  virtual HRESULT get_event(IHTMLEventObj** p) = 0;

 protected:
  ~IHTMLWindow2() = default;
};

struct IHTMLTxtRange : IDispatch {
  QV_HTML_INTERFACE(IHTMLTxtRange, IDispatch)
  virtual HRESULT get_text(BSTR* p) = 0;

 protected:
  ~IHTMLTxtRange() = default;
};

struct IHTMLSelectionObject : IDispatch {
  QV_HTML_INTERFACE(IHTMLSelectionObject, IDispatch)
  virtual HRESULT createRange(IDispatch** range) = 0;  // an IHTMLTxtRange
  virtual HRESULT empty() = 0;
  virtual HRESULT get_type(BSTR* p) = 0;

 protected:
  ~IHTMLSelectionObject() = default;
};

struct IHTMLDocument : IDispatch {
  QV_HTML_INTERFACE(IHTMLDocument, IDispatch)
  virtual HRESULT get_Script(IDispatch** p) = 0;  // the window, as script sees it

 protected:
  ~IHTMLDocument() = default;
};

struct IHTMLDocument2 : IHTMLDocument {
  QV_HTML_INTERFACE(IHTMLDocument2, IHTMLDocument)
  virtual HRESULT get_all(IHTMLElementCollection** p) = 0;
  virtual HRESULT get_body(IHTMLElement** p) = 0;
  virtual HRESULT get_activeElement(IHTMLElement** p) = 0;
  virtual HRESULT get_images(IHTMLElementCollection** p) = 0;
  virtual HRESULT get_links(IHTMLElementCollection** p) = 0;
  virtual HRESULT get_forms(IHTMLElementCollection** p) = 0;
  virtual HRESULT get_anchors(IHTMLElementCollection** p) = 0;
  virtual HRESULT get_title(BSTR* p) = 0;
  virtual HRESULT get_URL(BSTR* p) = 0;
  virtual HRESULT get_charset(BSTR* p) = 0;
  virtual HRESULT get_readyState(BSTR* p) = 0;
  virtual HRESULT get_frames(IHTMLFramesCollection2** p) = 0;
  virtual HRESULT get_selection(IHTMLSelectionObject** p) = 0;
  virtual HRESULT get_parentWindow(IHTMLWindow2** p) = 0;

 protected:
  ~IHTMLDocument2() = default;
};

struct IHTMLDocument3 : IDispatch {
  QV_HTML_INTERFACE(IHTMLDocument3, IDispatch)
  virtual HRESULT get_documentElement(IHTMLElement** p) = 0;
  virtual HRESULT getElementsByName(BSTR name, IHTMLElementCollection** p) = 0;
  virtual HRESULT getElementById(BSTR id, IHTMLElement** p) = 0;
  virtual HRESULT getElementsByTagName(BSTR tag, IHTMLElementCollection** p) = 0;

 protected:
  ~IHTMLDocument3() = default;
};

#undef QV_HTML_VALUE_MEMBERS
