// Thread-local variables the per-point work reads at every query: with the
// initial-exec model (no lookup call) where the platform's loader keeps
// room for a loaded module's few bytes of them.
#ifndef MORVANE_GEOMETRY_QUICK_TLS_H
#define MORVANE_GEOMETRY_QUICK_TLS_H

#if defined(__ELF__) && (defined(__GNUC__) || defined(__clang__))
#define MORVANE_QUICK_TLS __attribute__((tls_model("initial-exec")))
#else
#define MORVANE_QUICK_TLS
#endif

#endif
