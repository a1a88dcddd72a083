// The class library's TypInfo unit: published-property tables and access to
// properties by name, which form streaming and the designer build on.
//
// Publishing. A class lists its published properties once, next to its other
// declarations, with QV_PUBLISHED(Class) followed by a body that declares
// each property through the publisher P:
//
//   class TPanelish : public TComponent {
//     QV_CLASS(TPanelish, TComponent)
//     ...
//     QV_PUBLISHED(TPanelish) {
//       P.Prop("Caption", &TPanelish::Caption, &TPanelish::SetCaption);
//       P.Prop("Align", &TPanelish::Align, &TPanelish::SetAlign).Default(alNone);
//       P.Prop("Anchors", &TPanelish::Anchors, &TPanelish::SetAnchors).Default(TAnchors{akLeft, akTop});
//       P.Prop("Color", &TPanelish::Color, &TPanelish::SetColor).Ident("TColor").Default(clBtnFace);
//       P.Prop("Font", &TPanelish::Font, &TPanelish::SetFont);      // owned TPersistent: nested
//       P.Prop("Buddy", &TPanelish::Buddy, &TPanelish::SetBuddy);   // TComponent*: a reference
//       P.Field("Spacing", &TPanelish::FSpacing).Default(2);
//       P.Event("OnClick", &TPanelish::OnClick);
//       P.Method("PanelClick", &TPanelish::PanelClick);             // bindable by name
//     }
//   };
//
// and, in one source file (for a class of a header, the library's
// Published.cpp; for one of a source file, that file):
//
//   QV_DEFINE_PUBLISHED(TPanelish)
//
// The kind of each property follows from the C++ type of its getter or field:
// integers (tkInteger; .Ident("TColor") names an integer type whose
// identifiers come from RegisterIntegerConsts), bool (Boolean, an
// enumeration False/True), enumerations declared with QV_ENUM_TYPE
// (tkEnumeration), TSet<E> (tkSet), char (tkChar), std::string (tkLString),
// double (tkFloat), pointers to TObject descendants (tkClass: a TComponent is
// a reference by name, any other object is owned and streamed nested) and
// std::function fields (tkMethod: events). A setter is optional for class
// properties only. Tables chain to the parent class's table; the list of a
// class gives the ancestors' properties first, each class in declaration
// order.
//
// Writer specifiers: .Default(v) for ordinal properties (a value equal to it
// is not written; without one an ordinal is always written), .NoDefault(),
// .Stored(false) or .Stored(&C::IsFooStored). Strings are written when not
// empty, or, with .Default("text"), when they differ from that text (so that
// an emptied "MS Sans Serif" survives a round trip); floats when not 0,
// events when bound, references when set, objects when one of their own
// properties is written.
//
// Methods. The root of a form publishes its handlers with P.Method(Name,
// &C::Handler); the reader binds `OnClick = Handler` to the root's method of
// that name. A bound event remembers its object and method name, so that
// GetMethodProp and the writer give it back.
#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/classlib/Classes.h"
#include "platform/classlib/SysUtils.h"

enum TTypeKind {
  tkUnknown,
  tkInteger,
  tkChar,
  tkEnumeration,
  tkFloat,
  tkString,
  tkSet,
  tkClass,
  tkMethod,
  tkWChar,
  tkLString,
  tkWString,
  tkVariant,
  tkArray,
  tkRecord,
  tkInterface,
  tkInt64,
  tkDynArray
};

struct TTypeInfo {
  TTypeKind Kind = tkUnknown;
  std::string Name;
  // tkEnumeration: the identifiers in ordinal order (Boolean: False, True).
  std::vector<std::string> EnumNames;
  // tkSet: the member type.
  const TTypeInfo* CompType = nullptr;
  // tkClass: the class of the property.
  TClass ClassType = nullptr;
};
using PTypeInfo = const TTypeInfo*;

QV_EXCEPTION(EPropertyError, Exception);
QV_EXCEPTION(EPropertyConvertError, Exception);

// An event's binding: the object whose method handles it and the method's
// published name. Data is null for an unbound event; an event set in code to
// something that is not a published method reads as bound with no name.
struct TMethod {
  TObject* Data = nullptr;
  std::string Name;
  bool Assigned = false;
};

