// Start-up in order (questions, window and context, music, first registration), the main loop,
// and the release sequence.
#include "startup/options.h"

#include "app/app_state.h"
#include "app/console.h"
#include "app/flash_warning.h"
#include "app/music.h"
#include "app/playback.h"
#include "app/projection.h"
#include "app/scene_table.h"
#include "app/show_observer.h"
#include "assets/data_folder.h"
#include "assets/texture.h"
#include "offline/benchmark.h"
#include "offline/capture.h"
#include "offline/music_hash.h"
#include "offline/trace.h"
#include "platform/platform.h"
#include "render/context_check.h"
#include "render/gfx.h"
#include "render/overlays.h"
#include "scenes/show_random.h"
#include "startup/render_size.h"
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <unistd.h>

namespace {
ShowOptions activeOptions;

bool ask(const char* text) { return platform::messageBox({text, "Options", true}); }

// Window, GL context with the one projection of the run, and the check that the context has
// what the drawing layer needs.
bool createAppWindow() {
    platform::WindowOptions window;
    window.fullScreen = appState.fullScreen != 0;
    window.vsync = activeOptions.vsync;
    window.hidden = activeOptions.hidden;
    window.width = static_cast<int>(appState.screenWidth);
    window.height = static_cast<int>(appState.screenHeight);
    window.title = "Tuvero";
    std::string error;
    if (!platform::openWindow(window, error)) {
        std::fprintf(stderr, "tuvero: %s\n", error.c_str());
        releaseAll();
        return false;
    }
    appState.window = 1;
    std::string missing;
    if (!startLayerOnContext(missing)) {
        std::fprintf(stderr, "tuvero: %s\n", missing.c_str());
        platform::messageBox({"Ei tukea: Multitexturing!", "Virhe", false});
        releaseAll();
        return false;
    }
    setupProjection();
    return true;
}

// The size of the picture, now that the renderer is known, and what goes with it: the
// projection's viewport, texture filtering and which pictures to load.
bool configurePicture(bool offline) {
    const RenderChoice choice = chooseRenderSize(activeOptions, offline, gfx::rendererName());
    if (!choice.note.empty()) std::fprintf(stderr, "%s\n", choice.note.c_str());
    std::string error;
    if (!platform::setPictureSize(choice.size, error)) {
        std::fprintf(stderr, "tuvero: %s\n", error.c_str());
        return false;
    }
    setupProjection();
    gfx::useAnisotropicFiltering(choice.anisotropic);
    choosePictureFolder(platform::frameWidth() > 640, !activeOptions.dataDir.empty());
    return true;
}

// A file can be written at `path` (it is not written now): its folder exists and takes files,
// and it is not a folder itself nor a file that cannot be replaced.
bool checkOutputFile(const std::string& path, std::string& error) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path file(path);
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    if (fs::is_directory(file, ec))
        error = path + " is a folder; give a file name";
    else if (!fs::is_directory(folder, ec))
        error = "cannot write " + path + ": there is no folder " + folder.string();
    else if (access(folder.c_str(), W_OK) != 0 ||
             (fs::exists(file, ec) && access(file.c_str(), W_OK) != 0))
        error = "cannot write " + path + ": " + std::strerror(EACCES);
    return error.empty();
}

// True when no screenshot was asked for or it was written.
bool writeScreenshot() {
    if (activeOptions.screenshot.empty()) return true;
    const auto& picture = platform::lastPresentedFrame();
    if (picture.empty()) {
        std::fprintf(stderr, "tuvero: no frame was presented; %s not written\n",
                     activeOptions.screenshot.c_str());
        return false;
    }
    std::string error;
    if (!platform::writePng(activeOptions.screenshot, picture.data(), platform::frameWidth(),
                            platform::frameHeight(), error)) {
        std::fprintf(stderr, "tuvero: %s\n", error.c_str());
        return false;
    }
    return true;
}
} // namespace

PlaySettings playSettingsOf(const ShowOptions& options) {
    PlaySettings settings;
    settings.frames = options.frames;
    settings.stepMicroseconds = options.stepMs > 0 ? stepMicroseconds(options) : 0;
    settings.offline =
        options.capture || options.benchmark || options.snapshots || options.flashReport;
    settings.hidden = options.hidden;
    if (options.capture) settings.framesPerSecond = options.capture->fps;
    settings.cueOnceInstrument = options.cueOnceInstrument;
    settings.cueEveryInstrument = options.cueEveryInstrument;
    return settings;
}

