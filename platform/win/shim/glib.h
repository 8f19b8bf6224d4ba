#pragma once
// The GLib character functions the core's portable code uses, on Windows:
// case and spaces in shim_iconv.cpp, Unicode composition in
// shim_glib_unicode.cpp (over the system's NormalizeString).

#include <cstddef>

typedef unsigned int gunichar;
typedef int gboolean;
typedef int gint;
typedef char gchar;
typedef std::ptrdiff_t gssize;

#ifndef FALSE
#define FALSE 0
#define TRUE 1
#endif
#define G_N_ELEMENTS(a) (sizeof(a) / sizeof((a)[0]))
#define G_UNICHAR_MAX_DECOMPOSITION_LENGTH 18

typedef enum { G_NORMALIZE_NFC = 1 } GNormalizeMode;
// Only what tells marks from the rest.
typedef enum {
  G_UNICODE_OTHER_LETTER = 7,
  G_UNICODE_SPACING_MARK = 9,
  G_UNICODE_ENCLOSING_MARK = 10,
  G_UNICODE_NON_SPACING_MARK = 11
} GUnicodeType;

gunichar g_unichar_tolower(gunichar c);
gboolean g_ascii_isspace(char c);

// Nonzero for every mark: callers only ask whether it is zero.
gint g_unichar_combining_class(gunichar c);
GUnicodeType g_unichar_type(gunichar c);
std::size_t g_unichar_fully_decompose(gunichar c, gboolean compat, gunichar* result, std::size_t length);
gboolean g_unichar_decompose(gunichar c, gunichar* a, gunichar* b);
gboolean g_unichar_compose(gunichar a, gunichar b, gunichar* ch);
gint g_unichar_to_utf8(gunichar c, gchar* out);
gchar* g_utf8_normalize(const gchar* str, gssize len, GNormalizeMode mode);
gunichar g_utf8_get_char_validated(const gchar* p, gssize max_len);
extern const gchar* const g_utf8_skip;
void g_free(void* p);
