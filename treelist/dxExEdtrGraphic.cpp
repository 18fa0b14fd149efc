#include "dxExEdtrGraphic.h"

#include "Clipbrd.h"
#include "ExtDlgs.h"

#include <algorithm>
#include <cstring>

// ---------------------------------------------------------------------------------------------
// Picture value format

namespace {
constexpr std::size_t HeaderSize = 8;

// The header older stores put in front: word 1, word 0x0100, then the length of what follows.
bool HasPictureHeader(const std::string& S) {
    if (S.size() < HeaderSize)
        return false;
    const auto* P = reinterpret_cast<const unsigned char*>(S.data());
    const unsigned Length = P[4] | (P[5] << 8) | (P[6] << 16) | (static_cast<unsigned>(P[7]) << 24);
    return P[0] == 1 && P[1] == 0 && P[2] == 0 && P[3] == 1 && Length == S.size() - HeaderSize;
}
}  // namespace

bool IsPictureEmpty(TPicture* Picture) { return !Picture || !Picture->Graphic() || Picture->Graphic()->Empty(); }

std::string SavePictureValue(TPicture* Picture) {
    if (IsPictureEmpty(Picture))
        return std::string();
    TStringStream S;
    Picture->Graphic()->SaveToStream(&S);
    return S.DataString();
}

void LoadPictureValue(TPicture* Picture, const Variant& Value, TGraphicClass GraphicClass) {
    if (Value.VType() != varString) {
        Picture->Assign(nullptr);
        return;
    }
    const std::string S = Value.AsString();
    if (S.empty()) {
        Picture->Assign(nullptr);
        return;
    }
    const std::size_t Skip = HasPictureHeader(S) ? HeaderSize : 0;
    TMemoryStreamReadOnly Stream;
    Stream.SetPointer(const_cast<char*>(S.data() + Skip), static_cast<LongInt>(S.size() - Skip));
    try {
        if (GraphicClass) {
            TGraphic* G = GraphicClass.Create();
            try {
                G->LoadFromStream(&Stream);
                Picture->Assign(G);
            } catch (...) {
                G->Free();
                throw;
            }
            G->Free();
        } else
            Picture->Bitmap()->LoadFromStream(&Stream);
    } catch (...) {
        // Bytes that are no picture leave none behind, not a half-read one.
        Picture->Assign(nullptr);
        throw;
    }
}

bool LoadPictureFromDialog(TPicture* Picture, const std::string& Filter, bool (*CanLoad)(void*), void* Context) {
    TOwned<TOpenPictureDialog> D(Create<TOpenPictureDialog>(nullptr));
    if (!Filter.empty())
        D->Filter = Filter;
    if (!D->Execute())
        return false;
    if (!CanLoad || CanLoad(Context))
        Picture->LoadFromFile(D->FileName);
    return true;
}

void SavePictureToDialog(TPicture* Picture, const std::string& Filter, TComponent* Owner) {
    TGraphic* G = Picture->Graphic();
    if (!G)
        return;
    TOwned<TSavePictureDialog> D(Create<TSavePictureDialog>(Owner));
    const TGraphicClass Class(G->ClassType());
    D->Filter = Filter.empty() ? GraphicFilter(Class) : Filter;
    D->DefaultExt = GraphicExtension(Class);
    if (D->Execute())
        Picture->SaveToFile(D->FileName);
}

TRect FitPictureRect(int ClientW, int ClientH, int PicW, int PicH) {
    if (PicW <= 0 || PicH <= 0)
        return TRect{0, 0, 0, 0};
    if (static_cast<double>(ClientW) / PicW >= static_cast<double>(ClientH) / PicH)
        return TRect{0, 0, PicW * ClientH / PicH, ClientH};
    return TRect{0, 0, ClientW, PicH * ClientW / PicW};
}

TRect PicturePlacement(const TRect& Content, int W, int H, bool Stretch, bool Center) {
    TRect R;
    if (Stretch) {
        R = FitPictureRect(Content.Width(), Content.Height(), W, H);
        OffsetRect(R, Content.Left, Content.Top);
        return R;
    }
    R = TRect{Content.Left, Content.Top, Content.Left + W, Content.Top + H};
    if (Center)
        OffsetRect(R, (Content.Width() - W) / 2, (Content.Height() - H) / 2);
    return R;
}

// ---------------------------------------------------------------------------------------------
// Popup tool bar

namespace {
constexpr LongInt SeparatorTag = 0x7FFFFFFF;
// The menu's items by tool button index; separators between.
constexpr int MenuItemOfButton[7] = {0, 1, 2, 3, 5, 6, 8};
}  // namespace

