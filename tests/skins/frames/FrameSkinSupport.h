// The frame tests' skin (kept beside these tests) copied into a folder of Temp with the MDI client
// window's sections added (its area in the form's colour unless given), and loaded by a new default
// manager.
#pragma once

#include "TestSupport.h"

#include "sSkinManager.h"

#include <fstream>
#include <string>

namespace skintests {

inline TsSkinManager* LoadFrameSkinWithMDIArea(testing_support::TempDir& Temp, const std::string& Name,
                                               const std::string& AreaColour = "$00C0A080") {
    const std::string Source = testing_support::SourceDir() + "tests\\skins\\frames\\skin\\FrameTest\\";
    const std::string Folder = Temp / Name;
    CreateDirectoryA(Folder.c_str(), nullptr);
    CopyFileA((Source + "MASTER.BMP").c_str(), (Folder + "\\MASTER.BMP").c_str(), FALSE);
    std::ifstream In(Source + "Options.dat", std::ios::binary);
    std::ofstream Out(Folder + "\\Options.dat", std::ios::binary);
    Out << In.rdbuf() << "\r\n[CHECKBOX]\r\nCOLOR=$00FFFFFF\r\n[MDIAREA]\r\nCOLOR=" << AreaColour << "\r\n";
    Out.close();
    auto* Manager = Create<TsSkinManager>(nullptr);
    Manager->SkinDirectory = Temp.Path();
    Manager->SetSkinName(Name);
    return Manager;
}

}  // namespace skintests
