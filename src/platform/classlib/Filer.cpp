#include "platform/classlib/Filer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "platform/desktop/Recorder.h"
#include "platform/os/kernel/Module.h"
#include "platform/os/kernel/Registry.h"
#include "platform/os/kernel/Resource.h"

using namespace qv::classlib;

// ---------------------------------------------------------------------------
// Parser: the whole text becomes a tree first, so malformed text fails before
// any component is made.

namespace {

// Deeper nesting than any real form; it keeps hostile input from exhausting
// the stack.
constexpr int kMaxNesting = 200;

bool isIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool isIdentChar(char c) { return isIdentStart(c) || (c >= '0' && c <= '9'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

class FormParser {
 public:
  explicit FormParser(const std::string& text) : s_(text) {}

  TFormObject parseRoot() {
    skipBlanks();
    if (!peekKeyword()) error("'object' expected");
    TFormObject root = parseObject(0);
    skipBlanks();
    if (pos_ < s_.size()) error("Unexpected text after the last 'end'");
    return root;
  }

 private:
  [[noreturn]] void error(const std::string& msg) const {
    throw EParserError("%s on line %d", {msg, line_});
  }

  void skipBlanks() {
    while (pos_ < s_.size()) {
      char c = s_[pos_];
      if (c == '\n') {
        ++line_;
        ++pos_;
      } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
        ++pos_;
      } else {
        break;
      }
    }
  }
  bool atEnd() {
    skipBlanks();
    return pos_ >= s_.size();
  }
  char peek() {
    skipBlanks();
    return pos_ < s_.size() ? s_[pos_] : '\0';
  }
  void expect(char c) {
    if (peek() != c) error(std::string("'") + c + "' expected");
    ++pos_;
  }
  std::string symbol() {
    skipBlanks();
    if (pos_ >= s_.size() || !isIdentStart(s_[pos_])) error("Identifier expected");
    std::size_t b = pos_;
    while (pos_ < s_.size() && isIdentChar(s_[pos_])) ++pos_;
    return s_.substr(b, pos_ - b);
  }
  std::string dottedSymbol() {
    std::string name = symbol();
    while (pos_ < s_.size() && s_[pos_] == '.') {
      ++pos_;
      name += "." + symbol();
    }
    return name;
  }
  // True when the next word is one of those that open an object.
  bool peekKeyword() {
    skipBlanks();
    std::size_t p = pos_;
    while (p < s_.size() && isIdentChar(s_[p])) ++p;
    std::string w = s_.substr(pos_, p - pos_);
    return SameText(w, "object") || SameText(w, "inherited") || SameText(w, "inline");
  }
  bool peekWord(const char* word) {
    skipBlanks();
    std::size_t p = pos_;
    while (p < s_.size() && isIdentChar(s_[p])) ++p;
    return SameText(s_.substr(pos_, p - pos_), word);
  }

  TFormObject parseObject(int depth) {
    if (depth > kMaxNesting) error("Nesting too deep");
    TFormObject obj;
    obj.Line = line_;
    std::string kind = symbol();
    if (SameText(kind, "inherited")) obj.Flags.Include(ffInherited);
    if (SameText(kind, "inline")) obj.Flags.Include(ffInline);
    std::string first = symbol();
    if (peek() == ':') {
      ++pos_;
      obj.Name = first;
      obj.ClassName = symbol();
    } else {
      obj.ClassName = first;
    }
    if (peek() == '[') {
      ++pos_;
      TFormValue v = parseNumber();
      if (v.Type != vaInt32 && v.Type != vaInt64) error("Number expected");
      obj.Flags.Include(ffChildPos);
      obj.ChildPos = static_cast<int>(v.Int);
      expect(']');
    }
    for (;;) {
      if (atEnd()) error("'end' expected");
      if (peekWord("end")) {
        symbol();
        break;
      }
      if (peekKeyword())
        obj.Children.push_back(parseObject(depth + 1));
      else
        obj.Props.push_back(parseProperty(depth));
    }
    return obj;
  }

  TFormProp parseProperty(int depth) {
    TFormProp p;
    p.Line = line_;
    p.Name = dottedSymbol();
    expect('=');
    p.Value = parseValue(depth + 1);
    return p;
  }

  TFormValue parseValue(int depth) {
    if (depth > kMaxNesting) error("Nesting too deep");
    char c = peek();
    TFormValue v;
    v.Line = line_;
    if (c == '\'' || c == '#') return parseStringExpr();
    if (c == '-' || c == '$' || isDigit(c)) return parseNumber();
    if (isIdentStart(c)) {
      v.Str = dottedSymbol();
      if (SameText(v.Str, "True"))
        v.Type = vaTrue;
      else if (SameText(v.Str, "False"))
        v.Type = vaFalse;
      else if (SameText(v.Str, "nil"))
        v.Type = vaNil;
      else
        v.Type = vaIdent;
      return v;
    }
    switch (c) {
      case '[': {
        ++pos_;
        v.Type = vaSet;
        if (peek() != ']') {
          for (;;) {
            v.Set.push_back(symbol());
            if (peek() == ',') {
              ++pos_;
              continue;
            }
            break;
          }
        }
        expect(']');
        return v;
      }
      case '(': {
        ++pos_;
        v.Type = vaList;
        while (peek() != ')') {
          if (atEnd()) error("')' expected");
          v.List.push_back(parseValue(depth + 1));
        }
        ++pos_;
        return v;
      }
      case '<': {
        ++pos_;
        v.Type = vaCollection;
        while (peek() != '>') {
          if (atEnd()) error("'>' expected");
          if (!peekWord("item")) error("'item' expected");
          TFormItem item;
          item.Line = line_;
          symbol();
          for (;;) {
            if (atEnd()) error("'end' expected");
            if (peekWord("end")) {
              symbol();
              break;
            }
            item.Props.push_back(parseProperty(depth + 1));
          }
          v.Items.push_back(std::move(item));
        }
        ++pos_;
        return v;
      }
      case '{': {
        ++pos_;
        v.Type = vaBinary;
        int high = -1;
        for (;;) {
          skipBlanks();
          if (pos_ >= s_.size()) error("'}' expected");
          char h = s_[pos_++];
          if (h == '}') break;
          int d = hexValue(h);
          if (d < 0) error("Invalid binary value");
          if (high < 0) {
            high = d;
          } else {
            v.Str += static_cast<char>(high * 16 + d);
            high = -1;
          }
        }
        if (high >= 0) error("Invalid binary value");
        return v;
      }
      default:
        break;
    }
    if (c == '\0') error("Property value expected");
    error("Invalid property value");
  }

  TFormValue parseNumber() {
    skipBlanks();
    TFormValue v;
    v.Line = line_;
    std::size_t b = pos_;
    bool negative = false;
    if (pos_ < s_.size() && s_[pos_] == '-') {
      negative = true;
      ++pos_;
    }
    if (pos_ < s_.size() && s_[pos_] == '$') {
      ++pos_;
      std::uint64_t value = 0;
      int digits = 0;
      while (pos_ < s_.size() && hexValue(s_[pos_]) >= 0) {
        if (++digits > 16) error("Number expected");
        value = value * 16 + static_cast<std::uint64_t>(hexValue(s_[pos_++]));
      }
      if (digits == 0) error("Number expected");
      v.Type = digits > 8 ? vaInt64 : vaInt32;
      // $FFFFFFFF is the 32-bit pattern, as colours are written.
      v.Int = digits > 8 ? static_cast<std::int64_t>(value) : static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
      if (negative) v.Int = -v.Int;
      return v;
    }
    std::size_t digitsStart = pos_;
    while (pos_ < s_.size() && isDigit(s_[pos_])) ++pos_;
    if (pos_ == digitsStart) error("Number expected");
    bool isFloat = false;
    if (pos_ + 1 < s_.size() && s_[pos_] == '.' && isDigit(s_[pos_ + 1])) {
      isFloat = true;
      ++pos_;
      while (pos_ < s_.size() && isDigit(s_[pos_])) ++pos_;
    }
    if (pos_ < s_.size() && (s_[pos_] == 'e' || s_[pos_] == 'E')) {
      std::size_t e = pos_ + 1;
      if (e < s_.size() && (s_[e] == '+' || s_[e] == '-')) ++e;
      if (e < s_.size() && isDigit(s_[e])) {
        isFloat = true;
        pos_ = e;
        while (pos_ < s_.size() && isDigit(s_[pos_])) ++pos_;
      }
    }
    std::string text = s_.substr(b, pos_ - b);
    if (isFloat) {
      // Single, currency and date suffixes say how the number was stored.
      if (pos_ < s_.size() && (s_[pos_] == 's' || s_[pos_] == 'c' || s_[pos_] == 'd') &&
          !(pos_ + 1 < s_.size() && isIdentChar(s_[pos_ + 1])))
        ++pos_;
      double d = 0;
      auto r = std::from_chars(text.data(), text.data() + text.size(), d);
      if (r.ec != std::errc()) error("Number expected");
      v.Type = vaExtended;
      v.Float = d;
      return v;
    }
    std::int64_t n = 0;
    auto r = std::from_chars(text.data(), text.data() + text.size(), n);
    if (r.ec != std::errc()) error("Number expected");
    v.Type = (n >= INT32_MIN && n <= INT32_MAX) ? vaInt32 : vaInt64;
    v.Int = n;
    return v;
  }

  TFormValue parseStringExpr() {
    TFormValue v;
    v.Type = vaString;
    v.Line = line_;
    for (;;) {
      v.Str += stringLiteral();
      if (peek() == '+') {
        ++pos_;
        char c = peek();
        if (c != '\'' && c != '#') error("String expected");
        continue;
      }
      break;
    }
    return v;
  }

  // One literal: quoted runs and #codes written next to each other.
  std::string stringLiteral() {
    skipBlanks();
    std::string out;
    for (;;) {
      if (pos_ >= s_.size()) break;
      char c = s_[pos_];
      if (c == '\'') {
        ++pos_;
        for (;;) {
          if (pos_ >= s_.size() || s_[pos_] == '\n' || s_[pos_] == '\r') error("Unterminated string");
          char d = s_[pos_++];
          if (d == '\'') {
            if (pos_ < s_.size() && s_[pos_] == '\'') {
              out += '\'';
              ++pos_;
              continue;
            }
            break;
          }
          out += d;
        }
      } else if (c == '#') {
        ++pos_;
        long code = 0;
        int digits = 0;
        if (pos_ < s_.size() && s_[pos_] == '$') {
          ++pos_;
          while (pos_ < s_.size() && hexValue(s_[pos_]) >= 0 && digits < 8) {
            code = code * 16 + hexValue(s_[pos_++]);
            ++digits;
          }
        } else {
          while (pos_ < s_.size() && isDigit(s_[pos_]) && digits < 8) {
            code = code * 10 + (s_[pos_++] - '0');
            ++digits;
          }
        }
        if (digits == 0 || code > 255) error("Invalid string constant");
        out += static_cast<char>(code);
      } else {
        break;
      }
    }
    return out;
  }

  const std::string& s_;
  std::size_t pos_ = 0;
  int line_ = 1;
};

}  // namespace

TFormObject qv::classlib::parseForm(const std::string& Text) { return FormParser(Text).parseRoot(); }

// ---------------------------------------------------------------------------
// The parent protocol.

// TComponent's defaults live beside the reader they serve.

void TComponent::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  if (this != Root) return;
  for (int i = 0; i < ComponentCount(); ++i)
    if (!Components(i)->HasParent()) Proc(Components(i));
}

