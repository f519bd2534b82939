#include "source_check.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>

namespace {
// The code of a C++ text without its comments and the contents of its string and
// character literals; line breaks are kept so that line numbers stay.
QString codeOnly(const QString &text)
{
    QString out;
    out.reserve(text.size());
    enum { Code, Line, Block, String, Char } state = Code;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const QChar next = i + 1 < text.size() ? text[i + 1] : QChar();
        switch (state) {
        case Code:
            if (c == QLatin1Char('/') && next == QLatin1Char('/'))
                state = Line;
            else if (c == QLatin1Char('/') && next == QLatin1Char('*'))
                state = Block, ++i;
            else if (c == QLatin1Char('"'))
                state = String, out += c;
            else if (c == QLatin1Char('\''))
                state = Char, out += c;
            else
                out += c;
            break;
        case Line:
            if (c == QLatin1Char('\n'))
                state = Code, out += c;
            break;
        case Block:
            if (c == QLatin1Char('*') && next == QLatin1Char('/'))
                state = Code, ++i;
            else if (c == QLatin1Char('\n'))
                out += c;
            break;
        case String:
        case Char:
            if (c == QLatin1Char('\\'))
                ++i;
            else if (c == (state == String ? QLatin1Char('"') : QLatin1Char('\'')))
                state = Code, out += c;
            else if (c == QLatin1Char('\n'))
                out += c;
            break;
        }
    }
    return out;
}
} // namespace

QList<int> SourceCheck::strayLines(const QString &text)
{
    static const QRegularExpression made(QStringLiteral(
        // new QMessageBox / QMessageBox box(...) / QMessageBox box; / QMessageBox(...) / QMessageBox{...}
        "\\bnew\\s+Q(MessageBox|FileDialog)\\b"
        "|\\bQ(MessageBox|FileDialog)\\s+[A-Za-z_]\\w*\\s*[({;=]"
        "|\\bQ(MessageBox|FileDialog)\\s*[({]"
        // the static convenience functions
        "|\\bQ(MessageBox|FileDialog)\\s*::\\s*(information|warning|critical|question|about|aboutQt|"
        "getOpenFileNames?|getSaveFileName|getExistingDirectory|getOpenFileUrls?|getSaveFileUrl|"
        "getExistingDirectoryUrl|getOpenFileContent|saveFileContent)\\s*\\("));
    QList<int> lines;
    const QStringList code = codeOnly(text).split(QLatin1Char('\n'));
    for (int i = 0; i < code.size(); ++i)
        if (made.match(code[i]).hasMatch())
            lines << i + 1;
    return lines;
}

QList<SourceCheck::Finding> SourceCheck::strayDialogs(const QString &root)
{
    QList<Finding> findings;
    const QDir base(root);
    QDirIterator it(base.filePath(QStringLiteral("src")), {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                    QDirIterator::Subdirectories);
    QStringList files;
    while (it.hasNext())
        files << base.relativeFilePath(it.next());
    files.sort();
    for (const QString &file : std::as_const(files)) {
        if (file.startsWith(QLatin1String(kFactoryDir)))
            continue;
        QFile f(base.filePath(file));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QString text = QString::fromUtf8(f.readAll());
        const QStringList raw = text.split(QLatin1Char('\n'));
        for (int line : strayLines(text))
            findings.append({file, line, raw.value(line - 1).trimmed()});
    }
    return findings;
}