int runShow(const ShowOptions& given) {
    ShowOptions options = given;
    std::string dataFolder, dataError;
    if (!findDataFolder(dataFolderPlaces(options.dataDir), dataFolder, dataError)) {
        std::fprintf(stderr, "tuvero: %s\n", dataError.c_str());
        return 1;
    }
    if (options.musicHashSeconds > 0) {
        setDataDirectory(dataFolder);
        return printMusicHash(dataPath(showMarkerFile), options.musicHashSeconds);
    }
    // Offline runs ask nothing, open no sound device and need no visible window.
    const bool offline =
        options.capture || options.benchmark || options.snapshots || options.flashReport;
    if (offline) {
        options.fullScreen = false;
        options.music = false;
        options.hidden = true;
        options.vsync = false;
    }
    if (options.snapshots) {
        std::string error;
        if (!checkSnapshotFolder(options.snapshots->folder, error)) {
            printMessageLine(error);
            return 1;
        }
    }
    // Outputs are checked now: a run must not fail at its end over a path given at its start.
    for (const std::string* output : {&options.benchmarkJson, &options.screenshot}) {
        std::string error;
        if (!output->empty() && !checkOutputFile(*output, error)) {
            printMessageLine(error);
            return 1;
        }
    }
    // The live show needs a display to be seen; without one SDL would draw off screen, and the
    // show would play unseen until it was killed.
    if (!offline && !options.hidden && !platform::displayAvailable()) {
        printMessageLine("there is no display to play the show on (no X11 or Wayland display "
                         "server answers; is DISPLAY set?). Without one, the show can be "
                         "rendered offline: --capture FILE, --snapshots F,... --snapshot-dir DIR, "
                         "or --benchmark");
        return 1;
    }
    // A hidden run is for no one to watch or hear: it asks nothing.
    if (options.hidden) {
        if (!options.fullScreen) options.fullScreen = false;
        if (!options.music) options.music = false;
    }
    std::unique_ptr<CaptureRun> capture;
    if (options.capture) {
        capture = std::make_unique<CaptureRun>(*options.capture);
        std::string error;
        if (!capture->open(error)) {
            std::fprintf(stderr, "tuvero: %s\n", error.c_str());
            return 1;
        }
    }
    std::unique_ptr<FlashReportRun> flashReport;
    if (options.flashReport) {
        flashReport = std::make_unique<FlashReportRun>(*options.flashReport);
        std::string error;
        if (!flashReport->open(error)) {
            std::fprintf(stderr, "tuvero: %s\n", error.c_str());
            return 1;
        }
    }
    activeOptions = options;
    setPlaySettings(playSettingsOf(options));
    setGentleEffects(options.gentle);
    if (!offline && !options.gentle && !classicShowFlashWarning().empty())
        std::printf("%s\n", classicShowFlashWarning().c_str());
    std::fflush(stdout);
    appState.fullScreen = options.fullScreen ? *options.fullScreen : ask("Fullscreenin\xE4?");
    appState.musicEnabled = options.music ? *options.music : ask("Musiikit?");
    // Runs on the virtual clock (--step, capture, benchmark) repeat exactly: a fixed seed.
    const bool virtualClock = options.stepMs > 0 || offline;
    seedShowRandom(virtualClock ? 1u : static_cast<unsigned>(std::time(nullptr)));
    if (options.trace)
        std::printf("start fullscreen %d music %d\n", appState.fullScreen, appState.musicEnabled);
    appState.screenWidth = 640;
    appState.screenHeight = 480;
    appState.colorBits = 32;
    setDataDirectory(dataFolder);
    if (options.capture)
        platform::useVirtualClockAtRate(100000, options.capture->fps);
    else if (options.benchmark || options.snapshots || options.flashReport)
        platform::useVirtualClockAtRate(100000, 60);
    else if (options.stepMs > 0)
        platform::useVirtualClockAtStep(100000, stepMicroseconds(options), 1000);
    platform::keepPresentedFrames(!options.screenshot.empty());

    // What watches the show: the offline run, if any, and the trace. The core holds a pointer
    // for the rest of this run.
    std::unique_ptr<SnapshotRun> snapshots;
    if (options.snapshots) snapshots = std::make_unique<SnapshotRun>(*options.snapshots);
    std::unique_ptr<BenchmarkRun> benchmark;
    if (options.benchmark) benchmark = std::make_unique<BenchmarkRun>(options.benchmarkJson);
    std::unique_ptr<Trace> trace;
    if (options.trace) trace = std::make_unique<Trace>();
    ShowObserverList observers;
    observers.add(trace.get()); // first: its lines come before what the run prints of a frame
    for (ShowObserver* run : std::initializer_list<ShowObserver*>{capture.get(), flashReport.get(),
                                                                  snapshots.get(), benchmark.get()})
        observers.add(run);
    setShowObserver(&observers);
    struct Detach {
        ~Detach() { setShowObserver(nullptr); }
    } detach;

    if (!createAppWindow() || !configurePicture(offline) || !startMusic()) {
        releaseAll();
        if (capture) capture->abandon();
        return 1;
    }
    registerScenes();
    if (options.startAtEntry > 1)
        setStartJump({JumpTarget::Kind::Entry, 0, options.startAtEntry});
    else if (options.startAtSeconds > 0)
        setStartJump({JumpTarget::Kind::ShowTime,
                      static_cast<std::uint32_t>(options.startAtSeconds * 1000 + 0.5), 0});
    if (capture) return capture->run();
    if (snapshots) return snapshots->run();
    if (flashReport) return flashReport->run();
    if (benchmark) return benchmark->run();
    int code = mainLoop();
    if (!writeScreenshot() && code == 0) code = 1;
    return code;
}