void TComponent::ReadState(TReader* Reader) { Reader->ReadData(this); }

namespace {
// C itself or a component it owns, directly or further down.
bool ownedBy(const TComponent* C, const TComponent* Owner) {
  for (; C; C = C->Owner())
    if (C == Owner) return true;
  return false;
}

// Whether C is Root or still among the components Root owns, directly or
// further down. Only live components are visited, so C may be a pointer to
// one that is gone.
bool stillHeld(const TComponent* C, const TComponent* Root) {
  if (!Root) return false;
  if (C == Root) return true;
  for (int i = 0; i < Root->ComponentCount(); ++i)
    if (stillHeld(C, Root->Components(i))) return true;
  return false;
}

}  // namespace

// ---------------------------------------------------------------------------
// Global components.

namespace {
std::vector<TFindGlobalComponent>& globalFinders() {
  static std::vector<TFindGlobalComponent> finders;
  return finders;
}
// Set while InitInheritedComponent reads the resources of all classes of one
// instance, so that Loaded runs once, after the last of them.
std::vector<TComponent*>* gGlobalLoaded = nullptr;
HINSTANCE gResourceInstance = nullptr;
}  // namespace

void RegisterFindGlobalComponentProc(TFindGlobalComponent Proc) {
  auto& f = globalFinders();
  if (Proc && std::find(f.begin(), f.end(), Proc) == f.end()) f.push_back(Proc);
}
void UnregisterFindGlobalComponentProc(TFindGlobalComponent Proc) {
  auto& f = globalFinders();
  f.erase(std::remove(f.begin(), f.end(), Proc), f.end());
}
TComponent* FindGlobalComponent(const std::string& Name) {
  for (TFindGlobalComponent proc : globalFinders())
    if (TComponent* c = proc(Name)) return c;
  return nullptr;
}

