// The ExtCtrls unit: panels and notebooks.
//
// Start-up: ExtCtrlsInitialization() registers the unit's classes for form files.
#pragma once

#include "StdCtrls.h"

#include <string>
#include <vector>

using TPanelBevel = TBevelCut;

// Draws a raised or sunken frame of Width pixels inside Rect and shrinks Rect by it.
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width);

// A container that paints its bevels and its caption. Descendants paint more through Paint; the
// client area for children lies inside the bevels and the border.
class TCustomPanel : public TCustomControl {
    DECLARE_CLASS(TCustomPanel, TCustomControl)
public:
    explicit TCustomPanel(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TCustomPanel>& B);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut Value);
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut Value);
    int BevelWidth() const { return FBevelWidth; }
    // At least 1; other values are ignored.
    void SetBevelWidth(int Value);
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    bool FullRepaint() const { return FFullRepaint; }
    void SetFullRepaint(bool Value) { FFullRepaint = Value; }
    bool ParentBackground() const { return FControlStyle.Contains(csParentBackground); }
    void SetParentBackground(bool Value);

protected:
    void CreateParams(TCreateParams& Params) override;
    void AdjustClientRect(TRect& Rect) override;
    void Paint() override;
    void CMTextChanged(TMessage& Message);
    void WMWindowPosChanged(TMessage& Message);

private:
    TAlignment FAlignment = taCenter;
    TBevelCut FBevelInner = bvNone;
    TBevelCut FBevelOuter = bvRaised;
    int FBevelWidth = 1;
    TFormBorderStyle FBorderStyle = bsNone;
    bool FFullRepaint = true;
};

class TPanel : public TCustomPanel {
    DECLARE_CLASS(TPanel, TCustomPanel)
public:
    using TCustomPanel::TCustomPanel;
};

class TNotebook;

// One page of a notebook: a container filling the notebook, shown while it is the active page.
// Its Caption is the page's name.
class TPage : public TCustomControl {
    DECLARE_CLASS(TPage, TCustomControl)
public:
    explicit TPage(TComponent* AOwner);
    static void DefineClass(TClassBuilder<TPage>& B);
    void SetParent(TWinControl* AParent) override;

protected:
    void Paint() override;
};

// A notebook's page names, one line per page, each line's object its page. Setting the list
// (Text, CommaText, Assign) renames pages in place, adds missing ones at the end and frees the
// surplus, so setting the same names again changes nothing and keeps the pages' controls.
class TPageAccess : public TStrings {
    DECLARE_CLASS(TPageAccess, TStrings)
public:
    explicit TPageAccess(TNotebook* ANotebook) : FNotebook(ANotebook) {}
    void Insert(int Index, const std::string& S) override;
    void Delete(int Index) override;
    void Clear() override;

protected:
    std::string Get(int Index) override;
    int GetCount() override;
    TObject* GetObject(int Index) override;
    void Put(int Index, const std::string& S) override;
    void SetUpdateState(bool Updating) override;

private:
    // Runs a change on the names and brings the pages in line with them afterwards.
    template <class F>
    void Change(F Fn);
    std::vector<std::string> Names();
    TNotebook* FNotebook;
    bool FUpdating = false;
    std::vector<std::string> FPending;  // the names while an update is open
};

class TNotebook : public TCustomControl {
    DECLARE_CLASS(TNotebook, TCustomControl)
public:
    explicit TNotebook(TComponent* AOwner);
    ~TNotebook() override;
    static void DefineClass(TClassBuilder<TNotebook>& B);

    TStrings* Pages() const { return FAccess; }
    void SetPages(TStrings* Value) { FAccess->Assign(Value); }
    int PageCount() const { return static_cast<int>(FPageList.size()); }
    TPage* Page(int Index) const;
    // The active page's name; setting a name that no page has is ignored.
    std::string ActivePage() const;
    void SetActivePage(const std::string& Value);
    // -1 with no pages; an index outside the pages is ignored.
    int PageIndex() const { return FPageIndex; }
    void SetPageIndex(int Value);

    TNotifyEvent OnPageChanged;

protected:
    void Loaded() override;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

private:
    friend class TPage;
    friend class TPageAccess;
    void AddPage(TPage* Page);
    void RemovePage(TPage* Page);
    TPage* NewPage(const std::string& Name);
    void ShowActivePage();

    TPageAccess* FAccess = nullptr;
    std::vector<TPage*> FPageList;
    int FPageIndex = -1;
};

void ExtCtrlsInitialization();
