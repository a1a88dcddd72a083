// The class library's Classes unit: persistent objects, components with
// ownership and free notification, the class registry, lists, string lists
// and streams.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/classlib/Messages.h"
#include "platform/classlib/SysUtils.h"
#include "platform/classlib/System.h"
#include "platform/com/ComObject.h"
#include "platform/com/Stream.h"
#include "platform/com/Unknown.h"
#include "platform/os/Types.h"

class TFiler;
class TReader;
class TWriter;
class TStream;

constexpr int MaxListSize = 0x7FFFFFF;

// ---------------------------------------------------------------------------
// TList: a list of untyped pointers. Descendants learn of every item that
// enters or leaves through Notify.
enum TListNotification { lnAdded, lnExtracted, lnDeleted };
using TListSortCompare = int (*)(void* Item1, void* Item2);

class TList : public TObject {
  QV_CLASS(TList, TObject)
  TList() = default;
  TList(const TList&) = delete;
  TList& operator=(const TList&) = delete;
  ~TList() override;

  int Add(void* Item);
  void Insert(int Index, void* Item);
  void Delete(int Index);
  // Index the item had, -1 when absent.
  int Remove(void* Item);
  // Takes the item out without the lnDeleted notification.
  void* Extract(void* Item);
  int IndexOf(void* Item) const;
  void Exchange(int Index1, int Index2);
  void Move(int CurIndex, int NewIndex);
  void Sort(TListSortCompare Compare);
  void Pack();  // drops null items
  virtual void Clear();
  void* First() const;
  void* Last() const;

  int Count() const { return static_cast<int>(FList.size()); }
  void SetCount(int NewCount);
  int Capacity() const { return FCapacity; }
  void SetCapacity(int NewCapacity);
  void* Items(int Index) const;
  void SetItems(int Index, void* Item);
  // The items, for iteration.
  const std::vector<void*>& List() const { return FList; }

  // EListError with Msg formatted with Data ("List index out of bounds (%d)").
  [[noreturn]] static void Error(const std::string& Msg, int Data);

 protected:
  virtual void Notify(void* Ptr, TListNotification Action) {
    (void)Ptr;
    (void)Action;
  }

 private:
  void checkIndex(int Index) const;
  std::vector<void*> FList;
  int FCapacity = 0;
};

// ---------------------------------------------------------------------------
// TPersistent: objects that can be assigned to each other and streamed.
class TPersistent : public TObject {
  QV_CLASS(TPersistent, TObject)
  TPersistent() = default;
  TPersistent(const TPersistent&) = delete;
  TPersistent& operator=(const TPersistent&) = delete;

  // Source->AssignTo(this); a null Source or one that cannot assign raises
  // EConvertError "Cannot assign a %s to a %s".
  virtual void Assign(TPersistent* Source);
  // "Owner.Path.ClassName"; components give their Name.
  virtual std::string GetNamePath() const;

 protected:
  virtual void AssignTo(TPersistent* Dest);
  // Hook for streaming: descendants define properties that are not published.
  virtual void DefineProperties(TFiler* Filer) { (void)Filer; }
  virtual TPersistent* GetOwner() const { return nullptr; }
  [[noreturn]] void AssignError(TPersistent* Source);

  friend class TFiler;
  friend class TReader;
  friend class TWriter;
};

// ---------------------------------------------------------------------------
// TInterfacedPersistent: a persistent object that answers interfaces. Its
// references are its owner's business: AddRef and Release go to the owner
// when the owner answers IUnknown, and otherwise count nothing (they answer
// -1), so releasing the last reference never frees the object.
class TInterfacedPersistent : public TPersistent, public IUnknown {
  QV_CLASS(TInterfacedPersistent, TPersistent)
  TInterfacedPersistent() = default;

  // IUnknown and whatever GetInterface answers.
  HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
  ULONG AddRef() override;
  ULONG Release() override;

 protected:
  // Descendants answer their own interfaces: set Obj to the interface
  // (without adding a reference) and answer true.
  virtual bool GetInterface(REFIID IID, void** Obj) {
    (void)IID;
    (void)Obj;
    return false;
  }

 private:
  IUnknown* ownerInterface() const;
};

