#include "sPopupClndr.h"

#include "sMonthCalendar.h"
#include "sSectionPaint.h"
#include "sSkinManager.h"
#include "sTooledit.h"

TAOR PopupRegionRects;

namespace {
bool ManagerActive(const TsSkinManager* M) { return M && M->SkinData && M->SkinData->SkinActive; }
}  // namespace

TsPopupCalendar::TsPopupCalendar(TComponent* AOwner) : TForm(AOwner) {}

void TsPopupCalendar::DefineClass(TClassBuilder<TsPopupCalendar>& B) {
    B.Field("sMonthCalendar1", &TsPopupCalendar::sMonthCalendar1);
    B.Method<&TsPopupCalendar::FormKeyDown>("FormKeyDown");
    B.Method<&TsPopupCalendar::FormShow>("FormShow");
    B.Method<&TsPopupCalendar::CalendarClick>("CalendarClick");
    B.Method<&TsPopupCalendar::FormDeactivate>("FormDeactivate");
    B.Method<&TsPopupCalendar::FormClose>("FormClose");
}

TsPopupCalendar* TsPopupCalendar::CreatePopup(TComponent* AOwner) {
    if (FindResourceA(GetModuleHandleA(nullptr), "TSPOPUPCALENDAR", MAKEINTRESOURCEA(10))) {
        // The form file names these classes: they are known even when no start-up registered them.
        RegisterClass(TsPopupCalendar::StaticClass());
        RegisterClass(TsMonthCalendar::StaticClass());
        return Create<TsPopupCalendar>(AOwner);
    }
    return CreateInCode(AOwner);
}

TsPopupCalendar* TsPopupCalendar::CreateInCode(TComponent* AOwner) {
    auto* P = CreateNewOf<TsPopupCalendar>(AOwner);
    P->BuildInCode();
    return P;
}

// The same form as its resource describes.
void TsPopupCalendar::BuildInCode() {
    SetBorderStyle(bsNone);
    SetClientSize(189, 132);
    SetKeyPreview(true);
    SetScaled(false);
    SetTag(-98);
    Font()->SetName("Tahoma");
    Font()->SetHeight(-11);
    sMonthCalendar1 = Create<TsMonthCalendar>(this);
    sMonthCalendar1->SetName("sMonthCalendar1");
    sMonthCalendar1->SetAlign(alClient);
    sMonthCalendar1->SetBevelWidth(1);
    sMonthCalendar1->SetBorderWidth(3);
    sMonthCalendar1->SetCaption(" ");
    sMonthCalendar1->SkinData()->SetSkinSection("PANEL");
    sMonthCalendar1->SetParent(this);
    OnClose = TCloseEvent::Bind<&TsPopupCalendar::FormClose>(this);
    OnDeactivate = TNotifyEvent::Bind<&TsPopupCalendar::FormDeactivate>(this);
    OnKeyDown = TKeyEvent::Bind<&TsPopupCalendar::FormKeyDown>(this);
    OnShow = TNotifyEvent::Bind<&TsPopupCalendar::FormShow>(this);
}

void TsPopupCalendar::CreateParams(TCreateParams& Params) {
    TForm::CreateParams(Params);
    Params.Style |= WS_CLIPSIBLINGS;
}

void TsPopupCalendar::CreateWnd() {
    TForm::CreateWnd();
    SetClassLongA(Handle(), GCL_STYLE, GetClassLongA(Handle(), GCL_STYLE) | 0x20000);
}

void TsPopupCalendar::FocusEditor() {
    if (!Editor)
        return;
    if (Editor->CanFocus())
        Editor->SetFocus();
    if (Editor->AutoSelect())
        Editor->SelectAllText();
}

bool TsPopupCalendar::AcceptDate() {
    bool CanAccept = true;
    TDateTime D = sMonthCalendar1->CalendarDate();
    Editor->OnAcceptDate(Editor, D, CanAccept);
    if (CanAccept) {
        Editor->SetDate(D);
        Editor->OnChange(Editor);
    }
    return CanAccept;
}