TdxPopupToolBar::TdxPopupToolBar(TComponent* AOwner) : TForm(AOwner) {
    PasteFormat = CF_PICTURE;
    SetBorderStyle(bsToolWindow);
    SetBorderIcons(TBorderIcons{biSystemMenu});
    SetFormStyle(fsStayOnTop);
    SetShowHint(true);
    SetCaption("Toolbox");
    for (int I = 0; I < 7; ++I) {
        auto* B = Create<TSpeedButton>(this);
        B->SetFlat(true);
        B->SetMargin(4);
        B->SetTag(I);
        B->SetCaption(ToolCaptions[I]);
        B->SetHint(ToolHints[I]);
        if (I < 6 && ToolImages) {
            auto* G = Create<TBitmap>();
            ToolImages->GetBitmap(I, G);
            B->SetGlyph(G);
            G->Free();
        } else {
            auto* G = Create<TBitmap>();
            G->SetSize(16, 16);
            G->Canvas()->Brush()->SetColor(clBtnFace);
            G->Canvas()->FillRect(TRect{0, 0, 16, 16});
            B->SetGlyph(G);
            G->Free();
        }
        B->OnClick = TNotifyEvent::Bind<&TdxPopupToolBar::ButtonClick>(this);
        B->SetParent(this);
        FSpeedButtons[I] = B;
    }
}

TdxPopupToolBar::~TdxPopupToolBar() { FreeAndNil(FToolMenu); }

void TdxPopupToolBar::DefineClass(TClassBuilder<TdxPopupToolBar>&) {}

void TdxPopupToolBar::CreateParams(TCreateParams& Params) {
    TForm::CreateParams(Params);
    Params.WindowClass.style |= CS_SAVEBITS;
}

void TdxPopupToolBar::CreateWnd() {
    TForm::CreateWnd();
    FNextViewer = SetClipboardViewer(Handle());
    FInViewerChain = true;
    if (HMENU Menu = GetSystemMenu(Handle(), FALSE))
        for (UINT Cmd : {SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE})
            DeleteMenu(Menu, Cmd, MF_BYCOMMAND);
}

void TdxPopupToolBar::LeaveViewerChain() {
    if (!FInViewerChain)
        return;
    FInViewerChain = false;
    if (HandleAllocated())
        ChangeClipboardChain(Handle(), FNextViewer);
    FNextViewer = nullptr;
}

void TdxPopupToolBar::DestroyWindowHandle() {
    LeaveViewerChain();
    TForm::DestroyWindowHandle();
}

void TdxPopupToolBar::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_CHANGECBCHAIN:
        if (reinterpret_cast<HWND>(Message.WParam) == FNextViewer)
            FNextViewer = reinterpret_cast<HWND>(Message.LParam);
        else if (FNextViewer)
            SendMessageA(FNextViewer, WM_CHANGECBCHAIN, Message.WParam, Message.LParam);
        break;
    case WM_DRAWCLIPBOARD:
        UpdateEnabledStates();
        if (FNextViewer)
            SendMessageA(FNextViewer, WM_DRAWCLIPBOARD, Message.WParam, Message.LParam);
        break;
    case WM_NCDESTROY:
        LeaveViewerChain();
        break;
    case WM_MOUSEACTIVATE:
        Message.Result = MA_NOACTIVATE;
        return;
    case WM_ACTIVATE:
        if (OwnerEditor)
            if (TCustomForm* F = ::GetParentForm(OwnerEditor); F && F->HandleAllocated())
                SendMessageA(F->Handle(), WM_NCACTIVATE, TRUE, 0);
        TForm::WndProc(Message);
        UpdateEnabledStates();
        return;
    case WM_CLOSE:
        TForm::WndProc(Message);
        ClosedByUser = true;
        HideToolBar();
        return;
    case WM_KILLFOCUS:
        TForm::WndProc(Message);
        if (!OwnerEditor || !OwnerEditor->HandleAllocated() ||
            reinterpret_cast<HWND>(Message.WParam) != OwnerEditor->Handle())
            HideToolBar();
        return;
    case CM_SHOWINGCHANGED:
        // Shown and hidden only by ShowToolBar and HideToolBar.
        return;
    default:
        break;
    }
    TForm::WndProc(Message);
}

void TdxPopupToolBar::ButtonClick(TObject* Sender) {
    for (int I = 0; I < 7; ++I)
        if (FSpeedButtons[I] == Sender) {
            if (OnToolButtonClick)
                OnToolButtonClick(this, I);
            return;
        }
}

