#pragma once

// For the per-pixel loops, which are written to vectorise: on x86-64 (GCC) a function so
// marked is built a second time for AVX2, chosen at run time where the processor has it.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define FRAMORA_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define FRAMORA_VECTOR_CLONES
#endif
