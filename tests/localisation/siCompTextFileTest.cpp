// Text translation files: what a kind's section looks like when saved, how a form reads its own keys
// back among other forms' keys, importing one language, and loading through the dispatcher.
#include "LocalisationTestComponents.h"

#include <windows.h>

#include <algorithm>

using namespace loctest;

namespace {

std::string Text(TStringStream& S) { return S.DataString(); }

bool HasLine(const std::string& File, const std::string& Line) {
    return ("\r\n" + File).find("\r\n" + Line + "\r\n") != std::string::npos;
}

// A "Rus", "Eng" component on an owner with the boxes btnOk and DBGridMain.
struct TPrompt : TLangWithBoxes {
    TPrompt() : TLangWithBoxes({"btnOk", "DBGridMain"}) {
        Lang->Captions()->Add(Entry({"TCaptionOwner", Cp1251(L"Пароль"), "Password"}));
        Lang->Captions()->Add(Entry({"btnOk", Cp1251(L"Применить"), "Apply"}));
    }
};

TEST(TextTranslationFile, SavedKindSection) {
    TPrompt F;
    TStringStream S("[Captions]\r\nTOtherForm.lblX=x|y|\r\n");
    EXPECT_EQ(F.Lang->SaveKindToStream(stCaptions, &S, "|"), 2);
    const std::string File = Text(S);
    EXPECT_TRUE(HasLine(File, "TCaptionOwner.btnOk=" + Cp1251(L"Применить") + "|Apply|")) << File;
    EXPECT_TRUE(HasLine(File, "TCaptionOwner.TCaptionOwner=" + Cp1251(L"Пароль") + "|Password|"));
    EXPECT_TRUE(HasLine(File, "TOtherForm.lblX=x|y|")) << "another form's keys are kept";
    EXPECT_TRUE(HasLine(File, "[OPTIONS]"));
    EXPECT_TRUE(HasLine(File, "DELIMITER=|"));
    EXPECT_TRUE(HasLine(File, "IsUTF8File=0"));
    EXPECT_TRUE(HasLine(File, "Language_1=Rus"));
    EXPECT_TRUE(HasLine(File, "Language_2=Eng"));
}

TEST(TextTranslationFile, LoadReadsOwnKeysWithOwnerEntryFirst) {
    TPrompt Saved;
    TStringStream S("[Captions]\r\nTOtherForm.btnOk=x|y|\r\n");
    Saved.Lang->SaveKindToStream(stCaptions, &S, "|");

    TLangWithBoxes Loaded({"btnOk", "DBGridMain"});
    EXPECT_EQ(Loaded.Lang->LoadKindFromStream(stCaptions, &S, true), 3) << "every distinct key of the section counts";
    EXPECT_EQ(Lines(Loaded.Lang->Captions()), Lines(Saved.Lang->Captions()));
    EXPECT_EQ(Loaded.Box("btnOk")->Caption, Cp1251(L"Применить")) << "the active language is applied";
}

TEST(TextTranslationFile, CollectionKeysTravelWithoutBrackets) {
    TPrompt F;
    F.Lang->Collections()->Add(Entry({"DBGridMain.Columns[0].Title.Caption", "a", "b"}));
    TStringStream S;
    F.Lang->SaveKindToStream(stCollections, &S, "|");
    EXPECT_TRUE(HasLine(Text(S), "TCaptionOwner.DBGridMain.Columns-0+.Title.Caption=a|b|")) << Text(S);

    F.Lang->BatchLoading = true;  // the grid stub has no column 0 that would keep the entry
    F.Lang->LoadKindFromStream(stCollections, &S, true);
    EXPECT_EQ(Lines(F.Lang->Collections()), (std::vector<std::string>{Entry({"DBGridMain.Columns[0].Title.Caption", "a", "b"})}));
}

TEST(TextTranslationFile, EdgeValues) {
    TLangWithBoxes F({"btnOk", "lblYa", "lblOne"});
    const std::string Ya = Cp1251(L"я");
    ASSERT_EQ(Ya, "\xFF");
    TStringStream S("[OPTIONS]\r\nDELIMITER=|\r\n[Captions]\r\nTCaptionOwner.lblYa=" + Ya + "|b|\r\n"
                    "TCaptionOwner.lblOne=single\r\n");
    F.Lang->LoadKindFromStream(stCaptions, &S, true);
    EXPECT_EQ(Lines(F.Lang->LangNames()), (std::vector<std::string>{"Rus", "Eng"}))
        << "a file without language names keeps the component's";
    EXPECT_EQ(F.Lang->NumOfLanguages(), 2);
    EXPECT_EQ(Lines(F.Lang->Captions()),
              (std::vector<std::string>{Entry({"lblOne", "single", "single"}), Entry({"lblYa", Ya, "b"})}))
        << "the letter that is byte 0xFF is a value like any other";
}

TEST(TextTranslationFile, EmptyFirstLanguageNameKeepsTheLanguages) {
    TLangWithBoxes F({"btnOk"});
    TStringStream S("[Language names - for internal use only!]\r\nLanguage_1=\r\nLanguage_2=Eng\r\n");
    F.Lang->LoadKindFromStream(stCaptions, &S, true);
    EXPECT_EQ(F.Lang->NumOfLanguages(), 2);
    EXPECT_EQ(Lines(F.Lang->LangNames()), (std::vector<std::string>{"Rus", "Eng"}));
}

TEST(TextTranslationFile, SaveAllWritesEveryKindAndExtended) {
    TPrompt F;
    F.Lang->Strings()->Add(Entry({"strMsg", "a", "b"}));
    TsiExtendedItem* Item = F.Lang->ExtendedTranslations()->Add();
    Item->SetIdentifier("btnOk.Hint");
    Item->SetValues(Entry({"", "h1", "h2"}).substr(1));
    Item->SetPropertyType(tkLString);
    TStringStream S;
    F.Lang->SaveAllToStream(&S, "|");
    const std::string File = Text(S);
    for (const char* Line : {"[Captions]", "[Strings]", "TCaptionOwner.strMsg=a|b|", "[Extended]",
                             "TCaptionOwner.btnOk.Hint=h1|h2|", "TCaptionOwner.btnOk.Hint_TypeKind=tkLString"})
        EXPECT_TRUE(HasLine(File, Line)) << Line << "\n" << File;

    TLangWithBoxes Back({"btnOk", "DBGridMain"});
    Back.Lang->LoadAllFromStream(&S, true, true);
    EXPECT_EQ(Lines(Back.Lang->Captions()), Lines(F.Lang->Captions()));
    ASSERT_NE(Back.Lang->ExtendedTranslations()->FindItem("btnOk.Hint"), nullptr);
    EXPECT_EQ(Back.Lang->ExtendedTranslations()->FindItem("btnOk.Hint")->Values(), Item->Values());
    EXPECT_EQ(Back.Lang->GetText("strMsg"), "a") << "Strings are indexed after loading";
}

// The extended section keys each item by its path as the components are named now, and writes each
// language's value in that language's code page, also for values a form held as UTF-16.
TEST(TextTranslationFile, SavedExtendedValuesAreConvertedAndFollowRenames) {
    TPrompt F;
    TsiExtendedItem* Item = F.Lang->ExtendedTranslations()->Add();
    Item->SetIdentifier("btnOk.Hint");
    Item->SetStartComponent(F.Box("btnOk"));
    Item->SetValues(Entry({"", "h1", "h2"}).substr(1));
    F.Box("btnOk")->SetName("btnApply");
    TStringStream Renamed;
    F.Lang->SaveExtendedToStream(&Renamed, "|");
    EXPECT_TRUE(HasLine(Text(Renamed), "TCaptionOwner.btnApply.Hint=h1|h2|")) << Text(Renamed);
    EXPECT_EQ(Text(Renamed).find("btnOk"), std::string::npos);

    std::wstring Wide = L"\x0391\x03B8\x03AE\x03BD\x03B1";  // Athens in Greek, beyond code pages 1251 and 1252
    ((Wide += wchar_t(1)) += L"Athens") += wchar_t(1);
    std::string Hex = "07070707";
    for (wchar_t C : Wide)
        Hex += IntToHex(C & 0xFF, 2) + IntToHex(C >> 8, 2);
    const std::string Form = "object Owner1: TOwnerForm\n  object siLang1: TsiLang\n    NumOfLanguages = 2\n"
                             "    ExtendedTranslations = <\n      item\n        Identifier = 'grid.Hint'\n"
                             "        PropertyType = tkLString\n        ValuesEx = {" + Hex + "}\n      end>\n  end\nend\n";
    const std::string Binary = ObjectTextToBinary(Form);
    TMemoryStream M;
    M.WriteBuffer(Binary.data(), static_cast<LongInt>(Binary.size()));
    M.SetPosition(0);
    TOwned<TOwnerForm> Owner(As<TOwnerForm>(M.ReadComponent(nullptr)));
    TsiLang* Lang = LangOf(Owner.get());
    Lang->CharSets()->Add(Entry({"TOwnerForm", "GREEK_CHARSET", "DEFAULT_CHARSET"}));
    Lang->RefreshCharsets();
    TStringStream Greek;
    Lang->SaveExtendedToStream(&Greek, "|");
    EXPECT_TRUE(HasLine(Text(Greek), "TOwnerForm.grid.Hint=" + WideToAnsi(Wide.substr(0, 5), 1253) + "|Athens|"))
        << Text(Greek);
}

// A file on disk, removed with the scope.
struct TTempFile {
    explicit TTempFile(const std::string& Name, const std::string& Content = {}) {
        char Dir[MAX_PATH];
        GetTempPathA(MAX_PATH, Dir);
        Path = std::string(Dir) + Name;
        DeleteFileA(Path.c_str());
        if (!Content.empty()) {
            TStringStream S(Content);
            TFileStream F(Path, fmCreate);
            F.CopyFrom(&S, 0);
        }
    }
    ~TTempFile() { DeleteFileA(Path.c_str()); }
    std::string Path;
};

TEST(TextTranslationFile, ImportAddsAMissingLanguage) {
    TPrompt F;
    TTempFile File("h33_import.txt", "[OPTIONS]\r\nDELIMITER=|\r\n"
                                     "[Language names - for internal use only!]\r\nLanguage_1=Eng\r\nLanguage_2=Deu\r\n"
                                     "[Captions]\r\nTCaptionOwner.btnOk=Apply|Anwenden|\r\n"
                                     "TCaptionOwner.DBGridMain=Grid|Gitter|\r\n");
    F.Lang->ImportLanguage(File.Path, "Deu");
    EXPECT_EQ(Lines(F.Lang->LangNames()), (std::vector<std::string>{"Rus", "Eng", "Deu"}));
    EXPECT_EQ(F.Lang->NumOfLanguages(), 3);
    EXPECT_EQ(ExtractDelimitedField(F.Lang->Captions()->Strings(1), D, 3), "Anwenden");
    EXPECT_EQ(ExtractDelimitedField(F.Lang->Captions()->Strings(1), D, 1), Cp1251(L"Применить"));
    EXPECT_EQ(Lines(F.Lang->Captions()).back(), Entry({"DBGridMain", "", "", "Gitter"}));

    F.Lang->SetDoRaiseExceptions(true);
    EXPECT_EQ(MessageOf([&] { F.Lang->ImportLanguage(File.Path, "Fra"); }), "Fra not found in " + File.Path);
}

TEST(TextTranslationFile, DispatcherFileLoadsIntoLinkingComponent) {
    TTempFile File("h33_dispatch.lng", "[Language names - for internal use only!]\r\nLanguage_1=Rus\r\nLanguage_2=Eng\r\n"
                                       "[Captions]\r\nTCaptionOwner.btnOk=Da~!@#Yes~!@#\r\n");
    TOwned<TComponent> Main(Create<TComponent>(nullptr));
    auto* Dispatcher = Create<TsiLangDispatcher>(Main.get());
    Dispatcher->SetFileName(File.Path);
    TLangWithBoxes F({"btnOk"});
    F.Lang->SetLangDispatcher(Dispatcher);
    EXPECT_EQ(F.Box("btnOk")->Caption, "Da");
    Dispatcher->SetActiveLanguage(2);
    EXPECT_EQ(F.Box("btnOk")->Caption, "Yes");
}

// ---------------------------------------------------------------------------------------------
// Files by name and merging

TEST(TranslationFileMerge, ColumnsFollowTheComponentsLanguages) {
    TPrompt F;
    F.Lang->Captions()->Add(Entry({"DBGridMain", Cp1251(L"Сетка"), "Grid"}));
    TTempFile File("h33_merge.txt", "[OPTIONS]\r\nDELIMITER=|\r\n"
                                    "[Language names - for internal use only!]\r\nLanguage_1=Eng\r\nLanguage_2=Deu\r\n"
                                    "Language_3=Rus\r\n"
                                    "[Captions]\r\nTCaptionOwner.btnOk=OK|Gut|" + Cp1251(L"Хорошо") + "|\r\n");
    ASSERT_TRUE(F.Lang->MergeKindFromFile(stCaptions, File.Path));
    EXPECT_EQ(Lines(F.Lang->Captions()),
              (std::vector<std::string>{Entry({"TCaptionOwner", Cp1251(L"Пароль"), "Password"}),
                                        Entry({"btnOk", Cp1251(L"Хорошо"), "OK"}),
                                        Entry({"DBGridMain", Cp1251(L"Сетка"), "Grid"})}))
        << "the file's entry wins, the others follow it (the owner's stays on top), the language the component "
           "lacks is dropped";
    EXPECT_EQ(Lines(F.Lang->LangNames()), (std::vector<std::string>{"Rus", "Eng"}));
    EXPECT_EQ(F.Box("btnOk")->Caption, Cp1251(L"Хорошо")) << "applied at once";
}

// A stream that fails every read once Broken is set.
struct TBrokenStream : TStringStream {
    using TStringStream::TStringStream;
    LongInt Read(void* Buffer, LongInt Count) override {
        if (Broken)
            throw EReadError("broken");
        return TStringStream::Read(Buffer, Count);
    }
    bool Broken = false;
};

TEST(TranslationFileMerge, StreamMergesKeepTheComponentsOtherEntries) {
    TPrompt F;
    F.Lang->Captions()->Add(Entry({"DBGridMain", Cp1251(L"Сетка"), "Grid"}));
    F.Lang->Strings()->Add(Entry({"strOld", "o1", "o2"}));
    F.Lang->Strings()->Add(Entry({"strBoth", "old", "old"}));
    TBrokenStream S("[OPTIONS]\r\nDELIMITER=|\r\n"
                    "[Language names - for internal use only!]\r\nLanguage_1=Rus\r\nLanguage_2=Eng\r\n"
                    "[Captions]\r\nTCaptionOwner.btnOk=Da|Yes|\r\n"
                    "[Strings]\r\nTCaptionOwner.strBoth=new1|new2|\r\nTCaptionOwner.strNew=n1|n2|\r\n");
    ASSERT_TRUE(F.Lang->MergeAllFromStreamAndApply(&S));
    const auto Captions = Lines(F.Lang->Captions());
    const auto At = [&](const std::string& Line) { return std::find(Captions.begin(), Captions.end(), Line) - Captions.begin(); };
    EXPECT_LT(At(Entry({"btnOk", "Da", "Yes"})), At(Entry({"DBGridMain", Cp1251(L"Сетка"), "Grid"})))
        << "the stream's entry wins and the component's other entries follow it";
    EXPECT_LT(At(Entry({"TCaptionOwner", Cp1251(L"Пароль"), "Password"})), static_cast<std::ptrdiff_t>(Captions.size()));
    EXPECT_EQ(Captions.size(), 3u);
    EXPECT_EQ(Lines(F.Lang->Strings()), (std::vector<std::string>{Entry({"strBoth", "new1", "new2"}), Entry({"strNew", "n1", "n2"}),
                                                                   Entry({"strOld", "o1", "o2"})}));
    EXPECT_EQ(F.Lang->GetText("strNew"), "n1") << "the index is rebuilt";
    EXPECT_EQ(F.Lang->GetText("strOld"), "o1");
    EXPECT_EQ(F.Box("btnOk")->Caption, "Da") << "applied";
    EXPECT_FALSE(F.Lang->BatchLoading);

    // A stream that cannot be read leaves the kind as it was and ends the merge of all kinds.
    const auto Before = Lines(F.Lang->Captions());
    S.Broken = true;
    EXPECT_FALSE(F.Lang->MergeKindFromStream(stCaptions, &S));
    EXPECT_EQ(Lines(F.Lang->Captions()), Before);
    F.Lang->BatchLoading = true;
    EXPECT_FALSE(F.Lang->MergeAllFromStream(&S));
    EXPECT_TRUE(F.Lang->BatchLoading) << "the caller's batch flag is given back";
    EXPECT_EQ(Lines(F.Lang->Captions()), Before);
}

TEST(TranslationFileMerge, MissingFiles) {
    TPrompt F;
    const auto Before = Lines(F.Lang->Captions());
    TTempFile Missing("h33_missing.txt");
    EXPECT_EQ(F.Lang->LoadKindFromFile(stCaptions, Missing.Path, true), -1);
    EXPECT_FALSE(F.Lang->MergeAllFromFile(Missing.Path));
    EXPECT_FALSE(F.Lang->BatchLoading);
    EXPECT_EQ(Lines(F.Lang->Captions()), Before);
}

TEST(TranslationFileMerge, SaveAllToFileRoundTrip) {
    TPrompt F;
    TTempFile File("h33_all.txt", "[Captions]\r\nTOtherForm.x=1|2|3|4|5|6|7|8|9|10|11|12|13|14|15|16|17|18|19|20|\r\n");
    F.Lang->SaveAllToFile(File.Path, "|");
    F.Lang->SaveAllToFile(File.Path, "|");  // an existing file is rewritten, not appended to
    TLangWithBoxes Back({"btnOk", "DBGridMain"});
    Back.Lang->LoadEachKindFromFile(File.Path, true);
    EXPECT_EQ(Lines(Back.Lang->Captions()), Lines(F.Lang->Captions()));
    TStringList Written;
    Written.LoadFromFile(File.Path);
    int Other = 0;
    for (int I = 0; I < Written.Count(); ++I)
        Other += Written.Strings(I).rfind("TOtherForm.x=", 0) == 0;
    EXPECT_EQ(Other, 1) << "the other form's key is kept, once";
}

}  // namespace