// ---------------------------------------------------------------------------
// TComponent.
enum TOperation { opInsert, opRemove };
enum TComponentStateItem {
  csLoading,
  csReading,
  csWriting,
  csDestroying,
  csDesigning,
  csAncestor,
  csUpdating,
  csFixups,
  csFreeNotification,
  csInline,
  csDesignInstance
};
using TComponentState = TSet<TComponentStateItem>;

namespace qv::classlib {
using TGetChildProc = std::function<void(TComponent* Child)>;
}

class TComponent : public TPersistent {
  QV_CLASS(TComponent, TPersistent)
  // An owner inserts the new component among its Components.
  explicit TComponent(TComponent* AOwner);
  // Sets csDestroying (on the owned components too), tells every component
  // that asked for free notification, frees the owned components and leaves
  // the owner. Descendants whose destructors must see csDestroying before
  // their own clean-up call Destroying() first.
  ~TComponent() override;

  TComponent* Owner() const { return FOwner; }
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  TComponent* Components(int Index) const;
  int ComponentIndex() const;
  void SetComponentIndex(int Value);
  // Case-insensitive; null when absent or Name is empty.
  TComponent* FindComponent(const std::string& AName) const;

  const std::string& Name() const { return FName; }
  // A valid identifier or empty; EComponentError "Component name "%s" is not
  // valid" or "A component named %s already exists" (same owner, any case).
  virtual void SetName(const std::string& NewName);
  INT_PTR Tag() const { return FTag; }
  void SetTag(INT_PTR Value) { FTag = Value; }
  TComponentState ComponentState() const { return FComponentState; }

  void InsertComponent(TComponent* AComponent);
  void RemoveComponent(TComponent* AComponent);
  // Frees the owned components, last first.
  void DestroyComponents();
  void Destroying();
  // AComponent is told (Notification opRemove) when this one is destroyed,
  // and the other way round; components of one owner need not ask, as the
  // owner tells them all.
  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);

  std::string GetNamePath() const override;

  // Sets or clears csDesigning, on the owned components too when SetChildren.
  void SetDesigning(bool Value, bool SetChildren = true);

  // The parent protocol of form streaming. A plain component has no parent
  // and, as a root, streams the components it owns; controls, menu items
  // and collection items override what applies to them.
  virtual bool HasParent() const { return false; }
  virtual TComponent* GetParentComponent() const { return nullptr; }
  virtual void SetParentComponent(TComponent* Value) { (void)Value; }
  // Children to write, in order. The default (for a root) is every owned
  // component that has no parent.
  virtual void GetChildren(const qv::classlib::TGetChildProc& Proc, TComponent* Root);
  virtual void SetChildOrder(TComponent* Child, int Order) {
    (void)Child;
    (void)Order;
  }
  // The parent and owner given to the components read inside this one; a
  // null owner means the root.
  virtual TComponent* GetChildParent() { return this; }
  virtual TComponent* GetChildOwner() { return nullptr; }
  // Reads the component's properties and children: Reader->ReadData(this).
  // Overrides do their checks after calling it.
  virtual void ReadState(TReader* Reader);

 protected:
  // Tells of a component entering or leaving; the base forwards it to every
  // owned component. Overrides call inherited::Notification.
  virtual void Notification(TComponent* AComponent, TOperation Operation);
  // Called by the reader after all properties of the form are read; clears
  // csLoading.
  virtual void Loaded();
  virtual void ValidateRename(TComponent* AComponent, const std::string& CurName, const std::string& NewName);
  virtual void ValidateContainer(TComponent* AComponent) { (void)AComponent; }
  virtual void ChangeName(const std::string& NewName) { FName = NewName; }
  TPersistent* GetOwner() const override { return FOwner; }
  void Updating() { FComponentState.Include(csUpdating); }
  void Updated() { FComponentState.Exclude(csUpdating); }

  TComponentState FComponentState;

 private:
  void insertOwned(TComponent* AComponent);
  void removeOwned(TComponent* AComponent);
  void removeNotification(TComponent* AComponent);

  TComponent* FOwner = nullptr;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
  std::string FName;
  INT_PTR FTag = 0;

  friend class TReader;
  friend class TWriter;
};

