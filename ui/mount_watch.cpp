#include "ui/mount_watch.h"

#include <gio/gunixmounts.h>

struct CMountWatch::CImpl {
  GUnixMountMonitor* pMonitor = nullptr;
  gulong nHandler = 0;
  std::function<void()> changed;
};

namespace {

void OnMountsChanged(GUnixMountMonitor*, gpointer data) { static_cast<CMountWatch::CImpl*>(data)->changed(); }

}  // namespace

CMountWatch::CMountWatch(wxWindow*, std::function<void()> changed) : m_pImpl(std::make_unique<CImpl>()) {
  m_pImpl->changed = std::move(changed);
  // The monitor reports on the main context, which the GTK event loop runs.
  m_pImpl->pMonitor = g_unix_mount_monitor_get();
  m_pImpl->nHandler = g_signal_connect(m_pImpl->pMonitor, "mounts-changed", G_CALLBACK(OnMountsChanged), m_pImpl.get());
}

CMountWatch::~CMountWatch() {
  g_signal_handler_disconnect(m_pImpl->pMonitor, m_pImpl->nHandler);
  g_object_unref(m_pImpl->pMonitor);
}
