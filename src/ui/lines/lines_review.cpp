#include "ui/lines/lines_review.h"

#include <QEvent>
#include <QKeyEvent>
#include <QTreeView>
#include <algorithm>
#include <set>

#include "ui/list/results_model.h"

namespace vsr::ui {
namespace {

// Everything that decides which edits a file gets and what they put in: a change to any of it
// makes the choice one about other edits.
std::string editsKey(const engine::SearchConditions& c) {
    std::string key;
    auto add = [&key](std::string_view part) {
        key += std::to_string(part.size());
        key += ':';
        key += part;
    };
    auto addLines = [&](const std::vector<std::string>& lines) {
        add(std::to_string(lines.size()));
        for (const std::string& line : lines) add(line);
    };
    add(std::to_string(static_cast<int>(c.searchType)));
    add(c.searchText);
    addLines(c.searchLines);
    add(std::to_string(static_cast<int>(c.modificationType)));
    add(c.replaceText);
    addLines(c.replaceLines);
    const bool flags[] = {c.caseSensitive,  c.wholeWords,         c.trimLeading,     c.trimTrailing,
                          c.dotMatchesAll,  c.extendedSyntax,     c.eachLineSeparately, c.phraseIntervals,
                          c.regExprIntervals};
    for (bool f : flags) key += f ? '1' : '0';
    add(std::to_string(static_cast<int>(c.textEncoding)));
    add(c.fallbackEncoding ? std::to_string(static_cast<int>(*c.fallbackEncoding)) : std::string("-"));
    return key;
}

}  // namespace

LinesReview::LinesReview(LinesPreviewerHost& window) : QObject(&window.windowWidget()), w_(window) {
    model_ = w_.resultsModel();
    model_->rowCheck = [this](std::size_t row) { return rowCheck(row); };
    model_->toggleRowCheck = [this](std::size_t row) { toggleRow(row); };
    w_.resultsView()->installEventFilter(this);
}

LinesReview::~LinesReview() {
    if (model_) {
        model_->rowCheck = nullptr;
        model_->toggleRowCheck = nullptr;
    }
}

std::string LinesReview::fileOf(std::size_t row) const { return w_.results().row(row).fullName(); }

void LinesReview::reset() {
    const bool hadChecks = checksShown();
    choices_.clear();
    listings_.clear();
    conditionsKey_.clear();
    if (hadChecks && model_) model_->checksChanged();
}

bool LinesReview::sameConditions(const engine::SearchConditions& conditions) {
    const std::string key = editsKey(conditions);
    if (key == conditionsKey_) return true;
    reset();
    conditionsKey_ = key;
    return false;
}

void LinesReview::prepare(const engine::SearchConditions& conditions) {
    sameConditions(conditions);
    const results::ResultList& list = w_.results();
    std::set<std::string> listed;
    for (std::size_t row = 0; row < list.count(); ++row) {
        const results::ResultItem& item = list.row(row);
        std::string name = item.fullName();
        // Until its edits are listed a file counts as many as the search found.
        if (!choices_.exact(name)) choices_.setCount(name, static_cast<std::size_t>(std::max<std::int64_t>(0, item.firstCount)), false);
        listed.insert(std::move(name));
    }
    // Rows deleted since no longer count.
    for (const std::string& name : choices_.files())
        if (!listed.count(name)) {
            choices_.forget(name);
            listings_.erase(name);
        }
}

void LinesReview::listed(std::size_t row, const engine::FileReview& review) {
    const std::string name = fileOf(row);
    const results::ModificationInterval interval = w_.results().row(row).interval;
    const auto it = listings_.find(name);
    // Ordinals of other bytes, or of another interval, name other edits: the file starts again.
    if (it != listings_.end() && (it->second.hash != review.hash || it->second.interval != interval)) {
        choices_.forget(name);
        if (model_) model_->checkChanged(row);
    }
    choices_.setCount(name, review.edits.size(), true);
    listings_[name] = {review.hash, interval};
}

bool LinesReview::listedAsIs(std::size_t row) const {
    const std::string name = fileOf(row);
    const auto it = listings_.find(name);
    return it != listings_.end() && choices_.exact(name) && it->second.interval == w_.results().row(row).interval;
}

const engine::SkippedEdits* LinesReview::skippedOf(std::size_t row) {
    const std::string name = fileOf(row);
    if (choices_.state(name) == review::FileChoice::On) return nullptr;
    scratch_ = {};
    // A file wholly off is left alone even when it has no edit at all to turn off.
    if (choices_.wholeOff(name)) scratch_.skipRange(0, std::max<std::size_t>(1, choices_.count(name)));
    else
        for (std::size_t ordinal : choices_.offEdits(name)) scratch_.skip(ordinal);
    if (const auto it = listings_.find(name); it != listings_.end()) scratch_.reviewed = it->second.hash;
    return &scratch_;
}

const engine::EditChoice* LinesReview::runChoice(const engine::SearchConditions& conditions) {
    runChoice_.clear();
    if (!sameConditions(conditions) || !choices_.anyOff()) return nullptr;
    const results::ResultList& list = w_.results();
    for (std::size_t row = 0; row < list.count(); ++row) {
        const std::string name = fileOf(row);
        if (choices_.state(name) == review::FileChoice::On) continue;
        const auto it = listings_.find(name);
        if (choices_.state(name) == review::FileChoice::Partly &&
            (it == listings_.end() || it->second.interval != list.row(row).interval)) {
            // Ordinals counted under another interval would turn off other edits than the
            // user saw: the file is left alone rather than guessed at.
            runChoice_.forFile(name).skipRange(0, std::max<std::size_t>(1, choices_.count(name)));
            continue;
        }
        runChoice_.forFile(name) = *skippedOf(row);
    }
    return runChoice_.empty() ? nullptr : &runChoice_;
}

void LinesReview::afterRun() {
    const results::ResultList& list = w_.results();
    for (std::size_t row = 0; row < list.count(); ++row) {
        if (list.row(row).status != results::RowStatus::Modified) continue;
        const std::string name = fileOf(row);
        choices_.forget(name);
        listings_.erase(name);
    }
    if (model_) model_->checksChanged();
}

void LinesReview::setShown(bool shown) {
    if (shown == shown_) return;
    const bool before = checksShown();
    shown_ = shown;
    if (before != checksShown() && model_) model_->checksChanged();
}

bool LinesReview::checksShown() const { return shown_ || choices_.anyOff(); }

std::optional<Qt::CheckState> LinesReview::rowCheck(std::size_t row) const {
    if (!checksShown() || row >= w_.results().count()) return std::nullopt;
    switch (choices_.state(fileOf(row))) {
        case review::FileChoice::On: return Qt::Checked;
        case review::FileChoice::Off: return Qt::Unchecked;
        case review::FileChoice::Partly: return Qt::PartiallyChecked;
    }
    return std::nullopt;
}

void LinesReview::toggleRow(std::size_t row) {
    if (row >= w_.results().count() || !checksShown() || w_.state().busy) return;
    // A file is turned off by its ordinals, so its count must be the engine's, not the search's.
    if (!listedAsIs(row) && (!listRow || !listRow(row))) return;
    choices_.toggleFile(fileOf(row));
    if (model_) model_->checkChanged(row);
    emit rowToggled(row);
}

bool LinesReview::eventFilter(QObject* watched, QEvent* event) {
    // Space on a row keeps or skips its file, with or without Shift, whichever column is current.
    if (event->type() == QEvent::KeyPress && watched == w_.resultsView() && checksShown()) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        if (key->key() == Qt::Key_Space && (mods == Qt::NoModifier || mods == Qt::ShiftModifier)) {
            const QModelIndex current = w_.resultsView()->currentIndex();
            if (current.isValid()) toggleRow(static_cast<std::size_t>(current.row()));
            return true;
        }
    }
    return false;
}

}  // namespace vsr::ui