// ---------------------------------------------------------------------------
// The class registry: classes found by name for streaming. Names compare
// case-insensitively; registering another class under a taken name raises
// EFilerError "A class named %s already exists".
void RegisterClass(TPersistentClass AClass);
void RegisterClasses(std::initializer_list<TPersistentClass> AClasses);
void UnRegisterClass(TPersistentClass AClass);
// EClassNotFound "Class %s not found".
TPersistentClass FindClass(const std::string& ClassName);
// Null when not registered.
TPersistentClass GetClass(const std::string& ClassName);

// ---------------------------------------------------------------------------
// Streams.
enum TSeekOrigin { soBeginning, soCurrent, soEnd };
constexpr WORD soFromBeginning = 0;
constexpr WORD soFromCurrent = 1;
constexpr WORD soFromEnd = 2;

class TStream : public TObject {
  QV_CLASS(TStream, TObject)
  TStream() = default;
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;

  // Bytes actually moved; fewer at the end of the data or on failure.
  virtual int Read(void* Buffer, int Count) = 0;
  virtual int Write(const void* Buffer, int Count) = 0;
  // New position; -1 on failure.
  virtual std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) = 0;

  std::int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(std::int64_t Pos) { Seek(Pos, soBeginning); }
  virtual std::int64_t Size();
  virtual void SetSize(std::int64_t NewSize);

  // EReadError "Stream read error" / EWriteError "Stream write error" when
  // not all bytes move.
  void ReadBuffer(void* Buffer, int Count);
  void WriteBuffer(const void* Buffer, int Count);
  // Count 0 copies the whole Source from its beginning. Returns the count.
  std::int64_t CopyFrom(TStream* Source, std::int64_t Count);
};

class THandleStream : public TStream {
  QV_CLASS(THandleStream, TStream)
  explicit THandleStream(HANDLE AHandle) : FHandle(AHandle) {}
  HANDLE Handle() const { return FHandle; }
  int Read(void* Buffer, int Count) override;
  int Write(const void* Buffer, int Count) override;
  std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
  // EOSError when the file cannot be cut or grown.
  void SetSize(std::int64_t NewSize) override;

 protected:
  HANDLE FHandle;
};

// Mode is fmCreate or an fmOpen... value or-ed with an fmShare... value.
// EFCreateError "Cannot create file "%s". %s" / EFOpenError "Cannot open file
// "%s". %s" (with the system's message) when it fails.
class TFileStream : public THandleStream {
  QV_CLASS(TFileStream, THandleStream)
  TFileStream(const std::string& AFileName, WORD Mode);
  ~TFileStream() override;
  const std::string& FileName() const { return FFileName; }

 private:
  std::string FFileName;
};

class TCustomMemoryStream : public TStream {
  QV_CLASS(TCustomMemoryStream, TStream)
  int Read(void* Buffer, int Count) override;
  std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
  void SaveToStream(TStream* Stream);
  void SaveToFile(const std::string& FileName);
  void* Memory() { return FData.data(); }
  std::int64_t Size() override { return static_cast<std::int64_t>(FData.size()); }

 protected:
  std::vector<char> FData;
  std::int64_t FPosition = 0;
};

class TMemoryStream : public TCustomMemoryStream {
  QV_CLASS(TMemoryStream, TCustomMemoryStream)
  int Write(const void* Buffer, int Count) override;
  void SetSize(std::int64_t NewSize) override;
  void Clear();
  void LoadFromStream(TStream* Stream);
  void LoadFromFile(const std::string& FileName);
};

class TStringStream : public TStream {
  QV_CLASS(TStringStream, TStream)
  TStringStream() = default;
  explicit TStringStream(const std::string& AString) : FDataString(AString) {}
  int Read(void* Buffer, int Count) override;
  int Write(const void* Buffer, int Count) override;
  std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
  std::int64_t Size() override { return static_cast<std::int64_t>(FDataString.size()); }
  void SetSize(std::int64_t NewSize) override;
  // Up to Count bytes from the position.
  std::string ReadString(int Count);
  void WriteString(const std::string& AString);
  const std::string& DataString() const { return FDataString; }

 private:
  std::string FDataString;
  std::int64_t FPosition = 0;
};

