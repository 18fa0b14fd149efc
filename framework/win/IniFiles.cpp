#include "IniFiles.h"

using namespace IniConsts;

// ---------------------------------------------------------------------------------------------
// TCustomIniFile

LongInt TCustomIniFile::ReadInteger(const std::string& Section, const std::string& Ident, LongInt Default) {
    std::string S = ReadString(Section, Ident, "");
    if (S.size() > 2 && S[0] == '0' && (S[1] == 'x' || S[1] == 'X'))
        S = "$" + S.substr(2);
    return StrToIntDef(S, Default);
}

void TCustomIniFile::WriteInteger(const std::string& Section, const std::string& Ident, LongInt Value) {
    WriteString(Section, Ident, IntToStr(Value));
}

bool TCustomIniFile::ReadBool(const std::string& Section, const std::string& Ident, bool Default) {
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const std::string& Section, const std::string& Ident, bool Value) {
    WriteString(Section, Ident, Value ? "1" : "0");
}

namespace {
// The value through a conversion of the user's settings; the default when it is missing or does not
// convert.
template <class T, class F>
T ReadConverted(TCustomIniFile& Ini, const std::string& Section, const std::string& Ident, T Default, F TryConvert) {
    std::string S = Ini.ReadString(Section, Ident, "");
    T Value;
    return !S.empty() && TryConvert(S, Value) ? Value : Default;
}
}  // namespace

double TCustomIniFile::ReadFloat(const std::string& Section, const std::string& Ident, double Default) {
    return ReadConverted(*this, Section, Ident, Default, [](const std::string& S, double& V) { return TryStrToFloat(S, V); });
}

TDateTime TCustomIniFile::ReadDate(const std::string& Section, const std::string& Ident, TDateTime Default) {
    return ReadConverted(*this, Section, Ident, Default,
                         [](const std::string& S, TDateTime& V) { return TryStrToDate(S, V); });
}

TDateTime TCustomIniFile::ReadDateTime(const std::string& Section, const std::string& Ident, TDateTime Default) {
    return ReadConverted(*this, Section, Ident, Default,
                         [](const std::string& S, TDateTime& V) { return TryStrToDateTime(S, V); });
}

TDateTime TCustomIniFile::ReadTime(const std::string& Section, const std::string& Ident, TDateTime Default) {
    return ReadConverted(*this, Section, Ident, Default,
                         [](const std::string& S, TDateTime& V) { return TryStrToTime(S, V); });
}

void TCustomIniFile::WriteFloat(const std::string& Section, const std::string& Ident, double Value) {
    WriteString(Section, Ident, FloatToStr(Value));
}

void TCustomIniFile::WriteDate(const std::string& Section, const std::string& Ident, TDateTime Value) {
    WriteString(Section, Ident, DateToStr(Value));
}

void TCustomIniFile::WriteDateTime(const std::string& Section, const std::string& Ident, TDateTime Value) {
    WriteString(Section, Ident, DateTimeToStr(Value));
}

void TCustomIniFile::WriteTime(const std::string& Section, const std::string& Ident, TDateTime Value) {
    WriteString(Section, Ident, TimeToStr(Value));
}

bool TCustomIniFile::SectionExists(const std::string& Section) {
    TStringList S;
    ReadSection(Section, &S);
    return S.Count() > 0;
}

bool TCustomIniFile::ValueExists(const std::string& Section, const std::string& Ident) {
    TStringList S;
    ReadSection(Section, &S);
    return S.IndexOf(Ident) >= 0;
}

// ---------------------------------------------------------------------------------------------
// TIniFile

namespace {
// A profile call into a buffer that grows until the answer fits: Call(Buffer, Size) gives the
// system's count, which is Size - Reserve when the text was cut.
template <class F>
std::string ProfileText(F Call, DWORD Reserve) {
    std::string Buf(2048, '\0');
    while (true) {
        DWORD N = Call(Buf.data(), static_cast<DWORD>(Buf.size()));
        if (N + Reserve < Buf.size() || Buf.size() >= (1u << 26)) {
            Buf.resize(N);
            return Buf;
        }
        Buf.assign(Buf.size() * 2, '\0');
    }
}

// The NUL-separated names of a profile list.
void AddNames(const std::string& List, TStrings* Strings) {
    size_t P = 0;
    while (P < List.size()) {
        size_t E = List.find('\0', P);
        if (E == std::string::npos)
            E = List.size();
        if (E > P)
            Strings->Add(List.substr(P, E - P));
        P = E + 1;
    }
}
}  // namespace