// ---------------------------------------------------------------------------
// TReader

struct TReader::Fixup {
  TObject* Instance;
  PPropInfo Info;
  std::string Name;
  std::string Where;
  int Line;
};

TReader::TReader(TStream* Stream) : TFiler(Stream) {}
TReader::~TReader() = default;

void TReader::ensureParsed() {
  if (FParsed) return;
  FParsed = true;
  if (FStream) {
    std::int64_t size = FStream->Size() - FStream->Position();
    if (size > 0) {
      FText.resize(static_cast<std::size_t>(size));
      FText.resize(static_cast<std::size_t>(FStream->Read(FText.data(), static_cast<int>(size))));
    }
  }
  FTree = std::make_unique<TFormObject>(parseForm(FText));
}

void TReader::Error(const std::string& Message) const { throw EReadError("%s on line %d", {Message, FLine}); }

void TReader::ReadPrefix(TFilerFlags& Flags, int& AChildPos) {
  const TFormObject* node = FNodes.back();
  Flags = node->Flags;
  AChildPos = node->ChildPos;
}

void TReader::callLoaded(std::vector<TComponent*>& Loaded) {
  for (std::size_t i = 0; i < Loaded.size(); ++i) Loaded[i]->Loaded();
}

void TReader::clearLoading(std::vector<TComponent*>& Loaded) {
  for (TComponent* c : Loaded) {
    c->FComponentState.Exclude(csLoading);
    c->FComponentState.Exclude(csReading);
  }
}

namespace {
// A further instance of a form for the same owner takes the resource's name
// with "_1", "_2" ... appended, as the class library names it, so that one
// form resource can be shown more than once.
std::string uniqueRootName(TComponent* Root, const std::string& Name) {
  TComponent* owner = Root->Owner();
  if (owner == nullptr) return Name;
  std::string candidate = Name;
  for (int i = 1;; ++i) {
    TComponent* found = owner->FindComponent(candidate);
    if (found == nullptr || found == Root) return candidate;
    candidate = Name + "_" + std::to_string(i);
  }
}
}  // namespace

TComponent* TReader::ReadRootComponent(TComponent* Root) {
  ensureParsed();
  const TFormObject& node = *FTree;
  FLine = node.Line;
  TComponent* result = Root;
  bool created = false;
  std::vector<TComponent*> ownLoaded;
  std::vector<TComponent*>* loaded = gGlobalLoaded ? gGlobalLoaded : &ownLoaded;
  try {
    if (!result) {
      TClass cls = GetClass(node.ClassName);
      if (!cls) throw EClassNotFound("Class %s not found on line %d", {node.ClassName, node.Line});
      TObject* obj = cls->InheritsFrom(TComponent::StaticClass()) ? cls->Create(nullptr) : nullptr;
      result = dynamic_cast<TComponent*>(obj);
      if (!result) {
        delete obj;
        Error("Class " + node.ClassName + " is not a component");
      }
      created = true;
      result->FComponentState.Include(csLoading);
      result->FComponentState.Include(csReading);
      result->SetName(node.Name);
    } else {
      result->FComponentState.Include(csLoading);
      result->FComponentState.Include(csReading);
      if (!node.Name.empty()) result->SetName(uniqueRootName(result, node.Name));
    }
    FRoot = result;
    FLookupRoot = result;
    FOwner = result;
    FParent = nullptr;
    FLoaded = loaded;
    if (std::find(loaded->begin(), loaded->end(), result) == loaded->end()) loaded->push_back(result);
    FNodes.push_back(&node);
    result->ReadState(this);
    FNodes.pop_back();
    result->FComponentState.Exclude(csReading);
    FLoaded = nullptr;
    if (loaded == &ownLoaded) callLoaded(ownLoaded);
  } catch (...) {
    FLoaded = nullptr;
    FFixups.clear();
    if (created) {
      // What goes with the root must leave the list first.
      std::erase_if(*loaded, [&](TComponent* c) { return ownedBy(c, result); });
      delete result;
    }
    // What was read stays, but no longer counts as loading.
    clearLoading(*loaded);
    if (loaded != &ownLoaded) loaded->clear();
    throw;
  }
  return result;
}

void TReader::ReadData(TComponent* Instance) {
  if (FNodes.empty()) Error("No component to read");
  const TFormObject& node = *FNodes.back();
  ++FDataDepth;
  try {
    for (const TFormProp& p : node.Props) readProperty(Instance, p);
    TComponent* oldParent = FParent;
    TComponent* oldOwner = FOwner;
    FParent = Instance->GetChildParent();
    FOwner = Instance->GetChildOwner();
    if (!FOwner) FOwner = FRoot;
    try {
      for (const TFormObject& child : node.Children) readComponent(child);
    } catch (...) {
      FParent = oldParent;
      FOwner = oldOwner;
      throw;
    }
    FParent = oldParent;
    FOwner = oldOwner;
    if (FDataDepth == 1) fixupReferences();
  } catch (...) {
    --FDataDepth;
    throw;
  }
  --FDataDepth;
}

