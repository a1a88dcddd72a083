#include "platform/classlib/TypInfo.h"

#include <map>
#include <mutex>

namespace qv::classlib {

struct TPropTable {
  TClass Class = nullptr;
  std::vector<std::unique_ptr<TPropInfo>> Props;
  std::vector<TMethodInfo> Methods;
};

namespace {

struct CaseLess {
  bool operator()(const std::string& a, const std::string& b) const { return CompareText(a, b) < 0; }
};

struct Registry {
  std::recursive_mutex m;
  std::map<TClass, void (*)(TPropTable&)> declarers;
  std::map<TClass, std::unique_ptr<TPropTable>> tables;
  // Whole lists per class, ancestors first.
  std::map<TClass, TPropList> lists;
  std::map<std::string, std::unique_ptr<TTypeInfo>, CaseLess> namedIntegers;
  std::map<PTypeInfo, std::unique_ptr<TTypeInfo>> sets;
  std::map<TClass, std::unique_ptr<TTypeInfo>> classes;
  std::map<PTypeInfo, std::pair<TIdentToInt, TIntToIdent>> idents;
};

Registry& reg() {
  static Registry r;
  return r;
}

std::string trim(const std::string& s) {
  std::size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return "";
  std::size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

// The table of one class, built on first use; null for a class that
// publishes nothing itself.
const TPropTable* ownTable(TClass AClass) {
  Registry& r = reg();
  auto t = r.tables.find(AClass);
  if (t != r.tables.end()) return t->second.get();
  auto d = r.declarers.find(AClass);
  if (d == r.declarers.end()) return nullptr;
  auto table = std::make_unique<TPropTable>();
  table->Class = AClass;
  d->second(*table);
  return r.tables.emplace(AClass, std::move(table)).first->second.get();
}

const TPropList& propList(TClass AClass) {
  Registry& r = reg();
  auto it = r.lists.find(AClass);
  if (it != r.lists.end()) return it->second;
  TPropList list;
  if (AClass) {
    if (AClass->parent) list = propList(AClass->parent);
    if (const TPropTable* own = ownTable(AClass))
      for (const auto& p : own->Props) {
        // A redeclared property replaces the ancestor's in its place.
        bool replaced = false;
        for (PPropInfo& q : list)
          if (SameText(q->Name, p->Name)) {
            q = p.get();
            replaced = true;
          }
        if (!replaced) list.push_back(p.get());
      }
  }
  return r.lists.emplace(AClass, std::move(list)).first->second;
}

}  // namespace

TTypeInfo makeEnumType(const char* Name, const char* Identifiers) {
  TTypeInfo t;
  t.Kind = tkEnumeration;
  t.Name = Name;
  std::string all = Identifiers;
  std::size_t start = 0;
  while (start <= all.size()) {
    std::size_t comma = all.find(',', start);
    if (comma == std::string::npos) comma = all.size();
    std::string id = trim(all.substr(start, comma - start));
    if (!id.empty()) t.EnumNames.push_back(id);
    start = comma + 1;
  }
  return t;
}

namespace {
PTypeInfo simpleType(TTypeKind kind, const char* name) {
  auto* t = new TTypeInfo;  // lives for the process, like the compiler's type information
  t->Kind = kind;
  t->Name = name;
  return t;
}
}  // namespace

PTypeInfo integerTypeInfo() {
  static PTypeInfo t = simpleType(tkInteger, "Integer");
  return t;
}
PTypeInfo booleanTypeInfo() {
  static const TTypeInfo t = makeEnumType("Boolean", "False, True");
  return &t;
}
PTypeInfo charTypeInfo() {
  static PTypeInfo t = simpleType(tkChar, "Char");
  return t;
}
PTypeInfo stringTypeInfo() {
  static PTypeInfo t = simpleType(tkLString, "string");
  return t;
}
PTypeInfo floatTypeInfo() {
  static PTypeInfo t = simpleType(tkFloat, "Double");
  return t;
}
PTypeInfo methodTypeInfo() {
  static PTypeInfo t = simpleType(tkMethod, "TMethod");
  return t;
}

PTypeInfo setTypeInfo(PTypeInfo CompType) {
  Registry& r = reg();
  std::lock_guard<std::recursive_mutex> lock(r.m);
  auto& slot = r.sets[CompType];
  if (!slot) {
    slot = std::make_unique<TTypeInfo>();
    slot->Kind = tkSet;
    slot->Name = "set of " + CompType->Name;
    slot->CompType = CompType;
  }
  return slot.get();
}

PTypeInfo classTypeInfo(TClass AClass) {
  Registry& r = reg();
  std::lock_guard<std::recursive_mutex> lock(r.m);
  auto& slot = r.classes[AClass];
  if (!slot) {
    slot = std::make_unique<TTypeInfo>();
    slot->Kind = tkClass;
    slot->Name = AClass->name;
    slot->ClassType = AClass;
  }
  return slot.get();
}

PTypeInfo namedIntegerType(const std::string& Name) {
  Registry& r = reg();
  std::lock_guard<std::recursive_mutex> lock(r.m);
  auto& slot = r.namedIntegers[Name];
  if (!slot) {
    slot = std::make_unique<TTypeInfo>();
    slot->Kind = tkInteger;
    slot->Name = Name;
  }
  return slot.get();
}

TPropInfo& addProp(TPropTable& Table, const std::string& Name, PTypeInfo Type) {
  auto info = std::make_unique<TPropInfo>();
  info->Name = Name;
  info->PropType = Type;
  info->Owner = Table.Class;
  Table.Props.push_back(std::move(info));
  return *Table.Props.back();
}

void addMethod(TPropTable& Table, TMethodInfo Method) { Table.Methods.push_back(std::move(Method)); }

bool registerPublished(TClass AClass, void (*Declare)(TPropTable&)) {
  Registry& r = reg();
  std::lock_guard<std::recursive_mutex> lock(r.m);
  r.declarers[AClass] = Declare;
  return true;
}

const TMethodInfo* FindMethod(TClass AClass, const std::string& Name) {
  Registry& r = reg();
  std::lock_guard<std::recursive_mutex> lock(r.m);
  for (TClass c = AClass; c; c = c->parent)
    if (const TPropTable* t = ownTable(c))
      for (const TMethodInfo& m : t->Methods)
        if (SameText(m.Name, Name)) return &m;
  return nullptr;
}

}  // namespace qv::classlib

using namespace qv::classlib;

bool TPropInfo::IsComponentRef() const {
  return PropType && PropType->Kind == tkClass && PropType->ClassType->InheritsFrom(TComponent::StaticClass());
}

// ---------------------------------------------------------------------------

TPropList GetPropList(TClass AClass) {
  Registry& r = reg();
  std::lock_guard<std::recursive_mutex> lock(r.m);
  return propList(AClass);
}

TPropList GetPropList(const TObject* Instance) { return Instance ? GetPropList(Instance->ClassType()) : TPropList{}; }

PPropInfo GetPropInfo(TClass AClass, const std::string& PropName) {
  Registry& r = reg();
  std::lock_guard<std::recursive_mutex> lock(r.m);
  for (PPropInfo p : propList(AClass))
    if (SameText(p->Name, PropName)) return p;
  return nullptr;
}

PPropInfo GetPropInfo(const TObject* Instance, const std::string& PropName) {
  return Instance ? GetPropInfo(Instance->ClassType(), PropName) : nullptr;
}

bool IsPublishedProp(const TObject* Instance, const std::string& PropName) {
  return GetPropInfo(Instance, PropName) != nullptr;
}

bool IsStoredProp(TObject* Instance, PPropInfo PropInfo) {
  if (!PropInfo) return false;
  if (PropInfo->StoredProc) return PropInfo->StoredProc(Instance);
  return PropInfo->StoredConst;
}

namespace {

PPropInfo findProp(const TObject* Instance, const std::string& PropName) {
  PPropInfo p = GetPropInfo(Instance, PropName);
  if (!p) throw EPropertyError("Property %s does not exist", {PropName});
  return p;
}

[[noreturn]] void convertError(const std::string& element) {
  throw EPropertyConvertError("Invalid property element: %s", {element});
}

std::vector<std::string> splitSet(const std::string& Value) {
  std::string s = trim(Value);
  if (!s.empty() && s.front() == '[') {
    if (s.back() != ']') convertError(s);
    s = s.substr(1, s.size() - 2);
  }
  std::vector<std::string> out;
  std::size_t start = 0;
  while (start <= s.size()) {
    std::size_t comma = s.find(',', start);
    if (comma == std::string::npos) comma = s.size();
    std::string id = trim(s.substr(start, comma - start));
    if (!id.empty()) out.push_back(id);
    start = comma + 1;
  }
  return out;
}

}  // namespace

TTypeKind PropType(const TObject* Instance, const std::string& PropName) {
  return findProp(Instance, PropName)->PropType->Kind;
}

std::int64_t GetOrdProp(TObject* Instance, PPropInfo PropInfo) {
  if (PropInfo->GetOrd) return PropInfo->GetOrd(Instance);
  if (PropInfo->GetObj) return static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(PropInfo->GetObj(Instance)));
  return 0;
}
std::int64_t GetOrdProp(TObject* Instance, const std::string& PropName) {
  return GetOrdProp(Instance, findProp(Instance, PropName));
}
void SetOrdProp(TObject* Instance, PPropInfo PropInfo, std::int64_t Value) {
  if (PropInfo->SetOrd) PropInfo->SetOrd(Instance, Value);
}
void SetOrdProp(TObject* Instance, const std::string& PropName, std::int64_t Value) {
  SetOrdProp(Instance, findProp(Instance, PropName), Value);
}

