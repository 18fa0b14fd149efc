// Text translation files: an INI-style file holding the texts of many forms at once, one section per
// kind of text, each key prefixed with its form's class name, the languages' values joined by the
// file's own delimiter.
#include "siComp.h"

#include "Restore.h"

#include <memory>

const std::array<const char*, KindCount> TextFileSectionNames = {
    "Captions", "Hints",   "DisplayLabels", "Fonts",       "Multilines", "Dialogs",
    "Strings",  "Other",   "Locales",       "Collections", "CharSets",   "ListView_TreeView_Items"};

namespace {
const char* const OptionsSection = "OPTIONS";
const char* const NamesSection = "Language names - for internal use only!";
// The misspelt name older files carry; removed whenever a kind is saved.
const char* const OldNamesSection = "Language names - for intenal use only!";
const char* const ExtendedSection = "Extended";
const char* const DefaultFileDelimiter = "~!@#";
const char* const TypeKindSuffix = "_TypeKind";

// While LoadAllFromStream runs, every kind and the extended translations read this one parse.
TsiMemIniFile* SharedStore = nullptr;

bool IsCollectionKind(TStringsType Kind) { return Kind == stCollections || Kind == stListView_TreeView_Items; }

std::string Replaced(std::string_view Text, std::string_view Old, std::string_view New) {
    return ReplaceText(Text, Old, New, true);
}

// Brackets of collection indexes are not allowed in INI keys: "[" travels as "-", "]" as "+".
std::string KeyToFile(std::string Key, TStringsType Kind) {
    if (IsCollectionKind(Kind))
        Key = Replaced(Replaced(Key, "[", "-"), "]", "+");
    return Key;
}
std::string KeyFromFile(std::string Key, TStringsType Kind) {
    if (IsCollectionKind(Kind))
        Key = Replaced(Replaced(Key, "-", "["), "+", "]");
    return Key;
}

bool StartsNoCase(std::string_view Text, std::string_view Prefix) {
    return Text.size() >= Prefix.size() && AnsiSameText(Text.substr(0, Prefix.size()), Prefix);
}
bool StartsExact(std::string_view Text, std::string_view Prefix) { return Text.substr(0, Prefix.size()) == Prefix; }
bool EndsExact(std::string_view Text, std::string_view Suffix) {
    return Text.size() >= Suffix.size() && Text.substr(Text.size() - Suffix.size()) == Suffix;
}

// The store of a call: the shared one, or one parsed from the stream's start.
class TStoreOf {
public:
    explicit TStoreOf(TStream* Stream) {
        if (SharedStore) {
            FStore = SharedStore;
            return;
        }
        FOwn.reset(Create<TsiMemIniFile>(std::string()));
        Stream->SetPosition(0);
        FOwn->ReadFromStream(Stream);
        FStore = FOwn.get();
    }
    TsiMemIniFile* operator->() const { return FStore; }
    TsiMemIniFile* get() const { return FStore; }

private:
    TOwned<TsiMemIniFile> FOwn;
    TsiMemIniFile* FStore = nullptr;
};

std::string FileDelimiter(TsiMemIniFile* Store, const char* Section = OptionsSection) {
    return Store->GetValue(Section, "DELIMITER", DefaultFileDelimiter);
}

std::vector<std::string> SectionKeys(TsiMemIniFile* Store, const std::string& Section) {
    TStringList Keys;
    Store->GetSectionKeys(Section, &Keys);
    std::vector<std::string> Result;
    for (int I = 0; I < Keys.Count(); ++I)
        Result.push_back(Keys.Strings(I));
    return Result;
}

// Writes the store's lines over the whole stream.
void ReplaceStreamText(TStream* Stream, const std::string& Text) {
    Stream->SetSize(0);
    Stream->SetPosition(0);
    if (!Text.empty())
        Stream->WriteBuffer(Text.data(), static_cast<LongInt>(Text.size()));
}

}  // namespace

std::string TsiCustomLang::BuildSingleValue(const std::string& Value, int Language) const {
    const char D = DelimChar();
    std::string Result;
    for (int L = 1; L <= FNumOfLanguages; ++L) {
        if (L == Language)
            Result += Value;
        Result += D;
    }
    return Result;
}

// ---------------------------------------------------------------------------------------------
// Loading and saving one kind

