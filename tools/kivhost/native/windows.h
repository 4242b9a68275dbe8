// Stands in for windows.h where kivhost's portable sources build natively: the names the public header uses.
#pragma once

typedef struct HWND__* HWND;
#define __stdcall
#define __declspec(attributes)
