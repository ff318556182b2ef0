#pragma once
// A progress host that records what long work reported and can cancel it
// after a given number of steps.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Progress.h"

namespace tabulon::fakes {

class RecordingProgressHost : public IProgressHost {
public:
    struct Report {
        std::string caption;
        bool cancellable = false;
        std::vector<std::string> texts;
        std::vector<std::pair<std::uint64_t, std::uint64_t>> steps;
        bool ended = false;
    };

    std::unique_ptr<IProgress> BeginProgress(const std::string& caption, bool cancellable) override {
        reports.push_back({caption, cancellable, {}, {}, false});
        return std::make_unique<Progress>(*this, reports.size() - 1);
    }

    // The user presses Cancel at this step of the next work (-1: never).
    long cancelAtStep = -1;
    // Runs at every step, as a host that paints its windows meanwhile would.
    std::function<void()> onStep;
    std::vector<Report> reports;

private:
    class Progress : public IProgress {
    public:
        Progress(RecordingProgressHost& host, std::size_t index) : m_host(host), m_index(index) {}
        ~Progress() override { m_host.reports[m_index].ended = true; }
        void SetText(const std::string& text) override { m_host.reports[m_index].texts.push_back(text); }
        bool Step(std::uint64_t done, std::uint64_t total) override {
            auto& steps = m_host.reports[m_index].steps;
            steps.emplace_back(done, total);
            if (m_host.onStep) m_host.onStep();
            if (m_host.cancelAtStep >= 0 && static_cast<long>(steps.size()) > m_host.cancelAtStep) m_cancelled = true;
            return !m_cancelled;
        }
        bool Cancelled() const override { return m_cancelled; }

    private:
        RecordingProgressHost& m_host;
        std::size_t m_index;
        bool m_cancelled = false;
    };
};

}  // namespace tabulon::fakes
