// The reader and writer of the binary component stream, fix-ups, and form resources.
#include "Classes.h"

#include <algorithm>
#include <cstring>

using namespace ClassesConsts;

namespace ClassesDetail {
extern thread_local bool GConstructingLoaded;
}

namespace {




// A reference waiting for its component: within the root being read, or (globally) for a root
// that has not been read yet.
struct TFixupEntry {
    TPersistent* Instance;
    PPropInfo Prop;
    std::string Name;       // "Name" or "RootName.Name"
    TComponent* Root;       // the root the reference was read in
    TComponent* Component;  // the component being read (owns Instance or is it)
};

std::vector<TFixupEntry>& GlobalFixups() {
    static std::vector<TFixupEntry> V;
    return V;
}

// The root a reference waits for: the text before the first ".", or the whole name.
std::string WaitedRootName(const std::string& Name) {
    auto Dot = Name.find('.');
    return Dot == std::string::npos ? Name : Name.substr(0, Dot);
}

bool RootIsReady(TComponent* R) { return R && !R->ComponentState().Contains(csLoading); }

// Resolves a reference; Found is false when it must wait.
TComponent* ResolveReference(const std::string& Name, TComponent* Root, bool& Found) {
    Found = true;
    auto Dot = Name.find('.');
    if (Dot == std::string::npos) {
        if (Root && SameText(Root->Name(), Name))
            return Root;
        if (Root)
            if (TComponent* C = Root->FindComponent(Name))
                return C;
        TComponent* G = FindGlobalComponent(Name);
        if (G && (RootIsReady(G) || G == Root))
            return G;
        Found = false;
        return nullptr;
    }
    std::string RootName = Name.substr(0, Dot), Rest = Name.substr(Dot + 1);
    TComponent* R = Root && SameText(Root->Name(), RootName) ? Root : FindGlobalComponent(RootName);
    if (!R || (R != Root && !RootIsReady(R))) {
        Found = false;
        return nullptr;
    }
    // Nested names ("Frame1.Button1") step through owned components.
    TComponent* C = R;
    size_t Start = 0;
    while (C && Start <= Rest.size()) {
        auto D = Rest.find('.', Start);
        C = C->FindComponent(Rest.substr(Start, D == std::string::npos ? std::string::npos : D - Start));
        if (D == std::string::npos)
            break;
        Start = D + 1;
    }
    return C;  // a missing component in a ready root leaves the property as it is
}

void ApplyFixup(const TFixupEntry& F, TComponent* Target) {
    if (Target && F.Prop->PropType->ClassType && !Target->InheritsFrom(F.Prop->PropType->ClassType))
        throw EReadError("Invalid property value: " + F.Name + " is no " + F.Prop->PropType->Name);
    if (Target)
        F.Prop->SetObj(F.Instance, Target);
}
}  // namespace

namespace ClassesDetail {
void ForgetFixups(TComponent* Component) {
    auto& V = GlobalFixups();
    V.erase(std::remove_if(V.begin(), V.end(), [&](const TFixupEntry& F) {
                return F.Component == Component || F.Root == Component || F.Instance == Component;
            }),
            V.end());
}
}  // namespace ClassesDetail

void GlobalFixupReferences() {
    auto& V = GlobalFixups();
    for (size_t I = 0; I < V.size();) {
        TComponent* R = FindGlobalComponent(WaitedRootName(V[I].Name));
        if (!RootIsReady(R)) {
            ++I;
            continue;
        }
        TFixupEntry F = V[I];
        V.erase(V.begin() + static_cast<std::ptrdiff_t>(I));
        bool Found;
        TComponent* Target = ResolveReference(F.Name, F.Root, Found);
        ApplyFixup(F, Target);
    }
}

std::vector<std::string> PendingGlobalFixupRoots() {
    std::vector<std::string> R;
    for (auto& F : GlobalFixups())
        R.push_back(WaitedRootName(F.Name));
    return R;
}

// ---------------------------------------------------------------------------------------------
// TReader

struct TReader::TFixup : TFixupEntry {};

TReader::TReader(TStream* Stream, int) : TFiler(Stream) {
    FStart = FPosition = Stream->Position();
    FSize = Stream->Size();
}

TReader::~TReader() { delete FFixups; }

void TReader::Error(const std::string& Message) {
    throw EReadError(Message + " (offset " + std::to_string(FPosition) + ")");
}

void TReader::Read(void* Buf, LongInt Count) {
    if (Count < 0 || FPosition + Count > FSize)
        Error("Stream read error: the data ends early");
    FStream->ReadBuffer(Buf, Count);
    FPosition += Count;
}

TValueType TReader::NextValue() {
    Byte B;
    Read(&B, 1);
    FStream->Seek(Int64(-1), soCurrent);
    --FPosition;
    return static_cast<TValueType>(B);
}

TValueType TReader::ReadValue() {
    Byte B;
    Read(&B, 1);
    if (B > vaUTF8String) {
        --FPosition;
        Error("Invalid value type " + std::to_string(B));
    }
    return static_cast<TValueType>(B);
}

void TReader::CheckValue(TValueType Value) {
    Int64 At = FPosition;
    TValueType V = ReadValue();
    if (V != Value) {
        FPosition = At;
        Error(SInvalidPropertyValue);
    }
}

