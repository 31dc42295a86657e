#define BUILDING_HELPER
#include "helper.h"

HRESULT WINAPI HelperResult() { return S_OK; }
