#include "platform/DetachedProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>

namespace kestrava {

namespace {

bool IsExecutableFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         ::access(path.c_str(), X_OK) == 0;
}

[[noreturn]] void ReportAndExit(int fd) {
  const int error = errno;
  [[maybe_unused]] const ssize_t wrote = ::write(fd, &error, sizeof error);
  ::_exit(127);
}

// Runs in the grandchild, after fork in a process that may have other threads: only calls that
// are safe there. What the builder blocked, ignored or had open is none of the program's business.
[[noreturn]] void ExecInGrandchild(const char* file, char* const argv[], int reportFd) {
  sigset_t none;
  sigemptyset(&none);
  ::sigprocmask(SIG_SETMASK, &none, nullptr);
  struct sigaction standard {};
  standard.sa_handler = SIG_DFL;
  sigemptyset(&standard.sa_mask);
  for (int signal = 1; signal < NSIG; ++signal)
    ::sigaction(signal, &standard, nullptr);
  // Closed at exec; the report pipe already is.
  ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
  ::execv(file, argv);
  ReportAndExit(reportFd);
}

}  // namespace

bool SpawnDetached(const std::string& file, const std::vector<std::string>& args) {
  if (!IsExecutableFile(file) || args.empty()) return false;
  std::vector<char*> argv;
  for (const std::string& arg : args)
    argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);

  // The grandchild writes errno here when exec fails; a successful exec closes the pipe.
  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) return false;
  const pid_t child = ::fork();
  if (child < 0) {
    ::close(report[0]);
    ::close(report[1]);
    return false;
  }
  if (child == 0) {
    ::close(report[0]);
    ::setsid();
    const pid_t grandchild = ::fork();
    if (grandchild < 0) ReportAndExit(report[1]);
    if (grandchild > 0) ::_exit(0);
    ExecInGrandchild(file.c_str(), argv.data(), report[1]);
  }
  ::close(report[1]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  int error = 0;
  ssize_t got;
  do {
    got = ::read(report[0], &error, sizeof error);
  } while (got < 0 && errno == EINTR);
  ::close(report[0]);
  return got == 0;
}

std::string FindOnPath(const std::string& name) {
  if (name.empty()) return {};
  if (name.find('/') != std::string::npos) return IsExecutableFile(name) ? name : std::string();
  const char* variable = std::getenv("PATH");
  const std::string_view path = variable ? variable : "/usr/local/bin:/usr/bin:/bin";
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find(':', start);
    if (end == std::string_view::npos) end = path.size();
    // An empty element is the current folder.
    const std::string_view folder = path.substr(start, end - start);
    const std::string candidate =
        (folder.empty() ? std::string(".") : std::string(folder)) + "/" + name;
    if (IsExecutableFile(candidate)) return candidate;
    start = end + 1;
  }
  return {};
}

}  // namespace kestrava
