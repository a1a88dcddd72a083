// The class library's root: TObject, class references, sets and the
// ownership helpers every other unit of the class library builds on.
//
// House style of the class library (every unit under classlib/ follows it):
// - Classes live in the global namespace under the class library's names
//   (TObject, TComponent, TStringList ...); helpers that are not part of the
//   class library's API go in namespace qv::classlib.
// - A property Foo is a getter Foo() and a setter SetFoo(v); an indexed
//   property is Foo(i) / SetFoo(i, v) (Strings(i) / SetStrings(i, v)). Fields
//   are named FFoo and are private or protected. Indexes of lists are 0-based
//   as in the class library; string routines (Pos, Copy, Delete) are 1-based.
// - Events are public std::function fields named OnX, e.g.
//   `std::function<void(TObject* Sender)> OnChange` (TNotifyEvent); an unset
//   event is an empty std::function and is never called.
// - Free() is `delete`; FreeAndNil(p) deletes and clears the pointer. Objects
//   are created with `new` and owned as the class library says (a component
//   by its Owner, a list's objects by a TObjectList with OwnsObjects).
// - Every class declares its class reference with QV_CLASS(Name, Parent) as
//   the first line of its body. That gives the metaclass record (name, parent
//   record, a factory that creates an instance for an owner), ClassType(),
//   `inherited` as an alias of the parent, and leaves the body in `public:`.
//   ClassName(), ClassParent() and InheritsFrom() work on that record; Is<T>()
//   and As<T>() are the `is` and `as` operators (As raises EInvalidCast).
// - Sets are TSet<Enum> over a plain (unscoped) enum whose names carry the
//   class library's prefixes (csLoading, dupIgnore, soBeginning ...).
// - Exceptions are C++ exceptions derived from Exception (SysUtils.h), thrown
//   by value and caught by reference: `throw EConvertError("...")`, or with a
//   format and arguments: `throw EListError("List index out of bounds (%d)", {i})`.
// - Strings are 8-bit Windows-1252 text in std::string.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <span>
#include <string>
#include <type_traits>

class TObject;
class TComponent;

// The metaclass record behind a class reference. One static instance exists
// per class; its address is the class reference (TClass).
struct TClassInfo {
  const char* name;
  const TClassInfo* parent;
  // Creates an instance for the given owner; null for abstract classes and
  // for classes that cannot be created from their class reference alone.
  TObject* (*factory)(TComponent* AOwner);

  std::string ClassName() const { return name; }
  const TClassInfo* ClassParent() const { return parent; }
  bool InheritsFrom(const TClassInfo* AClass) const;
  // Null when the class cannot be created this way.
  TObject* Create(TComponent* AOwner = nullptr) const { return factory ? factory(AOwner) : nullptr; }
};
using TClass = const TClassInfo*;
using TPersistentClass = TClass;
using TComponentClass = TClass;

namespace qv::classlib {

// Factory used by QV_CLASS: components are created with their owner, other
// classes with their default constructor; abstract classes give null.
// (A pointer converts to bool, so only components are asked for an owner
// constructor: TObjectList(bool) must not be taken for one.)
template <class T>
TObject* createInstance(TComponent* AOwner) {
  if constexpr (std::is_abstract_v<T>) {
    (void)AOwner;
    return nullptr;
  } else if constexpr (std::is_base_of_v<TComponent, T>) {
    if constexpr (std::is_constructible_v<T, TComponent*>)
      return new T(AOwner);
    else
      return nullptr;
  } else if constexpr (std::is_default_constructible_v<T>) {
    (void)AOwner;
    return new T();
  } else {
    (void)AOwner;
    return nullptr;
  }
}

// Raises EInvalidCast (defined with the exceptions in SysUtils).
[[noreturn]] void raiseInvalidCast();

}  // namespace qv::classlib

