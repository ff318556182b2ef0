#pragma once
// The tags of a list of files read ahead on threads of their own, in the
// list's order, while the caller takes them one by one: a scan does its own
// work on the files already read while the next ones are being read.

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/TagReader.h"

namespace tabulon {

struct TagsToRead {
    std::string path;
    TagsWanted wanted;
};

class CTagsAhead {
public:
    static constexpr int kThreads = 2;

    // Starts reading the tags of files with reader, which must bear being
    // called from kThreads threads at once.
    CTagsAhead(ITagReader& reader, std::vector<TagsToRead> files);
    // Stops the threads, each after the file it is reading.
    ~CTagsAhead();
    CTagsAhead(const CTagsAhead&) = delete;
    CTagsAhead& operator=(const CTagsAhead&) = delete;

    // The tags of the index-th file, once read. While it waits it asks
    // keepGoing now and then; false when that said stop. What reading them
    // threw is thrown here.
    bool Take(std::size_t index, const std::function<bool()>& keepGoing, std::optional<FileTags>& tags);

private:
    void Work();

    ITagReader& m_reader;
    const std::vector<TagsToRead> m_files;
    std::mutex m_mutex;
    std::condition_variable m_read;
    // Under m_mutex: the next file to read, what was read, the first and
    // the last of those Take waits for, and the stop.
    std::size_t m_next = 0;
    std::size_t m_awaited = 0;
    std::size_t m_awaitedLast = 0;
    std::vector<char> m_done;
    std::vector<std::optional<FileTags>> m_tags;
    std::vector<std::exception_ptr> m_failures;
    bool m_stop = false;
    std::vector<std::thread> m_threads;
};

}  // namespace tabulon
