#include "acSkinPack.h"

#include "SysUtils.h"
#include "acZStream.h"

using namespace acSkinPackMessages;

namespace {

// The lengths and counts of the format are signed: a negative one, or a name longer than what is
// left, is no pack of ours and must not size an allocation.
LongInt ReadCount(TStream* S) {
    LongInt V = 0;
    S->ReadBuffer(&V, sizeof V);
    return V;
}

[[noreturn]] void RaiseNotPacked(TacSkinConvertor*& Convertor) {
    Convertor->Clear();
    FreeAndNil(Convertor);
    throw Exception(std::string(SNotPackedSkin));
}

// Copies Size unpacked bytes into Target, then reads the zlib stream to its end so that the source
// stands at the next entry even when the trailer lies beyond the last block read.
void Unpack(TStream* Packed, LongInt Size, TStream* Target) {
    TZDecompressionStream Z(Packed);
    if (Size > 0)
        Target->CopyFrom(&Z, Size);
    Byte Probe;
    Z.Read(&Probe, 1);
}

}  // namespace

TacSkinConvertor::~TacSkinConvertor() { Clear(); }

void TacSkinConvertor::Clear() {
    while (!ImageItems.empty()) {
        FreeAndNil(ImageItems.back().Data);
        ImageItems.pop_back();
    }
    ImageCount = 0;
    FreeAndNil(Options);
    FreeAndNil(PackedData);
}

void LoadSkinPack(const std::string& FileName, TacSkinConvertor*& Convertor, bool FreeSource) {
    if (!FileExists(FileName))
        return;
    if (Convertor)
        Convertor->Clear();
    else
        Convertor = Create<TacSkinConvertor>();
    auto* Data = Create<TMemoryStream>();
    Convertor->PackedData = Data;
    Data->LoadFromFile(FileName);
    ReadSkinPack(Convertor);
    if (FreeSource && Convertor)
        FreeAndNil(Convertor->PackedData);
}

void ReadSkinPack(TacSkinConvertor*& Convertor) {
    TStream* Packed = Convertor->PackedData;
    Packed->SetPosition(0);
    char Magic[4] = {};
    if (Packed->Read(Magic, 4) != 4 || std::string(Magic, 4) != "ASzf")
        RaiseNotPacked(Convertor);
    LongInt Count = ReadCount(Packed);
    if (Count < 0)
        RaiseNotPacked(Convertor);
    for (LongInt I = 0; I < Count; ++I) {
        LongInt NameLength = ReadCount(Packed);
        if (NameLength < 0 || NameLength > Packed->Size() - Packed->Position())
            RaiseNotPacked(Convertor);
        std::string Name(static_cast<size_t>(NameLength), '\0');
        if (NameLength)
            Packed->ReadBuffer(Name.data(), NameLength);
        LongInt Size = ReadCount(Packed);
        if (Size < 0)
            RaiseNotPacked(Convertor);
        if (SameText(Name, "Options.dat")) {
            // A second options entry replaces the first.
            FreeAndNil(Convertor->Options);
            Convertor->Options = Create<TMemoryStream>();
            Unpack(Packed, Size, Convertor->Options);
        } else {
            TacImageItem Item;
            Item.Name = Name;
            Item.IsBitmap = UpperCase(ExtractFileExt(Name)) == ".BMP";
            Item.Data = Create<TMemoryStream>();
            Convertor->ImageItems.push_back(Item);
            Unpack(Packed, Size, Item.Data);
        }
    }
    Convertor->ImageCount = static_cast<int>(Convertor->ImageItems.size());
}
