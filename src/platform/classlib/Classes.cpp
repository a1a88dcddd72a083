#include "platform/classlib/Classes.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "platform/classlib/StdReg.h"
#include "platform/os/kernel/Files.h"
#include "platform/os/kernel/KernelObject.h"
#include "platform/os/user/Window.h"

namespace {
const char* const kListIndexError = "List index out of bounds (%d)";
const char* const kListCapacityError = "List capacity out of bounds (%d)";
const char* const kListCountError = "List count out of bounds (%d)";
const char* const kDuplicateString = "String list does not allow duplicates";
const char* const kSortedListError = "Operation not allowed on sorted list";
}  // namespace

// ---------------------------------------------------------------------------
// TList

TList::~TList() { Clear(); }

void TList::Error(const std::string& Msg, int Data) { throw EListError(Msg, {Data}); }

void TList::checkIndex(int Index) const {
  if (Index < 0 || Index >= Count()) Error(kListIndexError, Index);
}

int TList::Add(void* Item) {
  int index = Count();
  Insert(index, Item);
  return index;
}

void TList::Insert(int Index, void* Item) {
  if (Index < 0 || Index > Count()) Error(kListIndexError, Index);
  if (Count() == FCapacity) FCapacity = FCapacity > 64 ? FCapacity + FCapacity / 4 : (FCapacity > 8 ? FCapacity + 16 : FCapacity + 4);
  FList.insert(FList.begin() + Index, Item);
  if (Item) Notify(Item, lnAdded);
}

void TList::Delete(int Index) {
  checkIndex(Index);
  void* item = FList[static_cast<std::size_t>(Index)];
  FList.erase(FList.begin() + Index);
  if (item) Notify(item, lnDeleted);
}

int TList::Remove(void* Item) {
  int index = IndexOf(Item);
  if (index >= 0) Delete(index);
  return index;
}

void* TList::Extract(void* Item) {
  int index = IndexOf(Item);
  if (index < 0) return nullptr;
  void* result = FList[static_cast<std::size_t>(index)];
  FList.erase(FList.begin() + index);
  Notify(result, lnExtracted);
  return result;
}

int TList::IndexOf(void* Item) const {
  auto it = std::find(FList.begin(), FList.end(), Item);
  return it == FList.end() ? -1 : static_cast<int>(it - FList.begin());
}

void TList::Exchange(int Index1, int Index2) {
  checkIndex(Index1);
  checkIndex(Index2);
  std::swap(FList[static_cast<std::size_t>(Index1)], FList[static_cast<std::size_t>(Index2)]);
}

void TList::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  checkIndex(CurIndex);
  checkIndex(NewIndex);
  void* item = FList[static_cast<std::size_t>(CurIndex)];
  FList.erase(FList.begin() + CurIndex);
  FList.insert(FList.begin() + NewIndex, item);
}

void TList::Sort(TListSortCompare Compare) {
  if (!Compare) return;
  std::stable_sort(FList.begin(), FList.end(), [Compare](void* a, void* b) { return Compare(a, b) < 0; });
}

void TList::Pack() {
  for (int i = Count() - 1; i >= 0; --i)
    if (!FList[static_cast<std::size_t>(i)]) FList.erase(FList.begin() + i);
}

void TList::Clear() {
  SetCount(0);
  SetCapacity(0);
}

void* TList::First() const { return Items(0); }
void* TList::Last() const { return Items(Count() - 1); }

void TList::SetCount(int NewCount) {
  if (NewCount < 0 || NewCount > MaxListSize) Error(kListCountError, NewCount);
  if (NewCount > FCapacity) FCapacity = NewCount;
  if (NewCount > Count())
    FList.resize(static_cast<std::size_t>(NewCount), nullptr);
  else
    for (int i = Count() - 1; i >= NewCount; --i) Delete(i);
}

void TList::SetCapacity(int NewCapacity) {
  if (NewCapacity < Count() || NewCapacity > MaxListSize) Error(kListCapacityError, NewCapacity);
  FCapacity = NewCapacity;
  FList.reserve(static_cast<std::size_t>(NewCapacity));
}

void* TList::Items(int Index) const {
  checkIndex(Index);
  return FList[static_cast<std::size_t>(Index)];
}

void TList::SetItems(int Index, void* Item) {
  checkIndex(Index);
  void* old = FList[static_cast<std::size_t>(Index)];
  if (old == Item) return;
  FList[static_cast<std::size_t>(Index)] = Item;
  if (old) Notify(old, lnDeleted);
  if (Item) Notify(Item, lnAdded);
}

// ---------------------------------------------------------------------------
// TPersistent

void TPersistent::Assign(TPersistent* Source) {
  if (Source)
    Source->AssignTo(this);
  else
    AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* Dest) { Dest->AssignError(this); }

void TPersistent::AssignError(TPersistent* Source) {
  std::string sourceName = Source ? Source->ClassName() : "nil";
  throw EConvertError("Cannot assign a %s to a %s", {sourceName, ClassName()});
}

