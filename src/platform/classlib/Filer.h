// Form streaming: TFiler, TReader and TWriter over our text form format, the
// parser behind them and the form-resource lookup.
//
// The format:
//
//   object MainForm: TMainForm            ("inherited" for a component that
//     Caption = 'Start'#13#10'menu'        already exists; "[n]" after the
//     Color = clBtnFace                    class gives its child position)
//     Anchors = [akLeft, akTop]
//     Font.Name = 'Tahoma'                 nested persistent properties
//     Lines.Strings = (                    string lists and other lists
//       'one'
//       'two')
//     Columns = <                          collections
//       item
//         Width = 10
//       end>
//     Glyph.Data = {0A0B0C}                binary data in hex
//     Buddy = OtherPanel                   references, resolved at the end
//     OnCreate = FormCreate                events: the root's method names
//     object Child: TChild ... end
//   end
//
// Values: integers (decimal, $hex, negative), floats, strings in quotes with
// '' for a quote and #nnn for a character code, joined with + (also across
// lines), identifiers (enumerations, True/False, nil, named integers such as
// colours), sets, lists, collections and binary data. Text is Windows-1252.
//
// Reading creates each component with the reader's owner (the root), sets
// its parent component and name, reads its properties and children with
// csLoading and csReading set, and finally calls Loaded on the root and then
// on every component in the order their reading finished (children before
// the component that holds them). A component of that name and class
// already owned by the root is read into instead of created, so reading a
// second resource into a form replaces its captions, lists and collections;
// an "inherited" component must exist ("Ancestor for '%s' not found").
// References to missing components and events naming no method of the root
// fail with EReadError "Error reading X.Prop: Invalid property value on line n".
//
// The parent protocol (which component a child is read into, which children
// are written) is TComponent's virtuals HasParent ... ReadState.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/classlib/Classes.h"
#include "platform/classlib/Collections.h"
#include "platform/classlib/SysUtils.h"
#include "platform/classlib/TypInfo.h"
#include "platform/os/Types.h"

QV_EXCEPTION(EParserError, Exception);
QV_EXCEPTION(EResNotFound, Exception);

enum TFilerFlag { ffInherited, ffChildPos, ffInline };
using TFilerFlags = TSet<TFilerFlag>;

// The kinds of value, in the class library's order.
enum TValueType {
  vaNull,  // end of a list
  vaList,
  vaInt8,
  vaInt16,
  vaInt32,
  vaExtended,
  vaString,
  vaIdent,
  vaFalse,
  vaTrue,
  vaBinary,
  vaSet,
  vaLString,
  vaNil,
  vaCollection,
  vaSingle,
  vaCurrency,
  vaDate,
  vaWString,
  vaInt64,
  vaUTF8String
};

using TReaderProc = std::function<void(TReader* Reader)>;
using TWriterProc = std::function<void(TWriter* Writer)>;
using TStreamProc = std::function<void(TStream* Stream)>;

namespace qv::classlib {

// The parsed form, before any component is made.
struct TFormProp;
struct TFormItem {
  std::vector<TFormProp> Props;
  int Line = 0;
};
struct TFormValue {
  TValueType Type = vaNull;
  int Line = 0;
  std::int64_t Int = 0;
  double Float = 0;
  // vaString: the text; vaIdent, vaTrue, vaFalse, vaNil: the identifier as
  // written (dotted for Form.Component); vaBinary: the bytes.
  std::string Str;
  std::vector<std::string> Set;
  std::vector<TFormValue> List;
  std::vector<TFormItem> Items;
};
struct TFormProp {
  std::string Name;  // dotted path
  TFormValue Value;
  int Line = 0;
};
struct TFormObject {
  TFilerFlags Flags;
  int ChildPos = 0;
  std::string Name;
  std::string ClassName;
  std::vector<TFormProp> Props;
  std::vector<TFormObject> Children;
  int Line = 0;
};

// EParserError "... on line %d" for malformed text.
TFormObject parseForm(const std::string& Text);

// Reads a form text into Root (null: the root is created from its class).
TComponent* readComponentText(const std::string& Text, TComponent* Root);
// Writes the component as form text.
std::string writeComponentText(TComponent* Root);

// Where the program's resources (forms, strings) come from: a language
// module loaded as a data file, or null for the program itself.
void SetResourceInstance(HINSTANCE Module);
// The language module of a program for a language abbreviation ("ENU"):
// the program file's name with its extension replaced by the abbreviation,
// or with the abbreviation added when the file has none ("qvdesigner"
// gives "qvdesigner.ENU"); loaded as a data file, and when that fails the
// first two letters of the abbreviation are tried. Null when neither loads.
HMODULE LoadLanguageModuleFile(const std::string& ModuleName, const std::string& Abbreviation);
// The language module that the per-user locale key chooses for a program:
// the value named by the program's full path under HKEY_CURRENT_USER
// "Software\Borland\Locales" ("ENU") is the abbreviation for
// LoadLanguageModuleFile; the module found becomes the resource instance.
// Null when the key names none or no such module loads.
// TApplication::Initialize calls it for the program.
HINSTANCE LoadResourceModule(const std::string& ModuleName);

}  // namespace qv::classlib

