// SIB translation files: per form class one complete stored translation component, read into a fresh
// component and copied into the one that asks. The reader trusts no size or offset of the file.
#include "siComp.h"

#include "Forms.h"
#include "Restore.h"

TsiTemporaryCopy::TsiTemporaryCopy(TsiCustomLang* Of)
    : FLang(As<TsiCustomLang>(Of->ClassType()->CreateInstance(nullptr))) {
    FLang->Quiet = true;
    if (Of->Owner())
        Of->Owner()->InsertComponent(FLang);
}

TsiTemporaryCopy::~TsiTemporaryCopy() {
    if (FLang->Owner())
        FLang->Owner()->RemoveComponent(FLang);
    FLang->Free();
}

TSIBFileManager::TSIBFileManager() : FNames(Create<TStringList>()), FFixedLanguages(Create<TStringList>()) {
    FFixedLanguages->SetSorted(true);
    FFixedLanguages->SetDuplicates(dupIgnore);
}

TSIBFileManager::~TSIBFileManager() { FreeComponents(); }

void TSIBFileManager::FreeComponents() {
    for (TComponent* C : FComponents)
        if (!C->Owner())
            C->Free();
    FComponents.clear();
}

void TSIBFileManager::Assign(TPersistent* Source) {
    auto* From = DynCast<TSIBFileManager>(Source);
    if (!From)
        return TPersistent::Assign(Source);
    FHeader = From->FHeader;
    FFixedLanguages->Assign(From->FFixedLanguages.get());
    FNames->Assign(From->FNames.get());
    FCommentsFileName = From->FCommentsFileName;
    FreeComponents();
    for (TComponent* C : From->FComponents) {
        TMemoryStream Memory;
        Memory.WriteComponent(C);
        Memory.SetPosition(0);
        FComponents.push_back(Memory.ReadComponent(nullptr));
    }
}

void TSIBFileManager::LoadFile(TsiCustomLang* Component, const std::string& OwnerClassName, const std::string& FileName) {
    TFileStream Stream(FileName, fmOpenRead | fmShareDenyNone);
    LoadStream(Component, OwnerClassName, &Stream);
}

namespace {
template <class T>
T ReadValue(TStream* Stream) {
    T Value{};
    Stream->ReadBuffer(&Value, sizeof Value);
    return Value;
}

std::string ReadText(TStream* Stream, size_t Length) {
    std::string Text(Length, '\0');
    if (Length)
        Stream->ReadBuffer(Text.data(), static_cast<LongInt>(Length));
    return Text;
}

// The first entry from the second on that is the owner's own moves to the top: the fresh component
// was read on a stand-in owner, so it could not put it there.
void OwnerEntryFirst(TStrings* List, const std::string& OwnerKey) {
    for (int I = 1; I < List->Count(); ++I)
        if (List->Strings(I).rfind(OwnerKey, 0) == 0) {
            List->Move(I, 0);
            return;
        }
}
}  // namespace