bool TReader::EndOfList() { return NextValue() == vaNull; }
void TReader::ReadListBegin() { CheckValue(vaList); }
void TReader::ReadListEnd() { CheckValue(vaNull); }

void TReader::ReadSignature() {
    char Sig[4];
    Read(Sig, 4);
    if (std::memcmp(Sig, "TPF0", 4) != 0) {
        FPosition -= 4;
        Error(SInvalidImage);
    }
}

void TReader::ReadPrefix(TFilerFlags& Flags, int& AChildPos) {
    Flags = TFilerFlags();
    AChildPos = 0;
    Byte B;
    Read(&B, 1);
    if ((B & 0xF0) == 0xF0) {
        Flags = TFilerFlags::FromBits(B & 0x0F);
        if (Flags.Contains(ffChildPos))
            AChildPos = ReadInteger();
    } else {
        FStream->Seek(Int64(-1), soCurrent);
        --FPosition;
    }
}

std::string TReader::ReadStr() {
    Byte L;
    Read(&L, 1);
    std::string S(L, '\0');
    Read(S.data(), L);
    return S;
}

LongInt TReader::ReadInteger() {
    Int64 At = FPosition;
    switch (ReadValue()) {
    case vaInt8: {
        std::int8_t V;
        Read(&V, 1);
        return V;
    }
    case vaInt16: {
        std::int16_t V;
        Read(&V, 2);
        return V;
    }
    case vaInt32: {
        std::int32_t V;
        Read(&V, 4);
        return V;
    }
    default:
        FPosition = At;
        Error(SInvalidPropertyValue);
    }
}

Int64 TReader::ReadInt64() {
    if (NextValue() == vaInt64) {
        ReadValue();
        Int64 V;
        Read(&V, 8);
        return V;
    }
    return ReadInteger();
}

bool TReader::ReadBoolean() {
    Int64 At = FPosition;
    TValueType V = ReadValue();
    if (V == vaTrue)
        return true;
    if (V == vaFalse)
        return false;
    FPosition = At;
    Error(SInvalidPropertyValue);
}

char TReader::ReadChar() {
    Int64 At = FPosition;
    std::string S = ReadString();
    if (S.size() != 1) {
        FPosition = At;
        Error(SInvalidPropertyValue);
    }
    return S[0];
}

long double TReader::ReadFloat() {
    Int64 At = FPosition;
    switch (NextValue()) {
    case vaExtended: {
        ReadValue();
        long double V = 0;
        Read(&V, 10);
        return V;
    }
    case vaSingle:
        return ReadSingle();
    case vaCurrency:
        return static_cast<long double>(ReadCurrency()) / 10000;
    case vaDate:
        return ReadDate();
    case vaInt8:
    case vaInt16:
    case vaInt32:
        return ReadInteger();
    case vaInt64:
        return static_cast<long double>(ReadInt64());
    default:
        FPosition = At;
        Error(SInvalidPropertyValue);
    }
}

float TReader::ReadSingle() {
    CheckValue(vaSingle);
    float V;
    Read(&V, 4);
    return V;
}

Int64 TReader::ReadCurrency() {
    CheckValue(vaCurrency);
    Int64 V;
    Read(&V, 8);
    return V;
}

double TReader::ReadDate() {
    CheckValue(vaDate);
    double V;
    Read(&V, 8);
    return V;
}


std::string TReader::ReadString() {
    Int64 At = FPosition;
    switch (ReadValue()) {
    case vaString:
        return ReadStr();
    case vaLString:
        return ReadCounted(1);
    case vaWString:
    case vaUTF8String:
        FStream->Seek(At, soBeginning);
        FPosition = At;
        return WideToAnsi(ReadWideString(), FTextCodePage);
    default:
        FPosition = At;
        Error(SInvalidPropertyValue);
    }
}

std::wstring TReader::ReadWideString() {
    Int64 At = FPosition;
    switch (ReadValue()) {
    case vaWString: {
        std::string B = ReadCounted(2);
        std::wstring W(B.size() / 2, L'\0');
        std::memcpy(W.data(), B.data(), B.size());
        return W;
    }
    case vaUTF8String:
        return UTF8Decode(ReadCounted(1));
    case vaString:
    case vaLString:
        FStream->Seek(At, soBeginning);
        FPosition = At;
        return AnsiToWide(ReadString(), FTextCodePage);
    default:
        FPosition = At;
        Error(SInvalidPropertyValue);
    }
}

std::string TReader::ReadCounted(int UnitSize) {
    LongInt L;
    Read(&L, 4);
    if (L < 0 || Int64(L) * UnitSize > FSize - FPosition)
        Error("Invalid length " + std::to_string(L));
    std::string S(static_cast<size_t>(L) * static_cast<size_t>(UnitSize), '\0');
    Read(S.data(), static_cast<LongInt>(S.size()));
    return S;
}

std::string TReader::ReadIdent() {
    Int64 At = FPosition;
    switch (ReadValue()) {
    case vaIdent:
        return ReadStr();
    case vaFalse:
        return "False";
    case vaTrue:
        return "True";
    case vaNil:
        return "nil";
    case vaNull:
        return "Null";
    default:
        FPosition = At;
        Error(SInvalidPropertyValue);
    }
}

