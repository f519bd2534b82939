#pragma once

#include <QString>

#include <functional>

class QWidget;

// The one place where the control panel asks the user for a file. Tests install a
// responder that answers instead of the user, without showing a dialog.
class FileDialogs {
public:
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

    // A chooser for one existing file, owned by `parent`, in detail view and with the
    // given style sheet.
    static QString getStyledOpenFileName(QWidget *parent, const QString &caption, const QString &directory,
                                         const QString &filter, const QString &styleSheet);

    // An empty function shows real dialogs again.
    static void setTestResponder(Responder responder);

private:
    static Responder &responder();
};