void TdxPopupToolBar::MenuClick(TObject* Sender) {
    auto* Item = static_cast<TMenuItem*>(Sender);
    if (OnToolButtonClick)
        OnToolButtonClick(this, static_cast<int>(Item->Tag()));
}

TPopupMenu* TdxPopupToolBar::NeedToolMenu() {
    if (FToolMenu)
        return FToolMenu;
    FToolMenu = Create<TPopupMenu>(nullptr);
    FToolMenu->SetImages(ToolImages);
    const int Tags[9] = {0, 1, 2, 3, static_cast<int>(SeparatorTag), 4, 5, static_cast<int>(SeparatorTag), 6};
    for (int Tag : Tags) {
        auto* Item = Create<TMenuItem>(FToolMenu);
        Item->SetTag(Tag);
        if (Tag == SeparatorTag)
            Item->SetCaption("-");
        else {
            Item->SetCaption(ToolCaptions[Tag]);
            Item->SetImageIndex(Tag);
            Item->OnClick = TNotifyEvent::Bind<&TdxPopupToolBar::MenuClick>(this);
        }
        FToolMenu->Items()->Add(Item);
    }
    return FToolMenu;
}

void TdxPopupToolBar::UpdateEnabledStates() {
    bool CanPaste = false;
    try {
        CanPaste = !ReadOnlyState && Clipboard()->HasFormat(PasteFormat);
    } catch (const Exception&) {
        // A clipboard another program holds open offers nothing to paste for the moment.
    }
    const bool States[7] = {!PictureEmpty && !ReadOnlyState,
                            !PictureEmpty,
                            CanPaste,
                            !PictureEmpty && !ReadOnlyState,
                            !ReadOnlyState,
                            !PictureEmpty,
                            true};
    for (int I = 0; I < 7; ++I)
        FSpeedButtons[I]->SetEnabled(States[I]);
    if (MenuMode && FToolMenu)
        for (int I = 0; I < 6; ++I)
            FToolMenu->Items()->Items(MenuItemOfButton[I])->SetEnabled(States[I]);
}

void TdxPopupToolBar::UpdateLayout() {
    if (MenuMode) {
        UpdateEnabledStates();
        return;
    }
    const bool Vertical = BarAlignment == ptaLeft || BarAlignment == ptaRight;
    const bool Captions = Vertical && CaptionsShown;
    int H = 22;
    int CaptionWidth = 0;
    if (Captions) {
        Canvas()->Font()->Assign(Font());
        H = std::max(22, Canvas()->TextHeight("Wg") + 9);
        for (int I = 0; I < 7; ++I)
            if (ShownButtons.Contains(static_cast<TdxPopupToolBarButton>(I)))
                CaptionWidth = std::max(CaptionWidth, Canvas()->TextWidth(FSpeedButtons[I]->Caption()));
    }
    const int W = H + 1 + CaptionWidth;
    int Shown = 0;
    for (int I = 0; I < 7; ++I) {
        TSpeedButton* B = FSpeedButtons[I];
        if (I < 6)
            B->SetCaption(Captions ? ToolCaptions[I] : std::string());
        if (!ShownButtons.Contains(static_cast<TdxPopupToolBarButton>(I))) {
            B->SetVisible(false);
            continue;
        }
        B->SetVisible(true);
        if (Vertical)
            B->SetBounds(0, Shown * H, W, H);
        else
            B->SetBounds(Shown * W, 0, W, H);
        ++Shown;
    }
    if (Vertical)
        SetClientSize(W, H * Shown);
    else
        SetClientSize(W * Shown, H);
    UpdateEnabledStates();
}

void TdxPopupToolBar::PlaceNear(TPoint P, int EditorWidth, int EditorHeight) {
    TRect Work;
    GetWorkArea(P, Work);
    const int W = Width(), H = Height();
    int X = P.X, Y = P.Y;
    switch (BarAlignment) {
    case ptaLeft:
        X = P.X - W;
        if (X < Work.Left)
            X = P.X + EditorWidth;
        break;
    case ptaRight:
        X = P.X + EditorWidth;
        if (X + W > Work.Right)
            X = P.X - W;
        break;
    case ptaTop:
        Y = P.Y - H;
        if (Y < Work.Top)
            Y = P.Y + EditorHeight;
        break;
    case ptaBottom:
        Y = P.Y + EditorHeight;
        if (P.Y > Work.Bottom)
            Y = P.Y - H;
        break;
    }
    if (X + W > Work.Right)
        X = Work.Right - W;
    if (X < Work.Left)
        X = Work.Left;
    if (Y + H > Work.Bottom)
        Y = Work.Bottom - H;
    if (Y < Work.Top)
        Y = Work.Top;
    SetBounds(X, Y, W, H);
}