// Components by name across roots ("OtherForm.Button1" references); forms
// register a finder.
using TFindGlobalComponent = TComponent* (*)(const std::string& Name);
void RegisterFindGlobalComponentProc(TFindGlobalComponent Proc);
void UnregisterFindGlobalComponentProc(TFindGlobalComponent Proc);
TComponent* FindGlobalComponent(const std::string& Name);

class TFiler : public TObject {
  QV_CLASS(TFiler, TObject)
  explicit TFiler(TStream* Stream) : FStream(Stream) {}
  TFiler(const TFiler&) = delete;
  TFiler& operator=(const TFiler&) = delete;

  TComponent* Root() const { return FRoot; }
  virtual void SetRoot(TComponent* Value) { FRoot = Value; }
  TComponent* LookupRoot() const { return FLookupRoot; }
  TPersistent* Ancestor() const { return FAncestor; }
  void SetAncestor(TPersistent* Value) { FAncestor = Value; }
  bool IgnoreChildren() const { return FIgnoreChildren; }
  void SetIgnoreChildren(bool Value) { FIgnoreChildren = Value; }

  // Custom data of a persistent object (from its DefineProperties): the
  // reader calls ReadData when the form has a property of that name, the
  // writer calls WriteData when HasData.
  virtual void DefineProperty(const std::string& Name, TReaderProc ReadData, TWriterProc WriteData, bool HasData) = 0;
  virtual void DefineBinaryProperty(const std::string& Name, TStreamProc ReadData, TStreamProc WriteData,
                                    bool HasData) = 0;

 protected:
  TStream* FStream;
  TComponent* FRoot = nullptr;
  TComponent* FLookupRoot = nullptr;
  TPersistent* FAncestor = nullptr;
  bool FIgnoreChildren = false;
};

class TReader : public TFiler {
  QV_CLASS(TReader, TFiler)
  // Reads the stream's text from its position to its end on first use.
  explicit TReader(TStream* Stream);
  ~TReader() override;

  // Reads the form into Root, or creates the root from the form's class
  // (FindClass) when Root is null. EParserError for malformed text,
  // EReadError (EClassNotFound for an unknown class) for text that does not
  // fit the classes, each with its line; a root created here is freed again.
  TComponent* ReadRootComponent(TComponent* Root);
  // The properties and then the child components of the component being
  // read (the default ReadState).
  void ReadData(TComponent* Instance);

  TComponent* Owner() const { return FOwner; }
  void SetOwner(TComponent* Value) { FOwner = Value; }
  TComponent* Parent() const { return FParent; }
  void SetParent(TComponent* Value) { FParent = Value; }
  // Line of the property being read.
  int Line() const { return FLine; }
  // The parsed object of the component being read (null outside a read).
  const qv::classlib::TFormObject* CurrentNode() const { return FNodes.empty() ? nullptr : FNodes.back(); }

  // Values of the property being read, for DefineProperties.
  TValueType NextValue() const;
  bool EndOfList() const { return NextValue() == vaNull; }
  void ReadListBegin();
  void ReadListEnd();
  int ReadInteger();
  std::int64_t ReadInt64();
  bool ReadBoolean();
  char ReadChar();
  double ReadFloat();
  std::string ReadString();
  std::string ReadIdent();
  // The next value is a collection: Collection is cleared and filled.
  void ReadCollection(TCollection* Collection);

  void DefineProperty(const std::string& Name, TReaderProc ReadData, TWriterProc WriteData, bool HasData) override;
  void DefineBinaryProperty(const std::string& Name, TStreamProc ReadData, TStreamProc WriteData,
                            bool HasData) override;

 protected:
  // Flags and child position of the component about to be read, as the
  // form gives them; a reader that re-reads forms over existing components
  // adds ffInherited.
  virtual void ReadPrefix(TFilerFlags& Flags, int& AChildPos);
  // EReadError with Message and the current line.
  [[noreturn]] void Error(const std::string& Message) const;