#define QV_CLASS(Name, Parent)                                                               \
 public:                                                                                     \
  using inherited = Parent;                                                                  \
  static TClass StaticClass() {                                                              \
    static const TClassInfo info{#Name, Parent::StaticClass(), &::qv::classlib::createInstance<Name>}; \
    return &info;                                                                            \
  }                                                                                          \
  TClass ClassType() const override { return Name::StaticClass(); }                          \
                                                                                             \
 public:

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = default;
  TObject& operator=(const TObject&) = default;
  virtual ~TObject() = default;

  static TClass StaticClass();
  virtual TClass ClassType() const { return StaticClass(); }
  std::string ClassName() const { return ClassType()->name; }
  TClass ClassParent() const { return ClassType()->parent; }
  bool InheritsFrom(TClass AClass) const { return ClassType()->InheritsFrom(AClass); }
  // Case-insensitive, as the class library compares class names.
  bool ClassNameIs(const std::string& AName) const;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

// `is`: true when the object is non-null and of class T or a descendant.
template <class T>
bool Is(const TObject* AObject) {
  return dynamic_cast<const T*>(AObject) != nullptr;
}

// `as`: null stays null; an object of another class raises EInvalidCast.
template <class T>
T* As(TObject* AObject) {
  if (!AObject) return nullptr;
  T* result = dynamic_cast<T*>(AObject);
  if (!result) qv::classlib::raiseInvalidCast();
  return result;
}

template <class T>
void FreeAndNil(T*& AObject) {
  T* old = AObject;
  AObject = nullptr;
  delete old;
}

// A set over an enumeration with at most 64 members.
template <class E>
class TSet {
 public:
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> items) {
    for (E e : items) FBits |= bit(e);
  }
  constexpr bool Contains(E e) const { return (FBits & bit(e)) != 0; }
  constexpr TSet& Include(E e) {
    FBits |= bit(e);
    return *this;
  }
  constexpr TSet& Exclude(E e) {
    FBits &= ~bit(e);
    return *this;
  }
  constexpr bool Empty() const { return FBits == 0; }
  constexpr std::uint64_t Bits() const { return FBits; }
  friend constexpr TSet operator+(TSet a, TSet b) { return FromBits(a.FBits | b.FBits); }
  friend constexpr TSet operator-(TSet a, TSet b) { return FromBits(a.FBits & ~b.FBits); }
  friend constexpr TSet operator*(TSet a, TSet b) { return FromBits(a.FBits & b.FBits); }
  friend constexpr bool operator==(TSet a, TSet b) { return a.FBits == b.FBits; }
  // a <= b: every member of a is in b.
  friend constexpr bool operator<=(TSet a, TSet b) { return (a.FBits & ~b.FBits) == 0; }
  static constexpr TSet FromBits(std::uint64_t bits) {
    TSet s;
    s.FBits = bits;
    return s;
  }

 private:
  static constexpr std::uint64_t bit(E e) { return std::uint64_t{1} << static_cast<unsigned>(e); }
  std::uint64_t FBits = 0;
};

// ---------------------------------------------------------------------------
// What kind of module the running code was built into: true in a dynamic
// library (ModuleIsLib) or a package (both), false in a program. Units whose
// shut-down must not run inside the library's unload consult them. Every
// module built here is a program; tests set them to stand in for a library.
extern bool ModuleIsLib;
extern bool ModuleIsPackage;

// ---------------------------------------------------------------------------
// Unit start-up and shut-down, as the language runtime runs them for the
// units of a program: a unit starts after the units it uses, once per
// process, and the units shut down in the reverse order of their start-ups.
// A C++ program has no such order of its own (static objects of different
// files start in any order, and before the desktop exists), so units that
// make windows, cursors or other process-wide objects describe themselves
// with a TUnitInfo and the program starts them explicitly:
//
//   const TUnitInfo* const kUses[] = {&lkClassesUnit};
//   const TUnitInfo lkControlsUnit{"lkControls", kUses, &startUp, &shutDown};
//   ...
//   qv::classlib::InitializeUnit(lkControlsUnit);   // lkClasses first
//   ...
//   qv::classlib::FinalizeUnits();                  // at program end
namespace qv::classlib {

struct TUnitInfo {
  const char* Name;
  // Started first, in this order.
  std::span<const TUnitInfo* const> Uses;
  // Either may be null.
  void (*Initialization)();
  void (*Finalization)();
};

// Starts the units Unit uses, then Unit itself. A counter per unit makes
// every later call (and a call from a unit that uses it in a cycle) do
// nothing, also after the shut-down: a unit starts at most once per process.
// When the start-up raises, the unit counts as not started and the
// exception propagates. The desktop's reset (a fresh start in tests) shuts
// down the units still started and forgets them all, so they start again.
void InitializeUnit(const TUnitInfo& Unit);
// Shuts down every started unit, the last started first. A shut-down that
// raises does not keep the others from running; the first exception is
// raised again at the end.
void FinalizeUnits();
// Started and not yet shut down.
bool UnitInitialized(const TUnitInfo& Unit);

}  // namespace qv::classlib