void TdxPopupToolBar::ShowToolBar() {
    if (!ShowAllowed || ClosedByUser)
        return;
    SendMessageA(Handle(), WM_NCACTIVATE, TRUE, 0);
    ShowWindow(Handle(), SW_SHOWNOACTIVATE);
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TdxPopupToolBar::HideToolBar() {
    if (HandleAllocated())
        ShowWindow(Handle(), SW_HIDE);
}

// ---------------------------------------------------------------------------------------------
// Tool bar settings

TdxPopupToolBarWindow::~TdxPopupToolBarWindow() { FreeAndNil(FCustomButtonGlyph); }

void TdxPopupToolBarWindow::DefineClass(TClassBuilder<TdxPopupToolBarWindow>&) {}

TBitmap* TdxPopupToolBarWindow::CustomButtonGlyph() {
    if (!FCustomButtonGlyph)
        FCustomButtonGlyph = Create<TBitmap>();
    return FCustomButtonGlyph;
}

void TdxPopupToolBarWindow::SetCustomButtonGlyph(TBitmap* Value) {
    if (!Value)
        FreeAndNil(FCustomButtonGlyph);
    else
        CustomButtonGlyph()->Assign(Value);
}

void TdxPopupToolBarWindow::SetIsPopupMenu(bool Value) {
    FIsPopupMenu = Value;
    if (FOwnerEditor && FOwnerEditor->ToolBarForm())
        FOwnerEditor->ToolBarForm()->MenuMode = Value;
}

void TdxPopupToolBarWindow::Assign(TPersistent* Source) {
    auto* S = DynCast<TdxPopupToolBarWindow>(Source);
    if (!S) {
        TPersistent::Assign(Source);
        return;
    }
    Alignment = S->Alignment;
    Buttons = S->Buttons;
    CustomButtonCaption = S->CustomButtonCaption;
    SetCustomButtonGlyph(S->FCustomButtonGlyph);
    SetIsPopupMenu(S->FIsPopupMenu);
    ShowCaptions = S->ShowCaptions;
    Visible = S->Visible;
}

// ---------------------------------------------------------------------------------------------
// Graphic editor: class level

TdxEditViewDataClass TdxInplaceGraphicEdit::TMetaClass::GetViewDataClass() const {
    return TdxEditViewDataClass::Of<TdxGraphicEditViewData>();
}

void TdxInplaceGraphicEdit::TMetaClass::GetContentRect(TdxEditViewData* ViewData, TRect& R) const {
    auto* VD = DynCast<TdxGraphicEditViewData>(ViewData);
    if (!VD || IsPictureEmpty(VD->Picture)) {
        TdxInplaceEdit::TMetaClass::GetContentRect(ViewData, R);
        return;
    }
    R = TRect{0, 0, VD->Picture->Width(), VD->Picture->Height()};
}

void TdxInplaceGraphicEdit::TMetaClass::CalcViewInfo(TdxEditViewData* ViewData, bool AutoSize, ViewInfo& Info) const {
    auto* VD = DynCast<TdxGraphicEditViewData>(ViewData);
    // An empty picture has no natural size to grow to.
    TdxInplaceEdit::TMetaClass::CalcViewInfo(ViewData, AutoSize && VD && !IsPictureEmpty(VD->Picture), Info);
}

bool TdxInplaceGraphicEdit::TMetaClass::DrawClient(HDC DC, const TRect& Rect, bool IsEditorPaint,
                                                   TdxEditViewData* ViewData) const {
    auto* VD = DynCast<TdxGraphicEditViewData>(ViewData);
    if (!VD)
        return TdxInplaceEdit::TMetaClass::DrawClient(DC, Rect, IsEditorPaint, ViewData);
    const bool Empty = IsPictureEmpty(VD->Picture);
    if (VD->MeasureOnly) {
        VD->LineCount = 1;
        VD->TextHeight = Empty || VD->Stretch ? 0 : VD->Picture->Height();
        return true;
    }
    const bool Inplace = IsInplace();
    const int SavedDC = SaveDC(DC);
    HDC Target = DC;
    TRect Cell = Rect;
    const bool UseBitmap = !VD->Transparent && (VD->ShadowSelection || VD->DrawBitmap) && VD->DrawBitmap;
    if (UseBitmap) {
        SetMinBitmapSize(VD->DrawBitmap, Rect.Width(), Rect.Height());
        Target = VD->DrawBitmap->Canvas()->Handle();
        Cell = TRect{0, 0, Rect.Width(), Rect.Height()};
    }
    if (Empty) {
        TRect R = Cell;
        if (!Inplace && VD->Focused) {
            FrameRect(Target, R, GetSysColorBrush(COLOR_WINDOWFRAME));
            InflateRect(R, -1, -1);
        }
        const std::string Text = VD->Value.IsNull() || VD->Value.IsEmpty() ? std::string() : VD->Value.AsString();
        if (!Text.empty())
            DrawCellText(Target, Text.c_str(), static_cast<int>(Text.size()), nullptr, VD->TextColor, VD->BkColor,
                         VD->Font, VD->Transparent ? nullptr : VD->Brush,
                         static_cast<Word>(dxCellText::Centre | dxCellText::VCenter |
                                           (VD->Transparent ? dxCellText::Transparent : 0)),
                         R, R);
        else if (!VD->Transparent)
            FillRect(Target, R, VD->Brush);
    } else {
        TGraphic* G = VD->Picture->Graphic();
        // QuickDraw asks for the palette to be ignored: our bitmaps draw without one anyway.
        HRGN SavedClip = CreateRectRgn(0, 0, 0, 0);
        const bool HadClip = GetClipRgn(Target, SavedClip) == 1;
        TRect Clip = Cell;
        if (!Inplace && VD->Focused) {
            FrameRect(Target, Cell, GetSysColorBrush(COLOR_WINDOWFRAME));
            InflateRect(Clip, -1, -1);
        }
        IntersectClipRect(Target, Clip.Left, Clip.Top, Clip.Right, Clip.Bottom);
        TRect Content{Cell.Left + VD->TextMargins.Left, Cell.Top + VD->TextMargins.Top,
                      Cell.Right - VD->TextMargins.Right, Cell.Bottom - VD->TextMargins.Bottom};
        const TRect PR = PicturePlacement(Content, G->Width(), G->Height(), VD->Stretch, VD->Center);
        SharedDrawCanvas->Lock();
        SharedDrawCanvas->SetHandle(Target);
        if (G->Transparent()) {
            if (UseBitmap || !VD->TransparencyBuffer) {
                FillRect(Target, Clip, VD->Brush);
                SharedDrawCanvas->StretchDraw(PR, G);
            } else {
                TBitmap* Buf = VD->TransparencyBuffer;
                SetMinBitmapSize(Buf, Cell.Width(), Cell.Height());
                HDC BDC = Buf->Canvas()->Handle();
                TRect Area{0, 0, Cell.Width(), Cell.Height()};
                FillRect(BDC, Area, VD->Brush);
                TRect Moved = PR;
                OffsetRect(Moved, -Cell.Left, -Cell.Top);
                Buf->Canvas()->StretchDraw(Moved, G);
                BitBlt(Target, Cell.Left, Cell.Top, Cell.Width(), Cell.Height(), BDC, 0, 0, SRCCOPY);
            }
        } else {
            SharedDrawCanvas->StretchDraw(PR, G);
            ExcludeClipRect(Target, PR.Left, PR.Top, PR.Right, PR.Bottom);
            FillRect(Target, Clip, VD->Brush);
        }
        SharedDrawCanvas->SetHandle(nullptr);
        SharedDrawCanvas->Unlock();
        SelectClipRgn(Target, HadClip ? SavedClip : nullptr);
        DeleteObject(SavedClip);
    }
    if (VD->ShadowSelection)
        DrawHalftoneRect(Target, Cell, static_cast<TColor>(VD->ShadowColor));
    if (UseBitmap)
        BitBlt(DC, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), Target, 0, 0, SRCCOPY);
    RestoreDC(DC, SavedDC);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Graphic editor

TdxInplaceGraphicEdit::TdxInplaceGraphicEdit(TComponent* AOwner) : TdxInplaceEdit(AOwner) {
    PasteFormat = CF_PICTURE;
    SetControlStyle(TControlStyle{csClickEvents, csSetCaption, csDoubleClicks});
    SetAutoSize(false);
    SetParentColor(false);
    SetBounds(Left(), Top(), 140, 100);
    FEditPicture = Create<TPicture>();
    FEditPicture->OnChange = TNotifyEvent::Bind<&TdxInplaceGraphicEdit::PictureChanged>(this);
    FToolBarForm = TForm::CreateNewOf<TdxPopupToolBar>(this);
    FToolBarForm->OwnerEditor = this;
    FToolBarForm->OnToolButtonClick = TdxToolButtonClickEvent::Bind<&TdxInplaceGraphicEdit::ToolButtonClick>(this);
    FToolBarForm->MenuMode = true;
    FPopupToolBar = new TdxPopupToolBarWindow(this);
}

TdxInplaceGraphicEdit::~TdxInplaceGraphicEdit() {
    // The tool window is owned, and freed with the other owned components before this runs.
    delete FPopupToolBar;
    FreeAndNil(FTransparencyBuffer);
    FreeAndNil(FDisplayPicture);
    FreeAndNil(FEditPicture);
}

void TdxInplaceGraphicEdit::DefineClass(TClassBuilder<TdxInplaceGraphicEdit>& B) {
    B.Message<&TdxInplaceGraphicEdit::WMGetDlgCodeGraphic>(WM_GETDLGCODE);
    B.Message<&TdxInplaceGraphicEdit::WMContextMenuGraphic>(WM_CONTEXTMENU);
}

void TdxInplaceGraphicEdit::Notification(TComponent* AComponent, TOperation Operation) {
    TdxInplaceEdit::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FToolBarForm)
        FToolBarForm = nullptr;
}

