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

namespace {

// The thunk puts the instance's own address in front of the window procedure's arguments and jumps
// to StdWndProc, a __stdcall function of five arguments, which so removes the extra one on return:
//   pop eax; push <instance>; push eax; mov eax, <StdWndProc>; jmp eax
struct TObjectInstance {
    std::uint8_t Code[16];
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

// Whether Proc is one of our thunks (a procedure someone else installed must never be "freed").
TObjectInstance* InstanceOf(WNDPROC Proc) {
    auto* P = reinterpret_cast<std::uint8_t*>(reinterpret_cast<void*>(Proc));
    for (std::uint8_t* B : Blocks)
        if (P >= B && P < B + BlockSize && (P - B) % sizeof(TObjectInstance) == 0)
            return reinterpret_cast<TObjectInstance*>(P);
    return nullptr;
}

void ReleaseToPool(TObjectInstance* Instance) {
    Instance->Method = TWndMethod();
    Instance->Freed = true;  // pooled: a second FreeObjectInstance is ignored
    Instance->Next = FreeList;
    FreeList = Instance;
}

TObjectInstance* TakeFromPool() {
    if (!FreeList) {
        // PAGE_EXECUTE_READWRITE: the thunks are written once and then run from the same pages.
        auto* Block = static_cast<std::uint8_t*>(
            VirtualAlloc(nullptr, BlockSize, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
        if (!Block)
            throw EOutOfResources("Out of system resources");
        Blocks.push_back(Block);
        std::size_t Count = BlockSize / sizeof(TObjectInstance);
        for (std::size_t I = Count; I-- > 0;) {
            auto* Inst = new (Block + I * sizeof(TObjectInstance)) TObjectInstance();
            Inst->Freed = true;
            Inst->Next = FreeList;
            FreeList = Inst;
        }
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
    auto Put32 = [](std::uint8_t* At, std::uint32_t V) { std::memcpy(At, &V, 4); };
    C[0] = 0x58;  // pop eax
    C[1] = 0x68;  // push imm32
    Put32(C + 2, static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(Inst)));
    C[6] = 0x50;  // push eax
    C[7] = 0xB8;  // mov eax, imm32
    Put32(C + 8, static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(&StdWndProc)));
    C[12] = 0xFF;  // jmp eax
    C[13] = 0xE0;
    C[14] = C[15] = 0xCC;
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
        HandleWndException(Instance->Method.Data());
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
}  // namespace

HWND AllocateHWnd(const TWndMethod& Method) {
    RegisterUtilWindowClass();
    HWND Wnd = CreateWindowExA(WS_EX_TOOLWINDOW, UtilWindowClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    if (!Wnd)
        RaiseLastOSError();
    if (Method)
        SetWindowLongPtrA(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MakeObjectInstance(Method)));
    return Wnd;
}

void DeallocateHWnd(HWND Wnd) {
    if (!Wnd)
        return;
    auto Instance = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Wnd, GWLP_WNDPROC));
    DestroyWindow(Wnd);
    FreeObjectInstance(Instance);  // ignores a procedure that is not one of ours
}
