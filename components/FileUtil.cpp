#include "FileUtil.h"

#include <windows.h>

bool DirectoryPathExists(const std::string& Path) {
    DWORD Attr = GetFileAttributesA(Path.c_str());
    return Attr != INVALID_FILE_ATTRIBUTES && (Attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
