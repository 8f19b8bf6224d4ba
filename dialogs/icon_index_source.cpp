#include "dialogs/icon_index_source.h"

namespace {
CIconIndexSource& (*g_pfnGetSource)() = nullptr;
}  // namespace

void SetIconIndexSource(CIconIndexSource& (*get)()) { g_pfnGetSource = get; }

CIconIndexSource* GetIconIndexSource() { return g_pfnGetSource ? &g_pfnGetSource() : nullptr; }
