/* What a host program (the dialog, a test) needs beyond the platform's own
 * operations: live-object accounting, fault injection, running the run loop,
 * opening bundles and loading plug-ins, making print sessions and tickets,
 * and sending a user's clicks and keys as events. */
#ifndef KVX_KVXHOST_H
#define KVX_KVXHOST_H

#include "PrintCore.h"

#ifdef __cplusplus
extern "C" {
#endif
/* Public: the host library exports these names, whatever its default. */
#pragma GCC visibility push(default)

/* ---- Live objects -------------------------------------------------------- */

/* Objects alive now; constants (CFSTR strings, constant UUIDs) and opened
 * bundles do not count. typeID 0: all types. */
CFIndex KVXHostGetLiveObjectCount(CFTypeID typeID);
/* One line "TypeName: count" per type with live objects, on stderr. */
void KVXHostShowLiveObjects(void);

CFTypeID KVXWindowGetTypeID(void);
CFTypeID KVXControlGetTypeID(void);
CFTypeID KVXMenuGetTypeID(void);
CFTypeID KVXEventGetTypeID(void);
CFTypeID KVXEventHandlerGetTypeID(void);
CFTypeID KVXNibGetTypeID(void);
CFTypeID KVXPrintSessionGetTypeID(void);
CFTypeID KVXTicketGetTypeID(void);
CFTypeID KVXPPDContextGetTypeID(void);

/* ---- Text for people ----------------------------------------------------- */

/* Where CFShow's text goes, one call per text without its newline; null
 * (the default): a line on stderr. A host inside another program (the GTK
 * module) sends it to that program's log instead. */
typedef void (*KVXShowSink)(const char *text);
void KVXHostSetShowSink(KVXShowSink sink);

/* ---- Fault injection, for tests ------------------------------------------ */

typedef enum KVXHostFault {
    kKVXFaultTimerCreate,         /* CFRunLoopTimerCreate returns null */
    kKVXFaultInstallEventHandler, /* InstallEventHandler returns memFullErr */
    kKVXFaultGetControlText,      /* GetControlData 'cfst' returns errDataNotSupported */
    kKVXFaultGetControlSelection, /* GetControlData 'sele' returns errDataNotSupported */
    kKVXFaultCopyMenuItemText,    /* CopyMenuItemTextAsCFString returns menuItemNotFoundErr */
    kKVXFaultGetWindowBounds,     /* GetWindowBounds returns errInvalidWindowRef */
    kKVXFaultCopyWindowTitle,     /* CopyWindowTitleAsCFString returns errInvalidWindowRef */
    kKVXFaultPPDOpen,             /* ppdOpenCompiledPPDFromTicket returns fnfErr */
    kKVXFaultPPDClose,            /* ppdCloseCompiledPPDFromTicket closes, then returns paramErr */
    kKVXFaultGetInvocationString, /* ppdGetInvocationString returns paramErr, buffer untouched */
    kKVXFaultAllocate,            /* CFAllocatorAllocate returns null */
    kKVXFaultCount
} KVXHostFault;

/* The next `times` calls of the operation fail; times < 0: every call. */
void KVXHostFailNext(KVXHostFault fault, SInt32 times);
void KVXHostClearFaults(void);

/* ---- Plug-in registry ---------------------------------------------------- */

CFIndex KVXPlugInGetInstanceCountForFactory(CFUUIDRef factoryID);

/* ---- Run loop ------------------------------------------------------------ */

/* Fires, in order of fire date, every valid timer of rl due at `now`, each
 * at most once; a repeating timer is then due again after its interval, a
 * one-shot timer becomes invalid. Returns how many fired. */
CFIndex KVXRunLoopRunDueTimers(CFRunLoopRef rl, CFAbsoluteTime now);
/* The same for the current thread's run loop at the current time. */
CFIndex KVXRunLoopRunOnce(void);

/* ---- Bundles and plug-ins ------------------------------------------------ */

/* Opens the bundle folder at path (NAME.plugin): reads Contents/Info.plist.
 * An opened bundle stays open for the process and is not a live object.
 * Opening the same path again gives the same bundle. On failure null, and
 * *outError (if given) a new string saying why. */
CFBundleRef KVXBundleOpen(const char *path, CFStringRef *outError);
/* The bundle folder's path, Contents/MacOS/<CFBundleExecutable>, and
 * Contents/Resources; new strings. */
CFStringRef KVXBundleCopyPath(CFBundleRef bundle);
CFStringRef KVXBundleCopyExecutablePath(CFBundleRef bundle);
CFStringRef KVXBundleCopyResourcesPath(CFBundleRef bundle);

/* Opens the interface file at path, as CreateNibReferenceWithCFBundle does
 * with a bundle's Resources/NAME.nib: kIBCarbonRuntimeCantFindNibFile when
 * it cannot be read, kKVXNibMalformedErr (the reason on stderr) when it is
 * not a well-formed interface file. */
enum { kKVXNibMalformedErr = -10969 };
OSStatus KVXCreateNibReferenceWithPath(const char *path, IBNibRef *outNibRef);

/* Parses a .strings table (UTF-8, or UTF-16 with a byte-order mark). On a
 * malformed table null and *outError a new string naming the line. */
CFDictionaryRef KVXStringsTableCreateFromData(const UInt8 *bytes, CFIndex length, CFStringRef *outError);

/* Called once per instance made (error null), or once per bundle or factory
 * that could not load (instance null, error says why; borrowed). */
typedef void (*KVXPlugInLoadCallBack)(const char *bundlePath, void *instance, CFStringRef error, void *info);
/* For each *.plugin folder in folder, in name order: opens it, reads its
 * registration (CFPlugInTypes: type UUID -> factory UUIDs; CFPlugInFactories:
 * factory UUID -> function name), dlopens the executable, looks each factory
 * function up and calls it with allocator null and typeID. One bad bundle
 * never stops the others. Returns the number of instances made, or -1 when
 * the folder cannot be read. */
CFIndex KVXLoadPlugInsForType(const char *folder, CFUUIDRef typeID, KVXPlugInLoadCallBack callback, void *info);

/* Reads an XML or binary property-list file into strings, numbers,
 * booleans, data, arrays and dictionaries (dates become strings in ISO 8601
 * form). Null and *outError (a new string) when the file cannot be read or
 * parsed. */
CFPropertyListRef KVXPropertyListCreateFromFile(const char *path, CFStringRef *outError);
/* Writes an XML property list; false and *outError on failure. */
Boolean KVXPropertyListWriteToFile(CFPropertyListRef plist, const char *path, CFStringRef *outError);

/* ---- Print sessions and tickets ------------------------------------------ */

/* A new, empty session; release with CFRelease. */
OSStatus KVXPrintSessionCreate(PMPrintSession *outSession);
/* Stores the ticket's handle under name ("PMPrintSettingsTicket",
 * "PMPrinterInfoTicket") as a 32-bit signed number. */
OSStatus KVXSessionSetTicket(PMPrintSession session, CFStringRef name, PMTicketRef ticket);
/* A print-settings ticket with an empty PPD dictionary; 0 on failure. */
PMTicketRef KVXTicketCreatePrintSettings(void);
/* A printer-info ticket bound to a PPD file; the file is read only when the
 * PPD is opened. 0 on failure. */
PMTicketRef KVXTicketCreatePrinterInfo(const char *ppdPath);
void KVXTicketRelease(PMTicketRef ticket);
/* Cumulative counts of ppdOpenCompiledPPDFromTicket calls that opened a PPD
 * and of ppdCloseCompiledPPDFromTicket calls. */
CFIndex KVXPPDGetOpenCount(void);
CFIndex KVXPPDGetCloseCount(void);

/* ---- A user's actions ----------------------------------------------------- */

/* A disabled control takes no clicks or keys: nothing is sent. */
enum { kKVXControlDisabledErr = -30620 };

/* A click or a choice in the control: a command-process event
 * (HICommandExtended with kHICommandFromControl) sent to the control. */
OSStatus KVXSendCommandFromControl(ControlRef control, UInt32 commandID);
/* A key on the control: a raw key event (kEventRawKeyDown or
 * kEventRawKeyRepeat) carrying ch as 'kuni', its Mac Roman byte as 'kchr'
 * ('?' when Mac Roman lacks it) and the modifiers as 'kmod'. */
OSStatus KVXSendKeyToControl(ControlRef control, UInt32 kind, UniChar ch, UInt32 modifiers);

#pragma GCC visibility pop

#ifdef __cplusplus
}
#endif

#endif
