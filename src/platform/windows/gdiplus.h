#pragma once
// <gdiplus.h> as the rest of the code includes it on every platform. The
// system header expects <windows.h> (with its COM types) to come first.

#include <windows.h>

#include_next <gdiplus.h>