TGraphicClass TdxInplaceGraphicEdit::GetPictureClass() {
    TGraphicClass Class = nullptr;
    OnGetPictureClass(this, Class);
    return Class;
}

void TdxInplaceGraphicEdit::SetCenter(bool Value) {
    FCenter = Value;
    PictureChanged(this);
}

void TdxInplaceGraphicEdit::SetStretch(bool Value) {
    FStretch = Value;
    PictureChanged(this);
}

void TdxInplaceGraphicEdit::SetGraphicTransparency(TdxGraphicEditTransparency Value) {
    FGraphicTransparency = Value;
    FApplyingTransparency = true;
    try {
        PictureChanged(this);
    } catch (...) {
        FApplyingTransparency = false;
        throw;
    }
    FApplyingTransparency = false;
}

void TdxInplaceGraphicEdit::SetPopupToolbarPosStored(bool Value) {
    FPopupToolbarPosStored = Value;
    if (!Value)
        StoredToolBarPos = dxNoToolBarPos;
}

void TdxInplaceGraphicEdit::ApplyTransparency(TPicture* Picture) {
    if (FGraphicTransparency == gtDefault || IsPictureEmpty(Picture))
        return;
    TGraphic* G = Picture->Graphic();
    const TNotifyEvent Saved = Picture->OnChange;
    Picture->OnChange = TNotifyEvent();
    G->SetTransparent(FGraphicTransparency == gtTransparent);
    Picture->OnChange = Saved;
}

