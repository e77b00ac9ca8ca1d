#include "engine/search/search_run.h"

#include <algorithm>
#include <cstring>

#include "engine/search/read_budget.h"

namespace vsr::engine {

SearchRun::SearchRun(const SearchConditions& conditions, SearchEnv env, const std::atomic<bool>& stop,
                     OrderedOutput& output)
    : conditions_(conditions),
      env_(env),
      stop_(stop),
      output_(output),
      codePage_(&platform::CodePage::get(conditions.textEncoding)),
      goOn_([this](std::uint64_t) { return !stopped(); }),
      reading_(TextReading::of(conditions)) {}

bool SearchRun::stopped() const {
    if (stop_.load(std::memory_order_relaxed)) return true;
    const std::uint64_t cut = output_.cutoff();
    if (!slot_) return cut != OrderedOutput::kNoCut;
    return slot_->endsRun || slot_->seq > cut;
}

EventSlot* SearchRun::slot() {
    if (!slot_) slot_ = output_.open();
    return slot_;
}

SearchEvent& SearchRun::post(SearchEvent::Kind kind) {
    EventSlot* s = slot();
    if (!s) {
        dropped_ = SearchEvent{};
        return dropped_;
    }
    SearchEvent& e = s->add();
    e.kind = kind;
    return e;
}

void SearchRun::completeSlot() {
    output_.complete(slot_);
    slot_ = nullptr;
}

EventSlot* SearchRun::handOffSlot() {
    EventSlot* s = slot();
    slot_ = nullptr;
    return s;
}

void SearchRun::setStatusText(int panel, const std::string& text) {
    SearchEvent& e = post(SearchEvent::Kind::Status);
    e.panel = panel;
    e.text = text;
}

void SearchRun::setFileStatus(const SharedFolder& folder, const std::string& name) {
    SearchEvent& e = post(SearchEvent::Kind::FileStatus);
    e.folder = folder;
    e.text = name;
}

void SearchRun::message(const std::string& caption, const std::string& text, MessageIcon icon) {
    SearchEvent& e = post(SearchEvent::Kind::Message);
    e.caption = caption;
    e.text = text;
    e.icon = icon;
}

void SearchRun::notSearched(const std::string& dir, const std::string& name, const std::string& reason) {
    SearchEvent& e = post(SearchEvent::Kind::NotSearched);
    e.text = fullPath(dir, name);
    e.caption = reason;
}

void SearchRun::removeFoundColumn() { post(SearchEvent::Kind::FoundColumnRemoved); }

void SearchRun::selectExpressionCharacter(Tab tab, int position) {
    SearchEvent& e = post(SearchEvent::Kind::ExpressionCharacter);
    e.panel = static_cast<int>(tab);
    e.position = position;
}

void SearchRun::endRun() {
    if (EventSlot* s = slot()) s->endsRun = true;
}

void SearchRun::fail(const std::string& caption, const std::string& text) {
    message(caption, text, MessageIcon::Exclamation);
    endRun();
}

const std::string& SearchRun::fullPath(const std::string& dir, const std::string& name) {
    path_.assign(dir);
    if (path_.empty() || path_.back() != '/') path_ += '/';
    path_ += name;
    return path_;
}

bool SearchRun::budgetRoom() {
    if (!budget_) return true;
    budget_->waitForRoom([this] { return stopped(); });
    return !stopped();
}

void SearchRun::chargeBuffer() {
    if (!budget_) return;
    budget_->charge(buffer_.size());
    charged_ += buffer_.size();
}

platform::ReadStatus SearchRun::readEntry(const std::string& dir, platform::DirEntry& entry, bool stopAtNul) {
    fileEncoding_ = {};
    if (served_) return readServed(stopAtNul);
    if (!budgetRoom()) {
        buffer_.setSize(0);
        return platform::ReadStatus::Failed;
    }
    platform::ReadRequest request = listedRequest(entry);
    request.stopAtNul = stopAtNul;
    platform::ReadStatus status = env_.fs.readListed(listedFile(dir, entry), buffer_, request);
    if (status == platform::ReadStatus::Ok) status = decodeBuffer(dir, entry, stopAtNul);
    if (status != platform::ReadStatus::Ok) {
        buffer_.setSize(0);
        return status;
    }
    chargeBuffer();
    return status;
}

namespace {

// Takes the first bytes of a file, to see whether they are a byte order mark.
class HeadSink final : public platform::PieceSink {
public:
    std::span<char> room() override { return {head_ + held_, sizeof head_ - held_}; }
    bool arrived(std::size_t n) override {
        held_ += n;
        return held_ < sizeof head_;
    }
    std::string_view head() const { return {head_, held_}; }

private:
    char head_[4] = {};
    std::size_t held_ = 0;
};

// Cuts a decoded text at its first NUL character.
void cutAtNul(platform::FileBuffer& buffer) {
    if (const void* nul = std::memchr(buffer.data(), 0, buffer.size()))
        buffer.setSize(static_cast<std::size_t>(static_cast<const char*>(nul) - buffer.data()));
}

// Takes a text piece by piece into the run's buffer, which grows as it fills. The rooms are
// small: the first piece, which holds the mark, is copied out of its room.
class BufferFillSink final : public platform::PieceSink {
public:
    explicit BufferFillSink(platform::FileBuffer& buffer) : buffer_(buffer) { buffer_.setSize(0); }
    std::span<char> room() override {
        if (buffer_.capacity() < buffer_.size() + kRoomBytes + 1) buffer_.reserve(buffer_.size() + kRoomBytes);
        return {buffer_.data() + buffer_.size(), kRoomBytes};
    }
    bool arrived(std::size_t n) override {
        buffer_.setSize(buffer_.size() + n);
        return true;
    }

private:
    static constexpr std::size_t kRoomBytes = 64u << 10;
    platform::FileBuffer& buffer_;
};

// Whether a read cut at its first NUL byte may have cut a mark of UTF-16 or UTF-32, whose
// characters hold NUL bytes: the bytes kept begin like such a mark, or are too few to tell.
bool mayHaveCutMark(std::string_view kept) {
    return kept.size() < 4 || kept.starts_with("\xFF\xFE") || kept.starts_with("\xFE\xFF");
}

}  // namespace

platform::ReadStatus SearchRun::decodeBuffer(const std::string& dir, platform::DirEntry& entry, bool stopAtNul) {
    if (stopAtNul && mayHaveCutMark(buffer_.view())) {
        HeadSink head;
        platform::ReadRequest peek = listedRequest(entry);
        peek.entry = nullptr;
        env_.fs.streamListed(listedFile(dir, entry), head, peek);
        const std::optional<FileEncoding> marked = markedEncoding(head.head());
        if (marked && marked->form != FileEncoding::Form::Utf8Mark) {
            // Read again to its end, as the text goes on past the NUL bytes of its characters:
            // piece by piece, each decoded while still in the cache, so the file's bytes are
            // never held whole (a large file's fresh pages cost more than its decoding).
            BufferFillSink fill(buffer_);
            decoding_.begin(fill, reading_);
            const platform::ReadStatus status = env_.fs.streamListed(listedFile(dir, entry), decoding_, listedRequest(entry));
            if (status != platform::ReadStatus::Ok) return status;
            decoding_.end();
            fileEncoding_ = decoding_.fileEncoding();
            cutAtNul(buffer_);
            return platform::ReadStatus::Ok;
        }
    }
    const FileText text = decodeInBuffer(buffer_, reading_, decoded_);
    fileEncoding_ = text.kind == TextKind::Encoded ? text.fileEncoding : FileEncoding{};
    // The characters of UTF-16 and UTF-32 hold NUL bytes; their text still ends at a NUL character.
    if (stopAtNul && text.kind == TextKind::Encoded) cutAtNul(buffer_);
    return platform::ReadStatus::Ok;
}

platform::ReadStatus SearchRun::decodedStream(const platform::FileRef& file, platform::PieceSink& sink,
                                              const platform::ReadRequest& request,
                                              const std::function<void()>& restart) {
    decoding_.begin(sink, reading_);
    platform::ReadStatus status = streamFrom(file, decoding_, request);
    if (status == platform::ReadStatus::Ok) decoding_.end();
    if (decoding_.redo() && status != platform::ReadStatus::Stopped) {
        // Not UTF-8 after all: the sink starts over and takes the file in the fallback page.
        if (restart) restart();
        const FileEncoding page = decoding_.fallbackEncoding();
        decoding_.begin(sink, reading_, page);
        buffer_.setSize(0);
        status = streamFrom(file, decoding_, request);
        if (status == platform::ReadStatus::Ok) decoding_.end();
    }
    fileEncoding_ = decoding_.fileEncoding();
    return status;
}

platform::ReadStatus SearchRun::readServed(bool stopAtNul) {
    const std::string_view bytes = *served_;
    // As a file's read: cut at the first NUL byte, unless a mark says the text is UTF-16 or
    // UTF-32, whose characters hold NUL bytes; that text is cut at its first NUL character.
    const std::optional<FileEncoding> marked = markedEncoding(bytes);
    const bool wide = marked && marked->form != FileEncoding::Form::Utf8Mark;
    std::string_view kept = bytes;
    if (stopAtNul && !wide) kept = kept.substr(0, std::min(kept.find('\0'), kept.size()));
    buffer_.assign(kept);
    const FileText text = decodeInBuffer(buffer_, reading_, decoded_);
    fileEncoding_ = text.kind == TextKind::Encoded ? text.fileEncoding : FileEncoding{};
    if (stopAtNul && wide)
        if (const void* nul = std::memchr(buffer_.data(), 0, buffer_.size()))
            buffer_.setSize(static_cast<std::size_t>(static_cast<const char*>(nul) - buffer_.data()));
    chargeBuffer();
    return platform::ReadStatus::Ok;
}

platform::ReadStatus SearchRun::streamServed(platform::PieceSink& sink, const platform::ReadRequest& request) {
    std::string_view rest = *served_;
    sink.expect(rest.size());
    std::uint64_t done = 0;
    while (!rest.empty()) {
        if (done > 0 && request.goOn && !(*request.goOn)(done)) return platform::ReadStatus::Stopped;
        const std::span<char> room = sink.room();
        const std::size_t n = std::min({room.size(), rest.size(), platform::kReadPieceBytes});
        std::memcpy(room.data(), rest.data(), n);
        rest.remove_prefix(n);
        done += n;
        if (!sink.arrived(n)) break;
    }
    return platform::ReadStatus::Ok;
}

bool SearchRun::readHead(const std::string& dir, platform::DirEntry& entry, std::size_t n, std::string& head) {
    class HeadBytesSink final : public platform::PieceSink {
    public:
        HeadBytesSink(std::string& into, std::size_t want) : into_(into), want_(want) { into_.assign(want, '\0'); }
        std::span<char> room() override { return {into_.data() + held_, want_ - held_}; }
        bool arrived(std::size_t got) override {
            held_ += got;
            return held_ < want_;
        }
        std::size_t held() const { return held_; }

    private:
        std::string& into_;
        std::size_t want_;
        std::size_t held_ = 0;
    };
    HeadBytesSink sink(head, n);
    platform::ReadRequest request = listedRequest(entry);
    request.entry = nullptr;
    request.maxSize = UINT64_MAX;
    const platform::ReadStatus status = env_.fs.streamListed(listedFile(dir, entry), sink, request);
    head.resize(sink.held());
    return status == platform::ReadStatus::Ok;
}

platform::ReadStatus SearchRun::keepEntry(const std::string& dir, platform::DirEntry& entry,
                                          platform::PieceSink& sink, const std::function<bool()>& listed,
                                          const std::function<void()>& restart) {
    buffer_.setSize(0);
    fileEncoding_ = {};
    if (!budgetRoom()) return platform::ReadStatus::Failed;
    platform::ReadRequest request = listedRequest(entry);
    if (request.entry) request.infoAfter = &listed;
    const platform::ReadStatus status = decodedStream(listedFile(dir, entry), sink, request, restart);
    if (status == platform::ReadStatus::Ok) chargeBuffer();
    return status;
}

platform::ReadStatus SearchRun::streamEntry(const std::string& dir, platform::DirEntry& entry,
                                           platform::PieceSink& sink, const std::function<void()>& restart) {
    fileEncoding_ = {};
    platform::ReadRequest request = listedRequest(entry);
    // Nothing of the file is held but the piece being looked at, so its size sets no limit.
    request.maxSize = UINT64_MAX;
    return decodedStream(listedFile(dir, entry), sink, request, restart);
}

platform::FileRef SearchRun::listedFile(const std::string& dir, const platform::DirEntry& entry) {
    const std::string& fullName = fullPath(dir, entry.name);
    return {fullName, fullName.size() - entry.name.size(), folder_};
}

platform::ReadRequest SearchRun::listedRequest(platform::DirEntry& entry) {
    platform::ReadRequest request;
    // Only a caller that keeps the file's identity asks the read for the information; a row
    // gets its own when the file is listed (listFile), so unlisted files cost no fstat.
    if (infoFromRead_) request.entry = &entry;
    request.listedRegular = entry.kind == platform::EntryKind::File;
    request.listedPlain = request.listedRegular && !entry.viaLink;
    request.goOn = &goOn_;
    return request;
}

void SearchRun::endFile() {
    if (budget_ && charged_ > 0) budget_->release(charged_);
    charged_ = 0;
}

void SearchRun::listFile(const std::string& dir, platform::DirEntry& entry,
                         const std::vector<std::int64_t>& counts) {
    if (!entry.infoLoaded && env_.rowInfo) {
        // By name in the folder's handle: a name-only listing stats every file it lists.
        const std::string& full = fullPath(dir, entry.name);
        env_.fs.loadInfo(platform::FileRef{full, full.size() - entry.name.size(), folder_}, entry);
    }
    SearchEvent& e = post(SearchEvent::Kind::Row);
    e.text = dir;
    e.entry = entry;
    e.counts = counts;
    // A document's text is the reader's UTF-8, whatever the file held: no encoding to name.
    e.caption = servedKind_ == TextKind::Document && served_ ? std::string() : fileEncodingName(fileEncoding_);
    fileEncoding_ = {};
}

}  // namespace vsr::engine