int TsiCustomLang::LoadKindFromStream(TStringsType Kind, TStream* Stream, bool Clear) {
    TStrings* List = GetKindList(Kind);
    if (!List)
        return -1;
    if (Clear)
        List->Clear();
    TStoreOf Store(Stream);
    const std::string Delimiter = FileDelimiter(Store.get());
    const char D = DelimChar();

    // A names section without a first name would leave no language at all: the names stay then.
    std::vector<std::string> Names;
    for (int N = 1;; ++N) {
        std::string Name = Store->GetValue(NamesSection, "Language_" + IntToStr(N), "");
        if (Name.empty())
            break;
        Names.push_back(Name);
    }
    if (!Names.empty()) {
        FLangNames->Clear();
        for (const std::string& Name : Names)
            FLangNames->Add(Name);
    }
    FNumOfLanguages = std::max(FLangNames->Count(), 1);
    FStoreAsUTF8 = Store->GetBoolValue(OptionsSection, "IsUTF8File", false);
    FFixedLanguages->Clear();
    for (int N = 1; N <= FLangNames->Count(); ++N)
        if (Store->GetBoolValue(OptionsSection, "Language_Fixed" + IntToStr(N), false))
            FFixedLanguages->Add(FLangNames->Strings(N - 1));

    TStringList Keys;
    Keys.SetSorted(true);
    Keys.SetDuplicates(dupIgnore);
    for (const std::string& K : SectionKeys(Store.get(), TextFileSectionNames[Kind]))
        Keys.Add(K);

    TComponent* Own = Owner();
    const std::string OwnerName = Own ? Own->Name() : std::string();
    const std::string ClassPrefix = (Own ? Own->ClassName() : std::string()) + ".";
    const std::string NamePrefix = OwnerName + ".";
    for (int I = 0; I < Keys.Count(); ++I) {
        const std::string FileKey = Keys.Strings(I);
        const bool ByName = !OwnerName.empty() && StartsNoCase(FileKey, NamePrefix);
        if (!ByName && !StartsNoCase(FileKey, ClassPrefix))
            continue;
        const bool CutName = ByName && StartsExact(FileKey, NamePrefix);
        std::string Key = KeyFromFile(FileKey.substr(CutName ? NamePrefix.size() : ClassPrefix.size()), Kind);
        if (FDoNotTranslate->IndexOf(Key.substr(0, Key.find('.'))) >= 0)
            continue;
        // Every key of the section's own list is read, whatever its value ("я" included).
        std::string Value = Store->GetValue(TextFileSectionNames[Kind], FileKey, "");
        std::string Entry = Key + D;
        if (Value.find(Delimiter) == std::string::npos)
            Entry += Value + D;
        Entry += Replaced(Value, Delimiter, std::string(1, D));
        for (char& Ch : Entry)
            if (Ch == 25)
                Ch = '\r';
            else if (Ch == 26)
                Ch = '\n';
        if (Entry.back() != D)
            Entry += D;
        const std::string& OwnKey = CutName ? OwnerName : (Own ? Own->ClassName() : std::string());
        if (!OwnKey.empty() && AnsiSameText(Key, OwnKey))
            List->Insert(0, Entry);
        else
            List->Add(Entry);
    }
    FinishKindLoad(List, Kind);
    return Keys.Count();
}

namespace {
// The language-names section rewritten from the component's names.
void WriteLanguageNames(TsiMemIniFile* Store, TStrings* Names, int Count) {
    Store->RemoveSection(NamesSection);
    for (int N = 1; N <= Count; ++N) {
        std::string Name = N <= Names->Count() ? Names->Strings(N - 1) : std::string();
        Store->SetValue(NamesSection, "Language_" + IntToStr(N), Name.empty() ? "Language N" + IntToStr(N) : Name);
    }
}
}  // namespace

