/* The handful of Windows base types that the device link and the file-access control share
   with their callers, laid out as on the platform (LONG and DWORD are 32 bits, WCHAR is a
   UTF-16 code unit, HANDLE a pointer with -1 as the invalid handle). Plain C. */
#ifndef ORV_WIN_TYPES_H
#define ORV_WIN_TYPES_H

#include <stdint.h>

#ifdef __cplusplus
typedef char16_t WCHAR;
#else
typedef uint16_t WCHAR;
#endif
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef unsigned int UINT;
typedef int BOOL;
typedef int32_t HRESULT;
typedef int32_t SCODE;
typedef uint32_t LCID;
typedef void *HANDLE;
typedef WCHAR *LPWSTR;
typedef const WCHAR *LPCWSTR;

#define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

typedef struct _GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
} GUID;
typedef GUID IID;
typedef GUID CLSID;
#ifdef __cplusplus
typedef const GUID &REFGUID;
typedef const IID &REFIID;
typedef const CLSID &REFCLSID;
#else
typedef const GUID *REFGUID;
typedef const IID *REFIID;
typedef const CLSID *REFCLSID;
#endif

/* 100-nanosecond intervals since 1 January 1601, in two 32-bit halves. */
typedef struct _FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
} FILETIME;

#endif