namespace qv::classlib {

struct TPropTable;

// A published method of a class: binding it to an object gives a
// std::function of the method's own signature, wrapped in std::any.
struct TMethodInfo {
  std::string Name;
  std::function<std::any(TObject* Data)> Bind;
};

// What a bound event holds: calls the method and knows which one it is.
template <class Sig>
struct TMethodThunk;
template <class R, class... Args>
struct TMethodThunk<R(Args...)> {
  TObject* Data;
  std::string Name;
  std::function<R(Args...)> Call;
  R operator()(Args... args) const { return Call(std::forward<Args>(args)...); }
};

}  // namespace qv::classlib

struct TPropInfo {
  std::string Name;
  PTypeInfo PropType = nullptr;
  // Class that declares the property.
  TClass Owner = nullptr;
  bool HasDefault = false;
  std::int64_t Default = 0;
  std::string DefaultStr;
  bool StoredConst = true;
  std::function<bool(TObject*)> StoredProc;

  // Accessors by kind; an absent setter means read-only.
  std::function<std::int64_t(TObject*)> GetOrd;
  std::function<void(TObject*, std::int64_t)> SetOrd;
  std::function<std::string(TObject*)> GetStr;
  std::function<void(TObject*, const std::string&)> SetStr;
  std::function<double(TObject*)> GetFloat;
  std::function<void(TObject*, double)> SetFloat;
  std::function<TObject*(TObject*)> GetObj;
  std::function<void(TObject*, TObject*)> SetObj;
  std::function<TMethod(TObject*)> GetMethod;
  // Takes a bound method (see TMethodInfo::Bind), or an empty std::any to
  // clear; false when the method's signature does not fit the event.
  std::function<bool(TObject*, const std::any&)> SetMethod;

  bool IsWritable() const { return SetOrd || SetStr || SetFloat || SetObj || SetMethod; }
  // A class property whose objects are components: streamed as a reference.
  bool IsComponentRef() const;
};
using PPropInfo = const TPropInfo*;
using TPropList = std::vector<PPropInfo>;

// ---------------------------------------------------------------------------
// Type information of C++ types (see the top of this file).
namespace qv::classlib {

// "alNone, alTop, alBottom" as written in QV_ENUM_TYPE.
TTypeInfo makeEnumType(const char* Name, const char* Identifiers);
PTypeInfo integerTypeInfo();
PTypeInfo booleanTypeInfo();
PTypeInfo charTypeInfo();
PTypeInfo stringTypeInfo();
PTypeInfo floatTypeInfo();
PTypeInfo setTypeInfo(PTypeInfo CompType);
PTypeInfo classTypeInfo(TClass AClass);
PTypeInfo methodTypeInfo();

template <class T, class = void>
struct TypeInfoFor;  // undeclared types do not compile: declare enums with QV_ENUM_TYPE

template <class T>
struct TypeInfoFor<T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool> && !std::is_same_v<T, char>>> {
  static PTypeInfo Get() { return integerTypeInfo(); }
};
template <>
struct TypeInfoFor<bool> {
  static PTypeInfo Get() { return booleanTypeInfo(); }
};
template <>
struct TypeInfoFor<char> {
  static PTypeInfo Get() { return charTypeInfo(); }
};
template <>
struct TypeInfoFor<std::string> {
  static PTypeInfo Get() { return stringTypeInfo(); }
};
template <class T>
struct TypeInfoFor<T, std::enable_if_t<std::is_floating_point_v<T>>> {
  static PTypeInfo Get() { return floatTypeInfo(); }
};
template <class T>
struct TypeInfoFor<T, std::enable_if_t<std::is_enum_v<T>>> {
  // Found by argument-dependent lookup: QV_ENUM_TYPE defines it beside the enum.
  static PTypeInfo Get() { return qvTypeInfo(static_cast<T*>(nullptr)); }
};
template <class E>
struct TypeInfoFor<TSet<E>> {
  static PTypeInfo Get() { return setTypeInfo(TypeInfoFor<E>::Get()); }
};
template <class T>
struct TypeInfoFor<T*, std::enable_if_t<std::is_base_of_v<TObject, T>>> {
  static PTypeInfo Get() { return classTypeInfo(T::StaticClass()); }
};
template <class Sig>
struct TypeInfoFor<std::function<Sig>> {
  static PTypeInfo Get() { return methodTypeInfo(); }
};

template <class T>
PTypeInfo TypeInfo() {
  return TypeInfoFor<std::decay_t<T>>::Get();
}

// Ordinal view of the ordinal kinds.
template <class V>
std::int64_t toOrd(const V& v) {
  if constexpr (requires { v.Bits(); })
    return static_cast<std::int64_t>(v.Bits());
  else
    return static_cast<std::int64_t>(v);
}
template <class V>
V fromOrd(std::int64_t o) {
  if constexpr (requires { V::FromBits(0); })
    return V::FromBits(static_cast<std::uint64_t>(o));
  else if constexpr (std::is_same_v<V, bool>)
    return o != 0;
  else
    return static_cast<V>(o);
}

template <class V>
constexpr bool isOrdinal = std::is_integral_v<V> || std::is_enum_v<V> || requires(V v) { v.Bits(); };

// Chained modifiers of the property just published.
template <class C>
class TPropBuilder {
 public:
  explicit TPropBuilder(TPropInfo& Info) : FInfo(Info) {}
  template <class V>
    requires(!std::is_convertible_v<V, std::string>)
  TPropBuilder& Default(const V& Value) {
    FInfo.HasDefault = true;
    FInfo.Default = toOrd(Value);
    return *this;
  }
  // A string property whose objects start with a text: the writer leaves
  // that text out and writes '' for an empty value.
  TPropBuilder& Default(const std::string& Value) {
    FInfo.HasDefault = true;
    FInfo.DefaultStr = Value;
    return *this;
  }
  TPropBuilder& NoDefault() {
    FInfo.HasDefault = false;
    return *this;
  }
  TPropBuilder& Stored(bool Value) {
    FInfo.StoredConst = Value;
    return *this;
  }
  TPropBuilder& Stored(bool (C::*Pred)() const) {
    FInfo.StoredProc = [Pred](TObject* o) { return (static_cast<C*>(o)->*Pred)(); };
    return *this;
  }
  // An integer type with identifiers (TColor, TCursor, TShortCut ...).
  TPropBuilder& Ident(const std::string& IntegerTypeName);

