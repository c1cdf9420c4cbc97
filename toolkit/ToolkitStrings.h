/* ToolkitStrings: string-table ids 65400 to 65420 belong to the toolkit
   (message captions and button texts). Usable from C++ and from .rc files;
   ToolkitStrings.rcinc holds the English texts for an application's table. */
#ifndef ZP_TOOLKIT_STRINGS_H
#define ZP_TOOLKIT_STRINGS_H

#define SMsgDlgWarning 65400
#define SMsgDlgError 65401
#define SMsgDlgInformation 65402
#define SMsgDlgConfirm 65403
#define SMsgDlgYes 65404
#define SMsgDlgNo 65405
#define SMsgDlgOK 65406
#define SMsgDlgCancel 65407
/* The code page of the module's texts (descriptions and strings), as decimal
   digits; the build of each language module writes its own. */
#define SCodePage 65408

#endif
