#pragma once
// The desktop's shell for the program as Qt knows it: opening a file with
// the program the desktop has for files of a kind (the XDG MIME
// associations), opening a target through the desktop services, and what
// follows a written list page (viewing it; the upload says it is not done).
// The XDG shell and the list publisher of the Linux host take its place.

#include <QStringList>
#include <string>

#include "platform/ListPublisher.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"

namespace tabulon::qt {

// The command line of an XDG desktop entry's Exec value run on file: the
// file in place of its field code (%f, %F, %u, %U), other codes dropped, and
// the file appended when there was none. Empty when the value is empty.
QStringList CommandForFile(const QString& exec, const QString& file);

class CQtShell final : public IShell, public IListPublisher {
public:
    explicit CQtShell(IMessageBox& messages) : m_messages(messages) {}

    bool RunAssociatedCommand(const std::string& extension, const std::string& file, int show) override;
    void UploadList(const CListConfig& config, const std::string& output) override;
    // An OpenResult code; quiet, the caller tells the user.
    int OpenTarget(const std::string& target, int show) override;

private:
    IMessageBox& m_messages;
};

}  // namespace tabulon::qt