void TSIBFileManager::LoadStream(TsiCustomLang* Target, const std::string& OwnerClassName, TStream* Stream) {
    const Int64 Size = Stream->Size();
    Stream->SetPosition(0);
    std::string Text;
    while (Stream->Position() < Size - 2) {
        char Ch = ReadValue<char>(Stream);
        Text += Ch;
        if (Ch == '\0')
            break;
    }
    if (Text != FHeader)
        throw Exception("Unrecognized stream format!");
    const Word Count = ReadValue<Word>(Stream);
    const Word FixedLength = ReadValue<Word>(Stream);
    FFixedLanguages->Clear();
    if (FixedLength > 0)
        FFixedLanguages->SetText(ReadText(Stream, FixedLength));

    for (Word E = 0; E < Count; ++E) {
        const Word NameLength = ReadValue<Word>(Stream);
        const std::string Name = ReadText(Stream, NameLength);
        const LongWord Offset = ReadValue<LongWord>(Stream);
        if (Name != OwnerClassName)
            continue;
        if (Offset >= Size)
            throw EReadError("Stream read error");

        TClass Class = GetClass(Target->ClassName());
        if (!Class) {
            RegisterClass(Target->ClassType());
            Class = Target->ClassType();
        }
        // The stand-in owner (and with it the fresh component) goes as soon as the texts are copied.
        TOwned<TComponent> Holder(Create<TComponent>(nullptr));
        auto* Fresh = As<TsiCustomLang>(Class->CreateInstance(Holder.get()));
        TRestore<bool> QuietTarget(Target->Quiet, true), QuietFresh(Fresh->Quiet, true);
        Stream->SetPosition(Offset);
        Stream->ReadComponent(Fresh);

        // A block stored with TAB as its delimiter carries no LangDelim (TAB is the default), and
        // the quiet component skips the finishing step that would convert it.
        if (Fresh->HasTabDelimitedEntries())
            Fresh->ReplaceDelimiter('\t', Fresh->DelimChar());
        Target->FStoreAsUTF8 = Fresh->FStoreAsUTF8;
        if (Fresh->LangDelim() != Target->LangDelim())
            Fresh->SetLangDelim(Target->LangDelim());
        const std::string OwnerKey =
            (Target->Owner() ? Target->Owner()->ClassName() : std::string()) + Target->DelimChar();
        for (int K = 0; K < KindCount; ++K) {
            const auto Kind = static_cast<TStringsType>(K);
            TStrings* Mine = Target->GetKindList(Kind);
            TStrings* Theirs = Fresh->GetKindList(Kind);
            if (!Mine || !Theirs)
                continue;
            Mine->Assign(Theirs);
            if (Kind == stCaptions || Kind == stHints || Kind == stFonts || Kind == stCharSets)
                OwnerEntryFirst(Mine, OwnerKey);
        }
        Target->SetLangNames(Fresh->LangNames());
        Target->ExtendedTranslations()->Clear();
        for (int I = 0; I < Fresh->ExtendedTranslations()->Count(); ++I) {
            TsiExtendedItem* From = Fresh->ExtendedTranslations()->Items(I);
            TsiExtendedItem* Item = Target->ExtendedTranslations()->Add();
            Item->SetIdentifier(From->StoredIdentifier());
            Item->SetPropertyType(Target->GetPropertyTypeKind(From->StoredIdentifier()));
            Item->SetValues(From->Values());
        }
        return;
    }
}

void TSIBFileManager::LoadKind(TStringsType Kind, const std::string& FileName, const std::string& OwnerClassName,
                               TsiCustomLang* Component) {
    TsiTemporaryCopy Temp(Component);
    LoadFile(Temp.get(), OwnerClassName, FileName);
    TStrings* Mine = Component->GetKindList(Kind);
    TStrings* Theirs = Temp->GetKindList(Kind);
    if (Mine && Theirs)
        Mine->Assign(Theirs);
}

// ---------------------------------------------------------------------------------------------
// The component's side

void TsiCustomLang::LoadSIBFile(const std::string& FileName) {
    if (!Owner())
        return;
    TSIBFileManager* Reader = nullptr;
    TOwned<TSIBFileManager> Own;
    // The dispatcher links with the expanded name when its own does not name an existing file, so
    // the two spellings of one file are compared expanded.
    if (FLangDispatcher && FLangDispatcher->SIBReader() &&
        AnsiSameText(ExpandFileName(FileName), ExpandFileName(FLangDispatcher->FileName())))
        Reader = FLangDispatcher->SIBReader();
    else {
        Own.reset(Create<TSIBFileManager>());
        Reader = Own.get();
    }
    Reader->LoadFile(this, Owner()->ClassName(), FileName);
    RebuildIndexes(this);
    ApplyTranslation();
}

void TsiCustomLang::LoadSIBKind(TStringsType Kind, const std::string& FileName) {
    TOwned<TSIBFileManager> Reader(Create<TSIBFileManager>());
    Reader->LoadKind(Kind, FileName, Owner() ? Owner()->ClassName() : std::string(), this);
    if (Kind == stStrings)
        RebuildIndexes(this);
}

void TsiLangDispatcher::LoadTranslationFile(TsiCustomLang* Component, const std::string& File) {
    Component->FActiveLanguage = FActiveLanguage;
    if (IsSibFileName(File)) {
        if (!FSIBReader)
            FSIBReader.reset(Create<TSIBFileManager>());
        Component->LoadSIBFile(File);
    } else {
        Component->LoadAllFromFile(File, true);
    }
    FLangNames->Assign(Component->LangNames());
    FNumOfLanguages = Component->NumOfLanguages();
}