int TsiCustomLang::SaveKindToStream(TStringsType Kind, TStream* Stream, const std::string& Delimiter) {
    TStrings* List = GetKindList(Kind);
    if (!List)
        return -1;
    TOwned<TsiMemIniFile> Store(Create<TsiMemIniFile>(std::string()));
    Store->ReadFromStream(Stream);
    Store->SetValue(OptionsSection, "DELIMITER", Delimiter);
    Store->SetBoolValue(OptionsSection, "IsUTF8File", FStoreAsUTF8);
    WriteLanguageNames(Store.get(), FLangNames.get(), FNumOfLanguages);
    Store->RemoveSection(OldNamesSection);

    const char D = DelimChar();
    const std::string Section = TextFileSectionNames[Kind];
    const std::string ClassName = Owner() ? Owner()->ClassName() : std::string();
    for (int I = 0; I < List->Count(); ++I) {
        const std::string Entry = List->Strings(I);
        const size_t Cut = Entry.find(D);
        if (Cut == std::string::npos)
            continue;
        std::string Values = Replaced(Entry.substr(Cut + 1), std::string(1, D), Delimiter);
        for (char& Ch : Values)
            if (Ch == '\r')
                Ch = 25;
            else if (Ch == '\n')
                Ch = 26;
        Store->SetValue(Section, ClassName + "." + KeyToFile(Entry.substr(0, Cut), Kind), Values);
    }

    TStringList Lines;
    Store->ToLines(&Lines);
    // Keys under the owner's name are an older form of this form's own keys. An owner named like its
    // class would lose its current keys that way, so its lines stay.
    const std::string OldPrefix = (Owner() ? Owner()->Name() : std::string()) + ".";
    if (Owner() && !Owner()->Name().empty() && !AnsiSameText(Owner()->Name(), ClassName)) {
        bool InSection = false;
        for (int I = 0; I < Lines.Count();) {
            const std::string Line = Lines.Strings(I);
            if (!Line.empty() && Line.front() == '[') {
                InSection = AnsiSameText(Line, "[" + Section + "]");
            } else if (InSection && StartsNoCase(Line, OldPrefix)) {
                Lines.Delete(I);
                continue;
            }
            ++I;
        }
    }
    ReplaceStreamText(Stream, Lines.Text());
    return List->Count();
}

// ---------------------------------------------------------------------------------------------
// Every kind at once

void TsiCustomLang::LoadAllFromStream(TStream* Stream, bool Clear, bool NoApply) {
    TRestore<bool> Batch(BatchLoading, true);
    TOwned<TsiMemIniFile> Own;
    if (!SharedStore) {
        Own.reset(Create<TsiMemIniFile>(std::string()));
        Stream->SetPosition(0);
        Own->ReadFromStream(Stream);
        SharedStore = Own.get();
    }
    struct TUnshare {
        TsiMemIniFile* Store;
        ~TUnshare() {
            if (SharedStore == Store)
                SharedStore = nullptr;
        }
    } Unshare{Own.get()};
    for (int K = 0; K < KindCount; ++K) {
        const auto Kind = static_cast<TStringsType>(K);
        if (LoadKindFromStream(Kind, Stream, Clear) > 0)
            if (TStrings* List = GetKindList(Kind))
                TidyKindList(List, Kind);
    }
    LoadExtendedFromStream(Stream, Clear);
    RebuildIndexes(this);
    if (!NoApply)
        ApplyTranslation();
}

void TsiCustomLang::SaveAllToStream(TStream* Stream, const std::string& Delimiter) {
    TMemoryStream Memory;
    for (int K = 0; K < KindCount; ++K) {
        Memory.SetPosition(0);
        SaveKindToStream(static_cast<TStringsType>(K), &Memory, Delimiter);
    }
    SaveExtendedToStream(&Memory, Delimiter);
    Memory.SetPosition(0);
    Stream->CopyFrom(&Memory, Memory.Size());
}

bool TsiCustomLang::MergeKindFromStream(TStringsType Kind, TStream* Stream) {
    TStrings* List = GetKindList(Kind);
    if (!List)
        return false;
    TStringList Old;
    Old.Assign(List);
    try {
        TRestore<bool> Batch(BatchLoading, true);
        LoadKindFromStream(Kind, Stream, true);
        AppendMissingEntries(List, &Old);
    } catch (const Exception&) {
        List->Assign(&Old);
        return false;
    }
    FinishKindLoad(List, Kind);
    return true;
}

bool TsiCustomLang::MergeAllFromStream(TStream* Stream) {
    TRestore<bool> Batch(BatchLoading, true);
    for (int K = 0; K < KindCount; ++K) {
        const auto Kind = static_cast<TStringsType>(K);
        if (!GetKindList(Kind))
            continue;
        if (!MergeKindFromStream(Kind, Stream))
            return false;
        TidyKindList(GetKindList(Kind), Kind);
    }
    RebuildIndexes(this);
    return true;
}

bool TsiCustomLang::MergeAllFromStreamAndApply(TStream* Stream) {
    bool Result = MergeAllFromStream(Stream);
    ApplyTranslation();
    return Result;
}

// ---------------------------------------------------------------------------------------------
// Extended translations

