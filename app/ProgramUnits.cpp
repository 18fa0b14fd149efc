#include "ProgramUnits.h"

#include "abfClasses.h"
#include "abfComponents.h"
#include "abfGraphics.h"
#include "abfSysUtils.h"
#include "abfVclUtils.h"
#include "acAlphaImageList.h"
#include "acGlow.h"
#include "acntUtils.h"
#include "acPNG.h"
#include "acSBUtils.h"
#include "acDials.h"
#include "acShellCtrls.h"
#include "ADODB.h"
#include "Buttons.h"
#include "ComCtrls.h"
#include "DateUtil.h"
#include "DB.h"
#include "DBGrids.h"
#include "dxCalc.h"
#include "dxCntner.h"
#include "dxDBCtrl.h"
#include "dxDBGrid.h"
#include "dxDBTLCl.h"
#include "dxDrawUtils.h"
#include "dxEditor.h"
#include "dxExEdtr.h"
#include "dxFilter.h"
#include "dxGrClms.h"
#include "dxGrDate.h"
#include "dxTL.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "Graphics.h"
#include "IdCoderMIME.h"
#include "IdCoderUUE.h"
#include "IdCoderXXE.h"
#include "IdGlobal.h"
#include "IdGlobalProtocols.h"
#include "IdStack.h"
#include "IdStackWindows.h"
#include "IdWinsock2.h"
#include "IdWship6.h"
#include "ImgList.h"
#include "JclBannerUnits.h"
#include "JclBase.h"
#include "JclCompression.h"
#include "JclFileUtils.h"
#include "JclMath.h"
#include "JclRTTI.h"
#include "JclRegistry.h"
#include "JclStreams.h"
#include "JclStringConversions.h"
#include "JclStrings.h"
#include "JclSynch.h"
#include "JclSysInfo.h"
#include "JclSysUtils.h"
#include "JclUnicode.h"
#include "JclUnitVersioning.h"
#include "JclWideStrings.h"
#include "Jpeg.h"
#include "JvAppStorage.h"
#include "JvAppStoragePropertyEngineDB.h"
#include "JvJVCLUtils.h"
#include "JvLibraryUnits.h"
#include "JvThemes.h"
#include "lmdclass.h"
#include "lmdcont.h"
#include "LMDSysIn.h"
#include "lmdthemes.h"
#include "LMDXPThemeManager.h"
#include "Mask.h"
#include "Menus.h"
#include "RichEdit.h"
#include "RxAppUtils.h"
#include "RXConst.h"
#include "RXDBCtrl.h"
#include "RxHook.h"
#include "RxMemDS.h"
#include "sCheckBox.h"
#include "sComboBoxes.h"
#include "sConst.h"
#include "sCustomComboEdit.h"
#include "sDateUtils.h"
#include "sEdit.h"
#include "sGlyphUtils.h"
#include "sGradient.h"
#include "sGraphUtils.h"
#include "siComp.h"
#include "siConsts.h"
#include "sLabel.h"
#include "sListView.h"
#include "sMaskEdit.h"
#include "sMemo.h"
#include "sMessages.h"
#include "sMonthCalendar.h"
#include "sPanel.h"
#include "sPopupClndr.h"
#include "sRichEdit.h"
#include "sSkinManager.h"
#include "sSpeedButton.h"
#include "sSpinEdit.h"
#include "StdCtrls.h"
#include "sTooledit.h"
#include "sTreeView.h"
#include "sStyleSimply.h"
#include "sVclUtils.h"
#include "SysUtils.h"
#include "VCLUtils.h"

#include <string_view>

