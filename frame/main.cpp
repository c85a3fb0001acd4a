/* The plug-in's entry: the factory that the print dialog's plug-in loader
 * calls, the reference-counted factory instance with its interface query,
 * and the PDE interface object whose table leads to the pane callbacks. */
#include <string.h>

#include "PrintCore.h"
#include "pane/kvx-source.h"

#define kKVXPDEFactoryIDStr "5C83E0B7-2D19-4F6A-A3B5-7E90D14C26F8"

enum {
    kPDEAPIBuildVersionMajor = 1,
    kPDEAPIBuildVersionMinor = 0,
    kPDEAPIBaseVersionMajor = 1,
    kPDEAPIBaseVersionMinor = 0
};

/* The factory instance: the host calls through vtable, which points at the
 * record's own copy of the table. */
typedef struct IUnknownInstance {
    IUnknownVTbl *vtable;
    IUnknownVTbl vtableStorage;
    CFUUIDRef factoryID;
    ULONG refCount;
} IUnknownInstance;

/* The PDE interface object; it begins with the table pointer so that the
 * host's PlugInIntf and PMPlugInHeaderInterface views of it both work. The
 * table lives in the record: one allocation, one failure to handle. */
typedef struct PrintQualityPlugInInterface {
    PlugInIntfVTable *vtable;
    UInt32 refCount;
    PlugInIntfVTable vtableStorage;
} PrintQualityPlugInInterface;

static HRESULT QueryInterface(void *obj, REFIID iID, LPVOID *intfPtr);
static ULONG IUnknownAddRef(void *obj);
static ULONG IUnknownRelease(void *obj);
static HRESULT CreatePlugInInterface(PlugInIntf **objPtr);
static OSStatus Retain(PMPlugInHeaderInterface *obj);
static OSStatus Release(PMPlugInHeaderInterface **objPtr);
static OSStatus GetAPIVersion(PMPlugInHeaderInterface *obj, PMPlugInAPIVersion *versionPtr);

extern "C" __attribute__((visibility("default"))) void *CreatePDEFactory(CFAllocatorRef allocator, CFUUIDRef reqTypeID)
{
    (void)allocator;
    CFUUIDRef pdeTypeID = CFUUIDCreateFromString(CFAllocatorGetDefault(), CFSTR(kPMPDETypeIDStr));
    if (!CFEqual(reqTypeID, pdeTypeID)) {
        CFRelease(pdeTypeID);
        return NULL;
    }

    IUnknownInstance *instance =
        (IUnknownInstance *)CFAllocatorAllocate(CFAllocatorGetDefault(), sizeof(IUnknownInstance), 0);
    if (instance == NULL) {
        CFRelease(pdeTypeID);
        return NULL;
    }
    memset(instance, 0, sizeof(IUnknownInstance));

    instance->vtable = &instance->vtableStorage;
    instance->vtableStorage.QueryInterface = QueryInterface;
    instance->vtableStorage.AddRef = IUnknownAddRef;
    instance->vtableStorage.Release = IUnknownRelease;
    instance->refCount = 1;
    instance->factoryID = CFUUIDCreateFromString(CFAllocatorGetDefault(), CFSTR(kKVXPDEFactoryIDStr));

    CFPlugInAddInstanceForFactory(instance->factoryID);

    CFRelease(pdeTypeID);
    return instance;
}

static HRESULT QueryInterface(void *obj, REFIID iID, LPVOID *intfPtr)
{
    IUnknownInstance *instance = (IUnknownInstance *)obj;
    /* Nothing to query, or nowhere to put the answer: a reference handed
     * out here would be lost. */
    if (intfPtr == NULL) return E_NOINTERFACE;
    if (instance == NULL) {
        *intfPtr = NULL;
        return E_NOINTERFACE;
    }

    CFUUIDRef requestedID = CFUUIDCreateFromUUIDBytes(CFAllocatorGetDefault(), iID);
    CFUUIDRef pdeInterfaceID = CFUUIDCreateFromString(CFAllocatorGetDefault(), CFSTR(kPMPDEInterfaceIDStr));
    HRESULT result;

    if (CFEqual(requestedID, IUnknownUUID)) {
        instance->vtable->AddRef(instance);
        *intfPtr = instance;
        result = 0;
    } else if (CFEqual(requestedID, pdeInterfaceID)) {
        PlugInIntf *interfaceObject = NULL;
        result = CreatePlugInInterface(&interfaceObject);
        *intfPtr = interfaceObject;
    } else {
        *intfPtr = NULL;
        result = E_NOINTERFACE;
    }

    CFRelease(requestedID);
    CFRelease(pdeInterfaceID);
    return result;
}

