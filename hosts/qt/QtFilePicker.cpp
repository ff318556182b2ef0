#include "qt/QtFilePicker.h"

#include <algorithm>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

#include "qt/QtAsking.h"

namespace tabulon::qt {

QStringList NameFiltersFromFilter(const std::string& filter) {
    QStringList parts = QString::fromUtf8(filter.data(), static_cast<qsizetype>(filter.size())).split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        if (description.isEmpty()) break;  // the "||" at the end
        QStringList patterns;
        for (QString pattern : parts[i + 1].split(';', Qt::SkipEmptyParts)) {
            pattern = pattern.trimmed();
            if (pattern == "*.*") pattern = "*";
            if (!pattern.isEmpty()) patterns << pattern;
        }
        // The description's own "(*.htm, *.html)" gives way to Qt's form.
        description.remove(QRegularExpression(QStringLiteral("\\s*\\([^()]*\\)\\s*$")));
        filters << description + " (" + patterns.join(' ') + ")";
    }
    return filters;
}

std::optional<std::string> CQtFilePicker::PickOpenFile(const FilePickerOptions& options) {
    return Pick(options, false);
}

std::optional<std::string> CQtFilePicker::PickSaveFile(const FilePickerOptions& options) { return Pick(options, true); }

std::optional<std::string> CQtFilePicker::Pick(const FilePickerOptions& options, bool save) {
    QWidget* modal = QApplication::activeModalWidget();
    QFileDialog dialog(modal ? modal : m_parent);
    dialog.setWindowTitle(save ? QStringLiteral("Save As") : QStringLiteral("Open"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(options.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // A name that does not exist yet may be typed into the open picker too.
    // The save picker asks before it names a file that exists: the
    // configuration is written over it at the next save.
    dialog.setOption(QFileDialog::ReadOnly, false);
    const QStringList filters = NameFiltersFromFilter(options.filter);
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
    if (options.chosenFilter && *options.chosenFilter > 0 && *options.chosenFilter < filters.size())
        dialog.selectNameFilter(filters[*options.chosenFilter]);
    if (!options.defaultExtension.empty()) dialog.setDefaultSuffix(QString::fromStdString(options.defaultExtension));
    // Where the files are: the folder asked for, else where the last pick
    // ended, else home; never the folder the program happened to start in.
    const QString asked = QFile::decodeName(options.initialFolder.c_str());
    if (!asked.isEmpty() && QDir(asked).exists())
        dialog.setDirectory(asked);
    else
        dialog.setDirectory(m_folder.isEmpty() ? QDir::homePath() : m_folder);
    if (!options.initialName.empty()) dialog.selectFile(QString::fromStdString(options.initialName));
    int answer = QDialog::Rejected;
    {
        const CAsking asking;
        answer = dialog.exec();
    }
    if (answer != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) return std::nullopt;
    if (options.chosenFilter)
        *options.chosenFilter = std::max<int>(0, static_cast<int>(filters.indexOf(dialog.selectedNameFilter())));
    const QFileInfo chosen(files.front());
    m_folder = chosen.absolutePath();
    return QFile::encodeName(chosen.absoluteFilePath()).toStdString();
}

}  // namespace tabulon::qt