namespace {
// Order: the framework's units, then the archive layer with its socket units, the localisation
// engine, the component libraries, the skin units and the grid library, as the units use each other.
const TUnitEntry Table[] = {
    {"SysUtils", SysUtilsInitialization, nullptr},
    {"Graphics", GraphicsInitialization, GraphicsFinalization},
    {"jpeg", JpegInitialization, JpegFinalization},
    {"Controls", InitControls, DoneControls},
    {"StdCtrls", StdCtrlsInitialization, nullptr},
    {"Mask", MaskInitialization, nullptr},
    {"Buttons", ButtonsInitialization, nullptr},
    {"ExtCtrls", ExtCtrlsInitialization, nullptr},
    {"ComCtrls", InitComCtrls, nullptr},
    {"RichEdit", RichEditInitialization, nullptr},
    {"ImgList", InitImgList, nullptr},
    {"Menus", InitMenus, DoneMenus},
    {"DB", DBInitialization, nullptr},
    {"DBGrids", DBGridsInitialization, nullptr},
    {"ADODB", ADODBInitialization, nullptr},
    {"JclUnitVersioning", JclUnitVersioningInitialization, JclUnitVersioningFinalization},
    {"JclResources", JclResourcesInitialization, JclResourcesFinalization},
    {"JclBase", JclBaseInitialization, nullptr},
    {"JclWin32", JclWin32Initialization, JclWin32Finalization},
    {"JclLogic", JclLogicInitialization, JclLogicFinalization},
    {"JclSysUtils", JclSysUtilsInitialization, JclSysUtilsFinalization},
    {"JclSynch", JclSynchInitialization, JclSynchFinalization},
    {"JclStrings", JclStringsInitialization, nullptr},
    {"JclWideStrings", JclWideStringsInitialization, JclWideStringsFinalization},
    {"JclStringConversions", JclStringConversionsInitialization, JclStringConversionsFinalization},
    {"JclCharsets", JclCharsetsInitialization, JclCharsetsFinalization},
    {"JclFpuControl", JclFpuControlInitialization, JclFpuControlFinalization},
    {"Snmp", SnmpInitialization, SnmpFinalization},
    {"JclIniFiles", JclIniFilesInitialization, JclIniFilesFinalization},
    {"JclUnicode", JclUnicodeInitialization, JclUnicodeFinalization},
    {"JclSysInfo", JclSysInfoInitialization, nullptr},
    {"JclRegistry", JclRegistryInitialization, JclRegistryFinalization},
    {"JclMath", JclMathInitialization, JclMathFinalization},
    {"JclStreams", JclStreamsInitialization, JclStreamsFinalization},
    {"JclAnsiStrings", JclAnsiStringsInitialization, JclAnsiStringsFinalization},
    {"JclShell", JclShellInitialization, JclShellFinalization},
    {"JclSecurity", JclSecurityInitialization, JclSecurityFinalization},
    {"JclDateTime", JclDateTimeInitialization, JclDateTimeFinalization},
    {"JclFileUtils", JclFileUtilsInitialization, JclFileUtilsFinalization},
    {"JclConsole", JclConsoleInitialization, JclConsoleFinalization},
    {"JclRTTI", JclRTTIInitialization, JclRTTIFinalization},
    {"JclMime", JclMimeInitialization, JclMimeFinalization},
    {"zlibh", zlibhInitialization, zlibhFinalization},
    {"bzip2", bzip2Initialization, bzip2Finalization},
    {"sevenzip", SevenzipInitialization, SevenzipFinalization},
    {"JclCompression", JclCompressionInitialization, JclCompressionFinalization},
    {"IdGlobal", IdGlobalInitialization, nullptr},
    {"IdGlobalProtocols", IdGlobalProtocolsInitialization, nullptr},
    {"IdWinsock2", IdWinsock2Initialization, nullptr},
    {"IdWship6", nullptr, UnloadIPv6Helpers},
    {"IdStack", IdStackInitialization, nullptr},
    {"IdStackWindows", IdStackWindowsInitialization, IdStackWindowsFinalization},
    {"IdCoderMIME", IdCoderMIMEInitialization, nullptr},
    {"IdCoderUUE", IdCoderUUEInitialization, nullptr},
    {"IdCoderXXE", IdCoderXXEInitialization, nullptr},
    {"siConsts", siConstsInitialization, siConstsFinalization},
    {"siComp", siCompInitialization, siCompFinalization},
    {"RXConst", RXConstInitialization, nullptr},
    {"DateUtil", DateUtilInitialization, nullptr},
    {"VCLUtils", nullptr, VCLUtilsFinalization},
    {"RxHook", RxHookInitialization, RxHookFinalization},
    {"RxAppUtils", nullptr, RxAppUtilsFinalization},
    {"RxMemDS", RxMemDSInitialization, nullptr},
    {"RXDBCtrl", RXDBCtrlInitialization, RXDBCtrlFinalization},
    {"JvAppStorage", nullptr, JvAppStorageFinalization},
    {"JvJVCLUtils", JvJVCLUtilsInitialization, nullptr},
    {"TaskbarRestart", TaskbarRestartUnitInitialization, TaskbarRestartUnitFinalization},
    {"JvThemes", JvThemesInitialization, JvThemesFinalization},
    {"CheckBoxSize", CheckBoxSizeUnitInitialization, nullptr},
    {"JvAppStoragePropertyEngineDB", JvAppStoragePropertyEngineDBInitialization,
     JvAppStoragePropertyEngineDBFinalization},
    {"ThreadValues", ThreadValuesUnitInitialization, nullptr},
    {"abfSysUtils", abfSysUtilsInitialization, abfSysUtilsFinalization},
    {"abfClasses", abfClassesInitialization, abfClassesFinalization},
    {"abfVclUtils", abfVclUtilsInitialization, abfVclUtilsFinalization},
    {"abfGraphics", abfGraphicsInitialization, abfGraphicsFinalization},
    {"abfComponents", abfComponentsInitialization, abfComponentsFinalization},
    {"LMDSysIn", LMDSysInInitialization, nullptr},
    {"lmdthemes", ThemeLibraryUnitInitialization, ThemeLibraryUnitFinalization},
    {"lmdcont", lmdcontInitialization, lmdcontFinalization},
    {"LMDXPThemeManager", LMDXPThemeManagerInitialization, LMDXPThemeManagerFinalization},
    {"lmdclass", lmdclassInitialization, lmdclassFinalization},
    {"acntUtils", acntUtilsInitialization, acntUtilsFinalization},
    {"sConst", sConstInitialization, sConstFinalization},
    {"sMessages", sMessagesInitialization, nullptr},
    {"sGradient", sGradientInitialization, sGradientFinalization},
    {"sGraphUtils", sGraphUtilsInitialization, sGraphUtilsFinalization},
    {"acGlow", acGlowInitialization, acGlowFinalization},
    {"acPNG", acPNGInitialization, acPNGFinalization},
    {"sSkinManager", sSkinManagerInitialization, sSkinManagerFinalization},
    {"sVclUtils", sVclUtilsInitialization, sVclUtilsFinalization},
    {"sStyleSimply", nullptr, sStyleSimplyFinalization},
    {"acSBUtils", acSBUtilsInitialization, acSBUtilsFinalization},
    {"acDials", acDialsInitialization, acDialsFinalization},
    {"sGlyphUtils", sGlyphUtilsInitialization, sGlyphUtilsFinalization},
    {"sDateUtils", sDateUtilsInitialization, nullptr},
    {"sEdit", sEditInitialization, nullptr},
    {"sMaskEdit", sMaskEditInitialization, nullptr},
    {"sMemo", sMemoInitialization, nullptr},
    {"sRichEdit", sRichEditInitialization, nullptr},
    {"sCheckBox", sCheckBoxInitialization, nullptr},
    {"sLabel", sLabelInitialization, nullptr},
    {"sPanel", sPanelInitialization, nullptr},
    {"sSpeedButton", sSpeedButtonInitialization, nullptr},
    {"sSpinEdit", sSpinEditInitialization, nullptr},
    {"acAlphaImageList", acAlphaImageListInitialization, nullptr},
    {"sCustomComboEdit", sCustomComboEditInitialization, sCustomComboEditFinalization},
    {"sTooledit", sTooleditInitialization, nullptr},
    {"sMonthCalendar", sMonthCalendarInitialization, sMonthCalendarFinalization},
    {"sPopupClndr", sPopupClndrInitialization, sPopupClndrFinalization},
    {"sTreeView", sTreeViewInitialization, nullptr},
    {"acShellCtrls", acShellCtrlsInitialization, acShellCtrlsFinalization},
    {"sComboBoxes", sComboBoxesInitialization, nullptr},
    {"sListView", sListViewInitialization, nullptr},
    {"dxDrawUtils", dxDrawUtilsInitialization, dxDrawUtilsFinalization},
    {"dxCntner", dxCntnerInitialization, dxCntnerFinalization},
    {"dxEditor", dxEditorInitialization, dxEditorFinalization},
    {"dxGrDate", dxGrDateInitialization, dxGrDateFinalization},
    {"dxExEdtr", dxExEdtrInitialization, dxExEdtrFinalization},
    {"dxCalc", dxCalcInitialization, dxCalcFinalization},
    {"dxTL", dxTLInitialization, dxTLFinalization},
    {"dxDBCtrl", dxDBCtrlInitialization, dxDBCtrlFinalization},
    {"dxFilter", dxFilterInitialization, dxFilterFinalization},
    {"dxDBTLCl", dxDBTLClInitialization, dxDBTLClFinalization},
    {"dxDBGrid", dxDBGridInitialization, dxDBGridFinalization},
    {"dxGrClms", dxGrClmsInitialization, dxGrClmsFinalization},
};
}  // namespace

const TUnitEntry* ProgramUnits(std::size_t& Count) {
    Count = sizeof Table / sizeof Table[0];
    return Table;
}

std::size_t ProgramUnitsStartedLater() {
    constexpr std::size_t Count = sizeof Table / sizeof Table[0];
    for (std::size_t I = 0; I < Count; ++I)
        if (std::string_view(Table[I].Name) == "LMDSysIn")
            return Count - I;
    return 0;
}

namespace {
std::string LaterFailure;
}  // namespace

bool StartLaterProgramUnits() {
    if (!LaterFailure.empty())
        return false;
    std::size_t Count = 0;
    const TUnitEntry* Units = ProgramUnits(Count);
    const std::size_t Later = ProgramUnitsStartedLater();
    if (Later == 0 || UnitStarted(Units + (Count - Later)))
        return true;
    try {
        InitializeUnits(Units + (Count - Later), Later);
    } catch (const Exception& E) {
        LaterFailure = E.Message();
        if (Application)
            Application->Terminate();
        return false;
    }
    return true;
}

const std::string& LaterProgramUnitsFailure() { return LaterFailure; }