std::string TPersistent::GetNamePath() const {
  std::string result = ClassName();
  if (TPersistent* owner = GetOwner()) {
    std::string s = owner->GetNamePath();
    if (!s.empty()) result = s + "." + result;
  }
  return result;
}

// ---------------------------------------------------------------------------
// TComponent

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
  Destroying();
  // Tell everyone who asked. Each pairing is undone here as well, so a
  // receiver whose Notification does not call inherited keeps no pointer to
  // this component.
  while (!FFreeNotifies.empty()) {
    TComponent* other = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    other->removeNotification(this);
    other->Notification(this, opRemove);
  }
  DestroyComponents();
  if (FOwner) FOwner->RemoveComponent(this);
}

TComponent* TComponent::Components(int Index) const {
  if (Index < 0 || Index >= ComponentCount()) TList::Error(kListIndexError, Index);
  return FComponents[static_cast<std::size_t>(Index)];
}

int TComponent::ComponentIndex() const {
  if (!FOwner) return -1;
  auto& list = FOwner->FComponents;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TComponent::SetComponentIndex(int Value) {
  if (!FOwner) return;
  int cur = ComponentIndex();
  if (cur < 0) return;
  auto& list = FOwner->FComponents;
  int count = static_cast<int>(list.size());
  if (Value < 0) Value = 0;
  if (Value >= count) Value = count - 1;
  if (Value == cur) return;
  list.erase(list.begin() + cur);
  list.insert(list.begin() + Value, this);
}

TComponent* TComponent::FindComponent(const std::string& AName) const {
  if (AName.empty()) return nullptr;
  for (TComponent* c : FComponents)
    if (SameText(c->FName, AName)) return c;
  return nullptr;
}

void TComponent::SetName(const std::string& NewName) {
  if (FName == NewName) return;
  if (!NewName.empty() && !IsValidIdent(NewName)) throw EComponentError("Component name \"%s\" is not valid", {NewName});
  if (FOwner)
    FOwner->ValidateRename(this, FName, NewName);
  else
    ValidateRename(nullptr, FName, NewName);
  ChangeName(NewName);
}

void TComponent::ValidateRename(TComponent* AComponent, const std::string& CurName, const std::string& NewName) {
  // Also checked for a component about to be inserted, so that no owner ever
  // holds two components of one name.
  if (AComponent && !SameText(CurName, NewName) && FindComponent(NewName))
    throw EComponentError("A component named %s already exists", {NewName});
}

void TComponent::InsertComponent(TComponent* AComponent) {
  if (!AComponent || AComponent->FOwner == this) return;
  AComponent->ValidateContainer(this);
  ValidateRename(AComponent, "", AComponent->FName);
  // A component has one owner: taking it from another owner first keeps it
  // from being freed twice.
  if (AComponent->FOwner) AComponent->FOwner->RemoveComponent(AComponent);
  insertOwned(AComponent);
  if (FComponentState.Contains(csDesigning)) AComponent->SetDesigning(true);
  Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  if (!AComponent || AComponent->FOwner != this) return;
  ValidateRename(AComponent, AComponent->FName, "");
  Notification(AComponent, opRemove);
  removeOwned(AComponent);
}

void TComponent::insertOwned(TComponent* AComponent) {
  FComponents.push_back(AComponent);
  AComponent->FOwner = this;
}

void TComponent::removeOwned(TComponent* AComponent) {
  auto it = std::find(FComponents.begin(), FComponents.end(), AComponent);
  if (it != FComponents.end()) FComponents.erase(it);
  AComponent->FOwner = nullptr;
}

void TComponent::DestroyComponents() {
  // Owned components leave without notifying their siblings: the owner is
  // going, and all of them with it.
  while (!FComponents.empty()) {
    TComponent* instance = FComponents.back();
    removeOwned(instance);
    delete instance;
  }
}

void TComponent::Destroying() {
  if (FComponentState.Contains(csDestroying)) return;
  FComponentState.Include(csDestroying);
  for (TComponent* c : FComponents) c->Destroying();
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent) RemoveFreeNotification(AComponent);
  // Overrides may free components while being told; walk by index from the
  // end and clamp when the list shrinks.
  int i = ComponentCount() - 1;
  while (i >= 0) {
    FComponents[static_cast<std::size_t>(i)]->Notification(AComponent, Operation);
    --i;
    if (i >= ComponentCount()) i = ComponentCount() - 1;
  }
}

void TComponent::FreeNotification(TComponent* AComponent) {
  if (!AComponent) return;
  if (!FOwner || AComponent->FOwner != FOwner) {
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end()) {
      FFreeNotifies.push_back(AComponent);
      AComponent->FreeNotification(this);
    }
  }
  FComponentState.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  removeNotification(AComponent);
  AComponent->removeNotification(this);
}

void TComponent::removeNotification(TComponent* AComponent) {
  auto it = std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent);
  if (it != FFreeNotifies.end()) FFreeNotifies.erase(it);
}

void TComponent::Loaded() { FComponentState.Exclude(csLoading); }

std::string TComponent::GetNamePath() const { return FName; }