void TReader::SkipValue() {
    Int64 At = FPosition;
    auto Skip = [&](LongInt N) {
        if (N < 0 || FPosition + N > FSize)
            Error("Stream read error: the data ends early");
        FStream->Seek(Int64(N), soCurrent);
        FPosition += N;
    };
    switch (ReadValue()) {
    case vaNull:
    case vaFalse:
    case vaTrue:
    case vaNil:
        break;
    case vaList:
        while (!EndOfList())
            SkipValue();
        ReadListEnd();
        break;
    case vaInt8:
        Skip(1);
        break;
    case vaInt16:
        Skip(2);
        break;
    case vaInt32:
    case vaSingle:
        Skip(4);
        break;
    case vaExtended:
        Skip(10);
        break;
    case vaCurrency:
    case vaDate:
    case vaInt64:
        Skip(8);
        break;
    case vaString:
    case vaIdent:
        ReadStr();
        break;
    case vaLString:
    case vaBinary:
    case vaUTF8String: {
        LongInt L;
        Read(&L, 4);
        Skip(L);
        break;
    }
    case vaWString:
        ReadCounted(2);
        break;
    case vaSet:
        while (!ReadStr().empty()) {
        }
        break;
    case vaCollection:
        while (!EndOfList()) {
            if (NextValue() == vaInt8 || NextValue() == vaInt16 || NextValue() == vaInt32)
                ReadInteger();
            ReadListBegin();
            while (!EndOfList()) {
                ReadStr();
                SkipValue();
            }
            ReadListEnd();
        }
        ReadListEnd();
        break;
    default:
        FPosition = At;
        Error(SInvalidPropertyValue);
    }
}

std::string TReader::FindUniqueName(const std::string& Name) {
    std::string R = Name;
    for (int I = 1;; ++I) {
        TComponent* G = FindGlobalComponent(R);
        if (!G || G == FRoot)
            return R;
        R = Name + "_" + std::to_string(I);
    }
}

TComponent* TReader::ReadRootComponent(TComponent* Root) {
    TComponent* Result = nullptr;
    bool Created = false;
    std::vector<TFixup> Fixups;
    auto* OldFixups = FFixups;
    try {
        ReadSignature();
        TFilerFlags Flags;
        int Pos;
        ReadPrefix(Flags, Pos);
        Int64 ClassAt = FPosition;
        std::string ClassName = ReadStr();
        if (Root)
            Result = Root;
        else {
            TClass C = GetClass(ClassName);
            if (!C || !C->InheritsFrom(TComponent::StaticClass())) {
                FPosition = ClassAt;
                throw EClassNotFound(Format(SClassNotFound, {ClassName}) + " (offset " + std::to_string(ClassAt) + ")");
            }
            ClassesDetail::GConstructingLoaded = true;
            try {
                Result = static_cast<TComponent*>(C->CreateInstance(nullptr));
            } catch (...) {
                ClassesDetail::GConstructingLoaded = false;
                throw;
            }
            ClassesDetail::GConstructingLoaded = false;
            Created = true;
        }
        FRoot = FLookupRoot = Result;
        FOwner = Result;
        FFixups = &Fixups;
        Result->IncludeState(csLoading);
        Result->IncludeState(csReading);
        std::string Name = ReadStr();
        if (!Result->ComponentState().Contains(csDesigning))
            Result->SetName(FindUniqueName(Name));
        FTextCodePage = RootTextCodePage();
        FLoaded.clear();
        FLoaded.push_back(Result);
        Result->ReadState(*this);
        Result->ExcludeState(csReading);
        DoFixupReferences();
        FFixups = OldFixups;
        // Loaded in read order, root first; a component freed meanwhile is not called.
        std::vector<TComponent*> Loaded = FLoaded;
        for (TComponent* C : Loaded)
            C->Loaded();
        GlobalFixupReferences();
    } catch (Exception& E) {
        FFixups = OldFixups;
        if (E.Message().find("(offset ") == std::string::npos)
            E.SetMessage(E.Message() + " (offset " + std::to_string(FPosition) + ")");
        if (Created)
            Result->Free();
        else if (Result)
            Result->ExcludeState(csReading);
        throw;
    } catch (...) {
        FFixups = OldFixups;
        if (Created)
            Result->Free();
        throw;
    }
    return Result;
}

// A form's texts are stored wide, but its controls hold them 8-bit in the code page of their font's
// character set, whatever the system's; the root's properties (its caption among them, which may come
// before its font) are looked through for the font's character set before anything is read.
UINT TReader::RootTextCodePage() {
    const Int64 At = FPosition;
    UINT CodePage = CP_ACP;
    // A damaged resource is left to the reading proper, which names what is wrong where it is.
    try {
        while (!EndOfList()) {
            if (ReadStr() != "Font.Charset") {
                SkipValue();
                continue;
            }
            int Charset = DEFAULT_CHARSET;
            if (NextValue() == vaIdent) {
                if (!IdentToIntOf("TFontCharset", ReadIdent(), Charset))
                    Charset = DEFAULT_CHARSET;
            } else
                Charset = ReadInteger();
            CodePage = CharsetCodePage(static_cast<Byte>(Charset));
            break;
        }
    } catch (const EFilerError&) {
        CodePage = CP_ACP;
    }
    FStream->Seek(At, soBeginning);
    FPosition = At;
    return CodePage;
}

