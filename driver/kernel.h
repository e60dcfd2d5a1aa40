// The kernel headers as C++ can take them.
#pragma once

// mingw-w64's wdm.h redefines these two intrinsics that g++ already provides.
#define __INTRINSIC_DEFINED_InterlockedBitTestAndSet
#define __INTRINSIC_DEFINED_InterlockedBitTestAndReset

extern "C" {
#include <ntifs.h>  // ntddk.h, and the object and security calls the device's protection needs
}