void TdxInplaceGraphicEdit::PictureChanged(TObject*) {
    StyleChanged();
    ApplyTransparency(FEditPicture);
    if (!FApplyingTransparency && !ComponentState().Contains(csLoading)) {
        Change();
        SetModified(true);
    }
}

void TdxInplaceGraphicEdit::SetEditValue(const Variant& Value) {
    const bool WasModified = GetModified();
    FApplyingTransparency = true;
    try {
        if ((CustomGraphic && ComponentState().Contains(csDesigning)) ||
            (Value.VType() == varString && Value.AsString().empty()))
            FEditPicture->Assign(nullptr);
        else
            LoadPictureValue(FEditPicture, Value, GetPictureClass());
    } catch (...) {
        FApplyingTransparency = false;
        SetModified(WasModified);
        throw;
    }
    FApplyingTransparency = false;
    SetModified(WasModified);
}

void TdxInplaceGraphicEdit::ReadDisplayValue(Variant& Value, bool FromDefinition) {
    Value = Text();
    if (!FDataDefinition || !FromDefinition)
        return;
    if (!FDisplayPicture)
        FDisplayPicture = Create<TPicture>();
    if (CustomGraphic && ComponentState().Contains(csDesigning)) {
        FDisplayPicture->Assign(nullptr);
        return;
    }
    try {
        LoadPictureValue(FDisplayPicture, FDataDefinition->Value(), GetPictureClass());
    } catch (const Exception&) {
        // A stored value that is no picture paints as an empty cell.
        return;
    }
    if (!IsPictureEmpty(FDisplayPicture))
        FDisplayPicture->Graphic()->SetTransparent(FGraphicTransparency == gtTransparent);
}

TGraphic* TdxInplaceGraphicEdit::EditGraphic() {
    TPicture* P = FEditPicture;
    DoAssignPicture(P);
    return P ? P->Graphic() : nullptr;
}

void TdxInplaceGraphicEdit::ReadEditValue(Variant& Value) {
    TPicture* P = FEditPicture;
    DoAssignPicture(P);
    // The picture travels as its value bytes, never as an object reference in a number.
    if (IsPictureEmpty(P))
        Value = Null();
    else
        Value = SavePictureValue(P);
}

