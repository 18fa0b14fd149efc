#include "System.h"

#include "SysUtils.h"
#include "TypInfo.h"

#include <mutex>

TClassRecord::TClassRecord(const char* Name, TClass Parent, TFactory Factory)
    : FName(Name), FParent(Parent), FFactory(Factory), FPropCount(Parent ? Parent->PropCount() : 0) {}

TClassRecord::~TClassRecord() = default;

bool TClassRecord::InheritsFrom(TClass Ancestor) const {
    for (TClass C = this; C; C = C->FParent)
        if (C == Ancestor)
            return true;
    return false;
}

TObject* TClassRecord::CreateInstanceArg(void* Arg) const {
    if (!FFactory)
        throw EAbstractError("Abstract Error");
    return FFactory(Arg);
}

void TClassRecord::AddProp(std::unique_ptr<TPropInfo> Prop) {
    // A property redeclared by a descendant keeps its ancestor's place in the stream order.
    Prop->DeclaringClass = this;
    Prop->NameIndex = -1;
    for (TClass C = FParent; C && Prop->NameIndex < 0; C = C->ClassParent())
        for (const auto& P : C->OwnProps())
            if (SystemDetail::SameIdent(P->Name, Prop->Name)) {
                Prop->NameIndex = P->NameIndex;
                break;
            }
    for (auto& P : FProps)
        if (SystemDetail::SameIdent(P->Name, Prop->Name)) {
            Prop->NameIndex = P->NameIndex;
            P = std::move(Prop);
            return;
        }
    if (Prop->NameIndex < 0)
        Prop->NameIndex = FPropCount++;
    FProps.push_back(std::move(Prop));
}

void TClassRecord::AddField(std::unique_ptr<TFieldEntry> Field) { FFields.push_back(std::move(Field)); }

void TClassRecord::AddMethod(std::unique_ptr<TMethodEntry> Method) { FMethods.push_back(std::move(Method)); }

void TClassRecord::AddMessageHandler(UINT Msg, TMessageHandler Handler) {
    // Rebuild the table: count, ids, then the handler addresses, each in as many words as a pointer takes.
    constexpr size_t Slot = sizeof(TMessageHandler) / sizeof(Word);
    static_assert(sizeof(TMessageHandler) == Slot * sizeof(Word), "handler addresses fill whole words");
    std::vector<Word> Ids;
    std::vector<TMessageHandler> Handlers;
    Word Count = FDynamicTable.empty() ? 0 : FDynamicTable[0];
    for (Word I = 0; I < Count; ++I) {
        Ids.push_back(FDynamicTable[1 + I]);
        TMessageHandler H;
        std::memcpy(&H, &FDynamicTable[1 + Count + Slot * I], sizeof H);
        Handlers.push_back(H);
    }
    bool Replaced = false;
    for (size_t I = 0; I < Ids.size(); ++I)
        if (Ids[I] == static_cast<Word>(Msg)) {
            Handlers[I] = Handler;
            Replaced = true;
        }
    if (!Replaced) {
        Ids.push_back(static_cast<Word>(Msg));
        Handlers.push_back(Handler);
    }
    FDynamicTable.assign(1 + Ids.size() * (1 + Slot), 0);
    FDynamicTable[0] = static_cast<Word>(Ids.size());
    for (size_t I = 0; I < Ids.size(); ++I) {
        FDynamicTable[1 + I] = Ids[I];
        std::memcpy(&FDynamicTable[1 + Ids.size() + Slot * I], &Handlers[I], sizeof(TMessageHandler));
    }
}

TMessageHandler TClassRecord::ReplaceMessageHandler(UINT Msg, TMessageHandler Handler) const {
    if (FDynamicTable.empty() || Msg > 0xFFFF)
        return nullptr;
    const Word Count = FDynamicTable[0];
    for (Word I = 0; I < Count; ++I)
        if (FDynamicTable[1 + I] == Msg) {
            void* At = &FDynamicTable[1 + Count + sizeof(TMessageHandler) / sizeof(Word) * I];
            TMessageHandler Old;
            std::memcpy(&Old, At, sizeof Old);
            std::memcpy(At, &Handler, sizeof Handler);
            return Old;
        }
    return nullptr;
}

TMessageHandler TClassRecord::FindOwnHandler(UINT Msg) const {
    if (FDynamicTable.empty() || Msg > 0xFFFF)
        return nullptr;
    Word Count = FDynamicTable[0];
    for (Word I = 0; I < Count; ++I)
        if (FDynamicTable[1 + I] == Msg) {
            TMessageHandler H;
            std::memcpy(&H, &FDynamicTable[1 + Count + sizeof(TMessageHandler) / sizeof(Word) * I], sizeof H);
            return H;
        }
    return nullptr;
}

namespace SystemDetail {
int CompareIdent(const std::string& A, const std::string& B) { return CompareText(A, B); }

namespace {
std::mutex& RecordsLock() {
    static std::mutex M;
    return M;
}
std::vector<TClass>& Records() {
    static std::vector<TClass> R;
    return R;
}
}  // namespace

void NoteClassRecord(TClass Record) {
    std::lock_guard<std::mutex> L(RecordsLock());
    Records().push_back(Record);
}
}  // namespace SystemDetail

TClass TObject::StaticClass() {
    static const TClassRecord* Record = [] {
        auto* R = new TClassRecord("TObject", nullptr, &SystemDetail::CreateOf<TObject>);
        SystemDetail::NoteClassRecord(R);
        return R;
    }();
    return Record;
}

TClass TObject::ClassType() const { return StaticClass(); }

std::string TObject::ClassName() const { return ClassType()->ClassName(); }

TClass TObject::ClassParent() const { return ClassType()->ClassParent(); }

bool TObject::InheritsFrom(TClass Ancestor) const { return ClassType()->InheritsFrom(Ancestor); }

void TObject::Free() {
    BeforeDestruction();
    delete this;
}

void TObject::Dispatch(TMessage& Message) {
    for (TClass C = ClassType(); C; C = C->ClassParent())
        if (TMessageHandler H = C->FindOwnHandler(Message.Msg)) {
            H(this, Message);
            return;
        }
    DefaultHandler(Message);
}

void TObject::DefaultHandler(TMessage&) {}

void TObject::InheritedDispatch(TClass From, TMessage& Message) {
    for (TClass C = From ? From->ClassParent() : nullptr; C; C = C->ClassParent())
        if (TMessageHandler H = C->FindOwnHandler(Message.Msg)) {
            H(this, Message);
            return;
        }
    DefaultHandler(Message);
}

void RaiseInvalidCast() { throw EInvalidCast("Invalid class typecast"); }
