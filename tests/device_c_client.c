/* A plain C client of the Cradlelink control that uses nothing of ours: its own copies of the
   component layouts and ids, dlopen and dlsym. It sends a file to the device and back through
   IDispatch::Invoke and checks the results. Usage: device_c_client LIBRARY WORKDIR
   (WORKDIR holds in.tsk; out.tsk is written). Prints "ok" and exits 0 when every step holds.
   With a third argument "coerce" it passes Variants of each type where a string is taken
   (a property put and GetPPCFileSize's argument) and to the library's VariantChangeType, and
   prints one line per call: what was passed, the result code, puArgErr and the value. */
#include <dlfcn.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

typedef struct { uint32_t d1; uint16_t d2, d3; uint8_t d4[8]; } Guid;
typedef uint16_t *Bstr;
typedef struct Variant {
    uint16_t vt, r1, r2, r3;
    union {
        int32_t l; int16_t b; int16_t i; uint8_t c; float f; double d; Bstr s; Bstr *ps; void *p;
        struct Variant *pv; struct { void *a, *b; } rec;
    } u;
} Variant;
typedef struct { Variant *args; int32_t *named; unsigned count, namedCount; } DispParams;
typedef struct {
    uint16_t code, reserved;
    Bstr source, description, helpFile;
    uint32_t helpContext;
    void *reserved2;
    void *deferred;
    int32_t scode;
} ExcepInfo;

typedef struct Object Object;
typedef struct {
    int32_t (*QueryInterface)(Object *, const Guid *, void **);
    uint32_t (*AddRef)(Object *);
    uint32_t (*Release)(Object *);
    int32_t (*CreateInstance)(Object *, void *, const Guid *, void **); /* class factory */
} FactoryVtbl;
typedef struct {
    int32_t (*QueryInterface)(Object *, const Guid *, void **);
    uint32_t (*AddRef)(Object *);
    uint32_t (*Release)(Object *);
    int32_t (*GetTypeInfoCount)(Object *, unsigned *);
    int32_t (*GetTypeInfo)(Object *, unsigned, uint32_t, void **);
    int32_t (*GetIDsOfNames)(Object *, const Guid *, uint16_t **, unsigned, uint32_t, int32_t *);
    int32_t (*Invoke)(Object *, int32_t, const Guid *, uint32_t, uint16_t, DispParams *, Variant *,
                      ExcepInfo *, unsigned *);
} DispatchVtbl;
struct Object { const void *vtbl; };

static const Guid kClsidUCRapi = {0xb5c2787c, 0xd240, 0x429f, {0x85, 0x9c, 0xa1, 0xdc, 0x01, 0x2e, 0x78, 0x2f}};
static const Guid kIidClassFactory = {0x00000001, 0, 0, {0xc0, 0, 0, 0, 0, 0, 0, 0x46}};
static const Guid kIidDispatch = {0x00020400, 0, 0, {0xc0, 0, 0, 0, 0, 0, 0, 0x46}};
static const Guid kIidNull = {0, 0, 0, {0}};

enum { VT_EMPTY = 0, VT_NULL = 1, VT_I2 = 2, VT_I4 = 3, VT_R4 = 4, VT_R8 = 5, VT_BSTR = 8, VT_DISPATCH = 9,
       VT_ERROR = 10, VT_BOOL = 11, VT_VARIANT = 12, VT_UI1 = 17, VT_BYREF = 0x4000 };
enum { METHOD = 1, GET = 2, PUT = 4 };

static Bstr (*allocString)(const uint16_t *, unsigned);
static unsigned (*stringLen)(Bstr);
static void (*freeString)(Bstr);

static Bstr bstr(const char *text)
{
    uint16_t units[600];
    size_t n = strlen(text);
    for (size_t i = 0; i < n; ++i) units[i] = (unsigned char)text[i];
    return allocString(units, (unsigned)n);
}

static int sameText(Bstr s, const char *text)
{
    size_t n = strlen(text);
    if (stringLen(s) != n) return 0;
    for (size_t i = 0; i < n; ++i)
        if (s[i] != (unsigned char)text[i]) return 0;
    return 1;
}

static int32_t invoke(Object *o, int32_t id, uint16_t flags, Variant *args, unsigned count, Variant *result,
                      ExcepInfo *excep)
{
    int32_t putId = -3;
    DispParams p = {args, flags == PUT ? &putId : NULL, count, flags == PUT ? 1u : 0u};
    unsigned argErr = 0;
    return ((const DispatchVtbl *)o->vtbl)->Invoke(o, id, &kIidNull, 0, flags, &p, result, excep, &argErr);
}