TdxEditViewData* TdxInplaceGraphicEdit::CreateViewData(bool IsPaintCopy) {
    TdxEditViewData* VD = TdxInplaceEdit::CreateViewData(IsPaintCopy);
    auto* G = static_cast<TdxGraphicEditViewData*>(VD);
    G->Center = FCenter;
    G->Picture = IsPaintCopy && FDataDefinition ? FDisplayPicture : FEditPicture;
    G->QuickDraw = QuickDraw;
    G->Stretch = FStretch;
    if (!IsPictureEmpty(G->Picture) && G->Picture->Graphic()->Transparent() && !FTransparencyBuffer)
        FTransparencyBuffer = Create<TBitmap>();
    G->TransparencyBuffer = FTransparencyBuffer;
    return VD;
}

// ---------------------------------------------------------------------------------------------
// Commands

void TdxInplaceGraphicEdit::CutToClipboard() {
    CopyToClipboard();
    if (IsEditable())
        DeletePicture();
}

void TdxInplaceGraphicEdit::CopyToClipboard() {
    if (FEditPicture->Graphic())
        Clipboard()->Assign(FEditPicture);
}

void TdxInplaceGraphicEdit::PasteFromClipboard() {
    if (!IsEditable() || !Clipboard()->HasFormat(PasteFormat) || !CanChangeValue())
        return;
    if (PasteFormat == CF_PICTURE && Clipboard()->HasFormat(CF_BITMAP))
        FEditPicture->Bitmap()->Assign(Clipboard());
    else
        FEditPicture->Assign(Clipboard());
}

void TdxInplaceGraphicEdit::DeletePicture() {
    if (CanChangeValue())
        FEditPicture->SetGraphic(nullptr);
}

void TdxInplaceGraphicEdit::LoadPicture() {
    if (CanChangeValue())
        LoadPictureFromDialog(FEditPicture, CustomFilter, nullptr, nullptr);
}

void TdxInplaceGraphicEdit::SavePicture() { SavePictureToDialog(FEditPicture, CustomFilter, Application); }

void TdxInplaceGraphicEdit::ToolButtonClick(TObject*, int Index) {
    switch (Index) {
    case ptbCut: CutToClipboard(); break;
    case ptbCopy: CopyToClipboard(); break;
    case ptbPaste: PasteFromClipboard(); break;
    case ptbDelete: DeletePicture(); break;
    case ptbLoad: LoadPicture(); break;
    case ptbSave: SavePicture(); break;
    case ptbCustom: DoCustomClick(); break;
    default: break;
    }
    SyncToolBar();
    if (FToolBarForm)
        FToolBarForm->UpdateLayout();
}

// ---------------------------------------------------------------------------------------------
// Tool window presentation

void TdxInplaceGraphicEdit::SyncToolBar() {
    TdxPopupToolBar* T = FToolBarForm;
    if (!T)
        return;
    T->MenuMode = FPopupToolBar->IsPopupMenu();
    if (T->MenuMode) {
        TPopupMenu* Menu = T->NeedToolMenu();
        TMenuItem* Items = Menu->Items();
        for (int I = 0; I < 7; ++I)
            Items->Items(MenuItemOfButton[I])
                ->SetVisible(FPopupToolBar->Buttons.Contains(static_cast<TdxPopupToolBarButton>(I)));
        Items->Items(4)->SetVisible(FPopupToolBar->Buttons.Contains(ptbLoad) ||
                                    FPopupToolBar->Buttons.Contains(ptbSave));
        Items->Items(7)->SetVisible(FPopupToolBar->Buttons.Contains(ptbCustom));
        TMenuItem* Custom = Items->Items(8);
        Custom->SetCaption(FPopupToolBar->CustomButtonCaption);
        if (FPopupToolBar->HasCustomButtonGlyph()) {
            Custom->Bitmap()->Assign(FPopupToolBar->CustomButtonGlyph());
            Custom->Bitmap()->SetTransparent(true);
        } else
            Custom->Bitmap()->Assign(nullptr);
    } else {
        T->ShowAllowed = FPopupToolBar->Visible;
        TSpeedButton* Custom = T->SpeedButtons(ptbCustom);
        Custom->SetCaption(FPopupToolBar->CustomButtonCaption);
        if (FPopupToolBar->HasCustomButtonGlyph())
            Custom->SetGlyph(FPopupToolBar->CustomButtonGlyph());
        T->Font()->Assign(Font());
        T->CaptionsShown = FPopupToolBar->ShowCaptions;
        T->BarAlignment = FPopupToolBar->Alignment;
        T->ShownButtons = FPopupToolBar->Buttons;
    }
    T->PasteFormat = PasteFormat;
    T->PictureEmpty = IsPictureEmpty(FEditPicture);
    T->ReadOnlyState = !IsEditable();
}