TComponent* TReader::findExisting(const TFormObject& Node, TClass AClass, bool Inherited) {
  TComponent* lookIn = FOwner ? FOwner : FRoot;
  if (Node.Name.empty() && Inherited && lookIn && AClass && FNodes.size() >= 2) {
    // An unnamed component read again (a notebook's pages) is the existing
    // one at the same place among its owner's unnamed ones of its class.
    int place = 0;
    for (const TFormObject& sibling : FNodes[FNodes.size() - 2]->Children) {
      if (&sibling == &Node) break;
      if (sibling.Name.empty() && SameText(sibling.ClassName, Node.ClassName)) ++place;
    }
    for (int i = 0; i < lookIn->ComponentCount(); ++i) {
      TComponent* c = lookIn->Components(i);
      if (!c->Name().empty() || c->ClassType() != AClass) continue;
      if (place-- == 0) return c;
    }
    Error("Ancestor for an unnamed " + Node.ClassName + " not found");
  }
  TComponent* found = (lookIn && !Node.Name.empty()) ? lookIn->FindComponent(Node.Name) : nullptr;
  if (!found && FRoot && lookIn != FRoot && !Node.Name.empty()) found = FRoot->FindComponent(Node.Name);
  if (found && AClass && !found->InheritsFrom(AClass)) {
    if (Inherited) Error("Ancestor for '" + Node.Name + "' not found");
    return nullptr;
  }
  if (!found && Inherited) Error("Ancestor for '" + Node.Name + "' not found");
  return found;
}

TComponent* TReader::readComponent(const TFormObject& Node) {
  FNodes.push_back(&Node);
  FLine = Node.Line;
  TFilerFlags flags;
  int childPos = 0;
  ReadPrefix(flags, childPos);
  TComponent* oldParent = FParent;
  TComponent* result = nullptr;
  bool created = false;
  try {
    TClass cls = GetClass(Node.ClassName);
    bool inherited = flags.Contains(ffInherited);
    if (!cls && !inherited) throw EClassNotFound("Class %s not found on line %d", {Node.ClassName, Node.Line});
    result = findExisting(Node, cls, inherited);
    if (result) {
      TComponent* p = result->GetParentComponent();
      FParent = p ? p : FRoot;
    } else {
      TObject* obj = cls->InheritsFrom(TComponent::StaticClass()) ? cls->Create(FOwner) : nullptr;
      result = dynamic_cast<TComponent*>(obj);
      if (!result) {
        delete obj;
        Error("Class " + Node.ClassName + " is not a component");
      }
      created = true;
      result->FComponentState.Include(csLoading);
      result->SetParentComponent(FParent);
      try {
        result->SetName(Node.Name);
      } catch (Exception& e) {
        Error(e.Message());
      }
    }
    result->FComponentState.Include(csLoading);
    result->FComponentState.Include(csReading);
    result->ReadState(this);
    result->FComponentState.Exclude(csReading);
    if (flags.Contains(ffChildPos) && FParent) FParent->SetChildOrder(result, childPos);
    if (FLoaded && std::find(FLoaded->begin(), FLoaded->end(), result) == FLoaded->end()) FLoaded->push_back(result);
  } catch (...) {
    FParent = oldParent;
    FNodes.pop_back();
    if (created) {
      // Nothing may keep pointing at it.
      std::erase_if(FFixups, [&](const Fixup& f) { return f.Instance == result; });
      if (FLoaded) std::erase_if(*FLoaded, [&](TComponent* c) { return ownedBy(c, result); });
      delete result;
      // Its destruction may free components that the root owns (a control
      // frees the items it keeps in collections): those leave the list too.
      if (FLoaded && FRoot) std::erase_if(*FLoaded, [&](TComponent* c) { return !stillHeld(c, FRoot); });
    } else if (result && FLoaded && std::find(FLoaded->begin(), FLoaded->end(), result) == FLoaded->end()) {
      // An existing component read into: the failed read must not leave it loading.
      FLoaded->push_back(result);
    }
    throw;
  }
  FParent = oldParent;
  FNodes.pop_back();
  return result;
}

std::string TReader::instanceName(TObject* Instance) const {
  if (auto* c = dynamic_cast<TComponent*>(Instance)) return c->Name();
  if (auto* p = dynamic_cast<TPersistent*>(Instance)) return p->GetNamePath();
  return Instance->ClassName();
}

void TReader::readProperty(TObject* Instance, const TFormProp& Prop) {
  ++FPropDepth;
  FLine = Prop.Line;
  try {
    TObject* obj = Instance;
    std::string name = Prop.Name;
    std::size_t dot;
    while ((dot = name.find('.')) != std::string::npos) {
      std::string part = name.substr(0, dot);
      name = name.substr(dot + 1);
      PPropInfo pi = GetPropInfo(obj, part);
      if (!pi || pi->PropType->Kind != tkClass || pi->IsComponentRef() || !pi->GetObj) Error("Invalid property path");
      obj = pi->GetObj(obj);
      if (!obj) Error("Invalid property path");
    }
    if (PPropInfo pi = GetPropInfo(obj, name)) {
      readPropValue(obj, pi, Prop.Value);
    } else if (!readDefined(obj, name, Prop.Value)) {
      Error("Property " + name + " does not exist");
    }
  } catch (EParserError&) {
    --FPropDepth;
    throw;
  } catch (Exception& e) {
    if (--FPropDepth == 0) {
      // "Error reading Panel1.Caption: ..." with the line, in the exception's own class.
      std::string msg = e.Message();
      std::string suffix = " on line " + IntToStr(FLine);
      if (msg.size() < suffix.size() || msg.compare(msg.size() - suffix.size(), suffix.size(), suffix) != 0) msg += suffix;
      e.SetMessage("Error reading " + instanceName(Instance) + "." + Prop.Name + ": " + msg);
    }
    throw;
  }
  --FPropDepth;
}

