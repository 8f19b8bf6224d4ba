#include "document/app_launcher.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gio/gio.h>

#include <memory>

#include "document/child_environment.h"

namespace {

struct CGObjectUnref {
  void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T>
using CGObjectPtr = std::unique_ptr<T, CGObjectUnref>;

struct CGFree {
  void operator()(gpointer memory) const { g_free(memory); }
};

// The first bytes of a regular file, so that a file whose name tells nothing
// still gets its type from its content. Opened without blocking: a named pipe
// at the path must not hang the program.
std::string ReadSample(const std::string& path) {
  std::string sample;
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return sample;
  struct stat status;
  if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
    sample.resize(4096);
    const ssize_t n = read(fd, sample.data(), sample.size());
    sample.resize(n > 0 ? std::size_t(n) : 0);
  }
  close(fd);
  return sample;
}

}  // namespace

CAppLauncher::EOpenResult CDesktopLauncher::OpenWithAssociated(const std::string& path) {
  const std::string sample = ReadSample(path);
  std::unique_ptr<gchar, CGFree> type(
      g_content_type_guess(path.c_str(), reinterpret_cast<const guchar*>(sample.data()), sample.size(), nullptr));
  if (!type) return OPEN_NO_APPLICATION;
  CGObjectPtr<GAppInfo> app(g_app_info_get_default_for_type(type.get(), FALSE));
  if (!app) return OPEN_NO_APPLICATION;

  CGObjectPtr<GFile> file(g_file_new_for_path(path.c_str()));
  GList files = {file.get(), nullptr, nullptr};
  GError* error = nullptr;
  CGObjectPtr<GAppLaunchContext> context(NewChildLaunchContext());
  const bool launched = g_app_info_launch(app.get(), &files, context.get(), &error);
  if (error) g_error_free(error);
  return launched ? OPEN_DONE : OPEN_FAILED;
}

bool CDesktopLauncher::OpenWithProgram(const std::string& program, const std::string& path) {
  if (program.empty()) return false;
  std::vector<std::string> arguments = ProgramArguments(program, path);
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  // Without G_SPAWN_DO_NOT_REAP_CHILD GLib starts the program through an
  // intermediate child, so no zombie is left behind, and reports a program
  // that cannot be executed as an error.
  GError* error = nullptr;
  char** environment = NewChildEnvironment();
  const bool started =
      g_spawn_async(nullptr, argv.data(), environment, G_SPAWN_SEARCH_PATH, nullptr, nullptr, nullptr, &error);
  g_strfreev(environment);
  if (error) g_error_free(error);
  return started;
}
