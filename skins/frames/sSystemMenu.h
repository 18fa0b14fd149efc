// The window menu of a skinned form: a popup menu the skin can paint instead of the window's own
// system menu, with the captions and short cuts copied from that menu (so they are in the system's
// language) and the rules that decide which standard commands are shown and enabled. The same
// rules decide the caption buttons of the provider and of the extended-border window.
#pragma once

#include "Menus.h"

class TsSkinProvider;
class TForm;

// A popup menu with the six rules of the caption commands.
class TsCustomSysMenu : public TPopupMenu {
    DECLARE_CLASS(TsCustomSysMenu, TPopupMenu)
public:
    explicit TsCustomSysMenu(TComponent* AOwner) : TPopupMenu(AOwner) {}
    // Each raises the framework's abstract-method error on this class.
    virtual bool VisibleClose();
    virtual bool VisibleMax();
    virtual bool VisibleMin();
    virtual bool EnabledMax();
    virtual bool EnabledMin();
    virtual bool EnabledRestore();
};

class TsSystemMenu : public TsCustomSysMenu {
    DECLARE_CLASS(TsSystemMenu, TsCustomSysMenu)
public:
    // Named "SysMenu", owned by the provider; builds its items at once.
    explicit TsSystemMenu(TsSkinProvider* AOwner);

    // The provider took WS_SYSMENU away to draw its own frame.
    bool VisibleClose() override;
    // The iconic state and MDI children win over the border style.
    bool VisibleMax() override;
    bool VisibleMin() override;
    bool EnabledMax() override;
    bool EnabledMin() override;
    bool EnabledRestore() override;
    bool VisibleRestore();
    bool VisibleSize();
    bool EnabledMove();
    bool EnabledSize();

    // Items rebuilt: the five standard commands, the window's own commands below SC_SIZE, Close.
    void MakeItems();
    // MakeItems when asked or when Close is missing, then the rules applied to the items.
    void UpdateItems(bool Rebuild);
    // The skin chooser at the top: one radio sub-item per skin the manager lists.
    void AddSkinsItem();
    // Called by the provider after skin changes; nothing to do.
    void SkinChanged() {}

    void RestoreClick(TObject* Sender);
    void MoveClick(TObject* Sender);
    void SizeClick(TObject* Sender);
    void MinimizeClick(TObject* Sender);
    void MaximizeClick(TObject* Sender);
    void CloseClick(TObject* Sender);
    // Posted, so that the menu has closed before the window's own command runs.
    void ExtraItemClick(TObject* Sender);
    void SkinItemClick(TObject* Sender);

    TsSkinProvider* Provider = nullptr;
    TForm* Form = nullptr;
    int ExtraCount = 0;
    TMenuItem* ItemRestore = nullptr;
    TMenuItem* ItemMove = nullptr;
    TMenuItem* ItemSize = nullptr;
    TMenuItem* ItemMinimize = nullptr;
    TMenuItem* ItemMaximize = nullptr;
    TMenuItem* ItemClose = nullptr;

private:
    bool Iconic() const;
    void SendCommand(WPARAM Command);
};
