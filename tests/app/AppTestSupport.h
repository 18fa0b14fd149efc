// Helpers of the program's unit tests: a program folder of the test's own, and task lines built
// field by field.
#pragma once

#include "TestSupport.h"
#include "untSettingTasks.h"

#include "DateUtils.h"

#include <string>
#include <vector>

namespace app_tests {

// A fresh temporary folder stands in for the program's folder while the object lives.
class TProgramFolder {
public:
    TProgramFolder() { SetProgramFolderOverride(FDir.Path()); }
    ~TProgramFolder() { SetProgramFolderOverride(""); }
    TProgramFolder(const TProgramFolder&) = delete;
    TProgramFolder& operator=(const TProgramFolder&) = delete;

    const std::string& Path() const { return FDir.Path(); }  // with trailing "\"
    std::string operator/(const std::string& Name) const { return FDir / Name; }

private:
    testing_support::TempDir FDir;
};

// A task line of 22 fields, empty until set.
class TLine {
public:
    TLine() : FFields(TaskFieldCount) {}
    TLine& Set(int Index, std::string Value) {
        if (static_cast<std::size_t>(Index) >= FFields.size())
            FFields.resize(static_cast<std::size_t>(Index) + 1);
        FFields[static_cast<std::size_t>(Index)] = std::move(Value);
        return *this;
    }
    TLine& SetDate(int Index, TDateTime Value) { return Set(Index, DateTimeToStr(Value)); }
    // Keeps only the first Count fields.
    TLine& Cut(std::size_t Count) {
        FFields.resize(Count);
        return *this;
    }
    std::string Text() const { return JoinTaskLine(FFields); }
    operator std::string() const { return Text(); }

private:
    std::vector<std::string> FFields;
};

// The names of the files a pattern such as "C:\\dir\\*.7z" finds.
inline std::vector<std::string> FilesIn(const std::string& Pattern) {
    std::vector<std::string> Names;
    WIN32_FIND_DATAA F;
    HANDLE H = FindFirstFileA(Pattern.c_str(), &F);
    if (H == INVALID_HANDLE_VALUE)
        return Names;
    do
        Names.push_back(F.cFileName);
    while (FindNextFileA(H, &F));
    FindClose(H);
    return Names;
}

// A file's bytes as text.
inline std::string FileContents(const std::string& Path) {
    std::vector<std::uint8_t> B = testing_support::ReadFileBytes(Path);
    return std::string(B.begin(), B.end());
}

inline TDateTime At(int Year, int Month, int Day, int Hour = 0, int Min = 0) {
    return EncodeDateTime(Year, Month, Day, Hour, Min, 0, 0);
}

}  // namespace app_tests
