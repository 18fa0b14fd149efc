// The entry properties that a reader of the library delivers, by value type: each kind of property
// (text, 32-bit, 64-bit, file time, flag) against every value type, converted as listing does, left
// out for an empty value, or refused with the message that names the type and the property.
#include "ArchiveTestMain.h"
#include "JclCompression.h"
#include "JclCompressionSevenzip.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {
::testing::Environment* const Units = ::testing::AddGlobalTestEnvironment(new ArchiveUnitsEnvironment);

// A reader whose entry 0 has the properties it is given; every other property is empty.
class TPropertyReader : public sevenzip::IInArchive {
public:
    std::map<PROPID, PROPVARIANT> Values;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE Open(sevenzip::IInStream*, const UINT64*, sevenzip::IArchiveOpenCallback*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Close() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetNumberOfItems(UINT32* N) override {
        *N = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetProperty(UINT32, PROPID Id, PROPVARIANT* Value) override {
        PropVariantInit(Value);
        auto It = Values.find(Id);
        if (It == Values.end())
            return S_OK;
        *Value = It->second;
        // The caller frees what it is given, as the library's own values.
        if (Value->vt == VT_BSTR)
            Value->bstrVal = SysAllocString(It->second.bstrVal);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Extract(const UINT32*, UINT32, INT32, sevenzip::IArchiveExtractCallback*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetArchiveProperty(PROPID, PROPVARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetNumberOfProperties(UINT32*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPropertyInfo(UINT32, BSTR*, PROPID*, VARTYPE*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetNumberOfArchiveProperties(UINT32*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetArchivePropertyInfo(UINT32, BSTR*, PROPID*, VARTYPE*) override { return E_NOTIMPL; }
};

// A value of type Type whose eight data bytes hold Bits.
PROPVARIANT Value(VARTYPE Type, std::uint64_t Bits) {
    PROPVARIANT V;
    PropVariantInit(&V);
    V.vt = Type;
    V.uhVal.QuadPart = Bits;
    return V;
}

struct Case {
    PROPID Id;
    PROPVARIANT Given;
    // What the entry shows afterwards, as text; empty when the property must stay out of the valid set.
    std::wstring Shown;
};

class PropertyTypes : public ::testing::Test {
protected:
    TOwned<TJcl7zDecompressArchive> Archive{CreateArchiveOnStream<TJcl7zDecompressArchive>(nullptr)};
    TOwned<TJclCompressionItem> Item;
    TPropertyReader Reader;

    // Loads entry 0 into a new entry with only property Id given; gives the message of a refusal, or "".
    std::string Load(PROPID Id, const PROPVARIANT& Given) {
        Item.reset(Archive->CreateItem());
        Reader.Values = {{Id, Given}};
        try {
            LoadItemFromArchive(&Reader, 0, Item.get());
        } catch (const EJclCompressionError& E) {
            return E.Message();
        }
        return "";
    }
    std::wstring Shown(PROPID Id) {
        using namespace sevenzip;
        switch (Id) {
        case kpidPath: return Item->ValidProperties().Contains(ipPackedName) ? Item->GetPackedName() : L"";
        case kpidAttrib: return Item->ValidProperties().Contains(ipAttributes) ? std::to_wstring(Item->GetAttributes()) : L"";
        case kpidSize: return Item->ValidProperties().Contains(ipFileSize) ? std::to_wstring(Item->GetFileSize()) : L"";
        case kpidMTime:
            return Item->ValidProperties().Contains(ipLastWriteTime)
                       ? std::to_wstring((std::uint64_t(Item->GetLastWriteTime().dwHighDateTime) << 32) |
                                         Item->GetLastWriteTime().dwLowDateTime)
                       : L"";
        case kpidEncrypted: return Item->ValidProperties().Contains(ipEncrypted) ? (Item->GetEncrypted() ? L"true" : L"false") : L"";
        default: return L"?";
        }
    }
};

TEST_F(PropertyTypes, EachKindConvertsTheTypesItTakes) {
    using namespace sevenzip;
    BSTR Name = SysAllocString(L"db.bak");
    char Narrow[] = "narrow.bak";
    wchar_t Wide[] = L"wide.bak";
    PROPVARIANT FromLpstr = Value(VT_LPSTR, 0), FromLpwstr = Value(VT_LPWSTR, 0), FromBstr = Value(VT_BSTR, 0);
    FromLpstr.pszVal = Narrow;
    FromLpwstr.pwszVal = Wide;
    FromBstr.bstrVal = Name;
    const Case Cases[] = {
        // Text: integers in decimal, signed where the type is; 64-bit values read as signed.
        {kpidPath, Value(VT_I1, 0xFF), L"-1"},
        {kpidPath, Value(VT_I2, 0xFFFB), L"-5"},
        {kpidPath, Value(VT_UI1, 200), L"200"},
        {kpidPath, Value(VT_UI2, 65535), L"65535"},
        {kpidPath, Value(VT_I4, 0xFFFFFFF9), L"-7"},
        {kpidPath, Value(VT_INT, 0xFFFFFFF8), L"-8"},
        {kpidPath, Value(VT_UI4, 4000000000u), L"4000000000"},
        {kpidPath, Value(VT_UINT, 4000000000u), L"4000000000"},
        {kpidPath, Value(VT_I8, 0xFFFFFFFFFFFFFFF7ull), L"-9"},
        {kpidPath, Value(VT_UI8, 0x8000000000000001ull), L"-9223372036854775807"},
        {kpidPath, FromBstr, L"db.bak"},
        {kpidPath, FromLpstr, L"narrow.bak"},
        {kpidPath, FromLpwstr, L"wide.bak"},
        {kpidPath, Value(VT_EMPTY, 0), L""},
        {kpidPath, Value(VT_NULL, 0), L""},
        // 32-bit: signed types sign-extended, unsigned ones zero-extended, 64-bit ones cut to 32.
        {kpidAttrib, Value(VT_I1, 0xFE), L"4294967294"},
        {kpidAttrib, Value(VT_I2, 0xFFFF), L"4294967295"},
        {kpidAttrib, Value(VT_UI1, 0x20), L"32"},
        {kpidAttrib, Value(VT_UI2, 0x8020), L"32800"},
        {kpidAttrib, Value(VT_UI4, 0x20), L"32"},
        {kpidAttrib, Value(VT_INT, 0x10), L"16"},
        {kpidAttrib, Value(VT_I8, 0x100000020ull), L"32"},
        {kpidAttrib, Value(VT_UI8, 0xFFFFFFFF00000021ull), L"33"},
        // 64-bit: signed types sign-extended, unsigned ones zero-extended.
        {kpidSize, Value(VT_I4, 0xFFFFFFFF), L"-1"},
        {kpidSize, Value(VT_UI4, 0xFFFFFFFF), L"4294967295"},
        {kpidSize, Value(VT_I2, 0xFFFD), L"-3"},
        {kpidSize, Value(VT_UI8, 5000000000ull), L"5000000000"},
        // File times and flags take their own type only.
        {kpidMTime, Value(VT_FILETIME, 0x01D0000012345000ull), L"130604389499162624"},
        {kpidEncrypted, Value(VT_BOOL, 0xFFFF), L"true"},
        {kpidEncrypted, Value(VT_BOOL, 1), L"true"},
        {kpidEncrypted, Value(VT_BOOL, 0), L"false"},
        {kpidEncrypted, Value(VT_EMPTY, 0), L""},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(testing::Message() << "property " << C.Id << ", type " << C.Given.vt);
        EXPECT_EQ(Load(C.Id, C.Given), "");
        EXPECT_EQ(Shown(C.Id), C.Shown);
        // Only what the library supplied is valid: the other properties stay out.
        EXPECT_EQ(Item->ValidProperties().Contains(ipComment), false);
    }
    SysFreeString(Name);
}

TEST_F(PropertyTypes, AnUnexpectedTypeIsRefusedByTypeAndProperty) {
    using namespace sevenzip;
    const std::pair<PROPID, VARTYPE> Cases[] = {
        {kpidPath, VT_R8}, {kpidPath, VT_BOOL}, {kpidAttrib, VT_BOOL}, {kpidAttrib, VT_FILETIME},
        {kpidSize, VT_R8}, {kpidMTime, VT_UI8}, {kpidEncrypted, VT_UI4},
    };
    for (const auto& [Id, Type] : Cases) {
        SCOPED_TRACE(testing::Message() << "property " << Id << ", type " << Type);
        EXPECT_EQ(Load(Id, Value(Type, 1)),
                  "Sevenzip: Unknown value type (" + std::to_string(Type) + ") for property ID " + std::to_string(Id));
    }
}

}  // namespace
