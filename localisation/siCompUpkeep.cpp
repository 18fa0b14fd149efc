// Keeping the lists in step with the owner's components: the tidy that runs before every
// application, and the design-time collector with its smaller operations (deleting and renaming the
// keys of removed or renamed components).
#include "siComp.h"

#include "Graphics.h"

namespace {
bool StartsWith(std::string_view S, std::string_view Prefix) { return S.substr(0, Prefix.size()) == Prefix; }

// Every value of the entry (the fields after its key) is empty, or with Blank, blank.
bool HasNoValue(std::string_view Entry, char D, bool Blank) {
    const size_t Key = Entry.find(D);
    if (Key == std::string_view::npos)
        return true;
    for (char Ch : Entry.substr(Key + 1))
        if (Ch != D && !(Blank && static_cast<unsigned char>(Ch) <= ' '))
            return false;
    return true;
}

// The name of the charset in the table, "" when it has none.
std::string CharsetName(Byte Charset) {
    for (const auto& C : CharsetNames)
        if (C.Charset == Charset)
            return C.Name;
    return {};
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// The tidy

void TsiCustomLang::TidyKindList(TStrings* List, TStringsType Kind) {
    if (Kind == stDlgsCaptions || Kind == stStrings || Kind == stLocales || !Owner())
        return;
    if (!FRemovedEntries)
        FRemovedEntries.reset(Create<TStringList>());
    const char D = DelimChar();
    auto Move = [&](int I) {
        FRemovedEntries->Add(List->Strings(I));
        List->Delete(I);
    };
    if (Kind == stCollections) {
        for (int I = 0; I < List->Count();) {
            const std::string Entry = List->Strings(I);
            const size_t Dot = Entry.find('.');
            TComponent* C = OwnerComponent(Entry.substr(0, Dot));
            if (!C) {
                Move(I);
                continue;
            }
            std::string Path = Dot == std::string::npos ? std::string() : Entry.substr(Dot + 1);
            Path = Path.substr(0, Path.find(D));
            TObject* Holder = C;
            if (StartsWith(Path, "Properties.")) {
                Holder = GetObjectProperty(C, GetPropInfo(C, "Properties", ObjectKinds));
                Path = Path.substr(11);
            }
            const TIndexedSegment Segment = ParseIndexedSegment(Path.substr(0, Path.find('.')));
            PPropInfo P = Holder ? GetPropInfo(Holder, Segment.Name, tkProperties) : nullptr;
            auto* Collection = P && P->Name == Segment.Name ? DynCast<TCollection>(GetObjectProperty(Holder, P)) : nullptr;
            if (Collection && Segment.Index >= 0 && Collection->Count() <= Segment.Index)
                Move(I);
            else
                ++I;
        }
    } else {
        const bool Owned = (Kind == stCaptions && HasProperty(Owner(), "Caption", StringKinds)) ||
                           (Kind == stHints && HasProperty(Owner(), "Hint", StringKinds)) ||
                           ((Kind == stFonts || Kind == stCharSets) && HasProperty(Owner(), "Font", ObjectKinds, "TFont"));
        // Entry 0 is skipped only when it is the owner's: a component's entry there is tidied too.
        int Start = Owned && List->Count() > 0 && EntryKey(List->Strings(0), D) == Owner()->ClassName() ? 1 : 0;
        const bool ActionKind = Kind == stCaptions || Kind == stHints;
        if (Start == 1 && ActionKind && List->Count() > 0 && IsTextFromAction(Owner(), Kind) &&
            List->Strings(0).find(Owner()->ClassName() + D) != std::string::npos) {
            List->Delete(0);
            Start = 0;
        }
        const bool Dotted = Kind == stMultiLines || Kind == stOtherStrings;
        for (int I = Start; I < List->Count();) {
            const std::string Entry = List->Strings(I);
            std::string Name = Entry.substr(0, Entry.find(D));
            if (Dotted)
                Name = Name.substr(0, Name.find('.'));
            TComponent* C = OwnerComponent(Name);
            if (!C && !(Dotted && Name == Owner()->ClassName())) {
                Move(I);
                continue;
            }
            if (ActionKind && IsTextFromAction(C, Kind)) {
                List->Delete(I);
                continue;
            }
            ++I;
        }
    }
    // Only entries without any value go: a blank collection text counts as none, a blank text of
    // another kind is a value of its own.
    if (FAutoSkipEmpties)
        for (int I = List->Count() - 1; I >= 0; --I)
            if (HasNoValue(List->Strings(I), D, Kind == stCollections))
                List->Delete(I);
}

// ---------------------------------------------------------------------------------------------
// Deleting and renaming keys

void TsiCustomLang::DeleteComponentKey(TStrings* List, const std::string& ComponentName, TStringsType Kind,
                                       const std::string& PropertyName) {
    const char D = DelimChar();
    std::string Prefix = ComponentName;
    if (Kind == stMultiLines || Kind == stOtherStrings)
        Prefix += "." + PropertyName + D;
    else if (Kind == stCollections)
        Prefix += "." + PropertyName;
    else
        Prefix += D;
    for (int I = List->Count() - 1; I >= 0; --I)
        if (StartsWith(List->Strings(I), Prefix)) {
            List->Delete(I);
            if (Kind != stCollections)
                return;
        }
}

void TsiCustomLang::RenameKeys(const std::string& OldName, const std::string& NewName) {
    if (NewName.empty())
        return;
    std::string From = OldName, To = NewName;
    if (Owner() && OldName == Owner()->Name()) {
        From = "T" + From;
        To = "T" + To;
    }
    const std::string Delims = std::string(".") + DelimChar();
    std::vector<TStrings*> Lists{FDoNotTranslate.get(), FSmartExcludeProps.get()};
    for (auto& L : FLists)
        Lists.push_back(L.get());
    for (TStrings* L : Lists)
        for (int I = 0; I < L->Count(); ++I) {
            const std::string Entry = L->Strings(I);
            if (Entry.substr(0, Entry.find_first_of(Delims)) == From)
                L->SetStrings(I, ReplaceText(Entry, From, To, false));
        }
    for (int I = 0; I < FExtendedTranslations->Count(); ++I) {
        TsiExtendedItem* Item = FExtendedTranslations->Items(I);
        const std::string& Id = Item->StoredIdentifier();
        if (StartsWith(Id, OldName + "."))
            Item->SetIdentifier(NewName + Id.substr(OldName.size()));
    }
}

void TsiCustomLang::DeleteComponentEntries(TComponent* C) {
    const std::pair<TStringsType, TStrings*> Kinds[] = {{stCaptions, Captions()},   {stHints, Hints()},
                                                        {stDisplayLabels, DisplayLabels()}, {stFonts, Fonts()},
                                                        {stMultiLines, MultiLines()}, {stOtherStrings, OtherStrings()},
                                                        {stFonts, CharSets()},      {stCollections, Collections()}};
    for (const auto& [Kind, L] : Kinds)
        DeleteComponentKeys(L, C, Kind, opRemove);
}

void TsiCustomLang::ApplyDoNotTranslate() {
    if (!Owner())
        return;
    for (int I = 0; I < FDoNotTranslate->Count(); ++I) {
        const std::string Line = FDoNotTranslate->Strings(I);
        if (Line == Owner()->ClassName())
            DeleteComponentEntries(Owner());
        else if (StartsWith(Line, "!T")) {
            for (int K = 0; K < Owner()->ComponentCount(); ++K)
                if (Owner()->Components(K)->ClassName() == Line.substr(1))
                    DeleteComponentEntries(Owner()->Components(K));
        } else if (TComponent* C = OwnerComponent(Line))
            DeleteComponentEntries(C);
    }
}

// ---------------------------------------------------------------------------------------------
// Stale entries

void TsiCustomLang::RemoveStaleEntries() {
    if (!Owner())
        return;
    const char D = DelimChar();
    for (TStringsType Kind : {stCaptions, stHints, stDisplayLabels, stFonts, stCharSets, stMultiLines, stOtherStrings,
                              stCollections}) {
        TStrings* L = List(Kind);
        const TTypeKinds Family = Kind == stCharSets ? ObjectKinds : PropertyKindFilter(Kind);
        for (int I = L->Count() - 1; I >= 0; --I) {
            const std::string Entry = L->Strings(I);
            const std::string Key = EntryKey(Entry, D);
            std::string Name = Key, Path = Kind == stCharSets ? "Font" : KindPropertyNames[Kind];
            if (Kind == stMultiLines || Kind == stOtherStrings || Kind == stCollections) {
                const size_t Dot = Key.find('.');
                Name = Key.substr(0, Dot);
                Path = Dot == std::string::npos ? std::string() : Key.substr(Dot + 1);
                if (Kind == stCollections)
                    Path = Path.substr(0, Path.find('['));
            }
            TObject* O = OwnerOrComponent(Name);
            const size_t Dot = Path.find('.');
            if (O && Dot != std::string::npos) {
                O = GetObjectProperty(O, GetPropInfo(O, Path.substr(0, Dot), ObjectKinds));
                Path = Path.substr(Dot + 1);
            }
            PPropInfo P = O ? GetPropInfo(O, Path, tkProperties) : nullptr;
            if (!P || (Kind != stCollections && !Family.Contains(P->PropType->Kind)))
                L->Delete(I);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// The design-time collector

bool TsiCustomLang::IsCollected(TComponent* C) {
    return !C->InheritsFrom(TsiCustomLang::StaticClass()) && !C->InheritsFrom(TsiLangDispatcher::StaticClass()) &&
           FDoNotTranslate->IndexOf(C->Name()) < 0 && FDoNotTranslate->IndexOf("!" + C->ClassName()) < 0;
}

void TsiCustomLang::CollectValue(TStrings* List, const std::string& Key, const std::string& Text) {
    const char D = DelimChar();
    const std::string Head = Key + D;
    for (int I = 0; I < List->Count(); ++I) {
        const std::string Entry = List->Strings(I);
        if (!StartsWith(Entry, Head))
            continue;
        const std::string Stored = ExtractDelimitedField(Entry, D, FActiveLanguage);
        if (Stored != Text && (!Stored.empty() || FActiveLanguage == 1))
            SetTranslation(List, Text, Key, FActiveLanguage);
        return;
    }
    // A removed or renamed component's translations carry over to a new one with the same text.
    for (int I = 0; FRemovedEntries && I < FRemovedEntries->Count(); ++I) {
        std::string Value;
        EntryValueAt(FRemovedEntries.get(), I, Value, true);
        if (Value == Text) {
            const std::string Removed = FRemovedEntries->Strings(I);
            List->Add(Key + D + Removed.substr(Removed.find(D) + 1));
            return;
        }
    }
    if (!(FAutoSkipEmpties && Text.empty()))
        List->Add(Key + D + Text + std::string(static_cast<size_t>(FNumOfLanguages), D));
}

void TsiCustomLang::CollectOwnerEntry(TStringsType Kind) {
    static const char* const Props[] = {"Caption", "Hint", "", "Font"};
    const std::string Prop = Props[Kind], Class = Owner()->ClassName();
    const char D = DelimChar();
    TStrings* L = List(Kind);
    const bool Wanted = (Kind == stFonts ? HasProperty(Owner(), Prop, ObjectKinds, "TFont")
                                         : HasProperty(Owner(), Prop, StringKinds)) &&
                        FSmartExcludeProps->IndexOf(Class + "." + Prop) < 0 && FExcludedProperties->IndexOf(Prop) < 0 &&
                        IsOwnerTranslated();
    auto DeleteOwnerEntry = [&](TStrings* List) {
        if (List->Count() > 0 && StartsWith(List->Strings(0), Class + D))
            List->Delete(0);
    };
    if (!Wanted) {
        DeleteOwnerEntry(L);
        if (Kind == stFonts)
            DeleteOwnerEntry(CharSets());
        return;
    }
    auto Store = [&](TStrings* List, const std::string& Text) {
        if ((FAutoSkipEmpties && Text.empty()) || IsTextFromAction(Owner(), Kind))
            return;
        if (List->Count() == 0 || !StartsWith(List->Strings(0), Class + D))
            List->Insert(0, Class + D + std::string(static_cast<size_t>(FNumOfLanguages), D));
        SetTranslation(List, Text, Class, FActiveLanguage);
    };
    if (Kind == stFonts) {
        Store(L, FontNameOf(Owner()));
        Store(CharSets(), CharsetName(FontCharsetOf(Owner())));
    } else
        Store(L, ReadPropertyByName(Owner(), Prop));
}

void TsiCustomLang::CollectKind(TStringsType Kind) {
    TStrings* L = List(Kind);
    std::vector<TComponent*> Targets;
    if (Kind == stOtherStrings)
        Targets.push_back(Owner());
    for (int I = 0; I < Owner()->ComponentCount(); ++I)
        if (IsCollected(Owner()->Components(I)))
            Targets.push_back(Owner()->Components(I));
    for (TComponent* C : Targets) {
        const std::string Name = C == Owner() ? Owner()->ClassName() : C->Name();
        // Each object whose properties are collected, with the key prefix its entries take.
        std::vector<std::pair<TObject*, std::string>> Sources{{C, Name}};
        if (Kind == stMultiLines || Kind == stOtherStrings || Kind == stCollections)
            if (TObject* Props = GetObjectProperty(C, GetPropInfo(C, "Properties", ObjectKinds)))
                Sources.emplace_back(Props, Name + ".Properties");
        for (const auto& [Source, Prefix] : Sources) {
            const std::string PathStart = Prefix.substr(Name.size()).empty() ? "" : Prefix.substr(Name.size() + 1) + ".";
            TsiPropInfoList Props(Source, tkProperties);
            for (int I = 0; I < Props.Count(); ++I) {
                PPropInfo P = Props.Items(I);
                const std::string Path = PathStart + P->Name;
                const TTypeKind K = P->PropType->Kind;
                bool Fits = false;
                switch (Kind) {
                case stCaptions:
                case stHints:
                case stDisplayLabels:
                    Fits = SameText(P->Name, KindPropertyNames[Kind]) && StringKinds.Contains(K);
                    break;
                case stFonts:
                    Fits = SameText(P->Name, "Font") && K == tkClass && SameText(P->PropType->Name, "TFont");
                    break;
                case stMultiLines:
                    Fits = K == tkClass && (DynCast<TStrings>(GetObjectProperty(Source, P)) ||
                                            IsStringsTypeClass(AnsiUpperCase(P->PropType->Name)));
                    break;
                case stOtherStrings:
                    Fits = StringKinds.Contains(K) && P->Name != "Caption" && P->Name != "Hint" &&
                           P->Name != "DisplayLabel" && P->Name != "Name";
                    break;
                case stCollections:
                    Fits = K == tkClass && DynCast<TCollection>(GetObjectProperty(Source, P));
                    break;
                default:
                    break;
                }
                if (!Fits)
                    continue;
                if (IsPropertyExcluded(Name, Path)) {
                    DeleteComponentKey(L, Name, Kind, Path);
                    continue;
                }
                if (Kind == stFonts && FollowsParentFont(C)) {
                    DeleteComponentKey(L, Name, stFonts, "Font");
                    DeleteComponentKey(CharSets(), Name, stFonts, "Font");
                    continue;
                }
                if ((Kind == stCaptions && C->ClassName() == "TMenuItem" && ReadPropertyByName(C, "Caption") == "-") ||
                    (Kind == stMultiLines && C->ClassName() == "TFormStorage") || !P->HasGetter || !P->HasSetter)
                    continue;
                try {
                    switch (Kind) {
                    case stFonts:
                        CollectValue(L, Name, FontNameOf(C));
                        CollectValue(CharSets(), Name, CharsetName(FontCharsetOf(C)));
                        break;
                    case stMultiLines: {
                        auto* Lines = DynCast<TStrings>(GetObjectProperty(Source, P));
                        CollectValue(L, Name + "." + Path, Lines ? Lines->CommaText() : std::string());
                        break;
                    }
                    case stCollections: {
                        auto* Collection = DynCast<TCollection>(GetObjectProperty(Source, P));
                        for (int N = 0; N < Collection->Count(); ++N) {
                            TsiPropInfoList ItemProps(Collection->Items(N), StringKinds);
                            for (int J = 0; J < ItemProps.Count(); ++J) {
                                PPropInfo IP = ItemProps.Items(J);
                                if (IP->HasGetter && IP->HasSetter)
                                    CollectValue(L, Format("%s.%s[%d].%s", {Name, Path, N, IP->Name}),
                                                 GetStringPropertyText(Collection->Items(N), IP));
                            }
                        }
                        break;
                    }
                    case stCaptions:
                    case stHints:
                        if (IsTextFromAction(C, Kind))
                            break;
                        [[fallthrough]];
                    default:
                        CollectValue(L, Kind == stOtherStrings ? Name + "." + Path : Name, GetStringPropertyText(Source, P));
                    }
                } catch (const Exception&) {
                }
            }
        }
    }
}

void TsiCustomLang::CollectProperties() {
    // The running program keeps its lists as its form resources give them.
    if (Quiet || !Owner() || !Designing())
        return;
    const bool RaiseErrors = FDoRaiseExceptions;
    FDoRaiseExceptions = false;
    try {
        for (TStringsType K : {stCaptions, stHints, stFonts})
            CollectOwnerEntry(K);
        FRemovedEntries.reset(Create<TStringList>());
        auto Excluded = [&](const char* P) { return FExcludedProperties->IndexOf(P) >= 0; };
        for (TStringsType K : {stCaptions, stHints, stDisplayLabels, stFonts, stMultiLines, stOtherStrings, stCollections}) {
            if ((K == stCaptions && Excluded("Caption")) || (K == stHints && Excluded("Hint")) ||
                (K == stDisplayLabels && Excluded("DisplayLabel")) || (K == stFonts && (Excluded("Font") || FOwnerHasNoFont)))
                continue;
            TidyKindList(List(K), K);
            if (K == stFonts)
                TidyKindList(CharSets(), stCharSets);
            CollectKind(K);
            FRemovedEntries->Clear();
        }
        RemoveStaleEntries();
        SyncExtendedValues();
    } catch (const Exception&) {
    }
    FDoRaiseExceptions = RaiseErrors;
    FRemovedEntries.reset();
}
