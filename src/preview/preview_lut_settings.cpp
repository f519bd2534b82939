#include "preview_lut_settings.h"

PreviewLutSettings::State &PreviewLutSettings::state() {
    static State s;
    return s;
}

void PreviewLutSettings::set(bool showButton, const QString &startupCube) {
    state() = State{showButton, startupCube, false};
}

bool PreviewLutSettings::buttonShown() {
    return state().showButton;
}

QString PreviewLutSettings::startupCube() {
    return state().startupCube;
}

bool PreviewLutSettings::claimFailureReport() {
    const bool first = !state().failureReported;
    state().failureReported = true;
    return first;
}
