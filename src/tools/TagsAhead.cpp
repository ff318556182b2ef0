#include "tools/TagsAhead.h"

#include <algorithm>
#include <chrono>
#include <system_error>

namespace tabulon {

namespace {

// How long a wait for tags goes without asking whether to go on: the
// progress window stays painted and Cancel is heard.
constexpr std::chrono::milliseconds kAskEvery{50};
// A wait lasts until so many more files are read, not just the one: the
// threads go on without waking the caller for each file.
constexpr std::size_t kWaitFor = 64;

}  // namespace

CTagsAhead::CTagsAhead(ITagReader& reader, std::vector<TagsToRead> files)
    : m_reader(reader),
      m_files(std::move(files)),
      m_done(m_files.size()),
      m_tags(m_files.size()),
      m_failures(m_files.size()) {
    try {
        for (int i = 0; i < kThreads; ++i) m_threads.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
        // Fewer threads, or none: Take reads what is left itself.
    }
}

CTagsAhead::~CTagsAhead() {
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    for (std::thread& thread : m_threads) thread.join();
}

void CTagsAhead::Work() {
    for (;;) {
        std::size_t index = 0;
        {
            const std::lock_guard lock(m_mutex);
            if (m_stop || m_next == m_files.size()) return;
            index = m_next++;
        }
        std::optional<FileTags> tags;
        std::exception_ptr failure;
        try {
            tags = m_reader.ReadTags(m_files[index].path, m_files[index].wanted);
        } catch (...) {
            failure = std::current_exception();
        }
        {
            const std::lock_guard lock(m_mutex);
            m_tags[index] = std::move(tags);
            m_failures[index] = failure;
            m_done[index] = 1;
            if (index != m_awaited && index != m_awaitedLast) continue;
        }
        m_read.notify_all();
    }
}

bool CTagsAhead::Take(std::size_t index, const std::function<bool()>& keepGoing, std::optional<FileTags>& tags) {
    std::unique_lock lock(m_mutex);
    if (m_threads.empty() && !m_done[index]) {
        // No thread could be started: read here.
        lock.unlock();
        tags = m_reader.ReadTags(m_files[index].path, m_files[index].wanted);
        return true;
    }
    if (!m_done[index]) {
        m_awaited = index;
        m_awaitedLast = std::min(index + kWaitFor, m_files.size()) - 1;
        while (!m_read.wait_for(lock, kAskEvery, [&] { return m_done[index] && m_done[m_awaitedLast]; })) {
            lock.unlock();
            const bool goOn = keepGoing();
            lock.lock();
            if (!goOn) return false;
        }
    }
    if (m_failures[index]) std::rethrow_exception(m_failures[index]);
    tags = std::move(m_tags[index]);
    return true;
}

}  // namespace tabulon