void TComponent::SetDesigning(bool Value, bool SetChildren) {
  if (Value)
    FComponentState.Include(csDesigning);
  else
    FComponentState.Exclude(csDesigning);
  if (SetChildren)
    for (TComponent* c : FComponents) c->SetDesigning(Value, true);
}

// ---------------------------------------------------------------------------
// Class registry

namespace {
struct CaseInsensitiveLess {
  bool operator()(const std::string& a, const std::string& b) const { return CompareText(a, b) < 0; }
};
std::map<std::string, TPersistentClass, CaseInsensitiveLess>& classRegistry() {
  static std::map<std::string, TPersistentClass, CaseInsensitiveLess> registry;
  return registry;
}
}  // namespace

void RegisterClass(TPersistentClass AClass) {
  if (!AClass) return;
  auto& reg = classRegistry();
  auto it = reg.find(AClass->name);
  if (it != reg.end()) {
    if (it->second == AClass) return;
    throw EFilerError("A class named %s already exists", {AClass->ClassName()});
  }
  reg.emplace(AClass->name, AClass);
}

void RegisterClasses(std::initializer_list<TPersistentClass> AClasses) {
  for (TPersistentClass c : AClasses) RegisterClass(c);
}

void UnRegisterClass(TPersistentClass AClass) {
  if (!AClass) return;
  auto& reg = classRegistry();
  auto it = reg.find(AClass->name);
  if (it != reg.end() && it->second == AClass) reg.erase(it);
}

TPersistentClass GetClass(const std::string& ClassName) {
  auto& reg = classRegistry();
  auto it = reg.find(ClassName);
  if (it != reg.end()) return it->second;
  // The standard classes register themselves on the first name not found,
  // so a form is read without its program having to register them; the
  // direct call also keeps their objects in every program that reads forms.
  static bool standard = false;
  if (standard) return nullptr;
  standard = true;
  qv::classlib::RegisterStandardClasses();
  it = reg.find(ClassName);
  return it == reg.end() ? nullptr : it->second;
}

TPersistentClass FindClass(const std::string& ClassName) {
  TPersistentClass c = GetClass(ClassName);
  if (!c) throw EClassNotFound("Class %s not found", {ClassName});
  return c;
}

// ---------------------------------------------------------------------------
// TStream

std::int64_t TStream::Size() {
  std::int64_t pos = Seek(0, soCurrent);
  std::int64_t size = Seek(0, soEnd);
  Seek(pos, soBeginning);
  return size;
}

void TStream::SetSize(std::int64_t NewSize) { (void)NewSize; }

void TStream::ReadBuffer(void* Buffer, int Count) {
  if (Count != 0 && Read(Buffer, Count) != Count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, int Count) {
  if (Count != 0 && Write(Buffer, Count) != Count) throw EWriteError("Stream write error");
}

std::int64_t TStream::CopyFrom(TStream* Source, std::int64_t Count) {
  if (Count == 0) {
    Source->SetPosition(0);
    Count = Source->Size();
  }
  const std::int64_t result = Count;
  std::vector<char> buf(static_cast<std::size_t>(std::min<std::int64_t>(Count, 0xF000)) + 1);
  while (Count > 0) {
    int n = static_cast<int>(std::min<std::int64_t>(Count, static_cast<std::int64_t>(buf.size())));
    Source->ReadBuffer(buf.data(), n);
    WriteBuffer(buf.data(), n);
    Count -= n;
  }
  return result;
}

// TCustomMemoryStream / TMemoryStream

int TCustomMemoryStream::Read(void* Buffer, int Count) {
  if (Count <= 0 || FPosition < 0) return 0;
  std::int64_t avail = static_cast<std::int64_t>(FData.size()) - FPosition;
  if (avail <= 0) return 0;
  int n = static_cast<int>(std::min<std::int64_t>(avail, Count));
  std::memcpy(Buffer, FData.data() + FPosition, static_cast<std::size_t>(n));
  FPosition += n;
  return n;
}

std::int64_t TCustomMemoryStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
  switch (Origin) {
    case soBeginning: FPosition = Offset; break;
    case soCurrent: FPosition += Offset; break;
    case soEnd: FPosition = static_cast<std::int64_t>(FData.size()) + Offset; break;
  }
  return FPosition;
}

void TCustomMemoryStream::SaveToStream(TStream* Stream) {
  if (!FData.empty()) Stream->WriteBuffer(FData.data(), static_cast<int>(FData.size()));
}

void TCustomMemoryStream::SaveToFile(const std::string& FileName) {
  TFileStream f(FileName, fmCreate);
  SaveToStream(&f);
}

int TMemoryStream::Write(const void* Buffer, int Count) {
  if (FPosition < 0 || Count < 0) return 0;
  std::int64_t end = FPosition + Count;
  if (end > static_cast<std::int64_t>(FData.size())) FData.resize(static_cast<std::size_t>(end));
  if (Count > 0) std::memcpy(FData.data() + FPosition, Buffer, static_cast<std::size_t>(Count));
  FPosition = end;
  return Count;
}

