#pragma once

#include <QString>

// How every preview window offers its 3D LUT, as chosen on the command line: whether
// the title bar shows the "LUT" button, and a cube to load whenever a preview opens.
class PreviewLutSettings {
public:
    static void set(bool showButton, const QString &startupCube);

    static bool buttonShown();
    static QString startupCube();
    // True the first time a failure to load the start-up cube is to be shown to the
    // user, false afterwards: each later preview only logs it.
    static bool claimFailureReport();

private:
    struct State {
        bool showButton = false;
        QString startupCube;
        bool failureReported = false;
    };
    static State &state();
};
