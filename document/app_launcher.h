#pragma once
// Starting applications for catalogued files: the desktop's association for
// the file's type, or a program the user chose. Behind an interface so that
// the tests start nothing.

#include <string>
#include <vector>

class CAppLauncher {
 public:
  enum EOpenResult {
    OPEN_DONE,            // the application was started
    OPEN_NO_APPLICATION,  // nothing is associated with the file's type
    OPEN_FAILED,          // an application is associated but did not start
  };

  virtual ~CAppLauncher() = default;

  // Opens path with the application associated with its type.
  virtual EOpenResult OpenWithAssociated(const std::string& path) = 0;
  // Starts program with path as its only argument; false when it cannot be
  // started.
  virtual bool OpenWithProgram(const std::string& program, const std::string& path) = 0;
};

// The desktop's associations (the shared MIME database and the default
// applications GIO knows) and programs started directly, never through a
// shell, so no file name can become a command.
class CDesktopLauncher : public CAppLauncher {
 public:
  EOpenResult OpenWithAssociated(const std::string& path) override;
  bool OpenWithProgram(const std::string& program, const std::string& path) override;
};

// The process's desktop launcher.
CAppLauncher& GetDesktopLauncher();

// The argument vector program is started with to open path: the program,
// then the path as one argument. A path beginning with "-" gets "./" in front
// so that the program cannot take it for an option.
std::vector<std::string> ProgramArguments(const std::string& program, const std::string& path);