void TReader::readPropValue(TObject* Instance, PPropInfo Info, const TFormValue& Value) {
  auto invalid = [this]() { Error("Invalid property value"); };
  PTypeInfo type = Info->PropType;
  switch (type->Kind) {
    case tkInteger: {
      if (!Info->SetOrd) invalid();
      if (Value.Type == vaInt32 || Value.Type == vaInt64) {
        Info->SetOrd(Instance, Value.Int);
      } else if (Value.Type == vaIdent) {
        int v = 0;
        TIdentToInt map = FindIdentToInt(type);
        if (!map || !map(Value.Str, v)) invalid();
        Info->SetOrd(Instance, v);
      } else {
        invalid();
      }
      break;
    }
    case tkChar:
      if (!Info->SetOrd) invalid();
      if (Value.Type == vaString && Value.Str.size() == 1)
        Info->SetOrd(Instance, static_cast<unsigned char>(Value.Str[0]));
      else if (Value.Type == vaInt32)
        Info->SetOrd(Instance, Value.Int);
      else
        invalid();
      break;
    case tkEnumeration: {
      if (!Info->SetOrd) invalid();
      if (Value.Type != vaIdent && Value.Type != vaTrue && Value.Type != vaFalse) invalid();
      int v = GetEnumValue(type, Value.Str);
      if (v < 0) invalid();
      Info->SetOrd(Instance, v);
      break;
    }
    case tkSet: {
      if (!Info->SetOrd || Value.Type != vaSet) invalid();
      std::uint64_t bits = 0;
      for (const std::string& id : Value.Set) {
        int v = GetEnumValue(type->CompType, id);
        if (v < 0 || v >= 64) invalid();
        bits |= std::uint64_t{1} << v;
      }
      Info->SetOrd(Instance, static_cast<std::int64_t>(bits));
      break;
    }
    case tkFloat:
      if (!Info->SetFloat) invalid();
      if (Value.Type == vaExtended)
        Info->SetFloat(Instance, Value.Float);
      else if (Value.Type == vaInt32 || Value.Type == vaInt64)
        Info->SetFloat(Instance, static_cast<double>(Value.Int));
      else
        invalid();
      break;
    case tkLString:
    case tkString:
      if (!Info->SetStr || Value.Type != vaString) invalid();
      Info->SetStr(Instance, Value.Str);
      break;
    case tkClass: {
      if (Value.Type == vaNil) {
        if (!Info->SetObj) invalid();
        Info->SetObj(Instance, nullptr);
      } else if (Value.Type == vaIdent && Info->IsComponentRef()) {
        if (!Info->SetObj) invalid();
        FFixups.push_back(Fixup{Instance, Info, Value.Str, instanceName(Instance) + "." + Info->Name, FLine});
      } else if (Value.Type == vaCollection) {
        auto* coll = Info->GetObj ? dynamic_cast<TCollection*>(Info->GetObj(Instance)) : nullptr;
        if (!coll) invalid();
        readCollectionValue(coll, Value);
      } else {
        invalid();
      }
      break;
    }
    case tkMethod: {
      if (!Info->SetMethod) invalid();
      if (Value.Type == vaNil) {
        Info->SetMethod(Instance, std::any());
        break;
      }
      if (Value.Type != vaIdent || !FLookupRoot) invalid();
      const TMethodInfo* m = FindMethod(FLookupRoot->ClassType(), Value.Str);
      if (!m || !Info->SetMethod(Instance, m->Bind(FLookupRoot))) invalid();
      break;
    }
    default:
      invalid();
  }
}

bool TReader::readDefined(TObject* Instance, const std::string& Name, const TFormValue& Value) {
  const TFormValue* oldValue = FValue;
  bool oldTaken = FValueTaken;
  auto oldLists = std::move(FLists);
  std::string oldName = FPropName;
  FValue = &Value;
  FValueTaken = false;
  FLists.clear();
  FPropName = Name;
  auto restore = [&]() {
    FValue = oldValue;
    FValueTaken = oldTaken;
    FLists = std::move(oldLists);
    FPropName = oldName;
  };
  try {
    if (auto* strings = dynamic_cast<TStrings*>(Instance); strings && SameText(Name, "Strings")) {
      // The lines of a string list replace what it held.
      FPropName.clear();
      ReadListBegin();
      strings->BeginUpdate();
      try {
        strings->Clear();
        while (!EndOfList()) strings->Add(ReadString());
      } catch (...) {
        strings->EndUpdate();
        throw;
      }
      strings->EndUpdate();
      ReadListEnd();
    } else if (auto* p = dynamic_cast<TPersistent*>(Instance)) {
      p->DefineProperties(this);
    }
  } catch (...) {
    restore();
    throw;
  }
  bool handled = FPropName.empty();
  restore();
  return handled;
}

void TReader::readCollectionValue(TCollection* Collection, const TFormValue& Value) {
  // Items about to be freed must not receive references later.
  for (int i = 0; i < Collection->Count(); ++i) {
    TCollectionItem* item = Collection->Items(i);
    std::erase_if(FFixups, [&](const Fixup& f) { return f.Instance == item; });
  }
  Collection->BeginUpdate();
  try {
    Collection->Clear();
    for (const TFormItem& node : Value.Items) {
      FLine = node.Line;
      TCollectionItem* item = Collection->Add();
      for (const TFormProp& p : node.Props) readProperty(item, p);
    }
  } catch (...) {
    Collection->EndUpdate();
    throw;
  }
  Collection->EndUpdate();
}

void TReader::fixupReferences() {
  std::vector<Fixup> fixups = std::move(FFixups);
  FFixups.clear();
  for (const Fixup& f : fixups) {
    FLine = f.Line;
    TComponent* target = resolveReference(f.Name);
    if (!target) throw EReadError("Error reading %s: Invalid property value on line %d", {f.Where, f.Line});
    try {
      f.Info->SetObj(f.Instance, target);
    } catch (Exception& e) {
      e.SetMessage("Error reading " + f.Where + ": " + e.Message() + " on line " + IntToStr(f.Line));
      throw;
    }
  }
}

TComponent* TReader::resolveReference(const std::string& Name) const {
  std::size_t dot = Name.find('.');
  std::string first = Name.substr(0, dot);
  TComponent* c = FRoot ? FRoot->FindComponent(first) : nullptr;
  if (!c && FRoot && SameText(FRoot->Name(), first)) c = FRoot;
  if (!c) c = FindGlobalComponent(first);
  while (c && dot != std::string::npos) {
    std::size_t next = Name.find('.', dot + 1);
    c = c->FindComponent(Name.substr(dot + 1, next == std::string::npos ? std::string::npos : next - dot - 1));
    dot = next;
  }
  return c;
}

