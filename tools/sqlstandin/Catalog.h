// The stand-in's databases: kept in a state folder that survives restarts, with their data and log files as
// real files, and the backup files of our own format (a text header naming the database and its files, then
// data). Several backup sets may follow one another in one file, as BACKUP without INIT appends.
#pragma once

#include "Config.h"

#include <windows.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace standin {

struct DbFile {
    std::wstring Logical;
    wchar_t Type = L'D';  // D data, L log
    std::uint64_t Size = 0;
    std::wstring Physical;
};

struct Database {
    int Id = 0;
    std::wstring Name;
    std::vector<DbFile> Files;
};

struct BackupSet {
    std::wstring Database;
    std::vector<DbFile> Files;
    std::uint64_t DataSize = 0;
};

// Outcome of a file operation: 0, a Windows error code, or BadFormat for a file that is no backup of ours.
inline constexpr DWORD BadFormat = 0xFFFF0001;
std::wstring OsErrorText(DWORD Code);

class Catalog {
public:
    // Loads the state folder, or seeds it from the configuration on the first start.
    explicit Catalog(const Config& C);

    std::mutex& Lock() { return FLock; }  // held by every statement that reads or changes the catalog
    const std::vector<Database>& Databases() const { return FDatabases; }
    const Database* Find(const std::wstring& Name) const;
    const Database* FindId(int Id) const;
    // Adds the database or replaces the one of the same name; creates its files and saves the state.
    DWORD Put(Database D);
    int NextId() const;

    const std::wstring& DataDir() const { return FDataDir; }
    const std::wstring& BackupDir() const { return FBackupDir; }

private:
    void Save() const;
    void Load(const std::wstring& Path);

    std::mutex FLock;
    std::vector<Database> FDatabases;
    std::wstring FStateFile, FDataDir, FBackupDir;
};

std::wstring FullPath(const std::wstring& Path);
// Creates the folder and any missing parents.
void MakeFolders(const std::wstring& Path);
// Creates or resizes a file to Size bytes.
DWORD CreateSizedFile(const std::wstring& Path, std::uint64_t Size);

// Writes one backup set; Init overwrites the file, otherwise the set is appended. SetNumber: its position.
DWORD WriteBackup(const std::wstring& Path, const Database& D, std::uint64_t DataSize, bool Init, int& SetNumber);
DWORD ReadBackupSets(const std::wstring& Path, std::vector<BackupSet>& Sets);

}  // namespace standin
