#include "tags/TagLibReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <taglib/aifffile.h>
#include <taglib/asffile.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/tag.h>
#include <taglib/tiostream.h>
#include <taglib/tpropertymap.h>
#include <taglib/vorbisfile.h>
#include <taglib/wavfile.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <string_view>
#include <type_traits>

namespace tabulon::tags {

namespace {

// A file opened once, for reading only, its head and its tail kept in
// memory. TagLib reads a file in many small pieces, back and forth, nearly
// all of them near its start (ID3v2, the FLAC and Ogg headers, MP4's boxes
// of a short file) or its end (ID3v1, APE): each of those costs no system
// call here. The head is read as far as asked, at least doubling each time,
// so a big file costs little more than its tags. Small reads elsewhere (the
// boxes of MP4 at the end of a long file, a WAV's chunks after its audio)
// go through a window read a block at a time, as a buffered file would. The
// memory is the thread's own, used again for each file it reads.
class CCachedStream final : public TagLib::IOStream {
public:
    static constexpr long kHead = 64 * 1024;
    static constexpr long kHeadStep = 4 * 1024;
    static constexpr long kTail = 4 * 1024;
    static constexpr long kWhole = 32 * 1024;
    static constexpr long kWindow = 16 * 1024;

    explicit CCachedStream(const std::string& path) : m_path(path), m_buffers(ThreadBuffers()) {
        // Without waiting: a named pipe must not hold the scan until
        // something writes to it. Only regular files are read.
        m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        struct stat status {};
        if (m_fd >= 0 && (::fstat(m_fd, &status) != 0 || !S_ISREG(status.st_mode))) {
            ::close(m_fd);
            m_fd = -1;
        }
        if (m_fd >= 0) m_length = status.st_size;
    }
    ~CCachedStream() override {
        if (m_fd >= 0) ::close(m_fd);
    }
    CCachedStream(const CCachedStream&) = delete;
    CCachedStream& operator=(const CCachedStream&) = delete;

    TagLib::FileName name() const override { return m_path.c_str(); }
    bool readOnly() const override { return true; }
    bool isOpen() const override { return m_fd >= 0; }
    long tell() const override { return m_position; }
    long length() override { return m_length; }
    void seek(long offset, Position from) override {
        const long base = from == Beginning ? 0 : from == Current ? m_position : m_length;
        if (base + offset >= 0) m_position = base + offset;
    }
    // Nothing is ever written through this stream.
    void writeBlock(const TagLib::ByteVector&) override {}
    void insert(const TagLib::ByteVector&, unsigned long, unsigned long) override {}
    void removeBlock(unsigned long, unsigned long) override {}
    void truncate(long) override {}

    TagLib::ByteVector readBlock(unsigned long wanted) override {
        if (m_fd < 0 || m_position >= m_length) return {};
        // A block's size is an unsigned int.
        const long size = static_cast<long>(
            std::min<unsigned long>({wanted, static_cast<unsigned long>(m_length - m_position), 0xFFFFFFFFUL}));
        const long end = m_position + size;
        if (end <= kHead) {
            if (end > m_headRead) FillHead(end);
            return Served(m_buffers.head, 0, m_headRead, size);
        }
        const long tailStart = std::max(m_length - kTail, kHead);
        if (m_position >= tailStart) {
            if (m_tailRead < 0) m_tailRead = ReadAt(m_buffers.tail, m_length - tailStart, tailStart);
            return Served(m_buffers.tail, tailStart, tailStart + m_tailRead, size);
        }
        if (size <= kWindow) {
            if (m_position < m_windowStart || end > m_windowStart + m_windowRead) {
                m_windowStart = m_position;
                m_windowRead = ReadAt(m_buffers.window, std::min(kWindow, m_length - m_position), m_position);
            }
            return Served(m_buffers.window, m_windowStart, m_windowStart + m_windowRead, size);
        }
        TagLib::ByteVector block(static_cast<unsigned int>(size), '\0');
        const long got = ReadAt(block.data(), size, m_position);
        block.resize(static_cast<unsigned int>(got));
        m_position += got;
        return block;
    }

private:
    // Reads count bytes at offset into to, as many as there are; how many.
    long ReadAt(char* to, long count, long offset) const {
        long got = 0;
        while (got < count) {
            const ssize_t read = ::pread(m_fd, to + got, static_cast<std::size_t>(count - got), offset + got);
            if (read < 0 && errno == EINTR) continue;
            if (read <= 0) break;
            got += read;
        }
        return got;
    }
    struct Buffers {
        char head[kHead];
        char tail[kTail];
        char window[kWindow];
    };
    static Buffers& ThreadBuffers() {
        thread_local std::unique_ptr<Buffers> buffers;
        if (!buffers) buffers = std::make_unique_for_overwrite<Buffers>();
        return *buffers;
    }

    // The head read up to end at least, further where the file goes on; a
    // small file whole, in one call, as TagLib reads both of its ends.
    void FillHead(long end) {
        const long step = std::max((end + kHeadStep - 1) / kHeadStep * kHeadStep, 2 * m_headRead);
        const long upTo = m_length <= kWhole ? m_length : std::min({step, kHead, m_length});
        m_headRead += ReadAt(m_buffers.head + m_headRead, upTo - m_headRead, m_headRead);
    }
    // size bytes from the position out of a buffer holding [from, to) of the
    // file; fewer when the file ended early.
    TagLib::ByteVector Served(const char* buffer, long from, long to, long size) {
        const long count = std::clamp(to - m_position, 0L, size);
        TagLib::ByteVector block(buffer + (m_position - from), static_cast<unsigned int>(count));
        m_position += count;
        return block;
    }