void TdxInplaceGraphicEdit::ShowToolBar() {
    if (FPopupToolBar->IsPopupMenu() || !FPopupToolBar->Visible || !FToolBarForm)
        return;
    SyncToolBar();
    TdxPopupToolBar* T = FToolBarForm;
    const TPoint Now{T->Left(), T->Top()};
    if (ShownToolBarPos.X != dxNoToolBarPos.X && (Now.X != ShownToolBarPos.X || Now.Y != ShownToolBarPos.Y))
        StoredToolBarPos = Now;
    T->UpdateLayout();
    if (!FPopupToolbarPosStored || StoredToolBarPos.X == dxNoToolBarPos.X) {
        POINT P{0, 0};
        ::ClientToScreen(Handle(), &P);
        T->PlaceNear(TPoint{P.x, P.y}, Width(), Height());
    } else
        T->SetBounds(StoredToolBarPos.X, StoredToolBarPos.Y, T->Width(), T->Height());
    ShownToolBarPos = TPoint{T->Left(), T->Top()};
    T->ClosedByUser = false;
    T->UpdateLayout();
    T->ShowToolBar();
}

void TdxInplaceGraphicEdit::HideToolBar() {
    if (FToolBarForm && FToolBarForm->HandleAllocated() && GetFocus() != FToolBarForm->Handle())
        ShowWindow(FToolBarForm->Handle(), SW_HIDE);
}

void TdxInplaceGraphicEdit::FocusChanged() {
    TdxInplaceEdit::FocusChanged();
    if (Focused() && !DblClickActivate)
        ShowToolBar();
}

void TdxInplaceGraphicEdit::EditorKillFocus(TMessage& Message) {
    HideToolBar();
    TdxInplaceEdit::EditorKillFocus(Message);
}

bool TdxInplaceGraphicEdit::IsFocused() {
    return TdxInplaceEdit::IsFocused() ||
           (FToolBarForm && FToolBarForm->HandleAllocated() && GetFocus() == FToolBarForm->Handle());
}

void TdxInplaceGraphicEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TdxInplaceEdit::MouseDown(Button, Shift, X, Y);
    if (Shift.Contains(ssDouble) && DblClickActivate)
        ShowToolBar();
}

void TdxInplaceGraphicEdit::KeyDown(Word& Key, TShiftState Shift) {
    if (IsInplace() && (Key == VK_LEFT || Key == VK_RIGHT) && Shift.Empty()) {
        FocusAdjacentCell(Key == VK_LEFT);
        Key = 0;
        return;
    }
    TdxInplaceEdit::KeyDown(Key, Shift);
    if (Key == VK_INSERT && Shift == TShiftState{ssShift})
        PasteFromClipboard();
    else if (Key == VK_INSERT && Shift == TShiftState{ssCtrl})
        CopyToClipboard();
    else if (Key == VK_DELETE && Shift == TShiftState{ssShift})
        CutToClipboard();
}

void TdxInplaceGraphicEdit::KeyPress(char& Key) {
    TdxInplaceEdit::KeyPress(Key);
    switch (Key) {
    case 3: CopyToClipboard(); break;
    case 22: PasteFromClipboard(); break;
    case 24: CutToClipboard(); break;
    default: break;
    }
}

void TdxInplaceGraphicEdit::WMGetDlgCodeGraphic(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (IsInplace())
        Message.Result |= DLGC_WANTARROWS | DLGC_WANTALLKEYS;
}

void TdxInplaceGraphicEdit::WMContextMenuGraphic(TMessage& Message) {
    InheritedDispatch(StaticClass(), Message);
    if (Message.Result || !FPopupToolBar->IsPopupMenu() || !FToolBarForm)
        return;
    for (TControl* C = this; C; C = C->Parent())
        if (C->PopupMenu())
            return;
    TPoint P{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
    if (P.X == -1 && P.Y == -1) {
        POINT Caret{0, 0};
        GetCaretPos(&Caret);
        POINT S{std::min(static_cast<int>(Caret.x), ClientWidth()), Caret.y};
        ::ClientToScreen(Handle(), &S);
        P = TPoint{S.x, S.y};
    }
    SyncToolBar();
    FToolBarForm->UpdateLayout();
    FToolBarForm->NeedToolMenu()->Popup(P.X, P.Y);
}
