// Writing through the 7-Zip library: the settings interfaces and their translation into the
// library's properties, the writing class every format shares and the 7z writer.
#include "JclCompression.h"
#include "JclCompressionSevenzip.h"

using namespace JclResources;

// ---------------------------------------------------------------------------------------------
// Settings interfaces

const GUID IID_IArchiveLevelSetting = {0xA6A2F55F, 0x2860, 0x4E44, {0xBC, 0x20, 0x8C, 0x5D, 0x3E, 0x32, 0x2A, 0xB6}};
const GUID IID_IArchiveThreadsSetting = {0x9CFAB801, 0xE68E, 0x4A51, {0xAC, 0x49, 0x27, 0x7B, 0x29, 0x7F, 0x11, 0x41}};
const GUID IID_IArchiveDictionarySetting = {0xD3949834, 0x9F3B, 0x49BC, {0x84, 0x03, 0xFE, 0x3C, 0xE5, 0xFD, 0xCF, 0x35}};
const GUID IID_IArchiveRemoveSfxSetting = {0x852D050D, 0x734E, 0x4610, {0x90, 0x2A, 0x8F, 0xB8, 0x45, 0xDB, 0x32, 0xA9}};
const GUID IID_IArchiveHeaderCompressionSetting = {
    0x22C62A3B, 0xA58E, 0x4F88, {0x9D, 0x3F, 0x08, 0x58, 0x6B, 0x54, 0x26, 0x39}};
const GUID IID_IArchiveHeaderEncryptionSetting = {
    0x7DBA20A8, 0x48A1, 0x4CA2, {0xB9, 0xAC, 0x41, 0xC2, 0x19, 0xA0, 0x9A, 0x4A}};
const GUID IID_IArchiveCreationTimeSetting = {
    0x8B212BF9, 0xC13F, 0x4582, {0xA4, 0xFA, 0xA4, 0x0E, 0x53, 0x8E, 0xFF, 0x65}};
const GUID IID_IArchiveLastAccessTimeSetting = {
    0x1A4B2906, 0x9DD2, 0x4584, {0xB7, 0xA3, 0x36, 0x39, 0xDA, 0x92, 0xAF, 0xC5}};
const GUID IID_IArchiveLastWriteTimeSetting = {
    0x0C1729DC, 0x35E8, 0x43D4, {0x8E, 0xCA, 0x54, 0xF2, 0x0C, 0xDF, 0xF8, 0x7A}};
const GUID IID_IArchiveSolidSetting = {0x6902C54C, 0x1577, 0x422C, {0xB1, 0x8B, 0xE2, 0x79, 0x53, 0xA2, 0x86, 0x61}};
const GUID IID_IArchivePassesSetting = {0xC61B2814, 0x50CE, 0x4C3C, {0x84, 0xA5, 0xBA, 0xCF, 0x8A, 0x57, 0xE3, 0xBC}};
const GUID IID_IArchiveAlgorithmSetting = {0x53965F1F, 0x24CC, 0x4548, {0xB9, 0xEB, 0x5A, 0xE2, 0xEB, 0x7F, 0x14, 0x2D}};
const GUID IID_IArchiveEncryptionSetting = {0x643485B6, 0x66A1, 0x41C9, {0xA1, 0x3B, 0x0A, 0x84, 0x53, 0xE9, 0xD0, 0xC9}};
const GUID IID_IArchiveMethodSetting = {0x2818F8E8, 0x7D5F, 0x4C8C, {0x86, 0x5E, 0x9B, 0xA4, 0x51, 0x2B, 0xB7, 0x66}};

Cardinal SevenzipDictionaryForLevel(Cardinal Level) {
    return Level == 9 ? 67108864 : Level >= 7 ? 33554432 : Level >= 5 ? 16777216 : Level >= 3 ? 1048576 : 65536;
}

const wchar_t* EncryptionMethodName(TJclEncryptionMethod Method) {
    switch (Method) {
    case emAES128: return L"AES128";
    case emAES192: return L"AES192";
    case emAES256: return L"AES256";
    case emZipCrypto: return L"ZIPCRYPTO";
    default: return L"";
    }
}

// ---------------------------------------------------------------------------------------------
// Settings sent to the library

