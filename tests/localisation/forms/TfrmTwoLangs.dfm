object frmTwoLangs: TfrmTwoLangs
  object siLang1: TsiLang
    Version = '6.4'
  end
  object siLang2: TsiLang
    Version = '6.4'
  end
end