void TsiCustomLang::FinishKindLoad(TStrings* List, TStringsType Kind) {
    if (BatchLoading)
        return;
    TidyKindList(List, Kind);
    if (Kind == stStrings)
        RebuildIndexes(this);
    ApplyTranslation();
}

void TsiCustomLang::AppendMissingEntries(TStrings* List, TStrings* Old) {
    const char D = DelimChar();
    const std::string OwnKey = Owner() ? Owner()->ClassName() : std::string();
    for (int I = 0; I < Old->Count(); ++I) {
        const std::string Key = EntryKey(Old->Strings(I), D);
        if (ListHasKey(List, Key, D))
            continue;
        if (!OwnKey.empty() && Key == OwnKey)
            List->Insert(0, Old->Strings(I));
        else
            List->Add(Old->Strings(I));
    }
}

void TsiCustomLang::LoadExtendedFromStream(TStream* Stream, bool Clear) {
    if (Clear)
        FExtendedTranslations->Clear();
    TStoreOf Store(Stream);
    const std::string Delimiter = Store->GetValue("Options", "Delimiter", DefaultFileDelimiter);
    const std::string Prefix = (Owner() ? Owner()->ClassName() : std::string()) + ".";
    const std::string D(1, DelimChar());
    for (const std::string& Key : SectionKeys(Store.get(), ExtendedSection)) {
        if (!StartsExact(Key, Prefix) || EndsExact(Key, TypeKindSuffix))
            continue;
        const std::string Identifier = Key.substr(Prefix.size());
        TsiExtendedItem* Item = FExtendedTranslations->FindItem(Identifier);
        const bool Fresh = !Item;
        if (Fresh) {
            Item = FExtendedTranslations->Add();
            Item->SetIdentifier(Identifier);
        }
        Item->SetValues(Replaced(Store->GetValue(ExtendedSection, Key, ""), Delimiter, D));
        if (Fresh)
            Item->SetPropertyType(GetPropertyTypeKind(Identifier));
    }
}

void TsiCustomLang::SaveExtendedToStream(TStream* Stream, const std::string& Delimiter) {
    TOwned<TsiMemIniFile> Store(Create<TsiMemIniFile>(std::string()));
    Stream->SetPosition(0);
    Store->ReadFromStream(Stream);
    Store->SetValue("Options", "Delimiter", Delimiter);
    WriteLanguageNames(Store.get(), FLangNames.get(), FNumOfLanguages);
    const std::string ClassName = Owner() ? Owner()->ClassName() : std::string();
    const std::string D(1, DelimChar());
    const std::wstring Lead = std::wstring(L" ") + static_cast<wchar_t>(static_cast<unsigned char>(FLangDelim));
    for (int I = 0; I < FExtendedTranslations->Count(); ++I) {
        TsiExtendedItem* Item = FExtendedTranslations->Items(I);
        // Keyed by the path as the components are named now, so a renamed component's items are
        // found again when the file is loaded.
        const std::string Key = ClassName + "." + Item->Identifier();
        const std::string Values = WideLineToEntry(Lead + ExtendedValuesAsWide(Item)).substr(2);
        Store->SetValue(ExtendedSection, Key, Replaced(Values, D, Delimiter));
        Store->SetValue(ExtendedSection, Key + TypeKindSuffix,
                        GetEnumName(TypeInfoOfEnum(static_cast<TTypeKind*>(nullptr)), Item->PropertyType()));
    }
    TStringList Lines;
    Store->ToLines(&Lines);
    ReplaceStreamText(Stream, Lines.Text());
}

// ---------------------------------------------------------------------------------------------
// Importing one language

namespace {
// The file's column of LanguageName (exact), 0 when the file lacks it.
int FileColumnOf(TsiMemIniFile* Store, const std::string& LanguageName) {
    for (int N = 1;; ++N) {
        std::string Name = Store->GetValue(NamesSection, "Language_" + IntToStr(N), "");
        if (Name.empty())
            return 0;
        if (Name == LanguageName)
            return N;
    }
}
}  // namespace

