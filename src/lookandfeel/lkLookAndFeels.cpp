#include "lookandfeel/lkLookAndFeels.h"

#include <algorithm>

namespace {

TlkLookAndFeel* Root = nullptr;

bool supportsLookAndFeelContainer(TObject* AObject) {
  auto* unknown = dynamic_cast<IUnknown*>(AObject);
  if (!unknown) return false;
  void* container = nullptr;
  if (FAILED(unknown->QueryInterface(IID_IlkLookAndFeelContainer, &container)) || !container) return false;
  static_cast<IUnknown*>(container)->Release();
  return true;
}

bool isController(IlkLookAndFeelChangeListener* AListener) {
  return dynamic_cast<TlkLookAndFeelController*>(AListener->GetObject()) != nullptr;
}

}  // namespace

TlkSupportsInterfaceProc lkSupportsLookAndFeelContainer = nullptr;
bool lkSkinsEnabled = true;

TlkLookAndFeel* RootLookAndFeel() { return Root; }

// ---------------------------------------------------------------------------
// TlkLookAndFeel

TlkLookAndFeel::TlkLookAndFeel(TPersistent* AOwner) : TlkLookAndFeel(AOwner, false) {}

TlkLookAndFeel::TlkLookAndFeel(TPersistent* AOwner, bool AIsRoot) : TlkInterfacedPersistent(AOwner) {
  FIsRoot = AIsRoot;
  FSystemPaletteNotifier = new TlkSystemPaletteChangedNotifier(false);
  FSystemPaletteNotifier->OnSystemPaletteChanged = [this] { SystemPaletteChanged(); };
  if (!FIsRoot && Root) {
    Root->AddChangeListener(this);
    IsVisualSkinAvailable(GetEffectiveSkinName(), FSkinPainter);
  }
  FPainter = PainterForThemeMask(0);
}

TlkLookAndFeel::~TlkLookAndFeel() {
  if (TlkExtendedStylePainters* named = NamedPainterList()) named->RemovePainterListener(this);
  FreeAndNil(FSystemPaletteNotifier);
  FDestroying = true;
  // Every slave leaves this list from inside the call (it falls back to the
  // root); the copy keeps the walk steady.
  const std::vector<IlkLookAndFeelChangeListener*> listeners = FChangeListeners;
  for (IlkLookAndFeelChangeListener* listener : listeners)
    if (std::find(FChangeListeners.begin(), FChangeListeners.end(), listener) != FChangeListeners.end())
      listener->MasterLookAndFeelDestroying(this);
  FChangeListeners.clear();
  if (TlkLookAndFeel* master = Master()) master->RemoveChangeListener(this);
  if (FIsRoot && Root == this) Root = nullptr;
}

bool TlkLookAndFeel::GetInterface(REFIID IID, void** Obj) {
  if (IID == IID_IlkLookAndFeelChangeListener) {
    *Obj = static_cast<IlkLookAndFeelChangeListener*>(this);
    return true;
  }
  if (IID == IID_IlkLookAndFeelPainterListener) {
    *Obj = static_cast<IlkLookAndFeelPainterListener*>(this);
    return true;
  }
  return inherited::GetInterface(IID, Obj);
}

void TlkLookAndFeel::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TlkLookAndFeel*>(Source);
  if (!source) {
    inherited::Assign(Source);
    return;
  }
  SaveValues();
  FData = source->FData;
  FAssignedValues = source->FAssignedValues;
  if (!FIsRoot && AcceptsMaster(source->FMaster)) ChangeMaster(source->FMaster);
  CompareAndAnnounce();
}

TlkLookAndFeelKind TlkLookAndFeel::GetEffectiveKind() const {
  if (FAssignedValues.Contains(lfvKind)) return FData.Kind;
  if (const TlkLookAndFeel* master = Master()) return master->GetEffectiveKind();
  return lfUltraFlat;
}

bool TlkLookAndFeel::GetEffectiveNativeStyle() const {
  if (FAssignedValues.Contains(lfvNativeStyle)) return FData.NativeStyle;
  if (const TlkLookAndFeel* master = Master()) return master->GetEffectiveNativeStyle();
  return false;
}

std::string TlkLookAndFeel::GetEffectiveSkinName() const {
  if (FAssignedValues.Contains(lfvSkinName)) return FData.SkinName;
  if (const TlkLookAndFeel* master = Master()) return master->GetEffectiveSkinName();
  return {};
}

TlkLookAndFeelData TlkLookAndFeel::EffectiveValues() const {
  return {GetEffectiveKind(), GetEffectiveNativeStyle(), GetEffectiveSkinName()};
}

void TlkLookAndFeel::SetKind(TlkLookAndFeelKind Value) {
  SaveValues();
  FAssignedValues.Include(lfvKind);
  FData.Kind = Value;
  CompareAndAnnounce();
}

