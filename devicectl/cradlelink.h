/* Cradlelink: the device file-access control. This header is all a host needs: the fixed
   class and interface ids, the member ids, the constants, and the component model's binary
   layouts (IUnknown, IClassFactory, IDispatch, VARIANT, BSTR, DISPPARAMS, EXCEPINFO) as the
   library lays them out. The ids never change between builds. Plain C; usable from C++. */
#ifndef ORV_CRADLELINK_H
#define ORV_CRADLELINK_H

#include "win_types.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- files, names and registration -------------------------------------------------- */
#define CRADLELINK_LIBRARY_NAME "libcradlelink.so"
#define CRADLELINK_RAPI_LIBRARY_NAME "librapi.so"
#define CRADLELINK_PROGID "Cradlelink.UCRapi"
/* Registration: $XDG_CONFIG_HOME/Cradlelink/classes.ini, group [Cradlelink.UCRapi] with
   CLSID={...} and InprocServer32=<absolute path of the library>. */
#define CRADLELINK_REGISTRY_DIR "Cradlelink"
#define CRADLELINK_REGISTRY_FILE "classes.ini"
#define CRADLELINK_MESSAGE_TITLE "Cradlelink"

/* ---- fixed ids ------------------------------------------------------------------------ */
#ifdef __cplusplus
#define CRADLELINK_GUID(name, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8) \
    inline constexpr GUID name = {l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}}
#else
#define CRADLELINK_GUID(name, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8) \
    static const GUID name __attribute__((unused)) = {l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}}
#endif

/* {BBF3D4F3-47C8-4C2B-8C03-2D52C218B6C0} type library Cradlelink */
CRADLELINK_GUID(LIBID_Cradlelink, 0xbbf3d4f3, 0x47c8, 0x4c2b, 0x8c, 0x03, 0x2d, 0x52, 0xc2, 0x18, 0xb6, 0xc0);
/* {B5C2787C-D240-429F-859C-A1DC012E782F} control class UCRapi, ProgID Cradlelink.UCRapi */
CRADLELINK_GUID(CLSID_UCRapi, 0xb5c2787c, 0xd240, 0x429f, 0x85, 0x9c, 0xa1, 0xdc, 0x01, 0x2e, 0x78, 0x2f);
/* {A455B83E-78C9-49C4-9A2C-3E908896C4CA} class CRapi (created by UCRapi, not by the factory) */
CRADLELINK_GUID(CLSID_CRapi, 0xa455b83e, 0x78c9, 0x49c4, 0x9a, 0x2c, 0x3e, 0x90, 0x88, 0x96, 0xc4, 0xca);
/* {EF8060F3-3406-444B-A9C9-CE5127119B07} _UCRapi, default interface of UCRapi */
CRADLELINK_GUID(IID__UCRapi, 0xef8060f3, 0x3406, 0x444b, 0xa9, 0xc9, 0xce, 0x51, 0x27, 0x11, 0x9b, 0x07);
/* {0B9FF28A-F56D-4FB8-8AF3-AA953248FCCB} __UCRapi, event interface of UCRapi (no events) */
CRADLELINK_GUID(DIID___UCRapi, 0x0b9ff28a, 0xf56d, 0x4fb8, 0x8a, 0xf3, 0xaa, 0x95, 0x32, 0x48, 0xfc, 0xcb);
/* {673A7E0E-6136-4B62-8E6E-0DBC3F78EF0A} _CRapi, dual default interface of CRapi */
CRADLELINK_GUID(IID__CRapi, 0x673a7e0e, 0x6136, 0x4b62, 0x8e, 0x6e, 0x0d, 0xbc, 0x3f, 0x78, 0xef, 0x0a);

/* The component model's own ids. */
CRADLELINK_GUID(IID_NULL, 0x00000000, 0x0000, 0x0000, 0, 0, 0, 0, 0, 0, 0, 0);
CRADLELINK_GUID(IID_IUnknown, 0x00000000, 0x0000, 0x0000, 0xc0, 0, 0, 0, 0, 0, 0, 0x46);
CRADLELINK_GUID(IID_IClassFactory, 0x00000001, 0x0000, 0x0000, 0xc0, 0, 0, 0, 0, 0, 0, 0x46);
CRADLELINK_GUID(IID_IDispatch, 0x00020400, 0x0000, 0x0000, 0xc0, 0, 0, 0, 0, 0, 0, 0x46);

