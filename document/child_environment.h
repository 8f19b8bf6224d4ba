#pragma once
// Programs this one starts (a file's application, the browser for the
// manual) run in the user's own language: the Japanese LANGUAGE this program
// sets for its toolkit's texts is not passed on.

#include <string>

typedef struct _GAppLaunchContext GAppLaunchContext;

// Records LANGUAGE as the user had it (null: not set), before the program
// changes it. Until then children get the environment as it is.
void KeepLanguageForChildren(const char* original);

// A launch context whose programs get the user's LANGUAGE; g_object_unref it.
GAppLaunchContext* NewChildLaunchContext();

// The environment for a program started directly; g_strfreev it.
char** NewChildEnvironment();
