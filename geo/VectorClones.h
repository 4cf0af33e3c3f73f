// KESTROVA_VECTOR_CLONES marks a function whose loops run on several
// numbers at once: on x86-64 it is compiled twice, for the baseline
// processor and for AVX2 (four doubles at a time instead of two), and the
// program picks the version the processor runs when it starts. Both do the
// same IEEE operations in the same order (no fused multiply-add, as
// -ffp-contract=off forbids), so they give the same results. The function
// must have internal linkage: put it in an unnamed namespace and call it
// from the exported one.
//
// Not under AddressSanitizer or ThreadSanitizer: the choice is made while
// the program is loaded, before their run-time is ready for instrumented
// code.
#pragma once

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define KESTROVA_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) ||                         \
    __has_feature(memory_sanitizer)
#define KESTROVA_SANITIZED 1
#endif
#endif

// A build may define KESTROVA_VECTOR_CLONES itself: empty, for the
// baseline version alone (tests/clones compares it with the AVX2 clone).
#ifndef KESTROVA_VECTOR_CLONES
#if defined(__x86_64__) && defined(__linux__) && (defined(__GNUC__) || defined(__clang__)) &&      \
    !defined(__AVX2__) && !defined(KESTROVA_SANITIZED)
#define KESTROVA_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define KESTROVA_VECTOR_CLONES
#endif
#endif
