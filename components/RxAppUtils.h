// Default names and storage routines of form placements: sections, INI file names, registry keys,
// reads and writes that accept an INI file (TCustomIniFile) or a registry INI (TRegIniFile), and
// the routines that write and read a form's placement values.
#pragma once

#include "Forms.h"

#include <string>

using TDefaultIniFileNameHook = std::string (*)();
extern TDefaultIniFileNameHook DefaultIniFileNameHook;
extern std::string RegistryKeyPrefix;
extern bool RegistryKeyFromTitle;

// "" for null; a form's class name; a control's name after its form's class name (or its parent's
// name); another component "FormClass.Name" when its owner is a TForm, else its name.
std::string DefaultSectionName(TComponent* Component);
// The program file's name (no folder) with the extension ".INI", unless the hook answers.
std::string DefaultIniFileName();
// "Software\" [prefix "\"] then the application title (RegistryKeyFromTitle) or the program name.
std::string DefaultRegistryKey();
// "(WIDTHxHEIGHT)" of the primary screen.
std::string ScreenSizeSuffix();

// Storage is a TRegIniFile or a TCustomIniFile; any other object reads defaults and ignores writes.
std::string StorageReadString(TObject* Storage, const std::string& Section, const std::string& Ident,
                              const std::string& Default);
int StorageReadInteger(TObject* Storage, const std::string& Section, const std::string& Ident, int Default);
// Into an INI file a value quoted at both ends with one kind of quote gets one more pair of double
// quotes, since the file's reader strips one pair.
void StorageWriteString(TObject* Storage, const std::string& Section, const std::string& Ident,
                        const std::string& Value);
void StorageWriteInteger(TObject* Storage, const std::string& Section, const std::string& Ident, int Value);
void StorageEraseSection(TObject* Storage, const std::string& Section);
// Ident + ScreenSizeSuffix first, the plain Ident when that is empty.
std::string StorageReadScreenString(TObject* Storage, const std::string& Section, const std::string& Ident);
// Both the resolution's value and the plain one.
void StorageWriteScreenString(TObject* Storage, const std::string& Section, const std::string& Ident,
                              const std::string& Value);

void WriteFormPlacementValues(TCustomForm* Form, TObject* Storage, const std::string& Section);
void ReadFormPlacementValues(TCustomForm* Form, TObject* Storage, const std::string& Section, bool LoadPosition,
                             bool LoadState);

void RxAppUtilsFinalization();
