#pragma once
// The bytes the C library's heap has handed out, for the tests that measure memory; negative
// where the C library does not tell (the build takes HeapInUseMallinfo.cpp where it has mallinfo2).
double HeapInUse();