std::string TIniFile::ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) {
    return ProfileText(
        [&](char* Buf, DWORD Size) {
            return GetPrivateProfileStringA(Section.c_str(), Ident.c_str(), Default.c_str(), Buf, Size, FileName().c_str());
        },
        1);
}

void TIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) {
    if (!WritePrivateProfileStringA(Section.c_str(), Ident.c_str(), Value.c_str(), FileName().c_str()))
        throw EIniFileException(SIniFileWriteError, {FileName()});
}

void TIniFile::ReadSection(const std::string& Section, TStrings* Strings) {
    std::string List = ProfileText(
        [&](char* Buf, DWORD Size) {
            return GetPrivateProfileStringA(Section.c_str(), nullptr, "", Buf, Size, FileName().c_str());
        },
        2);
    TUpdateGuard Update(Strings);
    Strings->Clear();
    AddNames(List, Strings);
}

void TIniFile::ReadSections(TStrings* Strings) {
    std::string List = ProfileText(
        [&](char* Buf, DWORD Size) { return GetPrivateProfileStringA(nullptr, nullptr, "", Buf, Size, FileName().c_str()); },
        2);
    TUpdateGuard Update(Strings);
    Strings->Clear();
    AddNames(List, Strings);
}

void TIniFile::ReadSectionValues(const std::string& Section, TStrings* Strings) {
    TStringList Keys;
    ReadSection(Section, &Keys);
    TUpdateGuard Update(Strings);
    Strings->Clear();
    for (int I = 0; I < Keys.Count(); ++I)
        Strings->Add(Keys[I] + "=" + ReadString(Section, Keys[I], ""));
}

void TIniFile::EraseSection(const std::string& Section) {
    if (!WritePrivateProfileStringA(Section.c_str(), nullptr, nullptr, FileName().c_str()))
        throw EIniFileException(SIniFileWriteError, {FileName()});
}

void TIniFile::DeleteKey(const std::string& Section, const std::string& Ident) {
    WritePrivateProfileStringA(Section.c_str(), Ident.c_str(), nullptr, FileName().c_str());
}

void TIniFile::UpdateFile() { WritePrivateProfileStringA(nullptr, nullptr, nullptr, FileName().c_str()); }

// ---------------------------------------------------------------------------------------------
// TMemIniFile

TMemIniFile::TMemIniFile(std::string FileName) : TCustomIniFile(std::move(FileName)) { LoadValues(); }

TMemIniFile::~TMemIniFile() { Clear(); }

void TMemIniFile::Clear() {
    for (int I = 0; I < FSections.Count(); ++I)
        delete FSections.Objects(I);
    FSections.Clear();
}

void TMemIniFile::LoadValues() {
    if (!FileName().empty() && FileExists(FileName())) {
        TStringList List;
        List.LoadFromFile(FileName());
        SetStrings(&List);
    } else
        Clear();
}

void TMemIniFile::Rename(const std::string& NewName, bool Reload) {
    SetFileName(NewName);
    if (Reload)
        LoadValues();
}

TStringList* TMemIniFile::Section(const std::string& Name, bool Create) {
    int I = FSections.IndexOf(Name);
    if (I >= 0)
        return static_cast<TStringList*>(FSections.Objects(I));
    if (!Create)
        return nullptr;
    auto* Lines = new TStringList;
    FSections.AddObject(Name, Lines);
    return Lines;
}

void TMemIniFile::SetStrings(TStrings* List) {
    Clear();
    TStringList* Current = nullptr;
    for (int I = 0; I < List->Count(); ++I) {
        std::string S = Trim(List->Strings(I));
        if (S.empty() || S[0] == ';')
            continue;
        if (S.size() >= 2 && S[0] == '[' && S.back() == ']')
            Current = Section(Trim(S.substr(1, S.size() - 2)), true);
        else if (Current) {
            size_t J = S.find('=');
            Current->Add(J == std::string::npos ? S : Trim(S.substr(0, J)) + "=" + Trim(S.substr(J + 1)));
        }
    }
}

void TMemIniFile::GetStrings(TStrings* List) {
    TUpdateGuard Update(List);
    List->Clear();
    for (int I = 0; I < FSections.Count(); ++I) {
        List->Add("[" + FSections[I] + "]");
        List->AddStrings(static_cast<TStringList*>(FSections.Objects(I)));
        List->Add("");
    }
}

