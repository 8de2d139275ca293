#pragma once

struct WRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const WRect&) const = default;
};

// The desktop's work area (the screen without panels). The GUI installs the real one; tests give
// fixed sizes.
class WorkArea {
public:
    virtual ~WorkArea() = default;
    virtual WRect workArea() const = 0;

    // Installs the work area (nullptr: none). The caller keeps ownership.
    static void install(WorkArea* area);
    static WorkArea* installed();
};