/* ---- member ids ----------------------------------------------------------------------- */
typedef LONG DISPID;
#define DISPID_UCRapi_oRapi ((DISPID)0x40030000)

#define DISPID_CRapi_ConnectRapi ((DISPID)0x60030009)
#define DISPID_CRapi_DisconnectRapi ((DISPID)0x6003000A)
#define DISPID_CRapi_FindFirstFile ((DISPID)0x6003000C)
#define DISPID_CRapi_FindNextFile ((DISPID)0x6003000D)
#define DISPID_CRapi_FindClose ((DISPID)0x6003000E)
#define DISPID_CRapi_PPCFoundFile ((DISPID)0x68030008)
#define DISPID_CRapi_PPCSearchPath ((DISPID)0x68030007)
#define DISPID_CRapi_PPCFileNameRead ((DISPID)0x68030006)
#define DISPID_CRapi_Attributes ((DISPID)0x68030005)
#define DISPID_CRapi_PPCFileNameToRead ((DISPID)0x68030004)
#define DISPID_CRapi_PPCFileNameToWrite ((DISPID)0x68030003)
#define DISPID_CRapi_PPCFileToDelete ((DISPID)0x68030002)
#define DISPID_CRapi_PCFileNameToRead ((DISPID)0x68030001)
#define DISPID_CRapi_PCFileNameToWrite ((DISPID)0x68030000)
#define DISPID_CRapi_GetPPCFileSize ((DISPID)0x60030011)
#define DISPID_CRapi_TransferFileFromPPC ((DISPID)0x60030012)
#define DISPID_CRapi_TransferFileToPPC ((DISPID)0x60030013)
#define DISPID_CRapi_LastError ((DISPID)0x60030015)
#define DISPID_CRapi_DeletePPCFile ((DISPID)0x60030017)

#define DISPID_UNKNOWN ((DISPID)-1)
#define DISPID_PROPERTYPUT ((DISPID)-3)

/* ---- constants ------------------------------------------------------------------------ */
enum k_attributes {
    KFILE_ATTRIBUTE_READONLY = 1,
    KFILE_ATTRIBUTE_HIDDEN = 2,
    KFILE_ATTRIBUTE_SYSTEM = 4,
    KFILE_ATTRIBUTE_DIRECTORY = 16,
    KFILE_ATTRIBUTE_ARCHIVE = 32,
    KFILE_ATTRIBUTE_INROM = 64,
    KFILE_ATTRIBUTE_NORMAL = 128,
    KFILE_ATTRIBUTE_TEMPORARY = 256,
    KFILE_ATTRIBUTE_COMPRESSED = 2048,
    KFILE_ATTRIBUTE_ROMSTATICREF = 4096,
    KFILE_ATTRIBUTE_ROMMODULE = 8192,
    KFILE_ATTRIBUTE_HAS_CHILDREN = 65536,
    KFILE_ATTRIBUTE_SHORTCUT = 131072
};
enum k_general { KERROR_SUCCESS = 0 };

/* The six message texts of the control, shown with the title CRADLELINK_MESSAGE_TITLE. */
#define CRADLELINK_MSG_NO_SAVE_NAME "No name for file to Save"
#define CRADLELINK_MSG_NO_COPY_NAME "No name for file to Copy"
#define CRADLELINK_MSG_NO_SOURCE "No source file given!"
#define CRADLELINK_MSG_OPEN_FAILED "Unable to open WinCE file"
#define CRADLELINK_MSG_WRITE_FAILED "Error writing to PPC"
#define CRADLELINK_MSG_NO_DELETE_NAME "No file to delete"
/* Shown when a device read fails part-way through a copy to the PC. */
#define CRADLELINK_MSG_READ_FAILED "Error reading from PPC"

