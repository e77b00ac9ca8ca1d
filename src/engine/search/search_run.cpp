#include "engine/search/search_run.h"

#include "engine/search/read_budget.h"

namespace vsr::engine {

SearchRun::SearchRun(const SearchConditions& conditions, SearchEnv env, const std::atomic<bool>& stop,
                     OrderedOutput& output)
    : conditions_(conditions),
      env_(env),
      stop_(stop),
      output_(output),
      codePage_(&platform::CodePage::get(conditions.textEncoding)),
      goOn_([this](std::uint64_t) { return !stopped(); }) {}

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
    if (!budgetRoom()) {
        buffer_.setSize(0);
        return platform::ReadStatus::Failed;
    }
    platform::ReadRequest request = listedRequest(entry);
    request.stopAtNul = stopAtNul;
    const platform::ReadStatus status = env_.fs.readListed(listedFile(dir, entry), buffer_, request);
    if (status != platform::ReadStatus::Ok) {
        buffer_.setSize(0);
        return status;
    }
    chargeBuffer();
    return status;
}

platform::ReadStatus SearchRun::keepEntry(const std::string& dir, platform::DirEntry& entry,
                                          platform::PieceSink& sink, const std::function<bool()>& listed) {
    buffer_.setSize(0);
    if (!budgetRoom()) return platform::ReadStatus::Failed;
    platform::ReadRequest request = listedRequest(entry);
    if (request.entry) request.infoAfter = &listed;
    const platform::ReadStatus status = env_.fs.streamListed(listedFile(dir, entry), sink, request);
    if (status == platform::ReadStatus::Ok) chargeBuffer();
    return status;
}

platform::ReadStatus SearchRun::streamEntry(const std::string& dir, platform::DirEntry& entry,
                                           platform::PieceSink& sink) {
    platform::ReadRequest request = listedRequest(entry);
    // Nothing of the file is held but the piece being looked at, so its size sets no limit.
    request.maxSize = UINT64_MAX;
    return env_.fs.streamListed(listedFile(dir, entry), sink, request);
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
}

}  // namespace vsr::engine