void TMemoryStream::SetSize(std::int64_t NewSize) {
  if (NewSize < 0) NewSize = 0;
  FData.resize(static_cast<std::size_t>(NewSize));
  if (FPosition > NewSize) FPosition = NewSize;
}

void TMemoryStream::Clear() {
  FData.clear();
  FData.shrink_to_fit();
  FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream* Stream) {
  Stream->SetPosition(0);
  std::int64_t count = Stream->Size();
  SetSize(count);
  if (count != 0) Stream->ReadBuffer(FData.data(), static_cast<int>(count));
  FPosition = 0;
}

void TMemoryStream::LoadFromFile(const std::string& FileName) {
  TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&f);
}

// TStringStream

int TStringStream::Read(void* Buffer, int Count) {
  if (Count <= 0 || FPosition < 0) return 0;
  std::int64_t avail = static_cast<std::int64_t>(FDataString.size()) - FPosition;
  if (avail <= 0) return 0;
  int n = static_cast<int>(std::min<std::int64_t>(avail, Count));
  std::memcpy(Buffer, FDataString.data() + FPosition, static_cast<std::size_t>(n));
  FPosition += n;
  return n;
}

int TStringStream::Write(const void* Buffer, int Count) {
  if (FPosition < 0 || Count < 0) return 0;
  // Writing ends the string at the written part, as the class library does.
  FDataString.resize(static_cast<std::size_t>(FPosition + Count), '\0');
  if (Count > 0) std::memcpy(FDataString.data() + FPosition, Buffer, static_cast<std::size_t>(Count));
  FPosition += Count;
  return Count;
}

std::int64_t TStringStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
  std::int64_t size = static_cast<std::int64_t>(FDataString.size());
  switch (Origin) {
    case soBeginning: FPosition = Offset; break;
    case soCurrent: FPosition += Offset; break;
    case soEnd: FPosition = size + Offset; break;
  }
  FPosition = std::clamp<std::int64_t>(FPosition, 0, size);
  return FPosition;
}

void TStringStream::SetSize(std::int64_t NewSize) {
  if (NewSize < 0) NewSize = 0;
  FDataString.resize(static_cast<std::size_t>(NewSize));
  if (FPosition > NewSize) FPosition = NewSize;
}

std::string TStringStream::ReadString(int Count) {
  std::string r;
  if (Count <= 0) return r;
  std::int64_t avail = static_cast<std::int64_t>(FDataString.size()) - FPosition;
  int n = static_cast<int>(std::max<std::int64_t>(0, std::min<std::int64_t>(avail, Count)));
  r = FDataString.substr(static_cast<std::size_t>(FPosition), static_cast<std::size_t>(n));
  FPosition += n;
  return r;
}

void TStringStream::WriteString(const std::string& AString) {
  Write(AString.data(), static_cast<int>(AString.size()));
}

// ---------------------------------------------------------------------------
// TStrings

void TStrings::Error(const std::string& Msg, int Data) { throw EStringListError(Msg, {Data}); }

std::string TStrings::Names(int Index) const {
  std::string s = Get(Index);
  std::size_t p = s.find(FNameValueSeparator);
  return p == std::string::npos ? std::string() : s.substr(0, p);
}

std::string TStrings::Values(const std::string& Name) const {
  int i = IndexOfName(Name);
  return i >= 0 ? ValueFromIndex(i) : std::string();
}

void TStrings::SetValues(const std::string& Name, const std::string& Value) {
  int i = IndexOfName(Name);
  if (!Value.empty()) {
    std::string item = Name + FNameValueSeparator + Value;
    if (i < 0)
      Add(item);
    else
      Put(i, item);
  } else if (i >= 0) {
    Delete(i);
  }
}

std::string TStrings::ValueFromIndex(int Index) const {
  if (Index < 0) return "";
  std::string s = Get(Index);
  std::size_t p = s.find(FNameValueSeparator);
  // An item without a separator has no value (not its text minus one
  // character, as a plain "skip the name and one more" would give).
  return p == std::string::npos ? std::string() : s.substr(p + 1);
}

void TStrings::SetValueFromIndex(int Index, const std::string& Value) {
  if (!Value.empty()) {
    if (Index < 0)
      Add(std::string(1, FNameValueSeparator) + Value);
    else
      Put(Index, Names(Index) + FNameValueSeparator + Value);
  } else if (Index >= 0) {
    Delete(Index);
  }
}

std::string TStrings::GetTextStr() const {
  std::string r;
  int n = GetCount();
  for (int i = 0; i < n; ++i) {
    r += Get(i);
    r += "\r\n";
  }
  return r;
}