 private:
  struct Fixup;
  struct Cursor {
    const qv::classlib::TFormValue* List;
    std::size_t Index;
  };
  static void callLoaded(std::vector<TComponent*>& Loaded);
  static void clearLoading(std::vector<TComponent*>& Loaded);
  friend bool InitInheritedComponent(TComponent* Instance, TClass RootAncestor);
  void ensureParsed();
  TComponent* readComponent(const qv::classlib::TFormObject& Node);
  TComponent* findExisting(const qv::classlib::TFormObject& Node, TClass AClass, bool Inherited);
  void readProperty(TObject* Instance, const qv::classlib::TFormProp& Prop);
  void readPropValue(TObject* Instance, PPropInfo Info, const qv::classlib::TFormValue& Value);
  bool readDefined(TObject* Instance, const std::string& Name, const qv::classlib::TFormValue& Value);
  void readCollectionValue(TCollection* Collection, const qv::classlib::TFormValue& Value);
  const qv::classlib::TFormValue& takeValue();
  void fixupReferences();
  TComponent* resolveReference(const std::string& Name) const;
  std::string instanceName(TObject* Instance) const;

  std::string FText;
  bool FParsed = false;
  std::unique_ptr<qv::classlib::TFormObject> FTree;
  std::vector<const qv::classlib::TFormObject*> FNodes;
  TComponent* FOwner = nullptr;
  TComponent* FParent = nullptr;
  std::vector<TComponent*>* FLoaded = nullptr;
  std::vector<Fixup> FFixups;
  int FDataDepth = 0;
  int FPropDepth = 0;
  int FLine = 0;
  // The value of the property being read and the lists opened in it.
  const qv::classlib::TFormValue* FValue = nullptr;
  bool FValueTaken = false;
  std::vector<Cursor> FLists;
  // Name of the defined property being looked for, empty once handled.
  std::string FPropName;
};

class TWriter : public TFiler {
  QV_CLASS(TWriter, TFiler)
  explicit TWriter(TStream* Stream) : TFiler(Stream) {}

  // The root with its properties and children (GetChildren order). Only
  // stored properties that differ from their defaults are written.
  void WriteRootComponent(TComponent* Root);
  // One component and its children, as written inside a root.
  void WriteComponent(TComponent* Component);

  // Values of a defined property, for DefineProperties.
  void WriteListBegin();
  void WriteListEnd();
  void WriteInteger(std::int64_t Value);
  void WriteBoolean(bool Value);
  void WriteChar(char Value);
  void WriteFloat(double Value);
  void WriteString(const std::string& Value);
  void WriteIdent(const std::string& Ident);
  void WriteCollection(TCollection* Value);

  void DefineProperty(const std::string& Name, TReaderProc ReadData, TWriterProc WriteData, bool HasData) override;
  void DefineBinaryProperty(const std::string& Name, TStreamProc ReadData, TStreamProc WriteData,
                            bool HasData) override;

 private:
  void writeComponent(TComponent* Component, int Level);
  void writeProperties(TObject* Instance, int Level, const std::string& Prefix);
  void writeProperty(TObject* Instance, PPropInfo Info, int Level, const std::string& Prefix);
  void beginProperty(int Level, const std::string& Name);
  void endProperty();
  void beginValue();
  std::string referenceName(TComponent* Component) const;
  void flush();

  std::string FOut;
  int FLevel = 0;      // indentation level of the property being written
  int FListDepth = 0;  // lists open in it
  std::string FPrefix;  // "Font." while writing Font's properties
};

// A resource of the program or a module as a read-only stream.
// EResNotFound "Resource %s not found" when there is none.
class TResourceStream : public TCustomMemoryStream {
  QV_CLASS(TResourceStream, TCustomMemoryStream)
  TResourceStream(HINSTANCE Instance, const std::string& ResName, LPCSTR ResType);
  // Resources cannot be changed: EStreamError "Can't write to a read-only resource stream".
  int Write(const void* Buffer, int Count) override;
};

// The module whose resources stand for Instance's: the resource module set
// with SetResourceInstance for the program, else Instance itself.
HINSTANCE FindResourceHInstance(HINSTANCE Instance);
// Reads the RCDATA resource ResName of module HInst into Instance (created
// from the form's class when null); false when the resource is absent.
bool InternalReadComponentRes(const std::string& ResName, HINSTANCE HInst, TComponent*& Instance);
// The same from the program's resources; EResNotFound when absent.
TComponent* ReadComponentRes(const std::string& ResName, TComponent* Instance);
// Reads the form resource of every class from just below RootAncestor down
// to Instance's own class, each named by its class name in upper case
// ("TBROWSERWINDOW"), with Loaded called once on all components at the end;
// false when no class had a resource.
bool InitInheritedComponent(TComponent* Instance, TClass RootAncestor);
