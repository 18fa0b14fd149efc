#include "IdStackBSDBase.h"

namespace {
TIdStackBSDBase* CurrentBSDStack = nullptr;
}

TIdStackBSDBase::TIdStackBSDBase() : FLocalAddresses(Create<TStringList>()) { CurrentBSDStack = this; }

TIdStackBSDBase::~TIdStackBSDBase() {
    if (CurrentBSDStack == this)
        CurrentBSDStack = nullptr;
}

TStrings* TIdStackBSDBase::LocalAddresses() {
    if (FLocalAddresses->Count() == 0)
        PopulateLocalAddresses();
    return FLocalAddresses.get();
}

TIdStackBSDBase* GBSDStack() { return CurrentBSDStack; }
