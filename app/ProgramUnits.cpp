#include "ProgramUnits.h"

#include "ADODB.h"
#include "Buttons.h"
#include "ComCtrls.h"
#include "DB.h"
#include "DBGrids.h"
#include "DateUtil.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "Graphics.h"
#include "ImgList.h"
#include "JclBase.h"
#include "JclCompression.h"
#include "JclStrings.h"
#include "JclSysInfo.h"
#include "Jpeg.h"
#include "JvAppStorage.h"
#include "JvAppStoragePropertyEngineDB.h"
#include "JvJVCLUtils.h"
#include "JvLibraryUnits.h"
#include "JvThemes.h"
#include "Mask.h"
#include "Menus.h"
#include "RXConst.h"
#include "RXDBCtrl.h"
#include "RichEdit.h"
#include "RxAppUtils.h"
#include "RxHook.h"
#include "RxMemDS.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "VCLUtils.h"
#include "abfClasses.h"
#include "abfComponents.h"
#include "abfGraphics.h"
#include "abfSysUtils.h"
#include "abfVclUtils.h"
#include "acPNG.h"
#include "acSBUtils.h"
#include "acntUtils.h"
#include "sCheckBox.h"
#include "sConst.h"
#include "sDateUtils.h"
#include "sEdit.h"
#include "sGlyphUtils.h"
#include "sGradient.h"
#include "sGraphUtils.h"
#include "sLabel.h"
#include "sMaskEdit.h"
#include "sMemo.h"
#include "sMessages.h"
#include "sPanel.h"
#include "sRichEdit.h"
#include "sSpeedButton.h"
#include "sSpinEdit.h"
#include "sVclUtils.h"
#include "siComp.h"
#include "siConsts.h"

namespace {
// Order: the framework's units, then the archive layer, the localisation engine, the component
// libraries and the skin units, as the program's units use them.
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
    {"JclBase", JclBaseInitialization, nullptr},
    {"JclStrings", JclStringsInitialization, nullptr},
    {"JclSysInfo", JclSysInfoInitialization, nullptr},
    {"JclCompression", nullptr, JclCompressionFinalization},
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
    {"acntUtils", acntUtilsInitialization, acntUtilsFinalization},
    {"sConst", sConstInitialization, sConstFinalization},
    {"sMessages", sMessagesInitialization, nullptr},
    {"sGradient", sGradientInitialization, sGradientFinalization},
    {"sGraphUtils", sGraphUtilsInitialization, sGraphUtilsFinalization},
    {"acPNG", acPNGInitialization, acPNGFinalization},
    {"sVclUtils", sVclUtilsInitialization, sVclUtilsFinalization},
    {"acSBUtils", acSBUtilsInitialization, acSBUtilsFinalization},
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
};
}  // namespace

const TUnitEntry* ProgramUnits(std::size_t& Count) {
    Count = sizeof Table / sizeof Table[0];
    return Table;
}
