// Hooks of combo boxes and their drop-down lists (part of the window-hooks unit, acSBUtils.h): the
// box keeps the edit hook's frame and gets a skinned button and text; its list window gets a hook of
// its own the first time it shows.
#pragma once

#include "acSBUtils.h"

class TCustomListBox;

// The drop-down list window of a hooked combo box (also of the skinned combo boxes).
class TacComboListWnd : public TacEditWnd {
    DECLARE_CLASS(TacComboListWnd, TacEditWnd)
public:
    TacComboListWnd(HWND AHandle, bool Repaint, const std::string& SkinSection, TsSkinManager* Manager,
                    TsCommonData* ASkinData, bool Simple = false);
    // A list that is not simple is widened by a pixel so that the system lays out its frame again.
    static TacComboListWnd* CreateEx(HWND AHandle, bool Simple, bool Repaint, const std::string& SkinSection,
                                     TsSkinManager* Manager, TsCommonData* ASkinData);
    void WndProc(TMessage& Message) override;
    void PrepareListCache();

    bool SimpleList = false;
    bool ListShowing = false;

private:
    void PaintFrame(HDC DC);
    // A simple box's list is made a whole number of rows high: the strip of the box below it shows
    // what lies behind the box.
    void RefillStripBelow();
};

class TacComboBoxWnd : public TacEditWnd {
    DECLARE_CLASS(TacComboBoxWnd, TacEditWnd)
public:
    TacComboBoxWnd(HWND AHandle, bool Repaint, const std::string& SkinSection, TsSkinManager* Manager,
                   TsCommonData* ASkinData);
    ~TacComboBoxWnd() override;
    void WndProc(TMessage& Message) override;
    // The drop-down button in window coordinates (empty width for a simple box).
    virtual TRect GetButtonRect();

    // The button into DC from the cache: pressed while the list shows, hot under the mouse.
    void PaintButton(HDC DC);
    // The button painted at once on the window, from a fresh frame image.
    void PaintButtonNow();
    // The whole box painted again at once.
    void RepaintNow();
    void PaintText();
    void PrepareSimpleCache();
    int ArrowGlyphHeight();
    // 2 while the list shows, 1 hot, else 0.
    int ButtonState();

    HWND ListHandle = nullptr;
    TsCommonData* ButtonSkinData = nullptr;  // owned
    TacComboListWnd* ListHook = nullptr;     // owned
    bool ComboDroppedDown = false;

protected:
    // The window procedure below the combo-box handling (the edit hook's).
    void EditWndProc(TMessage& Message) { TacEditWnd::WndProc(Message); }
    void Print(TMessage& Message);

private:
    // One brush of the list section's colour answers every WM_CTLCOLORLISTBOX.
    HBRUSH ListBrush = nullptr;
    TColor ListBrushColor = clNone;
    bool IsSimple() const;
};

// Combo boxes whose list is a list-box child control; it gets an edit hook of its own.
class TacWWComboBoxWnd : public TacComboBoxWnd {
    DECLARE_CLASS(TacWWComboBoxWnd, TacComboBoxWnd)
public:
    using TacComboBoxWnd::TacComboBoxWnd;
    ~TacWWComboBoxWnd() override;
    static TacWWComboBoxWnd* CreateEx(TWinControl* Box, bool Repaint, const std::string& SkinSection,
                                      TsSkinManager* Manager, TsCommonData* ASkinData);
    void WndProc(TMessage& Message) override;
    TRect GetButtonRect() override;
    bool HasButton();

    TCustomListBox* ListBox = nullptr;
    TacScrollWnd* ListBoxHook = nullptr;        // owned
    TsCommonData* ListBoxSkinData = nullptr;    // owned
};