// ---------------------------------------------------------------------------
// TStreamAdapter: a class-library stream seen through the platform's IStream,
// for interfaces that read or write streams (OLE, GDI+). Reading and writing
// move the stream's own position. With soOwned the stream is freed with the
// adapter's last reference. Clone, Revert and the region locks are not
// supported (STG_E_INVALIDFUNCTION), as in the class library.
enum TStreamOwnership { soReference, soOwned };

class TStreamAdapter : public qv::com::ComObject<IStream> {
 public:
  explicit TStreamAdapter(TStream* Stream, TStreamOwnership Ownership = soReference)
      : FStream(Stream), FOwnership(Ownership) {}
  TStream* Stream() const { return FStream; }
  TStreamOwnership StreamOwnership() const { return FOwnership; }
  void SetStreamOwnership(TStreamOwnership Value) { FOwnership = Value; }

  HRESULT Read(void* pv, ULONG cb, ULONG* pcbRead) override;
  HRESULT Write(const void* pv, ULONG cb, ULONG* pcbWritten) override;
  HRESULT Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) override;
  HRESULT SetSize(ULARGE_INTEGER newSize) override;
  HRESULT CopyTo(IStream* target, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead, ULARGE_INTEGER* pcbWritten) override;
  HRESULT Commit(DWORD) override { return S_OK; }
  HRESULT Revert() override { return STG_E_INVALIDFUNCTION; }
  HRESULT LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return STG_E_INVALIDFUNCTION; }
  HRESULT UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return STG_E_INVALIDFUNCTION; }
  HRESULT Stat(STATSTG* stat, DWORD flags) override;
  HRESULT Clone(IStream**) override { return STG_E_INVALIDFUNCTION; }

 protected:
  ~TStreamAdapter() override;

 private:
  TStream* FStream;
  TStreamOwnership FOwnership;
};

// ---------------------------------------------------------------------------
// TStrings: the abstract list of strings with objects.
class TStrings : public TPersistent {
  QV_CLASS(TStrings, TPersistent)
  TStrings() = default;

  int Count() const { return GetCount(); }
  std::string Strings(int Index) const { return Get(Index); }
  void SetStrings(int Index, const std::string& S) { Put(Index, S); }
  TObject* Objects(int Index) const { return GetObject(Index); }
  void SetObjects(int Index, TObject* AObject) { PutObject(Index, AObject); }
  // "name=value" items: the text before the first NameValueSeparator; empty
  // when the item has none.
  std::string Names(int Index) const;
  // The value of the first item whose name matches; empty when none.
  std::string Values(const std::string& Name) const;
  // An empty value deletes the item; a new name is added at the end.
  void SetValues(const std::string& Name, const std::string& Value);
  // The text after the first separator; empty when the item has none.
  std::string ValueFromIndex(int Index) const;
  void SetValueFromIndex(int Index, const std::string& Value);
  char NameValueSeparator() const { return FNameValueSeparator; }
  void SetNameValueSeparator(char C) { FNameValueSeparator = C; }

  // Every item followed by CR LF.
  std::string Text() const { return GetTextStr(); }
  // Splits at CR, LF or CR LF; a final line break adds no empty item.
  void SetText(const std::string& Value) { SetTextStr(Value); }
  // Items separated by commas, quoted with '"' where they hold blanks, commas
  // or quotes. Reading splits at commas and blanks outside quotes.
  std::string CommaText() const;
  void SetCommaText(const std::string& Value);
  // The same with Delimiter and QuoteChar.
  std::string DelimitedText() const;
  void SetDelimitedText(const std::string& Value);
  char Delimiter() const { return FDelimiter; }
  void SetDelimiter(char C) { FDelimiter = C; }
  char QuoteChar() const { return FQuoteChar; }
  void SetQuoteChar(char C) { FQuoteChar = C; }

