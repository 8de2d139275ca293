#include "toolkit/core/WorkArea.h"

#include <atomic>

namespace {
std::atomic<WorkArea*> g_area{nullptr};
}

WorkArea* WorkArea::installed() {
    return g_area.load();
}

void WorkArea::install(WorkArea* area) {
    g_area.store(area);
}
