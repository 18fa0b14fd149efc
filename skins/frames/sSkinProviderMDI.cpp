// The provider's MDI side: the MDI parent's client object, and the skinned path's handling of MDI
// activation, system commands of MDI children and parents and the window menu of an MDI child.
#include "sSkinProvider.h"

#include "acDials.h"
#include "sMDIForm.h"
#include "sMessages.h"
#include "sSystemMenu.h"

bool ChildMaximized = false;

namespace {
void StaleImage(TsSkinProvider* P) {
    P->SkinData()->BackgroundStale = true;
    P->FrameStale = true;
    P->MenuLines = -1;
}

bool Going(TsSkinProvider* P) {
    return !P || P->ComponentState().Contains(csDestroying) || !P->Form ||
           P->Form->ComponentState().Contains(csDestroying);
}
// The parent's active MDI child, and whether it is maximised.
HWND ActiveChild(TsSkinProvider* Parent, bool& Maximized) {
    Maximized = false;
    return Going(Parent) ? nullptr : ActiveMDIChildWindow(Parent->Form, &Maximized);
}
}  // namespace

bool TsSkinProvider::IsMDIParent() const {
    auto* F = DynCast<TForm>(Form);
    return F && F->FormStyle() == fsMDIForm;
}

bool TsSkinProvider::IsMDIChild() const {
    auto* F = DynCast<TForm>(Form);
    return F && F->FormStyle() == fsMDIChild;
}

void TsSkinProvider::UpdateMDIHelper(bool Create) {
    if (!Create) {
        FreeAndNil(MDIHelper);
        return;
    }
    if (!IsMDIParent() || ComponentState().Contains(csDesigning))
        return;
    if (!MDIHelper) {
        MDISkinProvider = this;
        MDIHelper = ::Create<TsMDIForm>(this);
    }
    MDIHelper->Connect();
}

void TsSkinProvider::ForgetMDI() {
    if (this == MDISkinProvider) {
        FreeAndNil(MDIHelper);
        MDISkinProvider = nullptr;
    }
    if (this == MDIChildProvider)
        MDIChildProvider = nullptr;
    if (IsMDIChild())
        ChildMaximized = false;
    if (IsMDIChild() && !Going(MDISkinProvider))
        MDISkinProvider->RepaintNonClient();
}