TComponent* TReader::ReadComponent(TComponent* Component) {
    TFilerFlags Flags;
    int Pos;
    ReadPrefix(Flags, Pos);
    Int64 ClassAt = FPosition;
    std::string CompClass = ReadStr();
    std::string CompName = ReadStr();
    TComponent* Result = Component;
    bool Created = false;
    if (!Result) {
        if (Flags.Contains(ffInherited)) {
            Result = FOwner ? FOwner->FindComponent(CompName) : nullptr;
            if (!Result) {
                FPosition = ClassAt;
                Error("Ancestor for '" + CompName + "' not found");
            }
        } else {
            TClass C = GetClass(CompClass);
            if (!C || !C->InheritsFrom(TComponent::StaticClass())) {
                FPosition = ClassAt;
                throw EClassNotFound(Format(SClassNotFound, {CompClass}) + " (offset " + std::to_string(ClassAt) + ")");
            }
            ClassesDetail::GConstructingLoaded = true;
            try {
                Result = static_cast<TComponent*>(C->CreateInstance(FOwner));
            } catch (...) {
                ClassesDetail::GConstructingLoaded = false;
                throw;
            }
            ClassesDetail::GConstructingLoaded = false;
            Created = true;
        }
    }
    try {
        Result->IncludeState(csLoading);
        if (!Flags.Contains(ffInherited))
            Result->SetName(CompName);
        Result->IncludeState(csReading);
        if (std::find(FLoaded.begin(), FLoaded.end(), Result) == FLoaded.end())
            FLoaded.push_back(Result);
        Result->ReadState(*this);
        Result->ExcludeState(csReading);
        if (Flags.Contains(ffChildPos) && FParent)
            FParent->SetChildOrder(Result, Pos);
    } catch (...) {
        if (Created) {
            FLoaded.erase(std::remove(FLoaded.begin(), FLoaded.end(), Result), FLoaded.end());
            if (FFixups)
                FFixups->erase(std::remove_if(FFixups->begin(), FFixups->end(),
                                              [&](const TFixup& F) { return F.Component == Result; }),
                               FFixups->end());
            Result->Free();
        }
        throw;
    }
    return Result;
}

void TReader::ReadData(TComponent* Instance) {
    if (!FFixups) {
        std::vector<TFixup> Fixups;
        FFixups = &Fixups;
        try {
            ReadDataInner(Instance);
            DoFixupReferences();
        } catch (...) {
            FFixups = nullptr;
            throw;
        }
        FFixups = nullptr;
    } else
        ReadDataInner(Instance);
}

void TReader::ReadDataInner(TComponent* Instance) {
    while (!EndOfList())
        ReadProperty(Instance);
    ReadListEnd();
    TComponent* OldParent = FParent;
    TComponent* OldOwner = FOwner;
    FParent = Instance->GetChildParent();
    try {
        FOwner = Instance->GetChildOwner();
        if (!FOwner)
            FOwner = FRoot;
        while (!EndOfList())
            ReadComponent(nullptr);
        ReadListEnd();
    } catch (...) {
        FParent = OldParent;
        FOwner = OldOwner;
        throw;
    }
    FParent = OldParent;
    FOwner = OldOwner;
}

namespace {
thread_local TComponent* GReadingComponent = nullptr;
}

void TReader::ReadProperty(TPersistent* Instance) {
    Int64 NameAt = FPosition;
    std::string Path = ReadStr();
    TPersistent* Obj = Instance;
    std::string Last = Path;
    size_t Start = 0;
    for (;;) {
        auto Dot = Path.find('.', Start);
        if (Dot == std::string::npos) {
            Last = Path.substr(Start);
            break;
        }
        std::string Seg = Path.substr(Start, Dot - Start);
        PPropInfo P = GetPropInfo(Obj, Seg, tkProperties);
        TObject* Next = P && P->PropType->Kind == tkClass ? P->GetObj(Obj) : nullptr;
        if (!Next || !Next->InheritsFrom(TPersistent::StaticClass())) {
            FPosition = NameAt;
            Error(Format(SUnknownProperty, {Path}));
        }
        Obj = static_cast<TPersistent*>(Next);
        Start = Dot + 1;
    }
    TComponent* OldReading = GReadingComponent;
    if (auto* C = DynCast<TComponent>(Instance))
        GReadingComponent = C;
    try {
        PPropInfo P = GetPropInfo(Obj, Last, tkAny);
        if (P)
            ReadPropValue(Obj, P);
        else {
            FPropName = Last;
            FPropFound = false;
            Obj->DefineProperties(*this);
            FPropName.clear();
            if (!FPropFound) {
                FPosition = NameAt;
                Error(Format(SUnknownProperty, {Path}));
            }
        }
    } catch (...) {
        GReadingComponent = OldReading;
        throw;
    }
    GReadingComponent = OldReading;
}

