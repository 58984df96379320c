// Leak reports to ignore in sanitizer builds of the tests: allocations that system libraries
// keep for the life of the process and never free. SDL's video start-up connects to D-Bus,
// whose library holds one such buffer; it is not ours and not a growing leak.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\n";
}
