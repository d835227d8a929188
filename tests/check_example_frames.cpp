// check_example_frames: runs an example headless and compares the hashes of its frames with a
// reference list, frame by frame. The examples' tests (tests/examples.cmake) call it.
#ifdef _WIN32
#include <process.h>
#else
#include <spawn.h>
#include <sys/wait.h>
extern char** environ;
#endif

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/common/frame_hash.h"

namespace {

// Runs Args[0] with the arguments Args[1..] and waits for it. True when it exited with
// status 0; otherwise false with the reason in Error.
bool Run(const std::vector<std::string>& Args, std::string& Error) {
#ifdef _WIN32
  // The Windows runtime joins the arguments into one command line: each is quoted so that
  // the program splits them back as they were.
  std::vector<std::string> Quoted;
  for (const std::string& A : Args) {
    std::string Q = "\"";
    size_t Slashes = 0;
    for (const char C : A) {
      if (C == '\\') {
        ++Slashes;
        continue;
      }
      Q.append(C == '"' ? 2 * Slashes + 1 : Slashes, '\\');
      Slashes = 0;
      Q += C;
    }
    Q.append(2 * Slashes, '\\');
    Quoted.push_back(Q + "\"");
  }
  std::vector<const char*> Argv;
  for (const std::string& Q : Quoted) Argv.push_back(Q.c_str());
  Argv.push_back(nullptr);
  const intptr_t Status = _spawnvp(_P_WAIT, Args[0].c_str(), Argv.data());
  if (Status == -1) {
    Error = "cannot run " + Args[0] + ": " + std::strerror(errno);
    return false;
  }
  if (Status != 0) Error = Args[0] + " exited with status " + std::to_string(Status);
  return Status == 0;
#else
  std::vector<char*> Argv;
  for (const std::string& A : Args) Argv.push_back(const_cast<char*>(A.c_str()));
  Argv.push_back(nullptr);
  pid_t Child = 0;
  const int SpawnError = posix_spawnp(&Child, Argv[0], nullptr, nullptr, Argv.data(), environ);
  if (SpawnError != 0) {
    Error = "cannot run " + Args[0] + ": " + std::strerror(SpawnError);
    return false;
  }
  int Status = 0;
  while (waitpid(Child, &Status, 0) < 0) {
    if (errno != EINTR) {
      Error = "waiting for " + Args[0] + ": " + std::strerror(errno);
      return false;
    }
  }
  if (WIFEXITED(Status) && WEXITSTATUS(Status) == 0) return true;
  Error = Args[0] + (WIFEXITED(Status)
                         ? " exited with status " + std::to_string(WEXITSTATUS(Status))
                         : " was ended by signal " +
                               std::to_string(WIFSIGNALED(Status) ? WTERMSIG(Status) : 0));
  return false;
#endif
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::printf(
        "Usage: check_example_frames REFERENCE OUTPUT PROGRAM [ARGUMENT...]\n"
        "Runs PROGRAM ARGUMENT... --hashes OUTPUT, which must exit with status 0, then\n"
        "compares the frame hashes in OUTPUT with those in REFERENCE and names the first\n"
        "frame that differs. PROGRAM may be an emulator followed by the example.\n"
        "Exit status 0 when they agree, 1 otherwise, 2 on bad usage.\n");
    return 0;
  }
  if (argc < 4) {
    std::fprintf(stderr, "check_example_frames: expected REFERENCE OUTPUT PROGRAM (try --help)\n");
    return 2;
  }
  const std::string Reference = argv[1], Output = argv[2];
  std::remove(Output.c_str());  // a list left from an earlier run must not pass for this one

  std::vector<std::string> Args(argv + 3, argv + argc);
  Args.push_back("--hashes");
  Args.push_back(Output);
  std::string Error;
  if (!Run(Args, Error)) {
    std::fprintf(stderr, "check_example_frames: %s\n", Error.c_str());
    return 1;
  }

  std::vector<tools::THashLine> Expected, Actual;
  if (!tools::ReadHashList(Reference, Expected, Error) ||
      !tools::ReadHashList(Output, Actual, Error)) {
    std::fprintf(stderr, "check_example_frames: %s\n", Error.c_str());
    return 1;
  }
  if (Expected.empty()) {
    std::fprintf(stderr, "check_example_frames: %s holds no frames\n", Reference.c_str());
    return 1;
  }
  const std::string Difference = tools::CompareHashLists(Expected, Actual);
  if (!Difference.empty()) {
    std::fprintf(stderr, "check_example_frames: %s: %s\n", argv[3], Difference.c_str());
    return 1;
  }
  std::printf("check_example_frames: %zu frames agree with %s\n", Actual.size(), Reference.c_str());
  return 0;
}