namespace {
// The file parsed, its column and the target language.
struct TImportSource {
    TOwned<TsiMemIniFile> Store;
    std::string Delimiter;
    int Column = 0;
    int Target = 0;
};

// False when there is nothing to import.
bool OpenImport(TsiCustomLang* Lang, const std::string& FileName, const std::string& LanguageName, TImportSource& Src) {
    if (LanguageName.empty() || !FileExists(FileName))
        return false;
    Src.Store.reset(Create<TsiMemIniFile>(FileName));
    Src.Delimiter = FileDelimiter(Src.Store.get());
    Src.Column = FileColumnOf(Src.Store.get(), LanguageName);
    if (Src.Column == 0) {
        if (Lang->DoRaiseExceptions())
            throw Exception(LanguageName + " not found in " + FileName);
        return false;
    }
    const int Index = Lang->LangNames()->IndexOf(LanguageName);
    if (Index >= 0) {
        Src.Target = Index + 1;
    } else {
        TStringList Names;
        Names.Assign(Lang->LangNames());
        Names.Add(LanguageName);
        const int Count = Lang->NumOfLanguages() + 1;
        Lang->SetNumOfLanguages(Count);
        Lang->SetLangNames(&Names);
        Src.Target = Count;
    }
    return true;
}

std::string FileField(const std::string& Value, const std::string& Delimiter, int Column) {
    size_t Start = 0;
    for (int N = 1; N < Column; ++N) {
        size_t P = Value.find(Delimiter, Start);
        if (P == std::string::npos)
            return {};
        Start = P + Delimiter.size();
    }
    return Value.substr(Start, Value.find(Delimiter, Start) - Start);
}
}  // namespace

void TsiCustomLang::ImportLanguageKind(TStringsType Kind, const std::string& FileName, const std::string& LanguageName) {
    TStrings* List = GetKindList(Kind);
    TImportSource Src;
    if (!List || !OpenImport(this, FileName, LanguageName, Src))
        return;
    const std::string Prefix = (Owner() ? Owner()->ClassName() : std::string()) + ".";
    const char D = DelimChar();
    for (const std::string& FileKey : SectionKeys(Src.Store.get(), TextFileSectionNames[Kind])) {
        if (!StartsExact(FileKey, Prefix))
            continue;
        const std::string Value =
            FileField(Src.Store->GetValue(TextFileSectionNames[Kind], FileKey, ""), Src.Delimiter, Src.Column);
        const std::string Key = KeyFromFile(FileKey.substr(Prefix.size()), Kind);
        int Found = -1;
        for (int I = 0; I < List->Count() && Found < 0; ++I)
            if (StartsExact(List->Strings(I), Key + D))
                Found = I;
        if (Found >= 0)
            SetTranslation(List, Value, Key, Src.Target);
        else
            List->Add(Key + D + BuildSingleValue(Value, Src.Target));
    }
    FinishKindLoad(List, Kind);
}

void TsiCustomLang::ImportLanguageExtended(const std::string& FileName, const std::string& LanguageName) {
    TImportSource Src;
    if (!OpenImport(this, FileName, LanguageName, Src))
        return;
    const std::string Prefix = (Owner() ? Owner()->ClassName() : std::string()) + ".";
    const char D = DelimChar();
    for (const std::string& Key : SectionKeys(Src.Store.get(), ExtendedSection)) {
        if (!StartsExact(Key, Prefix) || EndsExact(Key, TypeKindSuffix))
            continue;
        const std::string Value = FileField(Src.Store->GetValue(ExtendedSection, Key, ""), Src.Delimiter, Src.Column);
        const std::string Identifier = Key.substr(Prefix.size());
        if (TsiExtendedItem* Item = FExtendedTranslations->FindItem(Identifier)) {
            // Field by field, so that an empty value of one language never shifts the others.
            std::string Values;
            for (int L = 1; L <= FNumOfLanguages; ++L)
                Values += (L == Src.Target ? Value : ExtractDelimitedField(D + Item->Values(), D, L)) + D;
            Item->SetValues(Values);
        } else {
            TsiExtendedItem* Fresh = FExtendedTranslations->Add();
            Fresh->SetIdentifier(Identifier);
            Fresh->SetValues(BuildSingleValue(Value, Src.Target));
            Fresh->SetPropertyType(GetPropertyTypeKind(Identifier));
        }
    }
    if (!BatchLoading)
        ApplyTranslation();
}

void TsiCustomLang::ImportLanguage(const std::string& FileName, const std::string& LanguageName) {
    {
        TRestore<bool> Batch(BatchLoading, true);
        for (int K = 0; K < KindCount; ++K) {
            const auto Kind = static_cast<TStringsType>(K);
            ImportLanguageKind(Kind, FileName, LanguageName);
            if (TStrings* List = GetKindList(Kind))
                TidyKindList(List, Kind);
        }
        ImportLanguageExtended(FileName, LanguageName);
        RebuildIndexes(this);
        ApplyTranslation();
    }
}