std::string GetStrProp(TObject* Instance, PPropInfo PropInfo) {
  return PropInfo->GetStr ? PropInfo->GetStr(Instance) : std::string();
}
std::string GetStrProp(TObject* Instance, const std::string& PropName) {
  return GetStrProp(Instance, findProp(Instance, PropName));
}
void SetStrProp(TObject* Instance, PPropInfo PropInfo, const std::string& Value) {
  if (PropInfo->SetStr) PropInfo->SetStr(Instance, Value);
}
void SetStrProp(TObject* Instance, const std::string& PropName, const std::string& Value) {
  SetStrProp(Instance, findProp(Instance, PropName), Value);
}

double GetFloatProp(TObject* Instance, const std::string& PropName) {
  PPropInfo p = findProp(Instance, PropName);
  return p->GetFloat ? p->GetFloat(Instance) : 0.0;
}
void SetFloatProp(TObject* Instance, const std::string& PropName, double Value) {
  PPropInfo p = findProp(Instance, PropName);
  if (p->SetFloat) p->SetFloat(Instance, Value);
}

std::string GetEnumName(PTypeInfo TypeInfo, int Value) {
  if (TypeInfo && TypeInfo->Kind == tkEnumeration && Value >= 0 &&
      Value < static_cast<int>(TypeInfo->EnumNames.size()))
    return TypeInfo->EnumNames[static_cast<std::size_t>(Value)];
  return IntToStr(Value);
}