static int putString(Object *o, int32_t id, const char *text)
{
    Variant v;
    memset(&v, 0, sizeof v);
    v.vt = VT_BSTR;
    v.u.s = bstr(text);
    int32_t hr = invoke(o, id, PUT, &v, 1, NULL, NULL);
    freeString(v.u.s);
    return hr == 0;
}

static int32_t callLong(Object *o, int32_t id, uint16_t wantType)
{
    Variant r;
    memset(&r, 0, sizeof r);
    if (invoke(o, id, METHOD, NULL, 0, &r, NULL) != 0 || r.vt != wantType) return -12345;
    return wantType == VT_BOOL ? r.u.b : r.u.l;
}

#define CHECK(cond, what) do { if (!(cond)) { printf("failed: %s\n", what); return 1; } } while (0)

static void printText(Bstr s)
{
    unsigned n = stringLen(s);
    putchar('"');
    for (unsigned i = 0; i < n; ++i) putchar(s[i] < 128 ? (char)s[i] : '?');
    putchar('"');
}

static Variant scalar(uint16_t vt, double value, const char *text)
{
    Variant v;
    memset(&v, 0, sizeof v);
    v.vt = vt;
    switch (vt) {
    case VT_I2: v.u.i = (int16_t)value; break;
    case VT_I4: v.u.l = (int32_t)value; break;
    case VT_UI1: v.u.c = (uint8_t)value; break;
    case VT_R4: v.u.f = (float)value; break;
    case VT_R8: v.u.d = value; break;
    case VT_BOOL: v.u.b = value != 0 ? -1 : 0; break;
    case VT_BSTR: v.u.s = bstr(text); break;
    default: break;
    }
    return v;
}

/* The same value by reference: the pointer goes to the held value itself. */
static Variant byRef(Variant *held)
{
    Variant v;
    memset(&v, 0, sizeof v);
    v.vt = (uint16_t)(held->vt | VT_BYREF);
    v.u.p = &held->u;
    return v;
}

static Variant refToVariant(Variant *inner)
{
    Variant v;
    memset(&v, 0, sizeof v);
    v.vt = VT_BYREF | VT_VARIANT;
    v.u.pv = inner;
    return v;
}