 private:
  TPropInfo& FInfo;
};

TPropInfo& addProp(TPropTable& Table, const std::string& Name, PTypeInfo Type);
void addMethod(TPropTable& Table, TMethodInfo Method);
PTypeInfo namedIntegerType(const std::string& Name);

template <class C>
TPropBuilder<C>& TPropBuilder<C>::Ident(const std::string& IntegerTypeName) {
  FInfo.PropType = namedIntegerType(IntegerTypeName);
  return *this;
}

template <class C>
class TPublisher {
 public:
  explicit TPublisher(TPropTable& Table) : FTable(Table) {}

  // Getter (and setter) members; the setter may take V or const V&.
  template <class Get, class Set>
  TPropBuilder<C> Prop(const std::string& Name, Get Getter, Set Setter) {
    using V = std::decay_t<std::invoke_result_t<Get, C&>>;
    TPropInfo& info = addProp(FTable, Name, TypeInfo<V>());
    bind<V>(info, [Getter](C* c) -> V { return std::invoke(Getter, *c); },
            [Setter](C* c, const V& v) { std::invoke(Setter, *c, v); });
    return TPropBuilder<C>(info);
  }
  // Read-only: owned persistent objects that are streamed nested.
  template <class Get>
  TPropBuilder<C> Prop(const std::string& Name, Get Getter) {
    using V = std::decay_t<std::invoke_result_t<Get, C&>>;
    TPropInfo& info = addProp(FTable, Name, TypeInfo<V>());
    bind<V>(info, [Getter](C* c) -> V { return std::invoke(Getter, *c); }, nullptr);
    return TPropBuilder<C>(info);
  }
  // A plain field read and written directly (of C or of an ancestor).
  template <class B, class V>
    requires std::is_base_of_v<B, C>
  TPropBuilder<C> Field(const std::string& Name, V B::*F) {
    TPropInfo& info = addProp(FTable, Name, TypeInfo<V>());
    bind<V>(info, [F](C* c) -> V { return c->*F; }, [F](C* c, const V& v) { c->*F = v; });
    return TPropBuilder<C>(info);
  }
  // An event: a public std::function field (of C or of an ancestor).
  template <class B, class Sig>
    requires std::is_base_of_v<B, C>
  TPropBuilder<C> Event(const std::string& Name, std::function<Sig> B::*F) {
    TPropInfo& info = addProp(FTable, Name, methodTypeInfo());
    info.GetMethod = [F](TObject* o) {
      const std::function<Sig>& fn = static_cast<C*>(o)->*F;
      TMethod m;
      m.Assigned = static_cast<bool>(fn);
      if (auto* t = fn.template target<TMethodThunk<Sig>>()) {
        m.Data = t->Data;
        m.Name = t->Name;
      }
      return m;
    };
    info.SetMethod = [F](TObject* o, const std::any& bound) {
      std::function<Sig>& fn = static_cast<C*>(o)->*F;
      if (!bound.has_value()) {
        fn = nullptr;
        return true;
      }
      const auto* p = std::any_cast<std::function<Sig>>(&bound);
      if (!p) return false;
      fn = *p;
      return true;
    };
    return TPropBuilder<C>(info);
  }
  // A method the reader may bind events to by name.
  template <class B, class R, class... Args>
    requires std::is_base_of_v<B, C>
  void Method(const std::string& Name, R (B::*M)(Args...)) {
    addMethod(FTable, TMethodInfo{Name, [Name, M](TObject* Data) -> std::any {
                                    C* self = dynamic_cast<C*>(Data);
                                    if (!self) return {};
                                    TMethodThunk<R(Args...)> thunk{Data, Name, [self, M](Args... a) -> R {
                                                                     return (self->*M)(std::forward<Args>(a)...);
                                                                   }};
                                    return std::function<R(Args...)>(std::move(thunk));
                                  }});
  }

