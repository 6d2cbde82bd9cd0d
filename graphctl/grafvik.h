/* Grafvik, the graph control: the C interface of the library "Grafvik.ocx".
 *
 * A host loads the library (dlopen), checks grafvik_interface_version(), creates objects of the
 * one class GraphCtl and calls its methods by dispatch id (or looks the id up by name). Every
 * argument and every string is UTF-8 and is copied by the library before the call returns.
 * The host lends three services as callbacks, so the library needs no display of its own.
 *
 * Threads: objects may be created on any thread, but an object is used on one thread at a time.
 * The control's state (data text, target path, parsed items) is one copy per thread, shared by
 * every object on that thread. The callbacks are called on the calling thread only.
 *
 * Failures are status codes (GRAFVIK_OK or a negative GRAFVIK_E_*); nothing is thrown across
 * this interface and no call aborts the host. */
#ifndef GRAFVIK_H
#define GRAFVIK_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#ifdef GRAFVIK_BUILDING_LIBRARY
#define GRAFVIK_EXPORT __attribute__((visibility("default")))
#else
#define GRAFVIK_EXPORT
#endif

/* Changes whenever an entry point, a callback or the meaning of an id changes. */
#define GRAFVIK_INTERFACE_VERSION 1

/* Methods of the dispatch interface _GraphCtl; these ids never change. */
enum {
    GRAFVIK_DISPID_EXNORMAL = 0x60030007,    /* ExNormal(): chart workbook, input order */
    GRAFVIK_DISPID_EXUP = 0x60030008,        /* ExUp(): ascending by value */
    GRAFVIK_DISPID_EXDOWN = 0x60030009,      /* ExDown(): descending by value */
    GRAFVIK_DISPID_SETFILEPATH = 0x6003000B, /* SetFilePath(path) */
    GRAFVIK_DISPID_DELFILE = 0x6003000C,     /* DelFile() */
    GRAFVIK_DISPID_SETDATA = 0x6003000D,     /* SetData(text): "" takes the clipboard text */
    GRAFVIK_DISPID_CHECKEXCEL = 0x6003000F,  /* CheckExcel(path) -> 0, 1 or 2 in *result */
    GRAFVIK_DISPID_CLOSEXLS = 0x60030010,    /* CloseXLS(path) */
    GRAFVIK_DISPID_CLOSECSV = 0x60030011,    /* CloseCSV(path) */
    GRAFVIK_DISPID_SHOWGRAPH = 0x60030012    /* ShowGraph(): adds a summary sheet */
};

enum {
    GRAFVIK_OK = 0,
    GRAFVIK_E_NO_DATA = -1,      /* the data text is empty or not name/value pairs: no file */
    GRAFVIK_E_WRITE = -2,        /* the workbook could not be written (or another writer held it
                                    for more than 3 s): nothing half-built left */
    GRAFVIK_E_UNKNOWN_NAME = -3, /* no method of that name */
    GRAFVIK_E_UNKNOWN_ID = -4,   /* no method with that dispatch id */
    GRAFVIK_E_ARG_COUNT = -5,    /* the method takes another number of arguments */
    GRAFVIK_E_INVALID_ARG = -6,  /* a null object, name or argument */
    GRAFVIK_E_NO_MEMORY = -7,
    GRAFVIK_E_REGISTRY = -8 /* the registry file could not be read or written */
};

/* Services the host lends to the control; any member may be null (no clipboard text, the
 * question answered Cancel, no beep). Copied by grafvik_create; `context` must outlive the
 * object. */
typedef struct GrafvikHost {
    void* context;
    /* The clipboard's plain text, or null when it holds none; the text must stay valid until
     * the method that asked for it returns. */
    const char* (*clipboard_text)(void* context);
    /* An OK/Cancel question with an exclamation icon; returns 1 for OK, 0 for Cancel. */
    int (*ask_ok_cancel)(void* context, const char* title, const char* text);
    /* The default beep. */
    void (*beep)(void* context);
} GrafvikHost;

typedef struct GrafvikObject GrafvikObject;

GRAFVIK_EXPORT int grafvik_interface_version(void);

/* Creates a GraphCtl object; `host` may be null. */
GRAFVIK_EXPORT int grafvik_create(const GrafvikHost* host, GrafvikObject** object);
GRAFVIK_EXPORT void grafvik_release(GrafvikObject* object);
/* Live objects; the library may be unloaded when this is 0. */
GRAFVIK_EXPORT long grafvik_object_count(void);

/* The dispatch id of a method name, compared without regard to ASCII case. */
GRAFVIK_EXPORT int grafvik_dispatch_id(const char* name, int32_t* dispid);
/* Calls a method with argc string arguments. *result (when given) receives CheckExcel's answer
 * and 0 for the other methods. */
GRAFVIK_EXPORT int grafvik_invoke(GrafvikObject* object, int32_t dispid, int argc,
                                  const char* const* argv, int32_t* result);

/* Writes (or removes) the class registration for this library file in a registry file; null
 * means the user's registry file. */
GRAFVIK_EXPORT int grafvik_register_server(const char* registry_file);
GRAFVIK_EXPORT int grafvik_unregister_server(const char* registry_file);

/* The entry points as the host finds them with dlsym. */
typedef int (*GrafvikInterfaceVersionFn)(void);
typedef int (*GrafvikCreateFn)(const GrafvikHost*, GrafvikObject**);
typedef void (*GrafvikReleaseFn)(GrafvikObject*);
typedef long (*GrafvikObjectCountFn)(void);
typedef int (*GrafvikDispatchIdFn)(const char*, int32_t*);
typedef int (*GrafvikInvokeFn)(GrafvikObject*, int32_t, int, const char* const*, int32_t*);
typedef int (*GrafvikRegisterFn)(const char*);

#ifdef __cplusplus
}
#endif

#endif /* GRAFVIK_H */