int GetEnumValue(PTypeInfo TypeInfo, const std::string& Name) {
  if (!TypeInfo) return -1;
  for (std::size_t i = 0; i < TypeInfo->EnumNames.size(); ++i)
    if (SameText(TypeInfo->EnumNames[i], Name)) return static_cast<int>(i);
  return -1;
}

std::string GetEnumProp(TObject* Instance, const std::string& PropName) {
  PPropInfo p = findProp(Instance, PropName);
  return GetEnumName(p->PropType, static_cast<int>(GetOrdProp(Instance, p)));
}

void SetEnumProp(TObject* Instance, const std::string& PropName, const std::string& Value) {
  PPropInfo p = findProp(Instance, PropName);
  int v = GetEnumValue(p->PropType, Value);
  if (v < 0) convertError(Value);
  SetOrdProp(Instance, p, v);
}

std::string SetToString(PPropInfo PropInfo, std::int64_t Value, bool Brackets) {
  std::string out;
  PTypeInfo comp = PropInfo->PropType->CompType;
  auto bits = static_cast<std::uint64_t>(Value);
  for (int i = 0; i < 64; ++i)
    if (bits & (std::uint64_t{1} << i)) {
      if (!out.empty()) out += ',';
      out += GetEnumName(comp, i);
    }
  return Brackets ? "[" + out + "]" : out;
}