 private:
  template <class V, class G, class S>
  void bind(TPropInfo& info, G get, S set) {
    constexpr bool hasSet = !std::is_same_v<S, std::nullptr_t>;
    if constexpr (isOrdinal<V>) {
      info.GetOrd = [get](TObject* o) { return toOrd(get(static_cast<C*>(o))); };
      if constexpr (hasSet) info.SetOrd = [set](TObject* o, std::int64_t v) { set(static_cast<C*>(o), fromOrd<V>(v)); };
    } else if constexpr (std::is_same_v<V, std::string>) {
      info.GetStr = [get](TObject* o) { return get(static_cast<C*>(o)); };
      if constexpr (hasSet) info.SetStr = [set](TObject* o, const std::string& v) { set(static_cast<C*>(o), v); };
    } else if constexpr (std::is_floating_point_v<V>) {
      info.GetFloat = [get](TObject* o) { return static_cast<double>(get(static_cast<C*>(o))); };
      if constexpr (hasSet) info.SetFloat = [set](TObject* o, double v) { set(static_cast<C*>(o), static_cast<V>(v)); };
    } else if constexpr (std::is_pointer_v<V>) {
      using T = std::remove_pointer_t<V>;
      info.GetObj = [get](TObject* o) -> TObject* { return get(static_cast<C*>(o)); };
      if constexpr (hasSet)
        info.SetObj = [set](TObject* o, TObject* v) {
          T* typed = v ? dynamic_cast<T*>(v) : nullptr;
          if (v && !typed) throw EPropertyConvertError("Invalid property value");
          set(static_cast<C*>(o), typed);
        };
    } else {
      static_assert(sizeof(V) == 0, "unsupported published property type");
    }
  }

  TPropTable& FTable;
};

bool registerPublished(TClass AClass, void (*Declare)(TPropTable&));

template <class C>
void publishTable(TPropTable& Table) {
  TPublisher<C> P(Table);
  C::DeclarePublished(P);
}

// The published methods of a class and its ancestors, by name (ignoring case).
const TMethodInfo* FindMethod(TClass AClass, const std::string& Name);

}  // namespace qv::classlib

// Every unit that includes the class registers it, but the table itself
// (the accessors of each property, several std::function bodies a property)
// is compiled only where QV_DEFINE_PUBLISHED(Class) stands: compiled in every
// unit that includes the class library's headers, it would be most of the
// build's compile time and object size. A class without that line does not
// link (qvPublishTable is undefined), so no table can go missing unnoticed.
#define QV_PUBLISHED(Class)                                                                               \
  static void qvPublishTable(::qv::classlib::TPropTable& Table);                                          \
  static inline const bool qvPublishedRegistered =                                                        \
      ::qv::classlib::registerPublished(Class::StaticClass(), &Class::qvPublishTable);                    \
  template <class QvPublisher = ::qv::classlib::TPublisher<Class>>                                        \
  static void DeclarePublished([[maybe_unused]] QvPublisher& P)

// In one source file of the program, after the class's declaration and in
// its namespace or with the class's qualified name.
#define QV_DEFINE_PUBLISHED(Class) \
  void Class::qvPublishTable(::qv::classlib::TPropTable& Table) { ::qv::classlib::publishTable<Class>(Table); }

