#include "offline/frame_sink.h"

#include "offline/interrupt.h"
#include "platform/platform.h"
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

void putLe(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// In a forked child: runs the program in a process group of its own, so that a Ctrl-C in the
// terminal reaches only the show, which then ends the program itself.
[[noreturn]] void execInOwnGroup(const std::vector<std::string>& args) {
    setpgid(0, 0);
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
}

// Waits for the child; after SIGINT or SIGTERM reached the show it kills the child first. True
// when the child exited with 0 and no interrupt came.
bool waitForChild(pid_t pid) {
    int status = 0;
    for (;;) {
        if (interruptSignal()) kill(pid, SIGKILL);
        const pid_t ended = waitpid(pid, &status, 0);
        if (ended == pid) break;
        if (ended < 0 && errno != EINTR) return false;
    }
    return !interruptSignal() && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Runs a program with its arguments and waits for it; true when it exited with 0.
bool runAndWait(const std::vector<std::string>& args) {
    pid_t pid = fork();
    if (pid == 0) execInOwnGroup(args);
    return pid > 0 && waitForChild(pid);
}

// Numbered PNG frames and music.wav in a folder.
class FolderSink : public FrameSink {
  public:
    // `created`: the folders the capture made for itself, outermost first.
    FolderSink(fs::path folder, int width, int height, std::vector<fs::path> created)
        : folder_(std::move(folder)), width_(width), height_(height), created_(std::move(created)) {
    }

    bool writeFrame(const std::vector<std::uint8_t>& rgb, std::string& error) override {
        char name[32];
        std::snprintf(name, sizeof name, "frame_%06ld.png", frames_++);
        fs::path path = folder_ / name;
        written_.push_back(path);
        return platform::writePng(path.string(), rgb.data(), width_, height_, error);
    }

    bool finish(const std::vector<float>& soundtrack, int sampleRate, std::string& error) override {
        fs::path wav = folder_ / "music.wav";
        written_.push_back(wav);
        return writeWav(wav.string(), soundtrack, sampleRate, error);
    }

    // Removes the frames and the soundtrack (and their temporary files), and then the folders
    // the capture made, as far as they are empty; nothing else in an existing folder.
    void discard() override {
        std::error_code ec;
        for (const auto& path : written_) {
            fs::remove(path, ec);
            fs::remove(path.string() + ".part", ec);
        }
        written_.clear();
        for (auto it = created_.rbegin(); it != created_.rend(); ++it)
            fs::remove(*it, ec); // fails, as it should, on a folder that is not empty
        created_.clear();
    }

  private:
    fs::path folder_;
    int width_, height_;
    long frames_ = 0;
    std::vector<fs::path> written_;
    std::vector<fs::path> created_;
};

// Frames piped to ffmpeg as raw RGB into a video-only file; at the end a second ffmpeg run
// adds the soundtrack and the result is renamed to the target.
class FfmpegSink : public FrameSink {
  public:
    FfmpegSink(std::string target, bool mp4) : target_(std::move(target)), mp4_(mp4) {
        video_ = target_ + ".video.part.mkv";
        audio_ = target_ + ".audio.part.wav";
        partial_ = target_ + ".part";
    }
    ~FfmpegSink() override { closePipe(); }

    bool start(int width, int height, unsigned fps, std::string& error) {
        int fds[2];
        if (pipe(fds) != 0) {
            error = "cannot start ffmpeg";
            return false;
        }
        std::string size = std::to_string(width) + "x" + std::to_string(height);
        // Above 640 x 480 the encoder would take longer than drawing the frame on a software
        // renderer: the fastest preset needs under half the time, for about twice the file at
        // the same quality.
        const std::string preset = width * height > 640 * 480 ? "ultrafast" : "veryfast";
        std::vector<std::string> args = {"ffmpeg",   "-loglevel",         "error", "-y",   "-f",
                                         "rawvideo", "-pix_fmt",          "rgb24", "-s",   size,
                                         "-r",       std::to_string(fps), "-i",    "-",    "-c:v",
                                         "libx264",  "-preset",           preset,  "-crf", "18",
                                         "-pix_fmt", "yuv420p",           video_};
        pid_ = fork();
        if (pid_ == 0) {
            dup2(fds[0], 0);
            close(fds[0]);
            close(fds[1]);
            execInOwnGroup(args);
        }
        close(fds[0]);
        if (pid_ < 0) {
            close(fds[1]);
            error = "cannot start ffmpeg";
            return false;
        }
        pipe_ = fds[1];
        std::signal(SIGPIPE, SIG_IGN); // a dying ffmpeg shows as a write error instead
        return true;
    }

    bool writeFrame(const std::vector<std::uint8_t>& rgb, std::string& error) override {
        const std::uint8_t* data = rgb.data();
        size_t left = rgb.size();
        while (left > 0) {
            ssize_t n = write(pipe_, data, left);
            if (interruptSignal()) {
                error = "interrupted";
                return false;
            }
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                error = "ffmpeg stopped taking frames";
                return false;
            }
            data += n;
            left -= static_cast<size_t>(n);
        }
        return true;
    }

    bool finish(const std::vector<float>& soundtrack, int sampleRate, std::string& error) override {
        if (!closePipe()) {
            error = "ffmpeg could not encode the video";
            return false;
        }
        if (!writeWav(audio_, soundtrack, sampleRate, error)) return false;
        std::vector<std::string> args = {"ffmpeg", "-loglevel", "error", "-y",   "-i",  video_,
                                         "-i",     audio_,      "-c:v",  "copy", "-c:a"};
        if (mp4_) {
            args.insert(args.end(), {"aac", "-b:a", "256k", "-f", "mp4"});
        } else {
            args.insert(args.end(), {"flac", "-f", "matroska"});
        }
        args.push_back(partial_);
        bool muxed = runAndWait(args);
        std::error_code ec;
        fs::remove(video_, ec);
        fs::remove(audio_, ec);
        if (!muxed || (fs::rename(partial_, target_, ec), ec)) {
            fs::remove(partial_, ec);
            error = "ffmpeg could not add the soundtrack to " + target_;
            return false;
        }
        return true;
    }

    // Ends ffmpeg at once (its output is thrown away) and removes every temporary file.
    void discard() override {
        if (pid_ > 0) kill(pid_, SIGKILL);
        closePipe();
        std::error_code ec;
        for (const auto& path : {video_, audio_, partial_, audio_ + ".part"})
            fs::remove(path, ec);
    }

  private:
    // Closes ffmpeg's input and waits for it; true when it finished cleanly.
    bool closePipe() {
        if (pipe_ >= 0) {
            close(pipe_);
            pipe_ = -1;
        }
        if (pid_ <= 0) return ok_;
        ok_ = waitForChild(pid_);
        pid_ = -1;
        return ok_;
    }

    std::string target_, video_, audio_, partial_;
    bool mp4_;
    int pipe_ = -1;
    pid_t pid_ = -1;
    bool ok_ = false;
};

} // namespace

