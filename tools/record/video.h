// lumora-record video: an ffmpeg process fed raw back-buffer frames on a pipe, encoding
// H.264 into an MP4. Relies on POSIX process and pipe calls and on ffmpeg on the PATH.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>

namespace record {

struct TFfmpeg {
  pid_t Pid = -1;
  int Pipe = -1;        // ffmpeg's standard input
  std::string Output;   // where the finished video goes
  std::string Part;     // what ffmpeg writes; renamed to Output on success
  uint64_t Frames = 0;  // frames handed over
};

// Starts "ffmpeg ... -i - ... Part" for 1024 x 768 frames at Fps. Fails with a clear
// message when the output cannot be written or ffmpeg cannot be started.
bool StartFfmpeg(TFfmpeg& Video, const std::string& Output, uint32_t Fps, std::string& Error);

// Hands one back-buffer frame (SCREEN_BYTES bytes) to ffmpeg.
bool WriteVideoFrame(TFfmpeg& Video, const uint8_t* Frame, std::string& Error);

// Ends the input, waits for ffmpeg and checks its exit status; then moves the video to its
// place. With InputComplete false the video is abandoned: ffmpeg is stopped and the partial
// file removed. Returns true only when the video is complete; otherwise ffmpeg's failure,
// if any, is added to Error.
bool FinishFfmpeg(TFfmpeg& Video, bool InputComplete, std::string& Error);

}  // namespace record