void TsPopupCalendar::CalendarClick(TObject*) {
    bool CanAccept = true;
    if (Editor && sMonthCalendar1) {
        CanAccept = AcceptDate();
        if (CanAccept) {
            SetVisible(false);
            if (Editor->Visible() && Editor->Enabled())
                FocusEditor();
        }
    }
    if (CanAccept)
        Close();
}

void TsPopupCalendar::FormKeyDown(TObject*, Word& Key, TShiftState) {
    switch (Key) {
    case VK_RETURN:
        if (Editor) {
            if (sMonthCalendar1)
                AcceptDate();
            FocusEditor();
        }
        Close();
        break;
    case VK_ESCAPE:
        if (Editor && Editor->CanFocus())
            Editor->SetFocus();
        Close();
        break;
    default:
        break;
    }
}

void TsPopupCalendar::FormShow(TObject*) {
    if (sMonthCalendar1) {
        sMonthCalendar1->TitleBar->SetCursor(crDefault);
        sMonthCalendar1->UpdateTodayCaption();
    }
    TsSkinManager* M = Editor ? Editor->SkinData()->GetSkinManager() : nullptr;
    if (ManagerActive(M) && HandleAllocated()) {
        BuildRegionRects();
        SetWindowRgn(Handle(), MakeRegion(), TRUE);
    }
    SetColor(ManagerActive(DefaultManager) ? DefaultManager->GetMainColor() : clBtnFace);
    if (Editor && sMonthCalendar1)
        sMonthCalendar1->SetShowCurrentDate(Editor->ShowCurrentDate());
}

void TsPopupCalendar::FormDeactivate(TObject*) { Close(); }

void TsPopupCalendar::FormClose(TObject*, TCloseAction&) {
    if (sMonthCalendar1)
        sMonthCalendar1->DayGrid->Busy = false;
}

void TsPopupCalendar::KeyPress(char& Key) {
    TForm::KeyPress(Key);
    if (sMonthCalendar1 && Key != 0)
        sMonthCalendar1->DayGrid->KeyPress(Key);
}

void TsPopupCalendar::BuildRegionRects() {
    PopupRegionRects.clear();
    TsSkinManager* M = Editor ? Editor->SkinData()->GetSkinManager() : nullptr;
    if (!M || !sMonthCalendar1)
        return;
    const int Border = sMonthCalendar1->SkinData()->BorderMaskIndex;
    if (!M->MaskIndexInRange(Border))
        return;
    const TsMaskData& Mask = M->MaskList[Border];
    AddCornerHoleRects(PopupRegionRects, Width(), Mask, false, 0);
    AddCornerHoleRects(PopupRegionRects, Width(), Mask, true, Height() - Mask.WB);
}

HRGN TsPopupCalendar::MakeRegion() {
    HRGN Region = CreateRectRgn(0, 0, Width(), Height());
    for (const TRect& R : PopupRegionRects) {
        HRGN Hole = CreateRectRgn(R.Left, R.Top, R.Right, R.Bottom);
        CombineRgn(Region, Region, Hole, RGN_DIFF);
        DeleteObject(Hole);
    }
    return Region;
}

void TsPopupCalendar::WndProc(TMessage& Message) {
    if (Message.Msg == WM_ERASEBKGND && ManagerActive(DefaultManager))
        return;
    if (Message.Msg == WM_NCPAINT && Editor && ManagerActive(Editor->SkinData()->GetSkinManager())) {
        BuildRegionRects();
        SetWindowRgn(Handle(), MakeRegion(), FALSE);
    }
    TForm::WndProc(Message);
}

void sPopupClndrInitialization() { RegisterClass(TsPopupCalendar::StaticClass()); }

void sPopupClndrFinalization() { PopupRegionRects.clear(); }
