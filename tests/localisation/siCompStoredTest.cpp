// Translation data as the other build (32 or 64 bits) stored it: the data a form resource holds, a
// text translation file and a SIB file. Each reads back as stored, and what this build writes is the
// very same bytes.
#include "LocalisationTestComponents.h"
#include "TestSupport.h"

using namespace loctest;
using testing_support::MatchesStoredFixture;
using testing_support::ReadStoredFixture;

namespace {

// A component with Russian and English texts of several kinds.
struct TStoredLang : TLangWithBoxes {
    TStoredLang() : TLangWithBoxes({"btnOk"}) {
        Lang->Captions()->Add(Entry({"TCaptionOwner", Cp1251(L"Окно"), "Window"}));
        Lang->Captions()->Add(Entry({"btnOk", Cp1251(L"Применить"), "Apply"}));
        Lang->Hints()->Add(Entry({"btnOk", Cp1251(L"Сохранить задание"), "Save the task"}));
        Lang->Strings()->Add(Entry({"strrsSucc", Cp1251(L"Успешно"), "Done"}));
        Lang->CharSets()->Add(Entry({"TCaptionOwner", "RUSSIAN_CHARSET", "DEFAULT_CHARSET"}));
    }
};

std::string Bytes(TMemoryStream& S) { return std::string(static_cast<const char*>(S.Memory()), static_cast<size_t>(S.Size())); }

void ExpectSameLists(TsiLang* A, TsiLang* B) {
    EXPECT_EQ(Lines(A->Captions()), Lines(B->Captions()));
    EXPECT_EQ(Lines(A->Hints()), Lines(B->Hints()));
    EXPECT_EQ(Lines(A->Strings()), Lines(B->Strings()));
    EXPECT_EQ(Lines(A->CharSets()), Lines(B->CharSets()));
}

template <class T>
void Put(std::string& S, T Value) {
    S.append(reinterpret_cast<const char*>(&Value), sizeof Value);
}

}  // namespace

TEST(StoredTranslations, ComponentStreamOfAForm) {
    TStoredLang Source;
    TMemoryStream M;
    M.WriteComponent(Source.Lang);
    EXPECT_TRUE(MatchesStoredFixture("siLang.bin", Bytes(M)));

    TLangWithBoxes Read({"btnOk"});
    TStringStream S(ReadStoredFixture("siLang.bin"));
    S.ReadComponent(Read.Lang);
    ExpectSameLists(Read.Lang, Source.Lang);
}

TEST(StoredTranslations, TextTranslationFile) {
    TStoredLang Source;
    testing_support::TempDir Dir;
    Source.Lang->SaveAllToFile(Dir / "lang.txt", "|");
    std::vector<std::uint8_t> Written = testing_support::ReadFileBytes(Dir / "lang.txt");
    EXPECT_TRUE(MatchesStoredFixture("siLang.txt", std::string(Written.begin(), Written.end())));

    testing_support::WriteFileText(Dir / "stored.txt", ReadStoredFixture("siLang.txt"));
    TLangWithBoxes Read({"btnOk"});
    Read.Lang->LoadEachKindFromFile(Dir / "stored.txt", true);
    ExpectSameLists(Read.Lang, Source.Lang);
}

TEST(StoredTranslations, SibFile) {
    // The header, the number of forms and the fixed language, the directory of one form class with
    // the offset of its block, then the block: the component stream of the form's translations.
    TStoredLang Source;
    TMemoryStream Block;
    Block.WriteComponent(Source.Lang);
    const std::string ClassName = "TCaptionOwner";
    std::string File(TSIBFileManager::Header);
    Put<Word>(File, 1);
    Put<Word>(File, 3);
    File += "Eng";
    Put<Word>(File, static_cast<Word>(ClassName.size()));
    File += ClassName;
    Put<LongWord>(File, static_cast<LongWord>(File.size() + sizeof(LongWord)));
    File += Bytes(Block);
    EXPECT_TRUE(MatchesStoredFixture("siLang.sib", File));

    TLangWithBoxes Read({"btnOk"});
    TStringStream S(ReadStoredFixture("siLang.sib"));
    TOwned<TSIBFileManager> Reader(Create<TSIBFileManager>());
    Reader->LoadStream(Read.Lang, ClassName, &S);
    ExpectSameLists(Read.Lang, Source.Lang);
}
