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

// A dispatcher whose FileName names a SIB file loads each linking component from it, through the
// one reader it keeps, also when the file is named with another spelling.
TEST(SibFile, DispatcherFileLoadsEveryLinkingComponent) {
    char Dir[MAX_PATH];
    GetTempPathA(MAX_PATH, Dir);
    const std::string Path = std::string(Dir) + "h25_dispatch.sib";
    {
        TFileStream F(Path, fmCreate);
        const std::string File = SibFile("TCaptionOwner", Block('\1'));
        F.WriteBuffer(File.data(), static_cast<LongInt>(File.size()));
    }
    TOwned<TComponent> Main(Create<TComponent>(nullptr));
    auto* Dispatcher = Create<TsiLangDispatcher>(Main.get());
    Dispatcher->SetFileName(std::string(Dir) + "h25_sub\\..\\H25_DISPATCH.SIB");
    Dispatcher->SetActiveLanguage(1);
    TTarget A, B;
    A.Lang->SetLangDispatcher(Dispatcher);
    ASSERT_NE(Dispatcher->SIBReader(), nullptr);
    EXPECT_EQ(Lines(Dispatcher->SIBReader()->FixedLanguages()), (std::vector<std::string>{"Eng"}));
    EXPECT_EQ(A.Box("btnOk")->Caption, "Da");
    EXPECT_EQ(Lines(Dispatcher->LangNames()), Lines(A.Lang->LangNames())) << "the file's names become the dispatcher's";
    B.Lang->SetLangDispatcher(Dispatcher);
    Dispatcher->SetActiveLanguage(2);
    EXPECT_EQ(A.Box("btnOk")->Caption, "Yes");
    EXPECT_EQ(B.Box("btnOk")->Caption, "Yes");

    Dispatcher->SIBReader()->FixedLanguages()->Clear();
    B.Lang->LoadSIBFile(Path);
    EXPECT_EQ(Lines(Dispatcher->SIBReader()->FixedLanguages()), (std::vector<std::string>{"Eng"}))
        << "the dispatcher's reader read the file again";
    DeleteFileA(Path.c_str());
}

TEST(SibFile, RefusedFiles) {
    TTarget T;
    std::string Foreign = SibFile("TCaptionOwner", Block('\1'));
    Foreign[0] = 's';
    EXPECT_EQ(MessageOf([&] { T.Load(Foreign); }), "Unrecognized stream format!");
    // A directory that lies outside the file is the stream's read error; a cut block is the component
    // reader's own error about the length it cannot read.
    const std::string Whole = SibFile("TCaptionOwner", Block('\1'));
    EXPECT_EQ(MessageOf([&] { T.Load(SibFile("TCaptionOwner", Block('\1'), 100000)); }), ClassesConsts::SReadError) << "offset";
    for (size_t Cut : {size_t(44), size_t(60)})
        EXPECT_EQ(MessageOf([&] { T.Load(Whole.substr(0, Cut)); }), ClassesConsts::SReadError) << "cut at " << Cut;
    std::string Block;
    try {
        T.Load(Whole.substr(0, Whole.size() - 20));
    } catch (const EReadError& E) {
        Block = E.Message();
    }
    EXPECT_EQ(Block.rfind("Invalid length ", 0), 0u) << Block;
    EXPECT_EQ(Lines(T.Lang->Captions()), (std::vector<std::string>{Entry({"btnOk", "old", "old"})}));
    EXPECT_FALSE(T.Lang->Quiet);
}

}  // namespace
