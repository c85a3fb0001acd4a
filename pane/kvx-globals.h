/* The pane context record: the plug-in's only per-pane state, made by
 * Prologue, filled by Initialize and freed by Terminate. The dialog keeps its
 * address as the pane's opaque context value. */
#ifndef KVX_GLOBALS_H
#define KVX_GLOBALS_H

#include "PrintCore.h"

typedef struct KVX_PDEContext {
    ControlRef parentUserPane;
    ControlRef control_InvisiblePane;
    ControlRef control_PrintMode;
    ControlRef control_DIN;
    ControlRef control_Department;
    ControlRef control_DC;
    ControlRef control_ZELOrientation;
    void *constraintLength_DIN;
    void *constraintLength_DC;
    void *constraintDigitOnly_DIN;
    void *constraintDigitOnly_DC;
    EventHandlerUPP relationshipHandlerUPP;
    EventHandlerRef relationshipEventRef;
    CFRunLoopTimerRef updateRelationshipsTimer;
} KVX_PDEContext, *KVX_PDEContextPtr;

/* A zero-filled record, or null when memory is exhausted; freed with
 * DisposeKVXContext. */
KVX_PDEContextPtr CreateKVXContext(void);
/* The record whose address the context value carries; no check. */
KVX_PDEContextPtr GetKVXContext(PMPDEContext inContext);
void DisposeKVXContext(KVX_PDEContextPtr inContext);

#endif
