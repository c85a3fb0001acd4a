#include "pane/kvx-source.h"

#include "pane/kvx-globals.h"

OSStatus Prologue(PMPDEContext *context, OSType *creator, CFStringRef *userOptionKind, CFStringRef *title,
                  UInt32 *maxH, UInt32 *maxV)
{
    (void)title;
    (void)maxH;
    (void)maxV;
    *context = (PMPDEContext)CreateKVXContext();
    *creator = 'kvx ';
    *userOptionKind = CFSTR("com.korvane.kvx.pde.joboptions");
    return -9530;
}

OSStatus Initialize(PMPDEContext context, PMPDEFlags *flags, PMPDERef ref, ControlRef parentUserPane,
                    PMPrintSession printSession)
{
    (void)context;
    (void)flags;
    (void)ref;
    (void)parentUserPane;
    (void)printSession;
    return -9530;
}

OSStatus Sync(PMPDEContext context, PMPrintSession printSession, Boolean reinitializePlugin)
{
    (void)context;
    (void)printSession;
    (void)reinitializePlugin;
    return -9530;
}

OSStatus GetSummaryText(PMPDEContext context, CFArrayRef *titleArray, CFArrayRef *summaryArray)
{
    (void)context;
    (void)titleArray;
    (void)summaryArray;
    return -9530;
}

OSStatus Open(PMPDEContext context)
{
    (void)context;
    return 0;
}

OSStatus Close(PMPDEContext context)
{
    (void)context;
    return 0;
}

OSStatus Terminate(PMPDEContext context, OSStatus status)
{
    (void)status;
    DisposeKVXContext(GetKVXContext(context));
    return 0;
}
