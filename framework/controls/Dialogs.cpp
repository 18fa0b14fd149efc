#include "Dialogs.h"

#include "ResStrings.h"
#include "StdCtrls.h"

#include <algorithm>

namespace {

TMessagePresenter DefaultPresenter;
TMessagePresenter* CurrentPresenter = &DefaultPresenter;

struct TButtonKind {
    const char* Name;
    const TResStringRec* Caption;
    TModalResult Result;
};

// In the order the buttons appear, which is the order of TMsgDlgBtn.
const TButtonKind ButtonKinds[] = {
    {"Yes", &ResConsts::SMsgDlgYes, mrYes},
    {"No", &ResConsts::SMsgDlgNo, mrNo},
    {"OK", &ResConsts::SMsgDlgOK, mrOk},
    {"Cancel", &ResConsts::SMsgDlgCancel, mrCancel},
    {"Abort", &ResConsts::SMsgDlgAbort, mrAbort},
    {"Retry", &ResConsts::SMsgDlgRetry, mrRetry},
    {"Ignore", &ResConsts::SMsgDlgIgnore, mrIgnore},
    {"All", &ResConsts::SMsgDlgAll, mrAll},
    {"NoToAll", &ResConsts::SMsgDlgNoToAll, mrNoToAll},
    {"YesToAll", &ResConsts::SMsgDlgYesToAll, mrYesToAll},
    {"Help", &ResConsts::SMsgDlgHelp, mrNone},
};

std::string DialogCaption(TMsgDlgType Type) {
    switch (Type) {
    case mtWarning: return LoadResString(ResConsts::SMsgDlgWarning);
    case mtError: return LoadResString(ResConsts::SMsgDlgError);
    case mtInformation: return LoadResString(ResConsts::SMsgDlgInformation);
    case mtConfirmation: return LoadResString(ResConsts::SMsgDlgConfirm);
    default: return Application ? Application->Title() : std::string();
    }
}

HICON DialogIcon(TMsgDlgType Type) {
    LPCSTR Id = nullptr;
    switch (Type) {
    case mtWarning: Id = IDI_WARNING; break;
    case mtError: Id = IDI_ERROR; break;
    case mtInformation: Id = IDI_INFORMATION; break;
    case mtConfirmation: Id = IDI_QUESTION; break;
    default: return nullptr;
    }
    return LoadIconA(nullptr, Id);
}

constexpr int Margin = 8;
constexpr int IconSize = 32;
constexpr int ButtonSpacing = 4;
constexpr int ButtonHeight = 25;
constexpr int MinButtonWidth = 75;

}  // namespace

int TMessagePresenter::MessageBox(HWND Owner, const std::string& Text, const std::string& Caption, UINT Flags) {
    return MessageBoxA(Owner, Text.c_str(), Caption.c_str(), Flags);
}

int TMessagePresenter::ShowMessageForm(TMessageForm* Dialog) { return Dialog->ExecuteModal(); }

TMessagePresenter* SetMessagePresenter(TMessagePresenter* Presenter) {
    TMessagePresenter* Old = CurrentPresenter;
    CurrentPresenter = Presenter ? Presenter : &DefaultPresenter;
    return Old == &DefaultPresenter ? nullptr : Old;
}

TMessagePresenter& MessagePresenter() { return *CurrentPresenter; }

// ---------------------------------------------------------------------------------------------
// TMessageForm

TMessageForm::TMessageForm(TComponent* AOwner) : TForm(AOwner) {}

int TMessageForm::ShowModal() { return MessagePresenter().ShowMessageForm(this); }

