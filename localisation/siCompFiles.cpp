// Translation files by name: loading and saving through the stream operations, and merging a file
// into the lists so that its texts win, the component's other entries survive, and the file's
// language columns come into the component's language order.
#include "siComp.h"

#include <memory>

namespace {
// Other processes may go on reading and writing a file that is being read.
std::unique_ptr<TFileStream> OpenForReading(const std::string& FileName) {
    return std::make_unique<TFileStream>(FileName, fmOpenRead | fmShareDenyNone);
}

std::unique_ptr<TFileStream> OpenForSaving(const std::string& FileName) {
    if (FileExists(FileName))
        return std::make_unique<TFileStream>(FileName, fmOpenReadWrite | fmShareDenyWrite);
    return std::make_unique<TFileStream>(FileName, fmCreate);
}
}  // namespace

int TsiCustomLang::LoadKindFromFile(TStringsType Kind, const std::string& FileName, bool Clear) {
    if (!FileExists(FileName))
        return -1;
    return LoadKindFromStream(Kind, OpenForReading(FileName).get(), Clear);
}

int TsiCustomLang::SaveKindToFile(TStringsType Kind, const std::string& FileName, const std::string& Delimiter) {
    return SaveKindToStream(Kind, OpenForSaving(FileName).get(), Delimiter);
}

void TsiCustomLang::LoadAllFromFile(const std::string& FileName, bool Clear) {
    if (FileExists(FileName))
        LoadAllFromStream(OpenForReading(FileName).get(), Clear, false);
}

void TsiCustomLang::SaveAllToFile(const std::string& FileName, const std::string& Delimiter) {
    for (int K = 0; K < KindCount; ++K)
        SaveKindToFile(static_cast<TStringsType>(K), FileName, Delimiter);
    SaveExtendedToFile(FileName, Delimiter);
}

int TsiCustomLang::LoadStringsFromFile(const std::string& FileName, bool Clear) {
    return LoadKindFromFile(stStrings, FileName, Clear);
}

int TsiCustomLang::SaveStringsToFile(const std::string& FileName, const std::string& Delimiter) {
    return SaveKindToFile(stStrings, FileName, Delimiter);
}

void TsiCustomLang::LoadExtendedFromFile(const std::string& FileName, bool Clear) {
    if (FileExists(FileName))
        LoadExtendedFromStream(OpenForReading(FileName).get(), Clear);
}

void TsiCustomLang::SaveExtendedToFile(const std::string& FileName, const std::string& Delimiter) {
    SaveExtendedToStream(OpenForSaving(FileName).get(), Delimiter);
}

void TsiCustomLang::LoadEachKindFromFile(const std::string& FileName, bool Clear) {
    const bool Saved = BatchLoading;
    BatchLoading = true;
    try {
        for (int K = 0; K < KindCount; ++K) {
            const auto Kind = static_cast<TStringsType>(K);
            LoadKindFromFile(Kind, FileName, Clear);
            if (TStrings* List = GetKindList(Kind))
                TidyKindList(List, Kind);
        }
        LoadExtendedFromFile(FileName, Clear);
        RebuildIndexes(this);
    } catch (...) {
        BatchLoading = Saved;
        throw;
    }
    BatchLoading = false;
}

void TsiCustomLang::ReadFileLanguageNames(const std::string& FileName, TStrings* Names) {
    TsiTemporaryCopy Temp(this);
    if (IsSibFileName(FileName)) {
        TOwned<TSIBFileManager> Reader(Create<TSIBFileManager>());
        Reader->LoadFile(Temp.get(), Owner() ? Owner()->ClassName() : std::string(), FileName);
    } else {
        Temp->LoadAllFromFile(FileName, true);
    }
    Names->Assign(Temp->LangNames());
}

namespace {
// Entry rebuilt in the component's language order: position p takes the file's value of the
// language named Mine[p]; a language the file lacks gets an empty value, a file language the
// component lacks is dropped.
std::string ReorderedEntry(const std::string& Entry, const std::vector<int>& FileColumnOf, char D) {
    std::string Result = EntryKey(Entry, D) + D;
    for (int Column : FileColumnOf)
        Result += (Column > 0 ? ExtractDelimitedField(Entry, D, Column) : std::string()) + D;
    return Result;
}
}  // namespace

bool TsiCustomLang::MergeKindFromFile(TStringsType Kind, const std::string& FileName) {
    if (!FileExists(FileName))
        return false;
    const bool Sib = IsSibFileName(FileName);
    TStrings* List = GetKindList(Kind);
    if (!List)
        return true;
    TStringList Old;
    Old.Assign(List);
    // Loading a text file takes the file's language names; the component's own order is the target.
    TStringList MyNames;
    MyNames.Assign(FLangNames.get());
    const int MyCount = FNumOfLanguages;
    const bool SavedBatch = BatchLoading;
    BatchLoading = true;
    const char D = DelimChar();
    try {
        TStringList Names;
        ReadFileLanguageNames(FileName, &Names);
        if (Sib)
            LoadSIBKind(Kind, FileName);
        else
            LoadKindFromFile(Kind, FileName, true);
        FLangNames->Assign(&MyNames);
        FNumOfLanguages = MyCount;
        if (!AnsiSameText(Trim(MyNames.Text()), Trim(Names.Text()))) {
            std::vector<int> FileColumnOf;
            for (int P = 0; P < MyNames.Count(); ++P)
                FileColumnOf.push_back(Names.IndexOf(MyNames.Strings(P)) + 1);
            for (int I = 0; I < List->Count(); ++I)
                List->SetStrings(I, ReorderedEntry(List->Strings(I), FileColumnOf, D));
        }
        BatchLoading = SavedBatch;
        AppendMissingEntries(List, &Old);
    } catch (const Exception&) {
        List->Assign(&Old);
        FLangNames->Assign(&MyNames);
        FNumOfLanguages = MyCount;
        BatchLoading = SavedBatch;
        return false;
    }
    FinishKindLoad(List, Kind);
    return true;
}

bool TsiCustomLang::MergeAllFromFile(const std::string& FileName) {
    BatchLoading = true;
    for (int K = 0; K < KindCount; ++K) {
        const auto Kind = static_cast<TStringsType>(K);
        if (!MergeKindFromFile(Kind, FileName)) {
            BatchLoading = false;
            return false;
        }
        if (TStrings* List = GetKindList(Kind))
            TidyKindList(List, Kind);
    }
    RebuildIndexes(this);
    BatchLoading = false;
    return true;
}

bool TsiCustomLang::MergeAllFromFileAndApply(const std::string& FileName) {
    bool Result = MergeAllFromFile(FileName);
    ApplyTranslation();
    return Result;
}
