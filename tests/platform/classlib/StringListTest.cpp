#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DesktopTest.h"
#include "platform/classlib/Classes.h"

namespace {

std::vector<std::string> items(const TStrings& list) {
  std::vector<std::string> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(list.Strings(i));
  return out;
}

using Lines = std::vector<std::string>;

}  // namespace

TEST(StringListText, SplitsAtAnyLineBreakAndKeepsEmptyItems) {
  struct Case {
    std::string text;
    Lines lines;
  };
  const Case cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},  // a final break adds no item
      {"a\r\nb", {"a", "b"}},
      {"a\nb\n", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\n\nb", {"a", "", "b"}},
      {"a\r\n\r\n", {"a", ""}},
      {"\r\n", {""}},
      {"a\n\rb", {"a", "", "b"}},  // LF CR is two breaks
      {"a\r\r\nb", {"a", "", "b"}},
      {" x \t", {" x \t"}},  // blanks are kept
      {std::string("a\0b\nc", 5), {std::string("a\0b", 3), "c"}},
  };
  for (const Case& c : cases) {
    TStringList list;
    list.SetText(c.text);
    EXPECT_EQ(items(list), c.lines) << testing::PrintToString(c.text);
  }
}

TEST(StringListText, WritesCrLfAfterEveryItem) {
  TStringList list;
  EXPECT_EQ(list.Text(), "");
  list.Add("a");
  list.Add("");
  list.Add("b");
  EXPECT_EQ(list.Text(), "a\r\n\r\nb\r\n");
}

TEST(StringListText, CommaAndDelimitedText) {
  struct Case {
    std::string text;
    Lines lines;
  };
  const Case reads[] = {
      {"a,b,c", {"a", "b", "c"}},
      {"a,,b", {"a", "", "b"}},
      {"a,", {"a", ""}},
      {"  a , b ", {"a", "b"}},
      {"a b,c", {"a", "b", "c"}},  // blanks outside quotes separate too
      {"\"a b\",\"say \"\"hi\"\"\"", {"a b", "say \"hi\""}},
      {"\"\"", {""}},
      {"", {}},
  };
  for (const Case& c : reads) {
    TStringList list;
    list.SetCommaText(c.text);
    EXPECT_EQ(items(list), c.lines) << c.text;
  }

  TStringList list;
  for (const char* s : {"plain", "with space", "q\"uote", "", "a,b"}) list.Add(s);
  EXPECT_EQ(list.CommaText(), "plain,\"with space\",\"q\"\"uote\",,\"a,b\"");
  TStringList back;
  back.SetCommaText(list.CommaText());
  EXPECT_EQ(items(back), items(list));

  TStringList single;
  single.Add("");
  EXPECT_EQ(single.CommaText(), "\"\"");

  TStringList d;
  d.SetDelimiter(';');
  d.SetQuoteChar('\'');
  d.SetDelimitedText("x;'y;z';'it''s'");
  EXPECT_EQ(items(d), (Lines{"x", "y;z", "it's"}));
  EXPECT_EQ(d.DelimitedText(), "x;'y;z';'it''s'");
}

TEST(StringListValues, NamesValuesAndSetValues) {
  TStringList list;
  list.SetText("Key=1\nother=a=b\nnoequals\n=empty name\nKEY=second");
  EXPECT_EQ(list.Names(0), "Key");
  EXPECT_EQ(list.Names(1), "other");
  EXPECT_EQ(list.Names(2), "");
  EXPECT_EQ(list.Values("key"), "1");  // names are case-insensitive; the first wins
  EXPECT_EQ(list.Values("OTHER"), "a=b");
  EXPECT_EQ(list.Values("noequals"), "");
  EXPECT_EQ(list.Values("missing"), "");
  EXPECT_EQ(list.ValueFromIndex(1), "a=b");
  EXPECT_EQ(list.ValueFromIndex(2), "");
  EXPECT_EQ(list.IndexOfName("Other"), 1);
  EXPECT_EQ(list.IndexOfName("noequals"), -1);

  list.SetValues("key", "42");  // replaces the first, keeping the new spelling
  EXPECT_EQ(list.Strings(0), "key=42");
  list.SetValues("new", "x");
  EXPECT_EQ(list.Strings(list.Count() - 1), "new=x");
  list.SetValues("other", "");  // an empty value deletes the item
  EXPECT_EQ(list.IndexOfName("other"), -1);
  EXPECT_EQ(list.Count(), 5);
}

TEST(StringListIndexOf, CaseInsensitiveUnlessCaseSensitive) {
  TStringList list;
  list.SetText("Alpha\nbeta\n\xC4pfel");  // "Äpfel" in Windows-1252
  EXPECT_EQ(list.IndexOf("ALPHA"), 0);
  EXPECT_EQ(list.IndexOf("\xE4PFEL"), 2);  // umlauts fold too
  EXPECT_EQ(list.IndexOf("gamma"), -1);
  list.SetCaseSensitive(true);
  EXPECT_EQ(list.IndexOf("ALPHA"), -1);
  EXPECT_EQ(list.IndexOf("Alpha"), 0);
}