const TFormValue& TReader::takeValue() {
  if (!FLists.empty()) {
    Cursor& top = FLists.back();
    if (top.Index >= top.List->List.size()) Error("Invalid property value");
    return top.List->List[top.Index++];
  }
  if (!FValue || FValueTaken) Error("Invalid property value");
  FValueTaken = true;
  return *FValue;
}

TValueType TReader::NextValue() const {
  if (!FLists.empty()) {
    const Cursor& top = FLists.back();
    return top.Index < top.List->List.size() ? top.List->List[top.Index].Type : vaNull;
  }
  return (FValue && !FValueTaken) ? FValue->Type : vaNull;
}

void TReader::ReadListBegin() {
  const TFormValue& v = takeValue();
  if (v.Type != vaList) Error("Invalid property value");
  FLists.push_back(Cursor{&v, 0});
}

void TReader::ReadListEnd() {
  if (FLists.empty() || FLists.back().Index != FLists.back().List->List.size()) Error("Invalid property value");
  FLists.pop_back();
}

std::int64_t TReader::ReadInt64() {
  const TFormValue& v = takeValue();
  if (v.Type != vaInt32 && v.Type != vaInt64) Error("Invalid property value");
  return v.Int;
}

int TReader::ReadInteger() {
  const TFormValue& v = takeValue();
  if (v.Type != vaInt32) Error("Invalid property value");
  return static_cast<int>(v.Int);
}

bool TReader::ReadBoolean() {
  const TFormValue& v = takeValue();
  if (v.Type != vaTrue && v.Type != vaFalse) Error("Invalid property value");
  return v.Type == vaTrue;
}

char TReader::ReadChar() {
  const TFormValue& v = takeValue();
  if (v.Type != vaString || v.Str.size() != 1) Error("Invalid property value");
  return v.Str[0];
}

double TReader::ReadFloat() {
  const TFormValue& v = takeValue();
  if (v.Type == vaExtended) return v.Float;
  if (v.Type == vaInt32 || v.Type == vaInt64) return static_cast<double>(v.Int);
  Error("Invalid property value");
}

std::string TReader::ReadString() {
  const TFormValue& v = takeValue();
  if (v.Type != vaString) Error("Invalid property value");
  return v.Str;
}

std::string TReader::ReadIdent() {
  const TFormValue& v = takeValue();
  if (v.Type != vaIdent && v.Type != vaTrue && v.Type != vaFalse && v.Type != vaNil) Error("Invalid property value");
  return v.Str;
}

void TReader::ReadCollection(TCollection* Collection) {
  const TFormValue& v = takeValue();
  if (v.Type != vaCollection || !Collection) Error("Invalid property value");
  readCollectionValue(Collection, v);
}

void TReader::DefineProperty(const std::string& Name, TReaderProc ReadData, TWriterProc WriteData, bool HasData) {
  (void)WriteData;
  (void)HasData;
  if (FPropName.empty() || !SameText(Name, FPropName) || !ReadData) return;
  FPropName.clear();
  ReadData(this);
  if (NextValue() != vaNull || !FLists.empty()) Error("Invalid property value");
}

void TReader::DefineBinaryProperty(const std::string& Name, TStreamProc ReadData, TStreamProc WriteData,
                                   bool HasData) {
  (void)WriteData;
  (void)HasData;
  if (FPropName.empty() || !SameText(Name, FPropName) || !ReadData) return;
  FPropName.clear();
  const TFormValue& v = takeValue();
  if (v.Type != vaBinary) Error("Invalid property value");
  TMemoryStream stream;
  if (!v.Str.empty()) stream.WriteBuffer(v.Str.data(), static_cast<int>(v.Str.size()));
  stream.SetPosition(0);
  ReadData(&stream);
}

// ---------------------------------------------------------------------------
// TWriter

namespace {

std::string indent(int level) { return std::string(static_cast<std::size_t>(level) * 2, ' '); }

// One literal: printable ASCII in quotes, everything else as #nnn, so the
// text stays 7-bit whatever the code page.
std::string quoteString(const std::string& s) {
  if (s.empty()) return "''";
  std::string out;
  bool inQuote = false;
  for (char ch : s) {
    auto c = static_cast<unsigned char>(ch);
    if (c >= 32 && c < 127) {
      if (!inQuote) {
        out += '\'';
        inQuote = true;
      }
      if (c == '\'') out += '\'';
      out += static_cast<char>(c);
    } else {
      if (inQuote) {
        out += '\'';
        inQuote = false;
      }
      out += '#' + std::to_string(c);
    }
  }
  if (inQuote) out += '\'';
  return out;
}

std::string formatFloat(double v) {
  if (!std::isfinite(v)) v = 0;
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  std::string s(buf, r.ptr);
  if (s.find_first_of(".e") == std::string::npos) s += ".0";
  // "1e+20" must read back as a float: give it a fraction.
  std::size_t e = s.find('e');
  if (e != std::string::npos && s.find('.') == std::string::npos) s.insert(e, ".0");
  return s;
}

}  // namespace

void TWriter::flush() {
  if (FStream && !FOut.empty()) FStream->WriteBuffer(FOut.data(), static_cast<int>(FOut.size()));
  FOut.clear();
}

void TWriter::WriteRootComponent(TComponent* Root) {
  FRoot = Root;
  FLookupRoot = Root;
  Root->FComponentState.Include(csWriting);
  try {
    writeComponent(Root, 0);
  } catch (...) {
    Root->FComponentState.Exclude(csWriting);
    throw;
  }
  Root->FComponentState.Exclude(csWriting);
  flush();
}

void TWriter::WriteComponent(TComponent* Component) {
  if (!FRoot) {
    FRoot = Component->Owner() ? Component->Owner() : Component;
    FLookupRoot = FRoot;
  }
  writeComponent(Component, FLevel);
  flush();
}

void TWriter::writeComponent(TComponent* Component, int Level) {
  FOut += indent(Level) + "object ";
  if (!Component->Name().empty()) FOut += Component->Name() + ": ";
  FOut += Component->ClassName() + "\n";
  writeProperties(Component, Level + 1, "");
  if (!FIgnoreChildren)
    Component->GetChildren([&](TComponent* Child) { writeComponent(Child, Level + 1); }, FRoot);
  FOut += indent(Level) + "end\n";
}

