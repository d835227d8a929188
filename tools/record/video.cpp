// lumora-record video: the ffmpeg child process, its input pipe and its exit status.
// Relies on POSIX (posix_spawnp, pipe, waitpid) and on ffmpeg with libx264 on the PATH.
// The Windows build writes no video (the end of the file).
#include "tools/record/video.h"

#ifndef _WIN32

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <vector>

#include "lumora/lumora.h"

extern char** environ;

namespace record {
namespace {

std::string Reason(int Errno) { return std::strerror(Errno); }

std::string DescribeStatus(int Status) {
  if (WIFEXITED(Status))
    return "ffmpeg failed with exit status " + std::to_string(WEXITSTATUS(Status));
  if (WIFSIGNALED(Status)) return "ffmpeg was killed by signal " + std::to_string(WTERMSIG(Status));
  return "ffmpeg ended abnormally";
}

}  // namespace

bool StartFfmpeg(TFfmpeg& Video, const std::string& Output, uint32_t Fps, std::string& Error) {
  Video = TFfmpeg{};
  Video.Output = Output;
  Video.Part = Output + ".part";

  struct stat Info {};
  if (stat(Output.c_str(), &Info) == 0 && S_ISDIR(Info.st_mode)) {
    Error = "cannot write " + Output + ": it is a directory";
    return false;
  }
  // Creating the file ffmpeg will write proves the folder writable before any work starts.
  const int Probe = open(Video.Part.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (Probe < 0) {
    Error = "cannot write " + Output + ": " + Reason(errno);
    return false;
  }
  close(Probe);

  // A dead ffmpeg must show up as a failed write (EPIPE), not end this process.
  std::signal(SIGPIPE, SIG_IGN);
  int Fds[2];
  if (pipe2(Fds, O_CLOEXEC) != 0) {
    Error = "cannot create a pipe: " + Reason(errno);
    unlink(Video.Part.c_str());
    return false;
  }
  const std::string Size =
      std::to_string(lumora::SCREEN_WIDTH) + "x" + std::to_string(lumora::SCREEN_HEIGHT);
  const std::string Rate = std::to_string(Fps);
  // The fourth byte of a back-buffer pixel carries no colour: bgr0 tells ffmpeg to ignore it.
  std::vector<std::string> Args = {"ffmpeg",     "-hide_banner", "-loglevel", "error",
                                   "-y",         "-f",           "rawvideo",  "-pixel_format",
                                   "bgr0",       "-video_size",  Size,        "-framerate",
                                   Rate,         "-i",           "-",         "-c:v",
                                   "libx264",    "-pix_fmt",     "yuv420p",   "-crf",
                                   "18",         "-preset",      "medium",    "-movflags",
                                   "+faststart", "-f",           "mp4",       Video.Part};
  std::vector<char*> Argv;
  for (std::string& A : Args) Argv.push_back(A.data());
  Argv.push_back(nullptr);

  posix_spawn_file_actions_t Actions;
  posix_spawn_file_actions_init(&Actions);
  posix_spawn_file_actions_adddup2(&Actions, Fds[0], STDIN_FILENO);
  const int Rc = posix_spawnp(&Video.Pid, "ffmpeg", &Actions, nullptr, Argv.data(), environ);
  posix_spawn_file_actions_destroy(&Actions);
  close(Fds[0]);
  if (Rc != 0) {
    close(Fds[1]);
    unlink(Video.Part.c_str());
    Video.Pid = -1;
    Error = Rc == ENOENT ? "ffmpeg not found on the PATH: install it (Debian: apt-get install "
                           "ffmpeg) or use --no-video"
                         : "cannot start ffmpeg: " + Reason(Rc);
    return false;
  }
  Video.Pipe = Fds[1];
  return true;
}

bool WriteVideoFrame(TFfmpeg& Video, const uint8_t* Frame, std::string& Error) {
  size_t Done = 0;
  while (Done < lumora::SCREEN_BYTES) {
    const ssize_t N = write(Video.Pipe, Frame + Done, lumora::SCREEN_BYTES - Done);
    if (N < 0 && errno == EINTR) continue;
    if (N <= 0) {
      Error = errno == EPIPE ? "ffmpeg stopped reading its input"
                             : "cannot feed ffmpeg: " + Reason(errno);
      return false;
    }
    Done += size_t(N);
  }
  ++Video.Frames;
  return true;
}

bool FinishFfmpeg(TFfmpeg& Video, bool InputComplete, std::string& Error) {
  if (Video.Pid < 0) return false;
  if (Video.Pipe >= 0) close(Video.Pipe);
  Video.Pipe = -1;
  if (!InputComplete) kill(Video.Pid, SIGTERM);
  int Status = 0;
  pid_t W;
  do W = waitpid(Video.Pid, &Status, 0);
  while (W < 0 && errno == EINTR);
  Video.Pid = -1;

  const bool Ok = W >= 0 && WIFEXITED(Status) && WEXITSTATUS(Status) == 0;
  const bool StoppedByUs =
      !InputComplete && W >= 0 && WIFSIGNALED(Status) && WTERMSIG(Status) == SIGTERM;
  if (!Ok && !StoppedByUs) {
    // A failing ffmpeg explains itself on stderr; this says what came of it.
    const std::string Why =
        W < 0 ? "cannot wait for ffmpeg: " + Reason(errno) : DescribeStatus(Status);
    Error = Error.empty() ? Why : Error + " (" + Why + ")";
  }
  if (!Ok || !InputComplete) {
    unlink(Video.Part.c_str());
    return false;
  }
  if (std::rename(Video.Part.c_str(), Video.Output.c_str()) != 0) {
    Error = "cannot move the video to " + Video.Output + ": " + Reason(errno);
    unlink(Video.Part.c_str());
    return false;
  }
  return true;
}

}  // namespace record

#else  // _WIN32

namespace record {

// No ffmpeg pipe on Windows: the recorder writes frames, stills and hashes there.
bool StartFfmpeg(TFfmpeg& Video, const std::string&, uint32_t, std::string& Error) {
  Video = TFfmpeg{};
  Error = "this Windows build writes no video: add --no-video (with --frames DIR or --hashes "
          "FILE), or use --still or --contact-sheet";
  return false;
}

bool WriteVideoFrame(TFfmpeg&, const uint8_t*, std::string& Error) {
  Error = "this Windows build writes no video";
  return false;
}

bool FinishFfmpeg(TFfmpeg&, bool, std::string&) { return false; }

}  // namespace record

#endif  // _WIN32
