#include <gtest/gtest.h>

#include "SiteFixture.h"
#include "platform/browser/HtmlDispatch.h"

namespace {

using namespace qv::browser;
using qv::com::Bstr;
using qv::com::ComPtr;
using qv::com::Variant;

class HtmlDispatchTest : public qvtest::SiteTest {
 protected:
  void SetUp() override {
    SiteTest::SetUp();
    model = loadIndex();
    doc = documentObject(model);
  }
  // A property or method result read by name, as the host reads them.
  static Variant get(IDispatch* object, const std::string& name) {
    Variant v;
    EXPECT_EQ(qv::com::getProperty(object, name, v), S_OK) << name;
    return v;
  }
  static Variant call(IDispatch* object, const std::string& name, const std::vector<Variant>& args) {
    Variant v;
    EXPECT_EQ(qv::com::invokeByName(object, name, DISPATCH_METHOD, args, v.put()), S_OK) << name;
    return v;
  }
  static std::string text(const Variant& v) { return v.vt() == VT_BSTR ? bstrToUtf8(v.raw().bstrVal) : "<not text>"; }
  static IDispatch* object(const Variant& v) { return v.vt() == VT_DISPATCH ? v.raw().pdispVal : nullptr; }

  std::shared_ptr<Document> model;
  ComPtr<IHTMLDocument2> doc;
};

TEST_F(HtmlDispatchTest, TypedDocumentMembers) {
  Bstr title, url;
  ASSERT_EQ(doc->get_title(title.put()), S_OK);
  EXPECT_EQ(title.toAnsi(), "Start Page");
  doc->get_URL(url.put());
  EXPECT_EQ(url.toAnsi(), siteUrl("site/index.html"));

  ComPtr<IHTMLElement> body, active;
  doc->get_body(body.put());
  doc->get_activeElement(active.put());
  EXPECT_EQ(elementOf(active.get()), model->body());
  EXPECT_EQ(active.as<IUnknown>(), body.as<IUnknown>());  // one object per element
  model->setActiveElement(model->elementById("ext"));
  doc->get_activeElement(active.put());
  Bstr tag;
  active->get_tagName(tag.put());
  EXPECT_EQ(tag.toAnsi(), "A");

  // The same document object each time; IHTMLDocument3 on it.
  EXPECT_EQ(documentObject(model).get(), doc.get());
  auto doc3 = doc.as<IHTMLDocument3>();
  ASSERT_TRUE(doc3);
  ComPtr<IHTMLElementCollection> named;
  doc3->getElementsByName(Bstr("searchterm").get(), named.put());
  LONG length = 0;
  named->get_length(&length);
  EXPECT_EQ(length, 2);
  EXPECT_EQ(doc.as<IHTMLFormElement>(), nullptr);
  EXPECT_EQ(doc->get_title(nullptr), E_POINTER);
}

TEST_F(HtmlDispatchTest, ElementsByNameGiveTheSameAnswersThroughIDispatch) {
  // getElementsByName("searchform").item(0), as the runtime finds its form.
  Variant forms = call(doc.get(), "getElementsByName", {Variant("searchform")});
  EXPECT_EQ(get(object(forms), "length").toInt(), 1);
  Variant form = call(object(forms), "item", {Variant(LONG(0))});
  ASSERT_NE(object(form), nullptr);
  EXPECT_EQ(text(get(object(form), "tagName")), "FORM");
  EXPECT_EQ(text(get(object(form), "ACTION")), siteUrl("site/search.htm") + "?old=1#x");
  EXPECT_EQ(text(get(object(form), "target")), "main");

  ComPtr<IHTMLFormElement> typed;
  ASSERT_EQ(object(form)->QueryInterface(IID_IHTMLFormElement, typed.putVoid()), S_OK);
  struct Case {
    const char* field;
    const IID& iid;
    const char* value;
  } cases[] = {{"searchterm", IID_IHTMLInputElement, "cd rom"},
               {"sort", IID_IHTMLSelectElement, "Relevance"},
               {"notes", IID_IHTMLTextAreaElement, "line one\nline two"}};
  for (const Case& c : cases) {
    ComPtr<IDispatch> item;
    Variant name(c.field), none;
    ASSERT_EQ(typed->item(*name.get(), *none.get(), item.put()), S_OK);
    ASSERT_TRUE(item) << c.field;
    ComPtr<IUnknown> control;
    EXPECT_EQ(item->QueryInterface(c.iid, control.putVoid()), S_OK) << c.field;
    EXPECT_EQ(text(get(item.get(), "value")), c.value) << c.field;
  }
  // A field set through COM is what the model submits.
  Variant field = call(object(form), "item", {Variant("searchterm")});
  EXPECT_EQ(qv::com::setProperty(object(field), "value", Variant("dvd")), S_OK);
  EXPECT_EQ(model->formByName("searchform")->formItem("searchterm")->value(), "dvd");
  ComPtr<IUnknown> notForm;
  EXPECT_EQ(object(field)->QueryInterface(IID_IHTMLFormElement, notForm.putVoid()), E_NOINTERFACE);
}

TEST_F(HtmlDispatchTest, CollectionItemByIndexNameAndSeveralMatches) {
  Variant all = get(doc.get(), "all");
  ComPtr<IHTMLElementCollection> coll;
  ASSERT_EQ(object(all)->QueryInterface(IID_IHTMLElementCollection, coll.putVoid()), S_OK);
  LONG length = 0;
  coll->get_length(&length);
  EXPECT_EQ(static_cast<size_t>(length), model->all().size());
  // Two elements answer "searchterm" (a name and an id): a collection of them;
  // with an index, one of them.
  Variant several = call(object(all), "item", {Variant("searchterm")});
  EXPECT_EQ(get(object(several), "length").toInt(), 2);
  Variant second = call(object(all), "item", {Variant("searchterm"), Variant(LONG(1))});
  EXPECT_EQ(text(get(object(second), "tagName")), "DIV");
  Variant outOfRange = call(object(all), "item", {Variant(LONG(100000))});
  EXPECT_EQ(outOfRange.vt(), VT_NULL);
  Variant links = call(object(all), "tags", {Variant("a")});
  EXPECT_EQ(get(object(links), "length").toInt(), 3);
}

TEST_F(HtmlDispatchTest, GetAttributeAndTagName) {
  Variant link = call(doc.get(), "getElementById", {Variant("l2")});
  EXPECT_EQ(text(call(object(link), "getAttribute", {Variant("href"), Variant(LONG(0))})), siteUrl("site/page2.html"));
  EXPECT_EQ(text(call(object(link), "getAttribute", {Variant("href"), Variant(LONG(2))})), "page2.html");
  EXPECT_EQ(text(call(object(link), "getAttribute", {Variant("target"), Variant(LONG(0))})), "");
  call(object(link), "setAttribute", {Variant("target"), Variant("main")});
  EXPECT_EQ(model->elementById("l2")->attribute("target"), "main");
  EXPECT_EQ(text(get(object(link), "tagName")), "A");
  EXPECT_EQ(text(get(object(link), "innerText")), "Second page");
  Variant parent = get(object(link), "parentElement");
  EXPECT_EQ(text(get(object(parent), "tagName")), "BODY");
}

TEST_F(HtmlDispatchTest, NamesAreCaseInsensitiveAndUnknownNamesRefused) {
  Bstr name("TITLE");
  LPOLESTR names[] = {name.get()};
  DISPID id = 0;
  EXPECT_EQ(doc->GetIDsOfNames(IID_NULL, names, 1, 2048, &id), S_OK);
  Bstr bogus("noSuchMember");
  LPOLESTR bogusNames[] = {bogus.get()};
  EXPECT_EQ(doc->GetIDsOfNames(IID_NULL, bogusNames, 1, 2048, &id), DISP_E_UNKNOWNNAME);
  Variant v;
  EXPECT_EQ(qv::com::getProperty(doc.get(), "noSuchMember", v), DISP_E_UNKNOWNNAME);
}

TEST_F(HtmlDispatchTest, StyleVisibilityAndCursor) {
  Variant form = call(call(doc.get(), "getElementsByName", {Variant("searchform")}).raw().pdispVal, "item",
                      {Variant(LONG(0))});
  Variant style = get(object(form), "style");
  EXPECT_EQ(text(get(object(style), "visibility")), "");
  EXPECT_EQ(qv::com::setProperty(object(style), "visibility", Variant("visible")), S_OK);
  EXPECT_EQ(model->formByName("searchform")->style().get("visibility"), "visible");

  ComPtr<IHTMLElement> body;
  doc->get_body(body.put());
  ComPtr<IHTMLStyle> bodyStyle;
  body->get_style(bodyStyle.put());
  Bstr cursor;
  bodyStyle->get_cursor(cursor.put());
  EXPECT_EQ(cursor.toAnsi(), "wait");
  bodyStyle->put_cursor(Bstr("default").get());
  EXPECT_EQ(text(get(get(body.get(), "style").raw().pdispVal, "cursor")), "default");
  // Other properties are kept as text.
  EXPECT_EQ(qv::com::setProperty(bodyStyle.get(), "backgroundColor", Variant("#fff")), S_OK);
  EXPECT_EQ(model->body()->style().get("background-color"), "#fff");
}

TEST_F(HtmlDispatchTest, FramesAreWindowsWithTheirDocuments) {
  ComPtr<IHTMLWindow2> window;
  ASSERT_EQ(doc->get_parentWindow(window.put()), S_OK);
  EXPECT_EQ(windowObject(model).get(), window.get());
  EXPECT_EQ(get(window.get(), "length").toInt(), 1);
  ComPtr<IHTMLFramesCollection2> frames;
  doc->get_frames(frames.put());
  for (Variant key : {Variant(LONG(0)), Variant("side")}) {
    Variant frame;
    ASSERT_EQ(frames->item(key.get(), frame.put()), S_OK);
    Variant frameDoc = get(object(frame), "document");
    EXPECT_EQ(text(get(object(frameDoc), "title")), "Side");
    EXPECT_EQ(text(get(object(frame), "name")), "side");
    EXPECT_EQ(text(get(get(object(frame), "location").raw().pdispVal, "href")), siteUrl("site/frame/side.htm"));
  }
  Variant index(LONG(5)), none;
  EXPECT_EQ(frames->item(index.get(), none.put()), DISP_E_MEMBERNOTFOUND);
}

TEST_F(HtmlDispatchTest, SelectionRangeText) {
  auto rangeText = [&] {
    ComPtr<IHTMLSelectionObject> selection;
    doc->get_selection(selection.put());
    ComPtr<IDispatch> range;
    selection->createRange(range.put());
    return text(get(range.get(), "text"));
  };
  EXPECT_EQ(rangeText(), "");
  model->setSelectionText("Welcome");
  EXPECT_EQ(rangeText(), "Welcome");
}

TEST_F(HtmlDispatchTest, TheWindowsEventObjectIsReadByName) {
  ComPtr<IHTMLWindow2> window;
  doc->get_parentWindow(window.put());
  ComPtr<IHTMLEventObj> none;
  window->get_event(none.put());
  EXPECT_FALSE(none);
  EXPECT_EQ(get(window.get(), "event").vt(), VT_NULL);

  model->setEvent(makeEventObject("error", nullptr,
                                  {{"errorLine", Variant(LONG(12))},
                                   {"errorCharacter", Variant(LONG(3))},
                                   {"errorCode", Variant(LONG(0))},
                                   {"errorMessage", Variant("Object expected")},
                                   {"errorUrl", Variant(siteUrl("site/index.html"))}}));
  Variant event = get(window.get(), "event");
  ASSERT_NE(object(event), nullptr);
  EXPECT_EQ(get(object(event), "errorline").toString(), "12");
  EXPECT_EQ(get(object(event), "errorCharacter").toString(), "3");
  EXPECT_EQ(get(object(event), "errorMessage").toString(), "Object expected");
  EXPECT_EQ(text(get(object(event), "type")), "error");
  Variant v;
  EXPECT_EQ(qv::com::getProperty(object(event), "notAProperty", v), DISP_E_UNKNOWNNAME);
  model->setEvent(nullptr);
  EXPECT_EQ(get(window.get(), "event").vt(), VT_NULL);
}

TEST_F(HtmlDispatchTest, TextReachesComAsUtf16) {
  auto page = Document::fromHtml("<title>Gr\xC3\xB6\xC3\x9F" "e \xCE\xA9</title>", "http://h/");
  Bstr title;
  documentObject(page)->get_title(title.put());
  EXPECT_EQ(std::u16string(title.view()), u"Gr\u00F6\u00DFe \u03A9");
}

}  // namespace