void TReader::ReadPropValue(TPersistent* Instance, PPropInfo Prop) {
    PTypeInfo T = Prop->PropType;
    Int64 At = FPosition;
    auto Invalid = [&](const std::string& Why) {
        FPosition = At;
        Error(Why.empty() ? std::string(SInvalidPropertyValue) : Why);
    };
    if (!Prop->HasSetter && T->Kind != tkClass)
        Invalid("Property " + Prop->Name + " is read-only");
    switch (T->Kind) {
    case tkInteger:
        if (NextValue() == vaIdent) {
            std::string Id = ReadIdent();
            int V;
            if (!IdentToIntOf(T, Id, V))
                Invalid(std::string(SInvalidPropertyValue) + ": " + Id);
            Prop->SetOrd(Instance, V);
        } else
            Prop->SetOrd(Instance, T->OrdType == otULong ? ReadInt64() : ReadInteger());
        break;
    case tkChar:
        Prop->SetOrd(Instance, static_cast<unsigned char>(ReadChar()));
        break;
    case tkWChar: {
        std::wstring W = ReadWideString();
        if (W.size() != 1)
            Invalid("");
        Prop->SetOrd(Instance, W[0]);
        break;
    }
    case tkEnumeration: {
        std::string Id = ReadIdent();
        int V = GetEnumValue(T, Id);
        if (V < 0)
            Invalid(std::string(SInvalidPropertyValue) + ": " + Id);
        Prop->SetOrd(Instance, V);
        break;
    }
    case tkSet: {
        CheckValue(vaSet);
        Int64 Bits = 0;
        for (;;) {
            std::string Id = ReadStr();
            if (Id.empty())
                break;
            int V = GetEnumValue(T->CompType, Id);
            if (V < 0 || V > 31)
                Invalid(Format(SInvalidPropertyElement, {Id}));
            Bits |= Int64(1) << V;
        }
        Prop->SetOrd(Instance, Bits);
        break;
    }
    case tkFloat:
        Prop->SetFloat(Instance, ReadFloat());
        break;
    case tkString:
    case tkLString:
        Prop->SetStr(Instance, ReadString());
        break;
    case tkWString:
        Prop->SetWStr(Instance, ReadWideString());
        break;
    case tkInt64:
        Prop->SetOrd(Instance, ReadInt64());
        break;
    case tkMethod: {
        if (NextValue() == vaNil) {
            ReadValue();
            Prop->SetMeth(Instance, TMethod());
            break;
        }
        std::string Name = ReadIdent();
        TComponent* Target = FLookupRoot ? FLookupRoot : FRoot;
        const TMethodEntry* M = Target ? FindPublishedMethod(Target->ClassType(), Name) : nullptr;
        if (!M)
            Invalid(Format(SMethodNotFound, {Name}));
        if (M->MethodType && T->MethodType && *M->MethodType != *T->MethodType)
            Invalid("Method " + Name + " does not fit the event " + Prop->Name + " of type " + T->Name);
        TMethod V;
        V.Data = Target;
        V.Code = M->Code;
        Prop->SetMeth(Instance, V);
        break;
    }
    case tkClass: {
        switch (NextValue()) {
        case vaNil:
            ReadValue();
            if (!Prop->HasSetter)
                Invalid("Property " + Prop->Name + " is read-only");
            Prop->SetObj(Instance, nullptr);
            break;
        case vaCollection: {
            ReadValue();
            auto* C = DynCast<TCollection>(Prop->GetObj(Instance));
            if (!C)
                Invalid("");
            ReadCollection(C);
            break;
        }
        case vaIdent: {
            if (!T->ClassType || !T->ClassType->InheritsFrom(TComponent::StaticClass()) || !Prop->HasSetter)
                Invalid("");
            std::string Name = ReadIdent();
            TFixup F;
            F.Instance = Instance;
            F.Prop = Prop;
            F.Name = Name;
            F.Root = FRoot;
            F.Component = GReadingComponent ? GReadingComponent : FRoot;
            if (FFixups)
                FFixups->push_back(F);
            else {
                bool Found;
                ApplyFixup(F, ResolveReference(Name, FRoot, Found));
            }
            break;
        }
        default:
            Invalid("");
        }
        break;
    }
    default:
        Invalid("Invalid property type: " + T->Name);
    }
}

void TReader::ReadCollection(TCollection* Collection) {
    Collection->BeginUpdate();
    try {
        if (!EndOfList())
            Collection->Clear();
        while (!EndOfList()) {
            TValueType V = NextValue();
            if (V == vaInt8 || V == vaInt16 || V == vaInt32)
                ReadInteger();
            TCollectionItem* Item = Collection->Add();
            ReadListBegin();
            while (!EndOfList())
                ReadProperty(Item);
            ReadListEnd();
        }
        ReadListEnd();
    } catch (...) {
        Collection->EndUpdate();
        throw;
    }
    Collection->EndUpdate();
}

void TReader::DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc&, bool) {
    if (!FPropName.empty() && ReadData && SameText(Name, FPropName)) {
        FPropName.clear();
        ReadData(*this);
        FPropFound = true;
    }
}

void TReader::DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData, const TStreamProc&, bool) {
    if (!FPropName.empty() && ReadData && SameText(Name, FPropName)) {
        FPropName.clear();
        CheckValue(vaBinary);
        std::string Data = ReadCounted(1);
        TPointerStream M(Data.data(), static_cast<LongInt>(Data.size()));
        ReadData(M);
        FPropFound = true;
    }
}

