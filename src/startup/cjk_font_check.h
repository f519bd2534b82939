#pragma once

#include <QString>

class QMessageBox;

// The windows are Simplified Chinese: without a font that has those glyphs every label
// shows as boxes. At start-up the tool checks for one and, when none is installed, logs
// a warning and tells the user which package to install, in English, which any font
// can show. The notice is given once per run.
class CjkFontCheck {
public:
    static bool hasSimplifiedChineseFont();
    // Returns the notice shown (non-modal, deleted on close), or nullptr when a font is
    // present or the notice was already given.
    static QMessageBox *warnIfMissing();
    static QString noticeText();
};