// Type information of an enumeration whose values are 0, 1, 2 ... in the
// order listed; written in the enumeration's own namespace.
#define QV_ENUM_TYPE(Enum, ...)                                                        \
  [[maybe_unused]] inline PTypeInfo qvTypeInfo(Enum*) {                                \
    static const TTypeInfo info = ::qv::classlib::makeEnumType(#Enum, #__VA_ARGS__);    \
    return &info;                                                                      \
  }

// ---------------------------------------------------------------------------
// Access by name, as the class library's TypInfo unit offers it. Names
// compare ignoring case; an unknown name in the ...Prop(Instance, Name)
// forms raises EPropertyError "Property %s does not exist".
PPropInfo GetPropInfo(TClass AClass, const std::string& PropName);
PPropInfo GetPropInfo(const TObject* Instance, const std::string& PropName);
TPropList GetPropList(TClass AClass);
TPropList GetPropList(const TObject* Instance);
bool IsPublishedProp(const TObject* Instance, const std::string& PropName);
bool IsStoredProp(TObject* Instance, PPropInfo PropInfo);
TTypeKind PropType(const TObject* Instance, const std::string& PropName);

std::int64_t GetOrdProp(TObject* Instance, PPropInfo PropInfo);
std::int64_t GetOrdProp(TObject* Instance, const std::string& PropName);
void SetOrdProp(TObject* Instance, PPropInfo PropInfo, std::int64_t Value);
void SetOrdProp(TObject* Instance, const std::string& PropName, std::int64_t Value);
std::string GetStrProp(TObject* Instance, PPropInfo PropInfo);
std::string GetStrProp(TObject* Instance, const std::string& PropName);
void SetStrProp(TObject* Instance, PPropInfo PropInfo, const std::string& Value);
void SetStrProp(TObject* Instance, const std::string& PropName, const std::string& Value);
double GetFloatProp(TObject* Instance, const std::string& PropName);
void SetFloatProp(TObject* Instance, const std::string& PropName, double Value);
// The identifier of the value; SetEnumProp raises EPropertyConvertError
// "Invalid property element: %s" for an unknown one.
std::string GetEnumProp(TObject* Instance, const std::string& PropName);
void SetEnumProp(TObject* Instance, const std::string& PropName, const std::string& Value);
// "akLeft,akTop", or "[akLeft,akTop]" with Brackets; the setter takes either.
std::string GetSetProp(TObject* Instance, const std::string& PropName, bool Brackets = false);
void SetSetProp(TObject* Instance, const std::string& PropName, const std::string& Value);
TObject* GetObjectProp(TObject* Instance, const std::string& PropName);
void SetObjectProp(TObject* Instance, const std::string& PropName, TObject* Value);
TMethod GetMethodProp(TObject* Instance, const std::string& PropName);
// Binds the event to Data's published method of that name; an empty name
// clears it. EPropertyError "Method '%s' not found" when Data has none.
void SetMethodProp(TObject* Instance, const std::string& PropName, TObject* Data, const std::string& MethodName);

std::string GetEnumName(PTypeInfo TypeInfo, int Value);
// -1 when the identifier is not one of the type's (ignoring case).
int GetEnumValue(PTypeInfo TypeInfo, const std::string& Name);
std::string SetToString(PPropInfo PropInfo, std::int64_t Value, bool Brackets = false);
// EPropertyConvertError "Invalid property element: %s" for an unknown member.
std::int64_t StringToSet(PPropInfo PropInfo, const std::string& Value);

// ---------------------------------------------------------------------------
// Identifiers of integer types (clBtnFace for TColor, crHandPoint for TCursor).
struct TIdentMapEntry {
  int Value;
  const char* Name;
};
using TIdentToInt = std::function<bool(const std::string& Ident, int& Int)>;
using TIntToIdent = std::function<bool(int Int, std::string& Ident)>;
bool IdentToInt(const std::string& Ident, int& Int, const TIdentMapEntry* Map, std::size_t Count);
bool IntToIdent(int Int, std::string& Ident, const TIdentMapEntry* Map, std::size_t Count);
// IntegerType is an integer type named with .Ident(...), e.g.
// qv::classlib::namedIntegerType("TColor"); a second registration for the
// same type replaces the first.
void RegisterIntegerConsts(PTypeInfo IntegerType, TIdentToInt IdentToIntFn, TIntToIdent IntToIdentFn);
TIdentToInt FindIdentToInt(PTypeInfo IntegerType);
TIntToIdent FindIntToIdent(PTypeInfo IntegerType);