void TReader::DoFixupReferences() {
    if (!FFixups)
        return;
    std::vector<TFixup> List;
    List.swap(*FFixups);
    for (const TFixup& F : List) {
        bool Found;
        TComponent* Target = ResolveReference(F.Name, FRoot, Found);
        if (Found)
            ApplyFixup(F, Target);
        else
            GlobalFixups().push_back(F);
    }
}

// ---------------------------------------------------------------------------------------------
// TWriter

TWriter::TWriter(TStream* Stream, int) : TFiler(Stream) {}
TWriter::~TWriter() = default;

void TWriter::SetRoot(TComponent* Value) {
    TFiler::SetRoot(Value);
    FLookupRoot = Value;
}

void TWriter::WriteValue(TValueType Value) {
    Byte B = static_cast<Byte>(Value);
    Write(&B, 1);
}

void TWriter::WriteListBegin() { WriteValue(vaList); }
void TWriter::WriteListEnd() { WriteValue(vaNull); }

void TWriter::WriteSignature() { Write("TPF0", 4); }

void TWriter::WritePrefix(TFilerFlags Flags, int AChildPos) {
    if (!Flags.Empty()) {
        Byte B = static_cast<Byte>(0xF0 | Flags.Bits());
        Write(&B, 1);
        if (Flags.Contains(ffChildPos))
            WriteInteger(static_cast<LongInt>(AChildPos));
    }
}

void TWriter::WriteStr(const std::string& Value) {
    size_t L = Value.size() > 255 ? 255 : Value.size();
    Byte B = static_cast<Byte>(L);
    Write(&B, 1);
    Write(Value.data(), static_cast<LongInt>(L));
}

void TWriter::WriteInteger(LongInt Value) {
    if (Value >= -128 && Value <= 127) {
        WriteValue(vaInt8);
        std::int8_t V = static_cast<std::int8_t>(Value);
        Write(&V, 1);
    } else if (Value >= -32768 && Value <= 32767) {
        WriteValue(vaInt16);
        std::int16_t V = static_cast<std::int16_t>(Value);
        Write(&V, 2);
    } else {
        WriteValue(vaInt32);
        Write(&Value, 4);
    }
}

void TWriter::WriteInteger(Int64 Value) {
    if (Value >= INT32_MIN && Value <= INT32_MAX)
        WriteInteger(static_cast<LongInt>(Value));
    else {
        WriteValue(vaInt64);
        Write(&Value, 8);
    }
}

void TWriter::WriteBoolean(bool Value) { WriteValue(Value ? vaTrue : vaFalse); }
void TWriter::WriteChar(char Value) { WriteString(std::string(1, Value)); }

void TWriter::WriteFloat(long double Value) {
    WriteValue(vaExtended);
    Write(&Value, 10);
}

void TWriter::WriteSingle(float Value) {
    WriteValue(vaSingle);
    Write(&Value, 4);
}

void TWriter::WriteCurrency(Int64 Scaled) {
    WriteValue(vaCurrency);
    Write(&Scaled, 8);
}

void TWriter::WriteDate(double Value) {
    WriteValue(vaDate);
    Write(&Value, 8);
}

void TWriter::WriteString(const std::string& Value) {
    if (Value.size() <= 255) {
        WriteValue(vaString);
        WriteStr(Value);
    } else {
        WriteValue(vaLString);
        LongInt L = static_cast<LongInt>(Value.size());
        Write(&L, 4);
        Write(Value.data(), L);
    }
}

void TWriter::WriteWideString(const std::wstring& Value) {
    // ASCII text is the same in every code page: it goes out as 8-bit, as the converter makes it.
    if (std::all_of(Value.begin(), Value.end(), [](wchar_t C) { return C < 128; })) {
        WriteString(std::string(Value.begin(), Value.end()));
        return;
    }
    WriteValue(vaWString);
    LongInt L = static_cast<LongInt>(Value.size());
    Write(&L, 4);
    Write(Value.data(), L * 2);
}

void TWriter::WriteIdent(const std::string& Ident) {
    if (SameText(Ident, "False"))
        WriteValue(vaFalse);
    else if (SameText(Ident, "True"))
        WriteValue(vaTrue);
    else if (SameText(Ident, "nil"))
        WriteValue(vaNil);
    else if (SameText(Ident, "Null"))
        WriteValue(vaNull);
    else {
        WriteValue(vaIdent);
        WriteStr(Ident);
    }
}

void TWriter::WriteBinaryValue(const void* Data, LongInt Count) {
    WriteValue(vaBinary);
    Write(&Count, 4);
    if (Count)
        Write(Data, Count);
}

void TWriter::WritePropName(const std::string& Name) { WriteStr(FPropPath + Name); }

void TWriter::WriteRootComponent(TComponent* Root) { WriteDescendent(Root, nullptr); }

void TWriter::WriteDescendent(TComponent* Root, TComponent* AAncestor) {
    FRootAncestor = AAncestor;
    FAncestor = AAncestor;
    SetRoot(Root);
    WriteSignature();
    WriteComponent(Root);
}