static int coerce(Object *crapi, void *lib)
{
    int32_t (*changeType)(Variant *, const Variant *, uint16_t, uint16_t) =
        (int32_t (*)(Variant *, const Variant *, uint16_t, uint16_t))dlsym(lib, "VariantChangeType");
    CHECK(changeType, "VariantChangeType");
    struct { const char *label; Variant v; } held[] = {
        {"I2 -7", scalar(VT_I2, -7, 0)},        {"I4 123456", scalar(VT_I4, 123456, 0)},
        {"UI1 200", scalar(VT_UI1, 200, 0)},    {"R4 2.5", scalar(VT_R4, 2.5, 0)},
        {"R8 0.1", scalar(VT_R8, 0.1, 0)},      {"R8 1e20", scalar(VT_R8, 1e20, 0)},
        {"BOOL true", scalar(VT_BOOL, 1, 0)},   {"BOOL false", scalar(VT_BOOL, 0, 0)},
        {"BSTR 42", scalar(VT_BSTR, 0, "42")},  {"EMPTY", scalar(VT_EMPTY, 0, 0)},
        {"NULL", scalar(VT_NULL, 0, 0)},        {"ERROR", scalar(VT_ERROR, 0, 0)},
        {"DISPATCH", scalar(VT_DISPATCH, 0, 0)},
    };
    enum { HELD = sizeof held / sizeof held[0] };
    struct { char label[40]; Variant v; } cases[3 * HELD];
    int n = 0;
    for (int i = 0; i < HELD; ++i) {
        snprintf(cases[n].label, sizeof cases[n].label, "%s", held[i].label);
        cases[n++].v = held[i].v;
    }
    for (int i = 0; i < HELD; ++i) {
        if (held[i].v.vt == VT_EMPTY || held[i].v.vt == VT_NULL || held[i].v.vt == VT_DISPATCH) continue;
        snprintf(cases[n].label, sizeof cases[n].label, "BYREF %s", held[i].label);
        cases[n++].v = byRef(&held[i].v);
    }
    for (int i = 0; i < HELD; ++i) {
        snprintf(cases[n].label, sizeof cases[n].label, "BYREF VARIANT %s", held[i].label);
        cases[n++].v = refToVariant(&held[i].v);
    }

    for (int k = 0; k < n; ++k) {
        Variant arg = cases[k].v;
        int32_t putId = -3;
        DispParams p = {&arg, &putId, 1, 1};
        unsigned argErr = 99;
        int32_t hr = ((const DispatchVtbl *)crapi->vtbl)->Invoke(crapi, 0x68030007, &kIidNull, 0, PUT, &p, NULL,
                                                                  NULL, &argErr);
        printf("put %s %08x %u", cases[k].label, (unsigned)hr, argErr);
        if (hr == 0) {
            Variant r;
            memset(&r, 0, sizeof r);
            CHECK(invoke(crapi, 0x68030007, GET, NULL, 0, &r, NULL) == 0 && r.vt == VT_BSTR, "get back");
            putchar(' ');
            printText(r.u.s);
            freeString(r.u.s);
        }
        putchar('\n');

        DispParams q = {&arg, NULL, 1, 0};
        Variant r;
        memset(&r, 0, sizeof r);
        argErr = 99;
        hr = ((const DispatchVtbl *)crapi->vtbl)->Invoke(crapi, 0x60030011, &kIidNull, 0, METHOD, &q, &r, NULL,
                                                         &argErr);
        printf("size %s %08x %u", cases[k].label, (unsigned)hr, argErr);
        if (hr == 0) printf(" %d", (int)r.u.l);
        putchar('\n');
    }

    struct { const char *label; Variant v; } numbers[] = {
        {"R8 2.5", scalar(VT_R8, 2.5, 0)},     {"R8 3.5", scalar(VT_R8, 3.5, 0)},
        {"R8 -2.5", scalar(VT_R8, -2.5, 0)},   {"R8 2.6", scalar(VT_R8, 2.6, 0)},
        {"R4 0.5", scalar(VT_R4, 0.5, 0)},     {"R4 1.5", scalar(VT_R4, 1.5, 0)},
        {"R8 3e10", scalar(VT_R8, 3e10, 0)},   {"BSTR ' 12.5 '", scalar(VT_BSTR, 0, " 12.5 ")},
        {"BSTR 13.5", scalar(VT_BSTR, 0, "13.5")}, {"BSTR -4", scalar(VT_BSTR, 0, "-4")},
        {"BSTR abc", scalar(VT_BSTR, 0, "abc")},   {"BSTR ''", scalar(VT_BSTR, 0, "")},
        {"EMPTY", scalar(VT_EMPTY, 0, 0)},     {"BOOL true", scalar(VT_BOOL, 1, 0)},
        {"NULL", scalar(VT_NULL, 0, 0)},
    };
    for (size_t k = 0; k < sizeof numbers / sizeof numbers[0]; ++k) {
        Variant out;
        memset(&out, 0, sizeof out);
        int32_t hr = changeType(&out, &numbers[k].v, 0, VT_I4);
        printf("long %s %08x", numbers[k].label, (unsigned)hr);
        if (hr == 0) printf(" %d", (int)out.u.l);
        putchar('\n');
    }
    Variant inner = scalar(VT_R8, 2.5, 0);
    Variant ref = refToVariant(&inner), out;
    memset(&out, 0, sizeof out);
    int32_t hr = changeType(&out, &ref, 0, VT_I4);
    printf("long BYREF VARIANT R8 2.5 %08x %d\n", (unsigned)hr, (int)out.u.l);

    for (int i = 0; i < HELD; ++i)
        if (held[i].v.vt == VT_BSTR) freeString(held[i].v.u.s);
    for (size_t k = 0; k < sizeof numbers / sizeof numbers[0]; ++k)
        if (numbers[k].v.vt == VT_BSTR) freeString(numbers[k].v.u.s);
    return 0;
}