/* ---- results -------------------------------------------------------------------------- */
#ifndef S_OK
#define S_OK ((HRESULT)0)
#endif
#define S_FALSE ((HRESULT)1)
#define E_NOTIMPL ((HRESULT)0x80004001)
#define E_NOINTERFACE ((HRESULT)0x80004002)
#define E_POINTER ((HRESULT)0x80004003)
#ifndef E_FAIL
#define E_FAIL ((HRESULT)0x80004005)
#endif
#define E_UNEXPECTED ((HRESULT)0x8000FFFF)
#define E_OUTOFMEMORY ((HRESULT)0x8007000E)
#ifndef E_INVALIDARG
#define E_INVALIDARG ((HRESULT)0x80070057)
#endif
#define CLASS_E_NOAGGREGATION ((HRESULT)0x80040110)
#define CLASS_E_CLASSNOTAVAILABLE ((HRESULT)0x80040111)
#define SELFREG_E_CLASS ((HRESULT)0x80040201)
#define DISP_E_UNKNOWNINTERFACE ((HRESULT)0x80020001)
#define DISP_E_MEMBERNOTFOUND ((HRESULT)0x80020003)
#define DISP_E_PARAMNOTFOUND ((HRESULT)0x80020004)
#define DISP_E_TYPEMISMATCH ((HRESULT)0x80020005)
#define DISP_E_UNKNOWNNAME ((HRESULT)0x80020006)
#define DISP_E_NONAMEDARGS ((HRESULT)0x80020007)
#define DISP_E_EXCEPTION ((HRESULT)0x80020009)
#define DISP_E_BADPARAMCOUNT ((HRESULT)0x8002000E)
#define DISP_E_BADINDEX ((HRESULT)0x8002000B)
#define DISP_E_OVERFLOW ((HRESULT)0x8002000A)
/* An automation error number n (53 "File not found"...) travels as 0x800A0000 + n. */
#define CRADLELINK_ERROR_HRESULT(n) ((HRESULT)(0x800A0000u + (unsigned)(n)))

/* ---- automation strings and values ---------------------------------------------------- */
/* A BSTR points at UTF-16 text preceded by its length in bytes (32 bits) and followed by a
   zero unit. A null BSTR is the empty string. The library allocates every BSTR it hands out
   with its own SysAllocStringLen; the receiver frees it with the library's SysFreeString. */
typedef WCHAR *BSTR;
typedef int16_t VARIANT_BOOL;
#define VARIANT_TRUE ((VARIANT_BOOL)-1)
#define VARIANT_FALSE ((VARIANT_BOOL)0)
typedef uint16_t VARTYPE;

enum VARENUM {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_VARIANT = 12,
    VT_UNKNOWN = 13,
    VT_UI1 = 17,
    VT_BYREF = 0x4000
};

struct IUnknown;
struct IDispatch;

/* 24 bytes on a 64-bit system: the type, three reserved words, then 16 bytes of value. */
typedef struct tagVARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        LONG lVal;
        int16_t iVal;
        uint8_t bVal;
        float fltVal;
        double dblVal;
        VARIANT_BOOL boolVal;
        SCODE scode;
        BSTR bstrVal;
        struct IUnknown *punkVal;
        struct IDispatch *pdispVal;
        LONG *plVal;
        int16_t *piVal;
        uint8_t *pbVal;
        float *pfltVal;
        double *pdblVal;
        VARIANT_BOOL *pboolVal;
        BSTR *pbstrVal;
        struct tagVARIANT *pvarVal;
        void *byref;
        struct {
            void *pvRecord;
            void *pRecInfo;
        } brecVal;
    } u;
} VARIANT;
typedef VARIANT VARIANTARG;

typedef struct tagDISPPARAMS {
    VARIANTARG *rgvarg;          /* arguments in reverse order */
    DISPID *rgdispidNamedArgs;   /* DISPID_PROPERTYPUT for the value of a property put */
    UINT cArgs;
    UINT cNamedArgs;
} DISPPARAMS;

