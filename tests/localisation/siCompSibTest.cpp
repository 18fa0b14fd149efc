// SIB translation files: the directory finds the block of the owner's class (exactly), the block's
// lists replace the component's, its delimiter is converted and the owner's entry comes first;
// a foreign header or an offset outside the file is refused.
#include "LocalisationTestComponents.h"

#include <cstring>

using namespace loctest;

namespace {

template <class T>
void Put(std::string& S, T Value) {
    S.append(reinterpret_cast<const char*>(&Value), sizeof Value);
}

// One stored translation component of a TCaptionOwner: the owner's caption stored after a box's,
// written with the delimiter Delim.
std::string Block(char Delim) {
    TLangWithBoxes Source({"btnOk"});
    Source.Lang->Captions()->Add(Entry({"btnOk", "Da", "Yes"}));
    Source.Lang->Captions()->Add(Entry({"TCaptionOwner", "Okno", "Window"}));
    Source.Lang->Strings()->Add(Entry({"strMsg", "Privet", "Hello"}));
    Source.Lang->SetLangDelim(static_cast<Byte>(Delim));
    TMemoryStream M;
    M.WriteComponent(Source.Lang);
    return std::string(static_cast<const char*>(M.Memory()), static_cast<size_t>(M.Size()));
}

// A file whose directory names ClassName for the block (and "TOther" for nothing useful first).
std::string SibFile(const std::string& ClassName, const std::string& Data, LongWord OffsetShift = 0) {
    std::string S(TSIBFileManager::Header);
    Put<Word>(S, 2);
    const std::string Fixed = "Eng";
    Put<Word>(S, static_cast<Word>(Fixed.size()));
    S += Fixed;
    const size_t Directory = S.size() + 2 + 6 + 4 + 2 + ClassName.size() + 4;
    Put<Word>(S, 6);
    S += "TOther";
    Put<LongWord>(S, 0);
    Put<Word>(S, static_cast<Word>(ClassName.size()));
    S += ClassName;
    Put<LongWord>(S, static_cast<LongWord>(Directory) + OffsetShift);
    return S + Data;
}

struct TTarget : TLangWithBoxes {
    TTarget() : TLangWithBoxes({"btnOk"}) { Lang->Captions()->Add(Entry({"btnOk", "old", "old"})); }
    void Load(const std::string& File) {
        TStringStream S(File);
        TOwned<TSIBFileManager> Reader(Create<TSIBFileManager>());
        Reader->LoadStream(Lang, "TCaptionOwner", &S);
    }
};

TEST(SibFile, BlockOfTheOwnersClassReplacesTheLists) {
    TTarget T;
    T.Load(SibFile("TCaptionOwner", Block('\t')));
    EXPECT_EQ(Lines(T.Lang->Captions()),
              (std::vector<std::string>{Entry({"TCaptionOwner", "Okno", "Window"}), Entry({"btnOk", "Da", "Yes"})}))
        << "tab delimiters converted to the component's, the owner's entry first";
    EXPECT_EQ(Lines(T.Lang->Strings()), (std::vector<std::string>{Entry({"strMsg", "Privet", "Hello"})}));
    EXPECT_FALSE(T.Lang->Quiet);
    EXPECT_EQ(T.Owner->ComponentCount(), 2) << "no stand-in owner is left behind";
}

TEST(SibFile, DirectoryWithoutTheExactClassChangesNothing) {
    for (const char* Name : {"TSomeForm", "TCAPTIONOWNER"}) {
        TTarget T;
        T.Load(SibFile(Name, Block('\1')));
        EXPECT_EQ(Lines(T.Lang->Captions()), (std::vector<std::string>{Entry({"btnOk", "old", "old"})})) << Name;
    }
}

TEST(SibFile, RefusedFiles) {
    TTarget T;
    std::string Foreign = SibFile("TCaptionOwner", Block('\1'));
    Foreign[0] = 's';
    EXPECT_EQ(MessageOf([&] { T.Load(Foreign); }), "Unrecognized stream format!");
    EXPECT_NE(MessageOf([&] { T.Load(SibFile("TCaptionOwner", Block('\1'), 100000)); }), "");
    EXPECT_NE(MessageOf([&] { T.Load(SibFile("TCaptionOwner", Block('\1')).substr(0, 60)); }), "");
    EXPECT_EQ(Lines(T.Lang->Captions()), (std::vector<std::string>{Entry({"btnOk", "old", "old"})}));
    EXPECT_FALSE(T.Lang->Quiet);
}

}  // namespace