std::vector<TJclArchiveProperty> BuildArchiveSettings(IUnknown* Archive, IUnknown* LibraryObject) {
    std::vector<TJclArchiveProperty> Props;
    auto Add = [&](const wchar_t* Name, PROPVARIANT Value) { Props.push_back(TJclArchiveProperty{Name, Value}); };
    TAsked<IUnknown> AsIn(LibraryObject, sevenzip::IID_IInArchive);
    TAsked<IUnknown> AsOut(LibraryObject, sevenzip::IID_IOutArchive);
    if (AsIn || AsOut) {
        if (auto* Threads = Ask<IArchiveThreadsSetting>(Archive, IID_IArchiveThreadsSetting))
            if (Threads->GetNumberOfThreads() > 1)
                Add(L"MT", UInt32Value(Threads->GetNumberOfThreads()));
    }
    if (!AsOut)
        return Props;
    if (auto* Level = Ask<IArchiveLevelSetting>(Archive, IID_IArchiveLevelSetting))
        Add(L"X", UInt32Value(Level->GetCompressionLevel()));
    // A Zip archive names its method, and sends only the coder properties that method takes: the
    // library refuses the whole archive otherwise (Deflate has no dictionary).
    static const wchar_t* const ZipMethods[] = {L"Copy", L"Deflate", L"Deflate64", L"BZip2", L"LZMA"};
    auto* Method = Ask<IArchiveMethodSetting>(Archive, IID_IArchiveMethodSetting);
    const bool ZipMethod = Method && Ask<IArchiveEncryptionSetting>(Archive, IID_IArchiveEncryptionSetting);
    const Cardinal MethodId = ZipMethod ? Method->GetCompressionMethod() : 0;
    if (ZipMethod && MethodId <= 4)
        Add(L"M", TextValue(ZipMethods[MethodId]));
    const bool TakesDictionary = !ZipMethod || MethodId == 3 || MethodId == 4;
    const bool TakesPasses = !ZipMethod || (MethodId >= 1 && MethodId <= 3);
    const bool TakesAlgorithm = !ZipMethod || MethodId == 1 || MethodId == 2 || MethodId == 4;
    if (auto* Encryption = Ask<IArchiveEncryptionSetting>(Archive, IID_IArchiveEncryptionSetting))
        if (Encryption->GetEncryptionMethod() != emNone)
            Add(L"EM", TextValue(EncryptionMethodName(Encryption->GetEncryptionMethod())));
    if (auto* Dictionary = Ask<IArchiveDictionarySetting>(Archive, IID_IArchiveDictionarySetting); Dictionary && TakesDictionary)
        Add(L"D", TextValue(std::to_wstring(Dictionary->GetDictionarySize()) + L"B"));
    if (auto* Passes = Ask<IArchivePassesSetting>(Archive, IID_IArchivePassesSetting); Passes && TakesPasses)
        Add(L"PASS", UInt32Value(Passes->GetNumberOfPasses()));
    if (auto* Sfx = Ask<IArchiveRemoveSfxSetting>(Archive, IID_IArchiveRemoveSfxSetting))
        Add(L"RSFX", SwitchValue(Sfx->GetRemoveSfxBlock()));
    if (auto* Header = Ask<IArchiveHeaderCompressionSetting>(Archive, IID_IArchiveHeaderCompressionSetting)) {
        Add(L"HC", SwitchValue(Header->GetCompressHeader()));
        if (Header->GetCompressHeaderFull())
            Add(L"HCF", SwitchValue(true));
    }
    if (auto* Encrypt = Ask<IArchiveHeaderEncryptionSetting>(Archive, IID_IArchiveHeaderEncryptionSetting))
        Add(L"HE", SwitchValue(Encrypt->GetEncryptHeader()));
    if (auto* C = Ask<IArchiveCreationTimeSetting>(Archive, IID_IArchiveCreationTimeSetting))
        Add(L"TC", SwitchValue(C->GetStoreCreationTime()));
    if (auto* A = Ask<IArchiveLastAccessTimeSetting>(Archive, IID_IArchiveLastAccessTimeSetting))
        Add(L"TA", SwitchValue(A->GetStoreLastAccessTime()));
    if (auto* M = Ask<IArchiveLastWriteTimeSetting>(Archive, IID_IArchiveLastWriteTimeSetting))
        Add(L"TM", SwitchValue(M->GetStoreLastWriteTime()));
    if (auto* Algorithm = Ask<IArchiveAlgorithmSetting>(Archive, IID_IArchiveAlgorithmSetting); Algorithm && TakesAlgorithm)
        Add(L"A", UInt32Value(Algorithm->GetAlgorithm()));
    if (auto* Solid = Ask<IArchiveSolidSetting>(Archive, IID_IArchiveSolidSetting)) {
        if (Solid->GetSolidExtension())
            Add(L"S", TextValue(L"E"));
        const Int64 Size = Solid->GetSolidBlockSize();
        Add(L"S", TextValue(Size > 0 ? std::to_wstring(Size) + L"B" : std::to_wstring(Size) + L"F"));
    }
    return Props;
}

