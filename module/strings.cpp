#include "module/strings.h"

int cStringLength(const char* s) {
    if (!s) return 0;
    int n = 0;
    while (s[n])
        ++n;
    return n;
}

void copyCString(char* dst, const char* src) {
    if (!dst) return;
    if (!src) {
        dst[0] = 0;
        return;
    }
    int i = 0;
    for (; src[i]; ++i)
        dst[i] = src[i];
    dst[i] = 0;
}

void copyCStringN(char* dst, const char* src, int n) {
    if (!dst || n < 1) return;
    int i = 0;
    if (src)
        for (; i < n - 1 && src[i]; ++i)
            dst[i] = src[i];
    dst[i] = 0;
}

int compareCString(const char* a, const char* b) {
    if (!a || !b) return a == b;
    int i = 0;
    for (; a[i] && a[i] == b[i]; ++i) {
    }
    return a[i] == b[i] ? 1 : 0;
}

int hasStringInName(const char* name, const char* part) {
    if (!name || !part || !part[0]) return 0;
    for (int i = 0; name[i]; ++i) {
        int j = 0;
        while (part[j] && name[i + j] == part[j])
            ++j;
        if (!part[j]) return 1;
    }
    return 0;
}

int getNameAndIndexWithString(char* name) {
    int len = cStringLength(name);
    if (len < 6 || name[len - 1] != ')') return 0;

    int digitEnd = len - 1; // index of ')'
    int p = digitEnd;
    while (p > 0 && name[p - 1] >= '0' && name[p - 1] <= '9')
        --p;
    int digits = digitEnd - p;
    if (digits > 9) return 0;

    // "_#(" must stand right before the digits, with at least one byte before it.
    int underscore = p - 3;
    if (underscore < 1) return 0;
    if (name[underscore] != '_' || name[underscore + 1] != '#' || name[underscore + 2] != '(')
        return 0;

    int value = 0;
    for (int i = p; i < digitEnd; ++i)
        value = value * 10 + (name[i] - '0');
    name[underscore] = 0;
    return value;
}

void getStringWithNameAndIndex(char* name, int index, int size) {
    if (!name) return;
    if (index < 0) index = 0;
    if (index > 999999999) index = 999999999;

    char digits[10];
    int d = 0;
    do {
        digits[d++] = char('0' + index % 10);
        index /= 10;
    } while (index);

    // The suffix "_#(" + digits + ")" and the terminator need d + 5 bytes.
    if (size < d + 5) return;
    int pos = cStringLength(name);
    int limit = size - 7 - d;
    if (limit < 0) limit = 0;
    if (pos > limit) pos = limit;

    name[pos++] = '_';
    name[pos++] = '#';
    name[pos++] = '(';
    while (d)
        name[pos++] = digits[--d];
    name[pos++] = ')';
    name[pos] = 0;
}
