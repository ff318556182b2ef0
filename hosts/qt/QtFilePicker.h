#pragma once
// The file pickers as QFileDialog.

#include <QString>
#include <QStringList>

#include "platform/FilePicker.h"

class QWidget;

namespace tabulon::qt {

// "Desc (*.a)|*.a|All Files (*.*)|*.*||" as Qt's name filters: each
// description with its own patterns in parentheses ("Desc (*.a)"). "*.*"
// becomes "*", so that names without a dot are shown too.
QStringList NameFiltersFromFilter(const std::string& filter);

class CQtFilePicker final : public IFilePicker {
public:
    explicit CQtFilePicker(QWidget* parent = nullptr) : m_parent(parent) {}
    std::optional<std::string> PickOpenFile(const FilePickerOptions& options) override;
    std::optional<std::string> PickSaveFile(const FilePickerOptions& options) override;

private:
    std::optional<std::string> Pick(const FilePickerOptions& options, bool save);
    QWidget* m_parent;
    QString m_folder;  // where the last pick was made
};

}  // namespace tabulon::qt
