// Byte-string helpers shared by every server, and the numbered-copy suffix
// ("name_#(3)") that copies of cages and deformers use for fresh group names.
#ifndef MORVANE_MODULE_STRINGS_H
#define MORVANE_MODULE_STRINGS_H

// Number of bytes before the terminator; 0 for a null string.
int cStringLength(const char* s);

// Copies src with its terminator into dst.
void copyCString(char* dst, const char* src);

// Copies at most n - 1 bytes of src into dst and always terminates (n = 1
// gives an empty string; n < 1 leaves dst alone).
void copyCStringN(char* dst, const char* src, int n);

// 1 when both strings are byte-for-byte equal, else 0.
int compareCString(const char* a, const char* b);

// 1 when part occurs inside name; an empty or null part gives 0.
int hasStringInName(const char* name, const char* part);

// Parses a numbered-copy suffix "_#(digits)" at the end of name. On success
// the '_' is overwritten with a terminator and the number returned (no digits
// give 0, still cutting the suffix). A string that does not end in such a
// suffix (at most 9 digits, at least one byte before the '_') is left alone
// and 0 returned.
int getNameAndIndexWithString(char* name);

// Appends "_#(index)" to name in a buffer of size bytes, cutting the name so
// the suffix and terminator fit. index is clamped to 0..999999999. A buffer
// too small for the bare suffix leaves name unchanged.
void getStringWithNameAndIndex(char* name, int index, int size);

#endif