void TlkLookAndFeel::SetNativeStyle(bool Value) {
  SaveValues();
  FAssignedValues.Include(lfvNativeStyle);
  FData.NativeStyle = Value;
  CompareAndAnnounce();
}

void TlkLookAndFeel::SetSkinName(const std::string& Value) {
  SaveValues();
  FAssignedValues.Include(lfvSkinName);
  FData.SkinName = Value;
  CompareAndAnnounce();
}

void TlkLookAndFeel::SetAssignedValues(TlkLookAndFeelValues Value) {
  if (Value == FAssignedValues) return;
  SaveValues();
  FAssignedValues = Value;
  CompareAndAnnounce();
}

TlkLookAndFeel* TlkLookAndFeel::Master() const {
  if (FIsRoot) return nullptr;
  return FMaster ? FMaster : Root;
}

bool TlkLookAndFeel::AcceptsMaster(TlkLookAndFeel* Value) const {
  if (Value == this || Value == Master()) return false;
  for (const TlkLookAndFeel* m = Value; m; m = m->FMaster)
    if (m == this) return false;
  return true;
}

void TlkLookAndFeel::ChangeMaster(TlkLookAndFeel* Value) {
  if (TlkLookAndFeel* old = Master()) old->RemoveChangeListener(this);
  FMaster = Value;
  if (TlkLookAndFeel* master = Master()) master->AddChangeListener(this);
}

void TlkLookAndFeel::SetMaster(TlkLookAndFeel* Value) {
  if (FIsRoot || !AcceptsMaster(Value)) return;
  SaveValues();
  ChangeMaster(Value);
  CompareAndAnnounce();
}

TlkLookAndFeelPainterClass TlkLookAndFeel::PainterOfKind() const {
  switch (GetEffectiveKind()) {
    case lfFlat: return TlkFlatLookAndFeelPainter::Class();
    case lfStandard: return TlkStandardLookAndFeelPainter::Class();
    case lfOffice11: return TlkOffice11LookAndFeelPainter::Class();
    case lfUltraFlat: break;
  }
  return TlkUltraFlatLookAndFeelPainter::Class();
}

TlkLookAndFeelPainterClass TlkLookAndFeel::PainterForThemeKind(TuiThemeKind AKind) const {
  if (GetEffectiveNativeStyle() && IsThemeKindAvailable(AKind)) return TlkWinXPLookAndFeelPainter::Class();
  if (TlkLookAndFeelPainterClass skin = GetEffectiveSkinPainter()) return skin;
  return PainterOfKind();
}

TlkLookAndFeelPainterClass TlkLookAndFeel::PainterForThemeMask(DWORD AMask) const {
  if (GetEffectiveNativeStyle() && AreThemesAvailable(AMask)) return TlkWinXPLookAndFeelPainter::Class();
  if (TlkLookAndFeelPainterClass skin = GetEffectiveSkinPainter()) return skin;
  return PainterOfKind();
}

bool TlkLookAndFeel::IsVisualSkinAvailable(const std::string& AName, TlkLookAndFeelPainterClass& APainter) const {
  APainter = nullptr;
  TlkExtendedStylePainters* named = NamedPainterList();
  if (AName.empty() || !named) return false;
  TlkLookAndFeelPainterClass found = nullptr;
  if (!named->FindPainterByName(AName, found)) return false;
  if (lkSkinsEnabled) APainter = found;
  return true;
}

void TlkLookAndFeel::CompareAndAnnounce() {
  const TlkLookAndFeelData now = EffectiveValues();
  TlkLookAndFeelValues changed;
  if (now.Kind != FSavedValues.Kind) changed.Include(lfvKind);
  if (now.NativeStyle != FSavedValues.NativeStyle) changed.Include(lfvNativeStyle);
  if (now.SkinName != FSavedValues.SkinName) changed.Include(lfvSkinName);
  Changed(changed);
}

void TlkLookAndFeel::UpdateSkinPainterListening() {
  TlkExtendedStylePainters* named = NamedPainterList();
  if (!named) return;
  if (FSkinPainter)
    named->AddPainterListener(this);
  else
    named->RemovePainterListener(this);
}

void TlkLookAndFeel::Changed(TlkLookAndFeelValues AChangedValues) {
  if (AChangedValues.Empty() || FDestroying) return;
  FSkinPainter = nullptr;
  if (!GetEffectiveNativeStyle()) IsVisualSkinAvailable(GetEffectiveSkinName(), FSkinPainter);
  FPainter = PainterForThemeMask(0);
  UpdateSkinPainterListening();
  // A listener added meanwhile hears of the next change only; one removed
  // meanwhile (perhaps freed) is not called.
  const std::vector<IlkLookAndFeelChangeListener*> listeners = FChangeListeners;
  for (IlkLookAndFeelChangeListener* listener : listeners)
    if (std::find(FChangeListeners.begin(), FChangeListeners.end(), listener) != FChangeListeners.end())
      listener->MasterLookAndFeelChanged(this, AChangedValues);
  if (OnChanged) OnChanged(this, AChangedValues);
}

