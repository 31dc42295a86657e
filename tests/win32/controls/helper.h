// The DLL that the dependent test control imports; it is installed beside the control.
#pragma once

#include <windows.h>

#ifdef BUILDING_HELPER
#define HELPER_API extern "C" __declspec(dllexport)
#else
#define HELPER_API extern "C" __declspec(dllimport)
#endif

HELPER_API HRESULT WINAPI HelperResult();
