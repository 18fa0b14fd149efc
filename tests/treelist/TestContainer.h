// A container for the editor tests: its answers are set by the test, and it records what the
// editor hands over to it.
#pragma once

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

}  // namespace treelist_tests
