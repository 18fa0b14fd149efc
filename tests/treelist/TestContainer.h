// A container for the editor tests: its answers are set by the test, and it records what the
// editor hands over to it.
#pragma once

#include "TreeListTestSupport.h"
#include "dxCntner.h"

#include <vector>

namespace treelist_tests {

class TTestContainer : public TCustomdxContainer {
    DECLARE_CLASS(TTestContainer, TCustomdxContainer)
public:
    using TCustomdxContainer::TCustomdxContainer;
    static void DefineClass(TClassBuilder<TTestContainer>& B) { B.Message<&TTestContainer::WMVScroll>(WM_VSCROLL); }

    bool Modify = true;
    bool ValidChars = true;
    bool WantTab = false;
    bool ClickActivation = false;
    std::vector<Word> ContainerKeys;  // keys the editor gave to the container's own key handling
    std::vector<Word> EditorKeys;     // keys the editor did not consume
    std::vector<WPARAM> Scrolls;
    int FocusChanges = 0;

    bool CanEditorModify() override { return Modify; }
    bool IsEditorValidChar(char) override { return ValidChars; }
    bool WantsEditorTab() override { return WantTab; }
    bool IsClickActivation() override { return ClickActivation; }
    void EditorKeyDown(Word& Key, TShiftState Shift) override {
        EditorKeys.push_back(Key);
        TCustomdxContainer::EditorKeyDown(Key, Shift);
    }
    void EditorFocusChanged() override { ++FocusChanges; }
    void KeyDown(Word& Key, TShiftState Shift) override {
        ContainerKeys.push_back(Key);
        TCustomdxContainer::KeyDown(Key, Shift);
    }

private:
    void WMVScroll(TMessage& Message) { Scrolls.push_back(Message.WParam); }
};

// A form with a test container hosting one editor of kind E.
template <class E>
struct TEditorTest : TreeListTest {
    TForm* Form = nullptr;
    TTestContainer* Box = nullptr;
    E* Edit = nullptr;
    void SetUp() override {
        TreeListTest::SetUp();
        Form = NewForm();
        Box = Create<TTestContainer>(Form);
        Box->SetParent(Form);
        Box->SetBounds(0, 0, 300, 200);
        Edit = Create<E>(Box);
        Edit->SetParent(Box);
    }
    // The editor given a cell value and shown over a cell, as a container opens it.
    void Open(const Variant& Value) {
        Edit->SetEditValue(Value);
        Edit->SetModified(false);
        Edit->SetActive(true);
        Edit->ShowAt(TRect{10, 10, 150, 30});
    }
    void Type(char Ch) { SendMessageA(Edit->Handle(), WM_CHAR, static_cast<unsigned char>(Ch), 1); }
};

}  // namespace treelist_tests
