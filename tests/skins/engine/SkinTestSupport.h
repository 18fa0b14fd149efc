// What the skin library's tests share: the framework and the library's units started once per test
// program, a form to place controls on, skin managers filled by hand with sections and masks, and a
// skin-aware panel that answers the library command message through its skin data.
#pragma once

#include "ExtCtrls.h"
#include "Forms.h"
#include "sCommonData.h"
#include "sConst.h"
#include "sMessages.h"
#include "sSkinManager.h"
#include "sVclUtils.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace skintests {

inline void EnsureSkinUnits() {
    static bool Started = false;
    if (Started)
        return;
    Started = true;
    GraphicsInitialization();
    InitControls();
    static TForm* MainForm = nullptr;
    if (!Application->MainForm())
        Application->CreateForm(MainForm);
    sConstInitialization();
    sMessagesInitialization();
    sVclUtilsInitialization();
}

// The library's own windows (animation and border windows, tag -98) among the program's forms.
inline int LibraryForms() {
    int N = 0;
    for (int I = 0; I < Screen->FormCount(); ++I)
        N += Screen->Forms(I)->Tag() == -98;
    return N;
}

inline void Pump() {
    MSG M;
    while (PeekMessageA(&M, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&M);
        DispatchMessageA(&M);
    }
}

// A section as the skin options would give it.
struct TSectionSpec {
    std::string Name;
    TColor Color = 0xFFFFFF;
    int Transparency = 0;
    int GradientPercent = 0;
    int ImagePercent = 0;
    TColor FontColor = 0;
    TColor HotColor = 0xFFFFFF;
    TColor HotFontColor = 0;
};

inline int AddSection(TsSkinManager* M, const TSectionSpec& S) {
    TsGeneralData D;
    D.SectionName = S.Name;
    D.Color = S.Color;
    D.Transparency = S.Transparency;
    D.HotTransparency = S.Transparency;
    D.GradientPercent = S.GradientPercent;
    D.ImagePercent = S.ImagePercent;
    D.FontColor[0] = S.FontColor;
    D.HotColor = S.HotColor;
    D.HotFontColor[0] = S.HotFontColor;
    M->SectionList.push_back(D);
    return static_cast<int>(M->SectionList.size()) - 1;
}

// A border mask of the given widths made the section's border.
inline int AddBorderMask(TsSkinManager* M, int Section, int WL, int WT, int WR, int WB) {
    TsMaskData Mask;
    Mask.SectionName = M->SectionList[Section].SectionName;
    Mask.PropertyName = "BORDERSMASK";
    Mask.ImageCount = 3;
    Mask.WL = static_cast<SmallInt>(WL);
    Mask.WT = static_cast<SmallInt>(WT);
    Mask.WR = static_cast<SmallInt>(WR);
    Mask.WB = static_cast<SmallInt>(WB);
    Mask.Manager = M;
    M->MaskList.push_back(Mask);
    int Index = static_cast<int>(M->MaskList.size()) - 1;
    M->SectionList[Section].BorderIndex = Index;
    return Index;
}

// A panel that is skin-aware: its skin data answers the library command message first.
class TSkinTestPanel : public TPanel {
    DECLARE_CLASS(TSkinTestPanel, TPanel)
public:
    explicit TSkinTestPanel(TComponent* AOwner) : TPanel(AOwner) {
        SkinData = Create<TsCommonData>(this, true);
        SkinData->ControlKind = 51;
    }
    ~TSkinTestPanel() override { FreeAndNil(SkinData); }
    void WndProc(TMessage& Message) override {
        if (Message.Msg == SM_ALPHACMD)
            Commands.push_back(SkinCommandOf(Message.WParam));
        if (!SkinData || !HandleCommonMessage(Message, SkinData))
            TPanel::WndProc(Message);
    }
    TsCommonData* SkinData = nullptr;
    std::vector<Word> Commands;  // the library commands received, in order
};

// Starts the units; gives each test a visible form and frees at its end the forms and the skin
// managers the test made.
class SkinTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureSkinUnits();
        Form = TForm::CreateNew(nullptr);
        Form->SetBounds(50, 50, 400, 300);
        Form->SetColor(clBtnFace);
        Form->Show();
    }
    void TearDown() override {
        FreeAndNil(Form);
        FreeAndNil(Manager);
        AnimationInProgress = false;
        Pump();
    }
    // The default manager with an active skin of the given sections.
    TsSkinManager* MakeManager(std::initializer_list<TSectionSpec> Sections) {
        Manager = Create<TsSkinManager>(nullptr);
        for (const TSectionSpec& S : Sections)
            AddSection(Manager, S);
        Manager->SkinData->SkinActive = true;
        return Manager;
    }
    template <class T>
    T* Place(int Left, int Top, int Width, int Height, TWinControl* Parent = nullptr) {
        T* C = Create<T>(Form);
        C->SetBounds(Left, Top, Width, Height);
        C->SetParent(Parent ? Parent : Form);
        return C;
    }

    TForm* Form = nullptr;
    TsSkinManager* Manager = nullptr;
};

}  // namespace skintests
