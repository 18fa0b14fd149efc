// The message table of the utility library and the archive layer: every text an error of these
// units carries, and the display names and file masks of the archive formats.
#pragma once

namespace JclResources {

// Utility units
inline constexpr const char* RsWin32Prefix = "Win32 error: %s (%u)%s%s";
inline constexpr const char* RsCannotGetAnsiReplacementChar = "Failed to get ANSI replacement character";
inline constexpr const char* RsArgumentOutOfRange = "Argument out of range";
inline constexpr const char* RsBlankSearchString = "Search string cannot be blank";
inline constexpr const char* RsMakeUtcTime = "Error illegal date or time format";
inline constexpr const char* RsCannotCreateDir = "Unable to create directory";
inline constexpr const char* RsStreamsSeekError = "Error seeking stream";
inline constexpr const char* RsSynchCreateMutex = "Failed to create mutex";
inline constexpr const char* RsInvalidMMFName = "Invalid MMF name \"%s\"";
inline constexpr const char* RsInvalidMMFEmpty = "The MMF named \"%s\" cannot be created empty";
inline constexpr const char* RsUnexpectedEOSequence = "Unexpected end of sequence";

// Archive layer
inline constexpr const char* RsCompressionSevenzipLoadError = "Sevenzip: Failed to load 7z.dll";
inline constexpr const char* RsCompressionSevenzipReturnError = "Sevenzip: Error result (%.8X) \"%s\"";
inline constexpr const char* RsCompressionSevenzipOutArchiveError =
    "Sevenzip: Failed to get out archive interface for class %s";
inline constexpr const char* RsCompressionSevenzipInArchiveError =
    "Sevenzip: Failed to get in archive interface for class %s";
inline constexpr const char* RsCompressionSevenzipUnknownValueType =
    "Sevenzip: Unknown value type (%d) for property ID %d";
inline constexpr const char* RsCompressionDuplicate = "The file %s already exists in the archive";
inline constexpr const char* RsCompressionCompressingError = "Operation is not supported while compressing";
inline constexpr const char* RsCompressionDecompressingError = "Operation is not supported while decompressing";
inline constexpr const char* RsCompressionWriteNotSupported = "write is not an supported operation.";
inline constexpr const char* RsCompressionUnavailableProperty = "Property is not available";
inline constexpr const char* RsCompressionUnsupportedMethod = "Unsupported method";
inline constexpr const char* RsCompressionDataError = "Data error";
inline constexpr const char* RsCompressionCRCError = "CRC error";
inline constexpr const char* RsCompressionUnknownError = "Unknown error";
// What a library result means where it is not a Windows error code (the platform's text for the
// same number would say something false), and the entry results the library adds to its first four.
inline constexpr const char* RsCompressionSevenzipCannotOpen =
    "The archive cannot be read: it is damaged, incomplete or not an archive of this format";
inline constexpr const char* RsCompressionSevenzipAborted = "The operation was cancelled";
inline constexpr const char* RsCompressionSevenzipNotImplemented =
    "The 7-Zip library does not support a method or feature this archive uses";
inline constexpr const char* RsCompressionSevenzipWritingCut = "Writing was cut short";
inline constexpr const char* RsCompressionNamesNeedPassword =
    "Sevenzip: The names in the archive are encrypted: a password is needed to read it";
inline constexpr const char* RsCompressionNamesWrongPassword =
    "Sevenzip: The names in the archive are encrypted and cannot be read with this password (wrong password or damaged archive)";
inline constexpr const char* RsCompressionUnavailableData = "Unavailable data";
inline constexpr const char* RsCompressionUnexpectedEnd = "Unexpected end of data";
inline constexpr const char* RsCompressionDataAfterEnd = "There are some data after the end of the payload data";
inline constexpr const char* RsCompressionIsNotArchive = "Is not an archive";
inline constexpr const char* RsCompressionHeadersError = "Headers error";
inline constexpr const char* RsCompressionWrongPassword = "Wrong password";
inline constexpr const char* RsCompressionReplaceError =
    "At least one compression volumes could not be replaced after an archive out-of-place update";

// Format names and file masks
inline constexpr const char* RsCompressionZipName = "Zip archive";
inline constexpr const char* RsCompressionZipExtensions = "*.zip;*.jar;*.xpi";
inline constexpr const char* RsCompressionBZip2Name = "BZip2 archive";
inline constexpr const char* RsCompressionBZip2Extensions = "*.bz2;*.bzip2;*.tbz2;*.tbz";
inline constexpr const char* RsCompressionRarName = "Rar archive";
inline constexpr const char* RsCompressionRarExtensions = "*.rar;*.r00";
inline constexpr const char* RsCompressionArjName = "Arj archive";
inline constexpr const char* RsCompressionArjExtensions = "*.arj";
inline constexpr const char* RsCompressionZName = "Z archive";
inline constexpr const char* RsCompressionZExtensions = "*.z;*.taz";
inline constexpr const char* RsCompressionLzhName = "Lzh archive";
inline constexpr const char* RsCompressionLzhExtensions = "*.lzh;*.lha";
inline constexpr const char* RsCompression7zName = "7z archive";
inline constexpr const char* RsCompression7zExtensions = "*.7z";
inline constexpr const char* RsCompressionCabName = "Cab archive";
inline constexpr const char* RsCompressionCabExtensions = "*.cab";
inline constexpr const char* RsCompressionNsisName = "Nsis archive";
inline constexpr const char* RsCompressionNsisExtensions = "*.nsis";
inline constexpr const char* RsCompressionLzmaName = "Lzma archive";
inline constexpr const char* RsCompressionLzmaExtensions = "*.lzma";
inline constexpr const char* RsCompressionLzma86Name = "Lzma86 archive";
inline constexpr const char* RsCompressionLzma86Extensions = "*.lzma86";
inline constexpr const char* RsCompressionXzName = "Xz archive";
inline constexpr const char* RsCompressionXzExtensions = "*.xz;*.txz";
inline constexpr const char* RsCompressionPeName = "Pe archive";
inline constexpr const char* RsCompressionPeExtensions = "*.exe;*.dll;*.sys;*.bpl";
inline constexpr const char* RsCompressionElfName = "Elf archive";
inline constexpr const char* RsCompressionElfExtensions = "*.";
inline constexpr const char* RsCompressionMachoName = "Mach-O archive";
inline constexpr const char* RsCompressionMachoExtensions = "*.";
inline constexpr const char* RsCompressionUdfName = "Udf archive";
inline constexpr const char* RsCompressionUdfExtensions = "*.iso";
inline constexpr const char* RsCompressionXarName = "Xar archive";
inline constexpr const char* RsCompressionXarExtensions = "*.xar";
inline constexpr const char* RsCompressionMubName = "Mub archive";
inline constexpr const char* RsCompressionMubExtensions = "*.";
inline constexpr const char* RsCompressionHfsName = "Hfs archive";
inline constexpr const char* RsCompressionHfsExtensions = "*.hfs";
inline constexpr const char* RsCompressionDmgName = "Dmg archive";
inline constexpr const char* RsCompressionDmgExtensions = "*.dmg";
inline constexpr const char* RsCompressionCompoundName = "Compound archive";
inline constexpr const char* RsCompressionCompoundExtensions = "*.msi;*.msp;*.doc;*.xls;*.ppt";
inline constexpr const char* RsCompressionWimName = "Wim archive";
inline constexpr const char* RsCompressionWimExtensions = "*.wim;*.swm";
inline constexpr const char* RsCompressionIsoName = "Iso archive";
inline constexpr const char* RsCompressionIsoExtensions = "*.iso";
inline constexpr const char* RsCompressionChmName = "Chm archive";
inline constexpr const char* RsCompressionChmExtensions = "*.chm;*.chi;*.chq;*.chw;*.hxs;*.hxi;*.hxr;*.hxq;*.hxw;*.lit";
inline constexpr const char* RsCompressionSplitName = "Split archive";
inline constexpr const char* RsCompressionSplitExtensions = "*.001";
inline constexpr const char* RsCompressionRpmName = "Rpm archive";
inline constexpr const char* RsCompressionRpmExtensions = "*.rpm";
inline constexpr const char* RsCompressionDebName = "Deb archive";
inline constexpr const char* RsCompressionDebExtensions = "*.deb";
inline constexpr const char* RsCompressionCpioName = "Cpio archive";
inline constexpr const char* RsCompressionCpioExtensions = "*.cpio";
inline constexpr const char* RsCompressionTarName = "Tar archive";
inline constexpr const char* RsCompressionTarExtensions = "*.tar";
inline constexpr const char* RsCompressionGZipName = "GZip archive";
inline constexpr const char* RsCompressionGZipExtensions = "*.gz;*.gzip;*.tgz;*.tpz";
inline constexpr const char* RsCompressionNtfsName = "Ntfs archive";
inline constexpr const char* RsCompressionNtfsExtensions = "*.ntfs;*.img";
inline constexpr const char* RsCompressionFatName = "Fat archive";
inline constexpr const char* RsCompressionFatExtensions = "*.fat;*.img";
inline constexpr const char* RsCompressionMbrName = "Mbr archive";
inline constexpr const char* RsCompressionMbrExtensions = "*.mbr";
inline constexpr const char* RsCompressionVhdName = "Vhd archive";
inline constexpr const char* RsCompressionVhdExtensions = "*.vhd;*.mbr";
inline constexpr const char* RsCompressionMslzName = "MsLZ archive";
inline constexpr const char* RsCompressionMslzExtensions = "*.";
inline constexpr const char* RsCompressionFlvName = "Flv archive";
inline constexpr const char* RsCompressionFlvExtensions = "*.flv";
inline constexpr const char* RsCompressionSwfName = "Swf archive";
inline constexpr const char* RsCompressionSwfExtensions = "*.swf";
inline constexpr const char* RsCompressionSwfcName = "Swf archive";
inline constexpr const char* RsCompressionSwfcExtensions = "*.swf";

}  // namespace JclResources
