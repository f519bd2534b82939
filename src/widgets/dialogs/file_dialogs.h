#pragma once

#include <QSize>
#include <QString>

#include <functional>

class QFileDialog;
class QWidget;

// The one place where the control panel asks the user for a file, in Qt's own file
// dialog in the tool's dark colours. Tests install a responder that answers instead
// of the user, without showing a dialog.
class FileDialogs {
public:
    static constexpr const char *kDarkStyle =
        "QFileDialog { background-color: #2d2d2d; color: #eeeeee; }"
        "QWidget { background-color: #2d2d2d; color: #eeeeee; }"
        "QListView, QTreeView, QLineEdit, QComboBox { background-color: #333333; color: #eeeeee; }"
        "QPushButton { background-color: #2d2d2d; color: #eeeeee; border: 1px solid #3a3a3a; padding: 4px 12px; }"
        "QPushButton:hover { background-color: #3a3a3a; }";

    // Room for the file list's columns beside the side bar.
    static constexpr QSize kDefaultSize{760, 460};

    enum class Kind { Open, Save };
    struct Request {
        Kind kind = Kind::Open;
        QWidget *parent = nullptr;
        QString caption;
        QString directory;
        QString filter;
        QString styleSheet; // the styled chooser's look; empty for Qt's own dialogs
    };
    // Returns the chosen path, or an empty text for "cancelled".
    using Responder = std::function<QString(const Request &request)>;

    static QString getOpenFileName(QWidget *parent, const QString &caption, const QString &directory,
                                   const QString &filter);
    static QString getSaveFileName(QWidget *parent, const QString &caption, const QString &directory,
                                   const QString &filter);

    // A chooser for one existing file with another style sheet.
    static QString getStyledOpenFileName(QWidget *parent, const QString &caption, const QString &directory,
                                         const QString &filter, const QString &styleSheet);

    // An empty function shows real dialogs again.
    static void setTestResponder(Responder responder);

    // The dialog the three functions above run, owned by the caller; detail view.
    static QFileDialog *createDialog(Kind kind, QWidget *parent, const QString &caption, const QString &directory,
                                     const QString &filter, const QString &styleSheet);

private:
    static QString run(Kind kind, QWidget *parent, const QString &caption, const QString &directory,
                       const QString &filter, const QString &styleSheet);
    static Responder &responder();
};
