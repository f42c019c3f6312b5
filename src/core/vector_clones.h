// SPDX-License-Identifier: MIT
#pragma once

// Marks a hot loop to be compiled once per vector instruction set of x86-64
// (AVX-512, AVX2 and the SSE2 baseline); the best one the processor has is
// picked when the program starts. The loops are written as plain C++ that
// the compiler turns into vector code; elsewhere the mark does nothing. The
// pick needs the ELF loader's indirect functions: Windows programs get the
// SSE2 baseline.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(_WIN32)
#define VARNOQUIL_VECTOR_CLONES __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))
#else
#define VARNOQUIL_VECTOR_CLONES
#endif