void RefreshMDIParentFrame(bool Full) {
    TsSkinProvider* P = MDISkinProvider;
    if (!P || Going(P))
        return;
    P->SkinData()->BeginUpdate();
    StaleImage(P);
    P->SkinData()->EndUpdate(false);
    HWND Client = P->Form->HandleAllocated() ? P->Form->ClientHandle() : nullptr;
    if (Client)
        RedrawWindow(Client, nullptr, nullptr,
                     Full ? RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW
                          : RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_FRAME);
    if (P->Form->HandleAllocated())
        RedrawWindow(P->Form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

bool TsSkinProvider::MDIMessage(TMessage& Message) {
    const bool Child = IsMDIChild();
    if (!Child && !IsMDIParent())
        return false;
    switch (Message.Msg) {
    case WM_MDIDESTROY:
    case WM_MDIACTIVATE:
        CallOld(Message);
        if (Child && !IsZoomedForm() && !Going(MDISkinProvider)) {
            MenuRebuilt = false;
            StaleImage(MDISkinProvider);
            if (MDISkinProvider->Form->HandleAllocated())
                SendMessageA(MDISkinProvider->Form->Handle(), WM_NCPAINT, 0, 0);
        }
        MDIChildProvider = this;
        return true;
    case WM_ENTERMENULOOP: {
        bool Maximized = false;
        if (!Child && !InMDICommand && ActiveChild(this, Maximized) && Maximized) {
            InMDICommand = true;
            ShowMDIIcons();
        }
        CallOld(Message);
        return true;
    }
    case WM_EXITMENULOOP:
        InMDICommand = false;
        FreeMDIIconsWindow();
        CallOld(Message);
        return true;
    case WM_NCLBUTTONDOWN:
        // A child's window menu drops below its caption, where the child sits inside the parent.
        if (!Child || Message.WParam != HTSYSMENU)
            return false;
        SetHotButton(0, true);
        if (MDISkinProvider) {
            TPoint O;
            GetWindowOrigin(O);
            DropSysMenu(O.X, O.Y + GetCaptionHeight(false) + 4);
        }
        return true;
    case WM_SYSCOMMAND:
        if (Message.WParam == 0xF012)
            Form->Repaint();
        if (Child) {
            MDIChildSysCommand(Message);
            return true;
        }
        CallOld(Message);
        if ((Message.WParam == SC_MINIMIZE || Message.WParam == SC_MAXIMIZE || Message.WParam == SC_RESTORE) &&
            !Going(MDISkinProvider)) {
            StaleImage(MDISkinProvider);
            if (MDISkinProvider->Form->HandleAllocated())
                SendMessageA(MDISkinProvider->Form->Handle(), WM_NCPAINT, 0, 0);
        }
        return true;
    default:
        return false;
    }
}

void TsSkinProvider::MDIChildSysCommand(TMessage& Message) {
    HWND H = Form->Handle();
    const WPARAM Command = Message.WParam & 0xFFF0;
    bool Restoring = IsZoomed(H) && Command != SC_MAXIMIZE && Form->WindowState() != wsNormal;
    TsSkinProvider* Parent = Going(MDISkinProvider) ? nullptr : MDISkinProvider;
    auto RebuildMenu = [this] {
        if (SystemMenu)
            SystemMenu->UpdateItems(true);
    };
    if (Restoring && Parent)
        Parent->SkinData()->BeginUpdate();
    switch (Command) {
    case SC_MINIMIZE:
        CallOld(Message);
        RebuildMenu();
        FSkinData->BackgroundStale = true;
        RefreshMDIParentFrame(true);
        break;
    case SC_MAXIMIZE: {
        MDIChildProvider = this;
        // The child grows without showing its unskinned frame on the way.
        LONG Style = GetWindowLongA(H, GWL_STYLE);
        SetWindowLongA(H, GWL_STYLE, Style & ~WS_VISIBLE);
        CallOld(Message);
        SetWindowLongA(H, GWL_STYLE, GetWindowLongA(H, GWL_STYLE) | (Style & WS_VISIBLE));
        RedrawWindow(H, nullptr, nullptr, RDW_INTERNALPAINT | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
        if (Parent && Parent->MDIHelper)
            RefreshMDIParentFrame(true);
        RebuildMenu();
        break;
    }
    case SC_CLOSE:
        if (Parent && Parent->MDIHelper && Restoring)
            RefreshMDIParentFrame(true);
        if (Parent)
            Parent->InMDICommand = true;
        CallOld(Message);
        if (!Form->ComponentState().Contains(csDestroying) && !ComponentState().Contains(csDestroying))
            SetHotButton(0, false);
        if (!Going(MDISkinProvider)) {
            MDISkinProvider->InMDICommand = false;
            if (Restoring && MDISkinProvider->MDIHelper)
                RefreshMDIParentFrame(true);
        }
        break;
    case SC_RESTORE: {
        if (ChildMaximized)
            break;
        if (!Restoring && IsIconic(H)) {
            Restoring = true;
            if (Parent)
                Parent->SkinData()->BeginUpdate();
        }
        LockRedraw();
        CallOld(Message);
        FSkinData->BackgroundStale = true;
        SetWindowLongA(H, GWL_STYLE, GetWindowLongA(H, GWL_STYLE) & ~WS_SYSMENU);
        UnlockRedraw();
        RedrawWindow(H, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
        if (auto* P = DynCast<TForm>(Parent ? Parent->Form : nullptr))
            for (int I = 0; I < P->MDIChildCount(); ++I) {
                TCustomForm* Other = P->MDIChildren(I);
                if (Other == Form || !Other->HandleAllocated())
                    continue;
                if (IsZoomed(Other->Handle()))
                    Other->SetWindowState(wsNormal);
                RedrawWindow(Other->Handle(), nullptr, nullptr, RDW_INTERNALPAINT | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
            }
        RefreshMDIParentFrame(true);
        RebuildMenu();
        break;
    }
    case SC_KEYMENU:
        // The parent's menu bar answers the key; the child's own procedure never sees it.
        break;
    default:
        CallOld(Message);
        break;
    }
    // Every branch ends the parent's update it began, also when no frame refresh ran.
    if (!Going(MDISkinProvider) && (Restoring || Command == SC_KEYMENU ||
                                    (Command != SC_MINIMIZE && Command != SC_MAXIMIZE && Command != SC_CLOSE &&
                                     Command != SC_RESTORE)))
        MDISkinProvider->SkinData()->EndUpdate(false);
}

void TsSkinProvider::MDIChildCreate(TMessage& Message) {
    if (!MDISkinProvider)
        if (TCustomForm* Main = Application ? Application->MainForm() : nullptr; Main && Main->HandleAllocated())
            AttachProviderToWindow(Main->Handle(), nullptr);
    bool Maximized = false;
    ActiveChild(MDISkinProvider, Maximized);
    ChildMaximized = Maximized;
    CallOld(Message);
}

void TsSkinProvider::MDIChildDestroyed() {
    // A child that never painted must not keep every other form's frame waiting.
    ChildMaximized = false;
    TsSkinProvider* Parent = MDISkinProvider;
    if (Going(Parent) || !Parent->SkinData()->IsSkinned(false))
        return;
    Parent->RepaintNonClient();
    bool Maximized = false;
    if (!ActiveChild(Parent, Maximized) && Parent->Form->HandleAllocated() && Parent->Form->ClientHandle())
        RedrawWindow(Parent->Form->ClientHandle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void TsSkinProvider::ChildMaximizedPainted(bool Maximize) {
    if (!ChildMaximized)
        return;
    ChildMaximized = false;
    if (!IsMDIChild())
        return;
    if (Maximize)
        SendMessageA(Form->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    else
        MDIChildProvider = this;
}

bool TsSkinProvider::HiddenByMaximizedChild() const {
    if (ChildMaximized || !IsMDIChild() || !Form->HandleAllocated())
        return false;
    bool Maximized = false;
    HWND Active = ActiveChild(MDISkinProvider, Maximized);
    return Maximized && Active != Form->Handle();
}
