// Callbacks that do nothing and return a zero value, for service members the
// stand-in host does not act on: a module calling one gets a harmless answer
// instead of a jump through a null pointer.
#ifndef MORVANE_HOST_COMMON_INERT_H
#define MORVANE_HOST_COMMON_INERT_H

namespace host {

template <class F> struct Inert;

template <class R, class... A> struct Inert<R (*)(A...)> {
    static R call(A...) { return R(); }
};

template <class... A> struct Inert<void (*)(A...)> {
    static void call(A...) {}
};

template <class F> void makeInert(F& slot) {
    slot = &Inert<F>::call;
}

} // namespace host

#endif
