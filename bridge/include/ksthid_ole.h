/* OLE Automation byte arrays and variants at the ksthid boundary.
 *
 * On Windows these are the real types from oleaut32. Elsewhere the library
 * supplies the same type names, field names, memory layout and type tags, and
 * the few functions a C caller needs, so that callers written against the
 * Windows interface compile and behave the same. Only one-dimensional arrays
 * of bytes are supported by this layer. */
#ifndef KSTHID_OLE_H
#define KSTHID_OLE_H

#ifdef _WIN32
// windows.h first: oleauto.h needs its base types.
#include <windows.h>

#include <oleauto.h>
#else

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define KSTHID_OLE_API __attribute__((visibility("default")))

typedef int32_t HRESULT;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef uint16_t USHORT;
typedef unsigned int UINT;
typedef uint16_t VARTYPE;
typedef int16_t VARIANT_BOOL;

#define S_OK ((HRESULT)0)
#define E_INVALIDARG ((HRESULT)0x80070057)
#define E_OUTOFMEMORY ((HRESULT)0x8007000E)
#define DISP_E_BADINDEX ((HRESULT)0x8002000B)
#define DISP_E_ARRAYISLOCKED ((HRESULT)0x8002000D)
#define DISP_E_BADVARTYPE ((HRESULT)0x80020008)

enum VARENUM {
  VT_EMPTY = 0,
  VT_NULL = 1,
  VT_I2 = 2,
  VT_I4 = 3,
  VT_R4 = 4,
  VT_R8 = 5,
  VT_CY = 6,
  VT_DATE = 7,
  VT_BSTR = 8,
  VT_DISPATCH = 9,
  VT_ERROR = 10,
  VT_BOOL = 11,
  VT_VARIANT = 12,
  VT_UNKNOWN = 13,
  VT_DECIMAL = 14,
  VT_I1 = 16,
  VT_UI1 = 17,
  VT_UI2 = 18,
  VT_UI4 = 19,
  VT_I8 = 20,
  VT_UI8 = 21,
  VT_INT = 22,
  VT_UINT = 23,
  VT_ARRAY = 0x2000,
  VT_BYREF = 0x4000
};

typedef struct tagSAFEARRAYBOUND {
  ULONG cElements;
  LONG lLbound;
} SAFEARRAYBOUND;

typedef struct tagSAFEARRAY {
  USHORT cDims;
  USHORT fFeatures;
  ULONG cbElements;
  ULONG cLocks;
  void* pvData;
  SAFEARRAYBOUND rgsabound[1];
} SAFEARRAY;

/* Currency: the value times 10000. */
typedef union tagCY {
  int64_t int64;
} CY;

/* Decimal: (Hi32 * 2^64 + Lo64) / 10^scale, negative when sign is DECIMAL_NEG. */
typedef struct tagDEC {
  USHORT wReserved;
  uint8_t scale;
  uint8_t sign;
  ULONG Hi32;
  uint64_t Lo64;
} DECIMAL;
#define DECIMAL_NEG ((uint8_t)0x80)

/* A record held by a variant. Declared here rather than inside the union:
 * ISO C++ allows no type declared in an anonymous union. */
struct tagBRECORD {
  void* pvRecord;
  void* pRecInfo;
};

/* A DECIMAL held by value fills the whole VARIANT, its wReserved being vt. */
typedef struct tagVARIANT {
  VARTYPE vt;
  USHORT wReserved1;
  USHORT wReserved2;
  USHORT wReserved3;
  union {
    int64_t llVal;
    int32_t lVal;
    uint8_t bVal;
    int16_t iVal;
    float fltVal;
    double dblVal;
    VARIANT_BOOL boolVal;
    CY cyVal;
    int8_t cVal;
    uint16_t uiVal;
    uint32_t ulVal;
    uint64_t ullVal;
    int intVal;
    unsigned int uintVal;
    SAFEARRAY* parray;
    uint8_t* pbVal;
    int16_t* piVal;
    int32_t* plVal;
    int64_t* pllVal;
    float* pfltVal;
    double* pdblVal;
    VARIANT_BOOL* pboolVal;
    CY* pcyVal;
    DECIMAL* pdecVal;
    int8_t* pcVal;
    uint16_t* puiVal;
    uint32_t* pulVal;
    uint64_t* pullVal;
    int* pintVal;
    unsigned int* puintVal;
    struct tagBRECORD brecVal;
  };
} VARIANT;

/* A one-dimensional array of cElements bytes with lower bound lLbound. Only
 * VT_UI1 is supported; any other type gives a null pointer. */
KSTHID_OLE_API SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lLbound, ULONG cElements);
/* Changes the bounds; new elements are zero, kept elements keep their values. */
KSTHID_OLE_API HRESULT SafeArrayRedim(SAFEARRAY* psa, SAFEARRAYBOUND* psaboundNew);
KSTHID_OLE_API UINT SafeArrayGetDim(SAFEARRAY* psa);
KSTHID_OLE_API UINT SafeArrayGetElemsize(SAFEARRAY* psa);
KSTHID_OLE_API HRESULT SafeArrayGetLBound(SAFEARRAY* psa, UINT nDim, LONG* plLbound);
KSTHID_OLE_API HRESULT SafeArrayGetUBound(SAFEARRAY* psa, UINT nDim, LONG* plUbound);
KSTHID_OLE_API HRESULT SafeArrayAccessData(SAFEARRAY* psa, void** ppvData);
KSTHID_OLE_API HRESULT SafeArrayUnaccessData(SAFEARRAY* psa);
KSTHID_OLE_API HRESULT SafeArrayDestroy(SAFEARRAY* psa);
KSTHID_OLE_API void VariantInit(VARIANT* pvarg);
KSTHID_OLE_API HRESULT VariantClear(VARIANT* pvarg);

#ifdef __cplusplus
}
#endif

#endif /* _WIN32 */
#endif /* KSTHID_OLE_H */
