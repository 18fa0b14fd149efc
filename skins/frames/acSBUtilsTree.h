// The window hook of tree views, part of the window-hooks unit (acSBUtils.h): while a tree view is
// skinned its frame and scroll bars are painted as an edit hook paints them, and its background
// and text take the section's hot colours.
#pragma once

#include "acSBUtils.h"

class TacTreeViewWnd : public TacEditWnd {
    DECLARE_CLASS(TacTreeViewWnd, TacEditWnd)
public:
    using TacEditWnd::TacEditWnd;
    void RestoreStdParams() override;
    void SetSkinParams() override;
    void WndProc(TMessage& Message) override;

private:
    void EraseBackground(TMessage& Message);
};

// Keeps a tree view's hook in step with its skinning: made when skinned (an unhooked one replaced),
// freed when not.
void RefreshTreeViewWnd(TsCommonData* SkinData, TacTreeViewWnd*& Wnd);