void TlkLookAndFeel::AddChangeListener(IlkLookAndFeelChangeListener* AListener) {
  if (!AListener || FDestroying) return;
  if (isController(AListener) && !FIsRoot) return;
  if (std::find(FChangeListeners.begin(), FChangeListeners.end(), AListener) != FChangeListeners.end()) return;
  FChangeListeners.push_back(AListener);
}

void TlkLookAndFeel::RemoveChangeListener(IlkLookAndFeelChangeListener* AListener) {
  auto it = std::find(FChangeListeners.begin(), FChangeListeners.end(), AListener);
  if (it == FChangeListeners.end()) return;
  FChangeListeners.erase(it);
  // The root keeps what controllers assigned only while one of them lives.
  if (FIsRoot && !FDestroying && isController(AListener) &&
      std::none_of(FChangeListeners.begin(), FChangeListeners.end(), isController))
    SetAssignedValues({});
}

void TlkLookAndFeel::MasterLookAndFeelChanged(TlkLookAndFeel* Sender, TlkLookAndFeelValues AChangedValues) {
  (void)Sender;
  Changed(AChangedValues - FAssignedValues);
}

void TlkLookAndFeel::MasterLookAndFeelDestroying(TlkLookAndFeel* Sender) {
  (void)Sender;
  SetMaster(nullptr);
}

void TlkLookAndFeel::PainterChanged() { Changed({lfvSkinName}); }

void TlkLookAndFeel::SystemPaletteChanged() { Changed({lfvNativeStyle}); }

// ---------------------------------------------------------------------------
// TlkLookAndFeelController

TlkLookAndFeelController::TlkLookAndFeelController(TComponent* AOwner) : TComponent(AOwner) {
  if (Root) Root->AddChangeListener(this);
}

TlkLookAndFeelController::~TlkLookAndFeelController() {
  if (Root) Root->RemoveChangeListener(this);
}

HRESULT TlkLookAndFeelController::QueryInterface(REFIID riid, void** ppvObject) {
  if (!ppvObject) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IlkLookAndFeelChangeListener) {
    *ppvObject = static_cast<IlkLookAndFeelChangeListener*>(this);
    return S_OK;
  }
  *ppvObject = nullptr;
  return E_NOINTERFACE;
}

TlkLookAndFeelKind TlkLookAndFeelController::Kind() const { return Root ? Root->Kind() : lfUltraFlat; }

void TlkLookAndFeelController::SetKind(TlkLookAndFeelKind Value) {
  if (Root) Root->SetKind(Value);
}

bool TlkLookAndFeelController::NativeStyle() const { return Root && Root->NativeStyle(); }

void TlkLookAndFeelController::SetNativeStyle(bool Value) {
  if (Root) Root->SetNativeStyle(Value);
}

std::string TlkLookAndFeelController::SkinName() const { return Root ? Root->SkinName() : std::string(); }

void TlkLookAndFeelController::SetSkinName(const std::string& Value) {
  if (Root) Root->SetSkinName(Value);
}

void TlkLookAndFeelController::MasterLookAndFeelChanged(TlkLookAndFeel* Sender,
                                                        TlkLookAndFeelValues AChangedValues) {
  (void)Sender;
  (void)AChangedValues;
}

void TlkLookAndFeelController::MasterLookAndFeelDestroying(TlkLookAndFeel* Sender) { (void)Sender; }

// ---------------------------------------------------------------------------
namespace lkLookAndFeels {

void Initialize() {
  RegisterClass(TlkLookAndFeelController::StaticClass());
  Root = new TlkLookAndFeel(nullptr, true);
  lkSupportsLookAndFeelContainer = &supportsLookAndFeelContainer;
}

void Finalize() {
  lkSupportsLookAndFeelContainer = nullptr;
  delete Root;  // clears Root
  Root = nullptr;
  UnRegisterClass(TlkLookAndFeelController::StaticClass());
}

}  // namespace lkLookAndFeels

namespace {
const qv::classlib::TUnitInfo* const kUses[] = {&lkClassesUnit, &uiThemeManagerUnit, &lkLookAndFeelPaintersUnit};
}  // namespace

const qv::classlib::TUnitInfo lkLookAndFeelsUnit{"lkLookAndFeels", kUses, &lkLookAndFeels::Initialize,
                                                 &lkLookAndFeels::Finalize};
