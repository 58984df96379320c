// Each test process gets a scratch folder of its own under /tmp, so tests that CTest runs side
// by side never share (or remove) each other's files. testing::TempDir() reads TEST_TMPDIR.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

struct OwnTempDir {
    std::string path;
    pid_t owner = getpid();

    OwnTempDir() {
        std::string pattern = "/tmp/tuvero-test-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) return; // TempDir() then falls back to /tmp
        path = pattern;
        setenv("TEST_TMPDIR", path.c_str(), 1);
    }
    ~OwnTempDir() {
        // Forked children that exit must not take the parent's folder with them.
        if (path.empty() || getpid() != owner) return;
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

OwnTempDir ownTempDir;

} // namespace
