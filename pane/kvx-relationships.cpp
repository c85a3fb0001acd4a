#include "pane/kvx-relationships.h"

#include "pane/kvx-globals.h"
#include "pane/kvx-popups.h"

static const EventTypeSpec kCommandEvents[] = {{kEventClassCommand, kEventCommandProcess}};
static const ItemCount kCommandEventCount = sizeof(kCommandEvents) / sizeof(kCommandEvents[0]);

/* The timer repeats only so that it stays valid for re-arming; a day past
 * the current absolute time keeps its own repeat out of a pane's life. */
static const CFTimeInterval kOneDayInSeconds = 86400;

#define kTimerCreationFailedMessage "Relationship timer creation failed! Probably lack of memory."

void AttachRelationshipHandlers(PMPDEContext context)
{
    KVX_PDEContextPtr kvxContext = GetKVXContext(context);
    kvxContext->relationshipHandlerUPP = NewEventHandlerUPP(HandleRelationships);
    OSStatus status = InstallEventHandler(GetControlEventTarget(kvxContext->control_InvisiblePane),
                                          kvxContext->relationshipHandlerUPP, kCommandEventCount, kCommandEvents,
                                          kvxContext, &kvxContext->relationshipEventRef);
    if (status != noErr) {
        DisposeEventHandlerUPP(kvxContext->relationshipHandlerUPP);
        kvxContext->relationshipHandlerUPP = NULL;
        kvxContext->relationshipEventRef = NULL;
    }
}

void DetachRelationshipHandlers(PMPDEContext context)
{
    KVX_PDEContextPtr kvxContext = GetKVXContext(context);
    if (kvxContext->relationshipEventRef != NULL) {
        RemoveEventHandler(kvxContext->relationshipEventRef);
        kvxContext->relationshipEventRef = NULL;
    }
    if (kvxContext->relationshipHandlerUPP != NULL) {
        DisposeEventHandlerUPP(kvxContext->relationshipHandlerUPP);
        kvxContext->relationshipHandlerUPP = NULL;
    }
}

OSStatus HandleRelationships(EventHandlerCallRef inHandlerCallRef, EventRef inEvent, void *inUserData)
{
    (void)inHandlerCallRef;
    (void)inEvent;
    ScheduleRelationshipUpdate(inUserData);
    return eventNotHandledErr;
}

void ScheduleRelationshipUpdate(void *inUserData)
{
    KVX_PDEContextPtr kvxContext = GetKVXContext(inUserData);
    if (kvxContext->updateRelationshipsTimer != NULL) {
        CFRunLoopTimerSetNextFireDate(kvxContext->updateRelationshipsTimer, CFAbsoluteTimeGetCurrent());
        return;
    }

    CFRunLoopTimerContext timerContext = {0, NULL, NULL, NULL, NULL};
    timerContext.info = inUserData;
    CFAbsoluteTime now = CFAbsoluteTimeGetCurrent();
    kvxContext->updateRelationshipsTimer = CFRunLoopTimerCreate(
        kCFAllocatorDefault, now, now + kOneDayInSeconds, 0, 0, DelayedRelationshipCallback, &timerContext);
    if (kvxContext->updateRelationshipsTimer != NULL)
        CFRunLoopAddTimer(CFRunLoopGetCurrent(), kvxContext->updateRelationshipsTimer, kCFRunLoopCommonModes);
    else
        syslog(LOG_ERR, kTimerCreationFailedMessage);
}

void DelayedRelationshipCallback(CFRunLoopTimerRef timer, void *inUserData)
{
    (void)timer;
    EnforcePrivatePrintModeRelationship(inUserData);
    EnforceDepartmentCodeRelationship(inUserData);
}

void EnforceRelationships(PMPDEContext context)
{
    EnforcePrivatePrintModeRelationship(context);
    EnforceDepartmentCodeRelationship(context);
}

void EnforcePrivatePrintModeRelationship(PMPDEContext context)
{
    KVX_PDEContextPtr kvxContext = GetKVXContext(context);
    CFStringRef privatePrintMode = GetPrintMode(kvxContext->control_PrintMode);
    if (CFStringCompare(privatePrintMode, kPrintModePrivate, 0) == kCFCompareEqualTo)
        EnableControl(kvxContext->control_DIN);
    else
        DisableControl(kvxContext->control_DIN);
}

void EnforceDepartmentCodeRelationship(PMPDEContext context)
{
    KVX_PDEContextPtr kvxContext = GetKVXContext(context);
    CFStringRef departmentSwitch = GetDepartmentCode(kvxContext->control_Department);
    if (CFStringCompare(departmentSwitch, kDepartmentCodeOn, 0) == kCFCompareEqualTo)
        EnableControl(kvxContext->control_DC);
    else
        DisableControl(kvxContext->control_DC);
}