typedef struct tagEXCEPINFO {
    WORD wCode;
    WORD wReserved;
    BSTR bstrSource;
    BSTR bstrDescription;
    BSTR bstrHelpFile;
    DWORD dwHelpContext;
    void *pvReserved;
    HRESULT (*pfnDeferredFillIn)(struct tagEXCEPINFO *);
    SCODE scode;
} EXCEPINFO;

/* Invoke flags */
#define DISPATCH_METHOD 1
#define DISPATCH_PROPERTYGET 2
#define DISPATCH_PROPERTYPUT 4
#define DISPATCH_PROPERTYPUTREF 8

/* ---- interfaces: a pointer to a pointer to the table of functions, in the usual order ---- */
typedef struct IUnknown IUnknown;
typedef struct IDispatch IDispatch;
typedef struct IClassFactory IClassFactory;
typedef struct _UCRapi _UCRapi;
typedef struct _CRapi _CRapi;

#define CRADLELINK_IUNKNOWN_METHODS(T) \
    HRESULT (*QueryInterface)(T *self, REFIID riid, void **ppv); \
    ULONG (*AddRef)(T *self); \
    ULONG (*Release)(T *self);

#define CRADLELINK_IDISPATCH_METHODS(T) \
    CRADLELINK_IUNKNOWN_METHODS(T) \
    HRESULT (*GetTypeInfoCount)(T *self, UINT *pctinfo); \
    HRESULT (*GetTypeInfo)(T *self, UINT iTInfo, LCID lcid, void **ppTInfo); \
    HRESULT (*GetIDsOfNames)(T *self, REFIID riid, LPWSTR *rgszNames, UINT cNames, LCID lcid, \
                             DISPID *rgDispId); \
    HRESULT (*Invoke)(T *self, DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, \
                      DISPPARAMS *pDispParams, VARIANT *pVarResult, EXCEPINFO *pExcepInfo, \
                      UINT *puArgErr);

typedef struct IUnknownVtbl {
    CRADLELINK_IUNKNOWN_METHODS(IUnknown)
} IUnknownVtbl;
struct IUnknown {
    const IUnknownVtbl *lpVtbl;
};

typedef struct IClassFactoryVtbl {
    CRADLELINK_IUNKNOWN_METHODS(IClassFactory)
    HRESULT (*CreateInstance)(IClassFactory *self, IUnknown *pUnkOuter, REFIID riid, void **ppv);
    HRESULT (*LockServer)(IClassFactory *self, BOOL fLock);
} IClassFactoryVtbl;
struct IClassFactory {
    const IClassFactoryVtbl *lpVtbl;
};

typedef struct IDispatchVtbl {
    CRADLELINK_IDISPATCH_METHODS(IDispatch)
} IDispatchVtbl;
struct IDispatch {
    const IDispatchVtbl *lpVtbl;
};

/* _UCRapi: the dispatch slots, then oRapi's get and set-by-reference. */
typedef struct _UCRapiVtbl {
    CRADLELINK_IDISPATCH_METHODS(_UCRapi)
    HRESULT (*get_oRapi)(_UCRapi *self, _CRapi **result);
    HRESULT (*putref_oRapi)(_UCRapi *self, _CRapi *value);
} _UCRapiVtbl;
struct _UCRapi {
    const _UCRapiVtbl *lpVtbl;
};

/* _CRapi: the dispatch slots, then the members in slot order (a property's get before its
   put). Strings put in are copied; strings handed out are the caller's to free. */
