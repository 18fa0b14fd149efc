#include "sCommonData.h"
#include "sCommonDataInternal.h"
#include "ExtCtrls.h"
#include "SysUtils.h"
#include "TypInfo.h"
#include "acGlow.h"
#include "sPaintServices.h"
#include "sStyleSimply.h"
#include <algorithm>

using namespace sCommonDataDetail;

// ---------------------------------------------------------------------------------------------
// The library command message and the shared window messages

bool HandleSkinCommand(TMessage& Message, TsCommonData* SkinData) {
    if (!SkinData)
        return false;
    TsCommonData& D = *SkinData;
    TsSkinManager* Manager = D.GetSkinManager();
    bool FromOwnManager = Message.LParam == reinterpret_cast<LPARAM>(Manager);
    Word Low = LOWORD(Message.WParam);
    switch (SkinCommandOf(Message.WParam)) {
    case SKIN_LOADED:
        if (FromOwnManager) {
            D.RefreshSkinIndexes();
            D.UpdatePlainFlag(false);
            SkinBroadcastRunning = false;
        }
        return false;
    case SKIN_REMOVED:
        if (FromOwnManager) {
            if (Manager && Manager->ComponentState().Contains(csDestroying) && D.ManagerRef == Manager)
                D.ManagerRef = nullptr;
            D.BorderMaskIndex = D.SectionIndex = D.TextureIndex = D.HotTextureIndex = -1;
            D.InUpdate = true;
            if (D.CacheBitmap)
                D.CacheBitmap->SetSize(0, 0);
            if (DynCast<TCustomEdit>(D.HostControl)) {
                if (!D.CustomColor())
                    D.HostControl->SetColor(clWindow);
                if (!D.CustomFont())
                    D.HostControl->Font()->SetColor(clWindowText);
                RedrawHost(D.HostControl, RDW_FRAME | RDW_INVALIDATE);
            } else if (auto* W = Windowed(D.HostControl)) {
                for (int I = 0; I < W->ControlCount(); ++I)
                    if (auto* L = DynCast<TLabel>(W->Controls(I)))
                        L->Font()->SetColor(clWindowText);
            }
        }
        return false;
    case SKIN_REFRESH:
        if (FromOwnManager) {
            D.BackgroundStale = true;
            D.InUpdate = false;
            if (D.IsSkinned(false) && DynCast<TCustomEdit>(D.HostControl)) {
                const TsGeneralData& S = D.Section();
                if (!D.CustomColor())
                    D.HostControl->SetColor(S.Color);
                if (!D.CustomFont())
                    D.HostControl->Font()->SetColor(S.FontColor[0]);
                RedrawHost(D.HostControl, RDW_FRAME | RDW_INVALIDATE);
            }
            D.UpdatePlainFlag(false);
        }
        return false;
    case SKIN_ISSKINNED:
        Message.Result = 1;
        return true;
    case SKIN_SETUPDATING:
        D.InUpdate = Low == 1;
        return false;
    case SKIN_SETREPAINTONMOVE:
        D.RepaintOnMove = Low == 1;
        return false;
    case SKIN_GETSTALE:
        Message.Result = D.BackgroundStale || D.InUpdate ? 1 : 0;
        return true;
    case SKIN_GETHIDDEN:
        Message.Result = D.PartlyClipped ? 1 : 0;
        return true;
    case SKIN_MARKSTALEIFTRANSPARENT:
        if (D.HasTransparency() && Low == 1)
            D.BackgroundStale = true;
        return false;
    case SKIN_SECTIONCHANGED:
        if (UpperCase(D.SkinSection()) == ChangedSection) {
            SkinBroadcastRunning = false;
            D.Invalidate();
        }
        return false;
    case SKIN_MARKSTALE:
        D.BackgroundStale = true;
        return false;
    case SKIN_GETNONUNIFORM: {
        if (!Manager || !Manager->SectionIndexInRange(D.SectionIndex))
            return false;
        const TsGeneralData& S = D.Section();
        bool Answer;
        if (S.Transparency == 100 && D.HostControl && D.HostControl->Parent())
            Answer = D.ParentIsNonUniform();
        else
            Answer = S.GradientPercent + S.ImagePercent > 0 || D.MustRepaintOnMove();
        Message.LParam = Answer ? 1 : 0;
        Message.Result = Answer ? 1 : 0;
        return true;
    }
    case SKIN_PARENTCHANGED: {
        bool M = D.MustRepaintOnMove();
        D.BackgroundStale = D.BackgroundStale || M;
        if (auto* W = Windowed(D.HostControl)) {
            if (Low == 1)
                RedrawHost(W, RDW_INVALIDATE | RDW_NOINTERNALPAINT | RDW_NOERASE | RDW_ALLCHILDREN);
            if (M)
                for (int I = 0; I < W->ControlCount(); ++I) {
                    TControl* Child = W->Controls(I);
                    if (!Child->ComponentState().Contains(csDestroying))
                        SendSkinCommandTo(Child, SKIN_PARENTCHANGED, 0);
                }
        }
        return false;
    }
    case SKIN_GETBGCOLOR: {
        TControl* Host = D.HostControl;
        if (!Host)
            return false;
        if (!D.IsSkinned(false)) {
            Message.Result = ColorToRGB(Host->Color());
            return true;
        }
        const TsGeneralData& S = D.Section();
        TColor C = S.Color;
        int T = S.Transparency;
        // The parent's colour: its own answer when it is skin-aware, else its colour as RGB (an
        // unaware window would answer 0, which would read as black).
        TColor P = Host->Parent() ? GetControlBgColor(Host->Parent()) : ColorToRGB(Host->Color());
        if (T == 0)
            Message.Result = C;
        else if (T == 100)
            Message.Result = P;
        else {
            Cardinal Result = static_cast<Cardinal>(P) & 0xFF000000u;
            for (int Shift = 0; Shift < 24; Shift += 8) {
                int Sc = (C >> Shift) & 0xFF, Pc = (P >> Shift) & 0xFF;
                int V = std::clamp((T * (Pc - Sc) + Sc * 256) >> 8, 0, 255);
                Result |= static_cast<Cardinal>(V) << Shift;
            }
            Message.Result = static_cast<LRESULT>(Result);
        }
        return true;
    }
    case SKIN_MARKHIDDEN:
        D.PartlyClipped = true;
        return false;
    case SKIN_GETSECTIONINDEX:
        if (Message.LParam)
            *reinterpret_cast<int*>(Message.LParam) = D.SectionIndex;
        return true;
    case SKIN_GETBACKGROUND:
        if (Message.LParam)
            D.FillParentBackgroundInfo(*reinterpret_cast<ParentBackgroundInfo*>(Message.LParam), 0, nullptr);
        return false;
    case SKIN_FLAGS:
        if (Message.LParam == 1)
            D.UpdatePlainFlag(true);
        else
            Message.Result = D.Flags;
        return true;
    case SKIN_GETAPPLICATION:
        Message.Result = reinterpret_cast<LRESULT>(Application);
        return true;
    default:
        return false;
    }
}