void TWriter::writeProperties(TObject* Instance, int Level, const std::string& Prefix) {
  for (PPropInfo p : GetPropList(Instance))
    if (IsStoredProp(Instance, p)) writeProperty(Instance, p, Level, Prefix);
  std::string oldPrefix = FPrefix;
  int oldLevel = FLevel;
  FPrefix = Prefix;
  FLevel = Level;
  if (auto* strings = dynamic_cast<TStrings*>(Instance)) {
    DefineProperty(
        "Strings", nullptr,
        [strings](TWriter* W) {
          W->WriteListBegin();
          for (int i = 0; i < strings->Count(); ++i) W->WriteString(strings->Strings(i));
          W->WriteListEnd();
        },
        strings->Count() > 0);
  } else if (auto* p = dynamic_cast<TPersistent*>(Instance)) {
    p->DefineProperties(this);
  }
  FPrefix = oldPrefix;
  FLevel = oldLevel;
}

void TWriter::beginProperty(int Level, const std::string& Name) {
  FLevel = Level;
  FListDepth = 0;
  FOut += indent(Level) + Name + " = ";
}

void TWriter::endProperty() { FOut += "\n"; }

void TWriter::beginValue() {
  if (FListDepth > 0) FOut += "\n" + indent(FLevel + FListDepth);
}

std::string TWriter::referenceName(TComponent* Component) const {
  if (Component->Name().empty()) return "";
  if (Component == FLookupRoot || Component->Owner() == FLookupRoot) return Component->Name();
  if (Component->Owner() && !Component->Owner()->Name().empty())
    return Component->Owner()->Name() + "." + Component->Name();
  return Component->Name();
}

void TWriter::writeProperty(TObject* Instance, PPropInfo Info, int Level, const std::string& Prefix) {
  PTypeInfo type = Info->PropType;
  const std::string name = Prefix + Info->Name;
  switch (type->Kind) {
    case tkInteger:
    case tkChar:
    case tkEnumeration:
    case tkSet: {
      if (!Info->GetOrd) return;
      std::int64_t v = Info->GetOrd(Instance);
      if (Info->HasDefault && v == Info->Default) return;
      beginProperty(Level, name);
      if (type->Kind == tkInteger) {
        std::string ident;
        TIntToIdent map = FindIntToIdent(type);
        if (map && map(static_cast<int>(v), ident))
          FOut += ident;
        else
          FOut += std::to_string(v);
      } else if (type->Kind == tkChar) {
        FOut += quoteString(std::string(1, static_cast<char>(v)));
      } else if (type->Kind == tkEnumeration) {
        FOut += GetEnumName(type, static_cast<int>(v));
      } else {
        std::string s = SetToString(Info, v);
        std::string spaced;
        for (char c : s) spaced += c == ',' ? std::string(", ") : std::string(1, c);
        FOut += "[" + spaced + "]";
      }
      endProperty();
      return;
    }
    case tkFloat: {
      if (!Info->GetFloat) return;
      double v = Info->GetFloat(Instance);
      if (v == 0) return;
      beginProperty(Level, name);
      FOut += formatFloat(v);
      endProperty();
      return;
    }
    case tkLString:
    case tkString: {
      if (!Info->GetStr) return;
      std::string v = Info->GetStr(Instance);
      if (Info->HasDefault ? v == Info->DefaultStr : v.empty()) return;
      beginProperty(Level, name);
      WriteString(v);
      endProperty();
      return;
    }
    case tkMethod: {
      if (!Info->GetMethod) return;
      TMethod m = Info->GetMethod(Instance);
      if (!m.Assigned || m.Name.empty()) return;
      beginProperty(Level, name);
      FOut += m.Name;
      endProperty();
      return;
    }
    case tkClass: {
      if (!Info->GetObj) return;
      TObject* obj = Info->GetObj(Instance);
      if (!obj) return;
      if (Info->IsComponentRef()) {
        std::string ref = referenceName(static_cast<TComponent*>(obj));
        if (ref.empty()) return;
        beginProperty(Level, name);
        FOut += ref;
        endProperty();
      } else if (auto* coll = dynamic_cast<TCollection*>(obj)) {
        beginProperty(Level, name);
        WriteCollection(coll);
        endProperty();
      } else {
        writeProperties(obj, Level, name + ".");
      }
      return;
    }
    default:
      return;
  }
}

void TWriter::WriteListBegin() {
  beginValue();
  FOut += "(";
  ++FListDepth;
}

void TWriter::WriteListEnd() {
  if (FListDepth > 0) --FListDepth;
  FOut += ")";
}

void TWriter::WriteInteger(std::int64_t Value) {
  beginValue();
  FOut += std::to_string(Value);
}

void TWriter::WriteBoolean(bool Value) {
  beginValue();
  FOut += Value ? "True" : "False";
}

void TWriter::WriteChar(char Value) { WriteString(std::string(1, Value)); }

void TWriter::WriteFloat(double Value) {
  beginValue();
  FOut += formatFloat(Value);
}

void TWriter::WriteString(const std::string& Value) {
  beginValue();
  // Long texts go on lines of their own, 64 characters each, joined by +.
  constexpr std::size_t kChunk = 64;
  if (Value.size() <= kChunk) {
    FOut += quoteString(Value);
    return;
  }
  int level = FLevel + FListDepth + 1;
  for (std::size_t i = 0; i < Value.size(); i += kChunk) {
    FOut += "\n" + indent(level) + quoteString(Value.substr(i, kChunk));
    if (i + kChunk < Value.size()) FOut += " +";
  }
}

void TWriter::WriteIdent(const std::string& Ident) {
  beginValue();
  FOut += Ident;
}

void TWriter::WriteCollection(TCollection* Value) {
  beginValue();
  FOut += "<";
  int level = FLevel + FListDepth + 1;
  int oldLevel = FLevel;
  int oldDepth = FListDepth;
  std::string oldPrefix = FPrefix;
  for (int i = 0; Value && i < Value->Count(); ++i) {
    FOut += "\n" + indent(level) + "item\n";
    writeProperties(Value->Items(i), level + 1, "");
    FOut += indent(level) + "end";
  }
  FLevel = oldLevel;
  FListDepth = oldDepth;
  FPrefix = oldPrefix;
  FOut += ">";
}

