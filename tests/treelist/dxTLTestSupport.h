// A tree list whose bands, columns, node strings, sort values and selection are plain tables the
// test fills in, answering the engine's questions from them.
#pragma once

#include "TreeListTestSupport.h"
#include "dxTL.h"

#include <algorithm>
#include <array>
#include <map>
#include <set>
#include <vector>

namespace treelist_tests {

// The in-place editor of a tree list or grid, as a person meets it: shown or not, typed into, keyed.
inline bool EditorShown(TdxInplaceEdit* Editor) {
    return Editor && Editor->HandleAllocated() && IsWindowVisible(Editor->Handle());
}
inline void TypeIntoEditor(TdxInplaceEdit* Editor, const std::string& Text) {
    for (char C : Text)
        PostMessageA(Editor->Handle(), WM_CHAR, static_cast<unsigned char>(C), 1);
    Pump();
}
inline void KeyToEditor(TdxInplaceEdit* Editor, WPARAM Key) {
    PostMessageA(Editor->Handle(), WM_KEYDOWN, Key, 1);
    Pump();
}

struct TestBand {
    int Width = 100;
    int MinWidth = 0;
    bool Sizable = true;
    std::vector<std::vector<int>> Rows;  // columns of each header row, in position order
};

struct TestColumn {
    int Width = 50;
    int MinWidth = 0;
    bool Sizable = true;
    std::string Caption;
};

class TTestTreeList : public TCustomdxTreeList {
    DECLARE_CLASS(TTestTreeList, TCustomdxTreeList)
public:
    using TCustomdxTreeList::TCustomdxTreeList;

    std::vector<TestBand> Bands;
    std::vector<TestColumn> Columns;
    int LeftFixed = -1, RightFixed = -1;
    std::map<TdxTreeListNode*, std::map<int, std::string>> Strings;
    std::map<TdxTreeListNode*, Variant> SortValues;
    std::set<TdxTreeListNode*> SelectedSet;

    // One band holding the given column widths in one header row.
    void OneBand(std::vector<int> Widths, int BandWidth) {
        Bands.assign(1, TestBand{BandWidth, 0, true, {{}}});
        Columns.clear();
        for (int W : Widths) {
            Bands[0].Rows[0].push_back(static_cast<int>(Columns.size()));
            Columns.push_back(TestColumn{W, 0, true, "C" + std::to_string(Columns.size())});
        }
        LayoutChanged();
    }

    // A status panel with its text and button, as a data-aware descendant shows it.
    bool StatusPanel = false, StatusButton = false;
    std::string StatusText;
    bool IsStatusPanelShown() override { return StatusPanel; }
    bool HasStatusButton() override { return StatusButton; }
    std::string GetStatusPanelText() override { return StatusText; }

