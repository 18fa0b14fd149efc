#include "LMDIniCtrl.h"

#include "LMDSysIn.h"
#include "SysUtils.h"

void TLMDIniCtrl::DefineClass(TClassBuilder<TLMDIniCtrl>& B) {
    using C = TLMDIniCtrl;
    B.Property("About", &C::About, &C::SetAbout).Stored(false);
    B.Property("AlphaCounter", &C::AlphaCounter, &C::SetAlphaCounter).Default(false);
    B.Property("Common", &C::Common, &C::SetCommon).Default(true);
    B.Property("IniFile", &C::IniFile, &C::SetIniFile);
    B.Property("IniPrefix", &C::IniPrefix, &C::SetIniPrefix).Default(ppWindows);
    B.Property("MaxEntries", &C::MaxEntries, &C::SetMaxEntries).Default(16);
    B.Property("NetUser", &C::NetUser, &C::SetNetUser).Default(false);
    B.Property("User", &C::User, &C::SetUser);
    B.Property("RegPath", &C::RegPath, &C::SetRegPath);
    B.Property("RegRoot", &C::RegRoot, &C::SetRegRoot).Default(rpCurrentUser);
    B.Property("Target", &C::Target, &C::SetTarget).Default(itAuto);
    B.Property("EncKey", &C::EncKey, &C::SetEncKey).Default(DefaultEncKey);
    B.Property("Encoded", &C::Encoded, &C::SetEncoded).Default(false);
}

std::string TLMDIniCtrl::UserNameSource() { return CurrentUserName(); }

void TLMDIniCtrl::SetAlphaCounter(bool Value) {
    if (Value == FAlphaCounter)
        return;
    FAlphaCounter = Value;
    if (Value && FMaxEntries > AlphaEntries)
        FMaxEntries = AlphaEntries;
}

void TLMDIniCtrl::SetIniFile(const std::string& Value) {
    FIniFile = ExtractFileExt(Value).empty() ? Value + ".INI" : Value;
}

void TLMDIniCtrl::SetMaxEntries(Byte Value) {
    if (Value != FMaxEntries && (!FAlphaCounter || Value <= AlphaEntries))
        FMaxEntries = Value;
}

void TLMDIniCtrl::SetNetUser(bool Value) {
    if (Value == FNetUser)
        return;
    FNetUser = Value;
    if (Value)
        FUser = UserNameSource();
}

void TLMDIniCtrl::SetTarget(TLMDIniTarget Value) {
    if (Value == FTarget)
        return;
    FTarget = Value;
    FEffectiveTarget = Value == itAuto ? itRegistry : Value;
}