std::string findOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    if (!path) return "";
    std::string entries = path;
    size_t start = 0;
    while (start <= entries.size()) {
        size_t end = entries.find(':', start);
        if (end == std::string::npos) end = entries.size();
        // An empty entry means the current directory.
        const std::string dir = end > start ? entries.substr(start, end - start) : std::string(".");
        if (access((dir + "/" + program).c_str(), X_OK) == 0) return dir;
        start = end + 1;
    }
    return "";
}

bool writeWav(const std::string& path, const std::vector<float>& soundtrack, int sampleRate,
              std::string& error) {
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(soundtrack.size() * 2);
    std::string bytes;
    bytes.reserve(44 + dataBytes);
    bytes += "RIFF";
    putLe(bytes, 36 + dataBytes, 4);
    bytes += "WAVEfmt ";
    putLe(bytes, 16, 4);
    putLe(bytes, 1, 2); // PCM
    putLe(bytes, 2, 2); // stereo
    putLe(bytes, static_cast<std::uint32_t>(sampleRate), 4);
    putLe(bytes, static_cast<std::uint32_t>(sampleRate) * 4, 4);
    putLe(bytes, 4, 2);
    putLe(bytes, 16, 2);
    bytes += "data";
    putLe(bytes, dataBytes, 4);
    for (float sample : soundtrack) {
        float clamped = std::clamp(sample, -1.0f, 1.0f);
        auto value = static_cast<std::int16_t>(std::lrint(clamped * 32767.0f));
        putLe(bytes, static_cast<std::uint16_t>(value), 2);
    }
    std::string partial = path + ".part";
    FILE* file = std::fopen(partial.c_str(), "wb");
    bool ok = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (file) ok = (std::fclose(file) == 0) && ok;
    if (ok && std::rename(partial.c_str(), path.c_str()) == 0) return true;
    std::remove(partial.c_str());
    error = "cannot write " + path;
    return false;
}

std::unique_ptr<FrameSink> openFrameSink(const std::string& target, int width, int height,
                                         unsigned fps, std::string& error) {
    std::error_code ec;
    if (endsWith(target, "/") || fs::is_directory(target, ec)) {
        // The folders that do not exist yet, outermost first: a failed capture removes them.
        std::vector<fs::path> created;
        for (fs::path at = fs::path(target).lexically_normal(); !at.empty() && !fs::exists(at, ec);
             at = at.parent_path()) {
            if (at.filename().empty()) continue; // the trailing separator
            created.insert(created.begin(), at);
            if (at == at.parent_path()) break;
        }
        fs::create_directories(target, ec);
        if (ec || !fs::is_directory(target, ec)) {
            error = "cannot create the folder " + target;
            return nullptr;
        }
        return std::make_unique<FolderSink>(target, width, height, std::move(created));
    }
    bool mp4 = endsWith(target, ".mp4");
    if (!mp4 && !endsWith(target, ".mkv")) {
        error = "capture to FILE.mkv, FILE.mp4 or a folder, not " + target;
        return nullptr;
    }
    fs::path parent = fs::path(target).parent_path();
    if (!parent.empty() && !fs::is_directory(parent, ec)) {
        error = "no folder " + parent.string() + " for " + target;
        return nullptr;
    }
    if (findOnPath("ffmpeg").empty()) {
        error = "ffmpeg is not on the PATH; install it, or capture to a folder of PNG frames";
        return nullptr;
    }
    auto sink = std::make_unique<FfmpegSink>(target, mp4);
    if (!sink->start(width, height, fps, error)) return nullptr;
    return sink;
}