void FreeArchiveSettings(std::vector<TJclArchiveProperty>& Properties) {
    for (auto& P : Properties)
        PropVariantClear(&P.Value);
    Properties.clear();
}

void SendArchiveSettings(IUnknown* Archive, IUnknown* LibraryObject) {
    TAsked<sevenzip::ISetProperties> Setter(LibraryObject, sevenzip::IID_ISetProperties);
    if (!Setter)
        return;
    std::vector<TJclArchiveProperty> Props = BuildArchiveSettings(Archive, LibraryObject);
    if (Props.empty())
        return;
    std::vector<const wchar_t*> Names;
    std::vector<PROPVARIANT> Values;
    for (auto& P : Props) {
        Names.push_back(P.Name.c_str());
        Values.push_back(P.Value);
    }
    HRESULT R = Setter->SetProperties(Names.data(), Values.data(), static_cast<UINT32>(Props.size()));
    FreeArchiveSettings(Props);
    SevenzipCheck(R);
}

// ---------------------------------------------------------------------------------------------
// 7-Zip-backed writing

TJclSevenzipCompressArchive::~TJclSevenzipCompressArchive() {
    if (FOutArchive)
        FOutArchive->Release();
}

TJclCompressionItem* TJclSevenzipCompressArchive::CreateItem() { return Create<TJclCompressItem>(this); }

sevenzip::IOutArchive* TJclSevenzipCompressArchive::GetOutArchive() {
    if (!FOutArchive)
        FOutArchive = CreateLibraryObject<sevenzip::IOutArchive>(ArchiveClass(), sevenzip::IID_IOutArchive,
                                                                 RsCompressionSevenzipOutArchiveError);
    return FOutArchive;
}

void TJclSevenzipCompressArchive::Compress() {
    CheckNotCompressing();
    FCompressing = true;
    FOpenedVolumeFiles.clear();
    bool Written = false;
    try {
        ClearLibraryError();
        HRESULT R;
        {
            // The volume is opened without being emptied; the output wrapper cuts it to what was
            // written, so that an older, longer file of the same name leaves no tail behind.
            TCreatorRef<TJclSevenzipOutStream> Out(new TJclSevenzipOutStream(CreateSplitStream(false), true, true, this));
            TCreatorRef<TJclSevenzipUpdateCallback> Callback(new TJclSevenzipUpdateCallback(this));
            sevenzip::IOutArchive* Writer = GetOutArchive();
            SendArchiveSettings(static_cast<IUnknown*>(static_cast<TJclCompressionArchive*>(this)), Writer);
            R = Writer->UpdateItems(Out.P, static_cast<UINT32>(GetItemCount()), Callback.P);
            Written = Out.P->Written();
        }
        RaiseLibraryError();
        SevenzipCheck(R);
    } catch (...) {
        FCompressing = false;
        // A cut archive would pass for a whole one.
        RemoveOpenedVolumeFiles(Written);
        throw;
    }
    FCompressing = false;
}

void TJcl7zCompressArchive::DefineClass(TClassBuilder<TJcl7zCompressArchive>& B) {
    auto& R = static_cast<TJclCompressionArchiveClassRecord&>(B.Record());
    R.FormatName = RsCompression7zName;
    R.FileMasks = RsCompression7zExtensions;
    R.FormatClassID = sevenzip::FormatClassID(0x07);
    R.HasFormatClassID = true;
}

HRESULT TJcl7zCompressArchive::GetInterface(REFIID IID, void** Obj) {
    if (Obj && IsEqualGUID(IID, IID_IArchiveSolidSetting)) {
        *Obj = static_cast<IArchiveSolidSetting*>(this);
        return S_OK;
    }
    return TJcl7zSettingsArchive::GetInterface(IID, Obj);
}

void TJcl7zCompressArchive::SetDefaults() {
    TJcl7zSettingsArchive::SetDefaults();
    FSolidBlockSize = 4294967295LL;
    FSolidExtension = false;
}