TEST(StringListSorted, OrderFindAndDuplicates) {
  TStringList list;
  list.SetText("pear\nApple\nfig\napple");
  list.SetSorted(true);
  ASSERT_EQ(list.Count(), 4);
  EXPECT_EQ(list.Strings(0).substr(1), "pple");
  EXPECT_EQ(list.Strings(2), "fig");
  EXPECT_EQ(list.Strings(3), "pear");

  int index = -1;
  EXPECT_TRUE(list.Find("FIG", index));
  EXPECT_EQ(index, 2);
  EXPECT_FALSE(list.Find("banana", index));
  EXPECT_EQ(index, 2);  // where it would go
  EXPECT_EQ(list.Add("banana"), 2);

  struct Case {
    TDuplicates dup;
    int count;  // after adding "Pear" to the five items
    bool raises;
  };
  for (Case c : {Case{dupIgnore, 5, false}, Case{dupAccept, 6, false}, Case{dupError, 5, true}}) {
    TStringList l;
    l.Assign(&list);
    l.SetSorted(true);
    l.SetDuplicates(c.dup);
    if (c.raises) {
      try {
        l.Add("Pear");
        FAIL();
      } catch (const EStringListError& e) {
        EXPECT_EQ(e.Message(), "String list does not allow duplicates");
      }
    } else {
      // Ignored: the index of the "pear" there; accepted: placed before it.
      EXPECT_EQ(l.Add("Pear"), 4);
    }
    EXPECT_EQ(l.Count(), c.count);
  }

  try {
    list.Insert(0, "zzz");
    FAIL();
  } catch (const EStringListError& e) {
    EXPECT_EQ(e.Message(), "Operation not allowed on sorted list");
  }
  EXPECT_THROW(list.SetStrings(0, "x"), EStringListError);
}

TEST(StringListEditing, MoveExchangeDeleteKeepObjects) {
  TStringList list;
  TObject o1, o2;
  list.AddObject("a", &o1);
  list.Add("b");
  list.AddObject("c", &o2);
  list.Move(0, 2);
  EXPECT_EQ(items(list), (Lines{"b", "c", "a"}));
  EXPECT_EQ(list.Objects(2), &o1);
  list.Move(2, 0);
  EXPECT_EQ(items(list), (Lines{"a", "b", "c"}));
  list.Exchange(0, 2);
  EXPECT_EQ(items(list), (Lines{"c", "b", "a"}));
  EXPECT_EQ(list.Objects(0), &o2);
  EXPECT_EQ(list.IndexOfObject(&o1), 2);
  list.Delete(1);
  EXPECT_EQ(items(list), (Lines{"c", "a"}));

  for (int bad : {-1, 2}) {
    try {
      list.Strings(bad);
      FAIL();
    } catch (const EStringListError& e) {
      EXPECT_EQ(e.Message(), "List index out of bounds (" + std::to_string(bad) + ")");
    }
  }
  EXPECT_THROW(list.Delete(5), EStringListError);
  EXPECT_THROW(list.Move(0, 7), EStringListError);
  EXPECT_EQ(items(list), (Lines{"c", "a"}));  // a refused move loses nothing
  EXPECT_THROW(list.Insert(3, "x"), EStringListError);
  list.Insert(2, "end");
  EXPECT_EQ(list.Strings(2), "end");
}

TEST(StringListEvents, ChangeEventsAndUpdateBlocks) {
  TStringList list;
  std::vector<std::string> events;
  list.OnChanging = [&](TObject* sender) {
    EXPECT_EQ(sender, &list);
    events.push_back("changing");
  };
  list.OnChange = [&](TObject*) { events.push_back("change " + std::to_string(list.Count())); };
  list.Add("a");
  EXPECT_EQ(events, (Lines{"changing", "change 1"}));

  events.clear();
  list.BeginUpdate();
  list.Add("b");
  list.BeginUpdate();
  list.Add("c");
  list.EndUpdate();
  EXPECT_EQ(events, (Lines{"changing"}));
  list.EndUpdate();
  EXPECT_EQ(events, (Lines{"changing", "change 3"}));

  // Setting the text is one change.
  events.clear();
  list.SetText("x\ny");
  EXPECT_EQ(events, (Lines{"changing", "change 2"}));
}

TEST(StringListAssign, CopiesItemsObjectsAndRefusesOtherClasses) {
  TStringList a, b;
  TObject o;
  a.AddObject("one", &o);
  a.Add("two");
  b.Add("old");
  b.Assign(&a);
  EXPECT_EQ(items(b), (Lines{"one", "two"}));
  EXPECT_EQ(b.Objects(0), &o);
  b.AddStrings(&a);
  EXPECT_EQ(b.Count(), 4);
  EXPECT_TRUE(a.Equals(&a));
  EXPECT_FALSE(a.Equals(&b));
  TComponent c(nullptr);
  try {
    b.Assign(&c);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a TComponent to a TStringList");
  }
}

class StringListFileTest : public qvtest::DesktopTest {};

TEST_F(StringListFileTest, LoadAndSaveFiles) {
  std::string name = writeFile("In.txt", "one\ntwo\r\nthree");
  TStringList list;
  list.LoadFromFile(name);
  EXPECT_EQ(items(list), (Lines{"one", "two", "three"}));
  list.SaveToFile(hostPath("out.txt"));
  EXPECT_EQ(readFile(hostPath("out.txt")), "one\r\ntwo\r\nthree\r\n");
  // Saving replaces the whole file.
  list.SetText("x");
  list.SaveToFile(hostPath("out.txt"));
  EXPECT_EQ(readFile(hostPath("out.txt")), "x\r\n");
  // Names are found case-insensitively; a missing file raises.
  list.LoadFromFile(hostPath("IN.TXT"));
  EXPECT_EQ(list.Count(), 3);
  EXPECT_THROW(list.LoadFromFile(hostPath("none.txt")), EFOpenError);
  EXPECT_EQ(list.Count(), 3);  // a failed load leaves the list as it was
}

TEST(StringListStreams, LoadFromStreamReadsFromThePosition) {
  TStringStream s("skip|a\r\nb");
  s.SetPosition(5);
  TStringList list;
  list.LoadFromStream(&s);
  EXPECT_EQ(items(list), (Lines{"a", "b"}));
  TStringStream out;
  list.SaveToStream(&out);
  EXPECT_EQ(out.DataString(), "a\r\nb\r\n");
}