TRect TMessageForm::TextRect() {
    int Left = Margin + (FIcon ? IconSize + Margin : 0);
    HDC DC = TextMeasureDC();
    HGDIOBJ Old = SelectObject(DC, Font()->Handle());
    RECT R{0, 0, std::max(200, GetSystemMetrics(SM_CXSCREEN) / 2), 0};
    DrawTextA(DC, FMessageText.c_str(), -1, &R, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    SelectObject(DC, Old);
    return TRect{Left, Margin, Left + R.right, Margin + R.bottom};
}

void TMessageForm::Layout(TMsgDlgButtons Buttons) {
    TRect Text = TextRect();
    std::vector<TButton*> List;
    int ButtonWidth = MinButtonWidth;
    HDC DC = TextMeasureDC();
    HGDIOBJ Old = SelectObject(DC, Font()->Handle());
    for (int I = mbYes; I <= mbHelp; ++I) {
        if (!Buttons.Contains(static_cast<TMsgDlgBtn>(I)))
            continue;
        const TButtonKind& K = ButtonKinds[I];
        auto* B = Create<TButton>(this);
        B->SetName(K.Name);
        B->SetCaption(LoadResString(K.Caption));
        B->SetModalResult(K.Result);
        B->SetParent(this);
        RECT R{0, 0, 0, 0};
        DrawTextA(DC, B->Caption().c_str(), -1, &R, DT_CALCRECT | DT_SINGLELINE);
        ButtonWidth = std::max<int>(ButtonWidth, R.right + 2 * Margin);
        List.push_back(B);
    }
    SelectObject(DC, Old);
    // OK, else Yes, is the default; Cancel, else No, else OK, answers Esc.
    auto Find = [&](const char* Name) { return DynCast<TButton>(FindChildControl(Name)); };
    TButton* Def = Find("OK") ? Find("OK") : Find("Yes");
    if (!Def && !List.empty())
        Def = List.front();
    if (Def)
        Def->SetDefault(true);
    TButton* Esc = Find("Cancel") ? Find("Cancel") : Find("No") ? Find("No") : Find("OK");
    if (Esc)
        Esc->SetCancel(true);

    int N = static_cast<int>(List.size());
    int RowWidth = N * ButtonWidth + std::max(0, N - 1) * ButtonSpacing;
    int Client = std::max<int>(Text.Right + Margin, RowWidth + 2 * Margin);
    int TextBottom = std::max<int>(Text.Bottom, Margin + (FIcon ? IconSize : 0));
    int Top = TextBottom + 2 * Margin;
    int X = (Client - RowWidth) / 2;
    for (TButton* B : List) {
        B->SetBounds(X, Top, ButtonWidth, ButtonHeight);
        X += ButtonWidth + ButtonSpacing;
    }
    SetClientSize(Client, Top + (N ? ButtonHeight + Margin : 0));
    if (Def)
        SetActiveControl(Def);
}

void TMessageForm::Paint() {
    TForm::Paint();
    HDC DC = Canvas()->Handle();
    if (FIcon)
        DrawIconEx(DC, Margin, Margin, FIcon, IconSize, IconSize, 0, nullptr, DI_NORMAL);
    TRect R = TextRect();
    RECT Rc = R;
    HGDIOBJ Old = SelectObject(DC, Font()->Handle());
    SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, static_cast<COLORREF>(ColorToRGB(Font()->Color())));
    DrawTextA(DC, FMessageText.c_str(), -1, &Rc, DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    SelectObject(DC, Old);
}

TMessageForm* CreateMessageDialog(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons) {
    TMessageForm* F = TCustomForm::CreateNewOf<TMessageForm>(Application);
    try {
        F->SetBorderStyle(bsDialog);
        F->SetPosition(poScreenCenter);
        F->SetCaption(DialogCaption(DlgType));
        F->FMessageText = Msg;
        F->FDlgType = DlgType;
        F->FIcon = DialogIcon(DlgType);
        F->Layout(Buttons);
    } catch (...) {
        F->Free();
        throw;
    }
    return F;
}

int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx) {
    TMessageForm* F = CreateMessageDialog(Msg, DlgType, Buttons);
    (void)HelpCtx;
    int Result;
    try {
        Result = F->ShowModal();
    } catch (...) {
        F->Free();
        throw;
    }
    F->Free();
    return Result;
}

void ShowMessage(const std::string& Msg) { MessageDlg(Msg, mtCustom, TMsgDlgButtons{mbOK}); }
