// The MDI side of the skinned forms. The provider of an MDI parent form keeps a TsMDIForm, which
// hooks the form's MDI client window with a TacMDIWnd: the client area shows the form image behind
// the children (or the form's colour), its 2-pixel edge and its scroll bars come from the skin, and a
// thumb drag moves the children only once, when the thumb is let go, by ScrollStep pixels a unit.
//
// MDISkinProvider is the provider of the application's MDI parent form, MDIChildProvider the one of
// the MDI child that was last activated, maximised or destroyed.
#pragma once

#include "acSBUtils.h"

class TsSkinProvider;

extern TsSkinProvider* MDISkinProvider;
extern TsSkinProvider* MDIChildProvider;
// An MDI child was created while the parent's active child was maximised (the system makes the new
// one maximised too): non-client painting and restoring wait until the child first paints, which
// then maximises it the skinned way.
extern bool ChildMaximized;

class TacMDIWnd : public TacBaseWnd {
    DECLARE_CLASS(TacMDIWnd, TacBaseWnd)
public:
    // Pixels the children move for one unit of the client's scroll bars.
    static constexpr int ScrollStep = 8;

    using TacBaseWnd::TacBaseWnd;
    ~TacMDIWnd() override;
    void WndProc(TMessage& Message) override;
    // The client area (inside its edge) from the form image, or the form's colour.
    void PaintMDIArea(HDC DC, bool Printing);
    // The client window's edge from the form image, or the form's colour.
    void PaintMDIBorder(HDC DC);

    TForm* MDIForm = nullptr;
    TsCommonData* MDISkinData = nullptr;
    TsSkinProvider* MDIProvider = nullptr;

private:
    bool FormSkinned() const;
    bool ActiveChildMaximized() const;
    // The client window's rectangle in the form image.
    TRect GetMDIClientRectInForm();
    // The client window's own client rectangle.
    TRect GetMDIClientRect();
    bool PaintsFromImage() const;
    void ThumbPosition(TMessage& Message);
    void Arranged(TMessage& Message);
};

// The MDI client object of an MDI parent's provider.
class TsMDIForm : public TPersistent {
    DECLARE_CLASS(TsMDIForm, TPersistent)
public:
    explicit TsMDIForm(TsSkinProvider* Provider);
    ~TsMDIForm() override;
    void Connect();
    void UpdateClientHook();
    void ReleaseClientHook();
    void RepaintFrame();

    TCustomForm* Form = nullptr;
    TacMDIWnd* ClientWnd = nullptr;  // owned
    TsSkinProvider* SkinProvider = nullptr;
};
