#include "constraints/kvx-controlconstraints.h"

#include <ctype.h>
#include <stdlib.h>

/* The key is consumed: the field never sees it. */
static const OSStatus kKeyRefused = noErr;

static const EventTypeSpec kKeyboardEvents[] = {
    {kEventClassKeyboard, kEventRawKeyDown},
    {kEventClassKeyboard, kEventRawKeyRepeat},
};
static const ItemCount kKeyboardEventCount = sizeof(kKeyboardEvents) / sizeof(kKeyboardEvents[0]);

/* Printable in the current classification; bytes 0x80 and above are
 * negative as signed characters and never printable. */
static Boolean IsPrintableKey(SInt8 inKeyPressed)
{
    return inKeyPressed >= 0 && isprint((unsigned char)inKeyPressed) != 0;
}

void *AttachTextLengthConstraint(ControlRef inTextField, SInt32 inMaxLength)
{
    return AttachTextConstraint(inTextField, kKVXTextLengthConstraint, inMaxLength);
}

void *AttachTextDigitOnlyConstraint(ControlRef inTextField)
{
    return AttachTextConstraint(inTextField, kKVXTextDigitOnlyConstraint, 0);
}

void *AttachTextConstraint(ControlRef inTextField, SInt32 inConstraintType, SInt32 inMaxLength)
{
    KVX_LengthConstraintContextPtr constraint =
        (KVX_LengthConstraintContextPtr)calloc(1, sizeof(KVX_LengthConstraintContext));
    if (constraint == NULL)
        return NULL;

    constraint->constraintToApply = inConstraintType;
    constraint->maxLength = inMaxLength;
    constraint->controlToConstrain = inTextField;
    constraint->thisEventFunction = NewEventHandlerUPP(TextConstraint);

    OSStatus status = InstallEventHandler(GetControlEventTarget(inTextField), constraint->thisEventFunction,
                                          kKeyboardEventCount, kKeyboardEvents, constraint,
                                          &constraint->thisEventHandler);
    if (status != noErr) {
        DisposeEventHandlerUPP(constraint->thisEventFunction);
        free(constraint);
        return NULL;
    }
    return constraint;
}

void DetachTextConstraint(void *inControlConstraint)
{
    if (inControlConstraint == NULL)
        return;
    KVX_LengthConstraintContextPtr constraint = (KVX_LengthConstraintContextPtr)inControlConstraint;
    RemoveEventHandler(constraint->thisEventHandler);
    DisposeEventHandlerUPP(constraint->thisEventFunction);
    free(constraint);
}

OSStatus TextConstraint(EventHandlerCallRef inHandlerCallRef, EventRef inEvent, void *inUserData)
{
    (void)inHandlerCallRef;
    KVX_LengthConstraintContextPtr constraint = (KVX_LengthConstraintContextPtr)inUserData;

    char keyPressed = 0;
    OSStatus status =
        GetEventParameter(inEvent, kEventParamKeyMacCharCodes, typeChar, NULL, sizeof(keyPressed), NULL, &keyPressed);
    if (status != noErr)
        return eventNotHandledErr;

    /* Editing and navigation keys always reach the field, however full it is. */
    if (!IsPrintableKey((SInt8)keyPressed))
        return eventNotHandledErr;

    switch (constraint->constraintToApply) {
    case kKVXTextLengthConstraint:
        return TextLengthConstraint(constraint->controlToConstrain, constraint->maxLength);
    case kKVXTextDigitOnlyConstraint:
        return TextDigitOnlyConstraint((SInt8)keyPressed);
    default:
        return eventNotHandledErr;
    }
}

OSStatus TextLengthConstraint(ControlRef textFieldControl, SInt32 inMaxLength)
{
    CFStringRef text = NULL;
    OSErr readStatus = GetControlData(textFieldControl, kControlEntireControl, kControlEditTextCFStringTag,
                                      sizeof(CFStringRef), &text, NULL);
    if (readStatus != noErr)
        return eventNotHandledErr;
    if (text == NULL)
        return kKeyRefused;

    OSStatus result = eventNotHandledErr;
    if (CFStringGetLength(text) >= inMaxLength) {
        /* At the limit a key may still replace a selection. */
        ControlEditTextSelectionRec selection = {0, 0};
        readStatus = GetControlData(textFieldControl, kControlEntireControl, kControlEditTextSelectionTag,
                                    sizeof(selection), &selection, NULL);
        if (readStatus == noErr && selection.selEnd - selection.selStart <= 0)
            result = kKeyRefused;
    }
    CFRelease(text);
    return result;
}

OSStatus TextDigitOnlyConstraint(SInt8 inKeyPressed)
{
    if (inKeyPressed >= '0' && inKeyPressed <= '9')
        return eventNotHandledErr;
    return kKeyRefused;
}
