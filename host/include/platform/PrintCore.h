/* The host's printing system: print sessions, tickets, the printer's PPD,
 * and the print dialog extension (PDE) plug-in interface. */
#ifndef KVX_PRINTCORE_H
#define KVX_PRINTCORE_H

#include "Carbon.h"

#ifdef __cplusplus
extern "C" {
#endif
/* Public: the host library exports these names, whatever its default. */
#pragma GCC visibility push(default)

/* ---- Sessions and tickets ------------------------------------------------ */

typedef struct OpaquePMPrintSession *PMPrintSession;
/* A 32-bit handle into the host's ticket table (0: no ticket): the session
 * hands it out as a 32-bit signed number. */
typedef UInt32 PMTicketRef;

#define kPDE_PMPrintSettingsRef "PMPrintSettingsTicket"
#define kPDE_PMPrinterInfoRef "PMPrinterInfoTicket"

enum {
    kPMInvalidTicket = -30891,
    kPMKeyNotFound = -30895,
    kPMInvalidParameter = -50,
    kPMGeneralError = -30870
};

/* The session's data under key: borrowed, or a nonzero status. For a ticket
 * name it is a number whose 32-bit signed value is the ticket handle. */
OSStatus PMSessionGetDataFromSession(PMPrintSession printSession, CFStringRef key, CFTypeRef *data);
/* Stores data (retained) under key; null data removes the entry. */
OSStatus PMSessionSetDataInSession(PMPrintSession printSession, CFStringRef key, CFTypeRef data);
/* The print-settings ticket's PPD dictionary: mutable, borrowed, owned by the
 * ticket. Node indices 0 and 0. */
OSStatus PMTicketGetPPDDict(PMTicketRef ticket, UInt32 nodeIndex1, UInt32 nodeIndex2, CFMutableDictionaryRef *dict);

/* ---- The printer's PPD --------------------------------------------------- */

typedef struct OpaquePPDContext *PPDContext;
typedef SInt16 Mindex; /* main-key index; 0: the PPD lacks the key */
typedef SInt16 Oindex;

/* Opens the PPD that the printer-info ticket is bound to; both outputs go
 * back to ppdCloseCompiledPPDFromTicket. fileSpec->name holds the PPD file's
 * name (at most 63 bytes). */
OSStatus ppdOpenCompiledPPDFromTicket(PMTicketRef printerInfoTicket, PPDContext *context, FSSpec *fileSpec);
Mindex ppdGetMainIndex(PPDContext context, ConstStr255Param mainKey);
/* The main key's value (option 0) as a length-prefixed Mac Roman string of
 * at most 255 bytes, converted from the PPD's LanguageEncoding. */
OSStatus ppdGetInvocationString(PPDContext context, Mindex mainIndex, Oindex optionIndex, StringPtr buffer,
                                SInt32 bufferSize);
OSStatus ppdCloseCompiledPPDFromTicket(PPDContext context, FSSpec *fileSpec);

/* ---- Print dialog extension plug-ins ------------------------------------- */

#define kPMPDETypeIDStr "BDB091F4-E57F-11D3-B5CC-0050E4603277"
#define kPMPDEInterfaceIDStr "A996FD7E-B738-11D3-8519-0050E4603277"
#define IUnknownUUID                                                                                                   \
    CFUUIDGetConstantUUIDWithBytes(NULL, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, \
                                   0x00, 0x00, 0x46)

typedef CFUUIDBytes REFIID;
enum {
    E_OUTOFMEMORY = (HRESULT)0x80000002,
    E_NOINTERFACE = (HRESULT)0x80000004
};

/* A pane's Initialize answer when it does not apply to the printer: the
 * dialog leaves the pane out. */
enum { kPMPDEPaneNotShownErr = -9530 };

typedef struct IUnknownVTbl {
    void *_reserved;
    HRESULT (*QueryInterface)(void *thisPointer, REFIID iid, LPVOID *ppv);
    ULONG (*AddRef)(void *thisPointer);
    ULONG (*Release)(void *thisPointer);
} IUnknownVTbl;

/* The opaque context value of a pane: wide enough for a pointer. */
typedef void *PMPDEContext;
typedef UInt32 PMPDEFlags;
typedef struct OpaquePMPDERef *PMPDERef;

typedef struct PMPlugInAPIVersion {
    UInt32 buildVersionMajor;
    UInt32 buildVersionMinor;
    UInt32 baseVersionMajor;
    UInt32 baseVersionMinor;
} PMPlugInAPIVersion;

typedef struct PMPlugInHeaderInterface PMPlugInHeaderInterface;
typedef struct PMPlugInHeader {
    OSStatus (*Retain)(PMPlugInHeaderInterface *obj);
    OSStatus (*Release)(PMPlugInHeaderInterface **objPtr);
    OSStatus (*GetAPIVersion)(PMPlugInHeaderInterface *obj, PMPlugInAPIVersion *versionPtr);
} PMPlugInHeader;
struct PMPlugInHeaderInterface {
    const PMPlugInHeader *vtable;
};

typedef struct PlugInIntfVTable {
    PMPlugInHeader plugInHeader;
    OSStatus (*Prologue)(PMPDEContext *context, OSType *creator, CFStringRef *userOptionKind, CFStringRef *title,
                         UInt32 *maxH, UInt32 *maxV);
    OSStatus (*Initialize)(PMPDEContext context, PMPDEFlags *flags, PMPDERef ref, ControlRef parentUserPane,
                           PMPrintSession printSession);
    OSStatus (*Sync)(PMPDEContext context, PMPrintSession printSession, Boolean reinitializePlugin);
    OSStatus (*GetSummaryText)(PMPDEContext context, CFArrayRef *titleArray, CFArrayRef *summaryArray);
    OSStatus (*Open)(PMPDEContext context);
    OSStatus (*Close)(PMPDEContext context);
    OSStatus (*Terminate)(PMPDEContext context, OSStatus status);
} PlugInIntfVTable;

typedef struct PlugInIntf {
    PlugInIntfVTable *vtable;
} PlugInIntf;

#pragma GCC visibility pop

#ifdef __cplusplus
}
#endif

#endif
