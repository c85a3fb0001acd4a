/* Basic scalar types, records and status codes of the host platform.
 * Widths follow the original 32-bit platform; where a type differs (refs are
 * full pointers here), its declaration says so. */
#ifndef KVX_MACTYPES_H
#define KVX_MACTYPES_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef uint8_t Boolean;
typedef int8_t SInt8;
typedef uint8_t UInt8;
typedef int16_t SInt16;
typedef uint16_t UInt16;
typedef int32_t SInt32;
typedef uint32_t UInt32;
typedef int64_t SInt64;
typedef uint64_t UInt64;
typedef uint16_t UniChar;
typedef uint32_t UTF32Char;
typedef int32_t OSStatus;
typedef int16_t OSErr;
typedef uint32_t OSType;
typedef uint32_t FourCharCode;
typedef uint32_t ResType;
typedef unsigned long ItemCount;
typedef unsigned long ByteCount;
typedef long Size;

/* COM-style types of the plug-in model. */
typedef uint32_t ULONG;
typedef int32_t HRESULT;
typedef void *LPVOID;

/* Length-prefixed ("Pascal") byte strings. */
typedef unsigned char Str255[256];
typedef unsigned char Str63[64];
typedef unsigned char *StringPtr;
typedef const unsigned char *ConstStringPtr;
typedef const unsigned char *ConstStr255Param;

typedef struct Rect {
    SInt16 top;
    SInt16 left;
    SInt16 bottom;
    SInt16 right;
} Rect;

typedef struct FSSpec {
    SInt16 vRefNum;
    SInt32 parID;
    Str63 name;
} FSSpec;

enum {
    noErr = 0,
    paramErr = -50,
    memFullErr = -108,
    fnfErr = -43
};

#ifdef __cplusplus
}
#endif

#endif