std::int64_t StringToSet(PPropInfo PropInfo, const std::string& Value) {
  std::uint64_t bits = 0;
  for (const std::string& id : splitSet(Value)) {
    int v = GetEnumValue(PropInfo->PropType->CompType, id);
    if (v < 0 || v >= 64) convertError(id);
    bits |= std::uint64_t{1} << v;
  }
  return static_cast<std::int64_t>(bits);
}

std::string GetSetProp(TObject* Instance, const std::string& PropName, bool Brackets) {
  PPropInfo p = findProp(Instance, PropName);
  return SetToString(p, GetOrdProp(Instance, p), Brackets);
}

void SetSetProp(TObject* Instance, const std::string& PropName, const std::string& Value) {
  PPropInfo p = findProp(Instance, PropName);
  SetOrdProp(Instance, p, StringToSet(p, Value));
}

TObject* GetObjectProp(TObject* Instance, const std::string& PropName) {
  PPropInfo p = findProp(Instance, PropName);
  return p->GetObj ? p->GetObj(Instance) : nullptr;
}

void SetObjectProp(TObject* Instance, const std::string& PropName, TObject* Value) {
  PPropInfo p = findProp(Instance, PropName);
  if (p->SetObj) p->SetObj(Instance, Value);
}

TMethod GetMethodProp(TObject* Instance, const std::string& PropName) {
  PPropInfo p = findProp(Instance, PropName);
  return p->GetMethod ? p->GetMethod(Instance) : TMethod{};
}

void SetMethodProp(TObject* Instance, const std::string& PropName, TObject* Data, const std::string& MethodName) {
  PPropInfo p = findProp(Instance, PropName);
  if (!p->SetMethod) return;
  if (MethodName.empty() || !Data) {
    p->SetMethod(Instance, std::any());
    return;
  }
  const TMethodInfo* m = FindMethod(Data->ClassType(), MethodName);
  if (!m) throw EPropertyError("Method '%s' not found", {MethodName});
  if (!p->SetMethod(Instance, m->Bind(Data))) throw EPropertyConvertError("Invalid property value");
}

// ---------------------------------------------------------------------------

bool IdentToInt(const std::string& Ident, int& Int, const TIdentMapEntry* Map, std::size_t Count) {
  for (std::size_t i = 0; i < Count; ++i)
    if (SameText(Map[i].Name, Ident)) {
      Int = Map[i].Value;
      return true;
    }
  return false;
}

bool IntToIdent(int Int, std::string& Ident, const TIdentMapEntry* Map, std::size_t Count) {
  for (std::size_t i = 0; i < Count; ++i)
    if (Map[i].Value == Int) {
      Ident = Map[i].Name;
      return true;
    }
  return false;
}

void RegisterIntegerConsts(PTypeInfo IntegerType, TIdentToInt IdentToIntFn, TIntToIdent IntToIdentFn) {
  Registry& r = reg();
  std::lock_guard<std::recursive_mutex> lock(r.m);
  r.idents[IntegerType] = {std::move(IdentToIntFn), std::move(IntToIdentFn)};
}

TIdentToInt FindIdentToInt(PTypeInfo IntegerType) {
  Registry& r = reg();
  std::lock_guard<std::recursive_mutex> lock(r.m);
  auto it = r.idents.find(IntegerType);
  return it == r.idents.end() ? TIdentToInt{} : it->second.first;
}

TIntToIdent FindIntToIdent(PTypeInfo IntegerType) {
  Registry& r = reg();
  std::lock_guard<std::recursive_mutex> lock(r.m);
  auto it = r.idents.find(IntegerType);
  return it == r.idents.end() ? TIntToIdent{} : it->second.second;
}
