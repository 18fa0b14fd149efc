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
#include "sConst.h"
#include "sEdit.h"
#include "sMessages.h"
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
    {"abfSysUtils", abfSysUtilsInitialization, abfSysUtilsFinalization},
    {"abfClasses", abfClassesInitialization, abfClassesFinalization},
    {"abfVclUtils", abfVclUtilsInitialization, abfVclUtilsFinalization},
    {"abfGraphics", abfGraphicsInitialization, abfGraphicsFinalization},
    {"abfComponents", abfComponentsInitialization, abfComponentsFinalization},
    {"sConst", sConstInitialization, sConstFinalization},
    {"sMessages", sMessagesInitialization, nullptr},
    {"sVclUtils", sVclUtilsInitialization, sVclUtilsFinalization},
    {"sEdit", sEditInitialization, nullptr},
};
}  // namespace

const TUnitEntry* ProgramUnits(std::size_t& Count) {
    Count = sizeof Table / sizeof Table[0];
    return Table;
}
