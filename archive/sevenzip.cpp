#include "sevenzip.h"
#include "JclUnitVersioning.h"

#include "SysUtils.h"

namespace sevenzip {

namespace {
constexpr GUID LibraryIID(std::uint16_t Group, std::uint16_t Id) {
    // {23170F69-40C1-278A-0000-00gg00ii0000}
    return GUID{0x23170F69,
                0x40C1,
                0x278A,
                {0x00, 0x00, 0x00, static_cast<unsigned char>(Group), 0x00, static_cast<unsigned char>(Id >> 8),
                 static_cast<unsigned char>(Id & 0xFF), 0x00}};
}

HMODULE LibraryHandle = nullptr;
bool LoadFailed = false;

template <class F>
F Resolve(const char* Name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(LibraryHandle, Name)));
}
}  // namespace

const GUID IID_IInArchive = LibraryIID(0x06, 0x6000);
const GUID IID_IOutArchive = LibraryIID(0x06, 0xA000);
const GUID IID_ISetProperties = LibraryIID(0x06, 0x0300);
const GUID IID_ISequentialInStream = LibraryIID(0x03, 0x0100);
const GUID IID_IInStream = LibraryIID(0x03, 0x0300);
const GUID IID_IStreamGetSize = LibraryIID(0x03, 0x0600);
const GUID IID_ISequentialOutStream = LibraryIID(0x03, 0x0200);
const GUID IID_IOutStream = LibraryIID(0x03, 0x0400);
const GUID IID_IProgress = LibraryIID(0x00, 0x0500);
const GUID IID_IArchiveOpenCallback = LibraryIID(0x06, 0x1000);
const GUID IID_IArchiveExtractCallback = LibraryIID(0x06, 0x2000);
const GUID IID_IArchiveUpdateCallback = LibraryIID(0x06, 0x8000);
const GUID IID_IArchiveUpdateCallback2 = LibraryIID(0x06, 0x8200);
const GUID IID_ICryptoGetTextPassword = LibraryIID(0x05, 0x1000);
const GUID IID_ICryptoGetTextPassword2 = LibraryIID(0x05, 0x1100);

GUID FormatClassID(std::uint8_t Id) {
    return GUID{0x23170F69, 0x40C1, 0x278A, {0x10, 0x00, 0x00, 0x01, 0x10, Id, 0x00, 0x00}};
}

TCreateObjectFunc CreateObject = nullptr;
TGetNumberOfFormatsFunc GetNumberOfFormats = nullptr;
TGetNumberOfMethodsFunc GetNumberOfMethods = nullptr;
TSetLargePageModeFunc SetLargePageMode = nullptr;

// Beside the program: the folder the program's seam names (tests point it elsewhere), where the
// program writes the library from its resource.
std::string SevenzipLibraryPath() { return ExtractFilePath(ProgramFileName()) + "7z.dll"; }

bool LoadSevenZipLibrary() {
    if (LoadFailed)
        return false;
    if (LibraryHandle)
        return true;
    // A full path: a library of the same name elsewhere on the search path must never be taken.
    LibraryHandle = LoadLibraryExA(SevenzipLibraryPath().c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!LibraryHandle)
        return false;  // tried again next time: the file may be written beside the program meanwhile
    CreateObject = Resolve<TCreateObjectFunc>("CreateObject");
    GetNumberOfFormats = Resolve<TGetNumberOfFormatsFunc>("GetNumberOfFormats");
    GetNumberOfMethods = Resolve<TGetNumberOfMethodsFunc>("GetNumberOfMethods");
    SetLargePageMode = Resolve<TSetLargePageModeFunc>("SetLargePageMode");
    if (!CreateObject || !GetNumberOfFormats || !GetNumberOfMethods || !SetLargePageMode) {
        LoadFailed = true;
        return false;
    }
    return true;
}

bool SevenZipLibraryLoaded() { return LibraryHandle != nullptr; }

}  // namespace sevenzip

namespace {
const TUnitVersionInfo SevenzipBanner = UnitBanner("sevenzip", 3298, "common");
}

void SevenzipInitialization() { RegisterProgramUnitBanner(SevenzipBanner); }

void SevenzipFinalization() { UnregisterProgramUnitBanners(); }
