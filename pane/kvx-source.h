/* The pane's callbacks, reached by the dialog through the PDE interface table. */
#ifndef KVX_SOURCE_H
#define KVX_SOURCE_H

#include "PrintCore.h"

OSStatus Prologue(PMPDEContext *context, OSType *creator, CFStringRef *userOptionKind, CFStringRef *title,
                  UInt32 *maxH, UInt32 *maxV);
OSStatus Initialize(PMPDEContext context, PMPDEFlags *flags, PMPDERef ref, ControlRef parentUserPane,
                    PMPrintSession printSession);
OSStatus Sync(PMPDEContext context, PMPrintSession printSession, Boolean reinitializePlugin);
OSStatus GetSummaryText(PMPDEContext context, CFArrayRef *titleArray, CFArrayRef *summaryArray);
OSStatus Open(PMPDEContext context);
OSStatus Close(PMPDEContext context);
OSStatus Terminate(PMPDEContext context, OSStatus status);

#endif