void TWriter::WriteComponent(TComponent* Component) {
    Component->IncludeState(csWriting);
    try {
        TFilerFlags Flags;
        if (FAncestor)
            Flags.Include(ffInherited);
        if (Component->ComponentState().Contains(csInline))
            Flags.Include(ffInline);
        WritePrefix(Flags, 0);
        WriteStr(Component->ClassName());
        WriteStr(Component->Name());
        Component->WriteState(*this);
    } catch (...) {
        Component->ExcludeState(csWriting);
        throw;
    }
    Component->ExcludeState(csWriting);
}

void TComponent::ReadState(TReader& Reader) { Reader.ReadData(this); }

void TComponent::WriteState(TWriter& Writer) {
    // TWriter::WriteData is private; the component asks for it through the writer.
    Writer.WriteProperties(this);
    Writer.WriteListEnd();
    if (!Writer.IgnoreChildren) {
        TPersistent* OldAncestor = Writer.Ancestor();
        auto* AncestorComp = DynCast<TComponent>(OldAncestor);
        GetChildren(
            [&](TComponent* Child) {
                Writer.SetAncestor(AncestorComp ? AncestorComp->FindComponent(Child->Name()) : nullptr);
                Writer.WriteComponent(Child);
            },
            Writer.Root());
        Writer.SetAncestor(OldAncestor);
    }
    Writer.WriteListEnd();
}

void TWriter::WriteProperties(TPersistent* Instance) {
    for (PPropInfo P : GetPropList(Instance, tkAny, false))
        if (P->IsStored(Instance))
            WriteProperty(Instance, P);
    Instance->DefineProperties(*this);
}

std::string TWriter::ComponentRefName(TComponent* Value) {
    if (Value == FLookupRoot)
        return Value->Name();
    if (Value->Owner() == FLookupRoot || !Value->Owner())
        return Value->Name();
    std::string Path = Value->Name();
    for (TComponent* O = Value->Owner(); O && O != FLookupRoot; O = O->Owner()) {
        if (O->Name().empty())
            break;
        Path = O->Name() + "." + Path;
    }
    return Path;
}

void TWriter::WriteProperty(TPersistent* Instance, PPropInfo Prop) {
    PTypeInfo T = Prop->PropType;
    TPersistent* Anc = FAncestor;
    if (Anc && !Anc->InheritsFrom(Prop->DeclaringClass))
        Anc = nullptr;
    if (!Prop->HasSetter) {
        // Read-only properties are written only as sub-components' nested properties.
        if (T->Kind != tkClass)
            return;
        auto* C = DynCast<TComponent>(Prop->GetObj(Instance));
        if (!C || !C->ComponentStyle().Contains(csSubComponent))
            return;
    }
    switch (T->Kind) {
    case tkInteger:
    case tkChar:
    case tkWChar:
    case tkEnumeration:
    case tkSet: {
        Int64 V = Prop->GetOrd(Instance);
        if (Anc ? V == Prop->GetOrd(Anc) : V == Prop->Default)
            return;
        WritePropName(Prop->Name);
        if (T->Kind == tkInteger) {
            std::string Id;
            if (IntToIdentOf(T, static_cast<LongInt>(V), Id))
                WriteIdent(Id);
            else
                WriteInteger(V);
        } else if (T->Kind == tkChar)
            WriteChar(static_cast<char>(V));
        else if (T->Kind == tkWChar)
            WriteWideString(std::wstring(1, static_cast<wchar_t>(V)));
        else if (T->Kind == tkEnumeration)
            WriteIdent(GetEnumName(T, static_cast<int>(V)));
        else {
            WriteValue(vaSet);
            for (int I = 0; I < 32; ++I)
                if (V & (Int64(1) << I))
                    WriteStr(GetEnumName(T->CompType, I));
            WriteStr("");
        }
        break;
    }
    case tkInt64: {
        Int64 V = Prop->GetOrd(Instance);
        if (Anc ? V == Prop->GetOrd(Anc) : V == 0)
            return;
        WritePropName(Prop->Name);
        WriteInteger(V);
        break;
    }
    case tkFloat: {
        long double V = Prop->GetFloat(Instance);
        if (Anc ? V == Prop->GetFloat(Anc) : V == 0)
            return;
        WritePropName(Prop->Name);
        if (SameText(T->Name, "TDateTime") || SameText(T->Name, "TDate") || SameText(T->Name, "TTime"))
            WriteDate(static_cast<double>(V));
        else if (T->FloatType == ftSingle)
            WriteSingle(static_cast<float>(V));
        else if (T->FloatType == ftCurr)
            WriteCurrency(static_cast<Int64>(V * 10000));
        else
            WriteFloat(V);
        break;
    }
    case tkString:
    case tkLString: {
        std::string V = Prop->GetStr(Instance);
        if (Anc ? V == Prop->GetStr(Anc) : V.empty())
            return;
        WritePropName(Prop->Name);
        WriteString(V);
        break;
    }
    case tkWString: {
        std::wstring V = Prop->GetWStr(Instance);
        if (Anc ? V == Prop->GetWStr(Anc) : V.empty())
            return;
        WritePropName(Prop->Name);
        WriteWideString(V);
        break;
    }
    case tkMethod: {
        TMethod V = Prop->GetMeth(Instance);
        std::string Name = V.Code ? MethodName(FLookupRoot, V.Code) : std::string();
        if (V.Data != FLookupRoot)
            Name.clear();
        std::string AncName;
        if (Anc) {
            TMethod A = Prop->GetMeth(Anc);
            AncName = A.Code ? MethodName(A.Data, A.Code) : std::string();
        }
        if (Name == AncName)
            return;
        WritePropName(Prop->Name);
        WriteIdent(Name.empty() ? "nil" : Name);
        break;
    }
    case tkClass: {
        TObject* V = Prop->GetObj(Instance);
        TObject* AV = Anc ? Prop->GetObj(Anc) : nullptr;
        auto* Comp = DynCast<TComponent>(V);
        bool Sub = Comp && Comp->ComponentStyle().Contains(csSubComponent) && Comp->Owner() == Instance;
        bool IsRef = T->ClassType && T->ClassType->InheritsFrom(TComponent::StaticClass()) && !Sub;
        if (IsRef) {
            std::string Name = Comp ? ComponentRefName(Comp) : std::string();
            auto* AComp = DynCast<TComponent>(AV);
            std::string AName = AComp ? AComp->Name() : std::string();
            if (!Anc && !Comp)
                return;
            if (Anc && Name == AName)
                return;
            WritePropName(Prop->Name);
            WriteIdent(Comp ? Name : "nil");
            break;
        }
        if (auto* Coll = DynCast<TCollection>(V)) {
            if (Anc) {
                auto* AColl = DynCast<TCollection>(AV);
                if (AColl && AColl->Count() == 0 && Coll->Count() == 0)
                    return;
            }
            WritePropName(Prop->Name);
            WriteCollection(Coll);
            break;
        }
        if (auto* Nested = DynCast<TPersistent>(V)) {
            std::string OldPath = FPropPath;
            TPersistent* OldAnc = FAncestor;
            FPropPath += Prop->Name + ".";
            FAncestor = DynCast<TPersistent>(AV);
            try {
                WriteProperties(Nested);
            } catch (...) {
                FPropPath = OldPath;
                FAncestor = OldAnc;
                throw;
            }
            FPropPath = OldPath;
            FAncestor = OldAnc;
        }
        break;
    }
    default:
        break;
    }
}

