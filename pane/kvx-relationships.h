/* Keeping the DIN field enabled only in the "Private" print mode and the DC
 * field only with the department switch on: at once on request, and after
 * every command inside the pane through a deferred run-loop timer. */
#ifndef KVX_RELATIONSHIPS_H
#define KVX_RELATIONSHIPS_H

#include "PrintCore.h"

/* Installs the command handler on the container control; a failed install
 * leaves both handler fields null and is not reported. */
void AttachRelationshipHandlers(PMPDEContext context);
/* Removes what AttachRelationshipHandlers installed; harmless when nothing is. */
void DetachRelationshipHandlers(PMPDEContext context);
/* Arms the relationship timer for every command; always eventNotHandledErr. */
OSStatus HandleRelationships(EventHandlerCallRef inHandlerCallRef, EventRef inEvent, void *inUserData);
/* Makes the timer on first use, then only re-arms it. */
void ScheduleRelationshipUpdate(void *inUserData);
void DelayedRelationshipCallback(CFRunLoopTimerRef timer, void *inUserData);
void EnforceRelationships(PMPDEContext context);
void EnforcePrivatePrintModeRelationship(PMPDEContext context);
void EnforceDepartmentCodeRelationship(PMPDEContext context);

#endif
