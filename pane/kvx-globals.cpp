#include "pane/kvx-globals.h"

#include <stdlib.h>

KVX_PDEContextPtr CreateKVXContext(void)
{
    return (KVX_PDEContextPtr)calloc(1, sizeof(KVX_PDEContext));
}

KVX_PDEContextPtr GetKVXContext(PMPDEContext inContext)
{
    return (KVX_PDEContextPtr)inContext;
}

void DisposeKVXContext(KVX_PDEContextPtr inContext)
{
    free(inContext);
}
