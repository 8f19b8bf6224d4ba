#pragma once
// The two GLib character functions the core's portable code uses.

typedef unsigned int gunichar;
typedef int gboolean;

gunichar g_unichar_tolower(gunichar c);
gboolean g_ascii_isspace(char c);