    TdxTreeListNode* CreateNode() override { return Create<TdxTreeListNode>(this); }
    int GetNodeImageIndex(TdxTreeListNode*) override { return -1; }
    int GetNodeSelectedIndex(TdxTreeListNode*) override { return -1; }
    int GetNodeStateIndex(TdxTreeListNode*) override { return -1; }
    void GetNodeValue(TdxTreeListNode* Node, int Column, Variant& Value) override {
        Value = Strings[Node][Column];
    }
    void GetNodeString(TdxTreeListNode* Node, int Column, std::string& Text) override {
        auto N = Strings.find(Node);
        Text = N == Strings.end() || !N->second.count(Column) ? std::string() : N->second.at(Column);
    }
    std::string GetCellText(TdxTreeListNode* Node, int Column) override { return Node ? Node->Strings(Column) : ""; }
    // An incremental search in progress (started by the editing side of the control).
    void SetSearch(int Column, const std::string& Text) {
        FSearching = true;
        FSearchColumn = Column;
        FSearchText = Text;
    }
    // Cell texts measure one line per line of text.
    bool CalcCellTextHeight(TdxTreeListNode*, int, int& Height, int& LineCount, bool, bool, int MaxLineCount,
                            int TextHeight, int, const std::string& Text) override {
        LineCount = 1 + static_cast<int>(std::count(Text.begin(), Text.end(), '\n'));
        if (MaxLineCount != -1)
            LineCount = std::min(LineCount, MaxLineCount);
        Height = LineCount * TextHeight + 3;
        return true;
    }
    // The editor is loaded with the cell's string and writes its text back, as the column
    // control's columns do.
    void GetEditorValue(TdxTreeListNode* Node, TdxInplaceEdit* Editor, Variant& Value) override {
        std::string S;
        GetNodeString(Node, GetVisibleColumn(GetFocusedColumn()), S);
        Editor->SetEditValue(S);
        Value = S;
    }
    void ApplyEditorValue(TdxTreeListNode* Node, int Column, Variant& Value, TdxInplaceEdit* Editor) override {
        std::string S;
        Editor->GetEditingText(S);
        SetNodeString(Node, GetVisibleColumn(Column), S);
        Value = S;
    }
    void ClearSelection() override {
        SelectedSet.clear();
        TCustomdxTreeList::ClearSelection();
    }
    void SetNodeImageIndex(TdxTreeListNode*, int) override {}
    void SetNodeSelectedIndex(TdxTreeListNode*, int) override {}
    void SetNodeStateIndex(TdxTreeListNode*, int) override {}
    void SetNodeString(TdxTreeListNode* Node, int Column, const std::string& Text) override {
        Strings[Node][Column] = Text;
    }
    void SetNodeValue(TdxTreeListNode* Node, int Column, const Variant& Value) override {
        Strings[Node][Column] = Value.AsString();
    }
    void GetNodeSortValue(TdxTreeListNode* Node, int, Variant& Value) override {
        auto I = SortValues.find(Node);
        Value = I == SortValues.end() ? Variant(std::string()) : I->second;
    }
    void NodeDeleted(TdxTreeListNode* Node, TdxTreeListNode* Prev, bool WasVisible, bool WasLast,
                     TdxTreeListNode* NextRow) override {
        TCustomdxTreeList::NodeDeleted(Node, Prev, WasVisible, WasLast, NextRow);
        Strings.erase(Node);
        SortValues.erase(Node);
        SelectedSet.erase(Node);
    }

    int GetVisibleBandCount() override { return static_cast<int>(Bands.size()); }
    int GetLeftFixedBand() override { return LeftFixed; }
    int GetRightFixedBand() override { return RightFixed; }
    int GetBandWidth(int B) override { return Bands[B].Width; }
    int GetBandMinWidth(int B) override { return Bands[B].MinWidth; }
    bool IsBandSizable(int B) override { return Bands[B].Sizable; }
    void SetBandWidth(int B, int W) override { Bands[B].Width = W; }
    int GetBandRowCount(int B) override { return static_cast<int>(Bands[B].Rows.size()); }
    int GetColumnCountInRow(int B, int R) override {
        return R < static_cast<int>(Bands[B].Rows.size()) ? static_cast<int>(Bands[B].Rows[R].size()) : 0;
    }
    int GetColumnAt(int B, int R, int P) override { return Bands[B].Rows[R][P]; }
    int GetColumnCount() override { return static_cast<int>(Columns.size()); }
    int GetColumnWidth(int C) override { return Columns[C].Width; }
    int GetColumnMinWidth(int C) override { return Columns[C].MinWidth; }
    bool IsColumnSizable(int C) override { return Columns[C].Sizable; }
    void SetColumnWidth(int C, int W) override { Columns[C].Width = W; }
    std::string GetColumnCaption(int C) override { return Columns[C].Caption; }
    int GetColumnBandIndex(int C) override { return Where(C)[0]; }
    int GetColumnRowIndex(int C) override { return Where(C)[1]; }
    int GetColumnColIndex(int C) override { return Where(C)[2]; }

