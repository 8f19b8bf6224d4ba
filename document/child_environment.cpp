#include "document/child_environment.h"

#include <gio/gio.h>

#include <optional>

namespace {

bool g_bKept = false;
std::optional<std::string> g_original;

}  // namespace

void KeepLanguageForChildren(const char* original) {
  g_bKept = true;
  g_original = original != nullptr ? std::optional<std::string>(original) : std::nullopt;
}

GAppLaunchContext* NewChildLaunchContext() {
  GAppLaunchContext* context = g_app_launch_context_new();
  if (g_bKept && g_original)
    g_app_launch_context_setenv(context, "LANGUAGE", g_original->c_str());
  else if (g_bKept)
    g_app_launch_context_unsetenv(context, "LANGUAGE");
  return context;
}

char** NewChildEnvironment() {
  char** environment = g_get_environ();
  if (g_bKept && g_original) return g_environ_setenv(environment, "LANGUAGE", g_original->c_str(), TRUE);
  if (g_bKept) return g_environ_unsetenv(environment, "LANGUAGE");
  return environment;
}