static ULONG IUnknownAddRef(void *obj)
{
    IUnknownInstance *instance = (IUnknownInstance *)obj;
    if (instance == NULL) return 0;
    instance->refCount = instance->refCount + 1;
    return instance->refCount;
}

static ULONG IUnknownRelease(void *obj)
{
    IUnknownInstance *instance = (IUnknownInstance *)obj;
    if (instance == NULL) return 0;
    if (instance->refCount == 0) return 0;

    instance->refCount = instance->refCount - 1;
    if (instance->refCount != 0) return instance->refCount;

    /* No exception may leave the plug-in: whatever the host calls throw,
     * the record still goes. */
    try {
        CFPlugInRemoveInstanceForFactory(instance->factoryID);
        CFRelease(instance->factoryID);
        instance->factoryID = NULL;
        CFAllocatorDeallocate(CFAllocatorGetDefault(), instance);
    } catch (...) {
        if (instance->factoryID != NULL) CFRelease(instance->factoryID);
        CFAllocatorDeallocate(CFAllocatorGetDefault(), instance);
    }
    return 0;
}

static HRESULT CreatePlugInInterface(PlugInIntf **objPtr)
{
    PrintQualityPlugInInterface *interfaceObject = (PrintQualityPlugInInterface *)CFAllocatorAllocate(
        CFAllocatorGetDefault(), sizeof(PrintQualityPlugInInterface), 0);
    if (interfaceObject == NULL) {
        *objPtr = NULL;
        return E_OUTOFMEMORY;
    }
    memset(interfaceObject, 0, sizeof(PrintQualityPlugInInterface));
    interfaceObject->refCount = 1;

    PlugInIntfVTable *table = &interfaceObject->vtableStorage;

    table->plugInHeader.Retain = Retain;
    table->plugInHeader.Release = Release;
    table->plugInHeader.GetAPIVersion = GetAPIVersion;
    table->Prologue = Prologue;
    table->Initialize = Initialize;
    table->Sync = Sync;
    table->GetSummaryText = GetSummaryText;
    table->Open = Open;
    table->Close = Close;
    table->Terminate = Terminate;
    interfaceObject->vtable = table;

    *objPtr = (PlugInIntf *)interfaceObject;
    return 0;
}

static OSStatus Retain(PMPlugInHeaderInterface *obj)
{
    if (obj != NULL) {
        PrintQualityPlugInInterface *interfaceObject = (PrintQualityPlugInInterface *)obj;
        interfaceObject->refCount = interfaceObject->refCount + 1;
    }
    return 0;
}

static OSStatus Release(PMPlugInHeaderInterface **objPtr)
{
    if (objPtr == NULL) return 0;
    PrintQualityPlugInInterface *interfaceObject = (PrintQualityPlugInInterface *)*objPtr;
    if (interfaceObject == NULL) return 0;

    /* The caller's reference is gone whether or not others remain. */
    *objPtr = NULL;

    interfaceObject->refCount = interfaceObject->refCount - 1;
    if (interfaceObject->refCount == 0) CFAllocatorDeallocate(CFAllocatorGetDefault(), interfaceObject);
    return 0;
}

static OSStatus GetAPIVersion(PMPlugInHeaderInterface *obj, PMPlugInAPIVersion *versionPtr)
{
    (void)obj;
    if (versionPtr == NULL) return 0;
    versionPtr->buildVersionMajor = kPDEAPIBuildVersionMajor;
    versionPtr->buildVersionMinor = kPDEAPIBuildVersionMinor;
    versionPtr->baseVersionMajor = kPDEAPIBaseVersionMajor;
    versionPtr->baseVersionMinor = kPDEAPIBaseVersionMinor;
    return 0;
}