typedef struct _CRapiVtbl {
    CRADLELINK_IDISPATCH_METHODS(_CRapi)
    HRESULT (*ConnectRapi)(_CRapi *self, LONG *result);
    HRESULT (*DisconnectRapi)(_CRapi *self, LONG *result);
    HRESULT (*FindFirstFile)(_CRapi *self, LONG *result);
    HRESULT (*FindNextFile)(_CRapi *self, LONG *result);
    HRESULT (*FindClose)(_CRapi *self);
    HRESULT (*get_PPCFoundFile)(_CRapi *self, BSTR *result);
    HRESULT (*get_PPCSearchPath)(_CRapi *self, BSTR *result);
    HRESULT (*put_PPCSearchPath)(_CRapi *self, BSTR value);
    HRESULT (*get_PPCFileNameRead)(_CRapi *self, BSTR *result);
    HRESULT (*get_Attributes)(_CRapi *self, LONG *result);
    HRESULT (*get_PPCFileNameToRead)(_CRapi *self, BSTR *result);
    HRESULT (*put_PPCFileNameToRead)(_CRapi *self, BSTR value);
    HRESULT (*get_PPCFileNameToWrite)(_CRapi *self, BSTR *result);
    HRESULT (*put_PPCFileNameToWrite)(_CRapi *self, BSTR value);
    HRESULT (*put_PPCFileToDelete)(_CRapi *self, BSTR value);
    HRESULT (*get_PCFileNameToRead)(_CRapi *self, BSTR *result);
    HRESULT (*put_PCFileNameToRead)(_CRapi *self, BSTR value);
    HRESULT (*get_PCFileNameToWrite)(_CRapi *self, BSTR *result);
    HRESULT (*put_PCFileNameToWrite)(_CRapi *self, BSTR value);
    HRESULT (*GetPPCFileSize)(_CRapi *self, BSTR *strFile, LONG *result);
    HRESULT (*TransferFileFromPPC)(_CRapi *self, VARIANT_BOOL *result);
    HRESULT (*TransferFileToPPC)(_CRapi *self, VARIANT_BOOL *result);
    HRESULT (*LastError)(_CRapi *self, LONG *result);
    HRESULT (*DeletePPCFile)(_CRapi *self, VARIANT_BOOL *result);
} _CRapiVtbl;
struct _CRapi {
    const _CRapiVtbl *lpVtbl;
};

/* ---- what the library exports (look each up with dlsym) --------------------------------- */
/* The control's message boxes (OK button, no icon): text and title, zero-terminated UTF-16.
   With no handler installed they go to stderr as "Cradlelink: " + text. */
typedef void (*CradlelinkMessageHandler)(void *context, const WCHAR *text, const WCHAR *title);

typedef HRESULT (*PFN_DllGetClassObject)(REFCLSID rclsid, REFIID riid, void **ppv);
typedef HRESULT (*PFN_DllCanUnloadNow)(void);
typedef HRESULT (*PFN_DllRegisterServer)(void);
typedef HRESULT (*PFN_DllUnregisterServer)(void);
typedef BSTR (*PFN_SysAllocStringLen)(const WCHAR *text, UINT length);
typedef UINT (*PFN_SysStringLen)(BSTR text);
typedef void (*PFN_SysFreeString)(BSTR text);
typedef void (*PFN_VariantInit)(VARIANT *v);
typedef HRESULT (*PFN_VariantClear)(VARIANT *v);
typedef HRESULT (*PFN_VariantChangeType)(VARIANT *dest, const VARIANT *src, WORD flags, VARTYPE vt);
typedef void (*PFN_CradlelinkSetMessageHandler)(CradlelinkMessageHandler handler, void *context);

HRESULT DllGetClassObject(REFCLSID rclsid, REFIID riid, void **ppv);
HRESULT DllCanUnloadNow(void);
HRESULT DllRegisterServer(void);
HRESULT DllUnregisterServer(void);
BSTR SysAllocStringLen(const WCHAR *text, UINT length);
UINT SysStringLen(BSTR text);
void SysFreeString(BSTR text);
void VariantInit(VARIANT *v);
HRESULT VariantClear(VARIANT *v);
/* Changes src to text (VT_BSTR) or a 32-bit integer (VT_I4) as the members change their
   arguments; dest may be src. Other targets give DISP_E_TYPEMISMATCH. */
HRESULT VariantChangeType(VARIANT *dest, const VARIANT *src, WORD flags, VARTYPE vt);
void CradlelinkSetMessageHandler(CradlelinkMessageHandler handler, void *context);

#ifdef __cplusplus
}
#endif

#endif
