// What the running Windows says of itself, read in one place.
#pragma once
#include <windows.h>

// True on the NT family (NT, 2000 and later); false on 95, 98 and Me, or when unknown.
bool IsNtFamily();
// True for Windows older than Me (4.90) and 2000 (5.0), or when unknown.
bool IsObsoleteOs();
