// The extended-border window: a borderless, layered, non-activating window around a skinned form
// (through its provider) or a hooked standard dialog (through its wrapper) that carries the owner's
// whole frame image with its soft shadow (per-pixel alpha). It answers hit
// tests and cursor requests for the frame, forwards clicks to the form and lets the mouse fall
// through its transparent shadow to the window below. Exactly one of FOwner and DialogOwner is set.
#pragma once

#include "Forms.h"

class TsSkinProvider;
class TsCommonData;
class TsSystemMenu;
class TacDialogWnd;
class TsSkinManager;

class TacBorderForm : public TPersistent {
    DECLARE_CLASS(TacBorderForm, TPersistent)
public:
    explicit TacBorderForm(TsSkinProvider* AOwner);
    explicit TacBorderForm(TacDialogWnd* AOwner);
    ~TacBorderForm() override;

    // Places, reshapes and (with Repaint, or a new size) pushes the owner's image into the window.
    void UpdateBorder(bool Repaint, Byte Alpha);
    // The hit code of the message's screen point (the Windows codes, 1000 + i for extra buttons).
    int HitTest(TMessage& Message);
    // The point lies in the transparent margins (never for a maximised owner).
    bool MouseInShadow(const TMessage& Message);
    bool UpdateCursor(TMessage& Message);
    // A new region for the window, owned by the caller (0: none).
    HRGN CreateBorderRegion();
    HWND GetOwnerHandle() const;
    void GetSkinMargins(TRect& R) const;
    int CaptionHeight(bool WithExtended);
    int TopOffset();
    HWND Handle() const;

    TsSkinProvider* FOwner = nullptr;
    TacDialogWnd* DialogOwner = nullptr;
    TsCommonData* SkinData = nullptr;
    bool PassingMouse = false;
    TForm* AForm = nullptr;
    TWndMethod OldWndProc;
    bool Updating = false;
    TBitmap* ShadowPicture = nullptr;  // the skin's active or inactive border image (not owned)

private:
    void MakeWindow();
    void BorderWndProc(TMessage& Message);
    int ButtonIndexAt(TPoint P);
    int ProviderButtonCode(TPoint P);
    // The owner adapters: each asks the provider or the dialog wrapper.
    TsSkinManager* OwnerManager() const;
    void SetHotButton(int Code);
    void StopOwnerAnimations();
    void PrepareOwnerImage();
    TRect OwnerIconRect();
};
