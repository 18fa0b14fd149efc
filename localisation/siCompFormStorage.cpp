// The form storage: a form's placement kept under a registry key of the user's choosing.
#include "siComp.h"

#include "Forms.h"
#include "Registry.h"

namespace {
struct TPlacement {
    int Left, Top, Height, Width;
    TWindowState State;
};

TPlacement PlacementOf(TCustomForm* Form) {
    return {Form->Left(), Form->Top(), Form->Height(), Form->Width(), Form->WindowState()};
}

void PutBack(TCustomForm* Form, const TPlacement& P) {
    Form->SetBounds(P.Left, P.Top, P.Width, P.Height);
    Form->SetWindowState(P.State);
}

const char* const StateNames[] = {"Normal", "Minimized", "Maximized"};
}  // namespace

TsiFormStorage::TsiFormStorage(TComponent* AOwner) : TComponent(AOwner), FForm(As<TCustomForm>(AOwner)) {}

TsiFormStorage::~TsiFormStorage() {
    // An exception must not leave a destructor: a registry that refuses the values loses only them.
    try {
        SavePlacement();
    } catch (const Exception&) {
    }
}

void TsiFormStorage::DefineClass(TClassBuilder<TsiFormStorage>& B) {
    using C = TsiFormStorage;
    B.Property("Active", &C::Active, &C::SetActive).Default(true);
    B.Property("RegRootKey", &C::RegRootKey, &C::SetRegRootKey).Default(siHKEY_CURRENT_USER);
    B.Property("SubKey", &C::SubKey, &C::SetSubKey);
}

void TsiFormStorage::Loaded() {
    TComponent::Loaded();
    RestorePlacement();
}

void TsiFormStorage::SetRegRootKey(TMyHKeyType Value) {
    if (Value == FRegRootKey)
        return;
    static const HKEY Roots[] = {HKEY_CURRENT_USER, HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE,
                                 HKEY_USERS,        HKEY_CURRENT_CONFIG, HKEY_DYN_DATA};
    FRegRootKey = Value;
    FRootKey = Roots[Value];
}

void TsiFormStorage::SavePlacement() {
    if (!FActive || Designing() || !FForm)
        return;
    TOwned<TRegistry> Reg(Create<TRegistry>());
    Reg->SetRootKey(FRootKey);
    if (!Reg->OpenKey(FSubKey, true))
        return;
    const TWindowState State = FForm->WindowState();
    Reg->WriteString("State", StateNames[State]);
    if (State != wsNormal)
        return;
    Reg->WriteInteger("Top", FForm->Top());
    Reg->WriteInteger("Left", FForm->Left());
    Reg->WriteInteger("Height", FForm->Height());
    Reg->WriteInteger("Width", FForm->Width());
}

void TsiFormStorage::RestorePlacement() {
    if (!FActive || Designing() || !FForm)
        return;
    const TPlacement Saved = PlacementOf(FForm);
    TOwned<TRegistry> Reg(Create<TRegistry>());
    Reg->SetRootKey(FRootKey);
    if (!Reg->OpenKeyReadOnly(FSubKey))
        return;
    try {
        if (!Reg->ValueExists("State") || Reg->ReadString("State").empty())
            return;
        FForm->SetTop(Reg->ReadInteger("Top"));
        FForm->SetLeft(Reg->ReadInteger("Left"));
        FForm->SetHeight(Reg->ReadInteger("Height"));
        FForm->SetWidth(Reg->ReadInteger("Width"));
        // "Normal", "Minimized", "Maximized" differ in their third letter; a shorter value names no
        // state and leaves it.
        const std::string State = Reg->ReadString("State");
        if (State.size() >= 3) {
            if (State[2] == 'n')
                FForm->SetWindowState(wsMinimized);
            else if (State[2] == 'r')
                FForm->SetWindowState(wsNormal);
            else if (State[2] == 'x')
                FForm->SetWindowState(wsMaximized);
        }
    } catch (const Exception&) {
        PutBack(FForm, Saved);
    }
}