void TMemIniFile::UpdateFile() {
    TStringList List;
    GetStrings(&List);
    List.SaveToFile(FileName());
}

std::string TMemIniFile::ReadString(const std::string& SectionName, const std::string& Ident, const std::string& Default) {
    TStringList* Lines = Section(SectionName, false);
    if (!Lines)
        return Default;
    int I = Lines->IndexOfName(Ident);
    return I >= 0 ? Lines->ValueFromIndex(I) : Default;
}

void TMemIniFile::WriteString(const std::string& SectionName, const std::string& Ident, const std::string& Value) {
    TStringList* Lines = Section(SectionName, true);
    std::string S = Ident + "=" + Value;
    int I = Lines->IndexOfName(Ident);
    if (I >= 0)
        Lines->SetStrings(I, S);
    else
        Lines->Add(S);
}

void TMemIniFile::ReadSection(const std::string& SectionName, TStrings* Strings) {
    TUpdateGuard Update(Strings);
    Strings->Clear();
    if (TStringList* Lines = Section(SectionName, false))
        for (int I = 0; I < Lines->Count(); ++I)
            if (Lines->Strings(I).find('=') != std::string::npos)
                Strings->Add(Lines->Names(I));
}

void TMemIniFile::ReadSections(TStrings* Strings) {
    TUpdateGuard Update(Strings);
    Strings->Clear();
    for (int I = 0; I < FSections.Count(); ++I)
        Strings->Add(FSections[I]);
}

void TMemIniFile::ReadSectionValues(const std::string& SectionName, TStrings* Strings) {
    TUpdateGuard Update(Strings);
    Strings->Clear();
    if (TStringList* Lines = Section(SectionName, false))
        Strings->AddStrings(Lines);
}

void TMemIniFile::EraseSection(const std::string& SectionName) {
    int I = FSections.IndexOf(SectionName);
    if (I >= 0) {
        delete FSections.Objects(I);
        FSections.Delete(I);
    }
}

void TMemIniFile::DeleteKey(const std::string& SectionName, const std::string& Ident) {
    if (TStringList* Lines = Section(SectionName, false)) {
        int I = Lines->IndexOfName(Ident);
        if (I >= 0)
            Lines->Delete(I);
    }
}

// ---------------------------------------------------------------------------------------------
// TRegistryIniFile

TRegistryIniFile::TRegistryIniFile(const std::string& FileName, REGSAM AAccess)
    : TCustomIniFile(FileName), FRegIniFile(FileName, AAccess) {}

std::string TRegistryIniFile::ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) {
    return FRegIniFile.ReadString(Section, Ident, Default);
}

void TRegistryIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) {
    FRegIniFile.WriteString(Section, Ident, Value);
}

LongInt TRegistryIniFile::ReadInteger(const std::string& Section, const std::string& Ident, LongInt Default) {
    return FRegIniFile.ReadInteger(Section, Ident, Default);
}

void TRegistryIniFile::WriteInteger(const std::string& Section, const std::string& Ident, LongInt Value) {
    if (!FRegIniFile.InSection(Section, true, [&] { FRegIniFile.TRegistry::WriteInteger(Ident, Value); }))
        throw ERegistryException(RegConsts::SRegCreateFailed, {Section});
}

void TRegistryIniFile::ReadSection(const std::string& Section, TStrings* Strings) { FRegIniFile.ReadSection(Section, Strings); }
void TRegistryIniFile::ReadSections(TStrings* Strings) { FRegIniFile.ReadSections(Strings); }
void TRegistryIniFile::ReadSectionValues(const std::string& Section, TStrings* Strings) {
    FRegIniFile.ReadSectionValues(Section, Strings);
}
void TRegistryIniFile::EraseSection(const std::string& Section) { FRegIniFile.EraseSection(Section); }
void TRegistryIniFile::DeleteKey(const std::string& Section, const std::string& Ident) {
    FRegIniFile.DeleteKey(Section, Ident);
}

bool TRegistryIniFile::ValueExists(const std::string& Section, const std::string& Ident) {
    bool Found = false;
    FRegIniFile.InSection(Section, false, [&] { Found = FRegIniFile.TRegistry::ValueExists(Ident); });
    return Found;
}
