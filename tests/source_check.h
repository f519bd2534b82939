#pragma once

#include <QList>
#include <QString>

// Reads the sources as text: every file dialog and message box of the tool must come
// from its dialog factory (src/widgets/dialogs), so that none misses the dark style.
class SourceCheck {
public:
    struct Finding {
        QString file; // relative to the source root
        int line = 0;
        QString text;
    };
    static constexpr const char *kFactoryDir = "src/widgets/dialogs/";

    // Direct constructions (on the stack, with new, as temporaries) and static calls
    // of QFileDialog and QMessageBox in the .cpp and .h files under `root`/src,
    // outside the factory. Comments and string literals are not read.
    static QList<Finding> strayDialogs(const QString &root);
    // The same for one file's text.
    static QList<int> strayLines(const QString &text);
};
