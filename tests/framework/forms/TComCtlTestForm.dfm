object ComCtlTestForm: TComCtlTestForm
  Left = 100
  Top = 60
  BorderStyle = bsSingle
  Caption = 'Common controls test'
  ClientHeight = 360
  ClientWidth = 480
  Font.Name = 'Verdana'
  Font.Height = -12
  Position = poDesigned
  object tbMain: TToolBar
    Left = 0
    Top = 0
    Width = 480
    Height = 29
    Caption = 'Tasks'
    Flat = True
    Images = ilMain
    object tbPlus: TToolButton
      Left = 0
      Top = 0
      Hint = 'Add a task|Adds a task to the list'
      ImageIndex = 1
      OnClick = tbPlusClick
    end
    object tbEdit: TToolButton
      Left = 23
      Top = 0
      Hint = 'Edit the task'
      ImageIndex = 0
    end
  end
  object pcPages: TPageControl
    Left = 8
    Top = 40
    Width = 300
    Height = 200
    ActivePage = tsSecond
    OnChanging = pcPagesChanging
    object tsFirst: TTabSheet
      Caption = 'First'
      object tvTree: TTreeView
        Left = 4
        Top = 4
        Width = 200
        Height = 120
        ShowRoot = False
        Images = ilMain
      end
    end
    object tsSecond: TTabSheet
      Caption = 'Second'
      object lvList: TListView
        Left = 4
        Top = 4
        Width = 250
        Height = 120
        Columns = <
          item
            Caption = 'Server'
            Width = 90
          end
          item
            Alignment = taRightJustify
            Caption = 'Size'
            Width = 60
          end>
        ReadOnly = True
        RowSelect = True
        ViewStyle = vsReport
      end
    end
  end
  object sbBar: TStatusBar
    Left = 0
    Top = 341
    Width = 480
    Height = 19
    Panels = <
      item
        Text = 'Start'
        Width = 120
      end
      item
        Alignment = taCenter
        Text = 'Timer'
        Width = 120
      end
      item
        Text = 'Server'
        Width = 120
      end
      item
        Style = psOwnerDraw
        Width = 50
      end>
    OnDrawPanel = sbBarDrawPanel
  end
  object ilMain: TImageList
    Height = 8
    Width = 8
  end
  object MainMenu1: TMainMenu
    object mH: TMenuItem
      Caption = 'Help'
      ShortCut = 112
      Visible = False
      OnClick = mHClick
    end
  end
  object PopupMenu: TPopupMenu
    Images = ilMain
    OnPopup = PopupMenuPopup
    object pmOpenProgram: TMenuItem
      Caption = 'Open'
      Default = True
      OnClick = pmOpenProgramClick
    end
    object N1: TMenuItem
      Caption = '-'
    end
    object pmSettings: TMenuItem
      Caption = 'Settings'
      object pmAutoRun: TMenuItem
        Caption = 'Autorun'
        ImageIndex = 0
        OnClick = pmAutoRunClick
      end
    end
    object pmClose: TMenuItem
      Caption = 'Exit'
      ShortCut = 16465
      OnClick = pmCloseClick
    end
  end
end
