#include "IdGlobalProtocols.h"

#include <windows.h>

const char* const IdMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const IdDayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const IdBooleanNames[2] = {"FALSE", "TRUE"};

namespace {
std::string TempFolder;
}

std::string TempPath() {
    if (TempFolder.empty())
        IdGlobalProtocolsInitialization();
    return TempFolder;
}

void IdGlobalProtocolsInitialization() {
    char Buffer[MAX_PATH + 1] = {};
    const DWORD N = GetTempPathA(MAX_PATH, Buffer);
    TempFolder.assign(Buffer, N <= MAX_PATH ? N : 0);
    if (TempFolder.empty() || TempFolder.back() != '\\')
        TempFolder += '\\';
}
