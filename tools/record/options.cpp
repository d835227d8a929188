// lumora-record options: parsing and checking of the command line, and the help text.
// Relies on the showcase's scene table for the scene names.
#include "tools/record/options.h"

#include <cstring>

namespace record {
namespace {

constexpr uint32_t THIRDS_PER_SECOND = 3000;

// A decimal number without sign, spaces or suffix, at most Max.
bool ParseNumber(const std::string& Text, uint64_t Max, uint64_t& Value) {
  if (Text.empty() || Text.size() > 12) return false;
  uint64_t V = 0;
  for (char C : Text) {
    if (C < '0' || C > '9') return false;
    V = V * 10 + uint64_t(C - '0');
  }
  if (V > Max) return false;
  Value = V;
  return true;
}

std::string SceneNames() {
  std::string Names;
  for (const showcase::TSequenceItem& Item : showcase::Sequence) {
    if (!Names.empty()) Names += ", ";
    Names += Item.Scene->Name;
  }
  return Names;
}

bool ParseStill(const std::string& Spec, TStill& Still, std::string& Error) {
  const size_t Colon = Spec.find(':');
  const std::string Bad = "bad --still '" + Spec + "': ";
  if (Colon == std::string::npos) {
    Error = Bad + "expected SCENE:STEP or SCENE:STEP:FILE";
    return false;
  }
  Still.Scene = FindScene(Spec.substr(0, Colon));
  if (Still.Scene == nullptr) {
    Error = Bad + "unknown scene (scenes: " + SceneNames() + ")";
    return false;
  }
  const size_t Colon2 = Spec.find(':', Colon + 1);
  const std::string StepText =
      Spec.substr(Colon + 1, Colon2 == std::string::npos ? std::string::npos : Colon2 - Colon - 1);
  // A scene's steps run from 0 to its end step; later ones are never shown.
  const int32_t Last = Still.Scene->EndAt;
  uint64_t Step = 0;
  if (!ParseNumber(StepText, uint64_t(Last), Step)) {
    Error = Bad + "STEP must be a whole number from 0 to " + std::to_string(Last) + ", the " +
            Still.Scene->Name + " scene's last step";
    return false;
  }
  Still.Step = int32_t(Step);
  if (Colon2 != std::string::npos) {
    Still.File = Spec.substr(Colon2 + 1);
    if (Still.File.empty()) {
      Error = Bad + "empty FILE";
      return false;
    }
  } else {
    Still.File = std::string(Still.Scene->Name) + "-" + std::to_string(Step) + ".png";
  }
  return true;
}

}  // namespace

bool FrameThirdsForFps(uint32_t Fps, uint32_t& Thirds) {
  if (Fps == 0 || THIRDS_PER_SECOND % Fps != 0) return false;
  Thirds = THIRDS_PER_SECOND / Fps;
  return true;
}

std::string ValidFpsList() {
  std::string List;
  for (uint32_t N = 1; N <= THIRDS_PER_SECOND; ++N) {
    if (THIRDS_PER_SECOND % N != 0) continue;
    if (!List.empty()) List += ", ";
    List += std::to_string(N);
  }
  return List;
}

const showcase::TScene* FindScene(const std::string& Name) {
  for (const showcase::TSequenceItem& Item : showcase::Sequence)
    if (Name == Item.Scene->Name) return Item.Scene;
  return nullptr;
}

bool ParseRecordOptions(int argc, const char* const* argv, TRecordOptions& Options,
                        std::string& Error) {
  TRecordOptions O;
  for (int I = 1; I < argc; ++I) {
    std::string Arg = argv[I];
    if (Arg == "--help" || Arg == "-h") {
      O.Help = true;
      Options = O;
      return true;
    }
    // Flags without a value.
    if (Arg == "--no-video") {
      O.NoVideo = true;
      continue;
    }
    if (Arg == "--quiet" || Arg == "-q") {
      O.Quiet = true;
      continue;
    }

    // Options with a value, as "--name VALUE" or "--name=VALUE".
    std::string Value;
    bool HasValue = false;
    if (const size_t Eq = Arg.find('='); Arg.rfind("--", 0) == 0 && Eq != std::string::npos) {
      Value = Arg.substr(Eq + 1);
      Arg = Arg.substr(0, Eq);
      HasValue = true;
    }
    static const char* const WithValue[] = {"--fps",    "--scene", "--escape-at",
                                            "--frames", "--still", "--contact-sheet",
                                            "--output", "--assets", "--hashes"};
    bool Known = false;
    for (const char* Name : WithValue) Known = Known || Arg == Name;
    if (!Known) {
      Error = (Arg == "--no-video" || Arg == "--quiet" || Arg == "--help")
                  ? Arg + " takes no value"
                  : "unknown option '" + std::string(argv[I]) + "'";
      return false;
    }
    if (!HasValue) {
      if (I + 1 >= argc) {
        Error = Arg + " needs a value";
        return false;
      }
      Value = argv[++I];
    }

    if (Arg == "--fps") {
      uint64_t Fps = 0;
      if (!ParseNumber(Value, THIRDS_PER_SECOND, Fps) ||
          !FrameThirdsForFps(uint32_t(Fps), O.FrameThirds)) {
        Error = "--fps " + Value +
                ": the frame rate must divide 3000 so that every frame lasts a whole number of "
                "thirds of a millisecond; valid values: " +
                ValidFpsList();
        return false;
      }
      O.Fps = uint32_t(Fps);
    } else if (Arg == "--scene") {
      O.Scene = FindScene(Value);
      if (O.Scene == nullptr) {
        Error = "--scene " + Value + ": unknown scene (scenes: " + SceneNames() + ")";
        return false;
      }
    } else if (Arg == "--escape-at") {
      uint64_t Ms = 0;
      if (!ParseNumber(Value, MAX_ESCAPE_MS, Ms)) {
        Error = "--escape-at " + Value + ": expected milliseconds from 0 to " +
                std::to_string(MAX_ESCAPE_MS);
        return false;
      }
      O.EscapeAtMs = int64_t(Ms);
    } else if (Arg == "--still") {
      TStill Still;
      if (!ParseStill(Value, Still, Error)) return false;
      O.Stills.push_back(Still);
    } else {
      if (Value.empty()) {
        Error = Arg + " needs a non-empty value";
        return false;
      }
      if (Arg == "--frames") O.FramesDir = Value;
      if (Arg == "--hashes") O.HashesFile = Value;
      if (Arg == "--contact-sheet") O.ContactSheet = Value;
      if (Arg == "--output") {
        O.Output = Value;
        O.OutputGiven = true;
      }
      if (Arg == "--assets") O.Assets = Value;
    }
  }
  if (O.NoVideo && O.OutputGiven) {
    Error = "--output names a video, but --no-video asks for none";
    return false;
  }
  if (!WantsPlayback(O) && O.Stills.empty() && O.ContactSheet.empty()) {
    Error = "nothing to do: --no-video without --frames, --hashes, --still or --contact-sheet";
    return false;
  }
  Options = O;
  return true;
}

bool WantsVideo(const TRecordOptions& O) {
  // Stills alone are a quick job: they record a video only when one is named.
  if (O.NoVideo) return false;
  return (O.Stills.empty() && O.ContactSheet.empty()) || O.OutputGiven;
}

bool WantsPlayback(const TRecordOptions& O) {
  return WantsVideo(O) || !O.FramesDir.empty() || !O.HashesFile.empty();
}

const char* UsageText() {
  return "Usage: lumora-record [OPTION]...\n"
         "Plays the lumora showcase without a display, on a virtual clock, and writes what a\n"
         "viewer would have seen: an H.264 MP4 (through ffmpeg), PNG frames or stills.\n"
         "\n"
         "  --output FILE        the MP4 to write (default lumora-showcase.mp4); an existing\n"
         "                       file is replaced only once the new one is complete\n"
         "  --fps N              video frame rate (default 60); the virtual clock advances\n"
         "                       exactly 1000/N ms per frame, so N must divide 3000\n"
         "  --scene NAME         record one scene from a black screen, with the fade after it\n"
         "                       where the presentation has one; NAME is introduction,\n"
         "                       primitives, fonts, images or outro\n"
         "  --escape-at MS       press Escape at virtual time MS (ms since start)\n"
         "  --frames DIR         also write every presented frame as DIR/frame_000000.png ...\n"
         "  --hashes FILE        also write the XXH3-128 hash of every presented frame to FILE,\n"
         "                       one line each: frame index, part (start, scene or fade), step\n"
         "                       or fade pass, hash; tests/golden/ holds the reference lists\n"
         "  --no-video           write no video (with --frames, --hashes, --still or\n"
         "                       --contact-sheet)\n"
         "  --still SCENE:STEP[:FILE]\n"
         "                       write the frame of STEP of SCENE as a PNG (default FILE:\n"
         "                       SCENE-STEP.png); STEP from 0 to the scene's last step\n"
         "                       (introduction 3001, primitives 400, fonts 1001, images 2851,\n"
         "                       outro 501); repeatable\n"
         "  --contact-sheet FILE write a PNG grid of quarter-size stills: one row per scene in\n"
         "                       playing order, six columns at evenly spaced steps, each\n"
         "                       labelled with scene and step\n"
         "  --assets DIR         folder holding Fonts/ and Pictures/ (default: the current\n"
         "                       directory, else the directory of this program)\n"
         "  -q, --quiet          no progress line\n"
         "  -h, --help           show this help\n"
         "\n"
         "--still and --contact-sheet alone record no video; add --output to record one too.\n"
         "Output paths are taken relative to the directory lumora-record was started in.\n"
         "Exit status: 0 done, 1 failed (the message says why), 2 bad command line.\n";
}

}  // namespace record
