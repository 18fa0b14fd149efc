// The glow of a caption button: when a button turns hot or is pressed, an image of it (or the
// skin's larger glow picture) fades in above the frame in a small layered window, one step every
// 12 ms, and fades out again when the button returns to normal.
#pragma once

#include "Forms.h"
#include "Timers.h"
#include "sTitleButtons.h"

class TacBorderForm;
class TsCommonData;

class TacSBAnimation : public TTimer {
    DECLARE_CLASS(TacSBAnimation, TTimer)
public:
    explicit TacSBAnimation(TComponent* AOwner);
    ~TacSBAnimation() override;

    void ChangeState(int NewState, bool AUp);
    void AnimTimer(TObject* Sender);
    void ShowGlow(int Alpha);
    void MakeImage();
    void MakeGlowWindow();
    void GetGlowRect(TRect& R);
    int GlowMargin();
    void CheckMouseLeave();
    int StepAlpha() const { return Steps <= 0 ? 0 : 255 / Steps; }

    TacBorderForm* BorderForm = nullptr;
    TsCommonData* SkinData = nullptr;
    HWND OwnerHandle = nullptr;
    TitleButtonState* Button = nullptr;
    int Step = 0;
    int State = 0;
    bool Up = false;
    int Steps = 0;
    TForm* GlowWindow = nullptr;
    TBitmap* Image = nullptr;
    int CurrentAlpha = 0;  // the glow window's opacity now
};

class TsSkinProvider;
class TacDialogWnd;
// Starts (or redirects) the glow of Button towards State in Steps steps. The button belongs to a
// skinned form's provider, or to a hooked dialog (then the application owns the animation).
void StartButtonAnimation(TitleButtonState& Button, int State, int Steps, bool Fading, TsSkinProvider* Provider,
                          TacDialogWnd* DialogWnd = nullptr);
