#pragma once
#include <QString>
#include <QUrl>
#include <functional>

namespace vsr::ui {

// The page on the syntax of regular expressions, which F1 opens from a Reg Expr query.
inline constexpr const char* kRegExprHelpTopic = "Manual/RegExpr.htm";

// Help pages live as HTML files in a "help" folder beside the program (installed) or in the
// source tree (running from a build folder); a topic is a path inside it, with an optional
// "#anchor".
class HelpTopics {
public:
    using Opener = std::function<bool(const QUrl&)>;
    HelpTopics();
    explicit HelpTopics(QString folder, Opener opener = {});

    const QString& folder() const { return folder_; }
    // The URL of a topic such as "Manual/Settings.htm#IgnoreLists"; empty when the page is missing.
    QUrl url(const QString& topic) const;
    // Opens the topic in the desktop's browser; false when the page or the browser is missing.
    bool show(const QString& topic) const;

    static QString findFolder();

private:
    QString folder_;
    Opener opener_;
};

}  // namespace vsr::ui
