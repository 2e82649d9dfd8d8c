/* The Windows CE Remote API as the device link serves it: the platform's C names, types and
   error numbers, so that any library with the same interface can be loaded in its place.
   Paths are zero-terminated UTF-16 CE paths ("\My Documents\x.tsk"). Plain C. */
#ifndef ORV_RAPI_H
#define ORV_RAPI_H

#include "devicectl/win_types.h"

#ifdef __cplusplus
extern "C" {
#endif

#define MAX_PATH 260

#ifndef S_OK
#define S_OK ((HRESULT)0)
#endif
#ifndef E_FAIL
#define E_FAIL ((HRESULT)0x80004005)
#endif
#ifndef E_INVALIDARG
#define E_INVALIDARG ((HRESULT)0x80070057)
#endif

typedef struct _RAPIINIT {
    DWORD cbSize;
    HANDLE heRapiInit;
    HRESULT hrRapiInit;
} RAPIINIT;

typedef struct _CE_FIND_DATA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwOID;
    WCHAR cFileName[MAX_PATH];
} CE_FIND_DATA, *LPCE_FIND_DATA;

#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_SHARE_READ 1u
#define FILE_SHARE_WRITE 2u
#define CREATE_NEW 1u
#define CREATE_ALWAYS 2u
#define OPEN_EXISTING 3u
#define OPEN_ALWAYS 4u
#define TRUNCATE_EXISTING 5u
#define FILE_ATTRIBUTE_READONLY 1u
#define FILE_ATTRIBUTE_DIRECTORY 16u
#define FILE_ATTRIBUTE_ARCHIVE 32u
#define FILE_ATTRIBUTE_NORMAL 128u
#define INVALID_FILE_SIZE 0xFFFFFFFFu
#define INVALID_FILE_ATTRIBUTES 0xFFFFFFFFu

/* The Win32 error numbers CeGetLastError gives. */
#define ERROR_SUCCESS 0u
#define ERROR_FILE_NOT_FOUND 2u
#define ERROR_PATH_NOT_FOUND 3u
#define ERROR_TOO_MANY_OPEN_FILES 4u
#define ERROR_ACCESS_DENIED 5u
#define ERROR_INVALID_HANDLE 6u
#define ERROR_NOT_ENOUGH_MEMORY 8u
#define ERROR_NO_MORE_FILES 18u
#define ERROR_NOT_READY 21u
#define ERROR_WRITE_FAULT 29u
#define ERROR_READ_FAULT 30u
#define ERROR_GEN_FAILURE 31u
#define ERROR_HANDLE_DISK_FULL 39u
#define ERROR_FILE_EXISTS 80u
#define ERROR_INVALID_PARAMETER 87u
#define ERROR_DISK_FULL 112u
#define ERROR_INVALID_NAME 123u
#define ERROR_FILENAME_EXCED_RANGE 206u

HRESULT CeRapiInitEx(RAPIINIT *pRapiInit);
HRESULT CeRapiUninit(void);
HANDLE CeFindFirstFile(LPCWSTR lpFileName, LPCE_FIND_DATA lpFindFileData);
BOOL CeFindNextFile(HANDLE hFindFile, LPCE_FIND_DATA lpFindFileData);
BOOL CeFindClose(HANDLE hFindFile);
HANDLE CeCreateFile(LPCWSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                    void *lpSecurityAttributes, DWORD dwCreationDisposition,
                    DWORD dwFlagsAndAttributes, HANDLE hTemplateFile);
DWORD CeGetFileSize(HANDLE hFile, DWORD *lpFileSizeHigh);
BOOL CeReadFile(HANDLE hFile, void *lpBuffer, DWORD nNumberOfBytesToRead,
                DWORD *lpNumberOfBytesRead, void *lpOverlapped);
BOOL CeWriteFile(HANDLE hFile, const void *lpBuffer, DWORD nNumberOfBytesToWrite,
                 DWORD *lpNumberOfBytesWritten, void *lpOverlapped);
DWORD CeGetFileAttributes(LPCWSTR lpFileName);
BOOL CeSetFileAttributes(LPCWSTR lpFileName, DWORD dwFileAttributes);
BOOL CeDeleteFile(LPCWSTR lpFileName);
DWORD CeGetLastError(void);
BOOL CeCloseHandle(HANDLE hObject);

#ifdef __cplusplus
}
#endif

#endif