int main(int argc, char **argv)
{
    CHECK((argc == 3 || argc == 4) && sizeof(Variant) == 24, "arguments and layout");
    void *lib = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    CHECK(lib, "dlopen");
    int32_t (*getClassObject)(const Guid *, const Guid *, void **) =
        (int32_t (*)(const Guid *, const Guid *, void **))dlsym(lib, "DllGetClassObject");
    int32_t (*canUnloadNow)(void) = (int32_t (*)(void))dlsym(lib, "DllCanUnloadNow");
    allocString = (Bstr (*)(const uint16_t *, unsigned))dlsym(lib, "SysAllocStringLen");
    stringLen = (unsigned (*)(Bstr))dlsym(lib, "SysStringLen");
    freeString = (void (*)(Bstr))dlsym(lib, "SysFreeString");
    CHECK(getClassObject && canUnloadNow && allocString && stringLen && freeString, "dlsym");

    Object *factory = NULL, *control = NULL, *crapi = NULL;
    CHECK(getClassObject(&kClsidUCRapi, &kIidClassFactory, (void **)&factory) == 0, "DllGetClassObject");
    CHECK(((const FactoryVtbl *)factory->vtbl)->CreateInstance(factory, NULL, &kIidDispatch, (void **)&control) == 0,
          "CreateInstance");
    ((const FactoryVtbl *)factory->vtbl)->Release(factory);

    uint16_t name[] = {'O', 'R', 'A', 'P', 'I', 0};
    uint16_t *names[] = {name};
    int32_t id = 0;
    CHECK(((const DispatchVtbl *)control->vtbl)->GetIDsOfNames(control, &kIidNull, names, 1, 0, &id) == 0 &&
              id == 0x40030000, "GetIDsOfNames oRapi");
    Variant r;
    memset(&r, 0, sizeof r);
    CHECK(invoke(control, id, GET, NULL, 0, &r, NULL) == 0 && r.vt == VT_DISPATCH && r.u.p, "oRapi");
    crapi = (Object *)r.u.p;
    if (argc == 4) {
        CHECK(strcmp(argv[3], "coerce") == 0, "mode");
        CHECK(callLong(crapi, 0x60030009, VT_I4) == 0, "ConnectRapi");
        int status = coerce(crapi, lib);
        callLong(crapi, 0x6003000A, VT_I4);
        ((const DispatchVtbl *)crapi->vtbl)->Release(crapi);
        ((const DispatchVtbl *)control->vtbl)->Release(control);
        return status;
    }

    char path[1024];
    snprintf(path, sizeof path, "%s/in.tsk", argv[2]);
    CHECK(putString(crapi, 0x68030001, path), "PCFileNameToRead");
    CHECK(putString(crapi, 0x68030003, "\\My Documents\\c.tsk"), "PPCFileNameToWrite");
    CHECK(callLong(crapi, 0x60030009, VT_I4) == 0, "ConnectRapi");
    CHECK(callLong(crapi, 0x60030013, VT_BOOL) == -1, "TransferFileToPPC");

    Bstr file = bstr("\\my documents\\C.TSK");
    Variant arg;
    memset(&arg, 0, sizeof arg);
    arg.vt = VT_BYREF | VT_BSTR;
    arg.u.ps = &file;
    memset(&r, 0, sizeof r);
    CHECK(invoke(crapi, 0x60030011, METHOD, &arg, 1, &r, NULL) == 0 && r.vt == VT_I4 && r.u.l == 3000,
          "GetPPCFileSize by reference");
    freeString(file);

    CHECK(putString(crapi, 0x68030007, "\\My Documents\\*.tsk"), "PPCSearchPath");
    CHECK(callLong(crapi, 0x6003000C, VT_I4) != -1, "FindFirstFile");
    memset(&r, 0, sizeof r);
    CHECK(invoke(crapi, 0x68030008, GET, NULL, 0, &r, NULL) == 0 && r.vt == VT_BSTR && sameText(r.u.s, "c.tsk"),
          "PPCFoundFile");
    freeString(r.u.s);

    snprintf(path, sizeof path, "%s/out.tsk", argv[2]);
    CHECK(putString(crapi, 0x68030000, path), "PCFileNameToWrite");
    CHECK(putString(crapi, 0x68030004, "\\My Documents\\c.tsk"), "PPCFileNameToRead");
    CHECK(callLong(crapi, 0x60030012, VT_BOOL) == -1, "TransferFileFromPPC");

    snprintf(path, sizeof path, "%s/missing.tsk", argv[2]);
    CHECK(putString(crapi, 0x68030001, path), "PCFileNameToRead missing");
    ExcepInfo excep;
    memset(&excep, 0, sizeof excep);
    memset(&r, 0, sizeof r);
    CHECK(invoke(crapi, 0x60030013, METHOD, NULL, 0, &r, &excep) == (int32_t)0x80020009 &&
              excep.scode == (int32_t)0x800A0035 && sameText(excep.description, "File not found"),
          "file not found as an exception");
    freeString(excep.source);
    freeString(excep.description);
    freeString(excep.helpFile);

    CHECK(callLong(crapi, 0x6003000A, VT_I4) == 0, "DisconnectRapi");
    CHECK(canUnloadNow() != 0, "DllCanUnloadNow while objects live");
    ((const DispatchVtbl *)crapi->vtbl)->Release(crapi);
    ((const DispatchVtbl *)control->vtbl)->Release(control);
    CHECK(canUnloadNow() == 0, "DllCanUnloadNow after release");
    printf("ok\n");
    return 0;
}
