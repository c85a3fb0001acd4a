/* The host's user-interface toolbox: windows, controls, menus, events and
 * interface files. The system log is the real syslog(3).
 *
 * Windows, controls, menus, events, event handlers and interface-file
 * references are host objects: they count as live objects until disposed. */
#ifndef KVX_CARBON_H
#define KVX_CARBON_H

#include <syslog.h>

#include "CoreFoundation.h"

#ifdef __cplusplus
extern "C" {
#endif
/* Public: the host library exports these names, whatever its default. */
#pragma GCC visibility push(default)

typedef struct OpaqueWindowPtr *WindowRef;
typedef struct OpaqueControlRef *ControlRef;
typedef struct OpaqueMenuRef *MenuRef;
typedef struct OpaqueEventRef *EventRef;
typedef struct OpaqueEventHandlerRef *EventHandlerRef;
typedef struct OpaqueEventHandlerCallRef *EventHandlerCallRef;
typedef struct OpaqueEventTargetRef *EventTargetRef;
typedef struct OpaqueIBNibRef *IBNibRef;

typedef SInt16 ControlPartCode;
typedef UInt16 MenuItemIndex;
typedef SInt16 MenuID;
typedef UInt32 MenuAttributes;
typedef UInt32 MenuItemAttributes;
typedef UInt32 MenuCommand;
typedef UInt16 WindowRegionCode;
typedef UInt32 WindowClass;
typedef UInt32 WindowAttributes;
typedef UInt32 EventParamName;
typedef UInt32 EventParamType;
typedef double EventTime;
typedef UInt32 EventAttributes;

enum {
    eventNotHandledErr = -9874,
    eventParameterNotFoundErr = -9870,
    eventInternalErr = -9868,
    errInvalidWindowRef = -5600,
    menuItemNotFoundErr = -5620,
    errDataNotSupported = -30581,
    errUnknownControl = -30584,
    errDataSizeMismatch = -30598,
    kIBCarbonRuntimeCantFindNibFile = -10960,
    kIBCarbonRuntimeObjectNotOfRequestedType = -10961,
    kIBCarbonRuntimeCantFindObject = -10962
};

/* ---- Windows ------------------------------------------------------------- */

enum { kDocumentWindowClass = 6 };
enum { kWindowStructureRgn = 32, kWindowContentRgn = 33 };

/* contentBounds in global coordinates; the window holds a root control. */
OSStatus CreateNewWindow(WindowClass windowClass, WindowAttributes attributes, const Rect *contentBounds,
                         WindowRef *outWindow);
/* Disposes the window and every control still in it. */
void DisposeWindow(WindowRef window);
OSStatus GetWindowBounds(WindowRef window, WindowRegionCode regionCode, Rect *globalBounds);
OSStatus SetWindowTitleWithCFString(WindowRef window, CFStringRef title);
OSStatus CopyWindowTitleAsCFString(WindowRef window, CFStringRef *outTitle);
OSStatus GetRootControl(WindowRef window, ControlRef *outControl);
EventTargetRef GetWindowEventTarget(WindowRef window);

/* ---- Controls ------------------------------------------------------------ */

typedef struct ControlID {
    OSType signature;
    SInt32 id;
} ControlID;

typedef struct ControlKind {
    OSType signature;
    OSType kind;
} ControlKind;

enum {
    kControlKindSignatureApple = 'appl',
    kControlKindUserPane = 'upan',
    kControlKindPopupButton = 'popb',
    kControlKindEditUnicodeText = 'eutx',
    kControlKindStaticText = 'stxt'
};

enum { kControlEntireControl = 0 };
enum {
    kControlEditTextCFStringTag = 'cfst', /* data: one CFStringRef; get hands out a copy */
    kControlEditTextSelectionTag = 'sele' /* data: ControlEditTextSelectionRec */
};

typedef struct ControlEditTextSelectionRec {
    SInt16 selStart;
    SInt16 selEnd;
} ControlEditTextSelectionRec;

/* Each new control is embedded in the window's root control, with bounds in
 * the window's content coordinates. */
OSStatus CreateUserPaneControl(WindowRef window, const Rect *boundsRect, UInt32 features, ControlRef *outControl);
/* The popup retains menu (may be null: a popup without a menu). Value 1. */
OSStatus CreatePopupButtonControl(WindowRef window, const Rect *boundsRect, CFStringRef title, MenuRef menu,
                                  ControlRef *outControl);
OSStatus CreateEditUnicodeTextControl(WindowRef window, const Rect *boundsRect, CFStringRef text, Boolean isPassword,
                                      const void *style, ControlRef *outControl);
OSStatus CreateStaticTextControl(WindowRef window, const Rect *boundsRect, CFStringRef text, const void *style,
                                 ControlRef *outControl);
/* Disposes the control and everything embedded in it. */
void DisposeControl(ControlRef control);

OSStatus GetControlKind(ControlRef control, ControlKind *outKind);
OSStatus SetControlID(ControlRef control, const ControlID *inID);
OSStatus GetControlID(ControlRef control, ControlID *outID);
/* Searches every control of the window, embedded ones included. */
OSStatus GetControlByID(WindowRef window, const ControlID *inID, ControlRef *outControl);
WindowRef GetControlOwner(ControlRef control);
OSStatus GetSuperControl(ControlRef control, ControlRef *outParent);
OSStatus CountSubControls(ControlRef control, UInt16 *outNumChildren);
/* inIndex is 1-based. */
OSStatus GetIndexedSubControl(ControlRef control, UInt16 inIndex, ControlRef *outSubControl);
/* Moves inControl, with everything embedded in it, into inContainer, which
 * may belong to another window. */
OSErr EmbedControl(ControlRef inControl, ControlRef inContainer);

Rect *GetControlBounds(ControlRef control, Rect *outBounds);
void SetControlBounds(ControlRef control, const Rect *inBounds);
void OffsetRect(Rect *r, SInt16 dh, SInt16 dv);

OSStatus EnableControl(ControlRef control);
OSStatus DisableControl(ControlRef control);
Boolean IsControlEnabled(ControlRef control);

/* A popup's value is the 1-based position of its chosen item; it is stored
 * as given, not clamped to the menu. */
SInt32 GetControl32BitValue(ControlRef control);
void SetControl32BitValue(ControlRef control, SInt32 newValue);

OSStatus CopyControlTitleAsCFString(ControlRef control, CFStringRef *outTitle);
OSStatus SetControlTitleWithCFString(ControlRef control, CFStringRef title);

/* Edit fields: part 0 with kControlEditTextCFStringTag (size of one
 * CFStringRef) or kControlEditTextSelectionTag (size of the record). */
OSErr GetControlData(ControlRef inControl, ControlPartCode inPart, ResType inTagName, Size inBufferSize,
                     void *inBuffer, Size *outActualSize);
OSErr SetControlData(ControlRef inControl, ControlPartCode inPart, ResType inTagName, Size inSize, const void *inData);

EventTargetRef GetControlEventTarget(ControlRef control);

/* ---- Menus --------------------------------------------------------------- */

enum { kMenuNoMark = 0, kMenuCheckMark = 0x12 };

OSStatus CreateNewMenu(MenuID inMenuID, MenuAttributes inMenuAttributes, MenuRef *outMenuRef);
MenuRef RetainMenu(MenuRef menu);
OSStatus ReleaseMenu(MenuRef menu);
OSStatus AppendMenuItemTextWithCFString(MenuRef menu, CFStringRef inString, MenuItemAttributes inAttributes,
                                        MenuCommand inCommandID, MenuItemIndex *outNewItem);
UInt16 CountMenuItems(MenuRef menu);
/* Sets or clears the check mark of a 1-based item. */
void CheckMenuItem(MenuRef menu, MenuItemIndex item, Boolean checked);
/* kMenuCheckMark or kMenuNoMark. */
void GetItemMark(MenuRef menu, MenuItemIndex item, UInt16 *outMark);
OSStatus CopyMenuItemTextAsCFString(MenuRef menu, MenuItemIndex item, CFStringRef *outString);
/* Borrowed; null for a popup without a menu. */
MenuRef GetControlPopupMenuHandle(ControlRef control);
void SetControlPopupMenuHandle(ControlRef control, MenuRef menu);

/* ---- Events -------------------------------------------------------------- */

enum {
    kEventClassCommand = 'cmds',
    kEventCommandProcess = 1,
    kEventClassKeyboard = 'keyb',
    kEventRawKeyDown = 1,
    kEventRawKeyRepeat = 2
};
enum {
    kEventParamDirectObject = '----',
    kEventParamKeyMacCharCodes = 'kchr', /* typeChar: the key as one Mac Roman byte, '?' if it has none */
    kEventParamKeyUnicodes = 'kuni',     /* typeUnicodeText: the key's UTF-16 units */
    kEventParamKeyModifiers = 'kmod',    /* typeUInt32 */
    typeChar = 'TEXT',
    typeUnicodeText = 'utxt',
    typeUInt32 = 'magn',
    typeHICommand = 'hcmd'
};
/* Character codes of the editing and navigation keys. */
enum {
    kHomeCharCode = 0x01,
    kEnterCharCode = 0x03,
    kEndCharCode = 0x04,
    kBackspaceCharCode = 0x08,
    kTabCharCode = 0x09,
    kReturnCharCode = 0x0D,
    kEscapeCharCode = 0x1B,
    kLeftArrowCharCode = 0x1C,
    kRightArrowCharCode = 0x1D,
    kUpArrowCharCode = 0x1E,
    kDownArrowCharCode = 0x1F,
    kDeleteCharCode = 0x7F
};
enum { kHICommandFromControl = 1 << 0 };

typedef struct HICommandExtended {
    UInt32 attributes;
    UInt32 commandID;
    ControlRef control; /* the source, with kHICommandFromControl */
} HICommandExtended;

typedef struct EventTypeSpec {
    UInt32 eventClass;
    UInt32 eventKind;
} EventTypeSpec;

typedef OSStatus (*EventHandlerProcPtr)(EventHandlerCallRef inHandlerCallRef, EventRef inEvent, void *inUserData);
typedef EventHandlerProcPtr EventHandlerUPP;

EventHandlerUPP NewEventHandlerUPP(EventHandlerProcPtr userRoutine);
void DisposeEventHandlerUPP(EventHandlerUPP userUPP);
/* The latest installed handler of a target is called first. */
OSStatus InstallEventHandler(EventTargetRef inTarget, EventHandlerUPP inHandler, ItemCount inNumTypes,
                             const EventTypeSpec *inList, void *inUserData, EventHandlerRef *outRef);
OSStatus RemoveEventHandler(EventHandlerRef inHandlerRef);
OSStatus CallNextEventHandler(EventHandlerCallRef inCallRef, EventRef inEvent);

OSStatus CreateEvent(CFAllocatorRef inAllocator, UInt32 inClassID, UInt32 inKind, EventTime inWhen,
                     EventAttributes inAttributes, EventRef *outEvent);
EventRef RetainEvent(EventRef inEvent);
void ReleaseEvent(EventRef inEvent);
UInt32 GetEventClass(EventRef inEvent);
UInt32 GetEventKind(EventRef inEvent);
OSStatus SetEventParameter(EventRef inEvent, EventParamName inName, EventParamType inType, ByteCount inSize,
                           const void *inDataPtr);
/* Copies at most inBufferSize bytes; types are converted only as 'kchr'
 * read as typeChar needs none. */
OSStatus GetEventParameter(EventRef inEvent, EventParamName inName, EventParamType inDesiredType,
                           EventParamType *outActualType, ByteCount inBufferSize, ByteCount *outActualSize,
                           void *outData);
/* Calls the target's handlers, latest first, until one returns other than
 * eventNotHandledErr; then the toolbox's standard handling: a command that no
 * handler of a control ended goes on to its container, up to the window; a
 * raw key that no handler of an edit field ended edits the field. Returns the
 * status that ended the event, or eventNotHandledErr. */
OSStatus SendEventToEventTarget(EventRef inEvent, EventTargetRef inTarget);

/* ---- Interface files ----------------------------------------------------- */

/* Opens Resources/NAME.nib of the bundle. */
OSStatus CreateNibReferenceWithCFBundle(CFBundleRef inBundle, CFStringRef inNibName, IBNibRef *outNibRef);
/* Makes the window; on any failure no window and a nonzero status. */
OSStatus CreateWindowFromNib(IBNibRef inNibRef, CFStringRef inName, WindowRef *outWindow);
void DisposeNibReference(IBNibRef inNibRef);

#pragma GCC visibility pop

#ifdef __cplusplus
}
#endif

#endif
