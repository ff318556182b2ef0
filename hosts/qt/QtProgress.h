#pragma once
// Progress of long work as a modal progress window that appears once the
// work has run for half a second; while it is up, the program's windows keep
// painting and only its Cancel button takes input.

#include <QPointer>

#include "platform/Progress.h"

class QWidget;

namespace tabulon::qt {

class CQtProgressHost final : public IProgressHost {
public:
    explicit CQtProgressHost(QWidget* parent = nullptr) : m_parent(parent) {}
    std::unique_ptr<IProgress> BeginProgress(const std::string& caption, bool cancellable) override;

private:
    QPointer<QWidget> m_parent;
};

}  // namespace tabulon::qt
