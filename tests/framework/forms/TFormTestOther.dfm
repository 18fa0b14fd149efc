object FormTestOther: TFormTestOther
  Caption = 'Other'
  object Label1: TTestControl
    Buddy = FormTestMain.Memo1
    Caption = 'Label'
    Tabs = 1
  end
end
