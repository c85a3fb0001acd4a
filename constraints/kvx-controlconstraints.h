/* Keystroke constraints on editable text fields: a length limit and digits
 * only. Each attached constraint is a record of its own with its own keyboard
 * handler on the field; callers keep it as an untyped pointer and hand it
 * back to DetachTextConstraint. */
#ifndef KVX_CONTROLCONSTRAINTS_H
#define KVX_CONTROLCONSTRAINTS_H

#include "Carbon.h"

enum {
    kKVXTextLengthConstraint = 1,
    kKVXTextDigitOnlyConstraint = 2
};

typedef struct KVX_LengthConstraintContext {
    ControlRef controlToConstrain;
    SInt32 constraintToApply;
    SInt32 maxLength;
    EventHandlerUPP thisEventFunction;
    EventHandlerRef thisEventHandler;
} KVX_LengthConstraintContext, *KVX_LengthConstraintContextPtr;

/* Each returns the new constraint record, or null when it cannot be made or
 * its handler cannot be installed (the field then goes unconstrained). */
void *AttachTextLengthConstraint(ControlRef inTextField, SInt32 inMaxLength);
void *AttachTextDigitOnlyConstraint(ControlRef inTextField);
void *AttachTextConstraint(ControlRef inTextField, SInt32 inConstraintType, SInt32 inMaxLength);
/* Removes the handler and frees the record; null does nothing. */
void DetachTextConstraint(void *inControlConstraint);

/* The keyboard handler and its two rules: 0 consumes the key,
 * eventNotHandledErr lets it reach the field. */
OSStatus TextConstraint(EventHandlerCallRef inHandlerCallRef, EventRef inEvent, void *inUserData);
OSStatus TextLengthConstraint(ControlRef textFieldControl, SInt32 inMaxLength);
OSStatus TextDigitOnlyConstraint(SInt8 inKeyPressed);

#endif