  virtual int Add(const std::string& S);
  virtual int AddObject(const std::string& S, TObject* AObject);
  void Append(const std::string& S) { Add(S); }
  virtual void AddStrings(TStrings* Strings);
  void Assign(TPersistent* Source) override;
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }
  virtual void Clear() = 0;
  virtual void Delete(int Index) = 0;
  virtual void Exchange(int Index1, int Index2);
  bool Equals(TStrings* Strings) const;
  // Case-insensitive in TStrings; TStringList follows CaseSensitive.
  virtual int IndexOf(const std::string& S) const;
  int IndexOfName(const std::string& Name) const;
  int IndexOfObject(TObject* AObject) const;
  virtual void Insert(int Index, const std::string& S) = 0;
  virtual void InsertObject(int Index, const std::string& S, TObject* AObject);
  virtual void Move(int CurIndex, int NewIndex);
  // Whole file as text; EFOpenError when it cannot be opened.
  virtual void LoadFromFile(const std::string& FileName);
  virtual void LoadFromStream(TStream* Stream);
  virtual void SaveToFile(const std::string& FileName) const;
  virtual void SaveToStream(TStream* Stream) const;

 protected:
  virtual std::string Get(int Index) const = 0;
  virtual int GetCount() const = 0;
  virtual TObject* GetObject(int Index) const {
    (void)Index;
    return nullptr;
  }
  virtual void Put(int Index, const std::string& S);
  virtual void PutObject(int Index, TObject* AObject) {
    (void)Index;
    (void)AObject;
  }
  virtual std::string GetTextStr() const;
  virtual void SetTextStr(const std::string& Value);
  // Called on the first BeginUpdate (true) and the last EndUpdate (false).
  virtual void SetUpdateState(bool Updating) { (void)Updating; }
  virtual int CompareStrings(const std::string& S1, const std::string& S2) const;
  [[noreturn]] static void Error(const std::string& Msg, int Data);

 private:
  int FUpdateCount = 0;
  char FDelimiter = ',';
  char FQuoteChar = '"';
  char FNameValueSeparator = '=';
};

enum TDuplicates { dupIgnore, dupAccept, dupError };
class TStringList;
using TStringListSortCompare = std::function<int(TStringList* List, int Index1, int Index2)>;

class TStringList : public TStrings {
  QV_CLASS(TStringList, TStrings)
  TStringList() = default;
  ~TStringList() override;

  int Add(const std::string& S) override;
  int AddObject(const std::string& S, TObject* AObject) override;
  void Clear() override;
  void Delete(int Index) override;
  void Exchange(int Index1, int Index2) override;
  // Binary search of a sorted list: true when found; Index is the match (the
  // first one unless dupAccept) or where S would go.
  virtual bool Find(const std::string& S, int& Index) const;
  int IndexOf(const std::string& S) const override;
  // EStringListError "Operation not allowed on sorted list" when Sorted.
  void Insert(int Index, const std::string& S) override;
  void InsertObject(int Index, const std::string& S, TObject* AObject) override;
  virtual void Sort();
  virtual void CustomSort(TStringListSortCompare Compare);

  TDuplicates Duplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool Value);

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  std::string Get(int Index) const override;
  int GetCount() const override { return static_cast<int>(FList.size()); }
  TObject* GetObject(int Index) const override;
  void Put(int Index, const std::string& S) override;
  void PutObject(int Index, TObject* AObject) override;
  void SetUpdateState(bool Updating) override;
  int CompareStrings(const std::string& S1, const std::string& S2) const override;
  virtual void Changed();
  virtual void Changing();
  virtual void InsertItem(int Index, const std::string& S, TObject* AObject);

 private:
  struct Item {
    std::string FString;
    TObject* FObject;
  };
  void checkIndex(int Index) const;
  void quickSort(int L, int R, const TStringListSortCompare& Compare);
  std::vector<Item> FList;
  TDuplicates FDuplicates = dupIgnore;
  bool FSorted = false;
  bool FCaseSensitive = false;
};

// ---------------------------------------------------------------------------
// Hidden utility windows: AllocateHWnd makes a hidden top-level window (so
// that it also hears the desktop's broadcasts, such as WM_SYSCOLORCHANGE and
// WM_THEMECHANGED) whose every message goes to Method, which sets the
// message's Result; without a Method the window has the default window
// procedure. Exceptions of Method travel through DispatchMessage to the
// application's message loop. DeallocateHWnd destroys the window; Method
// still hears the destruction messages.
using TWndMethod = std::function<void(TMessage& Message)>;
HWND AllocateHWnd(TWndMethod Method);
void DeallocateHWnd(HWND Wnd);
