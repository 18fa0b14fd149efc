#include "ObjectInstances.h"

#include "SysUtils.h"

#include <cstdint>
#include <cstring>
#include <mutex>
#include <new>
#include <vector>

TWndExceptionHandler WndExceptionHandler = nullptr;

void HandleWndException(TObject* Sender) noexcept {
    try {
        if (WndExceptionHandler)
            WndExceptionHandler(Sender);
    } catch (...) {
        // The handler itself failed (its box could not be shown): nothing is left that could
        // report it, and the system's frames must not see it.
    }
}

void HandleWndException(TObject* Sender, HWND Wnd, const TMessage& Message) noexcept {
    if (Message.Msg != WM_PAINT) {
        HandleWndException(Sender);
        return;
    }
    // A paint into a given DC leaves the window's own update region alone.
    if (Wnd && !Message.WParam)
        ValidateRect(Wnd, nullptr);
    static thread_local bool ReportingPaintError = false;
    if (ReportingPaintError)
        return;
    ReportingPaintError = true;
    HandleWndException(Sender);
    ReportingPaintError = false;
}

namespace {

// The thunk puts the instance's own address in front of the window procedure's arguments and calls
// StdWndProc, a function of five arguments.
// 32 bits: StdWndProc is __stdcall and so removes the extra argument on return:
//   pop eax; push <instance>; push eax; mov eax, <StdWndProc>; jmp eax
// 64 bits: the four register arguments move one place right, the fourth goes to the fifth
// argument's stack slot above the callee's shadow space, and the instance comes first:
//   sub rsp,56; mov [rsp+32],r9; mov r9,r8; mov r8,rdx; mov rdx,rcx; mov rcx,<instance>;
//   mov rax,<StdWndProc>; call rax; add rsp,56; ret
// The 64-bit thunks are described to the system's unwinder (one function table per block), so that
// a stack walk through a window procedure finds its caller.
#if defined(_WIN64)
constexpr std::size_t ThunkSize = 48;
#else
constexpr std::size_t ThunkSize = 16;
#endif
struct TObjectInstance {
    std::uint8_t Code[ThunkSize];
    TWndMethod Method;
    int Depth = 0;        // nested calls running now
    bool Freed = false;   // freed while running: goes back to the pool when the last call returns
    TObjectInstance* Next = nullptr;
};

LRESULT __stdcall StdWndProc(TObjectInstance* Instance, HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

constexpr std::size_t BlockSize = 4096;

std::mutex& PoolLock() {
    static std::mutex Lock;
    return Lock;
}
TObjectInstance* FreeList = nullptr;
std::vector<std::uint8_t*> Blocks;

std::size_t InstancesPerBlock();

// Whether Proc is one of our thunks (a procedure someone else installed must never be "freed").
TObjectInstance* InstanceOf(WNDPROC Proc) {
    auto* P = reinterpret_cast<std::uint8_t*>(reinterpret_cast<void*>(Proc));
    for (std::uint8_t* B : Blocks)
        if (P >= B && P < B + InstancesPerBlock() * sizeof(TObjectInstance) && (P - B) % sizeof(TObjectInstance) == 0)
            return reinterpret_cast<TObjectInstance*>(P);
    return nullptr;
}

void ReleaseToPool(TObjectInstance* Instance) {
    Instance->Method = TWndMethod();
    Instance->Freed = true;  // pooled: a second FreeObjectInstance is ignored
    Instance->Next = FreeList;
    FreeList = Instance;
}

#if defined(_WIN64)
constexpr std::uint8_t ThunkPrologSize = 4;  // sub rsp,56
constexpr std::uint8_t ThunkFrameSize = 56;

// The unwind data of a block: one description shared by every thunk (its prolog allocates 56 bytes of
// stack and saves no register), and one function entry per thunk, kept at the end of the block.
struct TThunkUnwindInfo {
    std::uint8_t VersionAndFlags = 1;  // version 1, no handler
    std::uint8_t SizeOfProlog = ThunkPrologSize;
    std::uint8_t CountOfCodes = 1;
    std::uint8_t FrameRegister = 0;
    std::uint8_t CodeOffset = ThunkPrologSize;
    std::uint8_t OpAndInfo = 2 | (((ThunkFrameSize - 8) / 8) << 4);  // UWOP_ALLOC_SMALL
    std::uint16_t Pad = 0;
};

std::size_t InstancesPerBlock() {
    return (BlockSize - sizeof(TThunkUnwindInfo)) / (sizeof(TObjectInstance) + sizeof(RUNTIME_FUNCTION));
}

void DescribeBlockToUnwinder(std::uint8_t* Block, std::size_t Count) {
    auto* Functions = reinterpret_cast<RUNTIME_FUNCTION*>(Block + Count * sizeof(TObjectInstance));
    auto* Info = new (Functions + Count) TThunkUnwindInfo();
    auto Rva = [Block](const void* P) {
        return static_cast<DWORD>(static_cast<const std::uint8_t*>(P) - Block);
    };
    for (std::size_t I = 0; I < Count; ++I) {
        Functions[I].BeginAddress = Rva(Block + I * sizeof(TObjectInstance));
        Functions[I].EndAddress = Functions[I].BeginAddress + ThunkSize;
        Functions[I].UnwindData = Rva(Info);
    }
    // Without the table the thunks still run; only stack walks through them stop short.
    RtlAddFunctionTable(Functions, static_cast<DWORD>(Count), reinterpret_cast<DWORD64>(Block));
}
#else
std::size_t InstancesPerBlock() { return BlockSize / sizeof(TObjectInstance); }
#endif

TObjectInstance* TakeFromPool() {
    if (!FreeList) {
        // PAGE_EXECUTE_READWRITE: the thunks are written once and then run from the same pages.
        auto* Block = static_cast<std::uint8_t*>(
            VirtualAlloc(nullptr, BlockSize, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
        if (!Block)
            throw EOutOfResources("Out of system resources");
        Blocks.push_back(Block);
        std::size_t Count = InstancesPerBlock();
        for (std::size_t I = Count; I-- > 0;) {
            auto* Inst = new (Block + I * sizeof(TObjectInstance)) TObjectInstance();
            Inst->Freed = true;
            Inst->Next = FreeList;
            FreeList = Inst;
        }
#if defined(_WIN64)
        DescribeBlockToUnwinder(Block, Count);
#endif
        // Blocks are never given back: windows may still hold their addresses in freed classes.
    }
    TObjectInstance* Inst = FreeList;
    FreeList = Inst->Next;
    Inst->Next = nullptr;
    Inst->Depth = 0;
    Inst->Freed = false;
    return Inst;
}

void WriteThunk(TObjectInstance* Inst) {
    std::uint8_t* C = Inst->Code;
    std::memset(C, 0xCC, sizeof Inst->Code);
#if defined(_WIN64)
    static const std::uint8_t Code[] = {
        0x48, 0x83, 0xEC, ThunkFrameSize,  // sub rsp, 56
        0x4C, 0x89, 0x4C, 0x24, 0x20,      // mov [rsp+32], r9
        0x4D, 0x89, 0xC1,                  // mov r9, r8
        0x49, 0x89, 0xD0,                  // mov r8, rdx
        0x48, 0x89, 0xCA,                  // mov rdx, rcx
        0x48, 0xB9, 0, 0, 0, 0, 0, 0, 0, 0,  // mov rcx, imm64 (at 20)
        0x48, 0xB8, 0, 0, 0, 0, 0, 0, 0, 0,  // mov rax, imm64 (at 30)
        0xFF, 0xD0,                        // call rax
        0x48, 0x83, 0xC4, ThunkFrameSize,  // add rsp, 56
        0xC3,                              // ret
    };
    static_assert(sizeof Code <= ThunkSize);
    std::memcpy(C, Code, sizeof Code);
    auto InstanceAddress = reinterpret_cast<std::uint64_t>(Inst);
    auto ProcAddress = reinterpret_cast<std::uint64_t>(&StdWndProc);
    std::memcpy(C + 20, &InstanceAddress, 8);
    std::memcpy(C + 30, &ProcAddress, 8);
#else
    auto Put32 = [](std::uint8_t* At, std::uint32_t V) { std::memcpy(At, &V, 4); };
    C[0] = 0x58;  // pop eax
    C[1] = 0x68;  // push imm32
    Put32(C + 2, static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(Inst)));
    C[6] = 0x50;  // push eax
    C[7] = 0xB8;  // mov eax, imm32
    Put32(C + 8, static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(&StdWndProc)));
    C[12] = 0xFF;  // jmp eax
    C[13] = 0xE0;
#endif
    FlushInstructionCache(GetCurrentProcess(), C, sizeof Inst->Code);
}

LRESULT __stdcall StdWndProc(TObjectInstance* Instance, HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TMessage M{Msg, WParam, LParam, 0};
    ++Instance->Depth;
    try {
        if (Instance->Method)
            Instance->Method(M);
        else
            M.Result = DefWindowProcA(Wnd, Msg, WParam, LParam);
    } catch (...) {
        HandleWndException(Instance->Method.Data(), Wnd, M);
        M.Result = 0;
    }
    if (--Instance->Depth == 0 && Instance->Freed) {
        std::lock_guard<std::mutex> G(PoolLock());
        ReleaseToPool(Instance);
    }
    return M.Result;
}

}  // namespace

WNDPROC MakeObjectInstance(const TWndMethod& Method) {
    TObjectInstance* Inst;
    {
        std::lock_guard<std::mutex> G(PoolLock());
        Inst = TakeFromPool();
    }
    Inst->Method = Method;
    WriteThunk(Inst);
    return reinterpret_cast<WNDPROC>(static_cast<void*>(Inst->Code));
}

void FreeObjectInstance(WNDPROC Proc) {
    if (!Proc)
        return;
    std::lock_guard<std::mutex> G(PoolLock());
    TObjectInstance* Inst = InstanceOf(Proc);
    if (!Inst || Inst->Freed)
        return;
    if (Inst->Depth > 0) {
        // Still on the stack (a window freeing itself from its own message): the method must not
        // run again, but the thunk stays until that call returns.
        Inst->Freed = true;
        Inst->Method = TWndMethod();
        return;
    }
    ReleaseToPool(Inst);
}

namespace {
const char UtilWindowClassName[] = "TPUtilWindow";

void RegisterUtilWindowClass() {
    WNDCLASSA Existing{};
    HINSTANCE Instance = GetModuleHandleA(nullptr);
    if (GetClassInfoA(Instance, UtilWindowClassName, &Existing))
        return;
    WNDCLASSA Cls{};
    Cls.lpfnWndProc = DefWindowProcA;
    Cls.hInstance = Instance;
    Cls.lpszClassName = UtilWindowClassName;
    if (!RegisterClassA(&Cls) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        RaiseLastOSError();
}

HWND AllocateUtilWindow(const TWndMethod& Method, HWND Parent) {
    RegisterUtilWindowClass();
    SetLastError(0);
    HWND Wnd = CreateWindowExA(WS_EX_TOOLWINDOW, UtilWindowClassName, "", WS_POPUP, 0, 0, 0, 0, Parent, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    if (!Wnd)
        RaiseLastOSError();
    if (Method)
        SetWindowLongPtrA(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MakeObjectInstance(Method)));
    return Wnd;
}
}  // namespace

HWND AllocateHWnd(const TWndMethod& Method) { return AllocateUtilWindow(Method, nullptr); }

HWND AllocateMessageHWnd(const TWndMethod& Method) { return AllocateUtilWindow(Method, HWND_MESSAGE); }

void DeallocateHWnd(HWND Wnd) {
    if (!Wnd)
        return;
    auto Instance = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Wnd, GWLP_WNDPROC));
    DestroyWindow(Wnd);
    FreeObjectInstance(Instance);  // ignores a procedure that is not one of ours
}
