#include "qt/QtProgress.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QProgressDialog>
#include <QThread>
#include <algorithm>

#include "qt/QtAsking.h"

namespace tabulon::qt {

namespace {

constexpr qint64 kShowAfterMs = 500;
// Between two looks at the window: often enough to stay responsive, rare
// enough that a million small steps cost nothing.
constexpr qint64 kPumpEveryMs = 40;
constexpr int kScale = 1000;

QString Text(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// Work that cannot stop halfway keeps its window up: Escape and the close
// box do nothing there.
class CProgressWindow final : public QProgressDialog {
public:
    CProgressWindow(QWidget* parent, bool cancellable) : QProgressDialog(parent), m_cancellable(cancellable) {}
    void reject() override {
        if (m_cancellable) QProgressDialog::reject();
    }

private:
    bool m_cancellable;
};

class CQtProgress final : public IProgress {
public:
    CQtProgress(QWidget* parent, const std::string& caption, bool cancellable)
        : m_parent(parent), m_caption(Text(caption)), m_cancellable(cancellable), m_focus(QApplication::focusWidget()) {
        m_clock.start();
        // Work that may be cancelled leaves the arrow with its mark of
        // work going on, for the Cancel button.
        QApplication::setOverrideCursor(cancellable ? Qt::BusyCursor : Qt::WaitCursor);
    }
    ~CQtProgress() override {
        const bool shown = m_dialog != nullptr;
        delete m_dialog;
        QApplication::restoreOverrideCursor();
        // The keyboard goes back where it was before the window took it.
        if (shown) ReturnKeyboardTo(m_focus.data());
    }

    void SetText(const std::string& text) override {
        m_text = Text(text);
        if (m_dialog) m_dialog->setLabelText(m_text);
    }

    bool Step(std::uint64_t done, std::uint64_t total) override {
        const qint64 now = m_clock.elapsed();
        if (now - m_lastPump < kPumpEveryMs) return !m_cancelled;
        m_lastPump = now;
        if (!m_dialog && now >= kShowAfterMs) Show();
        if (!m_dialog) return true;
        if (total == 0) {
            m_dialog->setRange(0, 0);
        } else {
            m_dialog->setRange(0, kScale);
            m_dialog->setValue(static_cast<int>(std::min(done, total) * kScale / total));
        }
        QApplication::processEvents();
        if (m_cancellable && m_dialog->wasCanceled()) m_cancelled = true;
        return !m_cancelled;
    }

    bool Cancelled() const override { return m_cancelled; }

private:
    void Show() {
        m_dialog = new CProgressWindow(m_parent, m_cancellable);
        m_dialog->setWindowTitle(m_caption);
        m_dialog->setLabelText(m_text.isEmpty() ? m_caption : m_text);
        m_dialog->setWindowModality(Qt::ApplicationModal);
        m_dialog->setAutoReset(false);
        m_dialog->setAutoClose(false);
        m_dialog->setMinimumDuration(0);
        if (!m_cancellable) m_dialog->setCancelButton(nullptr);
        m_dialog->setMinimumWidth(360);
        m_dialog->show();
    }

    QWidget* m_parent;
    QString m_caption;
    QString m_text;
    bool m_cancellable;
    bool m_cancelled = false;
    QElapsedTimer m_clock;
    qint64 m_lastPump = 0;
    CProgressWindow* m_dialog = nullptr;
    QPointer<QWidget> m_focus;
};

}  // namespace

std::unique_ptr<IProgress> CQtProgressHost::BeginProgress(const std::string& caption, bool cancellable) {
    return std::make_unique<CQtProgress>(m_parent.data(), caption, cancellable);
}

}  // namespace tabulon::qt
