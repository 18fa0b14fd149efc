// The program's texts on any system: language 1 shows Cyrillic and language 2 English whatever the
// system's code page (the suite also runs under the English locale, code page 1252). Texts are read
// back as the system keeps them (UTF-16) from the live windows, together with the character set of
// the font that shows them; windowless labels by the code page their device context reads them in.
#include "untAddTestSupport.h"

#include "ComCtrls.h"
#include "DBGrids.h"
#include "Menus.h"
#include "pPassword.h"
#include "untAbout.h"
#include "untJOpen.h"
#include "untRestore.h"
#include "untSaveTimer.h"

#include <commctrl.h>

#include <algorithm>

namespace app_tests {
namespace {

std::wstring StoredText(HWND Wnd) {
    wchar_t Buf[512] = {};
    InternalGetWindowText(Wnd, Buf, 512);
    return Buf;
}

int WindowCharset(HWND Wnd) {
    LOGFONTW LF{};
    auto Font = reinterpret_cast<HFONT>(SendMessageW(Wnd, WM_GETFONT, 0, 0));
    return Font && GetObjectW(Font, sizeof LF, &LF) ? LF.lfCharSet : -1;
}

// What a windowless control's text becomes when it is drawn in its font: the device context reads
// 8-bit text in the code page of the selected font's character set.
std::wstring DrawnText(TControl* C, const std::string& Text) {
    HDC DC = GetDC(nullptr);
    HGDIOBJ Old = SelectObject(DC, C->Font()->Handle());
    CHARSETINFO Info{};
    const int Charset = GetTextCharset(DC);
    SelectObject(DC, Old);
    ReleaseDC(nullptr, DC);
    const UINT CodePage = TranslateCharsetInfo(reinterpret_cast<DWORD*>(static_cast<uintptr_t>(Charset)), &Info,
                                               TCI_SRCCHARSET)
                              ? Info.ciACP
                              : GetACP();
    return AnsiToWide(Text, CodePage);
}

std::wstring BarPanelText(TStatusBar* Bar, int Index) {
    wchar_t Buf[256] = {};
    SendMessageW(Bar->Handle(), SB_GETTEXTW, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(Buf));
    return Buf;
}

std::wstring ToolButtonText(TToolBar* Bar, TToolButton* B) {
    wchar_t Buf[256] = {};
    const auto Count = SendMessageW(Bar->Handle(), TB_BUTTONCOUNT, 0, 0);
    for (int I = 0; I < Count; ++I) {
        TBBUTTON N{};
        SendMessageW(Bar->Handle(), TB_GETBUTTON, static_cast<WPARAM>(I), reinterpret_cast<LPARAM>(&N));
        if (N.dwData == reinterpret_cast<DWORD_PTR>(B)) {
            SendMessageW(Bar->Handle(), TB_GETBUTTONTEXTW, static_cast<WPARAM>(N.idCommand), reinterpret_cast<LPARAM>(Buf));
            break;
        }
    }
    return Buf;
}

std::wstring MenuText(HMENU Menu, int Position) {
    wchar_t Buf[256] = {};
    GetMenuStringW(Menu, static_cast<UINT>(Position), Buf, 256, MF_BYPOSITION);
    return Buf;
}

// The text a standard window shows: buttons keep it as their window text, edits in their own buffer,
// which their class's wide procedure gives without any conversion.
std::wstring ShownText(TWinControl* W) {
    if (!DynCast<TCustomEdit>(W))
        return StoredText(W->Handle());
    WNDCLASSW Edit{};
    GetClassInfoW(nullptr, L"EDIT", &Edit);
    wchar_t Buf[512] = {};
    CallWindowProcW(Edit.lpfnWndProc, W->Handle(), WM_GETTEXT, 512, reinterpret_cast<LPARAM>(Buf));
    return Buf;
}

// Every control of Root shows its text, read in the language's code page, in a font of the
// language's character set: standard windows keep it (buttons, check boxes, radio buttons, edits),
// the others draw it in their font. Returns the number of non-ASCII texts seen, so that a caller can
// tell the language was really there.
int ExpectEveryControl(TWinControl* Root, UINT CodePage, int Charset) {
    int Seen = 0;
    for (int I = 0; I < Root->ControlCount(); ++I) {
        TControl* C = Root->Controls(I);
        auto* W = DynCast<TWinControl>(C);
        if (W && !W->HandleAllocated())
            continue;
        const std::string Text = C->Caption();
        const int WindowFont = W ? WindowCharset(W->Handle()) : -1;
        EXPECT_EQ(WindowFont >= 0 ? WindowFont : C->Font()->Charset(), Charset) << C->Name();
        if (DynCast<TButton>(C) || DynCast<TCustomCheckBox>(C) || DynCast<TRadioButton>(C) || DynCast<TCustomEdit>(C)) {
            EXPECT_EQ(ShownText(W), AnsiToWide(Text, CodePage)) << C->Name();
        } else if (!Text.empty()) {
            EXPECT_EQ(DrawnText(C, Text), AnsiToWide(Text, CodePage)) << C->Name();
        }
        if (std::any_of(Text.begin(), Text.end(), [](char Ch) { return static_cast<unsigned char>(Ch) >= 0x80; }))
            ++Seen;
        if (W)
            Seen += ExpectEveryControl(W, CodePage, Charset);
    }
    return Seen;
}

class EnglishSystemTexts : public TWizardFixture {};

TEST_F(EnglishSystemTexts, TheMainWindowShowsEachLanguageInItsOwnLetters) {
    TfrmSetting* M = Main.get();
    M->Show();
    Pump();
    struct Case {
        int Language;
        UINT CodePage;
        int Charset;
        const wchar_t *Label, *Radio, *Button, *Tool, *Title, *Menu;
    };
    const Case Cases[] = {
        {1, 1251, RUSSIAN_CHARSET, L"Сервер MS SQL:", L"NT безопасность", L"Подключиться", L"Добавить", L"Сервер",
         L"Автозагрузка"},
        {2, GetACP(), DEFAULT_CHARSET, L"MS SQL Server:", L"NT safety", L"To connect", L"Add", L"Server", nullptr},
        {1, 1251, RUSSIAN_CHARSET, L"Сервер MS SQL:", L"NT безопасность", L"Подключиться", L"Добавить", L"Сервер",
         L"Автозагрузка"},
    };
    for (const Case& C : Cases) {
        if (M->siLangDispatcher->ActiveLanguage() != C.Language)
            SwitchLanguage();
        Pump();
        ASSERT_EQ(M->siLangDispatcher->ActiveLanguage(), C.Language);
        SCOPED_TRACE(C.Language);
        auto* Server = DynCast<TLabel>(M->FindComponent("lblServer"));
        ASSERT_TRUE(Server);
        EXPECT_EQ(DrawnText(Server, Server->Caption()), C.Label);
        EXPECT_EQ(StoredText(M->rbNT->Handle()), C.Radio);
        EXPECT_EQ(StoredText(M->btnOpen->Handle()), C.Button);
        EXPECT_EQ(ToolButtonText(M->ToolBar1, M->tbPlus), C.Tool);
        EXPECT_EQ(DrawnText(M->DBGridMain, M->DBGridMain->Columns()->Items(0)->Title()->Caption()), C.Title);
        EXPECT_EQ(M->DBGridMain->TitleFont()->Charset(), C.Charset) << "the titles are drawn in the title font";
        EXPECT_EQ(MenuText(M->PopupMenu->Handle(), 2), C.Menu ? C.Menu : AnsiToWide(M->pmAutoRun->Caption(), C.CodePage));
        // Owner-drawn panels are drawn by the window itself, in the bar's font.
        for (int I = 0; I < M->sbBar->Panels()->Count(); ++I) {
            TStatusPanel* P = M->sbBar->Panels()->Items(I);
            if (P->Style() == psText) {
                EXPECT_EQ(BarPanelText(M->sbBar, I), AnsiToWide(P->Text(), C.CodePage)) << I;
            }
        }
        const int NonAscii = ExpectEveryControl(M, C.CodePage, C.Charset);
        if (C.Language == 1) {
            EXPECT_GE(NonAscii, 8) << "the window's Russian texts were all checked";
        }
    }
}

TEST_F(EnglishSystemTexts, TheWizardShowsEachLanguageInItsOwnLetters) {
    struct Case {
        int Language;
        UINT CodePage;
        int Charset;
        const wchar_t *Apply, *Radio, *Label;
    };
    const Case Cases[] = {
        {1, 1251, RUSSIAN_CHARSET, L"Применить", L"По дням недели", L"Путь"},
        {2, GetACP(), DEFAULT_CHARSET, L"Apply", L"On days of the week", L"Path"},
    };
    for (const Case& C : Cases) {
        if (Main->siLangDispatcher->ActiveLanguage() != C.Language)
            SwitchLanguage();
        SCOPED_TRACE(C.Language);
        TfrmAdd* W = Open();
        Pump();
        EXPECT_EQ(StoredText(W->Handle()), AnsiToWide(W->Caption(), C.CodePage));
        EXPECT_EQ(StoredText(W->btnApply->Handle()), C.Apply);
        EXPECT_EQ(StoredText(W->rbType2->Handle()), C.Radio);
        EXPECT_EQ(DrawnText(W->lblFolderType4, W->lblFolderType4->Caption()), C.Label);
        // Every page of the notebook, not only the one shown.
        for (int P = 0; P < W->Notebook->PageCount(); ++P)
            W->Notebook->Page(P)->HandleNeeded();
        const int NonAscii = ExpectEveryControl(W, C.CodePage, C.Charset);
        if (C.Language == 1) {
            EXPECT_GE(NonAscii, 20) << "the wizard's Russian texts were all checked";
        }
        W->Free();
        frmAdd = nullptr;
    }
}

TEST_F(EnglishSystemTexts, TheOtherWindowsFollowEverySwitchInTheLettersOfTheLanguage) {
    // Open through the switches, as the dialogs opened without waiting can be.
    frmRestore = Create<TfrmRestore>(Application);
    frmPassword = Create<TfrmPassword>(Application);
    frmSaveTimer = Create<TfrmSaveTimer>(Application);
    frmJOpen = Create<TfrmJOpen>(Application);
    frmAbout = Create<TfrmAbout>(Application);
    const std::vector<TCustomForm*> Windows{frmRestore, frmPassword, frmSaveTimer, frmJOpen, frmAbout};
    for (TCustomForm* F : Windows)
        F->Show();
    Pump();
    struct Case {
        int Language;
        UINT CodePage;
        int Charset;
    };
    for (const Case& C : {Case{1, 1251, RUSSIAN_CHARSET}, Case{2, GetACP(), DEFAULT_CHARSET}, Case{1, 1251, RUSSIAN_CHARSET}}) {
        if (Main->siLangDispatcher->ActiveLanguage() != C.Language)
            SwitchLanguage();
        Pump();
        ASSERT_EQ(Main->siLangDispatcher->ActiveLanguage(), C.Language);
        SCOPED_TRACE(C.Language);
        int NonAscii = 0;
        for (TCustomForm* F : Windows) {
            SCOPED_TRACE(F->ClassName());
            EXPECT_EQ(StoredText(F->Handle()), AnsiToWide(F->Caption(), C.CodePage));
            NonAscii += ExpectEveryControl(F, C.CodePage, C.Charset);
        }
        if (C.Language == 1) {
            EXPECT_GE(NonAscii, 14) << "the windows' Russian texts were all checked";
        }
    }
}

// Every label of Root and its children: the text, measured on the label's own canvas in its own font
// as the label draws it, fits the label's client rectangle. Returns the number of labels seen.
int ExpectLabelsFit(TWinControl* Root) {
    int Seen = 0;
    for (int I = 0; I < Root->ControlCount(); ++I) {
        TControl* C = Root->Controls(I);
        if (auto* W = DynCast<TWinControl>(C))
            Seen += ExpectLabelsFit(W);
        auto* L = DynCast<TCustomLabel>(C);
        if (!L || !L->Visible() || L->Caption().empty())
            continue;
        ++Seen;
        TCanvas* Canvas = L->Canvas();
        Canvas->SetFont(L->Font());
        const std::string Text = L->Caption();
        RECT R{0, 0, L->WordWrap() ? L->Width() : 0, 0};
        DrawTextA(Canvas->Handle(), Text.c_str(), static_cast<int>(Text.size()), &R,
                  DT_CALCRECT | DT_EXPANDTABS | (L->WordWrap() ? DT_WORDBREAK : 0) | (L->ShowAccelChar() ? 0 : DT_NOPREFIX));
        const TRect Client = L->ClientRect();
        EXPECT_LE(R.right - R.left, Client.Width()) << L->Owner()->Name() << "." << L->Name() << " \"" << Text << "\"";
        EXPECT_LE(R.bottom - R.top, Client.Height()) << L->Owner()->Name() << "." << L->Name();
    }
    return Seen;
}

TEST_F(EnglishSystemTexts, EveryLabelOfTheProgramsWindowsFitsItsText) {
    frmRestore = Create<TfrmRestore>(Application);
    frmPassword = Create<TfrmPassword>(Application);
    frmSaveTimer = Create<TfrmSaveTimer>(Application);
    TfrmAdd* W = Open();
    std::vector<TCustomForm*> Windows{Main.get(), W, frmRestore, frmPassword, frmSaveTimer};
    for (int Language : {1, 2, 1}) {
        if (Main->siLangDispatcher->ActiveLanguage() != Language)
            SwitchLanguage();
        SCOPED_TRACE(Language);
        int Seen = 0;
        for (TCustomForm* F : Windows) {
            F->Show();
            Pump();
            Seen += ExpectLabelsFit(F);
            F->Hide();
        }
        EXPECT_GE(Seen, 25) << "the labels of every window were measured";
    }
}

}  // namespace
}  // namespace app_tests