namespace {
void MouseEnter(TMessage& Message, TsCommonData& D) {
    TControl* Host = D.HostControl;
    bool HotLook = !KindsWithoutHotLook.Contains(D.ControlKind);
    auto* W = Windowed(Host);
    if (!W || !DefaultManager) {
        if (HotLook)
            D.MouseOver = true;
        return;
    }
    // A speed button still showing its hover loses it when the mouse enters its container.
    for (int I = 0; I < W->ControlCount(); ++I) {
        TControl* Child = W->Controls(I);
        if (Child == Host || reinterpret_cast<LPARAM>(Child) == Message.LParam ||
            !InheritsFromName(Child, "TsSpeedButton"))
            continue;
        if (TsCommonData* ChildData = SkinDataOf(Child); ChildData && ChildData->MouseOver)
            Child->Perform(CM_MOUSELEAVE, 0, 0);
    }
    if (HotLook)
        D.MouseOver = true;
    DefaultManager->SetHotWindow(W->Handle());
    if (!KindsWithoutGlow.Contains(D.ControlKind) && !(D.ControlKind >= 92 && D.ControlKind <= 94))
        D.RefreshGlow(false, nullptr);
    if (EditLikeKinds.Contains(D.ControlKind)) {
        D.BackgroundStale = true;
        RedrawHost(W, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
}

void MouseLeave(TsCommonData& D) {
    if (!KindsWithoutHotLook.Contains(D.ControlKind))
        D.MouseOver = false;
    if (!KindsWithoutGlow.Contains(D.ControlKind) && !(D.ControlKind >= 92 && D.ControlKind <= 94))
        ClearGlowEffects();
    if (D.HostControl && D.HostControl->Visible() && EditLikeKinds.Contains(D.ControlKind)) {
        D.BackgroundStale = true;
        RedrawHost(D.HostControl, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
}

void FocusChanged(TsCommonData& D, bool Focused) {
    auto* W = Windowed(D.HostControl);
    if (!W || !W->CanFocus() || !W->TabStop())
        return;
    D.BackgroundStale = true;
    D.HasFocus = Focused;
    if (EditLikeKinds.Contains(D.ControlKind) && (Focused || W->Visible()))
        RedrawHost(W, RDW_FRAME | RDW_INVALIDATE);
}
}  // namespace

bool HandleCommonMessage(TMessage& Message, TsCommonData* SkinData) {
    if (!SkinData)
        return false;
    TsCommonData& D = *SkinData;
    TControl* Host = D.HostControl;
    bool Designing = Host && Host->ComponentState().Contains(csDesigning);
    switch (Message.Msg) {
    case SM_ALPHACMD:
        return HandleSkinCommand(Message, SkinData);
    case WM_MOVE:
        if (D.MustRepaintOnMove()) {
            D.BackgroundStale = true;
            if (Host)
                Host->Perform(SM_ALPHACMD, SkinCommandParam(SKIN_PARENTCHANGED, 1), 0);
            D.RemoveGlow();
        }
        break;
    case WM_SIZE:
        if (D.IsSkinned(false)) {
            D.BackgroundStale = true;
            auto* W = Windowed(Host);
            // A gradient stretches with the size, so children that do not follow the right or
            // bottom edge see a new background.
            if (W && D.Section().GradientPercent > 0)
                for (int I = 0; I < W->ControlCount(); ++I) {
                    TControl* Child = W->Controls(I);
                    if (Child->ComponentState().Contains(csDestroying) || Child->Anchors().Contains(akRight) ||
                        Child->Anchors().Contains(akBottom))
                        continue;
                    Child->Perform(SM_ALPHACMD, SkinCommandParam(SKIN_PARENTCHANGED, 1), 0);
                }
            D.RemoveGlow();
        }
        break;
    case WM_SETFOCUS:
        FocusChanged(D, true);
        break;
    case WM_KILLFOCUS:
        FocusChanged(D, false);
        break;
    case WM_FONTCHANGE:
    case CM_ENABLEDCHANGED:
        D.MouseOver = false;
        D.HasFocus = false;
        if (Host && !Host->Enabled())
            D.RemoveGlow();
        break;
    case WM_CONTEXTMENU:
        // The menu is hooked (or let go) just before the control shows it.
        if (TsSkinManager* M = D.GetSkinManager(); M && M->SkinableMenus && Host && Host->PopupMenu())
            M->SkinableMenus->HookMenu(Host->PopupMenu(), M->SkinData->SkinActive);
        break;
    case WM_UPDATEUISTATE:
        if (D.IsSkinned(false))
            return true;  // the host must not paint its focus cues itself
        if (auto* W = Windowed(Host); W && W->HandleAllocated() && UxThemeLibrary && SetWindowThemeProc &&
                                      ThemeServices()->ThemesEnabled())
            SetWindowThemeProc(W->Handle(), nullptr, nullptr);
        break;
    case WM_PARENTNOTIFY:
        if (Windowed(Host) && LOWORD(Message.WParam) == WM_CREATE)
            AskFormToAdaptControl(Host);
        break;
    case CM_VISIBLECHANGED:
        if (D.CacheBitmap) {
            if (Message.WParam) {
                D.InUpdate = false;
                D.BackgroundStale = true;
            } else
                D.CacheBitmap->SetSize(0, 0);  // the hidden host's image is released
        }
        break;
    case CM_MOUSEENTER:
        if (!Designing)
            MouseEnter(Message, D);
        break;
    case CM_MOUSELEAVE:
        if (!Designing)
            MouseLeave(D);
        break;
    default:
        break;
    }
    return false;
}