    std::string m_path;
    int m_fd = -1;
    long m_length = 0;
    long m_position = 0;
    Buffers& m_buffers;
    long m_headRead = 0;
    long m_tailRead = -1;  // not read yet
    long m_windowStart = 0;
    long m_windowRead = 0;
};

// The kinds of file read here directly: how to tell one by its extension and
// by its content, and how to read it.
using MakeFile = std::unique_ptr<TagLib::File> (*)(TagLib::IOStream*, bool properties);
struct Kind {
    const char* extensions;  // lower case, each between ","
    bool (*isSupported)(TagLib::IOStream*);
    MakeFile make;
};

constexpr auto kStyle = TagLib::AudioProperties::Fast;

template <typename F>
constexpr bool kTakesFrames = std::is_constructible_v<F, TagLib::IOStream*, TagLib::ID3v2::FrameFactory*, bool,
                                                      TagLib::AudioProperties::ReadStyle>;
static_assert(kTakesFrames<TagLib::FLAC::File> && kTakesFrames<TagLib::MPEG::File>);

// A file of class F, read from stream; FLAC and MPEG files take the
// ID3v2 frames' factory besides.
template <typename F>
std::unique_ptr<TagLib::File> Make(TagLib::IOStream* stream, bool properties) {
    if constexpr (kTakesFrames<F>)
        return std::make_unique<F>(stream, TagLib::ID3v2::FrameFactory::instance(), properties, kStyle);
    else
        return std::make_unique<F>(stream, properties, kStyle);
}

// In the order of the checks by content: MPEG last, as its check finds a
// frame in many other kinds' bytes.
const Kind kKinds[] = {
    {",flac,", TagLib::FLAC::File::isSupported, Make<TagLib::FLAC::File>},
    {",ogg,oga,", TagLib::Ogg::Vorbis::File::isSupported, Make<TagLib::Ogg::Vorbis::File>},
    {",opus,", TagLib::Ogg::Opus::File::isSupported, Make<TagLib::Ogg::Opus::File>},
    {",m4a,m4b,m4p,m4r,m4v,mp4,3g2,", TagLib::MP4::File::isSupported, Make<TagLib::MP4::File>},
    {",wma,wmv,asf,", TagLib::ASF::File::isSupported, Make<TagLib::ASF::File>},
    {",wav,", TagLib::RIFF::WAV::File::isSupported, Make<TagLib::RIFF::WAV::File>},
    {",aif,aiff,aifc,", TagLib::RIFF::AIFF::File::isSupported, Make<TagLib::RIFF::AIFF::File>},
    {",mp3,mp2,", TagLib::MPEG::File::isSupported, Make<TagLib::MPEG::File>},
};

const Kind* KindOfExtension(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return nullptr;
    std::string extension(1, ',');
    extension.append(path, dot + 1);
    extension += ',';
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    for (const Kind& kind : kKinds)
        if (std::string_view(kind.extensions).find(extension) != std::string_view::npos) return &kind;
    return nullptr;
}

std::string Utf8(const TagLib::String& text) { return text.to8Bit(true); }

std::string Property(const TagLib::PropertyMap& properties, const char* key) {
    const auto found = properties.find(key);
    return found == properties.end() || found->second.isEmpty() ? std::string() : Utf8(found->second.front());
}

// The tags of file, when it holds any.
std::optional<FileTags> TagsOf(TagLib::File& file, const TagsWanted& wanted) {
    if (!file.isValid() || !file.tag()) return std::nullopt;
    const TagLib::Tag& tag = *file.tag();
    FileTags tags;
    tags.artist = Utf8(tag.artist());
    tags.title = Utf8(tag.title());
    tags.album = Utf8(tag.album());
    tags.genre = Utf8(tag.genre());
    tags.comment = Utf8(tag.comment());
    tags.year = tag.year();
    tags.track = tag.track();
    // The map of every tag costs more than the rest together: only when asked.
    if (wanted.albumArtist || wanted.composer) {
        const TagLib::PropertyMap properties = file.properties();
        if (wanted.albumArtist) tags.albumArtist = Property(properties, "ALBUMARTIST");
        if (wanted.composer) tags.composer = Property(properties, "COMPOSER");
    }
    if (wanted.length && file.audioProperties()) tags.seconds = file.audioProperties()->lengthInSeconds();
    const bool any = !tags.artist.empty() || !tags.title.empty() || !tags.album.empty() || !tags.genre.empty() ||
                     !tags.comment.empty() || tags.year != 0 || tags.track != 0 || !tags.albumArtist.empty() ||
                     !tags.composer.empty();
    if (!any) return std::nullopt;
    return tags;
}

}  // namespace

std::optional<FileTags> CTagLibReader::ReadTags(const std::string& path, const TagsWanted& wanted) {
    CCachedStream stream(path);
    if (!stream.isOpen()) return std::nullopt;
    // The playing time costs a look into the audio; only when asked.
    const Kind* named = KindOfExtension(path);
    if (named) {
        if (std::optional<FileTags> tags = TagsOf(*named->make(&stream, wanted.length), wanted)) return tags;
    }
    // A file whose extension says nothing, or the wrong thing: as its
    // content says.
    for (const Kind& kind : kKinds) {
        stream.seek(0, TagLib::IOStream::Beginning);
        if (!kind.isSupported(&stream)) continue;
        if (&kind == named) return std::nullopt;
        stream.seek(0, TagLib::IOStream::Beginning);
        return TagsOf(*kind.make(&stream, wanted.length), wanted);
    }
    if (named) return std::nullopt;
    // The kinds not read here directly (APE, WavPack, Musepack ...).
    stream.seek(0, TagLib::IOStream::Beginning);
    const TagLib::FileRef file(&stream, wanted.length, kStyle);
    if (file.isNull()) return std::nullopt;
    return TagsOf(*file.file(), wanted);
}

}  // namespace tabulon::tags
