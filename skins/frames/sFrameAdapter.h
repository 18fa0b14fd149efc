// The frame adapter: a component placed on a frame (the framework's TFrame) that gives the frame a
// skin data of its own and takes over its WindowProc, so that the frame paints its background from a
// skin section ("GROUPBOX" unless another is chosen) and answers the library command message like a
// skinned panel; while skinned, a scroll-bar hook draws the frame's scroll bars from the skin.
// Without an active skin every message goes to the frame's own procedure.
#pragma once

#include "Forms.h"
#include "sCommonData.h"

class TacScrollWnd;

namespace FrameAdapterConsts {
inline constexpr const char* SFrameAdapterOwner = "TsFrameAdapter adapter must be placed on the handled frame";
}

class TsFrameAdapter : public TComponent {
    DECLARE_CLASS(TsFrameAdapter, TComponent)
public:
    // Raises Exception (SFrameAdapterOwner) unless AOwner is a frame.
    explicit TsFrameAdapter(TComponent* AOwner);
    // Gives the frame its procedure back and frees the skin data.
    ~TsFrameAdapter() override;
    static void DefineClass(TClassBuilder<TsFrameAdapter>& B);
    void AfterConstruction() override;
    void Loaded() override;

    void FrameWndProc(TMessage& Message);
    void PaintWindow(HDC DC);
    void PaintBackground(HDC DC);
    void PrepareCache();

    TsCommonData* SkinData = nullptr;  // owned
    TCustomFrame* Frame = nullptr;
    TWndMethod OldFrameProc;
    TacScrollWnd* ScrollWnd = nullptr;  // owned

private:
    bool Skinned() const;
    bool Command(TMessage& Message);
    // The scroll-bar hook made or freed as the frame's skinning now asks.
    void UpdateScrollHook();
    // Under the third-party rule the form's provider is asked to wrap the frame's new controls.
    void AskFormToAdapt();
    void HookPopupMenus(TsSkinManager* M);
};
