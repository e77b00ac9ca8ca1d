#pragma once
#include <QObject>
#include <QPointer>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "engine/modify/edit_choice.h"
#include "engine/modify/edit_review.h"
#include "results/result_item.h"
#include "ui/lines/lines_previewer_host.h"
#include "ui/review/replacement_choices.h"

namespace vsr::ui {

class ResultsModel;

// The user's choice of the replacements to keep, held for the listed files while the list and
// the conditions of its edits stay as they are: it draws the choice in the results list (a
// tri-state check per row) and hands it to Modify. The Lines Viewer's boxes are the previewer's.
class LinesReview : public QObject {
    Q_OBJECT
public:
    explicit LinesReview(LinesPreviewerHost& window);
    ~LinesReview() override;

    review::ReplacementChoices& choices() { return choices_; }
    const review::ReplacementChoices& choices() const { return choices_; }

    // A new search: every choice goes.
    void reset();
    // The conditions the edits are made with now (query, replacement, modification type, the
    // options of both): other ones than the choice was made under drop it. Then every listed
    // row counts, with the search's count of its matches until its edits are listed.
    void prepare(const engine::SearchConditions& conditions);
    // The conditions are still those of the choice; when not, it is dropped.
    bool sameConditions(const engine::SearchConditions& conditions);
    // Row `row`'s file was listed: its exact count, the bytes its choice is tied to, and the
    // interval the ordinals hold for. A file listed under another interval starts again.
    void listed(std::size_t row, const engine::FileReview& review);
    bool listedAsIs(std::size_t row) const;
    // The edits of row `row`'s file that are off, for its preview (null: all kept).
    const engine::SkippedEdits* skippedOf(std::size_t row);
    // The choice for a Modify run, or null when every edit of every file is kept.
    const engine::EditChoice* runChoice(const engine::SearchConditions& conditions);
    // A run rewrote files: their edits are others now, and their choices go.
    void afterRun();

    // The rows carry their checks: the review is shown, or something is turned off.
    void setShown(bool shown);
    bool checksShown() const;
    // Toggles the whole of row `row`'s file (listing it first when its count is only the
    // search's), and tells who draws it.
    void toggleRow(std::size_t row);
    QString statusText() const { return QString::fromStdString(review::totalsText(choices_.totals())); }

    // Lists the row's file (the previewer does, with the window's stop and pumping).
    std::function<bool(std::size_t row)> listRow;

signals:
    // Row `row`'s choice changed from the list; the previewer draws the browsed file again.
    void rowToggled(std::size_t row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::optional<Qt::CheckState> rowCheck(std::size_t row) const;

    std::string fileOf(std::size_t row) const;

    LinesPreviewerHost& w_;
    QPointer<ResultsModel> model_;
    review::ReplacementChoices choices_;
    // What a choice is tied to, per file: the bytes and the interval it was made on.
    struct Listing {
        std::uint64_t hash = 0;
        results::ModificationInterval interval;
    };
    std::map<std::string, Listing> listings_;
    std::string conditionsKey_;
    engine::EditChoice runChoice_;
    engine::SkippedEdits scratch_;
    bool shown_ = false;
};

}  // namespace vsr::ui
