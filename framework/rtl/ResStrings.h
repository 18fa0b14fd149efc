// Resource strings: texts kept as string resources of a module (or, for the framework's own texts,
// as literals in the program) and loaded when used, so that a loader hook can translate them.
#pragma once

#include <windows.h>

#include <string>

// One resource string: the module it lives in (a reference to the module handle variable, so that a
// module loaded later is found; null = the program itself) and the string's number. A framework
// text that has no resource of its own carries the literal instead; the number is then not used.
// (The platform marks such records by a number of 65536 or more that is really an address; a
// separate field keeps a large number from ever being read as one.)
struct TResStringRec {
    HMODULE* Module = nullptr;
    unsigned Identifier = 0;
    const char* Literal = nullptr;
};

// A record for a literal text of the framework.
constexpr TResStringRec ResString(const char* Literal) { return TResStringRec{nullptr, 0, Literal}; }
// A record for string resource Identifier of a module (held in a variable that outlives the record).
constexpr TResStringRec ResString(HMODULE* Module, unsigned Identifier) { return TResStringRec{Module, Identifier, nullptr}; }

// The loader: the literal, or LoadStringA into 1024 characters (texts are cut at 1023); "" when the
// module has no such string. Goes through the loader hook when one is installed.
std::string LoadResString(const TResStringRec* Res);
inline std::string LoadResString(const TResStringRec& Res) { return LoadResString(&Res); }
// String resource Ident of the program itself (through LoadResString, so through the hook too).
std::string LoadStr(int Ident);

// The interception point for a translating loader (instead of patching the platform's code). A hook
// gets the record and usually calls DefaultLoadResString first, then translates the text. Setting
// gives back the hook that was installed before; null removes it.
using TResStringLoader = std::string (*)(const TResStringRec* Res);
TResStringLoader SetResStringLoader(TResStringLoader Loader);
TResStringLoader ResStringLoader();
std::string DefaultLoadResString(const TResStringRec* Res);

// The framework's dialog texts (message dialog captions and buttons), read by the localisation
// engine at start-up.
namespace ResConsts {
inline constexpr TResStringRec SMsgDlgWarning = ResString("Warning");
inline constexpr TResStringRec SMsgDlgError = ResString("Error");
inline constexpr TResStringRec SMsgDlgInformation = ResString("Information");
inline constexpr TResStringRec SMsgDlgConfirm = ResString("Confirm");
inline constexpr TResStringRec SMsgDlgYes = ResString("&Yes");
inline constexpr TResStringRec SMsgDlgNo = ResString("&No");
inline constexpr TResStringRec SMsgDlgOK = ResString("OK");
inline constexpr TResStringRec SMsgDlgCancel = ResString("Cancel");
inline constexpr TResStringRec SMsgDlgAbort = ResString("&Abort");
inline constexpr TResStringRec SMsgDlgRetry = ResString("&Retry");
inline constexpr TResStringRec SMsgDlgIgnore = ResString("&Ignore");
inline constexpr TResStringRec SMsgDlgAll = ResString("&All");
inline constexpr TResStringRec SMsgDlgNoToAll = ResString("N&o to All");
inline constexpr TResStringRec SMsgDlgYesToAll = ResString("Yes to &All");
inline constexpr TResStringRec SMsgDlgHelp = ResString("&Help");
}  // namespace ResConsts