void TWriter::WriteCollection(TCollection* Value) {
    WriteValue(vaCollection);
    std::string OldPath = FPropPath;
    TPersistent* OldAnc = FAncestor;
    FPropPath.clear();
    FAncestor = nullptr;
    try {
        for (int I = 0; I < Value->Count(); ++I) {
            WriteListBegin();
            WriteProperties(Value->Items(I));
            WriteListEnd();
        }
    } catch (...) {
        FPropPath = OldPath;
        FAncestor = OldAnc;
        throw;
    }
    FPropPath = OldPath;
    FAncestor = OldAnc;
    WriteListEnd();
}

void TWriter::DefineProperty(const std::string& Name, const TReaderProc&, const TWriterProc& WriteData, bool HasData) {
    if (HasData && WriteData) {
        WritePropName(Name);
        WriteData(*this);
    }
}

void TWriter::DefineBinaryProperty(const std::string& Name, const TStreamProc&, const TStreamProc& WriteData,
                                   bool HasData) {
    if (HasData && WriteData) {
        WritePropName(Name);
        TMemoryStream M;
        WriteData(M);
        WriteBinaryValue(M.Memory(), static_cast<LongInt>(M.Size()));
    }
}

// ---------------------------------------------------------------------------------------------
// TStream's component streaming

TComponent* TStream::ReadComponent(TComponent* Instance) {
    TReader Reader(this, 4096);
    return Reader.ReadRootComponent(Instance);
}

void TStream::WriteComponent(TComponent* Instance) { WriteDescendent(Instance, nullptr); }

void TStream::WriteDescendent(TComponent* Instance, TComponent* Ancestor) {
    TWriter Writer(this, 4096);
    Writer.WriteDescendent(Instance, Ancestor);
}

// ---------------------------------------------------------------------------------------------
// Form resources

bool ReadComponentResource(TComponent* Instance, TClass Class, HINSTANCE Module) {
    std::string Name = Class->ClassName();
    for (char& C : Name)
        if (C >= 'a' && C <= 'z')
            C = static_cast<char>(C - 32);
    HINSTANCE M = Module ? Module : MainInstance();
    if (!FindResourceA(M, Name.c_str(), MAKEINTRESOURCEA(10)))
        return false;
    TResourceStream S(M, Name, MAKEINTRESOURCEA(10));
    TReader R(&S, 4096);
    R.ReadRootComponent(Instance);
    return true;
}

bool InitInheritedComponent(TComponent* Instance, TClass RootAncestor) {
    std::vector<TClass> Chain;
    for (TClass C = Instance->ClassType(); C && C != RootAncestor; C = C->ClassParent())
        Chain.push_back(C);
    bool Any = false;
    for (auto It = Chain.rbegin(); It != Chain.rend(); ++It)
        Any = ReadComponentResource(Instance, *It) || Any;
    return Any;
}