void TWriter::DefineProperty(const std::string& Name, TReaderProc ReadData, TWriterProc WriteData, bool HasData) {
  (void)ReadData;
  if (!HasData || !WriteData) return;
  int level = FLevel;
  std::string prefix = FPrefix;
  beginProperty(level, prefix + Name);
  WriteData(this);
  FLevel = level;
  FPrefix = prefix;
  FListDepth = 0;
  endProperty();
}

void TWriter::DefineBinaryProperty(const std::string& Name, TStreamProc ReadData, TStreamProc WriteData,
                                   bool HasData) {
  (void)ReadData;
  if (!HasData || !WriteData) return;
  TMemoryStream stream;
  WriteData(&stream);
  const auto* bytes = static_cast<const unsigned char*>(stream.Memory());
  auto size = static_cast<std::size_t>(stream.Size());
  int level = FLevel;
  beginProperty(level, FPrefix + Name);
  FOut += "{";
  static const char* kHex = "0123456789ABCDEF";
  for (std::size_t i = 0; i < size; ++i) {
    if (i % 32 == 0) FOut += "\n" + indent(level + 1);
    FOut += kHex[bytes[i] >> 4];
    FOut += kHex[bytes[i] & 15];
  }
  FOut += "}";
  endProperty();
}

// ---------------------------------------------------------------------------
// Text helpers and form resources.

TComponent* qv::classlib::readComponentText(const std::string& Text, TComponent* Root) {
  TStringStream stream(Text);
  TReader reader(&stream);
  return reader.ReadRootComponent(Root);
}

std::string qv::classlib::writeComponentText(TComponent* Root) {
  TStringStream stream;
  TWriter writer(&stream);
  writer.WriteRootComponent(Root);
  return stream.DataString();
}

void qv::classlib::SetResourceInstance(HINSTANCE Module) {
  // The desktop's reset frees every loaded module, a language module too:
  // the forms are the program's own again.
  static const bool forgets = (qv::desktop::onReset([] { gResourceInstance = nullptr; }), true);
  (void)forgets;
  gResourceInstance = Module;
}

HINSTANCE qv::classlib::LoadResourceModule(const std::string& ModuleName) {
  HKEY key = nullptr;
  if (RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\Borland\\Locales", 0, KEY_READ, &key) != ERROR_SUCCESS) return nullptr;
  char value[8] = {};
  DWORD size = sizeof value;
  DWORD type = 0;
  const LONG read =
      RegQueryValueEx(key, ModuleName.c_str(), nullptr, &type, reinterpret_cast<LPBYTE>(value), &size);
  RegCloseKey(key);
  if (read != ERROR_SUCCESS || type != REG_SZ) return nullptr;
  value[sizeof value - 1] = '\0';
  HMODULE module = LoadLanguageModuleFile(ModuleName, value);
  if (module) SetResourceInstance(module);
  return module;
}

HMODULE qv::classlib::LoadLanguageModuleFile(const std::string& ModuleName, const std::string& Abbreviation) {
  if (Abbreviation.empty() || ModuleName.empty()) return nullptr;
  // A program file without an extension (as programs are named on the
  // host) gets the abbreviation as its extension.
  const std::size_t dot = ModuleName.find_last_of(".\\/:");
  const std::string stem =
      dot != std::string::npos && ModuleName[dot] == '.' ? ModuleName.substr(0, dot + 1) : ModuleName + ".";
  HMODULE module = LoadLibraryEx((stem + Abbreviation).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module && Abbreviation.size() > 2)
    module = LoadLibraryEx((stem + Abbreviation.substr(0, 2)).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  return module;
}

HINSTANCE FindResourceHInstance(HINSTANCE Instance) {
  if (!Instance && gResourceInstance) return gResourceInstance;
  return Instance;
}

TResourceStream::TResourceStream(HINSTANCE Instance, const std::string& ResName, LPCSTR ResType) {
  HRSRC res = FindResource(Instance, ResName.c_str(), ResType);
  if (!res) throw EResNotFound("Resource %s not found", {ResName});
  HGLOBAL data = LoadResource(Instance, res);
  const auto* bytes = static_cast<const char*>(LockResource(data));
  DWORD size = SizeofResource(Instance, res);
  if (bytes && size) FData.assign(bytes, bytes + size);
}

int TResourceStream::Write(const void* Buffer, int Count) {
  (void)Buffer;
  (void)Count;
  throw EStreamError("Can't write to a read-only resource stream");
}

bool InternalReadComponentRes(const std::string& ResName, HINSTANCE HInst, TComponent*& Instance) {
  if (!FindResource(HInst, ResName.c_str(), RT_RCDATA)) return false;
  TResourceStream stream(HInst, ResName, RT_RCDATA);
  TReader reader(&stream);
  Instance = reader.ReadRootComponent(Instance);
  return true;
}

TComponent* ReadComponentRes(const std::string& ResName, TComponent* Instance) {
  HINSTANCE module = FindResourceHInstance(nullptr);
  if (!InternalReadComponentRes(ResName, module, Instance)) throw EResNotFound("Resource %s not found", {ResName});
  return Instance;
}

bool InitInheritedComponent(TComponent* Instance, TClass RootAncestor) {
  if (!Instance) return false;
  std::vector<TClass> chain;
  for (TClass c = Instance->ClassType(); c && c != TComponent::StaticClass() && c != RootAncestor; c = c->parent)
    chain.push_back(c);
  HINSTANCE module = FindResourceHInstance(nullptr);
  const bool outermost = gGlobalLoaded == nullptr;
  std::vector<TComponent*> loaded;
  if (outermost) gGlobalLoaded = &loaded;
  bool any = false;
  try {
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
      TComponent* target = Instance;
      if (InternalReadComponentRes(UpperCase((*it)->name), module, target)) any = true;
    }
  } catch (...) {
    if (outermost) gGlobalLoaded = nullptr;
    throw;
  }
  if (outermost) {
    gGlobalLoaded = nullptr;
    TReader::callLoaded(loaded);
  }
  return any;
}
