// Settings for where and how the second component library would store values: an INI file or the
// registry, a path prefix, a user and a number of entries. It only holds them.
#pragma once

#include "LMDCustomComponent.h"
#include "lmdprocs.h"

DECLARE_ENUM(TLMDRegRootKey, rpClassesRoot, rpCurrentUser, rpLocalMachine, rpUsers, rpCurrentConfig, rpDynData)
DECLARE_ENUM(TLMDIniTarget, itIniFile, itRegistry, itAuto)

class TLMDIniCtrl : public TLMDCustomComponent {
    DECLARE_CLASS(TLMDIniCtrl, TLMDCustomComponent)
public:
    static constexpr Word DefaultEncKey = 0x5A3C;
    static constexpr int AlphaEntries = 26;  // one entry per letter

    explicit TLMDIniCtrl(TComponent* AOwner) : TLMDCustomComponent(AOwner) {}
    static void DefineClass(TClassBuilder<TLMDIniCtrl>& B);

    // The logged-on user's name.
    virtual std::string UserNameSource();

    const std::string& About() const { return FAbout; }
    void SetAbout(const std::string&) {}
    bool AlphaCounter() const { return FAlphaCounter; }
    void SetAlphaCounter(bool Value);
    bool Common() const { return FCommon; }
    void SetCommon(bool Value) { FCommon = Value; }
    const std::string& IniFile() const { return FIniFile; }
    void SetIniFile(const std::string& Value);
    TLMDPathPrefix IniPrefix() const { return FIniPrefix; }
    void SetIniPrefix(TLMDPathPrefix Value) { FIniPrefix = Value; }
    Byte MaxEntries() const { return FMaxEntries; }
    void SetMaxEntries(Byte Value);
    bool NetUser() const { return FNetUser; }
    void SetNetUser(bool Value);
    const std::string& User() const { return FUser; }
    void SetUser(const std::string& Value) { FUser = Value; }
    const std::string& RegPath() const { return FRegPath; }
    void SetRegPath(const std::string& Value) { FRegPath = Value; }
    TLMDRegRootKey RegRoot() const { return FRegRoot; }
    void SetRegRoot(TLMDRegRootKey Value) { FRegRoot = Value; }
    TLMDIniTarget Target() const { return FTarget; }
    void SetTarget(TLMDIniTarget Value);
    // itRegistry for itAuto, else Target.
    TLMDIniTarget EffectiveTarget() const { return FEffectiveTarget; }
    Word EncKey() const { return FEncKey; }
    void SetEncKey(Word Value) { FEncKey = Value; }
    bool Encoded() const { return FEncoded; }
    void SetEncoded(bool Value) { FEncoded = Value; }

private:
    std::string FAbout;
    bool FAlphaCounter = false;
    bool FCommon = true;
    std::string FIniFile;
    TLMDPathPrefix FIniPrefix = ppWindows;
    Byte FMaxEntries = 16;
    bool FNetUser = false;
    std::string FUser;
    std::string FRegPath;
    TLMDRegRootKey FRegRoot = rpCurrentUser;
    TLMDIniTarget FTarget = itAuto;
    TLMDIniTarget FEffectiveTarget = itRegistry;
    Word FEncKey = DefaultEncKey;
    bool FEncoded = false;
};
