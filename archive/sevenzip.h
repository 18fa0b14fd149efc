// The contract with the 7-Zip library module: its interfaces in the platform's object layout, the
// identifiers the archive layer passes or answers, and the loading of the module with its four
// exports. The module is loaded from the program's own folder only.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <oleauto.h>
#include <propidl.h>

#include <cstdint>
#include <string>

namespace sevenzip {

// Identifiers of the library's interfaces.
extern const GUID IID_IInArchive;
extern const GUID IID_IOutArchive;
extern const GUID IID_ISetProperties;
extern const GUID IID_ISequentialInStream;
extern const GUID IID_IInStream;
extern const GUID IID_IStreamGetSize;
extern const GUID IID_ISequentialOutStream;
extern const GUID IID_IOutStream;
extern const GUID IID_IProgress;
extern const GUID IID_IArchiveOpenCallback;
extern const GUID IID_IArchiveExtractCallback;
extern const GUID IID_IArchiveUpdateCallback;
extern const GUID IID_IArchiveUpdateCallback2;
extern const GUID IID_ICryptoGetTextPassword;
extern const GUID IID_ICryptoGetTextPassword2;

// A format class identifier {23170F69-40C1-278A-1000-0001xxyy0000}; xx yy = 0x10 and Id.
GUID FormatClassID(std::uint8_t Id);

struct ISequentialInStream : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Read(void* Data, UINT32 Size, UINT32* ProcessedSize) = 0;
};
struct ISequentialOutStream : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Write(const void* Data, UINT32 Size, UINT32* ProcessedSize) = 0;
};
struct IInStream : ISequentialInStream {
    virtual HRESULT STDMETHODCALLTYPE Seek(INT64 Offset, UINT32 SeekOrigin, UINT64* NewPosition) = 0;
};
struct IOutStream : ISequentialOutStream {
    virtual HRESULT STDMETHODCALLTYPE Seek(INT64 Offset, UINT32 SeekOrigin, UINT64* NewPosition) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetSize(UINT64 NewSize) = 0;
};
struct IStreamGetSize : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetSize(UINT64* Size) = 0;
};
struct IProgress : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetTotal(UINT64 Total) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetCompleted(const UINT64* CompleteValue) = 0;
};
struct IArchiveOpenCallback : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetTotal(const UINT64* Files, const UINT64* Bytes) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetCompleted(const UINT64* Files, const UINT64* Bytes) = 0;
};
struct IArchiveExtractCallback : IProgress {
    virtual HRESULT STDMETHODCALLTYPE GetStream(UINT32 Index, ISequentialOutStream** OutStream, INT32 AskExtractMode) = 0;
    virtual HRESULT STDMETHODCALLTYPE PrepareOperation(INT32 AskExtractMode) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetOperationResult(INT32 OperationResult) = 0;
};
struct IArchiveUpdateCallback : IProgress {
    virtual HRESULT STDMETHODCALLTYPE GetUpdateItemInfo(UINT32 Index, INT32* NewData, INT32* NewProperties,
                                                        UINT32* IndexInArchive) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetProperty(UINT32 Index, PROPID PropID, PROPVARIANT* Value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetStream(UINT32 Index, ISequentialInStream** InStream) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetOperationResult(INT32 OperationResult) = 0;
};
struct IArchiveUpdateCallback2 : IArchiveUpdateCallback {
    virtual HRESULT STDMETHODCALLTYPE GetVolumeSize(UINT32 Index, UINT64* Size) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetVolumeStream(UINT32 Index, ISequentialOutStream** VolumeStream) = 0;
};
struct ICryptoGetTextPassword : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CryptoGetTextPassword(BSTR* Password) = 0;
};
struct ICryptoGetTextPassword2 : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CryptoGetTextPassword2(INT32* PasswordIsDefined, BSTR* Password) = 0;
};
struct IInArchive : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Open(IInStream* Stream, const UINT64* MaxCheckStartPosition,
                                           IArchiveOpenCallback* OpenCallback) = 0;
    virtual HRESULT STDMETHODCALLTYPE Close() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetNumberOfItems(UINT32* NumItems) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetProperty(UINT32 Index, PROPID PropID, PROPVARIANT* Value) = 0;
    virtual HRESULT STDMETHODCALLTYPE Extract(const UINT32* Indices, UINT32 NumItems, INT32 TestMode,
                                              IArchiveExtractCallback* ExtractCallback) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetArchiveProperty(PROPID PropID, PROPVARIANT* Value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetNumberOfProperties(UINT32* NumProperties) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPropertyInfo(UINT32 Index, BSTR* Name, PROPID* PropID, VARTYPE* VarType) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetNumberOfArchiveProperties(UINT32* NumProperties) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetArchivePropertyInfo(UINT32 Index, BSTR* Name, PROPID* PropID,
                                                             VARTYPE* VarType) = 0;
};
struct IOutArchive : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE UpdateItems(ISequentialOutStream* OutStream, UINT32 NumItems,
                                                  IArchiveUpdateCallback* UpdateCallback) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFileTimeType(UINT32* Type) = 0;
};
struct ISetProperties : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetProperties(const wchar_t* const* Names, const PROPVARIANT* Values,
                                                    UINT32 NumProperties) = 0;
};

// Entry property identifiers of the library.
enum : PROPID {
    kpidNoProperty = 0,
    kpidPath = 3,
    kpidExtension = 5,
    kpidIsDir = 6,
    kpidSize = 7,
    kpidPackSize = 8,
    kpidAttrib = 9,
    kpidCTime = 10,
    kpidATime = 11,
    kpidMTime = 12,
    kpidSolid = 13,
    kpidEncrypted = 15,
    kpidCRC = 19,
    kpidIsAnti = 21,
    kpidMethod = 22,
    kpidHostOS = 23,
    kpidFileSystem = 24,
    kpidUser = 25,
    kpidGroup = 26,
    kpidComment = 28,
    kpidTimeType = 40,
    kpidPosixAttrib = 53,
};

// Per-entry results the library reports.
enum : INT32 { kOK = 0, kUnsupportedMethod = 1, kDataError = 2, kCRCError = 3 };
// Extraction modes the library asks for.
enum : INT32 { kExtract = 0, kTest = 1, kSkip = 2 };

using TCreateObjectFunc = HRESULT(WINAPI*)(const GUID* ClsID, const GUID* IID, void** OutObject);
using TGetNumberOfFormatsFunc = HRESULT(WINAPI*)(UINT32* NumFormats);
using TGetNumberOfMethodsFunc = HRESULT(WINAPI*)(UINT32* NumMethods);
using TSetLargePageModeFunc = HRESULT(WINAPI*)();

extern TCreateObjectFunc CreateObject;
extern TGetNumberOfFormatsFunc GetNumberOfFormats;
extern TGetNumberOfMethodsFunc GetNumberOfMethods;
extern TSetLargePageModeFunc SetLargePageMode;

// The library file the program loads: "7z.dll" in the folder of the running program.
std::string SevenzipLibraryPath();
// Loads the library once and resolves the four exports. A missing file is tried again at the next
// call; a module that lacks an export counts as failed for the rest of the process, so that no
// unresolved export is ever called.
bool LoadSevenZipLibrary();
bool SevenZipLibraryLoaded();

}  // namespace sevenzip

// Unit start-up and shut-down: the version banner.
void SevenzipInitialization();
void SevenzipFinalization();
