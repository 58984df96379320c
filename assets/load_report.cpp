#include "assets/load_report.h"

namespace {
std::vector<LoadReport> pending;
}

void reportLoadProblem(LoadReport report) { pending.push_back(std::move(report)); }

std::vector<LoadReport> takeLoadReports() {
    std::vector<LoadReport> taken;
    taken.swap(pending);
    return taken;
}
