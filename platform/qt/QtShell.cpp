#include "qt/QtShell.h"

#include <QDesktopServices>
#include <QFile>
#include <QMimeDatabase>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTextStream>
#include <QUrl>

namespace tabulon::qt {

namespace {

QString FileName(const std::string& bytes) {
    return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

// The desktop entry the desktop opens files of mime type with, "" if none.
QString DefaultApplication(const QString& mimeType) {
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    if (!query.waitForFinished(3000) || query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0) {
        query.kill();
        return {};
    }
    return QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
}

// The Exec value of a desktop entry file, "" when there is none.
QString ExecOfDesktopEntry(const QString& id) {
    const QString path = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, id);
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
    QTextStream in(&file);
    bool inEntry = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith('[')) {
            inEntry = line == QStringLiteral("[Desktop Entry]");
        } else if (inEntry && line.startsWith(QStringLiteral("Exec="))) {
            return line.mid(5).trimmed();
        }
    }
    return {};
}

}  // namespace

QStringList CommandForFile(const QString& exec, const QString& file) {
    QStringList words = QProcess::splitCommand(exec);
    QStringList command;
    bool placed = false;
    for (const QString& word : words) {
        if (word == "%f" || word == "%F" || word == "%u" || word == "%U") {
            if (!placed) command << file;
            placed = true;
            continue;
        }
        QString out;
        for (qsizetype i = 0; i < word.size(); ++i) {
            if (word[i] == '%' && i + 1 < word.size()) {
                const QChar code = word[++i];
                if (code == '%') out += '%';
                continue;  // %i, %c, %k and the rest say nothing about the file
            }
            out += word[i];
        }
        if (!out.isEmpty()) command << out;
    }
    if (command.isEmpty()) return {};
    if (!placed) command << file;
    return command;
}

bool CQtShell::RunAssociatedCommand(const std::string& extension, const std::string& file, int) {
    const QString path = FileName(file);
    const QMimeType type = QMimeDatabase().mimeTypeForFile(QStringLiteral("x") + QString::fromStdString(extension),
                                                           QMimeDatabase::MatchExtension);
    const QString id = DefaultApplication(type.name());
    if (!id.isEmpty()) {
        const QStringList command = CommandForFile(ExecOfDesktopEntry(id), path);
        if (!command.isEmpty() && QProcess::startDetached(command.front(), command.mid(1))) return true;
    }
    // No program named for that kind: the one the file's own kind opens with.
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void CQtShell::UploadList(const CListConfig&, const std::string& output) {
    m_messages.Show("The list was written to\n" + output +
                        "\n\nbut not uploaded: FTP upload is not part of this version of Tabulon yet.",
                    "Ftp", MbIcon::Exclamation, MbButtons::Ok);
}

int CQtShell::OpenTarget(const std::string& target, int) {
    const QString text = FileName(target);
    const QUrl url = text.contains(QStringLiteral("://")) ? QUrl(text) : QUrl::fromLocalFile(text);
    return QDesktopServices::openUrl(url) ? OpenResult::kStarted : OpenResult::kNoAssociation;
}

}  // namespace tabulon::qt
