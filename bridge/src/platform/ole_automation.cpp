// Byte arrays and variants for platforms without OLE Automation, laid out
// like the Windows types so that callers can be written once for both.
#include <cstdlib>
#include <cstring>

#include "export_arguments.h"
#include "ksthid_ole.h"

using ksthid::isByteVector;

extern "C" {

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lLbound, ULONG cElements) {
  if (vt != VT_UI1) return nullptr;
  auto* psa = static_cast<SAFEARRAY*>(std::calloc(1, sizeof(SAFEARRAY)));
  if (!psa) return nullptr;
  psa->cDims = 1;
  psa->cbElements = 1;
  psa->pvData = std::calloc(cElements > 0 ? cElements : 1, 1);
  if (!psa->pvData) {
    std::free(psa);
    return nullptr;
  }
  psa->rgsabound[0] = {cElements, lLbound};
  return psa;
}

HRESULT SafeArrayRedim(SAFEARRAY* psa, SAFEARRAYBOUND* psaboundNew) {
  if (!isByteVector(psa) || !psaboundNew) return E_INVALIDARG;
  if (psa->cLocks != 0) return DISP_E_ARRAYISLOCKED;
  const ULONG oldCount = psa->rgsabound[0].cElements;
  const ULONG newCount = psaboundNew->cElements;
  void* data = std::realloc(psa->pvData, newCount > 0 ? newCount : 1);
  if (!data) return E_OUTOFMEMORY;
  if (newCount > oldCount) std::memset(static_cast<char*>(data) + oldCount, 0, newCount - oldCount);
  psa->pvData = data;
  psa->rgsabound[0] = *psaboundNew;
  return S_OK;
}

UINT SafeArrayGetDim(SAFEARRAY* psa) {
  return psa ? psa->cDims : 0;
}

UINT SafeArrayGetElemsize(SAFEARRAY* psa) {
  return psa ? psa->cbElements : 0;
}

HRESULT SafeArrayGetLBound(SAFEARRAY* psa, UINT nDim, LONG* plLbound) {
  if (!isByteVector(psa) || !plLbound) return E_INVALIDARG;
  if (nDim != 1) return DISP_E_BADINDEX;
  *plLbound = psa->rgsabound[0].lLbound;
  return S_OK;
}

HRESULT SafeArrayGetUBound(SAFEARRAY* psa, UINT nDim, LONG* plUbound) {
  if (!isByteVector(psa) || !plUbound) return E_INVALIDARG;
  if (nDim != 1) return DISP_E_BADINDEX;
  *plUbound = psa->rgsabound[0].lLbound + static_cast<LONG>(psa->rgsabound[0].cElements) - 1;
  return S_OK;
}

HRESULT SafeArrayAccessData(SAFEARRAY* psa, void** ppvData) {
  if (!isByteVector(psa) || !ppvData) return E_INVALIDARG;
  ++psa->cLocks;
  *ppvData = psa->pvData;
  return S_OK;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* psa) {
  if (!isByteVector(psa) || psa->cLocks == 0) return E_INVALIDARG;
  --psa->cLocks;
  return S_OK;
}

HRESULT SafeArrayDestroy(SAFEARRAY* psa) {
  if (!psa) return S_OK;
  if (psa->cLocks != 0) return DISP_E_ARRAYISLOCKED;
  std::free(psa->pvData);
  std::free(psa);
  return S_OK;
}

void VariantInit(VARIANT* pvarg) {
  if (pvarg) pvarg->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANT* pvarg) {
  if (!pvarg) return E_INVALIDARG;
  if ((pvarg->vt & VT_ARRAY) != 0 && (pvarg->vt & VT_BYREF) == 0) {
    const HRESULT destroyed = SafeArrayDestroy(pvarg->parray);
    if (destroyed != S_OK) return destroyed;
  }
  std::memset(pvarg, 0, sizeof(VARIANT));
  return S_OK;
}

}  // extern "C"