    // Header drops: the column leaves its row and joins the target row at Col; hidden columns
    // leave the header.
    void MoveColumn(int Column, int Band, int Col, int Row) override {
        Remove(Column);
        auto& R = Bands[Band].Rows[std::min<size_t>(Row, Bands[Band].Rows.size() - 1)];
        R.insert(R.begin() + std::min<size_t>(Col, R.size()), Column);
        LayoutChanged();
    }
    void HideColumn(int Column) override {
        Remove(Column);
        LayoutChanged();
    }
    bool IsColumnVisible(int Column) override { return Where(Column)[0] >= 0; }
    // The columns of band 0, row 0, in order.
    std::vector<int> Order() const { return Bands[0].Rows[0]; }

    bool IsNodeSelected(TdxTreeListNode* Node) override { return SelectedSet.count(Node) > 0; }
    int GetSelectedCount() override { return static_cast<int>(SelectedSet.size()); }
    TdxTreeListNode* GetSelectedNode(int Index) override {
        auto I = SelectedSet.begin();
        std::advance(I, Index);
        return *I;
    }
    void SetNodeSelected(TdxTreeListNode* Node, bool Value) override {
        const size_t Before = SelectedSet.size();
        if (Value)
            SelectedSet.insert(Node);
        else
            SelectedSet.erase(Node);
        if (SelectedSet.size() != Before)
            TCustomdxTreeList::SetNodeSelected(Node, Value);
    }

private:
    void Remove(int C) {
        for (auto& B : Bands)
            for (auto& R : B.Rows)
                R.erase(std::remove(R.begin(), R.end(), C), R.end());
    }
    std::array<int, 3> Where(int C) {
        for (int B = 0; B < static_cast<int>(Bands.size()); ++B)
            for (int R = 0; R < static_cast<int>(Bands[B].Rows.size()); ++R)
                for (int P = 0; P < static_cast<int>(Bands[B].Rows[R].size()); ++P)
                    if (Bands[B].Rows[R][P] == C)
                        return {B, R, P};
        return {-1, 0, 0};
    }
};

// A tree list on a visible form, with its window made.
class TreeListEngineTest : public TreeListTest {
protected:
    TTestTreeList* Tree = nullptr;
    void SetUp() override {
        TreeListTest::SetUp();
        TForm* F = NewForm();
        Tree = Create<TTestTreeList>(F);
        Tree->SetParent(F);
        Tree->SetBounds(0, 0, 300, 200);
        Tree->HandleNeeded();
    }
    // Roots named by their texts, each with the given number of children "<root>.<i>".
    TdxTreeListNode* AddRoot(const std::string& Text, int Children = 0) {
        TdxTreeListNode* N = Tree->Add();
        N->SetStrings(0, Text);
        for (int I = 0; I < Children; ++I)
            N->AddChild()->SetStrings(0, Text + "." + std::to_string(I));
        return N;
    }
    // The texts of the rows in order, joined by spaces.
    std::string Rows() {
        std::string S;
        for (TdxTreeListNode* N = Tree->GetFirstRootNode(); N; N = Tree->GetNextVisibleNode(N))
            S += (S.empty() ? "" : " ") + N->Strings(0);
        return S;
    }
};

// The centre of a column's header cell, moved Dx to the right.
inline TPoint HeaderCellCenter(TCustomdxTreeList* Tree, int Column, int Dx = 0) {
    Layout L;
    Tree->CalcLayout(L);
    for (const HeaderCell& C : L.HeaderCells)
        if (C.Column == Column)
            return TPoint{static_cast<int>(C.Rect.Left + C.Rect.Right) / 2 + Dx,
                          static_cast<int>(C.Rect.Top + C.Rect.Bottom) / 2};
    ADD_FAILURE() << "no header cell for column " << Column;
    return TPoint{0, 0};
}

// A mouse message to the tree at a client point, with the cursor moved there first.
inline void SendMouse(TCustomdxTreeList* Tree, UINT Msg, TPoint P, WPARAM Keys) {
    const TPoint S = Tree->ClientToScreen(P);
    SetCursorPos(S.X, S.Y);
    Tree->Perform(Msg, Keys, MAKELPARAM(P.X, P.Y));
}

}  // namespace treelist_tests