void TStrings::SetTextStr(const std::string& Value) {
  BeginUpdate();
  try {
    Clear();
    std::size_t i = 0, n = Value.size();
    while (i < n) {
      std::size_t start = i;
      while (i < n && Value[i] != '\r' && Value[i] != '\n') ++i;
      Add(Value.substr(start, i - start));
      if (i < n && Value[i] == '\r') ++i;
      if (i < n && Value[i] == '\n') ++i;
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

std::string TStrings::CommaText() const {
  // The class library's comma text is the delimited text with ',' and '"'.
  std::string r;
  int n = GetCount();
  if (n == 1 && Get(0).empty()) return "\"\"";
  for (int i = 0; i < n; ++i) {
    std::string s = Get(i);
    bool quote = false;
    for (char c : s)
      if (static_cast<unsigned char>(c) <= ' ' || c == '"' || c == ',') quote = true;
    if (i > 0) r += ',';
    r += quote ? AnsiQuotedStr(s, '"') : s;
  }
  return r;
}

namespace {
// The class library's reading of delimited text: blanks outside quotes also
// separate items, quoted parts keep them, and a delimiter at the very end
// adds an empty item.
template <class AddFn>
void parseDelimited(const std::string& value, char delimiter, char quote, AddFn add) {
  const char* p = value.c_str();
  const char* end = p + value.size();
  auto blank = [](char c) { return c != '\0' && static_cast<unsigned char>(c) <= ' '; };
  while (p < end && blank(*p)) ++p;
  while (p < end && *p != '\0') {
    std::string s;
    if (*p == quote) {
      s = AnsiExtractQuotedStr(p, quote);
    } else {
      const char* start = p;
      while (p < end && static_cast<unsigned char>(*p) > ' ' && *p != delimiter) ++p;
      s.assign(start, p);
    }
    add(s);
    while (p < end && blank(*p)) ++p;
    if (p < end && *p == delimiter) {
      if (p + 1 >= end || p[1] == '\0') add(std::string());
      do {
        ++p;
      } while (p < end && blank(*p));
    }
  }
}
}  // namespace

void TStrings::SetCommaText(const std::string& Value) {
  BeginUpdate();
  try {
    Clear();
    parseDelimited(Value, ',', '"', [this](const std::string& s) { Add(s); });
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

std::string TStrings::DelimitedText() const {
  std::string r;
  int n = GetCount();
  if (n == 1 && Get(0).empty()) return std::string(2, FQuoteChar);
  for (int i = 0; i < n; ++i) {
    std::string s = Get(i);
    bool quote = false;
    for (char c : s)
      if (static_cast<unsigned char>(c) <= ' ' || c == FQuoteChar || c == FDelimiter) quote = true;
    if (i > 0) r += FDelimiter;
    r += quote ? AnsiQuotedStr(s, FQuoteChar) : s;
  }
  return r;
}

void TStrings::SetDelimitedText(const std::string& Value) {
  BeginUpdate();
  try {
    Clear();
    parseDelimited(Value, FDelimiter, FQuoteChar, [this](const std::string& s) { Add(s); });
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

int TStrings::Add(const std::string& S) {
  int index = GetCount();
  Insert(index, S);
  return index;
}

int TStrings::AddObject(const std::string& S, TObject* AObject) {
  int index = Add(S);
  PutObject(index, AObject);
  return index;
}

void TStrings::AddStrings(TStrings* Strings) {
  if (!Strings) return;
  BeginUpdate();
  try {
    for (int i = 0; i < Strings->Count(); ++i) AddObject(Strings->Get(i), Strings->GetObject(i));
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::Assign(TPersistent* Source) {
  if (TStrings* src = dynamic_cast<TStrings*>(Source)) {
    if (src == this) return;
    BeginUpdate();
    try {
      Clear();
      FDelimiter = src->FDelimiter;
      FQuoteChar = src->FQuoteChar;
      FNameValueSeparator = src->FNameValueSeparator;
      AddStrings(src);
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
    return;
  }
  TPersistent::Assign(Source);
}

void TStrings::BeginUpdate() {
  if (FUpdateCount == 0) SetUpdateState(true);
  ++FUpdateCount;
}

void TStrings::EndUpdate() {
  if (FUpdateCount == 0) return;
  --FUpdateCount;
  if (FUpdateCount == 0) SetUpdateState(false);
}

void TStrings::Exchange(int Index1, int Index2) {
  BeginUpdate();
  try {
    TObject* obj = GetObject(Index1);
    std::string s = Get(Index1);
    Put(Index1, Get(Index2));
    PutObject(Index1, GetObject(Index2));
    Put(Index2, s);
    PutObject(Index2, obj);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

bool TStrings::Equals(TStrings* Strings) const {
  if (!Strings || Strings->Count() != Count()) return false;
  for (int i = 0; i < Count(); ++i)
    if (Get(i) != Strings->Get(i)) return false;
  return true;
}

int TStrings::IndexOf(const std::string& S) const {
  for (int i = 0; i < GetCount(); ++i)
    if (CompareStrings(Get(i), S) == 0) return i;
  return -1;
}

int TStrings::IndexOfName(const std::string& Name) const {
  for (int i = 0; i < GetCount(); ++i) {
    std::string s = Get(i);
    std::size_t p = s.find(FNameValueSeparator);
    if (p != std::string::npos && CompareStrings(s.substr(0, p), Name) == 0) return i;
  }
  return -1;
}

int TStrings::IndexOfObject(TObject* AObject) const {
  for (int i = 0; i < GetCount(); ++i)
    if (GetObject(i) == AObject) return i;
  return -1;
}

void TStrings::InsertObject(int Index, const std::string& S, TObject* AObject) {
  Insert(Index, S);
  PutObject(Index, AObject);
}

void TStrings::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  // Checked before the item is taken out, so that a bad target index does
  // not lose it.
  if (NewIndex < 0 || NewIndex >= GetCount()) Error(kListIndexError, NewIndex);
  BeginUpdate();
  try {
    std::string s = Get(CurIndex);
    TObject* obj = GetObject(CurIndex);
    Delete(CurIndex);
    InsertObject(NewIndex, s, obj);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::LoadFromFile(const std::string& FileName) {
  TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&f);
}

void TStrings::LoadFromStream(TStream* Stream) {
  BeginUpdate();
  try {
    std::int64_t size = Stream->Size() - Stream->Position();
    std::string s(static_cast<std::size_t>(std::max<std::int64_t>(size, 0)), '\0');
    if (!s.empty()) Stream->ReadBuffer(s.data(), static_cast<int>(s.size()));
    SetTextStr(s);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::SaveToFile(const std::string& FileName) const {
  TFileStream f(FileName, fmCreate);
  SaveToStream(&f);
}

void TStrings::SaveToStream(TStream* Stream) const {
  std::string s = GetTextStr();
  Stream->WriteBuffer(s.data(), static_cast<int>(s.size()));
}

void TStrings::Put(int Index, const std::string& S) {
  TObject* obj = GetObject(Index);
  Delete(Index);
  InsertObject(Index, S, obj);
}

int TStrings::CompareStrings(const std::string& S1, const std::string& S2) const { return AnsiCompareText(S1, S2); }

// ---------------------------------------------------------------------------
// TStringList

TStringList::~TStringList() {
  // No events while the list goes away.
  OnChange = nullptr;
  OnChanging = nullptr;
}

void TStringList::checkIndex(int Index) const {
  if (Index < 0 || Index >= GetCount()) Error(kListIndexError, Index);
}

void TStringList::Changed() {
  if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::Changing() {
  if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::SetUpdateState(bool Updating) {
  if (Updating)
    Changing();
  else
    Changed();
}

int TStringList::Add(const std::string& S) { return AddObject(S, nullptr); }

int TStringList::AddObject(const std::string& S, TObject* AObject) {
  int index;
  if (!FSorted) {
    index = GetCount();
  } else if (Find(S, index)) {
    switch (FDuplicates) {
      case dupIgnore: return index;
      case dupError: Error(kDuplicateString, 0);
      case dupAccept: break;
    }
  }
  InsertItem(index, S, AObject);
  return index;
}

void TStringList::InsertItem(int Index, const std::string& S, TObject* AObject) {
  Changing();
  FList.insert(FList.begin() + Index, Item{S, AObject});
  Changed();
}

void TStringList::Clear() {
  if (FList.empty()) return;
  Changing();
  FList.clear();
  Changed();
}

void TStringList::Delete(int Index) {
  checkIndex(Index);
  Changing();
  FList.erase(FList.begin() + Index);
  Changed();
}

void TStringList::Exchange(int Index1, int Index2) {
  checkIndex(Index1);
  checkIndex(Index2);
  Changing();
  std::swap(FList[static_cast<std::size_t>(Index1)], FList[static_cast<std::size_t>(Index2)]);
  Changed();
}

bool TStringList::Find(const std::string& S, int& Index) const {
  bool found = false;
  int l = 0, h = GetCount() - 1;
  while (l <= h) {
    int i = (l + h) / 2;
    int c = CompareStrings(FList[static_cast<std::size_t>(i)].FString, S);
    if (c < 0) {
      l = i + 1;
    } else {
      h = i - 1;
      if (c == 0) {
        found = true;
        if (FDuplicates != dupAccept) l = i;
      }
    }
  }
  Index = l;
  return found;
}

int TStringList::IndexOf(const std::string& S) const {
  if (!FSorted) return TStrings::IndexOf(S);
  int i;
  return Find(S, i) ? i : -1;
}

void TStringList::Insert(int Index, const std::string& S) { InsertObject(Index, S, nullptr); }

void TStringList::InsertObject(int Index, const std::string& S, TObject* AObject) {
  if (FSorted) Error(kSortedListError, 0);
  if (Index < 0 || Index > GetCount()) Error(kListIndexError, Index);
  InsertItem(Index, S, AObject);
}

void TStringList::quickSort(int L, int R, const TStringListSortCompare& Compare) {
  // The class library's quick sort (not stable), so equal items end in the
  // same order as there.
  int i, j, p;
  do {
    i = L;
    j = R;
    p = (L + R) >> 1;
    do {
      while (Compare(this, i, p) < 0) ++i;
      while (Compare(this, j, p) > 0) --j;
      if (i <= j) {
        if (i != j) std::swap(FList[static_cast<std::size_t>(i)], FList[static_cast<std::size_t>(j)]);
        if (p == i)
          p = j;
        else if (p == j)
          p = i;
        ++i;
        --j;
      }
    } while (i <= j);
    if (L < j) quickSort(L, j, Compare);
    L = i;
  } while (i < R);
}

void TStringList::CustomSort(TStringListSortCompare Compare) {
  if (FSorted || GetCount() <= 1 || !Compare) return;
  Changing();
  quickSort(0, GetCount() - 1, Compare);
  Changed();
}

void TStringList::Sort() {
  if (GetCount() <= 1) return;
  Changing();
  quickSort(0, GetCount() - 1, [](TStringList* list, int a, int b) {
    return list->CompareStrings(list->FList[static_cast<std::size_t>(a)].FString,
                                list->FList[static_cast<std::size_t>(b)].FString);
  });
  Changed();
}

void TStringList::SetSorted(bool Value) {
  if (FSorted == Value) return;
  if (Value) Sort();
  FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
  if (FCaseSensitive == Value) return;
  FCaseSensitive = Value;
  if (FSorted) Sort();
}

std::string TStringList::Get(int Index) const {
  checkIndex(Index);
  return FList[static_cast<std::size_t>(Index)].FString;
}

TObject* TStringList::GetObject(int Index) const {
  checkIndex(Index);
  return FList[static_cast<std::size_t>(Index)].FObject;
}

void TStringList::Put(int Index, const std::string& S) {
  if (FSorted) Error(kSortedListError, 0);
  checkIndex(Index);
  Changing();
  FList[static_cast<std::size_t>(Index)].FString = S;
  Changed();
}

void TStringList::PutObject(int Index, TObject* AObject) {
  checkIndex(Index);
  Changing();
  FList[static_cast<std::size_t>(Index)].FObject = AObject;
  Changed();
}

int TStringList::CompareStrings(const std::string& S1, const std::string& S2) const {
  return FCaseSensitive ? AnsiCompareStr(S1, S2) : AnsiCompareText(S1, S2);
}

// ---------------------------------------------------------------------------
// THandleStream / TFileStream

int THandleStream::Read(void* Buffer, int Count) {
  int n = FileRead(FHandle, Buffer, Count);
  return n < 0 ? 0 : n;
}

int THandleStream::Write(const void* Buffer, int Count) {
  int n = FileWrite(FHandle, Buffer, Count);
  return n < 0 ? 0 : n;
}

std::int64_t THandleStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
  return FileSeek(FHandle, Offset, static_cast<int>(Origin));
}

void THandleStream::SetSize(std::int64_t NewSize) {
  Seek(NewSize, soBeginning);
  if (!SetEndOfFile(FHandle)) RaiseLastOSError();
}

TFileStream::TFileStream(const std::string& AFileName, WORD Mode)
    : THandleStream(INVALID_HANDLE_VALUE), FFileName(AFileName) {
  if (Mode == fmCreate) {
    FHandle = FileCreate(AFileName);
    if (FHandle == INVALID_HANDLE_VALUE)
      throw EFCreateError("Cannot create file \"%s\". %s", {AFileName, SysErrorMessage(GetLastError())});
  } else {
    FHandle = FileOpen(AFileName, Mode);
    if (FHandle == INVALID_HANDLE_VALUE)
      throw EFOpenError("Cannot open file \"%s\". %s", {AFileName, SysErrorMessage(GetLastError())});
  }
}

TFileStream::~TFileStream() {
  if (FHandle != INVALID_HANDLE_VALUE) FileClose(FHandle);
}

// ---------------------------------------------------------------------------
// TInterfacedPersistent

IUnknown* TInterfacedPersistent::ownerInterface() const { return dynamic_cast<IUnknown*>(GetOwner()); }

HRESULT TInterfacedPersistent::QueryInterface(REFIID riid, void** ppvObject) {
  if (!ppvObject) return E_POINTER;
  *ppvObject = nullptr;
  if (riid == IID_IUnknown)
    *ppvObject = static_cast<IUnknown*>(this);
  else if (!GetInterface(riid, ppvObject))
    *ppvObject = nullptr;
  if (!*ppvObject) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

ULONG TInterfacedPersistent::AddRef() {
  IUnknown* owner = ownerInterface();
  return owner ? owner->AddRef() : static_cast<ULONG>(-1);
}

ULONG TInterfacedPersistent::Release() {
  IUnknown* owner = ownerInterface();
  return owner ? owner->Release() : static_cast<ULONG>(-1);
}

// ---------------------------------------------------------------------------
// Hidden utility windows

namespace {

constexpr const char* kUtilWindowClass = "TPUtilWindow";

LRESULT utilWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* method = reinterpret_cast<TWndMethod*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
  if (!method) return DefWindowProc(hwnd, msg, wParam, lParam);
  TMessage message{msg, wParam, lParam, 0};
  // The method may deallocate its own window; keep it alive for this call.
  TWndMethod keep = *method;
  keep(message);
  return message.Result;
}

}  // namespace

HWND AllocateHWnd(TWndMethod Method) {
  WNDCLASSA wc{};
  if (!GetClassInfo(nullptr, kUtilWindowClass, &wc)) {
    wc = WNDCLASSA{};
    wc.lpfnWndProc = &utilWindowProc;
    wc.lpszClassName = kUtilWindowClass;
    RegisterClass(&wc);
  }
  HWND wnd = CreateWindowEx(WS_EX_TOOLWINDOW, kUtilWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr,
                            nullptr);
  if (!wnd) RaiseLastOSError();
  if (Method)
    SetWindowLongPtr(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new TWndMethod(std::move(Method))));
  return wnd;
}

void DeallocateHWnd(HWND Wnd) {
  if (!Wnd || !IsWindow(Wnd)) return;
  auto* method = reinterpret_cast<TWndMethod*>(GetWindowLongPtr(Wnd, GWLP_USERDATA));
  DestroyWindow(Wnd);
  delete method;
}

// ---------------------------------------------------------------------------
// TStreamAdapter. The class library's streams raise on failure where the
// interface answers an error code, so every call is guarded.

TStreamAdapter::~TStreamAdapter() {
  if (FOwnership == soOwned) delete FStream;
}

HRESULT TStreamAdapter::Read(void* pv, ULONG cb, ULONG* pcbRead) {
  if (pcbRead) *pcbRead = 0;
  if (!pv && cb) return STG_E_INVALIDPOINTER;
  try {
    ULONG done = 0;
    while (done < cb) {
      const int chunk = static_cast<int>(std::min<ULONG>(cb - done, 0x40000000u));
      const int got = FStream->Read(static_cast<BYTE*>(pv) + done, chunk);
      if (got <= 0) break;
      done += static_cast<ULONG>(got);
    }
    if (pcbRead) *pcbRead = done;
    return done < cb ? S_FALSE : S_OK;
  } catch (const Exception&) {
    return E_FAIL;
  }
}

HRESULT TStreamAdapter::Write(const void* pv, ULONG cb, ULONG* pcbWritten) {
  if (pcbWritten) *pcbWritten = 0;
  if (!pv && cb) return STG_E_INVALIDPOINTER;
  try {
    ULONG done = 0;
    while (done < cb) {
      const int chunk = static_cast<int>(std::min<ULONG>(cb - done, 0x40000000u));
      const int put = FStream->Write(static_cast<const BYTE*>(pv) + done, chunk);
      if (put <= 0) break;
      done += static_cast<ULONG>(put);
    }
    if (pcbWritten) *pcbWritten = done;
    return done < cb ? STG_E_MEDIUMFULL : S_OK;
  } catch (const Exception&) {
    return STG_E_MEDIUMFULL;
  }
}

HRESULT TStreamAdapter::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) {
  if (origin > STREAM_SEEK_END) return STG_E_INVALIDFUNCTION;
  try {
    const std::int64_t to = FStream->Seek(move.QuadPart, static_cast<TSeekOrigin>(origin));
    if (to < 0) return STG_E_INVALIDFUNCTION;
    if (newPosition) newPosition->QuadPart = static_cast<ULONGLONG>(to);
    return S_OK;
  } catch (const Exception&) {
    return STG_E_INVALIDFUNCTION;
  }
}

HRESULT TStreamAdapter::SetSize(ULARGE_INTEGER newSize) {
  if (newSize.QuadPart > 0x7FFFFFFFFFFFFFFFull) return STG_E_INVALIDFUNCTION;
  try {
    FStream->SetSize(static_cast<std::int64_t>(newSize.QuadPart));
    return FStream->Size() == static_cast<std::int64_t>(newSize.QuadPart) ? S_OK : STG_E_MEDIUMFULL;
  } catch (const Exception&) {
    return STG_E_MEDIUMFULL;
  }
}

HRESULT TStreamAdapter::CopyTo(IStream* target, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead,
                               ULARGE_INTEGER* pcbWritten) {
  if (pcbRead) pcbRead->QuadPart = 0;
  if (pcbWritten) pcbWritten->QuadPart = 0;
  if (!target) return STG_E_INVALIDPOINTER;
  BYTE buffer[32768];
  ULONGLONG left = cb.QuadPart, read = 0, written = 0;
  HRESULT hr = S_OK;
  while (left > 0) {
    ULONG got = 0;
    hr = Read(buffer, static_cast<ULONG>(std::min<ULONGLONG>(left, sizeof buffer)), &got);
    if (FAILED(hr) || got == 0) break;
    read += got;
    ULONG put = 0;
    hr = target->Write(buffer, got, &put);
    written += put;
    if (FAILED(hr) || put < got) break;
    left -= got;
  }
  if (pcbRead) pcbRead->QuadPart = read;
  if (pcbWritten) pcbWritten->QuadPart = written;
  return FAILED(hr) ? hr : S_OK;
}

HRESULT TStreamAdapter::Stat(STATSTG* stat, DWORD) {
  if (!stat) return STG_E_INVALIDPOINTER;
  *stat = STATSTG{};
  stat->type = STGTY_STREAM;
  try {
    stat->cbSize.QuadPart = static_cast<ULONGLONG>(FStream->Size());
  } catch (const Exception&) {
    return E_FAIL;
  }
  return S_OK;
}
